#include "dialogs/stobsdialog.h"

#include <cmath>

#include "engine/vorlixcom.h"
#include "ui_stobsdialog.h"

StObsDialog::StObsDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StObsDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StObsDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StObsDialog::reject);
  // On toggled rather than clicked: arrow keys and a programmatic check
  // change the mode as well. The mode already shown is never converted again.
  connect(ui->decButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setDec();
  });
  connect(ui->ddmmButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setDdmm();
  });
  // Shown values: packed 90.0000 is the pole too, so one range serves both forms.
  checkField(ui->latEdit, tr("Latitude"), -90, 90);
  checkField(ui->lngEdit, tr("Longitude"), -360, 360);
  checkField(ui->heightEdit, tr("Height"), -1000, 100000);
}

StObsDialog::~StObsDialog() = default;

// Latitude in six significant digits; a longitude beyond 100 degrees keeps
// four decimals in a ten-character field, so seconds survive the packed form.
void StObsDialog::showAngles(double lat, double lng) {
  setNum(ui->latEdit, lat);
  if (std::fabs(lng) <= 100.0)
    setNum(ui->lngEdit, lng);
  else
    setNum(ui->lngEdit, lng, "%10.4lf");
}

void StObsDialog::readAngles(double& lat, double& lng) const {
  readNum(ui->latEdit, lat);
  readNum(ui->lngEdit, lng);
}

void StObsDialog::setParams(const ObsParams& p) {
  packed_ = p.packed;
  if (p.packed)
    showAngles(DegFDms(p.lat), DegFDms(p.lng));
  else
    showAngles(p.lat, p.lng);
  setNum(ui->heightEdit, p.height);
  ui->locEdit->setText(p.name);
  (p.packed ? ui->ddmmButton : ui->decButton)->setChecked(true);
}

ObsParams StObsDialog::params() const {
  ObsParams p;
  readAngles(p.lat, p.lng);
  readNum(ui->heightEdit, p.height);
  // Composed, so that a letter typed as base and accent is the one letter
  // the record can hold.
  p.name = ui->locEdit->text().normalized(QString::NormalizationForm_C);
  p.packed = ui->ddmmButton->isChecked();
  if (packed_) {
    p.lat = DmsDegF(p.lat);
    p.lng = DmsDegF(p.lng);
  }
  return p;
}

void StObsDialog::setDec() {
  if (!packed_) return;
  double lat, lng;
  readAngles(lat, lng);
  packed_ = false;
  showAngles(DmsDegF(lat), DmsDegF(lng));
}

void StObsDialog::setDdmm() {
  if (packed_) return;
  double lat, lng;
  readAngles(lat, lng);
  packed_ = true;
  showAngles(DegFDms(lat), DegFDms(lng));
}

namespace {

// The first character of the place name that the record's Latin-1 cannot
// hold (a whole character, also one beyond 16 bits); empty when there is none.
QString unstorableLetter(const QString& name) {
  for (const uint c : name.normalized(QString::NormalizationForm_C).toUcs4())
    if (c > 0xFF) return QString::fromUcs4(&c, 1);
  return QString();
}

}  // namespace

// A packed latitude such as 89.75 passes the field range but means 90.25 degrees.
void StObsDialog::accept() {
  if (!fieldsValid()) return;
  double lat, lng;
  readAngles(lat, lng);
  if (packed_ && std::fabs(DmsDegF(lat)) > 90.0) {
    refuseField(ui->latEdit, tr("Latitude must lie between -90 and 90 degrees."));
    return;
  }
  const QString letter = unstorableLetter(ui->locEdit->text());
  if (!letter.isEmpty()) {
    refuseField(ui->locEdit,
                tr("Name of Location: the letter \"%1\" cannot be stored (Latin-1 letters only).")
                    .arg(letter));
    return;
  }
  QDialog::accept();
}
