// Newton refinement of SGP4 mean elements on the model itself.
//
// The unknowns are the mean motion, the eccentricity vector, the inclination
// vector and the mean longitude: elements without a singular direction for the
// near-circular, near-equatorial orbits of geostationary satellites (a
// retrograde orbit uses the retrograde set). The Jacobian comes from forward
// differences; each step solves the column-scaled Gauss-Newton equations with
// a Levenberg-Marquardt damping that starts negligible (a plain Newton step)
// and grows only while a step fails to shrink the miss.
//
// Two places where SGP4 is not smooth in these unknowns get polar charts of
// their own, tried when the first fit does not meet the tolerance:
// - SGP4 raises a mean eccentricity below 1e-6 to 1e-6 (in the direction of
//   the perigee argument), so that near a circle e itself barely counts:
//   the chart (e >= 0, longitude of perigee);
// - at small inclination the deep-space lunar-solar terms depend on the node
//   itself, not only on the inclination vector, so that the state jumps at
//   i = 0 as the node turns: the chart (distance from the equator >= 0,
//   node), started from nodes around the circle, since the guess's node says
//   little there.
#include "orbit/sgp4fit.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "astro/constants.h"

namespace {

constexpr double kRad = 1.0 / kDeg;  // degrees per radian

constexpr int kMaxSteps = 40;          // Newton steps per fit
constexpr int kStallSteps = 8;         // without progress end a fit
constexpr int kScanSteps = 3;          // per start node of the scan near the equator
constexpr int kNodeStarts = 12;        // start nodes of that scan
constexpr int kNodeHalvings = 4;       // of their spacing about the best
constexpr int kNodeVertices = 8;       // parabola steps after that
constexpr int kMaxTries = 8;           // damping increases per step
constexpr int kMaxEvals = 2000;        // model evaluations per refit
constexpr int kWrapEvals = 300;        // kept for moving the node into 0..360
constexpr double kNodeHair = 0.01;     // deg
constexpr double kMuMin = 1e-12;       // damping of the scaled normal equations
constexpr double kMuGrow = 100.0;
constexpr int kUphillSteps = 4;        // per fit, see fitFrom
constexpr double kUphillFactor = 1e8;  // on the squared miss
constexpr double kDiff = 1e-7;         // difference step (relative for n)
constexpr double kDiffEcc = 1e-8;      // for e in the polar chart
constexpr double kDiffWeak = 1e-4;     // rad, for the angles of the polar charts
constexpr double kMaxChange = 0.1;     // largest change of an unknown (of n/n) per step
constexpr double kMaxTurn = 0.5;       // rad, of a weak angle per step
constexpr double kNearEquator = 1.0;   // deg: guesses that may need the polar chart
constexpr double kNearCircle = 1e-4;   // eccentricities that may need theirs

// Angle in degrees into [0, 360).
double wrap360(double x) {
  x = std::fmod(x, 360.0);
  if (x < 0.0) x += 360.0;
  return x < 360.0 ? x : 0.0;
}

// The unknowns x = {n (rev/day), k = e cos(w), h = e sin(w), Q = s cos(node),
// P = s sin(node), L = M + w (rad)}, w = argp + f node; prograde (f = 1):
// s = sin(i/2); retrograde (f = -1): s = cos(i/2). The eccentricity's polar
// chart has x[1] = e, x[2] = w; the inclination's has x[3] = the distance
// from the equator (rad), x[4] = the node's offset from noderef (rad).
//
// The node is not wrapped but taken within 180 degrees of noderef: in the
// deep-space model at small inclination the node enters the lunar-solar terms
// as a number as well as an angle, so that node and node + 360 degrees are
// orbits some metres apart.
struct Chart {
  int f;          // 1 prograde, -1 retrograde
  bool epolar;    // (e, w) for the eccentricity
  bool ipolar;    // (distance from the equator, node) for the inclination
  bool holdNode;  // ipolar only: the node is not an unknown
  double noderef;  // deg
};

void toUnknowns(const Chart& ch, const Sgp4Mean& el, double x[6]) {
  const double node = el.node / kRad, i = el.incl / kRad;
  const double w = el.argp / kRad + ch.f * node;
  const double s = ch.f > 0 ? std::sin(0.5 * i) : std::cos(0.5 * i);
  x[0] = el.n;
  x[1] = ch.epolar ? el.ecc : el.ecc * std::cos(w);
  x[2] = ch.epolar ? w : el.ecc * std::sin(w);
  x[3] = ch.ipolar ? (ch.f > 0 ? i : kPi - i) : s * std::cos(node);
  x[4] = ch.ipolar ? (el.node - ch.noderef) / kRad : s * std::sin(node);
  x[5] = el.M / kRad + w;
}

bool fromUnknowns(const Chart& ch, const double x[6], Sgp4Mean& el) {
  const double e = ch.epolar ? x[1] : std::hypot(x[1], x[2]);
  if (!(x[0] > 0.0) || !(e >= 0.0 && e < 1.0)) return false;
  const double w = ch.epolar ? x[2] : e > 0.0 ? std::atan2(x[2], x[1]) : 0.0;
  double node, incl;  // deg
  if (ch.ipolar) {
    if (!(x[3] >= 0.0 && x[3] <= kPi)) return false;
    incl = (ch.f > 0 ? x[3] : kPi - x[3]) * kRad;
    node = ch.noderef + x[4] * kRad;
  } else {
    const double s = std::hypot(x[3], x[4]);
    if (!(s <= 1.0)) return false;
    incl = (ch.f > 0 ? 2.0 * std::asin(s) : 2.0 * std::acos(s)) * kRad;
    const double az = s > 0.0 ? std::atan2(x[4], x[3]) * kRad : 0.0;
    node = ch.noderef + std::remainder(az - ch.noderef, 360.0);
  }
  el.n = x[0];
  el.ecc = e;
  el.incl = incl;
  el.node = node;
  el.argp = wrap360(w * kRad - ch.f * node);
  el.M = wrap360((x[5] - w) * kRad);
  return std::isfinite(el.incl + el.node + el.argp + el.M + el.n + el.ecc);
}

// The angles of the polar charts: they move the state little.
bool weak(const Chart& ch, int c) { return (ch.epolar && c == 2) || (ch.ipolar && c == 4); }

// Difference step of unknown c at x.
double diffStep(const Chart& ch, const double x[6], int c) {
  switch (c) {
    case 0:
      return kDiff * x[0];
    case 1:
    case 2:
      if (ch.epolar) return c == 1 ? kDiffEcc : kDiffWeak;
      // The eccentricity vector of a nearly circular orbit turns by
      // step / e: the step follows e.
      return std::fmin(kDiff, 0.01 * std::fmax(std::hypot(x[1], x[2]), 1e-9));
    case 4:
      return ch.ipolar ? kDiffWeak : kDiff;
    default:
      return kDiff;
  }
}

// The miss of a set of elements: SGP4's state at epoch minus the target,
// position (m) and velocity times tscale (m).
struct Miss {
  double res[6];
  double sumsq;
  bool within;  // inside the tolerance
};

// The state to fit, the model, and the evaluations of the model spent: a
// refit that has not converged after kMaxEvals stops, so that the worst case
// stays within a few milliseconds.
struct Target {
  const Sgp4Model& m;
  const Vec3& r;
  const Vec3& v;
  int evals;
};

bool missOf(Target& tg, const Sgp4Mean& el, double tscale, Miss& out) {
  if (++tg.evals > kMaxEvals) return false;
  elsetrec rec;
  if (sgp4initMean(tg.m, el, rec) != 0) return false;
  double rr[3], vv[3];
  if (sgp4(tg.m.grav, rec, 0.0, rr, vv) != 0) return false;
  const Vec3 dr = Vec3(rr[0], rr[1], rr[2]) * 1000.0 - tg.r;
  const Vec3 dv = Vec3(vv[0], vv[1], vv[2]) * 1000.0 - tg.v;
  const double res[6] = {dr.x, dr.y, dr.z, dv.x * tscale, dv.y * tscale, dv.z * tscale};
  out.sumsq = 0.0;
  for (int k = 0; k < 6; ++k) {
    out.res[k] = res[k];
    out.sumsq += res[k] * res[k];
  }
  out.within = abs(dr) < SGP4FIT_TOLR && abs(dv) < SGP4FIT_TOLV;
  return std::isfinite(out.sumsq);
}

// Solves a x = b (n x n, n <= 6) by elimination with partial pivoting;
// false when a is singular.
bool solve(double a[6][6], double b[6], int n, double x[6]) {
  for (int c = 0; c < n; ++c) {
    int p = c;
    for (int r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
    if (!(std::fabs(a[p][c]) > 0.0)) return false;
    if (p != c) {
      for (int k = 0; k < n; ++k) std::swap(a[p][k], a[c][k]);
      std::swap(b[p], b[c]);
    }
    for (int r = c + 1; r < n; ++r) {
      const double q = a[r][c] / a[c][c];
      for (int k = c; k < n; ++k) a[r][k] -= q * a[c][k];
      b[r] -= q * b[c];
    }
  }
  for (int c = n - 1; c >= 0; --c) {
    double s = b[c];
    for (int k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
    x[c] = s / a[c][c];
  }
  for (int k = 0; k < n; ++k)
    if (!std::isfinite(x[k])) return false;
  return true;
}

// Where a fit ended: the best elements reached and their miss.
struct Fit {
  Sgp4Mean el;
  double sumsq;
  bool within;
};

// At most maxSteps damped Newton steps from el in chart ch (its noderef is
// el's node). False when SGP4 refuses el; else out holds the best elements
// reached (out.within: inside the tolerance).
bool fitFrom(Target& tg, const Sgp4Mean& el, bool epolar, bool ipolar, bool holdNode,
             int maxSteps, Fit& out) {
  const Chart ch{el.incl <= 90.0 ? 1 : -1, epolar, ipolar, ipolar && holdNode, el.node};
  // Velocity misses count as the position miss they make in 1/n of a period.
  const double tscale = 86400.0 / (kTwoPi * el.n);
  if (!std::isfinite(tscale) || !(tscale > 0.0)) return false;
  int var[6], nvar = 0;
  for (int k = 0; k < 6; ++k)
    if (!(ch.holdNode && k == 4)) var[nvar++] = k;

  double x[6];
  toUnknowns(ch, el, x);
  Sgp4Mean cur;
  Miss now;
  if (!fromUnknowns(ch, x, cur) || !missOf(tg, cur, tscale, now)) return false;

  // The best point so far; a few steps may go uphill from it (see below).
  double xbest[6];
  for (int k = 0; k < 6; ++k) xbest[k] = x[k];
  Sgp4Mean elbest = cur;
  Miss best = now;
  int uphill = kUphillSteps;

  // The best miss kStallSteps steps ago: a fit that has not made it ten
  // times smaller since then has stalled.
  double history[kStallSteps];
  for (double& h : history) h = HUGE_VAL;

  double mu = kMuMin;
  for (int step = 0; step < maxSteps && !best.within; ++step) {
    double& then = history[step % kStallSteps];
    if (best.sumsq > 0.1 * then) break;
    then = best.sumsq;
    // Jacobian by forward differences (backward ones at a boundary of the
    // chart).
    double jac[6][6];
    bool columns = true;
    for (int j = 0; j < nvar && columns; ++j) {
      const int c = var[j];
      const double h = diffStep(ch, x, c);
      double xd[6];
      for (int k = 0; k < 6; ++k) xd[k] = x[k];
      double sign = 1.0;
      xd[c] = x[c] + h;
      Sgp4Mean eld;
      Miss md;
      if (!fromUnknowns(ch, xd, eld) || !missOf(tg, eld, tscale, md)) {
        sign = -1.0;
        xd[c] = x[c] - h;
        columns = fromUnknowns(ch, xd, eld) && missOf(tg, eld, tscale, md);
      }
      for (int k = 0; k < 6; ++k) jac[k][j] = sign * (md.res[k] - now.res[k]) / h;
    }
    if (!columns) break;

    // Normal equations J'J dx = -J' miss, each unknown scaled by its
    // column's length, so that weak unknowns are solved for as well as
    // strong ones and the damping acts on each in proportion.
    double jtj[6][6], g[6], scale[6], top = 0.0;
    for (int i = 0; i < nvar; ++i) {
      double d = 0.0;
      for (int k = 0; k < 6; ++k) d += jac[k][i] * jac[k][i];
      top = std::fmax(top, d);
      scale[i] = d;
    }
    for (int i = 0; i < nvar; ++i) scale[i] = 1.0 / std::sqrt(std::fmax(scale[i], 1e-30 * top));
    for (int i = 0; i < nvar; ++i) {
      g[i] = 0.0;
      for (int k = 0; k < 6; ++k) g[i] -= jac[k][i] * now.res[k];
      g[i] *= scale[i];
      for (int j = 0; j < nvar; ++j) {
        jtj[i][j] = 0.0;
        for (int k = 0; k < 6; ++k) jtj[i][j] += jac[k][i] * jac[k][j];
        jtj[i][j] *= scale[i] * scale[j];
      }
    }

    bool moved = false;
    for (int t = 0; t < kMaxTries && !moved; ++t, mu *= kMuGrow) {
      double a[6][6], b[6], dv[6];
      for (int i = 0; i < nvar; ++i) {
        b[i] = g[i];
        for (int j = 0; j < nvar; ++j) a[i][j] = jtj[i][j];
        a[i][i] += mu;
      }
      if (!solve(a, b, nvar, dv)) continue;
      double dx[6] = {0, 0, 0, 0, 0, 0};
      for (int j = 0; j < nvar; ++j) dx[var[j]] = dv[j] * scale[j];
      // Bounded step; the weak angles of the polar charts, whose Newton
      // steps can be large while they barely move the state, are bounded on
      // their own.
      double big = std::fabs(dx[0]) / x[0];
      for (int k = 1; k < 6; ++k)
        if (!weak(ch, k)) big = std::fmax(big, std::fabs(dx[k]));
      const double lambda = big > kMaxChange ? kMaxChange / big : 1.0;
      double xn[6];
      for (int k = 0; k < 6; ++k)
        xn[k] = x[k] + (weak(ch, k) ? std::fmax(-kMaxTurn, std::fmin(kMaxTurn, dx[k]))
                                    : lambda * dx[k]);
      Sgp4Mean eln;
      Miss mn;
      if (!fromUnknowns(ch, xn, eln) || !missOf(tg, eln, tscale, mn)) continue;
      // A weak unknown far from its solution (the node of a nearly
      // equatorial orbit) can leave a small miss that its Newton step first
      // makes larger: the first try of a step may go uphill, a few times per
      // fit and within bounds; the fit goes on from its best point when that
      // leads nowhere.
      const bool downhill = mn.sumsq < now.sumsq || mn.within;
      if (downhill || (t == 0 && uphill > 0 && mn.sumsq < kUphillFactor * best.sumsq)) {
        if (!downhill) --uphill;
        for (int k = 0; k < 6; ++k) x[k] = xn[k];
        cur = eln;
        now = mn;
        moved = true;
        if (now.sumsq < best.sumsq || now.within) {
          for (int k = 0; k < 6; ++k) xbest[k] = x[k];
          elbest = cur;
          best = now;
        }
      }
    }
    if (!moved) {
      if (!(best.sumsq < now.sumsq)) break;
      for (int k = 0; k < 6; ++k) x[k] = xbest[k];
      cur = elbest;
      now = best;
      uphill = 0;
      continue;
    }
    mu = std::fmax(mu / (kMuGrow * kMuGrow * kMuGrow), kMuMin);
  }
  out = Fit{elbest, best.sumsq, best.within};
  return true;
}

// Near the equator the guess's node says little (the lunar-solar terms turn
// the inclination vector by up to half a circle). Short fits with the node
// held find where the long fit starts (best): at points around the circle,
// then halving the spacing about the best, then at the vertex of the
// parabola through the best and its neighbours, as the miss is smooth in the
// node where the Newton steps may not be (the long-period terms follow the
// size of the perturbed inclination, which has a corner at zero).
void scanNode(Target& tg, const Sgp4Mean& start, bool epolar, Fit& best) {
  struct Point {
    double at, sumsq;
  };
  Point pts[kNodeStarts + 2 * kNodeHalvings + kNodeVertices];
  int npts = 0;
  double at = 0.0;
  best = Fit{start, HUGE_VAL, false};
  auto tryNode = [&](double dnode) {
    // The node turned by dnode, the longitudes of perigee and satellite kept.
    Sgp4Mean held = start;
    held.node = std::remainder(start.node + dnode, 360.0);
    held.argp = wrap360(start.argp - (start.incl <= 90.0 ? dnode : -dnode));
    Fit f;
    if (!fitFrom(tg, held, epolar, true, true, kScanSteps, f)) return;
    pts[npts++] = Point{dnode, f.sumsq};
    if (f.sumsq < best.sumsq) {
      best = f;
      at = dnode;
    }
  };
  double spacing = 360.0 / kNodeStarts;
  for (int q = 0; q < kNodeStarts && !best.within; ++q) tryNode(q * spacing);
  for (int k = 0; k < kNodeHalvings && !best.within && npts > 0; ++k) {
    spacing *= 0.5;
    const double centre = at;
    tryNode(centre - spacing);
    tryNode(centre + spacing);
  }
  for (int k = 0; k < kNodeVertices && !best.within && npts > 0; ++k) {
    // The nearest points on either side of the best.
    const Point* lo = nullptr;
    const Point* hi = nullptr;
    for (int j = 0; j < npts; ++j) {
      if (pts[j].at < at && (!lo || pts[j].at > lo->at)) lo = &pts[j];
      if (pts[j].at > at && (!hi || pts[j].at < hi->at)) hi = &pts[j];
    }
    if (!lo || !hi) break;
    const double d1 = at - lo->at, d2 = hi->at - at;
    const double s1 = (best.sumsq - lo->sumsq) / d1, s2 = (hi->sumsq - best.sumsq) / d2;
    const double curv = (s2 - s1) / (0.5 * (d1 + d2));
    if (!(curv > 0.0)) break;
    // Vertex of the parabola: where its slope, s1 at the middle of the left
    // interval, goes to zero.
    const double vertex = (at - 0.5 * d1) - s1 / curv;
    if (!(vertex > lo->at && vertex < hi->at) || std::fabs(vertex - at) < 1e-9) break;
    tryNode(vertex);
  }
}

}  // namespace

int sgp4initMean(const Sgp4Model& m, const Sgp4Mean& el, elsetrec& rec) {
  const double ecc = el.ecc > 1e-8 ? el.ecc : 1e-8;
  const double no = el.n == 0.0 ? 1.0 : kTwoPi * el.n / kMinPerDay;
  return sgp4init(m.grav, m.deepsw, m.epoch - 33281.0, m.bstar, ecc, el.argp * kDeg,
                  el.incl * kDeg, el.M * kDeg, no, el.node * kDeg, rec);
}

int sgp4refine(const Sgp4Model& m, const Vec3& r, const Vec3& v, Sgp4Mean& el) {
  // The deep-space model reduces the node with fmod: it is continuous in the
  // node from -360 to 360 degrees and breaks at +-360. The steps stay in that
  // range, within 180 degrees of the guess.
  Target tg{m, r, v, 0};
  Sgp4Mean start = el;
  start.node = std::remainder(el.node, 360.0);
  Fit fit{start, HUGE_VAL, false};
  bool ok = fitFrom(tg, start, false, false, false, kMaxSteps, fit) && fit.within;

  const bool nearCircle = el.ecc < kNearCircle;
  const bool nearEquator = el.incl < kNearEquator || el.incl > 180.0 - kNearEquator;
  // The polar eccentricity chart starts on the circle: a fit that failed in
  // the other chart most likely ended under SGP4's floor, where the state
  // follows e along another slope than above it.
  Sgp4Mean circle = start;
  circle.ecc = 0.0;
  if (!ok && nearCircle)
    ok = fitFrom(tg, circle, true, false, false, kMaxSteps, fit) && fit.within;
  for (int epolar = 0; epolar <= 1 && !ok && nearEquator; ++epolar) {
    if (epolar && !nearCircle) break;
    Fit best;
    scanNode(tg, epolar ? circle : start, epolar, best);
    if (best.within) {
      fit = best;
      ok = true;
    } else if (best.sumsq < HUGE_VAL) {
      ok = fitFrom(tg, best.el, epolar, true, false, kMaxSteps, fit) && fit.within;
    }
  }
  if (!ok) return SGP4FIT_NOTCONVERGED;

  if (fit.el.node < 0.0 && fit.el.node > -kNodeHair) {
    // A node a hair below 0 (a solution at 0 approached from below) becomes
    // 0, the longitude of perigee kept, when that still meets the tolerance.
    Sgp4Mean zero = fit.el;
    zero.node = 0.0;
    zero.argp = wrap360(fit.el.argp + (fit.el.incl <= 90.0 ? fit.el.node : -fit.el.node));
    Miss miss;
    tg.evals = std::min(tg.evals, kMaxEvals - kWrapEvals);
    if (missOf(tg, zero, 86400.0 / (kTwoPi * zero.n), miss) && miss.within) fit.el = zero;
  }
  if (fit.el.node < 0.0 || fit.el.node >= 360.0) {
    // Stored nodes are 0..360: solve again on that side of the break. Should
    // the solution lie too close to it, the node is kept a little outside.
    Sgp4Mean wrapped = fit.el;
    wrapped.node = wrap360(fit.el.node);
    tg.evals = std::min(tg.evals, kMaxEvals - kWrapEvals);
    Fit f;
    if (fitFrom(tg, wrapped, nearCircle, nearEquator, false, kMaxSteps, f) && f.within &&
        f.el.node >= 0.0 && f.el.node < 360.0)
      fit = f;
  }
  el = fit.el;
  return RV2EL_OK;
}

int sgp4fit(const Sgp4Model& m, const Vec3& r, const Vec3& v, Sgp4Mean& el) {
  Sgp4Mean guess;
  const int res = rv2el(r, v, guess.incl, guess.node, guess.ecc, guess.argp, guess.M, guess.n);
  if (res != RV2EL_OK) return res;
  const int fit = sgp4refine(m, r, v, guess);
  el = guess;
  return fit;
}
