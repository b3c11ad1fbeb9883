// The Sun/Moon close-up read back from its pixels: the Moon's phase, lit
// limb and north line against astropy, the limb and terminator for the
// phases that bound them, the Sun-sized circle without satellites, and an
// ISS transit of the Sun (skyfield) drawn across the disc where the centre
// line says, with markers kept off the black strip.
#include <QtTest>

#include <QPainter>

#include <cmath>

#include "engine/vorlixcom.h"
#include "gui/plottext.h"
#include "gui/skydraw.h"
#include "gui/skyframe.h"
#include "skywindow.h"
#include "support/shots.h"

using skytest::count;
using skytest::near;

namespace {
constexpr double DEG = M_PI / 180;
const QColor NORTH(200, 100, 50);

// Difference of two angles in degrees, in (-180, 180].
double angleDiff(double a, double b) { return std::remainder(a - b, 360.0); }

MapFrame closeUp() {
  MapFrame f;
  f.sclx = f.scly = CLOSEUP_SCALE;
  return f;
}
}  // namespace

class SunMoonTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void moonAgainstAstropy_data();
  void moonAgainstAstropy();
  void sunNorthLine();
  void phases_data();
  void phases();
  void noSatellite();
  void sunTransit();
  void markersStayOnTheChart();

 private:
  void at(const skyref::Time& t) { w.observe(t); }
  skytest::SkyWindow w;
  VorlixView* view = nullptr;
  const plotfix::Refs& sats = w.sats;
  const skyref::Refs& sky = w.sky;
};

void SunMoonTest::init() {
  QVERIFY(w.start());
  view = w.view;
  QVERIFY(sky.moons.size() == 4 && sky.transit.size() == 7);
  indata->sunmplt = 1;
  indata->occflg = 2;
  indata->mgrid = 1;
}

void SunMoonTest::cleanup() { w.stop(); }

void SunMoonTest::moonAgainstAstropy_data() {
  QTest::addColumn<int>("k");
  QTest::newRow("young Moon at noon") << 1;
  QTest::newRow("gibbous Moon") << 2;
  QTest::newRow("Sydney") << 3;
}

// The phase value is the cosine of astropy's phase angle; the lit limb's
// middle faces astropy's Sun; the terminator's middle lies at R cos i on the
// far side; the north line follows astropy's parallactic angle.
void SunMoonTest::moonAgainstAstropy() {
  QFETCH(int, k);
  at(sky.times.at(k));
  const skyref::Moon& m = sky.moons.at(k);
  QCOMPARE(indata->smchrt, 1);
  QVERIFY2(std::fabs(satps->smcos - m.cosi) < 0.01, qPrintable(QString::number(satps->smcos)));
  const double P = sunPositionAngle(satps->sunelo * DEG, satps->sunazo, satps->moonelo, satps->moonazo);
  QVERIFY2(std::fabs(angleDiff(P / DEG + 90, m.pa)) < 1.0, qPrintable(QString::number(P / DEG)));
  const double q = northAngle(satps->moonelo, satps->moonazo, indata->lat * DEG);
  QVERIFY2(std::fabs(angleDiff(q / DEG, m.qmoon)) < 1.0, qPrintable(QString::number(q / DEG)));

  const QImage img = view->pmplot.toImage();
  shot(view->pmplot, qPrintable(QString("moon-%1.png").arg(k)));
  const double R = satps->smrad * CLOSEUP_SCALE;
  const double pa = m.pa * DEG, Pr = pa - M_PI / 2, qr = m.qmoon * DEG;
  QVERIFY(near(img, QPointF(360 + R * std::sin(pa), 180 - R * std::cos(pa)), Qt::black) >= 1);
  const QPointF mid(360 - R * m.cosi * std::cos(Pr), 180 - R * m.cosi * std::sin(Pr));
  QVERIFY2(near(img, mid, Qt::black) >= 1, qPrintable(QString("%1,%2").arg(mid.x()).arg(mid.y())));
  const QPointF north(360 + 0.2 * R * std::sin(qr), 180 - 0.2 * R * std::cos(qr));
  QVERIFY(near(img, north, NORTH) >= 1);
}

// On the Sun's close-up the north line follows astropy's parallactic angle of
// the Sun; the disc has the Sun's fixed radius.
void SunMoonTest::sunNorthLine() {
  indata->occflg = 1;
  at(sky.times[1]);
  const double q = northAngle(satps->sunelo * DEG, satps->sunazo, indata->lat * DEG);
  QVERIFY(std::fabs(angleDiff(q / DEG, sky.moons[1].qsun)) < 1.0);
  const QImage img = view->pmplot.toImage();
  const double R = CLOSEUP_SUN_RADIUS * CLOSEUP_SCALE;
  const double qr = sky.moons[1].qsun * DEG;
  QVERIFY(near(img, QPointF(360 + 0.2 * R * std::sin(qr), 180 - 0.2 * R * std::cos(qr)), NORTH) >= 1);
  for (double a = 2.5; a < 360; a += 45)
    QVERIFY(near(img, QPointF(360 + R * std::sin(a * DEG), 180 - R * std::cos(a * DEG)), Qt::black) >= 1);
}

void SunMoonTest::phases_data() {
  QTest::addColumn<double>("smcos");
  QTest::newRow("new") << -1.0;
  QTest::newRow("half") << 0.0;
  QTest::newRow("gibbous") << 0.5;
  QTest::newRow("full") << 1.0;
}

// The Sun straight above the Moon: the lit half is the upper one; the
// terminator runs from the left limb point to the right one through
// (360, 180 + R smcos); at new Moon only dots, at full Moon a closed outline.
void SunMoonTest::phases() {
  QFETCH(double, smcos);
  WinpData d = *indata;
  d.satnr = 1;
  d.mgrid = 0;
  d.mgrey = 0;
  SatPosData s{};
  s.sunelo = 60;
  s.sunazo = M_PI;
  s.moonelo = 30 * DEG;
  s.moonazo = M_PI;
  s.smrad = 0.25;
  s.smcos = smcos;
  QImage img(PLOT_W, PLOT_H, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  PaintSunMoon(p, closeUp(), d, s);
  p.end();
  const int R = 126;  // 0.25 deg x 504
  const QColor ink = Qt::black;
  QCOMPARE(count(img, img.rect(), NORTH), 0);
  // Dots of the dark half every 5 degrees, gaps between them.
  QVERIFY(near(img, QPointF(360, 180 + R), ink) >= 1);
  const double gap = 182.5 * DEG;
  const QPointF between(360 + R * std::sin(gap), 180 - R * std::cos(gap));
  if (smcos == -1.0) {
    QVERIFY(count(img, img.rect(), ink) <= 73);
    QCOMPARE(near(img, QPointF(360, 180 - R), ink) > 0, true);  // a dot, not a line
    QCOMPARE(near(img, QPointF(360 + R * std::sin(2.5 * DEG), 180 - R * std::cos(2.5 * DEG)), ink), 0);
    QCOMPARE(near(img, QPointF(360, 180), ink), 0);
    return;
  }
  // The lit (upper) half is a line: ink between the 5-degree points too.
  QVERIFY(near(img, QPointF(360 + R * std::sin(2.5 * DEG), 180 - R * std::cos(2.5 * DEG)), ink) >= 1);
  QVERIFY(near(img, QPointF(360, 180 + R * smcos), ink) >= 1);
  // Where the terminator does not run, the dark half stays dotted.
  QCOMPARE(near(img, between, ink) > 0, smcos == 1.0);
}

// Moon mode without a satellite: the Sun-sized circle, no phase, no north line.
void SunMoonTest::noSatellite() {
  indata->satnr = 0;
  at(sky.times[2]);
  const QImage img = view->pmplot.toImage();
  const double R = CLOSEUP_SUN_RADIUS * CLOSEUP_SCALE;
  for (double a = 2.5; a < 360; a += 30)
    QVERIFY(near(img, QPointF(360 + R * std::sin(a * DEG), 180 - R * std::cos(a * DEG)), Qt::black) >= 1);
  QCOMPARE(count(img, QRect(0, 0, CHART_W, PANEL_TOP), NORTH), 0);
}

// An ISS transit of the Sun found with skyfield: each 0.2 s the marker is
// where skyfield's ISS stands against astropy's Sun, inside the disc at the
// minimum and outside it 0.6 s before and after; at the engine's centre line
// the ISS crosses the disc's centre.
void SunMoonTest::sunTransit() {
  indata->occflg = 1;
  indata->tstep = 0.2 / 86400;
  const skyref::Pair& x0 = sky.transit[0];
  at({x0.mjd, x0.lat, x0.lng, x0.height});
  const double R = CLOSEUP_SUN_RADIUS * CLOSEUP_SCALE;
  for (const skyref::Pair& x : sky.transit) {
    view->SatPlot(x.mjd, 0);
    const QPoint want = PxCdSun(closeUp(), x.sunaz, x.sunel, x.az, x.el);
    const QPoint got(view->mkx[0], view->mky[0]);
    QVERIFY2((got - want).manhattanLength() <= 4,
             qPrintable(QString("%1: %2,%3 vs %4,%5").arg(x.mjd, 0, 'f', 8).arg(got.x()).arg(got.y())
                            .arg(want.x()).arg(want.y())));
    const double r = std::hypot(got.x() - 360.0, got.y() - 180.0);
    if (&x == &sky.transit[0]) QVERIFY(r < 10);
    if (std::fabs(x.mjd - x0.mjd) > 0.5 / 86400) QVERIFY(r > R && got.x() <= CHART_W);
  }
  shot(view->pmplot, "sun-transit.png");
  // The engine's centre line at the minimum, as the observer: the ISS on the
  // disc's centre.
  view->SatPlot(x0.mjd, 0);
  QVERIFY(satps->ctlat[0] < 99);
  indata->lat = satps->ctlat[0];
  indata->lng = satps->ctlng[0];
  indata->height = 0;
  view->vRefresh();
  view->SatPlot(x0.mjd, 0);
  QVERIFY2(std::hypot(view->mkx[0] - 360.0, view->mky[0] - 180.0) <= 2,
           qPrintable(QString("%1,%2").arg(view->mkx[0]).arg(view->mky[0])));
}

// A satellite 0.72 to 1 degree right of the body stands beyond the chart's
// last column: no marker and no name in the black strip.
void SunMoonTest::markersStayOnTheChart() {
  indata->occflg = 1;
  indata->shwnm = 1;
  plotfix::loadSlot(indata, 1, sats.sats[0]);  // the ISS again, in red
  const skyref::Pair& x0 = sky.transit[0];
  at({x0.mjd, x0.lat, x0.lng, x0.height});
  int beyond = 0;
  for (double dt = 0.6; dt <= 1.6; dt += 0.1) {
    view->SatPlot(x0.mjd + dt / 86400, 0);
    const QImage img = view->pmplot.toImage();
    QCOMPARE(count(img, QRect(CHART_W + 1, 0, PLOT_W - CHART_W - 1, PANEL_TOP), markerColour(1, 0)), 0);
    if (view->mkx[1] == 0 && view->mky[1] == -10) ++beyond;
  }
  QVERIFY(beyond >= 3);
  shot(view->pmplot, "sun-transit-names.png");
}

QTEST_MAIN(SunMoonTest)
#include "sunmoon_test.moc"
