// The mean motion of a semi-major axis: the exact inverse of getsax, and its
// answer where no mean motion gives the axis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/vorlixcom.h"

namespace {

struct Orbit {
  const char* name;
  int mode;        // of getsax; -1: both
  double n, e, i;  // rev/day, -, deg
};

// Near the surface, high and slow, eccentric, and, for the Kepler model, two
// orbits deep inside the Earth whose J2 term is large: polar (it shrinks the
// axis towards 0) and equatorial (the axis has a smallest value near 127
// rev/day, and varies slowly with n before it).
const Orbit kOrbits[] = {
    {"ISS", -1, 15.5, 0.0006, 51.6},
    {"sun-synchronous", -1, 14.2, 0.001, 98.2},
    {"GEO", -1, 1.00270065, 0.0, 0.001},
    {"Molniya", -1, 2.006, 0.74, 63.4},
    {"slowest kept", -1, 0.001, 0.1, 30.0},
    {"fastest kept", -1, 100.0, 0.0, 0.0},
    {"hyperbolic e", -1, 3.0, 1.5, 40.0},
    {"polar, perigee inside", 0, 89.5733, 0.97, 90.0},
    {"equatorial, perigee inside", 0, 96.4721, 0.98, 0.0},
};

}  // namespace

// getsax(mode, n) -> a -> n gives a exactly, and n to the last bits: within
// a few units of its last place, or where neighbouring mean motions share one
// axis, within the span that a's last bits leave.
TEST(InvGetsax, RoundTripToTheLastBits) {
  for (const Orbit& o : kOrbits) {
    for (int mode : {0, 1}) {
      if (o.mode >= 0 && mode != o.mode) continue;
      SCOPED_TRACE(testing::Message() << o.name << ", mode " << mode);
      const double a = getsax(mode, o.n, o.e, o.i);
      const double n = InvGetsax(mode, a, o.e, o.i);
      EXPECT_EQ(getsax(mode, n, o.e, o.i), a);
      const double h = 1e-6 * o.n;
      const double slope =
          std::fabs(getsax(mode, o.n + h, o.e, o.i) - getsax(mode, o.n - h, o.e, o.i)) / (2 * h);
      const double tol = std::max(8.0 * DBL_EPSILON * o.n, 4.0 * DBL_EPSILON * a / slope);
      EXPECT_LE(std::fabs(n - o.n), tol) << n - o.n;
      EXPECT_LT(tol, 1e-13 * o.n);
    }
  }
}

// 0 where no mean motion gives the axis; the editor tells by the axis
// whether it lies outside the range or the orbit inside the Earth.
TEST(InvGetsax, ZeroWhereNoMeanMotionGivesTheAxis) {
  // Equatorial, e 0.98: getsax of the Kepler model never comes below about
  // 4212 km, whatever the mean motion.
  double least = HUGE_VAL;
  for (double n = 0.0001; n < 1e6; n *= 1.001) least = std::min(least, getsax(0, n, 0.98, 0.0));
  EXPECT_GT(least, 4200.0);
  EXPECT_LT(least, 4250.0);
  EXPECT_EQ(InvGetsax(0, 4200.0, 0.98, 0.0), 0.0);
  // The same axis as TLE mean elements has one.
  const double n1 = InvGetsax(1, 4200.0, 0.98, 0.0);
  EXPECT_GT(n1, 0.0);
  EXPECT_NEAR(getsax(1, n1, 0.98, 0.0), 4200.0, 1e-9);

  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    // Beyond the axis of the slowest mean motion getsax takes.
    const double slowest = getsax(mode, 0.0001, 0.1, 30.0);
    EXPECT_EQ(InvGetsax(mode, slowest, 0.1, 30.0), 0.0001);
    EXPECT_EQ(InvGetsax(mode, slowest * 1.001, 0.1, 30.0), 0.0);
    // At or below getsax's floor, and no number.
    const double nan = std::nan("");
    for (double a : {0.001, 0.0, -7000.0, nan, HUGE_VAL})
      EXPECT_EQ(InvGetsax(mode, a, 0.1, 30.0), 0.0) << a;
    EXPECT_EQ(InvGetsax(mode, 7000.0, nan, 30.0), 0.0);
    EXPECT_EQ(InvGetsax(mode, 7000.0, 0.1, nan), 0.0);
  }
}
