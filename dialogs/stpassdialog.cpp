// The pass-details viewer.
#include "dialogs/stpassdialog.h"

#include <QPushButton>
#include <QTextEdit>

#include "gui/vsservices.h"

namespace {
// A listing stops after this many pieces, whatever the time step.
constexpr int kMaxChunks = 6250;
}

StPassDialog::StPassDialog(QWidget* parent)
    : StTextViewer(parent, "StPassDialog", QSize(491, 477), "passEdit", QRect(9, 9, 473, 420)) {
  saveButton = addButton("saveButton", QRect(9, 439, 90, 28), tr("&Save"), tr("Alt+S"));
  gtrackButton = addButton("gtrackButton", QRect(109, 439, 90, 28), tr("&G-Track"), tr("Alt+G"));
  closeButton = addCloseButton("closeButton", QRect(392, 439, 90, 28), tr("&Close"), tr("Alt+C"));
  saveButton->setAutoDefault(false);
  gtrackButton->setAutoDefault(false);
  setTabOrder(textBox(), closeButton);
  setTabOrder(closeButton, saveButton);
  setTabOrder(saveButton, gtrackButton);
  connect(saveButton, &QPushButton::clicked, this, &StPassDialog::saveSlot);
  connect(gtrackButton, &QPushButton::clicked, this, &StPassDialog::gtrackSlot);

  setWindowTitle(tr("Pass Details"));
  saveButton->setToolTip(tr("Saves the Pass Details information on the Vorlix Save-File."));
  saveButton->setWhatsThis(
      tr("The angles will be without the degree sign. Longitude and latitude are always in "
         "decimal degrees and with 5 decimal points. This should make further processing by "
         "other programs easier."));
  gtrackButton->setToolTip(tr("Copy groundtrack on save file."));
  gtrackButton->setWhatsThis(
      tr("Time, longitude, latitude and height will be copied to the save file. They can then be "
         "used by other programs for producing map overlays etc."));
}

void StPassDialog::setParams(const PassViewParams& p) {
  // The listing's columns are lined up with blanks for a fixed pitch.
  UseFixedPitch(textBox(), p.fontSize, 8);
  double t = 0.0;
  QString s;
  int k = 0;
  for (; k < kMaxChunks && vsGetPassDTxt(t, s, false) != 0; ++k) insertText(s);
  // A listing that reached the limit with the satellite still in view must
  // not pass for the whole pass: it says where it ends, before the pole.
  if (k == kMaxChunks)
    insertText(QStringLiteral("\n\n*** ") + vsPassCutText(kMaxChunks, t) + QStringLiteral(" ***"));
  vsGetPassDTxt(t, s, true);
  insertText(s);
  toStart();
  fitWidth(closeButton);
  closeButton->setFocus();
}

void StPassDialog::saveSlot() { vsSavePassDt(1); }
void StPassDialog::gtrackSlot() { vsSavePassDt(2); }
