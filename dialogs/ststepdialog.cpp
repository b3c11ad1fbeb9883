#include "dialogs/ststepdialog.h"

#include <cmath>

#include "dialogs/stdialog.h"

StStepDialog::StStepDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StStepDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StStepDialog::reject);
}

void StStepDialog::setParams(int min, double sec) {
  setNum(minEdit, min);
  setNum(secEdit, sec);
}

void StStepDialog::getParams(int& min, double& sec) {
  readNum(minEdit, min);
  readNum(secEdit, sec);
}

void StStepDialog::accept() {
  int min = 0;
  double sec = 0.0;
  if (!readNum(minEdit, min) || std::abs(static_cast<double>(min)) > kMaxMinutes)
    return refuse(minEdit, tr("Minutes: a whole number from -%1 to %1, please.").arg(kMaxMinutes));
  if (!readNum(secEdit, sec) || std::fabs(sec) > kMaxMinutes * 60.0)
    return refuse(secEdit, tr("Seconds: a number from -%1 to %1, please.").arg(kMaxMinutes * 60));
  QDialog::accept();
}
