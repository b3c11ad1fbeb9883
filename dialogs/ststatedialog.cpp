// State vector in four frames and the force-model coefficients.
#include "dialogs/ststatedialog.h"

#include <cmath>

#include "astro/constants.h"
#include "dialogs/stepoch.h"
#include "engine/stateframes.h"
#include "gui/vsservices.h"
#include "orbit/vorlixnum.h"
#include "ui_ststatedialog.h"

namespace {
const char* const kVecFormat = "%20.12le";
const char* const kDayFormat = "%14.10lf";

void Convert(int from, int to, double t, Vec3& r, Vec3& v) {
  const FrameState st = vsRefState(from, to, t, r, v);
  r = st.r;
  v = st.v;
}
}  // namespace

StStateDialog::StStateDialog() : ui(std::make_unique<Ui::StStateDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StStateDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StStateDialog::reject);
  connect(ui->timeButton, &QPushButton::clicked, this, &StStateDialog::timeSlot);
  for (QRadioButton* b : {ui->todButton, ui->mdateButton, ui->j2000Button, ui->efixButton})
    connect(b, &QRadioButton::toggled, this, &StStateDialog::refSlot);
  checkField(ui->yearEdit, tr("Year of Epoch"), 1900, 2200, Integer);
  checkField(ui->dayEdit, tr("Day of Year"), 0.0, 367.0);
  const QString pos[3] = {tr("Position X"), tr("Position Y"), tr("Position Z")};
  const QString vel[3] = {tr("Velocity X"), tr("Velocity Y"), tr("Velocity Z")};
  QLineEdit* r[3] = {ui->r0Edit, ui->r1Edit, ui->r2Edit};
  QLineEdit* v[3] = {ui->v0Edit, ui->v1Edit, ui->v2Edit};
  for (int k = 0; k < 3; ++k) {
    checkField(r[k], pos[k], -1e9, 1e9);
    checkField(v[k], vel[k], -1e6, 1e6);
  }
  // The engine keeps the space weather within these ranges: a larger number
  // would be stored changed without a word. The coefficients take what the
  // system settings take. Hidden (no numerical propagation), the fields stay
  // empty and pass.
  checkField(ui->fb107Edit, tr("Average Solar Flux"), 0.0, F107_MAX);
  checkField(ui->f107Edit, tr("Daily Solar Flux"), 0.0, F107_MAX);
  checkField(ui->kpEdit, tr("Kp Index"), 0.0, KP_MAX);
  checkField(ui->amEdit, tr("Area/Mass"), 0.0, AM_MAX);
  checkField(ui->cdEdit, tr("Drag Coefficient"), 0.0, CD_MAX);
  checkField(ui->crEdit, tr("Radiation Pressure"), 0.0, CR_MAX);
}

StStateDialog::~StStateDialog() = default;

int StStateDialog::frameChecked() const {
  int f = FRAME_TOD;
  if (ui->mdateButton->isChecked()) f = FRAME_MOD;
  if (ui->j2000Button->isChecked()) f = FRAME_J2000;
  if (ui->efixButton->isChecked()) f = FRAME_EFIX;
  return f;
}

// The epoch of the fields; the one filled in when they are untouched.
double StStateDialog::epochShown() const {
  int year = 0;
  double day = 0.0;
  readNum(ui->yearEdit, year);
  readNum(ui->dayEdit, day);
  return year == year0_ && day == day0_ ? epoch0_ : EpochMjd(year, day);
}

void StStateDialog::showVector(const Vec3& r, const Vec3& v) {
  shownR_ = r;
  shownV_ = v;
  QLineEdit* re[3] = {ui->r0Edit, ui->r1Edit, ui->r2Edit};
  QLineEdit* ve[3] = {ui->v0Edit, ui->v1Edit, ui->v2Edit};
  const double rr[3] = {r.x, r.y, r.z}, vv[3] = {v.x, v.y, v.z};
  for (int k = 0; k < 3; ++k) {
    setNum(re[k], rr[k], kVecFormat);
    setNum(ve[k], vv[k], kVecFormat);
  }
}

// The six numbers of the fields; true when they are still the ones shown.
bool StStateDialog::vectorShown(Vec3& r, Vec3& v) const {
  double x[6];
  QLineEdit* e[6] = {ui->r0Edit, ui->r1Edit, ui->r2Edit, ui->v0Edit, ui->v1Edit, ui->v2Edit};
  for (int k = 0; k < 6; ++k) readNum(e[k], x[k]);
  r = Vec3(x[0], x[1], x[2]);
  v = Vec3(x[3], x[4], x[5]);
  return r.x == shownR_.x && r.y == shownR_.y && r.z == shownR_.z && v.x == shownV_.x &&
         v.y == shownV_.y && v.z == shownV_.z;
}

void StStateDialog::setParams(const StateParams& p) {
  nm_ = p.nm;
  inEpoch_ = EpochMjd(p.year, p.day);
  inR_ = p.r;
  inV_ = p.v;
  year0_ = p.year;
  day0_ = p.day;
  epoch0_ = inEpoch_;

  SlotState st;
  st.r = inR_;
  st.v = inV_;
  st.frame = FRAME_MOD;
  vsGetState(nm_, st);
  Vec3 r = st.r, v = st.v;
  frame_ = ValidFrame(st.frame);
  if (nm_) {
    // The stored vector belongs to the stored epoch.
    EpochYearDay(st.epoch, year0_, day0_);
    epoch0_ = st.epoch;
    setNum(ui->fb107Edit, st.fb107);
    setNum(ui->f107Edit, st.f107);
    setNum(ui->kpEdit, st.kp);
    setNum(ui->amEdit, st.am);
    setNum(ui->cdEdit, st.cd);
    setNum(ui->crEdit, st.cr);
    ui->cstateBox->setChecked(true);
  } else {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->fb107Label, ui->f107Label, ui->kpLabel, ui->amLabel, ui->cdLabel, ui->crLabel,
             ui->fb107Edit, ui->f107Edit, ui->kpEdit, ui->amEdit, ui->cdEdit, ui->crEdit,
             ui->cstateBox}) {
      w->setEnabled(false);
      w->hide();
    }
    ui->cstateBox->setChecked(false);
    for (QLineEdit* e :
         {ui->fb107Edit, ui->f107Edit, ui->kpEdit, ui->amEdit, ui->cdEdit, ui->crEdit})
      e->clear();  // nothing hidden can refuse OK
  }
  setNum(ui->yearEdit, year0_);
  setNum(ui->dayEdit, day0_, kDayFormat);

  modR_ = r;
  modV_ = v;
  exact_ = true;
  Convert(FRAME_MOD, frame_, epoch0_, r, v);
  showVector(r, v);

  QRadioButton* b[NFRAMES] = {ui->todButton, ui->mdateButton, ui->j2000Button, ui->efixButton};
  const QSignalBlocker block0(ui->todButton), block1(ui->mdateButton), block2(ui->j2000Button),
      block3(ui->efixButton);
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
  const bool convert = !nm_ || ui->cstateBox->isChecked();
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

void StStateDialog::timeSlot() { EditEpochFields(this, ui->yearEdit, ui->dayEdit, kDayFormat); }

void StStateDialog::vectorReturned(double t, Vec3& r, Vec3& v) const {
  if (vectorShown(r, v) && exact_ && t == epoch0_) {
    r = modR_;  // untouched: the vector exactly as it was shown
    v = modV_;
  } else {
    Convert(frame_, FRAME_MOD, t, r, v);
  }
}

QString StStateDialog::orbitProblem(const Vec3& r, const Vec3& v) const {
  // The GM the conversion to elements uses, so the check guards that orbit.
  constexpr double kGm = kGmEgm96Km3S2;  // km^3/s^2
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
    refuseField(ui->r0Edit, tr("The position must not be the Earth's centre."));
    return;
  }
  vectorReturned(epochShown(), r, v);
  const QString problem = orbitProblem(r, v);
  if (!problem.isEmpty()) {
    refuseField(ui->v0Edit, problem);
    return;
  }
  QDialog::accept();
}

void StStateDialog::epochReturned(int& year, double& day, double& t) const {
  readNum(ui->yearEdit, year);
  readNum(ui->dayEdit, day);
  t = epochShown();
  if (t == epoch0_) {
    year = year0_;
    day = day0_;
  }
}

StateParams StStateDialog::params() const {
  StateParams p;
  p.nm = nm_;
  double t = 0.0;
  epochReturned(p.year, p.day, t);
  vectorReturned(t, p.r, p.v);
  p.changed = t != inEpoch_ || p.r.x != inR_.x || p.r.y != inR_.y || p.r.z != inR_.z ||
              p.v.x != inV_.x || p.v.y != inV_.y || p.v.z != inV_.z;
  return p;
}

void StStateDialog::store() const {
  int year = 0;
  double day = 0.0;
  SlotState st;
  epochReturned(year, day, st.epoch);
  vectorReturned(st.epoch, st.r, st.v);
  st.frame = frame_;
  bool reset = false;
  if (nm_) {
    readNum(ui->f107Edit, st.f107);
    readNum(ui->fb107Edit, st.fb107);
    readNum(ui->kpEdit, st.kp);
    readNum(ui->crEdit, st.cr);
    readNum(ui->cdEdit, st.cd);
    readNum(ui->amEdit, st.am);
    reset = ui->cstateBox->isChecked();
  }
  vsPutState(nm_, st, reset);
}
