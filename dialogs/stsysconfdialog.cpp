#include "dialogs/stsysconfdialog.h"
#include "orbit/vorlixnum.h"

StSysConfDialog::StSysConfDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StSysConfDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StSysConfDialog::reject);
  // The integrator takes no tolerance below 1e-14; a negative coefficient makes
  // every new numerical slot unusable.
  checkField(tolEdit, tr("Relative Tolerance"), 1e-14, 1);
  checkField(mxiEdit, tr("Maximum Number of Iterations"), 0, 1000000, Integer);
  checkField(fb107Edit, tr("Average Solar Flux"), 0, F107_MAX);
  checkField(f107Edit, tr("Daily Solar Flux"), 0, F107_MAX);
  checkField(kpEdit, tr("Geomagnetic Kp Index"), 0, KP_MAX);
  checkField(dragEdit, tr("Drag Coefficient"), 0, 100);
  checkField(crEdit, tr("Radiation Pressure"), 0, 100);
  checkField(amEdit, tr("Area/Mass"), 0, 1000);
  checkField(liftEdit, tr("Lift/Drag Ratio"), -100, 100);
}

void StSysConfDialog::setParams(double RKFtol, double dF107, double dFB107, double dKp,
                                double dCd, double dCr, double dAm, double lift, bool sunf,
                                bool moonf, bool refrc, int mxit, bool atmx) {
  setNum(tolEdit, RKFtol);
  setNum(mxiEdit, mxit);
  setNum(fb107Edit, dFB107);
  setNum(f107Edit, dF107);
  setNum(kpEdit, dKp);
  setNum(dragEdit, dCd);
  setNum(crEdit, dCr);
  setNum(amEdit, dAm);
  setNum(liftEdit, lift);
  sunBox->setChecked(sunf);
  moonBox->setChecked(moonf);
  refractBox->setChecked(refrc);
  atxBox->setChecked(atmx);
}

void StSysConfDialog::getParams(double& RKFtol, double& dF107, double& dFB107, double& dKp,
                                double& dCd, double& dCr, double& dAm, double& lift, bool& sunf,
                                bool& moonf, bool& refrc, int& mxit, bool& atmx) {
  readNum(tolEdit, RKFtol);
  readNum(mxiEdit, mxit);
  readNum(fb107Edit, dFB107);
  readNum(f107Edit, dF107);
  readNum(kpEdit, dKp);
  readNum(dragEdit, dCd);
  readNum(crEdit, dCr);
  readNum(amEdit, dAm);
  readNum(liftEdit, lift);
  sunf = sunBox->isChecked();
  moonf = moonBox->isChecked();
  refrc = refractBox->isChecked();
  atmx = atxBox->isChecked();
}
