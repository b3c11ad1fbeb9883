// TLE adjustment settings and the SGP4 model switches.
#include "dialogs/stadjdialog.h"

namespace {
constexpr double kMinN0 = 0.001;  // rev/day: slower gives no usable semi-major axis
constexpr double kMaxN0 = 100.0;
}  // namespace

StAdjDialog::StAdjDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StAdjDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StAdjDialog::reject);
  checkField(n0Edit, tr("Mean Motion"), 0.0, kMaxN0);
  checkField(timEdit, tr("Epoch adjustment"), -1e8, 1e8);
  checkField(raEdit, tr("R.A. adjustment"), -360.0, 360.0);
}

void StAdjDialog::setParams(bool sdp4, bool adjflg, double adjtim, double adjn0, double adjra,
                            int wgs) {
  sdp4Box->setChecked(sdp4);
  adjBox->setChecked(adjflg);
  wgsBox->setChecked(wgs == 1);
  setNum(n0Edit, adjn0, "%12.8lf");
  setNum(timEdit, adjtim);
  setNum(raEdit, adjra, "%9.4lf");
}

void StAdjDialog::getParams(bool& sdp4, bool& adjflg, double& adjtim, double& adjn0,
                            double& adjra, int& wgs) {
  sdp4 = sdp4Box->isChecked();
  adjflg = adjBox->isChecked();
  wgs = wgsBox->isChecked() ? 1 : 0;
  readNum(n0Edit, adjn0);
  readNum(timEdit, adjtim);
  readNum(raEdit, adjra);
}

void StAdjDialog::accept() {
  if (!fieldsValid()) return;
  double n0 = 0.0;
  readNum(n0Edit, n0);
  if (n0 != 0.0 && n0 < kMinN0) {
    refuseField(n0Edit, tr("Mean Motion must be 0 (keep the value read) or between %1 and %2.")
                            .arg(numText(kMinN0), numText(kMaxN0)));
    return;
  }
  QDialog::accept();
}
