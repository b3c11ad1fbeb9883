// TLE reader: element sets against python3-sgp4's parser, searches, the
// state-vector record, and malformed input.
#include "engine/tle.h"

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "engine/sgp4slot.h"
#include "orbit/vorlixnum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string ISS1 = "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992";
const std::string ISS2 = "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614";
const std::string JP1 = "1 43013U 17073A   18020.90595486 -.00000036  00000-0  37063-5 0  9990";
const std::string JP2 = "2 43013  98.7126 321.4710 0000893  65.9680 294.1589 14.19549727  9015";
const std::string IR1 = "1 25344U 98032C   18020.80229184  .00000127  00000-0  28016-4 0  9996";
const std::string IR2 = "2 25344  86.4439 111.0246 0002762  87.2025 272.9496 14.49090389 38760";

// line with text written from 1-based column col on.
std::string at(std::string line, int col, const std::string& text) {
  if (line.size() < col - 1 + text.size()) line.resize(col - 1 + text.size(), ' ');
  line.replace(col - 1, text.size(), text);
  return line;
}

std::string set3(const std::string& name, const std::string& l1, const std::string& l2) {
  return name + "\n" + l1 + "\n" + l2 + "\n";
}

// The four lines of a state-vector record after line 1's columns 1-32.
std::string stateRecord(const std::string& name, const std::string& pos, const std::string& vel,
                        const std::string& force) {
  std::string l1 = at(ISS1.substr(0, 32), 34, "    0");
  l1 = at(l1, 40, TLE_STATEMARK);
  l1 = at(l1, 69, "1");
  auto pad = [](const std::string& s, char digit) {
    return s.size() < 68 ? s + std::string(68 - s.size(), ' ') + digit : s;
  };
  return name + "\n" + l1 + "\n" + pad(pos, '2') + "\n" + pad(vel, '3') + "\n" +
         pad(force, '4') + "\n";
}

const std::string POS = "  6.778000000000e+06   0.000000000000e+00   1.000000000000e+03";
const std::string VEL = "  0.000000000000e+00   4.800000000000e+03   5.900000000000e+03";
const std::string FORCE = "  150.0   140.0     3.0   2.20000e+00   1.30000e+00   5.00000e-03";

// A file holding text, positioned at its start.
struct TempFile {
  FILE* f;
  explicit TempFile(const std::string& text) : f(std::tmpfile()) {
    std::fputs(text.c_str(), f);
    std::rewind(f);
  }
  ~TempFile() { std::fclose(f); }
};

struct Reader {
  std::unique_ptr<WinpData> d = std::make_unique<WinpData>();
  char msg[TLEMSG_SIZE];
  Reader() {
    d->dCd = 2.2;
    d->sdp4 = true;  // deep-space terms on, as the start-up default
  }
  void search(const char* text, int mode) {
    std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", text);
    d->srchmd = mode;
  }
  int read(FILE* f, int cont = 0) { return tleread(d.get(), f, msg, cont); }
  std::string name() const { return d->satname[WORKSLOT]; }
  // Every call until nothing more is found: "code:norad:name" per record.
  std::string all(FILE* f) {
    std::string out;
    int res = 0;
    for (int k = 0; k < 20 && (k == 0 || res != 0); ++k) {
      res = read(f, res == 2);
      EXPECT_LT(std::strlen(msg), static_cast<size_t>(TLEMSG_SIZE));
      const char* nm = d->satname[WORKSLOT];
      EXPECT_LT(strnlen(nm, SATNAME_SIZE), static_cast<size_t>(SATNAME_SIZE));
      EXPECT_EQ(std::strcspn(nm, "\r\n"), std::strlen(nm));
      if (res) out += std::to_string(res) + ":" + std::to_string(d->norad[WORKSLOT]) + ":" + nm + " ";
    }
    return out + "0";
  }
};

std::vector<std::string> split(const std::string& line, char sep, size_t maxfields) {
  std::vector<std::string> out;
  size_t p = 0;
  while (out.size() + 1 < maxfields) {
    size_t q = line.find(sep, p);
    if (q == std::string::npos) break;
    out.push_back(line.substr(p, q - p));
    p = q + 1;
  }
  out.push_back(line.substr(p));
  return out;
}

TEST(TleRead, CatalogueAgreesWithSgp4Parser) {
  std::ifstream ref(VORLIX_TEST_DATA "/catalogue-2018-sgp4.csv");
  ASSERT_TRUE(ref.good());
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(ref, line);  // comment
  std::getline(ref, line);  // header
  while (std::getline(ref, line)) rows.push_back(split(line, ',', 19));
  ASSERT_EQ(rows.size(), 979u);

  FILE* f = std::fopen(VORLIX_TEST_DATA "/catalogue-2018.tle", "r");
  ASSERT_NE(f, nullptr);
  Reader r;
  WinpData* d = r.d.get();
  r.search("*", 0);
  const int w = WORKSLOT;
  size_t k = 0;
  int res;
  while ((res = r.read(f)) != 0) {
    ASSERT_LT(k, rows.size());
    const auto& x = rows[k];
    SCOPED_TRACE(x[1]);
    EXPECT_EQ(res, k + 1 < rows.size() ? 2 : 1);
    EXPECT_EQ(d->srchmd, 0);  // '*' searches restore the search kind
    EXPECT_EQ(d->norad[w], std::stoi(x[0]));
    EXPECT_STREQ(d->dsn[w], x[1].c_str());
    EXPECT_NEAR(d->epoch[w] - std::stod(x[2]), std::stod(x[3]), 1e-8);
    EXPECT_NEAR(d->inc[w], std::stod(x[4]), 1e-10);
    EXPECT_NEAR(d->ra[w], std::stod(x[5]), 1e-10);
    EXPECT_NEAR(d->ecc[w], std::stod(x[6]), 1e-15);
    EXPECT_NEAR(d->aper[w], std::stod(x[7]), 1e-10);
    EXPECT_NEAR(d->m0[w], std::stod(x[8]), 1e-10);
    EXPECT_NEAR(d->mnmot[w], std::stod(x[9]), 1e-12);
    EXPECT_NEAR(d->bstar[w], std::stod(x[10]), 1e-15 * std::fabs(std::stod(x[10])));
    EXPECT_NEAR(d->ndot[w], std::stod(x[11]), 1e-15 * std::fabs(std::stod(x[11])));
    EXPECT_NEAR(d->n6dot[w], std::stod(x[12]), 1e-15 * std::fabs(std::stod(x[12])));
    EXPECT_EQ(d->sgpflg[w], x[13] != "9");
    EXPECT_EQ(r.name(), x[18]);
    EXPECT_EQ(d->nmflg[w], 0);
    // The state at epoch is SGP4's, kept in the mean equator of date: brought
    // back to the true equator it differs from SGP4's only by a turn about the
    // pole (to the true equinox).
    {
      int dd, mm, yy;
      double hh;
      caldat(d->epoch[w], dd, mm, yy, hh);
      double eqeq;
      const Mat3 n =
          nutmat(julcent(d->epoch[w] + SetTtUt(d, yy) / 86400.0), eqeq, d->IERSflg);
      const Vec3 rt = mxvct(n, Vec3(d->rx[w], d->ry[w], d->rz[w])) / 1000.0;
      const Vec3 vt = mxvct(n, Vec3(d->vx[w], d->vy[w], d->vz[w])) / 1000.0;
      EXPECT_NEAR(rt.z, std::stod(x[14]), 1e-6);
      EXPECT_NEAR(std::hypot(rt.x, rt.y), std::stod(x[15]), 1e-6);
      EXPECT_NEAR(vt.z, std::stod(x[16]), 1e-9);
      EXPECT_NEAR(std::hypot(vt.x, vt.y), std::stod(x[17]), 1e-9);
    }
    EXPECT_EQ(d->cd[w], 2.2);  // force parameters reset to the defaults
    ++k;
  }
  EXPECT_EQ(k, rows.size());
  EXPECT_STREQ(r.msg, "\n+++ No match found for NORAD# 43131 +++");
  EXPECT_EQ(d->srchmd, 0);
  std::fclose(f);
}

TEST(TleRead, SearchByNumberDesignatorAndName) {
  FILE* f = std::fopen(VORLIX_TEST_DATA "/catalogue-2018.tle", "r");
  ASSERT_NE(f, nullptr);
  Reader r;
  WinpData* d = r.d.get();
  const int w = WORKSLOT;

  r.search("", 1);
  d->norad[w] = 25544;
  EXPECT_EQ(r.read(f), 1);
  EXPECT_EQ(r.name(), "ISS (ZARYA)");
  EXPECT_NEAR(d->inc[w], 51.6424, 1e-12);
  EXPECT_EQ(d->srchmd, 1);
  EXPECT_NE(std::strstr(r.msg, "\nNORAD#\t\t: 25544\nInt.Launch#\t: 1998-067A"), nullptr) << r.msg;
  EXPECT_NE(std::strstr(r.msg, "\n\nRevolution at Epoch: 9561\nRevolutions per day:  15.54190080"),
            nullptr);
  std::rewind(f);
  d->norad[w] = 99999;
  EXPECT_EQ(r.read(f), 0);
  EXPECT_STREQ(r.msg, "\n+++ No match found for NORAD# 99999 +++");

  std::rewind(f);
  r.search("1998-067a", 2);  // case-insensitive prefix of the long form
  EXPECT_EQ(r.read(f), 1);
  EXPECT_EQ(d->norad[w], 25544);
  EXPECT_EQ(d->srchmd, 2);

  // Name search: case-insensitive prefix; every IRIDIUM in turn.
  std::rewind(f);
  r.search("iridium 7", 0);
  std::string got;
  int res = 0;
  do {
    res = r.read(f, res == 2);
    if (res) got += r.name().substr(0, 10) + ";";
    EXPECT_EQ(d->srchmd, 0);
  } while (res == 2);
  EXPECT_EQ(got, "IRIDIUM 73;IRIDIUM 75;IRIDIUM 71;IRIDIUM 76;IRIDIUM 70;IRIDIUM 7 ;IRIDIUM 72;");
  std::rewind(f);
  r.search("", 0);  // an empty search string never matches
  EXPECT_EQ(r.read(f), 0);
  EXPECT_STREQ(r.msg, "\n+++ No match found for  +++");
  std::fclose(f);
}

struct Case {
  const char* what;
  std::string text;
  const char* search;
  int mode;
  const char* expect;  // "code:norad:name " per call, then "0"
};

TEST(TleRead, MalformedInput) {
  const std::string state = stateRecord("STATE", POS, VEL, FORCE);
  const Case cases[] = {
      {"blank file", "", "*", 0, "0"},
      {"blank lines", "\n\n\n", "*", 0, "0"},
      {"blank file by name", "", "ISS", 0, "0"},
      {"truncated set", "ISS\n" + ISS1 + "\n", "*", 0, "0"},
      {"truncated set by name", "ISS\n" + ISS1 + "\n", "ISS", 0, "0"},
      {"truncated set, then a good one",
       "A\n" + at(ISS1, 3, "11111") + "\n" + set3("B", JP1, JP2), "*", 0, "1:43013:B 0"},
      {"name line instead of line 1", "A\nB\n" + JP1 + "\n" + JP2 + "\n", "*", 0, "1:43013:B 0"},
      {"line 2 not starting with '2'", set3("X", ISS1, "3" + ISS2.substr(1)) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"short line 1", set3("X", ISS1.substr(0, 61), ISS2) + set3("Y", JP1, JP2), "*", 0,
       "1:43013:Y 0"},
      {"short line 2", set3("X", ISS1, ISS2.substr(0, 50)) + set3("Y", JP1, JP2), "*", 0,
       "1:43013:Y 0"},
      {"line 1 of 89 characters (read in pieces)",
       set3("X", ISS1 + std::string(20, ' '), ISS2) + set3("Y", JP1, JP2), "*", 0, "1:43013:Y 0"},
      {"name of 100 characters", set3(std::string(100, 'N'), ISS1, ISS2), "*", 0,
       "1:25544:NNNNNNNNNNNNNNNNNNNN 0"},
      {"name of 25 characters", set3("ABCDEFGHIJKLMNOPQRSTUVWXY", ISS1, ISS2), "*", 0,
       "1:25544:ABCDEFGHIJKLMNOPQRST 0"},
      {"name of 25 characters by name", set3("ABCDEFGHIJKLMNOPQRSTUVWXY", ISS1, ISS2), "abcde", 0,
       "1:25544:ABCDEFGHIJKLMNOPQRST 0"},
      {"non-numeric fields", set3("X", at(ISS1, 3, "AB?DE"), at(ISS2, 9, "  abc.de")), "*", 0,
       "1:0:X 0"},
      {"CRLF line ends", "ISS (ZARYA)\r\n" + ISS1 + "\r\n" + ISS2 + "\r\n", "*", 0,
       "1:25544:ISS (ZARYA) 0"},
      {"CRLF by name", "ISS (ZARYA)\r\n" + ISS1 + "\r\n" + ISS2 + "\r\n", "ISS", 0,
       "1:25544:ISS (ZARYA) 0"},
      {"last line without line end", "ISS\n" + ISS1 + "\n" + ISS2, "*", 0, "1:25544:ISS 0"},
      {"state-vector record", state, "*", 0, "1:25544:STATE 0"},
      {"state record, unparsable position",
       stateRecord("S", "  6.778e+06   abc   1.0e+03", VEL, FORCE) + set3("Y", JP1, JP2), "*", 0,
       "1:43013:Y 0"},
      {"state record, zero position",
       stateRecord("S", "  0.0   0.0   0.0", VEL, FORCE) + set3("Y", JP1, JP2), "*", 0,
       "1:43013:Y 0"},
      {"state record, too few fields",
       stateRecord("S", POS, "  1.0 2.0", FORCE) + set3("Y", JP1, JP2), "*", 0, "1:43013:Y 0"},
      {"state record, unparsable force value",
       stateRecord("S", POS, VEL, "  150.0 140.0 3.0 2.2 x1.3 0.005") + set3("Y", JP1, JP2), "*",
       0, "1:43013:Y 0"},
      {"state record cut after the velocity",
       state.substr(0, state.rfind("  150.0")), "*", 0, "0"},
      {"overflowing numbers", set3("X", at(ISS1, 54, "1e300 99"), at(ISS2, 53, "1e300      ")), "*",
       0, "0"},
      {"epoch day out of range", set3("X", at(ISS1, 21, "999999999999"), ISS2), "*", 0, "0"},
      {"negative eccentricity", set3("X", ISS1, at(ISS2, 26, "-1.23456")) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      // Exponent forms in columns of plain decimals: refused, where they were
      // read as any magnitude (a state at epoch of NaN, an infinite height).
      {"open-orbit eccentricity 1.e300, Kepler elements",
       set3("X", at(ISS1, 63, "9"), at(at(ISS2, 26, " 1.e300 "), 53, "     7000.0")) +
           set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"eccentricity 1.e20", set3("X", ISS1, at(ISS2, 26, " 1.e20  ")) + set3("Y", JP1, JP2), "*",
       0, "1:43013:Y 0"},
      {"eccentricity 1.e20 after a form feed",
       set3("X", ISS1, at(ISS2, 26, "\f1.e20  ")) + set3("Y", JP1, JP2), "*", 0, "1:43013:Y 0"},
      {"eccentricity digits 1e-5", set3("X", ISS1, at(ISS2, 27, "1e-5   ")) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"N-dot 1e200, Kepler elements",
       set3("X", at(at(ISS1, 34, "     1e200"), 63, "9"), at(ISS2, 27, "9999999")) +
           set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"inclination 5.16e+1", set3("X", ISS1, at(ISS2, 9, "5.164e+1")) + set3("Y", JP1, JP2), "*",
       0, "1:43013:Y 0"},
      {"mean motion 1.5E1", set3("X", ISS1, at(ISS2, 53, "     1.5E1 ")) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"epoch day 2.0e1", set3("X", at(ISS1, 21, "2.0e1       "), ISS2) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"B* mantissa 1e2", set3("X", at(ISS1, 54, "  1e2 -4"), ISS2) + set3("Y", JP1, JP2), "*",
       0, "1:43013:Y 0"},
      {"revolution number 1e+04", set3("X", ISS1, at(ISS2, 64, "1e+04")) + set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      {"state record, revolution number 1e3",
       stateRecord("S", POS, VEL, FORCE).replace(std::string("S\n").size() + 33, 5, "  1e3") +
           set3("Y", JP1, JP2),
       "*", 0, "1:43013:Y 0"},
      // Letters that are no exponent read as the designator they spell.
      {"designator piece E", set3("X", at(ISS1, 10, "98067E  "), ISS2), "*", 0, "1:25544:X 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile t(c.text);
    Reader r;
    r.search(c.search, c.mode);
    EXPECT_EQ(r.all(t.f), c.expect);
    EXPECT_EQ(r.d->srchmd, c.mode);
  }
}

TEST(TleRead, CrlfReadsLikeLf) {
  TempFile a(set3("ISS", ISS1, ISS2)), b("ISS\r\n" + ISS1 + "\r\n" + ISS2 + "\r\n");
  Reader ra, rb;
  ra.search("*", 0);
  rb.search("*", 0);
  ASSERT_EQ(ra.read(a.f), 1);
  ASSERT_EQ(rb.read(b.f), 1);
  EXPECT_STREQ(ra.msg, rb.msg);
  const int w = WORKSLOT;
  EXPECT_EQ(ra.d->mnmot[w], rb.d->mnmot[w]);
  EXPECT_EQ(ra.d->epoch[w], rb.d->epoch[w]);
}

TEST(TleRead, NameSearchMatchesNameLinesOnly) {
  // A search string "1" matches a name beginning with "1" but never an
  // element line; such a name is no line 1 either.
  const std::string text = set3("1ST SAT", ISS1, ISS2) + set3("OTHER", JP1, JP2) +
                           set3("1ND SAT", IR1, IR2);
  TempFile t(text);
  Reader r;
  r.search("1", 0);
  EXPECT_EQ(r.all(t.f), "2:25544:1ST SAT 1:25344:1ND SAT 0");
  TempFile u(text);
  r.search("2", 0);
  EXPECT_EQ(r.all(u.f), "0");
  EXPECT_STREQ(r.msg, "\n+++ No match found for 2 +++");
}

// Names are read as every text file's names are: a line of valid UTF-8 as
// UTF-8, any other line as Latin-1 (the record's text), each line by itself;
// the 20 characters are counted after the decoding. A name search finds the
// name so read.
TEST(TleRead, NamesAreUtf8OrLatin1) {
  const std::string muenchen = "M\xc3\x9cNCHEN SAT";  // UTF-8
  const std::string umlauts20 =
      "\xc3\x84\xc3\x96\xc3\x9c\xc3\x9f" "ABCDEFGHIJKL" "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\xa9";
  const struct {
    const char* what;
    std::string text;
    const char* search;
    int mode;
    std::string expect;
  } cases[] = {
      {"UTF-8", set3(muenchen, ISS1, ISS2), "*", 0, "1:25544:M\xdcNCHEN SAT 0"},
      {"Latin-1", set3("M\xdcNCHEN SAT", ISS1, ISS2), "*", 0, "1:25544:M\xdcNCHEN SAT 0"},
      {"ASCII, padded to 24", set3("ISS (ZARYA)             ", ISS1, ISS2), "*", 0,
       "1:25544:ISS (ZARYA)          0"},
      {"twenty UTF-8 letters and blanks", set3(umlauts20 + "    ", ISS1, ISS2), "*", 0,
       "1:25544:\xc4\xd6\xdc\xdf" "ABCDEFGHIJKL" "\xe4\xf6\xfc\xe9 0"},
      {"letters beyond Latin-1", set3("\xd0\x97\xd0\x90\xd0\xa0\xd0\xaf 1", ISS1, ISS2), "*",
       0, "1:25544:???? 1 0"},
      {"one file, both encodings", set3(muenchen, ISS1, ISS2) + set3("M\xdcNCHEN 2", JP1, JP2),
       "*", 0, "2:25544:M\xdcNCHEN SAT 1:43013:M\xdcNCHEN 2 0"},
      {"by number", set3(muenchen, ISS1, ISS2), "", 1, "1:25544:M\xdcNCHEN SAT 0"},
      {"name search, UTF-8 names", set3(muenchen, ISS1, ISS2) + set3("M\xc3\x9cNCHEN 2", JP1, JP2),
       "m\xdcnchen", 0, "2:25544:M\xdcNCHEN SAT 1:43013:M\xdcNCHEN 2 0"},
      {"name search by the UTF-8 bytes", set3(muenchen, ISS1, ISS2), "M\xc3\x9cNCHEN", 0,
       "1:25544:M\xdcNCHEN SAT 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile t(c.text);
    Reader r;
    r.search(c.search, c.mode);
    r.d->norad[WORKSLOT] = 25544;
    EXPECT_EQ(r.all(t.f), c.expect);
  }
}

TEST(TleRead, ContinuedSearchDoesNotRenameARejectedSet) {
  // SAT B is refused by the recent-launch filter (revolution 500); the set
  // after it (OTHER) does not match and must not be taken as SAT B.
  const std::string text = set3("SAT A", ISS1, at(ISS2, 64, "    5")) +
                           set3("SAT B", JP1, at(JP2, 64, "  500")) +
                           set3("OTHER", IR1, at(IR2, 64, "    5"));
  TempFile t(text);
  Reader r;
  r.d->recflg = 1;
  r.search("SAT", 0);
  EXPECT_EQ(r.all(t.f), "2:25544:SAT A 0");
}

TEST(TleRead, Alpha5CatalogueNumbers) {
  const struct {
    const char* field;
    int norad;
  } table[] = {{"25544", 25544}, {"    5", 5},      {"00005", 5},      {"A0001", 100001},
               {"A0000", 100000}, {"H9999", 179999}, {"J0000", 180000}, {"P1234", 231234},
               {"Z9999", 339999}, {"I0001", 0},      {"O0001", 0},      {"a0001", 0},
               {"A 001", 0},      {"12 34", 0},      {"     ", 0},      {"-1234", 0}};
  for (const auto& c : table) EXPECT_EQ(tlecatno(c.field), c.norad) << c.field;
  char out[6];
  for (const auto& c : table) {
    if (!c.norad) continue;
    ASSERT_TRUE(tlecatfld(out, c.norad));
    EXPECT_EQ(tlecatno(out), c.norad);
    EXPECT_EQ(std::strlen(out), 5u);
  }
  EXPECT_FALSE(tlecatfld(out, 340000));
  EXPECT_FALSE(tlecatfld(out, -1));

  // Read into norad and found by a number search.
  const std::string text = set3("OLD", ISS1, ISS2) +
                           set3("NEW", at(JP1, 3, "B1234"), at(JP2, 3, "B1234"));
  TempFile t(text);
  Reader r;
  r.search("", 1);
  r.d->norad[WORKSLOT] = 111234;
  EXPECT_EQ(r.read(t.f), 1);
  EXPECT_EQ(r.name(), "NEW");
  EXPECT_NE(std::strstr(r.msg, "NORAD#\t\t:111234"), nullptr);
}

TEST(TleRead, FieldForms) {
  const int w = WORKSLOT;
  Reader r;
  WinpData* d = r.d.get();
  r.search("*", 0);
  auto readOne = [&](const std::string& l1, const std::string& l2) {
    TempFile t(set3("X", l1, l2));
    return r.read(t.f);
  };
  // B* and nddot: signed mantissa 0.NNNNN, signed exponent.
  ASSERT_EQ(readOne(at(ISS1, 45, "-12345-4"), ISS2), 1);
  EXPECT_NEAR(d->n6dot[w], -0.12345e-4, 1e-20);
  ASSERT_EQ(readOne(at(ISS1, 54, " 12345-4"), ISS2), 1);
  EXPECT_NEAR(d->bstar[w], 0.12345e-4, 1e-20);
  ASSERT_EQ(readOne(at(ISS1, 54, " 00000-0"), ISS2), 1);
  EXPECT_EQ(d->bstar[w], 0.0);
  ASSERT_EQ(readOne(at(ISS1, 54, " 12345+1"), ISS2), 1);
  EXPECT_NEAR(d->bstar[w], 1.2345, 1e-14);
  // Epoch years: 56 is 2056, 57 is 1957.
  ASSERT_EQ(readOne(at(ISS1, 19, "56001.50000000"), ISS2), 1);
  EXPECT_DOUBLE_EQ(d->epoch[w], 71998.5);  // 2056-01-01 12h
  ASSERT_EQ(readOne(at(ISS1, 19, "57001.00000000"), ISS2), 1);
  EXPECT_DOUBLE_EQ(d->epoch[w], 35839.0);  // 1957-01-01
  // Ephemeris type '9' selects the Kepler model.
  ASSERT_EQ(readOne(at(ISS1, 63, "9"), ISS2), 1);
  EXPECT_EQ(d->sgpflg[w], 0);
  ASSERT_EQ(readOne(at(ISS1, 63, " "), ISS2), 1);
  EXPECT_EQ(d->sgpflg[w], 1);
  // Eccentricity with its point (e >= 1): the mean-motion field holds q.
  ASSERT_EQ(readOne(ISS1, at(at(ISS2, 26, " 1.23456"), 53, "  7000.0000")), 1);
  EXPECT_DOUBLE_EQ(d->ecc[w], 1.23456);
  EXPECT_DOUBLE_EQ(d->mnmot[w], 7000.0);
  EXPECT_NEAR(d->a[w], 7000.0 / (1.0 - 1.23456), 1e-9);
  EXPECT_NE(std::strstr(r.msg, "Perigee Distance q\t:   7000.000 km"), nullptr) << r.msg;
  ASSERT_EQ(readOne(ISS1, at(ISS2, 27, "0001234")), 1);
  EXPECT_DOUBLE_EQ(d->ecc[w], 0.0001234);
}

TEST(TleRead, TwoLineFilesAndDesignatorNames) {
  const int w = WORKSLOT;
  // By number: the name stays the 20 blanks set by the search.
  TempFile t(ISS1 + "\n" + ISS2 + "\n" + JP1 + "\n" + JP2 + "\n");
  Reader r;
  r.search("", 1);
  r.d->norad[w] = 43013;
  EXPECT_EQ(r.read(t.f), 1);
  EXPECT_EQ(r.name(), std::string(20, ' '));
  // A single blank (or empty) name line is replaced by the designator.
  TempFile u(" \n" + ISS1 + "\n" + ISS2 + "\n");
  r.search("*", 0);
  EXPECT_EQ(r.read(u.f), 1);
  EXPECT_EQ(r.name(), "1998-067A  ");
}

TEST(TleRead, Filters) {
  const int w = WORKSLOT;
  Reader r;
  WinpData* d = r.d.get();
  r.search("*", 0);
  auto count = [&](const std::string& text) {
    TempFile t(text);
    std::string s = r.all(t.f);
    return std::count(s.begin(), s.end(), ':') / 2;
  };
  const std::string leo = set3("LEO", ISS1, ISS2);
  d->lowflg = 1;
  d->curmjd = 58138.9;  // within 7 days of the epoch
  EXPECT_EQ(count(leo), 0);  // 15.5 rev/day is below 16.088
  const std::string low = set3("LOW", ISS1, at(ISS2, 53, "16.10000000"));
  EXPECT_EQ(count(low), 1);
  d->curmjd = 58138.9 + 8.0;  // 8 days old: refused whatever its mean motion
  EXPECT_EQ(count(low), 0);
  d->lowflg = 0;
  d->recflg = 1;
  EXPECT_EQ(count(set3("R", ISS1, at(ISS2, 64, "   99"))), 1);
  EXPECT_EQ(count(set3("R", ISS1, at(ISS2, 64, "  100"))), 0);
  EXPECT_EQ(count(set3("R", ISS1, at(ISS2, 64, "    0"))), 1);
  const std::string geo = at(ISS2, 53, " 1.00270000");
  EXPECT_EQ(count(set3("G", ISS1, at(geo, 64, "    9"))), 1);
  EXPECT_EQ(count(set3("G", ISS1, at(geo, 64, "   10"))), 0);
  d->recflg = 0;
  // Element adjustment: node shifted, Kepler model, epoch moved.
  d->adjflg = true;
  d->adjra = 10.0;
  d->adjtim = 8640.0;
  TempFile t(leo);
  ASSERT_EQ(r.read(t.f), 1);
  EXPECT_NEAR(d->ra[w], 42.9776, 1e-12);
  EXPECT_EQ(d->sgpflg[w], 0);
  EXPECT_EQ(d->ndot[w], 0.0);
  EXPECT_NEAR(d->epoch[w], 58138.89808844 - 0.1, 1e-9);
}

TEST(TleRead, StateVectorRecord) {
  const int w = WORKSLOT;
  TempFile t(stateRecord("STATE", POS, VEL, FORCE));
  Reader r;
  WinpData* d = r.d.get();
  r.search("*", 0);
  ASSERT_EQ(r.read(t.f), 1);
  EXPECT_EQ(d->nmflg[w], 1);
  EXPECT_EQ(d->sgpflg[w], 0);
  EXPECT_EQ(d->rx[w], 6.778e6);
  EXPECT_EQ(d->rz[w], 1.0e3);
  EXPECT_EQ(d->vy[w], 4.8e3);
  EXPECT_EQ(d->ivz[w], 5.9e3);
  EXPECT_EQ(d->tint[w], d->epoch[w]);
  EXPECT_EQ(d->f107[w], 150.0);
  EXPECT_EQ(d->kp[w], 3.0);
  EXPECT_EQ(d->am[w], 5e-3);
  EXPECT_NEAR(d->inc[w], std::atan2(5.9, 4.8) * 180.0 / M_PI, 1e-3);
  EXPECT_GT(d->ecc[w], 0.0);
  EXPECT_LT(d->ecc[w], 0.1);
  EXPECT_NEAR(d->a[w], 6900.0, 300.0);
  EXPECT_NE(std::strstr(r.msg, "\n+++ Numeric Propagation +++"), nullptr);
}

// Space weather of a state record beyond its physical range (Kp 20 for 2.0)
// is taken at the range's end: it would stop the numerical propagation.
TEST(TleRead, StateRecordSpaceWeatherWithinItsRange) {
  const int w = WORKSLOT;
  struct Case {
    const char* force;
    double f107, fb107, kp;
  };
  const Case cases[] = {
      {"  150.0   150.0    20.0   2.20000e+00   1.30000e+00   1.00000e-02", 150, 150, 9},
      {"  150.0   150.0    98.7   2.20000e+00   1.30000e+00   1.00000e-02", 150, 150, 9},
      {" 5000.0  -120.0    -1.0   2.20000e+00   1.30000e+00   1.00000e-02", F107_MAX, 0, 0},
      {"  150.0   140.0     9.0   2.20000e+00   1.30000e+00   1.00000e-02", 150, 140, 9},
  };
  for (const Case& c : cases) {
    TempFile t(stateRecord("STATE SAT", POS, VEL, c.force));
    Reader r;
    r.search("*", 0);
    ASSERT_EQ(r.read(t.f), 1) << c.force;
    EXPECT_EQ(r.d->f107[w], c.f107) << c.force;
    EXPECT_EQ(r.d->fb107[w], c.fb107) << c.force;
    EXPECT_EQ(r.d->kp[w], c.kp) << c.force;
    EXPECT_EQ(r.d->cd[w], 2.2) << c.force;
  }
}

TEST(EpochState, StateIsTheModelAtEpoch) {
  TempFile t(set3("ISS", ISS1, ISS2));
  Reader r;
  WinpData* d = r.d.get();
  const int w = WORKSLOT;
  r.search("*", 0);
  d->rlm = 1;
  ASSERT_EQ(r.read(t.f), 1);
  EXPECT_EQ(d->rlm, 1);
  d->deltv[w] = 5.0;
  d->sgpflg[w] = 0;  // Kepler model: the state follows the slot's elements
  EpochState(d, w, false);
  EXPECT_EQ(d->nmflg[w], 0);
  EXPECT_EQ(d->deltv[w], 5.0);
  const double rn = std::sqrt(d->rx[w] * d->rx[w] + d->ry[w] * d->ry[w] + d->rz[w] * d->rz[w]);
  EXPECT_NEAR(rn / 1000.0, d->a[w], 5.0);  // e = 0.0004
  EpochState(d, w, true);
  EXPECT_EQ(d->deltv[w], 0.0);
  EpochState(d, 12, true);  // out of range: nothing happens
  EpochState(d, -1, true);
}

// Whether a file holds an element set at all, whatever the user's search,
// filters and adjustment: what a downloaded file must hold to replace the
// user's.
TEST(HoldsElementSet, WhatCountsAsElementSets) {
  const struct {
    const char* what;
    std::string text;
    bool holds;
  } cases[] = {
      {"three-line set", set3("ISS (ZARYA)", ISS1, ISS2), true},
      {"two-line set", ISS1 + "\n" + ISS2 + "\n", true},
      {"set after other text", "Element sets of today\n" + set3("JPSS 1", JP1, JP2), true},
      {"state-vector record", stateRecord("ISS", POS, VEL, FORCE), true},
      {"CR LF, no final line end", "ISS\r\n" + ISS1 + "\r\n" + ISS2, true},
      {"empty", "", false},
      {"error page", "<html><body><h1>404 Not Found</h1></body></html>\n", false},
      {"line 1 without its line 2", "ISS\n" + ISS1 + "\n", false},
      {"names only", "ISS (ZARYA)\nJPSS 1\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile t(c.text);
    EXPECT_EQ(HoldsElementSet(t.f), c.holds);
  }
  EXPECT_FALSE(HoldsElementSet(nullptr));
}

// The check leaves the caller's computations alone: the engine's position
// store holds what it held, and the SGP4 record still holds the elements of
// the slot the caller's record says it caches.
TEST(HoldsElementSet, CallersPositionsAndSgp4RecordUnchanged) {
  TempFile mine(set3("ISS", ISS1, ISS2));
  Reader r;
  WinpData* d = r.d.get();
  r.search("*", 0);
  ASSERT_EQ(r.read(mine.f), 1);
  ShiftElm(d, 0, WORKSLOT);
  d->satnr = 1;
  d->prs = 0;
  const double t = d->epoch[0] + 0.3;
  GetSatPos(t, d, satpos, 0, 0);
  ASSERT_EQ(d->sgpsat, 0);
  std::vector<unsigned char> bytes(sizeof(SatPosData));
  std::memcpy(bytes.data(), static_cast<const void*>(satpos), bytes.size());
  const double lat = satpos->lat[0], lng = satpos->lng[0], hgt = satpos->hgt[0];

  TempFile other(set3("IRIDIUM 7", IR1, IR2));
  ASSERT_TRUE(HoldsElementSet(other.f));
  EXPECT_EQ(std::memcmp(bytes.data(), static_cast<const void*>(satpos), bytes.size()), 0);
  EXPECT_EQ(d->sgpsat, 0);
  GetSatPos(t, d, satpos, 0, 0);  // from the cached SGP4 record
  EXPECT_EQ(satpos->lat[0], lat);
  EXPECT_EQ(satpos->lng[0], lng);
  EXPECT_EQ(satpos->hgt[0], hgt);
}

}  // namespace
