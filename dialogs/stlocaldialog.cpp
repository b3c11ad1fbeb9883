// The local-details viewer.
#include "dialogs/stlocaldialog.h"

#include <QPushButton>

StLocalDialog::StLocalDialog(QWidget* parent)
    : StTextViewer(parent, "StLocalDialog", QSize(443, 460), "textEdit", QRect(9, 9, 425, 403)) {
  closeButton = addCloseButton("closeButton", QRect(344, 422, 90, 28), tr("&Close"), tr("Alt+C"));
  setWindowTitle(tr("Local Details"));
}

void StLocalDialog::setParams(const LocalViewParams& p) {
  // The details are columns lined up with blanks and tabs, eight cells
  // apart as on a terminal.
  UseFixedPitch(textBox(), p.fontSize, 8);
  insertText(p.text);
  toStart();
  fitWidth(closeButton);
  closeButton->setFocus();
}
