// Iridium flare search (three mirrors) and the Iridium flare list read back
// from the save file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/flares.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "support/files.h"
#include "support/passfixture.h"

using namespace passfix;

namespace {

std::unique_ptr<WinpData> IridiumRecord() {
  auto d = SlotRecord("IRIDIUM 73 [-]", 48.15, 11.58, 100.0);
  d->iridflg = 3;
  d->irmag = 6.0;
  d->mxdist = 50.0;
  return d;
}

std::string Line(const WoutData* o, int k) {
  char buf[WOUT_LINELEN + 1];
  WoutLineCopy(o, k, buf);
  return buf;
}

}  // namespace

// A flare of an Iridium mirror: the reported time is the brightest moment
// (the magnitude 0.1 s either side is not brighter), inside the pass, with
// the magnitude in azm[2] and the latitudes at the pass ends in elv[0],
// elv[2]; a limit brighter than the flare gives code 2.
TEST(IridiumFlare, BrightestMomentOfTheBestMirror) {
  auto d = IridiumRecord();
  double tm[3], elv[3], azm[3];
  double t = 58139.0;
  int r = 0;
  while (t < 58144.0) {
    r = nextpass(d.get(), 0, t, 58144.0, tm, elv, azm);
    if (r != 2) break;
    t = tm[2] + 1.0 / 1440.0;
  }
  ASSERT_EQ(r, 1);
  EXPECT_GE(tm[1], tm[0]);
  EXPECT_LE(tm[1], tm[2]);
  EXPECT_LE(azm[2], d->irmag);
  EXPECT_LT(std::fabs(elv[0]), 90.0);
  EXPECT_LT(std::fabs(elv[2]), 90.0);
  EXPECT_NE(elv[0], elv[2]);
  const double occra = d->occra;
  EXPECT_TRUE(occra == 0.0 || occra == -120.0 || occra == 120.0);
  for (double dt : {-0.1, 0.1}) {
    satpos->mag = 99.0;
    GetSatPos(tm[1] + dt / 86400.0, d.get(), satpos, 0, 0);
    EXPECT_GE(satpos->mag, azm[2] - 1e-9) << dt;
  }
  GetSatPos(tm[1], d.get(), satpos, 0, 0);
  EXPECT_NEAR(satpos->el[0], elv[1], 1e-9);

  // The same pass with a limit just brighter than this flare: no event.
  const double found = azm[2], t0 = tm[0] - 1.0 / 1440.0, t2 = tm[2];
  d->irmag = found - 0.05;
  EXPECT_EQ(nextpass(d.get(), 0, t0, t2, tm, elv, azm), 2);
}

// A transit pass whose centre line never meets the ground: code 2 at once.
TEST(IridiumFlare, TransitWithoutCentreLine) {
  auto d = IridiumRecord();
  d->iridflg = 1;
  d->occflg = 3;  // a point of the sky below every horizon of the pass
  d->occra = 0.0;
  d->occdec = 89.0;
  double tm[3] = {58139.1, 0, 58139.105}, elv[3] = {0, 0, 0}, azm[3] = {0, 0, 0};
  EXPECT_EQ(GetIrid(d.get(), 0, 0, tm, elv, azm), 2);
  EXPECT_EQ(elv[0], 100.0);
}

namespace {

// A flare line as the all-satellite Iridium list writes it: the 26-character
// time text, the 17-character tag, the mirror, the direction, the magnitude,
// three blanks and the satellite name at column 67.
std::string FlareLine(const char* time, const char* name, double mag) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%s  Iridium Flare  Front  ->N  mag %5.1lf   %s", time, mag, name);
  return buf;
}

}  // namespace

// The list read back: header, the kept flare lines without their tag (a
// blank line before every fifth), skipped lines of every kind, no read past
// short lines; each flaring satellite loaded once by name whatever search
// kind was chosen last (restored), and only into free slots.
TEST(IridiumList, ReadBackAndLoad) {
  char dir[] = "/tmp/vorlix-irid-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string sav = std::string(dir) + "/iridiumf.doc";
  const std::string tle = std::string(dir) + "/iridium.txt";
  {
    FILE* f = std::fopen(tle.c_str(), "w");
    const auto tles = ReadTles("passes.tle");
    for (const char* n : {"ISS (ZARYA)", "IRIDIUM 73 [-]", "NOAA 19"}) {
      const Tle& t = tles.at(n);
      std::fprintf(f, "%s\n%s\n%s\n", t.name.c_str(), t.l1.c_str(), t.l2.c_str());
    }
    std::fprintf(f, "IRIDIUM 50 [+]\n"
                    "1 25172U 98010D   18020.79724749  .00000124  00000-0  37256-4 0  9999\n"
                    "2 25172  86.3954 259.3787 0002084  89.6761 270.4674 14.34218954 42676\n");
    std::fclose(f);
  }
  {
    FILE* f = std::fopen(sav.c_str(), "w");
    std::fprintf(f, " Geographic Location: Test Place\n");
    std::fprintf(f, "Year: 2018\n");
    std::fprintf(f, "==========================\n");
    std::fprintf(f, "m short\n");
    std::fprintf(f, "JAN 21   5:00:01 (this line is short)\n");  // 37 chars, no tag
    std::fprintf(f, "%s\n", FlareLine("JAN 21   6:12:13 (100, 30)", "IRIDIUM 73 [-]", -2.1).c_str());
    std::fprintf(f, "%s\n", FlareLine("JAN 21   6:12:13 (100, 30)", "IRIDIUM 73 [-]", -2.1).c_str());
    std::fprintf(f, "%s\n", FlareLine("JAN 21   7:00:00 (200, 40)", "IRIDIUM 50 [+]", -1.0).c_str());
    std::fprintf(f, "%s\n", FlareLine("JAN 22   6:10:00 (101, 31)", "IRIDIUM 73 [-]", -3.0).c_str());
    std::fprintf(f, "%s\n", FlareLine("JAN 22   8:00:00 (120, 20)", "IRIDIUM 99 [-]", 0.5).c_str());
    for (int k = 0; k < 3; ++k) {
      char t[32];
      std::snprintf(t, sizeof t, "JAN 23  1%i:00:00 (120, 20)", k);
      std::fprintf(f, "%s\n", FlareLine(t, "IRIDIUM 73 [-]", 1.0).c_str());
    }
    std::fprintf(f, "JAN 24   1:00:00 (12");  // cut off, no line end
    std::fclose(f);
  }
  auto d = MakeRecord(48.0, 11.0, 0.0);
  auto o = std::make_unique<WoutData>();
  std::snprintf(d->savnm, sizeof d->savnm, "%s", sav.c_str());
  std::snprintf(d->tlenm, sizeof d->tlenm, "%s", tle.c_str());
  d->year = 2018;
  d->irrun = true;
  d->svnew = 1;
  d->srchmd = 1;  // the user searched by catalogue number last
  d->norad[WORKSLOT] = 25544;
  d->satnr = 1;
  std::snprintf(d->satname[0], SATNAME_SIZE, "%s", "KEEP ME");
  Iriddspy(d.get(), o.get());

  EXPECT_EQ(outptr, nullptr);
  EXPECT_EQ(d->svnew, 0);
  EXPECT_EQ(d->srchmd, 1);
  ASSERT_GE(o->nlines, 5);
  EXPECT_EQ(Line(o.get(), 1), (" *** Iridium Flares ***  written to " + sav).substr(0, 76));
  EXPECT_EQ(Line(o.get(), 3), " Year: 2018  +++ Timezone: 0 +++");
  std::vector<std::string> flares;
  int blanks = 0;
  for (int k = 4; k < o->nlines; ++k) {
    const std::string l = Line(o.get(), k);
    if (l == " ") {
      ++blanks;
      continue;
    }
    EXPECT_TRUE(WoutLineMarked(o.get(), k));
    flares.push_back(l);
  }
  ASSERT_EQ(flares.size(), 7u);
  EXPECT_EQ(blanks, 2);
  EXPECT_EQ(flares[0], "JAN 21   6:12:13 (100, 30)    Front  ->N  mag  -2.1   IRIDIUM 73 [-]");
  EXPECT_EQ(flares[1].substr(54), "IRIDIUM 50 [+]");
  // Loaded once each, after the satellite already selected; the one the TLE
  // file does not hold is not loaded.
  ASSERT_EQ(d->satnr, 3);
  EXPECT_STREQ(d->satname[0], "KEEP ME");
  EXPECT_STREQ(d->satname[1], "IRIDIUM 73 [-]");
  EXPECT_STREQ(d->satname[2], "IRIDIUM 50 [+]");
  EXPECT_EQ(d->norad[1], 25344);

  // Ten satellites selected: the list is shown, nothing is loaded.
  d->satnr = MAXSEL;
  Iriddspy(d.get(), o.get());
  EXPECT_EQ(d->satnr, MAXSEL);
  EXPECT_GT(o->nlines, 10);

  // A save file whose name does not fit the header line: the page names it
  // whole, on lines of its own, and the list follows.
  const std::string deep =
      std::string(dir) + "/Sternwarte Z\xc3\xbcrich Beobachtungen der Iridium-Reflexe";
  ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  const std::string far = deep + "/iridiumf.doc";
  ASSERT_EQ(std::rename(sav.c_str(), far.c_str()), 0);
  std::snprintf(d->savnm, sizeof d->savnm, "%s", far.c_str());
  Iriddspy(d.get(), o.get());
  EXPECT_EQ(Line(o.get(), 1), " *** Iridium Flares ***  written to");
  EXPECT_EQ(Line(o.get(), 2), " " + far.substr(0, 75));
  EXPECT_EQ(Line(o.get(), 3), " " + far.substr(75));
  EXPECT_EQ(Line(o.get(), 5), " Year: 2018  +++ Timezone: 0 +++");
  ASSERT_EQ(std::rename(far.c_str(), sav.c_str()), 0);
  rmdir(deep.c_str());

  std::remove(sav.c_str());
  std::remove(tle.c_str());
  rmdir(dir);
}

// A list that went where it cannot be read back from (a FIFO or a device
// took it, or the file went meanwhile): the page names the file and says why
// the list is not shown, instead of staying blank.
TEST(IridiumList, ListThatCannotBeReadBackIsExplained) {
  const support::TempDir dir;
  struct Case {
    const char* name;
    char node;  // MakeNode's kind, 0: nothing there
    std::string why;
  };
  const Case cases[] = {
      {"fifo.doc", 'p', " *** The list went to a FIFO: it cannot be read back to be shown ***"},
      {"null.doc", 'c', " *** The list went to a device: it cannot be read back to be shown ***"},
      {"missing.doc", 0, " *** " + std::string(std::strerror(ENOENT)) + " ***"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string sav = dir / c.name;
    if (c.node == 'c' && geteuid() != 0) continue;  // a device needs root
    if (c.node) {
      ASSERT_TRUE(support::MakeNode(sav, c.node));
    }
    auto d = MakeRecord(48.0, 11.0, 0.0);
    auto o = std::make_unique<WoutData>();
    std::snprintf(d->savnm, sizeof d->savnm, "%s", sav.c_str());
    d->irrun = true;
    d->satnr = 1;
    Iriddspy(d.get(), o.get());
    EXPECT_EQ(outptr, nullptr);
    EXPECT_EQ(d->satnr, 1);
    EXPECT_EQ(Line(o.get(), 1), " *** Iridium Flares ***  written to " + sav);
    EXPECT_EQ(Line(o.get(), o->nlines - 1), c.why);
    if (!c.node) {  // the reason's own line follows the file's name
      EXPECT_EQ(Line(o.get(), 3), " *** The list cannot be read back from " + sav + ":");
    }
  }
}

// A numerical satellite lying where it came down has no position. Seen from
// a place below sea level its resting place has centre lines of transits,
// occultations and flares; none of them is an event, and a Sun transit
// there has no zone (the observer is outside it).
TEST(Events, NoneWithoutAPosition) {
  auto d = MakeRecord(0.0, 0.0, 0.0);
  const double epoch = 58138.89808844;  // comes down 4.56 days later
  support::numericalSlot(d.get(), 0, epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
  d->satnr = 1;
  const double t0 = epoch + 5.0, t1 = epoch + 5.5;
  ASSERT_EQ(GetSatPos(t0, d.get(), satpos, 0, 0), SATPOS_DECAYED);
  d->lat = satpos->lat[0] + 0.5;
  d->lng = satpos->lng[0];
  d->height = -500.0;
  d->mxdist = 20000.0;
  struct Mode {
    const char* what;
    int iridflg, occflg, flarflg, flarmod;
    double occra, occdec;
  };
  const Mode modes[] = {{"Sun transit", 1, 1, 0, 0, 0.0, 0.0},
                        {"Moon transit", 1, 2, 0, 0, 0.0, 0.0},
                        {"occultation", 1, 3, 0, 0, 5.0, 10.0},
                        {"flare", 2, 0, 1, 1, 0.0, -40.0}};
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.what);
    d->iridflg = m.iridflg;
    d->occflg = m.occflg;
    d->flarflg = m.flarflg;
    d->flarmod = m.flarmod;
    d->occra = m.occra;
    d->occdec = m.occdec;
    double tm[3] = {t0, 0.0, t1}, elv[3] = {0, 0, 0}, azm[3] = {0, 0, 0};
    EXPECT_EQ(GetIrid(d.get(), 0, 1, tm, elv, azm), 2);
  }
  d->iridflg = 1;
  d->occflg = 1;
  d->flarflg = 0;
  double t = t0;
  while (t < t1 && (GetSatPos(t, d.get(), satpos, 0, 0), !(satpos->ctlat[0] < 100.0))) t += 0.001;
  ASSERT_LT(t, t1);
  int code = 0;
  char zone[ZONETXT_SIZE];
  SunMoonTr(d.get(), t, 0, 0.0, 1, code, zone);
  EXPECT_EQ(code, 2);
  EXPECT_STREQ(zone, " ");
}
