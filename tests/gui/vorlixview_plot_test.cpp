// The plot step read back from the plot pixmap: markers where skyfield puts
// the sub-satellite points, the sub-solar point where astropy puts it, the
// visibility circle's radius, the panel, tracks, the redraw decision and map
// clicks.
#include <QtTest>

#include <cmath>

#include "astro/astrolib.h"
#include "engine/localinf.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "gui/plottext.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"
#include "plotfixture.h"
#include "support/scriptedprompter.h"
#include "support/shots.h"
#include "support/windowfixture.h"

namespace {
constexpr double DEG = M_PI / 180;
constexpr int GAP = 4;  // the panel's least room before the next column

// Pixels of a colour in a rectangle of an image.
int count(const QImage& img, const QRect& r, const QColor& c) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
  return n;
}

// Pixels in a rectangle of an image that are not of colour c.
int countOther(const QImage& img, const QRect& r, const QColor& c) {
  return r.width() * r.height() - count(img, r, c);
}

// Whether some pixel within 1 px of p has colour c.
bool near(const QImage& img, const QPoint& p, const QColor& c) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (img.valid(p.x() + dx, p.y() + dy) && img.pixelColor(p.x() + dx, p.y() + dy) == c) return true;
  return false;
}
}  // namespace

class PlotStepTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void markersAgainstSkyfield();
  void visibilityCircle();
  void noSatellite();
  void belowGround();
  void noPosition_data();
  void noPosition();
  void relativeWithoutObserver();
  void satelliteViewWithoutPosition_data();
  void satelliteViewWithoutPosition();
  void tracksUntilRefresh();
  void redrawDecision_data();
  void redrawDecision();
  void nonFiniteObserver();
  void mapClicks_data();
  void mapClicks();
  void southPoleText();
  void physicalMapMarkers_data();
  void physicalMapMarkers();
  void staleMap_data();
  void staleMap();
  void nameBoxes_data();
  void nameBoxes();
  void physicalOutline();
  void distantHeight();
  void passDetailsInUtf8();
  void clockOfANegativeStep();

 private:
  std::unique_ptr<WindowFixture> fx;
  std::unique_ptr<VorlixApp> win;
  VorlixView* view = nullptr;
  plotfix::Refs refs;

  double primeWithoutPosition();
};

void PlotStepTest::init() {
  fx = std::make_unique<WindowFixture>();
  fx->writeStandard();
  win = fx->start();
  view = win->findChild<VorlixView*>();
  QVERIFY(view);
  refs = plotfix::loadRefs();
  QVERIFY(refs.sats.size() >= 2 && !refs.obs.empty() && refs.rows.size() > 50);
  plotfix::setUp(indata, refs, 2);
  indata->shwnm = 0;
}

void PlotStepTest::cleanup() {
  win.reset();
  fx.reset();
}

// For each reference time of the ISS and JPSS-1 the marker lies at the
// projection of skyfield's sub-satellite point (+-1 px) in its slot colour,
// and the sub-solar pattern is centred on astropy's sub-solar point.
void PlotStepTest::markersAgainstSkyfield() {
  int checked = 0;
  for (int prj : {0, 1, 2}) {
    indata->mapprj = prj;
    view->vRefresh();
    const MapFrame f = view->frame();
    for (const plotfix::Row& r : refs.rows) {
      if (r.sat > 1 || r.obs != 0) continue;
      view->SatPlot(r.mjd, 1);
      const QImage img = view->pmplot.toImage();
      const QPoint want = PxCoord(f, r.lat, r.lng);
      const QPoint got(view->mkx[r.sat], view->mky[r.sat]);
      if (want.x() > indata->pltw) {
        QVERIFY(got.x() > indata->pltw);
        continue;
      }
      QVERIFY2((got - want).manhattanLength() <= 2,
               qPrintable(QString("kind %1 mjd %2: (%3,%4) vs (%5,%6)").arg(prj).arg(r.mjd)
                              .arg(got.x()).arg(got.y()).arg(want.x()).arg(want.y())));
      QVERIFY(near(img, got, markerColour(r.sat, indata->mgrey)));
      const QPoint sun = PxCoord(f, r.sslat, r.sslng);
      const QPoint drawn = view->PxCoord(satps->sslat, satps->sslng);
      if (prj == 0 && drawn.x() >= 2 && drawn.x() <= 718) {
        QVERIFY((drawn - sun).manhattanLength() <= 2);
        QCOMPARE(img.pixelColor(drawn + QPoint(2, 0)), QColor(Qt::yellow));
        QCOMPARE(img.pixelColor(drawn + QPoint(-1, -1)), QColor(Qt::yellow));
      }
      ++checked;
    }
  }
  QVERIFY(checked > 100);
}

// The visibility circle: every point at the horizon distance of the
// satellite's height from its sub-point, drawn in its colour.
void PlotStepTest::visibilityCircle() {
  const double t = refs.rows[0].mjd;
  view->vRefresh();
  view->SatPlot(t, 1);
  const QImage img = view->pmplot.toImage();
  QCOMPARE(satps->nfp, NFPPTS);
  for (int i = 0; i < 2; ++i) {
    const double R = 6378.137;
    const double want = std::acos(R / (R + satps->hgt[i]));
    const double la = satps->lat[i] * DEG, lo = satps->lng[i] * DEG;
    int coloured = 0;
    for (int k = 0; k < NFPPTS; ++k) {
      const double pl = satps->fplat[i][k], pg = satps->fplng[i][k];
      const double c = std::sin(la) * std::sin(pl) + std::cos(la) * std::cos(pl) * std::cos(pg - lo);
      QVERIFY(std::fabs(std::acos(c) - want) < 0.2 * DEG);
      coloured += img.pixelColor(view->PxCoord(pl / DEG, pg / DEG)) == markerColour(i, indata->mgrey);
    }
    QVERIFY(coloured >= NFPPTS * 9 / 10);
  }
}

// No satellite: the red notice in the name box, no sub-solar pattern, and
// none of the last removed satellite's numbers: columns 150 to 430 and the
// event value under the observer's Sun stay empty.
void PlotStepTest::noSatellite() {
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  indata->satnr = 0;
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  shot(view->pmplot, "panel-no-satellite.png");
  const QImage img = view->pmplot.toImage();
  QVERIFY(count(img, QRect(590, PANEL_TOP, 200, 30), QColor(Qt::red)) > 20);
  QCOMPARE(count(img, QRect(0, 0, CHART_W, CHART_H), QColor(Qt::yellow)), 0);
  const QColor panel(0, 50, 200);
  const QRect columns(150, PANEL_TOP, 440, PANEL_H - 1), eventValue(590, 410, 270, 91);
  QCOMPARE(count(img, columns, panel), columns.width() * columns.height());
  QCOMPARE(count(img, eventValue, panel), eventValue.width() * eventValue.height());
  QVERIFY(count(img, QRect(590, 390, 270, 20), QColor(Qt::white)) > 20);  // ObsSun stays
  // The observer's Sun needs no satellite: it follows the time and place.
  for (const plotfix::Row& r : refs.rows) {
    if (r.obs != 0 || r.sat != 0) continue;
    satps->sunelo = 0;
    view->SatPlot(r.mjd, 1);
    QVERIFY2(std::fabs(satps->sunelo - r.sunel) < 0.01,
             qPrintable(QString("%1: %2 vs %3").arg(r.mjd).arg(satps->sunelo).arg(r.sunel)));
  }
}

// A prime satellite below the ground writes its panel in black.
void PlotStepTest::belowGround() {
  const QRect cols(150, PANEL_TOP, 420, 60);  // columns 150 to 430, three rows
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  QVERIFY(count(view->pmplot.toImage(), cols, QColor(Qt::white)) > 50);
  // A Kepler orbit inside the Earth.
  indata->sgpflg[0] = 0;
  indata->a[0] = 6000;
  indata->ecc[0] = 0;
  indata->sgpsat = SGPSAT_NONE;
  view->SatPlot(refs.rows[0].mjd, 1);
  QVERIFY(satps->hgt[0] < 0);
  const QImage img = view->pmplot.toImage();
  QCOMPARE(count(img, cols, QColor(Qt::white)), 0);
  QVERIFY(count(img, cols, QColor(Qt::black)) > 50);
}

// Slot 0 holds a satellite with a position, slot 1 (the prime one, its name
// shown) the ISS under strong drag; the answer is a time years on, when SGP4
// has it decayed.
double PlotStepTest::primeWithoutPosition() {
  plotfix::loadSlot(indata, 0, refs.sats[1]);
  plotfix::loadSlot(indata, 1, refs.sats[0]);
  indata->bstar[1] = 1e-3;  // strong drag: down within a year
  indata->prs = 1;
  indata->shwnm = 1;
  indata->sgpsat = SGPSAT_NONE;
  return refs.rows[0].mjd + 3 * 365.25;
}

// A satellite the engine cannot place (the ISS under strong drag years on,
// decayed in SGP4) gets no marker, footprint or track point at the engine's
// stand-in place, and the panel says in red that it has no position. With
// the Solar Eclipse Check on, column 300 shows no Sun-Moon angle or eclipse
// worked out from that stand-in place: it stays empty.
void PlotStepTest::noPosition_data() {
  QTest::addColumn<bool>("eclipseCheck");
  QTest::newRow("plain") << false;
  QTest::newRow("solar eclipse check") << true;
}

void PlotStepTest::noPosition() {
  QFETCH(bool, eclipseCheck);
  const double t = primeWithoutPosition();
  indata->eclflg = eclipseCheck;
  view->vRefresh();
  view->SatPlot(t, 1);
  QCOMPARE(view->posst[1], int(SATPOS_NOSTATE));
  QCOMPARE(view->posst[0], int(SATPOS_OK));
  QVERIFY(view->mkx[1] > indata->pltw);
  const QColor c1 = markerColour(1, indata->mgrey);
  const QRect map(0, 0, CHART_W, CHART_H);
  const QImage img = view->pmplot.toImage();
  if (eclipseCheck) shot(view->pmplot, "panel-noposition-eclipse.png");
  QCOMPARE(count(img, map, c1), 0);
  QCOMPARE(count(view->pmlay.toImage(), map, c1), 0);
  QVERIFY(count(img, map, markerColour(0, indata->mgrey)) > 20);
  QVERIFY(count(img, QRect(150, PANEL_TOP, 150, 25), QColor(Qt::red)) > 20);
  const QRect columns(300, PANEL_TOP, 290 - GAP, PANEL_H - 1);  // columns 300 and 430
  QCOMPARE(countOther(img, columns, QColor(0, 50, 200)), 0);
}

// Relative mode with an observing satellite that has no position: the prime
// satellite keeps what needs no observer (its sub-point and height in column
// 150, its marker, its ground track in Write Orbit Track);
// column 300, where the observing satellite's place would stand, says in
// red that it has none, and nothing seen from it (azimuth, elevation,
// range, range rate) is shown.
void PlotStepTest::relativeWithoutObserver() {
  const double t = primeWithoutPosition();
  indata->prs = 0;  // slot 1, without a position, observes it
  indata->rlm = 1;
  view->vRefresh();
  view->SatPlot(t, 1);
  shot(view->pmplot, "panel-relative-noobserver.png");
  QCOMPARE(view->posst[0], int(SATPOS_NOOBSERVER));
  const QImage img = view->pmplot.toImage();
  const QPoint m(view->mkx[0], view->mky[0]);
  QCOMPARE(m, view->PxCoord(satps->lat[0], satps->lng[0]));
  QVERIFY(near(img, m, markerColour(0, indata->mgrey)));
  QVERIFY(view->mkx[1] > indata->pltw);
  const QColor panel(0, 50, 200);
  const QRect own(150, PANEL_TOP, 150 - GAP, PANEL_H - 1), observer(300, PANEL_TOP, 130 - GAP, 50);
  QVERIFY(count(img, own, QColor(Qt::white)) > 50);
  QCOMPARE(count(img, own, QColor(Qt::red)), 0);
  QVERIFY(count(img, observer, QColor(Qt::red)) > 20);
  QCOMPARE(countOther(img, QRect(430, PANEL_TOP, 160 - GAP, PANEL_H - 1), panel), 0);
  QCOMPARE(countOther(img, QRect(590, 410, 270, 91), panel), 0);  // no range rate

  // The ground track of the prime satellite needs no observer.
  int day, month, year;
  double hour;
  caldat(t, day, month, year, hour);
  indata->day = day;
  indata->month = month;
  indata->year = year;
  indata->hour = indata->minute = indata->second = 0;
  indata->dur = 0.05;
  const QByteArray save = QFile::encodeName(fx->path("track.txt"));
  qstrncpy(indata->savnm, save.constData(), FILENAME_SIZE);
  OrbitTrackInfo info;
  QCOMPARE(saveOrbitTrack(indata, &info), 0);
  QCOMPARE(info.steps, 72L);
  QFile track(fx->path("track.txt"));
  QVERIFY(track.open(QIODevice::ReadOnly));
  const QByteArray lines = track.readAll();
  QVERIFY2(info.noPosition == 0 && !lines.contains("No Position"), lines.left(300).constData());
  QCOMPARE(indata->rlm, 1);
}

// The sky seen from a satellite without a position is none: the chart stays
// empty (no stars, bodies or markers of the engine's stand-in place), the
// panel shows no Sun for an observer there, and a click on the chart gets
// the satellite's name with "*** No Position ***", the observer untouched.
// The observer's own sky keeps its stars and its Sun.
void PlotStepTest::satelliteViewWithoutPosition_data() {
  QTest::addColumn<bool>("satsky");
  QTest::newRow("seen from the satellite") << true;
  QTest::newRow("the observer's sky") << false;
}

void PlotStepTest::satelliteViewWithoutPosition() {
  QFETCH(bool, satsky);
  const double t = primeWithoutPosition();
  indata->skymap = 1;
  indata->skyprj = 0;
  indata->satsky = satsky;
  indata->mgrey = 0;
  indata->curmjd = t;
  view->vRefresh();
  view->SatPlot(t, 0);
  QCOMPARE(view->posst[1], int(SATPOS_NOSTATE));
  const QImage img = view->pmplot.toImage();
  shot(view->pmplot, satsky ? "satview-noposition.png" : "sky-noposition.png");
  const QRect chart(0, 0, CHART_W - 1, CHART_H);
  const QRect obsSun(590, PANEL_TOP + 25, 260, 22);
  if (satsky) {
    QCOMPARE(countOther(img, chart, QColor(Qt::white)), 0);
    QCOMPARE(count(img, obsSun, QColor(Qt::white)), 0);
  } else {
    QVERIFY(countOther(img, chart, QColor(Qt::white)) > 500);
    QVERIFY(count(img, obsSun, QColor(Qt::white)) > 20);
  }
  QVERIFY(count(img, QRect(150, PANEL_TOP, 150, 25), QColor(Qt::red)) > 20);

  const double lat = indata->lat;
  QString text;
  double seenLat = 0;
  view->localDetails = [&] {
    seenLat = indata->lat;
    char buf[LOCALINF_SIZE];
    LocalInf(indata, buf);
    text = QString::fromLatin1(buf);
  };
  view->getMapPos(360, 100);
  QCOMPARE(seenLat, lat);
  const QString said = QString("\n\n%1\n\t*** No Position ***").arg(indata->satname[1]);
  if (satsky)
    QCOMPARE(text, said);
  else
    QVERIFY2(text.startsWith("\n\nAzimuth (deg.):") && text.endsWith(said), qPrintable(text));
}

// On a plain map the tracks stay on the layer until Refresh.
void PlotStepTest::tracksUntilRefresh() {
  view->vRefresh();
  double t = refs.rows[0].mjd;
  QVector<QPoint> first;
  for (int k = 0; k < 3; ++k, t += 2.0 / 1440) {
    view->SatPlot(t, 0);
    if (k == 0) first = {QPoint(view->mkx[0], view->mky[0]), QPoint(view->mkx[1], view->mky[1])};
  }
  QImage lay = view->pmlay.toImage();
  for (int i = 0; i < 2; ++i) QCOMPARE(lay.pixelColor(first[i]), markerColour(i, indata->mgrey));
  view->vRefreshP();
  lay = view->pmlay.toImage();
  for (int i = 0; i < 2; ++i) QVERIFY(lay.pixelColor(first[i]) != markerColour(i, indata->mgrey));
  // Night shading keeps no tracks.
  indata->mpnight = 1;
  view->vRefresh();
  view->SatPlot(t, 0);
  lay = view->pmlay.toImage();
  QVERIFY(lay.pixelColor(view->mkx[1], view->mky[1]) != markerColour(1, indata->mgrey));
}

// Whether a step d days after the background redraws it, told by bkgmjd.
void PlotStepTest::redrawDecision_data() {
  QTest::addColumn<int>("sky");     // 0 world map, 1 zenith sky, 2 horizon sky
  QTest::addColumn<int>("night");
  QTest::addColumn<int>("satsky");
  QTest::addColumn<double>("d");
  QTest::addColumn<bool>("redrawn");
  QTest::newRow("world, plain, a day later") << 0 << 0 << 0 << 1.0 << false;
  QTest::newRow("world, night, 0.005") << 0 << 1 << 0 << 0.005 << false;
  QTest::newRow("world, night, 0.011") << 0 << 1 << 0 << 0.011 << true;
  QTest::newRow("zenith, 0.005") << 1 << 0 << 0 << 0.005 << true;
  QTest::newRow("zenith, 0.003") << 1 << 0 << 0 << 0.003 << false;
  QTest::newRow("zenith, night, 0.003") << 1 << 1 << 0 << 0.003 << true;
  QTest::newRow("horizon, 0.003") << 2 << 0 << 0 << 0.003 << true;
  QTest::newRow("horizon, 0.0015") << 2 << 0 << 0 << 0.0015 << false;
  QTest::newRow("horizon, night, 0.0015") << 2 << 1 << 0 << 0.0015 << true;
  QTest::newRow("from the satellite, every step") << 1 << 0 << 1 << 0.0001 << true;
}

void PlotStepTest::redrawDecision() {
  QFETCH(int, sky);
  QFETCH(int, night);
  QFETCH(int, satsky);
  QFETCH(double, d);
  QFETCH(bool, redrawn);
  indata->skymap = sky > 0;
  indata->skyprj = sky == 2 ? 1 : 0;
  indata->mpnight = night;
  indata->satsky = satsky;
  const double t0 = refs.rows[0].mjd;
  indata->curmjd = t0;
  view->vRefresh();
  QCOMPARE(indata->bkgmjd, t0);
  view->SatPlot(t0 + d, 0);
  QCOMPARE(indata->bkgmjd == t0 + d, redrawn);
  QCOMPARE(indata->curmjd, t0 + d);
}

// A place that is no number (typed "nan") draws no observer and no undefined
// pixel; the step still completes.
void PlotStepTest::nonFiniteObserver() {
  indata->lat = std::nan("");
  indata->centmer = std::nan("");
  indata->mpnight = 1;
  for (int prj : {0, 1, 3}) {
    indata->mapprj = prj;
    view->vRefresh();
    view->SatPlot(refs.rows[0].mjd, 1);
  }
  indata->lat = 1e300;
  view->vRefresh();
  view->SatPlot(std::nan(""), 1);  // no time: nothing drawn, nothing changed
  QCOMPARE(indata->curmjd, refs.rows[0].mjd);
}

// A click hands the place under the cursor to the local details, then puts
// the observer back; off the map the latitude tells the engine so.
void PlotStepTest::mapClicks_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<double>("centmer");
  QTest::addColumn<QPoint>("click");
  QTest::addColumn<double>("lat");
  QTest::addColumn<double>("lng");
  QTest::newRow("inside") << 0 << 0.0 << QPoint(380, 100) << 40.0 << 10.0;
  QTest::newRow("inside, meridian 90") << 0 << 90.0 << QPoint(380, 100) << 40.0 << 100.0;
  QTest::newRow("right of the map, meridian 90") << 0 << 90.0 << QPoint(800, 100) << -100.0 << 0.0;
  QTest::newRow("panel") << 3 << 0.0 << QPoint(100, 420) << -100.0 << 0.0;
  QTest::newRow("north pole") << 1 << 0.0 << QPoint(360, 180) << 90.0 << 0.0;
  QTest::newRow("north: beyond the equator") << 1 << 0.0 << QPoint(10, 10) << -100.0 << 0.0;
  QTest::newRow("south: inside") << 2 << 0.0 << QPoint(360, 300) << -31.56 << 180.0;
}

void PlotStepTest::mapClicks() {
  QFETCH(int, prj);
  QFETCH(double, centmer);
  QFETCH(QPoint, click);
  QFETCH(double, lat);
  QFETCH(double, lng);
  indata->mapprj = prj;
  indata->centmer = centmer;
  view->vRefresh();
  const double keep[7] = {indata->lat, indata->lng, indata->height, indata->az1,
                          indata->el1, indata->az2, indata->el2};
  double seen[3] = {0, 0, -1};
  bool busyInside = false;
  view->localDetails = [&] {
    seen[0] = indata->lat;
    seen[1] = indata->lng;
    seen[2] = indata->height;
    busyInside = view->busy;
  };
  view->getMapPos(click.x(), click.y());
  QVERIFY(busyInside);
  QVERIFY(!view->busy);
  QVERIFY2(std::fabs(seen[0] - lat) < 0.05, qPrintable(QString::number(seen[0])));
  if (lat > -90) QVERIFY2(std::fabs(std::remainder(seen[1] - lng, 360.0)) < 0.05,
                          qPrintable(QString::number(seen[1])));
  QCOMPARE(seen[2], 0.0);
  const double now[7] = {indata->lat, indata->lng, indata->height, indata->az1,
                         indata->el1, indata->az2, indata->el2};
  for (int k = 0; k < 7; ++k) QCOMPARE(now[k], keep[k]);
}

// The pole of the southern map in the local details: its longitude is 0,
// not "-0".
void PlotStepTest::southPoleText() {
  indata->mapprj = 2;
  view->vRefresh();
  QString text;
  view->localDetails = [&] {
    char buf[LOCALINF_SIZE];
    LocalInf(indata, buf);
    text = QString::fromLatin1(buf);
  };
  view->getMapPos(360, 180);
  QVERIFY2(text.startsWith("Lat: -90,  Long: 0,"), qPrintable(text));
}

// Over the physical map image the prime slot's marker, track and footprint
// take the black background's colour whatever the background setting; the
// other maps keep the setting's colours.
void PlotStepTest::physicalMapMarkers_data() {
  QTest::addColumn<int>("prj");
  QTest::addColumn<int>("mgrey");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("physical, white") << 3 << 0 << QColor(Qt::white);
  QTest::newRow("physical, grey") << 3 << 1 << QColor(Qt::white);
  QTest::newRow("physical, black") << 3 << 2 << QColor(Qt::white);
  QTest::newRow("simple, white") << 0 << 0 << QColor(Qt::black);
  QTest::newRow("simple, grey") << 0 << 1 << QColor(Qt::black);
}

void PlotStepTest::physicalMapMarkers() {
  QFETCH(int, prj);
  QFETCH(int, mgrey);
  QFETCH(QColor, colour);
  QVERIFY(indata->phwm);
  indata->mapprj = prj;
  indata->mgrey = mgrey;
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  shot(view->pmplot, qPrintable(QString("markers-%1-%2.png").arg(prj).arg(mgrey)));
  const QPoint m(view->mkx[0], view->mky[0]);
  QVERIFY(m.x() <= 720);
  QCOMPARE(view->pmplot.toImage().pixelColor(m), colour);
  QCOMPARE(view->pmlay.toImage().pixelColor(m), colour);
  const QImage img = view->pmplot.toImage();
  int circle = 0;
  for (int k = 0; k < NFPPTS; ++k)
    circle += img.pixelColor(view->PxCoord(satps->fplat[0][k] * 180 / M_PI,
                                           satps->fplng[0][k] * 180 / M_PI)) == colour;
  QVERIFY(circle >= NFPPTS / 2);
}

// A change of what the map shows is drawn without a Refresh: removed
// satellites leave no marker, a new observer is drawn at the new place when
// the map comes back from the photograph or is stepped.
void PlotStepTest::staleMap_data() {
  QTest::addColumn<QString>("change");
  QTest::newRow("remove one") << "remove 2";
  QTest::newRow("remove all") << "remove 12";
  QTest::newRow("observer under the photograph") << "observer, photograph";
  QTest::newRow("observer under the pass list, then a step") << "observer, step";
}

void PlotStepTest::staleMap() {
  QFETCH(QString, change);
  const QRect map(0, 0, CHART_W, CHART_H);
  const QColor cyan(0, 255, 255), c0 = markerColour(0, 0), c1 = markerColour(1, 0);
  const double t = refs.rows[0].mjd;
  view->vRefresh();
  view->SatPlot(t, 1);
  QVERIFY(count(view->pmplot.toImage(), map, c0) > 5);
  QVERIFY(count(view->pmplot.toImage(), map, c1) > 5);
  const QPoint oldPlace = view->PxCoord(indata->lat, indata->lng);
  QVERIFY(near(view->pmplot.toImage(), oldPlace, cyan));
  ScriptedPrompter sp;
  if (change.startsWith("remove")) {
    QMap<QString, QString> marks;
    for (QChar c : change.mid(7)) marks.insert("checkBox" + QString(c), "1");
    sp.fillAndAccept(marks);
    view->vRemoveSat();
    const QImage img = view->pmplot.toImage();
    QCOMPARE(count(img, map, c1), 0);
    QCOMPARE(count(img, map, c0) > 5, indata->satnr == 1);
    return;
  }
  if (change.endsWith("photograph")) view->vPicSwitch(true);
  else indata->dspst = -1;  // the pass list is shown
  sp.fillAndAccept({{"decButton", "1"}, {"latEdit", "-33.9"}, {"lngEdit", "151.2"},
                    {"heightEdit", "40"}, {"locEdit", "Sydney"}});
  QCOMPARE(view->vInputLocation(), 0);
  if (change.endsWith("photograph")) view->vPicSwitch(false);
  else view->vForward();
  const QImage img = view->pmplot.toImage();
  shot(view->pmplot, qPrintable("stale-" + change.section(',', 1).trimmed() + ".png"));
  const QPoint newPlace = view->PxCoord(-33.9, 151.2);
  QVERIFY((newPlace - oldPlace).manhattanLength() > 20);
  QVERIFY(near(img, newPlace, cyan));
  QVERIFY(!near(img, oldPlace, cyan));
}

// The prime satellite's name stands on a box of the contrasting colour:
// black behind yellow and green, white behind red and blue.
void PlotStepTest::nameBoxes_data() {
  QTest::addColumn<int>("slot");
  QTest::addColumn<QColor>("box");
  QTest::newRow("red") << 1 << QColor(Qt::white);
  QTest::newRow("blue") << 2 << QColor(Qt::white);
  QTest::newRow("green") << 3 << QColor(Qt::black);
  QTest::newRow("yellow") << 4 << QColor(Qt::black);
  QTest::newRow("yellow, the ninth") << 8 << QColor(Qt::black);
  QTest::newRow("magenta") << 9 << QColor(Qt::white);
}

void PlotStepTest::nameBoxes() {
  QFETCH(int, slot);
  QFETCH(QColor, box);
  plotfix::setUp(indata, refs, 10);
  indata->shwnm = 0;
  indata->prs = slot;
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  shot(view->pmplot, qPrintable(QString("namebox-%1.png").arg(slot)));
  const QImage img = view->pmplot.toImage();
  const QRect name(590, PANEL_TOP + 2, 200, 22);
  const QColor other = box == QColor(Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
  QVERIFY(count(img, name, box) > 300);
  QCOMPARE(count(img, name, other), 0);
  QVERIFY(count(img, name, markerColour(slot, 0)) > 20);
}

// On the photograph of the Earth a blue marker and name are outlined in
// white, so they stand out from the dark ocean.
void PlotStepTest::physicalOutline() {
  QVERIFY(indata->phwm);
  plotfix::loadSlot(indata, 2, refs.sats[1]);
  plotfix::loadSlot(indata, 1, refs.sats[0]);
  indata->satnr = 3;
  indata->mapprj = 3;
  indata->shwnm = 1;
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  shot(view->pmplot, "outline-physical.png");
  const QImage img = view->pmplot.toImage();
  const QPoint m(view->mkx[2], view->mky[2]);
  QVERIFY(m.x() >= 3 && m.x() <= 717 && m.y() >= 20 && m.y() <= 357);
  const QColor blue = markerColour(2, 2), white(Qt::white);
  QVERIFY(near(img, m, blue));
  // The outline ring around the marker, and white round the name above it.
  QVERIFY(count(img, QRect(m.x() - 4, m.y() - 4, 9, 9), white) >= 8);
  // The name is smoothed: its halo is counted as the light pixels round it.
  int light = 0, bluish = 0;
  for (int y = m.y() - 16; y < m.y() - 2; ++y)
    for (int x = m.x() - 3; x < m.x() + 87; ++x) {
      const QColor c = img.pixelColor(x, y);
      light += std::min({c.red(), c.green(), c.blue()}) >= 200;
      bluish += c.blue() >= 200 && c.red() <= 60 && c.green() <= 60;
    }
  QVERIFY2(light >= 20 && bluish >= 5, qPrintable(QString("%1 %2").arg(light).arg(bluish)));
  // The simple map keeps its plain markers.
  indata->mapprj = 0;
  view->vRefresh();
  view->SatPlot(refs.rows[0].mjd, 1);
  const QImage plain = view->pmplot.toImage();
  QCOMPARE(count(plain, QRect(view->mkx[2] - 4, view->mky[2] - 4, 9, 9), QColor(Qt::black)), 0);
}

// A height of hundreds of millions of km stays inside its column in every
// font: nothing of it, not even a smoothed edge, reaches the gap before
// column 300.
void PlotStepTest::distantHeight() {
  indata->sgpflg[0] = 0;
  indata->a[0] = 428067398.4 + 6378.14;
  indata->ecc[0] = 0;
  indata->sgpsat = SGPSAT_NONE;
  for (int big : {0, 1}) {
    indata->mfsz = big ? 12 : 10;
    indata->bf = big;
    view->vRefresh();
    view->SatPlot(refs.rows[0].mjd, 1);
    QVERIFY(satps->hgt[0] > 4e8);
    shot(view->pmplot, qPrintable(QString("distant-%1.png").arg(big)));
    const QImage img = view->pmplot.toImage();
    QVERIFY(count(img, QRect(150, PANEL_TOP, 140, PANEL_H - 1), QColor(Qt::white)) > 50);
    for (int col : {300, 430, 590}) {
      const QRect gap(col - 4, PANEL_TOP, 4, PANEL_H - 1);
      QVERIFY2(countOther(img, gap, QColor(0, 50, 200)) == 0,
               qPrintable(QString("font %1, column %2").arg(big).arg(col)));
    }
  }
}

// The pass details saved for a satellite whose name has a letter beyond
// ASCII: the file holds the name in UTF-8, as every text file of the program.
void PlotStepTest::passDetailsInUtf8() {
  ScriptedPrompter sp;
  std::snprintf(indata->satname[0], SATNAME_SIZE, "%s", "ISS M\xfcNCHEN");
  indata->prs = 0;
  indata->npass = 1;
  indata->ipass = 0;
  indata->pastm[0] = refs.rows[0].mjd;
  const QByteArray save = QFile::encodeName(fx->path("details.txt"));
  qstrncpy(indata->savnm, save.constData(), FILENAME_SIZE);
  indata->svnew = 1;
  QCOMPARE(vsSavePassDt(1), 0);
  QFile f(fx->path("details.txt"));
  QVERIFY(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  QVERIFY2(text.startsWith("\n\n\nISS M\xc3\xbcNCHEN\n"), text.left(40).constData());
}

// The panel's clock shows whole seconds for steps of a second or more and
// tenths below, by the step's size: a step back shows the clock of the same
// step forward (a negative step once always showed tenths).
void PlotStepTest::clockOfANegativeStep() {
  const double t = refs.rows[0].mjd + 0.46 / 86400;
  const QRect clock(0, PANEL_TOP, 150 - GAP, 25);
  const auto clockAt = [&](double stepsec) {
    indata->tstep = stepsec / 86400;
    view->vRefresh();
    view->SatPlot(t, 1);
    return view->pmplot.toImage().copy(clock);
  };
  for (double stepsec : {60.0, 1.0, 0.5}) {
    const QImage forth = clockAt(stepsec);
    QVERIFY2(clockAt(-stepsec) == forth, qPrintable(QString::number(stepsec)));
  }
  QVERIFY(clockAt(1.0) != clockAt(0.5));  // the two clocks differ to the eye
}

QTEST_MAIN(PlotStepTest)
#include "vorlixview_plot_test.moc"
