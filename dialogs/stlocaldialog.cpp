// The local-details viewer.
#include "dialogs/stlocaldialog.h"

#include <QPushButton>
#include <QTextEdit>

#include "dialogs/stdialog.h"

StLocalDialog::StLocalDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("StLocalDialog"));
  resize(443, 460);
  textEdit = new QTextEdit(this);
  textEdit->setObjectName(QStringLiteral("textEdit"));
  textEdit->setGeometry(9, 9, 425, 403);
  textEdit->setReadOnly(true);
  textEdit->setLineWrapMode(QTextEdit::NoWrap);
  closeButton = new QPushButton(this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setGeometry(344, 422, 90, 28);
  closeButton->setDefault(true);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
  setWindowTitle(tr("Local Details"));
  closeButton->setText(tr("&Close"));
  closeButton->setShortcut(QKeySequence(tr("Alt+C")));
}

void StLocalDialog::setParams(const LocalViewParams& p) {
  QFont f = textEdit->font();
  if (p.fontSize > 0) f.setPointSize(p.fontSize);
  textEdit->setFont(f);
  insertPlain(textEdit, p.text);
  textEdit->moveCursor(QTextCursor::Start);
  closeButton->setFocus();
}
