// Map background painters: the coastline jump rule on a fixture table, and
// the night shading against astropy's Sun (sub-solar points committed in
// tests/data/satpos-skyfield.txt), read back from the pixels.
#include <QtTest>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>

#include "engine/vorlixcom.h"
#include "gui/mapdraw.h"
#include "support/satposrefs.h"

namespace {
const QColor COAST(200, 100, 50);
const QColor NIGHT(223, 223, 223);

struct SunRef {
  double mjd, sslat, sslng;
};

// The distinct times of the reference rows with astropy's sub-solar point.
QVector<SunRef> sunRefs() {
  QVector<SunRef> refs;
  for (const satpos_test::RefRow& w : satpos_test::LoadRefs().rows) {
    const SunRef r{w.mjd, w.sslat, w.sslng};
    if (refs.isEmpty() || std::fabs(refs.last().mjd - r.mjd) > 0.05) refs.append(r);
  }
  return refs;
}

QImage blank() {
  QImage img(CHART_W, CHART_H, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}
}  // namespace

class MapDrawTest : public QObject {
  Q_OBJECT
private slots:
  void coastJumpRule();
  void nightAgainstAstropy();
  void nightOnPolarMaps();
  void observerAndGrid();
};

// A segment 250 px wide (across the date line, say) is not drawn, a 150-px
// one is, and a pen-up pair separates polylines.
void MapDrawTest::coastJumpRule() {
  static const int table[][2] = {{MAPLAND_PENUP, 0}, {0, 0},    {0, 1250},
                                 {MAPLAND_PENUP, 0}, {100, 0}, {100, 750}};
  QImage img = blank();
  {
    QPainter p(&img);
    MapLand(p, worldFrame(MAP_SIMPLE, 0), table, 6);
  }
  QCOMPARE(img.pixelColor(484, 180) == COAST, false);  // (0, 62): 250-px segment
  QCOMPARE(img.pixelColor(434, 160), COAST);           // (10, 37): 150-px segment
  QCOMPARE(img.pixelColor(510, 170) == COAST, false);  // no line across the pen-up
  QCOMPARE(img.pixelColor(360, 180) == COAST, false);  // nor from a lone first point
}

// Per column the first lit row equals the terminator latitude of astropy's Sun
// (declination and hour angle from the sub-solar point) within 1 px; the
// anti-solar point is dark and the sub-solar point lit.
void MapDrawTest::nightAgainstAstropy() {
  const QVector<SunRef> refs = sunRefs();
  QVERIFY(refs.size() >= 3);
  static WinpData d;
  std::memset(&d, 0, sizeof d);
  d.mpnight = 1;
  int columns = 0;
  for (const SunRef& r : refs.mid(0, 4)) {
    d.curmjd = r.mjd;
    const MapFrame f = worldFrame(MAP_SIMPLE, 0);
    QImage img = blank();
    {
      QPainter p(&img);
      NightShade(p, f, d);
    }
    const double dec = r.sslat * M_PI / 180;
    for (int x = 0; x <= 720; x += 7) {
      const double H = (-180 + x / 2.0 - r.sslng) * M_PI / 180;
      const double latT = std::atan(-std::cos(H) / std::tan(dec)) * 180 / M_PI;
      const double yT = 180 - 2 * latT;  // boundary row
      // With the Sun south the night is north of the boundary: rows 0..yT.
      int dark = 0;
      while (dark <= 360 && img.pixelColor(x, dark) == NIGHT) ++dark;
      QVERIFY2(std::fabs((dark - 1) - yT) <= 1.5 || (yT < 0 && dark == 0),
               qPrintable(QString("mjd %1 x %2: dark to %3, boundary %4").arg(r.mjd).arg(x)
                              .arg(dark - 1).arg(yT)));
      for (int y = dark; y <= 360; ++y) QVERIFY(img.pixelColor(x, y) != NIGHT);
      ++columns;
    }
    const QPoint sub = PxCoord(f, r.sslat, r.sslng);
    const QPoint anti = PxCoord(f, -r.sslat, r.sslng + 180);
    QVERIFY(img.pixelColor(sub) != NIGHT);
    QCOMPARE(img.pixelColor(anti), NIGHT);
  }
  QVERIFY(columns > 300);
}

// The polar maps: the pole in polar night is dark, the sub-solar side of the
// equator lit; the background colour follows mgrey.
void MapDrawTest::nightOnPolarMaps() {
  const SunRef r = sunRefs().value(0);
  QVERIFY(r.mjd > 0 && r.sslat < 0);  // January: north pole in polar night
  static WinpData d;
  std::memset(&d, 0, sizeof d);
  d.mpnight = 1;
  d.curmjd = r.mjd;
  d.mgrey = 2;
  for (int prj : {MAP_NORTH, MAP_SOUTH}) {
    const MapFrame f = worldFrame(prj, 0);
    QImage img(CHART_W, CHART_H, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
      QPainter p(&img);
      NightShade(p, f, d);
    }
    const QColor night(65, 65, 65);
    const QPoint pole(360, 180);
    QCOMPARE(img.pixelColor(pole) == night, prj == MAP_NORTH);
    const QPoint lit = PxCoord(f, prj == MAP_NORTH ? 20 : -20, r.sslng);
    const QPoint dark = PxCoord(f, prj == MAP_NORTH ? 20 : -40, r.sslng + 180);
    QVERIFY(img.pixelColor(lit) != night);
    QCOMPARE(img.pixelColor(dark), night);
  }
}

void MapDrawTest::observerAndGrid() {
  static WinpData d;
  std::memset(&d, 0, sizeof d);
  d.lat = 48.1374;
  d.lng = 11.5755;
  d.mgrid = 1;
  QImage img = blank();
  const MapFrame f = worldFrame(MAP_SIMPLE, 0);
  {
    QPainter p(&img);
    PlotWorld(p, f, d);
  }
  QCOMPARE(img.pixelColor(PxCoord(f, d.lat, d.lng)), QColor(0, 255, 255));
  QCOMPARE(img.pixelColor(PxCoord(f, -45, -150).x(), 5), QColor(130, 160, 180));  // meridian 150 W
  QCOMPARE(img.pixelColor(3, PxCoord(f, 30, 0).y()), QColor(130, 160, 180));       // parallel 30 N
  // The physical map without night shading shows no coastlines.
  d.mapprj = MAP_PHYSICAL;
  d.phwm = true;
  QImage plain = blank();
  {
    QPainter p(&plain);
    PlotWorld(p, worldFrame(MAP_PHYSICAL, 0), d);
  }
  int coast = 0, coastPlain = 0;
  for (int y = 0; y < CHART_H; ++y)
    for (int x = 0; x < CHART_W; ++x) {
      coast += img.pixelColor(x, y) == COAST;
      coastPlain += plain.pixelColor(x, y) == COAST;
    }
  QVERIFY(coast > 1000);
  QCOMPARE(coastPlain, 0);
}

QTEST_MAIN(MapDrawTest)
#include "mapdraw_test.moc"
