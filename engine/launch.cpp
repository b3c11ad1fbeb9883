// Launch orbits from a launch site and impulsive velocity changes of the
// prime satellite.
#include "engine/launch.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/satpos.h"
#include "engine/sgp4slot.h"
#include "engine/tle.h"
#include "orbit/sgp4fit.h"

namespace {

constexpr double kMaxAscent = 12.0;           // min, cap of the ascent time for node and M

bool finite(std::initializer_list<double> xs) {
  for (double x : xs)
    if (!std::isfinite(x)) return false;
  return true;
}

// Angle in degrees into [0, 360).
double wrap360(double x) {
  x = std::fmod(x, 360.0);
  if (x < 0.0) x += 360.0;
  return x < 360.0 ? x : 0.0;
}

bool slotFinite(const WinpData* d, int s) {
  return finite({d->epoch[s], d->a[s], d->ra[s], d->aper[s], d->inc[s], d->ecc[s], d->m0[s],
                 d->mnmot[s], d->rx[s], d->ry[s], d->rz[s], d->vx[s], d->vy[s], d->vz[s],
                 d->irx[s], d->iry[s], d->irz[s], d->ivx[s], d->ivy[s], d->ivz[s], d->tint[s]});
}

Vec3 intPos(const WinpData* d, int s) { return Vec3(d->irx[s], d->iry[s], d->irz[s]); }
Vec3 intVel(const WinpData* d, int s) { return Vec3(d->ivx[s], d->ivy[s], d->ivz[s]); }

void setAngles(WinpData* d, int s, double inc, double node, double ecc, double argp, double m) {
  d->inc[s] = inc;
  d->ra[s] = node;
  d->ecc[s] = ecc;
  d->aper[s] = argp;
  d->m0[s] = m;
}

// Mean elements of an SGP4 slot from a state in the SGP4 frame (m, m/s) at
// the slot's epoch: elements the slot's own model turns back into the state.
// Should the refinement not converge, rv2el's fit is kept (it starts some
// decimetres away near the Earth, kilometres in deep space).
bool fitSgp4(WinpData* d, int s, const Vec3& r, const Vec3& v) {
  Sgp4Mean el;
  const int res = sgp4fit(Sgp4SlotModel(d, s), r, v, el);
  if (res != RV2EL_OK && res != SGP4FIT_NOTCONVERGED) return false;
  setAngles(d, s, el.incl, el.node, el.ecc, el.argp, el.M);
  d->mnmot[s] = el.n;
  d->a[s] = getsax(1, el.n, el.ecc, el.incl);
  return true;
}

// Mean motion (rev/day) of a Kepler slot with semi-major axis a (km): the n
// from which getsax derives a, as it does for every Kepler slot read. getn0
// alone inverts getsax only to first order in J2 (about 1e-6 relative, some
// metres per revolution), so its value is refined.
double keplerMeanMotion(double a, double e, double i) {
  double n = getn0(a, e, i);
  for (int it = 0; it < 8; ++it) {
    const double next = n * std::pow(getsax(0, n, e, i) / a, 1.5);
    if (!std::isfinite(next) || !(next > 0.0)) break;
    const bool done = std::fabs(next - n) <= 1e-15 * n;
    n = next;
    if (done) break;
  }
  return n;
}

// J2 regression rate of the node (rad/day) of an orbit with a (km), e, n
// (rev/day) and i (deg).
double nodeRate(double a, double e, double n, double i) {
  const double p = std::max(a, 1.0) * (e < 1.0 ? 1.0 - e * e : 1.0 - 0.9999 * 0.9999);
  const double g = kReWgs84Km / p;
  return -kJ2x15 * g * g * kTwoPi * n * std::cos(i * kDeg);
}

// Right ascension of the launched orbit's node (deg, 0..360) for the launch
// at epoch: the local sidereal time of the node longitude lambda0 (deg) part
// of the way through the ascent.
double launchNode(const WinpData* d, double epoch, double lambda0) {
  const double asc = std::min(d->tmeco, kMaxAscent);
  return wrap360(15.0 * lsidtim(epoch + 0.45 * asc / 1440.0, lambda0, 0.0));
}

int launchOrbCore(WinpData* d, bool* incRaised) {
  if (!HasPrimeSlot(d)) return ORBIT_BADINPUT;
  const int s = d->prs;
  if (!finite({d->curmjd, d->lslat, d->lslng, d->tmeco, d->inc[s], d->ecc[s], d->mnmot[s],
               d->a[s]}) ||
      std::fabs(d->lslat) > 90.0 || d->ecc[s] < 0.0)
    return ORBIT_BADINPUT;
  // An open orbit's mean-motion field holds its perigee distance: the ascent
  // would be timed with kilometres taken for revolutions per day.
  if (!(d->ecc[s] < 1.0)) return ORBIT_OPEN;
  const bool rendezvous = d->rndflg >= 0;
  const int k = d->rndsat;
  if (rendezvous && (k < 0 || k >= NSLOTS || !finite({d->rndtm, d->epoch[k], d->a[k], d->ra[k],
                                                      d->inc[k], d->ecc[k], d->mnmot[k]})))
    return ORBIT_BADINPUT;

  // 1.-2. Epoch and the site's geocentric latitude.
  d->epoch[s] = d->curmjd;
  const int nmflg = d->nmflg[s];
  d->nmflg[s] = 0;
  double phi = d->lslat * kDeg;
  if (std::fabs(phi) < 1.396) phi = std::atan(std::tan(phi) / 1.00674);

  // 3. A site cannot launch directly into an orbit that never reaches its
  // latitude: the inclination is raised to it (the site is then near the
  // orbit's highest point, launch due east or west).
  double inc = d->inc[s] * kDeg;
  const double lat = std::fabs(d->lslat) * kDeg;
  if (std::sin(inc) < std::sin(lat)) {
    inc = std::cos(inc) >= 0.0 ? lat : kPi - lat;
    d->inc[s] = inc / kDeg;
    d->a[s] = getsax(d->sgpflg[s], d->mnmot[s], d->ecc[s], d->inc[s]);
    if (incRaised) *incRaised = true;
  }
  double si = std::sin(inc), cphi = std::cos(phi);
  if (si == 0.0) si = 1e-5;
  if (cphi == 0.0) cphi = 1e-5;

  // 4.-6. Argument of latitude at the site, azimuth, node longitude.
  double u0 = std::asin(std::clamp(std::sin(phi) / si, -1.0, 1.0));
  if (d->lsouth) u0 = kPi - u0;
  const double cdl = std::clamp(std::cos(u0) / cphi, -1.0, 1.0);
  const double sa = std::cos(inc) / cphi;
  d->lazim = std::atan2(sa, si * cdl) / kDeg;
  double dl = std::acos(cdl);
  if (sa * d->lslat < 0.0) dl = -dl;
  const double lambda0 = d->lslng - dl / kDeg;

  // 7. Node.
  d->ra[s] = launchNode(d, d->epoch[s], lambda0);

  // 8.-9. The satellite reaches M = 0 at the end of the ascent; the perigee is
  // placed part of the way downrange.
  const double e = d->ecc[s];
  const double m0full = -360.0 * d->mnmot[s] * d->tmeco / 1440.0;
  d->m0[s] = wrap360(-360.0 * d->mnmot[s] * std::min(d->tmeco, kMaxAscent) / 1440.0);
  const double mp = -0.45 * m0full * kDeg;
  const double nu = mp + (2.0 - e * e / 4.0) * e * std::sin(mp) + 1.25 * e * e * std::sin(2.0 * mp) +
                    1.08333 * e * e * e * std::sin(3.0 * mp);
  d->aper[s] = wrap360((u0 + nu) / kDeg);

  // 10. Rendezvous: launch when the orbit plane, drifting with its own J2
  // rate, will coincide with the target's plane at the close approach rndtm
  // days after launch. Waiting dt days moves the launch node by the Earth's
  // rotation and the target's node by its own rate; solved by Newton steps on
  // the exact node of step 7.
  bool reset = false;
  if (rendezvous) {
    const double rk = nodeRate(d->a[k], d->ecc[k], d->mnmot[k], d->inc[k]);
    const double rs = nodeRate(d->a[s], e, d->mnmot[s], d->inc[s]);
    const double omega = kTwoPi * 1.00273790935;  // rad/day, the node's rate in launch time
    const double t0 = d->epoch[s];
    double dt = 0.0;  // launch time - t0 (days)
    for (int it = 0; it < 6; ++it) {
      const double t = t0 + dt;
      const double mine = launchNode(d, t, lambda0) * kDeg + rs * d->rndtm;
      const double theirs = d->ra[k] * kDeg + rk * (t + d->rndtm - d->epoch[k]);
      const double x = mine - theirs;
      const double dx = std::atan2(std::sin(x), std::cos(x));
      dt -= dx / (omega - rk);
      if (std::fabs(dx) < 1e-12) break;
    }
    d->epoch[s] = t0 + dt;
    d->ra[s] = launchNode(d, d->epoch[s], lambda0);
    d->curmjd = d->epoch[s];
    reset = true;
    // A target that has decayed or lost its position by then cannot be met.
    // Asked on copies, so that the target's integrated state and the
    // positions shown stay as they are; the SGP4 record then holds the
    // target.
    const auto probe = std::make_unique<WinpData>(*d);
    const auto sp = satpos ? std::make_unique<SatPosData>(*satpos) : std::make_unique<SatPosData>();
    const int st = GetSatPos(d->epoch[s] + d->rndtm, probe.get(), sp.get(), k, 0);
    d->sgpsat = SGPSAT_NONE;
    if (st == SATPOS_NOSTATE || st == SATPOS_DECAYED) return ORBIT_NOTARGET;
  }

  // 11. SGP4 slot: mean elements fitted to the launched Kepler state.
  if (d->sgpflg[s]) {
    d->sgpflg[s] = 0;
    EpochState(d, s, reset);
    const Mat3 q = Sgp4SlotFrame(d, d->epoch[s]);
    if (!fitSgp4(d, s, mxvct(q, intPos(d, s)), mxvct(q, intVel(d, s)))) return ORBIT_BADINPUT;
    d->sgpflg[s] = 1;
  }

  // 12. State at epoch.
  d->sgpsat = SGPSAT_NONE;
  EpochState(d, s, reset);
  d->nmflg[s] = nmflg;
  return slotFinite(d, s) ? 0 : ORBIT_BADINPUT;
}

int exDeltaVCore(WinpData* d, double dv, double yaw, double pitch, double* perigeeHeight) {
  if (!HasPrimeSlot(d)) return ORBIT_BADINPUT;
  const int s = d->prs;
  if (!finite({dv, yaw, pitch, d->curmjd}) || !slotFinite(d, s)) return ORBIT_BADINPUT;

  // 1. The slot's state at t as its own model gives it.
  const double t = d->curmjd;
  d->sgpsat = SGPSAT_NONE;
  GetSatPos(t, d, satpos, s, 0);
  if (d->tint[s] != t) return ORBIT_BADINPUT;  // the integration stopped short
  const Vec3 r = intPos(d, s);
  Vec3 v = intVel(d, s);
  // (A failed SGP4 propagation gives a point 100 km from the centre.)
  if (!finite({r.x, r.y, r.z, v.x, v.y, v.z}) || !(abs(r) >= kReWgs72M) || !(abs(v) > 0.0))
    return ORBIT_BADINPUT;

  // 2.-3. The impulse: along the velocity, or turned by yaw and pitch.
  Vec3 dV;
  if (yaw != 0.0 || pitch != 0.0) {
    dV = mxvct(mxtrn(GetRVMat(r, v, yaw, pitch, 1)), Vec3(dv, 0.0, 0.0));
  } else {
    dV = v * (dv / abs(v));
  }
  v += dV;
  d->ivx[s] = v.x;
  d->ivy[s] = v.y;
  d->ivz[s] = v.z;
  d->tint[s] = t;
  d->rx[s] = r.x;
  d->ry[s] = r.y;
  d->rz[s] = r.z;
  d->vx[s] = v.x;
  d->vy[s] = v.y;
  d->vz[s] = v.z;

  // 4. Osculating elements.
  double tp, m0, a, ecc, ra, aper, inc;
  oscelm(kGmKm3Day2, t, r / 1000.0, v * 86.4, tp, m0, a, ecc, ra, aper, inc);
  if (!finite({tp, m0, a, ecc, ra, aper, inc})) return ORBIT_BADINPUT;
  d->epoch[s] = t;
  d->a[s] = a;
  setAngles(d, s, inc, ra, ecc, aper, m0);

  int result = 0;
  if (ecc >= 1.0) {
    // 5. Parabola or hyperbola: a Kepler slot from its pericentre.
    d->sgpflg[s] = 0;
    if (!d->nmflg[s]) d->epoch[s] = tp;  // the Kepler model counts from the pericentre
    d->mnmot[s] = ecc == 1.0 ? a : (1.0 - ecc) * a;
    result = 1;
  } else if (d->sgpflg[s]) {
    // 6. SGP4 slot: mean elements of the new state in the model's frame.
    const Mat3 q = Sgp4SlotFrame(d, t);
    if (!fitSgp4(d, s, mxvct(q, r), mxvct(q, v))) return ORBIT_BADINPUT;
  } else {
    // 7. Kepler slot.
    d->mnmot[s] = keplerMeanMotion(a, ecc, inc);
  }
  d->sgpsat = SGPSAT_NONE;
  if (!slotFinite(d, s)) return ORBIT_BADINPUT;
  // The orbit editor's rule: no orbit whose perigee lies under the ground. An
  // SGP4 slot with such mean elements would have no position at any time,
  // not even at the burn.
  const double h = PerigeeHeight(d, s);
  if (h < 0.0) {
    if (perigeeHeight) *perigeeHeight = h;
    return ORBIT_BELOWSURFACE;
  }
  return result;
}

// Runs op on d and puts the record back as it was when op fails (any
// negative result).
template <typename Op>
int guarded(WinpData* d, Op op) {
  if (!d) return ORBIT_BADINPUT;
  const auto saved = std::make_unique<WinpData>(*d);
  const int res = op(d);
  if (res < 0) {
    *d = *saved;
    d->sgpsat = SGPSAT_NONE;  // the SGP4 record may hold something else now
  }
  return res;
}

}  // namespace

double PerigeeHeight(const WinpData* d, int s) {
  const double q = d->ecc[s] < 1.0 ? (1.0 - d->ecc[s]) * d->a[s] : d->mnmot[s];
  return q - kReIau1976Km;
}

int LaunchOrb(WinpData* d, bool* incRaised) {
  bool raised = false;
  const int res = guarded(d, [&](WinpData* w) { return launchOrbCore(w, &raised); });
  if (incRaised) *incRaised = res >= 0 && raised;
  return res;
}

int ExDeltaV(WinpData* d, double dv, double yaw, double pitch, double* perigeeHeight) {
  return guarded(d,
                 [&](WinpData* w) { return exDeltaVCore(w, dv, yaw, pitch, perigeeHeight); });
}
