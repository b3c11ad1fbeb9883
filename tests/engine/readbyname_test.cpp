// Files the engine reads by name (the element file, the save file, the TLE
// save file it appends to) that are no regular files: a FIFO, a directory, a
// device that never ends. Each reader gives its own "cannot open" answer at
// once; none waits for a writer or reads for ever.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/flares.h"
#include "engine/lists.h"
#include "engine/orbitdet.h"
#include "engine/sortaos.h"
#include "engine/tle.h"
#include "support/child.h"
#include "support/listsfixture.h"

using namespace listsfx;

namespace {

void SetName(char* field, const std::string& name) {
  std::snprintf(field, FILENAME_SIZE, "%s", name.c_str());
}

// What a special file is: its type, inode, device number and size, which a
// reader that wrote to it, replaced it or renamed something over it changes.
std::string Identity(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return "missing";
  return std::to_string(st.st_mode & S_IFMT) + " " + std::to_string(st.st_ino) + " " +
         std::to_string(st.st_rdev) + " " + std::to_string(st.st_size);
}

// The names in a directory that a writer of the given file would leave
// beside it (its own name or the sort's with a suffix).
support::Names LeftBeside(const std::string& dir) {
  support::Names v;
  for (const std::string& n : support::DirNames(dir))
    if (n.rfind("vorlix.tmp", 0) == 0 || n.rfind("zero.", 0) == 0) v.push_back(n);
  return v;
}

struct Reader {
  const char* what;
  bool device;  // also tried on a device (not for readers that write beside the file)
  // True when the reader refused the file as it should; runs in a child.
  std::function<bool(WinpData*, WoutData*, const std::string& path)> refuses;
};

}  // namespace

TEST(ReadByName, NoRegularFileIsRefusedAtOnce) {
  support::TempDir tmp;
  ASSERT_FALSE(tmp.path.empty());
  const std::string fifo = tmp / "fifo", dir = tmp / "dir", save = tmp / "save.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::vector<std::string> specials = {fifo, dir, "/dev/zero"};

  const Tle iss = FindTle(DataPath("visual-2009.tle"), 25544);
  ASSERT_FALSE(iss.l1.empty());
  const std::vector<Reader> readers = {
      {"all-satellite list", true,
       [&](WinpData* d, WoutData*, const std::string& p) {
         SetName(d->tlenm, p);
         SetName(d->savnm, save);
         return AllSatAos(d) == ALLSAT_NOTLE;
       }},
      {"next satellites", true,
       [](WinpData* d, WoutData*, const std::string& p) {
         SetName(d->tlenm, p);
         return Nxt4Pass(d) == -1;
       }},
      {"catalogue match", true,
       [](WinpData* d, WoutData* o, const std::string& p) {
         SetName(d->tlenm, p);
         return SatMatch(d, o) == 1 &&
                PageText(*o).find("*** Unable to open TLE file ***") != std::string::npos;
       }},
      {"flare list read back", true,
       [](WinpData* d, WoutData* o, const std::string& p) {
         SetName(d->savnm, p);
         Iriddspy(d, o);
         return PageText(*o).find("cannot be read back") != std::string::npos;
       }},
      {"save file sort", true,
       [](WinpData* d, WoutData*, const std::string& p) {
         SetName(d->savnm, p);
         // (The file and its folder are looked at below.)
         return SortAos(d, 0) == SORTAOS_FAILED;
       }},
      {"TLE save appended to", false,
       [&](WinpData* d, WoutData* o, const std::string& p) {
         LoadTle(d, 0, iss.name, iss.l1, iss.l2);
         d->satnr = 1;
         d->tsnew = 0;
         SetName(d->tlsnm, p);
         return SaveTle(d, o) == 2 &&
                PageText(*o).find("Unable to open TLE save file") != std::string::npos;
       }},
  };
  std::vector<std::string> before;
  for (const std::string& p : specials) before.push_back(Identity(p));
  const support::Names devBefore = LeftBeside("/dev");
  for (const Reader& r : readers) {
    for (size_t k = 0; k < specials.size(); ++k) {
      const std::string& p = specials[k];
      if (p == "/dev/zero" && !r.device) continue;
      const int res = support::InChild(
          [&] {
            auto d = NewRecord();
            d->day = 7, d->month = 1, d->year = 2009;
            d->svnew = 1;
            SetName(d->tlenm, DataPath("visual-2009.tle"));
            SetName(d->savnm, save);
            auto o = std::make_unique<WoutData>();
            std::memset(static_cast<void*>(o.get()), 0, sizeof(WoutData));
            return r.refuses(d.get(), o.get(), p) ? 0 : 1;
          },
          10);
      EXPECT_EQ(res, 0) << r.what << " on " << p << (res < 0 ? ": did not return" : ": not refused");
      // The special file is as it was and nothing was left beside it.
      EXPECT_EQ(Identity(p), before[k]) << r.what << " on " << p;
      EXPECT_EQ(support::DirNames(tmp.path), (support::Names{"dir", "fifo"})) << r.what << " on " << p;
      EXPECT_EQ(support::DirNames(dir), support::Names{}) << r.what << " on " << p;
      EXPECT_EQ(LeftBeside("/dev"), devBefore) << r.what << " on " << p;
    }
  }
  struct stat st;
  EXPECT_EQ(stat(save.c_str(), &st), -1) << "a list written without its element file";
}
