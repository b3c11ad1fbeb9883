// Orbit element editor: form, data flow and the recomputation of the coupled
// quantities.
#include "dialogs/steditorbdialog.h"

#include <cmath>
#include <initializer_list>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "dialogs/prompter.h"
#include "dialogs/stepoch.h"
#include "dialogs/stadjdialog.h"
#include "dialogs/ststatedialog.h"
#include "engine/vorlixcom.h"
#include "gui/vsservices.h"
#include "orbit/sgp4fit.h"

namespace {

constexpr double kEccCap = 0.9999999;     // largest e from two heights
constexpr double kMinN = 0.0001;          // rev/day: below it a is the source
constexpr double kZeroN = 0.01;           // replaces a mean motion of exactly 0
constexpr double kMinN0 = 0.001, kMaxN0 = 100.0;  // returned mean motion

const char* const kAngle = "%9.4lf";
const char* const kKm = "%12.4lf";
const char* const kRate = "%12.8lf";
const char* const kExp = "%10.4le";
const char* const kDay = "%14.10lf";

const char* EccFormat(double e) { return e < 1.0 ? "%9.7lf" : "%11.7lf"; }
const char* N0Format(double e) { return e < 1.0 ? kRate : kKm; }

double Read(const QLineEdit* e) {
  double v = 0.0;
  readNum(e, v);
  return v;
}

}  // namespace

StEditOrbDialog::StEditOrbDialog() {
  setupUi(this);
  nameEdit->setMaxLength(SATNAME_SIZE - 1);
  idsnEdit->setMaxLength(DSN_SIZE - 1);
  connect(okButton, &QPushButton::clicked, this, &StEditOrbDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StEditOrbDialog::reject);
  connect(refreshButton, &QPushButton::clicked, this, &StEditOrbDialog::refreshSlot);
  connect(stateButton, &QPushButton::clicked, this, &StEditOrbDialog::stateSlot);
  connect(adjButton, &QPushButton::clicked, this, &StEditOrbDialog::adjSlot);
  connect(geoButton, &QPushButton::clicked, this, &StEditOrbDialog::geoSlot);
  connect(timeButton, &QPushButton::clicked, this, &StEditOrbDialog::timeSlot);
  connect(nwsButton, &QPushButton::clicked, this, &StEditOrbDialog::nwsSlot);
  connect(nwsButton, &QPushButton::clicked, this, &StEditOrbDialog::accept);
  connect(perapBox, &QCheckBox::toggled, this, &StEditOrbDialog::perapoSlot);
  connect(spg4Box, &QCheckBox::toggled, this, &StEditOrbDialog::spgSlot);
  connect(numBox, &QCheckBox::toggled, this, &StEditOrbDialog::numSlot);
  connect(n0Edit, &QLineEdit::textChanged, this, &StEditOrbDialog::n0Slot);
  connect(aEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::smaxSlot);
  connect(ndotEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::ndotSlot);
  connect(adotEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::adotSlot);
  connect(periEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::perSlot);
  connect(apoEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::apoSlot);
  connect(eccEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::eccSlot);
  connect(incEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::eccincSlot);

  checkField(noradEdit, tr("NORAD#"), 0, 999999999, Integer);
  checkField(yearEdit, tr("Year of epoch"), 1900, 2200, Integer);
  checkField(dayEdit, tr("Day of Year"), 0.0, 367.0);
  checkField(raEdit, tr("Right Ascension"), -360.0, 360.0);
  checkField(aperEdit, tr("Arg.of Perigee"), -360.0, 360.0);
  checkField(m0Edit, tr("Mean Anomaly"), -360.0, 360.0);
  checkField(eccEdit, tr("Eccentricity"), 0.0, 1000.0);
  checkField(incEdit, tr("Inclination"), 0.0, 180.0);
  checkField(periEdit, tr("Perigee Height"), -1e8, 1e8);
  checkField(apoEdit, tr("Apogee Height"), -1e8, 1e8);
  checkField(n0Edit, tr("Mean Motion"), 0.0, 1e8);
  checkField(aEdit, tr("Semimajor Axis"), -1e8, 1e8);
  checkField(ndotEdit, tr("ndot"), -1e3, 1e3);
  checkField(adotEdit, tr("adot"), -1e6, 1e6);
  checkField(n2dotEdit, tr("n2dot"), -1e3, 1e3);
  checkField(bstarEdit, tr("BSTAR"), -1e3, 1e3);
}

// ---------------------------------------------------------------------------
// Filling and reading
// ---------------------------------------------------------------------------

double StEditOrbDialog::epochFields() const {
  int year = 0;
  readNum(yearEdit, year);
  return EpochMjd(year, Read(dayEdit));
}

void StEditOrbDialog::showOrbit(double inc, double node, double argp, double m, double e) {
  setNum(incEdit, inc, kAngle);
  setNum(raEdit, node, kAngle);
  setNum(aperEdit, argp, kAngle);
  setNum(m0Edit, m, kAngle);
  setNum(eccEdit, e, EccFormat(e));
}

void StEditOrbDialog::setDragEnabled(bool drag, bool bstar) {
  for (QLineEdit* e : {ndotEdit, adotEdit, n2dotEdit}) e->setEnabled(drag);
  bstarEdit->setEnabled(bstar);
}

void StEditOrbDialog::setParam1(const QString& fsname, int norad, int aflg, int paflg,
                                double mjdep, int lcflg) {
  int year;
  double day;
  EpochYearDay(mjdep, year, day);
  nameEdit->setText(fsname);
  setNum(noradEdit, norad);
  setNum(yearEdit, year);
  setNum(dayEdit, day, kDay);
  spg4Box->setChecked(aflg != 0);
  perapBox->setChecked(paflg != 0);
  periEdit->setEnabled(paflg == 1);
  apoEdit->setEnabled(paflg == 1);
  for (QLineEdit* e : {eccEdit, n0Edit, aEdit}) e->setEnabled(paflg != 1);
  for (QLineEdit* e : {yearEdit, dayEdit, raEdit, aperEdit, m0Edit}) e->setEnabled(lcflg == 0);
  setDragEnabled(aflg == 0, aflg != 0);
  n0c_ = ndc_ = apc_ = 0;
}

void StEditOrbDialog::setParam2(double a, double ra, double aper, double inc, double ecc,
                                double m0, double n0, double adot, double ndot, double n6dot,
                                double bstar) {
  dn0_ = n0;
  dsmax_ = a;
  decc_ = ecc;
  dndot_ = ndot;
  dadot_ = adot;
  setNum(aEdit, a, kKm);
  showOrbit(inc, ra, aper, m0, ecc);
  setNum(adotEdit, adot, kAngle);
  setNum(ndotEdit, ndot, kRate);
  setNum(n0Edit, n0, N0Format(ecc));
  setNum(n2dotEdit, n6dot, kExp);
  setNum(bstarEdit, bstar, kExp);
  if (ecc < 1.0) {
    hper_ = (1.0 - ecc) * a - kReIau1976Km;
    hapo_ = (1.0 + ecc) * a - kReIau1976Km;
    setNum(periEdit, hper_, kKm);
    setNum(apoEdit, hapo_, kKm);
  } else {
    setNum(periEdit, 0.0, "%.1lf");
    setNum(apoEdit, 0.0, "%.1lf");
    perapBox->setChecked(false);
    eccSlot();
  }
  // What was filled in is consistent: only what the user changes from here
  // on is recomputed, so OK on an untouched form gives back these values.
  n0c_ = ndc_ = apc_ = 0;
}

void StEditOrbDialog::setParam3(const QString& ldsn, bool numflg) {
  idsnEdit->setText(ldsn);
  numBox->setChecked(numflg);
  ednwsflg_ = false;
  double e, tp;
  if (numflg && vsCkHyp(e, tp) && e >= 1.0) {
    int year;
    double day;
    EpochYearDay(tp, year, day);
    setNum(yearEdit, year);
    setNum(dayEdit, day, kDay);
  }
}

void StEditOrbDialog::getParam1(QString& fsname, int& norad, int& aflg, int& paflg, int& year,
                                double& day) {
  fsname = nameEdit->text();
  readNum(noradEdit, norad);
  readNum(yearEdit, year);
  readNum(dayEdit, day);
  aflg = spg4Box->isChecked() ? 1 : 0;
  paflg = perapBox->isChecked() ? 1 : 0;
}

void StEditOrbDialog::getParam2(double& a, double& ra, double& aper, double& inc, double& ecc,
                                double& m0, double& n0, double& adot, double& ndot,
                                double& n6dot, double& bstar) {
  refreshSlot();
  a = dsmax_;
  ecc = decc_;
  n0 = dn0_;
  ndot = dndot_;
  adot = dadot_;
  readNum(raEdit, ra);
  readNum(aperEdit, aper);
  readNum(incEdit, inc);
  readNum(m0Edit, m0);
  readNum(n2dotEdit, n6dot);
  readNum(bstarEdit, bstar);
  // A mean motion the models cannot use is bent into range; the semi-major
  // axis follows it, so that both describe the same orbit.
  const double n = decc_ < 1.0 ? std::min(std::max(n0, kMinN0), kMaxN0) : std::max(n0, kMinN0);
  if (n != n0) {
    n0 = n;
    if (decc_ < 1.0)
      a = getsax(sgpMode(), n, decc_, inc);
    else if (decc_ > 1.0)
      a = n / (1.0 - decc_);
  }
}

void StEditOrbDialog::getParam3(QString& ldsn, bool& numflg, bool& nwsflg) {
  ldsn = idsnEdit->text();
  numflg = numBox->isChecked();
  nwsflg = ednwsflg_;
}

QString StEditOrbDialog::orbitProblem(bool pa, int source, QLineEdit*& field) const {
  const double inc = Read(incEdit);
  if (decc_ >= 1.0) {
    field = n0Edit;
    return dn0_ < kMinN0 ? tr("q must be at least %1 km.").arg(numText(kMinN0)) : QString();
  }
  if (!(dsmax_ > 0.0)) {
    field = aEdit;
    return tr("Semimajor Axis must be above 0 km for an eccentricity below 1: type it or the "
              "mean motion.");
  }
  if (dn0_ >= kMinN0 && dn0_ <= kMaxN0) return QString();
  // Beyond these the mean motion would be bent into range on OK, and the
  // orbit stored would not be the one shown.
  const QString lo = numText(getsax(sgpMode(), kMaxN0, decc_, inc), "%.1f");
  const QString hi = numText(getsax(sgpMode(), kMinN0, decc_, inc), "%.1f");
  if (pa) {
    field = periEdit;
    return tr("Perigee Height and Apogee Height give a semi-major axis of %1 km; it must lie "
              "between %2 and %3 km.")
        .arg(numText(dsmax_, "%.1f"), lo, hi);
  }
  if (source == 1 || source == 3) {
    field = n0Edit;
    return tr("Mean Motion must lie between %1 and %2 rev/day.")
        .arg(numText(kMinN0), numText(kMaxN0));
  }
  field = aEdit;
  return tr("Semimajor Axis must lie between %1 and %2 km.").arg(lo, hi);
}

void StEditOrbDialog::accept() {
  bool ok = fieldsValid();
  if (ok) {
    // The coupled fields and working values as the user left them: a refused
    // OK puts them back, so the form still shows what was typed.
    QLineEdit* const coupled[] = {n0Edit, aEdit, eccEdit, adotEdit, ndotEdit, periEdit, apoEdit};
    QString typed[7];
    for (int k = 0; k < 7; ++k) typed[k] = coupled[k]->text();
    const double work[7] = {dsmax_, decc_, dn0_, dndot_, dadot_, hper_, hapo_};
    const int trackers[3] = {n0c_, ndc_, apc_};
    const bool sgp = spg4Box->isChecked(), pa = perapBox->isChecked();

    refreshSlot();
    QLineEdit* field = nullptr;
    QString problem;
    for (double x : {dsmax_, decc_, dn0_, dndot_, dadot_, hper_, hapo_})
      if (!std::isfinite(x)) problem = tr("These elements give no usable orbit.");
    if (problem.isEmpty()) problem = orbitProblem(pa, trackers[0], field);
    if (!problem.isEmpty()) {
      ok = false;
      spg4Box->setChecked(sgp);
      for (int k = 0; k < 7; ++k) coupled[k]->setText(typed[k]);
      dsmax_ = work[0];
      decc_ = work[1];
      dn0_ = work[2];
      dndot_ = work[3];
      dadot_ = work[4];
      hper_ = work[5];
      hapo_ = work[6];
      n0c_ = trackers[0];
      ndc_ = trackers[1];
      apc_ = trackers[2];
      if (field)
        refuseField(field, problem);
      else
        prompter().warn(windowTitle(), problem, this);
    }
  }
  if (!ok) {
    ednwsflg_ = false;
    return;
  }
  QDialog::accept();
}

// ---------------------------------------------------------------------------
// Change trackers and enabled states
// ---------------------------------------------------------------------------

void StEditOrbDialog::n0Slot() { n0c_ = 1; }
void StEditOrbDialog::smaxSlot() { n0c_ = 2; }
void StEditOrbDialog::ndotSlot() { ndc_ = 1; }
void StEditOrbDialog::adotSlot() { ndc_ = 2; }
void StEditOrbDialog::perSlot() { apc_ = 1; }
void StEditOrbDialog::apoSlot() { apc_ = 2; }
void StEditOrbDialog::numSlot() {}
void StEditOrbDialog::nwsSlot() { ednwsflg_ = true; }

void StEditOrbDialog::eccincSlot() {
  apc_ = 3;
  // A new e or i recomputes a from the working mean motion, not from one the
  // user has just typed.
  if (n0c_ == 1 && Read(n0Edit) == dn0_) n0c_ = 0;
}

void StEditOrbDialog::eccSlot() {
  if (Read(eccEdit) < 1.0) {
    eccincSlot();
    const bool sgp = spg4Box->isChecked();
    setDragEnabled(!sgp, sgp);
  } else {
    if (n0c_ == 0) n0c_ = 1;
    spg4Box->setChecked(false);
    setDragEnabled(false, false);
  }
}

void StEditOrbDialog::spgSlot() {
  const bool sgp = spg4Box->isChecked();
  setDragEnabled(!sgp, sgp);
  n0c_ = 3;
}

void StEditOrbDialog::perapoSlot() {
  const bool pa = perapBox->isChecked();
  periEdit->setEnabled(pa);
  apoEdit->setEnabled(pa);
  for (QLineEdit* e : {eccEdit, n0Edit, aEdit}) e->setEnabled(!pa);
}

// ---------------------------------------------------------------------------
// Recomputation
// ---------------------------------------------------------------------------

void StEditOrbDialog::refreshSlot() {
  const double i = Read(incEdit);
  decc_ = Read(eccEdit);
  if (decc_ >= 1.0 && spg4Box->isChecked()) spg4Box->setChecked(false);
  const bool pa = perapBox->isChecked();
  const int mode = sgpMode();
  bool drag = true;

  if (pa) {
    if (apc_ != 0) {
      hper_ = Read(periEdit);
      hapo_ = Read(apoEdit);
      dsmax_ = std::max((hper_ + hapo_) / 2.0 + kReIau1976Km, 1.0);
      decc_ = std::fabs((hapo_ - hper_) / (2.0 * dsmax_));
      if (decc_ >= 1.0) decc_ = kEccCap;
      dn0_ = getn0(dsmax_, decc_, i);
    }
  } else if (decc_ < 1.0) {
    bool derive = n0c_ != 0;
    if (!derive && Read(aEdit) < 0.0) {
      n0c_ = 1;
      derive = true;
    }
    if (derive) {
      const double n = Read(n0Edit);
      if (n0c_ == 2 || n < kMinN) {
        dsmax_ = Read(aEdit);
        dn0_ = getn0(dsmax_, decc_, i);
      } else {
        dn0_ = n;
        dsmax_ = getsax(mode, n, decc_, i);
      }
      if (dn0_ == 0.0) dn0_ = kZeroN;
    }
    hper_ = (1.0 - decc_) * dsmax_ - kReIau1976Km;
    hapo_ = (1.0 + decc_) * dsmax_ - kReIau1976Km;
  } else {
    // Open orbit: the mean-motion field holds the perigee distance q.
    if (n0c_ != 0) {
      const double q = Read(n0Edit);
      if (n0c_ == 2 || q < kMinN) {
        dsmax_ = Read(aEdit);
        dn0_ = std::fabs((1.0 - decc_) * dsmax_);
      } else {
        dn0_ = q;
        dsmax_ = decc_ > 1.0 ? q / (1.0 - decc_) : 0.0;
      }
      if (dn0_ == 0.0) dn0_ = kZeroN;
    }
    hper_ = hapo_ = 0.0;
    n0c_ = ndc_ = apc_ = 0;
    drag = false;
  }

  if (drag) {
    if (ndc_ == 2) {
      dadot_ = Read(adotEdit);
      dndot_ = (dsmax_ != 0.0 ? -0.75 * dn0_ * dadot_ / dsmax_ : 0.0) + 0.0;  // no -0
    } else if (ndc_ != 0 || n0c_ != 0 || apc_ != 0) {
      dndot_ = Read(ndotEdit);
      dadot_ = (dn0_ != 0.0 ? -4.0 / 3.0 * dsmax_ * dndot_ / dn0_ : 0.0) + 0.0;
    }
  }

  setNum(n0Edit, dn0_, N0Format(decc_));
  setNum(aEdit, dsmax_, kKm);
  setNum(eccEdit, decc_, EccFormat(decc_));
  setNum(adotEdit, dadot_, kAngle);
  setNum(ndotEdit, dndot_, kRate);
  setNum(periEdit, hper_, kKm);
  setNum(apoEdit, hapo_, kKm);
  n0c_ = ndc_ = apc_ = 0;
}

// ---------------------------------------------------------------------------
// Actions: Edit Time, GEO, State Vec., Adjust
// ---------------------------------------------------------------------------

void StEditOrbDialog::timeSlot() { EditEpochFields(this, yearEdit, dayEdit, kDay); }

void StEditOrbDialog::geoSlot() {
  double lon = 0.0;
  if (!prompter().askDouble(tr("GEO orbit"), tr("Geogr.Longitude:"), lon, -180.0, 360.0, 2, this))
    return;
  double node = lsidtim(epochFields(), lon, 0.0) * 15.0;
  if (node < 0.0) node += 360.0;
  constexpr double kGeoN0 = 1.00270065, kGeoInc = 0.001;
  showOrbit(kGeoInc, node, 0.0, 0.0, 0.0);
  setNum(adotEdit, 0.0, kAngle);
  setNum(n0Edit, kGeoN0, kRate);
  setNum(aEdit, getsax(0, kGeoN0, 0.0, kGeoInc), kKm);
  setNum(n2dotEdit, 0.0, kExp);
  setNum(bstarEdit, 0.0, kExp);
  spg4Box->setChecked(false);
  perapBox->setChecked(false);
  numBox->setChecked(false);
  smaxSlot();
  refreshSlot();
}

void StEditOrbDialog::stateSlot() {
  const bool pa = perapBox->isChecked();
  // Typed heights or elements first become consistent elements.
  refreshSlot();
  int year = 0;
  readNum(yearEdit, year);
  double day = Read(dayEdit);
  const double t = EpochMjd(year, day);
  const double node = Read(raEdit), argp = Read(aperEdit), inc = Read(incEdit);
  double m = Read(m0Edit), a = dsmax_;
  const double e = decc_;
  if (e >= 1.0) {
    // Open orbit from its pericentre, at the distance q of the q field: the
    // near-parabolic form takes q itself, a hyperbola a = -q / (e - 1).
    m = 0.0;
    a = e == 1.0 ? dn0_ : -dn0_ / (e - 1.0);
  }
  Vec3 r, v;
  kepler(kGmEgm96Km3Day2, t, t, m, a, e, node, argp, inc, r, v);
  v /= 86400.0;

  StStateDialog dlg;
  const bool sgp = spg4Box->isChecked();
  dlg.setParams(numBox->isChecked(), year, day, r.x, r.y, r.z, v.x, v.y, v.z, e);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  dlg.getParams(year, day, r.x, r.y, r.z, v.x, v.y, v.z);
  if (!dlg.changed()) return;  // the same orbit: the elements stay as they are
  v *= 86400.0;
  setNum(yearEdit, year);
  setNum(dayEdit, day, "%12.8lf");

  double tp, mo, ao, eo, nodeo, argpo, inco;
  oscelm(kGmEgm96Km3Day2, EpochMjd(year, day), r, v, tp, mo, ao, eo, nodeo, argpo, inco);
  const bool open = !(eo < 1.0);
  if (open) {
    EpochYearDay(tp, year, day);
    setNum(yearEdit, year);
    setNum(dayEdit, day, kDay);
    mo = 0.0;
  }
  setNum(aEdit, ao, kKm);
  decc_ = eo;
  showOrbit(inco, nodeo, argpo, mo, eo);

  bool fitted = false;
  if (sgp && !open) {
    double i, o, e2, w, ma, n;
    const int res = cvSGP4(Read(bstarEdit), i, o, e2, w, ma, n);
    const bool approximate = res == SGP4FIT_NOTCONVERGED;
    if (res == 0 || approximate) {
      setNum(n0Edit, n, kRate);
      decc_ = e2;
      showOrbit(i, o, w, ma, e2);
      fitted = true;
      if (approximate) prompter().inform(windowTitle(), cvSGP4Text(res), this);
    } else {
      prompter().inform(windowTitle(), cvSGP4Text(res) +
                                           tr("\nThe osculating elements are shown instead."),
                        this);
    }
  }
  if (pa) perapBox->setChecked(false);
  if (fitted) {
    n0Slot();
  } else if (open) {
    // The perigee distance of the state is the source of an open orbit.
    setNum(n0Edit, std::fabs((1.0 - eo) * ao), kKm);
    n0Slot();
  } else {
    smaxSlot();
  }
  refreshSlot();
  if (pa && decc_ < 1.0) {
    perapBox->setChecked(true);
    refreshSlot();
  }
}

void StEditOrbDialog::adjSlot() {
  StAdjDialog dlg;
  bool sdp4, adjflg;
  double adjtim, adjn0, adjra;
  int wgs;
  vsGetAdj(sdp4, adjflg, adjtim, adjn0, adjra, wgs);
  dlg.setParams(sdp4, adjflg, adjtim, adjn0, adjra, wgs);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  dlg.getParams(sdp4, adjflg, adjtim, adjn0, adjra, wgs);
  vsPutAdj(sdp4, adjflg, adjtim, adjn0, adjra, wgs);
}
