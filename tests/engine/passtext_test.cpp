// Pass details, pole, transit zone and ground-track texts; transit
// refinement of GetIrid.
#include <gtest/gtest.h>

#include <cctype>

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/flares.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "engine/savefile.h"
#include "support/failingsync.h"
#include "support/files.h"
#include "support/passfixture.h"

using namespace passfix;

namespace {

// A geostationary object always above the observer: every step of a listing
// is accepted, so the step and time rules can be seen line by line.
std::unique_ptr<WinpData> GeoRecord() { return SlotRecord("GOES 16", 38.90, -77.04, 50.0); }

std::unique_ptr<WinpData> IssRecord() { return SlotRecord("ISS (ZARYA)", 48.15, 11.58, 520.0); }

// Lines of a listing after the header: the text after each "\n".
std::vector<std::string> Listing(WinpData* d, int mode, int n, std::string* header) {
  std::vector<std::string> out;
  double t = 0.0;
  char buf[PASSDTXT_SIZE];
  for (int k = 0; k < n; ++k) {
    const int r = GetPassDTxt(d, t, buf, mode);
    std::string s = buf;
    if (k == 0) {
      const size_t cut = s.rfind('\n');
      if (header) *header = s.substr(0, cut + 1);
      s = s.substr(cut + 1);
    } else {
      EXPECT_EQ(s[0], '\n');
      s = s.substr(1);
    }
    if (r == 1) out.push_back(s);
  }
  return out;
}

const double kLocal1200 = mjd(21, 1, 2018, 12.0);  // 12:00 local with tzone 0

}  // namespace

// The chosen pass must be one of the last list: ipass < min(npass, 120).
TEST(PassDetails, OnlyListedPasses) {
  auto d = GeoRecord();
  char buf[PASSDTXT_SIZE];
  struct {
    int npass, ipass;
    bool ok;
  } rows[] = {{3, 0, true}, {3, 2, true}, {3, 3, false}, {3, -1, false},
              {0, 0, false}, {125, 119, true}, {125, 120, false}, {125, 130, false}};
  for (const auto& r : rows) {
    d->npass = r.npass;
    d->ipass = r.ipass;
    for (int k = 0; k < MAXPASS; ++k) d->pastm[k] = kLocal1200;
    double t = 0.0;
    std::strcpy(buf, "stale");
    const int res = GetPassDTxt(d.get(), t, buf, 0);
    if (r.ok) {
      EXPECT_EQ(res, 1) << r.npass << " " << r.ipass;
      EXPECT_NE(t, 0.0);
    } else {
      EXPECT_EQ(res, 0) << r.npass << " " << r.ipass;
      EXPECT_EQ(t, 0.0);
      EXPECT_STREQ(buf, "");
    }
  }
}

// Step classes: one minute (the first line on the next whole minute), whole
// seconds (the next whole second), tenths (59.96 s shown as the next minute).
TEST(PassDetails, StepAndTimeRules) {
  auto d = GeoRecord();
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = kLocal1200 + 30.4 / 86400.0;
  d->tstep = 1.0 / 1440.0;
  std::string head;
  auto lines = Listing(d.get(), 0, 3, &head);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 13), "JAN 21  12:01");
  EXPECT_EQ(lines[1].substr(0, 13), "JAN 21  12:02");
  EXPECT_EQ(head,
            "GOES 16\n" + std::string(54, '_') + "\nYear: 2018  +++> Timezone 0 <+++\n\n" +
                std::string(20, ' ') + "Azim.    Elev.           R.A.     Decl\n");

  d->tstep = 10.0 / 86400.0;
  lines = Listing(d.get(), 0, 2, nullptr);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 16), "JAN 21  12:00:31");
  EXPECT_EQ(lines[1].substr(0, 16), "JAN 21  12:00:41");

  d->tstep = 0.5 / 86400.0;
  d->pastm[0] = kLocal1200 + 59.46 / 86400.0;
  lines = Listing(d.get(), 0, 3, nullptr);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 18), "JAN 21  12:00:59.5");
  EXPECT_EQ(lines[1].substr(0, 18), "JAN 21  12:01: 0.0");
  EXPECT_EQ(lines[2].substr(0, 18), "JAN 21  12:01: 0.5");
}

// A sub-second stamp is one instant rounded to the tenth: at the end of a
// day, a month or a year it names the next one, never 24:00 (nor the next
// day's date with 24:00).
TEST(PassDetails, SubSecondStampsCarryIntoTheNextDay) {
  auto d = MakeRecord(48.15, 11.58, 520.0);
  d->tstep = 0.5 / 86400.0;
  const struct {
    int day, month, year;
    double seconds;  // after 23:59
    double tzone;
    const char* stamp;
  } cases[] = {
      {16, 1, 2026, 0.5, 0.0, "JAN 16  23:59: 0.5"},
      {16, 1, 2026, 59.94, 0.0, "JAN 16  23:59:59.9"},
      {16, 1, 2026, 59.96, 0.0, "JAN 17   0:00: 0.0"},
      {31, 12, 2025, 59.97, 0.0, "JAN  1   0:00: 0.0"},
      {28, 2, 2024, 59.99, 0.0, "FEB 29   0:00: 0.0"},
      {16, 1, 2026, 59.96, 2.0, "JAN 17   0:00: 0.0"},  // local time
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stamp);
    d->tzone = c.tzone;
    const double local = mjd(c.day, c.month, c.year, 23.0 + 59.0 / 60.0 + c.seconds / 3600.0);
    char ts[AOSSTR_SIZE];
    PassStepStamp(d.get(), local - c.tzone / 24.0, ts);
    EXPECT_STREQ(ts, c.stamp);
  }
}

// On the screen every column head ends where its column's numbers end, in
// every step class and column layout (the viewer's font is fixed-pitch).
TEST(PassDetails, ScreenHeadsStandOverTheirColumns) {
  struct Row {
    const char* what;
    double tstep;
    int ra4d, occflg;
    int heads;
  };
  const Row rows[] = {
      {"minutes", 1.0 / 1440.0, 0, 0, 4},
      {"seconds", 10.0 / 86400.0, 0, 0, 4},
      {"tenths", 0.5 / 86400.0, 0, 0, 4},
      {"seconds, wide", 10.0 / 86400.0, 1, 0, 4},
      {"tenths, wide", 0.5 / 86400.0, 1, 0, 4},
      {"centre line", 10.0 / 86400.0, 0, 1, 2},
      {"centre line, wide", 10.0 / 86400.0, 1, 1, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    auto d = r.occflg ? IssRecord() : GeoRecord();
    d->npass = 1;
    d->ipass = 0;
    d->pastm[0] = kLocal1200;
    d->tstep = r.tstep;
    d->ra4d = r.ra4d;
    d->occflg = r.occflg;
    if (r.occflg) {
      // An observer on the Sun transit's centre line, the ISS high above.
      for (double t = 58139.0; t < 58141.0; t += 1.0 / 1440.0) {
        GetSatPos(t, d.get(), satpos, 0, 0);
        if (!(satpos->ctlat[0] < 100.0)) continue;
        d->lat = satpos->ctlat[0];
        d->lng = satpos->ctlng[0];
        d->pastm[0] = t;
        break;
      }
      ASSERT_NE(d->pastm[0], kLocal1200);
    }
    std::string head;
    const auto lines = Listing(d.get(), 0, 2, &head);
    ASSERT_FALSE(lines.empty());
    const std::string& line = lines[0];
    head.pop_back();  // the line end
    const std::string heads = head.substr(head.rfind('\n') + 1);
    int checked = 0;
    for (size_t k = 0; k < heads.size(); ++k) {
      const bool ends = heads[k] != ' ' && (k + 1 == heads.size() || heads[k + 1] == ' ');
      // "Ctr.Line" names the pair; the others end over a number.
      if (!ends) continue;
      const size_t from = heads.rfind(' ', k) + 1;
      if (heads.compare(from, k + 1 - from, "Ctr.Line") == 0) continue;
      ASSERT_LT(k, line.size()) << heads << "\n" << line;
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line[k])))
          << heads.substr(from, k + 1 - from) << "\n" << heads << "\n" << line;
      EXPECT_TRUE(k + 1 == line.size() || line[k + 1] == ' ') << heads << "\n" << line;
      ++checked;
    }
    EXPECT_EQ(checked, r.heads) << heads;
  }
}

// Mode 1 (save file, sky positions) and mode 2 (ground track): header and
// numbers; tmxel follows the highest listed elevation of an ISS pass.
TEST(PassDetails, SaveModesAndHighestElevation) {
  auto d = IssRecord();
  // The first pass of the reference table over this observer.
  const double rise = 58139.029389043, culm = 58139.033106139;
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = rise;
  d->tstep = 10.0 / 86400.0;
  std::string head;
  auto lines = Listing(d.get(), 1, 60, &head);
  ASSERT_GT(lines.size(), 30u);
  EXPECT_EQ(head.substr(0, 3), "\n\n\n");
  EXPECT_NEAR((d->tmxel - culm) * 86400.0, 0.0, 5.5);
  for (const auto& l : lines) {
    double az, el, ra, dec;
    ASSERT_EQ(std::sscanf(l.c_str() + 16, "%lf %lf %lf %lf", &az, &el, &ra, &dec), 4) << l;
    EXPECT_GE(el, -0.01);
    EXPECT_LE(el, 66.0);
    EXPECT_GE(ra, 0.0);
    EXPECT_LT(ra, 24.0);
  }
  lines = Listing(d.get(), 2, 60, &head);
  ASSERT_GT(lines.size(), 30u);
  EXPECT_EQ(head.find("Azim."), std::string::npos);
  for (const auto& l : lines) {
    double lng, lat, hgt;
    ASSERT_EQ(std::sscanf(l.c_str() + 16, "%lf %lf %lf", &lng, &lat, &hgt), 3) << l;
    EXPECT_NEAR(hgt, 410.0, 25.0);
    EXPECT_NEAR(lat, 48.0, 15.0);
  }
}

// The pole of the orbit is a direction of date: the same text whatever epoch
// the R.A./Dec. of the lists use; in relative mode only the two line feeds.
TEST(PassDetails, PoleText) {
  auto d = IssRecord();
  d->tmxel = 58139.033106139;
  char a[POLETXT_SIZE], b[POLETXT_SIZE];
  d->yrepoch = 2000.0;
  GetPoleTxt(d.get(), a);
  EXPECT_EQ(d->yrepoch, 2000.0);
  d->yrepoch = 0.0;
  GetPoleTxt(d.get(), b);
  EXPECT_STREQ(a, b);
  ASSERT_EQ(std::string(a).rfind("\n\nApparent Pole of orbit (Azim   Elev   R.A.  Decl)\n", 0), 0u);
  double az, el, ra, dec;
  ASSERT_EQ(std::sscanf(std::strchr(a + 2, '\n') + 1, "%lf %lf %lf %lf", &az, &el, &ra, &dec), 4);
  EXPECT_GE(el, 0.0);
  // The pole of the apparent track is 90 deg from the satellite at the top.
  GetSatPos(d->tmxel, d.get(), satpos, 0, 0);
  const double r = 3.14159265358979323846 / 180.0;
  double c, dir;
  ADisDir(az * r, el * r, satpos->az[0] * r, satpos->el[0] * r, c, dir);
  EXPECT_NEAR(std::acos(c) / r, 90.0, 0.3);

  d->rlm = 1;
  d->satnr = 2;
  GetPoleTxt(d.get(), a);
  EXPECT_STREQ(a, "\n\n");
}

// Transit zone: when the centre line misses the Earth there is no zone (code
// 2, a blank text) and the observer stays where it is.
TEST(TransitZone, NoCentreLine) {
  auto d = GeoRecord();
  d->occflg = 1;
  double t = kLocal1200;
  for (int k = 0; k < 200; ++k, t += 0.01) {
    GetSatPos(t, d.get(), satpos, 0, 0);
    if (satpos->ctlat[0] >= 100.0) break;
  }
  ASSERT_GE(satpos->ctlat[0], 100.0);
  int code = 0;
  d->rlm = 0;
  char buf[ZONETXT_SIZE];
  SunMoonTr(d.get(), t, 0, 10.0, 1, code, buf);
  EXPECT_EQ(code, 2);
  EXPECT_STREQ(buf, " ");
  EXPECT_EQ(d->lat, 38.90);
  EXPECT_EQ(d->lng, -77.04);
}

namespace {

// Angle (deg) between the satellite and the Sun seen from the observer.
double SunSeparation(WinpData* d, double t) {
  GetSatPos(t, d, satpos, 0, 0);
  const double r = 3.14159265358979323846 / 180.0;
  double c, dir;
  ADisDir(satpos->az[0] * r, satpos->el[0] * r, satpos->sunazo, satpos->sunelo * r, c, dir);
  return std::acos(std::fmin(1.0, c)) / r;
}

}  // namespace

// A Sun transit seen from near its centre line (an observer placed beside the
// centre-line point of the ISS under a high Sun): at the
// time GetIrid reports the separation from the Sun is at its minimum (within
// 0.3 s), the reported distance is the closest approach of the centre line
// and matches the separation times the range (10 %, after the ground's
// stretch along the Sun's azimuth); the zone text holds width, duration and
// direction.
TEST(TransitZone, SunTransitRefinement) {
  auto d = SlotRecord("ISS (ZARYA)", 48.15, 11.58, 0.0);
  d->occflg = 1;
  // A moment when the centre line meets the ground under a high Sun: there
  // ground distance and angular separation are proportional.
  double tc = 0.0;
  for (double t = 58139.0; t < 58141.0 && tc == 0.0; t += 1.0 / 1440.0) {
    d->lat = 48.15;
    d->lng = 11.58;
    GetSatPos(t, d.get(), satpos, 0, 0);
    if (!(satpos->ctlat[0] < 100.0)) continue;
    d->lat = satpos->ctlat[0];
    d->lng = satpos->ctlng[0];
    GetSatPos(t, d.get(), satpos, 0, 0);
    if (satpos->sunelo > 50.0) tc = t;
  }
  ASSERT_GT(tc, 0.0);
  for (double off : {0.05, -0.02}) {
    SCOPED_TRACE(off);
    GetSatPos(tc, d.get(), satpos, 0, 0);
    d->lat = satpos->ctlat[0] + off;
    d->lng = satpos->ctlng[0];
    d->iridflg = 1;
    d->sunel = 90.0;
    d->mxdist = 50.0;
    double tm[3], elv[3], azm[3];
    ASSERT_EQ(nextpass(d.get(), 0, tc - 0.01, tc + 0.01, tm, elv, azm), 1);
    EXPECT_NEAR((tm[1] - tc) * 86400.0, 0.0, 30.0);
    const double h = 0.3 / 86400.0;
    const double s0 = SunSeparation(d.get(), tm[1]);
    EXPECT_LE(s0, SunSeparation(d.get(), tm[1] - h) + 1e-9);
    EXPECT_LE(s0, SunSeparation(d.get(), tm[1] + h) + 1e-9);
    // The distance is the closest approach of the centre line on the ground.
    const double r = 3.14159265358979323846 / 180.0;
    double dmin = 1e9;
    for (double t = tm[1] - 3.0 / 86400.0; t < tm[1] + 3.0 / 86400.0; t += 0.01 / 86400.0) {
      GetSatPos(t, d.get(), satpos, 0, 0);
      double c, dir;
      ADisDir(d->lng * r, d->lat * r, satpos->ctlng[0] * r, satpos->ctlat[0] * r, c, dir);
      dmin = std::fmin(dmin, std::acos(std::fmin(1.0, c)) * 6378.14);
    }
    EXPECT_NEAR(azm[2], dmin, std::fmax(0.1, 0.02 * dmin));
    // Seen from the observer: separation x range is that distance across the
    // line of sight; along the Sun's azimuth the ground stretches it by up to
    // 1 / sin(Sun elevation).
    GetSatPos(tm[1], d.get(), satpos, 0, 0);
    const double km = s0 * r * satpos->rng[0];
    EXPECT_LE(km, azm[2] * 1.1);
    EXPECT_GE(km, azm[2] * std::sin(satpos->sunelo * r) * 0.9);
    EXPECT_GT(azm[2], 0.5);
    EXPECT_LT(azm[2], 10.0);
    int code = 0;
    char zone[ZONETXT_SIZE];
    const double lat = d->lat;
    SunMoonTr(d.get(), tm[1], 0, azm[2], 1, code, zone);
    EXPECT_EQ(d->lat, lat);
    double w, dur, dir;
    ASSERT_EQ(std::sscanf(zone, " >%lf km %lf sec %lf", &w, &dur, &dir) == 3 ||
                  std::sscanf(zone, "%lf km %lf sec %lf", &w, &dur, &dir) == 3,
              true)
        << zone;
    EXPECT_EQ(code, w >= azm[2] ? 1 : 2);
    EXPECT_GT(dur, 0.05);
    EXPECT_LT(dur, 30.0);
  }
}

namespace {

// A track from 21 January 2018 (0:00 unless the hour is set), saved into name.
void TrackFrom21Jan2018(WinpData* d, const std::string& name) {
  std::snprintf(d->savnm, sizeof d->savnm, "%s", name.c_str());
  d->year = 2018;
  d->month = 1;
  d->day = 21;
}

// The ISS over 0.1 day of 21 January 2018 in minute steps, its track saved
// into name.
std::unique_ptr<WinpData> TrackRecord(const std::string& name) {
  auto d = IssRecord();
  TrackFrom21Jan2018(d.get(), name);
  d->dur = 0.1;
  d->tstep = 1.0 / 1440.0;
  return d;
}

}  // namespace

// The ground track file: a new file each time, one line per step; a track
// longer than the cap ends with a "+++" line; an unopenable file gives 1.
TEST(OrbitTrack, FileAndCap) {
  support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string name = dir / "track.txt";
  auto d = TrackRecord(name);
  for (int rep = 0; rep < 2; ++rep) ASSERT_EQ(saveOrbitTrack(d.get()), 0);
  std::ifstream f(name);
  std::vector<std::string> lines;
  for (std::string l; std::getline(f, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 4u + 144u);
  EXPECT_EQ(lines[1], " Year: 2018  +++> Timezone 0 <+++");
  EXPECT_EQ(lines[2], std::string(21, ' '));
  double lng, lat, hgt;
  ASSERT_EQ(std::sscanf(lines[4].c_str() + 16, "%lf %lf %lf", &lng, &lat, &hgt), 3);
  EXPECT_EQ(lines[4].substr(0, 16), "JAN 21   0:00:00");
  EXPECT_NEAR(hgt, 410.0, 25.0);
  EXPECT_EQ(outptr, nullptr);

  d->tstep = 1e-7;
  d->dur = 1.0;
  ASSERT_EQ(saveOrbitTrack(d.get()), 0);
  std::ifstream g(name);
  long n = 0;
  std::string last;
  for (std::string l; std::getline(g, l); ++n) last = l;
  EXPECT_EQ(n, 4 + ORBITTRACK_MAXLINES + 1);
  EXPECT_EQ(last.rfind("+++", 0), 0u);

  std::snprintf(d->savnm, sizeof d->savnm, "%s", (dir / "missing/track.txt").c_str());
  EXPECT_EQ(saveOrbitTrack(d.get()), 1);
}

// A cut track tells where it ends: the time stamp of its last line as the
// file shows it; a whole track tells nothing.
TEST(OrbitTrack, CutTrackNamesItsLastLine) {
  support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string name = dir / "track.txt";
  auto d = TrackRecord(name);
  d->tzone = 2;
  OrbitTrackInfo info;
  std::memset(info.cutAt, 'x', sizeof info.cutAt);
  ASSERT_EQ(saveOrbitTrack(d.get(), &info), 0);
  EXPECT_STREQ(info.cutAt, "");

  d->tstep = 0.1 / 86400.0;  // a tenth of a second: 864,000 steps in the 24 h asked
  d->dur = 1.0;
  ASSERT_EQ(saveOrbitTrack(d.get(), &info), 0);
  const std::string cutAt = info.cutAt;
  EXPECT_EQ(info.steps, ORBITTRACK_MAXLINES);
  std::ifstream g(name);
  std::vector<std::string> tail;
  for (std::string l; std::getline(g, l);) {
    tail.push_back(l);
    if (tail.size() > 2) tail.erase(tail.begin());
  }
  ASSERT_EQ(tail.size(), 2u);
  ASSERT_EQ(tail[1].rfind("+++", 0), 0u);
  EXPECT_EQ(cutAt, tail[0].substr(0, 16));
  // 200,000 lines of 0.1 s from the entered 0 h (local time, as the file
  // shows): about 5:33:20.
  EXPECT_EQ(cutAt.substr(0, 14), "JAN 21   5:33:");
}

// Step k of a track stands at the start + k steps, so a day in steps of 15 s
// has 5760 lines and ends at 23:59:45. A step where the satellite has no
// position (the shipped 2009 elements of the ISS give none from August 2012
// on, and only some before) keeps its time and says so, without numbers; the
// counts tell how many steps there were and how many of them had none.
TEST(OrbitTrack, StepsAndStepsWithoutPosition) {
  const struct {
    const char* what;
    bool oldElements;
    int year, month, day, hour;
    double dur, step;
    long steps, noPosition;
    const char* last;  // the last line's time stamp
  } cases[] = {
      {"a day in 15 s", false, 2018, 1, 21, 0, 1.0, 15 * kSecDay, 5760, 0, "JAN 21  23:59:45"},
      {"elements long past", true, 2017, 11, 11, 0, 0.1, 1.0 / 1440, 144, 144, "NOV 11   2:23:00"},
      {"coming down", true, 2012, 8, 8, 12, 2.0 / 24, 1.0 / 1440, 120, 13, "AUG  8  13:59:00"},
  };
  support::TempDir dir;
  const std::string name = dir / "track.txt";
  for (const auto& c : cases) [&] {
    SCOPED_TRACE(c.what);
    auto d = TrackRecord(name);
    if (c.oldElements) {
      const Tle& t = OldIss();
      LoadSlot(d.get(), 0, t.name, t.l1, t.l2);
    }
    d->year = c.year;
    d->month = c.month;
    d->day = c.day;
    d->hour = c.hour;
    d->dur = c.dur;
    d->tstep = c.step;
    OrbitTrackInfo info;
    ASSERT_EQ(saveOrbitTrack(d.get(), &info), 0);
    EXPECT_EQ(info.steps, c.steps);
    EXPECT_EQ(info.noPosition, c.noPosition);
    std::ifstream f(name);
    std::vector<std::string> lines;
    for (std::string l; std::getline(f, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 4u + c.steps);
    EXPECT_EQ(lines.back().substr(0, 16), c.last);
    // Every line either a place above the ground or the mark alone.
    long marked = 0, placed = 0;
    for (size_t k = 4; k < lines.size(); ++k) {
      const std::string rest = lines[k].substr(16);
      double lng, lat, hgt;
      if (rest == "    No Position")
        ++marked;
      else if (std::sscanf(rest.c_str(), "%lf %lf %lf", &lng, &lat, &hgt) == 3 && hgt > 0.0)
        ++placed;
    }
    EXPECT_EQ(marked, c.noPosition);
    EXPECT_EQ(placed, c.steps - c.noPosition);
  }();
}

namespace {

// Reference positions of tests/data/passes-details.csv by whole second.
std::map<long, Row> DetailRows(Row* pole) {
  std::map<long, Row> m;
  for (const Row& r : ReadCsv("passes-details.csv")) {
    if (r.at("kind") == "pole") {
      if (pole) *pole = r;
      continue;
    }
    m[std::lround(Num(r, "mjd") * 86400.0)] = r;
  }
  return m;
}

// MJD of a listing line's time "MMM DD  HH:MM:SS" (January 2018, zone 0).
double LineTime(const std::string& l) {
  int day, h, m, s;
  EXPECT_EQ(std::sscanf(l.c_str() + 3, "%d %d:%d:%d", &day, &h, &m, &s), 4) << l;
  return mjd(day, 1, 2018, h + m / 60.0 + s / 3600.0);
}

}  // namespace

// Pass details against skyfield at the printed times: azimuth and elevation
// (no refraction) and R.A./Dec. (J2000, four decimals) within 0.01 deg, the
// ground track within 0.001 deg and 0.02 km; the pole of the apparent track
// at the culmination within 0.05 deg.
TEST(PassDetails, PositionsAgreeWithSkyfield) {
  Row pole;
  const auto ref = DetailRows(&pole);
  ASSERT_GT(ref.size(), 500u);
  auto d = IssRecord();
  d->ra4d = 1;
  d->yrepoch = 2000.0;
  d->tstep = 10.0 / 86400.0;
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = Num(ref.begin()->second, "mjd") - 0.5 / 86400.0;
  const double r = 3.14159265358979323846 / 180.0;
  auto lines = Listing(d.get(), 0, 80, nullptr);
  ASSERT_GT(lines.size(), 50u);
  for (const auto& l : lines) {
    SCOPED_TRACE(l);
    const auto it = ref.find(std::lround(LineTime(l) * 86400.0));
    ASSERT_NE(it, ref.end());
    double az, el, ra, dec;
    ASSERT_EQ(std::sscanf(l.c_str() + 16, "%lf %lf %lf %lf", &az, &el, &ra, &dec), 4);
    EXPECT_NEAR(el, Num(it->second, "el"), 0.01);
    EXPECT_LT(std::fabs(std::remainder(az - Num(it->second, "az"), 360.0)) * std::cos(el * r), 0.01);
    const double decd = DmsDegF(dec);
    EXPECT_NEAR(decd, Num(it->second, "dec"), 0.01);
    EXPECT_LT(std::fabs(std::remainder(15.0 * (DmsDegF(ra) - Num(it->second, "ra_h")), 360.0)) *
                  std::cos(decd * r),
              0.01);
  }
  lines = Listing(d.get(), 2, 80, nullptr);
  ASSERT_GT(lines.size(), 50u);
  for (const auto& l : lines) {
    SCOPED_TRACE(l);
    const auto it = ref.find(std::lround(LineTime(l) * 86400.0));
    ASSERT_NE(it, ref.end());
    double lng, lat, hgt;
    ASSERT_EQ(std::sscanf(l.c_str() + 16, "%lf %lf %lf", &lng, &lat, &hgt), 3);
    EXPECT_NEAR(lat, Num(it->second, "lat"), 0.001);
    EXPECT_NEAR(lng, Num(it->second, "lon"), 0.001);
    EXPECT_NEAR(hgt, Num(it->second, "height_km"), 0.02);
  }

  d->tmxel = Num(pole, "mjd");
  char buf[POLETXT_SIZE];
  GetPoleTxt(d.get(), buf);
  double az, el, ra, dec;
  ASSERT_EQ(std::sscanf(std::strchr(buf + 2, '\n') + 1, "%lf %lf %lf %lf", &az, &el, &ra, &dec), 4)
      << buf;
  EXPECT_NEAR(el, Num(pole, "el"), 0.05);
  EXPECT_LT(std::fabs(std::remainder(az - Num(pole, "az"), 360.0)) * std::cos(el * r), 0.05);
  EXPECT_NEAR(DmsDegF(dec), Num(pole, "dec"), 0.05);
  EXPECT_LT(std::fabs(std::remainder(15.0 * (DmsDegF(ra) - Num(pole, "ra_h")), 360.0)), 0.05);
}

// The one writer of the save file: never the element file, never an empty
// block, a new file or an appended block as svnew (or the caller) says, svnew
// cleared only after a good write, a failed block leaves the file as it was;
// the outcome names the reason for the message.
TEST(SaveFile, OneWriterForEveryBlock) {
  struct Case {
    const char* what;
    bool toElementFile;  // savnm names the element file (through a link)
    int svnew;
    bool anew;
    const char* block;  // nullptr: the writer fails half way
    int result;
    const char* after;  // the save file afterwards
    long start;
    const char* reason;  // SaveFileReason of the outcome
  } const cases[] = {
      {"element file, new", true, 1, false, "list\n", SAVE_TLEFILE, "elements\n", -9,
       "the save file is the element file"},
      {"element file, appended", true, 0, false, "list\n", SAVE_TLEFILE, "elements\n", -9,
       "the save file is the element file"},
      {"element file, track", true, 0, true, "list\n", SAVE_TLEFILE, "elements\n", -9,
       "the save file is the element file"},
      {"empty block, new", false, 1, false, "", SAVE_EMPTY, "old\n", -9, "nothing to save"},
      {"empty block, appended", false, 0, false, "", SAVE_EMPTY, "old\n", -9, "nothing to save"},
      {"new", false, 1, false, "list\n", SAVE_DONE, "list\n", 0, ""},
      {"appended", false, 0, false, "list\n", SAVE_DONE, "old\nlist\n", 4, ""},
      {"always new", false, 0, true, "list\n", SAVE_DONE, "list\n", 0, ""},
      {"failed write, new", false, 1, false, nullptr, SAVE_FAILED, "old\n", -9,
       "Input/output error"},
      {"failed write, appended", false, 0, false, nullptr, SAVE_FAILED, "old\n", -9,
       "Input/output error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    support::TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    writeFile(dir / "visual.txt", "elements\n");
    writeFile(dir / "satsave.txt", "old\n");
    ASSERT_EQ(symlink("visual.txt", (dir / "link.txt").c_str()), 0);
    auto d = std::make_unique<WinpData>();
    std::snprintf(d->tlenm, sizeof d->tlenm, "%s", (dir / "visual.txt").c_str());
    std::snprintf(d->savnm, sizeof d->savnm, "%s",
                  (dir / (c.toElementFile ? "link.txt" : "satsave.txt")).c_str());
    d->svnew = c.svnew;
    bool called = false;
    FILE* held = nullptr;
    long start = -9;
    const int res = WriteSaveFile(
        d.get(), c.anew,
        [&](FILE* f) {
          called = true;
          held = outptr;
          if (!c.block) {
            std::fputs("half a li", f);
            return false;
          }
          return std::fputs(c.block, f) >= 0;
        },
        &start);
    EXPECT_EQ(res, c.result);
    EXPECT_EQ(LastSaveFile().result, c.result);
    EXPECT_STREQ(SaveFileReason(LastSaveFile()), c.reason);
    EXPECT_EQ(called, c.result != SAVE_TLEFILE);
    EXPECT_EQ(held != nullptr, called);  // outptr is the file while it is written
    EXPECT_EQ(outptr, nullptr);
    EXPECT_EQ(readFile(dir / "visual.txt"), "elements\n");
    EXPECT_EQ(readFile(dir / (c.toElementFile ? "link.txt" : "satsave.txt")),
              c.toElementFile ? "elements\n" : c.after);
    EXPECT_EQ(d->svnew, c.result == SAVE_DONE ? 0 : c.svnew);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(support::DirNames(dir.path),
              (support::Names{"link.txt", "satsave.txt", "visual.txt"}));
  }
}

// A write that fails at the disk (here a file size limit) is a failed block
// like any other: the new file is not made, the appended block is taken back.
TEST(SaveFile, FullDiskLeavesTheFileAsItWas) {
  for (int fresh : {1, 0}) {
    support::TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string old(1000, 'o');
    writeFile(dir / "satsave.txt", old);
    auto d = std::make_unique<WinpData>();
    std::snprintf(d->savnm, sizeof d->savnm, "%s", (dir / "satsave.txt").c_str());
    d->svnew = fresh;
    int res;
    {
      support::FileSizeLimit full(1500);
      ASSERT_TRUE(full.ok());
      res = WriteSaveFile(d.get(), false, [](FILE* f) {
        bool ok = true;
        for (int k = 0; k < 1000 && ok; ++k) ok = std::fputs("a line of the new block\n", f) >= 0;
        return ok;
      });
    }
    EXPECT_EQ(res, SAVE_FAILED) << fresh;
    EXPECT_STREQ(SaveFileReason(LastSaveFile()), std::strerror(EFBIG)) << fresh;
    EXPECT_EQ(readFile(dir / "satsave.txt"), old) << fresh;
    EXPECT_EQ(d->svnew, fresh);
    EXPECT_EQ(support::DirNames(dir.path), support::Names{"satsave.txt"});
  }
}

// A new file whose folder could not be synced after it took the old one's
// place holds the block: it counts as saved (svnew cleared), and the outcome
// says what happened.
TEST(SaveFile, FolderNotSyncedIsSavedAndSaysSo) {
  support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  writeFile(dir / "satsave.txt", "old\n");
  auto d = std::make_unique<WinpData>();
  std::snprintf(d->savnm, sizeof d->savnm, "%s", (dir / "satsave.txt").c_str());
  d->svnew = 1;
  int res;
  {
    const support::FailingSync failing(S_IFDIR);
    res = WriteSaveFile(d.get(), false, [](FILE* f) { return std::fputs("list\n", f) >= 0; });
  }
  EXPECT_EQ(res, SAVE_UNSYNCED);
  EXPECT_STREQ(SaveFileReason(LastSaveFile()), std::strerror(EIO));
  EXPECT_EQ(d->svnew, 0);
  EXPECT_EQ(readFile(dir / "satsave.txt"), "list\n");
  EXPECT_EQ(support::DirNames(dir.path), support::Names{"satsave.txt"});
}

// Pass details at times without a position (a pass of an earlier list, or
// one during which the satellite loses its position): no numbers, in none
// of the modes, but one line that says so, and the listing ends there; the
// pole has no numbers either.
TEST(PassDetails, NoPositionEndsTheListing) {
  auto d = OldIssRecord();
  d->satel = -90.0;
  d->npass = 1;
  d->ipass = 0;
  struct Start {
    double t;
    const char* first;  // the listing's first line (its start)
    size_t lines;
  };
  // These elements have no position in 2026, and none from 4:30:03 UT on
  // 25 August 2012 for a while.
  const Start starts[] = {{mjd(1, 6, 2026, 0.0), "JUN  1   0:00   *** No Position ***", 1},
                          {mjd(25, 8, 2012, 4.44), "AUG 25   4:27    ", 5}};
  for (const Start& st : starts) {
    for (int mode : {0, 1, 2}) {
      SCOPED_TRACE(std::string(st.first) + " mode " + std::to_string(mode));
      d->pastm[0] = st.t;
      std::string head;
      const auto lines = Listing(d.get(), mode, 10, &head);
      ASSERT_EQ(lines.size(), st.lines);
      EXPECT_EQ(lines.front().substr(0, std::strlen(st.first)), st.first);
      EXPECT_NE(head.find("ISS (ZARYA)\n"), std::string::npos);
      EXPECT_EQ(lines.back().substr(13), "   *** No Position ***");
      for (size_t k = 0; k + 1 < lines.size(); ++k)
        EXPECT_EQ(lines[k].find("No Position"), std::string::npos) << lines[k];
    }
  }
  char pole[POLETXT_SIZE];
  d->tmxel = mjd(1, 6, 2026, 0.0);
  GetPoleTxt(d.get(), pole);
  EXPECT_STREQ(pole, "\n\nApparent Pole of orbit (Azim   Elev   R.A.  Decl)\n"
                     "           *** No Position ***");
}

// Relative mode with an observing satellite that has no position: whether a
// step belongs to the pass, and where the prime satellite stands in the
// observer's sky, need the observer, so the listing ends at once in every
// mode, with a line that says that it is the observing satellite that has
// no position (the prime one has its own).
TEST(PassDetails, ObservingSatelliteWithoutPosition) {
  auto d = IssRecord();
  const Tle& old = OldIss();  // no position at all years after 2009
  LoadSlot(d.get(), 1, old.name, old.l1, old.l2);
  d->satnr = 2;
  d->prs = 0;
  d->rlm = 1;
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = 58139.029389043;
  ASSERT_EQ(GetSatPos(d->pastm[0], d.get(), satpos, 0, 0), int(SATPOS_NOOBSERVER));
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    std::string head;
    const auto lines = Listing(d.get(), mode, 5, &head);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(13), "   *** Observing Sat.: No Position ***");
    EXPECT_EQ(PassListingLost(), int(SATPOS_NOOBSERVER));
    EXPECT_FALSE(PassStepListed(d.get()));
  }
  // The prime satellite's own loss keeps its own line.
  auto lone = OldIssRecord();
  lone->npass = 1;
  lone->ipass = 0;
  lone->pastm[0] = mjd(1, 6, 2026, 0.0);
  const auto lines = Listing(lone.get(), 0, 3, nullptr);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(13), "   *** No Position ***");
  EXPECT_NE(PassListingLost(), int(SATPOS_OK));
  EXPECT_NE(PassListingLost(), int(SATPOS_NOOBSERVER));
}

// No listed step, no pole: a listing that holds only "*** No Position ***",
// or whose satellite does not meet the conditions at its first step, has no
// track to take the pole of (tmxel stays 0, which is MJD 0 of 1858).
TEST(PassDetails, NoPoleWithoutAListedStep) {
  struct Case {
    const char* what;
    std::unique_ptr<WinpData> d;
    double start, satel;
  } cases[] = {
      {"only No Position", OldIssRecord(), mjd(1, 6, 2026, 0.0), -90.0},
      {"first step below the minimum elevation", IssRecord(), 58139.029389043, 89.0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    WinpData* d = c.d.get();
    d->satel = c.satel;
    d->npass = 1;
    d->ipass = 0;
    d->pastm[0] = c.start;
    d->tstep = 10.0 / 86400.0;
    d->tmxel = 58139.0;  // from an earlier listing
    Listing(d, 0, 3, nullptr);
    EXPECT_FALSE(PassStepListed(d));
    char pole[POLETXT_SIZE];
    GetPoleTxt(d, pole);
    EXPECT_STREQ(pole, "\n\n");
  }
  // A listed step gives a pole.
  auto d = IssRecord();
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = 58139.029389043;
  d->tstep = 10.0 / 86400.0;
  Listing(d.get(), 0, 3, nullptr);
  EXPECT_TRUE(PassStepListed(d.get()));
  char pole[POLETXT_SIZE];
  GetPoleTxt(d.get(), pole);
  EXPECT_NE(std::string(pole).find("Apparent Pole"), std::string::npos);
}

// The pass details and the track run forward through their interval in steps
// of the step's size whatever its sign; a step of 0 (or no number) stands for
// 0.1 s. (A track at -60 s once counted backwards to its cap of 200,000 lines.)
TEST(PassDetails, StepSignDoesNotTurnTimeBack) {
  const double sec = 1.0 / 86400.0;
  const struct {
    double step, same;
  } rows[] = {{-60 * sec, 60 * sec}, {-10 * sec, 10 * sec}, {-0.5 * sec, 0.5 * sec},
              {0.0, 0.1 * sec},      {NAN, 0.1 * sec},      {-INFINITY, 0.1 * sec}};
  auto d = GeoRecord();
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = kLocal1200 + 30.4 / 86400.0;
  support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string name = dir / "track.txt";
  TrackFrom21Jan2018(d.get(), name);
  d->hour = 12;
  d->dur = 14.0 / 1440.0;
  const auto both = [&](double step, std::vector<std::string>& listing, std::string& track,
                        long& steps) {
    d->tstep = step;
    for (int mode : {0, 1, 2}) {
      std::string head;
      for (const auto& l : Listing(d.get(), mode, 4, &head)) listing.push_back(l);
      listing.push_back(head);
    }
    OrbitTrackInfo info;
    ASSERT_EQ(saveOrbitTrack(d.get(), &info), 0);
    steps = info.steps;
    track = readFile(name);
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.step * 86400.0);
    std::vector<std::string> got, want;
    std::string gotTrack, wantTrack;
    long gotSteps = 0, wantSteps = 0;
    both(r.step, got, gotTrack, gotSteps);
    both(r.same, want, wantTrack, wantSteps);
    EXPECT_EQ(got, want);
    EXPECT_EQ(gotTrack, wantTrack);
    EXPECT_EQ(gotSteps, wantSteps);
    EXPECT_EQ(StepDays(d.get()), r.same);
  }
  // 14 minutes in steps of 60 s: 14 lines, the first at 12:00:00.
  d->tstep = -60 * sec;
  OrbitTrackInfo info;
  ASSERT_EQ(saveOrbitTrack(d.get(), &info), 0);
  EXPECT_EQ(info.steps, 14);
  EXPECT_NE(readFile(name).find("JAN 21  12:13:00"), std::string::npos);
}
