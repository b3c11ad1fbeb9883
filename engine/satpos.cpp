// Satellite positions and observer geometry for one time (GetSatPos).
#include "engine/satpos.h"

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/sgp4slot.h"
#include "engine/stages.h"
#include "orbit/vorlixnum.h"

namespace {

constexpr double kAuEr = 23454.79106062;          // Earth radii per AU
constexpr double kClight = 299792.458;            // km/s
constexpr double kOmegaEarth = kTwoPi / 86164.09054;  // rad/s, sidereal rotation

// Sun, nutation and precession depend only on the time and on two settings.
// Keeping the last set makes the calls for several satellites at one time
// (plots, relative mode) pay for them once; the values are the same as if
// they were computed again.
struct TimeTerms {
  bool valid = false;
  double t = 0, ttut = 0;
  bool full = false;
  double yrepoch = 0;
  double T = 0, eqeq = 0;
  Mat3 n, p;
  Vec3 sun;
  bool moonok = false;
  Vec3 moon;
};
TimeTerms g_tt;

const TimeTerms& getTimeTerms(double t, WinpData* d, bool needmoon) {
  TimeTerms& c = g_tt;
  const bool full = d->IERSflg;
  int day, month, year;
  double hour;
  caldat(t, day, month, year, hour);
  const double ttut = SetTtUt(d, year);
  if (!(c.valid && c.t == t && c.ttut == ttut && c.full == full && c.yrepoch == d->yrepoch)) {
    c.valid = true;
    c.t = t;
    c.ttut = ttut;
    c.full = full;
    c.yrepoch = d->yrepoch;
    c.T = julcent(t + ttut / 86400.0);
    Sun200 sun200;
    Vec3 s = eclequ(c.T, sun200.position(c.T));
    c.n = nutmat(c.T, c.eqeq, full);
    s = mxvct(c.n, s);
    s = aberrat(c.T, s);
    c.sun = s * kAuEr;
    if (d->yrepoch != 0.0) c.p = pmatequ(c.T, (d->yrepoch - 2000.0) / 100.0);
    c.moonok = false;
  }
  if (needmoon && !c.moonok) {
    Moon200 moon200;
    c.moon = mxvct(c.n, eclequ(c.T, moon200.position(c.T)));
    c.moonok = true;
  }
  return c;
}

// Longitude (rad) reduced to -pi..pi from a value in about -3 pi..3 pi.
double reduceLng(double l) {
  if (l > kTwoPi) l -= kTwoPi;
  if (l < -kPi) l += kTwoPi;
  if (l > kPi) l -= kTwoPi;
  return l;
}

// Kepler orbit with secular J2 rates of node and perigee (slot elements, km, km/s,
// mean equator and equinox of date).
void keplerJ2(double t, WinpData* d, int i, Vec3& r, Vec3& v) {
  const double dt = t - d->epoch[i];
  const double e = d->ecc[i];
  const double inc = d->inc[i] * kDeg;
  if (e < 1.0) {
    const double n = kTwoPi * d->mnmot[i];
    double a = d->a[i];
    if (a < 1.0) a = 1.0;
    const double q = kReWgs84Km / a / (1.0 - e * e);
    const double k = kJ2x15 * q * q * n;
    const double si = std::sin(inc);
    const double node = d->ra[i] * kDeg - k * std::cos(inc) * dt;
    const double argp = d->aper[i] * kDeg + (2.0 - 2.5 * si * si) * k * dt;
    double nt = n + kTwoPi * d->ndot[i] * dt;
    if (d->n6dot[i] != 0.0) nt += kTwoPi * d->n6dot[i] * dt * dt;
    const double M = d->m0[i] * kDeg + nt * dt;
    double at = a + d->adot[i] * dt;
    if (at < 1.0) at = 1.0;
    const double E = eccanom(M, e);
    const double cE = std::cos(E), sE = std::sin(E);
    const double f = std::sqrt(1.0 - e * e);
    const double s = std::sqrt(kGmKm3Day2 / at);
    const double den = 1.0 - e * cE;
    Vec3 rp(at * (cE - e), at * f * sE, 0.0);
    Vec3 vp(-s * sE / den, s * f * cE / den, 0.0);
    Mat3 pqr = zrot(-node) * xrot(-inc) * zrot(-argp);
    r = mxvct(pqr, rp);
    v = mxvct(pqr, vp) / 86400.0;
  } else {
    const double q = d->mnmot[i];
    const double a = e > 1.0 ? q / (1.0 - e) : q;
    kepler(kGmKm3Day2, d->epoch[i], t, 0.0, a, e, d->ra[i], d->aper[i], d->inc[i], r, v);
    v = v / 86400.0;
  }
}

// Relative mode: the next selected satellite (slot j) takes the observer's
// place for one call. What it changes (the observer, slot j's sub-point and
// height in sp) is put back when the call ends.
struct RelativeView {
  bool on = false;
  int j = 0;
  double olat = 0, olng = 0, ohgt = 0, jlat = 0, jlng = 0, jhgt = 0;
};

RelativeView enterRelative(double t, WinpData* d, SatPosData* sp, int i) {
  RelativeView rv;
  rv.on = RelativeMode(d) && i == d->prs;
  if (!rv.on) return rv;
  rv.j = d->satnr > i + 1 ? i + 1 : 0;
  const int j = rv.j;
  rv.olat = d->lat;
  rv.olng = d->lng;
  rv.ohgt = d->height;
  rv.jlat = sp->lat[j];
  rv.jlng = sp->lng[j];
  rv.jhgt = sp->hgt[j];
  GetSatPos(t, d, sp, j, 0);
  d->lat = sp->lat[j];
  d->lng = sp->lng[j];
  d->height = 1000.0 * sp->hgt[j];
  sp->rsun1 = sp->sunh[j];
  return rv;
}

// Slot i shows where the observing satellite is; the range rate becomes the
// rate of the distance between the two satellites.
void leaveRelative(WinpData* d, SatPosData* sp, int i, const RelativeView& rv, const Vec3& r,
                   const Vec3& v) {
  const int j = rv.j;
  sp->rsun0 = sp->sunh[i];
  sp->ra[i] = sp->lat[j];
  sp->dec[i] = sp->lng[j];
  sp->sunh[i] = sp->hgt[j];
  sp->lat[j] = rv.jlat;
  sp->lng[j] = rv.jlng;
  sp->hgt[j] = rv.jhgt;
  d->lat = rv.olat;
  d->lng = rv.olng;
  d->height = rv.ohgt;
  const Vec3 ur = vnorm(r - sp->rsat);
  sp->rate[i] = dot(v, ur) - dot(sp->vsat, ur);
}

// A state that places the satellite somewhere: finite, and within a distance
// at which the geometry still means something (squares must not overflow).
bool usableState(const Vec3& r, const Vec3& v) {
  constexpr double kFar = 1e12;  // km, some 6700 AU
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z) && std::isfinite(v.x) &&
         std::isfinite(v.y) && std::isfinite(v.z) && std::fabs(r.x) < kFar &&
         std::fabs(r.y) < kFar && std::fabs(r.z) < kFar;
}

// The state of slot i at t (km, km/s) in the true equator and equinox of
// date from its model: numerical, SGP4/SDP4 or Kepler with J2 rates. An
// analytic state is also stored as the slot's integrated state. A model that
// gives no state at t puts the satellite at the failure state of SGP4, below
// every horizon; the result says so.
int propagate(double t, WinpData* d, int i, const TimeTerms& tt, const SatPosStage& st, Vec3& r,
              Vec3& v) {
  if (d->nmflg[i]) {
    const int res = NumProp(t, d, i, st.sun, st.moon, r, v);
    // Stopped short of t, or nothing to integrate: the slot keeps its last
    // good state, but that is not where the satellite is now.
    const bool reached = res == NUMPROP_OK || res == NUMPROP_DECAYED;
    if (!reached || !usableState(r, v)) {
      r = Vec3(SGP4FAIL_R, 0.0, 0.0);
      v = Vec3(0.0, SGP4FAIL_V, 0.0);
    }
    r = mxvct(tt.n, r);
    v = mxvct(tt.n, v);
    if (!reached) return SATPOS_NOSTATE;
    return res == NUMPROP_DECAYED ? SATPOS_DECAYED : SATPOS_OK;
  }
  // The slot keeps its state in the mean equator and equinox of date, as
  // the integrator does, whatever model gave it.
  Vec3 rm, vm;
  bool ok;
  if (d->sgpflg[i]) {
    // SGP4 delivers the true equator with the mean equinox: one rotation by
    // the equation of the equinoxes gives true of date (no further nutation).
    ok = Sgp4(d, t - d->epoch[i], i, r, v);
    const Mat3 ee = zrot(-tt.eqeq / kTimeSecPerRad);
    r = mxvct(ee, r);
    v = mxvct(ee, v);
    const Mat3 nt = mxtrn(tt.n);
    rm = mxvct(nt, r);
    vm = mxvct(nt, v);
  } else {
    keplerJ2(t, d, i, rm, vm);
    // Elements beyond what the model can compute must not leave a
    // non-finite (or boundless) position in the slot.
    ok = usableState(rm, vm);
    if (!ok) {
      rm = Vec3(SGP4FAIL_R, 0.0, 0.0);
      vm = Vec3(0.0, SGP4FAIL_V, 0.0);
    }
    r = mxvct(tt.n, rm);
    v = mxvct(tt.n, vm);
  }
  // A switch to numerical propagation continues from this state.
  d->irx[i] = 1000.0 * rm.x;
  d->iry[i] = 1000.0 * rm.y;
  d->irz[i] = 1000.0 * rm.z;
  d->ivx[i] = 1000.0 * vm.x;
  d->ivy[i] = 1000.0 * vm.y;
  d->ivz[i] = 1000.0 * vm.z;
  d->tint[i] = t;
  d->mdist = 0.0;
  return ok ? SATPOS_OK : SATPOS_NOSTATE;
}

// Topocentric R.A. and Dec. (mean equator of yrepoch) and range rate.
void topocentric(const WinpData* d, SatPosData* sp, int i, const SatPosStage& st) {
  // Velocity of the observer carried round by the Earth's rotation, omega x o
  // of the observer's true place on the ellipsoid: with it the range rate is
  // exactly the rate of the Earth-fixed distance. A sphere of radius R + h at
  // the geocentric latitude is off by ~8 km in distance from the axis at
  // mid-latitudes, ~6e-4 km/s in the range rate.
  const Vec3 w(-kOmegaEarth * st.o.y, kOmegaEarth * st.o.x, 0.0);
  Vec3 dv = st.r - st.o;
  const Vec3 u = vnorm(dv);
  if (d->IERSflg) dv = dv - st.v * (abs(dv) / kClight);
  if (d->yrepoch != 0.0) dv = mxvct(st.q, dv);
  const Vec3 pol = carpol(dv);
  double alpha = pol.y;
  if (alpha < 0.0) alpha += kTwoPi;
  sp->ra[i] = DegFDms(12.0 * alpha / kPi);
  sp->dec[i] = DegFDms(pol.z / kDeg);
  sp->rate[i] = dot(st.v, u) - dot(w, u);
}

// The point below the Sun; gast: Greenwich apparent sidereal time (rad).
void subSolarPoint(SatPosData* sp, const Vec3& sun, double gast) {
  const Vec3 ps = carpol(sun);
  const double ds = ps.z;
  sp->sslng = reduceLng(ps.y - gast) / kDeg;
  sp->sslat = (std::fabs(ds) < 1.53589 ? std::atan(std::tan(ds) * 1.00674) : ds) / kDeg;
}

// Beta angle (deg): the Sun above the orbit plane.
double betaAngle(const Vec3& r, const Vec3& v, const Vec3& sun) {
  double b = dot(vnorm(vnorm(r) * vnorm(v)), vnorm(sun));
  if (b > 1.0) b = 1.0;
  if (b < -1.0) b = -1.0;
  return std::asin(b) / kDeg;
}

// Earth-fixed position and the geodetic sub-satellite point on the WGS-84
// ellipsoid: lat, lng (rad) and hgt (km) of slot i. Returns the geocentric
// latitude (rad).
double subSatellitePoint(const WinpData* d, SatPosData* sp, int i, const Vec3& r, double gast) {
  Vec3 e = mxvct(zrot(gast), r);
  if (d->IERSxp != 0.0 || d->IERSyp != 0.0) e = mxvct(PoleMx(d->IERSxp, d->IERSyp), e);
  const Vec3 pol = carpol(e);
  const double latgc = pol.z;
  sp->lat[i] = latgc;
  sp->lng[i] = reduceLng(pol.y);
  if (!(pol.x > 0.1)) {
    sp->hgt[i] = 0.0;
    return latgc;
  }
  const double rho2 = e.x * e.x + e.y * e.y;
  const double rho = std::sqrt(rho2);
  double dz = kE2Wgs84 * e.z;
  double nn = kReWgs84Km;
  for (int k = 0; k < 4; k++) {
    const double zz = e.z + dz;
    const double root = std::sqrt(rho2 + zz * zz);
    const double s = root < 1e-5 ? std::sin(latgc) : zz / root;
    nn = kReWgs84Km / std::sqrt(1.0 - kE2Wgs84 * s * s);
    dz = nn * kE2Wgs84 * s;
  }
  sp->lat[i] = std::atan2(e.z + dz, rho);
  sp->hgt[i] = std::sqrt(rho2 + (e.z + dz) * (e.z + dz)) - nn;
  return latgc;
}

// The Sun at the observer (phi, lam in rad) and the Sun (and Moon) above the
// satellite's horizon, which lies below its local horizontal by the dip.
// Angles in radians.
void sunAndMoon(const WinpData* d, SatPosData* sp, int i, const SatPosStage& st, double phi,
                double lam) {
  double saz, sel, sdist;
  AppPos(st.t1, st.eqeq, phi, lam, d->height, 1, st.sun, saz, sel, sdist);
  sp->sunelo = sel / kDeg;
  sp->sunazo = saz;
  const double h = sp->hgt[i] > 0.0 ? 1000.0 * sp->hgt[i] : 0.0;
  const double rr = abs(st.r);
  const double dip = rr > kReWgs84Km ? kPi / 2.0 - std::asin(kReWgs84Km / rr) : 0.0;
  AppPos(st.t1, st.eqeq, sp->lat[i], sp->lng[i], h, 1, st.sun, saz, sel, sdist);
  sp->ssaz[i] = saz;
  sp->sunh[i] = sel + dip;
  if (d->moonflg) {
    AppPos(st.t1, st.eqeq, sp->lat[i], sp->lng[i], h, 1, st.moon, saz, sel, sdist);
    sp->moonh[i] = sel + dip;
  }
}

}  // namespace

int GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag) {
  if (i < 0 || i >= NSLOTS) return SATPOS_NOSTATE;
  const RelativeView rv = enterRelative(t, d, sp, i);

  // Time, Sun, nutation, Moon and precession; Earth rotation runs on UT1
  // when the IERS values are given.
  const bool needmoon = d->moonflg || d->occflg == 2 || d->eclflg || d->nmflg[i];
  const TimeTerms& tt = getTimeTerms(t, d, needmoon);
  SatPosStage st;
  st.t1 = d->IERSflg ? t + d->Ut1Utc / 86400.0 : t;
  st.eqeq = tt.eqeq;
  st.sun = tt.sun;
  st.moon = needmoon ? tt.moon : Vec3();
  st.dim = 0.0;
  st.md = 99.0;
  st.ms = -30.0;  // no Moon-lit source unless the magnitude stage finds one

  Vec3 r, v;
  const int status = propagate(t, d, i, tt, st, r, v);
  if (d->yrepoch != 0.0) st.q = tt.p * mxtrn(tt.n);
  if (!rv.on) {
    sp->rsat = r;
    sp->vsat = v;
  }
  st.r = r;
  st.v = v;

  const double phi = d->lat * kDeg;
  const double lam = d->lng * kDeg;
  st.o = kReWgs84Km * GeoPos(st.t1, st.eqeq, phi, lam, d->height, d->IERSxp, d->IERSyp);
  topocentric(d, sp, i, st);
  const double gast = lsidtim(st.t1, 0.0, st.eqeq) * kPi / 12.0;
  subSolarPoint(sp, st.sun, gast);

  // Azimuth, elevation and range (radians and Earth radii until the Sun and
  // Moon are placed).
  double az, el, rng;
  AppPos(st.t1, st.eqeq, phi, lam, d->height, 1, r / kReWgs84Km, az, el, rng);
  sp->az[i] = az;
  sp->el[i] = el;
  sp->rng[i] = rng;
  sp->beta[i] = betaAngle(r, v, st.sun);
  if (d->eclflg && i == d->prs) st.dim = SatSunEclipse(d, r / kReWgs84Km, st.sun, st.moon);
  st.latgc = subSatellitePoint(d, sp, i, r, gast);
  sunAndMoon(d, sp, i, st, phi, lam);
  sp->rng[i] *= kReWgs84Km;
  if (sp->az[i] < 0.0) sp->az[i] += kTwoPi;
  sp->az[i] /= kDeg;
  sp->el[i] /= kDeg;

  if (d->chlen > 0.0 && i == d->prs) SatMagnitude(d, sp, i, st);

  // Degrees from here on; then footprint, transit centre line, flare stages.
  sp->lat[i] /= kDeg;
  sp->lng[i] /= kDeg;
  sp->sunh[i] /= kDeg;
  if (d->moonflg) sp->moonh[i] /= kDeg;
  SatLateStages(d, sp, i, flag, st);

  if (rv.on) leaveRelative(d, sp, i, rv, r, v);
  return status;
}
