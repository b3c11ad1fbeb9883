#include "dialogs/ststepdialog.h"

StStepDialog::StStepDialog() {
  setupUi(this);
  // Whole minutes and finite seconds, neither beyond 14 days: a step that
  // never advances or never ends a Delta Time run is refused on OK.
  checkField(minEdit, tr("Minutes"), -kMaxMinutes, kMaxMinutes, Integer);
  checkField(secEdit, tr("Seconds"), -kMaxMinutes * 60.0, kMaxMinutes * 60.0);
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
