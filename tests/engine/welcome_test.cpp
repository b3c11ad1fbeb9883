// Start-up: start values, the configured satellites loaded from the TLE file,
// and the welcome page. The system zone is fixed at UT+1 without daylight
// saving for every test.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include "engine/config.h"
#include "engine/passtext.h"
#include "support/child.h"
#include "support/files.h"

namespace {

std::string pageText(const WoutData* o) {
  std::string s;
  char line[WOUT_LINELEN + 1];
  for (int k = 0; k < o->nlines; ++k) {
    WoutLineCopy(o, k, line);
    s += line;
    s += '\n';
  }
  return s;
}

const std::string kData = std::string(VORLIX_TEST_DATA) + "/welcome/";

// Runs in a fresh working directory holding the fixture TLE file, with the
// zone of the system fixed; restores both.
class WelcomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorlix-welcome-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    const char* tz = std::getenv("TZ");
    hadTz_ = tz != nullptr;
    if (tz) oldTz_ = tz;
    setenv("TZ", "VLX-1", 1);  // one hour east, no daylight saving
    tzset();
    writeFile(dir_ + "/welcome.tle", readFile(kData + "welcome.tle"));
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    d_.reset(new WinpData());
    std::memset(static_cast<void*>(d_.get()), 0, sizeof(WinpData));
    o_.reset(new WoutData());
    std::memset(static_cast<void*>(o_.get()), 0, sizeof(WoutData));
  }
  void TearDown() override {
    if (hadTz_)
      setenv("TZ", oldTz_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
    ASSERT_EQ(chdir(cwd_.c_str()), 0);
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }

  // The page for a configuration text (none: no file).
  std::string run(const char* cfg) {
    if (cfg) writeFile(dir_ + "/vorlix.cfg", cfg);
    swelcm(d_.get(), o_.get());
    return pageText(o_.get());
  }

  std::string dir_, cwd_, oldTz_;
  bool hadTz_ = false;
  std::unique_ptr<WinpData> d_;
  std::unique_ptr<WoutData> o_;
};

// The fixture configuration with a few items replaced (line index, text).
std::string fixtureWith(std::initializer_list<std::pair<int, const char*>> repl) {
  std::stringstream ss(readFile(kData + "vorlix.cfg"));
  std::vector<std::string> v;
  std::string l;
  while (std::getline(ss, l)) v.push_back(l);
  for (const auto& r : repl) v[r.first] = r.second;
  std::string s;
  for (const std::string& x : v) s += x + "\n";
  return s;
}

}  // namespace

// The page of the fixture configuration; the satellites found fill the slots
// in configuration order, the missing one is skipped.
TEST_F(WelcomeTest, GoldenPage) {
  EXPECT_EQ(run(readFile(kData + "vorlix.cfg").c_str()), readFile(kData + "welcome.page"));
  ASSERT_EQ(d_->satnr, 4);
  const int norads[4] = {25544, 20580, 16182, 6153};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(d_->norad[i], norads[i]) << i;
    EXPECT_GT(d_->mnmot[i], 14.0) << i;
  }
  EXPECT_EQ(d_->satname[WORKSLOT][0], '#');
  EXPECT_EQ(d_->tzauto, 1);
  EXPECT_EQ(d_->tzone, 1.0);
  EXPECT_STREQ(d_->geoname, "Lindenberg, Brandenburg");  // the record keeps its comma
  EXPECT_EQ(d_->prs, 0);
}

// With the system zone at UT the automatic zone is 0, never -0: the page and
// every pass list say "Timezone: 0".
TEST_F(WelcomeTest, ZoneAtUtIsZeroNotMinusZero) {
  setenv("TZ", "UTC", 1);
  tzset();
  const std::string page = run(readFile(kData + "vorlix.cfg").c_str());
  EXPECT_NE(page.find("\nTimezone: 0\n"), std::string::npos) << page;
  EXPECT_FALSE(std::signbit(d_->tzone));
  EXPECT_FALSE(std::signbit(SystemZone()));
  setNewMjd(d_.get());
  EXPECT_FALSE(std::signbit(d_->tzone));
  d_->prs = 0;
  aospass(d_.get(), o_.get());
  EXPECT_NE(pageText(o_.get()).find(" Year: " + std::to_string(d_->year) + "  +++ Timezone: 0 +++"),
            std::string::npos);

  // A configured zone of -0 is 0 as well.
  const std::string cfg = fixtureWith({{0, "-0.000000 "}});
  run(cfg.c_str());
  EXPECT_EQ(d_->tzauto, 0);
  EXPECT_FALSE(std::signbit(d_->tzone));
}

// Without a configuration: the start values, and the local time now in the
// entered date and time.
TEST_F(WelcomeTest, StartValuesWithoutConfiguration) {
  std::time_t before = std::time(nullptr);
  std::string page = run(nullptr);
  std::time_t after = std::time(nullptr);
  EXPECT_EQ(page.substr(0, page.find("Timezone")),
            std::string(WELCOME_LINE) + "\n \nThe startup input values are:\n \n");
  EXPECT_NE(page.find("Default\nLat.: 0  Long.: 0  Height: 0\n"), std::string::npos);
  EXPECT_NE(page.find("Name of the Orbit Element File:\n*** No valid TLE file selected ***\n"),
            std::string::npos);
  EXPECT_NE(page.find("Map background: Black   No coordinate grid\n"), std::string::npos);
  EXPECT_EQ(page.find("Selected Satellites"), std::string::npos);

  const WinpData* d = d_.get();
  EXPECT_STREQ(d->tlenm, "*");
  EXPECT_EQ(d->tzauto, 1);
  EXPECT_EQ(d->tzone, 1.0);
  double local = mjd(d->day, d->month, d->year, d->hour + d->minute / 60.0 + d->second / 3600.0);
  double t0 = before / 86400.0 + 40587.0 + 1.0 / 24, t1 = after / 86400.0 + 40587.0 + 1.0 / 24;
  EXPECT_GE(local, t0 - 1e-7);
  EXPECT_LE(local, t1 + 1e-7);
  EXPECT_NEAR(d->curmjd, local - 1.0 / 24, 1e-7);

  EXPECT_EQ(d->dur, 3.1);
  EXPECT_EQ(d->tstep, 1.0 / 5760);
  EXPECT_EQ(d->TtUt, DefTdUt(d->year));
  EXPECT_EQ(d->UtcTai, -static_cast<int>(d->TtUt - 32.184 + 0.0001));
  EXPECT_STREQ(d->savnm, "*satsave.txt");
  EXPECT_STREQ(d->tlsnm, "*vorlix.tle");
  EXPECT_NE(std::strstr(d->updurl, "/NORAD/elements/visual.txt"), nullptr);
  EXPECT_STREQ(d->sdsn, "      ");
  EXPECT_EQ(d->sgpsat, SGPSAT_NONE);
  EXPECT_EQ(d->mapprj, 3);
  EXPECT_EQ(d->rndflg, -1);
  EXPECT_EQ(d->rdf, 1);
  EXPECT_EQ(d->flarmod, 1);
  EXPECT_EQ(d->ops, 1);
  EXPECT_EQ(d->mxit, 20);
  EXPECT_EQ(d->stfrm, 1);
  EXPECT_EQ(d->yrepoch, 2000.0);
  EXPECT_TRUE(d->bf && d->sdp4 && d->moonf && d->sunf && d->refrc && d->atmx);
  for (int i = 0; i < NSLOTS; ++i) {
    EXPECT_EQ(d->sgpflg[i], 1);
    EXPECT_EQ(std::string(d->satname[i]), std::string(20, ' '));
    EXPECT_EQ(std::string(d->cfgname[i]), std::string(20, ' '));
    EXPECT_EQ(std::string(d->dsn[i]), std::string(11, ' '));
  }
  const double slot0[6] = {d->f107[0], d->fb107[0], d->kp[0], d->cd[0], d->cr[0], d->am[0]};
  const double want[6] = {160, 155, 4, 2.3, 1.3, 0.01};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(slot0[k], want[k]) << k;
  EXPECT_TRUE(d->suns[0]);
}

// Lines that depend on the configuration.
TEST_F(WelcomeTest, ConfiguredLines) {
  struct Case {
    const char* what;
    std::string cfg;
    const char* expected;  // a run of lines on the page
    int satnr;
  };
  const Case cases[] = {
      {"a damaged file: message, defaults", fixtureWith({{1, "north"}}),
       "   *** Welcome to Vorlix Version 11.8 ***\n \n"
       "Problems reading Configuration File. Using defaults instead.\n \n"
       "The startup input values are:\n \nTimezone: 1\nGeographic Location:\nDefault\n",
       0},
      {"a zone other than the system's", fixtureWith({{0, "3"}}),
       "\nTimezone: 3 *** Timezone different from set system time! ***\n", 4},
      {"an old epoch", fixtureWith({{12, "1850"}}), "\nEpoch for R.A./Dec.: 0\n", 4},
      {"all passes, white map, fine grid", fixtureWith({{9, "0"}, {6, "2"}, {7, "0"}}),
       "\nAll passes\n \nMap background: White   10 deg coordinate grid\n", 4},
      {"a TLE file that is not there", fixtureWith({{8, "nothere.tle"}}),
       "\nName of the Orbit Element File:\n*** No valid TLE file selected ***\n \n", 0},
      {"none of the names found", fixtureWith({{19, "1"}, {20, "NOT THERE"}}),
       "\nEpoch for R.A./Dec.: 2000\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::memset(static_cast<void*>(d_.get()), 0, sizeof(WinpData));
    std::memset(static_cast<void*>(o_.get()), 0, sizeof(WoutData));
    std::string page = run(c.cfg.c_str());
    EXPECT_NE(page.find(c.expected), std::string::npos) << page;
    EXPECT_EQ(d_->satnr, c.satnr);
    if (c.satnr == 0) {
      EXPECT_EQ(page.find("Selected"), std::string::npos) << page;
    }
  }
}

// Ten configured satellites that are all found fill slots 0-9.
TEST_F(WelcomeTest, TenSatellitesFillEverySlot) {
  std::string cfg = fixtureWith({{19, "10"}});
  cfg = cfg.substr(0, cfg.find("ISS\n"));
  const char* names[10] = {"ISS", "HST", "sl-16", "OAO", "ISS", "HST", "SL", "OAO 3", "I", "H"};
  for (const char* n : names) cfg += std::string(n) + "\n";
  std::string page = run(cfg.c_str());
  ASSERT_EQ(d_->satnr, 10);
  const int norads[10] = {25544, 20580, 16182, 6153, 25544, 20580, 16182, 6153, 25544, 20580};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(d_->norad[i], norads[i]) << i;
  EXPECT_NE(page.find("Selected Satellites:\n \nISS (ZARYA)\nHST\n"), std::string::npos);
}

// A configuration that is there but cannot be read is named on the page; the
// rest of the page is the page of a first start.
TEST_F(WelcomeTest, UnreadableConfigurationIsNamed) {
  const std::string fresh = run(nullptr);
  const std::string head = std::string(WELCOME_LINE) + "\n \n";
  ASSERT_EQ(fresh.compare(0, head.size(), head), 0);
  const std::string expected =
      head + "Cannot read Configuration File vorlix.cfg. Using defaults instead.\n \n" +
      fresh.substr(head.size());
  struct Case {
    const char* what;
    int (*make)(const char*);
    bool needsUser;  // read by an ordinary user, whom permission bits bind
  };
  const Case cases[] = {
      {"directory", [](const char* p) { return mkdir(p, 0700); }, false},
      {"FIFO", [](const char* p) { return mkfifo(p, 0600); }, false},
      {"no read permission",
       [](const char* p) {
         writeFile(p, readFile(kData + "vorlix.cfg"));
         return chmod(p, 0);
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.make("vorlix.cfg"), 0);
    std::memset(static_cast<void*>(d_.get()), 0, sizeof(WinpData));
    std::memset(static_cast<void*>(o_.get()), 0, sizeof(WoutData));
    if (c.needsUser) {
      // As root, in a child that became "nobody"; the folder is open to it.
      ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
      const int res = support::AsOrdinaryUser(
          [&] {
            if (run(nullptr) != expected) return 1;
            return d_->satnr == 0 ? 0 : 2;
          },
          10);
      EXPECT_EQ(res, 0) << "1: another page, 2: satellites loaded, -1: no child";
      ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
    } else {
      EXPECT_EQ(run(nullptr), expected);
      EXPECT_EQ(d_->satnr, 0);
    }
    ASSERT_EQ(std::system("rm -rf vorlix.cfg"), 0);
  }

  // A long name keeps its end.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string deep = std::string(cwd) + "/" + std::string(60, 'd');
  ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  ASSERT_EQ(mkdir((deep + "/vorlix.cfg").c_str(), 0700), 0);
  std::memset(static_cast<void*>(o_.get()), 0, sizeof(WoutData));
  swelcm(d_.get(), o_.get(), (deep + "/vorlix.cfg").c_str());
  EXPECT_NE(pageText(o_.get()).find("\nCannot read Configuration File ...dddddd/vorlix.cfg. Using "
                                    "defaults instead.\n \nThe startup input values are:\n"),
            std::string::npos)
      << pageText(o_.get());
}

// A configured element file that is a FIFO or a directory: the page says
// there is no valid TLE file at once, instead of waiting for a writer.
TEST_F(WelcomeTest, ElementFileThatIsNoRegularFile) {
  ASSERT_EQ(mkfifo((dir_ + "/fifo.tle").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((dir_ + "/dir.tle").c_str(), 0700), 0);
  for (const char* name : {"fifo.tle", "dir.tle"}) {
    const std::string cfg = fixtureWith({{8, name}});
    const int res = support::InChild(
        [&] {
          const std::string page = run(cfg.c_str());
          return page.find("*** No valid TLE file selected ***") != std::string::npos &&
                         d_->satnr == 0
                     ? 0
                     : 1;
        },
        10);
    EXPECT_EQ(res, 0) << name << (res < 0 ? ": did not return" : ": not refused");
  }
}
