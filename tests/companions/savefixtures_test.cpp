// The save files the companion tests read come from the core's own writers:
// the orbit-track file and the pass-details and pass ground-track blocks as
// the view appends them. This test writes them again and checks that the
// committed fixtures still have the writers' layout (digits masked, so a last
// digit that moves with the compiler does not matter).
//
// To remake the fixtures: VORLIX_COMPANION_FIXTURES_OUT=tests/data/companions
// build/tests/companions/test_companions_savefixtures (then run
// tests/tools/gen_companion_refs.py for the expected outputs).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/passfixture.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "support/files.h"

using namespace passfix;

namespace {

// The first ISS pass of the reference table over this observer.
constexpr double kRise = 58139.029389043;

std::unique_ptr<WinpData> IssRecord() { return SlotRecord("ISS (ZARYA)", 48.15, 11.58, 520.0); }

// The pass-details writer of the view: the texts of one listing, verbatim,
// the pole text after a sky listing; a new file or appended.
void SavePass(WinpData* d, const std::string& name, int mode, bool fresh, int maxtexts) {
  FILE* f = std::fopen(name.c_str(), fresh ? "w" : "a");
  ASSERT_NE(f, nullptr) << name;
  d->npass = 1;
  d->ipass = 0;
  d->pastm[0] = kRise;
  double t = 0.0;
  char buf[PASSDTXT_SIZE];
  int n = 0, r;
  do {
    r = GetPassDTxt(d, t, buf, mode);
    std::fputs(buf, f);
    ++n;
  } while (r == 1 && n < maxtexts);
  if (mode == 1 && n >= 2) {
    char pole[POLETXT_SIZE];
    GetPoleTxt(d, pole);
    std::fputs(pole, f);
  }
  std::fclose(f);
}

void OrbitTrack(WinpData* d, const std::string& name, double hours, double step) {
  std::snprintf(d->savnm, sizeof d->savnm, "%s", name.c_str());
  d->year = 2018;
  d->month = 1;
  d->day = 21;
  d->hour = 0;
  d->minute = 42;
  d->dur = hours / 24.0;
  d->tstep = step;
  ASSERT_EQ(saveOrbitTrack(d), 0);
}

constexpr double kMinute = 1.0 / 1440.0;
constexpr double kSecond = 1.0 / 86400.0;

// Writes every fixture into dir.
void WriteFixtures(const std::string& dir) {
  const std::string p = dir + "/";
  {
    // A session: an orbit track of the ISS over one and a half revolutions,
    // then a pass's details and its ground track appended to it.
    auto d = IssRecord();
    OrbitTrack(d.get(), p + "satsave.txt", 2.5, kMinute);
    d->tstep = 10 * kSecond;
    d->ra4d = 1;
    SavePass(d.get(), p + "satsave.txt", 1, false, 16250);
    SavePass(d.get(), p + "satsave.txt", 2, false, 16250);
  }
  {
    // Pass ground tracks alone, with whole seconds, one-minute and tenth
    // of a second steps.
    auto d = IssRecord();
    d->tstep = 20 * kSecond;
    SavePass(d.get(), p + "gtrack-seconds.txt", 2, true, 16250);
    d->tstep = kMinute;
    SavePass(d.get(), p + "gtrack-minutes.txt", 2, true, 16250);
    d->tstep = 0.5 * kSecond;
    SavePass(d.get(), p + "gtrack-subsec.txt", 2, true, 140);
  }
  {
    // The Sun transit centre line: latitude 100 where it misses the Earth.
    auto d = IssRecord();
    d->occflg = 1;
    OrbitTrack(d.get(), p + "centre-line.txt", 1.6, 2 * kMinute);
  }
  {
    // The shipped 2009 elements of the ISS as they come down in August 2012:
    // runs of places between steps without a position.
    auto d = IssRecord();
    const Tle& t = OldIss();
    LoadSlot(d.get(), 0, t.name, t.l1, t.l2);
    std::snprintf(d->savnm, sizeof d->savnm, "%s", (p + "no-position.txt").c_str());
    d->year = 2012;
    d->month = 8;
    d->day = 8;
    d->hour = 12;
    d->dur = 2.0 / 24.0;
    d->tstep = kMinute;
    ASSERT_EQ(saveOrbitTrack(d.get()), 0);
  }
  {
    // Sky positions in both column layouts and in the three step kinds.
    auto d = IssRecord();
    d->tstep = 10 * kSecond;
    d->ra4d = 1;
    SavePass(d.get(), p + "details-wide.txt", 1, true, 16250);
    d->ra4d = 0;
    SavePass(d.get(), p + "details-narrow.txt", 1, true, 16250);
    d->tstep = kMinute;
    d->ra4d = 1;
    SavePass(d.get(), p + "details-minutes.txt", 1, true, 16250);
    d->tstep = 0.5 * kSecond;
    SavePass(d.get(), p + "details-subsec.txt", 1, true, 140);
  }
}

const char* const kFixtures[] = {"satsave.txt",         "gtrack-seconds.txt", "gtrack-minutes.txt",
                                 "gtrack-subsec.txt",   "centre-line.txt",    "no-position.txt",
                                 "details-wide.txt",    "details-narrow.txt", "details-minutes.txt",
                                 "details-subsec.txt"};

std::string MaskDigits(std::string s) {
  for (char& c : s)
    if (c >= '0' && c <= '9') c = '9';
  return s;
}

}  // namespace

TEST(CompanionFixtures, MatchTheCoreWriters) {
  if (const char* out = std::getenv("VORLIX_COMPANION_FIXTURES_OUT")) {
    WriteFixtures(out);
    GTEST_SKIP() << "fixtures written to " << out;
  }
  char dir[] = "/tmp/vorlix-fixtures-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  WriteFixtures(dir);
  for (const char* name : kFixtures) {
    const std::string now = readFile(std::string(dir) + "/" + name);
    const std::string committed = readFile(DataPath("companions/") + name);
    EXPECT_FALSE(committed.empty()) << name;
    EXPECT_EQ(MaskDigits(now), MaskDigits(committed)) << name;
    std::remove((std::string(dir) + "/" + name).c_str());
  }
  rmdir(dir);
}
