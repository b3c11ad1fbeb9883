#include "dialogs/stiridiumdialog.h"

#include "dialogs/stdialog.h"

StIridiumDialog::StIridiumDialog() {
  setupUi(this);
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

void StIridiumDialog::accept() {
  double mag = 0.0;
  if (!readNum(magEdit, mag)) return refuse(magEdit, tr("Minimum Magnitude: a number, please."));
  QDialog::accept();
}
