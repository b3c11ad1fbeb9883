// Satellite positions and observer geometry for one time (GetSatPos).
#include "engine/satpos.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/sgp4slot.h"
#include "engine/stages.h"
#include "orbit/vorlixnum.h"

namespace {

constexpr double kAuEr = 23454.79106062;          // Earth radii per AU
constexpr double kClight = 299792.458;            // km/s
constexpr double kOmegaEarth = kTwoPi / 86164.09054;  // rad/s, sidereal rotation

// What depends only on the time and a few settings (nutation, the Sun, the
// Moon, precession) and, for one observer, on the place too (the horizontal
// frame, the observer's position, the Sun's elevation): kept per time, each
// part computed on first use, in a small table per thread. The calls for
// several satellites at one time (plots, relative mode, the all-satellite
// list's shared time steps) pay for them once; every value is exactly the
// one computed afresh, since the key holds every input.
struct TimeTerms {
  // Key: the time and the settings the terms depend on.
  double t = 0;
  bool full = false;  // IERSflg: the long nutation series, TT - UT from UtcTai
  int utctai = 0;
  double yrepoch = 0;
  bool valid = false;
  unsigned have = 0;  // parts computed (bits below)
  double T = 0;       // Julian centuries of TT
  NutAngles nut{};
  Mat3 n, p, ee;
  Vec3 sun, moon;
  // Observer part; key: the UT1 time and the place.
  unsigned have2 = 0;  // observer parts computed (bits below)
  double ot1 = 0, olat = 0, olng = 0, ohgt = 0, oxp = 0, oyp = 0;
  HorFrame hf;
  Vec3 o;           // km, observer with polar motion
  double gast = 0;  // rad, Greenwich apparent sidereal time
  double sunelo = 0, sunazo = 0;
};
constexpr unsigned kHaveN = 1, kHaveSun = 2, kHaveMoon = 4, kHaveP = 8, kHaveEe = 16;
constexpr unsigned kHaveFrame = 1, kHaveGeo = 2, kHaveSunEl = 4;
constexpr int kTimeBits = 12;  // 4096 times per thread: a day of minutes

struct TimeTable {
  TimeTerms e[1 << kTimeBits];
  // TT - UT of the last day seen (a: the day count caldat finds the year by).
  int64_t a = -1;
  bool full = false;
  int utctai = 0;
  double ttut = 0;
  // The observer's place (HorSite) for lat, lng, height.
  bool siteok = false;
  double slat = 0, slng = 0, shgt = 0;
  HorSite site;
};

TimeTable& timeTable() {
  thread_local std::unique_ptr<TimeTable> table;
  if (!table) table = std::make_unique<TimeTable>();
  return *table;
}

// TT - UT (s) at t, by the year of t.
double ttMinusUt(TimeTable& tb, double t, WinpData* d) {
  // caldat finds the year from the whole days of t + 2400001 alone.
  const bool plain = t >= 0.0 && t < 1e7;
  const int64_t a = plain ? static_cast<int64_t>(t + 2400001.0) : -1;
  if (plain && a == tb.a && tb.full == d->IERSflg && tb.utctai == d->UtcTai) return tb.ttut;
  int day, month, year;
  double hour;
  caldat(t, day, month, year, hour);
  const double ttut = SetTtUt(d, year);
  tb.a = a;
  tb.full = d->IERSflg;
  tb.utctai = d->UtcTai;
  tb.ttut = ttut;
  return ttut;
}

TimeTerms& timeTerms(double t, WinpData* d) {
  TimeTable& tb = timeTable();
  uint64_t bits;
  std::memcpy(&bits, &t, sizeof bits);
  TimeTerms& c = tb.e[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kTimeBits)];
  const bool full = d->IERSflg;
  if (c.valid && c.t == t && c.full == full && c.utctai == d->UtcTai && c.yrepoch == d->yrepoch)
    return c;
  c.valid = true;
  c.t = t;
  c.full = full;
  c.utctai = d->UtcTai;
  c.yrepoch = d->yrepoch;
  c.have = 0;
  c.have2 = 0;
  c.T = julcent(t + ttMinusUt(tb, t, d) / 86400.0);
  c.nut = nutangles(c.T, full);
  return c;
}

const Mat3& nutation(TimeTerms& c) {
  if (!(c.have & kHaveN)) {
    c.n = nutmat(c.nut);
    c.have |= kHaveN;
  }
  return c.n;
}

const Vec3& sunOf(TimeTerms& c) {
  if (!(c.have & kHaveSun)) {
    Sun200 sun200;
    Vec3 s = eclequ(c.T, sun200.position(c.T));
    s = mxvct(nutation(c), s);
    s = aberrat(c.T, s);
    c.sun = s * kAuEr;
    c.have |= kHaveSun;
  }
  return c.sun;
}

const Vec3& moonOf(TimeTerms& c) {
  if (!(c.have & kHaveMoon)) {
    Moon200 moon200;
    c.moon = mxvct(nutation(c), eclequ(c.T, moon200.position(c.T)));
    c.have |= kHaveMoon;
  }
  return c.moon;
}

const Mat3& precession(TimeTerms& c) {
  if (!(c.have & kHaveP)) {
    c.p = pmatequ(c.T, (c.yrepoch - 2000.0) / 100.0);
    c.have |= kHaveP;
  }
  return c.p;
}

// SGP4's true equator and mean equinox to true of date: one rotation by the
// equation of the equinoxes.
const Mat3& equinoxRotation(TimeTerms& c) {
  if (!(c.have & kHaveEe)) {
    c.ee = zrot(-c.nut.eqeq / kTimeSecPerRad);
    c.have |= kHaveEe;
  }
  return c.ee;
}

// UT1 when the IERS values are given: the time of every sidereal-time and
// observer computation.
double ut1(double t, const WinpData* d) { return d->IERSflg ? t + d->Ut1Utc / 86400.0 : t; }

// The observer's part of the terms is for the observer of d at t1.
TimeTerms& observer(TimeTerms& c, double t1, const WinpData* d) {
  if (c.have2 && c.ot1 == t1 && c.olat == d->lat && c.olng == d->lng && c.ohgt == d->height &&
      c.oxp == d->IERSxp && c.oyp == d->IERSyp)
    return c;
  c.have2 = 0;
  c.ot1 = t1;
  c.olat = d->lat;
  c.olng = d->lng;
  c.ohgt = d->height;
  c.oxp = d->IERSxp;
  c.oyp = d->IERSyp;
  return c;
}

// The observer's place (HorSite) for lat, lng (deg), height (m).
const HorSite& horSite(double lat, double lng, double height) {
  TimeTable& tb = timeTable();
  if (!(tb.siteok && tb.slat == lat && tb.slng == lng && tb.shgt == height)) {
    tb.site = horsite(lat * kDeg, lng * kDeg, height);
    tb.siteok = true;
    tb.slat = lat;
    tb.slng = lng;
    tb.shgt = height;
  }
  return tb.site;
}

const HorSite& horSite(const WinpData* d) { return horSite(d->lat, d->lng, d->height); }

// The observer's horizontal frame (AppPos).
const HorFrame& frame(TimeTerms& c) {
  if (!(c.have2 & kHaveFrame)) {
    c.hf = horframe(horSite(c.olat, c.olng, c.ohgt), c.ot1, c.nut.eqeq);
    c.have2 |= kHaveFrame;
  }
  return c.hf;
}

// The observer's position with polar motion (km) and the sidereal time.
void geocentric(TimeTerms& c) {
  if (c.have2 & kHaveGeo) return;
  const double eqeq = c.nut.eqeq;
  c.o = kReWgs84Km * GeoPos(c.ot1, eqeq, c.olat * kDeg, c.olng * kDeg, c.ohgt, c.oxp, c.oyp);
  c.gast = lsidtim(c.ot1, 0.0, eqeq) * kPi / 12.0;
  c.have2 |= kHaveGeo;
}

// The Sun at the observer: elevation (deg) and azimuth (rad). Needs the
// observer part.
void sunAtObserver(TimeTerms& c) {
  if (c.have2 & kHaveSunEl) return;
  double saz, sel, sdist;
  AppPos(frame(c), 1, sunOf(c), saz, sel, sdist);
  c.sunelo = sel / kDeg;
  c.sunazo = saz;
  c.have2 |= kHaveSunEl;
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
  bool placed = true;  // slot j has a position: it is the observer
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
  rv.placed = GetSatPos(t, d, sp, j, 0) == SATPOS_OK;
  sp->rsun1 = sp->sunh[j];
  // A satellite without a position observes from nowhere: its stand-in place
  // (far inside the Earth) must not become the observer's.
  if (!rv.placed) return rv;
  d->lat = sp->lat[j];
  d->lng = sp->lng[j];
  d->height = 1000.0 * sp->hgt[j];
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

// The analytic state of slot i at t (km, km/s) in the true equator and
// equinox of date (v only when `withv`); Kepler with J2 rates also gives it
// in the mean equator and equinox of date (rm, vm). False when the model
// gives no state at t: the satellite is put at the failure state of SGP4.
bool analytic(double t, WinpData* d, int i, TimeTerms& tt, Vec3& r, Vec3& v, Vec3& rm, Vec3& vm,
              bool withv) {
  bool ok;
  if (d->sgpflg[i]) {
    // SGP4 delivers the true equator with the mean equinox: one rotation by
    // the equation of the equinoxes gives true of date (no further nutation).
    ok = Sgp4(d, t - d->epoch[i], i, r, v);
    const Mat3& ee = equinoxRotation(tt);
    r = mxvct(ee, r);
    if (withv) v = mxvct(ee, v);
  } else {
    keplerJ2(t, d, i, rm, vm);
    // Elements beyond what the model can compute must not leave a
    // non-finite (or boundless) position in the slot.
    ok = usableState(rm, vm);
    if (!ok) {
      rm = Vec3(SGP4FAIL_R, 0.0, 0.0);
      vm = Vec3(0.0, SGP4FAIL_V, 0.0);
    }
    r = mxvct(nutation(tt), rm);
    if (withv) v = mxvct(nutation(tt), vm);
  }
  return ok;
}

// The state of slot i at t (km, km/s) in the true equator and equinox of
// date from its model: numerical, SGP4/SDP4 or Kepler with J2 rates. An
// analytic state is also stored as the slot's integrated state. A model that
// gives no state at t puts the satellite at the failure state of SGP4, below
// every horizon; the result says so.
int propagate(double t, WinpData* d, int i, TimeTerms& tt, const SatPosStage& st, Vec3& r,
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
    r = mxvct(nutation(tt), r);
    v = mxvct(nutation(tt), v);
    if (!reached) return SATPOS_NOSTATE;
    return res == NUMPROP_DECAYED ? SATPOS_DECAYED : SATPOS_OK;
  }
  // The slot keeps its state in the mean equator and equinox of date, as
  // the integrator does, whatever model gave it.
  Vec3 rm, vm;
  const bool ok = analytic(t, d, i, tt, r, v, rm, vm, true);
  if (d->sgpflg[i]) {
    const Mat3 nt = mxtrn(nutation(tt));
    rm = mxvct(nt, r);
    vm = mxvct(nt, v);
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

// The geodetic sub-satellite point on the WGS-84 ellipsoid: lat, lng (rad),
// hgt (km), and the geocentric latitude latgc (rad).
struct SubPoint {
  double lat, lng, hgt, latgc;
};

// gast: Greenwich apparent sidereal time (rad).
SubPoint subSatellitePoint(const WinpData* d, const Vec3& r, double gast) {
  Vec3 e = mxvct(zrot(gast), r);
  if (d->IERSxp != 0.0 || d->IERSyp != 0.0) e = mxvct(PoleMx(d->IERSxp, d->IERSyp), e);
  const Vec3 pol = carpol(e);
  SubPoint p;
  p.latgc = pol.z;
  p.lat = p.latgc;
  p.lng = reduceLng(pol.y);
  if (!(pol.x > 0.1)) {
    p.hgt = 0.0;
    return p;
  }
  const double rho2 = e.x * e.x + e.y * e.y;
  const double rho = std::sqrt(rho2);
  double dz = kE2Wgs84 * e.z;
  double nn = kReWgs84Km;
  for (int k = 0; k < 4; k++) {
    const double zz = e.z + dz;
    const double root = std::sqrt(rho2 + zz * zz);
    const double s = root < 1e-5 ? std::sin(p.latgc) : zz / root;
    nn = kReWgs84Km / std::sqrt(1.0 - kE2Wgs84 * s * s);
    dz = nn * kE2Wgs84 * s;
  }
  p.lat = std::atan2(e.z + dz, rho);
  p.hgt = std::sqrt(rho2 + (e.z + dz) * (e.z + dz)) - nn;
  return p;
}

// A body (Sun or Moon, Earth radii) above the satellite's horizon, which lies
// below its local horizontal by the dip: elevation and azimuth (rad).
void bodyAboveSatellite(const SubPoint& p, const Vec3& r, const Vec3& body, double t1, double eqeq,
                        double& el, double& az) {
  const double h = p.hgt > 0.0 ? 1000.0 * p.hgt : 0.0;
  const double rr = abs(r);
  const double dip = rr > kReWgs84Km ? kPi / 2.0 - std::asin(kReWgs84Km / rr) : 0.0;
  double sdist;
  AppPos(t1, eqeq, p.lat, p.lng, h, 1, body, az, el, sdist);
  el += dip;
}

}  // namespace

int GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag) {
  if (i < 0 || i >= NSLOTS) return SATPOS_NOSTATE;
  const RelativeView rv = enterRelative(t, d, sp, i);

  // Time, Sun, nutation, Moon and precession; Earth rotation runs on UT1
  // when the IERS values are given.
  const bool needmoon = d->moonflg || d->occflg == 2 || d->eclflg || d->nmflg[i];
  TimeTerms& tt = timeTerms(t, d);
  SatPosStage st;
  st.t1 = ut1(t, d);
  st.eqeq = tt.nut.eqeq;
  st.sun = sunOf(tt);
  st.moon = needmoon ? moonOf(tt) : Vec3();
  st.dim = 0.0;
  st.md = 99.0;
  st.ms = -30.0;  // no Moon-lit source unless the magnitude stage finds one

  Vec3 r, v;
  const int status = propagate(t, d, i, tt, st, r, v);
  if (d->yrepoch != 0.0) st.q = precession(tt) * mxtrn(nutation(tt));
  if (!rv.on) {
    sp->rsat = r;
    sp->vsat = v;
  }
  st.r = r;
  st.v = v;

  observer(tt, st.t1, d);
  geocentric(tt);
  st.o = tt.o;
  topocentric(d, sp, i, st);
  const double gast = tt.gast;
  subSolarPoint(sp, st.sun, gast);

  // Azimuth, elevation and range (radians and Earth radii until the Sun and
  // Moon are placed).
  double az, el, rng;
  AppPos(frame(tt), 1, r / kReWgs84Km, az, el, rng);
  sp->az[i] = az;
  sp->el[i] = el;
  sp->rng[i] = rng;
  sp->beta[i] = betaAngle(r, v, st.sun);
  if (d->eclflg && i == d->prs) {
    // The Moon before the Sun seen from the engine's stand-in place (or from
    // where a decayed satellite came down) is no eclipse of this satellite.
    if (status == SATPOS_OK)
      st.dim = SatSunEclipse(d, r / kReWgs84Km, st.sun, st.moon);
    else
      NoSatSunEclipse(d);
  }
  const SubPoint p = subSatellitePoint(d, r, gast);
  st.latgc = p.latgc;
  sp->lat[i] = p.lat;
  sp->lng[i] = p.lng;
  sp->hgt[i] = p.hgt;

  // The Sun at the observer, and the Sun (and Moon) above the satellite's
  // horizon (radians until the magnitude is known).
  sunAtObserver(tt);
  sp->sunelo = tt.sunelo;
  sp->sunazo = tt.sunazo;
  bodyAboveSatellite(p, r, st.sun, st.t1, st.eqeq, sp->sunh[i], sp->ssaz[i]);
  if (d->moonflg) {
    double maz;
    bodyAboveSatellite(p, r, st.moon, st.t1, st.eqeq, sp->moonh[i], maz);
  }
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
  if (status == SATPOS_OK && !rv.placed) return SATPOS_NOOBSERVER;
  return status;
}

// ---------------------------------------------------------------------------
// Search samples
// ---------------------------------------------------------------------------

bool SearchSample::Usable(const WinpData* d, int i) {
  return d && i >= 0 && i < NSLOTS && !RelativeMode(d) && d->iridflg == 0 && d->occflg == 0 &&
         d->flarflg == 0 && !d->nmflg[i];
}

void SearchSample::At(double t) {
  t_ = t;
  any_ = true;
  have_ = 0;
  Vec3 v;
  if (d_->sgpflg[i_]) {
    placed_ = Sgp4(d_, t - d_->epoch[i_], i_, teme_, v);
  } else {
    Vec3 rm, vm;
    placed_ = analytic(t, d_, i_, timeTerms(t, d_), r_, v, rm, vm, false);
    have_ |= kR;
  }
}

// The satellite's direction in the observer's horizontal frame turns with
// the sidereal time less the rotation from SGP4's frame to the true equinox:
// the equation of the equinoxes is in both and drops out (their difference
// is below 1e-15 rad). Left out, nutation is not needed; what remains of the
// difference is rounding, far below 1e-9 deg for anything farther than 6 km
// from an observer less than 10000 km above the ground.
double SearchSample::ElNear() {
  if (have_ & kEl) return el_;
  if (have_ & kNear) return near_;
  // A Kepler slot needs nutation all the same; an observer far above the
  // Earth would magnify the rounding.
  if (!d_->sgpflg[i_] || !(std::fabs(d_->height) < 1e7)) return El();
  const Vec3 s = teme_ / kReWgs84Km;
  const HorSite& site = horSite(d_);
  const double theta = lsidtim(ut1(t_, d_), site.londeg, 0.0) * kPi / 12.0;
  const Vec3 w = mxvct(zrot(theta), s) - Vec3(site.rho, 0.0, site.z);
  if (!(abs(w) > 1e-3)) return El();
  near_ = AppHorEl(mxvct(site.yr, w)) / kDeg;
  have_ |= kNear;
  return near_;
}

// The quick estimate turns the observer's meridian from the sidereal time
// of a reference time by the Earth's rate, as the sidereal time formula
// does within one day (across 0 h UT the formula jumps by 3.2e-10 rad; the
// turn's sine and cosine come from short series good to 1e-10), and
// takes the sine of the elevation as the up component over the length of
// the line of sight. Its error, from the turn (below 1e-9 rad) and from
// rounding, is bounded by 1e-9 x (|s| + |w| + 1) in the up component and the
// length; the elevation without nutation lies within kElNear of El().
namespace {
constexpr double kSidRate = 1.0027379093 * kTwoPi;  // rad per day of UT1
constexpr double kSidSpan = 0.125;                  // rad turned from the reference
}  // namespace

bool SearchSample::quick() {
  if (have_ & kQuick) return true;
  if (!d_->sgpflg[i_] || !(std::fabs(d_->height) < 1e7)) return false;
  const HorSite& site = horSite(d_);
  const double t1 = ut1(t_, d_);
  double dth = kSidRate * (t1 - sidt_);
  if (!sidok_ || !(std::fabs(dth) <= kSidSpan)) {
    const double theta = lsidtim(t1, site.londeg, 0.0) * kPi / 12.0;
    sids_ = std::sin(theta);
    sidc_ = std::cos(theta);
    sidt_ = t1;
    sidok_ = true;
    dth = 0.0;
  }
  // sin and cos of dth (|dth| <= 0.125): the series' errors, below 1e-10
  // and 2e-12, are part of the turn's error bound.
  const double d2 = dth * dth;
  const double sd = dth * (1.0 + d2 * (-1.0 / 6.0 + d2 * (1.0 / 120.0)));
  const double cd = 1.0 + d2 * (-0.5 + d2 * (1.0 / 24.0 - d2 * (1.0 / 720.0)));
  const double sn = sids_ * cd + sidc_ * sd;
  const double c = sidc_ * cd - sids_ * sd;
  const Vec3 s = teme_ * (1.0 / kReWgs84Km);
  const Vec3 w(c * s.x + sn * s.y - site.rho, c * s.y - sn * s.x, s.z - site.z);
  qu_ = site.yr(2, 0) * w.x + site.yr(2, 1) * w.y + site.yr(2, 2) * w.z;
  qw_ = abs(w);
  qerr_ = 1e-9 * (2.0 * (std::fabs(s.x) + std::fabs(s.y) + std::fabs(s.z)) + 3.0);
  // Close to the observer the estimate says nothing (ElNear's own limit).
  if (!(qw_ > 1e-3) || !std::isfinite(qu_)) return false;
  have_ |= kQuick;
  return true;
}

double SearchSample::sinOf(double x) {
  for (int k = 0; k < limn_; ++k)
    if (limx_[k] == x) return lims_[k];
  const int k = limk_;
  limk_ = (limk_ + 1) % kLims;
  if (limn_ < kLims) ++limn_;
  limx_[k] = x;
  lims_[k] = std::sin(x * kDeg);
  return lims_[k];
}

// The bound on |sin(El()) - qu_ / qw_| of a quick sample.
double SearchSample::quickTol() const { return (2.0 * qerr_ + 2e-9 * qw_) / qw_; }

bool SearchSample::ElAbove(SearchSample& o) {
  if ((have_ & kEl) && (o.have_ & kEl)) return el_ > o.el_;
  if (quick() && o.quick()) {
    const double diff = qu_ / qw_ - o.qu_ / o.qw_;
    const double tol = quickTol() + o.quickTol();
    if (diff > tol) return true;
    if (diff < -tol) return false;
  }
  const double a = ElNear(), b = o.ElNear();
  if (a > b + 2.0 * kElNear) return true;
  if (a < b - 2.0 * kElNear) return false;
  return El() > o.El();
}

int SearchSample::ElSide(double x) {
  if (have_ & kEl) return el_ > x ? 1 : el_ < x ? -1 : 0;
  if (!(std::fabs(x) < 90.0) || !quick()) return 0;
  // sin(El()) lies within qerr_ / qw_ (twice, for the up component and the
  // length) plus kElNear of qu_ / qw_.
  const double diff = qu_ - qw_ * sinOf(x);
  const double tol = 2.0 * qerr_ + 2e-9 * qw_;  // quickTol() x qw_
  if (diff > tol) return 1;
  if (diff < -tol) return -1;
  return 0;
}

double SearchSample::El() {
  if (!(have_ & kEl)) {
    TimeTerms& tt = timeTerms(t_, d_);
    if (!(have_ & kR)) {
      r_ = mxvct(equinoxRotation(tt), teme_);
      have_ |= kR;
    }
    observer(tt, ut1(t_, d_), d_);
    h_ = AppHor(frame(tt), 1, r_ / kReWgs84Km);
    el_ = AppHorEl(h_) / kDeg;
    have_ |= kEl;
  }
  return el_;
}

double SearchSample::Az() {
  if (!(have_ & kAz)) {
    El();
    double az = AppHorAz(h_);
    if (az < 0.0) az += kTwoPi;
    az_ = az / kDeg;
    have_ |= kAz;
  }
  return az_;
}

double SearchSample::SunEl() {
  if (!(have_ & kSunEl)) {
    sunelo_ = SunElAt(t_);
    have_ |= kSunEl;
  }
  return sunelo_;
}

double SearchSample::SunElAt(double t) {
  TimeTerms& tt = timeTerms(t, d_);
  sunAtObserver(observer(tt, ut1(t, d_), d_));
  return tt.sunelo;
}

Vec3 SearchSample::Sun() { return SunAt(t_); }

Vec3 SearchSample::SunAt(double t) { return sunOf(timeTerms(t, d_)); }

// The Sun's elevation above the satellite's horizon from the geocentric
// vertical instead of the geodetic normal (at most 0.193 deg apart), SGP4's
// frame instead of the true equinox (0.005 deg) and the Sun vector of
// another time: the same dip is added.
double SearchSample::SunHNear(const Vec3& sun) {
  if (have_ & kAbove) return sunh_;
  if (!d_->sgpflg[i_]) return SunH();
  const double rr = abs(teme_);
  if (!(rr > kReWgs84Km + 50.0)) return SunH();  // at or below the ground: as computed
  const double dip = kPi / 2.0 - std::asin(kReWgs84Km / rr);
  const Vec3 w = vnorm(sun - teme_ / kReWgs84Km);
  double c = dot(w, teme_ / rr);
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  return (std::asin(c) + dip) / kDeg;
}

void SearchSample::above() {
  if (have_ & kAbove) return;
  El();
  TimeTerms& tt = timeTerms(t_, d_);
  const double t1 = ut1(t_, d_);
  geocentric(observer(tt, t1, d_));
  const SubPoint p = subSatellitePoint(d_, r_, tt.gast);
  double az;
  bodyAboveSatellite(p, r_, sunOf(tt), t1, tt.nut.eqeq, sunh_, az);
  sunh_ /= kDeg;
  if (d_->moonflg) {
    bodyAboveSatellite(p, r_, moonOf(tt), t1, tt.nut.eqeq, moonh_, az);
    moonh_ /= kDeg;
  }
  have_ |= kAbove;
}

void SearchSample::Finish() {
  if (any_) GetSatPos(t_, d_, sp_, i_, 0);
  any_ = false;
}
