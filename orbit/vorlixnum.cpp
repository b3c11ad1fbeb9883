// Force model and numerical propagation driver.
#include "orbit/vorlixnum.h"

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "orbit/forcetables.h"

RKF45 rkf(6);
Vec3 spos, mpos;
double smy[6];
int nmrksx = 0;
WinpData* nmdat = nullptr;
const double* nmgravc = GravC;
const double* nmgravs = GravS;
long nmevals = NUMPROP_EVAL_BUDGET;

namespace {

constexpr double kGravScale = 9.798285471812783;  // GM / R^2, m/s^2
constexpr double kOmega = 7.292115e-5;          // rad/s, Earth rotation
constexpr double kGmSun = 1.32712440018e20;     // m^3/s^2
constexpr double kGmMoon = 4.902801e12;         // m^3/s^2
constexpr double kAU = 149597870691.0;          // m
constexpr double kSolarPressure = 4.56e-6;      // N/m^2 at 1 AU
constexpr int kMaxDegree = 20;

// With unlimited attempts (mxit 0) no step is forced on: a step below this
// (or below 1/1000 of the largest step) means forces the integrator cannot
// follow, and the call stops instead of crawling.
constexpr double kMinStep = 1e-6;  // s

bool finite3(const Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

// ---------------------------------------------------------------------------
// Geopotential
// ---------------------------------------------------------------------------

int HarmDegree(double rr) {
  if (rr < 7378137.0) return 20;
  if (rr < 1e7) return 15;
  if (rr < kReWgs84M + 1.0e7) return 10;
  return 6;
}

namespace {

// Recursion factors (2k - 1)/(k - m) and (k + m - 1)/(k - m) of the zonal and
// tesseral V/W terms, so that the hot loop has no division.
struct RecursionFactors {
  double a[kMaxDegree + 2][kMaxDegree + 2];
  double b[kMaxDegree + 2][kMaxDegree + 2];
  constexpr RecursionFactors() : a(), b() {
    for (int m = 0; m <= kMaxDegree + 1; m++)
      for (int k = m + 1; k <= kMaxDegree + 1; k++) {
        a[k][m] = double(2 * k - 1) / (k - m);
        b[k][m] = double(k + m - 1) / (k - m);
      }
  }
};
constexpr RecursionFactors kRec;

}  // namespace

void HarmAccTab(const Vec3& r, int n, const double* C, const double* S, Vec3& a) {
  if (n < 0) {
    a = Vec3();
    return;
  }
  if (n > kMaxDegree) n = kMaxDegree;
  // Cunningham's V/W functions up to degree and order n + 1.
  double V[kMaxDegree + 2][kMaxDegree + 2], W[kMaxDegree + 2][kMaxDegree + 2];
  double rr = dot(r, r);
  if (rr < 1e-15) rr = 1.0;
  const double rho = kReWgs84M * kReWgs84M / rr;
  const double x0 = kReWgs84M * r.x / rr, y0 = kReWgs84M * r.y / rr, z0 = kReWgs84M * r.z / rr;

  V[0][0] = kReWgs84M / std::sqrt(rr);
  W[0][0] = 0.0;
  for (int m = 0; m <= n + 1; m++) {
    if (m > 0) {
      V[m][m] = (2 * m - 1) * (x0 * V[m - 1][m - 1] - y0 * W[m - 1][m - 1]);
      W[m][m] = (2 * m - 1) * (x0 * W[m - 1][m - 1] + y0 * V[m - 1][m - 1]);
    }
    if (m + 1 <= n + 1) {
      V[m + 1][m] = kRec.a[m + 1][m] * z0 * V[m][m];
      W[m + 1][m] = kRec.a[m + 1][m] * z0 * W[m][m];
    }
    for (int k = m + 2; k <= n + 1; k++) {
      const double fa = kRec.a[k][m] * z0, fb = kRec.b[k][m] * rho;
      V[k][m] = fa * V[k - 1][m] - fb * V[k - 2][m];
      W[k][m] = fa * W[k - 1][m] - fb * W[k - 2][m];
    }
  }

  double ax = 0.0, ay = 0.0, az = 0.0;
  for (int k = 0; k <= n; k++) {
    for (int m = 0; m <= k; m++) {
      double c, s;
      if (k == 0) {
        c = 1.0;
        s = 0.0;
      } else if (k == 1) {
        c = 0.0;
        s = 0.0;
      } else {
        c = C[k * (k + 1) / 2 + m - 3];
        s = S[k * (k + 1) / 2 + m - 3];
      }
      az -= (k - m + 1) * (c * V[k + 1][m] + s * W[k + 1][m]);
      if (m == 0) {
        ax -= c * V[k + 1][1];
        ay -= c * W[k + 1][1];
      } else {
        double f = (k - m + 1) * (k - m + 2);
        ax += 0.5 * ((-c * V[k + 1][m + 1] - s * W[k + 1][m + 1]) +
                     f * (c * V[k + 1][m - 1] + s * W[k + 1][m - 1]));
        ay += 0.5 * ((-c * W[k + 1][m + 1] + s * V[k + 1][m + 1]) +
                     f * (-c * W[k + 1][m - 1] + s * V[k + 1][m - 1]));
      }
    }
  }
  a = Vec3(kGravScale * ax, kGravScale * ay, kGravScale * az);
}

void HarmAcc(const Vec3& r, int n, Vec3& a) { HarmAccTab(r, n, GravC, GravS, a); }

// ---------------------------------------------------------------------------
// Jacchia 1971 density
// ---------------------------------------------------------------------------

double EllipsoidHeight(const Vec3& r) {
  const double ae = kReWgs84M, e2 = kE2Wgs84;
  const double rho2 = r.x * r.x + r.y * r.y;
  double dz = e2 * r.z, nrad = ae;
  for (int it = 0; it < 3; it++) {
    double zz = r.z + dz;
    double sphi = zz / std::sqrt(rho2 + zz * zz);
    nrad = ae / std::sqrt(1.0 - e2 * sphi * sphi);
    dz = nrad * e2 * sphi;
  }
  return (std::sqrt(rho2 + (r.z + dz) * (r.z + dz)) - nrad) / 1000.0;
}

double Jacc71(double mjd, const Vec3& r, const Vec3& sun, double f107, double fb107, double kp,
              double& h) {
  h = 2500.0;
  const Vec3 rp = carpol(r), sp = carpol(sun);
  if (!(rp.x <= 8.87e6) || rp.x < 1.0) return 0.0;  // also a NaN position

  h = EllipsoidHeight(r);
  if (h < 0.0 || h > 2500.0) return 0.0;
  // Beyond its scale Kp would make the density infinite (its exponential
  // below 350 km), and the integration could no longer go on.
  kp = KpInRange(kp);
  f107 = F107InRange(f107);
  fb107 = F107InRange(fb107);
  const double z = h < 90.0 ? 90.0 : h;

  // Exospheric temperature: night-time minimum, diurnal bulge, geomagnetic term.
  const double tc = 379.0 + 3.24 * fb107 + 1.3 * (f107 - fb107);
  const double decs = sp.z, dec = rp.z;
  double H = rp.y - sp.y;
  double tau = H - 0.645772 + 0.10472 * std::sin(H + 0.750492);
  // The bulge formula holds for -pi < tau <= pi; both right ascensions lie in
  // [0, 2 pi), so tau must be brought into that range.
  tau = std::remainder(tau, 2.0 * kPi);
  if (tau <= -kPi) tau += 2.0 * kPi;
  const double sterm = std::pow(0.5 * (1.0 - std::cos(dec + decs)), 1.1);
  const double cterm = std::pow(0.5 * (1.0 + std::cos(dec - decs)), 1.1);
  const double ct = std::cos(0.5 * tau);
  const double tl = tc * (1.0 + 0.3 * (sterm + (cterm - sterm) * ct * ct * ct));
  const double f = 0.5 * (std::tanh(0.04 * (z - 350.0)) + 1.0);
  const double ekp = std::exp(kp);
  const double tinf = tl + f * (28.0 * kp + 0.03 * ekp) + (1.0 - f) * (14.0 * kp + 0.02 * ekp);

  double x = tinf / 1000.0;
  if (x < 0.5) x = 0.5;
  if (x > 1.9) x = 1.9;
  const int band = z <= 180.0 ? 0 : (z <= 500.0 ? 1 : (z <= 1000.0 ? 2 : 3));
  const int set = 2 * band + (x > 0.85 ? 1 : 0);
  const double* c = JacFit + 30 * set;
  const double zk = z / 1000.0;
  double logrho = 0.0;
  for (int i = 5; i >= 0; i--) {
    const double* ci = c + 5 * i;
    double p = (((ci[4] * x + ci[3]) * x + ci[2]) * x + ci[1]) * x + ci[0];
    logrho = logrho * zk + p;
  }

  if (z < 350.0) logrho += (1.0 - f) * (0.012 * kp + 1.2e-5 * ekp);

  // Semi-annual variation (faded out between 300 and 400 km) and the
  // seasonal-latitudinal variation of the lower thermosphere.
  const double phi = (mjd - 36204.0) / 365.2422;
  if (z < 400.0) {
    double tsa =
        phi + 0.09544 * (std::pow(0.5 + 0.5 * std::sin(2.0 * kPi * phi + 6.035), 1.65) - 0.5);
    double zz = z < 300.0 ? z : 300.0;
    double fz = (5.876e-7 * std::pow(zz, 2.331) + 0.06328) * std::exp(-0.002868 * zz);
    double gt = 0.02835 + (0.3817 + 0.17829 * std::sin(2.0 * kPi * tsa + 4.137)) *
                              std::sin(4.0 * kPi * tsa + 4.259);
    double dsa = fz * gt;
    if (z > 300.1) dsa *= (400.0 - z) / 100.0;
    logrho += dsa;
  }
  const double sd = std::sin(dec);
  const double q = sd < 0.0 ? -sd * sd : sd * sd;
  logrho += 0.014 * (z - 90.0) * std::exp(-0.0013 * (z - 90.0) * (z - 90.0)) *
            std::sin(2.0 * kPi * phi + 1.72) * q;

  double dens = std::pow(10.0, logrho);
  if (h < 90.0 && dens > 0.0) dens *= std::exp((90.0 - h) * std::log(1.29 / dens) / 90.0);
  return std::isfinite(dens) ? dens : 0.0;  // (a NaN time)
}

// ---------------------------------------------------------------------------
// Third bodies, Sun and Moon
// ---------------------------------------------------------------------------

Vec3 ThirdBody(double gm, const Vec3& r, const Vec3& body) {
  const double b = abs(body);
  // A zero vector means no position is known: no perturbation rather than a
  // second central mass.
  if (b < 0.001) return Vec3();
  const Vec3 d = body - r;
  const double dd = abs(d);
  const double d3 = dd < 0.001 ? 1.0 : dd * dd * dd;
  return gm * (d / d3 - body / (b * b * b));
}

void UpSunMoon(double t, const WinpData* d, int sat, Vec3& sun, Vec3& moon) {
  if (!d || sat < 0 || sat >= NSLOTS) return;
  const double mjdt = d->tint[sat] + t / 86400.0;
  int day, month, year;
  double hour;
  caldat(mjdt, day, month, year, hour);
  const double T = julcent(mjdt + SetTtUt(d, year) / 86400.0);
  Sun200 s;
  Moon200 m;
  sun = aberrat(T, eclequ(T, s.position(T))) * kAU;
  moon = eclequ(T, m.position(T)) * kReWgs84M;
}

// ---------------------------------------------------------------------------
// Equations of motion
// ---------------------------------------------------------------------------

void RKfun(double t, double* y, double* dydt, const WinpData* d) {
  const int s = nmrksx;
  const Vec3 r(y[0], y[1], y[2]), v(y[3], y[4], y[5]);
  dydt[0] = v.x;
  dydt[1] = v.y;
  dydt[2] = v.z;
  if (!d || s < 0 || s >= NSLOTS) {
    dydt[3] = dydt[4] = dydt[5] = 0.0;
    return;
  }

  // Frames: N mean -> true of date, E mean of date -> Earth-fixed.
  const double mjdt = d->tint[s] + t / 86400.0;
  const double ut1 = d->IERSflg ? mjdt + d->Ut1Utc / 86400.0 : mjdt;
  double eqeq;
  const Mat3 N = nutmat(julcent(mjdt), eqeq, d->IERSflg);
  Mat3 E = zrot(lsidtim(ut1, 0.0, eqeq) * kPi / 12.0) * N;
  if (d->IERSxp != 0.0 || d->IERSyp != 0.0) E = PoleMx(d->IERSxp, d->IERSyp) * E;
  const Mat3 Nt = mxtrn(N);

  Vec3 ag;
  HarmAccTab(mxvct(E, r), HarmDegree(abs(r)), nmgravc, nmgravs, ag);
  Vec3 a = mxvct(mxtrn(E), ag);

  if (d->sunf) a += ThirdBody(kGmSun, r, spos);
  if (d->moonf) a += ThirdBody(kGmMoon, r, mpos);

  // Cylindrical shadow and radiation pressure.
  const Vec3 u = vnorm(spos);
  const double ru = dot(r, u);
  const bool shadow = ru < 0.0 && abs(r - ru * u) < kReWgs84M;
  if (!shadow && abs(spos) > 1.0) {  // (no pressure without a Sun position)
    Vec3 ds = r - spos;
    double dl = abs(ds);
    double q = kAU / dl;
    a += (d->cr[s] * d->am[s] * kSolarPressure * q * q) * (ds / dl);
  }

  // Drag in the rotating atmosphere.
  const Vec3 rt = mxvct(N, r), vt = mxvct(N, v);
  const Vec3 w = vt - Vec3(0.0, 0.0, kOmega) * rt;
  double h;
  const double dens = Jacc71(mjdt, rt, spos, d->f107[s], d->fb107[s], d->kp[s], h);
  const double wl = abs(w);
  const double dcoef = -0.5 * d->cd[s] * d->am[s] * dens * wl;
  a += mxvct(Nt, dcoef * w);

  if (h < 0.0) {
    // Below the ellipsoid the state rides with the Earth.
    Vec3 om = mxvct(Nt, Vec3(0.0, 0.0, kOmega)) * r;
    dydt[0] = om.x;
    dydt[1] = om.y;
    dydt[2] = dydt[3] = dydt[4] = dydt[5] = 0.0;
    return;
  }
  if (h < 90.0) {
    Mat3 M = GetRVMat(r, mxvct(Nt, w), 0.0, 90.0, 1);
    a += mxvct(mxtrn(M), Vec3(d->lift * std::fabs(dcoef) * wl, 0.0, 0.0));
  }

  if (d->ionf[s] && (!shadow || !d->suns[s])) {
    if (d->yaw[s] != 0.0 || d->pitch[s] != 0.0) {
      Mat3 M = GetRVMat(r, v, d->yaw[s], d->pitch[s], 1);
      a += mxvct(mxtrn(M), Vec3(d->deltv[s], 0.0, 0.0));
    } else {
      a += d->deltv[s] * vnorm(v);
    }
  }
  dydt[3] = a.x;
  dydt[4] = a.y;
  dydt[5] = a.z;
}

// The derivative the integrator calls without context: the equations of
// motion with the record of the NumProp call in progress.
void RKFun(double t, double* y, double* dydt) {
  if (nmdat) {
    RKfun(t, y, dydt, nmdat);
    return;
  }
  dydt[0] = y[3];
  dydt[1] = y[4];
  dydt[2] = y[5];
  dydt[3] = dydt[4] = dydt[5] = 0.0;
}

// ---------------------------------------------------------------------------
// Propagation driver
// ---------------------------------------------------------------------------

namespace {

bool usableSlot(const WinpData* d, int s) {
  const double v[] = {d->f107[s], d->fb107[s], d->kp[s], d->deltv[s], d->yaw[s], d->pitch[s],
                      d->lift, d->Ut1Utc, d->IERSxp, d->IERSyp, d->RKFtol};
  for (double x : v)
    if (!std::isfinite(x)) return false;
  // Drag and radiation pressure with a negative or infinite coefficient or
  // area-to-mass ratio (a zero mass) have no meaning.
  for (double x : {d->cd[s], d->cr[s], d->am[s]})
    if (!(x >= 0.0 && std::isfinite(x))) return false;
  return true;
}

bool finiteState(double x, double y, double z, double vx, double vy, double vz) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(vx) &&
         std::isfinite(vy) && std::isfinite(vz);
}

// The integrated state of slot s := y (m, m/s).
void setIntegrated(WinpData* d, int s, const double* y) {
  d->irx[s] = y[0];
  d->iry[s] = y[1];
  d->irz[s] = y[2];
  d->ivx[s] = y[3];
  d->ivy[s] = y[4];
  d->ivz[s] = y[5];
}

// Height (km) above the ellipsoid of a state y (m) in the integration frame,
// with N its turn to the true equator of date.
double heightIn(const Mat3& N, const double* y) {
  return EllipsoidHeight(mxvct(N, Vec3(y[0], y[1], y[2])));
}

// The integration frame (mean equator and equinox of date) to the Earth-fixed
// frame at mjd (polar motion left out, as the heights are); N receives the
// nutation matrix when asked for.
Mat3 earthFixed(const WinpData* d, double mjd, Mat3* nut = nullptr) {
  double eqeq;
  const Mat3 N = nutmat(julcent(mjd), eqeq, d->IERSflg);
  if (nut) *nut = N;
  const double ut1 = d->IERSflg ? mjd + d->Ut1Utc / 86400.0 : mjd;
  return zrot(lsidtim(ut1, 0.0, eqeq) * kPi / 12.0) * N;
}

// A satellite held on the ground at the Earth-fixed point e (m): its place r
// (m) and velocity v (m/s) at mjd in the integration frame.
void onGround(const WinpData* d, const Vec3& e, double mjd, Vec3& r, Vec3& v) {
  Mat3 N;
  r = mxvct(mxtrn(earthFixed(d, mjd, &N)), e);
  v = mxvct(mxtrn(N), Vec3(0.0, 0.0, kOmega)) * r;
}

// The end of a step from (t0, y0) that went below the surface: the step
// length is halved until the first point at or below the surface is known to
// a millisecond. t and y receive that point (they hold the step's end on
// entry, which is at or below the surface).
void findImpact(const Mat3& N, double t0, double* y0, double& t, double* y) {
  double lo = 0.0, hi = t - t0;
  rkf.SetMaxIter(1);  // each trial is one step of exactly the length asked
  for (int it = 0; it < 64 && std::fabs(hi - lo) > 1e-3; it++) {
    double yt[6], tn, hn;
    if (rkf.RKF45Step(t0, 0.5 * (lo + hi), y0, RKFun, tn, hn, yt) != RKF_OK) break;
    if (heightIn(N, yt) <= 0.0) {
      hi = tn - t0;
      for (int k = 0; k < 6; k++) y[k] = yt[k];
    } else {
      lo = tn - t0;
    }
  }
  t = t0 + hi;
}

}  // namespace

int NumProp(double mjd, WinpData* d, int sat, const Vec3& sun, const Vec3& moon, Vec3& r,
            Vec3& v) {
  if (!d || sat < 0 || sat >= NSLOTS) {
    r = v = Vec3();
    return NUMPROP_BADINPUT;
  }
  const bool stored = finiteState(d->irx[sat], d->iry[sat], d->irz[sat], d->ivx[sat],
                                  d->ivy[sat], d->ivz[sat]) &&
                      std::isfinite(d->tint[sat]);
  if (stored) {
    r = Vec3(d->irx[sat], d->iry[sat], d->irz[sat]) * 0.001;
    v = Vec3(d->ivx[sat], d->ivy[sat], d->ivz[sat]) * 0.001;
  } else {
    r = v = Vec3();
  }
  if (!std::isfinite(mjd) || !finite3(sun) || !finite3(moon) || !usableSlot(d, sat))
    return NUMPROP_BADINPUT;

  nmrksx = sat;
  double eqeq;
  const Mat3 N = nutmat(julcent(mjd), eqeq, d->IERSflg);
  const double ref[6] = {d->rx[sat], d->ry[sat], d->rz[sat], d->vx[sat], d->vy[sat], d->vz[sat]};
  const bool refok = finiteState(ref[0], ref[1], ref[2], ref[3], ref[4], ref[5]);
  double dt = (mjd - d->tint[sat]) * 86400.0;
  const double dt0 = (mjd - d->epoch[sat]) * 86400.0;
  bool restart = !stored || std::fabs(dt) > 1200.0;
  if (stored && refok && heightIn(N, ref) > 0.0) {
    const Vec3 e =
        mxvct(earthFixed(d, d->tint[sat]), Vec3(d->irx[sat], d->iry[sat], d->irz[sat]));
    if (EllipsoidHeight(e) <= 0.0) {
      // It came down at tint. Later (seen from the epoch) it stays there;
      // earlier it flies, from the reference state.
      if (dt * (d->tint[sat] - d->epoch[sat]) >= 0.0) {
        Vec3 rm, vm;
        onGround(d, e, mjd, rm, vm);
        r = rm * 0.001;
        v = vm * 0.001;
        d->mdist = 0.0;
        return NUMPROP_DECAYED;
      }
      restart = true;
      dt = std::copysign(HUGE_VAL, dt0);  // the reference epoch is the nearer
    }
  }
  if (restart) {
    // Restart from the reference state when its epoch is nearer.
    const bool ok0 = refok && std::isfinite(dt0);
    if (ok0 && (!stored || std::fabs(dt) > std::fabs(dt0))) {
      d->tint[sat] = d->epoch[sat];
      setIntegrated(d, sat, ref);
      dt = dt0;
    } else if (!stored) {
      return NUMPROP_BADINPUT;
    }
  }
  if (!std::isfinite(dt)) return NUMPROP_BADINPUT;

  smy[0] = d->irx[sat];
  smy[1] = d->iry[sat];
  smy[2] = d->irz[sat];
  smy[3] = d->ivx[sat];
  smy[4] = d->ivy[sat];
  smy[5] = d->ivz[sat];
  if (smy[0] * smy[0] + smy[1] * smy[1] + smy[2] * smy[2] < 100.0) smy[0] = 100.0;

  const Mat3 Nt = mxtrn(N);
  spos = mxvct(Nt, kReWgs84M * sun);
  mpos = mxvct(Nt, kReWgs84M * moon);
  const Vec3 r0(smy[0], smy[1], smy[2]);
  const bool nearMoon = abs(r0) > abs(r0 - mpos);

  rkf.SetTolerance(d->RKFtol, 1);
  rkf.SetMaxIter(d->mxit);

  if (dt == 0.0) {
    r = r0 * 0.001;
    v = Vec3(smy[3], smy[4], smy[5]) * 0.001;
    return NUMPROP_OK;
  }

  Keep<WinpData*> active(nmdat, d);  // the derivative wrapper's record until NumProp returns
  const double hmax = std::fmin(std::fabs(dt), 1200.0);
  const double hmin = std::fmin(0.1, 0.1 * hmax);
  const double hstop = std::fmin(kMinStep, 1e-3 * hmax);
  double h = std::copysign(hmax, dt);
  double t = 0.0;
  const bool refresh = std::fabs(dt) > 600.0;
  // A state that starts above the ground ends where it reaches it; one that
  // starts below rides with the Earth (the force model's rule).
  const bool flying = heightIn(N, smy) > 0.0;
  int counter = 0;
  int status = NUMPROP_OK;
  // The work of one call is bounded, whatever the forces do to the step.
  rkf.SetEvalBudget(nmevals);

  while (dt > 0.0 ? t < dt : t > dt) {
    if (refresh || nearMoon) UpSunMoon(t, d, sat, spos, mpos);
    double hnext;
    const double tlast = t;
    double ylast[6];
    for (int k = 0; k < 6; k++) ylast[k] = smy[k];
    if (rkf.RKF45Step(t, h, smy, RKFun, t, hnext, smy) != RKF_OK ||
        (d->mxit == 0 && std::fabs(t - tlast) < hstop)) {
      status = NUMPROP_STOPPED;
      break;
    }
    if (flying && heightIn(N, smy) <= 0.0) {
      findImpact(N, tlast, ylast, t, smy);
      status = NUMPROP_DECAYED;
      break;
    }
    h = std::fabs(hnext) > hmax ? std::copysign(hmax, hnext) : hnext;
    if (d->mxit != 0 && std::fabs(h) < 0.1 && std::fabs(h) < 0.1 * hmax) {
      // A collapsing step (close approach, re-entry) is forced on.
      h = std::copysign(hmin, dt);
      rkf.SetMaxIter(1);
      if (++counter > 1) {
        rkf.SetMaxIter(d->mxit);
        counter = 0;
      }
    }
  }
  if (status == NUMPROP_OK) {
    for (int pass = 0; pass < 4; pass++) {
      if (std::fabs(dt - t) <= 0.001) break;
      double hnext;
      if (rkf.RKF45Step(t, dt - t, smy, RKFun, t, hnext, smy) != RKF_OK) break;
    }
    if (std::fabs(dt - t) > 0.001) status = NUMPROP_STOPPED;
  }
  rkf.SetEvalBudget(-1);

  if (status == NUMPROP_DECAYED) {
    // Held where it came down, on the ground as it turns. (The surface was
    // found in the frame of mjd: in that of the impact's time the point may
    // lie a few metres higher, and is put below it.)
    const double timp = d->tint[sat] + t / 86400.0;
    Vec3 e = mxvct(earthFixed(d, timp), Vec3(smy[0], smy[1], smy[2]));
    const double h = EllipsoidHeight(e);
    if (h > 0.0) e = e * ((abs(e) - 1000.0 * h - 1.0) / abs(e));
    Vec3 rm, vm;
    onGround(d, e, timp, rm, vm);
    d->tint[sat] = timp;
    const double held[6] = {rm.x, rm.y, rm.z, vm.x, vm.y, vm.z};
    setIntegrated(d, sat, held);
    onGround(d, e, mjd, rm, vm);
    r = rm * 0.001;
    v = vm * 0.001;
    d->mdist = 0.0;
    return status;
  }

  // The last good state and the time it belongs to.
  d->tint[sat] += t / 86400.0;
  setIntegrated(d, sat, smy);
  r = Vec3(smy[0], smy[1], smy[2]) * 0.001;
  v = Vec3(smy[3], smy[4], smy[5]) * 0.001;
  d->mdist = nearMoon ? abs(Vec3(smy[0], smy[1], smy[2]) - mpos) : 0.0;

  if (d->epu[sat]) {
    d->rx[sat] = smy[0];
    d->ry[sat] = smy[1];
    d->rz[sat] = smy[2];
    d->vx[sat] = smy[3];
    d->vy[sat] = smy[4];
    d->vz[sat] = smy[5];
    d->epoch[sat] = d->tint[sat];
    double tp, m, a, e, node, argp, incl;
    oscelm(kGmEgm96Km3S2, d->tint[sat], r, v, tp, m, a, e, node, argp, incl);
    d->m0[sat] = m;
    d->a[sat] = a;
    d->ecc[sat] = e;
    d->ra[sat] = node;
    d->aper[sat] = argp;
    d->inc[sat] = incl;
    if (e < 1.0)
      d->mnmot[sat] = getn0(a, e, incl);
    else if (e == 1.0)
      d->mnmot[sat] = a;
    else
      d->mnmot[sat] = (1.0 - e) * a;
  }
  return status;
}
