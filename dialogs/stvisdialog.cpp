#include "dialogs/stvisdialog.h"

#include <cmath>

StVisDialog::StVisDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StVisDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StVisDialog::reject);
  connect(flarBox, &QCheckBox::toggled, this, &StVisDialog::flarSlot);
  connect(occBox, &QCheckBox::toggled, this, &StVisDialog::occSlot);
  connect(iridBox, &QCheckBox::toggled, this, &StVisDialog::iridSlot);
  connect(eclBox, &QCheckBox::toggled, this, &StVisDialog::eclSlot);
  const QList<QAbstractButton*> options = {knownBox,    localBox,  ystBox, sunButton,
                                           radecButton, flrmagBox, cylBox};
  for (QAbstractButton* b : options) connect(b, &QAbstractButton::toggled, this, &StVisDialog::showSlot);
  checkField(sunelEdit, tr("Max. Sun Elevation"), -90, 90);
  checkField(satelEdit, tr("Min. Sat Elevation"), -90, 90);
  checkField(epochEdit, tr("Year of Epoch"), 0, 2200);
  checkField(flrmxEdit, tr("Maximum Flare Magnitude"), -30, 30);
}

void StVisDialog::setParams(double sunel, double satel, double yrepoch, double occra,
                            double occdec, int visflg, int moonflg) {
  setNum(sunelEdit, sunel);
  setNum(satelEdit, satel);
  setNum(epochEdit, yrepoch);
  setNum(yawEdit, occra);
  setNum(pitchEdit, occdec);
  visBox->setChecked(visflg == 1);
  moonBox->setChecked(moonflg == 1);
}

void StVisDialog::getParams(double& sunel, double& satel, double& yrepoch, double& occra,
                            double& occdec, int& visflg, int& moonflg) {
  readNum(sunelEdit, sunel);
  readNum(satelEdit, satel);
  readNum(epochEdit, yrepoch);
  readNum(yawEdit, occra);
  readNum(pitchEdit, occdec);
  visflg = visBox->isChecked() ? 1 : 0;
  moonflg = moonBox->isChecked() ? 1 : 0;
}

// Several modes on input: each box's slot clears the ones before it, so the
// mode set last wins (eclipse over Iridium over flares over occultation).
void StVisDialog::setParam2(int sunmplt, int occflg, int iridflg, int flarflg, int flarmod,
                            int flaryst, bool eclflg, bool solflar, bool flrmgf, double flrmgx,
                            bool cylflg) {
  setNum(flrmxEdit, flrmgx);
  smplotBox->setChecked(sunmplt == 1);
  if (occflg < 1) {
    occBox->setChecked(false);
    sunButton->setChecked(true);
  } else {
    occBox->setChecked(true);
    if (occflg == 1) sunButton->setChecked(true);
    if (occflg == 2) moonButton->setChecked(true);
    if (occflg == 3) radecButton->setChecked(true);
  }
  flarBox->setChecked(flarflg == 1);
  knownBox->setChecked(flarmod > 0);
  localBox->setChecked(std::abs(flarmod) == 1);
  iridBox->setChecked(iridflg == 3);
  ystBox->setChecked(flaryst == 1);
  eclBox->setChecked(eclflg);
  solfBox->setChecked(solflar);
  flrmagBox->setChecked(flrmgf);
  cylBox->setChecked(cylflg);
  showSlot();
}

void StVisDialog::getParam2(int& sunmplt, int& occflg, int& iridflg, int& flarflg, int& flarmod,
                            int& flaryst, bool& eclflg, bool& solflar, bool& flrmgf,
                            double& flrmgx, bool& cylflg) {
  readNum(flrmxEdit, flrmgx);
  sunmplt = smplotBox->isChecked() ? 1 : 0;
  if (!occBox->isChecked())
    occflg = 0;
  else if (radecButton->isChecked())
    occflg = 3;
  else if (moonButton->isChecked())
    occflg = 2;
  else
    occflg = 1;
  iridflg = iridBox->isChecked() ? 3 : 0;
  flaryst = ystBox->isChecked() ? 1 : 0;
  flarflg = flarBox->isChecked() ? 1 : 0;
  flarmod = localBox->isChecked() ? 1 : 2;
  if (!knownBox->isChecked()) flarmod = -flarmod;
  eclflg = eclBox->isChecked();
  solflar = solfBox->isChecked();
  flrmgf = flrmagBox->isChecked();
  cylflg = cylBox->isChecked() && !solfBox->isChecked();
}

void StVisDialog::modeSlot(QCheckBox* own) {
  if (own->isChecked()) {
    for (QCheckBox* other : {occBox, flarBox, iridBox, eclBox})
      if (other != own && other->isChecked()) other->setChecked(false);
  }
  showSlot();
}

void StVisDialog::flarSlot() { modeSlot(flarBox); }
void StVisDialog::occSlot() { modeSlot(occBox); }
void StVisDialog::iridSlot() { modeSlot(iridBox); }
void StVisDialog::eclSlot() { modeSlot(eclBox); }

bool StVisDialog::directionIsRaDec() const {
  return occBox->isChecked() || !localBox->isChecked();
}

void StVisDialog::showSlot() {
  const bool occ = occBox->isChecked();
  const bool flar = flarBox->isChecked();
  const bool known = knownBox->isChecked();
  const bool local = localBox->isChecked();
  occGroup->setVisible(occ);
  for (QWidget* w : {sunButton, moonButton, radecButton}) showControl(w, occ);
  showControl(smplotBox, occ && (sunButton->isChecked() || moonButton->isChecked()));
  showControl(knownBox, flar);
  showControl(localBox, flar);
  showControl(ystBox, flar && local);
  showControl(solfBox, flar && !known && !local);
  showControl(cylBox, flar && !known);
  showControl(flrmagBox, flar && known);
  const bool magLimit = flar && known && flrmagBox->isChecked();
  showControl(flrmagLabel, magLimit);
  showControl(flrmxEdit, magLimit);
  const bool direction =
      (flar && (known || cylBox->isChecked())) || (occ && radecButton->isChecked());
  const QList<QWidget*> fields = {yawLabel, yawEdit, pitchLabel, pitchEdit};
  for (QWidget* w : fields) showControl(w, direction);
  if (direction) {
    const bool raDec = directionIsRaDec();
    yawLabel->setText(raDec ? tr("R.A.(HH.MMSS):") : tr("Yaw (deg):"));
    pitchLabel->setText(raDec ? tr("Dec.(DDD.MMSS):") : tr("Pitch (deg):"));
  }
}

// Beyond the field ranges: an epoch year is 0 ("of date") or a real year, and
// the shown direction must fit its meaning. The two fields carry their numbers
// across a change of mode, so a yaw of 30 degrees would become R.A. 30 h.
void StVisDialog::accept() {
  if (!fieldsValid()) return;
  double epoch, first, second;
  readNum(epochEdit, epoch);
  const bool firstOk = readFinite(yawEdit, first);
  const bool secondOk = readFinite(pitchEdit, second);
  if (epoch != 0.0 && epoch < 1900.0) {
    refuseField(epochEdit, tr("Year of Epoch must be 0 (of date) or a year from 1900 to 2200."));
    return;
  }
  if (yawEdit->isEnabled()) {
    const bool raDec = directionIsRaDec();
    if (!firstOk || (raDec ? (first < 0.0 || first >= 24.0) : std::fabs(first) > 360.0)) {
      refuseField(yawEdit, raDec ? tr("R.A. must lie between 0 and 23.5959 (HH.MMSS).")
                                 : tr("Yaw must lie between -360 and 360 degrees."));
      return;
    }
    if (!secondOk || std::fabs(second) > (raDec ? 90.0 : 360.0)) {
      refuseField(pitchEdit, raDec ? tr("Dec. must lie between -90 and 90 (DDD.MMSS).")
                                   : tr("Pitch must lie between -360 and 360 degrees."));
      return;
    }
  }
  QDialog::accept();
}
