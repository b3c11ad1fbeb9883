// Chart frames, the rounding helper and the world map projections.
#include "gui/mapframe.h"

#include <cmath>

#include "astro/constants.h"

namespace {
// One correction each way into -180..180 (as the map has always wrapped).
double wrapOnce(double d) {
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}
}  // namespace

bool pixRound(double v, int& out) {
  if (!std::isfinite(v) || std::fabs(v) > PIX_LIMIT) return false;
  out = static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
  return true;
}

QPoint MapFrame::at(double dx, double dy) const {
  int ix, iy;
  if (!pixRound(dx, ix) || !pixRound(dy, iy)) return offChart();
  return QPoint(cx + ix, cy + iy);
}

double reducedMeridian(double centmer) {
  if (!std::isfinite(centmer)) return 0.0;
  double c = std::fmod(centmer, 360.0);
  if (c < 0) c += 360.0;
  if (c >= 360.0) c = 0.0;  // -1e-20 + 360 rounds to 360
  return c;
}

MapFrame worldFrame(int mapprj, double centmer, int pltw, int plth) {
  MapFrame f;
  f.cx = 360;
  f.cy = 180;
  f.pltw = pltw;
  f.plth = plth;
  f.mapprj = mapprj;
  f.centmer = reducedMeridian(centmer);
  if (mapprj == MAP_NORTH || mapprj == MAP_SOUTH) {
    f.sclx = f.scly = f.cy / 1.678;  // the parallel of 10 deg touches the edges
  } else {
    f.sclx = f.cx / 180.0;
    f.scly = f.cy / 90.0;
  }
  return f;
}

void stereoInverse(double u, double v, double& bearing, double& alt) {
  if (u == 0.0 && v == 0.0) {
    bearing = 0.0;
    alt = 90.0;
    return;
  }
  bearing = std::atan2(-u, v) / kDeg;
  const double k = (u * u + v * v) / 4.0;
  // sin(alt) = (1 - k) / (1 + k) inverts r = 2 cos(alt) / (1 + sin(alt)).
  alt = std::asin((1.0 - k) / (1.0 + k)) / kDeg;
}

QPoint PxCoord(const MapFrame& f, double lat, double lng) {
  if (f.mapprj == MAP_NORTH || f.mapprj == MAP_SOUTH) {
    double d = f.centmer == 0.0 ? lng : wrapOnce(lng - f.centmer);
    // sin and cos of a huge angle look valid but mean nothing.
    if (!(std::fabs(d) <= PIX_LIMIT)) return f.offChart();
    if (f.mapprj == MAP_SOUTH) {
      lat = -lat;
      d = -d;
    }
    // Also refuses NaN: neither comparison holds for it.
    if (!(lat >= 0.0 && lat <= 90.1)) return f.offChart();
    double r = 2.0 * std::cos(lat * kDeg) / (1.0 + std::sin(lat * kDeg));
    QPoint p = f.at(-r * std::sin(d * kDeg) * f.sclx, -r * std::cos(d * kDeg) * f.scly);
    if (p == f.offChart()) return p;
    if (p.x() > CHART_W) p.setX(f.pltw + 3);
    if (p.y() >= PANEL_TOP) p = QPoint(f.pltw + 3, f.pltw + 3);
    return p;
  }
  double d;
  if (f.centmer == 0.0) {
    d = wrapOnce(lng);
  } else {
    d = wrapOnce(wrapOnce(lng - f.centmer));
  }
  return f.at(d * f.sclx, -lat * f.scly);
}

void CoordPx(const MapFrame& f, const QPoint& p, double& lat, double& lng) {
  double v = -(p.y() - f.cy) / f.scly;
  double u = (p.x() - f.cx) / f.sclx;
  if (f.mapprj == MAP_NORTH || f.mapprj == MAP_SOUTH) {
    stereoInverse(u, v, lng, lat);
    if (lat < 0.0) lat = -100.0;
    if (f.mapprj == MAP_SOUTH && lat != -100.0) {
      lat = -lat;
      lng = -lng;
    }
    lng = wrapOnce(lng);
  } else {
    lat = v;
    lng = u;
  }
  if (f.centmer != 0.0) lng = wrapOnce(lng + f.centmer);
}
