// State vector to SGP4 mean elements. The three loops undo, in reverse order,
// what SGP4 does at tsince = 0: the short-period terms (loop 1), the
// long-period terms in the Lyddane variables axN, ayN (loop 2), and the
// Kozai-to-Brouwer step of the initialisation (loop 3).
#include "orbit/rv2el.h"

#include <cmath>

#include "astro/constants.h"

namespace {

constexpr double kRad = 180.0 / kPi;
// WGS-72, the constants SGP4 element sets are defined with.
constexpr double kKe = 0.07436691613317341;         // Earth radii^1.5 per minute
constexpr double kK2 = 0.0005413079;                // J2 / 2
constexpr double kD1 = 0.00081196185;               // 0.75 J2
constexpr double kAyCof = 0.0011725350766172082;    // -J3 / (2 J2)
constexpr double kXlCof = 0.0005862675383086041;    // -J3 / (4 J2)
constexpr double kTiny = 1e-20;
constexpr int kMaxIter = 40;
constexpr double kConv = 1e-13;

// x with its magnitude raised to kTiny (sign kept; 0 counts as positive).
double floorMag(double x) {
  if (std::fabs(x) >= kTiny) return x;
  return x < 0.0 ? -kTiny : kTiny;
}

// Angle into [0, 2 pi).
double wrap2pi(double x) {
  x = std::fmod(x, kTwoPi);
  if (x < 0.0) x += kTwoPi;
  return x < kTwoPi ? x : 0.0;
}

}  // namespace

int rv2el(const Vec3& rin, const Vec3& vin, double& incl, double& node, double& ecc,
          double& argp, double& M, double& n) {
  if (!std::isfinite(rin.x) || !std::isfinite(rin.y) || !std::isfinite(rin.z) ||
      !std::isfinite(vin.x) || !std::isfinite(vin.y) || !std::isfinite(vin.z))
    return RV2EL_BADINPUT;

  // 1. Earth radii and Earth radii per minute.
  const Vec3 r = rin / kReWgs72M;
  const Vec3 v = vin * (60.0 / kReWgs72M);
  const double rmag = abs(r);
  if (!(rmag >= 1.0)) return RV2EL_BELOWSURFACE;

  // 2. Osculating elements. The velocity scaled by 1/ke makes h . h the
  // semi-latus rectum in Earth radii.
  const Vec3 vc = v / kKe;
  const Vec3 h = r * vc;
  const double p0 = dot(h, h);
  const double hmag = std::sqrt(p0);
  if (!(hmag > 1e-12 * rmag * abs(vc))) return RV2EL_NOTELLIPTIC;
  const Vec3 evec = vc * h - r / rmag;
  const double eosc = abs(evec);
  if (!(eosc < 1.0)) return RV2EL_NOTELLIPTIC;

  // Node direction; for an orbit in the equator plane the node is undefined
  // and the x axis takes its place, so that angles along the orbit are still
  // counted from a fixed direction and the position is kept.
  const double nxy = std::hypot(h.x, h.y);
  Vec3 nhat(1.0, 0.0, 0.0);
  const bool equatorial = !(nxy > 1e-12 * hmag);
  if (!equatorial) nhat = Vec3(-h.y / nxy, h.x / nxy, 0.0);
  const Vec3 mhat = (h / hmag) * nhat;  // 90 deg ahead of the node in the plane
  const double uosc = std::atan2(dot(r, mhat), dot(r, nhat));
  const double iosc = std::acos(std::fmax(-1.0, std::fmin(1.0, h.z / hmag)));
  const double nodeosc = std::atan2(nhat.y, nhat.x);
  const double wosc = std::atan2(dot(evec, mhat), dot(evec, nhat));
  const double rdot = dot(r, v) / rmag;
  const double rfdot = kKe * hmag / rmag;

  double p = p0;
  double a = p / floorMag(1.0 - eosc * eosc);
  double nm = kKe / std::pow(floorMag(a), 1.5);
  double inc = iosc, nd = nodeosc, u = uosc;
  double rl = rmag, rdotl = rdot;
  double ci = std::cos(inc), si = std::sin(inc);

  // 3. Short-period terms, evaluated at the current mean estimates and taken
  // off the osculating values.
  for (int it = 0; it < kMaxIter; ++it) {
    ci = std::cos(inc);
    si = std::sin(inc);
    const double pf = floorMag(p);
    const double temp1 = kK2 / pf;
    const double temp2 = temp1 / pf;
    const double beta = std::sqrt(std::fmax(p / floorMag(a), 0.0));
    const double x3thm1 = 3.0 * ci * ci - 1.0;
    const double x1mth2 = 1.0 - ci * ci;
    const double x7thm1 = 7.0 * ci * ci - 1.0;
    const double c2u = std::cos(2.0 * u), s2u = std::sin(2.0 * u);
    rl = (rmag - 0.5 * temp1 * x1mth2 * c2u) / floorMag(1.0 - 1.5 * temp2 * beta * x3thm1);
    double su = uosc + 0.25 * temp2 * x7thm1 * s2u;
    inc = iosc - 1.5 * temp2 * ci * si * c2u;
    const double dnode = -1.5 * temp2 * ci * s2u;
    // In the equator plane only the angle u + cos(i) node is defined: the
    // node's short-period term goes into u and the node stays at 0.
    if (equatorial)
      su += ci * dnode;
    else
      nd = nodeosc + dnode;
    rdotl = rdot + nm * temp1 * x1mth2 * s2u;
    const double rvdotl = rfdot - nm * temp1 * (x1mth2 * c2u + 1.5 * x3thm1);
    const double pnew = (rl * rvdotl / kKe) * (rl * rvdotl / kKe);
    const double twobyr = std::fabs(rl) < kTiny ? 2e20 : 2.0 / rl;
    a = 1.0 / floorMag(twobyr - (rdotl * rdotl + rvdotl * rvdotl) / (kKe * kKe));
    if (!(a > 0.0) || !std::isfinite(pnew)) return RV2EL_NOFIT;
    nm = kKe / std::pow(a, 1.5);
    u = su;
    const bool done = std::fabs(pnew - p) < kConv;
    p = pnew;
    if (done) break;
  }
  ci = std::cos(inc);
  si = std::sin(inc);

  // 4. Eccentric-longitude terms of the long-period state.
  const double ecosE = 1.0 - rl / a;
  const double esinE = rdotl * rl / (kKe * std::sqrt(a));
  double e2 = 1.0 - p / a;
  double beta1 = 1.0;
  if (e2 < 0.0) {
    e2 = 0.0;
  } else {
    beta1 = 1.0 + std::sqrt(1.0 - e2);
  }
  double e = std::sqrt(e2);
  double w = wosc;
  double axN = e * std::cos(w);
  double cosEo = 1.0, sinEo = 0.0;
  double pl = 1.0;

  // 5. Long-period terms: SGP4 adds ayterm to the mean e sin(w); the mean
  // eccentricity is the length of (axN, ayN - ayterm).
  for (int it = 0; it < kMaxIter; ++it) {
    pl = a * std::fmax(1.0 - e * e, kTiny);
    const double ayterm = kAyCof * si / pl;
    const double ayN = e * std::sin(w) + ayterm;
    const double k = esinE / beta1;
    cosEo = rl * std::cos(u) / a + axN - k * ayN;
    sinEo = rl * std::sin(u) / a + ayN + k * axN;
    axN = ecosE * cosEo + esinE * sinEo;
    const double ay = ecosE * sinEo - esinE * cosEo - ayterm;
    w = wrap2pi(std::atan2(ay, axN));
    const double enew = std::hypot(axN, ay);
    const bool done = std::fabs(enew - e) < kConv;
    e = enew;
    if (done) break;
  }
  if (!(e < 1.0)) return RV2EL_NOFIT;

  // 6. Mean anomaly from the eccentric longitude.
  const double Eo = std::atan2(sinEo, cosEo);
  // The same floor of 1 + cos i as SGP4 uses, so that a retrograde
  // equatorial orbit is inverted exactly.
  const double opc = std::fabs(1.0 + ci) > 1.5e-12 ? 1.0 + ci : 1.5e-12;
  const double xlcof = kXlCof * si * (5.0 * ci + 3.0) / opc;
  const double mm = wrap2pi(Eo - esinE - xlcof * axN / pl - w);

  // 7. Kozai mean motion: SGP4's initialisation turns the element set's
  // semi-major axis ak into ak (1 + delta0)^(2/3); solve that for ak.
  const double om = std::fmax(1.0 - e * e, kTiny);
  const double d1 = kD1 * (3.0 * ci * ci - 1.0) / (om * std::sqrt(om));
  double ak = a;
  for (int it = 0; it < kMaxIter; ++it) {
    const double del1 = d1 / (ak * ak);
    const double adel = ak * (1.0 - del1 * del1 - del1 * (1.0 / 3.0 + 134.0 * del1 * del1 / 81.0));
    const double del0 = d1 / (adel * adel);
    const double aknew = a / std::cbrt((1.0 + del0) * (1.0 + del0));
    const bool done = std::fabs(aknew - ak) < kConv;
    ak = aknew;
    if (done) break;
  }

  // 8. Revolutions per day.
  const double nrev = kKe / std::pow(ak, 1.5) * 1440.0 / kTwoPi;

  const double res[] = {inc, nd, e, w, mm, nrev};
  for (double x : res)
    if (!std::isfinite(x)) return RV2EL_NOFIT;
  if (!(ak > 0.0) || !(nrev > 0.0)) return RV2EL_NOFIT;

  incl = inc * kRad;
  node = wrap2pi(nd) * kRad;
  ecc = e;
  argp = w * kRad;
  M = mm * kRad;
  n = nrev;
  return RV2EL_OK;
}
