// Text page, number texts and the time and angle texts.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include "engine/flares.h"
#include "engine/lists.h"
#include "engine/localinf.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "engine/vorlixcom.h"
#include "support/files.h"
#include "support/passfixture.h"

namespace {

std::string line(const WoutData* o, int k) {
  char buf[WOUT_LINELEN + 1];
  WoutLineCopy(o, k, buf);
  return buf;
}

// A heap buffer of exactly n bytes, so that the sanitizer build catches any
// write past it.
std::unique_ptr<char[]> exact(size_t n) { return std::unique_ptr<char[]>(new char[n]); }

// Switches the process to a comma-decimal locale for one test, as the GUI
// toolkit does with the user's locale.
class CommaLocale : public ::testing::Test {
protected:
  void SetUp() override {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"};
    for (const char* n : names)
      if (std::setlocale(LC_ALL, n)) return;
    GTEST_SKIP() << "no comma-decimal locale installed (package locales-all)";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

}  // namespace

// --- text page --------------------------------------------------------------

TEST(TextPage, PutNxtLnLeavesTheCallersTextAlone) {
  auto o = std::make_unique<WoutData>();
  char geoname[GEONAME_SIZE] = "Paris, France";
  char pass[] = "1,5 (2,3)";
  PutNxtLn(o.get(), geoname);
  PutNxtLnT(o.get(), pass);
  EXPECT_STREQ(geoname, "Paris, France");
  EXPECT_STREQ(pass, "1,5 (2,3)");
  EXPECT_EQ(line(o.get(), 0), "Paris. France");  // the page shows decimal points
  EXPECT_EQ(line(o.get(), 1), "1.5 (2,3)");
  EXPECT_FALSE(WoutLineMarked(o.get(), 0));
  EXPECT_TRUE(WoutLineMarked(o.get(), 1));
  PutNxtLn(o.get(), "literal text only");  // a literal can be passed
  EXPECT_EQ(o->nlines, 3);
}

TEST(TextPage, LongLinesAreCutAndMarkedFullLinesReadSafely) {
  auto o = std::make_unique<WoutData>();
  std::memset(o.get(), 'x', sizeof(WoutData));  // no terminators left over
  o->nlines = 0;
  std::string t80(80, 'A');
  PutNxtLnT(o.get(), t80.c_str());
  PutNxtLn(o.get(), t80.c_str());
  // A 76-character marked line has no terminator: the mark follows the text.
  EXPECT_EQ(o->lines[0][WOUT_MARK], '~');
  EXPECT_EQ(WoutLineLen(o.get(), 0), 76);
  EXPECT_EQ(line(o.get(), 0), std::string(76, 'A'));
  EXPECT_EQ(line(o.get(), 1), std::string(76, 'A'));
  EXPECT_FALSE(WoutLineMarked(o.get(), 1));
  EXPECT_EQ(WoutLineLen(o.get(), 2), 0);  // beyond the lines in use
  EXPECT_EQ(WoutLineLen(o.get(), -1), 0);
}

TEST(TextPage, LinesBeyond160AreDropped) {
  auto o = std::make_unique<WoutData>();
  for (int k = 0; k < 160; ++k) PutNxtLn(o.get(), std::to_string(k).c_str());
  auto before = std::make_unique<WoutData>();
  std::memcpy(before.get(), o.get(), sizeof(WoutData));
  PutNxtLn(o.get(), "161st");
  PutNxtLnT(o.get(), "162nd");
  PutSpace(o.get(), 3);
  EXPECT_EQ(std::memcmp(o.get(), before.get(), sizeof(WoutData)), 0);
  EXPECT_EQ(line(o.get(), 159), "159");
}

// A file name on a line keeps its bytes (a comma stays a comma) and its place
// is marked, within the line's 76 characters; every other line has none.
TEST(TextPage, FileNameLines) {
  struct Case {
    const char* what;
    std::string head, name, tail, line;
    int from, len;
  };
  const std::string utf8 = "/d/Mein Ordner \xc3\xbcmlaut/visual,2009.txt";
  const Case cases[] = {
      {"name alone", "", utf8, "", utf8, 0, static_cast<int>(utf8.size())},
      {"head and tail", " *** Problems, with ", "a,b", ": 1,5 ***",
       " *** Problems. with a,b: 1.5 ***", 20, 3},
      {"name cut by the line end", std::string(70, 'h'), "0123456789", "",
       std::string(70, 'h') + "012345", 70, 6},
      {"name beyond the line end", std::string(80, 'h'), "name", "", std::string(76, 'h'), 0, 0},
      {"empty name", "head ", "", " tail", "head  tail", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto o = std::make_unique<WoutData>();
    PutNxtLn(o.get(), "before");
    PutNxtLnName(o.get(), c.head.c_str(), c.name.c_str(), c.tail.c_str());
    EXPECT_EQ(line(o.get(), 1), c.line);
    int from = -1, len = -1;
    EXPECT_EQ(WoutLineName(o.get(), 1, &from, &len), c.len != 0);
    EXPECT_EQ(from, c.from);
    EXPECT_EQ(len, c.len);
    EXPECT_FALSE(WoutLineName(o.get(), 0, &from, &len));
    // A page written anew over the same line holds no name there.
    o->nlines = 1;
    PutNxtLn(o.get(), "after");
    EXPECT_FALSE(WoutLineName(o.get(), 1, &from, &len));
  }
}

// A head and a file name too long for one line: the name whole on lines of
// its own, broken after a '/' or between characters, each piece marked.
TEST(TextPage, LongFileNameOnLinesOfItsOwn) {
  const std::string head = " *** Iridium Flares ***  written to ";
  struct Case {
    const char* what;
    std::string name;
    std::vector<std::string> lines;  // the name pieces follow one blank
  };
  const std::string x69(69, 'x');
  const Case cases[] = {
      {"fits", "/tmp/iridiumf.doc", {head + "/tmp/iridiumf.doc"}},
      {"broken after a '/'",
       "/home/observer/Sternwarte Z\xc3\xbcrich Beobachtungen/Iridium-Listen 2018/iridiumf.doc",
       {" *** Iridium Flares ***  written to",
        " /home/observer/Sternwarte Z\xc3\xbcrich Beobachtungen/Iridium-Listen 2018/",
        " iridiumf.doc"}},
      {"never inside a character", "/srv/" + x69 + "\xc3\xbc" + std::string(20, 'y') + ".doc",
       {" *** Iridium Flares ***  written to", " /srv/" + x69,
        " \xc3\xbc" + std::string(20, 'y') + ".doc"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto o = std::make_unique<WoutData>();
    o->nlines = 0;
    PutNxtLnsName(o.get(), head.c_str(), c.name.c_str());
    ASSERT_EQ(o->nlines, static_cast<int>(c.lines.size()));
    std::string pieces;
    for (int k = 0; k < o->nlines; ++k) {
      EXPECT_EQ(line(o.get(), k), c.lines[k]);
      int from = 0, len = 0;
      if (WoutLineName(o.get(), k, &from, &len)) pieces += line(o.get(), k).substr(from, len);
    }
    EXPECT_EQ(pieces, c.name);
  }
}

TEST(TextPage, PutSpace) {
  auto o = std::make_unique<WoutData>();
  PutSpace(o.get(), 0);
  PutSpace(o.get(), -3);
  EXPECT_EQ(o->nlines, 0);
  PutSpace(o.get(), 2);
  EXPECT_EQ(o->nlines, 2);
  EXPECT_EQ(line(o.get(), 1), " ");
}

// --- numbers ----------------------------------------------------------------

// Every piece is bounded: the text is cut at the buffer's end (the sanitizer
// build sees any byte beyond it), Add makes the piece's commas points, Put,
// PutN and Fmt keep the text as it is.
TEST(TextBuilder, BoundedPiecesAndDecimalPoints) {
  auto buf = exact(16);
  TextBuf t(buf.get(), 16);
  t.Put("a,b ").Add("%s", "1,5").PutN("xyz", 2).Fmt(" %s", "c,d");
  EXPECT_STREQ(t.Str(), "a,b 1.5xy c,d");
  EXPECT_FALSE(t.Truncated());
  t.Repeat('=', 10);
  EXPECT_EQ(t.Len(), 15u);
  EXPECT_STREQ(t.Str(), "a,b 1.5xy c,d==");
  EXPECT_TRUE(t.Truncated());
  t.Add("%300.1f", 1.0).Put("more");
  EXPECT_EQ(t.Len(), 15u);
  t.Cut(3);
  EXPECT_STREQ(t.Str(), "a,b");

  TextBuf none(nullptr, 8);  // no buffer: nothing written, nothing read
  none.Put("x").Add("%d", 1);
  EXPECT_EQ(none.Len(), 0u);
}

// The page-line printf behaves as PutNxtLn of the formatted text.
TEST(TextPage, PrintfLines) {
  auto o = std::make_unique<WoutData>();
  o->nlines = 0;
  PutNxtLnF(o.get(), " Lat.: %s  (%s)", "1,5", "2,5");
  PutNxtLnTF(o.get(), "%080d", 7);
  EXPECT_EQ(line(o.get(), 0), " Lat.: 1.5  (2,5)");
  EXPECT_FALSE(WoutLineMarked(o.get(), 0));
  EXPECT_EQ(WoutLineLen(o.get(), 1), WOUT_LINELEN);
  EXPECT_TRUE(WoutLineMarked(o.get(), 1));
}

TEST(NumberText, Atof) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"1.5", 1.5},        {"  -12.25\n", -12.25}, {"\t+3.5 ", 3.5},   {"1.5e-3", 1.5e-3},
      {"-2E2", -200.0},    {".5", 0.5},            {"7.", 7.0},        {"42", 42.0},
      {"abc", 0.0},        {"", 0.0},              {"\n", 0.0},        {"-", 0.0},
      {"1,5", 1.0},        {"12.5abc", 12.5},      {"nan", 0.0},       {"inf", 0.0},
      {"1e999", 0.0},      {"+-1", 0.0},           {"0.00001000", 1e-5},
  };
  for (const Case& c : cases) EXPECT_EQ(Atof(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(Atof(nullptr), 0.0);
}

TEST(NumberText, DecdotKeepsParenthesisedCommas) {
  char a[] = "1,5 (2,3)";
  char b[] = "1,5 (2,3)";
  decdot(a);
  decdot0(b);
  EXPECT_STREQ(a, "1.5 (2,3)");
  EXPECT_STREQ(b, "1.5 (2.3)");
}

TEST_F(CommaLocale, AtofAndTextsIgnoreTheLocale) {
  // The trap this guards against: the C library now reads and writes commas.
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5");
  EXPECT_EQ(std::atof("1.5"), 1.0);

  EXPECT_EQ(Atof("1.5"), 1.5);
  EXPECT_EQ(Atof(" 6378.137e-3\n"), 6.378137);
  EXPECT_EQ(Atof("-0.0006"), -0.0006);
  char s[] = "mag  2,5 (12,4)";
  decdot(s);
  EXPECT_STREQ(s, "mag  2.5 (12,4)");

  char out[PRPANG_SIZE];
  prpang(out, 1, -2, 12.3456);
  EXPECT_STREQ(out, "  12h3456");
  prpang(out, 0, 0, 45.678);
  EXPECT_STREQ(out, "  45.68");

  auto o = std::make_unique<WoutData>();
  char n[32];
  std::snprintf(n, sizeof n, "%8.3f", 51.6428);
  PutNxtLn(o.get(), n);
  EXPECT_EQ(line(o.get(), 0), "  51.643");

  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::fputs("0.5 -1.25e2\n", f);
  std::rewind(f);
  double v[2];
  EXPECT_EQ(Fscanf(f, 2, v), 1);
  EXPECT_EQ(v[0], 0.5);
  EXPECT_EQ(v[1], -125.0);
  std::fclose(f);
}

TEST(NumberText, Fscanf) {
  struct Case {
    const char* text;  // one line
    int n;
    int ret;
    std::vector<double> values;  // values stored
  } cases[] = {
      {"1.5 \n", 2, 1, {1.5, 0.0}},         // the line end is a field of value 0
      {"1.5\n", 2, 0, {1.5}},               // fewer fields: stored, but 0
      {"\n", 1, 1, {0.0}},                  // a bare line feed is one field
      {"  3 4   5\n", 3, 1, {3, 4, 5}},     // runs of blanks separate
      {"1 2 3 4\n", 2, 1, {1, 2}},          // extra fields are left unread
      {"7\t8\n", 2, 0, {7}},                // only the blank separates
      {"", 1, 0, {}},                       // end of file
      {"9\n", 0, 1, {}},                    // n < 1: line read, 1
  };
  for (const Case& c : cases) {
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fputs(c.text, f);
    std::rewind(f);
    double v[4] = {-99, -99, -99, -99};
    EXPECT_EQ(Fscanf(f, c.n, v), c.ret) << '"' << c.text << '"';
    for (size_t k = 0; k < c.values.size(); ++k) EXPECT_EQ(v[k], c.values[k]) << c.text;
    if (c.values.size() < 4) {
      EXPECT_EQ(v[c.values.size()], -99) << c.text;
    }
    std::fclose(f);
  }
}

TEST(NumberText, FscanfSplitsLinesLongerThan79) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::string l(78, ' ');
  l += "12345 67\n";  // columns 79 onwards spill into a second read
  std::fputs(l.c_str(), f);
  std::fputs("8\n", f);
  std::rewind(f);
  double v[2];
  EXPECT_EQ(Fscanf(f, 1, v), 1);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(Fscanf(f, 2, v), 1);
  EXPECT_EQ(v[0], 2345.0);
  EXPECT_EQ(v[1], 67.0);
  EXPECT_EQ(Fscanf(f, 1, v), 1);
  EXPECT_EQ(v[0], 8.0);
  EXPECT_EQ(Fscanf(f, 1, v), 0);
  std::fclose(f);
}

// --- compare and words ------------------------------------------------------

TEST(TextHelpers, Strncmpi) {
  EXPECT_EQ(Strncmpi("ISS", "iss (zarya)", 3), 0);
  EXPECT_EQ(Strncmpi("ab", "ab", 5), 0);
  EXPECT_EQ(Strncmpi("AB", "ab", 5), 0);
  EXPECT_EQ(Strncmpi("ab", "abc", 5), 1);
  EXPECT_EQ(Strncmpi("ab", "ab", 0), 1);
  EXPECT_EQ(Strncmpi("", "", 3), 1);
  EXPECT_EQ(Strncmpi("NOAA 15", "noaa 18", 6), 0);
  EXPECT_EQ(Strncmpi("NOAA 15", "noaa 18", 7), 1);
}

TEST(TextHelpers, GetMonth) {
  char m[MONTH_SIZE];
  GetMonth(1, m);
  EXPECT_STREQ(m, "JAN");
  GetMonth(12, m);
  EXPECT_STREQ(m, "DEC");
  GetMonth(13, m);
  EXPECT_STREQ(m, "ERR");
  GetMonth(0, m);
  EXPECT_STREQ(m, "ERR");
}

TEST(TextHelpers, FixedColumnCopies) {
  const char* l1 = "1 25544U 98067A   09006.52567200";
  char dst[16];
  tlecpy(dst, l1, 3, 5);
  EXPECT_STREQ(dst, "25544");
  tlecpy(dst, l1, 19, 14);
  EXPECT_STREQ(dst, "09006.52567200");
  tlecpy(dst, "short", 3, 10);  // stops at the end of the line
  EXPECT_STREQ(dst, "ort");
  tlecpy(dst, "short", 9, 4);
  EXPECT_STREQ(dst, "");

  char l[] = "1 00000U 00000A  ";
  chcpy(l, "25544", 2, 5);
  EXPECT_STREQ(l, "1 25544U 00000A  ");
  chcpy(l, "98", 9, 6);  // a shorter source is padded with blanks
  EXPECT_STREQ(l, "1 25544U 98      ");
}

// --- time and angle texts ---------------------------------------------------

TEST(TimeText, Aosstr) {
  struct Case {
    int day, month, h, m;
    double s;
    double az, el;
    int timeonly;
    const char* text;
  } cases[] = {
      {5, 1, 12, 34, 56.2, 123.4, 45.6, 0, "JAN  5  12:34:56 (123, 46)"},
      {5, 1, 12, 34, 56.2, 123.4, 45.6, 1, "  12:34:56 (123, 46)"},
      {5, 1, 3, 4, 5.0, 7.0, 10.0, 0, "JAN  5   3:04:05 (  7, 10)"},
      {5, 1, 12, 34, 59.6, 0.0, 0.0, 1, "  12:35:00 (  0,  0)"},
      {5, 1, 12, 59, 59.6, 0.0, 0.0, 1, "  13:00:00 (  0,  0)"},
      // The last half second of a day is the next day's midnight.
      {5, 1, 23, 59, 59.6, 0.0, 0.0, 0, "JAN  6   0:00:00 (  0,  0)"},
      {5, 1, 23, 59, 59.6, 0.0, 0.0, 1, "   0:00:00 (  0,  0)"},
      {31, 1, 23, 59, 59.6, 0.0, 0.0, 0, "FEB  1   0:00:00 (  0,  0)"},
      {31, 12, 23, 59, 59.6, 0.0, 0.0, 0, "JAN  1   0:00:00 (  0,  0)"},
      {31, 12, 23, 59, 59.4, 0.0, 0.0, 0, "DEC 31  23:59:59 (  0,  0)"},
      {5, 1, 6, 0, 0.0, -180.0, -45.0, 0, "JAN  5   6:00:00 (-180,-45)"},  // relative mode
  };
  for (const Case& c : cases) {
    double t = mjd(c.day, c.month, 2009, c.h + c.m / 60.0 + c.s / 3600.0);
    auto out = exact(AOSSTR_SIZE);
    aosstr(t, c.az, c.el, out.get(), c.timeonly);
    EXPECT_STREQ(out.get(), c.text);
  }
  double t = mjd(5, 1, 2009, 12.0);
  auto out = exact(AOSSTR_SIZE);
  aosstr(t, 0, 0, out.get(), 0);
  EXPECT_EQ(std::strlen(out.get()), 26u);
  EXPECT_EQ(out[10], ':');
  EXPECT_EQ(out[13], ':');
}

// The angles as printf's "%3.0f" writes them: ties to even, "-0" for a
// value that rounds to zero from below, the widths of three-digit values.
TEST(TimeText, AosstrAnglesAsPrintf) {
  const double t = mjd(5, 1, 2009, 12.0);
  const double xs[] = {0.0,   -0.0,  0.5,    1.5,    2.5,    -0.5,  -0.3,   -1.5, 9.5,
                       99.5,  -9.5,  -99.5,  359.6,  359.4,  -90.0, 999.4,  -999.4,
                       998.5, 12.49999999999, nextafter(0.5, 1.0), nextafter(-0.5, -1.0),
                       999.5, -1000.0, 1e6};
  for (double az : xs) {
    for (double el : {az, -az, 45.0}) {
      auto out = exact(AOSSTR_SIZE);
      aosstr(t, az, el, out.get(), 1);
      char want[64];
      std::snprintf(want, sizeof want, "  12:00:00 (%3.0f,%3.0f)", az, el);
      want[AOSSTR_SIZE - 1] = '\0';
      EXPECT_STREQ(out.get(), want) << az << " " << el;
    }
  }
}

TEST(TimeText, NoTextHelperWritesPastItsBuffer) {
  double t = mjd(5, 1, 2009, 12.0);
  const double wild[] = {1e300, -1e300, NAN, INFINITY, -2147483648.0};
  for (double x : wild) {
    auto a = exact(AOSSTR_SIZE);
    aosstr(t, x, -x, a.get(), 0);
    EXPECT_LT(std::strlen(a.get()), static_cast<size_t>(AOSSTR_SIZE));
    for (int mode : {0, 1, -1, -2}) {
      for (int wide : {0, 1}) {
        auto p = exact(PRPANG_SIZE);
        prpang(p.get(), wide, mode, x);
        EXPECT_LT(std::strlen(p.get()), static_cast<size_t>(PRPANG_SIZE));
      }
    }
  }
  auto m = exact(MONTH_SIZE);
  GetMonth(-5, m.get());
  auto dm = exact(DTMSTR_SIZE);
  dtmstr(mjd(31, 12, 99999, 23.99), dm.get());
  EXPECT_LT(std::strlen(dm.get()), static_cast<size_t>(DTMSTR_SIZE));
}

TEST(TimeText, Dtmstr) {
  char out[DTMSTR_SIZE];
  dtmstr(mjd(5, 3, 2011, 14 + 3 / 60.0 + 29 / 3600.0), out);
  EXPECT_STREQ(out, "MAR  5 14:03");
  dtmstr(mjd(5, 3, 2011, 14 + 3 / 60.0 + 31 / 3600.0), out);
  EXPECT_STREQ(out, "MAR  5 14:04");
  dtmstr(mjd(5, 3, 2011, 9 + 59 / 60.0 + 45 / 3600.0), out);
  EXPECT_STREQ(out, "MAR  5 10:00");
  EXPECT_EQ(std::strlen(out), 12u);
}

TEST(AngleText, Prpang) {
  char out[PRPANG_SIZE];
  const std::string deg(1, static_cast<char>(176));
  prpang(out, 1, -2, 12.3456);
  EXPECT_STREQ(out, "  12h3456");
  prpang(out, 0, 0, 45.678);
  EXPECT_STREQ(out, "  45.68");
  prpang(out, 1, 0, -45.678);
  EXPECT_STREQ(out, "  -45.678");
  prpang(out, 1, -1, -5.3012);
  EXPECT_EQ(std::string(out), "  -5" + deg + "3012");
  prpang(out, 1, 1, 12.5);  // decimal degrees shown packed
  EXPECT_EQ(std::string(out), "  12" + deg + "3000");
  prpang(out, 0, 1, 12.5);  // narrow: 0.002 away from zero, two decimals
  EXPECT_EQ(std::string(out), "  12" + deg + "30");
}

// Minutes (and seconds) that round up to 60 carry into the next field, in
// both directions of the sign; every other value keeps the digits it rounds to.
TEST(AngleText, RoundedMinutesCarry) {
  const std::string deg(1, static_cast<char>(176));
  struct K {
    int wide, mode;
    double x;
    std::string want;
  } cases[] = {
      {0, -1, -10.5959, "-11" + deg + "00"},
      {0, -1, 27.5935, " 28" + deg + "00"},
      {0, -1, 27.5929, " 27" + deg + "59"},
      {0, -1, -0.5945, " -1" + deg + "00"},
      {0, -2, 23.5959, "   0h00"},
      {0, 1, 27.996, " 28" + deg + "00"},     // decimal degrees shown packed
      {0, 0, 27.599, "  27.60"},              // decimal degrees: no minutes
      {1, -1, 12.5960, "  13" + deg + "0000"},
      {1, -2, 7.0060, "   7h0100"},
      {1, -1, -12.3456, " -12" + deg + "3456"},
  };
  for (const K& k : cases) {
    char out[PRPANG_SIZE];
    prpang(out, k.wide, k.mode, k.x);
    std::string got(out);
    // The narrow form is seven characters wide, the wide one nine.
    EXPECT_EQ(got.size(), k.wide ? 9u : 7u) << k.x;
    EXPECT_EQ(got.substr(got.size() - k.want.size()), k.want) << k.x;
  }
  EXPECT_DOUBLE_EQ(CarryPacked(10.5961, 2), 11.0);
  EXPECT_DOUBLE_EQ(CarryPacked(-10.5949, 2), -10.5949);  // "10.59" stays
  EXPECT_DOUBLE_EQ(CarryPacked(10.5959, 4), 10.5959);
  EXPECT_NEAR(CarryPacked(10.0960, 4), 10.1, 1e-12);
  EXPECT_TRUE(std::isnan(CarryPacked(NAN, 2)));
}

namespace {

// The R.A. field of a text: the second number from its end.
double raField(const std::string& s) {
  std::vector<std::string> w;
  size_t k = 0;
  while ((k = s.find_first_not_of(" \n", k)) != std::string::npos) {
    const size_t e = s.find_first_of(" \n", k);
    w.push_back(s.substr(k, e - k));
    k = e;
  }
  return w.size() >= 2 ? std::atof(w[w.size() - 2].c_str()) : NAN;
}

}  // namespace

// Right ascension goes round at 24 h: a time or direction whose R.A. rounds
// up to 24 h reads 0 h in every text that shows it. Declination and the
// other angles carry on as numbers.
TEST(AngleText, RightAscensionWrapsAt24Hours) {
  const double lastSecond = DegFDms(23.9999);  // 23h59m59.64s
  const std::string deg(1, static_cast<char>(176));
  char out[PRPANG_SIZE];
  const struct {
    int wide, mode;
    std::string want;
  } panel[] = {
      {0, -2, "   0h00"}, {1, -2, "   0h0000"}, {0, -1, "  24" + deg + "00"}, {1, -1, "  24" + deg + "0000"},
  };
  for (const auto& r : panel) {
    prpang(out, r.wide, r.mode, lastSecond);
    EXPECT_EQ(std::string(out), r.want) << r.wide << " " << r.mode;
  }
  {
    auto d = passfix::MakeRecord(48.1, 11.6, 500.0);
    d->skymap = 1;
    d->satnr = 0;
    d->el1 = 30.0;
    d->az2 = lastSecond;
    d->el2 = DegFDms(23.9999);
    std::vector<char> text(LOCALINF_SIZE);
    LocalInf(d.get(), text.data());
    EXPECT_NE(std::string(text.data()).find(" R.A.(HH.MM):    0.00,    Decl.(DD.MM):   24.00"),
              std::string::npos)
        << text.data();
  }

  // Pass details and the pole of a geostationary satellite: their R.A. runs
  // through 24 h once a day. Every sample round the turn stays below 24 and
  // the turn itself reads 0.
  auto d = passfix::SlotRecord("GOES 16", 38.90, -77.04, 50.0);
  d->satel = -90.0;
  d->tzone = 0.0;
  d->tstep = 0.1 / 86400.0;
  d->npass = 1;
  d->ipass = 0;
  const auto details = [&d](double t) {
    d->pastm[0] = t;
    double tt = 0.0;
    char buf[PASSDTXT_SIZE];
    EXPECT_EQ(GetPassDTxt(d.get(), tt, buf, 0), 1);
    return raField(buf);
  };
  const auto pole = [&d](double t) {
    d->tmxel = t;
    char buf[POLETXT_SIZE];
    GetPoleTxt(d.get(), buf);
    return raField(buf);
  };
  const struct {
    const char* what;
    int ra4d;
    std::function<double(double)> ra;
  } rows[] = {
      {"pass details, narrow", 0, details},
      {"pass details, wide", 1, details},
      {"pole, narrow", 0, pole},
      {"pole, wide", 1, pole},
  };
  const double t0 = mjd(21, 1, 2018, 0.0);
  for (const auto& r : rows) {
    d->ra4d = r.ra4d;
    // The turn: the R.A. drops from the evening of the circle to its morning.
    double a = t0, b = t0;
    for (double t = t0; t < t0 + 1.1; t += 0.01) {
      if (r.ra(t) >= 12.0 && r.ra(t + 0.01) < 12.0) {
        a = t;
        b = t + 0.01;
        break;
      }
    }
    ASSERT_LT(a, b) << r.what;
    while (b - a > 0.05 / 86400.0) {
      const double m = 0.5 * (a + b);
      (r.ra(m) >= 12.0 ? a : b) = m;
    }
    bool turned = false;
    for (int k = -30; k <= 30; ++k) {
      const double v = r.ra(a + k * 0.1 / 86400.0);
      EXPECT_LT(v, 24.0) << r.what << " " << k;
      turned = turned || v == 0.0;
    }
    EXPECT_TRUE(turned) << r.what;
  }
}

TEST(AngleText, PackedEdgeValues) {
  EXPECT_DOUBLE_EQ(DegFDms(12.999999), 13.0);
  EXPECT_DOUBLE_EQ(DegFDms(-0.5), -0.3);
  EXPECT_DOUBLE_EQ(DegFDms(12.5), 12.3);
  EXPECT_NEAR(DegFDms(12 + 34 / 60.0 + 56.7 / 3600.0), 12.34567, 1e-12);
  EXPECT_NEAR(DmsDegF(12.3), 12.5, 1e-12);
  EXPECT_NEAR(DmsDegF(12.3456), 12 + 34 / 60.0 + 56 / 3600.0, 1e-12);
  EXPECT_NEAR(DmsDegF(-0.0030), -30.0 / 3600.0, 1e-15);
  EXPECT_DOUBLE_EQ(hdfdms(12.5), 12.3);
  EXPECT_DOUBLE_EQ(hdfdms(-12 - 34.6 / 60.0), -12.35);
  EXPECT_DOUBLE_EQ(hdfdms(59.999), 60.0);
}

TEST(AngleText, PackedRoundTrips) {
  std::mt19937_64 rng(20090106);
  std::uniform_real_distribution<double> any(-400.0, 400.0);
  int checked = 0;
  for (int k = 0; k < 20000; ++k) {
    double x = any(rng);
    int d, m;
    double s;
    dms(std::fabs(x), d, m, s);
    if (s >= 59.5) continue;  // rounded up to the next minute by design
    double p = DegFDms(x);
    // Independent packing: degrees + minutes/100 + seconds/10000.
    double ax = std::fabs(x), mm = (ax - std::trunc(ax)) * 60.0;
    double expect = std::trunc(ax) + std::trunc(mm) / 100.0 + (mm - std::trunc(mm)) * 60.0 / 10000.0;
    ASSERT_NEAR(p, x < 0 ? -expect : expect, 1e-11) << x;
    ASSERT_NEAR(DmsDegF(p), x, 1e-9) << x;
    ++checked;
  }
  EXPECT_GT(checked, 19000);
  // Packed values with whole seconds come back exactly as packed.
  for (int d = 0; d < 360; d += 7)
    for (int m = 0; m < 60; m += 11)
      for (int s = 0; s < 60; s += 13) {
        double p = d + m / 100.0 + s / 10000.0;
        ASSERT_NEAR(DegFDms(DmsDegF(p)), p, 1e-12) << p;
        ASSERT_NEAR(DegFDms(DmsDegF(-p)), -p, 1e-12) << p;
      }
}

// The record's texts are Latin-1, the save file is UTF-8: a place or
// satellite name with a letter beyond ASCII reaches the file in UTF-8, a file
// name on a page line as the file system spells it, and a page of ASCII
// alone byte for byte as the window shows it.
TEST(SaveFileText, RecordTextsInUtf8) {
  const support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const passfix::Tle iss = passfix::ReadTles("passes.tle").at("ISS (ZARYA)");
  const std::string latinName = "ISS M\xfcNCHEN", utfName = "ISS M\xc3\xbcNCHEN";
  const std::string tle = dir / "named.tle";
  writeFile(tle, latinName + "\n" + iss.l1 + "\n" + iss.l2 + "\n");

  // The page line helper: Latin-1 converted, the file name left alone.
  {
    WoutData o{};
    PutNxtLn(&o, "ASCII only (1,5)");
    PutNxtLnName(&o, "M\xfcnchen: ", "/tmp/d\xfc.txt", " \xb0");
    EXPECT_EQ(WoutLineUtf8(&o, 0), "ASCII only (1,5)");
    EXPECT_EQ(WoutLineUtf8(&o, 1), "M\xc3\xbcnchen: /tmp/d\xfc.txt \xc2\xb0");
    EXPECT_EQ(WoutLineUtf8(&o, 2), "");
    EXPECT_EQ(Latin1ToUtf8("\xfc\xe9z", 2), "\xc3\xbc\xc3\xa9");
    EXPECT_EQ(Utf8ToLatin1("M\xc3\xbcnchen \xc5\x81\xc3\xb3" "d\xc5\xba"), "M\xfcnchen ?\xf3" "d?");
    EXPECT_EQ(Utf8ToLatin1("M\xfcnchen"), "M\xfcnchen");  // not UTF-8: as it is
  }

  // The pass list saved from the page: the place name in UTF-8, the page
  // still in Latin-1; with an ASCII name the file holds the page as it is.
  for (const char* place : {"M\xfcnchen", "Munich"}) {
    auto d = passfix::SlotRecord("ISS (ZARYA)", 48.15, 11.58, 520.0);
    std::snprintf(d->geoname, GEONAME_SIZE, "%s", place);
    d->day = 21;
    d->month = 1;
    d->year = 2018;
    d->filsav = 1;
    d->svnew = 1;
    const std::string save = dir / "passes.txt";
    std::snprintf(d->savnm, FILENAME_SIZE, "%s", save.c_str());
    auto o = std::make_unique<WoutData>();
    ASSERT_EQ(aospass(d.get(), o.get()), AOS_DONE);
    ASSERT_GT(d->npass, 0);
    std::string page = "\n\n\n";
    for (int k = 0; k < o->nlines; ++k) page += line(o.get(), k) + "\n";
    const std::string file = readFile(save);
    if (place[1] == '\xfc') {
      EXPECT_NE(page.find(" Geographic Location: M\xfcnchen\n"), std::string::npos);
      EXPECT_NE(file.find(" Geographic Location: M\xc3\xbcnchen\n"), std::string::npos);
      EXPECT_EQ(file.find("M\xfcn"), std::string::npos);
    } else {
      EXPECT_EQ(file, page);
    }
  }

  // The all-satellite list: its place header and the satellite's name.
  {
    auto d = passfix::MakeRecord(48.15, 11.58, 520.0);
    std::snprintf(d->geoname, GEONAME_SIZE, "%s", "M\xfcnchen");
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", tle.c_str());
    const std::string save = dir / "all.txt";
    std::snprintf(d->savnm, FILENAME_SIZE, "%s", save.c_str());
    d->day = 21;
    d->month = 1;
    d->year = 2018;
    d->svnew = 1;
    d->satnr = 0;
    ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
    const std::string file = readFile(save);
    EXPECT_EQ(file.rfind("Geographic Location: M\xc3\xbcnchen\n", 0), 0u) << file.substr(0, 40);
    EXPECT_NE(file.find(")   " + utfName + "\n"), std::string::npos) << file;
    EXPECT_EQ(file.find(latinName), std::string::npos);
  }

  // The Iridium page reads the flare list's UTF-8 names back in Latin-1 and
  // loads the satellite by that name.
  {
    const std::string save = dir / "flares.doc";
    writeFile(save, "Geographic Location: M\xc3\xbcnchen\n"
                    "JAN 21   6:12:13 (100, 30)  Iridium Flare  Front  ->N  mag  -2.1   " +
                        utfName + "\n");
    auto d = passfix::MakeRecord(48.15, 11.58, 520.0);
    std::snprintf(d->savnm, FILENAME_SIZE, "%s", save.c_str());
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", tle.c_str());
    d->year = 2018;
    d->satnr = 0;
    auto o = std::make_unique<WoutData>();
    Iriddspy(d.get(), o.get());
    bool shown = false;
    for (int k = 0; k < o->nlines; ++k)
      shown = shown || line(o.get(), k) == "JAN 21   6:12:13 (100, 30)    Front  ->N  mag  -2.1   " +
                                                 latinName;
    EXPECT_TRUE(shown);
    ASSERT_EQ(d->satnr, 1);
    EXPECT_EQ(std::string(d->satname[0]), latinName);
  }
}

// The decoder of every text the program reads: a row of good characters
// beside each way a sequence is refused. A refused sequence makes the whole
// text Latin-1, byte for byte; both readers answer alike. bytes gives how
// many bytes the line reader is handed, so that a sequence cut there with
// its continuation right behind shows whether the cut is seen.
TEST(Utf8Text, RefusedSequencesAndTheirGoodNeighbours) {
  const struct {
    const char* what;
    const char* text;
    size_t bytes;
    const char* latin1;
  } table[] = {
      {"ASCII", "A\x7f", 2, "A\x7f"},
      {"least two-byte", "\xc2\x80", 2, "\x80"},
      {"e acute", "\xc3\xa9", 2, "\xe9"},
      {"overlong two-byte", "\xc0\xaf", 2, "\xc0\xaf"},
      {"least three-byte", "\xe0\xa0\x80", 3, "?"},
      {"overlong three-byte", "\xe0\x80\xaf", 3, "\xe0\x80\xaf"},
      {"last before the surrogates", "\xed\x9f\xbf", 3, "?"},
      {"first surrogate", "\xed\xa0\x80", 3, "\xed\xa0\x80"},
      {"last surrogate", "\xed\xbf\xbf", 3, "\xed\xbf\xbf"},
      {"first after the surrogates", "\xee\x80\x80", 3, "?"},
      {"least four-byte", "\xf0\x90\x80\x80", 4, "?"},
      {"overlong four-byte", "\xf0\x8f\xbf\xbf", 4, "\xf0\x8f\xbf\xbf"},
      {"last character", "\xf4\x8f\xbf\xbf", 4, "?"},
      {"beyond the last character", "\xf4\x90\x80\x80", 4, "\xf4\x90\x80\x80"},
      {"cut at the end", "A\xc3", 2, "A\xc3"},
      {"cut, continuation beyond the text", "A\xc3\xa9", 2, "A\xc3"},
      {"no continuation", "\xc3(", 2, "\xc3("},
      {"continuation bytes alone", "\xa9\xa9", 2, "\xa9\xa9"},
      {"five-byte form", "\xfb\xbf\xbf\xbf", 4, "\xfb\xbf\xbf\xbf"},
      {"one bad sequence in good text", "\xc3\xa9 \xc0\xaf", 5, "\xc3\xa9 \xc0\xaf"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.what);
    const std::string text(c.text, c.bytes);
    EXPECT_EQ(Utf8ToLatin1(text), c.latin1);
    char out[32];
    const int n = TextLineToLatin1(out, sizeof out, c.text, c.bytes);
    EXPECT_EQ(std::string(out, static_cast<size_t>(n)), c.latin1);
  }
}
