// Pass search: the next or last pass of one satellite over the observer, and
// the great-circle helper of the transit texts.
#include "engine/passes.h"

#include <cmath>

#include "engine/satpos.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kRe = 6378.137;  // km

// Steps of the search, in days. The second is the rounded value the pass
// texts also use; the long step is a little over one hour on purpose.
constexpr double kMin = 1.0 / 1440.0;
constexpr double kSec = 1.157407407e-5;
constexpr double kHalfMin = 30.0 / 86400.0;
constexpr double kMedStep = 0.0069;     // while the satellite is 25 deg below
constexpr double kLongStep = 0.0416667;  // while the Sun is 15 deg above sunel
constexpr double kNoElev = -100.0;

bool Relative(const WinpData* d) {
  return d->rlm != 0 && d->satnr >= 2 && d->occflg == 0 && d->flarflg == 0;
}

// Samples slot i at t into the engine's record; 1 when the sample counts.
int Sample(WinpData* d, int i, double t) {
  GetSatPos(t, d, satpos, i, 0);
  return cksatok(d, satpos, i);
}

// The boundary values of the current sample: elevation and azimuth, or the
// sub-satellite latitude and longitude in relative mode.
void Boundary(const WinpData* d, int i, double& elv, double& azm) {
  if (Relative(d)) {
    elv = satpos->lat[i];
    azm = satpos->lng[i];
  } else {
    elv = satpos->el[i];
    azm = satpos->az[i];
  }
}

// Horizon angle (rad) of a satellite h km above the Earth.
double HorizonAngle(double h) {
  const double q = kRe + h > kRe ? kRe / (kRe + h) : 1.0;
  return std::acos(q);
}

// 1-s culmination scan from ts while t < te (forwards, dir 1) or t > te
// (backwards, dir -1): a sample above elv[1] becomes the culmination; the scan
// stops at the first sample below the best one it found.
void CulminationScan(WinpData* d, int i, double ts, double te, int dir, double* tm,
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

void CopyIndex(double* tm, double* elv, double* azm, int to, int from) {
  tm[to] = tm[from];
  elv[to] = elv[from];
  azm[to] = azm[from];
}

}  // namespace

int cksatok(WinpData* d, SatPosData* sp, int i) {
  if (Relative(d)) {
    const double h1 = HorizonAngle(sp->hgt[i]);
    const double h2 = HorizonAngle(sp->sunh[i]);
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

int nextpass(WinpData* d, int i, double t0, double tend, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  if (d->iridflg == 3) d->occra = 0.0;
  const bool rel = Relative(d);
  const bool coarse = !rel && d->satel >= 0.0;

  double tmax = t0 - 1.0;
  double t = d->pasact ? gpassend(d, satpos, i, t0, tend) : t0;
  double emax = kNoElev, amax = 0.0;
  int centre = 0;
  bool inpass = false, found = false, lastok = false;
  double lastelv = 0.0, lastazm = 0.0;

  while (t <= tend) {
    const int ok = Sample(d, i, t);
    lastok = ok != 0;
    const double el = satpos->el[i];
    if (ok) Boundary(d, i, lastelv, lastazm);
    if (!inpass && ok) {
      inpass = found = true;
      emax = el;
      amax = satpos->az[i];
      tmax = t;
      tm[0] = t;
      elv[0] = lastelv;
      azm[0] = lastazm;
      if (satpos->ctlat[i] < 100.0) centre = 1;
    } else if (inpass && ok) {
      if (satpos->ctlat[i] < 100.0) centre = 1;
      if (el > emax) {
        emax = el;
        amax = satpos->az[i];
        tmax = t;
      }
    } else if (inpass && !ok) {
      if (satpos->ctlat[i] < 100.0) centre = 1;
      tm[2] = t;
      Boundary(d, i, elv[2], azm[2]);
      break;
    }
    double step = kMin;
    if (coarse) {
      if (el < -25.0) step = kMedStep;
      if (d->sunel < satpos->sunelo - 15.0) step = kLongStep;
    }
    t += step;
  }
  if (!found) return 0;
  tm[1] = tmax;
  elv[1] = emax;
  azm[1] = amax;
  if (lastok) {
    // The pass runs past the end of the interval.
    tm[2] = tend;
    elv[2] = lastelv;
    azm[2] = lastazm;
  }

  // Start and end by interval halving: tm[0] becomes the earliest accepted
  // probe, tm[2] the first rejected one.
  if (tm[0] > t0) {
    double h = kHalfMin, tp = tm[0] - kHalfMin;
    for (int k = 0; k < 6; ++k) {
      const int ok = Sample(d, i, tp);
      h *= 0.5;
      if (ok) {
        tm[0] = tp;
        Boundary(d, i, elv[0], azm[0]);
        if (satpos->ctlat[i] < 100.0) centre = 1;
        tp -= h;
      } else {
        tp += h;
      }
    }
  }
  if (tm[2] > t0 && tend > tm[2]) {
    double h = kHalfMin, tp = tm[2] - kHalfMin;
    for (int k = 0; k < 6; ++k) {
      const int ok = Sample(d, i, tp);
      h *= 0.5;
      if (!ok) {
        tm[2] = tp;
        Boundary(d, i, elv[2], azm[2]);
        if (satpos->ctlat[i] < 100.0) centre = 1;
        tp -= h;
      } else {
        tp += h;
      }
    }
  }

  if (d->iridflg != 0) return GetIrid(d, i, centre, tm, elv, azm);

  if (tm[1] > tm[2]) {
    CopyIndex(tm, elv, azm, 1, 2);
    return 1;
  }
  if (tm[0] > tm[1]) {
    CopyIndex(tm, elv, azm, 1, 0);
    return 1;
  }
  GetSatPos(tm[1] - kSec, d, satpos, i, 0);
  const double e1 = satpos->el[i];
  GetSatPos(tm[1] + kSec, d, satpos, i, 0);
  const double e2 = satpos->el[i];
  if (rel || e1 == e2) return 1;
  if (e1 < e2 || std::isnan(e1) || std::isnan(e2)) {
    CulminationScan(d, i, tm[1], std::fmin(tm[2], tm[1] + kMin), 1, tm, elv, azm);
  } else {
    CulminationScan(d, i, std::fmax(tm[0], tm[1] - kMin), tm[1], 1, tm, elv, azm);
  }
  return 1;
}

int lastpass(WinpData* d, int i, double t0, double tlow, double* tm, double* elv, double* azm) {
  if (!d || i < 0 || i >= NSLOTS || !tm || !elv || !azm) return 0;
  const bool rel = Relative(d);
  const bool coarse = !rel && d->satel >= 0.0;

  double tmax = t0 + 1.0;
  double t = d->pasact ? gpassbeg(d, satpos, i, t0, tlow) : t0;
  double emax = kNoElev, amax = 0.0;
  bool inpass = false, found = false, lastok = false;
  double lastelv = 0.0, lastazm = 0.0;

  while (t >= tlow) {
    const int ok = Sample(d, i, t);
    lastok = ok != 0;
    const double el = satpos->el[i];
    if (ok) Boundary(d, i, lastelv, lastazm);
    if (!inpass && ok) {
      inpass = found = true;
      emax = el;
      amax = satpos->az[i];
      tmax = t;
      tm[0] = t;
      elv[0] = lastelv;
      azm[0] = lastazm;
    } else if (inpass && ok) {
      if (el > emax) {
        emax = el;
        amax = satpos->az[i];
        tmax = t;
      }
    } else if (inpass && !ok) {
      tm[2] = t;
      Boundary(d, i, elv[2], azm[2]);
      break;
    }
    t -= coarse && el < -25.0 ? kMedStep : kMin;
  }
  if (!found) return 0;
  tm[1] = tmax;
  elv[1] = emax;
  azm[1] = amax;
  if (lastok) {
    tm[2] = tlow;
    elv[2] = lastelv;
    azm[2] = lastazm;
  }

  // Boundaries to the second, probing backwards from the rejected minute.
  if (t0 > tm[0]) {
    for (int k = 0; k < 60; ++k) {
      const double tp = tm[0] + kMin - k * kSec;
      if (Sample(d, i, tp)) {
        tm[0] = tp;
        Boundary(d, i, elv[0], azm[0]);
        break;
      }
    }
  }
  if (t0 > tm[2] && tm[2] > tlow) {
    for (int k = 0; k < 60; ++k) {
      const double tp = tm[2] + kMin - k * kSec;
      if (!Sample(d, i, tp)) {
        tm[2] = tp;
        Boundary(d, i, elv[2], azm[2]);
        break;
      }
    }
  }

  if (tm[2] > tm[1]) {
    CopyIndex(tm, elv, azm, 1, 2);
    return 1;
  }
  if (tm[1] > tm[0]) {
    CopyIndex(tm, elv, azm, 1, 0);
    return 1;
  }
  GetSatPos(tm[1] + kSec, d, satpos, i, 0);
  const double ep = satpos->el[i];
  GetSatPos(tm[1] - kSec, d, satpos, i, 0);
  const double em = satpos->el[i];
  if (rel || ep == em) return 1;
  if (ep > em) {
    CulminationScan(d, i, std::fmin(tm[0], tm[1] + kMin), tm[1], -1, tm, elv, azm);
  } else {
    CulminationScan(d, i, tm[1], std::fmax(tm[2], tm[1] - kMin), -1, tm, elv, azm);
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
