// The sky chart read back from the view's pixmaps: stars, Sun, Moon and
// planets where astropy puts them, legend entries only for the bodies drawn,
// satellite markers where skyfield puts them (also seen from the ISS), the
// chart without a satellite to see it from, and clicks on the sky.
#include <QtTest>

#include <cmath>

#include "astro/astrolib.h"
#include "engine/vorlixcom.h"
#include "gui/plottext.h"
#include "gui/skydraw.h"
#include "gui/skyframe.h"
#include "skywindow.h"
#include "support/shots.h"

using skytest::count;
using skytest::near;
using skyref::sep;

namespace {
// Well inside the drawn chart (not at an edge where half a mark is cut).
bool inside(const QPoint& p) { return p.x() >= 2 && p.x() <= 718 && p.y() >= 2 && p.y() <= 359; }
}  // namespace

class SkyChartTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void starsAndBodies_data();
  void starsAndBodies();
  void horizonLineAndEdge();
  void satelliteMarkers();
  void skyFromSatellite();
  void noSatelliteToSeeFrom();
  void clicks_data();
  void clicks();
  void nonFiniteObserver();
  void brightestOfADouble();

 private:
  // The chart for reference time k (observer and time), view prj at skaz.
  void chartAt(int k, int prj, double skaz);
  skytest::SkyWindow w;
  VorlixView* view = nullptr;
  const plotfix::Refs& sats = w.sats;
  const skyref::Refs& sky = w.sky;
};

void SkyChartTest::init() {
  QVERIFY(w.start());
  view = w.view;
  QVERIFY(!sky.fromSat.empty());
  indata->visflg = 0;
  indata->skymap = 1;
  indata->satsky = false;
  indata->yrepoch = 0;
}

void SkyChartTest::cleanup() { w.stop(); }

void SkyChartTest::chartAt(int k, int prj, double skaz) {
  indata->skyprj = prj;
  indata->skaz = skaz;
  w.observe(sky.times.at(k));
}

void SkyChartTest::starsAndBodies_data() {
  QTest::addColumn<int>("k");
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("skaz");
  QTest::addColumn<int>("mgrey");
  const char* when[4] = {"Munich night", "Munich noon", "Munich, gibbous Moon", "Sydney night"};
  for (int k = 0; k < 4; ++k) {
    QTest::newRow(qPrintable(QString("%1, zenith").arg(when[k]))) << k << 0 << 0.0 << 0;
    QTest::newRow(qPrintable(QString("%1, south").arg(when[k]))) << k << 3 << 180.0 << 0;
    QTest::newRow(qPrintable(QString("%1, north, black").arg(when[k]))) << k << 1 << 0.0 << 2;
  }
  QTest::newRow("Munich noon, 123 deg, grey") << 1 << 5 << 123.0 << 1;
}

// Each bright reference star (V <= 2) and each body above the horizon is
// drawn within a pixel of the projection of astropy's place; the zenith
// view's legend lists exactly the bodies drawn.
void SkyChartTest::starsAndBodies() {
  QFETCH(int, k);
  QFETCH(int, prj);
  QFETCH(double, skaz);
  QFETCH(int, mgrey);
  indata->mgrey = mgrey;
  chartAt(k, prj, skaz);
  const QImage img = view->pmlay.toImage();
  const QString name = QString("sky-%1-%2-%3.png").arg(k).arg(prj).arg(mgrey);
  shot(view->pmplot, qPrintable(name));
  const MapFrame f = view->frame();
  const QColor ink = mgrey == 2 ? Qt::white : Qt::black;
  int stars = 0;
  for (const skyref::Star& s : sky.stars) {
    if (s.k != k || s.v > 2.0 || s.el < 0.5) continue;
    const QPoint q = PxSky(f, s.el, s.az);
    if (!inside(q)) continue;
    // Down to V 1 a dot of 2 x 2 pixels or more, then single points.
    QVERIFY2(near(img, q, ink) >= (s.v <= 1.0 ? 2 : 1), qPrintable(QString("HR %1 at %2,%3").arg(s.hr).arg(q.x()).arg(q.y())));
    ++stars;
  }
  QVERIFY(stars >= 1);
  for (const skyref::Body& b : sky.bodies) {
    if (b.k != k) continue;
    const QPoint q = PxSky(f, b.el, b.az);
    const bool drawn = b.el > 0.1 && inside(q);
    const QColor c = skyBodyColour(b.body, mgrey);
    if (drawn) {
      // The Sun's centre is red; the others are discs in their colour.
      const QColor centre = b.body == SKY_SUN ? QColor(Qt::red) : c;
      QVERIFY2(near(img, q, centre) >= 2, qPrintable(QString("body %1 at %2,%3").arg(b.body).arg(q.x()).arg(q.y())));
    }
    if (prj != 0 || std::fabs(b.el) < 0.5) continue;
    // Legend box of the body.
    const QRect box = b.body == SKY_SUN ? QRect(10, 10, 6, 6)
                      : b.body == SKY_MOON ? QRect(10, 25, 6, 6)
                                           : QRect(11, 40 + 15 * (b.body - SKY_MERCURY), 4, 4);
    const QColor boxColour = b.body == SKY_SUN ? QColor(Qt::yellow) : c;
    QVERIFY2((count(img, box, boxColour) > 0) == drawn, qPrintable(QString("legend %1").arg(b.body)));
  }
}

// The zenith view's horizon circle in its colour; the line closing the
// chart; no horizon line on the horizon view.
void SkyChartTest::horizonLineAndEdge() {
  const QColor horizon(200, 100, 50), edge(130, 160, 180);
  chartAt(0, 0, 0);
  QImage img = view->pmlay.toImage();
  const MapFrame f = view->frame();
  for (double az : {60.0, 75.0, 105.0, 120.0, 240.0, 255.0, 285.0, 300.0})
    QVERIFY2(near(img, PxSky(f, 0, az), horizon) >= 1, qPrintable(QString::number(az)));
  QVERIFY(count(img, QRect(CHART_W - 1, 0, 1, PANEL_TOP), edge) > 330);
  chartAt(0, 3, 180);
  img = view->pmlay.toImage();
  QCOMPARE(count(img, QRect(0, 0, CHART_W - 1, PANEL_TOP), horizon), 0);  // Mercury is down too
  QVERIFY(count(img, QRect(CHART_W - 1, 0, 1, PANEL_TOP), edge) > 330);
}

// The ISS and JPSS-1 markers (4 x 4 outlines in their colours) where
// skyfield's azimuth and elevation project, on both views.
void SkyChartTest::satelliteMarkers() {
  int checked = 0;
  for (int prj : {0, 3}) {
    indata->skyprj = prj;
    indata->skaz = 180;
    for (const plotfix::Row& r : sats.rows) {
      if (r.sat > 1 || r.obs != 0) continue;
      view->SatPlot(r.mjd, 1);
      const QPoint got(view->mkx[r.sat], view->mky[r.sat]);
      const QPoint ref = PxSky(view->frame(), r.el, r.az);
      if (!inside(ref)) {
        if (ref.x() > CHART_W) QVERIFY(got.x() > CHART_W);
        continue;
      }
      QVERIFY2((got - ref).manhattanLength() <= 1,
               qPrintable(QString("%1: %2,%3 vs %4,%5").arg(r.mjd).arg(got.x()).arg(got.y()).arg(ref.x()).arg(ref.y())));
      const QImage img = view->pmplot.toImage();
      QVERIFY(near(img, got + QPoint(-2, -2), markerColour(r.sat, indata->mgrey)) >= 1);
      QVERIFY(near(img, got + QPoint(1, 1), markerColour(r.sat, indata->mgrey)) >= 1);
      ++checked;
    }
  }
  QVERIFY(checked >= 10);
}

// Seen from the ISS, JPSS-1 stands where skyfield sees it from the ISS's
// place, down to the dipped horizon; the observer comes back after the step.
void SkyChartTest::skyFromSatellite() {
  indata->satsky = true;
  const double keep[3] = {indata->lat, indata->lng, indata->height};
  int checked = 0;
  for (int prj : {0, 3}) {
    for (const skyref::FromSat& r : sky.fromSat) {
      indata->skyprj = prj;
      indata->skaz = r.az;  // JPSS-1 in the middle of the horizon view
      view->SatPlot(r.mjd, 1);
      QCOMPARE(indata->lat, keep[0]);
      QCOMPARE(indata->lng, keep[1]);
      QCOMPARE(indata->height, keep[2]);
      QVERIFY(std::fabs(1000 * satps->hgt[0] - r.height) < 100);
      const MapFrame f = skyFrame(prj, r.az, horizonDip(r.height));
      const QPoint ref = PxSky(f, r.el, r.az);
      const QPoint got(view->mkx[1], view->mky[1]);
      if (!inside(ref)) {
        QVERIFY(got.x() > CHART_W || !inside(got));
        continue;
      }
      QVERIFY2((got - ref).manhattanLength() <= 2,
               qPrintable(QString("%1 prj %2: %3,%4 vs %5,%6").arg(r.mjd).arg(prj).arg(got.x())
                              .arg(got.y()).arg(ref.x()).arg(ref.y())));
      QVERIFY(near(view->pmplot.toImage(), got + QPoint(-2, -2), markerColour(1, 0)) >= 1);
      if (prj == 3 && r.el < 0) shot(view->pmplot, "sky-from-iss.png");
      ++checked;
    }
  }
  QVERIFY(checked >= 8);
}

// With no satellite selected the sky "seen from the satellite" is the
// observer's own sky, drawn as without the switch.
void SkyChartTest::noSatelliteToSeeFrom() {
  indata->satnr = 0;
  for (int prj : {0, 3}) {
    indata->skyprj = prj;
    indata->skaz = 180;
    indata->satsky = false;
    view->vRefresh();
    view->SatPlot(sky.times[0].mjd, 1);
    const QImage plain = view->pmplot.toImage();
    indata->satsky = true;
    view->vRefresh();
    view->SatPlot(sky.times[0].mjd, 1);
    QCOMPARE(view->pmplot.toImage(), plain);
    QCOMPARE(indata->height, sats.obs[0].height);
  }
}

void SkyChartTest::clicks_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<QPoint>("click");  // (-1, -1): on Sirius
  QTest::addColumn<bool>("sky");
  QTest::newRow("zenith: Sirius") << 0 << QPoint(-1, -1) << true;
  QTest::newRow("south: Sirius") << 3 << QPoint(-1, -1) << true;
  QTest::newRow("south: corner") << 3 << QPoint(3, 3) << false;
  QTest::newRow("south: black strip") << 3 << QPoint(790, 200) << false;
  QTest::newRow("south: panel") << 3 << QPoint(200, 420) << false;
  QTest::newRow("zenith: below the horizon") << 0 << QPoint(640, 300) << false;
}

// A click on Sirius gives its direction and its J2000 place (yrepoch 2000)
// within a pixel's angle; a click where no sky is drawn gives el1 = -100.
void SkyChartTest::clicks() {
  QFETCH(int, prj);
  QFETCH(QPoint, click);
  QFETCH(bool, sky);
  indata->yrepoch = 2000;
  chartAt(0, prj, 180);
  const skyref::Star* sirius = nullptr;
  for (const skyref::Star& s : this->sky.stars)
    if (s.k == 0 && s.hr == 2491) sirius = &s;
  QVERIFY(sirius && sirius->el > 10);
  if (click.x() < 0) click = PxSky(view->frame(), sirius->el, sirius->az);
  double seen[4] = {0, 0, 0, 0};
  view->localDetails = [&] {
    seen[0] = indata->az1;
    seen[1] = indata->el1;
    seen[2] = indata->az2;
    seen[3] = indata->el2;
  };
  const double keepEl1 = indata->el1;
  view->getMapPos(click.x(), click.y());
  QCOMPARE(indata->el1, keepEl1);
  if (!sky) {
    QCOMPARE(seen[1], -100.0);
    return;
  }
  QVERIFY(sep(seen[0], seen[1], sirius->az, sirius->el) < 0.6);
  const double ra = DmsDegF(seen[2]) * 15, dec = DmsDegF(seen[3]);
  QVERIFY2(sep(ra, dec, sirius->ra, sirius->dec) < 0.6,
           qPrintable(QString("%1 %2 vs %3 %4").arg(ra).arg(dec).arg(sirius->ra).arg(sirius->dec)));
}

// A place or time that is no number (typed "nan") draws no star, body or
// marker at an undefined pixel, and a click then finds no sky direction
// worth a number: the steps complete.
void SkyChartTest::nonFiniteObserver() {
  view->localDetails = [] {};
  for (int prj : {0, 3}) {
    chartAt(0, prj, 180);
    indata->lat = std::nan("");
    view->vRefresh();
    view->SatPlot(sky.times[0].mjd, 1);
    const QImage img = view->pmlay.toImage();
    QCOMPARE(count(img, QRect(150, 20, 400, 150), Qt::black), 0);  // the letters lie outside
    indata->lat = 48;
    indata->height = 1e300;
    indata->satsky = true;
    view->vRefresh();
    view->SatPlot(sky.times[0].mjd + 1e-3, 1);
    indata->satsky = false;
    indata->height = 0;
    indata->skaz = std::nan("");
    view->vRefresh();
    view->getMapPos(300, 200);
  }
  indata->sunmplt = 1;
  indata->occflg = 2;
  satps->smrad = std::nan("");
  view->vRefresh();
  view->SatPlot(1e300, 1);
}

// Close doubles are listed at one place: the brighter star's grey shows
// there, not its fainter companion's. Orion's belt, Leo and the Plough over
// Munich before dawn.
void SkyChartTest::brightestOfADouble() {
  struct Pair { const char* name; double ra, dec; };  // the brighter star's row
  const Pair pairs[] = {{"Alnitak", 5.40404600, -1.5636500},
                        {"Algieba", 10.19530800, 19.5057200},
                        {"Mizar", 13.23514100, 54.5559100}};
  indata->mgrey = 0;
  indata->skyprj = 0;
  indata->lat = 48.14;
  indata->lng = 11.58;
  indata->height = 500;
  indata->curmjd = mjd(11, 11, 2017, 5 + 43 / 60.0);
  view->vRefresh();
  shot(view->pmplot, "sky-doubles.png");
  const QImage img = view->pmlay.toImage();
  const MapFrame f = view->frame();
  const Mat3 prec = pmatequ(SKY_STAR_EPOCH, julcent(indata->curmjd));
  const HorFrame obs = horframe(indata->curmjd, 0.0, indata->lat * M_PI / 180, indata->lng * M_PI / 180, 0.0);
  for (const Pair& pr : pairs) {
    int k = 0;
    while (k < SkyStarCount && !(SkyStars[k][0] == pr.ra && SkyStars[k][1] == pr.dec)) ++k;
    QVERIFY2(k < SkyStarCount, pr.name);
    QVERIFY(SkyStars[k][2] > 2.0 && SkyStars[k][2] <= 3.0);  // drawn in rgb(50, 50, 50)
    double az, el;
    starAzEl(k, prec, obs, az, el);
    const QPoint q = PxSky(f, el * 180 / M_PI, az * 180 / M_PI);
    QVERIFY2(inside(q), pr.name);
    QVERIFY2(img.pixelColor(q) == QColor(50, 50, 50), pr.name);
  }
}

QTEST_MAIN(SkyChartTest)
#include "skychart_test.moc"
