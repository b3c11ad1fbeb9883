// State vector to SGP4 mean elements: fitted elements reproduce independent
// SGP4 tracks (python3-sgp4), and unusable states give an error code.
#include "orbit/rv2el.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "orbit/sgp4unit.h"
#include "support/sgp4fittracks.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

using Track = sgp4fit_test::RefTrack;

std::vector<Track> readTracks() { return sgp4fit_test::ReadTracks("rv2el-tracks.txt"); }

double angDiff(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

// The fitted set, propagated with our SGP4 from the same epoch and B*, must
// retrace the independent track over a day. The original elements come back
// too (the fit inverts the model, it does not merely approximate the state).
TEST(Rv2el, RefitReproducesSgp4TrackOverOneDay) {
  const std::vector<Track> tracks = readTracks();
  ASSERT_EQ(tracks.size(), 7u);
  for (const Track& tr : tracks) {
    SCOPED_TRACE(tr.name);
    ASSERT_EQ(tr.t.size(), 25u);
    double incl = 0, node = 0, ecc = 0, argp = 0, M = 0, n = 0;
    ASSERT_EQ(rv2el(tr.r[0] * 1000.0, tr.v[0] * 1000.0, incl, node, ecc, argp, M, n), RV2EL_OK);
    EXPECT_NEAR(incl, tr.incl, 1e-6);
    EXPECT_NEAR(n, tr.n, 1e-8);
    // SGP4 raises a mean e below 1e-6 to 1e-6: that is the orbit the state shows.
    EXPECT_NEAR(ecc, std::fmax(tr.ecc, 1e-6), 1e-9);
    EXPECT_GE(node, 0.0);
    EXPECT_LT(node, 360.0);
    if (tr.incl == 0.0) {
      EXPECT_EQ(node, 0.0);
    } else {
      EXPECT_LT(angDiff(node, tr.node), 1e-6);
    }
    // With a small e only argp + M is sharp.
    if (tr.ecc > 1e-4) {
      EXPECT_LT(angDiff(argp, tr.argp), 1e-4);
      EXPECT_LT(angDiff(argp + M, tr.argp + tr.M), 1e-6);
    }
    elsetrec rec;
    ASSERT_EQ(sgp4init(wgs72, false, tr.epoch, tr.bstar, ecc, argp * kDeg, incl * kDeg, M * kDeg,
                       n * 2.0 * kPi / 1440.0, node * kDeg, rec),
              0);
    double maxd = 0;
    for (size_t k = 0; k < tr.t.size(); ++k) {
      double r[3], v[3];
      ASSERT_EQ(sgp4(wgs72, rec, tr.t[k], r, v), 0);
      maxd = std::fmax(maxd, abs(Vec3(r[0], r[1], r[2]) - tr.r[k]));
    }
    EXPECT_LT(maxd * 1000.0, 10.0);
  }
}

// An exactly equatorial orbit has no node line: node 0, and the angles come
// from the x axis so the satellite keeps its place on the orbit (prograde
// and retrograde; a state in any quadrant).
TEST(Rv2el, EquatorialOrbitHasNodeZeroAndKeepsThePosition) {
  for (double sign : {1.0, -1.0}) {
    for (double ang : {20.0, 135.0, 250.0}) {
      SCOPED_TRACE(sign * ang);
      const double c = std::cos(ang * kDeg), s = std::sin(ang * kDeg);
      const Vec3 r = Vec3(c, s, 0.0) * 7000e3;
      const Vec3 v = Vec3(-s, c, 0.0) * (sign * 7600.0) + Vec3(c, s, 0.0) * 50.0;
      double incl = 0, node = -1, ecc = 0, argp = 0, M = 0, n = 0;
      ASSERT_EQ(rv2el(r, v, incl, node, ecc, argp, M, n), RV2EL_OK);
      EXPECT_EQ(node, 0.0);
      EXPECT_NEAR(incl, sign > 0 ? 0.0 : 180.0, 1e-12);
      elsetrec rec;
      ASSERT_EQ(sgp4init(wgs72, false, 28103.0, 0.0, ecc, argp * kDeg, incl * kDeg, M * kDeg,
                         n * 2.0 * kPi / 1440.0, node * kDeg, rec),
                0);
      double rr[3], vv[3];
      ASSERT_EQ(sgp4(wgs72, rec, 0.0, rr, vv), 0);
      EXPECT_LT(abs(Vec3(rr[0], rr[1], rr[2]) * 1000.0 - r), 10.0);
      EXPECT_LT(abs(Vec3(vv[0], vv[1], vv[2]) * 1000.0 - v), 0.01);
    }
  }
}

TEST(Rv2el, UnusableStatesGiveErrorCodes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    Vec3 r, v;
    int code;
  } cases[] = {
      {"zero vectors", Vec3(), Vec3(), RV2EL_BELOWSURFACE},
      {"NaN position", Vec3(nan, 0, 0), Vec3(0, 7500, 0), RV2EL_BADINPUT},
      {"NaN velocity", Vec3(7000e3, 0, 0), Vec3(0, nan, 0), RV2EL_BADINPUT},
      {"infinite", Vec3(inf, 0, 0), Vec3(0, 7500, 0), RV2EL_BADINPUT},
      {"below the surface", Vec3(6000e3, 0, 0), Vec3(0, 8000, 0), RV2EL_BELOWSURFACE},
      {"zero velocity", Vec3(7000e3, 0, 0), Vec3(), RV2EL_NOTELLIPTIC},
      {"radial velocity", Vec3(7000e3, 0, 0), Vec3(7000, 0, 0), RV2EL_NOTELLIPTIC},
      {"hyperbolic", Vec3(7000e3, 0, 0), Vec3(0, 12000, 0), RV2EL_NOTELLIPTIC},
      {"parabolic", Vec3(7000e3, 0, 0), Vec3(0, std::sqrt(2 * 398600.8e9 / 7000e3), 0),
       RV2EL_NOTELLIPTIC},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double out[6] = {11, 12, 13, 14, 15, 16};
    EXPECT_EQ(rv2el(c.r, c.v, out[0], out[1], out[2], out[3], out[4], out[5]), c.code);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(out[k], 11.0 + k);  // untouched
  }
}

}  // namespace
