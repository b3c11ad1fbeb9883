#include "dialogs/ststepdialog.h"

#include "ui_ststepdialog.h"

StStepDialog::StStepDialog() : ui(std::make_unique<Ui::StStepDialog>()) {
  ui->setupUi(this);
  // Whole minutes and finite seconds, neither beyond 14 days: a step that
  // never advances or never ends a Delta Time run is refused on OK.
  checkField(ui->minEdit, tr("Minutes"), -kMaxMinutes, kMaxMinutes, Integer);
  checkField(ui->secEdit, tr("Seconds"), -kMaxMinutes * 60.0, kMaxMinutes * 60.0);
  connect(ui->okButton, &QPushButton::clicked, this, &StStepDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StStepDialog::reject);
}

StStepDialog::~StStepDialog() = default;

void StStepDialog::setParams(const StepParams& p) {
  setNum(ui->minEdit, p.minutes);
  setNum(ui->secEdit, p.seconds);
}

StepParams StStepDialog::params() const {
  StepParams p;
  readNum(ui->minEdit, p.minutes);
  readNum(ui->secEdit, p.seconds);
  return p;
}
