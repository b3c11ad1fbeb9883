// Delta-V manoeuvre or continuous thrust.
#include "dialogs/stdeltadialog.h"

#include "ui_stdeltadialog.h"

StDeltaDialog::StDeltaDialog() : ui(std::make_unique<Ui::StDeltaDialog>()) {
  ui->setupUi(this);
  connect(ui->executeButton, &QPushButton::clicked, this, &StDeltaDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StDeltaDialog::reject);
  connect(ui->ionBox, &QCheckBox::toggled, this, &StDeltaDialog::ionSlot);
  checkField(ui->deltavEdit, tr("Delta-V"), -1e6, 1e6);
  checkField(ui->yawEdit, tr("Yaw"), -360.0, 360.0);
  checkField(ui->pitchEdit, tr("Pitch"), -360.0, 360.0);
}

StDeltaDialog::~StDeltaDialog() = default;

void StDeltaDialog::setParams(const DeltaParams& p) {
  setNum(ui->deltavEdit, p.deltaV);
  setNum(ui->yawEdit, p.yaw);
  setNum(ui->pitchEdit, p.pitch);
  ui->ionBox->setChecked(p.thrust);
  ui->sunBox->setChecked(p.sunlitOnly);
  ui->epuBox->setChecked(p.updateElements);
  if (p.numerical != 0) {
    ui->ionBox->setEnabled(true);
    ui->ionBox->show();
    ionSlot();
  } else {
    ui->deltavLabel->setText(tr("&Delta-V (m/sec):"));
    for (QCheckBox* b : {ui->ionBox, ui->sunBox, ui->epuBox}) {
      b->setEnabled(false);
      b->hide();
    }
  }
}

void StDeltaDialog::ionSlot() {
  const bool on = ui->ionBox->isChecked();
  ui->deltavLabel->setText(on ? tr("&Acceleration (mm/s^2):") : tr("&Delta-V (m/sec):"));
  for (QCheckBox* b : {ui->sunBox, ui->epuBox}) {
    b->setEnabled(on);
    b->setVisible(on);
  }
}

DeltaParams StDeltaDialog::params() const {
  DeltaParams p;
  readNum(ui->deltavEdit, p.deltaV);
  readNum(ui->yawEdit, p.yaw);
  readNum(ui->pitchEdit, p.pitch);
  p.thrust = ui->ionBox->isChecked() && !ui->ionBox->isHidden();
  p.sunlitOnly = ui->sunBox->isChecked();
  p.updateElements = ui->epuBox->isChecked() && p.thrust;
  return p;
}
