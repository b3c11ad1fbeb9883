// The sky overlay export: the program run on fixture save files from the
// core's writers, its database compared byte for byte with the one that
// tests/tools/gen_companion_refs.py wrote and checked with XEphem's reader;
// its messages and exit status; files it must leave alone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "runprog.h"
#include "tools/sky/skylib.h"

using support::TempDir;

namespace {

std::string Data(const std::string& name) {
  return std::string(VORLIX_TEST_DATA) + "/companions/" + name;
}

const std::string kHello = "Generation of sky data for XEphem \n\n";

runprog::Result Sky(const std::vector<std::string>& args, const std::string& cwd) {
  return runprog::Run(VORLIX_SKY, args, "", cwd);
}

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

}  // namespace

// The column layout with the cases that show each rule: hours below 10 with
// a blank, a negative declination of two digits, a small one with two blanks,
// a negative one below one degree, labels padded with '0'.
TEST(SkyExport, EdbLine) {
  const struct {
    sky::SkyPoint p;
    const char* line;
  } rows[] = {
      {{5.3021, -12.0530, 21}, "21,f|S|K9, 5:30:21.0,-12:05:30.0,6.0\r\n"},
      {{23.5959, 7.5, 5}, "05,f|S|K9,23:59:59.0,  7:50:00.0,6.0\r\n"},
      {{0.0, -0.0450, 0}, "00,f|S|K9, 0:00:00.0, -0:04:50.0,6.0\r\n"},
      {{12.0, 90.0, 59}, "59,f|S|K9,12:00:00.0, 90:00:00.0,6.0\r\n"},
      {{14.26, -89.5959, -3}, "-3,f|S|K9,14:26:00.0,-89:59:59.0,6.0\r\n"},
  };
  for (const auto& r : rows) EXPECT_EQ(sky::EdbLine(r.p), r.line);
}

// Which lines give points: the R.A. is the first number from position 40
// (times with seconds) or 36 (times with minutes); places off the sky and
// short or damaged lines give none.
TEST(SkyExport, ReadSkyLine) {
  const struct {
    const char* what;
    const char* line;
    bool ok;
    double ra, dec;
    int label;
  } rows[] = {
      {"seconds, four decimals", "JAN 21   0:42:20     290.697     0.049        2.2618    13.3552",
       true, 2.2618, 13.3552, 20},
      {"seconds, two decimals", "JAN 21   0:42:30     290.879     0.679           2.27    14.12",
       true, 2.27, 14.12, 30},
      {"minutes", "JAN 21   0:51     101.106     9.583       14.3916    -0.0450", true, 14.3916,
       -0.0450, 51},
      {"tenths below 10 s", "JAN 21   0:43: 0.2     291.491     2.712        2.3132    16.0849",
       true, 2.3132, 16.0849, 0},
      {"R.A. of 24 h", "JAN 21   0:42:20     290.697     0.049       24.0000    13.3552", false,
       0, 0, 0},
      {"Dec. beyond the pole", "JAN 21   0:42:20     290.697     0.049        2.2618   -90.0001",
       false, 0, 0, 0},
      {"R.A. that is no number", "JAN 21   0:42:20     290.697     0.049          nan.0    13.3552",
       false, 0, 0, 0},
      {"no Dec.", "JAN 21   0:42:20     290.697     0.049        2.2618    and then nothing", false,
       0, 0, 0},
      {"51 characters with the line feed", "JAN 21   0:42:20     290.697     0.049    2.2 13.3",
       true, 2.2, 13.3, 20},
      {"50 characters with the line feed", "JAN 21   0:42:20     290.697     0.049   2.2 13.3",
       false, 0, 0, 0},
      {"no time", "JAN 21   0 42:20     290.697     0.049        2.2618    13.3552", false, 0, 0, 0},
      {"R.A. 23:99:99", "JAN 21   0:42:20     290.697     0.049       23.9999    13.3552", false,
       0, 0, 0},
      {"R.A. minutes 60", "JAN 21   0:42:20     290.697     0.049        2.6000    13.3552",
       false, 0, 0, 0},
      {"R.A. seconds 60", "JAN 21   0:42:20     290.697     0.049        2.2660    13.3552",
       false, 0, 0, 0},
      {"R.A. rounds to 24 h", "JAN 21   0:42:20     290.697     0.049      23.59996    13.3552",
       false, 0, 0, 0},
      {"R.A. 23:59:59", "JAN 21   0:42:20     290.697     0.049       23.5959    13.3552", true,
       23.5959, 13.3552, 20},
      {"Dec. minutes 60", "JAN 21   0:42:20     290.697     0.049        2.2618   -13.6000",
       false, 0, 0, 0},
      {"Dec. seconds 60", "JAN 21   0:42:20     290.697     0.049        2.2618    13.3560",
       false, 0, 0, 0},
      {"Dec. 90:00:01", "JAN 21   0:42:20     290.697     0.049        2.2618    90.0001", false,
       0, 0, 0},
      {"Dec. 90:00:00", "JAN 21   0:42:20     290.697     0.049        2.2618   -90.0000", true,
       2.2618, -90.0, 20},
      {"R.A. with letters", "JAN 21   0:42:20     290.697     0.049        2.26x8    13.3552",
       false, 0, 0, 0},
      {"Dec. with an exponent", "JAN 21   0:42:20     290.697     0.049        2.2618    1.3e1",
       false, 0, 0, 0},
      {"orbit-track step without a position", "AUG  8  12:10:00    No Position", false, 0, 0, 0},
  };
  for (const auto& r : rows) {
    sky::SkyPoint p{-1, -1, -1};
    const std::string line = std::string(r.line) + "\n";
    ASSERT_EQ(sky::ReadSkyLine(line.c_str(), p), r.ok) << r.what;
    if (!r.ok) continue;
    EXPECT_EQ(p.ra, r.ra) << r.what;
    EXPECT_EQ(p.dec, r.dec) << r.what;
    EXPECT_EQ(p.label, r.label) << r.what;
  }
}

// The program on each fixture: the database the reference script made, and
// the summary line.
TEST(SkyExport, FixtureFiles) {
  const struct {
    const char* name;
    int points;
  } rows[] = {{"satsave", 65},        {"details-wide", 65},    {"details-narrow", 65},
              {"details-minutes", 11}, {"details-subsec", 140}};
  for (const auto& r : rows) {
    TempDir dir;
    const auto res = Sky({Data(std::string(r.name) + ".txt"), dir / "out.edb"}, dir.path);
    EXPECT_EQ(res.status, 0) << r.name;
    EXPECT_EQ(res.out,
              kHello + "Map generated with " + std::to_string(r.points) + " points. \n\n")
        << r.name;
    const std::string edb = readFile(dir / "out.edb");
    EXPECT_EQ(edb, readFile(Data(std::string(r.name) + ".edb"))) << r.name;
    EXPECT_EQ(Lines(edb), r.points) << r.name;
    EXPECT_EQ(edb.size(), 38u * r.points) << r.name;
  }
}

// Without arguments: satsave.txt in, satovl.edb out, in the working folder;
// a database that existed keeps its permissions.
TEST(SkyExport, DefaultNames) {
  TempDir dir;
  writeFile(dir / "satsave.txt", readFile(Data("details-minutes.txt")));
  writeFile(dir / "satovl.edb", "old\r\n");
  ASSERT_EQ(chmod((dir / "satovl.edb").c_str(), 0640), 0);
  const auto res = Sky({}, dir.path);
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(readFile(dir / "satovl.edb"), readFile(Data("details-minutes.edb")));
  struct stat st;
  ASSERT_EQ(stat((dir / "satovl.edb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Nothing to export, the input as output, a missing input or an output
// folder that does not exist: a message, exit status 1, and every file as it
// was (no temporary file left behind).
TEST(SkyExport, FailuresLeaveFilesAlone) {
  TempDir dir;
  const std::string save = readFile(Data("details-wide.txt"));
  writeFile(dir / "satsave.txt", save);
  writeFile(dir / "track.txt", readFile(Data("gtrack-seconds.txt")));
  writeFile(dir / "satovl.edb", "old\r\n");
  ASSERT_EQ(link((dir / "satsave.txt").c_str(), (dir / "hardlink.txt").c_str()), 0);

  auto res = Sky({"track.txt"}, dir.path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, kHello + "No sky positions in track.txt: satovl.edb left unchanged\n\n");
  EXPECT_EQ(readFile(dir / "satovl.edb"), "old\r\n");

  for (const char* out : {"satsave.txt", "./satsave.txt", "hardlink.txt"}) {
    res = Sky({"satsave.txt", out}, dir.path);
    EXPECT_EQ(res.status, 1) << out;
    EXPECT_EQ(res.out, kHello + "The output file is the input file: " + out + "\n\n");
    EXPECT_EQ(readFile(dir / "satsave.txt"), save) << out;
  }

  res = Sky({"missing.txt"}, dir.path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, kHello + "Unable to open input file missing.txt\n\n");

  res = Sky({"satsave.txt", "nofolder/out.edb"}, dir.path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out,
            kHello + "Unable to open output file nofolder/out.edb: No such file or directory\n\n");

  res = Sky({dir.path}, dir.path);  // a folder is no save file
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, kHello + "Unable to open input file " + dir.path + "\n\n");
  // Nor is a FIFO: refused at once, not waited on for a writer.
  ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  res = Sky({"pipe.txt"}, dir.path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, kHello + "Unable to open input file pipe.txt\n\n");
  std::filesystem::remove(dir / "pipe.txt");

  EXPECT_EQ(readFile(dir / "satovl.edb"), "old\r\n");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path)) files += e.exists();
  EXPECT_EQ(files, 4);  // the four it had
}

// An output that is a character device is written into and stays a device
// (making one needs root); a FIFO that nobody reads is named in the message
// (never waited on) and stays a FIFO.
TEST(SkyExport, DeviceAndFifoOutputsKeepTheirType) {
  const struct {
    const char* name;
    char kind;
    int status;
    std::string out;
    mode_t type;
  } rows[] = {
      {"null", 'c', 0, kHello + "Map generated with 11 points. \n\n", S_IFCHR},
      {"pipe.edb", 'p', 1,
       kHello + "Unable to open output file pipe.edb: a FIFO that nobody reads\n\n", S_IFIFO},
  };
  for (const auto& r : rows) {
    if (r.kind == 'c' && geteuid() != 0) continue;  // making a device needs root
    TempDir dir;
    writeFile(dir / "satsave.txt", readFile(Data("details-minutes.txt")));
    ASSERT_TRUE(support::MakeNode(dir / r.name, r.kind)) << r.name;
    const auto res = Sky({"satsave.txt", r.name}, dir.path);
    EXPECT_EQ(res.status, r.status) << r.name;
    EXPECT_EQ(res.out, r.out) << r.name;
    EXPECT_EQ(support::NodeType(dir / r.name), r.type) << r.name;
    EXPECT_EQ(support::DirNames(dir.path), (support::Names{r.name, "satsave.txt"}));
  }
}

// An output that cannot be written says which step failed and why: a
// folder, a link into a folder that does not exist, a full device (one like
// the system's, c 1 7, made in the test's folder: that needs root). Nothing
// is made beside them.
TEST(SkyExport, OutputFailuresGiveTheirReason) {
  const bool root = geteuid() == 0;
  const struct {
    const char* name;
    std::string out;
  } rows[] = {
      {"folder", "Unable to open output file folder: Is a directory"},
      {"dangling.edb", "Unable to open output file dangling.edb: No such file or directory"},
      {"full", "Unable to write output file full: No space left on device"},
  };
  TempDir dir;
  writeFile(dir / "satsave.txt", readFile(Data("details-minutes.txt")));
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
  ASSERT_EQ(symlink("missing/out.edb", (dir / "dangling.edb").c_str()), 0);
  if (root) {
    ASSERT_TRUE(support::MakeNode(dir / "full", 'f'));
  }
  for (const auto& r : rows) {
    if (std::string(r.name) == "full" && !root) continue;
    const auto res = Sky({"satsave.txt", r.name}, dir.path);
    EXPECT_EQ(res.status, 1) << r.name;
    EXPECT_EQ(res.out, kHello + r.out + "\n\n");
  }
  const support::Names names = root ? support::Names{"dangling.edb", "folder", "full", "satsave.txt"}
                                     : support::Names{"dangling.edb", "folder", "satsave.txt"};
  EXPECT_EQ(support::DirNames(dir.path), names);
  EXPECT_EQ(support::NodeType(dir / "full"), root ? static_cast<mode_t>(S_IFCHR) : 0);
  EXPECT_EQ(support::DirNames(dir / "folder"), support::Names{});
}

// Under a file size limit (ulimit -f) too small for the new database, the
// program is not ended by the limit: it says that the write failed and why,
// with its failure status, and the old database is whole, whether it has a
// second name (written in place) or not (replaced); nothing is left beside
// it.
TEST(SkyExport, FileSizeLimitIsAWriteFailure) {
  std::string old;
  while (old.size() < 3000) old += "00,f|S|K9, 1:00:00.0, 10:00:00.0,6.0\r\n";
  for (const bool linked : {true, false}) {
    SCOPED_TRACE(linked ? "hard-linked" : "one name");
    TempDir dir;
    writeFile(dir / "satsave.txt", readFile(Data("details-subsec.txt")));  // 140 points
    writeFile(dir / "out.edb", old);
    support::Names names{"out.edb", "satsave.txt"};
    if (linked) {
      ASSERT_EQ(link((dir / "out.edb").c_str(), (dir / "other.edb").c_str()), 0);
      names.insert(names.begin(), "other.edb");
    }
    runprog::Setup limited;
    limited.fileSizeLimit = 2048;
    const auto res = runprog::Run(VORLIX_SKY, {"satsave.txt", "out.edb"}, "", dir.path, limited);
    EXPECT_EQ(res.status, 1);
    EXPECT_EQ(res.out, kHello + "Unable to write output file out.edb: File too large\n\n");
    EXPECT_TRUE(readFile(dir / "out.edb") == old);
    EXPECT_EQ(support::DirNames(dir.path), names);
  }
}

// An output named by an open descriptor (/dev/stdout and its other names)
// is written into what the shell opened, as a shell's tools write it: into
// the pipe, or into the file itself, after the messages before it and
// before those after it, never replaced by another file. A write there that
// fails (a file size limit) leaves none of the database in the file.
TEST(SkyExport, OpenDescriptorIsWrittenAsItIs) {
  const std::string edb = readFile(Data("details-minutes.edb"));
  const std::string done = "Map generated with 11 points. \n\n";
  const struct {
    const char* name;
    bool pipe;
    rlim_t limit;
    int status;
    std::string out;
  } rows[] = {
      {"/dev/stdout", true, RLIM_INFINITY, 0, kHello + edb + done},
      {"/dev/stdout", false, RLIM_INFINITY, 0, kHello + edb + done},
      {"/dev/fd/1", true, RLIM_INFINITY, 0, kHello + edb + done},
      {"/proc/self/fd/1", false, RLIM_INFINITY, 0, kHello + edb + done},
      {"/dev/stdout", false, 200, 1,
       kHello + "Unable to write output file /dev/stdout: File too large\n\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.name) + (r.pipe ? " into a pipe" : " into a file") +
                 (r.limit != RLIM_INFINITY ? " under a size limit" : ""));
    TempDir dir;
    writeFile(dir / "satsave.txt", readFile(Data("details-minutes.txt")));
    runprog::Setup setup;
    setup.outPipe = r.pipe;
    setup.fileSizeLimit = r.limit;
    const auto res = runprog::Run(VORLIX_SKY, {"satsave.txt", r.name}, "", dir.path, setup);
    EXPECT_EQ(res.status, r.status);
    EXPECT_EQ(res.out, r.out);
    EXPECT_EQ(support::DirNames(dir.path), support::Names{"satsave.txt"});
  }
}

// A FIFO whose reader takes a little and leaves while a large export is
// written: the program is not ended by the broken pipe, it says the write
// failed and why, with its failure status.
TEST(SkyExport, ReaderThatLeavesIsAWriteFailure) {
  TempDir dir;
  std::string text;
  const std::string line = "JAN 21   0:42:20     290.697     0.049        2.2618    13.3552\n";
  for (int k = 0; k < sky::kMaxPoints; ++k) text += line;  // far more than a pipe holds
  writeFile(dir / "satsave.txt", text);
  ASSERT_EQ(mkfifo((dir / "x.edb").c_str(), 0600), 0);
  // Opened for reading and writing, the FIFO has a reader at once and never
  // waits; the reader takes 100 bytes and closes its end.
  const int fd = open((dir / "x.edb").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::thread reader([fd] {
    char buf[100];
    size_t got = 0;
    while (got < sizeof buf) {
      const ssize_t n = read(fd, buf + got, sizeof buf - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    close(fd);
  });
  // The program as a shell starts it: a broken pipe would end it.
  const auto old = std::signal(SIGPIPE, SIG_DFL);
  const auto res = Sky({"satsave.txt", "x.edb"}, dir.path);
  std::signal(SIGPIPE, old);
  reader.join();
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, kHello + "Unable to write output file x.edb: Broken pipe\n\n");
  EXPECT_EQ(support::NodeType(dir / "x.edb"), S_IFIFO);
}

// Impossible places among good steps are skipped: the count and the
// database hold only the good ones.
TEST(SkyExport, ImpossiblePlacesSkipped) {
  TempDir dir;
  writeFile(dir / "satsave.txt",
            "JAN 21   0:42:20     290.697     0.049        2.2618    13.3552\n"
            "JAN 21   0:42:30     290.879     0.679       23.9999    14.1200\n"
            "JAN 21   0:42:40     291.060     1.310        2.2700    14.1200\n"
            "JAN 21   0:42:50     291.241     1.941        2.2730    95.0000\n"
            "JAN 21   0:43:00     291.422     2.572        2.2745   -14.6130\n"
            "JAN 21   0:43:10     291.603     3.203        2.2800    15.0000\n");
  const auto res = Sky({}, dir.path);
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(res.out, kHello + "Map generated with 3 points. \n\n");
  EXPECT_EQ(readFile(dir / "satovl.edb"),
            "20,f|S|K9, 2:26:18.0, 13:35:52.0,6.0\r\n"
            "40,f|S|K9, 2:27:00.0, 14:12:00.0,6.0\r\n"
            "10,f|S|K9, 2:28:00.0, 15:00:00.0,6.0\r\n");
}

// At most 6999 points; every later one is ignored. Junk lines around them
// are skipped.
TEST(SkyExport, PointCapAndJunk) {
  TempDir dir;
  std::string text(3000, '\0');
  for (size_t k = 0; k < text.size(); ++k) text[k] = static_cast<char>((k * 7919) % 251);
  text += "\n" + std::string(300, ':') + "\n";
  const std::string line = "JAN 21   0:42:20     290.697     0.049        2.2618    13.3552\n";
  for (int k = 0; k < 7100; ++k) text += line;
  writeFile(dir / "big.txt", text);
  const auto res = Sky({"big.txt", "big.edb"}, dir.path);
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(res.out, kHello + "Map generated with 6999 points. \n\n");
  const std::string edb = readFile(dir / "big.edb");
  EXPECT_EQ(Lines(edb), 6999);
  EXPECT_EQ(edb.substr(0, 38), "20,f|S|K9, 2:26:18.0, 13:35:52.0,6.0\r\n");
}
