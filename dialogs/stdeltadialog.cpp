// Delta-V manoeuvre or continuous thrust.
#include "dialogs/stdeltadialog.h"

StDeltaDialog::StDeltaDialog() {
  setupUi(this);
  connect(executeButton, &QPushButton::clicked, this, &StDeltaDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StDeltaDialog::reject);
  connect(ionBox, &QCheckBox::toggled, this, &StDeltaDialog::ionSlot);
  checkField(deltavEdit, tr("Delta-V"), -1e6, 1e6);
  checkField(yawEdit, tr("Yaw"), -360.0, 360.0);
  checkField(pitchEdit, tr("Pitch"), -360.0, 360.0);
}

void StDeltaDialog::setParams(double deltv, double yaw, double pitch, bool ionf, bool suns,
                              int nmflg, bool epu) {
  setNum(deltavEdit, deltv);
  setNum(yawEdit, yaw);
  setNum(pitchEdit, pitch);
  ionBox->setChecked(ionf);
  sunBox->setChecked(suns);
  epuBox->setChecked(epu);
  if (nmflg != 0) {
    ionBox->setEnabled(true);
    ionBox->show();
    ionSlot();
  } else {
    deltavLabel->setText(tr("&Delta-V (m/sec):"));
    for (QCheckBox* b : {ionBox, sunBox, epuBox}) {
      b->setEnabled(false);
      b->hide();
    }
  }
}

void StDeltaDialog::ionSlot() {
  const bool on = ionBox->isChecked();
  deltavLabel->setText(on ? tr("&Acceleration (mm/s^2):") : tr("&Delta-V (m/sec):"));
  for (QCheckBox* b : {sunBox, epuBox}) {
    b->setEnabled(on);
    b->setVisible(on);
  }
}

void StDeltaDialog::getParams(double& deltv, double& yaw, double& pitch, bool& ionf, bool& suns,
                              bool& epu) {
  readNum(deltavEdit, deltv);
  readNum(yawEdit, yaw);
  readNum(pitchEdit, pitch);
  ionf = ionBox->isChecked() && !ionBox->isHidden();
  suns = sunBox->isChecked();
  epu = epuBox->isChecked() && ionf;
}
