// The configuration file: exact text written, round trips, and damaged files
// that must leave the record as it was.
#include "engine/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "orbit/vorlixnum.h"
#include "support/child.h"
#include "support/files.h"

namespace {

std::unique_ptr<WinpData> newRecord() {
  auto d = std::make_unique<WinpData>();
  std::memset(static_cast<void*>(d.get()), 0, sizeof(WinpData));
  return d;
}

// Byte copy (padding included) so that memcmp shows any change.
std::unique_ptr<WinpData> snapshot(const WinpData* d) {
  auto c = newRecord();
  std::memcpy(static_cast<void*>(c.get()), d, sizeof(WinpData));
  return c;
}

// A record with a value in every field the file holds, none of them a start
// value, so that a field that is not written or not read shows.
void fillRecord(WinpData* d) {
  d->tzauto = 0;
  d->tzone = -5.5;
  d->lat = 52.520008;
  d->lng = -13.404954;
  d->height = 34.5;
  std::snprintf(d->geoname, GEONAME_SIZE, "%s", "Berlin, Germany");
  d->fsz = 8;
  d->mgrid = 2;
  d->mgrey = 1;
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", "/home/obs/tle/visual,2009.txt");
  d->visflg = 0;
  d->sunel = -4.25;
  d->satel = 7.5;
  d->yrepoch = 1950;
  d->mfsz = 12;
  d->bf = false;
  d->lftbtn = true;
  std::snprintf(d->updurl, FILENAME_SIZE, "%s", "example.org/NORAD/elements/stations.txt");
  d->dur = 2.5;
  d->dF107 = 121.3;
  d->dFB107 = 130.7;
  d->dKp = 2.3;
  d->dCd = 2.2;
  d->dCr = 1.25;
  d->dAm = 0.0123;
  d->satnr = 3;
  std::snprintf(d->satname[0], SATNAME_SIZE, "%s", "ISS (ZARYA)");
  std::snprintf(d->satname[1], SATNAME_SIZE, "%s", "HST");
  std::snprintf(d->satname[2], SATNAME_SIZE, "%s", "SL-16 R/B, ENVISAT  ");
}

// The text putcfg writes for fillRecord.
const char* const kFilled =
    "-5.500000 \n52.520008 \n-13.404954 \n34.500000 \n"
    "Berlin, Germany\n8 \n2 \n1 \n"
    "/home/obs/tle/visual,2009.txt\n0 \n-4.250000 \n7.500000\n1950.000000\n12\n0\n1 \n"
    "example.org/NORAD/elements/stations.txt\n"
    "2.5   121.3   130.7     2.3\n"
    "  2.20000e+00   1.25000e+00   1.23000e-02\n"
    "3 \nISS (ZARYA)\nHST\nSL-16 R/B, ENVISAT  \n";

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorlix-config-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    cfg_ = dir_ + "/vorlix.cfg";
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string dir_, cfg_;
};

// The committed fields of two records agree.
void expectSameSettings(const WinpData* a, const WinpData* b) {
  EXPECT_EQ(a->tzauto, b->tzauto);
  EXPECT_EQ(a->tzone, b->tzone);
  EXPECT_EQ(a->lat, b->lat);
  EXPECT_EQ(a->lng, b->lng);
  EXPECT_EQ(a->height, b->height);
  EXPECT_STREQ(a->geoname, b->geoname);
  EXPECT_EQ(a->fsz, b->fsz);
  EXPECT_EQ(a->mgrid, b->mgrid);
  EXPECT_EQ(a->mgrey, b->mgrey);
  EXPECT_STREQ(a->tlenm, b->tlenm);
  EXPECT_EQ(a->visflg, b->visflg);
  EXPECT_EQ(a->sunel, b->sunel);
  EXPECT_EQ(a->satel, b->satel);
  EXPECT_EQ(a->yrepoch, b->yrepoch);
  EXPECT_EQ(a->mfsz, b->mfsz);
  EXPECT_EQ(a->bf, b->bf);
  EXPECT_EQ(a->lftbtn, b->lftbtn);
  EXPECT_STREQ(a->updurl, b->updurl);
  EXPECT_EQ(a->dur, b->dur);
  EXPECT_EQ(a->dF107, b->dF107);
  EXPECT_EQ(a->dFB107, b->dFB107);
  EXPECT_EQ(a->dKp, b->dKp);
  EXPECT_EQ(a->dCd, b->dCd);
  EXPECT_EQ(a->dCr, b->dCr);
  EXPECT_EQ(a->dAm, b->dAm);
  ASSERT_EQ(a->satnr, b->satnr);
  for (int i = 0; i < a->satnr; ++i) EXPECT_STREQ(a->cfgname[i], b->satname[i]) << i;
}

}  // namespace

// The exact text, numbers with a point under a comma locale too, and texts
// (commas included) verbatim.
TEST_F(ConfigTest, WritesThePositionalFormat) {
  auto d = newRecord();
  fillRecord(d.get());
  auto before = snapshot(d.get());
  ASSERT_EQ(putcfg(d.get(), cfg_.c_str()), 0);
  EXPECT_EQ(readFile(cfg_), kFilled);
  EXPECT_EQ(std::memcmp(before.get(), d.get(), sizeof(WinpData)), 0);

  std::string old = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.utf8")) {
    ASSERT_EQ(putcfg(d.get(), cfg_.c_str()), 0);
    EXPECT_EQ(readFile(cfg_), kFilled);
    std::setlocale(LC_NUMERIC, old.c_str());
  }
  EXPECT_EQ(support::DirNames(dir_), support::Names{"vorlix.cfg"}) << "temporary file left behind";
}

// Write, read into a record with other values, compare every committed field
// (as the writer's formats print them, with the reader's range rules).
TEST_F(ConfigTest, RoundTrips) {
  struct Case {
    const char* what;
    void (*set)(WinpData*);
    void (*expect)(WinpData*);  // the source record turned into what comes back
  };
  const Case cases[] = {
      {"filled record", [](WinpData*) {}, [](WinpData*) {}},
      {"fields full to the last character",
       [](WinpData* d) {
         std::memset(d->geoname, 'g', GEONAME_SIZE - 1);
         d->geoname[GEONAME_SIZE - 1] = '\0';
         for (int k = 0; k < FILENAME_SIZE - 1; ++k) d->tlenm[k] = static_cast<char>('a' + k % 26);
         d->tlenm[FILENAME_SIZE - 1] = '\0';
         for (int k = 0; k < FILENAME_SIZE - 1; ++k) d->updurl[k] = static_cast<char>('0' + k % 10);
         d->updurl[FILENAME_SIZE - 1] = '\0';
         d->satnr = MAXSEL;
         for (int i = 0; i < MAXSEL; ++i)
           std::snprintf(d->satname[i], SATNAME_SIZE, "SATELLITE NUMBER %03d", i);
       },
       [](WinpData*) {}},
      {"zone from the system, large font, interval too short",
       [](WinpData* d) {
         d->tzauto = 1;
         d->tzone = 3;
         d->fsz = 12;
         d->dur = 0.25;
         d->mgrid = 0;
         d->mgrey = 2;
         d->bf = true;
         d->lftbtn = false;
         d->visflg = 1;
       },
       [](WinpData* d) {
         d->tzone = 0;
         d->fsz = 10;
         d->dur = 1;
       }},
      {"interval too long, zone out of range, map values out of range",
       [](WinpData* d) {
         d->dur = 30;
         d->tzone = -15.5;
         d->mgrid = 7;
         d->mgrey = -1;
         d->satnr = 0;
       },
       [](WinpData* d) {
         d->dur = 14;
         d->tzone = 0;
         d->mgrid = 1;
         d->mgrey = 0;
       }},
      {"values the formats round",
       [](WinpData* d) {
         d->lat = 48.1234567;
         d->dF107 = 150.06;
         d->dAm = 0.0123456789;
         d->dur = 3.1234567;
       },
       [](WinpData* d) {
         d->lat = 48.123457;
         d->dF107 = 150.1;
         d->dAm = 0.0123457;
         d->dur = 3.12346;
       }},
      {"a broken selection count is written in range",
       [](WinpData* d) { d->satnr = -4; }, [](WinpData* d) { d->satnr = 0; }},
      {"a text with a line break keeps the lines in place",
       [](WinpData* d) { std::snprintf(d->geoname, GEONAME_SIZE, "%s", "Two\nLines"); },
       [](WinpData* d) { std::snprintf(d->geoname, GEONAME_SIZE, "%s", "Two"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto src = newRecord();
    fillRecord(src.get());
    c.set(src.get());
    ASSERT_EQ(putcfg(src.get(), cfg_.c_str()), 0);
    auto got = newRecord();
    got->satnr = 5;  // a count the file does not hold
    ASSERT_EQ(getcfg(got.get(), cfg_.c_str()), CFG_READ);
    c.expect(src.get());
    expectSameSettings(got.get(), src.get());
  }
}

namespace {

// The lines of kFilled.
std::vector<std::string> filledLines() {
  std::vector<std::string> v;
  std::stringstream ss(kFilled);
  std::string l;
  while (std::getline(ss, l)) v.push_back(l);
  return v;
}

std::string joinLines(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& l : v) s += l + "\n";
  return s;
}

}  // namespace

// The file is UTF-8: the record's texts (Latin-1, the engine's text) are
// written in UTF-8 and come back as they were, the TLE file name keeps the
// file system's bytes; a Latin-1 place name and address (no UTF-8)
// read byte for byte, and a letter Latin-1 lacks reads as '?'.
TEST_F(ConfigTest, TextsAreUtf8) {
  auto src = newRecord();
  fillRecord(src.get());
  std::snprintf(src->geoname, GEONAME_SIZE, "%s", "M\xfcnchen-Gr\xe4" "felfing \xb0");
  std::snprintf(src->tlenm, FILENAME_SIZE, "%s", "/home/obs/Mein Ordner \xc3\xbcmlaut/visual.txt");
  std::snprintf(src->updurl, FILENAME_SIZE, "%s", "example.org/\xe9l\xe9ments.txt");
  std::snprintf(src->satname[0], SATNAME_SIZE, "%s", "\xd8RSTED");
  ASSERT_EQ(putcfg(src.get(), cfg_.c_str()), 0);
  std::vector<std::string> want = filledLines();
  want[4] = "M\xc3\xbcnchen-Gr\xc3\xa4" "felfing \xc2\xb0";
  want[8] = "/home/obs/Mein Ordner \xc3\xbcmlaut/visual.txt";
  want[16] = "example.org/\xc3\xa9l\xc3\xa9ments.txt";
  want[20] = "\xc3\x98RSTED";
  EXPECT_EQ(readFile(cfg_), joinLines(want));
  auto got = newRecord();
  ASSERT_EQ(getcfg(got.get(), cfg_.c_str()), CFG_READ);
  expectSameSettings(got.get(), src.get());

  // A place name of Latin-1 letters to the field's last character.
  std::memset(src->geoname, '\xe9', GEONAME_SIZE - 1);
  src->geoname[GEONAME_SIZE - 1] = '\0';
  ASSERT_EQ(putcfg(src.get(), cfg_.c_str()), 0);
  ASSERT_EQ(getcfg(got.get(), cfg_.c_str()), CFG_READ);
  EXPECT_STREQ(got->geoname, src->geoname);

  struct Case {
    const char* what;
    int line;
    const char* text;
    const char* geoname;
    const char* updurl;
  };
  const Case cases[] = {
      {"Latin-1 place name of an earlier file", 4, "M\xfcnchen", "M\xfcnchen",
       "example.org/NORAD/elements/stations.txt"},
      {"Latin-1 address of an earlier file", 16, "example.org/\xe9.txt", "Berlin, Germany",
       "example.org/\xe9.txt"},
      {"letters beyond Latin-1", 4, "\xc5\x81\xc3\xb3" "d\xc5\xba", "?\xf3" "d?",
       "example.org/NORAD/elements/stations.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> lines = filledLines();
    lines[c.line] = c.text;
    writeFile(cfg_, joinLines(lines));
    auto d = newRecord();
    ASSERT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_READ);
    EXPECT_STREQ(d->geoname, c.geoname);
    EXPECT_STREQ(d->updurl, c.updurl);
  }
}

// Files that cannot be read change nothing in the record.
TEST_F(ConfigTest, DamagedFilesChangeNothing) {
  const std::vector<std::string> good = filledLines();
  ASSERT_EQ(good.size(), 23u);
  struct Case {
    std::string what, text;
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", ""});
  // Cut after every one of the first 19 items.
  for (int n = 1; n < 20; ++n) {
    std::vector<std::string> v(good.begin(), good.begin() + n);
    cases.push_back({"ends after item " + std::to_string(n), joinLines(v)});
  }
  // Every number item replaced by a word, by a number with trailing text, by
  // a non-finite value and by an empty line.
  const int numberLines[] = {0, 1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 19};
  for (int k : numberLines) {
    for (const char* bad : {"abc", "12abc", "nan", "inf", ""}) {
      std::vector<std::string> v = good;
      v[k] = bad;
      cases.push_back({"line " + std::to_string(k + 1) + " '" + bad + "'", joinLines(v)});
    }
  }
  const std::pair<int, const char*> partial[] = {
      {5, "8.5"},                    // integer items take no fraction
      {19, "2147483648"},            // count beyond int
      {17, "2.5 121.3 130.7"},       // three of the four values
      {17, "2.5 121.3 x 2.3"},
      {18, "2.2e+00 1.25e+00"},      // two of the three
      {18, "2.2e+00 1.25e+00 1e999"},
  };
  for (const auto& p : partial) {
    std::vector<std::string> v = good;
    v[p.first] = p.second;
    cases.push_back({"line " + std::to_string(p.first + 1) + " '" + p.second + "'", joinLines(v)});
  }
  // Binary rubbish in place of the file.
  cases.push_back({"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + std::string(5000, '\xff')});

  auto d = newRecord();
  fillRecord(d.get());
  std::snprintf(d->cfgname[0], SATNAME_SIZE, "%s", "OLD NAME");
  auto before = snapshot(d.get());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile(cfg_, c.text);
    EXPECT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_MALFORMED);
    EXPECT_EQ(std::memcmp(before.get(), d.get(), sizeof(WinpData)), 0);
  }
  std::remove(cfg_.c_str());
  EXPECT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_NOFILE);
  EXPECT_EQ(std::memcmp(before.get(), d.get(), sizeof(WinpData)), 0);
}

// Hand-edited files that read: the reader's range rules and line handling.
TEST_F(ConfigTest, ReadsEditedFiles) {
  const std::vector<std::string> good = filledLines();
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> lines;  // replaced lines (index 23+ appends)
    bool cutNames;                                   // drop the name lines first
    void (*check)(const WinpData*);
  };
  const Case cases[] = {
      {"zone 16 means the system zone", {{0, "16.000000 "}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->tzauto, 1);
         EXPECT_EQ(d->tzone, 0.0);
       }},
      {"zone 20 is no zone", {{0, "20.0"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->tzauto, 0);
         EXPECT_EQ(d->tzone, 0.0);
       }},
      {"short interval", {{17, "0.5  160.0  155.0    4.0"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->dur, 1.0);
         EXPECT_EQ(d->dF107, 160.0);
         EXPECT_EQ(d->dKp, 4.0);
       }},
      {"long interval", {{17, "30 160.0 155.0 4.0"}}, false,
       [](const WinpData* d) { EXPECT_EQ(d->dur, 14.0); }},
      // Kp 20 (for 2.0) stopped the numerical propagation of every satellite
      // read later: space weather is kept within its physical ranges.
      {"Kp beyond its scale", {{17, "3.0  150.0  150.0   20.0"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->dKp, 9.0);
         EXPECT_EQ(d->dF107, 150.0);
       }},
      {"fluxes and Kp below and above their ranges", {{17, "3.0  5000.0  -20.0   -1.5"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->dF107, F107_MAX);
         EXPECT_EQ(d->dFB107, 0.0);
         EXPECT_EQ(d->dKp, 0.0);
       }},
      {"map values out of range", {{6, "-1"}, {7, "5"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->mgrid, 1);
         EXPECT_EQ(d->mgrey, 0);
       }},
      {"eleven satellites read none", {{19, "11"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->satnr, 0);
         EXPECT_STREQ(d->cfgname[0], "OLD NAME");
       }},
      {"a negative count reads none", {{19, "-3"}}, false,
       [](const WinpData* d) { EXPECT_EQ(d->satnr, 0); }},
      {"fewer names than the count", {{19, "5"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->satnr, 3);
         EXPECT_STREQ(d->cfgname[2], "SL-16 R/B, ENVISAT  ");
       }},
      {"blank lines and indented names",
       {{19, "2"}, {20, ""}, {21, "   "}, {22, "  \tISS (ZARYA)"}, {23, "HST"}}, true,
       [](const WinpData* d) {
         EXPECT_EQ(d->satnr, 2);
         EXPECT_STREQ(d->cfgname[0], "ISS (ZARYA)");
         EXPECT_STREQ(d->cfgname[1], "HST");
       }},
      {"long texts are cut to their fields, the items after them stay",
       {{4, std::string(200, 'P')}, {8, std::string(300, 'T')}, {16, std::string(5000, 'U')},
        {19, "2"}, {20, std::string(25, 'N')}, {21, "NEXT"}},
       true,
       [](const WinpData* d) {
         EXPECT_EQ(std::string(d->geoname), std::string(30, 'P'));
         EXPECT_EQ(std::string(d->tlenm), std::string(104, 'T'));
         EXPECT_EQ(std::string(d->updurl), std::string(104, 'U'));
         EXPECT_EQ(d->fsz, 8);
         EXPECT_EQ(d->visflg, 0);
         EXPECT_EQ(d->dur, 2.5);
         EXPECT_EQ(d->satnr, 2);
         EXPECT_EQ(std::string(d->cfgname[0]), std::string(20, 'N'));
         EXPECT_STREQ(d->cfgname[1], "NEXT");
       }},
      {"empty texts keep the values, a short address too",
       {{4, ""}, {8, ""}, {16, "a.b/c"}}, false,
       [](const WinpData* d) {
         EXPECT_STREQ(d->geoname, "Default");
         EXPECT_STREQ(d->tlenm, "./visual.txt");
         EXPECT_STREQ(d->updurl, "host.example/x");
       }},
      {"flags", {{14, "7"}, {15, "2"}}, false,
       [](const WinpData* d) {
         EXPECT_TRUE(d->bf);
         EXPECT_FALSE(d->lftbtn);
       }},
      {"numbers with signs, tabs and trailing text after the first field",
       {{1, "\t+1.5e1\tnorth"}, {5, " +8 pt"}}, false,
       [](const WinpData* d) {
         EXPECT_EQ(d->lat, 15.0);
         EXPECT_EQ(d->fsz, 8);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> v = good;
    if (c.cutNames) v.resize(20);
    for (const auto& l : c.lines) {
      if (l.first >= static_cast<int>(v.size())) v.resize(l.first + 1);
      v[l.first] = l.second;
    }
    writeFile(cfg_, joinLines(v));
    auto d = newRecord();
    std::snprintf(d->geoname, GEONAME_SIZE, "%s", "Default");
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", "./visual.txt");
    std::snprintf(d->updurl, FILENAME_SIZE, "%s", "host.example/x");
    std::snprintf(d->cfgname[0], SATNAME_SIZE, "%s", "OLD NAME");
    ASSERT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_READ);
    c.check(d.get());
  }
}

// Every number read is kept within what its dialog accepts (a map font of
// 2147483647 pt blanked the info panel); the edges themselves stay.
TEST_F(ConfigTest, ClampsSettingsToTheirDialogsRanges) {
  struct Case {
    int line;
    const char* text;
    double WinpData::*field;  // or the integer field
    int WinpData::*ifield;
    double want;
  };
  auto dbl = [](int line, const char* text, double WinpData::*f, double want) {
    return Case{line, text, f, nullptr, want};
  };
  auto num = [](int line, const char* text, int WinpData::*f, double want) {
    return Case{line, text, nullptr, f, want};
  };
  const Case cases[] = {
      num(13, "2147483647", &WinpData::mfsz, 12),
      num(13, "-2147483648", &WinpData::mfsz, 10),
      num(13, "11", &WinpData::mfsz, 10),
      num(13, "10", &WinpData::mfsz, 10),
      num(13, "12", &WinpData::mfsz, 12),
      dbl(0, "14.5", &WinpData::tzone, 14),
      dbl(0, "-15", &WinpData::tzone, -14),
      dbl(0, "-14", &WinpData::tzone, -14),
      dbl(1, "1e300", &WinpData::lat, 90),
      dbl(1, "-90.5", &WinpData::lat, -90),
      dbl(1, "90", &WinpData::lat, 90),
      dbl(2, "720", &WinpData::lng, 360),
      dbl(2, "-1e9", &WinpData::lng, -360),
      dbl(3, "1e12", &WinpData::height, 100000),
      dbl(3, "-6378137", &WinpData::height, -1000),
      num(9, "7", &WinpData::visflg, 1),
      num(9, "-1", &WinpData::visflg, 1),
      dbl(10, "180", &WinpData::sunel, 90),
      dbl(11, "-1e6", &WinpData::satel, -90),
      dbl(12, "99999", &WinpData::yrepoch, 2200),
      dbl(12, "-5", &WinpData::yrepoch, 0),
      dbl(12, "2200", &WinpData::yrepoch, 2200),
      dbl(18, "1e300 1.25e+00 1.23e-02", &WinpData::dCd, 100),
      dbl(18, "-2.2 1.25e+00 1.23e-02", &WinpData::dCd, 0),
      dbl(18, "2.2 1e9 1.23e-02", &WinpData::dCr, 100),
      dbl(18, "2.2 1.25 5e4", &WinpData::dAm, 1000),
      dbl(18, "2.2 1.25 -1", &WinpData::dAm, 0),
  };
  const std::vector<std::string> good = filledLines();
  for (const Case& c : cases) {
    SCOPED_TRACE("line " + std::to_string(c.line + 1) + " '" + c.text + "'");
    std::vector<std::string> v = good;
    v[c.line] = c.text;
    writeFile(cfg_, joinLines(v));
    auto d = newRecord();
    ASSERT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_READ);
    if (c.field)
      EXPECT_EQ(d.get()->*c.field, c.want);
    else
      EXPECT_EQ(d.get()->*c.ifield, static_cast<int>(c.want));
  }
}

// Line ends of another system, and a last name without a line end.
TEST_F(ConfigTest, ReadsCarriageReturnsAndAnOpenLastLine) {
  std::string text = kFilled;
  std::string crlf;
  for (char ch : text) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  crlf.pop_back();  // no line end after the last name
  crlf.pop_back();
  writeFile(cfg_, crlf);
  auto src = newRecord();
  fillRecord(src.get());
  auto d = newRecord();
  ASSERT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_READ);
  expectSameSettings(d.get(), src.get());
}

// A file that cannot be written is reported and the old one stays.
TEST_F(ConfigTest, FailedWriteKeepsTheOldFile) {
  writeFile(cfg_, kFilled);
  auto d = newRecord();
  fillRecord(d.get());
  d->lat = 1.0;
  // The new content cannot be written whole (as on a full disk).
  {
    support::FileSizeLimit limit(16);
    ASSERT_TRUE(limit.ok());
    int why = 0;
    EXPECT_EQ(putcfg(d.get(), cfg_.c_str(), &why), 1);
    EXPECT_EQ(why, EFBIG);  // the reason, for the message
  }
  EXPECT_EQ(readFile(cfg_), kFilled);
  EXPECT_EQ(support::DirNames(dir_), support::Names{"vorlix.cfg"});

  int why = -1;
  EXPECT_EQ(putcfg(d.get(), (dir_ + "/missing/vorlix.cfg").c_str(), &why), 1);
  EXPECT_EQ(why, ENOENT);

  // Replacing keeps the old file's permissions.
  ASSERT_EQ(chmod(cfg_.c_str(), 0640), 0);
  ASSERT_EQ(putcfg(d.get(), cfg_.c_str(), &why), 0);
  EXPECT_EQ(why, 0);
  struct stat st;
  ASSERT_EQ(stat(cfg_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  auto got = newRecord();
  ASSERT_EQ(getcfg(got.get(), cfg_.c_str()), CFG_READ);
  EXPECT_EQ(got->lat, 1.0);
  EXPECT_EQ(support::DirNames(dir_), support::Names{"vorlix.cfg"});
}

// A configuration kept in another folder and linked here is written through
// the link: the link stays, the file it names gets the settings.
TEST_F(ConfigTest, WritesThroughASymbolicLink) {
  ASSERT_EQ(mkdir((dir_ + "/settings").c_str(), 0700), 0);
  const std::string real = dir_ + "/settings/vorlix.cfg";
  writeFile(real, "old\n");
  ASSERT_EQ(symlink("settings/vorlix.cfg", cfg_.c_str()), 0);
  auto d = newRecord();
  fillRecord(d.get());
  ASSERT_EQ(putcfg(d.get(), cfg_.c_str()), 0);
  struct stat st;
  ASSERT_EQ(lstat(cfg_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(real), kFilled);
  EXPECT_EQ(support::DirNames(dir_), (support::Names{"settings", "vorlix.cfg"}));
  EXPECT_EQ(support::DirNames(dir_ + "/settings"), support::Names{"vorlix.cfg"});
  auto got = newRecord();
  ASSERT_EQ(getcfg(got.get(), cfg_.c_str()), CFG_READ);
  EXPECT_EQ(got->lat, d->lat);
}

// A configuration that is the element file under another name, by a symbolic
// or a hard link: the settings never take the elements' place, and nothing
// is made beside them.
TEST_F(ConfigTest, ElementFileIsNeverTheConfiguration) {
  const std::string tle = dir_ + "/visual.txt";
  const std::string elements =
      "ISS (ZARYA)\n"
      "1 25544U 98067A   09008.50000000  .00010000  00000-0  70000-4 0  9993\n"
      "2 25544  51.6400 100.0000 0005000 100.0000 260.0000 15.72000000 10000\n";
  for (const bool hard : {false, true}) {
    SCOPED_TRACE(hard ? "hard link" : "symbolic link");
    writeFile(tle, elements);
    ASSERT_EQ(hard ? link(tle.c_str(), cfg_.c_str()) : symlink("visual.txt", cfg_.c_str()), 0);
    auto d = newRecord();
    fillRecord(d.get());
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", tle.c_str());
    int why = -1;
    EXPECT_EQ(putcfg(d.get(), cfg_.c_str(), &why), CFG_TLEFILE);
    EXPECT_EQ(why, 0);
    EXPECT_EQ(readFile(tle), elements);
    EXPECT_EQ(support::NodeType(cfg_), hard ? mode_t(S_IFREG) : mode_t(S_IFLNK));
    EXPECT_EQ(support::DirNames(dir_), (support::Names{"visual.txt", "vorlix.cfg"}));
    ASSERT_EQ(remove(cfg_.c_str()), 0);
    // Its own file again: written as ever.
    EXPECT_EQ(putcfg(d.get(), cfg_.c_str()), 0);
    EXPECT_EQ(readFile(tle), elements);
    ASSERT_EQ(remove(cfg_.c_str()), 0);
  }
}

// A configuration that is there but is no regular file: read without waiting
// on it, reported as unreadable, and never replaced by the settings written
// at Exit.
TEST_F(ConfigTest, NotARegularFileIsUnreadableAndKept) {
  struct Case {
    const char* what;
    int (*make)(const char*);
    mode_t type;
    int why;  // what putcfg reports
  };
  const Case cases[] = {
      {"directory", [](const char* p) { return mkdir(p, 0700); }, S_IFDIR, EISDIR},
      {"FIFO", [](const char* p) { return mkfifo(p, 0600); }, S_IFIFO, EINVAL},
      {"character device", [](const char* p) { return support::MakeNode(p, 'c') ? 0 : -1; },
       S_IFCHR, EINVAL},
  };
  auto d = newRecord();
  fillRecord(d.get());
  auto before = snapshot(d.get());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.type == S_IFCHR && geteuid() != 0) continue;  // a device needs root
    ASSERT_EQ(c.make(cfg_.c_str()), 0);
    EXPECT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_UNREADABLE);
    EXPECT_EQ(std::memcmp(before.get(), d.get(), sizeof(WinpData)), 0);
    int why = 0;
    EXPECT_EQ(putcfg(d.get(), cfg_.c_str(), &why), CFG_KEPT);
    EXPECT_EQ(why, c.why);
    struct stat st;
    ASSERT_EQ(lstat(cfg_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, c.type);
    EXPECT_EQ(support::DirNames(dir_), support::Names{"vorlix.cfg"});
    ASSERT_EQ(remove(cfg_.c_str()), 0);
  }
  // A missing file is no failure: the defaults stand and Exit writes it.
  EXPECT_EQ(getcfg(d.get(), cfg_.c_str()), CFG_NOFILE);
  EXPECT_EQ(putcfg(d.get(), cfg_.c_str()), 0);
}

// A file the user may not read keeps the user's settings: it is reported and
// left byte for byte as it was.
TEST_F(ConfigTest, FileWithoutReadPermissionIsUnreadableAndKept) {
  // Read and written by an ordinary user (as root: "nobody", in a child),
  // whom the permission bits bind; the folder is open to that user.
  writeFile(cfg_, kFilled);
  ASSERT_EQ(chmod(cfg_.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  auto d = newRecord();
  auto before = snapshot(d.get());
  const int res = support::AsOrdinaryUser(
      [&] {
        if (getcfg(d.get(), cfg_.c_str()) != CFG_UNREADABLE) return 1;
        if (std::memcmp(before.get(), d.get(), sizeof(WinpData)) != 0) return 2;
        int why = 0;
        if (putcfg(d.get(), cfg_.c_str(), &why) != CFG_KEPT) return 3;
        return why == EACCES ? 0 : 4;
      },
      10);
  EXPECT_EQ(res, 0) << "1: not unreadable, 2: record changed, 3: overwritten, 4: reason not "
                       "EACCES, -1: no child";
  ASSERT_EQ(chmod(cfg_.c_str(), 0600), 0);
  EXPECT_EQ(readFile(cfg_), kFilled);
  EXPECT_EQ(support::DirNames(dir_), support::Names{"vorlix.cfg"}) << "temporary file left behind";
}
