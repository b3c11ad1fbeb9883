// Delta-V manoeuvres and launch orbits of the prime slot.
#include "engine/launch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "engine/tle.h"
#include "support/record.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kEpoch = 61384.25;            // 2026 Dec 10, 6h UT
constexpr double kGm = 2.9755364003e15 / 86400.0 / 86400.0;  // km^3/s^2, the Kepler model's

enum Model { kSgp4, kKepler, kNumeric };

std::unique_ptr<WinpData> newRecord() {
  auto d = support::newRecord(48.0, 11.0, 0.0);
  d->satnr = 2;
  d->prs = 0;
  d->rndflg = -1;
  d->RKFtol = 1e-12;
  d->mxit = 20;
  d->dF107 = d->dFB107 = 150.0;
  d->dKp = 3.0;
  d->dCd = 2.2;
  d->dCr = 1.3;
  d->dAm = 0.005;
  return d;
}

// Slot s: a near-circular low orbit propagated by the given model.
void setSlot(WinpData* d, int s, Model m, double inc = 51.64, double ecc = 0.0007,
             double n = 15.5) {
  d->epoch[s] = kEpoch;
  d->inc[s] = inc;
  d->ra[s] = 247.46;
  d->ecc[s] = ecc;
  d->aper[s] = 130.5;
  d->m0[s] = 325.0;
  d->mnmot[s] = n;
  d->bstar[s] = m == kSgp4 ? 3.4e-5 : 0.0;
  d->sgpflg[s] = m == kSgp4;
  d->a[s] = getsax(d->sgpflg[s], n, ecc, inc);
  d->sgpsat = SGPSAT_NONE;
  EpochState(d, s, true);
  d->nmflg[s] = m == kNumeric;
  d->tint[s] = d->epoch[s];
}

// Positions (m) of slot 0 over one day from t, as the slot's model gives them.
std::vector<Vec3> track(WinpData* d, double t) {
  std::vector<Vec3> out;
  for (int k = 0; k <= 24; ++k) {
    GetSatPos(t + k / 24.0, d, satpos, 0, 0);
    out.emplace_back(d->irx[0], d->iry[0], d->irz[0]);
  }
  return out;
}

// The orbits of every slot in d are those of before (NaN standing for NaN).
void expectSlotsAsBefore(const WinpData& before, const WinpData& d) {
  for (int s = 0; s < NSLOTS; ++s) {
    for (auto f : {&WinpData::epoch, &WinpData::a, &WinpData::ra, &WinpData::aper,
                   &WinpData::inc, &WinpData::ecc, &WinpData::m0, &WinpData::mnmot,
                   &WinpData::irx, &WinpData::ivy, &WinpData::rx, &WinpData::vz,
                   &WinpData::tint}) {
      const double x = (d.*f)[s], y = (before.*f)[s];
      EXPECT_TRUE(x == y || (std::isnan(x) && std::isnan(y))) << s;
    }
    EXPECT_EQ(d.sgpflg[s], before.sgpflg[s]);
    EXPECT_EQ(d.nmflg[s], before.nmflg[s]);
  }
}

double maxDistance(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
  double m = 0;
  for (size_t k = 0; k < a.size(); ++k) m = std::fmax(m, abs(a[k] - b[k]));
  return m;
}

TEST(ExDeltaV, ZeroDeltaVLeavesTheTrackUnchanged) {
  for (Model m : {kSgp4, kKepler, kNumeric}) {
    SCOPED_TRACE(m);
    auto d = newRecord();
    setSlot(d.get(), 0, m);
    const double t = kEpoch + 0.3;
    d->curmjd = t;
    const std::vector<Vec3> before = track(d.get(), t);
    EXPECT_EQ(ExDeltaV(d.get(), 0.0, 0.0, 0.0), 0);
    EXPECT_EQ(d->epoch[0], t);
    EXPECT_EQ(d->sgpflg[0], m == kSgp4);
    EXPECT_EQ(d->sgpsat, SGPSAT_NONE);
    EXPECT_LT(maxDistance(before, track(d.get(), t)), 10.0);
  }
}

// An impulse changes the semi-major axis of a Kepler slot by the vis-viva
// amount, and the new elements reproduce the new state at the burn.
TEST(ExDeltaV, KeplerSlotFollowsVisViva) {
  struct Case {
    double dv, yaw, pitch;
  } cases[] = {{10.0, 0, 0}, {-25.0, 0, 0}, {15.0, 30.0, 0}, {15.0, 0, -20.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dv + c.yaw + c.pitch);
    auto d = newRecord();
    setSlot(d.get(), 0, kKepler, 51.64, 0.02);
    const double t = kEpoch + 0.3;
    d->curmjd = t;
    GetSatPos(t, d.get(), satpos, 0, 0);
    const Vec3 r(d->irx[0] / 1000, d->iry[0] / 1000, d->irz[0] / 1000);
    const Vec3 v0(d->ivx[0] / 1000, d->ivy[0] / 1000, d->ivz[0] / 1000);
    ASSERT_EQ(ExDeltaV(d.get(), c.dv, c.yaw, c.pitch), 0);
    const Vec3 v(d->ivx[0] / 1000, d->ivy[0] / 1000, d->ivz[0] / 1000);
    EXPECT_NEAR(abs(v - v0), std::fabs(c.dv) / 1000.0, 1e-12);
    if (c.yaw == 0 && c.pitch == 0) {
      EXPECT_NEAR(abs(v), abs(v0) + c.dv / 1000.0, 1e-12);
    }
    const double aexp = 1.0 / (2.0 / abs(r) - dot(v, v) / kGm);
    EXPECT_NEAR(d->a[0] / aexp, 1.0, 1e-9);
    // The stored state is the new one; the Kepler model starts from it.
    EXPECT_EQ(d->vx[0], d->ivx[0]);
    GetSatPos(t, d.get(), satpos, 0, 0);
    EXPECT_LT(abs(Vec3(d->irx[0], d->iry[0], d->irz[0]) - r * 1000.0), 1e-3);
    EXPECT_LT(abs(Vec3(d->ivx[0], d->ivy[0], d->ivz[0]) - v * 1000.0), 1e-6);
  }
}

// Escape speed: the slot becomes a Kepler hyperbola counted from its
// pericentre, with the pericentre distance in mnmot.
TEST(ExDeltaV, HyperbolaTurnsAnySlotIntoKepler) {
  for (Model m : {kSgp4, kKepler}) {
    auto d = newRecord();
    setSlot(d.get(), 0, m);
    const double t = kEpoch + 0.1;
    d->curmjd = t;
    GetSatPos(t, d.get(), satpos, 0, 0);
    const Vec3 r(d->irx[0], d->iry[0], d->irz[0]);
    EXPECT_EQ(ExDeltaV(d.get(), 4000.0, 0.0, 0.0), 1);
    EXPECT_EQ(d->sgpflg[0], 0);
    EXPECT_GT(d->ecc[0], 1.0);
    EXPECT_LT(d->a[0], 0.0);
    EXPECT_NEAR(d->mnmot[0], d->a[0] * (1.0 - d->ecc[0]), 1e-6);
    EXPECT_LT(d->epoch[0], t);  // the pericentre was passed just before
    GetSatPos(t, d.get(), satpos, 0, 0);
    EXPECT_LT(abs(Vec3(d->irx[0], d->iry[0], d->irz[0]) - r), 1.0);
  }
}

// Inputs the dialogs can produce that give no orbit: an error code, and the
// record as it was.
TEST(ExDeltaV, BadInputLeavesTheRecordAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    double dv, yaw, pitch;
    void (*spoil)(WinpData*);
  } cases[] = {
      {"NaN delta-V", nan, 0, 0, nullptr},
      {"infinite delta-V", inf, 0, 0, nullptr},
      {"NaN yaw", 10, nan, 0, nullptr},
      {"infinite pitch", 10, 0, -inf, nullptr},
      {"no prime slot", 10, 0, 0, [](WinpData* d) { d->prs = -1; }},
      {"prime slot out of range", 10, 0, 0, [](WinpData* d) { d->prs = NSLOTS; }},
      {"NaN element", 10, 0, 0, [](WinpData* d) { d->ecc[0] = std::nan(""); }},
      {"NaN time", 10, 0, 0, [](WinpData* d) { d->curmjd = std::nan(""); }},
      {"decayed SGP4 slot", 10, 0, 0, [](WinpData* d) { d->mnmot[0] = 17.5; }},
      {"state at the centre", 10, 0, 0,
       [](WinpData* d) {
         d->nmflg[0] = 1;
         d->rx[0] = d->ry[0] = d->rz[0] = d->irx[0] = d->iry[0] = d->irz[0] = 0.0;
       }},
      {"state below the surface", 10, 0, 0,
       [](WinpData* d) {
         d->nmflg[0] = 1;
         d->rx[0] = d->irx[0] = 6000e3;
         d->ry[0] = d->rz[0] = d->iry[0] = d->irz[0] = 0.0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto d = newRecord();
    setSlot(d.get(), 0, kSgp4);
    d->curmjd = kEpoch + 0.2;
    if (c.spoil) c.spoil(d.get());
    auto before = std::make_unique<WinpData>(*d);
    EXPECT_EQ(ExDeltaV(d.get(), c.dv, c.yaw, c.pitch), ORBIT_BADINPUT);
    expectSlotsAsBefore(*before, *d);
  }
}

// A braking impulse that drops the perigee under the ground is refused, as
// the orbit editor refuses such elements: the record as it was, and the
// perigee height the new orbit would have had (an SGP4 slot's from its mean
// elements, some kilometres from the osculating one). One that keeps the
// perigee above ground is applied.
TEST(ExDeltaV, PerigeeBelowTheSurfaceIsRefused) {
  struct Case {
    Model m;
    double dv;
    bool refused;
  } cases[] = {{kKepler, -400.0, true}, {kSgp4, -150.0, true}, {kNumeric, -400.0, true},
               {kKepler, -25.0, false}, {kSgp4, -25.0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m * 10000 + c.dv);
    auto d = newRecord();
    setSlot(d.get(), 0, c.m);
    const double t = kEpoch + 0.3;
    d->curmjd = t;
    auto before = std::make_unique<WinpData>(*d);
    GetSatPos(t, d.get(), satpos, 0, 0);
    const Vec3 r(d->irx[0] / 1000, d->iry[0] / 1000, d->irz[0] / 1000);
    Vec3 v(d->ivx[0] / 1000, d->ivy[0] / 1000, d->ivz[0] / 1000);
    v *= 1.0 + c.dv / 1000.0 / abs(v);
    // Perigee distance of the osculating orbit after the burn.
    const Vec3 h = r * v;
    const Vec3 ev = ((dot(v, v) - kGm / abs(r)) * r - dot(r, v) * v) / kGm;
    const double hp = dot(h, h) / kGm / (1.0 + abs(ev)) - 6378.14;
    d = std::make_unique<WinpData>(*before);
    double perigee = 1e9;
    const int res = ExDeltaV(d.get(), c.dv, 0.0, 0.0, &perigee);
    if (!c.refused) {
      EXPECT_EQ(res, 0);
      EXPECT_GT(PerigeeHeight(d.get(), 0), 0.0);
      continue;
    }
    EXPECT_EQ(res, ORBIT_BELOWSURFACE);
    EXPECT_LT(perigee, 0.0);
    EXPECT_NEAR(perigee, hp, c.m == kSgp4 ? 20.0 : 1e-6);
    EXPECT_EQ(d->sgpsat, SGPSAT_NONE);
    expectSlotsAsBefore(*before, *d);
  }
}

// Great-circle distance (km) between two geodetic points (deg).
double groundDistance(double lat1, double lng1, double lat2, double lng2) {
  const double c = std::sin(lat1 * kDeg) * std::sin(lat2 * kDeg) +
                   std::cos(lat1 * kDeg) * std::cos(lat2 * kDeg) * std::cos((lng1 - lng2) * kDeg);
  return 6371.0 * std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

// The launched orbit's ground track runs over the site during the ascent
// (the node and the position along the orbit come from a crude ascent
// model: within 100 km); its inclination is at least the site's latitude and
// the azimuth obeys sin Az = cos i / cos(geocentric latitude).
TEST(LaunchOrb, GroundTrackPassesOverTheSite) {
  struct Case {
    Model m;
    double lat, lng, inc, ecc, tmeco;
    int south;
  } cases[] = {
      {kKepler, 28.5, -80.6, 51.6, 0.001, 9.0, 0},
      {kSgp4, 28.5, -80.6, 51.6, 0.001, 9.0, 0},
      {kSgp4, 45.9, 63.3, 51.6, 0.0007, 9.0, 0},
      {kKepler, 34.7, -120.6, 98.2, 0.001, 10.0, 1},
      {kSgp4, -7.0, 110.0, 30.0, 0.05, 15.0, 0},
      {kKepler, 5.2, -52.8, 5.2, 0.0, 8.0, 0},
      // inclination below the latitude
      {kSgp4, 62.9, 40.6, 45.0, 0.001, 9.0, 0},
      {kKepler, -51.0, 10.0, 40.0, 0.001, 9.0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lat);
    auto d = newRecord();
    setSlot(d.get(), 0, c.m, c.inc, c.ecc, 15.4);
    d->curmjd = kEpoch + 0.37;
    d->lslat = c.lat;
    d->lslng = c.lng;
    d->tmeco = c.tmeco;
    d->lsouth = c.south;
    bool raised = !(c.inc < std::fabs(c.lat));
    ASSERT_EQ(LaunchOrb(d.get(), &raised), 0);
    // The caller is told of the raise, to say so.
    EXPECT_EQ(raised, c.inc < std::fabs(c.lat));
    EXPECT_EQ(d->epoch[0], kEpoch + 0.37);
    EXPECT_EQ(d->sgpflg[0], c.m == kSgp4);
    // The inclination launched into; an SGP4 slot then carries the mean
    // inclination fitted to it (short-period terms: a few 0.01 deg).
    const double inc = std::fmax(c.inc, std::fabs(c.lat));
    EXPECT_NEAR(d->inc[0], inc, c.m == kSgp4 ? 0.03 : 1e-12);
    const double phigc = std::atan(std::tan(c.lat * kDeg) / 1.00674);
    EXPECT_NEAR(std::sin(d->lazim * kDeg), std::cos(inc * kDeg) / std::cos(phigc), 1e-12);
    EXPECT_EQ(std::fabs(d->lazim) > 90.0, c.south != 0);
    double best = 1e9;
    for (double dt = 0; dt <= c.tmeco; dt += 0.05) {
      GetSatPos(d->epoch[0] + dt / 1440.0, d.get(), satpos, 0, 0);
      best = std::fmin(best, groundDistance(satpos->lat[0], satpos->lng[0], c.lat, c.lng));
    }
    EXPECT_LT(best, 100.0);
  }
}

// Rendezvous: the launch time is moved so that at the close approach, rndtm
// days later, the launched plane's node (drifting with its J2 rate) is the
// target's node (drifting with its own).
TEST(LaunchOrb, RendezvousMatchesTheTargetNodeAtCloseApproach) {
  for (double rndtm : {0.0, 2.0}) {
    SCOPED_TRACE(rndtm);
    auto d = newRecord();
    setSlot(d.get(), 1, kKepler, 51.64, 0.0007, 15.5);  // target
    setSlot(d.get(), 0, kKepler, 51.64, 0.001, 16.0);   // launched
    d->curmjd = kEpoch + 1.3;
    d->lslat = 45.9;
    d->lslng = 63.3;
    d->tmeco = 9.0;
    d->rndflg = 0;
    d->rndsat = 1;
    d->rndtm = rndtm;
    const double tint = d->tint[1], irx = d->irx[1];
    ASSERT_EQ(LaunchOrb(d.get()), 0);
    // The target was looked for at the close approach, its own state left
    // where it was.
    EXPECT_EQ(d->tint[1], tint);
    EXPECT_EQ(d->irx[1], irx);
    EXPECT_LT(std::fabs(d->epoch[0] - (kEpoch + 1.3)), 0.5);
    EXPECT_EQ(d->curmjd, d->epoch[0]);
    // Node rates as the Kepler model uses them.
    auto rate = [&](int s) {
      const double g = 6378.137 / (d->a[s] * (1.0 - d->ecc[s] * d->ecc[s]));
      return -0.001623942 * g * g * 2.0 * kPi * d->mnmot[s] * std::cos(d->inc[s] * kDeg);
    };
    const double tca = d->epoch[0] + rndtm;
    const double mine = d->ra[0] * kDeg + rate(0) * rndtm;
    const double theirs = d->ra[1] * kDeg + rate(1) * (tca - d->epoch[1]);
    EXPECT_LT(std::fabs(std::remainder(mine - theirs, 2.0 * kPi)), 1e-6);
  }
}

// Input that gives no launch orbit: an error code, and the record as it was.
// An open orbit has its own code (its mean-motion field holds q), and so has
// a rendezvous target without a position at the close approach (an SGP4
// target whose perigee lies under the ground: SGP4 places it nowhere).
TEST(LaunchOrb, BadInputLeavesTheRecordAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    void (*spoil)(WinpData*);
    int code = ORBIT_BADINPUT;
  } cases[] = {
      {"NaN latitude", [](WinpData* d) { d->lslat = std::nan(""); }},
      {"latitude beyond the pole", [](WinpData* d) { d->lslat = 95.0; }},
      {"NaN longitude", [](WinpData* d) { d->lslng = std::nan(""); }},
      {"NaN ascent time", [](WinpData* d) { d->tmeco = std::nan(""); }},
      {"NaN inclination", [](WinpData* d) { d->inc[0] = std::nan(""); }},
      {"infinite mean motion", [](WinpData* d) { d->mnmot[0] = HUGE_VAL; }},
      {"no prime slot", [](WinpData* d) { d->prs = -3; }},
      {"rendezvous target out of range",
       [](WinpData* d) {
         d->rndflg = 0;
         d->rndsat = 12;
       }},
      {"NaN rendezvous time",
       [](WinpData* d) {
         d->rndflg = 0;
         d->rndsat = 1;
         d->rndtm = std::nan("");
       }},
      {"open orbit",
       [](WinpData* d) {
         d->sgpflg[0] = 0;
         d->ecc[0] = 1.5;
         d->mnmot[0] = 7000.0;
         d->a[0] = -14000.0;
       },
       ORBIT_OPEN},
      {"rendezvous target without a position",
       [](WinpData* d) {
         d->rndflg = 0;
         d->rndsat = 1;
         d->rndtm = 2.0;
         d->sgpflg[1] = 1;
         d->mnmot[1] = 17.5;
       },
       ORBIT_NOTARGET},
  };
  (void)nan;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto d = newRecord();
    setSlot(d.get(), 0, kSgp4);
    setSlot(d.get(), 1, kKepler);
    d->curmjd = kEpoch + 0.2;
    d->lslat = 28.5;
    d->lslng = -80.6;
    d->tmeco = 9.0;
    c.spoil(d.get());
    auto before = std::make_unique<WinpData>(*d);
    EXPECT_EQ(LaunchOrb(d.get()), c.code);
    for (int s = 0; s < 2; ++s) {
      for (auto f : {&WinpData::epoch, &WinpData::a, &WinpData::ra, &WinpData::aper,
                     &WinpData::inc, &WinpData::m0, &WinpData::mnmot, &WinpData::rx,
                     &WinpData::vz}) {
        const double x = ((*d).*f)[s], y = ((*before).*f)[s];
        EXPECT_TRUE(x == y || (std::isnan(x) && std::isnan(y))) << s;
      }
    }
    EXPECT_EQ(d->curmjd, before->curmjd);
  }
}

}  // namespace
