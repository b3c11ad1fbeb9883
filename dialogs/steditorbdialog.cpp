// Orbit element editor: form, data flow and the recomputation of the coupled
// quantities.
#include "dialogs/steditorbdialog.h"

#include <array>
#include <cmath>
#include <initializer_list>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "dialogs/prompter.h"
#include "dialogs/stadjdialog.h"
#include "dialogs/stepoch.h"
#include "dialogs/ststatedialog.h"
#include "engine/tle.h"
#include "engine/vorlixcom.h"
#include "gui/vsservices.h"
#include "orbit/sgp4fit.h"
#include "ui_steditorbdialog.h"

namespace {

constexpr double kEccCap = 0.9999999;     // largest e from two heights
constexpr double kMinN = 0.0001;          // rev/day: below it a is the source
constexpr double kZeroN = 0.01;           // replaces a mean motion of exactly 0
constexpr double kMinN0 = 0.001, kMaxN0 = 100.0;  // returned mean motion
constexpr int kFirstYear = 1900, kLastYear = 2200;  // of the epoch

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

// The number a field shows for v in format fmt, read back.
double Shown(double v, const char* fmt) {
  double x = 0.0;
  parseNum(numText(v, fmt), x);
  return x;
}

}  // namespace

StEditOrbDialog::StEditOrbDialog() : ui(std::make_unique<Ui::StEditOrbDialog>()) {
  ui->setupUi(this);
  ui->nameEdit->setMaxLength(SATNAME_SIZE - 1);
  ui->idsnEdit->setMaxLength(DSN_SIZE - 1);
  connect(ui->okButton, &QPushButton::clicked, this, &StEditOrbDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StEditOrbDialog::reject);
  connect(ui->refreshButton, &QPushButton::clicked, this, &StEditOrbDialog::refreshPressed);
  connect(ui->stateButton, &QPushButton::clicked, this, &StEditOrbDialog::stateSlot);
  connect(ui->adjButton, &QPushButton::clicked, this, &StEditOrbDialog::adjSlot);
  connect(ui->geoButton, &QPushButton::clicked, this, &StEditOrbDialog::geoSlot);
  connect(ui->timeButton, &QPushButton::clicked, this, &StEditOrbDialog::timeSlot);
  connect(ui->nwsButton, &QPushButton::clicked, this, &StEditOrbDialog::nwsSlot);
  connect(ui->nwsButton, &QPushButton::clicked, this, &StEditOrbDialog::accept);
  connect(ui->perapBox, &QCheckBox::toggled, this, &StEditOrbDialog::perapoSlot);
  connect(ui->spg4Box, &QCheckBox::toggled, this, &StEditOrbDialog::spgSlot);
  connect(ui->numBox, &QCheckBox::toggled, this, &StEditOrbDialog::numSlot);
  connect(ui->n0Edit, &QLineEdit::textChanged, this, &StEditOrbDialog::n0Slot);
  connect(ui->aEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::smaxSlot);
  connect(ui->ndotEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::ndotSlot);
  connect(ui->adotEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::adotSlot);
  connect(ui->periEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::perSlot);
  connect(ui->apoEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::apoSlot);
  connect(ui->eccEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::eccSlot);
  connect(ui->incEdit, &QLineEdit::textChanged, this, &StEditOrbDialog::eccincSlot);

  // What a TLE holds: five digits, above 99999 a letter and four digits.
  checkField(ui->noradEdit, tr("NORAD#"), 0, TLE_CATNO_MAX, Integer);
  checkField(ui->yearEdit, tr("Year of epoch"), kFirstYear, kLastYear, Integer);
  checkField(ui->dayEdit, tr("Day of Year"), 0.0, 367.0);
  checkField(ui->raEdit, tr("Right Ascension"), -360.0, 360.0);
  checkField(ui->aperEdit, tr("Arg.of Perigee"), -360.0, 360.0);
  checkField(ui->m0Edit, tr("Mean Anomaly"), -360.0, 360.0);
  checkField(ui->eccEdit, tr("Eccentricity"), 0.0, 1000.0);
  checkField(ui->incEdit, tr("Inclination"), 0.0, 180.0);
  // The range of the mean motion field depends on the orbit (meanMotionProblem).
  for (const CoupledRange& c : coupledRanges())
    checkField(c.edit, c.name, c.edit == ui->n0Edit ? -HUGE_VAL : c.min,
               c.edit == ui->n0Edit ? HUGE_VAL : c.max);
  checkField(ui->n2dotEdit, tr("n2dot"), -1e3, 1e3);
  checkField(ui->bstarEdit, tr("BSTAR"), -1e3, 1e3);
}

StEditOrbDialog::~StEditOrbDialog() = default;

int StEditOrbDialog::sgpMode() const { return ui->spg4Box->isChecked() ? 1 : 0; }

QVector<StEditOrbDialog::CoupledRange> StEditOrbDialog::coupledRanges() const {
  return {{ui->periEdit, tr("Perigee Height"), -1e8, 1e8},
          {ui->apoEdit, tr("Apogee Height"), -1e8, 1e8},
          {ui->n0Edit, tr("Mean Motion"), 0.0, 1e8},
          {ui->aEdit, tr("Semimajor Axis"), -1e8, 1e8},
          {ui->ndotEdit, tr("ndot"), -1e3, 1e3},
          {ui->adotEdit, tr("adot"), -1e6, 1e6}};
}

// Mean motion to semi-major axis by the conversion of the box's state (the
// SGP4 one, or the plain one of a Kepler slot), and axis to mean motion by
// its exact inverse, so that a value typed back as shown gives the same
// orbit.
double StEditOrbDialog::axisOf(double n, double e, double i) const {
  return getsax(sgpMode(), n, e, i);
}

double StEditOrbDialog::meanMotionOf(double a, double e, double i) const {
  if (!(a > 0.0)) return getn0(a, e, i);
  return InvGetsax(sgpMode(), a, e, i);
}

// A mean motion that is the source of the axis but no usable number.
bool StEditOrbDialog::meanMotionUnusable() const {
  if (ui->perapBox->isChecked() || !(Read(ui->eccEdit) < 1.0)) return false;
  if (n0c_ != 1 && n0c_ != 3) return false;
  double n = 0.0;
  return !readNum(ui->n0Edit, n) || n < kMinN;
}

QString StEditOrbDialog::meanMotionRange() const {
  return tr("Mean Motion must lie between %1 and %2 rev/day.")
      .arg(numText(kMinN0), numText(kMaxN0));
}

QString StEditOrbDialog::meanMotionProblem() const {
  double v = 0.0;
  readNum(ui->n0Edit, v);
  for (const CoupledRange& c : coupledRanges()) {
    if (c.edit != ui->n0Edit) continue;
    const bool outside = v < c.min || v > c.max;
    // An open orbit's perigee distance q, in km: OK takes no q below
    // 0.001 km (orbitProblem). A q of 0 is none: without this the form would
    // go on from the axis it no longer uses and blame a perigee below ground.
    if (!ui->perapBox->isChecked() && !(Read(ui->eccEdit) < 1.0))
      return outside || !(v > 0.0) ? tr("q must lie between %1 and %2 km.").arg(numText(kMinN0), numText(c.max))
                     : QString();
    if (outside || meanMotionUnusable()) return meanMotionRange();
  }
  return QString();
}

// ---------------------------------------------------------------------------
// Filling and reading
// ---------------------------------------------------------------------------

double StEditOrbDialog::epochFields() const {
  int year = 0;
  readNum(ui->yearEdit, year);
  return EpochMjd(year, Read(ui->dayEdit));
}

void StEditOrbDialog::showOrbit(double inc, double node, double argp, double m, double e) {
  setNum(ui->incEdit, inc, kAngle);
  setNum(ui->raEdit, node, kAngle);
  setNum(ui->aperEdit, argp, kAngle);
  setNum(ui->m0Edit, m, kAngle);
  setNum(ui->eccEdit, e, EccFormat(e));
}

void StEditOrbDialog::setDragEnabled(bool drag, bool bstar) {
  for (QLineEdit* e : {ui->ndotEdit, ui->adotEdit, ui->n2dotEdit}) e->setEnabled(drag);
  ui->bstarEdit->setEnabled(bstar);
}

void StEditOrbDialog::setParams(const EditOrbParams& p) {
  showHead(p);
  showElements(p);
  showNumeric(p);
}

void StEditOrbDialog::showHead(const EditOrbParams& p) {
  const int aflg = p.aflg, paflg = p.paflg, lcflg = p.lcflg;
  int year;
  double day;
  EpochYearDay(p.mjdep, year, day);
  ui->nameEdit->setText(p.name);
  setNum(ui->noradEdit, p.norad);
  setNum(ui->yearEdit, year);
  setNum(ui->dayEdit, day, kDay);
  sgpOffByEcc_ = false;
  ui->spg4Box->setChecked(aflg != 0);
  ui->perapBox->setChecked(paflg != 0);
  ui->periEdit->setEnabled(paflg == 1);
  ui->apoEdit->setEnabled(paflg == 1);
  for (QLineEdit* e : {ui->eccEdit, ui->n0Edit, ui->aEdit}) e->setEnabled(paflg != 1);
  for (QLineEdit* e : {ui->yearEdit, ui->dayEdit, ui->raEdit, ui->aperEdit, ui->m0Edit})
    e->setEnabled(lcflg == 0);
  setDragEnabled(aflg == 0, aflg != 0);
  n0c_ = ndc_ = apc_ = 0;
}

void StEditOrbDialog::showElements(const EditOrbParams& p) {
  const double a = p.a, ecc = p.ecc, n0 = p.n0, ndot = p.ndot, adot = p.adot;
  dn0_ = n0;
  dsmax_ = a;
  decc_ = ecc;
  dndot_ = ndot;
  dadot_ = adot;
  setNum(ui->aEdit, a, kKm);
  showOrbit(p.inc, p.ra, p.aper, p.m0, ecc);
  setNum(ui->adotEdit, adot, kAngle);
  setNum(ui->ndotEdit, ndot, kRate);
  setNum(ui->n0Edit, n0, N0Format(ecc));
  setNum(ui->n2dotEdit, p.n6dot, kExp);
  setNum(ui->bstarEdit, p.bstar, kExp);
  if (ecc < 1.0) {
    hper_ = (1.0 - ecc) * a - kReIau1976Km;
    hapo_ = (1.0 + ecc) * a - kReIau1976Km;
    setNum(ui->periEdit, hper_, kKm);
    setNum(ui->apoEdit, hapo_, kKm);
  } else {
    setNum(ui->periEdit, 0.0, "%.1lf");
    setNum(ui->apoEdit, 0.0, "%.1lf");
    ui->perapBox->setChecked(false);
    eccSlot();
  }
  // What was filled in is consistent: only what the user changes from here
  // on is recomputed, so OK on an untouched form gives back these values.
  n0c_ = ndc_ = apc_ = 0;
}

void StEditOrbDialog::showNumeric(const EditOrbParams& p) {
  ui->idsnEdit->setText(p.dsn);
  ui->numBox->setChecked(p.numflg);
  ednwsflg_ = false;
  double e, tp;
  if (p.numflg && vsCkHyp(e, tp) && e >= 1.0) {
    int year;
    double day;
    EpochYearDay(tp, year, day);
    setNum(ui->yearEdit, year);
    setNum(ui->dayEdit, day, kDay);
  }
}

EditOrbParams StEditOrbDialog::params() {
  EditOrbParams p;
  p.name = ui->nameEdit->text();
  readNum(ui->noradEdit, p.norad);
  readNum(ui->yearEdit, p.year);
  readNum(ui->dayEdit, p.day);
  p.aflg = ui->spg4Box->isChecked() ? 1 : 0;
  p.paflg = ui->perapBox->isChecked() ? 1 : 0;
  refreshSlot();
  p.a = dsmax_;
  p.ecc = decc_;
  p.n0 = dn0_;
  p.ndot = dndot_;
  p.adot = dadot_;
  readNum(ui->raEdit, p.ra);
  readNum(ui->aperEdit, p.aper);
  readNum(ui->incEdit, p.inc);
  readNum(ui->m0Edit, p.m0);
  readNum(ui->n2dotEdit, p.n6dot);
  readNum(ui->bstarEdit, p.bstar);
  // A mean motion the models cannot use is bent into range; the semi-major
  // axis follows it, so that both describe the same orbit.
  const double n0 = p.n0;
  const double n = decc_ < 1.0 ? std::min(std::max(n0, kMinN0), kMaxN0) : std::max(n0, kMinN0);
  if (n != n0) {
    p.n0 = n;
    if (decc_ < 1.0)
      p.a = axisOf(n, decc_, p.inc);
    else if (decc_ > 1.0)
      p.a = n / (1.0 - decc_);
  }

  p.dsn = ui->idsnEdit->text();
  p.numflg = ui->numBox->isChecked();
  p.nwsflg = ednwsflg_;
  return p;
}

QString StEditOrbDialog::orbitProblem(bool pa, int source, QLineEdit*& field) const {
  const double inc = Read(ui->incEdit);
  if (decc_ >= 1.0) {
    field = ui->n0Edit;
    return dn0_ < kMinN0 ? tr("q must be at least %1 km.").arg(numText(kMinN0)) : QString();
  }
  if (!(dsmax_ > 0.0)) {
    field = ui->aEdit;
    return tr("Semimajor Axis must be above 0 km for an eccentricity below 1: type it or the "
              "mean motion.");
  }
  if (dn0_ >= kMinN0 && dn0_ <= kMaxN0) return QString();
  if (!pa && (source == 1 || source == 3)) {
    field = ui->n0Edit;
    return meanMotionRange();
  }
  // Beyond these the mean motion would be bent into range on OK, and the
  // orbit stored would not be the one shown.
  const double loA = axisOf(kMaxN0, decc_, inc), hiA = axisOf(kMinN0, decc_, inc);
  if (dsmax_ >= loA && dsmax_ <= hiA) {
    // No mean motion in range gives an axis in range only where the J2 term
    // of the conversion runs wild: a perigee deep inside the Earth.
    const QString below = surfaceProblem(pa, source, field);
    if (!below.isEmpty()) return below;
  }
  const QString lo = numText(loA, "%.1f"), hi = numText(hiA, "%.1f");
  if (pa) {
    field = ui->periEdit;
    return tr("Perigee Height and Apogee Height give a semi-major axis of %1 km; it must lie "
              "between %2 and %3 km.")
        .arg(numText(dsmax_, "%.1f"), lo, hi);
  }
  field = ui->aEdit;
  return tr("Semimajor Axis must lie between %1 and %2 km.").arg(lo, hi);
}

QString StEditOrbDialog::surfaceProblem(bool pa, int source, QLineEdit*& field) const {
  // Perigee distance: (1 - e) a of an ellipse, q of an open orbit.
  const double q = decc_ < 1.0 ? (1.0 - decc_) * dsmax_ : dn0_;
  if (q >= kReIau1976Km) return QString();
  field = decc_ >= 1.0 || source == 1 || source == 3 ? ui->n0Edit : ui->aEdit;
  if (pa) field = ui->periEdit;
  return tr("The orbit of these elements runs below the Earth's surface (perigee height %1 km).")
      .arg(numText(q - kReIau1976Km, "%.1f"));
}

QString StEditOrbDialog::rangeProblem(QLineEdit*& field) const {
  // The refreshed form is what the next opening shows and checks: what OK
  // stores must pass OK again. The epoch opens as the year it falls in.
  int year = 0;
  double day = 0.0;
  EpochYearDay(epochFields(), year, day);
  if (year < kFirstYear || year > kLastYear) {
    field = ui->dayEdit;
    return tr("The epoch falls in the year %1; it must lie between %2 and %3.")
        .arg(year)
        .arg(kFirstYear)
        .arg(kLastYear);
  }
  for (const CoupledRange& c : coupledRanges()) {
    const double v = Read(c.edit);
    if (v >= c.min && v <= c.max) continue;
    field = c.edit;
    // The mean-motion field of an open orbit holds q (at least 0.001 km by
    // orbitProblem).
    if (c.edit == ui->n0Edit && decc_ >= 1.0)
      return tr("These elements give a q of %1 km; it must lie between %2 and %3 km.")
          .arg(numText(v), numText(kMinN0), numText(c.max));
    return tr("These elements give a %1 of %2; it must lie between %3 and %4.")
        .arg(c.name, numText(v), numText(c.min), numText(c.max));
  }
  return QString();
}

QString StEditOrbDialog::designatorProblem() const {
  const QString text = ui->idsnEdit->text();
  const QByteArray dsn = text.left(DSN_SIZE - 1).toLatin1();
  if (tledsnfits(dsn.constData())) return QString();
  return tr("International Launch #: \"%1\" does not fit a TLE: type it as YYYY-NNNP (e.g. "
            "1998-067A) with a year from 1957 to 2056 and at most three piece letters, or leave "
            "it empty.")
      .arg(text);
}

bool StEditOrbDialog::typedFieldsValid(bool designator) {
  const bool open = !ui->perapBox->isChecked() && !(Read(ui->eccEdit) < 1.0);
  renameField(ui->n0Edit, open ? tr("q") : tr("Mean Motion"));
  if (!fieldsValid()) return false;
  if (designator) {
    const QString dsn = designatorProblem();
    if (!dsn.isEmpty()) {
      refuseField(ui->idsnEdit, dsn);
      return false;
    }
  }
  // Without a usable mean motion the axis would silently become the source.
  const QString mm = meanMotionProblem();
  if (!mm.isEmpty()) {
    refuseField(ui->n0Edit, mm);
    return false;
  }
  return true;
}

std::array<QLineEdit*, 7> StEditOrbDialog::coupledEdits() const {
  return {ui->n0Edit,   ui->aEdit,    ui->eccEdit, ui->adotEdit,
          ui->ndotEdit, ui->periEdit, ui->apoEdit};
}

StEditOrbDialog::FormState StEditOrbDialog::formState() const {
  FormState f;
  const auto coupled = coupledEdits();
  for (int k = 0; k < 7; ++k) f.text[k] = coupled[k]->text();
  const double work[7] = {dsmax_, decc_, dn0_, dndot_, dadot_, hper_, hapo_};
  for (int k = 0; k < 7; ++k) f.work[k] = work[k];
  f.trackers[0] = n0c_;
  f.trackers[1] = ndc_;
  f.trackers[2] = apc_;
  f.sgp = ui->spg4Box->isChecked();
  f.sgpOffByEcc = sgpOffByEcc_;
  f.n0cBeforeOpen = n0cBeforeOpen_;
  return f;
}

void StEditOrbDialog::restoreForm(const FormState& f) {
  ui->spg4Box->setChecked(f.sgp);
  const auto coupled = coupledEdits();
  for (int k = 0; k < 7; ++k) coupled[k]->setText(f.text[k]);
  dsmax_ = f.work[0];
  decc_ = f.work[1];
  dn0_ = f.work[2];
  dndot_ = f.work[3];
  dadot_ = f.work[4];
  hper_ = f.work[5];
  hapo_ = f.work[6];
  n0c_ = f.trackers[0];
  ndc_ = f.trackers[1];
  apc_ = f.trackers[2];
  sgpOffByEcc_ = f.sgpOffByEcc;
  n0cBeforeOpen_ = f.n0cBeforeOpen;
}

bool StEditOrbDialog::workingFinite() const {
  for (double x : {dsmax_, decc_, dn0_, dndot_, dadot_, hper_, hapo_})
    if (!std::isfinite(x)) return false;
  return true;
}

QLineEdit* StEditOrbDialog::unusableSource(bool pa, int source, int dragSource) const {
  for (double x : {dsmax_, decc_, dn0_, hper_, hapo_}) {
    if (std::isfinite(x)) continue;
    if (pa) return ui->periEdit;
    return source == 2 ? ui->aEdit : ui->n0Edit;
  }
  return dragSource == 2 ? ui->adotEdit : ui->ndotEdit;
}

bool StEditOrbDialog::refreshChecked() {
  if (!typedFieldsValid(false)) return false;
  const FormState typed = formState();
  const bool pa = ui->perapBox->isChecked();
  refreshSlot();
  if (workingFinite()) return true;
  // Shown, these would read "-nan", and OK would blame a field the program
  // filled: the form stays as typed and the field typed is named.
  QLineEdit* const field = unusableSource(pa, typed.trackers[0], typed.trackers[1]);
  restoreForm(typed);
  refuseField(field, tr("These elements give no usable orbit."));
  return false;
}

void StEditOrbDialog::refreshPressed() { refreshChecked(); }

void StEditOrbDialog::accept() {
  bool ok = typedFieldsValid(true);
  if (ok) {
    // The coupled fields and working values as the user left them: a refused
    // OK puts them back, so the form still shows what was typed.
    const FormState typed = formState();
    const bool pa = ui->perapBox->isChecked();
    const int source = typed.trackers[0];

    refreshSlot();
    QLineEdit* field = nullptr;
    QString problem;
    if (!workingFinite()) {
      problem = tr("These elements give no usable orbit.");
      field = unusableSource(pa, source, typed.trackers[1]);
    }
    if (problem.isEmpty()) problem = orbitProblem(pa, source, field);
    if (problem.isEmpty()) problem = surfaceProblem(pa, source, field);
    if (problem.isEmpty()) problem = rangeProblem(field);
    if (!problem.isEmpty()) {
      ok = false;
      restoreForm(typed);
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
  if (n0c_ == 1 && Read(ui->n0Edit) == dn0_) n0c_ = 0;
}

// SGP4 takes no open orbit: an eccentricity of 1 or more unchecks the box.
// The box follows the eccentricity the user ends with, not one passed on the
// way (retyping 0.0004559 as 4.559e-4 reads 4 after the first key): below 1
// it is checked again when the eccentricity alone had unchecked it, and the
// mean motion tracker is as it was unless the mean motion or the axis was
// typed meanwhile. An uncheck of the user's own stays.
void StEditOrbDialog::eccSlot() {
  if (Read(ui->eccEdit) < 1.0) {
    if (sgpOffByEcc_) {
      const int n0c = n0c_;
      setSgpForEcc(true);
      n0c_ = n0c == 3 ? n0cBeforeOpen_ : n0c;
    }
    eccincSlot();
    const bool sgp = ui->spg4Box->isChecked();
    setDragEnabled(!sgp, sgp);
  } else {
    const int n0c = n0c_;
    if (n0c_ == 0) n0c_ = 1;
    if (ui->spg4Box->isChecked()) {
      n0cBeforeOpen_ = n0c;
      setSgpForEcc(false);
    }
    setDragEnabled(false, false);
  }
}

void StEditOrbDialog::setSgpForEcc(bool on) {
  eccTogglesSgp_ = true;
  ui->spg4Box->setChecked(on);
  eccTogglesSgp_ = false;
  sgpOffByEcc_ = !on;
}

void StEditOrbDialog::spgSlot() {
  const bool sgp = ui->spg4Box->isChecked();
  setDragEnabled(!sgp, sgp);
  n0c_ = 3;
  if (!eccTogglesSgp_) sgpOffByEcc_ = false;
}

void StEditOrbDialog::perapoSlot() {
  const bool pa = ui->perapBox->isChecked();
  ui->periEdit->setEnabled(pa);
  ui->apoEdit->setEnabled(pa);
  for (QLineEdit* e : {ui->eccEdit, ui->n0Edit, ui->aEdit}) e->setEnabled(!pa);
}

// ---------------------------------------------------------------------------
// Recomputation
// ---------------------------------------------------------------------------

void StEditOrbDialog::refreshSlot() {
  const double i = Read(ui->incEdit);
  decc_ = Read(ui->eccEdit);
  if (decc_ >= 1.0 && ui->spg4Box->isChecked()) ui->spg4Box->setChecked(false);
  const bool pa = ui->perapBox->isChecked();
  bool drag = true;

  if (pa) {
    if (apc_ != 0) {
      hper_ = Read(ui->periEdit);
      hapo_ = Read(ui->apoEdit);
      dsmax_ = std::max((hper_ + hapo_) / 2.0 + kReIau1976Km, 1.0);
      decc_ = std::fabs((hapo_ - hper_) / (2.0 * dsmax_));
      if (decc_ >= 1.0) decc_ = kEccCap;
      dn0_ = meanMotionOf(dsmax_, decc_, i);
    }
  } else if (decc_ < 1.0) {
    bool derive = n0c_ != 0;
    if (!derive && Read(ui->aEdit) < 0.0) {
      n0c_ = 1;
      derive = true;
    }
    if (derive) {
      // A number typed as it is shown stands for the working value behind
      // the printed digits.
      double n = Read(ui->n0Edit);
      if (n == Shown(dn0_, N0Format(decc_))) n = dn0_;
      if (n0c_ == 2 || n < kMinN) {
        double a = Read(ui->aEdit);
        if (a == Shown(dsmax_, kKm)) a = dsmax_;
        dsmax_ = a;
        dn0_ = meanMotionOf(dsmax_, decc_, i);
      } else {
        dn0_ = n;
        dsmax_ = axisOf(n, decc_, i);
      }
      // A mean motion of 0 stays: no mean motion gives the axis, and OK
      // refuses it (orbitProblem).
    }
    hper_ = (1.0 - decc_) * dsmax_ - kReIau1976Km;
    hapo_ = (1.0 + decc_) * dsmax_ - kReIau1976Km;
  } else {
    // Open orbit: the mean-motion field holds the perigee distance q.
    if (n0c_ != 0) {
      const double q = Read(ui->n0Edit);
      if (n0c_ == 2 || q < kMinN) {
        dsmax_ = Read(ui->aEdit);
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
      dadot_ = Read(ui->adotEdit);
      dndot_ = (dsmax_ != 0.0 ? -0.75 * dn0_ * dadot_ / dsmax_ : 0.0) + 0.0;  // no -0
    } else if (ndc_ != 0 || n0c_ != 0 || apc_ != 0) {
      dndot_ = Read(ui->ndotEdit);
      dadot_ = (dn0_ != 0.0 ? -4.0 / 3.0 * dsmax_ * dndot_ / dn0_ : 0.0) + 0.0;
    }
  }

  setNum(ui->n0Edit, dn0_, N0Format(decc_));
  setNum(ui->aEdit, dsmax_, kKm);
  setNum(ui->eccEdit, decc_, EccFormat(decc_));
  setNum(ui->adotEdit, dadot_, kAngle);
  setNum(ui->ndotEdit, dndot_, kRate);
  setNum(ui->periEdit, hper_, kKm);
  setNum(ui->apoEdit, hapo_, kKm);
  n0c_ = ndc_ = apc_ = 0;
}

// ---------------------------------------------------------------------------
// Actions: Edit Time, GEO, State Vec., Adjust
// ---------------------------------------------------------------------------

void StEditOrbDialog::timeSlot() { EditEpochFields(this, ui->yearEdit, ui->dayEdit, kDay); }

void StEditOrbDialog::geoSlot() {
  double lon = 0.0;
  if (!prompter().askDouble(tr("GEO orbit"), tr("Geogr.Longitude:"), lon, -180.0, 360.0, 2, this))
    return;
  sgpOffByEcc_ = false;  // GEO sets the Kepler model whatever the eccentricity was
  double node = lsidtim(epochFields(), lon, 0.0) * 15.0;
  if (node < 0.0) node += 360.0;
  constexpr double kGeoN0 = 1.00270065, kGeoInc = 0.001;
  showOrbit(kGeoInc, node, 0.0, 0.0, 0.0);
  setNum(ui->adotEdit, 0.0, kAngle);
  setNum(ui->n0Edit, kGeoN0, kRate);
  setNum(ui->aEdit, getsax(0, kGeoN0, 0.0, kGeoInc), kKm);
  setNum(ui->n2dotEdit, 0.0, kExp);
  setNum(ui->bstarEdit, 0.0, kExp);
  ui->spg4Box->setChecked(false);
  ui->perapBox->setChecked(false);
  ui->numBox->setChecked(false);
  smaxSlot();
  refreshSlot();
}

void StEditOrbDialog::stateSlot() {
  const bool pa = ui->perapBox->isChecked();
  // Typed heights or elements first become consistent elements, checked as
  // OK checks them.
  if (!refreshChecked()) return;
  int year = 0;
  readNum(ui->yearEdit, year);
  double day = Read(ui->dayEdit);
  const double t = EpochMjd(year, day);
  const double node = Read(ui->raEdit), argp = Read(ui->aperEdit), inc = Read(ui->incEdit);
  double m = Read(ui->m0Edit), a = dsmax_;
  const double e = decc_;
  if (e >= 1.0) {
    // Open orbit from its pericentre, at the distance q of the q field: the
    // near-parabolic form takes q itself, a hyperbola a = -q / (e - 1).
    m = 0.0;
    a = e == 1.0 ? dn0_ : -dn0_ / (e - 1.0);
  }
  const bool sgp = ui->spg4Box->isChecked();
  Vec3 r, v;
  // SGP4 mean elements: the state SGP4 gives at their epoch, which the refit
  // on OK turns back into them; the two-body state of mean elements lies
  // kilometres from it.
  const Sgp4Mean mean{inc, node, e, argp, m, dn0_};
  if (!(sgp && e < 1.0 && vsSgp4State(mean, t, Read(ui->bstarEdit), r, v))) {
    kepler(kGmEgm96Km3Day2, t, t, m, a, e, node, argp, inc, r, v);
    v /= 86400.0;
  }
  if (!std::isfinite(r.x + r.y + r.z + v.x + v.y + v.z)) {
    prompter().warn(windowTitle(), tr("These elements give no usable orbit."), this);
    return;
  }

  StStateDialog dlg;
  StateParams st;
  st.nm = ui->numBox->isChecked();
  st.year = year;
  st.day = day;
  st.r = r;
  st.v = v;
  dlg.setParams(st);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  dlg.store();
  st = dlg.params();
  if (!st.changed) return;  // the same orbit: the elements stay as they are
  year = st.year;
  day = st.day;
  r = st.r;
  v = st.v;
  v *= 86400.0;
  setNum(ui->yearEdit, year);
  setNum(ui->dayEdit, day, "%12.8lf");

  double tp, mo, ao, eo, nodeo, argpo, inco;
  oscelm(kGmEgm96Km3Day2, EpochMjd(year, day), r, v, tp, mo, ao, eo, nodeo, argpo, inco);
  const bool open = !(eo < 1.0);
  if (open) {
    EpochYearDay(tp, year, day);
    setNum(ui->yearEdit, year);
    setNum(ui->dayEdit, day, kDay);
    mo = 0.0;
  }
  setNum(ui->aEdit, ao, kKm);
  decc_ = eo;
  showOrbit(inco, nodeo, argpo, mo, eo);

  bool fitted = false;
  if (sgp && !open) {
    const Sgp4Conversion res = cvSGP4(Read(ui->bstarEdit));
    const bool approximate = res.code == SGP4FIT_NOTCONVERGED;
    if (res.code == 0 || approximate) {
      const Sgp4Mean& el = res.el;
      setNum(ui->n0Edit, el.n, kRate);
      decc_ = el.ecc;
      showOrbit(el.incl, el.node, el.argp, el.M, el.ecc);
      fitted = true;
      if (approximate) prompter().inform(windowTitle(), cvSGP4Text(res.code), this);
    } else {
      prompter().inform(windowTitle(),
                        cvSGP4Text(res.code) + tr("\nThe osculating elements are shown instead."),
                        this);
    }
  }
  if (pa) ui->perapBox->setChecked(false);
  if (fitted) {
    n0Slot();
  } else if (open) {
    // The perigee distance of the state is the source of an open orbit.
    setNum(ui->n0Edit, std::fabs((1.0 - eo) * ao), kKm);
    n0Slot();
  } else {
    smaxSlot();
  }
  refreshSlot();
  if (pa && decc_ < 1.0) {
    ui->perapBox->setChecked(true);
    refreshSlot();
  }
}

void StEditOrbDialog::adjSlot() {
  StAdjDialog dlg;
  dlg.setParams(vsGetAdj());
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  vsPutAdj(dlg.params());
}
