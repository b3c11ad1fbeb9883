// The globe viewer's reading of the save file: which lines give track points,
// the entries that decide the centre, and the track as painted, on lines in
// the writers' layouts and on fixture files from the core's writers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "runprog.h"
#include "support/child.h"
#include "tools/globe/globelib.h"

using globe::kNoPoint;

namespace {

std::string Data(const char* name) { return std::string(VORLIX_TEST_DATA) + "/companions/" + name; }

// The point readCoordinateLine gives for one line (lat kNoPoint: none).
struct Point {
  double lat, lon, h;
};
Point ReadOne(const std::string& line, bool withHeight) {
  std::string text = line + "\n";
  FILE* f = fmemopen(text.data(), text.size(), "r");
  Point p{0, 0, 0};
  EXPECT_EQ(globe::readCoordinateLine(f, p.lat, p.lon, p.h, withHeight), 0);
  std::fclose(f);
  return p;
}

const std::string kTrack = "JAN 21   0:42:00     -12.34567    45.67890       412.345";

}  // namespace

// Number texts: C syntax with blanks around it; anything else, and values
// that are no finite number, give 0.
TEST(GlobeReader, Atof) {
  const struct {
    const char* s;
    double v;
  } rows[] = {{" 12.5", 12.5}, {"-0.25 \r", -0.25}, {"1e3", 1000.0}, {"", 0.0},
              {"12.5x", 0.0},  {"nan", 0.0},       {"-inf", 0.0},   {" 1e999", 0.0},
              {"abc", 0.0},    {" . ", 0.0}};
  for (const auto& r : rows) EXPECT_EQ(globe::Atof(r.s), r.v) << '"' << r.s << '"';
}

// Under a comma-decimal locale (the toolkit sets the C locale from the
// user's environment: LANG or only LC_NUMERIC) the numbers read as they do in
// the C locale: a point is the decimal separator and a comma is none. Each
// setting that is installed (package locales-all) is tried.
TEST(GlobeReader, CommaDecimalLocales) {
  const struct {
    int category;
    const char* name;
  } settings[] = {{LC_ALL, "de_DE.UTF-8"}, {LC_ALL, "fr_FR.UTF-8"}, {LC_NUMERIC, "de_DE.UTF-8"}};
  int tried = 0;
  for (const auto& l : settings) {
    if (!std::setlocale(l.category, l.name)) continue;
    ++tried;
    SCOPED_TRACE(l.name);
    EXPECT_EQ(globe::Atof(" 12.5"), 12.5);
    EXPECT_EQ(globe::Atof("-0.25e1"), -2.5);
    EXPECT_EQ(globe::Atof("12,5"), 0.0);
    const Point p = ReadOne(kTrack, true);
    EXPECT_EQ(p.lon, -12.34567);
    EXPECT_EQ(p.lat, 45.67890);
    EXPECT_EQ(p.h, 412345.0);
    const auto runs = globe::ReadTrack(Data("satsave.txt"), false);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].front().lon, -21.02652);
    EXPECT_EQ(runs[0].front().lat, 51.12743);
    double lon, lat;
    globe::CentreOf(globe::getSatCoords(Data("satsave.txt")), lon, lat);
    EXPECT_EQ(lon, runs[0][108].lon);
    EXPECT_EQ(lat, runs[0][108].lat);
    std::setlocale(LC_ALL, "C");
  }
  if (tried == 0) GTEST_SKIP() << "no comma-decimal locale installed (package locales-all)";
}

// One line each: the step kinds of the writers, centre lines, and lines whose
// numbers are too long to be taken.
TEST(GlobeReader, CoordinateLines) {
  const struct {
    const char* what;
    std::string line;
    bool point;  // gives a point on the Earth
    double lon, lat;
  } rows[] = {
      {"whole seconds", kTrack, true, -12.34567, 45.67890},
      {"tenths below 10 s", "JAN 21  12:01: 0.5     -12.34567    45.67890       412.345", true,
       -12.34567, 45.67890},
      {"tenths from 10 s", "JAN 21  12:01:15.5     -12.34567    45.67890       412.345", true,
       -12.34567, 45.67890},
      {"one-minute steps", "JAN 21  12:01     -12.34567    45.67890       412.345", true,
       -12.34567, 45.67890},
      {"centre line", "JAN 21   1:14:00     77.05244   -16.91273 ", true, 77.05244, -16.91273},
      {"centre line missing the Earth",
       "JAN 21   0:42:00      0.00000   100.00000   No Intersection", false, 0, 0},
      {"13 digits before the point",
       "JAN 21   0:42:00 1234567890123.5    45.67890       412.345", false, 0, 0},
      {"14 digits before the point",
       "JAN 21   0:42:00 12345678901234.5    45.67890       412.345", false, 0, 0},
      {"token of 18 characters", "JAN 21   0:42:00     -12.3456789012345    45.67890", false, 0,
       0},
      {"no number after the point", "JAN 21   0:42:00         abc.de    45.67890       412.345",
       true, 0.0, 45.67890},
      {"sky positions of pass details",
       "JAN 21   0:42:20     290.697     0.049        2.2618    13.3552", false, 0, 0},
      {"no second number", "JAN 21   0:42:00     -12.34567   and nothing more", false, 0, 0},
      {"latitude beyond the pole", "JAN 21   0:42:00     -12.34567    95.00000       412.345",
       false, 0, 0},
      {"31 characters with the line feed", "JAN 21   0:42:00  -12.3   45.6", true, -12.3, 45.6},
      {"30 characters with the line feed", "JAN 21   0:42:00  -12.3  45.6", false, 0, 0},
      {"no time", "JAN 21   0:42x00     -12.34567    45.67890       412.345", false, 0, 0},
      {"separator", std::string(54, '_'), false, 0, 0},
  };
  for (const auto& r : rows) {
    const Point p = ReadOne(r.line, false);
    if (!r.point) {
      EXPECT_EQ(p.lat, kNoPoint) << r.what;
      continue;
    }
    EXPECT_EQ(p.lon, r.lon) << r.what;
    EXPECT_EQ(p.lat, r.lat) << r.what;
    EXPECT_EQ(p.h, 0.0) << r.what;
  }
}

// With the height flag the third number is the height in km, kept in metres;
// a line without one gives 0.
TEST(GlobeReader, Heights) {
  EXPECT_EQ(ReadOne(kTrack, true).h, 412345.0);
  EXPECT_EQ(ReadOne("JAN 21  12:01: 0.5     -12.34567    45.67890       412.345", true).h,
            412345.0);
  const Point c = ReadOne("JAN 21   1:14:00     77.05244   -16.91273 ", true);
  EXPECT_EQ(c.lat, -16.91273);
  EXPECT_EQ(c.h, 0.0);
  support::TempDir dir;
  writeFile(dir / "empty.txt", "");
  FILE* f = std::fopen((dir / "empty.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  double lat = 0, lon = 0, h = 0;
  EXPECT_EQ(globe::readCoordinateLine(f, lat, lon, h, true), 1);  // end of the file
  EXPECT_EQ(lat, kNoPoint);
  std::fclose(f);
}

namespace {

std::string Line(int minute, double lon, double lat) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "JAN 21   0:%02d:00    %10.5f  %10.5f  %12.3f\n", minute, lon, lat,
                410.0);
  return buf;
}

globe::SatCoords Coords(const std::string& text) {
  support::TempDir dir;
  writeFile(dir / "s.txt", text);
  return globe::getSatCoords(dir / "s.txt");
}

}  // namespace

// The entries read at start: numcoords is one less than the entries up to
// the last coordinate line; three lines draw but centre on 0/0, four centre
// on the middle entry, a break there moves the centre to the next entry.
TEST(GlobeReader, EntriesAndCentre) {
  double lon, lat;
  const std::string head = "\n Year: 2018  +++> Timezone 0 <+++\n";
  globe::SatCoords c = Coords(head + Line(1, 10, 20) + Line(2, 11, 21));
  EXPECT_EQ(c.numcoords, 1);
  EXPECT_FALSE(globe::WillDraw(c));

  c = Coords(head + Line(1, 10, 20) + Line(2, 11, 21) + Line(3, 12, 22));
  EXPECT_EQ(c.numcoords, 2);
  EXPECT_TRUE(globe::WillDraw(c));
  globe::CentreOf(c, lon, lat);
  EXPECT_EQ(lon, 0.0);
  EXPECT_EQ(lat, 0.0);

  c = Coords(head + Line(1, 10, 20) + Line(2, 11, 21) + Line(3, 12, 22) + Line(4, 13, 23) +
             Line(5, 14, 24));
  EXPECT_EQ(c.numcoords, 4);
  globe::CentreOf(c, lon, lat);
  EXPECT_EQ(lon, 12.0);
  EXPECT_EQ(lat, 22.0);

  // A separator before the first entry is no break; one between blocks is.
  const std::string sep = std::string(54, '_') + "\n";
  c = Coords(sep + Line(1, 10, 20) + Line(2, 11, 21) + sep + Line(3, 12, 22) + Line(4, 13, 23));
  ASSERT_EQ(c.ypt.size(), 5u);
  EXPECT_EQ(c.ypt[2], kNoPoint);
  EXPECT_EQ(c.numcoords, 4);
  globe::CentreOf(c, lon, lat);
  EXPECT_EQ(lon, 12.0);
  EXPECT_EQ(lat, 22.0);

  // Centre lines that miss the Earth are entries too, but never a centre.
  c = Coords(head + Line(1, 10, 20) + Line(2, 0, 100) + Line(3, 0, 100) + Line(4, 0, 100) +
             Line(5, 14, 24));
  globe::CentreOf(c, lon, lat);
  EXPECT_EQ(lon, 0.0);
  EXPECT_EQ(lat, 0.0);

  std::string many;
  for (int k = 0; k < 3100; ++k) many += Line(k % 60, 10, 20);
  EXPECT_EQ(Coords(many).xpt.size(), static_cast<size_t>(globe::kMaxEntries));

  c = globe::getSatCoords("/nonexistent/satsave.txt");
  EXPECT_FALSE(c.opened);
  EXPECT_FALSE(globe::WillDraw(c));
}

// The painted track of a session's save file (an orbit track, then a pass's
// sky positions and its ground track): the orbit track and the pass ground
// track are two runs, the sky positions give none.
TEST(GlobeReader, TrackOfASession) {
  bool opened = false;
  const auto runs = globe::ReadTrack(Data("satsave.txt"), false, &opened);
  ASSERT_TRUE(opened);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].size(), 150u);  // 2.5 hours in one-minute steps
  EXPECT_EQ(runs[0].front().lon, -21.02652);
  EXPECT_EQ(runs[0].front().lat, 51.12743);
  EXPECT_EQ(runs[1].size(), 65u);  // the pass in steps of 10 s
  for (const auto& run : runs)
    for (const auto& p : run) {
      EXPECT_LE(std::fabs(p.lat), 51.9);  // the ISS's inclination, as geodetic latitude
      EXPECT_EQ(p.alt, 0.0);
    }
  const auto high = globe::ReadTrack(Data("satsave.txt"), true);
  ASSERT_EQ(high.size(), 2u);
  EXPECT_NEAR(high[0].front().alt, 409000.0, 15000.0);

  const globe::SatCoords c = globe::getSatCoords(Data("satsave.txt"));
  // Each pass block's separator is a break; the sky positions give no entry.
  EXPECT_EQ(c.numcoords, 150 + 2 + 65 - 1);
  double lon, lat;
  globe::CentreOf(c, lon, lat);
  EXPECT_EQ(lon, runs[0][108].lon);
  EXPECT_EQ(lat, runs[0][108].lat);

  EXPECT_TRUE(globe::ReadTrack("/nonexistent/satsave.txt", false, &opened).empty());
  EXPECT_FALSE(opened);
}

// Pass ground tracks of the three step kinds read alike: the one-minute
// point of 0:43:00 lies between the points of 0:42:59.7 and 0:43:00.2 of the
// track in half seconds (whose longitudes would be its seconds if the point
// of the time were taken for the longitude's).
TEST(GlobeReader, StepKinds) {
  const auto fine = globe::ReadTrack(Data("gtrack-subsec.txt"), false);
  ASSERT_EQ(fine.size(), 1u);
  ASSERT_EQ(fine[0].size(), 140u);
  EXPECT_EQ(fine[0][0].lon, -19.14793);
  EXPECT_EQ(fine[0][0].lat, 51.32265);
  const auto minutes = globe::ReadTrack(Data("gtrack-minutes.txt"), true);
  ASSERT_EQ(minutes.size(), 1u);
  EXPECT_EQ(minutes[0].size(), 11u);
  EXPECT_EQ(minutes[0][0].lon, -15.11280);
  EXPECT_EQ(minutes[0][0].alt, 409168.0);
  for (const auto& between : {&globe::TrackPoint::lon, &globe::TrackPoint::lat}) {
    const double lo = fine[0][81].*between, hi = fine[0][82].*between;
    EXPECT_GT(minutes[0][0].*between, std::fmin(lo, hi));
    EXPECT_LT(minutes[0][0].*between, std::fmax(lo, hi));
  }
  const auto seconds = globe::ReadTrack(Data("gtrack-seconds.txt"), false);
  ASSERT_EQ(seconds.size(), 1u);
  EXPECT_GE(seconds[0].size(), 30u);
  // The track heads east-south-east: longitude grows along it.
  for (size_t k = 1; k < seconds[0].size(); ++k) EXPECT_GT(seconds[0][k].lon, seconds[0][k - 1].lon);
}

// The Sun transit centre line: runs only where it meets the Earth.
TEST(GlobeReader, CentreLineFile) {
  const auto runs = globe::ReadTrack(Data("centre-line.txt"), false);
  ASSERT_FALSE(runs.empty());
  size_t n = 0;
  for (const auto& run : runs) {
    n += run.size();
    for (const auto& p : run) EXPECT_LE(std::fabs(p.lat), 90.0);
  }
  EXPECT_GT(n, 10u);
  EXPECT_LT(n, 48u);  // 48 steps, the first 16 miss the Earth
}

// A track whose satellite comes down: the steps without a position break
// it and give no point, no entry and no message; a track of such steps
// alone draws nothing.
TEST(GlobeReader, StepsWithoutPosition) {
  const auto runs = globe::ReadTrack(Data("no-position.txt"), true);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].size(), 10u);  // 12:00 to 12:09, then none until 12:16
  EXPECT_EQ(runs[1].size(), 78u);  // 12:16 to 13:33
  EXPECT_EQ(runs[2].size(), 19u);  // 13:41 to 13:59
  for (const auto& run : runs)
    for (const auto& p : run) EXPECT_GT(p.alt, 0.0);
  const globe::SatCoords c = globe::getSatCoords(Data("no-position.txt"));
  EXPECT_EQ(c.xpt.size(), 107u);
  EXPECT_EQ(c.numcoords, 106);

  std::string none = "\n Year: 2017  +++> Timezone 0 <+++\n" + std::string(21, ' ') + "\n\n";
  for (int m = 0; m < 5; ++m) none += "NOV 11   0:0" + std::to_string(m) + ":00    No Position\n";
  support::TempDir dir;
  writeFile(dir / "none.txt", none);
  EXPECT_TRUE(globe::ReadTrack(dir / "none.txt", false).empty());
  EXPECT_FALSE(globe::WillDraw(globe::getSatCoords(dir / "none.txt")));
}

// Damaged files: binary junk, overlong lines and lines cut short give no
// crash and no point that is not in the file.
TEST(GlobeReader, DamagedFile) {
  support::TempDir dir;
  std::string junk(4096, '\0');
  for (size_t k = 0; k < junk.size(); ++k) junk[k] = static_cast<char>((k * 7919) % 251);
  std::string text = junk + "\n" + std::string(500, '.') + "\n" + kTrack.substr(0, 35) + "\n" +
                     kTrack + kTrack + "\n" + kTrack + "\n" + kTrack + "\n" + kTrack;
  writeFile(dir / "bad.txt", text);
  const auto runs = globe::ReadTrack(dir / "bad.txt", true);
  for (const auto& run : runs)
    for (const auto& p : run) {
      EXPECT_EQ(p.lon, -12.34567);
      EXPECT_EQ(p.lat, 45.67890);
    }
  (void)globe::getSatCoords(dir / "bad.txt");
}

// Only a regular file that can be read is a save file: a folder or a pipe is
// refused at once, as a missing file is (the window then says "Unable to open
// input file"), and a pipe is never waited on.
TEST(GlobeReader, NotARegularFile) {
  support::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  for (const std::string& name : {dir.path, dir / "pipe", dir / "missing.txt"}) {
    // In a child: a reader stuck on the pipe is ended after 5 s, as a failure.
    const int res = support::InChild(
        [&] {
          bool opened = true;
          (void)globe::ReadTrack(name, false, &opened);
          return globe::getSatCoords(name).opened || opened ? 1 : 0;
        },
        5);
    EXPECT_EQ(res, 0) << name;
  }
}
