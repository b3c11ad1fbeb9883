#include "dialogs/stobsdialog.h"

#include <cmath>

#include "engine/vorlixcom.h"

StObsDialog::StObsDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StObsDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StObsDialog::reject);
  // On toggled rather than clicked: arrow keys and a programmatic check
  // change the mode as well. The mode already shown is never converted again.
  connect(decButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setDec();
  });
  connect(ddmmButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setDdmm();
  });
  // Shown values: packed 90.0000 is the pole too, so one range serves both forms.
  checkField(latEdit, tr("Latitude"), -90, 90);
  checkField(lngEdit, tr("Longitude"), -360, 360);
  checkField(heightEdit, tr("Height"), -1000, 100000);
}

// Latitude in six significant digits; a longitude beyond 100 degrees keeps
// four decimals in a ten-character field, so seconds survive the packed form.
void StObsDialog::showAngles(double lat, double lng) {
  setNum(latEdit, lat);
  if (std::fabs(lng) <= 100.0)
    setNum(lngEdit, lng);
  else
    setNum(lngEdit, lng, "%10.4lf");
}

void StObsDialog::readAngles(double& lat, double& lng) const {
  readNum(latEdit, lat);
  readNum(lngEdit, lng);
}

void StObsDialog::setParams(double lat, double lng, double height, const char* geoname,
                            bool ddmm) {
  packed_ = ddmm;
  if (ddmm)
    showAngles(DegFDms(lat), DegFDms(lng));
  else
    showAngles(lat, lng);
  setNum(heightEdit, height);
  locEdit->setText(QString::fromLatin1(geoname ? geoname : ""));
  (ddmm ? ddmmButton : decButton)->setChecked(true);
}

void StObsDialog::getParams(double& lat, double& lng, double& height, bool& ddmm) {
  readAngles(lat, lng);
  readNum(heightEdit, height);
  ddmm = ddmmButton->isChecked();
  if (packed_) {
    lat = DmsDegF(lat);
    lng = DmsDegF(lng);
  }
}

QString StObsDialog::getGeoname() { return locEdit->text(); }

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

// A packed latitude such as 89.75 passes the field range but means 90.25 degrees.
void StObsDialog::accept() {
  if (!fieldsValid()) return;
  double lat, lng;
  readAngles(lat, lng);
  if (packed_ && std::fabs(DmsDegF(lat)) > 90.0) {
    refuseField(latEdit, tr("Latitude must lie between -90 and 90 degrees."));
    return;
  }
  QDialog::accept();
}
