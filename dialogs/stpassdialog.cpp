// The pass-details viewer.
#include "dialogs/stpassdialog.h"

#include <QPushButton>
#include <QTextEdit>

#include "dialogs/stdialog.h"
#include "gui/vsservices.h"

namespace {
// A listing stops after this many pieces, whatever the time step.
constexpr int kMaxChunks = 6250;
}

StPassDialog::StPassDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("StPassDialog"));
  resize(491, 477);
  passEdit = new QTextEdit(this);
  passEdit->setObjectName(QStringLiteral("passEdit"));
  passEdit->setGeometry(9, 9, 473, 420);
  passEdit->setReadOnly(true);
  passEdit->setLineWrapMode(QTextEdit::NoWrap);
  saveButton = new QPushButton(this);
  saveButton->setObjectName(QStringLiteral("saveButton"));
  saveButton->setGeometry(9, 439, 90, 28);
  gtrackButton = new QPushButton(this);
  gtrackButton->setObjectName(QStringLiteral("gtrackButton"));
  gtrackButton->setGeometry(109, 439, 90, 28);
  closeButton = new QPushButton(this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setGeometry(392, 439, 90, 28);
  closeButton->setDefault(true);
  saveButton->setAutoDefault(false);
  gtrackButton->setAutoDefault(false);
  setTabOrder(passEdit, closeButton);
  setTabOrder(closeButton, saveButton);
  setTabOrder(saveButton, gtrackButton);
  connect(saveButton, &QPushButton::clicked, this, &StPassDialog::saveSlot);
  connect(gtrackButton, &QPushButton::clicked, this, &StPassDialog::gtrackSlot);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  setWindowTitle(tr("Pass Details"));
  saveButton->setText(tr("&Save"));
  saveButton->setShortcut(QKeySequence(tr("Alt+S")));
  saveButton->setToolTip(tr("Saves the Pass Details information on the Vorlix Save-File."));
  saveButton->setWhatsThis(
      tr("The angles will be without the degree sign. Longitude and latitude are always in "
         "decimal degrees and with 5 decimal points. This should make further processing by "
         "other programs easier."));
  gtrackButton->setText(tr("&G-Track"));
  gtrackButton->setShortcut(QKeySequence(tr("Alt+G")));
  gtrackButton->setToolTip(tr("Copy groundtrack on save file."));
  gtrackButton->setWhatsThis(
      tr("Time, latitude and longitude will be copied to the save file. They can then be used "
         "by other programs for producing map overlays etc."));
  closeButton->setText(tr("&Close"));
  closeButton->setShortcut(QKeySequence(tr("Alt+C")));
}

void StPassDialog::setParams(const PassViewParams& p) {
  QFont f = passEdit->font();
  if (p.fontSize > 0) f.setPointSize(p.fontSize);
  passEdit->setFont(f);
  double t = 0.0;
  QString s;
  for (int k = 0; k < kMaxChunks && vsGetPassDTxt(t, s, false) != 0; ++k) insertPlain(passEdit, s);
  vsGetPassDTxt(t, s, true);
  insertPlain(passEdit, s);
  passEdit->moveCursor(QTextCursor::Start);
  closeButton->setFocus();
}

void StPassDialog::saveSlot() { vsSavePassDt(1); }
void StPassDialog::gtrackSlot() { vsSavePassDt(2); }
