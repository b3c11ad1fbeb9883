// The quick-help viewer.
#include "dialogs/stquickdlg.h"

#include <QPushButton>
#include <QTextEdit>

#include "dialogs/stdialog.h"

StQuickDialog::StQuickDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("StQuickDialog"));
  resize(557, 403);
  textEdit1 = new QTextEdit(this);
  textEdit1->setObjectName(QStringLiteral("textEdit1"));
  textEdit1->setGeometry(9, 9, 539, 349);
  textEdit1->setMinimumSize(520, 340);
  textEdit1->setReadOnly(true);
  textEdit1->setLineWrapMode(QTextEdit::NoWrap);
  okButton = new QPushButton(this);
  okButton->setObjectName(QStringLiteral("okButton"));
  okButton->setGeometry(448, 366, 100, 28);
  okButton->setDefault(true);
  setTabOrder(okButton, textEdit1);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  setWindowTitle(tr("Quick Help"));
  okButton->setText(tr("&OK"));
  okButton->setShortcut(QKeySequence(tr("Alt+O")));
}

void StQuickDialog::setHelpLine(const QString& s) {
  if (s == QLatin1String("$$$"))
    textEdit1->moveCursor(QTextCursor::Start);
  else
    insertPlain(textEdit1, s);
}
