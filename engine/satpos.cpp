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

const TimeTerms& GetTimeTerms(double t, WinpData* d, bool needmoon) {
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
double ReduceLng(double l) {
  if (l > kTwoPi) l -= kTwoPi;
  if (l < -kPi) l += kTwoPi;
  if (l > kPi) l -= kTwoPi;
  return l;
}

// Kepler orbit with secular J2 rates of node and perigee (slot elements, km, km/s,
// mean equator and equinox of date).
void KeplerJ2(double t, WinpData* d, int i, Vec3& r, Vec3& v) {
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

}  // namespace

void GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag) {
  if (i < 0 || i >= NSLOTS) return;

  // 1. Earth rotation runs on UT1 when the IERS values are given.
  const double t1 = d->IERSflg ? t + d->Ut1Utc / 86400.0 : t;

  // 2. Relative mode: the next selected satellite observes the current one.
  const bool relative = RelativeMode(d) && i == d->prs;
  int j = 0;
  double olat = 0, olng = 0, ohgt = 0, jlat = 0, jlng = 0, jhgt = 0;
  if (relative) {
    j = d->satnr > i + 1 ? i + 1 : 0;
    olat = d->lat;
    olng = d->lng;
    ohgt = d->height;
    jlat = sp->lat[j];
    jlng = sp->lng[j];
    jhgt = sp->hgt[j];
    GetSatPos(t, d, sp, j, 0);
    d->lat = sp->lat[j];
    d->lng = sp->lng[j];
    d->height = 1000.0 * sp->hgt[j];
    sp->rsun1 = sp->sunh[j];
  }

  // 3.-6. Time, Sun, nutation, Moon, precession.
  const bool needmoon = d->moonflg || d->occflg == 2 || d->eclflg || d->nmflg[i];
  const TimeTerms& tt = GetTimeTerms(t, d, needmoon);
  SatPosStage st;
  st.t1 = t1;
  st.eqeq = tt.eqeq;
  st.sun = tt.sun;
  st.moon = needmoon ? tt.moon : Vec3();
  st.dim = 0.0;
  st.md = 99.0;
  st.ms = -30.0;  // no Moon-lit source unless the magnitude stage finds one
  const double eqeq = tt.eqeq;

  // 7.-9. Propagation, brought to the true equator and equinox of date.
  Vec3 r, v;
  if (d->nmflg[i]) {
    NumProp(t, d, i, st.sun, st.moon, r, v);
    r = mxvct(tt.n, r);
    v = mxvct(tt.n, v);
  } else {
    // The slot keeps its state in the mean equator and equinox of date, as
    // the integrator does, whatever model gave it.
    Vec3 rm, vm;
    if (d->sgpflg[i]) {
      // SGP4 delivers the true equator with the mean equinox: one rotation by
      // the equation of the equinoxes gives true of date (no further nutation).
      Sgp4(d, t - d->epoch[i], i, r, v);
      const Mat3 ee = zrot(-eqeq / kTimeSecPerRad);
      r = mxvct(ee, r);
      v = mxvct(ee, v);
      const Mat3 nt = mxtrn(tt.n);
      rm = mxvct(nt, r);
      vm = mxvct(nt, v);
    } else {
      KeplerJ2(t, d, i, rm, vm);
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
  }
  if (d->yrepoch != 0.0) st.q = tt.p * mxtrn(tt.n);
  if (!relative) {
    sp->rsat = r;
    sp->vsat = v;
  }
  st.r = r;
  st.v = v;

  // 10. Observer.
  const double phi = d->lat * kDeg;
  const double lam = d->lng * kDeg;
  const Vec3 o = kReWgs84Km * GeoPos(t1, eqeq, phi, lam, d->height, d->IERSxp, d->IERSyp);
  st.o = o;
  // Velocity of the observer carried round by the Earth's rotation, omega x o
  // of the observer's true place on the ellipsoid: with it the range rate is
  // exactly the rate of the Earth-fixed distance. A sphere of radius R + h at
  // the geocentric latitude is off by ~8 km in distance from the axis at
  // mid-latitudes, ~6e-4 km/s in the range rate.
  const Vec3 w(-kOmegaEarth * o.y, kOmegaEarth * o.x, 0.0);

  // 11. Topocentric R.A. and Dec. in the mean equator of yrepoch.
  Vec3 dv = r - o;
  const Vec3 u = vnorm(dv);
  if (d->IERSflg) dv = dv - v * (abs(dv) / kClight);
  if (d->yrepoch != 0.0) dv = mxvct(st.q, dv);
  {
    const Vec3 pol = carpol(dv);
    double alpha = pol.y;
    if (alpha < 0.0) alpha += kTwoPi;
    sp->ra[i] = DegFDms(12.0 * alpha / kPi);
    sp->dec[i] = DegFDms(pol.z / kDeg);
  }

  // 12. Range rate.
  sp->rate[i] = dot(v, u) - dot(w, u);

  // 13. Sub-solar point.
  const double gast = lsidtim(t1, 0.0, eqeq) * kPi / 12.0;
  {
    const Vec3 ps = carpol(st.sun);
    const double ds = ps.z;
    sp->sslng = ReduceLng(ps.y - gast) / kDeg;
    sp->sslat = (std::fabs(ds) < 1.53589 ? std::atan(std::tan(ds) * 1.00674) : ds) / kDeg;
  }

  // 14. Azimuth, elevation and range (radians and Earth radii until step 17).
  double az, el, rng;
  AppPos(t1, eqeq, phi, lam, d->height, 1, r / kReWgs84Km, az, el, rng);
  sp->az[i] = az;
  sp->el[i] = el;
  sp->rng[i] = rng;

  // 15. Beta angle: the Sun above the orbit plane.
  {
    double b = dot(vnorm(vnorm(r) * vnorm(v)), vnorm(st.sun));
    if (b > 1.0) b = 1.0;
    if (b < -1.0) b = -1.0;
    sp->beta[i] = std::asin(b) / kDeg;
  }

  // 15a. Eclipse of the Sun seen from the current satellite.
  if (d->eclflg && i == d->prs) st.dim = SatSunEclipse(d, r / kReWgs84Km, st.sun, st.moon);

  // 16. Earth-fixed position and geodetic sub-satellite point.
  double latgc;
  {
    Vec3 e = mxvct(zrot(gast), r);
    if (d->IERSxp != 0.0 || d->IERSyp != 0.0) e = mxvct(PoleMx(d->IERSxp, d->IERSyp), e);
    const Vec3 pol = carpol(e);
    latgc = pol.z;
    sp->lat[i] = latgc;
    sp->lng[i] = ReduceLng(pol.y);
    if (pol.x > 0.1) {
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
    } else {
      sp->hgt[i] = 0.0;
    }
  }

  // 17. Sun (and Moon) at the observer and above the satellite's horizon.
  {
    double saz, sel, sdist;
    AppPos(t1, eqeq, phi, lam, d->height, 1, st.sun, saz, sel, sdist);
    sp->sunelo = sel / kDeg;
    sp->sunazo = saz;
    const double h = sp->hgt[i] > 0.0 ? 1000.0 * sp->hgt[i] : 0.0;
    const double rr = abs(r);
    const double dip = rr > kReWgs84Km ? kPi / 2.0 - std::asin(kReWgs84Km / rr) : 0.0;
    AppPos(t1, eqeq, sp->lat[i], sp->lng[i], h, 1, st.sun, saz, sel, sdist);
    sp->ssaz[i] = saz;
    sp->sunh[i] = sel + dip;
    if (d->moonflg) {
      AppPos(t1, eqeq, sp->lat[i], sp->lng[i], h, 1, st.moon, saz, sel, sdist);
      sp->moonh[i] = sel + dip;
    }
    sp->rng[i] *= kReWgs84Km;
    if (sp->az[i] < 0.0) sp->az[i] += kTwoPi;
    sp->az[i] /= kDeg;
    sp->el[i] /= kDeg;
  }

  // 18. Magnitude of the current satellite.
  if (d->chlen > 0.0 && i == d->prs) SatMagnitude(d, sp, i, st);

  // 18a. Degrees from here on.
  sp->lat[i] /= kDeg;
  sp->lng[i] /= kDeg;
  sp->sunh[i] /= kDeg;
  if (d->moonflg) sp->moonh[i] /= kDeg;

  // 18b. Footprint, transit centre line, flare stages.
  st.latgc = latgc;
  SatLateStages(d, sp, i, flag, st);

  // 19. End of relative mode: slot i shows where the observing satellite is.
  if (relative) {
    sp->rsun0 = sp->sunh[i];
    sp->ra[i] = sp->lat[j];
    sp->dec[i] = sp->lng[j];
    sp->sunh[i] = sp->hgt[j];
    sp->lat[j] = jlat;
    sp->lng[j] = jlng;
    sp->hgt[j] = jhgt;
    d->lat = olat;
    d->lng = olng;
    d->height = ohgt;
    const Vec3 ur = vnorm(r - sp->rsat);
    sp->rate[i] = dot(v, ur) - dot(sp->vsat, ur);
  }
}
