// State vector dialog on the prime satellite: the four frames against ERFA,
// the reset box, what OK stores, and refused input.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cstring>

#include "dialogs/stepoch.h"
#include "dialogs/ststatedialog.h"
#include "gui/vsservices.h"
#include "orbit/vorlixnum.h"
#include "support/dialogrefusal.h"
#include "support/orbitslots.h"

namespace {

const char* const kVec[6] = {"r0Edit", "r1Edit", "r2Edit", "v0Edit", "v1Edit", "v2Edit"};
const char* const kFrame[NFRAMES] = {"todButton", "mdateButton", "j2000Button", "efixButton"};

// The prime slot 0 holds the case's state (mean of date) at its epoch.
FrameCase Setup(bool numeric, int stfrm) {
  OrbitRecord();
  const FrameCase c = FrameCases().at(1);  // leo2026, with IERS values
  FrameSettings(indata, c);
  WinpData* d = indata;
  d->satnr = 1;
  d->prs = 0;
  d->nmflg[0] = numeric;
  d->epoch[0] = c.mjd;
  d->rx[0] = 1000.0 * c.r[1].x;
  d->ry[0] = 1000.0 * c.r[1].y;
  d->rz[0] = 1000.0 * c.r[1].z;
  d->vx[0] = 1000.0 * c.v[1].x;
  d->vy[0] = 1000.0 * c.v[1].y;
  d->vz[0] = 1000.0 * c.v[1].z;
  d->tint[0] = c.mjd - 1.0;
  d->cd[0] = 2.5;
  d->stfrm = stfrm;
  return c;
}

// The dialog on the record's slot 0 as the editor opens it: its own epoch
// and the slot's vector.
void Open(StStateDialog& dlg, const FrameCase& c, bool numeric) {
  StateParams p;
  p.nm = numeric;
  EpochYearDay(c.mjd, p.year, p.day);
  p.r = c.r[1];
  p.v = c.v[1];
  dlg.setParams(p);
}

// OK's reading: what the dialog returns, stored into the prime slot.
StateParams Returned(StStateDialog& dlg) {
  dlg.store();
  return dlg.params();
}

void Shown(StStateDialog& dlg, Vec3& r, Vec3& v) {
  double x[6];
  for (int k = 0; k < 6; ++k) readNum(dlg.findChild<QLineEdit*>(kVec[k]), x[k]);
  r = Vec3(x[0], x[1], x[2]);
  v = Vec3(x[3], x[4], x[5]);
}

Vec3 StoredR() { return Vec3(indata->rx[0], indata->ry[0], indata->rz[0]) / 1000.0; }

bool SameState(const WinpData& a, const WinpData& b) {
  return a.rx[0] == b.rx[0] && a.ry[0] == b.ry[0] && a.rz[0] == b.rz[0] && a.vx[0] == b.vx[0] &&
         a.vy[0] == b.vy[0] && a.vz[0] == b.vz[0] && a.epoch[0] == b.epoch[0];
}

}  // namespace

class StStateDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void shownInTheFrameLastChosen_data();
  void shownInTheFrameLastChosen();
  void numericFrameChange();
  void numericFrameRelabel();
  void analyticSatellite();
  void typedEarthFixedState();
  void refusedInput_data();
  void refusedInput();
  void notAnOrbit_data();
  void notAnOrbit();
};

void StStateDialogTest::shownInTheFrameLastChosen_data() {
  QTest::addColumn<int>("frame");
  for (int f = 0; f < NFRAMES; ++f) QTest::newRow(kFrame[f]) << f;
}

// The stored vector is shown converted (ERFA, 1 m and 1 mm/s); OK untouched
// stores it back bit for bit and remembers the frame.
void StStateDialogTest::shownInTheFrameLastChosen() {
  QFETCH(int, frame);
  const FrameCase c = Setup(true, frame);
  const WinpData before = *indata;
  StStateDialog dlg;
  Open(dlg, c, true);
  QVERIFY(dlg.findChild<QRadioButton*>(kFrame[frame])->isChecked());
  QVERIFY(dlg.findChild<QCheckBox*>("cstateBox")->isChecked());
  Vec3 r, v;
  Shown(dlg, r, v);
  QVERIFY2(abs(r - c.r[frame]) < 1e-3, qPrintable(QString::number(abs(r - c.r[frame]))));
  QVERIFY(abs(v - c.v[frame]) < 1e-6);
  QCOMPARE(refusalOf(dlg), QString());
  const StateParams out = Returned(dlg);
  QVERIFY(SameState(*indata, before));
  QVERIFY(!out.changed);
  QCOMPARE(indata->stfrm, frame);
  QCOMPARE(indata->tint[0], c.mjd);  // the reset box restarts the integration at epoch
}

// Reset box checked: a frame change converts the numbers shown; OK keeps the
// stored vector and remembers the new frame.
void StStateDialogTest::numericFrameChange() {
  const FrameCase c = Setup(true, 1);
  const WinpData before = *indata;
  StStateDialog dlg;
  Open(dlg, c, true);
  dlg.findChild<QRadioButton*>("j2000Button")->setChecked(true);
  Vec3 r, v;
  Shown(dlg, r, v);
  QVERIFY(abs(r - c.r[2]) < 1e-3);
  dlg.findChild<QRadioButton*>("efixButton")->setChecked(true);
  Shown(dlg, r, v);
  QVERIFY(abs(r - c.r[3]) < 1e-3);
  QVERIFY(abs(v - c.v[3]) < 1e-6);
  Returned(dlg);
  QVERIFY(SameState(*indata, before));
  QCOMPARE(indata->stfrm, 3);
}

// Reset box cleared on a numerical satellite: the numbers stay and are taken
// as numbers of the new frame.
void StStateDialogTest::numericFrameRelabel() {
  const FrameCase c = Setup(true, 1);
  StStateDialog dlg;
  Open(dlg, c, true);
  dlg.findChild<QCheckBox*>("cstateBox")->setChecked(false);
  dlg.findChild<QRadioButton*>("j2000Button")->setChecked(true);
  Vec3 r, v;
  Shown(dlg, r, v);
  QVERIFY(abs(r - c.r[1]) < 1e-9);
  const StateParams out = Returned(dlg);
  r = out.r;
  v = out.v;
  // The mean-of-date numbers read as J2000 come back precessed, about 26 years' worth.
  const Vec3 want = vsRefState(2, 1, c.mjd, c.r[1], c.v[1]).r;
  QVERIFY(abs(r - want) < 1e-9);
  QVERIFY(abs(StoredR() - want) < 1e-9);
  QVERIFY(abs(r - c.r[1]) > 10.0);
  QVERIFY(out.changed);
  QCOMPARE(indata->tint[0], c.mjd - 1.0);  // not reset
}

// Without numerical propagation: no coefficients and no reset box; a frame
// change only shows the same vector in the other frame, so OK changes nothing.
void StStateDialogTest::analyticSatellite() {
  const FrameCase c = Setup(false, 1);
  const WinpData before = *indata;
  StStateDialog dlg;
  Open(dlg, c, false);
  for (const char* w : {"cdEdit", "crEdit", "amEdit", "kpEdit", "f107Edit", "fb107Edit"})
    QVERIFY(dlg.findChild<QLineEdit*>(w)->isHidden());
  QVERIFY(dlg.findChild<QLabel*>("cdLabel")->isHidden());
  QVERIFY(dlg.findChild<QCheckBox*>("cstateBox")->isHidden());
  dlg.findChild<QRadioButton*>("efixButton")->setChecked(true);
  Vec3 r, v;
  Shown(dlg, r, v);
  QVERIFY(abs(r - c.r[3]) < 1e-3);
  const StateParams out = Returned(dlg);
  QVERIFY(SameState(*indata, before));
  QVERIFY(!out.changed);
  QCOMPARE(indata->cd[0], 2.5);
  QCOMPARE(indata->tint[0], c.mjd - 1.0);
  QCOMPARE(indata->stfrm, 3);
}

// A state typed in the Earth-fixed frame (ERFA's numbers) is stored in the
// mean equator of date (ERFA's numbers, 1 m and 1 mm/s).
void StStateDialogTest::typedEarthFixedState() {
  const FrameCase c = Setup(true, 3);
  StStateDialog dlg;
  Open(dlg, c, true);
  const double x[6] = {c.r[3].x, c.r[3].y, c.r[3].z, c.v[3].x, c.v[3].y, c.v[3].z};
  for (int k = 0; k < 6; ++k)
    dlg.findChild<QLineEdit*>(kVec[k])->setText(QString::number(x[k], 'g', 17));
  Vec3 r, v;
  const StateParams out = Returned(dlg);
  r = out.r;
  v = out.v;
  QVERIFY(abs(r - c.r[1]) < 1e-3);
  QVERIFY(abs(v - c.v[1]) < 1e-6);
  QVERIFY(abs(StoredR() - c.r[1]) < 1e-3);
}

void StStateDialogTest::refusedInput_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::newRow("year with a fraction") << "yearEdit" << "2024.5";
  QTest::newRow("day beyond the year") << "dayEdit" << "400";
  QTest::newRow("position nan") << "r1Edit" << "nan";
  QTest::newRow("velocity inf") << "v2Edit" << "inf";
  QTest::newRow("negative drag") << "cdEdit" << "-1";
  // Beyond what the engine keeps: it would be stored changed.
  QTest::newRow("daily flux 1001") << "f107Edit" << "1001";
  QTest::newRow("mean flux 5000") << "fb107Edit" << "5000";
  QTest::newRow("Kp 9.5") << "kpEdit" << "9.5";
  // The spacecraft's coefficients within what the system settings take.
  QTest::newRow("area/mass beyond") << "amEdit" << QString::number(AM_MAX + 1.0);
  QTest::newRow("drag beyond") << "cdEdit" << QString::number(CD_MAX + 1.0);
  QTest::newRow("radiation beyond") << "crEdit" << QString::number(CR_MAX + 1.0);
}

void StStateDialogTest::refusedInput() {
  QFETCH(QString, field);
  QFETCH(QString, text);
  const FrameCase c = Setup(true, 1);
  const WinpData before = *indata;
  StStateDialog dlg;
  Open(dlg, c, true);
  dlg.findChild<QLineEdit*>(field)->setText(text);
  QVERIFY(!refusalOf(dlg).isEmpty());
  QVERIFY(std::memcmp(&before, indata, sizeof before) == 0);  // nothing stored
  // The Earth's centre is no position.
  StStateDialog zero;
  Open(zero, c, true);
  for (int k = 0; k < 3; ++k) zero.findChild<QLineEdit*>(kVec[k])->setText("0");
  QVERIFY(!refusalOf(zero).isEmpty());
}

// A state without angular momentum, or whose orbit dips below the ground, is
// refused with the fields as typed and nothing stored. The test is made in
// the mean equator of date: at rest in the Earth-fixed frame at 42164 km is
// the geostationary orbit.
void StStateDialogTest::notAnOrbit_data() {
  QTest::addColumn<int>("frame");
  QTest::addColumn<QStringList>("vector");  // r0 r1 r2 v0 v1 v2 (km, km/s)
  QTest::addColumn<QString>("refusal");
  const QString none = "The velocity is zero or points straight";
  const QString low = "The orbit of this state runs below the Earth's surface";
  QTest::newRow("at rest") << 1 << QStringList{"7000", "0", "0", "0", "0", "0"} << none;
  QTest::newRow("straight up") << 1 << QStringList{"4000", "4000", "3000", "4", "4", "3"}
                               << none;
  QTest::newRow("straight down, J2000")
      << 2 << QStringList{"0", "0", "8000", "0", "0", "-1"} << none;
  QTest::newRow("perigee under the ground")
      << 1 << QStringList{"7000", "0", "0", "0", "5", "0"} << low + " (perigee height -";
  QTest::newRow("circular at 7000 km")
      << 1 << QStringList{"7000", "0", "0", "0", "7.546", "0"} << QString();
  QTest::newRow("at rest over the equator at 42164 km, Earth-fixed")
      << 3 << QStringList{"42164.17", "0", "0", "0", "0", "0"} << QString();
}

void StStateDialogTest::notAnOrbit() {
  QFETCH(int, frame);
  QFETCH(QStringList, vector);
  QFETCH(QString, refusal);
  const FrameCase c = Setup(false, frame);
  const WinpData before = *indata;
  StStateDialog dlg;
  Open(dlg, c, false);
  for (int k = 0; k < 6; ++k) dlg.findChild<QLineEdit*>(kVec[k])->setText(vector[k]);
  expectRefusal(dlg, refusal);
  if (refusal.isEmpty()) return;
  for (int k = 0; k < 6; ++k) QCOMPARE(dlg.findChild<QLineEdit*>(kVec[k])->text(), vector[k]);
  QVERIFY(std::memcmp(&before, indata, sizeof before) == 0);
}

QTEST_MAIN(StStateDialogTest)
#include "ststatedialog_test.moc"
