// Pass search: the next or last pass of one satellite over the observer, and
// the great-circle helper of the transit texts.
#include "engine/passes.h"

#include <cmath>

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

// Samples slot i at t into the engine's record; 1 when the sample counts.
int sample(WinpData* d, int i, double t) {
  GetSatPos(t, d, satpos, i, 0);
  return cksatok(d, satpos, i);
}

// The boundary values of the current sample: elevation and azimuth, or the
// sub-satellite latitude and longitude in relative mode.
void boundary(const WinpData* d, int i, double& elv, double& azm) {
  if (RelativeMode(d)) {
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

// 1-s culmination scan from ts while t < te (forwards, dir 1) or t > te
// (backwards, dir -1): a sample above elv[1] becomes the culmination; the scan
// stops at the first sample below the best one it found.
void culminationScan(WinpData* d, int i, double ts, double te, int dir, double* tm,
                     double* elv, double* azm) {
  double best = kNoElev;
  for (double t = ts; dir > 0 ? t < te : t > te; t += dir * kSec) {
    GetSatPos(t, d, satpos, i, 0);
    const double e = satpos->el[i];
    if (e > elv[1]) {
      tm[1] = t;
      elv[1] = e;
      azm[1] = satpos->az[i];
      best = e;
    }
    if (e < best) break;
  }
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
    GetSatPos(tt, d, sp, i, 0);
    if (!cksatok(d, sp, i)) break;
    tt -= kMin;
    if (tt < tlow) break;
  }
  return tt;
}

double gpassend(WinpData* d, SatPosData* sp, int i, double t, double thigh) {
  double tt = t;
  for (;;) {
    GetSatPos(tt, d, sp, i, 0);
    if (!cksatok(d, sp, i)) break;
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
  bool inpass = false, found = false, lastok = false;
  double tmax = 0.0, emax = kNoElev, amax = 0.0;
  double lastelv = 0.0, lastazm = 0.0;
  int centre = 0;  // some sample had a centre line

  // Takes the sample at t; true when the pass ended there.
  bool take(WinpData* d, int i, double t, int ok, double* tm, double* elv, double* azm) {
    lastok = ok != 0;
    const double el = satpos->el[i];
    if (ok) boundary(d, i, lastelv, lastazm);
    if (!inpass && !ok) return false;
    if (satpos->ctlat[i] < 100.0) centre = 1;
    if (!ok) {
      tm[2] = t;
      boundary(d, i, elv[2], azm[2]);
      return true;
    }
    if (!inpass) {
      inpass = found = true;
      tm[0] = t;
      elv[0] = lastelv;
      azm[0] = lastazm;
    }
    if (el > emax) {
      emax = el;
      amax = satpos->az[i];
      tmax = t;
    }
    return false;
  }

  // Culmination of the sweep into index 1; a pass still accepted at the last
  // sample ends at tlimit. False when no pass was found.
  bool finish(double tlimit, double* tm, double* elv, double* azm) const {
    if (!found) return false;
    tm[1] = tmax;
    elv[1] = emax;
    azm[1] = amax;
    if (lastok) {
      tm[2] = tlimit;
      elv[2] = lastelv;
      azm[2] = lastazm;
    }
    return true;
  }
};

// Six halving probes from 30 s before boundary k: a probe whose acceptance is
// `keep` becomes the boundary and the next probe goes earlier, any other
// moves the next one later.
void halve(WinpData* d, int i, int k, int keep, double* tm, double* elv, double* azm,
           int& centre) {
  double h = kHalfMin, tp = tm[k] - kHalfMin;
  for (int n = 0; n < 6; ++n) {
    const int ok = sample(d, i, tp);
    h *= 0.5;
    if (ok == keep) {
      tm[k] = tp;
      boundary(d, i, elv[k], azm[k]);
      if (satpos->ctlat[i] < 100.0) centre = 1;
      tp -= h;
    } else {
      tp += h;
    }
  }
}

// 1-s probes backwards from a minute after boundary k: the first probe whose
// acceptance is `want` becomes the boundary.
void probeBack(WinpData* d, int i, int k, int want, double* tm, double* elv, double* azm) {
  const double start = tm[k] + kMin;
  for (int n = 0; n < 60; ++n) {
    const double tp = start - n * kSec;
    if (sample(d, i, tp) == want) {
      tm[k] = tp;
      boundary(d, i, elv[k], azm[k]);
      return;
    }
  }
}

// Culmination to the second around the minute sample tm[1]: scans in the
// direction in which the elevation rises. dir 1 for a forward search (tm[0]
// earlier than tm[2]), -1 for a backward one.
void refineCulmination(WinpData* d, int i, int dir, double* tm, double* elv, double* azm) {
  GetSatPos(tm[1] - dir * kSec, d, satpos, i, 0);
  const double eb = satpos->el[i];  // before, in the search direction
  GetSatPos(tm[1] + dir * kSec, d, satpos, i, 0);
  const double ea = satpos->el[i];  // after
  if (RelativeMode(d) || eb == ea) return;
  if (dir > 0) {
    if (eb < ea || std::isnan(eb) || std::isnan(ea))
      culminationScan(d, i, tm[1], std::fmin(tm[2], tm[1] + kMin), 1, tm, elv, azm);
    else
      culminationScan(d, i, std::fmax(tm[0], tm[1] - kMin), tm[1], 1, tm, elv, azm);
  } else {
    if (ea < eb)
      culminationScan(d, i, std::fmin(tm[0], tm[1] + kMin), tm[1], -1, tm, elv, azm);
    else
      culminationScan(d, i, tm[1], std::fmax(tm[2], tm[1] - kMin), -1, tm, elv, azm);
  }
}

}  // namespace

int nextpass(WinpData* d, int i, double t0, double tend, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  if (d->iridflg == 3) d->occra = 0.0;
  const bool coarse = !RelativeMode(d) && d->satel >= 0.0;

  Sweep sw;
  sw.tmax = t0 - 1.0;
  double t = d->pasact ? gpassend(d, satpos, i, t0, tend) : t0;
  while (t <= tend) {
    if (sw.take(d, i, t, sample(d, i, t), tm, elv, azm)) break;
    double step = kMin;
    if (coarse) {
      if (satpos->el[i] < -25.0) step = kMedStep;
      if (d->sunel < satpos->sunelo - 15.0) step = kLongStep;
    }
    t += step;
  }
  if (!sw.finish(tend, tm, elv, azm)) return 0;

  // tm[0] becomes the earliest accepted probe, tm[2] the first rejected one.
  int centre = sw.centre;
  if (tm[0] > t0) halve(d, i, 0, 1, tm, elv, azm, centre);
  if (tm[2] > t0 && tend > tm[2]) halve(d, i, 2, 0, tm, elv, azm, centre);

  if (d->iridflg != 0) return GetIrid(d, i, centre, tm, elv, azm);

  if (tm[1] > tm[2]) {
    copyIndex(tm, elv, azm, 1, 2);
  } else if (tm[0] > tm[1]) {
    copyIndex(tm, elv, azm, 1, 0);
  } else {
    refineCulmination(d, i, 1, tm, elv, azm);
  }
  return 1;
}

int lastpass(WinpData* d, int i, double t0, double tlow, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  const bool coarse = !RelativeMode(d) && d->satel >= 0.0;

  Sweep sw;
  sw.tmax = t0 + 1.0;
  double t = d->pasact ? gpassbeg(d, satpos, i, t0, tlow) : t0;
  while (t >= tlow) {
    if (sw.take(d, i, t, sample(d, i, t), tm, elv, azm)) break;
    t -= coarse && satpos->el[i] < -25.0 ? kMedStep : kMin;
  }
  if (!sw.finish(tlow, tm, elv, azm)) return 0;

  // Boundaries to the second, probing backwards from the rejected minute.
  if (t0 > tm[0]) probeBack(d, i, 0, 1, tm, elv, azm);
  if (t0 > tm[2] && tm[2] > tlow) probeBack(d, i, 2, 0, tm, elv, azm);

  if (tm[2] > tm[1]) {
    copyIndex(tm, elv, azm, 1, 2);
  } else if (tm[1] > tm[0]) {
    copyIndex(tm, elv, azm, 1, 0);
  } else {
    refineCulmination(d, i, -1, tm, elv, azm);
  }
  return 1;
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
