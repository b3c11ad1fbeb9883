// The quick-help viewer.
#include "dialogs/stquickdialog.h"

#include <QPushButton>
#include <QTextEdit>

StQuickDialog::StQuickDialog(QWidget* parent)
    : StTextViewer(parent, "StQuickDialog", QSize(557, 403), "textEdit1", QRect(9, 9, 539, 349)) {
  textBox()->setMinimumSize(520, 340);
  okButton = addCloseButton("okButton", QRect(448, 366, 100, 28), tr("&OK"), tr("Alt+O"));
  setTabOrder(okButton, textBox());
  setWindowTitle(tr("Quick Help"));
}

void StQuickDialog::setHelpLine(const QString& s) {
  if (s == QLatin1String("$$$"))
    toStart();
  else
    insertText(s);
}
