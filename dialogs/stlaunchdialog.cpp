// Launch site, direction and ascent time.
#include "dialogs/stlaunchdialog.h"

#include "ui_stlaunchdialog.h"

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

StLaunchDialog::StLaunchDialog() : ui(std::make_unique<Ui::StLaunchDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StLaunchDialog::accept);
  // Cancel acts when the button goes down.
  connect(ui->cancelButton, &QPushButton::pressed, this, &StLaunchDialog::reject);
  connect(ui->siteBox, QOverload<int>::of(&QComboBox::activated), this, &StLaunchDialog::siteSlot);
  checkField(ui->latEdit, tr("Latitude"), -90.0, 90.0);
  checkField(ui->lngEdit, tr("Longitude"), -360.0, 360.0);
  checkField(ui->mecoEdit, tr("Cutoff time"), -1e6, 1e6);
}

StLaunchDialog::~StLaunchDialog() = default;

void StLaunchDialog::setParams(const LaunchParams& p) {
  setNum(ui->latEdit, p.lat);
  setNum(ui->lngEdit, p.lng);
  setNum(ui->mecoEdit, p.ascent);
  (p.south ? ui->southButton : ui->northButton)->setChecked(true);
  csx_ = inList(p.site) ? p.site : 0;
  ui->siteBox->clear();
  for (const Site& s : kSiteTable) ui->siteBox->addItem(tr(s.name));
  ui->siteBox->setCurrentIndex(csx_);
}

void StLaunchDialog::siteSlot(int index) {
  csx_ = inList(index) ? index : 0;
  const bool user = csx_ == 0;
  ui->latEdit->setEnabled(user);
  ui->lngEdit->setEnabled(user);
  if (!user) {
    setNum(ui->latEdit, siteLat(csx_));
    setNum(ui->lngEdit, siteLng(csx_));
  }
}

LaunchParams StLaunchDialog::params() const {
  LaunchParams p;
  readNum(ui->latEdit, p.lat);
  readNum(ui->lngEdit, p.lng);
  readNum(ui->mecoEdit, p.ascent);
  p.south = ui->southButton->isChecked();
  p.site = csx_;
  return p;
}
