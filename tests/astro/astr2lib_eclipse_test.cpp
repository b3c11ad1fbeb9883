// Eclipse: solar and lunar eclipses found with their type, time of greatest
// eclipse, place and duration, compared with the Swiss Ephemeris.
//
// Reference values from swetest 2.10.03 (Debian swetest + swe-basic-data):
//   swetest -edir/usr/share/libswe/ephe -solecl -b1.8.2017 -n1   (and 1.8.1999,
//           1.10.2022, 1.10.2023, 1.4.2024)
//   swetest -edir/usr/share/libswe/ephe -lunecl -b1.11.2022 -n1  (and 1.5.2023,
//           1.10.2023)
// Times are UT of greatest eclipse; swetest's TT - UT (dt) is passed unchanged.
// Path widths at greatest eclipse are the published values (112, 115, 187 and
// 198 km).
#include <gtest/gtest.h>

#include <cmath>

#include "astro/astr2lib.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kMinute = 1.0 / 1440.0;

double hms(int h, int m, double s) { return (h + m / 60.0 + s / 3600.0) / 24.0; }

// Distance (Earth radii) of the Moon's shadow axis from the Earth's centre, or
// a large value when the Moon is not between the Sun and the Earth.
double axisDistance(Eclipse& ecl, double t, double dt) {
  Vec3 rm, e;
  double d, f;
  ecl.umbra(t, dt, rm, e, d, f);
  const double s0 = -dot(rm, e);
  if (s0 <= 0.0) return 1e9;
  return std::sqrt(std::fmax(dot(rm, rm) - s0 * s0, 0.0));
}

// Angle between the Moon and the anti-Sun direction (rad).
double shadowDistance(Eclipse& ecl, double t, double dt) {
  ecl.lunar(t, dt);
  const Vec3 s = ecl.GetRSun(), m = ecl.GetRMoon();
  return std::acos(std::fmax(-1.0, std::fmin(1.0, -dot(s, m) / (abs(s) * abs(m)))));
}

// Instant of the minimum of g within +-6 h of t0: scan by minutes, then
// golden-section search to a fraction of a second.
template <class G>
double minimise(G g, double t0) {
  double best = t0, gbest = g(t0);
  for (double t = t0 - 0.25; t <= t0 + 0.25; t += kMinute) {
    const double v = g(t);
    if (v < gbest) {
      gbest = v;
      best = t;
    }
  }
  double a = best - kMinute, b = best + kMinute;
  const double r = 0.6180339887498949;
  while (b - a > 1e-6) {
    const double c = b - r * (b - a), d = a + r * (b - a);
    if (g(c) < g(d))
      b = d;
    else
      a = c;
  }
  return 0.5 * (a + b);
}

struct SolarCase {
  const char* name;
  int d, m, y;
  double greatest;   // UT fraction of the day
  double dt;         // TT - UT (s)
  int phase;         // expected code at greatest eclipse
  double lat, lon;   // place of greatest eclipse (deg, east positive)
  double seconds;    // duration of the central phase there (0: not central)
  double width;      // published width of the path there (km)
};

const SolarCase kSolar[] = {
    {"1999-08-11 total", 11, 8, 1999, hms(11, 3, 5.9), 63.7, 5, 45.0539, 24.3147, 142.87, 112},
    {"2017-08-21 total", 21, 8, 2017, hms(18, 25, 31.7), 68.8, 5, 36.9531, -87.6594, 160.12, 115},
    {"2022-10-25 partial", 25, 10, 2022, hms(11, 0, 6.5), 69.2, 1, 61.7397, 77.2275, 0.0, 0},
    {"2023-10-14 annular", 14, 10, 2023, hms(17, 59, 31.3), 69.1, 4, 11.3697, -83.1103, 316.98, 187},
    {"2024-04-08 total", 8, 4, 2024, hms(18, 17, 20.4), 69.1, 5, 25.2856, -104.1542, 268.03, 198},
};

TEST(Eclipse, SolarEclipsesFoundWithTypeTimePlaceAndDuration) {
  for (const SolarCase& c : kSolar) {
    SCOPED_TRACE(c.name);
    Eclipse ecl;
    const double day = mjd(c.d, c.m, c.y, 0.0);
    const double t = minimise([&](double x) { return axisDistance(ecl, x, c.dt); },
                              day + c.greatest);
    EXPECT_NEAR((t - day - c.greatest) * 1440.0, 0.0, 1.0);  // minutes
    double lat, lon, width;
    EXPECT_EQ(ecl.solar(t, c.dt, lat, lon), c.phase);
    if (c.seconds > 0.0) {
      // Central: solar() gives the point of the central line.
      EXPECT_NEAR(lat / kDeg, c.lat, 0.2);
      EXPECT_NEAR(lon / kDeg, c.lon, 0.2);
      const double dur = ecl.duration(t, c.dt, width);
      EXPECT_NEAR(dur, c.seconds, 0.05 * c.seconds);
      EXPECT_NEAR(width, c.width, 0.05 * c.width);
    } else {
      // Not central: no place from solar(); maxpos gives the point nearest the axis.
      EXPECT_EQ(lat, 0.0);
      EXPECT_EQ(lon, 0.0);
      EXPECT_EQ(ecl.duration(t, c.dt, width), -1.0);
      ecl.maxpos(t, c.dt, lat, lon);
      EXPECT_NEAR(lat / kDeg, c.lat, 0.2);
      EXPECT_NEAR(lon / kDeg, c.lon, 0.2);
    }
  }
}

struct LunarCase {
  const char* name;
  int d, m, y;
  double greatest;
  double dt;
  int phase;
};

const LunarCase kLunar[] = {
    {"2022-11-08 total", 8, 11, 2022, hms(10, 59, 11.5), 69.2, 4},
    {"2023-05-05 penumbral", 5, 5, 2023, hms(17, 23, 0.6), 69.2, 1},
    {"2023-10-28 partial", 28, 10, 2023, hms(20, 14, 3.6), 69.1, 3},
};

TEST(Eclipse, LunarEclipsesFoundWithTypeAndTime) {
  for (const LunarCase& c : kLunar) {
    SCOPED_TRACE(c.name);
    Eclipse ecl;
    const double day = mjd(c.d, c.m, c.y, 0.0);
    const double t = minimise([&](double x) { return shadowDistance(ecl, x, c.dt); },
                              day + c.greatest);
    EXPECT_NEAR((t - day - c.greatest) * 1440.0, 0.0, 1.0);
    EXPECT_EQ(ecl.lunar(t, c.dt), c.phase);
  }
}

// Around a total lunar eclipse the Moon's shadow points away from the Earth:
// no solar eclipse, although the Sun-Moon line passes through the Earth.
TEST(Eclipse, NoSolarEclipseAtFullMoon) {
  Eclipse ecl;
  const double t0 = mjd(8, 11, 2022, 0.0) + hms(10, 59, 11.5);
  for (double t = t0 - 0.5; t <= t0 + 0.5; t += 10 * kMinute) {
    double lat = 1, lon = 1;
    EXPECT_EQ(ecl.solar(t, 69.2, lat, lon), 0) << t;
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, 0.0);
  }
}

// Around central solar eclipses the Moon is on the Sun's side: no lunar eclipse.
TEST(Eclipse, NoLunarEclipseAtNewMoon) {
  Eclipse ecl;
  for (const SolarCase& c : kSolar) {
    if (c.phase < 4) continue;
    const double t0 = mjd(c.d, c.m, c.y, 0.0) + c.greatest;
    for (double t = t0 - 0.5; t <= t0 + 0.5; t += 10 * kMinute) EXPECT_EQ(ecl.lunar(t, c.dt), 0) << c.name;
  }
}

TEST(Eclipse, NoSolarEclipseFarFromNewMoon) {
  Eclipse ecl;
  double lat = 1, lon = 1;
  EXPECT_EQ(ecl.solar(mjd(28, 8, 2017, 18.0), 68.8, lat, lon), 0);  // first quarter
  EXPECT_EQ(lat, 0.0);
  EXPECT_EQ(lon, 0.0);
  EXPECT_EQ(ecl.lunar(mjd(28, 8, 2017, 18.0), 68.8), 0);
}

// The longitude of the point nearest the shadow axis stays in -pi..pi for any
// sidereal time (before 2000 lsidtim can be negative).
TEST(Eclipse, MaxposLongitudeIsReduced) {
  Eclipse ecl;
  for (double t = mjd(1, 1, 1990, 0.0); t < mjd(1, 1, 1990, 0.0) + 30.0; t += 0.0417) {
    double lat, lon;
    ecl.maxpos(t, 57.0, lat, lon);
    EXPECT_GE(lon, -kPi);
    EXPECT_LE(lon, kPi);
    EXPECT_LE(std::fabs(lat), kPi / 2);
  }
}

// duration() leaves the state of the solar() call before it.
TEST(Eclipse, DurationKeepsTheState) {
  Eclipse ecl;
  const double t = mjd(21, 8, 2017, 0.0) + hms(18, 25, 31.7);
  double lat, lon, width;
  ecl.solar(t, 68.8, lat, lon);
  const Vec3 rs = ecl.GetRSun(), rm = ecl.GetRMoon();
  const double eq = ecl.GetEp2();
  ecl.duration(t, 68.8, width);
  EXPECT_EQ(abs(ecl.GetRSun() - rs), 0.0);
  EXPECT_EQ(abs(ecl.GetRMoon() - rm), 0.0);
  EXPECT_EQ(ecl.GetEp2(), eq);
  // Six seconds after the instant the eclipse is no longer central: -1, and
  // the width falls back to the umbra diameter.
  const double later = mjd(21, 8, 2017, 0.0) + hms(20, 30, 0.0);
  EXPECT_EQ(ecl.solar(later, 68.8, lat, lon), 1);
  EXPECT_EQ(ecl.duration(later, 68.8, width), -1.0);
}

TEST(Eclipse, NewObjectAccessors) {
  Eclipse ecl;
  EXPECT_EQ(abs(ecl.GetRSun() - Vec3(1, 0, 0)), 0.0);
  EXPECT_EQ(abs(ecl.GetRMoon() - Vec3(1, 0, 0)), 0.0);
  EXPECT_EQ(ecl.GetEp2(), 0.0);
}

}  // namespace
