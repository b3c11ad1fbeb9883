// Sun and Moon series against the Swiss Ephemeris (geometric, mean ecliptic
// and equinox of date, tests/data/bodies-swetest.csv) and the compiled
// coefficient tables against the published tables they were generated from.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/astrolib.h"
#include "astro/sunmoon_tables.h"
#include "support/csv.h"

namespace {
const double DEG = M_PI / 180.0;
const double AU_IN_ER = 149597870.7 / 6378.14;  // the Moon theory's Earth radius

double num(const std::string& s) { return std::stod(s); }

struct Diff {
  double dlon, dlat, ddist;  // arcsec, arcsec, unit of the vector
};

Diff compare(const Vec3& v, const std::vector<std::string>& row, double distScale) {
  Vec3 p = carpol(v);
  Diff d;
  d.dlon = std::remainder(p.y / DEG - num(row[4]), 360.0) * 3600.0;
  d.dlat = (p.z / DEG - num(row[5])) * 3600.0;
  d.ddist = p.x - num(row[6]) * distScale;
  return d;
}
}  // namespace

TEST(SunMoonTables, EqualThePublishedSeries) {
  auto sun = readCsv("sun200.csv");
  ASSERT_EQ(sun.size(), 52u);
  for (size_t k = 0; k < sun.size(); k++) {
    const SunTerm& t = sunTerms[k];
    const auto& r = sun[k];
    EXPECT_EQ(t.I, std::stoi(r[1])) << k;
    EXPECT_EQ(t.i, std::stoi(r[2])) << k;
    EXPECT_EQ(t.iT, std::stoi(r[3])) << k;
    const double c[6] = {t.dlc, t.dls, t.drc, t.drs, t.dbc, t.dbs};
    for (int j = 0; j < 6; j++) EXPECT_EQ(c[j], num(r[4 + j])) << k;
  }
  // The Jupiter group opens with (-1, -1, 0), the only user of Earth entry -1.
  EXPECT_EQ(sunTerms[sunJupiterFirst].I, -1);
  EXPECT_EQ(sunTerms[sunJupiterFirst].i, -1);

  auto moon = readCsv("moon200.csv");
  ASSERT_EQ(moon.size(), 104u);
  for (size_t k = 0; k < moon.size(); k++) {
    const MoonSolarTerm& t = moonSolar[k];
    const auto& r = moon[k];
    const double c[4] = {t.cl, t.cs, t.cg, t.cp};
    const int m[4] = {t.p, t.q, t.r, t.s};
    for (int j = 0; j < 4; j++) EXPECT_EQ(c[j], num(r[1 + j])) << k;
    for (int j = 0; j < 4; j++) EXPECT_EQ(m[j], std::stoi(r[5 + j])) << k;
  }
  EXPECT_EQ(moonSolar[moonSolar2First - 1].p, std::stoi(moon[34][5]));
  EXPECT_EQ(moon[moonSolar2First][0], "solar2");
  EXPECT_EQ(moon[moonSolar3First][0], "solar3");

  auto n = readCsv("moon200-solarn.csv");
  ASSERT_EQ(n.size(), 10u);
  for (size_t k = 0; k < n.size(); k++) {
    EXPECT_EQ(moonSolarN[k].cn, num(n[k][0]));
    EXPECT_EQ(moonSolarN[k].s, std::stoi(n[k][4]));
  }
  auto pl = readCsv("moon200-planetary.csv");
  ASSERT_EQ(pl.size(), 11u);
  for (size_t k = 0; k < pl.size(); k++) {
    EXPECT_EQ(moonPlanetary[k].amp, num(pl[k][0]));
    EXPECT_EQ(moonPlanetary[k].phase, num(pl[k][1]));
    EXPECT_EQ(moonPlanetary[k].rate, num(pl[k][2]));
  }
}

TEST(Sun200, MatchesSwissEphemeris) {
  int n = 0;
  for (auto& r : readCsv("bodies-swetest.csv")) {
    if (r[1] != "sun") continue;
    n++;
    Sun200 sun;
    Diff d = compare(sun.position(julcent(num(r[3]))), r, 1.0);
    EXPECT_LT(std::fabs(d.dlon), 3.0) << r[3];
    EXPECT_LT(std::fabs(d.dlat), 3.0) << r[3];
    EXPECT_LT(std::fabs(d.ddist), 1e-5) << r[3];
  }
  EXPECT_EQ(n, 24);
}

TEST(Sun200, StateAndQuickSun) {
  Sun200 sun;
  Vec3 p = carpol(sun.position(0.0));
  EXPECT_NEAR(p.x, 0.9833, 1e-4);
  EXPECT_NEAR(p.y / DEG, 280.38, 0.01);
  EXPECT_LT(std::fabs(p.z / DEG * 3600), 3.0);
  // The velocity of the unperturbed ellipse agrees with the motion of the
  // perturbed position to a few 1e-4 (the lunar wobble is about 13 m/s).
  for (double T : {-0.83, 0.0, 0.25, 0.9}) {
    Vec3 r, v;
    sun.state(T, r, v);
    EXPECT_NEAR(abs(v), 0.0172, 0.0003);
    const double h = 0.05 / 36525.0;  // 0.05 d in centuries
    Vec3 diff = (sun.position(T + h) - sun.position(T - h)) / 0.1;
    EXPECT_LT(abs(diff - v) / abs(v), 1e-3) << T;
  }
  // The short formula is good to about 0.01 degrees.
  for (double T : {-0.5, 0.0, 0.3}) {
    Vec3 q = carpol(QuickSun(T)), s = carpol(sun.position(T));
    EXPECT_LT(std::fabs(std::remainder(q.y - s.y, 2 * M_PI)) / DEG, 0.02) << T;
    EXPECT_NEAR(q.x, s.x, 1e-4);
    EXPECT_EQ(q.z, 0.0);
  }
}

TEST(Moon200, MatchesSwissEphemeris) {
  int n = 0;
  for (auto& r : readCsv("bodies-swetest.csv")) {
    if (r[1] != "moon") continue;
    n++;
    Moon200 moon;
    Diff d = compare(moon.position(julcent(num(r[3]))), r, AU_IN_ER);
    EXPECT_LT(std::fabs(d.dlon), 5.0) << r[3];
    EXPECT_LT(std::fabs(d.dlat), 5.0) << r[3];
    EXPECT_LT(std::fabs(d.ddist), 0.005) << r[3];
  }
  EXPECT_EQ(n, 24);
}

// One object used for many times gives the same as a fresh object each time,
// and distance and latitude stay in their physical ranges.
TEST(Moon200, RangesAndNoStateBetweenCalls) {
  Moon200 reused;
  double dmin = 1e9, dmax = 0, bmax = 0;
  for (double T = -1.0; T <= 1.0; T += 0.000731) {
    Vec3 a = reused.position(T);
    Moon200 fresh;
    Vec3 b = fresh.position(T);
    ASSERT_EQ(a.x, b.x);
    ASSERT_EQ(a.z, b.z);
    Vec3 p = carpol(a);
    dmin = std::min(dmin, p.x);
    dmax = std::max(dmax, p.x);
    bmax = std::max(bmax, std::fabs(p.z));
  }
  EXPECT_GT(dmin, 55.8);
  EXPECT_LT(dmax, 63.8);
  EXPECT_LT(bmax / DEG, 5.31);
  EXPECT_GT(bmax / DEG, 5.0);
}
