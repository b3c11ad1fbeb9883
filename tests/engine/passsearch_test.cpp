// Pass search against an independent pass finder (skyfield, generated once
// into tests/data/passes-skyfield.csv by tests/tools/gen_pass_refs.py), and
// the edge cases of pass predictors.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/passes.h"
#include "engine/satpos.h"
#include "support/passfixture.h"

using namespace passfix;

namespace {

constexpr double kMin = 1.0 / 1440.0;

struct Pass {
  double tm[3], elv[3], azm[3];
};

struct Case {
  std::string name, sat;
  double lat, lon, h, t0, days, satel;
  std::vector<Row> rows;  // reference passes (empty: none)
};

std::vector<Case> LoadCases() {
  std::vector<Case> cases;
  for (const Row& r : ReadCsv("passes-skyfield.csv")) {
    if (cases.empty() || cases.back().name != r.at("case")) {
      Case c;
      c.name = r.at("case");
      c.sat = r.at("sat");
      c.lat = Num(r, "lat");
      c.lon = Num(r, "lon");
      c.h = Num(r, "height_m");
      c.t0 = Num(r, "t0");
      c.days = Num(r, "days");
      c.satel = Num(r, "satel");
      cases.push_back(c);
    }
    if (r.at("rise") != "none") cases.back().rows.push_back(r);
  }
  return cases;
}

std::unique_ptr<WinpData> MakeCase(const Case& c) {
  auto d = SlotRecord(c.sat.c_str(), c.lat, c.lon, c.h);
  d->satel = c.satel;
  return d;
}

std::vector<Pass> Forward(WinpData* d, double t0, double tend) {
  std::vector<Pass> v;
  double t = t0;
  Pass p;
  while (t <= tend && nextpass(d, 0, t, tend, p.tm, p.elv, p.azm) == 1) {
    v.push_back(p);
    t = p.tm[2] + kMin;
    if (v.size() > 500) break;
  }
  return v;
}

std::vector<Pass> Backward(WinpData* d, double t0, double tlow) {
  std::vector<Pass> v;
  double t = t0;
  Pass p;
  while (t >= tlow && lastpass(d, 0, t, tlow, p.tm, p.elv, p.azm) == 1) {
    v.insert(v.begin(), p);
    t = p.tm[2] - kMin;
    if (v.size() > 500) break;
  }
  return v;
}

// Seconds between MJDs.
double Sec(double a, double b) { return (a - b) * 86400.0; }

// Culmination time tolerance: 1 s, wider where the elevation is so flat that
// 0.01 deg spans more than that (slow, high orbits).
double CulmTol(const Row& r) {
  const double curv = std::fabs(Num(r, "curv"));
  const double flat = curv > 0.0 ? std::sqrt(2.0 * 0.01 / curv) : 1e9;
  return std::fmax(1.0, flat);
}

// Culmination elevation tolerance: 0.01 deg, plus what the elevation loses
// within half a second of the top (the scan's resolution; near the zenith).
double CulmElTol(const Row& r) { return 0.01 + Num(r, "drop05"); }

// Widening of a boundary tolerance for slow crossings: 0.01 deg of position
// difference at the crossing's elevation rate.
double Slow(const Row& r, const char* rate) {
  const double v = std::fabs(Num(r, rate));
  return v > 0.0 ? 0.01 / v : 0.0;
}

// Pairs the passes found with the reference passes by overlap. A reference
// pass that stays above the limit for less than the 1-min search step may be
// missed (no sample falls into it); every other one must be found, and every
// pass found must be a reference pass.
std::vector<std::pair<const Pass*, const Row*>> Match(const std::vector<Pass>& got,
                                                      const std::vector<Row>& ref, double t0,
                                                      double tend, bool backward) {
  std::vector<std::pair<const Pass*, const Row*>> m;
  std::vector<bool> used(got.size(), false);
  for (const Row& r : ref) {
    double rise = Num(r, "rise"), set = Num(r, "set");
    if (std::isnan(rise)) rise = t0;
    if (std::isnan(set)) set = tend;
    const Pass* hit = nullptr;
    for (size_t k = 0; k < got.size(); ++k) {
      const double a = backward ? got[k].tm[2] : got[k].tm[0];
      const double b = backward ? got[k].tm[0] : got[k].tm[2];
      if (a <= set + 2.0 / 86400.0 && b >= rise - 2.0 / 86400.0) {
        EXPECT_FALSE(used[k]) << "two reference passes in one pass";
        used[k] = true;
        hit = &got[k];
      }
    }
    if (hit)
      m.emplace_back(hit, &r);
    else
      EXPECT_LT(Sec(set, rise), 60.0) << "missed the pass rising at " << rise;
  }
  for (size_t k = 0; k < got.size(); ++k)
    EXPECT_TRUE(used[k]) << "a pass that is not there at " << got[k].tm[0];
  return m;
}

class SkyfieldPasses : public ::testing::TestWithParam<int> {};

// One boundary against its reference crossing: the edge of the window when
// the crossing lies outside it, else within [lo, hi] s (widened for slow
// crossings).
void CheckBoundary(double t, const Row& r, const char* key, const char* rate, double edge,
                   double lo, double hi) {
  const double x = Num(r, key);
  if (std::isnan(x)) {
    EXPECT_EQ(t, edge) << key;
    return;
  }
  EXPECT_GE(Sec(t, x), lo - Slow(r, rate)) << key;
  EXPECT_LE(Sec(t, x), hi + Slow(r, rate)) << key;
}

// A search over a whole case, forwards with nextpass or backwards with
// lastpass: the same passes as skyfield; forwards each boundary is the first
// probe on the far side of the crossing (within a second after it),
// backwards the first second-probe before it; culmination within 1 s and
// 0.01 deg.
void CheckCase(int index, bool backward) {
  const auto cases = LoadCases();
  ASSERT_LT(index, static_cast<int>(cases.size()));
  const Case& c = cases[index];
  SCOPED_TRACE(c.name);
  auto d = MakeCase(c);
  const double tend = c.t0 + c.days;
  const auto got = backward ? Backward(d.get(), tend, c.t0) : Forward(d.get(), c.t0, tend);
  const double lo = backward ? -1.05 : -0.05, hi = backward ? 0.05 : 1.0;
  for (const auto& [pp, rr] : Match(got, c.rows, c.t0, tend, backward)) {
    const Row& r = *rr;
    const Pass& p = *pp;
    SCOPED_TRACE(p.tm[0]);
    // Forwards index 0 is the rise; backwards it is the set.
    CheckBoundary(p.tm[backward ? 2 : 0], r, "rise", "rise_rate", c.t0, lo, hi);
    CheckBoundary(p.tm[backward ? 0 : 2], r, "set", "set_rate", tend, lo, hi);
    const double culm = Num(r, "culm");
    if (!std::isnan(culm)) {
      EXPECT_NEAR(Sec(p.tm[1], culm), 0.0, CulmTol(r));
      EXPECT_NEAR(p.elv[1], Num(r, "culm_alt"), CulmElTol(r));
    }
    EXPECT_GE(p.elv[0], c.satel - 0.01);
  }
}

}  // namespace

TEST(PassSearch, ReferenceTableIsThere) {
  const auto cases = LoadCases();
  ASSERT_GE(cases.size(), 10u);
}

TEST_P(SkyfieldPasses, NextpassFindsTheSamePasses) { CheckCase(GetParam(), false); }

// lastpass searched backwards from the end: the later boundary in index 0.
TEST_P(SkyfieldPasses, LastpassFindsTheSamePassesBackwards) { CheckCase(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(Cases, SkyfieldPasses, ::testing::Range(0, 10));

namespace {

const Case& CaseNamed(const char* name) {
  static const auto cases = LoadCases();
  for (const Case& c : cases)
    if (c.name == name) return c;
  ADD_FAILURE() << "no case " << name;
  return cases.front();
}

}  // namespace

// A search that starts in the middle of a pass reports it from t0 on (no
// start refinement before t0); with pasact set it skips to the next pass.
TEST(PassSearch, StartInsideAPass) {
  const Case& c = CaseNamed("iss_a0");
  auto d = MakeCase(c);
  const Row& r0 = c.rows[3];
  const Row& r1 = c.rows[4];
  const double t0 = Num(r0, "culm");
  Pass p;
  ASSERT_EQ(nextpass(d.get(), 0, t0, t0 + 1.0, p.tm, p.elv, p.azm), 1);
  EXPECT_EQ(p.tm[0], t0);
  EXPECT_NEAR(Sec(p.tm[2], Num(r0, "set")), 0.5, 0.55);
  d->pasact = 1;
  ASSERT_EQ(nextpass(d.get(), 0, t0, t0 + 1.0, p.tm, p.elv, p.azm), 1);
  EXPECT_NEAR(Sec(p.tm[0], Num(r1, "rise")), 0.5, 0.55);
  // lastpass from inside the pass: the later boundary is t0.
  d->pasact = 0;
  ASSERT_EQ(lastpass(d.get(), 0, t0, t0 - 1.0, p.tm, p.elv, p.azm), 1);
  EXPECT_EQ(p.tm[0], t0);
  EXPECT_NEAR(Sec(p.tm[2], Num(r0, "rise")), -0.5, 0.55);
}

// A pass that only grazes the minimum elevation: found with its low
// culmination when it stays above the limit for more than the search step,
// and not found at all once the limit is above its maximum.
TEST(PassSearch, GrazingPass) {
  const Case& c = CaseNamed("iss_a0");
  // The flattest low pass: longest time within 0.3 deg of its maximum.
  const Row* best = nullptr;
  double bestdur = 0.0;
  for (const Row& r : c.rows) {
    const double dur = 2.0 * std::sqrt(2.0 * 0.3 / std::fabs(Num(r, "curv")));
    if (Num(r, "culm_alt") < 10.0 && dur > bestdur) {
      bestdur = dur;
      best = &r;
    }
  }
  ASSERT_NE(best, nullptr);
  ASSERT_GT(bestdur, 90.0);
  const double tc = Num(*best, "culm"), ec = Num(*best, "culm_alt");
  auto d = MakeCase(c);
  d->satel = ec - 0.3;
  Pass p;
  ASSERT_EQ(nextpass(d.get(), 0, tc - 20 * kMin, tc + 20 * kMin, p.tm, p.elv, p.azm), 1);
  EXPECT_LT(p.tm[0], tc);
  EXPECT_GT(p.tm[2], tc);
  EXPECT_NEAR(p.elv[1], ec, 0.01);
  EXPECT_NEAR(Sec(p.tm[1], tc), 0.0, CulmTol(*best));
  d->satel = ec + 0.05;
  EXPECT_EQ(nextpass(d.get(), 0, tc - 20 * kMin, tc + 20 * kMin, p.tm, p.elv, p.azm), 0);
  EXPECT_EQ(lastpass(d.get(), 0, tc + 20 * kMin, tc - 20 * kMin, p.tm, p.elv, p.azm), 0);
}

// A geostationary object that never sets: one pass from t0 to tend, found in
// one sweep (the search ends inside the interval). With pasact set the pass
// under way is skipped and nothing else is found.
TEST(PassSearch, GeostationaryNeverSets) {
  const Case& c = CaseNamed("geo_b0");
  auto d = MakeCase(c);
  const double tend = c.t0 + 2.0;
  Pass p;
  ASSERT_EQ(nextpass(d.get(), 0, c.t0, tend, p.tm, p.elv, p.azm), 1);
  EXPECT_EQ(p.tm[0], c.t0);
  EXPECT_EQ(p.tm[2], tend);
  EXPECT_GT(p.elv[1], 30.0);
  EXPECT_LT(p.elv[1], 50.0);
  d->pasact = 1;
  EXPECT_EQ(nextpass(d.get(), 0, c.t0, tend, p.tm, p.elv, p.azm), 0);
  d->pasact = 0;
  ASSERT_EQ(lastpass(d.get(), 0, tend, c.t0, p.tm, p.elv, p.azm), 1);
  EXPECT_EQ(p.tm[0], tend);
  EXPECT_EQ(p.tm[2], c.t0);
}

// The Sun rule of the coarse search: with the Sun far above the limit the
// search steps about an hour, yet the first pass after dusk is still found
// with the same boundaries.
TEST(PassSearch, SunLimitKeepsPasses) {
  const Case& c = CaseNamed("iss_a0");
  auto d = MakeCase(c);
  d->sunel = -6.0;
  const double tend = c.t0 + c.days;
  const auto got = Forward(d.get(), c.t0, tend);
  ASSERT_FALSE(got.empty());
  // Each pass found with the Sun limit lies inside a geometric pass, with the
  // Sun below the limit all along it.
  for (const Pass& p : got) {
    bool inside = false;
    for (const Row& r : c.rows)
      if (p.tm[0] >= Num(r, "rise") - 1e-5 && p.tm[2] <= Num(r, "set") + 2e-5) inside = true;
    EXPECT_TRUE(inside);
    for (double t = p.tm[0]; t < p.tm[2]; t += 10.0 / 86400.0) {
      GetSatPos(t, d.get(), satpos, 0, 0);
      EXPECT_LT(satpos->sunelo, -6.0 + 0.01);
    }
  }
}

// Relative mode: mutual line of sight above the Earth's limb, both lit with
// visflg; normal mode: the documented order of the tests.
TEST(PassSearch, AcceptanceTable) {
  auto d = MakeRecord(0, 0, 0);
  SatPosData sp{};
  struct Row5 {
    double el, sunelo, sunh, moonh;
    int visflg, moonflg, ok;
  } rows[] = {
      {10, -20, 5, 0, 0, 0, 1},   {-1, -20, 5, 0, 0, 0, 0},  {10, 95, 5, 0, 0, 0, 0},
      {10, -20, -1, 0, 1, 0, 0},  {10, -20, 0, 0, 1, 0, 1},  {10, -20, -1, 3, 1, 1, 1},
      {10, -20, 2, 3, 1, 1, 0},   {10, -20, -1, -3, 1, 1, 0},
  };
  d->satel = 0.0;
  d->sunel = 90.0;
  for (const auto& r : rows) {
    sp.el[0] = r.el;
    sp.sunelo = r.sunelo;
    sp.sunh[0] = r.sunh;
    sp.moonh[0] = r.moonh;
    d->visflg = r.visflg;
    d->moonflg = r.moonflg;
    EXPECT_EQ(cksatok(d.get(), &sp, 0), r.ok) << r.el << " " << r.sunelo << " " << r.sunh;
  }
  // Relative: two satellites 400 km up see each other up to about 2 x 20 deg.
  d->rlm = 1;
  d->satnr = 2;
  d->visflg = 0;
  sp.hgt[0] = 400.0;
  sp.sunh[0] = 400.0;  // the observing satellite's height in relative mode
  sp.lat[0] = 0.0;
  sp.lng[0] = 0.0;
  sp.ra[0] = 0.0;
  sp.dec[0] = 35.0;
  EXPECT_EQ(cksatok(d.get(), &sp, 0), 1);
  sp.dec[0] = 45.0;
  EXPECT_EQ(cksatok(d.get(), &sp, 0), 0);
  sp.dec[0] = 35.0;
  d->visflg = 1;
  sp.rsun0 = 1.0;
  sp.rsun1 = -1.0;
  EXPECT_EQ(cksatok(d.get(), &sp, 0), 0);
  sp.rsun1 = 0.0;
  EXPECT_EQ(cksatok(d.get(), &sp, 0), 1);
}

TEST(PassSearch, ADisDirTable) {
  const double r = 3.14159265358979323846 / 180.0;
  struct {
    double lng1, lat1, lng2, lat2, cosd, dir;
  } rows[] = {
      {10, 20, 10, 20, 1.0, 0.0},  {0, 0, 0, 10, std::cos(10 * r), 0.0},
      {0, 0, 10, 0, std::cos(10 * r), 90.0},  {0, 10, 0, 0, std::cos(10 * r), 180.0},
      {0, 0, -10, 0, std::cos(10 * r), 270.0}, {0, 30, 0, 40, std::cos(10 * r), 0.0},
  };
  for (const auto& x : rows) {
    double cosd, dir;
    ADisDir(x.lng1 * r, x.lat1 * r, x.lng2 * r, x.lat2 * r, cosd, dir);
    EXPECT_NEAR(cosd, x.cosd, 1e-12);
    EXPECT_NEAR(dir, x.dir, 1e-4);
  }
}

// Visible passes (satellite lit, Sun at the observer below sunel): each
// boundary set by the elevation limit, the Sun limit or the Earth's shadow
// lies within 3 s of an independent computation (skyfield satellite, astropy
// Sun, sphere shadow).
TEST(PassSearch, VisiblePassLimits) {
  const auto rows = ReadCsv("passes-visible.csv");
  ASSERT_FALSE(rows.empty());
  std::map<std::string, std::vector<Row>> cases;
  for (const Row& r : rows) cases[r.at("case")].push_back(r);
  int bysun = 0, byshadow = 0;
  for (const auto& [name, ref] : cases) {
    SCOPED_TRACE(name);
    const Row& r0 = ref.front();
    auto d = SlotRecord(r0.at("sat").c_str(), Num(r0, "lat"), Num(r0, "lon"), Num(r0, "height_m"));
    d->satel = Num(r0, "satel");
    d->sunel = Num(r0, "sunel");
    d->visflg = 1;
    const double t0 = Num(r0, "t0"), tend = t0 + Num(r0, "days");
    const auto got = Forward(d.get(), t0, tend);
    for (const Row& r : ref) {
      const double s = Num(r, "start"), e = Num(r, "end");
      const Pass* hit = nullptr;
      for (const Pass& p : got)
        if (p.tm[0] <= e + 5e-5 && p.tm[2] >= s - 5e-5) hit = &p;
      if (!hit) {
        // Shorter than the search step: it may fall between two samples.
        EXPECT_LT(Sec(e, s), 60.0) << "missed the visible pass at " << s;
        continue;
      }
      EXPECT_NEAR(Sec(hit->tm[0], s), 0.5, 3.0) << r.at("start_by");
      EXPECT_NEAR(Sec(hit->tm[2], e), 0.5, 3.0) << r.at("end_by");
      bysun += r.at("start_by") == "sun" || r.at("end_by") == "sun";
      byshadow += r.at("start_by") == "shadow" || r.at("end_by") == "shadow";
    }
    EXPECT_LE(got.size(), ref.size());
  }
  EXPECT_GE(bysun, 1);
  EXPECT_GE(byshadow, 10);
}

// A satellite without a position (its elements' SGP4 decayed, a numerical
// one lying on the ground, or, in relative mode, without the satellite that
// observes it) has no pass, even with a minimum elevation of -90 deg, which
// its stand-in place below every horizon used to pass: Next Pass and Last
// Pass (with or without a pass under way) find nothing, on the search's own
// samples as on full ones. (On this day the ISS of 2018 comes within its
// horizon of where the stand-in place of the other one lies below.)
TEST(PassSearch, NoPassWithoutAPosition) {
  const Tle& gone = OldIss();  // no position in 2026
  static const double t0 = mjd(28, 1, 2026, 0.0);
  struct NoPos {
    const char* what;
    void (*set)(WinpData*, const Tle&);
    bool light;  // searched with the search's own samples
  };
  const NoPos cases[] = {
      {"decayed elements", [](WinpData* d, const Tle& g) { LoadSlot(d, 0, g.name, g.l1, g.l2); },
       true},
      {"numerical, on the ground",
       [](WinpData* d, const Tle&) {
         support::numericalSlot(d, 0, t0 - 10.0, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
       },
       false},
      {"relative, the observing satellite has none",
       [](WinpData* d, const Tle& g) {
         LoadSlot(d, 1, g.name, g.l1, g.l2);
         d->satnr = 2;
         d->rlm = 1;
       },
       false},
      {"relative, the observed satellite has none",
       [](WinpData* d, const Tle& g) {
         ShiftElm(d, 1, 0);
         LoadSlot(d, 0, g.name, g.l1, g.l2);
         d->satnr = 2;
         d->rlm = 1;
       },
       false},
  };
  for (const NoPos& c : cases) {
    SCOPED_TRACE(c.what);
    auto d = SlotRecord("ISS (ZARYA)", 48.15, 11.58, 520.0);  // has a position in 2026
    d->satel = -90.0;
    c.set(d.get(), gone);
    ASSERT_EQ(SearchSample::Usable(d.get(), 0), c.light);
    Pass p;
    for (int pasact : {0, 1}) {
      d->pasact = pasact;
      EXPECT_EQ(nextpass(d.get(), 0, t0, t0 + 1.0, p.tm, p.elv, p.azm), 0) << pasact;
      EXPECT_EQ(lastpass(d.get(), 0, t0 + 1.0, t0, p.tm, p.elv, p.azm), 0) << pasact;
    }
  }
}
