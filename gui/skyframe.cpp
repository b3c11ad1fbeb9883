// Sky chart and Sun/Moon close-up: projections, places and close-up geometry.
#include "gui/skyframe.h"

#include <algorithm>
#include <cmath>

#include "astro/astr2lib.h"
#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/vorlixcom.h"

namespace {

double clampUnit(double c) { return std::max(-1.0, std::min(1.0, c)); }

bool horizonView(const MapFrame& f) { return f.skyprj != 0; }
}  // namespace

MapFrame skyFrame(int skyprj, double skaz, double h0, int pltw, int plth) {
  MapFrame f;
  f.pltw = pltw;
  f.plth = plth;
  f.skyprj = skyprj;
  f.skaz = skaz;
  f.h0 = h0;
  f.cx = 360;
  if (skyprj != 0) {
    f.cy = CHART_H;
    f.sclx = HORIZON_SCALE_X;
    f.scly = HORIZON_SCALE_Y;
  } else {
    f.cy = 180;
    f.sclx = f.scly = ZENITH_SCALE;
  }
  return f;
}

double horizonDip(double height) {
  if (!(height > 0.0) || !std::isfinite(height)) return 0.0;
  return -std::acos(kReWgs84M / (kReWgs84M + height)) / kDeg;
}

double mollweideAngle(double phi) {
  if (std::isnan(phi)) return phi;
  // At the poles the answer is exact; close to them the residual vanishes
  // in rounding before t does (to within 1e-5 rad, 0.002 px).
  if (std::fabs(phi) >= kPi / 2) return std::copysign(kPi, phi);
  const double target = kPi * std::sin(phi);
  double t = phi;
  // Newton's method. Near the poles the derivative 1 + cos t vanishes with
  // the function, so the steps shrink only by a third each: iterate until
  // they are below the tolerance, not for a fixed count.
  for (int i = 0; i < 200; ++i) {
    const double den = 1.0 + std::cos(t);
    if (den < 1e-300) break;  // t = +-pi: the pole itself
    const double dt = (std::sin(t) + t - target) / den;
    t -= dt;
    if (std::fabs(dt) < 1e-11) break;
  }
  return t;
}

QPoint PxSky(const MapFrame& f, double el, double az) {
  // Also refuses NaN: the comparison fails for it. A huge azimuth has no
  // meaningful sine.
  if (!(el >= f.h0) || !(std::fabs(az) <= PIX_LIMIT)) return f.offChart();
  double X, Y;
  if (horizonView(f)) {
    if (el > 90.0 + f.h0) return f.offChart();
    const double phi = (el - f.h0) * kDeg;
    double lam = (az - f.skaz) * kDeg;
    lam = std::atan2(std::sin(lam), std::cos(lam));
    const double t = mollweideAngle(phi);
    X = 0.900316 * lam * std::cos(t / 2);
    Y = 1.41421 * std::sin(t / 2);
  } else {
    const double r = 2.0 * std::cos(el * kDeg) / (1.0 + std::sin(el * kDeg));
    X = -r * std::sin(az * kDeg);
    Y = r * std::cos(az * kDeg);
  }
  const QPoint p = f.at(X * f.sclx, -Y * f.scly);
  if (p == f.offChart() || p.y() > CHART_H || p.x() > CHART_W) return f.offChart();
  return p;
}

bool SkyPx(const MapFrame& f, const QPoint& p, double& az, double& el) {
  el = -100.0;
  az = 0.0;
  // The black strip right of the chart and the panel below it show no sky.
  if (p.x() < 0 || p.x() > CHART_W - 1 || p.y() < 0 || p.y() > CHART_H) return false;
  const double u = (p.x() - f.cx) / f.sclx;
  const double v = -(p.y() - f.cy) / f.scly;
  if (horizonView(f)) {
    if (v < 0.0 || 0.707107 * v > 1.0) return false;
    const double theta = std::asin(0.707107 * v);
    const double c = std::cos(theta);
    if (c <= 0.0) return false;
    const double lam = 1.11072 * u / c;
    // Beyond the ellipse's rim the longitude runs past +-pi: no sky there,
    // rather than a plausible azimuth wrapped around.
    if (std::fabs(lam) > kPi) return false;
    el = std::asin(clampUnit((2 * theta + std::sin(2 * theta)) / kPi)) / kDeg + f.h0;
    const double a = lam + f.skaz * kDeg;
    az = std::atan2(std::sin(a), std::cos(a)) / kDeg;
  } else {
    double e;
    stereoInverse(u, v, az, e);
    // Seen from a satellite the sky reaches down to the dipped horizon.
    if (e < f.h0) {
      az = 0.0;
      return false;
    }
    el = e;
  }
  if (az < 0.0) az += 360.0;
  return true;
}

QPoint PxCdSun(const MapFrame& f, double A, double E, double az, double el) {
  const QPoint off(0, CLOSEUP_OFF_Y);
  if (A < 0.0) A += 360.0;
  double dA = az - A;
  if (dA < -180.0) dA += 360.0;
  if (dA > 180.0) dA -= 360.0;
  const double h = dA * std::cos(E * kDeg);
  const double v = el - E;
  if (!(std::fabs(v) <= 5.0 && std::fabs(h) <= 5.0)) return off;  // NaN too
  int ix, iy;
  if (!pixRound(h * f.sclx, ix) || !pixRound(-v * f.scly, iy)) return off;
  const int x = f.cx + ix, y = f.cy + iy;
  // Only the chart itself: not the black strip right of it, not the panel.
  if (x < 0 || x > CHART_W || y < 0 || y > CHART_H) return off;
  return QPoint(x, y);
}

double sunPositionAngle(double sunEl, double sunAz, double moonEl, double moonAz) {
  const double Y = std::cos(sunEl) * std::sin(sunAz - moonAz);
  const double X = std::sin(sunEl) * std::cos(moonEl) -
                   std::cos(sunEl) * std::sin(moonEl) * std::cos(sunAz - moonAz);
  if (X == 0.0 && Y == 0.0) return -kPi / 2;
  return std::atan2(Y, X) - kPi / 2;
}

double northAngle(double E, double A, double phi) {
  const double sind = std::sin(E) * std::sin(phi) + std::cos(phi) * std::cos(E) * std::cos(A);
  const double q2 = 1.0 - sind * sind;
  const double cosd = q2 > 0.0 ? std::sqrt(q2) : 0.0;
  const double c = std::cos(E) * cosd;
  if (!(std::fabs(c) > 1e-40)) return 0.0;
  // Clamped: a rounding just past -1 means the pole straight below the body
  // (angle pi), not straight above it.
  const double q = std::acos(clampUnit((std::sin(phi) - sind * std::sin(E)) / c));
  const bool west = A > kPi || A < 0.0;
  return west ? q : -q;
}

void starAzEl(int k, const Mat3& prec, const HorFrame& obs, double& az, double& el) {
  const double ra = DmsDegF(SkyStars[k][0]) * 15.0 * kDeg;
  const double dec = DmsDegF(SkyStars[k][1]) * kDeg;
  const Vec3 v = mxvct(prec, polcar(Vec3(1.0, ra, dec)));
  double dist;
  AppPos(obs, 0, v, az, el, dist);
}

void bodyAzEl(double t, double ttut, double lat, double lng, double height, double az[SKY_BODIES],
              double el[SKY_BODIES]) {
  const double T = julcent(t + ttut / 86400.0);
  Sun200 sun;
  const Vec3 s = sun.position(T);  // AU, ecliptic of date
  Moon200 moon;
  Plan200 plan;
  Vec3 v[SKY_BODIES];
  v[SKY_SUN] = eclequ(T, s) * SKY_AU;
  v[SKY_MOON] = eclequ(T, moon.position(T));
  // Heliocentric planets plus the geocentric Sun: geocentric planets.
  v[SKY_MERCURY] = eclequ(T, plan.Mercury(T) + s) * SKY_AU;
  v[SKY_VENUS] = eclequ(T, plan.Venus(T) + s) * SKY_AU;
  v[SKY_MARS] = eclequ(T, plan.Mars(T) + s) * SKY_AU;
  v[SKY_JUPITER] = eclequ(T, plan.Jupiter(T) + s) * SKY_AU;
  v[SKY_SATURN] = eclequ(T, plan.Saturn(T) + s) * SKY_AU;
  const HorFrame obs = horframe(t, 0.0, lat, lng, height);
  for (int b = 0; b < SKY_BODIES; ++b) {
    double dist;
    AppPos(obs, 1, v[b], az[b], el[b], dist);
  }
}
