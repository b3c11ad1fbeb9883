#include "dialogs/ststepdialog.h"

#include <cmath>

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

// Both fields read, a step that would not move the clock is refused; the
// seconds field gets the focus since that is where such a step is typed.
void StStepDialog::accept() {
  if (!fieldsValid()) return;
  const StepParams p = params();
  const double seconds = std::fabs(static_cast<double>(p.minutes)) * 60.0 + std::fabs(p.seconds);
  if (seconds != 0.0 && seconds < kMinSeconds) {
    refuseField(ui->secEdit,
                tr("A step of %1 s is too small to move the clock: the smallest step is "
                   "%2 s (0 minutes and 0 seconds also give %2 s).")
                    .arg(numText(seconds), numText(kMinSeconds)));
    return;
  }
  QDialog::accept();
}
