#include "dialogs/stmatchdialog.h"

#include "dialogs/stpacked.h"

StMatchDialog::StMatchDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StMatchDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StMatchDialog::reject);
  connect(raBox, &QCheckBox::toggled, this, &StMatchDialog::raSlot);
  connect(drfBox, &QCheckBox::toggled, this, &StMatchDialog::dirSlot);
  checkField(mxaEdit, tr("Max.Distance"), 0.0, 180.0);
  checkField(draEdit, tr("Direction"), -360.0, 360.0);
  // A day either way (the sign is dropped): the search looks at the first pass
  // of each satellite in the window only.
  checkField(tmEdit, tr("Time Interval"), -1440.0, 1440.0);
}

void StMatchDialog::setParams(double az, double el, double mxa, double dra, double tm, bool rdf,
                              bool drf, bool vis) {
  setNum(azEdit, az);
  setNum(elEdit, el);
  setNum(mxaEdit, mxa);
  setNum(draEdit, dra);
  setNum(tmEdit, tm);
  raBox->setChecked(rdf);
  drfBox->setChecked(drf);
  visBox->setChecked(vis);
  raSlot();
  dirSlot();
}

void StMatchDialog::getParams(double& az, double& el, double& mxa, double& dra, double& tm,
                              bool& rdf, bool& drf, bool& vis) {
  readNum(azEdit, az);
  readNum(elEdit, el);
  readNum(mxaEdit, mxa);
  readNum(draEdit, dra);
  readNum(tmEdit, tm);
  rdf = raBox->isChecked();
  drf = drfBox->isChecked();
  vis = visBox->isChecked();
}

void StMatchDialog::raSlot() {
  const bool rd = raBox->isChecked();
  raLabel->setText(rd ? tr("R.&A. (HH.MMSS):") : tr("&Azimuth (deg):"));
  elLabel->setText(rd ? tr("D&ec. (DD.MMSS):") : tr("&Elevation (deg):"));
}

void StMatchDialog::dirSlot() { draEdit->setEnabled(drfBox->isChecked()); }

void StMatchDialog::accept() {
  const bool rd = raBox->isChecked();
  if (!anglesValid(*this, {{azEdit, rd ? AngleField::RaHours : AngleField::Azimuth,
                            rd ? tr("R.A.") : tr("Azimuth")},
                           {elEdit, rd ? AngleField::DecDegrees : AngleField::Elevation,
                            rd ? tr("Dec.") : tr("Elevation")}}))
    return;
  StDialog::accept();
}
