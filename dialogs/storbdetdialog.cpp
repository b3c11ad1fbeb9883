#include "dialogs/storbdetdialog.h"

#include "dialogs/stpacked.h"
#include "gui/vsservices.h"

StOrbDetDialog::StOrbDetDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StOrbDetDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StOrbDetDialog::reject);
  connect(obs1Box, &QCheckBox::toggled, this, &StOrbDetDialog::obs1Slot);
  connect(obs2Box, &QCheckBox::toggled, this, &StOrbDetDialog::obs2Slot);
  connect(reverseButton, &QPushButton::clicked, this, &StOrbDetDialog::revSlot);
  connect(picButton, &QPushButton::clicked, this, &StOrbDetDialog::picSlot);
  // The second sighting follows the first (Reverse swaps them), within a day:
  // longer apart, two sightings are no longer one pass. An empty field or
  // letters would read as 0 s, which no orbit fits.
  checkField(deltmEdit, tr("Delta Time"), 0.001, 86400.0, Typed);
}

void StOrbDetDialog::setParams(double az1, double el1, double az2, double el2, double deltm,
                               bool az1flg, bool az2flg, bool odm, bool odp) {
  setNum(az1Edit, az1);
  setNum(el1Edit, el1);
  setNum(az2Edit, az2);
  setNum(el2Edit, el2);
  setNum(deltmEdit, deltm);
  obs1Box->setChecked(az1flg);
  obs2Box->setChecked(az2flg);
  obs1Slot();
  obs2Slot();
  matchBox->setChecked(odm);
  picButton->setEnabled(odp);
  picButton->setVisible(odp);
}

void StOrbDetDialog::getParams(double& az1, double& el1, double& az2, double& el2,
                               double& deltm, bool& az1flg, bool& az2flg, bool& odm) {
  readNum(az1Edit, az1);
  readNum(el1Edit, el1);
  readNum(az2Edit, az2);
  readNum(el2Edit, el2);
  readNum(deltmEdit, deltm);
  az1flg = obs1Box->isChecked();
  az2flg = obs2Box->isChecked();
  odm = matchBox->isChecked();
}

void StOrbDetDialog::obs1Slot() {
  const bool rd = obs1Box->isChecked();
  az1Label->setText(rd ? tr("R.A.&1 (HH.MMSS):") : tr("Azimuth &1 (deg):"));
  el1Label->setText(rd ? tr("Dec.1 (DD.MMSS):") : tr("Elevation 1 (deg):"));
}

void StOrbDetDialog::obs2Slot() {
  const bool rd = obs2Box->isChecked();
  az2Label->setText(rd ? tr("R.A.&2 (HH.MMSS):") : tr("Azimuth &2 (deg):"));
  el2Label->setText(rd ? tr("Dec.2 (DD.MMSS):") : tr("Elevation 2 (deg):"));
}

void StOrbDetDialog::revSlot() {
  swapNum(az1Edit, az2Edit);
  swapNum(el1Edit, el2Edit);
  const bool f1 = obs1Box->isChecked();
  obs1Box->setChecked(obs2Box->isChecked());
  obs2Box->setChecked(f1);
}

void StOrbDetDialog::picSlot() {
  double ra1, dec1, ra2, dec2;
  vsGetPict(ra1, dec1, ra2, dec2);
  setNum(az1Edit, ra1);
  setNum(el1Edit, dec1);
  setNum(az2Edit, ra2);
  setNum(el2Edit, dec2);
  obs1Box->setChecked(true);
  obs2Box->setChecked(true);
  obs1Slot();
  obs2Slot();
}

void StOrbDetDialog::accept() {
  const bool rd1 = obs1Box->isChecked(), rd2 = obs2Box->isChecked();
  if (!anglesValid(*this, {
          {az1Edit, rd1 ? AngleField::RaHours : AngleField::Azimuth, rd1 ? tr("R.A.1") : tr("Azimuth 1")},
          {el1Edit, rd1 ? AngleField::DecDegrees : AngleField::Elevation, rd1 ? tr("Dec.1") : tr("Elevation 1")},
          {az2Edit, rd2 ? AngleField::RaHours : AngleField::Azimuth, rd2 ? tr("R.A.2") : tr("Azimuth 2")},
          {el2Edit, rd2 ? AngleField::DecDegrees : AngleField::Elevation, rd2 ? tr("Dec.2") : tr("Elevation 2")},
      }))
    return;
  StDialog::accept();
}
