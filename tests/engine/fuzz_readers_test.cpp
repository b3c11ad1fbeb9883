// Bounded, deterministic fuzzing of the engine's readers: each valid fixture
// is cut at every offset and mutated by a fixed-seed series of byte flips,
// NUL bytes, overlong lines, CR/LF mixes, empty lines and number texts that
// do not parse ("nan", huge values). Whatever the input, a reader returns one
// of its documented codes, leaves every text it fills terminated inside its
// field, and never stores a non-finite value in a slot it accepted. Overruns
// are caught by the sanitizer build. The element sets that found reader gaps
// are kept as a fixture of their own, with the stronger oracles they need.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/config.h"
#include "engine/numparse.h"
#include "engine/flares.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "engine/sortaos.h"
#include "engine/tle.h"
#include "engine/vorlixcom.h"
#include "support/files.h"

namespace {

// ---------------------------------------------------------------------------
// Mutations
// ---------------------------------------------------------------------------

// A fixed linear congruential generator: the same series on every platform
// (the standard distributions are not portable).
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed) {}
  uint32_t next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(s >> 33);
  }
  size_t below(size_t n) { return n ? next() % n : 0; }
};

// Texts that replace a field: numbers that do not parse or do not fit.
const char* const kBadTokens[] = {"nan", "-nan", "inf", "-inf", "1e999", "-1e999",
                                  "99999999999999999999", "0x1p3", "+-1", "1,5", "", "-",
                                  ".", "e5", "1e-400", "NaN(1)", "1.#INF", "2147483648"};

std::string Mutate(const std::string& base, Rng& r) {
  std::string s = base;
  const int count = 1 + static_cast<int>(r.below(3));
  for (int m = 0; m < count; ++m) {
    const size_t pos = r.below(s.size() + 1);
    switch (r.below(9)) {
      case 0:  // any byte
        if (!s.empty()) s[std::min(pos, s.size() - 1)] = static_cast<char>(r.below(256));
        break;
      case 1:  // NUL byte
        s.insert(pos, 1, '\0');
        break;
      case 2: {  // line ends: CR LF, lone CR, or none
        size_t nl = s.find('\n', pos);
        if (nl == std::string::npos) break;
        const char* const ends[] = {"\r\n", "\r", "", "\n\r", "\r\r\n"};
        s.replace(nl, 1, ends[r.below(5)]);
        break;
      }
      case 3: {  // an overlong line
        const char fill[] = "X1 .-9e";
        s.insert(pos, 60 + r.below(400), fill[r.below(sizeof fill - 1)]);
        break;
      }
      case 4: {  // a field replaced by a bad number text
        size_t b = s.find_first_not_of(" \n", pos);
        if (b == std::string::npos) break;
        size_t e = s.find_first_of(" \n", b);
        if (e == std::string::npos) e = s.size();
        s.replace(b, e - b, kBadTokens[r.below(sizeof kBadTokens / sizeof *kBadTokens)]);
        break;
      }
      case 5:  // empty lines
        s.insert(pos, r.below(2) ? "\n" : "\n\n\r\n");
        break;
      case 6: {  // a line removed
        size_t b = s.rfind('\n', pos == 0 ? 0 : pos - 1);
        b = b == std::string::npos ? 0 : b + 1;
        size_t e = s.find('\n', b);
        s.erase(b, e == std::string::npos ? std::string::npos : e - b + 1);
        break;
      }
      case 7: {  // a line doubled
        size_t b = s.rfind('\n', pos == 0 ? 0 : pos - 1);
        b = b == std::string::npos ? 0 : b + 1;
        size_t e = s.find('\n', b);
        e = e == std::string::npos ? s.size() : e + 1;
        s.insert(e, s.substr(b, e - b));
        break;
      }
      default:  // cut
        s.resize(pos);
        break;
    }
  }
  return s;
}

// Every prefix of base, then `random` mutants of it.
std::vector<std::string> Cases(const std::string& base, uint64_t seed, int random) {
  std::vector<std::string> out;
  for (size_t k = 0; k <= base.size(); ++k) out.push_back(base.substr(0, k));
  Rng r(seed);
  for (int k = 0; k < random; ++k) out.push_back(Mutate(base, r));
  return out;
}

// ---------------------------------------------------------------------------
// Files and records
// ---------------------------------------------------------------------------

using support::TempDir;

// A read-only stream over text (NUL bytes included).
FILE* OpenText(std::string& text) {
  if (text.empty()) return std::tmpfile();
  return fmemopen(&text[0], text.size(), "r");
}

// A record with every start value, as the program has it after start-up.
std::unique_ptr<WinpData> StartRecord() {
  auto d = std::make_unique<WinpData>();
  std::memset(d.get(), 0, sizeof(WinpData));
  auto o = std::make_unique<WoutData>();
  std::memset(o.get(), 0, sizeof(WoutData));
  swelcm(d.get(), o.get(), "/nonexistent/vorlix.cfg");
  return d;
}

bool Terminated(const char* s, size_t size) { return strnlen(s, size) < size; }

// The slot's values that the reader accepted are all finite.
void ExpectFiniteSlot(const WinpData* d, int w, const std::string& input) {
  const double v[] = {d->epoch[w], d->inc[w], d->ra[w],   d->ecc[w],   d->aper[w],
                      d->m0[w],    d->mnmot[w], d->ndot[w], d->n6dot[w], d->bstar[w],
                      d->a[w],     d->adot[w],  d->rx[w],   d->ry[w],    d->rz[w],
                      d->vx[w],    d->vy[w],    d->vz[w],   d->f107[w],  d->fb107[w],
                      d->kp[w],    d->cd[w],    d->cr[w],   d->am[w]};
  for (size_t k = 0; k < sizeof v / sizeof *v; ++k)
    ASSERT_TRUE(std::isfinite(v[k])) << "value " << k << " of slot " << w << " for input:\n"
                                     << input;
}

void ExpectSlotTexts(const WinpData* d, int w, const std::string& input) {
  ASSERT_TRUE(Terminated(d->satname[w], SATNAME_SIZE)) << input;
  ASSERT_TRUE(Terminated(d->dsn[w], DSN_SIZE)) << input;
  ASSERT_EQ(std::strpbrk(d->satname[w], "\r\n"), nullptr) << input;
}

// ---------------------------------------------------------------------------
// TLE reader
// ---------------------------------------------------------------------------

const char kTleFixture[] =
    "ISS (ZARYA)\n"
    "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992\n"
    "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614\n"
    "1 43013U 17073A   18020.90595486 -.00000036  00000-0  37063-5 0  9990\n"
    "2 43013  98.7126 321.4710 0000893  65.9680 294.1589 14.19549727  9015\n"
    "STATE SAT\n"
    "1 25544U 98067A   18020.89808844     0 +++++STATEVCT1+++++          1\n"
    "  6.778000000000e+06   0.000000000000e+00   1.000000000000e+03      2\n"
    "  0.000000000000e+00   4.800000000000e+03   5.900000000000e+03      3\n"
    "  150.0   140.0     3.0   2.20000e+00   1.30000e+00   5.00000e-03 4\n";

struct Search {
  int srchmd;
  const char* cfgname;
  int norad;
};

// Reads every record the search finds; the number of calls is bounded by the
// lines of the input.
void ReadAll(WinpData* d, std::string text, const Search& s, int& accepted) {
  FILE* f = OpenText(text);
  ASSERT_NE(f, nullptr);
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", s.cfgname);
  d->srchmd = s.srchmd;
  d->norad[WORKSLOT] = s.norad;
  const int maxcalls = static_cast<int>(std::count(text.begin(), text.end(), '\n')) +
                       static_cast<int>(text.size() / (TLELINE_SIZE - 1)) + 2;
  char msg[TLEMSG_SIZE];
  int res = tleread(d, f, msg, 0);
  for (int calls = 1;; ++calls) {
    ASSERT_TRUE(res >= 0 && res <= 2) << res;
    ASSERT_TRUE(Terminated(msg, TLEMSG_SIZE));
    ASSERT_EQ(d->srchmd, s.srchmd);
    ASSERT_TRUE(Terminated(d->sdsn, SDSN_SIZE));
    ASSERT_TRUE(Terminated(d->ldsn, LDSN_SIZE));
    ExpectSlotTexts(d, WORKSLOT, text);
    if (res > 0) {
      ExpectFiniteSlot(d, WORKSLOT, text);
      ++accepted;
    }
    if (res != 2) break;
    ASSERT_LE(calls, maxcalls) << "the search does not advance";
    res = tleread(d, f, msg, 1);
  }
  std::fclose(f);
}

TEST(FuzzReaders, TleReader) {
  auto d = StartRecord();
  const Search searches[] = {
      {1, "*", 0}, {0, "ISS", 0}, {1, "43013", 43013}, {2, "1998-067", 0}, {0, "STATE", 0}};
  const auto cases = Cases(kTleFixture, 0x715e, 1500);
  int accepted = 0;
  for (size_t k = 0; k < cases.size(); ++k) {
    // Every search kind on the mutants; the prefixes with the commonest two.
    const size_t nsearch = k < sizeof kTleFixture ? 2 : 5;
    // The filters and the element adjustment on some of the cases.
    d->recflg = k % 5 == 1;
    d->lowflg = k % 7 == 2;
    d->curmjd = 58140.0;
    d->adjflg = k % 3 == 0;
    d->adjtim = 30.0;
    d->adjn0 = k % 2 ? 14.3 : 0.0;
    d->adjra = 1.5;
    for (size_t s = 0; s < nsearch; ++s) {
      ASSERT_NO_FATAL_FAILURE(ReadAll(d.get(), cases[k], searches[s], accepted)) << "case " << k;
    }
  }
  // Most mutants leave records intact: the reader's accepting path was run.
  EXPECT_GT(accepted, 3000);
}

// The writer's file read back: a save that succeeds gives every record back,
// one that fails leaves the file as it was, whatever the slot holds.
TEST(FuzzReaders, TleWriterRoundTrip) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string path = dir / "save.tle";
  auto base = StartRecord();
  {
    std::string text = kTleFixture;
    FILE* f = OpenText(text);
    std::snprintf(base->cfgname[WORKSLOT], SATNAME_SIZE, "*");
    base->srchmd = 1;
    char msg[TLEMSG_SIZE];
    int slot = 0;
    for (int res = tleread(base.get(), f, msg, 0); res > 0 && slot < 3;
         res = res == 2 ? tleread(base.get(), f, msg, 1) : 0)
      ShiftElm(base.get(), slot++, WORKSLOT);
    std::fclose(f);
    ASSERT_EQ(slot, 3);
    base->satnr = 3;
  }
  std::snprintf(base->tlsnm, FILENAME_SIZE, "%s", path.c_str());

  const double bad[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, 1e-320, -0.0, 1e9, -1.0, 1.0,
                        0.99999999, 360.0, -720.5, 99999.0, 1e7};
  const size_t nbad = sizeof bad / sizeof *bad;
  Rng r(0x5a7e);
  auto d = std::make_unique<WinpData>();
  int saved = 0;
  for (int k = 0; k < 300; ++k) {
    *d = *base;
    const int i = static_cast<int>(r.below(3));
    double* fields[] = {&d->epoch[i], &d->inc[i],  &d->ra[i],    &d->ecc[i],   &d->aper[i],
                        &d->m0[i],    &d->mnmot[i], &d->ndot[i], &d->n6dot[i], &d->bstar[i],
                        &d->rx[i],    &d->vz[i],    &d->f107[i], &d->cd[i]};
    *fields[r.below(sizeof fields / sizeof *fields)] = bad[r.below(nbad)];
    if (r.below(4) == 0) d->norad[i] = static_cast<int>(r.next()) - (1 << 30);
    if (r.below(4) == 0) {
      // A name filling its whole field, or carrying line ends.
      const char* const names[] = {"12345678901234567890", "AB\r\nCD", "\n", "",
                                   "1 25544U", "2 25544 51"};
      std::snprintf(d->satname[i], SATNAME_SIZE, "%s", names[r.below(6)]);
    }
    if (r.below(4) == 0) std::memset(d->dsn[i], r.below(2) ? 'Z' : '\0', DSN_SIZE - 1);
    const bool fresh = r.below(2) != 0;
    d->tsnew = fresh;
    const std::string before = "kept line\n";
    writeFile(path, before);

    const int res = SaveTle(d.get());
    ASSERT_TRUE(res == 0 || res == 4) << "case " << k << ": " << res;
    ASSERT_EQ(support::DirNames(dir.path), support::Names{"save.tle"}) << "case " << k;
    const std::string after = readFile(path);
    if (res == 4) {
      ASSERT_EQ(after, before) << "case " << k;
      continue;
    }
    ASSERT_EQ(d->tsnew, 0);
    const std::string records = fresh ? after : after.substr(before.size());
    if (!fresh) {
      ASSERT_EQ(after.compare(0, before.size(), before), 0);
    }
    // Every record read back, each number as written.
    std::string text = records;
    FILE* f = OpenText(text);
    auto rd = StartRecord();
    std::snprintf(rd->cfgname[WORKSLOT], SATNAME_SIZE, "*");
    rd->srchmd = 1;
    char msg[TLEMSG_SIZE];
    int n = 0;
    for (int res2 = tleread(rd.get(), f, msg, 0); res2 > 0;
         res2 = res2 == 2 ? tleread(rd.get(), f, msg, 1) : 0) {
      ASSERT_LT(n, 3) << records;
      EXPECT_EQ(rd->norad[WORKSLOT], d->norad[n]) << "case " << k << "\n" << records;
      ExpectFiniteSlot(rd.get(), WORKSLOT, records);
      ++n;
    }
    std::fclose(f);
    ASSERT_EQ(n, 3) << "case " << k << ": records lost\n" << records;
    ++saved;
  }
  EXPECT_GT(saved, 50);
}

// ---------------------------------------------------------------------------
// Element sets that found gaps of the reader: an open-orbit eccentricity
// "1.e300" and an N-dot "1e200" with Kepler elements ('9' in column 63; a
// NaN state at epoch, an infinite height), and exponent fields with an
// exponent of two digits (" 0001574" = 1.5e70, saved changed). Their
// mutants, and exponent forms written into any column: what the reader
// accepts is finite, gives finite places around its epoch, and is saved back
// as it was read or not at all.
// ---------------------------------------------------------------------------

const char kHostileFixture[] =
    "ISS (ZARYA)\n"
    "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 9  9991\n"
    "2 25544  51.6424  32.9776 1.e300   28.7227  39.5332      7000.0 95613\n"
    "ISS NDOT\n"
    "1 25544U 98067A   18020.89808844      1e200  00000-0  38550-4 9  9997\n"
    "2 25544  51.6424  32.9776 9999999  28.7227  39.5332 15.54190080 95618\n"
    "ISS NDDOT\n"
    "1 25544U 98067A   18020.89808844  .00002078  0001574  38550-4 0  9998\n"
    "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614\n"
    "ISS BSTAR\n"
    "1 25544U 98067A   18020.89808844  .00002078  00000-0  0001574 0  9993\n"
    "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614\n";

// Numbers in exponent form, and exponents of two digits.
const char* const kExponentTokens[] = {"1.e300", "1e200", "-9E99", "5e-5", "1.e20",
                                       "74",     "1e5",   "2E+1",  "-.1e1", "99"};

// One of the fixture's mutants, then an exponent token written over a column
// of an element line (the line keeps its length).
std::string ExponentMutate(const std::string& base, Rng& r) {
  std::string s = Mutate(base, r);
  std::vector<size_t> lines;
  for (size_t b = 0; b < s.size(); b = s.find('\n', b) + 1) {
    if (s.compare(b, 2, "1 ") == 0 || s.compare(b, 2, "2 ") == 0) lines.push_back(b);
    if (s.find('\n', b) == std::string::npos) break;
  }
  if (lines.empty()) return s;
  const size_t b = lines[r.below(lines.size())];
  const size_t e = std::min(s.find('\n', b), s.size());
  const char* tok = kExponentTokens[r.below(sizeof kExponentTokens / sizeof *kExponentTokens)];
  const size_t at = b + 8 + r.below(60);
  for (size_t k = 0; tok[k] && at + k < e; ++k) s[at + k] = tok[k];
  return s;
}

// Places of the accepted record (in slot 0 of d) around its epoch.
void ExpectFinitePlaces(WinpData* d, const std::string& input) {
  auto sp = std::make_unique<SatPosData>();
  std::memset(static_cast<void*>(sp.get()), 0, sizeof(SatPosData));
  for (double dt : {-1.5, 0.0, 0.7, 3.0}) {
    GetSatPos(d->epoch[0] + dt, d, sp.get(), 0, 0);
    const double v[] = {sp->lat[0], sp->lng[0], sp->hgt[0], sp->az[0], sp->el[0], sp->rng[0],
                        d->irx[0],  d->iry[0],  d->irz[0],  d->ivx[0], d->ivy[0], d->ivz[0]};
    for (double x : v) ASSERT_TRUE(std::isfinite(x)) << "at " << dt << " d for input:\n" << input;
  }
}

// The accepted record (slot 0 of d) saved and read back: SaveTle writes it
// as it was read (its exponent fields within their five digits) or refuses
// it (4) and leaves the file alone.
void ExpectSavedAsRead(WinpData* d, const std::string& path, const std::string& input) {
  writeFile(path, "kept\n");
  std::snprintf(d->tlsnm, FILENAME_SIZE, "%s", path.c_str());
  d->tsnew = 1;
  const int res = SaveTle(d);
  ASSERT_TRUE(res == 0 || res == 4) << res << " for input:\n" << input;
  if (res == 4) {
    ASSERT_EQ(readFile(path), "kept\n") << input;
    return;
  }
  std::string text = readFile(path);
  FILE* f = OpenText(text);
  auto rd = StartRecord();
  std::snprintf(rd->cfgname[WORKSLOT], SATNAME_SIZE, "*");
  rd->srchmd = 1;
  char msg[TLEMSG_SIZE];
  const int got = tleread(rd.get(), f, msg, 0);
  std::fclose(f);
  ASSERT_GE(got, 1) << text;
  for (double* x : {&rd->n6dot[WORKSLOT], &rd->bstar[WORKSLOT]}) {
    const double want = x == &rd->n6dot[WORKSLOT] ? d->n6dot[0] : d->bstar[0];
    ASSERT_NEAR(*x, want, 1e-4 * std::fabs(want) + 1e-30) << "saved as\n" << text << "from\n"
                                                          << input;
  }
}

TEST(FuzzReaders, HostileElementSets) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string save = dir / "hostile.tle";
  auto d = StartRecord();
  std::vector<std::string> cases = Cases(kHostileFixture, 0x3e47, 300);
  Rng r(0xe4e4);
  for (int k = 0; k < 300; ++k) cases.push_back(ExponentMutate(kHostileFixture, r));
  int accepted = 0, saved = 0;
  for (std::string& text : cases) {
    FILE* f = OpenText(text);
    ASSERT_NE(f, nullptr);
    std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "*");
    d->srchmd = 1;
    char msg[TLEMSG_SIZE];
    int res = tleread(d.get(), f, msg, 0);
    for (int calls = 0; res > 0 && calls < 100; ++calls) {
      ASSERT_NO_FATAL_FAILURE(ExpectFiniteSlot(d.get(), WORKSLOT, text));
      ++accepted;
      ShiftElm(d.get(), 0, WORKSLOT);
      d->satnr = 1;
      d->prs = 0;
      ASSERT_NO_FATAL_FAILURE(ExpectFinitePlaces(d.get(), text));
      // The writer's own round trip covers the usual field values; here the
      // values beyond them.
      if (std::fabs(d->n6dot[0]) >= 0.1 || std::fabs(d->bstar[0]) >= 0.1) {
        ASSERT_NO_FATAL_FAILURE(ExpectSavedAsRead(d.get(), save, text));
        ++saved;
      }
      d->satnr = 0;
      res = res == 2 ? tleread(d.get(), f, msg, 1) : 0;
    }
    std::fclose(f);
  }
  EXPECT_GT(accepted, 500);
  EXPECT_GT(saved, 300);
}

// ---------------------------------------------------------------------------
// Configuration
// ---------------------------------------------------------------------------

void ExpectConfigRecord(const WinpData* d, const std::string& input) {
  ASSERT_TRUE(Terminated(d->geoname, GEONAME_SIZE)) << input;
  ASSERT_TRUE(Terminated(d->tlenm, FILENAME_SIZE)) << input;
  ASSERT_TRUE(Terminated(d->updurl, FILENAME_SIZE)) << input;
  ASSERT_TRUE(d->satnr >= 0 && d->satnr <= MAXSEL) << input;
  for (int i = 0; i < NSLOTS; ++i) ASSERT_TRUE(Terminated(d->cfgname[i], SATNAME_SIZE)) << input;
  const double v[] = {d->tzone, d->lat,   d->lng,    d->height, d->sunel, d->satel, d->yrepoch,
                      d->dur,   d->dF107, d->dFB107, d->dKp,    d->dCd,   d->dCr,   d->dAm};
  for (double x : v) ASSERT_TRUE(std::isfinite(x)) << input;
  ASSERT_TRUE(d->dur >= 1.0 && d->dur <= 14.0) << input;
}

TEST(FuzzReaders, Configuration) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string cfg = dir / "vorlix.cfg", copy = dir / "copy.cfg";
  const std::string fixture = readFile(std::string(VORLIX_TEST_DATA) + "/welcome/vorlix.cfg");
  ASSERT_FALSE(fixture.empty());
  auto start = StartRecord();
  auto d = std::make_unique<WinpData>();
  auto again = std::make_unique<WinpData>();
  const auto cases = Cases(fixture, 0xc0f1, 700);
  for (size_t k = 0; k < cases.size(); ++k) {
    writeFile(cfg, cases[k]);
    *d = *start;
    const int res = getcfg(d.get(), cfg.c_str());
    ASSERT_TRUE(res == CFG_READ || res == CFG_MALFORMED) << res;
    if (res == CFG_MALFORMED) {
      ASSERT_EQ(std::memcmp(d.get(), start.get(), sizeof(WinpData)), 0)
          << "a failed read changed the record, case " << k;
      continue;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectConfigRecord(d.get(), cases[k])) << "case " << k;

    // What was read is written back and reads again as the same settings.
    for (int i = 0; i < d->satnr; ++i) std::memcpy(d->satname[i], d->cfgname[i], SATNAME_SIZE);
    ASSERT_EQ(putcfg(d.get(), copy.c_str()), 0);
    ASSERT_EQ(support::DirNames(dir.path), (support::Names{"copy.cfg", "vorlix.cfg"}))
        << "case " << k;
    *again = *start;
    ASSERT_EQ(getcfg(again.get(), copy.c_str()), CFG_READ)
        << "case " << k << " written as\n" << readFile(copy);
    EXPECT_EQ(again->lat, d->lat) << "case " << k;
    EXPECT_EQ(again->lng, d->lng) << "case " << k;
    EXPECT_EQ(again->sunel, d->sunel) << "case " << k;
    EXPECT_EQ(again->tzauto, d->tzauto) << "case " << k;
    // A name line starting with a NUL byte reads as an empty name (it finds
    // no satellite) and is written back as an empty line, which is skipped.
    int named = 0;
    for (int i = 0; i < d->satnr; ++i) named += d->cfgname[i][0] != '\0';
    EXPECT_EQ(again->satnr, named) << "case " << k << " written as\n" << readFile(copy);
  }
}

// Start-up on a damaged configuration and a damaged TLE file: the page holds
// terminated lines, the selection only accepted, finite slots.
TEST(FuzzReaders, StartUp) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string cfg = dir / "vorlix.cfg", tle = dir / "welcome.tle";
  std::string fixture = readFile(std::string(VORLIX_TEST_DATA) + "/welcome/vorlix.cfg");
  const std::string tles = readFile(std::string(VORLIX_TEST_DATA) + "/welcome/welcome.tle");
  ASSERT_FALSE(fixture.empty());
  ASSERT_FALSE(tles.empty());
  const size_t at = fixture.find("welcome.tle");
  ASSERT_NE(at, std::string::npos);
  fixture.replace(at, 11, tle);
  Rng r(0x57a7);
  auto d = std::make_unique<WinpData>();
  auto o = std::make_unique<WoutData>();
  for (int k = 0; k < 150; ++k) {
    const std::string c = k % 2 ? Mutate(fixture, r) : fixture;
    const std::string t = k % 2 ? tles : Mutate(tles, r);
    writeFile(cfg, c);
    writeFile(tle, t);
    std::memset(d.get(), 0, sizeof(WinpData));
    std::memset(o.get(), 0, sizeof(WoutData));
    swelcm(d.get(), o.get(), cfg.c_str());
    ASSERT_TRUE(o->nlines >= 0 && o->nlines <= WOUT_NLINES);
    for (int l = 0; l < o->nlines; ++l) ASSERT_LE(WoutLineLen(o.get(), l), WOUT_LINELEN);
    ASSERT_TRUE(d->satnr >= 0 && d->satnr <= MAXSEL) << c << t;
    for (int i = 0; i < d->satnr; ++i) {
      ASSERT_NO_FATAL_FAILURE(ExpectSlotTexts(d.get(), i, c + t));
      ASSERT_NO_FATAL_FAILURE(ExpectFiniteSlot(d.get(), i, c + t));
    }
  }
}

// ---------------------------------------------------------------------------
// Save file: the Iridium flare list read back, and the time sort
// ---------------------------------------------------------------------------

std::string FlareLine(const char* time, const char* name, double mag) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%s  Iridium Flare  Front  ->N  mag %5.1lf   %s", time, mag,
                name);
  return buf;
}

TEST(FuzzReaders, IridiumList) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string sav = dir / "iridiumf.doc", tle = dir / "iridium.tle";
  writeFile(tle,
            "IRIDIUM 73 [-]\n"
            "1 25344U 98032C   18020.80229184  .00000127  00000-0  28016-4 0  9996\n"
            "2 25344  86.4439 111.0246 0002762  87.2025 272.9496 14.49090389 38760\n"
            "IRIDIUM 50 [+]\n"
            "1 25172U 98010D   18020.79724749  .00000124  00000-0  37256-4 0  9999\n"
            "2 25172  86.3954 259.3787 0002084  89.6761 270.4674 14.34218954 42676\n");
  const std::string fixture =
      "Geographic Location: Test Place\n Year: 2018\n=====\n\n" +
      FlareLine("JAN 21   6:12:13 (100, 30)", "IRIDIUM 73 [-]", -2.1) + "\n" +
      FlareLine("JAN 21   7:00:00 (200, 40)", "IRIDIUM 50 [+]", -1.0) + "\n" +
      FlareLine("JAN 22   8:00:00 (120, 20)", "IRIDIUM 99 [-]", 0.5) + "\n";
  auto start = StartRecord();
  std::snprintf(start->savnm, FILENAME_SIZE, "%s", sav.c_str());
  std::snprintf(start->tlenm, FILENAME_SIZE, "%s", tle.c_str());
  start->irrun = true;
  auto d = std::make_unique<WinpData>();
  auto o = std::make_unique<WoutData>();
  const auto cases = Cases(fixture, 0x1d1d, 300);
  for (size_t k = 0; k < cases.size(); ++k) {
    writeFile(sav, cases[k]);
    *d = *start;
    d->satnr = static_cast<int>(k % 3);
    std::memset(o.get(), 0, sizeof(WoutData));
    Iriddspy(d.get(), o.get());
    ASSERT_EQ(outptr, nullptr);
    ASSERT_TRUE(o->nlines >= 0 && o->nlines <= WOUT_NLINES);
    for (int l = 0; l < o->nlines; ++l) ASSERT_LE(WoutLineLen(o.get(), l), WOUT_LINELEN);
    ASSERT_TRUE(d->satnr >= static_cast<int>(k % 3) && d->satnr <= MAXSEL) << cases[k];
    for (int i = 0; i < d->satnr; ++i) {
      ASSERT_NO_FATAL_FAILURE(ExpectSlotTexts(d.get(), i, cases[k]));
      ASSERT_NO_FATAL_FAILURE(ExpectFiniteSlot(d.get(), i, cases[k]));
    }
  }
}

// Lines of a text (without their line feeds) that have at least min characters.
std::vector<std::string> SortedLines(const std::string& s, size_t min) {
  std::vector<std::string> out;
  std::stringstream ss(s);
  std::string l;
  while (std::getline(ss, l))
    if (l.size() >= min) out.push_back(l);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(FuzzReaders, SaveFileSort) {
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  const std::string sav = dir / "satsave.txt";
  const std::string prefix = "\n\n\n earlier pass list\nJAN  1   0:00:00 keep this order\n";
  std::string block =
      "Geographic Location: Test Place\n Lat.: 48   Long.: 11   Height: 0 \n\n" +
      std::string(71, '=') + "\n  Start (Azim.,Elev.)    Maximum (Azim.,MaxElev.)\n";
  const char* const times[] = {"FEB  3  10:00:00", "JAN 21   6:12:13", "DEC 31  23:59:59",
                               "JAN 21   6:12:13", "MAR  1   0:00:00", "JAN  2   1:02:03"};
  for (int k = 0; k < 6; ++k)
    block += std::string("\n") + times[k] + " (100, 30)  pass line of satellite " +
             std::to_string(k) + "\n";
  auto d = std::make_unique<WinpData>();
  std::memset(d.get(), 0, sizeof(WinpData));
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", sav.c_str());
  const auto cases = Cases(block, 0x5047, 500);
  for (size_t k = 0; k < cases.size(); ++k) {
    const std::string& in = cases[k];
    writeFile(sav, prefix + in);
    SortAos(d.get(), static_cast<long>(prefix.size()));
    ASSERT_EQ(outptr, nullptr);
    ASSERT_EQ(support::DirNames(dir.path), support::Names{"satsave.txt"}) << "case " << k;
    const std::string out = readFile(sav);
    ASSERT_EQ(out.compare(0, prefix.size(), prefix), 0) << "case " << k;
    // Lines that are whole lines (no NUL, at most 158 characters, ending in a
    // line feed) all come back; the sort only moves them.
    bool plain = in.find('\0') == std::string::npos && !in.empty() && in.back() == '\n';
    for (size_t b = 0, e; plain && b < in.size(); b = e + 1) {
      e = in.find('\n', b);
      plain = e - b <= 158;
    }
    if (!plain) continue;
    std::vector<std::string> want;
    for (const std::string& l : SortedLines(in, 2))
      if (std::strchr("mGY= ", l[0]) || l.size() >= 16) want.push_back(l);
    if (std::count_if(want.begin(), want.end(),
                      [](const std::string& l) { return !std::strchr("mGY= ", l[0]); }) <= 1) {
      ASSERT_EQ(out, prefix + in) << "case " << k;
      continue;
    }
    ASSERT_EQ(SortedLines(out.substr(prefix.size()), 2), want) << "case " << k << "\n" << in;
  }
}

// ---------------------------------------------------------------------------
// Number texts
// ---------------------------------------------------------------------------

TEST(FuzzReaders, NumberTexts) {
  const char alphabet[] = "0123456789+-.eEnaifNAIF ,x\t\r\n";
  Rng r(0xa70f);
  std::string lines;
  for (int k = 0; k < 4000; ++k) {
    std::string s;
    const size_t len = r.below(8) == 0 ? 60 + r.below(300) : r.below(24);
    for (size_t j = 0; j < len; ++j) s += alphabet[r.below(sizeof alphabet - 1)];
    if (r.below(10) == 0) s = kBadTokens[r.below(sizeof kBadTokens / sizeof *kBadTokens)];
    const double v = Atof(s.c_str());
    ASSERT_TRUE(std::isfinite(v)) << s;
    lines += s;
    if (r.below(20) == 0) lines += '\0';
    lines += '\n';
  }
  // The same texts as a file read with Fscanf, a few fields at a time.
  FILE* f = OpenText(lines);
  ASSERT_NE(f, nullptr);
  double v[8];
  int calls = 0;
  for (;; ++calls) {
    for (double& x : v) x = 12345.0;
    const int n = 1 + calls % 8;
    const int res = Fscanf(f, n, v);
    if (res == 0 && std::feof(f)) break;
    ASSERT_TRUE(res == 0 || res == 1);
    for (int j = 0; j < n; ++j) ASSERT_TRUE(std::isfinite(v[j]));
    if (n < 8) {
      ASSERT_EQ(v[n], 12345.0) << "written past the n values";
    }
    ASSERT_LT(calls, 100000);
  }
  std::fclose(f);
  EXPECT_GE(calls, 4000);
}

}  // namespace

// ---------------------------------------------------------------------------
// Text helpers on values no reader should deliver, but a damaged record may
// ---------------------------------------------------------------------------

TEST(FuzzReaders, TextHelpersExtremeValues) {
  const double values[] = {0.0,     -0.0,    NAN,      INFINITY, -INFINITY, 1e300, -1e300,
                           1e18,    -1e18,   2.5e9,    -2.5e9,   58000.5,   -2400001.5,
                           359.9999, -0.0001, 1e-320,  86399.99999 / 86400.0 + 58000.0};
  for (double t : values)
    for (double x : values) {
      char buf[AOSSTR_SIZE];
      for (int only = 0; only < 3; ++only) {
        aosstr(t, x, -x, buf, only);
        ASSERT_TRUE(Terminated(buf, AOSSTR_SIZE)) << t << " " << x;
      }
      char dt[DTMSTR_SIZE];
      dtmstr(t, dt);
      ASSERT_TRUE(Terminated(dt, DTMSTR_SIZE)) << t;
      char pa[PRPANG_SIZE];
      for (int mode = -2; mode <= 2; ++mode)
        for (int wide = 0; wide < 2; ++wide) {
          prpang(pa, wide, mode, x);
          ASSERT_TRUE(Terminated(pa, PRPANG_SIZE)) << x;
        }
      if (std::isfinite(x)) {
        ASSERT_TRUE(std::isfinite(DegFDms(x))) << x;
        ASSERT_TRUE(std::isfinite(DmsDegF(x))) << x;
        ASSERT_TRUE(std::isfinite(hdfdms(x))) << x;
      }
    }
}

// The epoch of a TLE from its day count: a count that is no number gives no
// epoch (NaN, which the reader refuses) and a terminated text.
TEST(FuzzReaders, EpochFromAnyDayCount) {
  auto d = StartRecord();
  const double days[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, 3e9, -3e9, 0.0, 32.5, 366.99};
  for (double doy : days) {
    char ep[EPOCHTEXT_SIZE];
    std::memset(ep, 'x', sizeof ep);
    cnvepch(d.get(), 2011, doy, ep);
    ASSERT_TRUE(Terminated(ep, EPOCHTEXT_SIZE)) << doy;
    EXPECT_EQ(std::isfinite(d->epoch[WORKSLOT]), std::fabs(doy) < 1e7) << doy;
  }
  cnvepch(d.get(), 2011, 32.5, nullptr);
  EXPECT_EQ(d->epoch[WORKSLOT], 55593.5);  // 1 February 2011, 12:00
}
