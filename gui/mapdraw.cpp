// Painters of the world map background.
#include "gui/mapdraw.h"

#include <QPainter>
#include <QPainterPath>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/vorlixcom.h"

namespace {
const QColor GRID_COLOUR(130, 160, 180);

bool polar(const MapFrame& f) { return f.mapprj == MAP_NORTH || f.mapprj == MAP_SOUTH; }

// Unrounded and unclipped pixel of latitude a (counted towards the pole of
// the map's hemisphere) on meridian lng of a polar map.
QPointF polarPoint(const MapFrame& f, double a, double lng) {
  double d = (lng - f.centmer) * kDeg;
  if (f.mapprj == MAP_SOUTH) d = -d;
  const double r = 2.0 * std::cos(a * kDeg) / (1.0 + std::sin(a * kDeg));
  return QPointF(f.cx - r * std::sin(d) * f.sclx, f.cy - r * std::cos(d) * f.scly);
}

double clampUnit(double c) { return std::max(-1.0, std::min(1.0, c)); }

// Unit vector of the Sun, equator of date.
Vec3 sunDirection(double t) {
  double T = julcent(t);
  Sun200 sun;
  Vec3 s = eclequ(T, sun.position(T));
  return s / abs(s);
}

// Count n of half degrees of the night boundary on meridian lng (deg): with
// the Sun north, latitudes 0.5 j for j = -180 .. n lie in the night, with the
// Sun south 0.5 j for j = 180 down to -n. The boundary is the parallel where
// the Sun's hour angle H meets the horizon, from spherical trigonometry.
int nightCount(const Vec3& s, double t, double lng) {
  Vec3 g = GeoPos(t, 0, 0, lng * kDeg, 0);
  g = g / abs(g);
  Vec3 h(s.x, s.y, 0.0);
  double hl = abs(h);
  if (hl > 0) h = h / hl;
  // Clamped: a rounding just past -1 on the antisolar meridian must not
  // turn night into noon.
  double H = std::acos(clampUnit(dot(h, g)));
  double a = std::acos(clampUnit(std::fabs(s.z)));
  double b = std::asin(clampUnit(std::sin(a) * std::sin(H)));
  double q = std::cos((H - b) / 2);
  if (std::fabs(q) < 1e-10) q = 1.74533e-07;
  double fdeg = 2 * std::atan(std::cos((H + b) / 2) * std::tan((kPi / 2 + a) / 2) / q) / kDeg;
  double n = std::trunc(2 * (90 - fdeg));
  return static_cast<int>(std::max(-181.0, std::min(181.0, n)));
}

}  // namespace

void NightShade(QPainter& p, const MapFrame& f, const WinpData& d) {
  const QColor night = d.mgrey <= 0 ? QColor(223, 223, 223)
                       : d.mgrey == 1 ? QColor(150, 150, 150) : QColor(65, 65, 65);
  p.setPen(night);
  if (!std::isfinite(d.curmjd)) return;
  Vec3 s = sunDirection(d.curmjd);
  const bool north = s.z > 0;
  const int sg = f.mapprj == MAP_SOUTH ? -1 : 1;
  // Polar maps: the dark band of each meridian, as radii (in latitudes of the
  // map's hemisphere) between an inner and an outer loop around the pole;
  // filled between the loops, so no sampling pattern shows.
  QPolygonF inner, outer;
  for (int k = -360; k <= 360; ++k) {
    double lng = 0.5 * k;
    int n = nightCount(s, d.curmjd, lng);
    // Latitudes 0.5 j for j in [jlo, jhi] are dark.
    int jlo = north ? -180 : std::max(-180, -n);
    int jhi = north ? std::min(180, n) : 180;
    if (!polar(f)) {
      if (jlo > jhi) continue;
      // One vertical span per meridian gives the same pixels as the points.
      QPoint top = PxCoord(f, 0.5 * jhi, lng), bottom = PxCoord(f, 0.5 * jlo, lng);
      if (top.x() <= f.pltw) p.drawLine(top.x(), top.y(), bottom.x(), bottom.y());
      continue;
    }
    // The band within the hemisphere, as latitudes counted towards the pole.
    double lo = std::max(0.0, sg > 0 ? 0.5 * jlo : -0.5 * jhi);
    double hi = std::min(90.0, sg > 0 ? 0.5 * jhi : -0.5 * jlo);
    if (lo > hi) lo = hi = 0.0;
    outer << polarPoint(f, lo, lng);
    inner << polarPoint(f, hi, lng);
  }
  if (!polar(f)) return;
  QPainterPath band;
  band.setFillRule(Qt::OddEvenFill);
  band.addPolygon(outer);
  band.closeSubpath();
  band.addPolygon(inner);
  band.closeSubpath();
  p.fillPath(band, night);
}

namespace {

void drawGrid(QPainter& p, const MapFrame& f, int mgrid) {
  p.setPen(GRID_COLOUR);
  if (mgrid <= 0) {
    p.drawLine(CHART_W - 1, 0, CHART_W - 1, CHART_H);
    return;
  }
  if (!polar(f)) {
    auto lines = [&](int mstep, int mfrom, int pstep, int pfrom) {
      for (int lng = mfrom; lng <= 180; lng += mstep) {
        int x = PxCoord(f, 90, lng).x();
        p.drawLine(x, 0, x, CHART_H);
      }
      for (int lat = pfrom; lat <= -pfrom; lat += pstep) {
        int y = PxCoord(f, lat, -180).y();
        p.drawLine(0, y, CHART_W, y);
      }
    };
    if (mgrid >= 2) {
      lines(10, -170, 10, -80);
      p.setPen(QColor(30, 240, 120));
    }
    lines(30, -150, 30, -60);
    return;
  }
  const int sg = f.mapprj == MAP_NORTH ? 1 : -1;
  auto onMap = [&](const QPoint& q) { return q.x() <= f.pltw && q.y() <= f.plth; };
  QPoint pole = PxCoord(f, sg * 90, 0);
  for (int lng = -180; lng <= 150; lng += 30) {
    QPoint last = PxCoord(f, sg * 10, lng);
    p.drawLine(pole, last);
    for (int lat = 9; lat >= 0; --lat) {
      QPoint q = PxCoord(f, sg * lat, lng);
      if (onMap(q)) p.drawLine(last, q);
      last = q;
    }
  }
  for (int lat : {60, 30}) {
    QPoint last = PxCoord(f, sg * lat, -180);
    for (int lng = -175; lng <= 180; lng += 5) {
      QPoint q = PxCoord(f, sg * lat, lng);
      p.drawLine(last, q);
      last = q;
    }
  }
}
}  // namespace

double nightLimit(double t, double lng, bool& sunNorth) {
  Vec3 s = sunDirection(t);
  sunNorth = s.z > 0;
  int n = nightCount(s, t, lng);
  return sunNorth ? 0.5 * n : -0.5 * n;
}

void MapLand(QPainter& p, const MapFrame& f, const int (*table)[2], int n) {
  p.setPen(QColor(200, 100, 50));
  bool have = false;
  QPoint last;
  for (int k = 0; k < n; ++k) {
    if (table[k][0] == MAPLAND_PENUP) {
      have = false;
      continue;
    }
    QPoint q = PxCoord(f, table[k][0] / 10.0, table[k][1] / 10.0);
    if (have && std::abs(q.x() - last.x()) < 200) p.drawLine(last, q);
    last = q;
    have = true;
  }
  if (!polar(f)) return;
  p.setPen(GRID_COLOUR);
  auto onMap = [&](const QPoint& q) { return q.x() <= f.pltw && q.y() <= f.plth; };
  QPoint prev = PxCoord(f, 0, 0);
  for (int k = 1; k < 360; ++k) {
    QPoint q = PxCoord(f, 0, k);
    if (onMap(prev) && onMap(q)) p.drawLine(prev, q);
    prev = q;
  }
}

void PlotWorld(QPainter& p, const MapFrame& f, const WinpData& d) {
  if (d.mpnight) NightShade(p, f, d);
  drawGrid(p, f, d.mgrid);
  if (!(d.mapprj == MAP_PHYSICAL && d.phwm && !d.mpnight)) MapLand(p, f);
  // The observer.
  QPoint o = PxCoord(f, d.lat, d.lng);
  if (o.x() <= f.pltw) {
    p.setPen(QColor(0, 255, 255));
    p.setBrush(QColor(0, 255, 255));
    p.drawEllipse(o.x() - 2, o.y() - 2, 3, 3);
    p.setBrush(Qt::NoBrush);
  }
}
