// Event refinement inside a found pass: the closest transit, occultation or
// flare centre line, or the brightest Iridium mirror flare.
#include <cmath>

#include "engine/passes.h"
#include "engine/satpos.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kMin = 1.0 / 1440.0;
constexpr double kSec = 1.157407407e-5;
constexpr double kTwoSec = 2.314814814e-5;
constexpr double kTenth = 1.157407407e-6;
constexpr double kMirrorYaw[IRID_NTRACK] = {0.0, -120.0, 120.0};
constexpr double kMirrorPitch = -40.0;

struct Trackers {
  int state[IRID_NTRACK];
  double tbest[IRID_NTRACK];
  double vbest[IRID_NTRACK];
  double elbest[IRID_NTRACK];
  double azbest[IRID_NTRACK];
};

// One sample of every active tracker at t: the single tracker 0, or the three
// Iridium mirrors, each with its yaw in occra.
void TrackStep(WinpData* d, int slot, bool single, double t, Trackers& k) {
  if (single) {
    CkIrid(t, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
    return;
  }
  d->occdec = kMirrorPitch;
  for (int m = 0; m < IRID_NTRACK; ++m) {
    d->occra = kMirrorYaw[m];
    CkIrid(t, d, slot, m, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
  }
}

// Tracker 0 armed and stepped each second from ts while t < te; stops when
// it loses the centre line.
void SecondScan(WinpData* d, int slot, double ts, double te, Trackers& k) {
  k.state[0] = 3;
  for (double t = ts; t < te && k.state[0] != 0; t += kSec)
    CkIrid(t, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
}

}  // namespace

void CkIrid(double t, WinpData* d, int slot, int k, int* state, double* tbest, double* vbest,
            double* elbest, double* azbest) {
  if (!d || k < 0 || k >= IRID_NTRACK || slot < 0 || slot >= NSLOTS) return;
  if (state[k] == 0) return;
  GetSatPos(t, d, satpos, slot, 0);
  const double v = satpos->mag;
  bool take = false;
  if (satpos->ctlat[slot] < 100.0) {
    if (state[k] == 2) {
      state[k] = 1;
      take = true;
    } else {
      if (state[k] == 3) state[k] = 1;
      take = v < vbest[k];
    }
  } else if (state[k] == 1) {
    state[k] = 0;
  }
  if (take) {
    tbest[k] = t;
    vbest[k] = v;
    elbest[k] = satpos->el[slot];
    azbest[k] = satpos->az[slot];
  }
}

int GetIrid(WinpData* d, int slot, int centreSeen, double* tm, double* elv, double* azm) {
  if (!d || slot < 0 || slot >= NSLOTS || !tm || !elv || !azm) return 2;
  const bool irid = d->iridflg == 3;
  const bool single = !irid || d->irsolw;
  Trackers k;
  for (int m = 0; m < IRID_NTRACK; ++m) {
    k.state[m] = 2;
    k.tbest[m] = tm[0];
    k.vbest[m] = IRID_NONE;
    k.elbest[m] = 0.0;
    k.azbest[m] = 0.0;
  }
  elv[0] = 100.0;
  if (!centreSeen) {
    if (!irid) return 2;
    k.state[0] = 0;
  }

  // Minute scan over the pass, then its end.
  for (double t = tm[0]; t < tm[2]; t += kMin) {
    TrackStep(d, slot, single, t, k);
    if (irid && !single && elv[0] > 99.0) elv[0] = satpos->lat[slot];
  }
  TrackStep(d, slot, single, tm[2], k);

  if (single) {
    if (k.vbest[0] >= IRID_NONE) return 2;
  } else {
    int win = -1;
    for (int m = 0; m < IRID_NTRACK; ++m)
      if (k.vbest[m] < IRID_NONE && (win < 0 || k.vbest[m] < k.vbest[win])) win = m;
    if (win < 0) return 2;
    d->occra = kMirrorYaw[win];
    k.tbest[0] = k.tbest[win];
    k.vbest[0] = k.vbest[win];
    k.elbest[0] = k.elbest[win];
    k.azbest[0] = k.azbest[win];
  }
  if (irid) {
    elv[2] = satpos->lat[slot];
    if (elv[0] > 99.0) {
      GetSatPos(k.tbest[0] - kSec, d, satpos, slot, 0);
      elv[0] = satpos->lat[slot];
    }
  }

  // To the second around the best minute.
  const double tb = k.tbest[0];
  if (tm[0] > tb - kSec) {
    SecondScan(d, slot, std::fmax(tm[0], tb), std::fmin(tm[2], tb - kSec + kMin), k);
  } else {
    const double vb = k.vbest[0];
    k.state[0] = 1;
    CkIrid(tb - kSec, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
    if (k.state[0] == 0 || !(k.vbest[0] < vb)) {
      SecondScan(d, slot, std::fmax(tm[0], tb + kTwoSec), std::fmin(tm[2], tb + kMin + kSec), k);
    } else {
      SecondScan(d, slot, std::fmax(tm[0], tb - kMin + 3.0 * kSec), std::fmin(tm[2], tb - kSec), k);
    }
  }

  if (irid ? k.vbest[0] > d->irmag : k.vbest[0] > d->mxdist) return 2;

  // To the tenth of a second.
  const double tb1 = k.tbest[0];
  k.state[0] = 3;
  for (int n = 1; n <= 9; ++n) {
    CkIrid(tb1 + n * kTenth, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
    CkIrid(tb1 - n * kTenth, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
  }
  tm[1] = k.tbest[0];
  elv[1] = k.elbest[0];
  azm[1] = k.azbest[0];
  const double best = k.vbest[0];
  if (irid || best >= 10.0) {
    azm[2] = best;
    return 1;
  }

  // A close transit: the perpendicular distance from the observer to the
  // centre line, from the centre-line points 0.1 s either side.
  GetSatPos(tm[1] + kTenth, d, satpos, slot, 0);
  const double c1lat = satpos->ctlat[slot], c1lng = satpos->ctlng[slot], d1 = satpos->mag;
  GetSatPos(tm[1] - kTenth, d, satpos, slot, 0);
  const double c0lat = satpos->ctlat[slot], c0lng = satpos->ctlng[slot], d0 = satpos->mag;
  azm[2] = best;
  if (c1lat >= 100.0 || c0lat >= 100.0) return 1;
  if (std::fabs(d->lat) < 80.0 && std::fabs(c1lng - d->lng) < 2.0 &&
      std::fabs(c0lng - d->lng) < 2.0 && std::fabs(c1lat - d->lat) < 1.0 &&
      std::fabs(c0lat - d->lat) < 1.0) {
    const double cl = std::cos(d->lat * kDeg);
    const double x1 = (c1lng - d->lng) * kDeg * cl, y1 = (c1lat - d->lat) * kDeg;
    const double x0 = (c0lng - d->lng) * kDeg * cl, y0 = (c0lat - d->lat) * kDeg;
    const double l2 = (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
    if (l2 > 1e-100)
      azm[2] = std::fabs(x1 * y0 - x0 * y1) / std::sqrt(l2) * (0.001 * d->height + 6378.14);
  } else {
    const double b2 = best * best;
    const double q = 8.0 * (d1 * d1 + d0 * d0 - 2.0 * b2);
    if (q > 1e-50) {
      const double dd = d1 * d1 - d0 * d0;
      const double m2 = b2 - dd * dd / q;
      if (m2 >= 0.0) azm[2] = std::sqrt(m2);
    }
  }
  return 1;
}
