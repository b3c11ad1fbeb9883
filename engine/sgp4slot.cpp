// The SGP4 slot wrapper: one cached element record for the slot named in
// sgpsat, so that the thousands of calls of a pass search for one satellite
// cost one sgp4 call each.
#include "engine/sgp4slot.h"

#include <cmath>

#include "orbit/sgp4unit.h"

elsetrec satrec;

namespace {

void substitute(Vec3& r, Vec3& v) {
  r = Vec3(SGP4FAIL_R, 0.0, 0.0);
  v = Vec3(0.0, SGP4FAIL_V, 0.0);
}

}  // namespace

void Sgp4(WinpData* d, double dt, int i, Vec3& r, Vec3& v) {
  if (i < 0 || i >= NSLOTS) {
    substitute(r, v);
    return;
  }
  const gravconsttype grav = d->wgs == 0 ? wgs72 : wgs84;
  if (d->sgpsat != i) {
    const double in[] = {d->epoch[i], d->bstar[i], d->ecc[i], d->aper[i],
                         d->inc[i],   d->m0[i],    d->mnmot[i], d->ra[i]};
    for (double x : in)
      if (!std::isfinite(x)) {
        d->sgpsat = SGPSAT_NONE;
        substitute(r, v);
        return;
      }
    const double deg = M_PI / 180.0;
    const double ecc = d->ecc[i] > 1e-8 ? d->ecc[i] : 1e-8;
    const double no = d->mnmot[i] == 0.0 ? 1.0 : 2.0 * M_PI * d->mnmot[i] / 1440.0;
    const int err = sgp4init(grav, d->sdp4, d->epoch[i] - 33281.0, d->bstar[i], ecc,
                             d->aper[i] * deg, d->inc[i] * deg, d->m0[i] * deg, no,
                             d->ra[i] * deg, satrec);
    if (err != 0) {
      // A half-initialised record may divide by zero or, worse, return a
      // plausible-looking state: it is never propagated.
      d->sgpsat = SGPSAT_NONE;
      substitute(r, v);
      return;
    }
    d->sgpsat = i;
  }
  double rr[3], vv[3];
  const int err = sgp4(grav, satrec, dt * 1440.0, rr, vv);
  if (err != 0 || !std::isfinite(rr[0] + rr[1] + rr[2] + vv[0] + vv[1] + vv[2])) {
    substitute(r, v);
    return;
  }
  r = Vec3(rr[0], rr[1], rr[2]);
  v = Vec3(vv[0], vv[1], vv[2]);
}
