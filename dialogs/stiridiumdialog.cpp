#include "dialogs/stiridiumdialog.h"

StIridiumDialog::StIridiumDialog() {
  setupUi(this);
  checkField(magEdit, tr("Minimum Magnitude"), -30.0, 30.0);
  connect(okButton, &QPushButton::clicked, this, &StIridiumDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StIridiumDialog::reject);
}

void StIridiumDialog::setParams(double mag, bool ops, bool irsol) {
  setNum(magEdit, mag);
  opsBox->setChecked(ops);
  solpBox->setChecked(irsol);
}

void StIridiumDialog::getParams(double& mag, bool& ops, bool& irsol) {
  readNum(magEdit, mag);
  ops = opsBox->isChecked();
  irsol = solpBox->isChecked();
}
