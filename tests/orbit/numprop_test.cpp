// Numerical propagation driver: two-body motion, J2 node drift, energy,
// the restart and store rules, and bad settings that must end cleanly.
#include "orbit/vorlixnum.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "astro/astrolib.h"
#include "orbit/forcetables.h"
#include "support/record.h"

namespace {

constexpr double kGM = 3.986004415e14;
constexpr double kR = 6378137.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kEpoch = 58849.0;  // 2020 January 1, 0h UT

const double kZero[228] = {0};
double gJ2Only[228] = {-1.0826266752e-3};

// Sun and Moon at kEpoch in Earth radii (direction and distance are what
// matter here).
const Vec3 kSun(5.6e3, -2.1e4, -9.2e3);
const Vec3 kMoon(40.0, 35.0, 12.0);

struct NumPropTest : ::testing::Test {
  WinpData d;
  // Elements of the reference orbit (m, deg): a 400 km LEO.
  const double a = kR + 400e3, e = 0.001, inc = 51.6, node = 30.0, argp = 40.0, m0 = 10.0;

  void SetUp() override {
    std::memset(&d, 0, sizeof d);
    d.RKFtol = 1e-8;
    d.mxit = 20;
    d.lift = 0.15;
    d.f107[0] = 150;
    d.fb107[0] = 150;
    d.kp[0] = 3;
    d.am[0] = 0.01;
    d.epoch[0] = kEpoch;
    Vec3 r, v;
    kepler(kGM, 0.0, 0.0, m0, a, e, node, argp, inc, r, v);
    setReference(r, v);
  }
  void TearDown() override {
    nmgravc = GravC;
    nmgravs = GravS;
    nmevals = NUMPROP_EVAL_BUDGET;
  }
  void setReference(const Vec3& r, const Vec3& v) {
    support::setSlotState(&d, 0, r, v);
    d.tint[0] = d.epoch[0];
  }
  void allForcesOn() {
    d.sunf = d.moonf = true;
    d.cd[0] = 2.3;
    d.cr[0] = 1.3;
  }
  bool slotFinite() const {
    for (double x : {d.tint[0], d.irx[0], d.iry[0], d.irz[0], d.ivx[0], d.ivy[0], d.ivz[0]})
      if (!std::isfinite(x)) return false;
    return true;
  }
  // Height (km) above the ellipsoid of a result r (km) of a call for mjd.
  static double height(const Vec3& r, double mjd) {
    double eqeq;
    return EllipsoidHeight(mxvct(nutmat(julcent(mjd), eqeq, false), 1000.0 * r));
  }
  double energy(const Vec3& r, const Vec3& v) const {  // km, km/s in; m^2/s^2 out
    return 0.5 * 1e6 * dot(v, v) - kGM / (1000.0 * abs(r));
  }
};

TEST_F(NumPropTest, CentralFieldReproducesKeplerForwardsAndBackwards) {
  nmgravc = nmgravs = kZero;
  d.RKFtol = 1e-13;
  for (double days : {1.0, -1.0}) {
    Vec3 r, v, rk, vk;
    ASSERT_EQ(NumProp(kEpoch + days, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
    kepler(kGM, 0.0, days * 86400.0, m0, a, e, node, argp, inc, rk, vk);
    EXPECT_LT(abs(1000.0 * r - rk), 1e-3) << days;  // 1 mm
    EXPECT_LT(abs(1000.0 * v - vk), 1e-6) << days;    // 1 um/s
    EXPECT_DOUBLE_EQ(d.tint[0], kEpoch + days);
    EXPECT_NEAR(d.irx[0], 1000.0 * r.x, 1e-6);
  }
}

TEST_F(NumPropTest, EnergyIsConservedWithForcesOff) {
  nmgravc = nmgravs = kZero;
  d.RKFtol = 1e-11;
  Vec3 r0(d.rx[0] / 1000, d.ry[0] / 1000, d.rz[0] / 1000),
      v0(d.vx[0] / 1000, d.vy[0] / 1000, d.vz[0] / 1000);
  const double e0 = energy(r0, v0);
  Vec3 r, v;
  for (int k = 1; k <= 24; k++) {  // hour by hour, as a plot would ask
    ASSERT_EQ(NumProp(kEpoch + k / 24.0, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
    EXPECT_LT(std::fabs(energy(r, v) / e0 - 1.0), 1e-9) << k;
  }
}

TEST_F(NumPropTest, J2NodeDriftsAtTheAnalyticRate) {
  nmgravc = gJ2Only;
  nmgravs = kZero;
  d.RKFtol = 1e-10;
  // Least-squares slope of the node over two days averages the short-period
  // terms out.
  const int n = 193;
  double st = 0, sn = 0, stt = 0, stn = 0, sa = 0, prev = 0, turns = 0;
  for (int k = 0; k < n; k++) {
    double t = k * 2.0 / (n - 1);
    Vec3 r, v;
    ASSERT_EQ(NumProp(kEpoch + t, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
    Vec3 h = r * v;
    double om = std::atan2(h.x, -h.y) + turns;
    if (k > 0 && om - prev > kPi) turns -= 2 * kPi, om -= 2 * kPi;
    if (k > 0 && om - prev < -kPi) turns += 2 * kPi, om += 2 * kPi;
    prev = om;
    st += t, sn += om, stt += t * t, stn += t * om;
    sa += 1.0 / (2.0 / abs(r) - dot(v, v) / 398600.4415);
  }
  const double slope = (n * stn - st * sn) / (n * stt - st * st);  // rad/day
  const double am = 1000.0 * sa / n, p = am * (1 - e * e);
  const double rate = -1.5 * std::sqrt(kGM / (am * am * am)) * 1.0826266752e-3 *
                      std::pow(kR / p, 2) * std::cos(inc * kPi / 180) * 86400.0;
  EXPECT_NEAR(slope / rate, 1.0, 0.005) << slope << " " << rate;
}

TEST_F(NumPropTest, RestartAndStoreRules) {
  Vec3 r, v;
  // At tint: the stored state, nothing integrated or stored.
  ASSERT_EQ(NumProp(kEpoch, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_EQ(1000.0 * r.x, d.rx[0]);
  EXPECT_EQ(1000.0 * v.z, d.vz[0]);
  // Forward three hours, then 1000 s back from there: continues from tint.
  ASSERT_EQ(NumProp(kEpoch + 0.125, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  const double x3h = d.irx[0];
  ASSERT_EQ(NumProp(kEpoch + 0.125 - 1000.0 / 86400, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_NEAR(d.tint[0], kEpoch + 0.125 - 1000.0 / 86400, 1e-11);
  ASSERT_EQ(NumProp(kEpoch + 0.125, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_NEAR(d.irx[0], x3h, 0.01);  // there and back
  // 2000 s after the epoch is nearer to the epoch than to tint: restart from
  // the reference state gives the same as going there directly.
  ASSERT_EQ(NumProp(kEpoch + 2000.0 / 86400, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  WinpData fresh = d;
  setReference(Vec3(d.rx[0], d.ry[0], d.rz[0]), Vec3(d.vx[0], d.vy[0], d.vz[0]));
  Vec3 r2, v2;
  ASSERT_EQ(NumProp(kEpoch + 2000.0 / 86400, &d, 0, kSun, kMoon, r2, v2), NUMPROP_OK);
  EXPECT_EQ(abs(r2 - r), 0.0);
  EXPECT_EQ(fresh.tint[0], d.tint[0]);
}

TEST_F(NumPropTest, ZeroStateStartsFrom100mAndRidesWithTheEarth) {
  setReference(Vec3(), Vec3());
  Vec3 r, v;
  ASSERT_EQ(NumProp(kEpoch + 0.01, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_NEAR(abs(r), 0.1, 1e-9);  // km: below the ground, carried round
  EXPECT_TRUE(slotFinite());
}

TEST_F(NumPropTest, ElementsFollowTheStateWhenAsked) {
  allForcesOn();
  d.epu[0] = true;
  Vec3 r, v;
  ASSERT_EQ(NumProp(kEpoch + 0.5, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_EQ(d.epoch[0], d.tint[0]);
  EXPECT_EQ(d.rx[0], d.irx[0]);
  EXPECT_NEAR(d.a[0], a / 1000.0, 20.0);
  EXPECT_NEAR(d.inc[0], inc, 0.05);
  EXPECT_NEAR(d.mnmot[0], 15.5, 0.1);
  Vec3 rk, vk;
  kepler(398600.4415, d.tint[0], d.tint[0], d.m0[0], d.a[0], d.ecc[0], d.ra[0], d.aper[0],
         d.inc[0], rk, vk);
  EXPECT_LT(abs(rk - r), 1e-6);
}

// Every setting a dialog can produce ends in bounded time with a status,
// leaves finite numbers in the slot and never moves the slot on bad input.
TEST_F(NumPropTest, BadSettingsEndCleanly) {
  struct Case {
    const char* what;
    std::function<void(WinpData&)> set;
    int status;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {"negative cd", [](WinpData& w) { w.cd[0] = -2.3; }, NUMPROP_BADINPUT},
      {"negative area", [](WinpData& w) { w.am[0] = -0.01; }, NUMPROP_BADINPUT},
      {"zero mass", [=](WinpData& w) { w.am[0] = inf; }, NUMPROP_BADINPUT},
      {"NaN cr", [=](WinpData& w) { w.cr[0] = nan; }, NUMPROP_BADINPUT},
      {"NaN flux", [=](WinpData& w) { w.f107[0] = nan; }, NUMPROP_BADINPUT},
      {"NaN tolerance", [=](WinpData& w) { w.RKFtol = nan; }, NUMPROP_BADINPUT},
      {"NaN state", [=](WinpData& w) { w.irx[0] = w.rx[0] = nan; }, NUMPROP_BADINPUT},
      {"zero area", [](WinpData& w) { w.am[0] = 0.0; }, NUMPROP_OK},
      {"zero tolerance", [](WinpData& w) { w.RKFtol = 0.0; }, NUMPROP_OK},
      {"negative tolerance", [](WinpData& w) { w.RKFtol = -1e-8; }, NUMPROP_OK},
      {"zero iterations", [](WinpData& w) { w.mxit = 0; }, NUMPROP_OK},
      {"negative iterations", [](WinpData& w) { w.mxit = -5; }, NUMPROP_OK},
      {"zero iterations, zero tolerance",
       [](WinpData& w) { w.mxit = 0; w.RKFtol = 0.0; }, NUMPROP_OK},
      {"huge tolerance", [](WinpData& w) { w.RKFtol = 1e300; }, NUMPROP_OK},
  };
  for (const Case& c : cases) {
    SetUp();
    allForcesOn();
    c.set(d);
    const WinpData before = d;
    Vec3 r, v;
    auto t0 = std::chrono::steady_clock::now();
    int st = NumProp(kEpoch + 0.05, &d, 0, kSun, kMoon, r, v);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(st, c.status) << c.what;
    EXPECT_LT(secs, 5.0) << c.what;
    EXPECT_TRUE(std::isfinite(abs(r)) && std::isfinite(abs(v))) << c.what;
    if (c.status == NUMPROP_BADINPUT) {
      EXPECT_EQ(std::memcmp(&before, &d, sizeof d), 0) << c.what;
    } else {
      EXPECT_TRUE(slotFinite()) << c.what;
      EXPECT_NEAR(d.tint[0], kEpoch + 0.05, 1e-8) << c.what;
      if (d.RKFtol < 1.0) {  // (a tolerance of 1 keeps nothing accurate)
        EXPECT_NEAR(abs(r), a / 1000.0, 30.0) << c.what;
      }
    }
  }
  Vec3 r, v;
  EXPECT_EQ(NumProp(nan, &d, 0, kSun, kMoon, r, v), NUMPROP_BADINPUT);
  EXPECT_EQ(NumProp(kEpoch, &d, 12, kSun, kMoon, r, v), NUMPROP_BADINPUT);
  EXPECT_EQ(NumProp(kEpoch, nullptr, 0, kSun, kMoon, r, v), NUMPROP_BADINPUT);
  EXPECT_EQ(abs(r), 0.0);
}

// Forces that the integrator cannot follow: the step collapses. With unlimited
// attempts the call must still end, keep the last good state and its time.
TEST_F(NumPropTest, CollapsingStepsStopWithTheLastGoodState) {
  allForcesOn();
  for (int mxit : {0, 20}) {
    SetUp();
    allForcesOn();
    d.mxit = mxit;
    d.am[0] = 1e300;  // finite, but drag of 1e290 m/s^2
    Vec3 r, v;
    auto t0 = std::chrono::steady_clock::now();
    int st = NumProp(kEpoch + 0.05, &d, 0, kSun, kMoon, r, v);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(secs, 30.0) << mxit;
    EXPECT_TRUE(slotFinite()) << mxit;
    EXPECT_TRUE(std::isfinite(abs(r)) && std::isfinite(abs(v))) << mxit;
    if (st == NUMPROP_STOPPED) {
      EXPECT_LT(d.tint[0], kEpoch + 0.05) << mxit;
    }
    EXPECT_NEAR(1000.0 * r.x, d.irx[0], 1e-6);
  }
}

// Kp beyond its scale of 0..9 (20 is one typing error away from 2.0) made
// the density below 350 km infinite: the integration crept towards that
// height and never returned, or stood still at the epoch without a word. It
// is taken at the end of its scale, as the fluxes are at theirs.
TEST_F(NumPropTest, SpaceWeatherBeyondItsScaleIsTakenAtItsEnd) {
  struct Case {
    const char* what;
    Vec3 r, v;  // m, m/s
    double kp, flux, kpEnd, fluxEnd;
  };
  const double vc300 = std::sqrt(kGM / (kR + 300e3));
  const Case cases[] = {
      {"falling from 400 km, Kp 20", Vec3(6778e3, 0, 0), Vec3(0, 4800, 0), 20.0, 150.0, 9.0, 150.0},
      {"circular 300 km, Kp 20", Vec3(kR + 300e3, 0, 0), Vec3(0, 0.6 * vc300, 0.8 * vc300), 20.0,
       150.0, 9.0, 150.0},
      {"Kp 98.7, flux 1e4", Vec3(6778e3, 0, 0), Vec3(0, 4800, 0), 98.7, 1e4, 9.0, F107_MAX},
      {"Kp -3, flux -50", Vec3(kR + 300e3, 0, 0), Vec3(0, vc300, 0), -3.0, -50.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    WinpData run[2];
    for (int k = 0; k < 2; k++) {
      SetUp();
      allForcesOn();
      d.cd[0] = 2.2;
      setReference(c.r, c.v);
      d.kp[0] = k == 0 ? c.kp : c.kpEnd;
      d.f107[0] = d.fb107[0] = k == 0 ? c.flux : c.fluxEnd;
      Vec3 r, v;
      ASSERT_EQ(NumProp(kEpoch + 0.004, &d, 0, kSun, kMoon, r, v), NUMPROP_OK) << c.what;
      EXPECT_NEAR(d.tint[0], kEpoch + 0.004, 1e-9) << c.what;
      EXPECT_GT(height(r, kEpoch + 0.004), 0.0) << c.what;
      run[k] = d;
    }
    // Bit for bit the state of the end of the scale.
    const WinpData &a = run[0], &b = run[1];
    EXPECT_TRUE(a.irx[0] == b.irx[0] && a.iry[0] == b.iry[0] && a.irz[0] == b.irz[0] &&
                a.ivx[0] == b.ivx[0] && a.ivy[0] == b.ivy[0] && a.ivz[0] == b.ivz[0])
        << c.what;
  }
}

// The work of one call is bounded by force evaluations: a span the budget
// cannot cover stops with the state reached, and the next call goes on.
TEST_F(NumPropTest, EachCallEndsWithinItsEvaluationBudget) {
  allForcesOn();
  nmevals = 3000;  // some 500 steps: a few hours of this orbit
  Vec3 r, v;
  double reached = kEpoch;
  int calls = 0;
  int st = NUMPROP_STOPPED;
  while (st == NUMPROP_STOPPED && calls < 50) {
    st = NumProp(kEpoch + 1.0, &d, 0, kSun, kMoon, r, v);
    ++calls;
    ASSERT_TRUE(st == NUMPROP_OK || st == NUMPROP_STOPPED) << st;
    EXPECT_GT(d.tint[0], reached) << calls;  // every call gets on
    reached = d.tint[0];
    EXPECT_TRUE(slotFinite());
  }
  EXPECT_EQ(st, NUMPROP_OK);
  EXPECT_GT(calls, 2);
  EXPECT_DOUBLE_EQ(d.tint[0], kEpoch + 1.0);
  // The same day in one call within the usual budget.
  nmevals = NUMPROP_EVAL_BUDGET;
  SetUp();
  allForcesOn();
  Vec3 r1, v1;
  ASSERT_EQ(NumProp(kEpoch + 1.0, &d, 0, kSun, kMoon, r1, v1), NUMPROP_OK);
  EXPECT_LT(abs(r1 - r), 0.01);  // km: the calls only split the integration
}

// An ordinary decaying orbit comes down on day 4.56. It stops at the surface
// and is held there with the Earth, however the calls are stepped, and later
// calls return at once; earlier times still fly from the reference state.
TEST_F(NumPropTest, DecayedSatelliteIsHeldWhereItCameDown) {
  auto decaying = [this](int mxit) {
    SetUp();
    setReference(Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
    d.cd[0] = 2.2;
    d.mxit = mxit;
  };
  // The Earth-fixed place of a result for mjd.
  auto fixed = [](const Vec3& r, double mjd) {
    double eqeq;
    const Mat3 N = nutmat(julcent(mjd), eqeq, false);
    return mxvct(zrot(lsidtim(mjd, 0.0, eqeq) * kPi / 12.0) * N, r);
  };
  decaying(20);
  Vec3 r, v;
  ASSERT_EQ(NumProp(kEpoch + 8.0, &d, 0, kSun, kMoon, r, v), NUMPROP_DECAYED);
  const double impact = d.tint[0];
  EXPECT_NEAR(impact, kEpoch + 4.56, 0.05);
  EXPECT_LE(height(r, kEpoch + 8.0), 0.0);
  EXPECT_GT(height(r, kEpoch + 8.0), -0.01);
  EXPECT_TRUE(slotFinite());
  const Vec3 site = fixed(r, kEpoch + 8.0);
  // Its velocity is the ground's: about 0.4 km/s at most.
  EXPECT_LT(abs(v), 0.47);

  // Later calls: the same place on the ground, nothing integrated (the slot
  // untouched, the evaluation budget never set; bench_numprop times them).
  const WinpData down = d;
  rkf.SetEvalBudget(7);
  for (int k = 0; k < 2000; k++) {
    const double t = kEpoch + 5.0 + k * 0.002;
    ASSERT_EQ(NumProp(t, &d, 0, kSun, kMoon, r, v), NUMPROP_DECAYED);
    ASSERT_LT(abs(fixed(r, t) - site), 1e-6) << t;  // km: fixed on the ground
  }
  EXPECT_EQ(rkf.GetEvalBudget(), 7);
  rkf.SetEvalBudget(-1);
  EXPECT_EQ(std::memcmp(&down, &d, sizeof d), 0);

  // Before the impact it flies, exactly as from a fresh slot.
  ASSERT_EQ(NumProp(kEpoch + 3.0, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  const WinpData flying = d;
  decaying(20);
  Vec3 r3, v3;
  ASSERT_EQ(NumProp(kEpoch + 3.0, &d, 0, kSun, kMoon, r3, v3), NUMPROP_OK);
  EXPECT_EQ(abs(r3 - r), 0.0);
  EXPECT_EQ(flying.tint[0], d.tint[0]);

  // Day by day, and with unlimited attempts: the same end.
  for (int mxit : {20, 0}) {
    decaying(mxit);
    int first = 0;
    for (int day = 1; day <= 8; day++) {
      const int st = NumProp(kEpoch + day, &d, 0, kSun, kMoon, r, v);
      if (st == NUMPROP_DECAYED && !first) first = day;
      ASSERT_EQ(st, day < 5 ? NUMPROP_OK : NUMPROP_DECAYED) << mxit << " day " << day;
    }
    EXPECT_EQ(first, 5);
    EXPECT_NEAR(d.tint[0], impact, 60.0 / 86400.0) << mxit;
    EXPECT_LT(abs(fixed(r, kEpoch + 8.0) - site), 30.0) << mxit;
    EXPECT_LE(height(r, kEpoch + 8.0), 0.0) << mxit;
  }
}

// A state that starts below the ground never flew: it rides with the Earth
// and is no decay.
TEST_F(NumPropTest, StateBelowTheGroundRidesWithTheEarth) {
  setReference(Vec3(kR - 5e3, 0, 0), Vec3());
  Vec3 r, v;
  ASSERT_EQ(NumProp(kEpoch + 0.25, &d, 0, kSun, kMoon, r, v), NUMPROP_OK);
  EXPECT_NEAR(abs(r), (kR - 5e3) / 1000.0, 1e-3);
  EXPECT_NEAR(d.tint[0], kEpoch + 0.25, 1e-9);
}

}  // namespace
