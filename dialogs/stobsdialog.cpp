#include "dialogs/stobsdialog.h"

#include <cmath>
#include <cstdio>

#include "dialogs/stdialog.h"
#include "engine/vorlixcom.h"

StObsDialog::StObsDialog(QWidget* parent) : QDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StObsDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StObsDialog::reject);
  connect(decButton, &QRadioButton::clicked, this, &StObsDialog::setDec);
  connect(ddmmButton, &QRadioButton::clicked, this, &StObsDialog::setDdmm);
}

// Latitude in six significant digits; a longitude beyond 100 degrees keeps
// four decimals in a ten-character field, so seconds survive the packed form.
void StObsDialog::showAngles(double lat, double lng) {
  setNum(latEdit, lat);
  if (std::fabs(lng) <= 100.0) {
    setNum(lngEdit, lng);
  } else {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%10.4lf", lng);
    decdot(buf);
    setNumText(lngEdit, QString::fromLatin1(buf), lng);
  }
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

QString StObsDialog::inputError() const {
  double lat, lng, height;
  bool latOk = readNum(latEdit, lat);
  bool lngOk = readNum(lngEdit, lng);
  if (packed_) {
    lat = DmsDegF(lat);
    lng = DmsDegF(lng);
  }
  if (!latOk || std::fabs(lat) > 90.0)
    return tr("Latitude: enter degrees from -90 (south) to 90 (north).");
  if (!lngOk || std::fabs(lng) > 360.0)
    return tr("Longitude: enter degrees from -360 to 360 (west negative).");
  if (!readNum(heightEdit, height)) return tr("Height: enter the height in metres.");
  return QString();
}

void StObsDialog::accept() {
  QString err = inputError();
  if (!err.isEmpty()) {
    stRefuse(this, nullptr, err);
    return;
  }
  QDialog::accept();
}
