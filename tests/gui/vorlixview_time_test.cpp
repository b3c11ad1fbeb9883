// Time in the view: steps, pass jumps onto the engine's (and skyfield's)
// culminations, Real Time and Delta Time driven by calling the tick slots.
#include <QTimer>
#include <QtTest>

#include <cmath>

#include "engine/passes.h"
#include "gui/plottext.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {
constexpr double SEC = 1.0 / 86400;

// Culmination times of the ISS over Munich from 58139.0 (skyfield).
QVector<double> skyfieldCulminations() {
  QVector<double> t;
  QFile f(testData(QStringLiteral("passes-skyfield.csv")));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return t;
  while (!f.atEnd()) {
    const QList<QByteArray> c = f.readLine().trimmed().split(',');
    if (c.size() > 9 && c[0] == "iss_a0") t.append(c[9].toDouble());
  }
  return t;
}
}  // namespace

class TimePlotTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void steps();
  void jumps_data();
  void jumps();
  void jumpsAgainstSkyfield();
  void jumpFailures();
  void jumpKeepsSettings();
  void relativeSetInEventMode_data();
  void relativeSetInEventMode();
  void deltaTime_data();
  void deltaTime();
  void stepSignDoesNotTurnTimeBack();
  void busyTicks();
  void timerCheck();
  void windowTimer();

 private:
  std::unique_ptr<WindowFixture> fx;
  std::unique_ptr<VorlixApp> win;
  VorlixView* view = nullptr;
  std::unique_ptr<ScriptedPrompter> sp;
};

// The ISS of January 2018 over Munich, every pass counted (no visibility
// conditions), the search interval one day.
void TimePlotTest::init() {
  fx = std::make_unique<WindowFixture>();
  fx->copyData(QStringLiteral("passes.tle"), QStringLiteral("passes.tle"));
  fx->writeConfig(QStringLiteral("passes.tle"), {"ISS"});
  win = fx->start();
  view = win->findChild<VorlixView*>();
  QVERIFY(view);
  sp = std::make_unique<ScriptedPrompter>();
  QCOMPARE(indata->satnr, 1);
  indata->lat = 48.15;
  indata->lng = 11.58;
  indata->height = 520;
  indata->visflg = indata->moonflg = 0;
  indata->satel = 0;
  indata->sunel = 90;
  indata->refrc = false;
  indata->occflg = indata->flarflg = indata->iridflg = 0;
  indata->IERSflg = false;
  indata->dur = 1;
  indata->tstep = 60 * SEC;
  indata->tzauto = 0;
  indata->tzone = 0;
  indata->curmjd = 58139.0;
}

void TimePlotTest::cleanup() {
  sp.reset();
  win.reset();
  fx.reset();
}

void TimePlotTest::steps() {
  QCOMPARE(indata->dspst, 0);
  view->vForward();
  QCOMPARE(indata->curmjd, 58139.0 + 60 * SEC);
  QCOMPARE(indata->dspst, 1);  // the map is shown
  view->vBackward();
  view->vBackward();
  QCOMPARE(indata->curmjd, 58139.0 - 60 * SEC);
  view->vCurrent();
  QCOMPARE(indata->curmjd, 58139.0 - 60 * SEC);
}

// A jump lands on the engine's culmination, on a whole second of UT for steps
// of a second or more, exactly for shorter steps.
void TimePlotTest::jumps_data() {
  QTest::addColumn<bool>("next");
  QTest::addColumn<double>("stepsec");
  QTest::addColumn<bool>("whole");
  QTest::newRow("next, 1 min") << true << 60.0 << true;
  QTest::newRow("next, 1 s") << true << 1.0 << true;
  QTest::newRow("next, 0.5 s") << true << 0.5 << false;
  QTest::newRow("last, 1 min") << false << 60.0 << true;
  QTest::newRow("last, 0.5 s") << false << 0.5 << false;
}

void TimePlotTest::jumps() {
  QFETCH(bool, next);
  QFETCH(double, stepsec);
  QFETCH(bool, whole);
  indata->tstep = stepsec * SEC;
  indata->curmjd = 58139.5;
  const double t0 = next ? indata->curmjd + indata->tstep : indata->curmjd - indata->tstep;
  double tm[3], a1[3], a2[3];
  QVERIFY(next ? nextpass(indata, 0, t0, t0 + 1, tm, a1, a2)
               : lastpass(indata, 0, t0, t0 - 1, tm, a1, a2));
  if (next) view->vPlotNext();
  else view->vPlotLast();
  QCOMPARE(indata->pasact, 1);
  QCOMPARE(indata->dspst, 1);
  const double got = indata->curmjd;
  if (whole) {
    QVERIFY(std::fabs(got - tm[1]) <= 0.5 * SEC + 1e-9);
    const double s = std::fmod(got * 86400, 1.0);
    QVERIFY2(std::min(s, 1 - s) < 1e-4, qPrintable(QString::number(s)));
  } else {
    QCOMPARE(got, tm[1]);
  }
  QVERIFY(sp->boxes.isEmpty());
}

// The plotted times are skyfield's culminations to the second.
void TimePlotTest::jumpsAgainstSkyfield() {
  const QVector<double> culm = skyfieldCulminations();
  QVERIFY(culm.size() >= 4);
  indata->curmjd = 58139.0 - indata->tstep;
  for (int k = 0; k < 4; ++k) {
    view->vPlotNext();
    QVERIFY2(std::fabs(indata->curmjd - culm[k]) <= 2 * SEC,
             qPrintable(QString("pass %1: %2 vs %3").arg(k).arg(indata->curmjd, 0, 'f', 6)
                            .arg(culm[k], 0, 'f', 6)));
  }
}

// Nothing selected, nothing found: the warning, and the time stays. A
// satellite without a position (these elements have none from 2039 on) has
// no pass either way, however low the minimum elevation.
void TimePlotTest::jumpFailures() {
  indata->dur = 0.001;
  view->vPlotNext();
  QCOMPARE(indata->curmjd, 58139.0);
  QCOMPARE(sp->of("warn").size(), 1);
  QCOMPARE(sp->boxes.last().title, QStringLiteral("Vorlix"));
  QCOMPARE(sp->boxes.last().text, QStringLiteral("No suitable pass found"));
  indata->dur = 1;
  indata->satel = -90;
  indata->curmjd = 66100.0;
  view->vPlotNext();
  view->vPlotLast();
  QCOMPARE(sp->of("warn").size(), 3);
  QCOMPARE(sp->boxes.last().text, QStringLiteral("No suitable pass found"));
  QCOMPARE(indata->curmjd, 66100.0);
  indata->curmjd = 58139.0;
  indata->satnr = 0;
  view->vPlotLast();
  QCOMPARE(sp->boxes.last().text, QStringLiteral("No satellite selected"));
  QCOMPARE(indata->curmjd, 58139.0);
}

// The Iridium kind searches ordinary passes and is back afterwards; a jump on
// a sky map ends relative mode.
void TimePlotTest::jumpKeepsSettings() {
  indata->iridflg = 3;
  view->vPlotNext();
  QCOMPARE(indata->iridflg, 3);
  QVERIFY(sp->boxes.isEmpty());
  indata->dur = 0.001;
  view->vPlotNext();
  QCOMPARE(indata->iridflg, 3);
  indata->rlm = 1;
  indata->skymap = 1;
  view->vPlotLast();
  QCOMPARE(indata->rlm, 0);
}

// Relative mode set but off because a transit or flare search is on: the jump
// lands on the culmination, as without relative mode.
void TimePlotTest::relativeSetInEventMode_data() {
  QTest::addColumn<int>("occflg");
  QTest::addColumn<int>("flarflg");
  QTest::newRow("transit") << 1 << 0;
  QTest::newRow("flare") << 0 << 1;
}

void TimePlotTest::relativeSetInEventMode() {
  QFETCH(int, occflg);
  QFETCH(int, flarflg);
  ShiftElm(indata, 1, 0);
  indata->satnr = 2;
  indata->rlm = 1;
  indata->occflg = occflg;
  indata->flarflg = flarflg;
  const double t0 = indata->curmjd + indata->tstep;
  double tm[3], a1[3], a2[3];
  QVERIFY(nextpass(indata, 0, t0, t0 + 1, tm, a1, a2));
  view->vPlotNext();
  QVERIFY2(std::fabs(indata->curmjd - tm[1]) <= 0.5 * SEC + 1e-9,
           qPrintable(QString("%1 vs %2").arg(indata->curmjd, 0, 'f', 6).arg(tm[1], 0, 'f', 6)));
}

// A run draws the start and every step up to its end, a step landing on the
// end included; the next tick ends the run.
void TimePlotTest::deltaTime_data() {
  QTest::addColumn<double>("steps");  // interval length in steps
  QTest::addColumn<int>("drawn");     // ticks that draw
  QTest::newRow("shorter than a step") << 0.5 << 0;
  QTest::newRow("three steps exactly") << 3.0 << 3;
  QTest::newRow("1000 steps of 0.1 s") << 1000.0 << 1000;
}

void TimePlotTest::deltaTime() {
  QFETCH(double, steps);
  QFETCH(int, drawn);
  const bool fine = steps > 100;
  indata->tstep = fine ? 0.1 * SEC : 60 * SEC;
  indata->dur = steps * indata->tstep;
  indata->year = 2018;
  indata->month = 1;
  indata->day = 21;
  indata->hour = 12;
  indata->minute = indata->second = 0;
  view->vTmCheck(2);
  QCOMPARE(indata->dtflg, 2);
  const double start = indata->curmjd;
  QVERIFY(std::fabs(start - (58139.5)) < SEC);
  int ticks = 0;
  while (view->PlotDelta() == 0 && ticks <= drawn) ++ticks;
  QCOMPARE(ticks, drawn);
  QVERIFY(std::fabs(indata->curmjd - (start + drawn * indata->tstep)) < 1e-9);
}

// Forward, back, the pass jumps and a Delta Time run go by the step's size
// whatever its sign: a run with a negative step once never reached its end.
void TimePlotTest::stepSignDoesNotTurnTimeBack() {
  const auto run = [&](double step) {
    indata->tstep = step;
    indata->dur = 1;
    QVector<double> at;
    indata->curmjd = 58139.5;
    view->vForward();
    at << indata->curmjd;
    view->vBackward();
    view->vBackward();
    at << indata->curmjd;
    view->vPlotNext();
    at << indata->curmjd;
    view->vPlotLast();
    at << indata->curmjd;
    indata->dur = 3 * 60 * SEC;
    view->vTmCheck(2);
    int ticks = 0;
    while (view->PlotDelta() == 0 && ticks < 10) ++ticks;
    at << ticks << indata->curmjd;
    view->vTmCheck(0);
    return at;
  };
  const QVector<double> want = run(60 * SEC);
  QCOMPARE(want[0], 58139.5 + 60 * SEC);
  QCOMPARE(want[4], 3.0);
  QCOMPARE(run(-60 * SEC), want);
  QVERIFY(sp->boxes.isEmpty());
}

// A busy view (a map click being served) skips a Real Time tick and ends a
// Delta Time run.
void TimePlotTest::busyTicks() {
  view->busy = true;
  indata->curmjd = 58139.0;
  view->RT_Plot();
  QCOMPARE(indata->curmjd, 58139.0);
  view->dtend = 58140.0;
  QCOMPARE(view->PlotDelta(), 1);
  QCOMPARE(indata->curmjd, 58139.0);
  view->busy = false;
  view->RT_Plot();
  QVERIFY(std::fabs(indata->curmjd - RT_MJD(indata)) < 10 * SEC);
  QCOMPARE(indata->dspst, 1);
}

void TimePlotTest::timerCheck() {
  view->vTmCheck(1);
  QCOMPARE(indata->rtflg, 1);
  QCOMPARE(indata->dtflg, 0);
  QCOMPARE(indata->dspst, 1);  // the map comes up at once
  const double t = indata->curmjd;
  view->vTmCheck(0);
  QCOMPARE(indata->rtflg, 0);
  QCOMPARE(indata->curmjd, t);  // replotted where the clock was
  view->vTmCheck(2);
  QCOMPARE(indata->dtflg, 2);
  QCOMPARE(indata->rtflg, 0);
  view->vTmCheck(0);
  QCOMPARE(indata->dtflg, 0);
  view->vTmCheck(2);
  view->vTmCheck(-1);
  QCOMPARE(indata->dtflg, 0);
}

// The window's one timer: R, then G stops without starting, a second G
// starts; a busy click ends the Delta Time run at the next tick.
void TimePlotTest::windowTimer() {
  win->slotPlotRT();
  QCOMPARE(win->timerState(), 1);
  QCOMPARE(win->plotTimer()->interval(), 980);
  win->slotPlotDelta();
  QCOMPARE(win->timerState(), 0);
  QVERIFY(!win->plotTimer()->isActive());
  win->slotPlotDelta();
  QCOMPARE(win->timerState(), 2);
  QCOMPARE(indata->dtflg, 2);
  win->slotTmCheck();
  QCOMPARE(win->timerState(), 2);
  // A tick that arrives while a map click is served.
  view->localDetails = [&] { win->slotTmCheck(); };
  view->getMapPos(100, 100);
  QCOMPARE(win->timerState(), 0);
  QCOMPARE(indata->dtflg, 0);
  // Real Time: the tick inside the click is skipped.
  win->slotPlotRT();
  indata->curmjd = 58139.0;
  view->getMapPos(100, 100);
  QCOMPARE(indata->curmjd, 58139.0);
  QCOMPARE(win->timerState(), 1);
  win->slotStopTime();
}

QTEST_MAIN(TimePlotTest)
#include "vorlixview_time_test.moc"
