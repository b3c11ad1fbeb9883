// The sky chart's pure functions as tables: fixed points of both views, the
// horizon view solved to convergence near the zenith, click round trips and
// clicks outside the sky, the close-up's off-chart rule, and the places of
// catalogue stars, Sun, Moon and planets against astropy.
#include <QtTest>

#include <cmath>
#include <limits>

#include "astro/astrolib.h"
#include "engine/vorlixcom.h"
#include "gui/skyframe.h"
#include "skyrefs.h"

using skyref::sep;

namespace {
constexpr double DEG = M_PI / 180;

bool within(const QPoint& a, const QPoint& b, int px) {
  return std::abs(a.x() - b.x()) <= px && std::abs(a.y() - b.y()) <= px;
}

// The catalogue row of a star given by its J2000 place (deg), or -1.
int catalogueRow(double ra, double dec) {
  const Mat3 back = pmatequ(SKY_STAR_EPOCH, 0.0);
  const Vec3 want = polcar(Vec3(1.0, ra * DEG, dec * DEG));
  for (int k = 0; k < SkyStarCount; ++k) {
    const Vec3 v = mxvct(back, polcar(Vec3(1.0, DmsDegF(SkyStars[k][0]) * 15 * DEG,
                                           DmsDegF(SkyStars[k][1]) * DEG)));
    if (dot(v, want) > std::cos(0.001 * DEG)) return k;
  }
  return -1;
}
}  // namespace

class SkyFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void pxSky_data();
  void pxSky();
  void mollweideConverges_data();
  void mollweideConverges();
  void zenithNotSmeared();
  void roundTrip_data();
  void roundTrip();
  void noSky_data();
  void noSky();
  void pxCdSun_data();
  void pxCdSun();
  void closeUpAngles_data();
  void closeUpAngles();
  void catalogue();
  void starsAgainstAstropy();
  void bodiesAgainstAstropy();
};

void SkyFrameTest::pxSky_data() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double dip400 = horizonDip(400e3);
  const QPoint off(863, 504);
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("skaz");
  QTest::addColumn<double>("h0");
  QTest::addColumn<double>("el");
  QTest::addColumn<double>("az");
  QTest::addColumn<QPoint>("px");
  QTest::newRow("zenith") << 0 << 0.0 << 0.0 << 90.0 << 0.0 << QPoint(360, 180);
  QTest::newRow("zenith, any azimuth") << 0 << 0.0 << 0.0 << 90.0 << 217.0 << QPoint(360, 180);
  QTest::newRow("east on the left") << 0 << 0.0 << 0.0 << 0.0 << 90.0 << QPoint(145, 180);
  QTest::newRow("west on the right") << 0 << 0.0 << 0.0 << 0.0 << 270.0 << QPoint(575, 180);
  QTest::newRow("north above the chart") << 0 << 0.0 << 0.0 << 0.0 << 0.0 << QPoint(360, -35);
  QTest::newRow("south below the chart") << 0 << 0.0 << 0.0 << 0.0 << 180.0 << off;
  QTest::newRow("below the horizon") << 0 << 0.0 << 0.0 << -0.1 << 90.0 << off;
  QTest::newRow("dip: below 0 shown") << 0 << 0.0 << dip400 << -10.0 << 90.0 << QPoint(104, 180);
  QTest::newRow("nan elevation") << 0 << 0.0 << 0.0 << nan << 90.0 << off;
  QTest::newRow("nan azimuth") << 1 << 0.0 << 0.0 << 30.0 << nan << off;
  QTest::newRow("huge azimuth") << 0 << 0.0 << 0.0 << 30.0 << 1e300 << off;
  QTest::newRow("horizon at skaz") << 1 << 0.0 << 0.0 << 0.0 << 0.0 << QPoint(360, 361);
  QTest::newRow("zenith at the top") << 1 << 0.0 << 0.0 << 90.0 << 0.0 << QPoint(360, 0);
  QTest::newRow("skaz + 90 right edge") << 1 << 0.0 << 0.0 << 0.0 << 90.0 << QPoint(720, 361);
  QTest::newRow("skaz - 90 left edge") << 1 << 0.0 << 0.0 << 0.0 << 270.0 << QPoint(0, 361);
  QTest::newRow("behind: off") << 1 << 0.0 << 0.0 << 0.0 << 180.0 << off;
  QTest::newRow("skaz 123") << 3 << 123.0 << 0.0 << 0.0 << 123.0 << QPoint(360, 361);
  QTest::newRow("skaz 123, 33 to the left") << 3 << 123.0 << 0.0 << 0.0 << 33.0 << QPoint(0, 361);
  QTest::newRow("dip: horizon at the bottom") << 5 << 0.0 << dip400 << dip400 << 0.0 << QPoint(360, 361);
  QTest::newRow("dip: 90 + h0 at the top") << 5 << 0.0 << dip400 << 90.0 + dip400 << 0.0
                                             << QPoint(360, 0);
  QTest::newRow("dip: above 90 + h0 off") << 5 << 0.0 << dip400 << 91.0 + dip400 << 0.0 << off;
  QTest::newRow("dip: below h0 off") << 5 << 0.0 << dip400 << dip400 - 0.1 << 0.0 << off;
}

void SkyFrameTest::pxSky() {
  QFETCH(int, prj);
  QFETCH(double, skaz);
  QFETCH(double, h0);
  QFETCH(double, el);
  QFETCH(double, az);
  QFETCH(QPoint, px);
  QCOMPARE(PxSky(skyFrame(prj, skaz, h0), el, az), px);
}

void SkyFrameTest::mollweideConverges_data() {
  QTest::addColumn<double>("phi");
  for (double d : {0.0, 10.0, 45.0, 69.9, 70.1, 80.0, 85.0, 89.0, 89.9, 89.999, 90.0})
    QTest::newRow(qPrintable(QString::number(d))) << d * DEG;
  QTest::newRow("exact pi/2") << M_PI / 2;
}

// t + sin t = pi sin(phi) holds, also where the fixed iteration count left
// the zenith 0.057 rad short.
void SkyFrameTest::mollweideConverges() {
  QFETCH(double, phi);
  const double t = mollweideAngle(phi);
  QVERIFY(std::isfinite(t));
  QVERIFY(std::fabs(t + std::sin(t) - M_PI * std::sin(phi)) < 1e-12);
  // Near the pole the residual is flat: the angle itself is within 1e-5 rad
  // (0.005 px across the whole chart).
  if (phi >= 89.999 * DEG) QVERIFY(std::fabs(t - M_PI) < 2e-3);
  if (phi == M_PI / 2) QVERIFY(std::fabs(t - M_PI) < 1e-5);
}

// Near the zenith every azimuth meets at the top centre: no smear across the
// chart as with a fixed count of Newton steps.
void SkyFrameTest::zenithNotSmeared() {
  const MapFrame f = skyFrame(5, 40.0, 0.0);
  for (double az = 0; az < 360; az += 15) {
    QVERIFY2(within(PxSky(f, 90.0, az), QPoint(360, 0), 0), qPrintable(QString::number(az)));
    // 0.2 deg from the zenith lies within a pixel of its exact Mollweide place.
    const double phi = 89.8 * DEG;
    double lo = 0, hi = M_PI;  // bisection: the slow, sure way
    for (int i = 0; i < 200; ++i) {
      const double mid = (lo + hi) / 2;
      (mid + std::sin(mid) < M_PI * std::sin(phi) ? lo : hi) = mid;
    }
    double lam = (az - 40.0) * DEG;
    lam = std::atan2(std::sin(lam), std::cos(lam));
    const double x = 360 + 0.900316 * lam * std::cos(lo / 2) * f.sclx;
    const double y = CHART_H - 1.41421 * std::sin(lo / 2) * f.scly;
    const QPoint p = PxSky(f, 89.8, az);
    QVERIFY2(std::fabs(p.x() - x) <= 0.5 + 1e-9 && std::fabs(p.y() - y) <= 0.5 + 1e-9,
             qPrintable(QString("%1: %2,%3 vs %4,%5").arg(az).arg(p.x()).arg(p.y()).arg(x).arg(y)));
  }
}

void SkyFrameTest::roundTrip_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("skaz");
  QTest::addColumn<double>("h0");
  for (int prj : {0, 5})
    for (double skaz : {0.0, 123.0})
      for (double h0 : {0.0, horizonDip(400e3)})
        QTest::newRow(qPrintable(QString("prj %1 skaz %2 h0 %3").arg(prj).arg(skaz).arg(h0)))
            << prj << skaz << h0;
}

// A click on the pixel of a direction gives back that direction within one
// pixel's angle, and the direction projects to the same pixel.
void SkyFrameTest::roundTrip() {
  QFETCH(int, prj);
  QFETCH(double, skaz);
  QFETCH(double, h0);
  const MapFrame f = skyFrame(prj, skaz, h0);
  int tried = 0;
  for (double el = 5; el <= 80; el += 5)
    for (double az = 0; az < 360; az += 10) {
      const QPoint p = PxSky(f, el, az);
      // Off the chart, or "drawn" beyond its left or top edge (harmless).
      if (p.x() > 720 || p.x() < 0 || p.y() < 0) continue;
      double a, e;
      // A pixel on the rim of the horizon view's ellipse may lie half outside.
      bool rim = false;
      for (const QPoint& d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
        rim = rim || !SkyPx(f, p + d, a, e);
      if (rim && prj != 0) continue;
      ++tried;
      QVERIFY2(SkyPx(f, p, a, e), qPrintable(QString("%1/%2 at %3,%4").arg(el).arg(az).arg(p.x()).arg(p.y())));
      QVERIFY(a >= 0 && a < 360);
      // The angle of one pixel there: the largest step to a neighbour (the
      // horizon view's cells are sheared towards its sides).
      double pixel = 0;
      for (const QPoint& d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        double na, ne;
        if (SkyPx(f, p + d, na, ne)) pixel = std::max(pixel, sep(na, ne, a, e));
      }
      QVERIFY(pixel > 0);
      QVERIFY2(sep(a, e, az, el) < pixel,
               qPrintable(QString("%1/%2 -> %3/%4").arg(el).arg(az).arg(e).arg(a)));
      QVERIFY(within(PxSky(f, e, a), p, 1));
    }
  QVERIFY(tried > 150);
}

void SkyFrameTest::noSky_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("h0");
  QTest::addColumn<QPoint>("p");
  QTest::addColumn<bool>("sky");
  QTest::newRow("horizon: top left corner") << 5 << 0.0 << QPoint(2, 3) << false;
  QTest::newRow("horizon: top right corner") << 5 << 0.0 << QPoint(715, 20) << false;
  QTest::newRow("horizon: inside near the corner") << 5 << 0.0 << QPoint(40, 150) << true;
  QTest::newRow("horizon: black strip") << 5 << 0.0 << QPoint(800, 300) << false;
  QTest::newRow("horizon: panel") << 5 << 0.0 << QPoint(360, 400) << false;
  QTest::newRow("horizon: bottom row") << 5 << 0.0 << QPoint(360, 361) << true;
  QTest::newRow("zenith: centre") << 0 << 0.0 << QPoint(360, 180) << true;
  QTest::newRow("zenith: beyond the horizon") << 0 << 0.0 << QPoint(600, 180) << false;
  QTest::newRow("zenith: dipped horizon") << 0 << horizonDip(400e3) << QPoint(600, 180) << true;
  QTest::newRow("zenith: beyond the dip") << 0 << horizonDip(400e3) << QPoint(700, 180) << false;
  QTest::newRow("zenith: black strip") << 0 << horizonDip(36000e3) << QPoint(750, 180) << false;
}

void SkyFrameTest::noSky() {
  QFETCH(int, prj);
  QFETCH(double, h0);
  QFETCH(QPoint, p);
  QFETCH(bool, sky);
  double az = 1, el = 1;
  QCOMPARE(SkyPx(skyFrame(prj, 0.0, h0), p, az, el), sky);
  if (!sky) QCOMPARE(el, -100.0);
  if (prj == 0 && p == QPoint(360, 180)) {
    QCOMPARE(el, 90.0);
    QCOMPARE(az, 0.0);
  }
}

void SkyFrameTest::pxCdSun_data() {
  QTest::addColumn<double>("A");
  QTest::addColumn<double>("E");
  QTest::addColumn<double>("az");
  QTest::addColumn<double>("el");
  QTest::addColumn<QPoint>("px");
  const QPoint off(0, -10);
  QTest::newRow("0.1 deg above") << 100.0 << 20.0 << 100.0 << 20.1 << QPoint(360, 130);
  QTest::newRow("5.1 deg above") << 100.0 << 20.0 << 100.0 << 25.1 << off;
  QTest::newRow("below the chart") << 100.0 << 20.0 << 100.0 << 19.6 << off;
  QTest::newRow("last row") << 100.0 << 20.0 << 100.0 << 20.0 - 181.4 / 504 << QPoint(360, 361);
  QTest::newRow("6 deg aside, low Sun") << 100.0 << 10.0 << 106.0 << 10.0 << off;
  QTest::newRow("black strip at the right") << 100.0 << 0.0 << 100.8 << 0.0 << off;
  QTest::newRow("left of the chart") << 100.0 << 0.0 << 99.2 << 0.0 << off;
  QTest::newRow("last column") << 100.0 << 0.0 << 100.0 + 361.0 / 504 << 0.0 << QPoint(721, 180);
  QTest::newRow("1.2 deg aside at E 60: on") << 100.0 << 60.0 << 101.2 << 60.0 << QPoint(662, 180);
  QTest::newRow("1.2 deg aside at E 0: off") << 100.0 << 0.0 << 101.2 << 0.0 << off;
  QTest::newRow("across north") << 359.9 << 0.0 << 0.1 << 0.0 << QPoint(461, 180);
  QTest::newRow("negative body azimuth") << -0.1 << 0.0 << 359.8 << 0.0 << QPoint(310, 180);
  QTest::newRow("nan") << 100.0 << 20.0 << std::numeric_limits<double>::quiet_NaN() << 20.0 << off;
}

void SkyFrameTest::pxCdSun() {
  QFETCH(double, A);
  QFETCH(double, E);
  QFETCH(double, az);
  QFETCH(double, el);
  QFETCH(QPoint, px);
  MapFrame f;
  f.sclx = f.scly = CLOSEUP_SCALE;
  QCOMPARE(PxCdSun(f, A, E, az, el), px);
}

void SkyFrameTest::closeUpAngles_data() {
  QTest::addColumn<double>("sunEl");
  QTest::addColumn<double>("sunAz");
  QTest::addColumn<double>("moonEl");
  QTest::addColumn<double>("moonAz");
  QTest::addColumn<double>("bearing");
  QTest::newRow("Sun straight above") << 40.0 << 100.0 << 30.0 << 100.0 << 0.0;
  QTest::newRow("Sun straight below") << -20.0 << 100.0 << 30.0 << 100.0 << 180.0;
  QTest::newRow("Sun to the right on the horizon") << 0.0 << 190.0 << 0.0 << 180.0 << 90.0;
  QTest::newRow("Sun to the left on the horizon") << 0.0 << 170.0 << 0.0 << 180.0 << -90.0;
}

// The lit limb's middle (a = 90 deg) faces the Sun.
void SkyFrameTest::closeUpAngles() {
  QFETCH(double, sunEl);
  QFETCH(double, sunAz);
  QFETCH(double, moonEl);
  QFETCH(double, moonAz);
  QFETCH(double, bearing);
  const double P = sunPositionAngle(sunEl * DEG, sunAz * DEG, moonEl * DEG, moonAz * DEG);
  double d = std::remainder(P + M_PI / 2 - bearing * DEG, 2 * M_PI);
  QVERIFY2(std::fabs(d) < 1e-9, qPrintable(QString::number(P / DEG)));
}

void SkyFrameTest::catalogue() {
  QCOMPARE(SkyStarCount, 903);
  double vmin = 99, vmax = -99, prev = -1;
  for (int k = 0; k < SkyStarCount; ++k) {
    const double ra = DmsDegF(SkyStars[k][0]), dec = DmsDegF(SkyStars[k][1]);
    QVERIFY(ra >= 0 && ra < 24);
    QVERIFY(dec >= -90 && dec <= 90);
    QVERIFY(ra >= prev);  // sorted by R.A.
    prev = ra;
    vmin = std::min(vmin, SkyStars[k][2]);
    vmax = std::max(vmax, SkyStars[k][2]);
  }
  QCOMPARE(vmin, -1.46);
  QCOMPARE(vmax, 4.5);
}

// Each reference star's catalogue row, precessed to the date and turned to
// the horizon, lies where astropy puts the same catalogue star (no
// refraction): within 0.02 deg, a twentieth of a pixel.
void SkyFrameTest::starsAgainstAstropy() {
  const skyref::Refs r = skyref::load(VORLIX_TEST_DATA);
  QVERIFY(r.stars.size() >= 40);
  for (const skyref::Star& s : r.stars) {
    const skyref::Time& t = r.times.at(s.k);
    const int k = catalogueRow(s.ra, s.dec);
    QVERIFY2(k >= 0, qPrintable(QString("HR %1").arg(s.hr)));
    QCOMPARE(SkyStars[k][2], s.v);
    double az, el;
    starAzEl(k, pmatequ(SKY_STAR_EPOCH, julcent(t.mjd)),
             horframe(t.mjd, 0.0, t.lat * DEG, t.lng * DEG, 0.0), az, el);
    QVERIFY2(sep(az / DEG, el / DEG, s.az, s.el) < 0.02,
             qPrintable(QString("HR %1: %2").arg(s.hr).arg(sep(az / DEG, el / DEG, s.az, s.el))));
  }
}

// Sun, Moon (topocentric: its parallax is a degree) and the planets within
// 0.03 deg of astropy: well inside a pixel on either view.
void SkyFrameTest::bodiesAgainstAstropy() {
  const skyref::Refs r = skyref::load(VORLIX_TEST_DATA);
  QCOMPARE(int(r.bodies.size()), 7 * int(r.times.size()));
  for (const skyref::Body& b : r.bodies) {
    const skyref::Time& t = r.times.at(b.k);
    double az[SKY_BODIES], el[SKY_BODIES];
    int day, month, year;
    double hour;
    caldat(t.mjd, day, month, year, hour);
    bodyAzEl(t.mjd, DefTdUt(year), t.lat * DEG, t.lng * DEG, t.height, az, el);
    const double s = sep(az[b.body] / DEG, el[b.body] / DEG, b.az, b.el);
    QVERIFY2(s < 0.03, qPrintable(QString("time %1 body %2: %3 deg").arg(b.k).arg(b.body).arg(s)));
    // The same pixel on the zenith view, where the body is up.
    if (b.el > 0.5)
      QVERIFY(within(PxSky(skyFrame(0, 0, 0), el[b.body] / DEG, az[b.body] / DEG),
                     PxSky(skyFrame(0, 0, 0), b.el, b.az), 1));
  }
}

QTEST_APPLESS_MAIN(SkyFrameTest)
#include "skyframe_test.moc"
