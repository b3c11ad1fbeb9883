// The all-satellite list and its save file when writing fails: a new list
// replaces the old file only when it is complete.
#include "engine/lists.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

#include "lists_fixture.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Files of this process may not grow beyond `bytes` while it lives (writes
// beyond fail with EFBIG instead of raising SIGXFSZ).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldsig_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = old_;
    r.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &r) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldsig_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit old_;
  void (*oldsig_)(int);
  bool ok_ = false;
};

TEST(AllSatAosSaveFile, FailedNewListLeavesTheOldFile) {
  char dir[] = "/tmp/vorlix-allsat-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string save = std::string(dir) + "/satsave.txt";
  const std::string old = "an earlier list that the user still has\n";
  { std::ofstream(save) << old; }
  ASSERT_EQ(chmod(save.c_str(), 0640), 0);
  auto d = listsfx::NewRecord();
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", listsfx::DataPath("visual-2009.tle").c_str());
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", save.c_str());
  d->day = 7;
  d->month = 1;
  d->year = 2009;
  d->dur = 0.2;
  d->svnew = 1;
  int res;
  {
    // Room for the header only: the list cannot be written.
    FileSizeLimit limit(300);
    ASSERT_TRUE(limit.ok());
    res = AllSatAos(d.get());
  }
  EXPECT_EQ(res, ALLSAT_NOSAVE);
  EXPECT_EQ(ReadFile(save), old);
  EXPECT_EQ(d->svnew, 1);
  EXPECT_FALSE(Exists(save + ".tmp"));

  // Without the limit the new list replaces the old file.
  EXPECT_EQ(AllSatAos(d.get()), ALLSAT_DONE);
  const std::string now = ReadFile(save);
  EXPECT_EQ(now.find(old), std::string::npos);
  EXPECT_EQ(now.rfind("Geographic Location: Test site", 0), 0u);
  EXPECT_GT(now.size(), 1000u);
  EXPECT_EQ(d->svnew, 0);
  EXPECT_FALSE(Exists(save + ".tmp"));
  struct stat st;
  ASSERT_EQ(stat(save.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // as when written over
  std::remove(save.c_str());
  rmdir(dir);
}

}  // namespace
