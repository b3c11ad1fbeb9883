// Launch site, direction and ascent time.
#include "dialogs/stlaunchdialog.h"

namespace {

struct Site {
  const char* name;
  double lat, lng;  // deg, north and east positive
};

// Wallops Island stands twice, with coordinates 0.01 deg apart: both entries
// stay, since configurations store the index.
constexpr Site kSiteTable[StLaunchDialog::kSites] = {
    {"User", 0.0, 0.0},
    {"Kennedy Space Center", 28.6272, -80.6208},
    {"Baikonur", 45.92, 63.3423},
    {"Kourou", 5.237, -52.775},
    {"Vandenberg", 34.7523, -120.6155},
    {"Plesetsk", 62.855, 40.867},
    {"Svobodny", 51.35, 128.133},
    {"Tanegashima", 30.38, 130.97},
    {"Kagoshima", 31.23, 131.08},
    {"Sriharikota", 13.576, 80.293},
    {"Xichang", 28.25, 102.02},
    {"Tai-yuan", 37.8, 111.5},
    {"Jiuquan", 40.9581, 100.2912},
    {"Wallops Island", 37.85, -75.47},
    {"Israeli Launch Complex", 31.52, 34.45},
    {"Alcantara", -2.4, -44.4},
    {"Woomera", -31.12, 136.53},
    {"Sea Launch", 0.0, -154.0},
    {"Wallops Island", 37.84, -75.48},
    {"Barents Sea", 69.5, 34.2},
    {"Kwajalein", 8.99, 167.72},
};

bool inList(int k) { return k >= 0 && k < StLaunchDialog::kSites; }

}  // namespace

double StLaunchDialog::siteLat(int k) { return inList(k) ? kSiteTable[k].lat : 0.0; }
double StLaunchDialog::siteLng(int k) { return inList(k) ? kSiteTable[k].lng : 0.0; }

StLaunchDialog::StLaunchDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StLaunchDialog::accept);
  // Cancel acts when the button goes down.
  connect(cancelButton, &QPushButton::pressed, this, &StLaunchDialog::reject);
  connect(siteBox, QOverload<int>::of(&QComboBox::activated), this, &StLaunchDialog::siteSlot);
  checkField(latEdit, tr("Latitude"), -90.0, 90.0);
  checkField(lngEdit, tr("Longitude"), -360.0, 360.0);
  checkField(mecoEdit, tr("Cutoff time"), -1e6, 1e6);
}

void StLaunchDialog::setParams(int lsx, double lat, double lng, bool lsouth, double tmeco) {
  setNum(latEdit, lat);
  setNum(lngEdit, lng);
  setNum(mecoEdit, tmeco);
  (lsouth ? southButton : northButton)->setChecked(true);
  csx_ = inList(lsx) ? lsx : 0;
  siteBox->clear();
  for (const Site& s : kSiteTable) siteBox->addItem(tr(s.name));
  siteBox->setCurrentIndex(csx_);
}

void StLaunchDialog::siteSlot(int index) {
  csx_ = inList(index) ? index : 0;
  const bool user = csx_ == 0;
  latEdit->setEnabled(user);
  lngEdit->setEnabled(user);
  if (!user) {
    setNum(latEdit, siteLat(csx_));
    setNum(lngEdit, siteLng(csx_));
  }
}

void StLaunchDialog::getParams(int& lsx, double& lat, double& lng, bool& lsouth, double& tmeco) {
  readNum(latEdit, lat);
  readNum(lngEdit, lng);
  readNum(mecoEdit, tmeco);
  lsouth = southButton->isChecked();
  lsx = csx_;
}
