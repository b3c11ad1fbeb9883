// The all-satellite list and the next-satellites selection against skyfield.
#include "engine/lists.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <csignal>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include "support/csv.h"
#include "support/listsfixture.h"

using namespace listsfx;
using support::FileSizeLimit;

namespace {

struct RefPass {
  std::string name;
  double rise, culm, set;
};

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  return s;
}

// One line of the list: "MMM DD  HH:MM:SS (AAA,EEE)  HH:MM:SS (...)  HH:MM:SS (...)   NAME".
struct ListPass {
  std::string name;
  double t[3];
};

bool ParsePass(const std::string& l, int year, ListPass& p) {
  static const char* months = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
  if (l.size() < 69) return false;
  const char* m = std::strstr(months, l.substr(0, 3).c_str());
  if (!m) return false;
  const int month = static_cast<int>(m - months) / 3 + 1;
  const int day = std::atoi(l.substr(4, 2).c_str());
  const double base = mjd(day, month, year, 0.0);
  const int col[3] = {8, 28, 48};
  double prev = 0.0;
  for (int k = 0; k < 3; ++k) {
    int h, mi, s;
    if (std::sscanf(l.c_str() + col[k], "%d:%d:%d", &h, &mi, &s) != 3) return false;
    double t = base + (h + mi / 60.0 + s / 3600.0) / 24.0;
    if (k > 0 && t < prev) t += 1.0;  // past midnight
    p.t[k] = prev = t;
  }
  p.name = Trim(l.substr(69));
  return true;
}

std::unique_ptr<WinpData> ListRecord(const std::string& save) {
  auto d = NewRecord();
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", DataPath("visual-2009.tle").c_str());
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", save.c_str());
  d->day = 7;
  d->month = 1;
  d->year = 2009;
  d->svnew = 1;
  return d;
}

}  // namespace

TEST(AllSatAos, OneDayAgreesWithSkyfield) {
  const std::string save = TempPath("allsat.txt");
  auto d = ListRecord(save);
  ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  const double t0 = mjd(7, 1, 2009, 0.0), tend = t0 + 1.0;

  std::vector<ListPass> list;
  std::stringstream ss(readFile(save));
  std::string l;
  int headers = 0;
  while (std::getline(ss, l)) {
    ListPass p;
    if (ParsePass(l, 2009, p))
      list.push_back(p);
    else if (l.rfind("Geographic Location: Test site", 0) == 0)
      ++headers;
  }
  EXPECT_EQ(headers, 1);
  ASSERT_GT(list.size(), 500u);
  for (size_t k = 1; k < list.size(); ++k) EXPECT_LE(list[k - 1].t[0], list[k].t[0]) << k;

  std::vector<RefPass> ref;
  for (const auto& r : readCsv("lists/passes-skyfield.csv"))
    ref.push_back({r[0], std::atof(r[1].c_str()), std::atof(r[2].c_str()), std::atof(r[3].c_str())});
  ASSERT_GT(ref.size(), 1000u);

  const double tol = 2.0 * kSec;
  auto same = [&](const ListPass& p, const RefPass& r) {
    return p.name == r.name && std::fabs(p.t[0] - r.rise) <= tol;
  };
  // Every listed pass that begins and ends inside the day is a skyfield pass.
  int compared = 0;
  for (const ListPass& p : list) {
    if (p.t[0] <= t0 + kSec || p.t[2] >= tend - kSec) continue;
    // Objects of the same name may rise within the tolerance of each other:
    // take the one whose whole pass fits best.
    const RefPass* m = nullptr;
    double best = 1e9;
    for (const RefPass& r : ref) {
      const double e = std::fabs(p.t[1] - r.culm) + std::fabs(p.t[2] - r.set);
      if (same(p, r) && e < best) {
        best = e;
        m = &r;
      }
    }
    if (!m) {
      ADD_FAILURE() << "not a skyfield pass: " << p.name << " " << p.t[0];
      continue;
    }
    ++compared;
    EXPECT_NEAR(p.t[1], m->culm, tol) << p.name << " culmination " << m->rise;
    EXPECT_NEAR(p.t[2], m->set, tol) << p.name << " end " << m->rise;
  }
  EXPECT_GT(compared, 1000);
  // None missing: every skyfield pass of a minute or longer is listed.
  for (const RefPass& r : ref) {
    if (r.set - r.rise < 60 * kSec) continue;
    bool found = false;
    for (const ListPass& p : list) found = found || same(p, r);
    EXPECT_TRUE(found) << "missing: " << r.name << " " << r.rise;
  }
}

// Any number of threads writes the same list and leaves the record and the
// engine's position record as one thread does. The result fields a search
// writes in passing (flare angle, the mirror of an Iridium flare) may come
// from another satellite; the view keeps its own around these lists.
TEST(AllSatAos, SameListOnAnyNumberOfThreads) {
  struct Case {
    const char* what;
    const char* tle;
    int day, month, year;
    int iridflg, occflg, visflg;
    double sunel, mxdist, dur;
  } cases[] = {
      {"passes", "lists/visual-2009.tle", 7, 1, 2009, 0, 0, 0, 90.0, 0.0, 1.0},
      {"visible passes", "lists/visual-2009.tle", 7, 1, 2009, 0, 0, 1, -6.0, 0.0, 1.0},
      {"occultations", "lists/visual-2009.tle", 7, 1, 2009, 1, 3, 0, 90.0, 300.0, 0.5},
      {"Iridium flares", "catalogue-2018.tle", 21, 1, 2018, 3, 0, 0, 90.0, 50.0, 0.5},
      {"state vectors", "tle-writer.tle", 21, 1, 2018, 0, 0, 0, 90.0, 0.0, 1.0},
  };
  const std::string save = TempPath("threads.txt");
  auto scratch = [](WinpData* d) { d->occra = d->occdec = d->flrang = 0.0; };
  for (const Case& c : cases) {
    std::string file1;
    std::unique_ptr<WinpData> d1;
    auto sp1 = std::make_unique<SatPosData>();
    for (int threads : {1, 2, 5}) {
      SetListThreads(threads);
      auto d = ListRecord(save);
      std::snprintf(d->tlenm, FILENAME_SIZE, "%s", support::dataPath(c.tle).c_str());
      d->day = c.day, d->month = c.month, d->year = c.year;
      d->iridflg = c.iridflg, d->occflg = c.occflg, d->visflg = c.visflg;
      d->sunel = c.sunel, d->mxdist = c.mxdist, d->dur = c.dur;
      d->irmag = 5.0;
      d->ops = 1;
      d->occra = 5.3412;
      d->occdec = 20.1;
      ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE) << c.what << " " << threads;
      const std::string file = readFile(save);
      scratch(d.get());
      if (threads == 1) {
        file1 = file;
        d1 = std::move(d);
        *sp1 = *satpos;
        EXPECT_GT(std::count(file.begin(), file.end(), '\n'), 12) << c.what;
        continue;
      }
      EXPECT_EQ(file, file1) << c.what << " " << threads;
      EXPECT_EQ(std::memcmp(d.get(), d1.get(), sizeof(WinpData)), 0) << c.what << " " << threads;
      EXPECT_EQ(std::memcmp(satpos, sp1.get(), offsetof(SatPosData, fplat)), 0)
          << c.what << " " << threads;
    }
  }
  SetListThreads(0);
  EXPECT_GE(ListThreads(), 1);
}

TEST(AllSatAos, BadSettingOrMissingTleKeepsTheSaveFile) {
  const std::string save = TempPath("keep.txt");
  const std::string old = "an earlier pass list\n";
  struct Case {
    int iridflg, occflg;
    double mxdist, irmag;
    bool badtle;
    int want;
  } cases[] = {
      {3, 0, 10.0, 30.0, false, ALLSAT_BADSET},  // Iridium, magnitude limit too faint
      {2, 0, 0.0, 5.0, false, ALLSAT_BADSET},    // flares without a distance
      {1, 3, 0.0, 5.0, false, ALLSAT_BADSET},    // occultation without a distance
      {0, 0, 0.0, 5.0, true, ALLSAT_NOTLE},
  };
  for (const Case& k : cases) {
    { std::ofstream(save) << old; }
    auto d = ListRecord(save);
    d->iridflg = k.iridflg;
    d->occflg = k.occflg;
    d->mxdist = k.mxdist;
    d->irmag = k.irmag;
    if (k.badtle) std::snprintf(d->tlenm, FILENAME_SIZE, "%s", TempPath("none.tle").c_str());
    EXPECT_EQ(AllSatAos(d.get()), k.want);
    EXPECT_EQ(readFile(save), old);
    EXPECT_EQ(d->svnew, 1);
  }
  auto d = ListRecord(save);
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", TempPath("no/such/dir/save.txt").c_str());
  EXPECT_EQ(AllSatAos(d.get()), ALLSAT_NOSAVE);
}

TEST(AllSatAos, AppendsAfterEarlierBlocksAndRestoresTheRecord) {
  const std::string save = TempPath("append.txt");
  const std::string old = "JAN 01  00:00:00 an earlier block, left alone\n\nshort\n";
  { std::ofstream(save) << old; }
  auto d = ListRecord(save);
  d->svnew = 0;
  d->dur = 0.1;
  // A selection of two with relative mode on and the second one prime.
  Tle iss = FindTle(DataPath("visual-2009.tle"), 25544);
  LoadTle(d.get(), 0, iss.name, iss.l1, iss.l2);
  LoadTle(d.get(), 1, iss.name, iss.l1, iss.l2);
  d->norad[1] = 4242;
  d->satnr = 2;
  d->prs = 1;
  d->rlm = 1;
  d->sunel = -6.0;
  ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  const std::string now = readFile(save);
  EXPECT_EQ(now.substr(0, old.size()), old);
  EXPECT_NE(now.find("Geographic Location: Test site", old.size()), std::string::npos);
  EXPECT_EQ(d->satnr, 2);
  EXPECT_EQ(d->prs, 1);
  EXPECT_EQ(d->norad[1], 4242);
  EXPECT_EQ(d->rlm, 1);
  EXPECT_EQ(d->sunel, -6.0);
  EXPECT_EQ(d->svnew, 0);
}

// A write that fails (disk full): a new list replaces the old save file only
// when it is complete.
TEST(AllSatAos, FailedNewListLeavesTheOldFile) {
  const support::TempDir dir;
  const std::string save = dir / "fresh.txt";
  const std::string old = "an earlier list that the user still has\n";
  { std::ofstream(save) << old; }
  ASSERT_EQ(chmod(save.c_str(), 0640), 0);
  auto d = ListRecord(save);
  d->dur = 0.2;
  int res;
  {
    // Room for the header only: the list cannot be written.
    FileSizeLimit limit(300);
    ASSERT_TRUE(limit.ok());
    res = AllSatAos(d.get());
  }
  EXPECT_EQ(res, ALLSAT_NOSAVE);
  EXPECT_EQ(readFile(save), old);
  EXPECT_EQ(d->svnew, 1);
  EXPECT_EQ(support::DirNames(dir.path), support::Names{"fresh.txt"});

  // Without the limit the new list replaces the old file.
  EXPECT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  const std::string now = readFile(save);
  EXPECT_EQ(now.find(old), std::string::npos);
  EXPECT_EQ(now.rfind("Geographic Location: Test site", 0), 0u);
  EXPECT_GT(now.size(), 1000u);
  EXPECT_EQ(d->svnew, 0);
  EXPECT_EQ(support::DirNames(dir.path), support::Names{"fresh.txt"});
  struct stat st;
  ASSERT_EQ(stat(save.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // as when written over
}

// An appended list that cannot be written whole (a full disk) is taken back:
// the save file ends as it did, not in a block cut mid-line.
TEST(AllSatAos, FailedAppendIsTakenBack) {
  const support::TempDir dir;
  const std::string save = dir / "more.txt";
  const std::string old(20000, 'o');
  { std::ofstream(save) << old; }
  auto d = ListRecord(save);
  d->svnew = 0;
  d->dur = 0.2;
  int res;
  {
    FileSizeLimit limit(20100);  // room for part of the header
    ASSERT_TRUE(limit.ok());
    res = AllSatAos(d.get());
  }
  EXPECT_EQ(res, ALLSAT_NOSAVE);
  EXPECT_EQ(readFile(save), old);
  EXPECT_EQ(support::DirNames(dir.path), support::Names{"more.txt"});
  EXPECT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  const std::string now = readFile(save);
  EXPECT_EQ(now.compare(0, old.size(), old), 0);
  EXPECT_GT(now.size(), old.size() + 1000);
  EXPECT_EQ(support::DirNames(dir.path), support::Names{"more.txt"});
}

// The disk holds the list but not the sort's copy: a file-size limit between
// the two, which a few satellites with many passes each give (the sorted list
// has a blank line before every fifth pass, the list as written one before
// each satellite). The list is saved, whole, in the order it was written; the
// result says it is unsorted, and why, instead of passing for a sorted list.
TEST(AllSatAos, ListTheSortCannotOrderIsSavedUnsorted) {
  const support::TempDir dir;
  // Names of one length: the header that names the file is as long.
  const std::string sorted = dir / "sorted.txt", grouped = dir / "groups.txt";
  auto d = ListRecord(sorted);
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", support::dataPath("passes.tle").c_str());
  d->day = 21;
  d->month = 1;
  d->year = 2018;
  d->dur = 2.0;
  int why = -1;
  ASSERT_EQ(AllSatAos(d.get(), &why), ALLSAT_DONE);
  EXPECT_EQ(why, 0);
  const std::string inOrder = readFile(sorted);
  const auto lines = [](const std::string& text) {
    std::vector<std::string> v;
    std::stringstream ss(text);
    for (std::string l; std::getline(ss, l);)
      if (l.size() >= 3 && l.find(".txt") == std::string::npos) v.push_back(l);
    return v;
  };
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", grouped.c_str());
  d->svnew = 1;
  int res;
  {
    FileSizeLimit limit(inOrder.size() - 1);
    ASSERT_TRUE(limit.ok());
    res = AllSatAos(d.get(), &why);
  }
  EXPECT_EQ(res, ALLSAT_UNSORTED);
  EXPECT_EQ(why, EFBIG);
  EXPECT_EQ(d->svnew, 0);  // saved: what follows is added
  const std::string asWritten = readFile(grouped);
  EXPECT_LT(asWritten.size(), inOrder.size());
  EXPECT_NE(lines(asWritten), lines(inOrder));
  std::vector<std::string> a = lines(asWritten), b = lines(inOrder);
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  EXPECT_EQ(a, b);  // every pass, none cut
  EXPECT_EQ(support::DirNames(dir.path), (support::Names{"groups.txt", "sorted.txt"}));
}

// A save file that is a symbolic link is written through it (the link stays,
// its target gets the list); a save file that is the TLE file, by its own
// name or through a link, is refused and the TLE file kept.
TEST(AllSatAos, SaveFileLinksAndTheTleFile) {
  const support::TempDir dir;
  const std::string target = dir / "elsewhere.txt", link = dir / "linked.txt";
  { std::ofstream(target) << "old\n"; }
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  auto d = ListRecord(link);
  d->dur = 0.1;
  ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(target).rfind("Geographic Location: Test site", 0), 0u);

  EXPECT_EQ(support::DirNames(dir.path), (support::Names{"elsewhere.txt", "linked.txt"}));

  const std::string tle = dir / "visual.tle", tlelink = dir / "visual-link.tle";
  { std::ofstream(tle) << readFile(DataPath("visual-2009.tle")); }
  const std::string elements = readFile(tle);
  ASSERT_EQ(symlink(tle.c_str(), tlelink.c_str()), 0);
  for (const std::string& name : {tle, tlelink})
    for (int fresh : {1, 0}) {
      d = ListRecord(name);
      std::snprintf(d->tlenm, FILENAME_SIZE, "%s", tle.c_str());
      d->svnew = fresh;
      d->dur = 0.1;
      EXPECT_EQ(AllSatAos(d.get()), ALLSAT_NOSAVE) << name << " " << fresh;
      EXPECT_EQ(readFile(tle), elements);
      EXPECT_EQ(d->svnew, fresh);
      EXPECT_EQ(support::DirNames(dir.path),
                (support::Names{"elsewhere.txt", "linked.txt", "visual-link.tle", "visual.tle"}));
    }
}

TEST(Nxt4Pass, SameSatellitesInTheSameOrderAsSkyfield) {
  std::vector<std::pair<std::string, double>> ref;
  double tsearch = 0.0;
  {
    std::ifstream f(DataPath("next-skyfield.csv"));
    std::string l;
    while (std::getline(f, l))
      if (l.rfind("# search time MJD ", 0) == 0) tsearch = std::atof(l.c_str() + 18);
    for (const auto& r : readCsv("lists/next-skyfield.csv"))
      ref.push_back({r[0], std::atof(r[1].c_str())});
  }
  ASSERT_GT(tsearch, 0.0);
  ASSERT_GE(ref.size(), 11u);
  std::multimap<std::string, double> rise;
  for (const auto& r : ref) rise.insert(r);

  auto d = ListRecord(TempPath("unused.txt"));
  // Set the clock offset so that "now" is the reference search time.
  const double clock = 40587.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
  d->rtoff = (tsearch - clock) * 24.0;
  d->rlm = 1;
  d->satnr = 3;
  const int n = Nxt4Pass(d.get());
  ASSERT_EQ(n, 10);
  EXPECT_EQ(d->satnr, 10);
  EXPECT_EQ(d->prs, 0);
  EXPECT_EQ(d->rlm, 1);
  // Place k holds a satellite whose skyfield rise is the k-th earliest (ties
  // within 2 s may swap places).
  for (int k = 0; k < n; ++k) {
    const std::string name = Trim(d->satname[k]);
    bool ok = false;
    auto range = rise.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
      ok = ok || std::fabs(it->second - ref[k].second) <= 2.0 * kSec;
    EXPECT_TRUE(ok) << k << ": " << name << " expected " << ref[k].first;
  }

  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", TempPath("none.tle").c_str());
  d->rlm = 1;
  EXPECT_EQ(Nxt4Pass(d.get()), -1);
  EXPECT_EQ(d->rlm, 1);
}

TEST(AllSatAos, IridiumWindowMarksOrSkipsOtherOrbits) {
  // No object of the file has the semi-major axis of an operational Iridium
  // satellite: their flare lines carry " ? " before the name (which starts in
  // column 67); with ops set they are not searched at all.
  const std::string save = TempPath("irid.txt");
  for (int ops : {0, 1}) {
    auto d = ListRecord(save);
    d->iridflg = 3;
    d->irmag = 4.0;
    d->sunel = -6.0;
    d->visflg = 1;
    d->ops = ops;
    ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
    EXPECT_FALSE(d->irsolw);
    std::stringstream ss(readFile(save));
    std::string l;
    int header = 0, flares = 0;
    while (std::getline(ss, l)) {
      header += l == "    Event Time (Azim.,Elev.)";
      if (l.find("  Iridium Flare  ") != 26) continue;
      ++flares;
      EXPECT_EQ(l.substr(64, 3), " ? ") << l;
      EXPECT_NE(l[67], ' ') << l;
    }
    EXPECT_EQ(header, 1);
    if (ops) {
      EXPECT_EQ(flares, 0);
    }
  }
}

TEST(AllSatAos, AutomaticZoneAddsTheTransitingSatellites) {
  // Sun transits with distance 0: each satellite with a listed transit joins
  // the selection; without a selection the first becomes slot 0.
  const std::string save = TempPath("zone.txt");
  Tle iss = FindTle(DataPath("visual-2009.tle"), 25544);
  for (int before : {0, 1}) {
    auto d = ListRecord(save);
    d->iridflg = 1;
    d->occflg = 1;
    d->mxdist = 0.0;
    d->sunel = -6.0;
    if (before) LoadTle(d.get(), 0, iss.name, iss.l1, iss.l2);
    d->satnr = before;
    ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
    EXPECT_EQ(d->mxdist, 0.0);
    EXPECT_EQ(d->sunel, -6.0);
    std::set<std::string> listed, selected;
    std::stringstream ss(readFile(save));
    std::string l;
    while (std::getline(ss, l))
      if (l.find("  Sun Transit  dist:") == 26) listed.insert(Trim(l.substr(l.find(" km   ") + 6)));
    ASSERT_GE(listed.size(), 1u);
    for (int i = before; i < d->satnr; ++i) selected.insert(Trim(d->satname[i]));
    EXPECT_EQ(selected, listed);
    EXPECT_EQ(d->satnr, before + static_cast<int>(listed.size()));
    if (before) {
      EXPECT_EQ(d->norad[0], 25544);
    }
  }
}

// A satellite without a position has no pass in the list, even with a
// minimum elevation of -90 deg, on one thread or several: the 2009 ISS
// (gone in 2026) beside a geostationary satellite that is always up.
TEST(AllSatAos, NoPassWithoutAPosition) {
  const Tle iss = FindTle(DataPath("visual-2009.tle"), 25544);
  const Tle goes = FindTle(support::dataPath("passes.tle"), 41866);
  const std::string tle = TempPath("gone.tle"), save = TempPath("gone.txt");
  writeFile(tle, iss.name + "\n" + iss.l1 + "\n" + iss.l2 + "\n" + goes.name + "\n" + goes.l1 +
                     "\n" + goes.l2 + "\n");
  for (int threads : {1, 2}) {
    SetListThreads(threads);
    auto d = ListRecord(save);
    std::snprintf(d->tlenm, FILENAME_SIZE, "%s", tle.c_str());
    d->day = 1, d->month = 6, d->year = 2026;
    d->satel = -90.0;
    ASSERT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
    std::stringstream ss(readFile(save));
    std::string l;
    std::vector<std::string> listed;
    while (std::getline(ss, l)) {
      ListPass p;
      if (ParsePass(l, 2026, p)) listed.push_back(p.name);
    }
    EXPECT_EQ(listed, std::vector<std::string>{Trim(goes.name)}) << threads;
  }
  SetListThreads(0);
}
