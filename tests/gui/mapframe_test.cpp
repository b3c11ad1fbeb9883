// World map projections as tables: fixed points, the off-chart sentinel for
// values that are no usable number, and the round trips through CoordPx.
#include <QtTest>

#include <cmath>
#include <limits>

#include "gui/mapframe.h"

class MapFrameTest : public QObject {
  Q_OBJECT
private slots:
  void pixRounding_data();
  void pixRounding();
  void pxCoord_data();
  void pxCoord();
  void coordPx_data();
  void coordPx();
  void pixelRoundTrip_data();
  void pixelRoundTrip();
  void placeRoundTrip_data();
  void placeRoundTrip();
  void meridianReduced();
};

void MapFrameTest::pixRounding_data() {
  QTest::addColumn<double>("v");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<int>("px");
  QTest::newRow("half up") << 2.5 << true << 3;
  QTest::newRow("half away below zero") << -2.5 << true << -3;
  QTest::newRow("just below half") << -214.49 << true << -214;
  QTest::newRow("limit") << 1e6 << true << 1000000;
  QTest::newRow("beyond limit") << -1.0000001e6 << false << 0;
  QTest::newRow("huge") << 1e300 << false << 0;
  QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << 0;
  QTest::newRow("inf") << std::numeric_limits<double>::infinity() << false << 0;
}

void MapFrameTest::pixRounding() {
  QFETCH(double, v);
  QFETCH(bool, ok);
  QFETCH(int, px);
  int out = 0;
  QCOMPARE(pixRound(v, out), ok);
  QCOMPARE(out, px);
}

void MapFrameTest::pxCoord_data() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const QPoint off(863, 504);
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("centmer");
  QTest::addColumn<double>("lat");
  QTest::addColumn<double>("lng");
  QTest::addColumn<QPoint>("px");
  QTest::newRow("190E wraps west") << 0 << 0.0 << 0.0 << 190.0 << QPoint(20, 180);
  QTest::newRow("Greenwich") << 0 << 0.0 << 0.0 << 0.0 << QPoint(360, 180);
  QTest::newRow("north-west corner") << 0 << 0.0 << 90.0 << -180.0 << QPoint(0, 0);
  QTest::newRow("south-east corner") << 3 << 0.0 << -90.0 << 180.0 << QPoint(720, 360);
  QTest::newRow("half degree rounds away") << 0 << 0.0 << -0.25 << -0.25 << QPoint(359, 181);
  QTest::newRow("meridian 90: 90E centre") << 0 << 90.0 << 10.0 << 90.0 << QPoint(360, 160);
  QTest::newRow("meridian 90: 90W left edge") << 0 << 90.0 << 0.0 << -90.0 << QPoint(0, 180);
  QTest::newRow("meridian 450 is 90") << 3 << 450.0 << 0.0 << -90.0 << QPoint(0, 180);
  QTest::newRow("meridian -270 is 90") << 3 << -270.0 << 0.0 << 90.0 << QPoint(360, 180);
  QTest::newRow("meridian 270: 0E") << 0 << 270.0 << 0.0 << 0.0 << QPoint(540, 180);
  QTest::newRow("north pole") << 1 << 0.0 << 90.0 << 0.0 << QPoint(360, 180);
  QTest::newRow("north: equator 90E left") << 1 << 0.0 << 0.0 << 90.0 << QPoint(145, 180);
  QTest::newRow("north: equator 90W right") << 1 << 0.0 << 0.0 << -90.0 << QPoint(575, 180);
  QTest::newRow("north: equator 0E above the map") << 1 << 0.0 << 0.0 << 0.0 << QPoint(360, -35);
  QTest::newRow("north: equator 180 below the map") << 1 << 0.0 << 0.0 << 180.0 << QPoint(863, 863);
  QTest::newRow("north: 10N at 180 on the edge") << 1 << 0.0 << 10.0 << 180.0 << QPoint(360, 360);
  QTest::newRow("north: latitude -1 off") << 1 << 0.0 << -1.0 << 0.0 << off;
  QTest::newRow("north: latitude 100 off") << 1 << 0.0 << 100.0 << 0.0 << off;
  QTest::newRow("north: meridian 90") << 1 << 90.0 << 0.0 << 180.0 << QPoint(145, 180);
  QTest::newRow("south pole") << 2 << 0.0 << -90.0 << 0.0 << QPoint(360, 180);
  QTest::newRow("south: equator 90E right") << 2 << 0.0 << 0.0 << 90.0 << QPoint(575, 180);
  QTest::newRow("south: northern latitude off") << 2 << 0.0 << 1.0 << 0.0 << off;
  QTest::newRow("nan latitude") << 0 << 0.0 << nan << 10.0 << off;
  QTest::newRow("nan longitude") << 0 << 30.0 << 10.0 << nan << off;
  QTest::newRow("huge latitude") << 0 << 0.0 << 1e300 << 10.0 << off;
  QTest::newRow("huge longitude") << 3 << 0.0 << 10.0 << -1e300 << off;
  QTest::newRow("north: nan latitude") << 1 << 0.0 << nan << 10.0 << off;
  QTest::newRow("north: nan longitude") << 1 << 0.0 << 45.0 << nan << off;
  QTest::newRow("south: huge longitude") << 2 << 0.0 << -45.0 << 1e300 << off;
}

void MapFrameTest::pxCoord() {
  QFETCH(int, prj);
  QFETCH(double, centmer);
  QFETCH(double, lat);
  QFETCH(double, lng);
  QFETCH(QPoint, px);
  QCOMPARE(PxCoord(worldFrame(prj, centmer), lat, lng), px);
}

void MapFrameTest::coordPx_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("centmer");
  QTest::addColumn<QPoint>("px");
  QTest::addColumn<double>("lat");
  QTest::addColumn<double>("lng");
  QTest::newRow("centre") << 0 << 0.0 << QPoint(360, 180) << 0.0 << 0.0;
  QTest::newRow("meridian 90 left edge") << 0 << 90.0 << QPoint(0, 180) << 0.0 << -90.0;
  QTest::newRow("meridian 270 wraps") << 3 << 270.0 << QPoint(200, 100) << 40.0 << 190.0 - 360.0;
  QTest::newRow("north pole pixel") << 1 << 0.0 << QPoint(360, 180) << 90.0 << 0.0;
  QTest::newRow("north: equator 90E") << 1 << 0.0 << QPoint(146, 180) << 0.144 << 90.0;
  QTest::newRow("north: corner outside") << 1 << 0.0 << QPoint(0, 0) << -100.0 << 63.43;
  QTest::newRow("south pole pixel") << 2 << 0.0 << QPoint(360, 180) << -90.0 << 0.0;
  QTest::newRow("south: equator 90E") << 2 << 0.0 << QPoint(574, 180) << -0.144 << 90.0;
}

void MapFrameTest::coordPx() {
  QFETCH(int, prj);
  QFETCH(double, centmer);
  QFETCH(QPoint, px);
  QFETCH(double, lat);
  QFETCH(double, lng);
  double la = 0, lo = 0;
  CoordPx(worldFrame(prj, centmer), px, la, lo);
  QVERIFY2(std::fabs(la - lat) < 0.02, qPrintable(QString::number(la)));
  if (lat != -100.0 || prj == 1) QVERIFY2(std::fabs(lo - lng) < 0.1, qPrintable(QString::number(lo)));
}

// Every pixel of the map comes back to itself through CoordPx and PxCoord.
void MapFrameTest::pixelRoundTrip_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("centmer");
  for (int prj : {0, 1, 2})
    for (double cm : {0.0, 90.0, 270.0})
      QTest::newRow(qPrintable(QString("kind %1 meridian %2").arg(prj).arg(cm))) << prj << cm;
}

void MapFrameTest::pixelRoundTrip() {
  QFETCH(int, prj);
  QFETCH(double, centmer);
  MapFrame f = worldFrame(prj, centmer);
  int checked = 0;
  for (int y = 0; y <= 360; y += 3) {
    for (int x = 0; x <= 720; x += 3) {
      double lat, lng;
      CoordPx(f, QPoint(x, y), lat, lng);
      if (lat == -100.0) continue;
      if (x == 720) continue;  // the right edge is the left edge again
      QCOMPARE(PxCoord(f, lat, lng), QPoint(x, y));
      ++checked;
    }
  }
  QVERIFY(checked > 10000);
}

// A place comes back through PxCoord and CoordPx within half a pixel's angle.
void MapFrameTest::placeRoundTrip_data() { pixelRoundTrip_data(); }

void MapFrameTest::placeRoundTrip() {
  QFETCH(int, prj);
  QFETCH(double, centmer);
  MapFrame f = worldFrame(prj, centmer);
  const double sg = prj == 2 ? -1.0 : 1.0;
  for (double a = 11.3; a < 89.0; a += 7.7) {
    for (double lng = -179.1; lng < 180.0; lng += 13.3) {
      double lat = prj == 0 ? a * 2 - 90 : sg * a;
      QPoint p = PxCoord(f, lat, lng);
      if (p.x() > f.pltw) continue;
      double la, lo;
      CoordPx(f, p, la, lo);
      if (prj == 0) {  // half a pixel is a quarter degree each way
        double dl = std::fabs(std::remainder(lng - lo, 360.0));
        QVERIFY(std::fabs(lat - la) <= 0.25 + 1e-9 && dl <= 0.25 + 1e-9);
        continue;
      }
      double c = std::sin(lat * M_PI / 180) * std::sin(la * M_PI / 180) +
                 std::cos(lat * M_PI / 180) * std::cos(la * M_PI / 180) *
                     std::cos((lng - lo) * M_PI / 180);
      double dist = std::acos(std::min(1.0, c)) * 180 / M_PI;
      // Degrees per pixel at this place: the stereographic scale grows as
      // 1 + r^2/4 away from the pole.
      double r = 2 * std::cos(a * M_PI / 180) / (1 + std::sin(a * M_PI / 180));
      double pxdeg = 180 / M_PI / (f.sclx * (1 + r * r / 4));
      QVERIFY2(dist <= 0.71 * pxdeg,
               qPrintable(QString("%1 %2 -> %3 %4").arg(lat).arg(lng).arg(la).arg(lo)));
    }
  }
}

void MapFrameTest::meridianReduced() {
  QCOMPARE(reducedMeridian(400.0), 40.0);
  QCOMPARE(reducedMeridian(-90.0), 270.0);
  QCOMPARE(reducedMeridian(720.0), 0.0);
  QCOMPARE(reducedMeridian(std::numeric_limits<double>::quiet_NaN()), 0.0);
  QCOMPARE(reducedMeridian(-1e-20), 0.0);
}

QTEST_APPLESS_MAIN(MapFrameTest)
#include "mapframe_test.moc"
