// Save-file sort of the all-satellite list, against the stable-sort oracle of
// tests/tools/sortaos_oracle.py.

#include "engine/sortaos.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "support/files.h"

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

class SortAosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorlix-sortaos-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    save_ = dir_ + "/satsave.txt";
    d_.reset(new WinpData());
    snprintf(d_->savnm, sizeof d_->savnm, "%s", save_.c_str());
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  std::string dir_, save_;
  std::unique_ptr<WinpData> d_;
};

class SortAosOracle : public SortAosTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SortAosOracle, MatchesStableSortByteForByte) {
  const std::string base = std::string(VORLIX_TEST_DATA) + "/sortaos/" + GetParam();
  const std::string in = readFile(base + ".in");
  const std::string want = readFile(base + ".out");
  const long start = std::stol(readFile(base + ".start"));
  ASSERT_FALSE(in.empty());
  writeFile(save_, in);
  outptr = stdout;  // the caller's stream is already closed; SortAos forgets it
  int why = -1;
  EXPECT_EQ(SortAos(d_.get(), start, &why), SORTAOS_DONE);
  EXPECT_EQ(why, 0);
  EXPECT_EQ(outptr, nullptr);
  EXPECT_EQ(readFile(save_), want);
  EXPECT_EQ(support::DirNames(dir_), support::Names{"satsave.txt"});
}

// yearend: JAN before DEC, equal keys in file order, "ISS" after the months and
//          "Zarya" after "ISS", '%' copied verbatim, short pieces dropped;
// seven:   headers, blank, five lines, blank, two lines;
// single:  one pass line leaves the file as it was;
// earlier: blocks before the offset (pass list, pass details) stay untouched;
// long:    lines over 159 characters split, 158/159/160-character lines,
//          bytes above 0x7f, no line feed at the end.
INSTANTIATE_TEST_SUITE_P(Cases, SortAosOracle,
                         ::testing::Values("yearend", "seven", "single", "earlier", "long"));

TEST_F(SortAosTest, MissingSaveFileCreatesNothing) {
  int why = 0;
  EXPECT_EQ(SortAos(d_.get(), 0, &why), SORTAOS_FAILED);
  EXPECT_EQ(why, ENOENT);
  EXPECT_FALSE(exists(save_));
  EXPECT_EQ(support::DirNames(dir_), support::Names{});
}

// The sorted file cannot be written whole (as on a full disk): the save file
// stays, and a file of the user's by the temporary file's usual name too; the
// caller learns that the list is unsorted, and why.
TEST_F(SortAosTest, TemporaryFileUnavailableLeavesSaveFile) {
  const std::string in =
      readFile(std::string(VORLIX_TEST_DATA) + "/sortaos/seven.in");
  writeFile(save_, in);
  writeFile(dir_ + "/vorlix.tmp", "mine\n");
  {
    support::FileSizeLimit limit(in.size() / 2);
    ASSERT_TRUE(limit.ok());
    int why = 0;
    EXPECT_EQ(SortAos(d_.get(), 0, &why), SORTAOS_FAILED);
    EXPECT_EQ(why, EFBIG);
  }
  EXPECT_EQ(readFile(save_), in);
  EXPECT_EQ(readFile(dir_ + "/vorlix.tmp"), "mine\n");
  EXPECT_EQ(support::DirNames(dir_), (support::Names{"satsave.txt", "vorlix.tmp"}));
}

TEST_F(SortAosTest, OffsetBeyondEndLeavesSaveFile) {
  const std::string in =
      readFile(std::string(VORLIX_TEST_DATA) + "/sortaos/seven.in");
  writeFile(save_, in);
  EXPECT_EQ(SortAos(d_.get(), static_cast<long>(in.size())), SORTAOS_DONE);
  EXPECT_EQ(readFile(save_), in);
}

// A save file that is a directory (on ext4 its end reads as LLONG_MAX, and
// the sort aborted allocating that much), a device or a FIFO (whose lines
// went to its reader): nothing is sorted or created, nothing thrown, and the
// list is reported unsorted.
TEST_F(SortAosTest, DirectoryOrDeviceIsNoSaveFile) {
  const std::string sub = dir_ + "/list";
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  writeFile(sub + "/inside.txt", "kept\n");
  struct Case {
    std::string name;
    char node;  // MakeNode's kind, 0: the folder
    int why;
  };
  const Case cases[] = {
      {sub, 0, EISDIR}, {dir_ + "/null", 'c', EINVAL}, {dir_ + "/fifo", 'p', EINVAL}};
  support::Names names{"list"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.node == 'c' && geteuid() != 0) continue;  // a device needs root
    if (c.node) {
      ASSERT_TRUE(support::MakeNode(c.name, c.node));
      names.push_back(c.name.substr(dir_.size() + 1));
    }
    snprintf(d_->savnm, sizeof d_->savnm, "%s", c.name.c_str());
    outptr = stdout;
    int why = 0;
    EXPECT_EQ(SortAos(d_.get(), 0, &why), SORTAOS_FAILED);
    EXPECT_EQ(why, c.why);
    EXPECT_EQ(outptr, nullptr);
    EXPECT_EQ(support::NodeType(c.name), c.node == 'c'   ? mode_t(S_IFCHR)
                                         : c.node == 'p' ? mode_t(S_IFIFO)
                                                         : mode_t(S_IFDIR));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(readFile(sub + "/inside.txt"), "kept\n");
  EXPECT_EQ(support::DirNames(dir_), names);
  EXPECT_EQ(support::DirNames(sub), support::Names{"inside.txt"});
}

TEST(CpMMM, Keys) {
  struct Case {
    const char* line;
    const char* key;  // 17 significant bytes
    size_t keylen;
  } cases[] = {
      {"JAN  1  00:10:00 (...)", "AJAN  1  00:10:00", 17},
      {"NOV 30  23:59:59 (...)", "KNOV 30  23:59:59", 17},
      {"DEC 31  22:00:00 (...)", "MDEC 31  22:00:00", 17},
      {"ISS (ZARYA) 12345678", "XISS (ZARYA) 1234", 17},
      {"Jan  1  lower case", "XJan  1  lower ca", 17},
      {"DEC", "MDEC", 4},  // short: padded with terminators
  };
  for (const Case& c : cases) {
    char key[AOSKEY_SIZE];
    memset(key, '?', sizeof key);
    CpMMM(key, c.line);
    char want[AOSKEY_SIZE] = {};
    memcpy(want, c.key, c.keylen);
    EXPECT_EQ(memcmp(key, want, AOSKEY_SIZE), 0) << c.line;
  }
}

}  // namespace
