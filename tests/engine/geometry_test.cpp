// Orbit frames, visibility circles and transit centre lines.
#include "engine/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "support/passfixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

void expectRotation(const Mat3& M) {
  Mat3 I = M * mxtrn(M);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) EXPECT_NEAR(I(i, j), i == j ? 1.0 : 0.0, 1e-14);
  EXPECT_NEAR(mxdet(M), 1.0, 1e-14);
}

TEST(GetRVMat, OrbitFrameAxes) {
  const Vec3 r(4.1e6, -3.3e6, 4.4e6), v(3.0e3, 6.0e3, 1.5e3);
  const Vec3 h = vnorm(r * v);
  const Mat3 M0 = GetRVMat(r, v, 0, 0, 0), M1 = GetRVMat(r, v, 0, 0, 1);
  expectRotation(M0);
  expectRotation(M1);
  Vec3 hv = mxvct(M0, h), vv = mxvct(M0, v);
  EXPECT_NEAR(hv.z, 1.0, 1e-14);  // mode 0: z along the orbit normal
  EXPECT_NEAR(vv.x, abs(v), 1e-9);  // x along the velocity
  EXPECT_NEAR(mxvct(M1, h).y, 1.0, 1e-14);  // mode 1: the normal is y
  EXPECT_GT(mxvct(M1, r).z, 0.0);
  // Yaw and pitch are the last turns; zero adds nothing.
  const Mat3 Myp = GetRVMat(r, v, 30.0, -12.0, 1);
  const Mat3 ref = yrot(12.0 * kDeg) * zrot(-30.0 * kDeg) * M1;
  for (int k = 0; k < 9; k++) EXPECT_NEAR(Myp.m[k], ref.m[k], 1e-15);
  // Mode 2 pitches by the flight-path angle: x then lies along v.
  const Vec3 re(7.0e6, 0, 0), ve(1.0e3, 7.4e3, 0);  // climbing
  Vec3 x2 = mxvct(mxtrn(GetRVMat(re, ve, 0, 0, 2)), Vec3(1, 0, 0));
  Vec3 x1 = mxvct(mxtrn(GetRVMat(re, ve, 0, 0, 1)), Vec3(1, 0, 0));
  EXPECT_NEAR(std::acos(dot(x1, x2)), std::asin(1.0e3 / abs(ve)), 1e-12);
}

TEST(GetRVMat, DegenerateInputStaysFinite) {
  // r parallel to v: the normal falls back to r x (0,1,0), then r x (1,0,0),
  // then (0,0,1). Mode 2 takes acos of a rounded dot product of 1 (+-ulp).
  const Vec3 cases[][2] = {{Vec3(1, 1, 1), Vec3(3, 3, 3)},
                           {Vec3(0, 5, 0), Vec3(0, 2, 0)},
                           {Vec3(0.1, 0.7, 0.3), Vec3(0.3, 2.1, 0.9)},
                           {Vec3(), Vec3()}};
  for (auto& c : cases)
    for (int mode = 0; mode < 3; mode++) {
      Mat3 M = GetRVMat(c[0], c[1], 10, 20, mode);
      for (double e : M.m) EXPECT_TRUE(std::isfinite(e)) << c[0] << " mode " << mode;
      expectRotation(M);
    }
}

TEST(GetYSMat, NoMeanMotionAndPolarPositions) {
  WinpData d;
  std::memset(&d, 0, sizeof d);
  d.inc[0] = 98.0;
  const Vec3 r(4.1e6, -3.3e6, 4.4e6), v(3.0e3, 6.0e3, 1.5e3);
  // Without a mean motion: the mode-2 frame, the given yaw and pitch ignored.
  Mat3 M = GetYSMat(&d, r, v, 25.0, 5.0), M2 = GetRVMat(r, v, 0, 0, 2);
  for (int k = 0; k < 9; k++) EXPECT_EQ(M.m[k], M2.m[k]);
  d.mnmot[0] = 14.5;
  for (const Vec3& p : {r, Vec3(0, 0, 7e6), Vec3(1e-300, 0, -7e6)}) {
    Mat3 Y = GetYSMat(&d, p, v, 0, 0);
    for (double e : Y.m) EXPECT_TRUE(std::isfinite(e)) << p;
    expectRotation(Y);
  }
}

// Great-circle distance (rad) between two points, robust for small angles.
double arc(double la1, double lo1, double la2, double lo2) {
  Vec3 a = polcar(Vec3(1, lo1, la1)), b = polcar(Vec3(1, lo2, la2));
  return std::atan2(abs(a * b), dot(a, b));
}

TEST(GetSatVis, EveryPointLiesOnTheHorizonCircle) {
  struct Case {
    double lat, lng, hgt;
  } cases[] = {{0, 0, 400}, {51.6, 179.5, 420}, {-51.6, -179.5, 800}, {-80, -30, 2000},
               {75, 100, 35786}, {1e-9, 0, 20200}, {30, 45, 1e-3}};
  static SatPosData sp;
  for (const Case& c : cases) {
    sp = SatPosData();
    sp.lng[3] = c.lng;
    sp.hgt[3] = c.hgt;
    GetSatVis(&sp, c.lat * kDeg, 3);
    ASSERT_EQ(sp.nfp, 64);
    const double R = 6378.137, want = std::acos(R / (R + c.hgt));
    for (int k = 0; k < 64; k++) {
      double got = arc(c.lat * kDeg, c.lng * kDeg, sp.fplat[3][k], sp.fplng[3][k]);
      EXPECT_NEAR(got, want, 1e-9) << c.lat << " " << c.lng << " " << c.hgt << " point " << k;
      EXPECT_LE(sp.fplng[3][k], 2 * kPi);
      EXPECT_GE(sp.fplng[3][k], -kPi);
    }
  }
  // At or below the ground the circle is the sub-point itself.
  for (double h : {0.0, -50.0}) {
    sp.lng[0] = 20;
    sp.hgt[0] = h;
    GetSatVis(&sp, 0.5, 0);
    for (int k = 0; k < 64; k++) {
      EXPECT_NEAR(sp.fplat[0][k], 0.5, 1e-12);
      EXPECT_NEAR(sp.fplng[0][k], 20 * kDeg, 1e-12);
    }
  }
  GetSatVis(&sp, 0.5, 12);  // out of range: ignored
  GetSatVis(&sp, 0.5, -1);
}

struct OccFixture : ::testing::Test {
  WinpData d;
  static SatPosData sp;
  const double t1 = 58849.37;
  double eqeq;
  void SetUp() override {
    std::memset(&d, 0, sizeof d);
    sp = SatPosData();
    nutmat(julcent(t1), eqeq, false);
    d.occflg = 1;
    d.lat = 10;
    d.lng = 20;
  }
  // Satellite (Earth radii, true of date) at 400 km over (lat, lng) and a
  // unit direction towards the source at the given horizontal angles there.
  void geometry(double lat, double lng, double az, double el, Vec3& sat, Vec3& u) {
    sat = GeoPos(t1, eqeq, lat * kDeg, lng * kDeg, 400e3);
    u = HorEqu(t1, eqeq, lat * kDeg, lng * kDeg,
               polcar(Vec3(1, kPi - az * kDeg, el * kDeg)));
  }
  // Angle between the satellite and the Sun seen from the returned point on
  // the ellipsoid (at the observer's height, 0).
  double misalignment(const Vec3& sat, const Vec3& sun) {
    Vec3 q = GeoPos(t1, eqeq, sp.ctlat[0] * kDeg, sp.ctlng[0] * kDeg, d.height);
    Vec3 a = vnorm(sat - q), b = vnorm(sun - q);
    return std::atan2(abs(a * b), dot(a, b));
  }
};
SatPosData OccFixture::sp;

TEST_F(OccFixture, CentreLinePointIsAlignedWithSatelliteAndSun) {
  const double geoms[][4] = {{40, 10, 200, 50}, {-33, 151, 30, 70}, {62, -20, 120, 20},
                             {0, 0, 0, 89}, {-75, 90, 300, 35}};
  for (auto& g : geoms) {
    Vec3 sat, u;
    geometry(g[0], g[1], g[2], g[3], sat, u);
    Vec3 r = sat, sun = sat + 23455.0 * u;
    GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
    ASSERT_LT(sp.ctlat[0], 99) << g[0];
    EXPECT_LT(misalignment(sat, sat + 23455.0 * u), 1e-6) << g[0] << " " << g[1];
    // The same line given as a direction (reflected-ray mode).
    double lat1 = sp.ctlat[0], lng1 = sp.ctlng[0];
    d.occflg = 3;
    Vec3 r3 = sat, dir = u;
    GetOccTrans(t1, &d, &sp, 0, eqeq, r3, dir);
    EXPECT_NEAR(sp.ctlat[0], lat1, 1e-9);
    EXPECT_NEAR(sp.ctlng[0], lng1, 1e-9);
    d.occflg = 1;
  }
}

TEST_F(OccFixture, DistanceFromObserverMissesAndRefraction) {
  Vec3 sat, u;
  geometry(40, 10, 200, 50, sat, u);
  Vec3 r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  const double la = sp.ctlat[0], lo = sp.ctlng[0];
  // r now points from the satellite to the centre-line point.
  EXPECT_LT(abs(vnorm(r) + u), 1e-9);
  // Observer on the centre line: distance 0; elsewhere the surface distance.
  d.lat = la;
  d.lng = lo;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  EXPECT_NEAR(sp.mag, 0.0, 1e-3);
  d.lat = la + 1.0;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  EXPECT_NEAR(sp.mag, 6378.137 * kDeg, 0.1);
  // Another slot leaves mag alone.
  sp.mag = -5;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 4, eqeq, r, sun);
  EXPECT_EQ(sp.mag, -5);

  // The source below the satellite's horizon plane: the line leaves the Earth.
  r = sat, sun = sat - 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  EXPECT_EQ(sp.ctlat[0], 100.0);
  EXPECT_EQ(sp.ctlng[0], 0.0);

  // Refraction: a high source makes no second pass, a low one moves the line.
  d.refrc = true;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  EXPECT_EQ(sp.ctlat[0], la);
  EXPECT_EQ(sp.ctlng[0], lo);
  // A line that meets the ground 8 deg above the horizon.
  const Vec3 g = GeoPos(t1, eqeq, 40 * kDeg, 10 * kDeg, 0.0);
  u = HorEqu(t1, eqeq, 40 * kDeg, 10 * kDeg, polcar(Vec3(1, kPi - 200 * kDeg, 8 * kDeg)));
  sat = g + 0.3 * u;
  d.refrc = false;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  const double la0 = sp.ctlat[0];
  d.refrc = true;
  r = sat, sun = sat + 23455.0 * u;
  GetOccTrans(t1, &d, &sp, 0, eqeq, r, sun);
  EXPECT_GT(std::fabs(sp.ctlat[0] - la0), 1e-3);
  EXPECT_LT(std::fabs(sp.ctlat[0] - la0), 1.0);
}

}  // namespace

// The sky chart turns to the prime satellite's azimuth, and stays where it
// points while the satellite has no position (its stand-in place is nowhere
// on the sky).
TEST(SkyAzim, OnlyToASatelliteWithAPosition) {
  auto d = passfix::OldIssRecord();
  d->skaz = 123.0;
  SkyAzim(d.get(), mjd(1, 6, 2026, 0.0));
  EXPECT_EQ(d->skaz, 123.0);
  const double t = mjd(8, 1, 2009, 0.0);
  SkyAzim(d.get(), t);
  ASSERT_EQ(GetSatPos(t, d.get(), satpos, 0, 0), SATPOS_OK);
  EXPECT_EQ(d->skaz, satpos->az[0]);
}
