#include "dialogs/stiridiumdialog.h"

#include "engine/lists.h"
#include "ui_stiridiumdialog.h"

StIridiumDialog::StIridiumDialog() : ui(std::make_unique<Ui::StIridiumDialog>()) {
  ui->setupUi(this);
  // No fainter limit than the flare list takes: it would refuse it later.
  checkField(ui->magEdit, tr("Minimum Magnitude"), -30.0, IRMAG_MAX);
  connect(ui->okButton, &QPushButton::clicked, this, &StIridiumDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StIridiumDialog::reject);
}

StIridiumDialog::~StIridiumDialog() = default;

void StIridiumDialog::setParams(const IridiumParams& p) {
  setNum(ui->magEdit, p.magLimit);
  ui->opsBox->setChecked(p.operationalOnly);
  ui->solpBox->setChecked(p.solarPanels);
}

IridiumParams StIridiumDialog::params() const {
  IridiumParams p;
  readNum(ui->magEdit, p.magLimit);
  p.operationalOnly = ui->opsBox->isChecked();
  p.solarPanels = ui->solpBox->isChecked();
  return p;
}
