// Orbit determination from two observations and the matching search.
#include "engine/orbitdet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/satpos.h"
#include "support/listsfixture.h"

using namespace listsfx;

namespace {

const int kIss = 25544;

// A record with the ISS in slot 0 and the time of a high pass over the observer.
struct IssCase {
  std::unique_ptr<WinpData> d = NewRecord();
  double t = 0.0;
  SatPosData sp{};

  IssCase() {
    Tle iss = FindTle(DataPath("visual-2009.tle"), kIss);
    LoadTle(d.get(), 0, iss.name, iss.l1, iss.l2);
    d->satnr = 1;
    d->prs = 0;
    for (double x = d->epoch[0]; x < d->epoch[0] + 3.0; x += 30 * kSec) {
      GetSatPos(x, d.get(), &sp, 0, 0);
      if (sp.el[0] > 40.0) {
        t = x;
        break;
      }
    }
  }
  // Azimuth and elevation (deg) of slot 0 at x; with the R.A./Dec. of epoch yr
  // (packed) when yr != 0.
  void Observe(double x, double yr, double& az, double& el) {
    const double sv = d->yrepoch;
    d->yrepoch = yr;
    GetSatPos(x, d.get(), &sp, 0, 0);
    d->yrepoch = sv;
    az = yr != 0.0 ? sp.ra[0] : sp.az[0];
    el = yr != 0.0 ? sp.dec[0] : sp.el[0];
  }
  // Matching in the file at path around where the ISS stands at t, +-1 min.
  void MatchAtIss(const std::string& path, double mxa) {
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", path.c_str());
    Observe(t, 0.0, d->mtaz, d->mtel);
    d->curmjd = t;
    d->mxa = mxa;
    d->tm = 1.0;
  }
  // Node (deg) of the osculating orbit plane at x, true equator of date.
  double Node(double x) {
    GetSatPos(x, d.get(), &sp, 0, 0);
    const Vec3 h = sp.rsat * sp.vsat;
    double n = std::atan2(h.x, -h.y) / kDeg;
    return n < 0.0 ? n + 360.0 : n;
  }
};

double AngleDiff(double a, double b) {
  double x = std::fmod(std::fabs(a - b), 360.0);
  return x > 180.0 ? 360.0 - x : x;
}

}  // namespace

TEST(PhiDiff, SignFollowsTravelAgainstSeparation) {
  // Observer at the centre: both points lie at r along the directions.
  const double phi = 10.0 * kDeg, r = 7000.0;
  const double n = getn0(r, 0.0, 0.0);  // rev/day
  const double dt = phi / (6.283185307179586 * n);  // d for exactly phi
  for (double k : {0.9, 1.1}) {
    Vec3 o1, o2, u1(1, 0, 0), u2(std::cos(phi), std::sin(phi), 0), p1, p2;
    int s = PhiDiff(0.0, 0.0, 0.0, 0.0, k * dt, p1, p2, o1, o2, u1, u2, r);
    EXPECT_EQ(s, k > 1.0 ? 1 : -1) << k;
    EXPECT_NEAR(abs(p1), r, 1e-9);
    EXPECT_NEAR(abs(p2), r, 1e-9);
  }
}

TEST(Mtchok, DistanceAndDirectionTable) {
  const double c = std::cos(1.0 * kDeg);
  const double e = 45 * kDeg, a = 100 * kDeg, s = 0.01 * kDeg;
  struct Case {
    double sA, sE, dir, sA2, sE2;
    int flag, want;
  } cases[] = {
      {a, e, 0, a, e, 0, 1},                          // at the centre
      {a, e + 2 * kDeg, 0, a, e, 0, 0},               // 2 deg off, limit 1 deg
      {a, e, 0, a, e + s, 1, 1},                      // moving up, observed up
      {a, e, 180 * kDeg, a, e + s, 1, 0},             // moving up, observed down
      {a, e, 90 * kDeg, a + s, e, 1, 1},              // moving right, observed right
      {a, e, -90 * kDeg, a + s, e, 1, 0},             // moving right, observed left
      {a, e, 40 * kDeg, a, e + s, 1, 1},              // within 45 deg
      {a, e, 50 * kDeg, a, e + s, 1, 0},              // beyond 45 deg
      {a, e, 180 * kDeg, a, e, 1, 1},                 // no motion: accepted
  };
  for (const Case& k : cases)
    EXPECT_EQ(mtchok(c, a, e, k.sA, k.sE, k.dir, k.flag, k.sA2, k.sE2), k.want)
        << k.sA << " " << k.sE << " " << k.dir;
}

TEST(OrbitDet, CircularOrbitFromTwoObservations) {
  IssCase c;
  ASSERT_GT(c.t, 0.0);
  const double node = c.Node(c.t);
  // Observed as azimuth/elevation, and as R.A./Dec. of J2000.
  for (double yr : {0.0, 2000.0}) {
    IssCase k;
    WinpData* d = k.d.get();
    k.Observe(c.t, yr, d->az1, d->el1);
    k.Observe(c.t + 60 * kSec, yr, d->az2, d->el2);
    d->az1flg = d->az2flg = yr != 0.0;
    d->yrepoch = yr;
    d->deltm = 60.0;
    d->curmjd = c.t;
    d->norad[1] = 99999;  // stale values of an earlier occupant
    std::snprintf(d->dsn[1], DSN_SIZE, "2000-001A  ");
    EXPECT_EQ(OrbitDet(d), ORBDET_NEW) << yr;
    EXPECT_EQ(d->satnr, 2);
    EXPECT_EQ(d->prs, 1);
    EXPECT_STREQ(d->satname[1], "New");
    EXPECT_EQ(d->norad[1], 0);
    EXPECT_STREQ(d->dsn[1], "           ");
    EXPECT_NEAR(d->a[1], d->a[0], 30.0) << yr;
    EXPECT_NEAR(d->inc[1], d->inc[0], 0.5) << yr;
    EXPECT_LT(AngleDiff(d->ra[1], node), 0.5) << yr;
    EXPECT_EQ(d->ecc[1], 0.0);
    EXPECT_EQ(d->sgpflg[1], 0);
    EXPECT_EQ(d->epoch[1], c.t);
    // The stored orbit puts the satellite where it was observed.
    SatPosData sp{};
    d->yrepoch = 0.0;
    GetSatPos(c.t, d, &sp, 1, 0);
    GetSatPos(c.t, d, &k.sp, 0, 0);
    EXPECT_LT(abs(sp.rsat - k.sp.rsat), 100.0) << yr;
  }
}

TEST(OrbitDet, NoSignChangeIsNoConvergence) {
  IssCase k;
  WinpData* d = k.d.get();
  k.Observe(k.t, 0.0, d->az1, d->el1);
  k.Observe(k.t + 60 * kSec, 0.0, d->az2, d->el2);
  d->curmjd = k.t;
  d->deltm = 0.0;  // no time between them: no radius fits
  EXPECT_EQ(OrbitDet(d), ORBDET_NOCONV);
  EXPECT_STREQ(d->satname[1], "No Convergence");
  EXPECT_EQ(d->prs, 1);
}

// Two sightings of one direction 30 s apart show no motion: the same azimuth
// and elevation (standing in the observer's sky), the same R.A. and Dec. (standing
// among the stars, of date or of J2000). Nothing is stored.
TEST(OrbitDet, SameDirectionTwiceIsNoMotion) {
  struct Case {
    int raDec;
    double yr, first, second;
  } cases[] = {{0, 0.0, 180.0, 45.0}, {0, 0.0, 10.0, 80.0}, {1, 0.0, 12.3, 20.15},
               {1, 2000.0, 5.4512, -10.3}};
  for (const Case& k : cases) {
    IssCase c;
    WinpData* d = c.d.get();
    d->lat = 48.137;
    d->lng = 11.575;
    d->curmjd = c.t;
    d->deltm = 30.0;
    d->yrepoch = k.yr;
    d->az1flg = d->az2flg = k.raDec;
    d->az1 = d->az2 = k.first;
    d->el1 = d->el2 = k.second;
    const WinpData before = *d;
    EXPECT_EQ(OrbitDet(d), ORBDET_NOMOTION) << k.first << " " << k.second;
    EXPECT_EQ(std::memcmp(&before, d, sizeof before), 0) << k.first << " " << k.second;
  }
}

// A direction that stands still in the sky of an observer on the equator,
// looking east along the equatorial plane, is a geostationary satellite: the
// sighting gives the geostationary radius in the equator, not "no motion".
TEST(OrbitDet, StandingOnTheEquatorIsGeostationary) {
  IssCase c;
  WinpData* d = c.d.get();
  d->lat = 0.0;
  d->lng = 11.575;
  d->height = 0.0;
  d->curmjd = c.t;
  d->deltm = 30.0;
  d->yrepoch = 0.0;
  d->az1flg = d->az2flg = 0;
  d->az1 = d->az2 = 90.0;
  d->el1 = d->el2 = 30.0;
  ASSERT_EQ(OrbitDet(d), ORBDET_NEW);
  EXPECT_NEAR(d->a[d->prs], 42164.2, 5.0);
  EXPECT_LT(d->inc[d->prs], 0.01);
  EXPECT_NEAR(d->mnmot[d->prs], 1.00274, 0.0005);
}

TEST(OrbitDet, SlotChoiceAndBadInput) {
  struct Case {
    int satnr, slot, after;
  } cases[] = {{-3, 0, 1}, {0, 0, 1}, {4, 4, 5}, {10, 9, 10}, {12, 9, 10}};
  for (const Case& k : cases) {
    IssCase c;
    WinpData* d = c.d.get();
    c.Observe(c.t, 0.0, d->az1, d->el1);
    c.Observe(c.t + 60 * kSec, 0.0, d->az2, d->el2);
    d->curmjd = c.t;
    d->deltm = 60.0;
    d->satnr = k.satnr;
    OrbitDet(d);
    EXPECT_EQ(d->prs, k.slot) << k.satnr;
    EXPECT_EQ(d->satnr, k.after) << k.satnr;
    EXPECT_STREQ(d->satname[k.slot], "New") << k.satnr;
  }
  IssCase c;
  WinpData* d = c.d.get();
  d->curmjd = c.t;
  d->deltm = 60.0;
  d->el2 = NAN;
  EXPECT_EQ(OrbitDet(d), ORBDET_BADINPUT);
  EXPECT_EQ(d->satnr, 1);
  EXPECT_EQ(d->prs, 0);
}

namespace {

// A small catalogue with the ISS among four other objects.
std::string SmallCatalogue() {
  std::vector<Tle> all = ReadTles(DataPath("visual-2009.tle"));
  std::vector<Tle> some(all.begin(), all.begin() + 4);
  some.push_back(FindTle(DataPath("visual-2009.tle"), kIss));
  const std::string path = TempPath("match.tle");
  WriteTles(path, some);
  return path;
}

// Direction (deg, 0 up, 90 right) of the motion of slot 0 on the sky at x.
double SkyDirection(IssCase& c, double x) {
  double a1, e1, a2, e2;
  c.Observe(x, 0.0, a1, e1);
  c.Observe(x + kSec, 0.0, a2, e2);
  return std::atan2((a2 - a1) * std::cos(e1 * kDeg), e2 - e1) / kDeg;
}

}  // namespace

TEST(SatMatch, ListsTheObservedSatellite) {
  const std::string path = SmallCatalogue();
  IssCase c;
  const double dir = SkyDirection(c, c.t);
  struct Case {
    int drf;
    double dra;
    bool odm, listed;
  } cases[] = {{0, 0, false, true}, {1, dir, false, true}, {1, dir + 180, false, false},
               {0, 0, true, true}};
  for (const Case& k : cases) {
    IssCase m;
    WinpData* d = m.d.get();
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", path.c_str());
    m.Observe(c.t, 0.0, d->mtaz, d->mtel);
    m.Observe(c.t, 0.0, d->az1, d->el1);
    m.Observe(c.t + 60 * kSec, 0.0, d->az2, d->el2);
    d->deltm = 60.0;
    d->odm = k.odm;
    d->curmjd = c.t;
    d->mxa = 1.0;
    d->tm = 1.0;
    d->drf = k.drf;
    d->dra = k.dra < 0 ? k.dra + 360.0 : k.dra;
    d->satnr = 0;
    d->rlm = 1;
    WoutData o{};
    EXPECT_EQ(SatMatch(d, &o), 0);
    const std::string page = PageText(o);
    EXPECT_NE(page.find(" Number of satellites checked: 5"), std::string::npos) << page;
    EXPECT_EQ(page.find(" NORAD#: 25544") != std::string::npos, k.listed) << page;
    EXPECT_EQ(d->satnr, k.listed ? 1 : 0);
    if (k.listed) {
      EXPECT_EQ(d->norad[0], kIss);
    }
    EXPECT_EQ(d->rlm, 1);
    EXPECT_EQ(d->tm, 1.0);
    EXPECT_EQ(d->mtaz, m.d->mtaz);
  }
}

TEST(SatMatch, StopsAtFiftyMatchesAndKeepsNineSlots) {
  IssCase c;
  Tle iss = FindTle(DataPath("visual-2009.tle"), kIss);
  const std::string path = TempPath("match51.tle");
  WriteTles(path, std::vector<Tle>(51, iss));
  WinpData* d = c.d.get();
  c.MatchAtIss(path, 5.0);
  d->satnr = 0;
  WoutData o{};
  EXPECT_EQ(SatMatch(d, &o), 0);
  const std::string page = PageText(o);
  EXPECT_NE(page.find(" Number of possible matches  : 50"), std::string::npos) << page;
  EXPECT_NE(page.find("*** Output buffer full. More matches possible ***"), std::string::npos);
  EXPECT_LE(o.nlines, WOUT_NLINES);
  EXPECT_EQ(d->satnr, 9);
}

TEST(SatMatch, TenSelectedKeepsTheSelection) {
  IssCase c;
  const std::string path = SmallCatalogue();
  WinpData* d = c.d.get();
  for (int i = 1; i < MAXSEL; ++i) ShiftElm(d, i, 0);
  d->norad[9] = 4242;
  d->satnr = 10;
  c.MatchAtIss(path, 1.0);
  WoutData o{};
  EXPECT_EQ(SatMatch(d, &o), 0);
  EXPECT_NE(PageText(o).find(" NORAD#: 25544"), std::string::npos);
  EXPECT_EQ(d->satnr, 10);
  EXPECT_EQ(d->norad[9], 4242);
}

TEST(SatMatch, MissingFileAndNoMatch) {
  IssCase c;
  WinpData* d = c.d.get();
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", TempPath("absent.tle").c_str());
  WoutData o{};
  EXPECT_EQ(SatMatch(d, &o), 1);
  EXPECT_NE(PageText(o).find(" *** Unable to open TLE file ***"), std::string::npos);

  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", SmallCatalogue().c_str());
  d->curmjd = c.t;
  d->mtaz = 0.0;
  d->mtel = -60.0;  // below the horizon: nothing passes there
  d->mxa = 1.0;
  d->tm = 1.0;
  EXPECT_EQ(SatMatch(d, &o), 0);
  const std::string page = PageText(o);
  EXPECT_NE(page.find(" *** No matches found on TLE file ***"), std::string::npos) << page;
  EXPECT_NE(page.find(" Number of possible matches  : 0"), std::string::npos);
  EXPECT_EQ(d->satnr, 1);
}
