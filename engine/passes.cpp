// Pass search: the next or last pass of one satellite over the observer, and
// the great-circle helper of the transit texts.
#include "engine/passes.h"

#include <cmath>
#include <limits>

#include "astro/constants.h"
#include "engine/flares.h"
#include "engine/satpos.h"

namespace {


// Steps of the search, in days. The second is the rounded value the pass
// texts also use; the long step is a little over one hour on purpose.
constexpr double kMin = 1.0 / 1440.0;
constexpr double kSec = 1.157407407e-5;
constexpr double kHalfMin = 30.0 / 86400.0;
constexpr double kMedStep = 0.0069;     // while the satellite is 25 deg below
constexpr double kLongStep = 0.0416667;  // while the Sun is 15 deg above sunel
constexpr double kNoElev = -100.0;

// How fast the Sun's elevation can change: the Earth turns 361 deg a day
// relative to the Sun at most, and no elevation changes faster than the
// hour angle (for an observer near the Earth: within 10000 km of the ground
// the parallax adds less than 0.001 %). 374.4 deg/day (0.26 deg/min) leaves
// a margin of 3 %; the slack covers the rounding of the computed elevations.
constexpr double kSunRate = 374.4;  // deg/day
constexpr double kSunSlack = 1e-6;  // deg
constexpr double kNear = SearchSample::kElNear;
constexpr double kQuarters = 96.0;  // quarter hours per day
constexpr double kNoPosition = std::numeric_limits<double>::quiet_NaN();

// The boundary values of the current sample: elevation and azimuth, or the
// sub-satellite latitude and longitude in relative mode; no numbers (NaN)
// where the satellite had no position.
void boundary(const WinpData* d, int i, bool placed, double& elv, double& azm) {
  if (!placed) {
    elv = azm = kNoPosition;
  } else if (RelativeMode(d)) {
    elv = satpos->lat[i];
    azm = satpos->lng[i];
  } else {
    elv = satpos->el[i];
    azm = satpos->az[i];
  }
}

// Horizon angle (rad) of a satellite h km above the Earth.
double horizonAngle(double h) {
  const double q = kReWgs84Km + h > kReWgs84Km ? kReWgs84Km / (kReWgs84Km + h) : 1.0;
  return std::acos(q);
}

// A sample kept for later comparison: the search sample itself (its values
// computed when asked for), or the full sample's elevation and azimuth.
struct Kept {
  SearchSample s;
  double el = kNoElev, az = 0.0;
};

thread_local LastSampleDeferral* deferral = nullptr;

// The samples of one search of slot i. The plain pass search of an analytic
// slot takes search samples, which compute only what is read; and it
// decides the Sun's limits from the last Sun elevation computed, as long as
// the Sun cannot have reached the limit since (kSunRate), computing the Sun
// again only near a limit. Every decision is the one the full samples give.
// Any other search samples with GetSatPos into satpos. When the probe ends,
// satpos and the record hold the last sample in full either way (under a
// LastSampleDeferral: when the deferral ends).
class Probe {
 public:
  Probe(WinpData* d, int i)
      : d_(d), i_(i), light_(SearchSample::Usable(d, i)), s_(d, satpos, i),
        sunbound_(std::fabs(d->height) < 1e7) {}
  ~Probe() {
    double t;
    if (light_ && deferral && s_.Last(t) && deferral->Defer(d_, i_, s_.Record(), t)) return;
    s_.Finish();
  }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  // Samples t; 1 when the sample counts (cksatok). A satellite without a
  // position is in no pass, whatever its stand-in place would pass for.
  int take(double t) {
    at(t);
    if (!placed_) return 0;
    if (!light_) return cksatok(d_, satpos, i_);
    if (!elAtLeast(d_->satel)) return 0;
    if (!sunBelowLimit()) return 0;
    if (d_->visflg == 0) return 1;
    if (d_->moonflg == 0) return sunlit() ? 1 : 0;
    if (s_.MoonH() < 0.0) return 0;
    return s_.SunH() < 0.0 ? 1 : 0;
  }
  // Samples t without the acceptance test.
  void at(double t) {
    t_ = t;
    if (light_) {
      s_.At(t);
      placed_ = s_.Placed();
    } else {
      placed_ = GetSatPos(t, d_, satpos, i_, 0) == SATPOS_OK;
    }
  }
  bool light() const { return light_; }
  bool placed() const { return placed_; }
  double el() { return light_ ? s_.El() : satpos->el[i_]; }
  // el >= x, el > x and el < x, from the quick estimate, else from the
  // elevation without nutation, unless it lies within its error of x.
  bool elAtLeast(double x) {
    if (light_) {
      if (const int side = s_.ElSide(x)) return side > 0;
      const double e = s_.ElNear();
      if (e < x - kNear) return false;
      if (e > x + kNear) return true;
    }
    return el() >= x;
  }
  bool elAbove(double x) {
    if (light_) {
      if (const int side = s_.ElSide(x)) return side > 0;
      const double e = s_.ElNear();
      if (e < x - kNear) return false;
      if (e > x + kNear) return true;
    }
    return el() > x;
  }
  bool elBelow(double x) {
    if (light_) {
      if (const int side = s_.ElSide(x)) return side < 0;
      const double e = s_.ElNear();
      if (e < x - kNear) return true;
      if (e > x + kNear) return false;
    }
    return el() < x;
  }
  double az() { return light_ ? s_.Az() : satpos->az[i_]; }
  // The boundary values of the current sample into elv[k], azm[k]: those
  // of a search sample when settle() is called, so that a boundary moved
  // again costs nothing.
  void bound(int k, double* elv, double* azm) {
    if (light_) {
      pend_[k] = s_;
      pending_ |= 1u << k;
    } else {
      boundary(d_, i_, placed_, elv[k], azm[k]);
    }
  }
  void settle(double* elv, double* azm) {
    for (int k = 0; k < 3; ++k)
      if (!(pending_ & (1u << k))) {
        continue;
      } else if (pend_[k].Placed()) {
        elv[k] = pend_[k].El();
        azm[k] = pend_[k].Az();
      } else {
        elv[k] = azm[k] = kNoPosition;
      }
    pending_ = 0;
  }
  // Keeps the current sample; the current elevation above / below a kept
  // one's; the kept sample's elevation and azimuth.
  void keep(Kept& k) {
    if (light_) {
      k.s = s_;
    } else {
      k.el = satpos->el[i_];
      k.az = satpos->az[i_];
    }
  }
  bool above(Kept& k) { return light_ ? s_.ElAbove(k.s) : satpos->el[i_] > k.el; }
  bool below(Kept& k) { return light_ ? k.s.ElAbove(s_) : satpos->el[i_] < k.el; }
  void values(Kept& k, double& el, double& az) {
    if (light_) {
      el = k.s.El();
      az = k.s.Az();
    } else {
      el = k.el;
      az = k.az;
    }
  }
  // A centre line met the ground (event modes only; never in a search
  // sample), from a place the satellite had.
  bool centre() const { return !light_ && placed_ && satpos->ctlat[i_] < 100.0; }
  // The Sun more than 15 deg above the limit: sunel < sunelo - 15.
  bool sunHigh() {
    if (!light_) return d_->sunel < satpos->sunelo - 15.0;
    const int side = sunSide(d_->sunel + 15.0);
    if (side != 0) return side > 0;
    return d_->sunel < anchor() - 15.0;
  }

 private:
  // The Sun at the observer below the limit: sunel > sunelo.
  bool sunBelowLimit() {
    const int side = sunSide(d_->sunel);
    if (side != 0) return side < 0;
    return d_->sunel > anchor();
  }
  // The Sun at the observer above (1) or below (-1) lim, from the last Sun
  // elevation computed or else from that of the nearest quarter hour, which
  // every satellite's search at this place shares; 0 when neither tells.
  int sunSide(double lim) {
    if (!sunbound_) return 0;
    for (int k = 0; k < 2; ++k) {
      if (anchored_) {
        const double b = kSunRate * std::fabs(t_ - ta_) + kSunSlack;
        if (sa_ - lim > b) return 1;
        if (lim - sa_ > b) return -1;
      }
      const double tq = std::floor(t_ * kQuarters + 0.5) / kQuarters;
      if (k > 0 || (anchored_ && ta_ == tq)) break;
      sa_ = s_.SunElAt(tq);
      sun_ = s_.SunAt(tq);
      ta_ = tq;
      anchored_ = true;
    }
    return 0;
  }
  // The Sun's elevation at this time, which becomes the last one computed.
  double anchor() {
    sa_ = s_.SunEl();
    sun_ = s_.Sun();
    ta_ = t_;
    anchored_ = true;
    return sa_;
  }
  // The satellite sunlit: sunh >= 0, from the Sun's direction of the last
  // Sun elevation computed unless near the shadow's edge.
  bool sunlit() {
    if (anchored_ && sunbound_) {
      const double h = s_.SunHNear(sun_);
      const double b = SearchSample::kSunHNear + SearchSample::kSunDrift * std::fabs(t_ - ta_);
      if (h > b) return true;
      if (h < -b) return false;
    }
    return s_.SunH() >= 0.0;
  }

  WinpData* d_;
  int i_;
  bool light_;
  bool placed_ = false;  // the current sample has a position
  SearchSample s_;
  double t_ = 0;
  bool sunbound_;  // the rate holds: the observer is near the ground (10000 km)
  bool anchored_ = false;
  double ta_ = 0, sa_ = 0;  // time and value of the last Sun elevation computed
  Vec3 sun_;                // and the Sun then
  SearchSample pend_[3];    // boundary samples waiting for settle()
  unsigned pending_ = 0;
};

// The culmination scan's seconds from fewer samples. While the elevation
// rises it is sampled every kStride seconds of the scan's own times; the
// scan then runs second by second from the stride before the last rising
// one. The seconds skipped rose like the strides around them: an orbit's
// elevation does not turn and turn back within a few seconds, so a stride
// that rose from the one before lies before the top, and the scan took each
// second before it above elv[1] in turn, each the new best, without a stop.
// A flat stride (or one that is no number) leaves the whole scan to the
// seconds. Returns the time the scan by seconds starts from.
constexpr int kStride = 4;
constexpr int kMaxScan = 128;  // a scan covers one minute: 61 seconds

double strideStart(Probe& p, double ts, double te, int dir) {
  double tk[kMaxScan];
  int n = 0;
  for (double t = ts; (dir > 0 ? t < te : t > te) && n < kMaxScan; t += dir * kSec) tk[n++] = t;
  if (n >= kMaxScan || n < 3 * kStride) return ts;
  p.at(tk[0]);
  Kept prev;
  p.keep(prev);
  int last = 0;  // the last stride that rose
  for (int k = kStride; k < n; k += kStride) {
    p.at(tk[k]);
    if (p.above(prev)) {
      p.keep(prev);
      last = k;
      continue;
    }
    if (p.below(prev)) break;
    return ts;  // flat, or no number
  }
  return tk[last >= kStride ? last - kStride : 0];
}

// 1-s culmination scan from ts while t < te (forwards, dir 1) or t > te
// (backwards, dir -1): a sample above the culmination so far (first the
// sweep's highest sample, `top`, whose values are in elv[1], azm[1]) becomes
// the culmination; once one did, the scan stops at the first sample below
// it. A time without a position is no culmination, and once one was found
// the scan stops there too. The last time sampled is always the scan's own
// last one.
void culminationScan(Probe& p, double ts, double te, int dir, Kept& top, double* tm,
                     double* elv, double* azm) {
  Kept best;
  Kept* ref = &top;
  bool found = false;
  for (double t = p.light() ? strideStart(p, ts, te, dir) : ts; dir > 0 ? t < te : t > te;
       t += dir * kSec) {
    p.at(t);
    if (!p.placed()) {
      if (found) break;
    } else if (p.above(*ref)) {
      tm[1] = t;
      p.keep(best);
      ref = &best;
      found = true;
    } else if (found && p.below(best)) {
      break;
    }
  }
  if (found) p.values(best, elv[1], azm[1]);
}

void copyIndex(double* tm, double* elv, double* azm, int to, int from) {
  tm[to] = tm[from];
  elv[to] = elv[from];
  azm[to] = azm[from];
}

}  // namespace

int cksatok(const WinpData* d, const SatPosData* sp, int i) {
  if (RelativeMode(d)) {
    const double h1 = horizonAngle(sp->hgt[i]);
    const double h2 = horizonAngle(sp->sunh[i]);
    const double lat1 = sp->lat[i] * kDeg, lng1 = sp->lng[i] * kDeg;
    const double lat2 = sp->ra[i] * kDeg, lng2 = sp->dec[i] * kDeg;
    const double c = std::sin(lat1) * std::sin(lat2) +
                     std::cos(lat1) * std::cos(lat2) * std::cos(lng1 - lng2);
    if (!(c > std::cos(h1 + h2))) return 0;
    if (d->visflg == 0) return 1;
    return sp->rsun0 >= 0.0 && sp->rsun1 >= 0.0 ? 1 : 0;
  }
  if (!(sp->el[i] >= d->satel)) return 0;
  if (!(d->sunel > sp->sunelo)) return 0;
  if (d->visflg == 0) return 1;
  if (d->moonflg == 0) return sp->sunh[i] >= 0.0 ? 1 : 0;
  if (sp->moonh[i] < 0.0) return 0;
  return sp->sunh[i] < 0.0 ? 1 : 0;
}

double gpassbeg(WinpData* d, SatPosData* sp, int i, double t, double tlow) {
  double tt = t;
  for (;;) {
    if (GetSatPos(tt, d, sp, i, 0) != SATPOS_OK || !cksatok(d, sp, i)) break;
    tt -= kMin;
    if (tt < tlow) break;
  }
  return tt;
}

double gpassend(WinpData* d, SatPosData* sp, int i, double t, double thigh) {
  double tt = t;
  for (;;) {
    if (GetSatPos(tt, d, sp, i, 0) != SATPOS_OK || !cksatok(d, sp, i)) break;
    tt += kMin;
    if (tt > thigh) break;
  }
  return tt;
}

namespace {

// The coarse sweep of one search: follows the samples into and out of a pass,
// keeping its first accepted sample (index 0), its highest one and the first
// rejected sample after it (index 2).
struct Sweep {
  bool inpass = false, found = false, lastok = false, hasmax = false;
  double tmax = 0.0;
  Kept max;        // the highest sample
  int centre = 0;  // some sample had a centre line

  // Takes the sample at t; true when the pass ended there.
  bool take(Probe& p, double t, int ok, double* tm, double* elv, double* azm) {
    lastok = ok != 0;
    if (!inpass && !ok) return false;
    if (p.centre()) centre = 1;
    if (!ok) {
      tm[2] = t;
      p.bound(2, elv, azm);
      return true;
    }
    if (!inpass) {
      inpass = found = true;
      tm[0] = t;
      p.bound(0, elv, azm);
    }
    if (hasmax ? p.above(max) : p.elAbove(kNoElev)) {
      p.keep(max);
      hasmax = true;
      tmax = t;
    }
    return false;
  }

  // Culmination of the sweep into index 1; a pass still accepted at the last
  // sample (the probe's current one) ends at tlimit with its values. False
  // when no pass was found.
  bool finish(Probe& p, double tlimit, double* tm, double* elv, double* azm) {
    if (!found) return false;
    tm[1] = tmax;
    if (hasmax) {
      p.values(max, elv[1], azm[1]);
    } else {
      elv[1] = kNoElev;
      azm[1] = 0.0;
    }
    if (lastok) {
      tm[2] = tlimit;
      p.bound(2, elv, azm);
    }
    return true;
  }
};

// Six halving probes from 30 s before boundary k: a probe whose acceptance is
// `keep` becomes the boundary and the next probe goes earlier, any other
// moves the next one later.
void halve(Probe& p, int k, int keep, double* tm, double* elv, double* azm, int& centre) {
  double h = kHalfMin, tp = tm[k] - kHalfMin;
  for (int n = 0; n < 6; ++n) {
    const int ok = p.take(tp);
    h *= 0.5;
    if (ok == keep) {
      tm[k] = tp;
      p.bound(k, elv, azm);
      if (p.centre()) centre = 1;
      tp -= h;
    } else {
      tp += h;
    }
  }
}

// 1-s probes backwards from a minute after boundary k: the first probe whose
// acceptance is `want` becomes the boundary.
void probeBack(Probe& p, int k, int want, double* tm, double* elv, double* azm) {
  const double start = tm[k] + kMin;
  for (int n = 0; n < 60; ++n) {
    const double tp = start - n * kSec;
    if (p.take(tp) == want) {
      tm[k] = tp;
      p.bound(k, elv, azm);
      return;
    }
  }
}

// Culmination to the second around the minute sample tm[1] (the sweep's
// highest, `top`): scans in the direction in which the elevation rises. dir 1
// for a forward search (tm[0] earlier than tm[2]), -1 for a backward one.
void refineCulmination(const WinpData* d, Probe& p, int dir, Kept& top, double* tm, double* elv,
                       double* azm) {
  // A side without a position tells nothing (no number).
  p.at(tm[1] - dir * kSec);
  const double eb = p.placed() ? p.el() : kNoPosition;  // before, in the search direction
  p.at(tm[1] + dir * kSec);
  const double ea = p.placed() ? p.el() : kNoPosition;  // after
  if (RelativeMode(d) || eb == ea) return;
  if (dir > 0) {
    if (eb < ea || std::isnan(eb) || std::isnan(ea))
      culminationScan(p, tm[1], std::fmin(tm[2], tm[1] + kMin), 1, top, tm, elv, azm);
    else
      culminationScan(p, std::fmax(tm[0], tm[1] - kMin), tm[1], 1, top, tm, elv, azm);
  } else {
    if (ea < eb)
      culminationScan(p, std::fmin(tm[0], tm[1] + kMin), tm[1], -1, top, tm, elv, azm);
    else
      culminationScan(p, tm[1], std::fmax(tm[2], tm[1] - kMin), -1, top, tm, elv, azm);
  }
}

}  // namespace

int nextpass(WinpData* d, int i, double t0, double tend, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  if (d->iridflg == 3) d->occra = 0.0;
  const bool coarse = !RelativeMode(d) && d->satel >= 0.0;

  Probe p(d, i);
  Sweep sw;
  sw.tmax = t0 - 1.0;
  double t = d->pasact ? gpassend(d, satpos, i, t0, tend) : t0;
  while (t <= tend) {
    if (sw.take(p, t, p.take(t), tm, elv, azm)) break;
    double step = kMin;
    if (coarse) {
      if (p.elBelow(-25.0)) step = kMedStep;
      if (p.sunHigh()) step = kLongStep;
    }
    t += step;
  }
  if (!sw.finish(p, tend, tm, elv, azm)) return 0;

  // tm[0] becomes the earliest accepted probe, tm[2] the first rejected one.
  int centre = sw.centre;
  if (tm[0] > t0) halve(p, 0, 1, tm, elv, azm, centre);
  if (tm[2] > t0 && tend > tm[2]) halve(p, 2, 0, tm, elv, azm, centre);
  p.settle(elv, azm);

  if (d->iridflg != 0) return GetIrid(d, i, centre, tm, elv, azm);

  if (tm[1] > tm[2]) {
    copyIndex(tm, elv, azm, 1, 2);
  } else if (tm[0] > tm[1]) {
    copyIndex(tm, elv, azm, 1, 0);
  } else {
    refineCulmination(d, p, 1, sw.max, tm, elv, azm);
  }
  return 1;
}

int lastpass(WinpData* d, int i, double t0, double tlow, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  const bool coarse = !RelativeMode(d) && d->satel >= 0.0;

  Probe p(d, i);
  Sweep sw;
  sw.tmax = t0 + 1.0;
  double t = d->pasact ? gpassbeg(d, satpos, i, t0, tlow) : t0;
  while (t >= tlow) {
    if (sw.take(p, t, p.take(t), tm, elv, azm)) break;
    t -= coarse && p.elBelow(-25.0) ? kMedStep : kMin;
  }
  if (!sw.finish(p, tlow, tm, elv, azm)) return 0;

  // Boundaries to the second, probing backwards from the rejected minute.
  if (t0 > tm[0]) probeBack(p, 0, 1, tm, elv, azm);
  if (t0 > tm[2] && tm[2] > tlow) probeBack(p, 2, 0, tm, elv, azm);
  p.settle(elv, azm);

  if (tm[2] > tm[1]) {
    copyIndex(tm, elv, azm, 1, 2);
  } else if (tm[1] > tm[0]) {
    copyIndex(tm, elv, azm, 1, 0);
  } else {
    refineCulmination(d, p, -1, sw.max, tm, elv, azm);
  }
  return 1;
}

LastSampleDeferral::LastSampleDeferral(WinpData* d, int i) : d_(d), i_(i), outer_(deferral) {
  deferral = this;
}

LastSampleDeferral::~LastSampleDeferral() {
  deferral = outer_;
  if (pending_) GetSatPos(t_, d_, sp_, i_, 0);
}

bool LastSampleDeferral::Defer(const WinpData* d, int i, SatPosData* sp, double t) {
  if (d != d_ || i != i_) return false;
  pending_ = true;
  sp_ = sp;
  t_ = t;
  return true;
}

void ADisDir(double lng1, double lat1, double lng2, double lat2, double& cosd, double& dir) {
  cosd = std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(lng2 - lng1);
  const double s2 = 1.0 - cosd * cosd;
  const double s = s2 > 0.0 ? std::sqrt(s2) : 0.0;
  const double q = std::cos(lat1) * s;
  if (std::fabs(q) <= 1e-40) {
    dir = 0.0;
    return;
  }
  double x = (std::sin(lat2) - std::sin(lat1) * cosd) / q;
  if (x > 1.0) x = 1.0;
  if (x < -1.0) x = -1.0;
  dir = std::acos(x) / kDeg;
  if (std::sin(lng2 - lng1) < 0.0) dir = 360.0 - dir;
}
