// Calendar, time scales and reference frames, checked against skyfield and
// ERFA values generated into tests/data.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/astrolib.h"
#include "support/csv.h"

namespace {
const double AS = M_PI / 180.0 / 3600.0;  // one arcsecond in radians

double num(const std::string& s) { return std::stod(s); }

void expectMatNear(const Mat3& a, const Mat3& b, double tol) {
  for (int k = 0; k < 9; k++) EXPECT_NEAR(a.m[k], b.m[k], tol) << "element " << k;
}
}  // namespace

// ---------------------------------------------------------------------------
// Calendar and time scales
// ---------------------------------------------------------------------------

TEST(Calendar, FracAndSexagesimal) {
  EXPECT_DOUBLE_EQ(frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(frac(3.75), 0.75);
  struct { int d, m; double s, value; } cases[] = {
      {0, -30, 0.0, -0.5}, {-12, 30, 36.0, -12.51}, {0, 0, -36.0, -0.01}, {12, 30, 36.0, 12.51}};
  for (auto& c : cases) {
    EXPECT_NEAR(ddd(c.d, c.m, c.s), c.value, 1e-12) << c.d << " " << c.m << " " << c.s;
    int d, m;
    double s;
    dms(c.value, d, m, s);
    EXPECT_EQ(d, c.d);
    EXPECT_EQ(m, c.m);
    EXPECT_NEAR(s, c.s, 1e-9);
  }
}

// Every date of the table, including the Julian/Gregorian switch, leap days
// of both calendars and years before year 0, converts to skyfield's MJD and
// back.
TEST(Calendar, MjdAndCaldatAgreeWithSkyfield) {
  auto rows = readCsv("calendar-skyfield.csv");
  ASSERT_GE(rows.size(), 50u);
  for (auto& r : rows) {
    int day = std::stoi(r[0]), month = std::stoi(r[1]), year = std::stoi(r[2]);
    double ref = num(r[3]);
    for (double hour : {0.0, 7.25, 23.5}) {
      double m = mjd(day, month, year, hour);
      EXPECT_NEAR(m, ref + hour / 24.0, 1e-9) << day << "." << month << "." << year;
      int d2, m2, y2;
      double h2;
      caldat(m, d2, m2, y2, h2);
      EXPECT_EQ(d2, day) << m;
      EXPECT_EQ(m2, month) << m;
      EXPECT_EQ(y2, year) << m;
      EXPECT_NEAR(h2, hour, 1e-6) << m;
    }
  }
  EXPECT_EQ(mjd(4, 10, 1582, 0), -100841.0);
  EXPECT_EQ(mjd(15, 10, 1582, 0), -100840.0);
  EXPECT_EQ(mjd(1, 1, 2000, 12.0), 51544.5);
  // Gregorian 1900 has no 29 February, Julian 1500 has one.
  EXPECT_EQ(mjd(29, 2, 1900, 0), mjd(1, 3, 1900, 0));
  EXPECT_EQ(mjd(29, 2, 1500, 0) + 1, mjd(1, 3, 1500, 0));
}

// Before the start of the Julian Day count caldat counts proleptic Julian
// years backwards; whole days of several years there come back unchanged.
TEST(Calendar, CaldatBeforeJulianDayZero) {
  struct { int d, m, y; } cases[] = {{31, 12, -4713}, {1, 1, -4713}, {29, 2, -4716}, {1, 3, -4716},
                                     {28, 2, -4715}, {15, 7, -4800}, {31, 12, -5000}, {1, 1, -4714}};
  for (auto& c : cases) {
    for (double hour : {0.0, 12.0}) {
      int d, m, y;
      double h;
      caldat(mjd(c.d, c.m, c.y, hour), d, m, y, h);
      EXPECT_EQ(d, c.d) << c.d << "." << c.m << "." << c.y << " " << hour;
      EXPECT_EQ(m, c.m) << c.d << "." << c.m << "." << c.y << " " << hour;
      EXPECT_EQ(y, c.y) << c.d << "." << c.m << "." << c.y << " " << hour;
      EXPECT_DOUBLE_EQ(h, hour);
    }
  }
}

TEST(TimeScales, DefTdUtAtListedYears) {
  struct { int year; double dt; } cases[] = {
      {1990, 57.184}, {1995, 60.184}, {2006, 65.184}, {2009, 66.184}, {2012, 67.184},
      {2020, 72.184}, {1900, -4.816}, {2024, 73.184}, {2026, 75.184}, {1986, 55.184},
      {1994, 60.184}, {1865, 6.184},  {1885, -5.816}, {2000, 64.184}};
  for (auto& c : cases) EXPECT_NEAR(DefTdUt(c.year), c.dt, 1e-9) << c.year;
}

TEST(TimeScales, SiderealTimeKeepsSignAndEqeqAfterReduction) {
  EXPECT_NEAR(lsidtim(51544.5, 0, 0), 18.6973746, 1e-6);
  double s = lsidtim(51000.0, 0, 0);
  EXPECT_LT(s, 0.0);
  EXPECT_NEAR(s, -5.05, 0.05);
  // The equation of the equinoxes is added after the reduction to 24 h.
  EXPECT_NEAR(lsidtim(51544.5, 0, 3600.0) - lsidtim(51544.5, 0, 0), 1.0, 1e-12);
  EXPECT_NEAR(lsidtim(51544.5, 90.0, 0), 24.0 * frac((18.697374558 + 6.0) / 24.0), 1e-6);
}

// ---------------------------------------------------------------------------
// Reference frames against ERFA
// ---------------------------------------------------------------------------

TEST(Frames, ObliquityPrecessionAndSiderealTimeMatchErfa) {
  auto rows = readCsv("frames-erfa.csv");
  ASSERT_EQ(rows.size(), 16u);
  const double deg = M_PI / 180.0;
  for (auto& r : rows) {
    double m = num(r[0]), T = julcent(m);
    EXPECT_NEAR(eps(T) / deg, num(r[3]), 1e-4 / 3600.0) << m;
    Mat3 ref = zrot(-num(r[5]) * deg) * yrot(num(r[6]) * deg) * zrot(-num(r[4]) * deg);
    // The angles in the file are rounded to 1e-9 degrees.
    expectMatNear(pmatequ(0.0, T), ref, 3e-11);
    // GMST at longitude 0, modulo 24 h. The file prints the MJD to 1e-6 days
    // (up to 0.043 s of sidereal time); only whole quarter days are exact.
    double d = std::remainder(lsidtim(m, 0.0, 0.0) - num(r[7]), 24.0);
    EXPECT_NEAR(d * 3600.0, 0.0, m * 4 == std::floor(m * 4) ? 1e-4 : 0.045) << m;
  }
}

TEST(TimeScales, SiderealTimeMatchesErfaGmst) {
  auto rows = readCsv("sidereal-erfa.csv");
  ASSERT_EQ(rows.size(), 40u);
  for (auto& r : rows) {
    double d = std::remainder(lsidtim(num(r[0]), 0.0, 0.0) - num(r[1]), 24.0);
    EXPECT_NEAR(d * 3600.0, 0.0, 1e-4) << r[0];
  }
}

TEST(Frames, NutationSeriesMatchErfa) {
  auto rows = readCsv("frames-erfa.csv");
  ASSERT_EQ(rows.size(), 16u);
  for (auto& r : rows) {
    double T = julcent(num(r[0]));
    double dpsi = num(r[1]) * AS, deps = num(r[2]) * AS;
    double eps0 = eps(T);
    Mat3 ref = xrot(-(eps0 + deps)) * zrot(-dpsi) * xrot(eps0);
    const double tol[2] = {0.02, 0.3};
    for (int full = 1; full >= 0; full--) {
      double eqeq;
      Mat3 n = nutmat(T, eqeq, full == 1);
      double mydpsi = eqeq / 13750.9870831 / std::cos(eps0 + deps);
      EXPECT_NEAR(mydpsi / AS, num(r[1]), tol[1 - full]) << r[0] << " full=" << full;
      // The matrix elements are the angles to first order: this checks deps too.
      expectMatNear(n, ref, tol[1 - full] * AS);
    }
  }
}

TEST(Frames, NutationAtJ2000) {
  double eqeq;
  Mat3 full = nutmat(0.0, eqeq, true);
  EXPECT_NEAR(eqeq, -0.852, 0.001);
  // dpsi and deps through the matrix: (1,0) ~ dpsi cos eps, (2,1) ~ deps.
  EXPECT_NEAR(full.m[3] / std::cos(eps(0)) / AS, -13.924, 0.002);
  EXPECT_NEAR(full.m[7] / AS, -5.774, 0.002);
  Mat3 shrt = nutmat(0.0, eqeq, false);
  EXPECT_NEAR(shrt.m[3] / std::cos(eps(0)) / AS, -14.031, 0.002);
  EXPECT_NEAR(shrt.m[7] / AS, -5.767, 0.002);
}

// Nutation of ecliptic coordinates is a turn in longitude only: latitudes
// stay as they are.
TEST(Frames, NutationOfEclipticLeavesLatitude) {
  for (double T : {-0.8, 0.0, 0.24}) {
    double eqeq, eqeq2;
    Mat3 n = nutecl(T, eqeq);
    nutmat(T, eqeq2, false);
    EXPECT_NEAR(eqeq, eqeq2, 1e-12);
    Vec3 v = polcar(Vec3(1.0, 1.2, 0.3));
    Vec3 w = carpol(mxvct(n, v));
    EXPECT_NEAR(w.z, 0.3, 1e-15);
    double dpsi = eqeq / 13750.9870831 / std::cos(eps(T));
    EXPECT_NEAR(w.y - 1.2, dpsi, 2e-4 * AS);
  }
}

TEST(Frames, InversesAndIdentities) {
  Vec3 v(0.3, -0.8, 0.5);
  Vec3 back = eclequ(0.4, equecl(0.4, v));
  for (unsigned i = 0; i < 3; i++) EXPECT_NEAR(back[i], v[i], 1e-15);
  expectMatNear(pmatequ(0.3, 0.3), mxidn(), 0);
  expectMatNear(pmatecl(0.3, 0.3), mxidn(), 1e-15);
  // The truncated polynomials are reversible to about 1e-11 over half a century.
  expectMatNear(pmatequ(-0.2, 0.3), mxtrn(pmatequ(0.3, -0.2)), 5e-11);
  expectMatNear(pmatecl(-0.2, 0.3), mxtrn(pmatecl(0.3, -0.2)), 5e-11);
  // Ecliptic precession moves the equinox by about 50.3" per year in longitude.
  Vec3 p = carpol(mxvct(pmatecl(0.0, 0.01), Vec3(1, 0, 0)));
  EXPECT_NEAR(p.y / AS, 50.29, 0.01);
  expectMatNear(PoleMx(0, 0), mxidn(), 0);
}

TEST(Frames, PoleMatrixMatchesErfa) {
  for (auto& r : readCsv("polemotion-erfa.csv")) {
    Mat3 ref;
    for (int k = 0; k < 9; k++) ref.m[k] = num(r[2 + k]);
    // First order in the pole angles (a few 1e-6 rad): equal to second order.
    expectMatNear(PoleMx(num(r[0]), num(r[1])), ref, 2e-11);
  }
}

TEST(Frames, ObserverPositionMatchesErfa) {
  const double m = 58000.3;
  for (auto& r : readCsv("geodetic-erfa.csv")) {
    double lon = num(r[0]), lat = num(r[1]), h = num(r[2]);
    Vec3 ref(num(r[3]), num(r[4]), num(r[5]));
    Vec3 wgs(num(r[6]), num(r[7]), num(r[8]));
    // Earth-fixed: turn back by the Greenwich sidereal time.
    double thetaG = lsidtim(m, 0.0, 0.1) * M_PI / 12.0;
    Vec3 g5 = mxvct(zrot(thetaG), GeoPos(m, 0.1, lat, lon, h));
    Vec3 g7 = GeoPos(m, 0.1, lat, lon, h, 0.0, 0.0);
    Vec3 g7ef = mxvct(zrot(thetaG), g7);
    // The observer stands on the WGS-84 ellipsoid; the rounded flattening
    // 1/298.257 it used before put it up to 2 cm elsewhere.
    for (unsigned i = 0; i < 3; i++) {
      EXPECT_NEAR(g5[i], wgs[i], 1e-12) << lon << " " << lat;
      EXPECT_NEAR(g7ef[i], wgs[i], 1e-12) << lon << " " << lat;
      EXPECT_NEAR(g5[i], ref[i], 6e-9) << lon << " " << lat;
    }
    // With polar motion the Earth-fixed vector goes through the transposed pole matrix.
    Vec3 gp = mxvct(zrot(thetaG), GeoPos(m, 0.1, lat, lon, h, 0.2, -0.4));
    Vec3 want = mxvct(mxtrn(PoleMx(0.2, -0.4)), wgs);
    for (unsigned i = 0; i < 3; i++) EXPECT_NEAR(gp[i], want[i], 1e-12);
  }
}

TEST(Frames, HorizontalMatchesErfa) {
  const double m = 55123.77, lon = -1.3;
  for (auto& r : readCsv("horizon-erfa.csv")) {
    double ha = num(r[0]), dec = num(r[1]), lat = num(r[2]);
    double theta = lsidtim(m, lon * 180.0 / M_PI, 0.0) * M_PI / 12.0;
    Vec3 v = polcar(Vec3(2.5, theta - ha, dec));
    double az, el, dist;
    AppPos(m, 0.0, lat, lon, 0.0, 0, v, az, el, dist);
    EXPECT_GT(az, -M_PI);
    EXPECT_LE(az, M_PI);
    EXPECT_NEAR(std::remainder(az - num(r[3]), 2 * M_PI), 0.0, 1e-12);
    EXPECT_NEAR(el, num(r[4]), 1e-12);
    EXPECT_NEAR(dist, 2.5, 1e-14);
    double ra, de;
    AppRADec(m, 0.0, lat, lon, az, el, ra, de);
    EXPECT_NEAR(std::remainder(ra - (theta - ha), 2 * M_PI), 0.0, 1e-12);
    EXPECT_NEAR(de, dec, 1e-12);
    Vec3 back = HorEqu(m, 0.0, lat, lon, EquHor(m, 0.0, lat, lon, v));
    for (unsigned i = 0; i < 3; i++) EXPECT_NEAR(back[i], v[i], 1e-14);
  }
}

TEST(Frames, AzimuthEastAndWest) {
  const double m = 51544.5, lat = 0.8, lon = 0.2;
  double az, el, dist;
  AppPos(m, 0, lat, lon, 0, 0, HorEqu(m, 0, lat, lon, Vec3(0, 1, 0)), az, el, dist);
  EXPECT_NEAR(az, M_PI / 2, 1e-14);
  EXPECT_NEAR(el, 0, 1e-14);
  AppPos(m, 0, lat, lon, 0, 0, HorEqu(m, 0, lat, lon, Vec3(0, -1, 0)), az, el, dist);
  EXPECT_NEAR(az, -M_PI / 2, 1e-14);
  // Topocentric: a point 1 Earth radius above the observer is at the zenith.
  Vec3 obs = GeoPos(m, 0, lat, lon, 0);
  Vec3 up = HorEqu(m, 0, lat, lon, Vec3(0, 0, 1));
  AppPos(m, 0, lat, lon, 0, 1, obs + up, az, el, dist);
  EXPECT_NEAR(el, M_PI / 2, 1e-9);
  EXPECT_NEAR(dist, 1.0, 1e-12);
}

TEST(Frames, AberrationShiftsByTheAberrationConstant) {
  // Shift of any direction is at most about 20.5 arcsec and preserves nothing else.
  for (double T : {-0.5, 0.0, 0.13}) {
    for (Vec3 v : {Vec3(1, 0, 0), Vec3(0, 3, 0), Vec3(0.2, -0.5, 4)}) {
      Vec3 a = aberrat(T, v);
      double ang = std::acos(dot(vnorm(a), vnorm(v)));
      EXPECT_LT(ang / AS, 20.6);
    }
  }
}

// Near -4.4 degrees the refraction formula divided by zero; it now stays
// finite and bounded below the horizon.
TEST(Frames, RefractionIsFiniteEverywhere) {
  const double deg = M_PI / 180.0;
  // Standard conditions: about 34.5 arcmin at the horizon, 1 arcmin at 45 degrees.
  EXPECT_NEAR(Refract(0.0, 1010, 10) / deg * 60, 34.5, 0.1);
  EXPECT_NEAR(Refract(45 * deg, 1010, 10) / deg * 60, 1.0, 0.05);
  double prev = Refract(-1.0 * deg, 1010, 10);
  for (double h : {-4.4, -4.4 + 1e-12, -4.4 - 1e-12, -4.35, -10.0, -90.0, -1.0}) {
    double r = Refract(h * deg, 1010, 10);
    EXPECT_TRUE(std::isfinite(r)) << h;
    EXPECT_GE(r, 0.0) << h;
    EXPECT_LE(r, prev + 1e-15) << h;
  }
}
