#include "dialogs/storbdetdialog.h"

#include "dialogs/stpacked.h"
#include "gui/vsservices.h"
#include "ui_storbdetdialog.h"

StOrbDetDialog::StOrbDetDialog() : ui(std::make_unique<Ui::StOrbDetDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StOrbDetDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StOrbDetDialog::reject);
  connect(ui->obs1Box, &QCheckBox::toggled, this, &StOrbDetDialog::obs1Slot);
  connect(ui->obs2Box, &QCheckBox::toggled, this, &StOrbDetDialog::obs2Slot);
  connect(ui->reverseButton, &QPushButton::clicked, this, &StOrbDetDialog::revSlot);
  connect(ui->picButton, &QPushButton::clicked, this, &StOrbDetDialog::picSlot);
  // The second sighting follows the first (Reverse swaps them), within a day:
  // longer apart, two sightings are no longer one pass. An empty field or
  // letters would read as 0 s, which no orbit fits.
  checkField(ui->deltmEdit, tr("Delta Time"), 0.001, 86400.0, Typed);
}

StOrbDetDialog::~StOrbDetDialog() = default;

void StOrbDetDialog::setParams(const OrbDetParams& p) {
  setNum(ui->az1Edit, p.az1);
  setNum(ui->el1Edit, p.el1);
  setNum(ui->az2Edit, p.az2);
  setNum(ui->el2Edit, p.el2);
  setNum(ui->deltmEdit, p.deltm);
  ui->obs1Box->setChecked(p.raDec1);
  ui->obs2Box->setChecked(p.raDec2);
  obs1Slot();
  obs2Slot();
  ui->matchBox->setChecked(p.match);
  ui->picButton->setEnabled(p.picture);
  ui->picButton->setVisible(p.picture);
}

OrbDetParams StOrbDetDialog::params() const {
  OrbDetParams p;
  readNum(ui->az1Edit, p.az1);
  readNum(ui->el1Edit, p.el1);
  readNum(ui->az2Edit, p.az2);
  readNum(ui->el2Edit, p.el2);
  readNum(ui->deltmEdit, p.deltm);
  p.raDec1 = ui->obs1Box->isChecked();
  p.raDec2 = ui->obs2Box->isChecked();
  p.match = ui->matchBox->isChecked();
  return p;
}

void StOrbDetDialog::obs1Slot() {
  const bool rd = ui->obs1Box->isChecked();
  ui->az1Label->setText(rd ? tr("R.A.&1 (HH.MMSS):") : tr("Azimuth &1 (deg):"));
  ui->el1Label->setText(rd ? tr("Dec.1 (DD.MMSS):") : tr("Elevation 1 (deg):"));
}

void StOrbDetDialog::obs2Slot() {
  const bool rd = ui->obs2Box->isChecked();
  ui->az2Label->setText(rd ? tr("R.A.&2 (HH.MMSS):") : tr("Azimuth &2 (deg):"));
  ui->el2Label->setText(rd ? tr("Dec.2 (DD.MMSS):") : tr("Elevation 2 (deg):"));
}

void StOrbDetDialog::revSlot() {
  swapNum(ui->az1Edit, ui->az2Edit);
  swapNum(ui->el1Edit, ui->el2Edit);
  const bool f1 = ui->obs1Box->isChecked();
  ui->obs1Box->setChecked(ui->obs2Box->isChecked());
  ui->obs2Box->setChecked(f1);
}

void StOrbDetDialog::picSlot() {
  double ra1, dec1, ra2, dec2;
  vsGetPict(ra1, dec1, ra2, dec2);
  setNum(ui->az1Edit, ra1);
  setNum(ui->el1Edit, dec1);
  setNum(ui->az2Edit, ra2);
  setNum(ui->el2Edit, dec2);
  ui->obs1Box->setChecked(true);
  ui->obs2Box->setChecked(true);
  obs1Slot();
  obs2Slot();
}

void StOrbDetDialog::accept() {
  const bool rd1 = ui->obs1Box->isChecked(), rd2 = ui->obs2Box->isChecked();
  if (!anglesValid(*this, {
          {ui->az1Edit, rd1 ? AngleField::RaHours : AngleField::Azimuth,
           rd1 ? tr("R.A.1") : tr("Azimuth 1")},
          {ui->el1Edit, rd1 ? AngleField::DecDegrees : AngleField::Elevation,
           rd1 ? tr("Dec.1") : tr("Elevation 1")},
          {ui->az2Edit, rd2 ? AngleField::RaHours : AngleField::Azimuth,
           rd2 ? tr("R.A.2") : tr("Azimuth 2")},
          {ui->el2Edit, rd2 ? AngleField::DecDegrees : AngleField::Elevation,
           rd2 ? tr("Dec.2") : tr("Elevation 2")},
      }))
    return;
  StDialog::accept();
}
