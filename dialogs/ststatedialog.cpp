// State vector in four frames and the force-model coefficients.
#include "dialogs/ststatedialog.h"

#include <cmath>

#include "astro/constants.h"
#include "dialogs/stepoch.h"
#include "engine/stateframes.h"
#include "gui/vsservices.h"
#include "orbit/vorlixnum.h"

namespace {
const char* const kVecFormat = "%20.12le";
const char* const kDayFormat = "%14.10lf";

void Convert(int from, int to, double t, Vec3& r, Vec3& v) {
  vsRefState(from, to, t, r.x, r.y, r.z, v.x, v.y, v.z);
}
}  // namespace

StStateDialog::StStateDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StStateDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StStateDialog::reject);
  connect(timeButton, &QPushButton::clicked, this, &StStateDialog::timeSlot);
  for (QRadioButton* b : {todButton, mdateButton, j2000Button, efixButton})
    connect(b, &QRadioButton::toggled, this, &StStateDialog::refSlot);
  checkField(yearEdit, tr("Year of Epoch"), 1900, 2200, Integer);
  checkField(dayEdit, tr("Day of Year"), 0.0, 367.0);
  const QString pos[3] = {tr("Position X"), tr("Position Y"), tr("Position Z")};
  const QString vel[3] = {tr("Velocity X"), tr("Velocity Y"), tr("Velocity Z")};
  QLineEdit* r[3] = {r0Edit, r1Edit, r2Edit};
  QLineEdit* v[3] = {v0Edit, v1Edit, v2Edit};
  for (int k = 0; k < 3; ++k) {
    checkField(r[k], pos[k], -1e9, 1e9);
    checkField(v[k], vel[k], -1e6, 1e6);
  }
}

int StStateDialog::frameChecked() const {
  int f = FRAME_TOD;
  if (mdateButton->isChecked()) f = FRAME_MOD;
  if (j2000Button->isChecked()) f = FRAME_J2000;
  if (efixButton->isChecked()) f = FRAME_EFIX;
  return f;
}

// The epoch of the fields; the one filled in when they are untouched.
double StStateDialog::epochShown() const {
  int year = 0;
  double day = 0.0;
  readNum(yearEdit, year);
  readNum(dayEdit, day);
  return year == year0_ && day == day0_ ? epoch0_ : EpochMjd(year, day);
}

void StStateDialog::showVector(const Vec3& r, const Vec3& v) {
  shownR_ = r;
  shownV_ = v;
  QLineEdit* re[3] = {r0Edit, r1Edit, r2Edit};
  QLineEdit* ve[3] = {v0Edit, v1Edit, v2Edit};
  const double rr[3] = {r.x, r.y, r.z}, vv[3] = {v.x, v.y, v.z};
  for (int k = 0; k < 3; ++k) {
    setNum(re[k], rr[k], kVecFormat);
    setNum(ve[k], vv[k], kVecFormat);
  }
}

// The six numbers of the fields; true when they are still the ones shown.
bool StStateDialog::vectorShown(Vec3& r, Vec3& v) const {
  double x[6];
  QLineEdit* e[6] = {r0Edit, r1Edit, r2Edit, v0Edit, v1Edit, v2Edit};
  for (int k = 0; k < 6; ++k) readNum(e[k], x[k]);
  r = Vec3(x[0], x[1], x[2]);
  v = Vec3(x[3], x[4], x[5]);
  return r.x == shownR_.x && r.y == shownR_.y && r.z == shownR_.z && v.x == shownV_.x &&
         v.y == shownV_.y && v.z == shownV_.z;
}

void StStateDialog::setParams(bool nmflg, int year, double day, double r0, double r1, double r2,
                              double v0, double v1, double v2, double ecc) {
  (void)ecc;  // the stored epoch is shown for every numerical satellite
  nm_ = nmflg;
  inEpoch_ = EpochMjd(year, day);
  inR_ = Vec3(r0, r1, r2);
  inV_ = Vec3(v0, v1, v2);
  year0_ = year;
  day0_ = day;
  epoch0_ = inEpoch_;

  double f107, fb107, kp, cr, cd, am, epoch;
  Vec3 r = inR_, v = inV_;
  int frame = FRAME_MOD;
  vsGetState(nm_, f107, fb107, kp, frame, cr, cd, am, r.x, r.y, r.z, v.x, v.y, v.z, epoch);
  frame_ = ValidFrame(frame);
  if (nm_) {
    // The stored vector belongs to the stored epoch.
    EpochYearDay(epoch, year0_, day0_);
    epoch0_ = epoch;
    setNum(fb107Edit, fb107);
    setNum(f107Edit, f107);
    setNum(kpEdit, kp);
    setNum(amEdit, am);
    setNum(cdEdit, cd);
    setNum(crEdit, cr);
    cstateBox->setChecked(true);
    // The engine keeps the space weather within these ranges: a larger number
    // would be stored changed without a word.
    checkField(fb107Edit, tr("Average Solar Flux"), 0.0, F107_MAX);
    checkField(f107Edit, tr("Daily Solar Flux"), 0.0, F107_MAX);
    checkField(kpEdit, tr("Kp Index"), 0.0, KP_MAX);
    checkField(amEdit, tr("Area/Mass"), 0.0, 1e4);
    checkField(cdEdit, tr("Drag Coefficient"), 0.0, 100.0);
    checkField(crEdit, tr("Radiation Pressure"), 0.0, 100.0);
  } else {
    for (QWidget* w : std::initializer_list<QWidget*>{
             fb107Label, f107Label, kpLabel, amLabel, cdLabel, crLabel, fb107Edit, f107Edit,
             kpEdit, amEdit, cdEdit, crEdit, cstateBox}) {
      w->setEnabled(false);
      w->hide();
    }
    cstateBox->setChecked(false);
  }
  setNum(yearEdit, year0_);
  setNum(dayEdit, day0_, kDayFormat);

  modR_ = r;
  modV_ = v;
  exact_ = true;
  Convert(FRAME_MOD, frame_, epoch0_, r, v);
  showVector(r, v);

  QRadioButton* b[NFRAMES] = {todButton, mdateButton, j2000Button, efixButton};
  const QSignalBlocker block0(todButton), block1(mdateButton), block2(j2000Button),
      block3(efixButton);
  b[frame_]->setChecked(true);
}

void StStateDialog::refSlot() {
  const int old = frame_;
  frame_ = frameChecked();
  if (frame_ == old) return;
  Vec3 r, v;
  const bool same = vectorShown(r, v);
  // A satellite without numerical propagation has no reset box: its numbers
  // always follow the frame. A numerical one converts only with the box set.
  const bool convert = !nm_ || cstateBox->isChecked();
  if (!convert) {
    exact_ = false;
    showVector(r, v);  // the same numbers, now of the new frame
    return;
  }
  const double t = epochShown();
  if (exact_ && same && t == epoch0_) {
    // Convert the exact vector, not its printed digits.
    r = modR_;
    v = modV_;
    Convert(FRAME_MOD, frame_, t, r, v);
  } else {
    exact_ = false;
    Convert(old, frame_, t, r, v);
  }
  showVector(r, v);
}

void StStateDialog::timeSlot() { EditEpochFields(this, yearEdit, dayEdit, kDayFormat); }

void StStateDialog::vectorReturned(double t, Vec3& r, Vec3& v) const {
  if (vectorShown(r, v) && exact_ && t == epoch0_) {
    r = modR_;  // untouched: the vector exactly as it was shown
    v = modV_;
  } else {
    Convert(frame_, FRAME_MOD, t, r, v);
  }
}

QString StStateDialog::orbitProblem(const Vec3& r, const Vec3& v) const {
  constexpr double kGm = kGmKm3Day2 / (86400.0 * 86400.0);  // km^3/s^2
  const double rr = abs(r), vv = abs(v);
  const double h = abs(r * v);
  // Without angular momentum the conversion to elements gives a parabola of
  // no size flying off for ever.
  if (!(h > 1e-9 * rr * vv))
    return tr("The velocity is zero or points straight towards or away from the Earth's "
              "centre: this state is no orbit.");
  const Vec3 e = ((vv * vv - kGm / rr) * r - dot(r, v) * v) / kGm;
  const double q = h * h / kGm / (1.0 + abs(e));
  if (q < kReIau1976Km)
    return tr("The orbit of this state runs below the Earth's surface (perigee height %1 km).")
        .arg(numText(q - kReIau1976Km, "%.1f"));
  return QString();
}

void StStateDialog::accept() {
  if (!fieldsValid()) return;
  Vec3 r, v;
  vectorShown(r, v);
  if (!(abs(r) > 0.0)) {
    refuseField(r0Edit, tr("The position must not be the Earth's centre."));
    return;
  }
  vectorReturned(epochShown(), r, v);
  const QString problem = orbitProblem(r, v);
  if (!problem.isEmpty()) {
    refuseField(v0Edit, problem);
    return;
  }
  QDialog::accept();
}

void StStateDialog::getParams(int& year, double& day, double& r0, double& r1, double& r2,
                              double& v0, double& v1, double& v2) {
  readNum(yearEdit, year);
  readNum(dayEdit, day);
  const double t = epochShown();
  if (t == epoch0_) {
    year = year0_;
    day = day0_;
  }
  Vec3 r, v;
  vectorReturned(t, r, v);
  double f107 = 0, fb107 = 0, kp = 0, cr = 0, cd = 0, am = 0;
  bool reset = false;
  if (nm_) {
    readNum(f107Edit, f107);
    readNum(fb107Edit, fb107);
    readNum(kpEdit, kp);
    readNum(crEdit, cr);
    readNum(cdEdit, cd);
    readNum(amEdit, am);
    reset = cstateBox->isChecked();
  }
  vsPutState(nm_, t, f107, fb107, kp, frame_, cr, cd, am, r.x, r.y, r.z, v.x, v.y, v.z, reset);
  changed_ = t != inEpoch_ || r.x != inR_.x || r.y != inR_.y || r.z != inR_.z ||
             v.x != inV_.x || v.y != inV_.y || v.z != inV_.z;
  r0 = r.x;
  r1 = r.y;
  r2 = r.z;
  v0 = v.x;
  v1 = v.y;
  v2 = v.z;
}
