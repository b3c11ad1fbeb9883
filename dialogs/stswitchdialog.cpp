#include "dialogs/stswitchdialog.h"

#include "gui/vsservices.h"
#include "ui_stswitchdialog.h"

namespace {
constexpr int kRows = 10;  // one row per selectable satellite
}

StSwitchDialog::StSwitchDialog() : ui(std::make_unique<Ui::StSwitchDialog>()) {
  ui->setupUi(this);
  connect(ui->closeButton, &QPushButton::clicked, this, &StSwitchDialog::accept);
}

StSwitchDialog::~StSwitchDialog() = default;

QRadioButton* StSwitchDialog::button(int k) const {
  QRadioButton* const b[kRows] = {ui->satButton1, ui->satButton2, ui->satButton3,
                                   ui->satButton4, ui->satButton5, ui->satButton6,
                                   ui->satButton7, ui->satButton8, ui->satButton9,
                                   ui->satButton10};
  return b[k];
}

void StSwitchDialog::setParams(const SwitchParams& p) {
  ui->relativeBox->setChecked(p.relative == 1);
  if (p.prime >= 0 && p.prime < kRows) button(p.prime)->setChecked(true);
  for (int k = 0; k < kRows; ++k) {
    const bool used = k < p.satellites;
    // "&1 " .. "&9 ", "1&0 ": Alt+digit still picks the satellite.
    const QString mnemonic = k < 9 ? QStringLiteral("&%1 ").arg(k + 1) : QStringLiteral("1&0 ");
    if (used) button(k)->setText(mnemonic + vsSatName(k + 1));
    button(k)->setEnabled(used);
    button(k)->setVisible(used);
  }
}

SwitchParams StSwitchDialog::params() const {
  SwitchParams p;
  p.relative = ui->relativeBox->isChecked() ? 1 : 0;
  p.prime = 0;
  for (int k = 1; k < kRows; ++k)
    if (button(k)->isChecked()) p.prime = k;
  return p;
}
