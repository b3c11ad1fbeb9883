#include "dialogs/stvisdialog.h"

#include <cmath>

#include "dialogs/stpacked.h"
#include "ui_stvisdialog.h"

StVisDialog::StVisDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StVisDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StVisDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StVisDialog::reject);
  connect(ui->flarBox, &QCheckBox::toggled, this, &StVisDialog::flarSlot);
  connect(ui->occBox, &QCheckBox::toggled, this, &StVisDialog::occSlot);
  connect(ui->iridBox, &QCheckBox::toggled, this, &StVisDialog::iridSlot);
  connect(ui->eclBox, &QCheckBox::toggled, this, &StVisDialog::eclSlot);
  const QList<QAbstractButton*> options = {ui->knownBox,  ui->localBox,    ui->ystBox,
                                           ui->sunButton, ui->radecButton, ui->flrmagBox,
                                           ui->cylBox};
  for (QAbstractButton* b : options) connect(b, &QAbstractButton::toggled, this, &StVisDialog::showSlot);
  checkField(ui->sunelEdit, tr("Max. Sun Elevation"), -90, 90);
  checkField(ui->satelEdit, tr("Min. Sat Elevation"), -90, 90);
  checkField(ui->epochEdit, tr("Year of Epoch"), 0, 2200);
  checkField(ui->flrmxEdit, tr("Maximum Flare Magnitude"), -30, 30);
}

StVisDialog::~StVisDialog() = default;

// Several modes on input: each box's slot clears the ones before it, so the
// mode set last wins.
void StVisDialog::setParams(const VisParams& p) {
  setNum(ui->sunelEdit, p.sunElevationMax);
  setNum(ui->satelEdit, p.satElevationMin);
  setNum(ui->epochEdit, p.epochYear);
  setNum(ui->yawEdit, p.direction1);
  setNum(ui->pitchEdit, p.direction2);
  ui->visBox->setChecked(p.visibleOnly == 1);
  ui->moonBox->setChecked(p.moonshineOnly == 1);
  setNum(ui->flrmxEdit, p.flareMagLimit);
  ui->smplotBox->setChecked(p.sunMoonChart == 1);
  if (p.occultation < 1) {
    ui->occBox->setChecked(false);
    ui->sunButton->setChecked(true);
  } else {
    ui->occBox->setChecked(true);
    if (p.occultation == 1) ui->sunButton->setChecked(true);
    if (p.occultation == 2) ui->moonButton->setChecked(true);
    if (p.occultation == 3) ui->radecButton->setChecked(true);
  }
  ui->flarBox->setChecked(p.flares == 1);
  ui->knownBox->setChecked(p.flareModel > 0);
  ui->localBox->setChecked(std::abs(p.flareModel) == 1);
  ui->iridBox->setChecked(p.iridium == 3);
  ui->ystBox->setChecked(p.yawSteering == 1);
  ui->eclBox->setChecked(p.eclipse);
  ui->solfBox->setChecked(p.solarPanel);
  ui->flrmagBox->setChecked(p.flareMagLimited);
  ui->cylBox->setChecked(p.cylinder);
  showSlot();
}

VisParams StVisDialog::params() const {
  VisParams p;
  readNum(ui->sunelEdit, p.sunElevationMax);
  readNum(ui->satelEdit, p.satElevationMin);
  readNum(ui->epochEdit, p.epochYear);
  readNum(ui->yawEdit, p.direction1);
  readNum(ui->pitchEdit, p.direction2);
  p.visibleOnly = ui->visBox->isChecked() ? 1 : 0;
  p.moonshineOnly = ui->moonBox->isChecked() ? 1 : 0;
  readNum(ui->flrmxEdit, p.flareMagLimit);
  p.sunMoonChart = ui->smplotBox->isChecked() ? 1 : 0;
  if (!ui->occBox->isChecked())
    p.occultation = 0;
  else if (ui->radecButton->isChecked())
    p.occultation = 3;
  else if (ui->moonButton->isChecked())
    p.occultation = 2;
  else
    p.occultation = 1;
  p.iridium = ui->iridBox->isChecked() ? 3 : 0;
  p.yawSteering = ui->ystBox->isChecked() ? 1 : 0;
  p.flares = ui->flarBox->isChecked() ? 1 : 0;
  p.flareModel = ui->localBox->isChecked() ? 1 : 2;
  if (!ui->knownBox->isChecked()) p.flareModel = -p.flareModel;
  p.eclipse = ui->eclBox->isChecked();
  p.solarPanel = ui->solfBox->isChecked();
  p.flareMagLimited = ui->flrmagBox->isChecked();
  p.cylinder = ui->cylBox->isChecked() && !ui->solfBox->isChecked();
  return p;
}

void StVisDialog::modeSlot(QCheckBox* own) {
  if (own->isChecked()) {
    for (QCheckBox* other : {ui->occBox, ui->flarBox, ui->iridBox, ui->eclBox})
      if (other != own && other->isChecked()) other->setChecked(false);
  }
  showSlot();
}

void StVisDialog::flarSlot() { modeSlot(ui->flarBox); }
void StVisDialog::occSlot() { modeSlot(ui->occBox); }
void StVisDialog::iridSlot() { modeSlot(ui->iridBox); }
void StVisDialog::eclSlot() { modeSlot(ui->eclBox); }

bool StVisDialog::directionIsRaDec() const {
  return ui->occBox->isChecked() || !ui->localBox->isChecked();
}

void StVisDialog::showSlot() {
  const bool occ = ui->occBox->isChecked();
  const bool flar = ui->flarBox->isChecked();
  const bool known = ui->knownBox->isChecked();
  const bool local = ui->localBox->isChecked();
  ui->occGroup->setVisible(occ);
  for (QWidget* w : {ui->sunButton, ui->moonButton, ui->radecButton}) showControl(w, occ);
  showControl(ui->smplotBox, occ && (ui->sunButton->isChecked() || ui->moonButton->isChecked()));
  showControl(ui->knownBox, flar);
  showControl(ui->localBox, flar);
  showControl(ui->ystBox, flar && local);
  showControl(ui->solfBox, flar && !known && !local);
  showControl(ui->cylBox, flar && !known);
  showControl(ui->flrmagBox, flar && known);
  const bool magLimit = flar && known && ui->flrmagBox->isChecked();
  showControl(ui->flrmagLabel, magLimit);
  showControl(ui->flrmxEdit, magLimit);
  const bool direction =
      (flar && (known || ui->cylBox->isChecked())) || (occ && ui->radecButton->isChecked());
  const QList<QWidget*> fields = {ui->yawLabel, ui->yawEdit, ui->pitchLabel, ui->pitchEdit};
  for (QWidget* w : fields) showControl(w, direction);
  if (direction) {
    const bool raDec = directionIsRaDec();
    ui->yawLabel->setText(raDec ? tr("R.A.(HH.MMSS):") : tr("Yaw (deg):"));
    ui->pitchLabel->setText(raDec ? tr("Dec.(DDD.MMSS):") : tr("Pitch (deg):"));
  }
}

// Beyond the field ranges: an epoch year is 0 ("of date") or a real year, and
// the shown direction must fit its meaning. The two fields carry their numbers
// across a change of mode, so a yaw of 30 degrees would become R.A. 30 h. A
// packed R.A. or Dec. is checked as everywhere else: minutes and seconds below
// 60, so that R.A. 12.75 or Dec. 89.75 (90.25 degrees) is refused.
void StVisDialog::accept() {
  if (!fieldsValid()) return;
  double epoch;
  readNum(ui->epochEdit, epoch);
  if (epoch != 0.0 && epoch < 1900.0) {
    refuseField(ui->epochEdit,
                tr("Year of Epoch must be 0 (of date) or a year from 1900 to 2200."));
    return;
  }
  if (ui->yawEdit->isEnabled()) {
    if (directionIsRaDec()) {
      if (!anglesValid(*this, {{ui->yawEdit, AngleField::RaHours, tr("R.A.")},
                               {ui->pitchEdit, AngleField::DecDegrees, tr("Dec.")}}))
        return;
    } else {
      const struct {
        QLineEdit* edit;
        QString name;
      } angles[] = {{ui->yawEdit, tr("Yaw")}, {ui->pitchEdit, tr("Pitch")}};
      for (const auto& a : angles) {
        QString problem = numberProblem(a.edit, a.name);
        double v = 0.0;
        if (problem.isEmpty() && (!readFinite(a.edit, v) || std::fabs(v) > 360.0))
          problem = tr("%1 must lie between -360 and 360 degrees.").arg(a.name);
        if (!problem.isEmpty()) {
          refuseField(a.edit, problem);
          return;
        }
      }
    }
  }
  QDialog::accept();
}
