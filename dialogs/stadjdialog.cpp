// TLE adjustment settings and the SGP4 model switches.
#include "dialogs/stadjdialog.h"

#include "ui_stadjdialog.h"

namespace {
constexpr double kMinN0 = 0.001;  // rev/day: slower gives no usable semi-major axis
constexpr double kMaxN0 = 100.0;
}  // namespace

StAdjDialog::StAdjDialog() : ui(std::make_unique<Ui::StAdjDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StAdjDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StAdjDialog::reject);
  checkField(ui->n0Edit, tr("Mean Motion"), 0.0, kMaxN0);
  checkField(ui->timEdit, tr("Epoch adjustment"), -1e8, 1e8);
  checkField(ui->raEdit, tr("R.A. adjustment"), -360.0, 360.0);
}

StAdjDialog::~StAdjDialog() = default;

void StAdjDialog::setParams(const AdjParams& p) {
  ui->sdp4Box->setChecked(p.sdp4);
  ui->adjBox->setChecked(p.adjflg);
  ui->wgsBox->setChecked(p.wgs == 1);
  setNum(ui->n0Edit, p.adjn0, "%12.8lf");
  setNum(ui->timEdit, p.adjtim);
  setNum(ui->raEdit, p.adjra, "%9.4lf");
}

AdjParams StAdjDialog::params() const {
  AdjParams p;
  p.sdp4 = ui->sdp4Box->isChecked();
  p.adjflg = ui->adjBox->isChecked();
  p.wgs = ui->wgsBox->isChecked() ? 1 : 0;
  readNum(ui->n0Edit, p.adjn0);
  readNum(ui->timEdit, p.adjtim);
  readNum(ui->raEdit, p.adjra);
  return p;
}

void StAdjDialog::accept() {
  if (!fieldsValid()) return;
  double n0 = 0.0;
  readNum(ui->n0Edit, n0);
  if (n0 != 0.0 && n0 < kMinN0) {
    refuseField(ui->n0Edit, tr("Mean Motion must be 0 (keep the value read) or between %1 and %2.")
                            .arg(numText(kMinN0), numText(kMaxN0)));
    return;
  }
  QDialog::accept();
}
