#include "dialogs/stmatchdialog.h"

#include "dialogs/stpacked.h"
#include "ui_stmatchdialog.h"

StMatchDialog::StMatchDialog() : ui(std::make_unique<Ui::StMatchDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StMatchDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StMatchDialog::reject);
  connect(ui->raBox, &QCheckBox::toggled, this, &StMatchDialog::raSlot);
  connect(ui->drfBox, &QCheckBox::toggled, this, &StMatchDialog::dirSlot);
  checkField(ui->mxaEdit, tr("Max.Distance"), 0.0, 180.0);
  checkField(ui->draEdit, tr("Direction"), -360.0, 360.0);
  // A day either way (the sign is dropped): the search looks at the first pass
  // of each satellite in the window only.
  checkField(ui->tmEdit, tr("Time Interval"), -1440.0, 1440.0);
}

StMatchDialog::~StMatchDialog() = default;

void StMatchDialog::setParams(const MatchParams& p) {
  setNum(ui->azEdit, p.centre1);
  setNum(ui->elEdit, p.centre2);
  setNum(ui->mxaEdit, p.maxDistance);
  setNum(ui->draEdit, p.direction);
  setNum(ui->tmEdit, p.window);
  ui->raBox->setChecked(p.raDec);
  ui->drfBox->setChecked(p.directionFilter);
  ui->visBox->setChecked(p.majorOnly);
  raSlot();
  dirSlot();
}

MatchParams StMatchDialog::params() const {
  MatchParams p;
  readNum(ui->azEdit, p.centre1);
  readNum(ui->elEdit, p.centre2);
  readNum(ui->mxaEdit, p.maxDistance);
  readNum(ui->draEdit, p.direction);
  readNum(ui->tmEdit, p.window);
  p.raDec = ui->raBox->isChecked();
  p.directionFilter = ui->drfBox->isChecked();
  p.majorOnly = ui->visBox->isChecked();
  return p;
}

void StMatchDialog::raSlot() {
  const bool rd = ui->raBox->isChecked();
  ui->raLabel->setText(rd ? tr("R.&A. (HH.MMSS):") : tr("&Azimuth (deg):"));
  ui->elLabel->setText(rd ? tr("D&ec. (DD.MMSS):") : tr("&Elevation (deg):"));
}

void StMatchDialog::dirSlot() { ui->draEdit->setEnabled(ui->drfBox->isChecked()); }

void StMatchDialog::accept() {
  const bool rd = ui->raBox->isChecked();
  if (!anglesValid(*this, {{ui->azEdit, rd ? AngleField::RaHours : AngleField::Azimuth,
                            rd ? tr("R.A.") : tr("Azimuth")},
                           {ui->elEdit, rd ? AngleField::DecDegrees : AngleField::Elevation,
                            rd ? tr("Dec.") : tr("Elevation")}}))
    return;
  StDialog::accept();
}
