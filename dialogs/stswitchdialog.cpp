#include "dialogs/stswitchdialog.h"

#include "gui/vsservices.h"

namespace {
constexpr int kRows = 10;  // one row per selectable satellite
}

StSwitchDialog::StSwitchDialog() {
  setupUi(this);
  connect(closeButton, &QPushButton::clicked, this, &StSwitchDialog::accept);
}

QRadioButton* StSwitchDialog::button(int k) const {
  QRadioButton* const b[kRows] = {satButton1, satButton2, satButton3, satButton4, satButton5,
                                   satButton6, satButton7, satButton8, satButton9, satButton10};
  return b[k];
}

void StSwitchDialog::setParams(int prs, int rlm, int satn) {
  relativeBox->setChecked(rlm == 1);
  if (prs >= 0 && prs < kRows) button(prs)->setChecked(true);
  for (int k = 0; k < kRows; ++k) {
    const bool used = k < satn;
    // "&1 " .. "&9 ", "1&0 ": Alt+digit still picks the satellite.
    const QString mnemonic = k < 9 ? QStringLiteral("&%1 ").arg(k + 1) : QStringLiteral("1&0 ");
    if (used) button(k)->setText(mnemonic + vsSatName(k + 1));
    button(k)->setEnabled(used);
    button(k)->setVisible(used);
  }
}

void StSwitchDialog::getParams(int& prs, int& rlm) {
  rlm = relativeBox->isChecked() ? 1 : 0;
  prs = 0;
  for (int k = 1; k < kRows; ++k)
    if (button(k)->isChecked()) prs = k;
}
