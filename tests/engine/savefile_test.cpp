// The save file's writer and its neighbours: the element files a run guards,
// a save file that is gone by the time a block is added, and the page lines
// that give a file's name with the reason it failed.
#include "engine/savefile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/tle.h"
#include "support/failingsync.h"
#include "support/files.h"

namespace {

std::string Line(const WoutData* o, int k) {
  char l[WOUT_LINELEN + 1];
  WoutLineCopy(o, k, l);
  return l;
}

// One satellite that the TLE writer takes.
void oneSatellite(WinpData* d) {
  d->satnr = 1;
  std::snprintf(d->satname[0], SATNAME_SIZE, "ISS (ZARYA)");
  std::snprintf(d->dsn[0], DSN_SIZE, "1998-067A  ");
  d->norad[0] = 25544;
  d->epoch[0] = 58138.89808844;
  d->inc[0] = 51.6418;
  d->ecc[0] = 0.0003;
  d->mnmot[0] = 15.54;
}

}  // namespace

// While a command stands another file in for the element file, a guard
// keeps the user's one refused by both writers, by any name; without the
// guard it is a file like any other.
TEST(ElementFileGuard, BothWritersRefuseTheGuardedFile) {
  support::TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  writeFile(dir / "visual.txt", "elements\n");
  writeFile(dir / "iridium.txt", "flare elements\n");
  ASSERT_EQ(symlink("visual.txt", (dir / "iridiumf.doc").c_str()), 0);
  auto d = std::make_unique<WinpData>();
  oneSatellite(d.get());
  const std::string visual = dir / "visual.txt";
  std::snprintf(d->tlenm, sizeof d->tlenm, "%s", visual.c_str());
  std::snprintf(d->savnm, sizeof d->savnm, "%s", (dir / "iridiumf.doc").c_str());
  std::snprintf(d->tlsnm, sizeof d->tlsnm, "%s", (dir / "iridiumf.doc").c_str());
  auto block = [](FILE* f) { return std::fputs("flares\n", f) >= 0; };
  {
    const ElementFileGuard guard(d->tlenm);
    std::snprintf(d->tlenm, sizeof d->tlenm, "%s", (dir / "iridium.txt").c_str());
    for (int svnew : {1, 0}) {
      d->svnew = svnew;
      EXPECT_EQ(WriteSaveFile(d.get(), false, block), SAVE_TLEFILE) << svnew;
      EXPECT_EQ(LastSaveFile().elementFile, visual);
    }
    auto o = std::make_unique<WoutData>();
    o->nlines = 0;
    d->tsnew = 1;
    EXPECT_EQ(SaveTle(d.get(), o.get()), 5);
    ASSERT_EQ(o->nlines, 1);
    EXPECT_EQ(Line(o.get(), 0), "*** The TLE save file is the element file: nothing saved ***");
    EXPECT_EQ(readFile(visual), "elements\n");
  }
  d->svnew = 1;
  EXPECT_EQ(WriteSaveFile(d.get(), false, block), SAVE_DONE);
  EXPECT_EQ(readFile(visual), "flares\n");
}

// A save file removed since it was named (svnew already cleared) is made
// anew: a failed or empty block leaves no file behind, and a good one has
// its name synced into the folder (here a folder sync that fails says so).
TEST(SaveFile, FileThatVanishedIsMadeAnew) {
  const struct {
    const char* what;
    const char* block;  // nullptr: the writer fails half way
    int result;
    bool file;  // the save file exists afterwards
  } rows[] = {
      {"empty block", "", SAVE_EMPTY, false},
      {"failed block", nullptr, SAVE_FAILED, false},
      {"block", "list\n", SAVE_UNSYNCED, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    support::TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    auto d = std::make_unique<WinpData>();
    std::snprintf(d->savnm, sizeof d->savnm, "%s", (dir / "satsave.txt").c_str());
    d->svnew = 0;
    long start = -9;
    int res;
    {
      const support::FailingSync failing(S_IFDIR);
      res = WriteSaveFile(
          d.get(), false,
          [&r](FILE* f) {
            if (r.block) return std::fputs(r.block, f) >= 0;
            std::fputs("half a li", f);
            return false;
          },
          &start);
    }
    EXPECT_EQ(res, r.result);
    EXPECT_EQ(support::DirNames(dir.path),
              r.file ? support::Names{"satsave.txt"} : support::Names{});
    if (r.file) {
      EXPECT_EQ(readFile(dir / "satsave.txt"), r.block);
      EXPECT_EQ(start, 0);
    }
  }
}

// A file's name and reason on the page: one line when it fits, else the
// reason on a line of its own; on a full page the last lines make room.
TEST(PutFileReason, ReasonNeverHidden) {
  const std::string longName = "/" + std::string(70, 'n') + "/satsave.txt";
  const struct {
    const char* what;
    std::string name;
    int before;  // lines on the page before
    std::vector<std::string> lines;
  } rows[] = {
      {"fits", "x/y.txt", 3, {" *** Problems with the output file x/y.txt: Permission denied"}},
      {"long name",
       longName,
       3,
       {(" *** Problems with the output file " + longName).substr(0, WOUT_LINELEN),
        " *** Permission denied"}},
      {"full page",
       longName,
       WOUT_NLINES,
       {(" *** Problems with the output file " + longName).substr(0, WOUT_LINELEN),
        " *** Permission denied"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    auto o = std::make_unique<WoutData>();
    o->nlines = 0;
    PutSpace(o.get(), r.before);
    PutFileReason(o.get(), " *** ", "Problems with the output file", r.name.c_str(),
                  "Permission denied", "");
    const int first = std::min(r.before, WOUT_NLINES - static_cast<int>(r.lines.size()));
    ASSERT_EQ(o->nlines, first + static_cast<int>(r.lines.size()));
    for (size_t k = 0; k < r.lines.size(); ++k)
      EXPECT_EQ(Line(o.get(), first + static_cast<int>(k)), r.lines[k]);
  }
}
