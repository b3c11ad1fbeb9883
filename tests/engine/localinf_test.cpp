// The local-details text: content, restored settings and bounds.
#include "engine/localinf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "support/listsfixture.h"

using namespace listsfx;

namespace {

// The ISS in slot 0 (and a second satellite in slot 1), at a time it is up.
struct Case {
  std::unique_ptr<WinpData> d = NewRecord();
  Case() {
    std::vector<Tle> all = ReadTles(DataPath("visual-2009.tle"));
    Tle iss = FindTle(DataPath("visual-2009.tle"), 25544);
    LoadTle(d.get(), 0, iss.name, iss.l1, iss.l2);
    LoadTle(d.get(), 1, all[1].name, all[1].l1, all[1].l2);
    d->satnr = 1;
    for (double x = d->epoch[0]; x < d->epoch[0] + 3.0; x += 30 * kSec) {
      GetSatPos(x, d.get(), satpos, 0, 0);
      if (satpos->el[0] > 30.0) {
        d->curmjd = x;
        break;
      }
    }
  }
};

// The report in a buffer with a guard zone behind its 1008 bytes.
struct Text {
  char buf[LOCALINF_SIZE + 64];
  std::string Run(WinpData* d) {
    std::memset(buf, 'Z', sizeof buf);
    LocalInf(d, buf);
    for (size_t k = LOCALINF_SIZE; k < sizeof buf; ++k) EXPECT_EQ(buf[k], 'Z');
    EXPECT_LT(std::strlen(buf), static_cast<size_t>(LOCALINF_SIZE));
    return buf;
  }
};

double After(const std::string& s, const std::string& key) {
  size_t p = s.find(key);
  EXPECT_NE(p, std::string::npos) << key << " in\n" << s;
  return p == std::string::npos ? NAN : std::atof(s.c_str() + p + key.size());
}

bool Has(const std::string& s, const char* key) { return s.find(key) != std::string::npos; }

}  // namespace

TEST(LocalInf, OneSatelliteOnTheWorldMap) {
  Case c;
  WinpData* d = c.d.get();
  ASSERT_GT(d->curmjd, 0.0);
  d->rlm = 1;
  d->prs = 0;
  Text t;
  const std::string s = t.Run(d);
  EXPECT_EQ(s.rfind("Lat: 48.1,  Long: 11.6,   SunElev:", 0), 0u) << s;
  EXPECT_TRUE(Has(s, "\n\nISS (ZARYA)"));
  EXPECT_GT(After(s, "\tElev:"), 30.0);
  // Surface distance against a haversine of the sub-satellite point.
  const double p1 = d->lat * kDeg, p2 = satpos->lat[0] * kDeg;
  const double dl = (d->lng - satpos->lng[0]) * kDeg;
  const double h = std::sin((p2 - p1) / 2) * std::sin((p2 - p1) / 2) +
                   std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  EXPECT_NEAR(After(s, "Along-the-Surface-Distance:"), 2 * 6378.137 * std::asin(std::sqrt(h)), 0.1);
  // State vector of a low orbit, beta angle, Sun and observer directions.
  const double x = After(s, "\nx\t"), y = After(s, "\ny\t"), z = After(s, "\nz\t");
  const double vx = After(s, "\nvx\t"), vy = After(s, "\nvy\t"), vz = After(s, "\nvz\t");
  EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 6730.0, 60.0);
  EXPECT_NEAR(std::sqrt(vx * vx + vy * vy + vz * vz), 7.68, 0.1);
  EXPECT_NEAR(After(s, "Beta Angle: "), satpos->beta[0], 0.006);
  const double sa = After(s, "Sun Azimuth (from +V): ");
  EXPECT_GE(sa, 0.0);
  EXPECT_LT(sa, 360.0);
  EXPECT_TRUE(Has(s, "\n\tSun Elevation: "));
  EXPECT_TRUE(Has(s, "Observer (Yaw, Pitch, Azimuth): ")) << s;
  // The observer is below the satellite: pitch towards the centre side.
  EXPECT_EQ(d->rlm, 1);
  EXPECT_EQ(d->prs, 0);
}

TEST(LocalInf, ReflectorFixedInSpaceEndsAfterSunAzimuth) {
  Case c;
  c.d->flarmod = -2;
  Text t;
  const std::string s = t.Run(c.d.get());
  const size_t p = s.find("\n\n\tSun Azimuth (from North): ");
  ASSERT_NE(p, std::string::npos) << s;
  EXPECT_EQ(s.find('\n', p + 3), std::string::npos) << s;
}

TEST(LocalInf, SeveralSatellitesOnlyTheSelectedSlots) {
  Case c;
  WinpData* d = c.d.get();
  d->satnr = 2;
  d->prs = 1;
  satpos->az[2] = 12345.0;
  satpos->az[WORKSLOT] = 12345.0;
  Text t;
  const std::string s = t.Run(d);
  EXPECT_TRUE(Has(s, "ISS (ZARYA)"));
  EXPECT_TRUE(Has(s, d->satname[1]));
  EXPECT_FALSE(Has(s, "State Vector"));
  EXPECT_FALSE(Has(s, "Surface"));
  EXPECT_EQ(satpos->az[2], 12345.0);  // no slot beyond the selection computed
  EXPECT_EQ(satpos->az[WORKSLOT], 12345.0);
  EXPECT_EQ(d->prs, 1);
}

// A click on the sky chart whose direction lies in the last half minute of
// a degree (or hour) shows the next whole one, never minute 60; an R.A. that
// reaches 24 h reads 0 h.
TEST(LocalInf, SkyClickMinutesCarry) {
  struct K {
    double az2, el2;
    const char* want;
  } cases[] = {
      {23.5959, -27.5959, " R.A.(HH.MM):    0.00,    Decl.(DD.MM):  -28.00"},
      {5.5951, 0.5955, " R.A.(HH.MM):    6.00,    Decl.(DD.MM):    1.00"},
      {-0.5958, 89.5949, " R.A.(HH.MM):   -1.00,    Decl.(DD.MM):   89.59"},
  };
  for (const K& k : cases) {
    Case c;
    WinpData* d = c.d.get();
    d->skymap = 1;
    d->satnr = 0;
    d->lat = 48.1;
    d->el1 = 30.0;
    d->az2 = k.az2;
    d->el2 = k.el2;
    Text t;
    EXPECT_TRUE(Has(t.Run(d), k.want)) << k.want;
  }
}

TEST(LocalInf, FixedTexts) {
  struct K {
    int skymap, satnr;
    double lat, el1;
    const char* want;
  } cases[] = {
      {0, 1, -100.0, 0.0, "\n\n   *** Cursor outside Map ***"},
      {0, 0, 48.1, 0.0, "*** No satellite has been selected ***"},
      {1, 1, 48.1, -100.0, "\n\n   *** Cursor outside Map ***"},
      {1, 0, 48.1, 30.0,
       "\n\nAzimuth (deg.):    10.0,    Elevation (deg):    30.0"
       "\n\n R.A.(HH.MM):    5.30,    Decl.(DD.MM):   20.15"
       "\n\n\n *** No satellite has been selected ***"},
  };
  for (const K& k : cases) {
    Case c;
    WinpData* d = c.d.get();
    d->skymap = k.skymap;
    d->satnr = k.satnr;
    d->lat = k.lat;
    d->az1 = 10.0;
    d->el1 = k.el1;
    d->az2 = 5.3;
    d->el2 = 20.15;
    d->rlm = 1;
    d->yrepoch = 2000.0;
    Text t;
    EXPECT_EQ(t.Run(d), k.want);
    EXPECT_EQ(d->rlm, 1);
    EXPECT_EQ(d->yrepoch, 2000.0);
  }
}

TEST(LocalInf, SkyChartDistanceAndCourse) {
  Case c;
  WinpData* d = c.d.get();
  d->skymap = 1;
  d->yrepoch = 2000.0;
  d->rlm = 1;
  GetSatPos(d->curmjd, d, satpos, 0, 0);
  d->az1 = satpos->az[0];
  d->el1 = satpos->el[0] + 2.0;  // two degrees above the satellite
  Text t;
  const std::string s = t.Run(d);
  EXPECT_NEAR(After(s, "Angular distance:"), 2.0, 0.01) << s;
  // The course on the sky: the direction of the R.A./Dec. motion of date.
  const double course = After(s, "Sky Course:");
  EXPECT_GE(course, 0.0);
  EXPECT_LT(course, 360.0);
  d->yrepoch = 0.0;
  SatPosData sp{};
  GetSatPos(d->curmjd, d, &sp, 0, 0);
  const double r1 = DmsDegF(sp.ra[0]) * 15, d1 = DmsDegF(sp.dec[0]);
  GetSatPos(d->curmjd + 10 * kSec, d, &sp, 0, 0);
  const double r2 = DmsDegF(sp.ra[0]) * 15, d2 = DmsDegF(sp.dec[0]);
  // North 0, towards decreasing R.A. (west on the sky map) positive.
  double want = std::atan2(-(r2 - r1) * std::cos(d1 * kDeg), d2 - d1) / kDeg;
  if (want < 0) want += 360.0;
  EXPECT_NEAR(course, want, 1.0);
  EXPECT_EQ(d->yrepoch, 0.0);
  d->yrepoch = 2000.0;
  t.Run(d);
  EXPECT_EQ(d->yrepoch, 2000.0);
  EXPECT_EQ(d->rlm, 1);
}

// A satellite without a position has no numbers: under its name the text
// says "*** No Position ***" ("*** Decayed ***" for one that came down), and
// when it is the only one no distance, state or angles follow; the Sun at
// the observer and a second satellite keep theirs. The ISS of the shipped
// 2009 elements has none in 2017.
TEST(LocalInf, SatelliteWithoutPosition) {
  const struct {
    const char* what;
    bool decayed;  // a numerical satellite that came down, else the 2009 ISS
    int skymap, satsky, satnr;
    const char* want;  // what follows the observer's or the clicked point's lines
  } cases[] = {
      {"map, only satellite", false, 0, 0, 1, "\n\nISS (ZARYA)\n\t*** No Position ***"},
      {"map, came down", true, 0, 0, 1, "\n\nISS (ZARYA)\n\t*** Decayed ***"},
      {"map, and a second satellite", false, 0, 0, 2,
       "\n\nISS (ZARYA)\n\t*** No Position ***\n\n"},
      {"sky chart", false, 1, 0, 1, "\n\nISS (ZARYA)\n\t*** No Position ***"},
      // Its own sky is none: no clicked direction either.
      {"sky seen from it", false, 1, 1, 1, "\n\nISS (ZARYA)\n\t*** No Position ***"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    Case c;
    WinpData* d = c.d.get();
    d->curmjd = mjd(11, 11, 2017, 5.0);
    if (k.decayed) {
      d->curmjd = 58138.9 + 8.0;
      support::numericalSlot(d, 0, 58138.9, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
    }
    d->skymap = k.skymap;
    d->satsky = k.satsky;
    d->satnr = k.satnr;
    d->prs = 0;
    d->az1 = 10.0;
    d->el1 = 30.0;
    // Slot 1: a satellite of slow decay, still in orbit.
    const Tle other = FindTle(DataPath("visual-2009.tle"), 20261);
    LoadTle(d, 1, other.name, other.l1, other.l2);
    Text t;
    const std::string s = t.Run(d);
    const size_t at = s.find("\n\nISS");
    ASSERT_NE(at, std::string::npos) << s;
    EXPECT_EQ(s.substr(at, std::strlen(k.want)), k.want) << s;
    EXPECT_EQ(s.find("ISS (ZARYA)\n\tAzim"), std::string::npos) << s;
    for (const char* none : {"Surface", "State Vector", "Beta", "Angular", "Course"})
      EXPECT_FALSE(Has(s, none)) << none << " in\n" << s;
    if (!k.skymap) {
      EXPECT_GT(After(s, "SunElev:"), -90.0);
    }
    if (k.satsky) {
      EXPECT_EQ(s, k.want);
    }
    if (k.satnr == 2) {
      EXPECT_TRUE(Has(s.substr(at + 30), "\n\tAzim:")) << s;
    }
    EXPECT_EQ(d->prs, 0);
  }
}

// The sky course needs a position two seconds on as well: one second before
// the 2009 ISS elements lose theirs there is no course (not one towards the
// engine's stand-in place); a few seconds before, both ends have one and the
// course agrees with skyfield's (tests/tools/gen_skycourse_refs.py).
TEST(LocalInf, SkyCourseNearALossOfPosition) {
  std::ifstream f(DataPath("skycourse-skyfield.txt"));
  double loss = 0;
  std::vector<std::pair<double, double>> courses;  // seconds before the loss, course
  for (std::string l; std::getline(f, l);) {
    char kind[8];
    double a, b;
    if (std::sscanf(l.c_str(), "%7s %lf %lf", kind, &a, &b) != 3) continue;
    if (std::strcmp(kind, "loss") == 0) loss = b;
    if (std::strcmp(kind, "course") == 0) courses.emplace_back(a, b);
  }
  ASSERT_GT(loss, 56000.0);
  ASSERT_EQ(courses.size(), 3u);
  for (const auto& k : courses) {
    SCOPED_TRACE(k.first);
    Case c;
    WinpData* d = c.d.get();
    d->skymap = 1;
    d->curmjd = loss - k.first * kSec;
    d->az1 = 10.0;
    d->el1 = 30.0;
    Text t;
    const std::string s = t.Run(d);
    EXPECT_TRUE(Has(s, "Angular distance:")) << s;
    if (k.first < 2.0) {
      EXPECT_FALSE(Has(s, "Sky Course")) << s;
    } else {
      EXPECT_NEAR(After(s, "Sky Course:"), k.second, 0.05) << s;
    }
  }
}
