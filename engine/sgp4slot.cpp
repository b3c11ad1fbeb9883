// The SGP4 slot wrapper: one cached element record for the slot named in
// sgpsat, so that the thousands of calls of a pass search for one satellite
// cost one sgp4 call each.
#include "engine/sgp4slot.h"

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "orbit/sgp4unit.h"

thread_local elsetrec satrec;

namespace {

void substitute(Vec3& r, Vec3& v) {
  r = Vec3(SGP4FAIL_R, 0.0, 0.0);
  v = Vec3(0.0, SGP4FAIL_V, 0.0);
}

}  // namespace

bool Sgp4(WinpData* d, double dt, int i, Vec3& r, Vec3& v) {
  if (i < 0 || i >= NSLOTS) {
    substitute(r, v);
    return false;
  }
  const Sgp4Model model = Sgp4SlotModel(d, i);
  if (d->sgpsat != i) {
    const double in[] = {d->epoch[i], d->bstar[i], d->ecc[i], d->aper[i],
                         d->inc[i],   d->m0[i],    d->mnmot[i], d->ra[i]};
    for (double x : in)
      if (!std::isfinite(x)) {
        d->sgpsat = SGPSAT_NONE;
        substitute(r, v);
        return false;
      }
    const Sgp4Mean el{d->inc[i], d->ra[i], d->ecc[i], d->aper[i], d->m0[i], d->mnmot[i]};
    const int err = sgp4initMean(model, el, satrec);
    if (err != 0) {
      // A half-initialised record may divide by zero or, worse, return a
      // plausible-looking state: it is never propagated.
      d->sgpsat = SGPSAT_NONE;
      substitute(r, v);
      return false;
    }
    d->sgpsat = i;
  }
  double rr[3], vv[3];
  const int err = sgp4(model.grav, satrec, dt * 1440.0, rr, vv);
  if (err != 0 || !std::isfinite(rr[0] + rr[1] + rr[2] + vv[0] + vv[1] + vv[2])) {
    substitute(r, v);
    return false;
  }
  r = Vec3(rr[0], rr[1], rr[2]);
  v = Vec3(vv[0], vv[1], vv[2]);
  return true;
}

Sgp4Model Sgp4SlotModel(const WinpData* d, int i) {
  return Sgp4Model{d->wgs == 0 ? wgs72 : wgs84, d->sdp4, d->epoch[i], d->bstar[i]};
}

Mat3 Sgp4SlotFrame(WinpData* d, double t) {
  int day, month, year;
  double hour;
  caldat(t, day, month, year, hour);
  const double T = julcent(t + SetTtUt(d, year) / 86400.0);
  double eqeq = 0.0;
  const Mat3 n = nutmat(T, eqeq, d->IERSflg);
  return zrot(eqeq / kTimeSecPerRad) * n;  // eqeq: seconds of time
}
