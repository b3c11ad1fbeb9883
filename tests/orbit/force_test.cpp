// Force model: geopotential against independent evaluations, Jacchia 1971
// densities against the published values and the continuity of the fits,
// and the special cases of the equations of motion.
#include "orbit/vorlixnum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include "orbit/forcetables.h"

namespace {

constexpr double kGM = 3.986004415e14;
constexpr double kR = 6378137.0;
constexpr double kPi = 3.14159265358979323846;

double relErr(const Vec3& a, const Vec3& b) { return abs(a - b) / abs(b); }

// ---------------------------------------------------------------------------
// Geopotential
// ---------------------------------------------------------------------------

TEST(HarmAcc, ZonalJ2EqualsClosedForm) {
  double C[228] = {0}, S[228] = {0};
  C[0] = -1.0826266752e-3;
  const double j2 = -C[0];
  const Vec3 pts[] = {Vec3(6778137.0, 0.0, 0.0), Vec3(4.1e6, -3.3e6, 4.4e6),
                      Vec3(-1.2e6, 2.5e6, -6.6e6), Vec3(2.0e7, 1.0e7, 3.0e7),
                      Vec3(1.0, 2.0, 7.0e6)};
  for (const Vec3& r : pts) {
    Vec3 a;
    HarmAccTab(r, 2, C, S, a);
    double rr = abs(r), z2 = r.z * r.z / (rr * rr);
    double k = 1.5 * j2 * kGM * kR * kR / std::pow(rr, 5);
    Vec3 ref = -kGM / (rr * rr * rr) * r -
               k * Vec3(r.x * (1 - 5 * z2), r.y * (1 - 5 * z2), r.z * (3 - 5 * z2));
    EXPECT_LT(relErr(a, ref), 1e-12) << r;
    // Only the perturbation, to see that J2 itself is right.
    Vec3 pert = a + kGM / (rr * rr * rr) * r, pref = ref + kGM / (rr * rr * rr) * r;
    EXPECT_LT(relErr(pert, pref), 1e-9) << r;
  }
}

// The table read from the reference file, normalised, and the acceleration as
// the gradient of the potential in spherical coordinates with fully
// normalised Legendre functions: a formulation independent of the
// Cunningham recursion.
struct NormField {
  double C[21][21] = {{0}}, S[21][21] = {{0}};
};

NormField readNormalised() {
  NormField f;
  std::ifstream in(std::string(VORLIX_TEST_DATA) + "/gravity-degree20.csv");
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line[0] == 'n') continue;
    std::stringstream ss(line);
    std::string tok[4];
    for (auto& t : tok) std::getline(ss, t, ',');
    int n = std::stoi(tok[0]), m = std::stoi(tok[1]);
    // P_nm = P̄_nm / N_nm with N_nm = sqrt((2 - δ_m0)(2n+1)(n-m)!/(n+m)!).
    double ratio = 1.0;  // (n-m)!/(n+m)!
    for (int k = n - m + 1; k <= n + m; k++) ratio /= k;
    double N = std::sqrt((m == 0 ? 1.0 : 2.0) * (2 * n + 1) * ratio);
    f.C[n][m] = std::stod(tok[2]) / N;
    f.S[n][m] = std::stod(tok[3]) / N;
    rows++;
  }
  EXPECT_EQ(rows, 228);
  f.C[0][0] = 1.0;
  return f;
}

Vec3 normalisedAcc(const NormField& f, const Vec3& r, int nmax) {
  const double rr = abs(r), lon = std::atan2(r.y, r.x), t = r.z / rr;
  const double u = std::sqrt(1.0 - t * t);
  double P[22][22] = {{0}}, dP[22][22] = {{0}};
  P[0][0] = 1.0;
  for (int m = 1; m <= nmax; m++)
    P[m][m] = u * std::sqrt((m == 1 ? 3.0 : (2.0 * m + 1) / (2.0 * m))) * P[m - 1][m - 1];
  for (int m = 0; m <= nmax; m++) {
    if (m + 1 <= nmax) P[m + 1][m] = std::sqrt(2.0 * m + 3) * t * P[m][m];
    for (int n = m + 2; n <= nmax; n++) {
      double a = std::sqrt((2.0 * n - 1) * (2.0 * n + 1) / ((n - m) * double(n + m)));
      double b = std::sqrt((2.0 * n + 1) * (n + m - 1.0) * (n - m - 1.0) /
                           ((n - m) * double(n + m) * (2.0 * n - 3)));
      P[n][m] = a * t * P[n - 1][m] - b * P[n - 2][m];
    }
  }
  // dP̄nm/dphi = (sqrt((2n+1)(n-m)(n+m)/(2n-1)) P̄(n-1)m - n t P̄nm) / u.
  for (int n = 0; n <= nmax; n++)
    for (int m = 0; m <= n; m++) {
      double prev = n - 1 >= m ? P[n - 1][m] : 0.0;
      double k = n > 0 ? std::sqrt((2.0 * n + 1) * (n - m) * double(n + m) / (2.0 * n - 1)) : 0.0;
      dP[n][m] = (k * prev - n * t * P[n][m]) / u;
    }
  double ar = 0, aphi = 0, alam = 0;
  for (int n = 0; n <= nmax; n++) {
    double q = kGM / (rr * rr) * std::pow(kR / rr, n);
    for (int m = 0; m <= n; m++) {
      double cs = f.C[n][m] * std::cos(m * lon) + f.S[n][m] * std::sin(m * lon);
      double ds = m * (-f.C[n][m] * std::sin(m * lon) + f.S[n][m] * std::cos(m * lon));
      ar -= q * (n + 1) * P[n][m] * cs;
      aphi += q * dP[n][m] * cs;
      alam += q * P[n][m] * ds / u;
    }
  }
  const double cl = std::cos(lon), sl = std::sin(lon);
  Vec3 er(u * cl, u * sl, t), ephi(-t * cl, -t * sl, u), elam(-sl, cl, 0.0);
  return ar * er + aphi * ephi + alam * elam;
}

TEST(HarmAcc, FullFieldEqualsNormalisedLegendreEvaluation) {
  const NormField f = readNormalised();
  const Vec3 pts[] = {Vec3(6778137.0, 10.0, 20.0), Vec3(4.1e6, -3.3e6, 4.4e6),
                      Vec3(-1.2e6, 2.5e6, -6.6e6), Vec3(-5.0e6, -4.0e6, 1.0e6),
                      Vec3(3.0e5, 4.0e5, 6.9e6), Vec3(9.0e6, 8.0e6, -5.0e6)};
  for (const Vec3& r : pts) {
    for (int n : {20, 13}) {
      Vec3 a;
      HarmAcc(r, n, a);
      Vec3 ref = normalisedAcc(f, r, n);
      EXPECT_LT(relErr(a, ref), 1e-10) << r << " degree " << n;
      // The non-central part on its own, to a level that still sees every
      // coefficient of the table.
      Vec3 c = -kGM / std::pow(abs(r), 3) * r;
      EXPECT_LT(relErr(a - c, ref - c), 1e-8) << r << " degree " << n;
    }
  }
}

TEST(HarmAcc, DegreeIsLimitedAndNegativeGivesZero) {
  const Vec3 r(4.1e6, -3.3e6, 4.4e6);
  Vec3 a20, a99, an;
  HarmAcc(r, 20, a20);
  HarmAcc(r, 99, a99);
  EXPECT_EQ(a20.x, a99.x);
  EXPECT_EQ(a20.y, a99.y);
  EXPECT_EQ(a20.z, a99.z);
  HarmAcc(r, -1, an);
  EXPECT_EQ(abs(an), 0.0);
  Vec3 a0;  // the centre gives finite numbers, not a division by zero
  HarmAcc(Vec3(), 20, a0);
  EXPECT_TRUE(std::isfinite(a0.x) && std::isfinite(a0.y) && std::isfinite(a0.z));
}

// ---------------------------------------------------------------------------
// A record with every force off and its Earth rotation at hand.
// ---------------------------------------------------------------------------

struct ForceFixture : ::testing::Test {
  WinpData d;
  void SetUp() override {
    std::memset(&d, 0, sizeof d);
    d.tint[0] = 58849.0;  // 2020 January 1
    d.f107[0] = 150;
    d.fb107[0] = 150;
    d.kp[0] = 3;
    d.lift = 0.15;
    nmrksx = 0;
    spos = Vec3(1.4e11, 3.0e10, 1.3e10);
    mpos = Vec3(3.0e8, 2.0e8, 1.0e8);
  }
  Vec3 accel(const Vec3& r, const Vec3& v) {
    double y[6] = {r.x, r.y, r.z, v.x, v.y, v.z}, f[6];
    RKfun(0.0, y, f, &d);
    return Vec3(f[3], f[4], f[5]);
  }
  // Earth-fixed matrix as RKfun forms it.
  Mat3 earthFixed() {
    double eqeq;
    Mat3 N = nutmat(julcent(d.tint[0]), eqeq, d.IERSflg);
    return zrot(lsidtim(d.tint[0], 0.0, eqeq) * kPi / 12.0) * N;
  }
};

TEST_F(ForceFixture, GeopotentialDegreeFallsWithDistance) {
  EXPECT_EQ(HarmDegree(7378136.999), 20);
  EXPECT_EQ(HarmDegree(7378137.0), 15);
  EXPECT_EQ(HarmDegree(9999999.999), 15);
  EXPECT_EQ(HarmDegree(1e7), 10);
  EXPECT_EQ(HarmDegree(16378136.999), 10);
  EXPECT_EQ(HarmDegree(16378137.0), 6);
  // RKfun evaluates the field with that degree.
  const Mat3 E = earthFixed();
  for (double rr : {7378136.9, 7378137.0, 9999999.9, 1e7, 16378136.9, 16378137.0}) {
    Vec3 r(0.0, 0.0, rr), ag;
    HarmAcc(mxvct(E, r), HarmDegree(rr), ag);
    EXPECT_LT(relErr(accel(r, Vec3()), mxvct(mxtrn(E), ag)), 1e-14) << rr;
  }
}

// ---------------------------------------------------------------------------
// Jacchia 1971
// ---------------------------------------------------------------------------

// Density at height z (km) on the equator with the Sun over the north pole,
// which makes the diurnal factor independent of the hour angle, Kp = 0 and
// the flux chosen so that the exospheric temperature is tinf.
double densityAt(double z, double tinf, double mjd = 51544.0, double* hout = nullptr) {
  const double f = 0.5 * (std::tanh(0.04 * (std::fmax(z, 90.0) - 350.0)) + 1.0);
  const double geo = f * 0.03 + (1.0 - f) * 0.02;
  const double tc = (tinf - geo) / (1.0 + 0.3 * std::pow(0.5, 1.1));
  const double flux = (tc - 379.0) / 3.24;
  double h;
  double rho = Jacc71(mjd, Vec3(kR + 1000.0 * z, 0.0, 0.0), Vec3(0.0, 0.0, 1.5e11), flux, flux,
                      0.0, h);
  if (hout) *hout = h;
  return rho;
}

TEST(Jacc71, PublishedDensityAt1000K) {
  // Jacchia 1971 / CIRA-72 at 1000 K, 400 km: about 3.7e-12 kg/m^3.
  double h;
  double rho = densityAt(400.0, 1000.0, 51544.0, &h);
  EXPECT_NEAR(h, 400.0, 1e-9);
  EXPECT_NEAR(rho, 3.7e-12, 0.05 * 3.7e-12);
}

TEST(Jacc71, FitsJoinAtBandAndTemperatureBoundaries) {
  const double eps = 1e-6;
  for (double edge : {180.0, 500.0, 1000.0})
    for (double t = 500.0; t <= 1900.0; t += 50.0) {
      double lo = std::log10(densityAt(edge - eps, t)), hi = std::log10(densityAt(edge + eps, t));
      EXPECT_LT(std::fabs(lo - hi), 0.04) << edge << " km, " << t << " K";
    }
  for (double z = 90.0; z < 2500.0; z += 10.0) {
    double lo = std::log10(densityAt(z, 850.0 - 1e-6)), hi = std::log10(densityAt(z, 850.0 + 1e-6));
    EXPECT_LT(std::fabs(lo - hi), 0.04) << z << " km";
  }
}

TEST(Jacc71, DecreasesWithHeightAndBlendsToSeaLevel) {
  double prev = 2.0;
  for (double z = 0.0; z < 2500.0; z += 5.0) {
    double rho = densityAt(z, 1000.0);
    EXPECT_LT(rho, prev) << z;
    prev = rho;
  }
  EXPECT_NEAR(densityAt(0.0, 1000.0), 1.29, 1e-12);
  double h;
  EXPECT_EQ(Jacc71(51544.0, Vec3(kR - 10.0, 0, 0), Vec3(1e11, 0, 0), 150, 150, 3, h), 0.0);
  EXPECT_LT(h, 0.0);
  EXPECT_EQ(Jacc71(51544.0, Vec3(8.88e6, 0, 0), Vec3(1e11, 0, 0), 150, 150, 3, h), 0.0);
  EXPECT_EQ(h, 2500.0);
  EXPECT_EQ(Jacc71(51544.0, Vec3(), Vec3(1e11, 0, 0), 150, 150, 3, h), 0.0);
  EXPECT_EQ(h, 2500.0);
}

// Kp and the fluxes beyond their ranges: the density is that of the range's
// end, finite at every height (Kp 20 used to give an infinite density below
// 350 km through its exponential).
TEST(Jacc71, SpaceWeatherIsTakenWithinItsRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double kp, f107, fb107;     // as given
    double kpE, f107E, fb107E;  // as taken
  };
  const Case cases[] = {{20, 150, 150, 9, 150, 150},    {98.7, 150, 150, 9, 150, 150},
                        {1e300, 150, 150, 9, 150, 150}, {-3, 150, 150, 0, 150, 150},
                        {nan, 150, 150, 0, 150, 150},   {3, 1e4, 2e3, 3, F107_MAX, F107_MAX},
                        {3, -80, nan, 3, 0, 0},         {9, F107_MAX, 0, 9, F107_MAX, 0}};
  for (const Case& c : cases)
    for (double z = 0.0; z < 1000.0; z += 25.0) {
      const Vec3 r(kR + 1000.0 * z, 2e5, 3e5), sun(1e11, 5e10, 2e10);
      double h, hE;
      const double rho = Jacc71(58849.0, r, sun, c.f107, c.fb107, c.kp, h);
      const double rhoE = Jacc71(58849.0, r, sun, c.f107E, c.fb107E, c.kpE, hE);
      ASSERT_TRUE(std::isfinite(rho)) << c.kp << " " << z;
      EXPECT_EQ(rho, rhoE) << c.kp << " " << c.f107 << " " << z;
      EXPECT_EQ(h, hE);
    }
}

TEST(Jacc71, DiurnalBulgeDependsOnlyOnTheHourAngle) {
  // Satellite and Sun on the equator. The same hour angle of -20 deg written
  // as 350 - 10 and as 20 - 40 must give the same density: a hour angle
  // taken straight from two right ascensions in [0, 2 pi) would flip the
  // bulge for the first.
  auto at = [](double rasat, double rasun) {
    double h, a = rasat * kPi / 180, b = rasun * kPi / 180;
    return Jacc71(51544.0, Vec3(6.878e6 * std::cos(a), 6.878e6 * std::sin(a), 0.0),
                  Vec3(1.5e11 * std::cos(b), 1.5e11 * std::sin(b), 0.0), 150, 150, 3, h);
  };
  EXPECT_NEAR(at(350, 10) / at(20, 40), 1.0, 1e-12);
  EXPECT_NEAR(at(10, 350) / at(40, 20), 1.0, 1e-12);
  // Afternoon bulge: densest about 30 deg east of the Sun, thinnest near
  // 4 h in the morning.
  EXPECT_GT(at(40, 10), 1.5 * at(10 + 180 + 30, 10));
  for (double ra = 0; ra < 360; ra += 15) EXPECT_GE(at(ra, 10), at(10 + 180 + 45, 10) * 0.999);
}

TEST(Jacc71, SemiAnnualVariationFollowsThePublishedHeightFunction) {
  // On the equator with the Sun over the pole only the semi-annual term
  // depends on the date: log10 rho(t1) - log10 rho(t2) = f(z) (g(t1) - g(t2)).
  auto g = [](double mjd) {
    double phi = (mjd - 36204.0) / 365.2422;
    double tsa = phi + 0.09544 * (std::pow(0.5 + 0.5 * std::sin(2 * kPi * phi + 6.035), 1.65) - 0.5);
    return 0.02835 + (0.3817 + 0.17829 * std::sin(2 * kPi * tsa + 4.137)) *
                         std::sin(4 * kPi * tsa + 4.259);
  };
  auto fz = [](double z) {
    return (5.876e-7 * std::pow(z, 2.331) + 0.06328) * std::exp(-0.002868 * z);
  };
  const double t1 = 58849.0 + 100.0, t2 = 58849.0 + 200.0;
  for (double z : {120.0, 200.0, 280.0}) {
    double dl = std::log10(densityAt(z, 900.0, t1)) - std::log10(densityAt(z, 900.0, t2));
    EXPECT_NEAR(dl, fz(z) * (g(t1) - g(t2)), 1e-12) << z;
  }
  // Faded out linearly from 300 km, gone from 400 km.
  double dl = std::log10(densityAt(350.0, 900.0, t1)) - std::log10(densityAt(350.0, 900.0, t2));
  EXPECT_NEAR(dl, 0.5 * fz(300.0) * (g(t1) - g(t2)), 1e-12);
  EXPECT_EQ(densityAt(450.0, 900.0, t1), densityAt(450.0, 900.0, t2));
}

// ---------------------------------------------------------------------------
// Third bodies and the special cases of the equations of motion
// ---------------------------------------------------------------------------

TEST(ThirdBody, TidalAccelerationAndDegenerateBodies) {
  const Vec3 r(7e6, 0, 0), moon(3.84e8, 0, 0);
  Vec3 a = ThirdBody(4.902801e12, r, moon);
  // Along the line the tidal term is about 2 gm r / d^3.
  EXPECT_NEAR(a.x, 2 * 4.902801e12 * 7e6 / std::pow(3.84e8, 3), 0.05 * a.x);
  EXPECT_NEAR(a.y, 0.0, 1e-20);
  Vec3 at = ThirdBody(1.0, moon, moon);  // at the body itself: denominator 1
  EXPECT_NEAR(at.x, -1.0 / std::pow(3.84e8, 2), 1e-25);
  Vec3 none = ThirdBody(1e12, r, Vec3());  // no position given
  EXPECT_EQ(abs(none), 0.0);
}

TEST_F(ForceFixture, BelowTheEllipsoidTheStateRidesWithTheEarth) {
  const Vec3 r(kR - 500.0, 1000.0, 0.0);
  double y[6] = {r.x, r.y, r.z, 100.0, 200.0, 300.0}, f[6];
  RKfun(0.0, y, f, &d);
  double eqeq;
  Vec3 om = mxvct(mxtrn(nutmat(julcent(d.tint[0]), eqeq, false)), Vec3(0, 0, 7.292115e-5)) * r;
  EXPECT_NEAR(f[0], om.x, 1e-9);
  EXPECT_NEAR(f[1], om.y, 1e-9);
  for (int k = 2; k < 6; k++) EXPECT_EQ(f[k], 0.0);
}

TEST_F(ForceFixture, ShadowSwitchesRadiationPressureAndSunOnlyThrust) {
  d.cr[0] = 1.3;
  d.am[0] = 0.02;
  d.ionf[0] = true;
  d.suns[0] = true;
  d.deltv[0] = 1e-4;
  const Vec3 u = vnorm(spos);
  const Vec3 v(0.0, 7500.0, 0.0);
  Vec3 behind = -1.2e7 * u, front = 1.2e7 * u;  // beyond 8.87e6 m: no drag
  Vec3 aB = accel(behind, v), aF = accel(front, v);
  d.cr[0] = 0.0;
  d.ionf[0] = false;
  Vec3 aB0 = accel(behind, v), aF0 = accel(front, v);
  EXPECT_EQ(abs(aB - aB0), 0.0);  // no pressure, no thrust in the shadow
  // Sunlit: radiation pressure away from the Sun plus thrust along v.
  Vec3 extra = aF - aF0;
  Vec3 srp = 1.3 * 0.02 * 4.56e-6 * std::pow(149597870691.0 / abs(front - spos), 2) *
             vnorm(front - spos);
  EXPECT_LT(abs(extra - srp - 1e-4 * vnorm(v)), 1e-15);
}

TEST_F(ForceFixture, DragOpposesTheAirflowAndLiftActsBelow90km) {
  d.cd[0] = 2.3;
  d.am[0] = 0.01;
  const Vec3 r(kR + 300e3, 0, 0), v(0, 7700, 0);
  const Vec3 a0 = accel(r, v);
  d.cd[0] = 0.0;
  const Vec3 drag = a0 - accel(r, v);
  EXPECT_LT(drag.y, 0.0);
  EXPECT_NEAR(drag.y, -0.5 * 2.3 * 0.01 * densityAt(300, 1000) * 7200 * 7200,
              std::fabs(drag.y));  // order of magnitude only; the model is tested above
  // At 60 km the lift adds lift x |drag| perpendicular to the airflow.
  d.cd[0] = 2.3;
  const Vec3 rl(kR + 60e3, 0, 0);
  Vec3 withLift = accel(rl, v);
  d.lift = 0.0;
  Vec3 noLift = accel(rl, v);
  d.cd[0] = 0.0;
  Vec3 grav = accel(rl, v);
  double dragMag = abs(noLift - grav), liftMag = abs(withLift - noLift);
  EXPECT_NEAR(liftMag, 0.15 * dragMag, 1e-9 * dragMag);
  EXPECT_NEAR(dot(withLift - noLift, noLift - grav), 0.0, 1e-6 * liftMag * dragMag);
}

}  // namespace
