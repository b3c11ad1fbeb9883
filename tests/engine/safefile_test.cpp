// The safe file writer: all or nothing, permissions kept, links kept.
#include "engine/safefile.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fcntl.h>
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"
#include "support/child.h"
#include "support/failingsync.h"
#include "support/watchdog.h"

namespace {

using support::AsOrdinaryUser;
using support::FailingSync;
using support::FileSizeLimit;
using support::Names;

class SafeFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.empty()); }
  bool exists(const std::string& p) {
    struct stat st;
    return lstat(p.c_str(), &st) == 0;
  }
  // The names in the test's directory, sorted: shows a temporary file left
  // behind whatever its name.
  Names entries() { return support::DirNames(dir_); }
  support::TempDir tmp_;
  const std::string& dir_ = tmp_.path;
};

TEST_F(SafeFileTest, ReplacesOnlyOnCommitAndKeepsPermissions) {
  const std::string p = dir_ + "/list.txt";
  writeFile(p, "old\n");
  ASSERT_EQ(chmod(p.c_str(), 0640), 0);
  {
    SafeFile f(p.c_str());
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.put("new "));
    EXPECT_TRUE(f.write("text\n", 5));
    EXPECT_EQ(readFile(p), "old\n");  // nothing visible before the commit
    EXPECT_EQ(f.commit(), SafeFile::Done);
  }
  EXPECT_EQ(readFile(p), "new text\n");
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entries(), Names{"list.txt"});

  {
    SafeFile f(p.c_str());  // dropped without a commit
    ASSERT_TRUE(f.open());
    f.put("lost");
  }
  EXPECT_EQ(readFile(p), "new text\n");
  EXPECT_EQ(entries(), Names{"list.txt"});

  SafeFile never(p.c_str());
  EXPECT_EQ(never.commit(), SafeFile::NotOpen);
}

// A file the user write-protected is never replaced nor appended to, although
// the directory would allow a rename over it; it keeps its bytes and mode.
TEST_F(SafeFileTest, WriteProtectedTargetIsRefused) {
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);  // the directory allows everything
  const std::string p = dir_ + "/satsave.txt";
  writeFile(p, "kept\n");
  ASSERT_EQ(chmod(p.c_str(), 0444), 0);
  const int res = AsOrdinaryUser([&] {
    SafeFile f(p.c_str());
    if (f.open()) {
      f.put("replaced\n");
      if (f.commit() == SafeFile::Done) return 1;
    } else if (f.error() != EACCES) {
      return 2;
    }
    AppendFile a(p.c_str());
    if (a.open()) {
      std::fputs("appended\n", a.file());
      if (a.finish(true)) return 3;
    }
    // Write-protected after the temporary file was made: not replaced either.
    const std::string q = dir_ + "/late.txt";
    writeFile(q, "late\n");
    SafeFile g(q.c_str());
    if (!g.open()) return 4;
    g.put("replaced\n");
    chmod(q.c_str(), 0444);
    return g.commit() == SafeFile::ReplaceFailed ? 0 : 5;
  });
  EXPECT_EQ(res, 0);
  EXPECT_EQ(readFile(p), "kept\n");
  EXPECT_EQ(readFile(dir_ + "/late.txt"), "late\n");
  EXPECT_EQ(entries(), (Names{"late.txt", "satsave.txt"}));
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_EQ(st.st_nlink, 1u);
}

// Through a symbolic link (also a relative one, also a chain) the file the
// link points to is replaced and the link stays.
TEST_F(SafeFileTest, WritesBesideTheLinksTarget) {
  ASSERT_EQ(mkdir((dir_ + "/real").c_str(), 0700), 0);
  const std::string real = dir_ + "/real/vorlix.cfg";
  writeFile(real, "old\n");
  ASSERT_EQ(symlink("real/vorlix.cfg", (dir_ + "/link1").c_str()), 0);
  ASSERT_EQ(symlink((dir_ + "/link1").c_str(), (dir_ + "/link2").c_str()), 0);
  SafeFile f((dir_ + "/link2").c_str());
  EXPECT_EQ(f.target(), dir_ + "/real/vorlix.cfg");
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.tempPath().rfind(real + ".", 0), 0u);  // beside the real file
  f.put("new\n");
  ASSERT_EQ(f.commit(), SafeFile::Done);
  struct stat st;
  ASSERT_EQ(lstat((dir_ + "/link2").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(lstat((dir_ + "/link1").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readFile(real), "new\n");

  // A link to a file not there yet creates that file.
  ASSERT_EQ(symlink("real/new.txt", (dir_ + "/dangling").c_str()), 0);
  SafeFile g((dir_ + "/dangling").c_str());
  ASSERT_TRUE(g.open());
  g.put("x");
  ASSERT_EQ(g.commit(), SafeFile::Done);
  EXPECT_EQ(readFile(dir_ + "/real/new.txt"), "x");
}

// A temporary name of the caller's choice lives in the target's directory; a
// link planted at that name is neither written through nor removed.
TEST_F(SafeFileTest, NamedTemporaryFileAndPlantedLink) {
  const std::string p = dir_ + "/satsave.txt";
  const std::string victim = dir_ + "/victim";
  writeFile(victim, "keep\n");
  ASSERT_EQ(symlink(victim.c_str(), (dir_ + "/vorlix.tmp").c_str()), 0);
  SafeFile f(p.c_str(), "vorlix.tmp");
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.tempPath().rfind(dir_ + "/vorlix.tmp.", 0), 0u);
  f.put("sorted\n");
  ASSERT_EQ(f.commit(), SafeFile::Done);
  EXPECT_EQ(readFile(p), "sorted\n");
  EXPECT_EQ(readFile(victim), "keep\n");
  EXPECT_EQ(entries(), (Names{"satsave.txt", "victim", "vorlix.tmp"}));

  // The target's own name as the temporary one: the target is replaced
  // whole, not written into while the temporary file is open.
  SafeFile same(p.c_str(), "satsave.txt");
  ASSERT_TRUE(same.open());
  same.put("again\n");
  EXPECT_EQ(readFile(p), "sorted\n");
  ASSERT_EQ(same.commit(), SafeFile::Done);
  EXPECT_EQ(readFile(p), "again\n");
  EXPECT_EQ(entries(), (Names{"satsave.txt", "victim", "vorlix.tmp"}));
}

// The user's own files beside the target, whatever their names, survive a
// save, a failed one too; two saves of one target never share a temporary
// file; nothing of theirs is left behind.
TEST_F(SafeFileTest, TemporaryNamesAreTheirOwn) {
  const std::string p = dir_ + "/satsave.txt";
  writeFile(p, "old\n");
  writeFile(p + ".tmp", "mine\n");
  {
    SafeFile a(p.c_str()), b(p.c_str());
    ASSERT_TRUE(a.open());
    ASSERT_TRUE(b.open());
    EXPECT_NE(a.tempPath(), b.tempPath());
    a.put("a\n");
    b.put("b\n");
    EXPECT_EQ(a.commit(), SafeFile::Done);
    EXPECT_EQ(b.commit(), SafeFile::Done);
    SafeFile c(p.c_str());
    ASSERT_TRUE(c.open());
    c.put("dropped");
  }
  EXPECT_EQ(readFile(p), "b\n");
  EXPECT_EQ(readFile(p + ".tmp"), "mine\n");
  EXPECT_EQ(entries(), (Names{"satsave.txt", "satsave.txt.tmp"}));
}

TEST_F(SafeFileTest, FailuresLeaveTheOldFile) {
  const std::string p = dir_ + "/out.tle";
  writeFile(p, "old\n");

  SafeFile missing((dir_ + "/no/such/dir/x").c_str());
  EXPECT_FALSE(missing.open());
  EXPECT_EQ(missing.error(), ENOENT);
  SafeFile empty("");
  EXPECT_FALSE(empty.open());

  // A directory by the name a temporary file once had is no obstacle and
  // is left alone.
  ASSERT_EQ(mkdir((p + ".tmp").c_str(), 0700), 0);
  {
    SafeFile beside(p.c_str());
    ASSERT_TRUE(beside.open());
    beside.put("new\n");
    ASSERT_EQ(beside.commit(), SafeFile::Done);
  }
  EXPECT_EQ(readFile(p), "new\n");
  EXPECT_EQ(entries(), (Names{"out.tle", "out.tle.tmp"}));
  ASSERT_EQ(rmdir((p + ".tmp").c_str()), 0);
  writeFile(p, "old\n");

  // A write beyond the file size limit (a full disk).
  SafeFile::Result res = SafeFile::Done;
  {
    FileSizeLimit limit(100);
    ASSERT_TRUE(limit.ok());
    SafeFile f(p.c_str());
    ASSERT_TRUE(f.open());
    for (int k = 0; k < 100; ++k) f.put("0123456789");
    res = f.commit();
  }
  EXPECT_EQ(res, SafeFile::WriteFailed);
  EXPECT_EQ(readFile(p), "old\n");
  EXPECT_EQ(entries(), Names{"out.tle"});

  // The target is a directory: refused before anything is made.
  ASSERT_EQ(mkdir((dir_ + "/adir").c_str(), 0700), 0);
  writeFile(dir_ + "/adir/f", "x");
  SafeFile d((dir_ + "/adir").c_str());
  EXPECT_FALSE(d.open());
  EXPECT_EQ(d.error(), EISDIR);
  EXPECT_EQ(d.commit(), SafeFile::NotOpen);
  EXPECT_EQ(entries(), (Names{"adir", "out.tle"}));
}

// An append that fails (here at a file size limit, as on a full disk) is
// taken back: the file ends where it ended, not in a block cut mid-line.
TEST_F(SafeFileTest, FailedAppendIsTakenBack) {
  const std::string p = dir_ + "/satsave.txt";
  const std::string old(20000, 'o');
  writeFile(p, old);
  {
    AppendFile a(p.c_str());
    ASSERT_TRUE(a.open());
    EXPECT_EQ(a.start(), 20000);
    std::fputs("a whole block\n", a.file());
    EXPECT_TRUE(a.finish(true));
  }
  EXPECT_EQ(readFile(p), old + "a whole block\n");
  writeFile(p, old);
  {
    FileSizeLimit limit(20100);
    ASSERT_TRUE(limit.ok());
    AppendFile a(p.c_str());
    ASSERT_TRUE(a.open());
    for (int k = 0; k < 1000; ++k) std::fputs("line of the new block\n", a.file());
    EXPECT_FALSE(a.finish(true));
  }
  EXPECT_EQ(readFile(p), old);
  {
    AppendFile a(p.c_str());  // given up by its writer
    ASSERT_TRUE(a.open());
    std::fputs("half a li", a.file());
    EXPECT_FALSE(a.finish(false));
  }
  EXPECT_EQ(readFile(p), old);
  {
    AppendFile a(p.c_str());  // never finished
    ASSERT_TRUE(a.open());
    std::fputs("half a li", a.file());
  }
  EXPECT_EQ(readFile(p), old);
  // A missing file is no append (a new file is made whole or not at all,
  // by SafeFile), and a directory.
  AppendFile fresh((dir_ + "/new.txt").c_str());
  errno = 0;
  EXPECT_FALSE(fresh.open());
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(entries(), Names{"satsave.txt"});
  AppendFile dir(dir_.c_str());
  EXPECT_FALSE(dir.open());
  // A FIFO nobody reads is refused at once instead of blocking the open;
  // a device (one like the null device, made here: that needs root) is
  // written as it is.
  const std::string fifo = dir_ + "/fifo.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(support::InChild([&] { return AppendFile(fifo.c_str()).open() ? 1 : 0; }, 10), 0);
  if (geteuid() != 0) return;
  const std::string null = dir_ + "/null";
  ASSERT_TRUE(support::MakeNode(null, 'c'));
  AppendFile device(null.c_str());
  ASSERT_TRUE(device.open());
  EXPECT_EQ(device.start(), -1);
  std::fputs("gone\n", device.file());
  EXPECT_TRUE(device.finish(true));
  EXPECT_EQ(support::NodeType(null), static_cast<mode_t>(S_IFCHR));
}

TEST_F(SafeFileTest, SameFileThroughPathsAndLinks) {
  const std::string p = dir_ + "/visual.txt";
  writeFile(p, "x");
  ASSERT_EQ(symlink(p.c_str(), (dir_ + "/link").c_str()), 0);
  EXPECT_TRUE(SameFile(p.c_str(), p.c_str()));
  EXPECT_TRUE(SameFile(p.c_str(), (dir_ + "/./visual.txt").c_str()));
  EXPECT_TRUE(SameFile((dir_ + "/link").c_str(), p.c_str()));
  writeFile(dir_ + "/other.txt", "x");
  EXPECT_FALSE(SameFile(p.c_str(), (dir_ + "/other.txt").c_str()));
  EXPECT_FALSE(SameFile(p.c_str(), (dir_ + "/missing.txt").c_str()));
  EXPECT_FALSE(SameFile(nullptr, p.c_str()));
}

// Only a regular file opens for reading by name; anything else is refused
// at once (a FIFO without a writer would otherwise wait for ever).
TEST_F(SafeFileTest, OpenRegularOnlyOpensRegularFiles) {
  const std::string p = dir_ + "/visual.txt";
  writeFile(p, "ISS\n");
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  struct Case {
    std::string path;
    const char* mode;
    int err;  // 0: opens
  } const cases[] = {
      {p, "r", 0},
      {p, "rb", 0},
      {p, "w", EINVAL},
      {p, "r+", EINVAL},
      {dir_ + "/missing", "r", ENOENT},
      {dir_, "r", EISDIR},
      {dir_ + "/fifo", "r", EINVAL},
      {"/dev/zero", "r", EINVAL},
  };
  for (const Case& c : cases) {
    const int res = support::InChild(
        [&] {
          errno = 0;
          FILE* f = OpenRegular(c.path.c_str(), c.mode);
          if (!f) return errno == c.err ? 0 : 1;
          char line[8] = "";
          const bool read = std::fgets(line, sizeof line, f) && std::string(line) == "ISS\n";
          std::fclose(f);
          return c.err == 0 && read ? 0 : 2;
        },
        10);
    EXPECT_EQ(res, 0) << c.path << " " << c.mode;
  }
  EXPECT_EQ(readFile(p), "ISS\n");
}

// Sets the process's umask while it lives (also when an assertion returns
// early).
class UmaskGuard {
 public:
  explicit UmaskGuard(mode_t mask) : old_(umask(mask)) {}
  ~UmaskGuard() { umask(old_); }
  UmaskGuard(const UmaskGuard&) = delete;
  UmaskGuard& operator=(const UmaskGuard&) = delete;

 private:
  mode_t old_;
};

// The temporary file is never more open than the file it replaces, from its
// creation on (a crash leaves no readable copy of a private file), and the
// target keeps its permission bits, without a set-user-ID or set-group-ID
// bit; a new target gets the usual mode under the process's umask.
TEST_F(SafeFileTest, TemporaryHasTheTargetsPermissionsWhileWritten) {
  struct Case {
    mode_t umask;
    mode_t target;  // 0: no target yet
    mode_t during, after;
  } const cases[] = {
      {027, 0600, 0600, 0600},
      {027, 0640, 0640, 0640},
      {027, 0604, 0604, 0604},
      {027, 04755, 0755, 0755},
      {027, 02770, 0770, 0770},
      {027, 0, 0640, 0640},
      {077, 0, 0600, 0600},
      {002, 0, 0664, 0664},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.umask) + " " + std::to_string(c.target));
    const UmaskGuard mask(c.umask);
    const std::string p = dir_ + "/satsave.txt";
    unlink(p.c_str());
    if (c.target) {
      writeFile(p, "private\n");
      ASSERT_EQ(chmod(p.c_str(), c.target), 0);
    }
    SafeFile f(p.c_str());
    ASSERT_TRUE(f.open());
    struct stat st;
    ASSERT_EQ(stat(f.tempPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.during);
    EXPECT_TRUE(f.put("new\n"));
    ASSERT_EQ(f.commit(), SafeFile::Done);
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.after);
    EXPECT_EQ(readFile(p), "new\n");
    EXPECT_EQ(entries(), Names{"satsave.txt"});
  }
}

// A failed append cuts back the file it was written to, also when that was
// renamed meanwhile; a file that took the old name is not touched.
TEST_F(SafeFileTest, FailedAppendCutsTheFileItOpened) {
  const std::string p = dir_ + "/satsave.txt", moved = dir_ + "/moved.txt";
  writeFile(p, "old\n");
  AppendFile a(p.c_str());
  ASSERT_TRUE(a.open());
  std::fputs("half a li", a.file());
  ASSERT_EQ(rename(p.c_str(), moved.c_str()), 0);
  writeFile(p, "another file by that name\n");
  EXPECT_FALSE(a.finish(false));
  EXPECT_EQ(readFile(moved), "old\n");
  EXPECT_EQ(readFile(p), "another file by that name\n");
  EXPECT_EQ(entries(), (Names{"moved.txt", "satsave.txt"}));
}

// What is no regular file is not even opened: a terminal would become the
// controlling terminal of a process without one.
TEST_F(SafeFileTest, OpenRegularNeverOpensADevice) {
  const int res = support::InChild(
      [] {
        if (setsid() < 0) return 9;  // a new session, no controlling terminal
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return 8;
        const char* slave = ptsname(master);
        if (!slave) return 7;
        errno = 0;
        if (OpenRegular(slave)) return 1;
        if (errno != EINVAL) return 2;
        // /dev/tty opens only for a process with a controlling terminal.
        const int tty = open("/dev/tty", O_RDWR | O_NOCTTY);
        if (tty >= 0) return 3;
        return 0;
      },
      10);
  EXPECT_EQ(res, 0);
}

}  // namespace

namespace {

// What is no regular file is never replaced, by a new file or an append
// alike: a character device or a FIFO with a reader is written as a plain
// open would, a FIFO that nobody reads or a device without a driver fails at
// once (no wait) with its own reason, anything else is refused unopened. The
// node keeps its type and inode; nothing is left beside it.
TEST_F(SafeFileTest, WhatIsNoRegularFileIsNeverReplaced) {
  struct Case {
    const char* what;
    char kind;     // support::MakeNode's, or 's' a socket
    bool reader;   // a FIFO's read end is open
    int err;       // 0: written
    const char* reason;
  } const cases[] = {
      {"character device", 'c', false, 0, ""},
      {"character device without a driver", 'n', false, ENXIO, "No such device or address"},
      {"FIFO with a reader", 'p', true, 0, ""},
      {"FIFO that nobody reads", 'p', false, WRITE_NO_READER, "a FIFO that nobody reads"},
      {"block device", 'b', false, EINVAL, "not a regular file"},
      {"socket", 's', false, EINVAL, "not a regular file"},
  };
  const std::string p = dir_ + "/node";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.kind == 'c' || c.kind == 'n' || c.kind == 'b') && geteuid() != 0) continue;  // root's
    int sock = -1;
    if (c.kind == 's') {
      sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      ASSERT_LT(p.size(), sizeof addr.sun_path);
      p.copy(addr.sun_path, p.size());
      ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    } else {
      ASSERT_TRUE(support::MakeNode(p, c.kind));
    }
    const int reader = c.reader ? ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    ASSERT_EQ(c.reader, reader >= 0);
    struct stat before;
    ASSERT_EQ(lstat(p.c_str(), &before), 0);
    {
      const support::Watchdog watchdog(20, std::string("writing a ") + c.what);
      SafeFile f(p.c_str());
      EXPECT_EQ(f.open(), c.err == 0);
      EXPECT_EQ(f.error(), c.err);
      EXPECT_STREQ(c.err ? OpenRegularError(f.error()) : "", c.reason);
      EXPECT_EQ(f.direct(), c.err == 0);
      EXPECT_EQ(f.tempPath(), "");
      f.put("new\n");
      EXPECT_EQ(f.written(), c.err == 0 ? 4 : -1);
      EXPECT_EQ(f.commit(), c.err == 0 ? SafeFile::Done : SafeFile::NotOpen);

      AppendFile a(p.c_str());
      errno = 0;
      const bool opened = a.open();
      EXPECT_EQ(opened, c.err == 0);
      if (opened) {
        EXPECT_EQ(a.start(), -1);
        std::fputs("more\n", a.file());
        EXPECT_TRUE(a.finish(true));
      } else {
        EXPECT_EQ(errno, c.err);
      }
    }
    if (reader >= 0) {
      char buf[64];
      const ssize_t n = read(reader, buf, sizeof buf);
      EXPECT_EQ(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0), "new\nmore\n");
      ::close(reader);
    }
    struct stat after;
    ASSERT_EQ(lstat(p.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(entries(), Names{"node"});
    if (sock >= 0) ::close(sock);
    ASSERT_EQ(unlink(p.c_str()), 0);
  }
}

// One large write that a FIFO or a device refuses reads nothing of the
// caller's but its block: here the block ends where an unreadable page
// begins, so a read beyond it ends the process.
TEST_F(SafeFileTest, FailedDirectWriteStaysInsideTheBlock) {
  struct Case {
    const char* what;
    char kind;  // support::MakeNode's
    int err;
  } const cases[] = {
      {"FIFO whose reader left", 'p', EPIPE},
      {"full device", 'f', ENOSPC},
  };
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t size = 20480;  // more than the stream's buffer, in one call
  const size_t span = (size + page - 1) / page * page;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.kind == 'f' && geteuid() != 0) continue;  // making a device needs root
    const std::string p = dir_ + "/node";
    unlink(p.c_str());
    ASSERT_TRUE(support::MakeNode(p, c.kind));
    const int res = support::InChild(
        [&] {
          char* area = static_cast<char*>(
              mmap(nullptr, span + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
          if (area == MAP_FAILED || mprotect(area + span, page, PROT_NONE) != 0) return 1;
          char* data = area + span - size;
          std::memset(data, 'x', size);
          const int reader = c.kind == 'p' ? ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
          SafeFile f(p.c_str());
          if (!f.open() || !f.direct()) return 2;
          if (reader >= 0) ::close(reader);
          if (f.write(data, size)) return 3;
          if (f.commit() != SafeFile::WriteFailed) return 4;
          return f.error() == c.err ? 0 : 5;
        },
        20);
    EXPECT_EQ(res, 0) << "1: no guard page, 2: not opened, 3: written, 4: result, 5: reason, "
                         "-1: killed";
  }
}

// The extended attributes of a file, name to value.
using Attributes = std::map<std::string, std::string>;
Attributes AttributesOf(const std::string& p) {
  Attributes out;
  char names[4096];
  const ssize_t n = listxattr(p.c_str(), names, sizeof names);
  for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    char value[4096];
    const ssize_t k = getxattr(p.c_str(), names + at, value, sizeof value);
    out[names + at] = k >= 0 ? std::string(value, static_cast<size_t>(k)) : "?";
  }
  return out;
}

// An access control list as the system keeps it in system.posix_acl_access:
// the owner, user 4242 and the mask may read and write, the group read.
std::string AccessList() {
  std::string s;
  auto put = [&s](uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) s += static_cast<char>((v >> (8 * k)) & 0xff);
  };
  put(2, 4);  // the format's version
  const uint32_t none = 0xffffffff;
  const uint32_t entries[][3] = {{0x01, 6, none}, {0x02, 6, 4242}, {0x04, 4, none},
                                 {0x10, 6, none}, {0x20, 0, none}};
  for (const auto& e : entries) {
    put(e[0], 2);
    put(e[1], 2);
    put(e[2], 4);
  }
  return s;
}

// Every writer keeps what the file is, written as root and as an ordinary
// user alike: a regular file is replaced only when the replacement keeps
// its owner, group, mode, extended attributes (its access list) and links,
// and is written over in place otherwise (a failure there puts the old
// content back byte for byte); a FIFO whose reader goes or stops reading
// fails the write with its reason, and the process lives on.
TEST_F(SafeFileTest, WritersKeepWhatTheFileIs) {
  enum Setup { Attrs, HardLink, OtherOwner, ReadOnlyFolder, TooBig, SyncFails, LongName,
               NewLongName, ReaderLeaves, ReaderStalls };
  struct Case {
    const char* what;
    Setup setup;
    int err;             // 0: saved
    bool asRoot, asUser;  // written in place by root, by the ordinary user
  } const cases[] = {
      {"extended attributes", Attrs, 0, false, false},
      {"hard link", HardLink, 0, true, true},
      {"another user's file", OtherOwner, 0, false, true},
      {"read-only folder", ReadOnlyFolder, 0, false, true},
      {"in place beyond the size limit", TooBig, EFBIG, true, true},
      // (Every sync fails: so does the one that puts the old content back.)
      {"in place, failed sync", SyncFails, WRITE_RESTORE_FAILED, true, true},
      {"255-byte name", LongName, 0, false, false},
      {"new file with a 255-byte name", NewLongName, 0, false, false},
      {"FIFO whose reader leaves", ReaderLeaves, EPIPE, false, false},
      {"FIFO whose reader stalls", ReaderStalls, WRITE_FIFO_STALLED, false, false},
  };
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);  // open to the ordinary user
  const bool root = geteuid() == 0;
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  // The attributes this file system keeps.
  const std::string acl = AccessList();
  const std::string probe = dir_ + "/probe";
  writeFile(probe, "");
  const bool userAttrs = setxattr(probe.c_str(), "user.vorlix", "kept", 4, 0) == 0;
  const bool accessLists =
      setxattr(probe.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  ASSERT_EQ(unlink(probe.c_str()), 0);
  std::string old(3000, '\0'), neu;
  for (size_t k = 0; k < old.size(); ++k) old[k] = static_cast<char>(k * 7 % 251);
  while (neu.size() < 10000) neu += "NEW " + std::to_string(neu.size()) + "\n";
  const std::string big = [&] {
    std::string s;
    while (s.size() < (1u << 20)) s += neu;
    return s;
  }();

  for (const bool asUser : root ? std::vector<bool>{false, true} : std::vector<bool>{true}) {
    // The writer's and the other user's ids.
    const uid_t uid = asUser ? (root ? nobody->pw_uid : geteuid()) : 0;
    const gid_t gid = asUser ? (root ? nobody->pw_gid : getegid()) : 0;
    const uid_t otherUid = asUser ? 0 : nobody->pw_uid;
    const gid_t otherGid = asUser ? 0 : nobody->pw_gid;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (asUser ? " as an ordinary user" : " as root"));
      if (c.setup == OtherOwner && !root) continue;  // giving a file away needs root
      if (c.setup == Attrs && !userAttrs) continue;  // (no such file system here)
      const std::string d = dir_ + "/w";
      std::filesystem::remove_all(d);
      ASSERT_EQ(mkdir(d.c_str(), 0777), 0);
      ASSERT_EQ(chmod(d.c_str(), 0777), 0);
      const bool longName = c.setup == LongName || c.setup == NewLongName;
      const std::string p = d + "/" + (longName ? std::string(255, 'n') : "satsave.txt");
      const std::string link = d + "/other name";
      const bool fifo = c.setup == ReaderLeaves || c.setup == ReaderStalls;
      if (fifo) {
        ASSERT_TRUE(support::MakeNode(p, 'p'));
        ASSERT_EQ(chmod(p.c_str(), 0666), 0);
      } else if (c.setup != NewLongName) {
        writeFile(p, old);
        ASSERT_EQ(chmod(p.c_str(), 0644), 0);
        if (root) {
          ASSERT_EQ(chown(p.c_str(), uid, gid), 0);
        }
      }
      if (c.setup == Attrs) {
        ASSERT_EQ(setxattr(p.c_str(), "user.vorlix", "kept", 4, 0), 0);
        if (accessLists) {
          ASSERT_EQ(setxattr(p.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
        }
      }
      const bool linked = c.setup == HardLink || c.setup == TooBig || c.setup == SyncFails;
      if (linked) {
        ASSERT_EQ(::link(p.c_str(), link.c_str()), 0);
      }
      if (c.setup == OtherOwner) {
        ASSERT_EQ(chown(p.c_str(), otherUid, otherGid), 0);
        ASSERT_EQ(chmod(p.c_str(), asUser ? 0666 : 0660), 0);  // the user may write it
      }
      if (c.setup == ReadOnlyFolder) {
        ASSERT_EQ(chmod(d.c_str(), 0555), 0);
      }
      struct stat before{};
      stat(p.c_str(), &before);
      const Attributes attrs = AttributesOf(p);
      const Names names = support::DirNames(d);
      const bool inPlace = asUser ? c.asUser : c.asRoot;

      const int res = support::InChild(
          [&] {
            std::signal(SIGPIPE, SIG_DFL);  // a write must not die of it
            SetDirectWritePatience(100);
            const int reader = fifo ? ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
            SafeFile f(p.c_str());
            AppendFile a(p.c_str());
            if (!f.open() || (fifo && !a.open())) return 1;
            if (f.inPlace() != inPlace) return 2;
            if (c.setup == ReaderLeaves) ::close(reader);
            std::unique_ptr<FileSizeLimit> limit;
            std::unique_ptr<FailingSync> failing;
            if (c.setup == TooBig) limit.reset(new FileSizeLimit(5000));
            if (c.setup == SyncFails) failing.reset(new FailingSync(S_IFREG));
            f.put((fifo ? big : neu).c_str());
            if (!fifo && f.written() != static_cast<long>(neu.size())) return 3;
            const SafeFile::Result want = c.err == WRITE_RESTORE_FAILED ? SafeFile::RestoreFailed
                                          : c.err                         ? SafeFile::WriteFailed
                                                                          : SafeFile::Done;
            if (f.commit() != want) return 4;
            if (f.error() != c.err) return 5;
            if (!fifo) return 0;
            std::fputs(big.c_str(), a.file());
            errno = 0;
            if (a.finish(true) || errno != c.err) return 6;
            return 0;
          },
          20, asUser);
      EXPECT_EQ(res, 0) << "1: not opened, 2: in place or not, 3: bytes written, 4: result, "
                           "5: reason, 6: append, -1: killed or hung";
      EXPECT_EQ(support::DirNames(d), c.setup == NewLongName ? Names{p.substr(d.size() + 1)} : names);
      if (fifo) {
        EXPECT_EQ(support::NodeType(p), static_cast<mode_t>(S_IFIFO));
        continue;
      }
      const std::string& content = c.err ? old : neu;
      EXPECT_TRUE(readFile(p) == content) << "content of the target";
      if (linked) {
        EXPECT_TRUE(readFile(link) == content) << "content of its other name";
      }
      struct stat after{};
      const bool there = stat(p.c_str(), &after) == 0;
      EXPECT_TRUE(there);
      if (there && c.setup != NewLongName) {
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_nlink, before.st_nlink);
        EXPECT_EQ(after.st_ino == before.st_ino, inPlace);
      }
      EXPECT_EQ(AttributesOf(p), attrs);
      ASSERT_EQ(chmod(d.c_str(), 0777), 0);
    }
  }
}

// A file written in place (it has a second name) ends with the whole new
// content or, after any failure, the whole old one, also when the old one is
// the longer and lies beyond the file size limit (which ends no process);
// when even the old content cannot be synced back, the commit says the file
// may be damaged.
TEST_F(SafeFileTest, InPlaceFailureGivesBackTheOldContent) {
  struct Case {
    const char* what;
    size_t oldSize, newSize;
    rlim_t limit;      // 0: none
    int failedSyncs;   // of the file; -1: every one
    SafeFile::Result result;
    int err;
  } const cases[] = {
      {"old content longer than the new", 8000, 1000, 0, 0, SafeFile::Done, 0},
      {"old content longer, first sync fails", 8000, 1000, 5000, 1, SafeFile::WriteFailed, EIO},
      {"new content beyond the limit", 8000, 12000, 5000, 0, SafeFile::WriteFailed, EFBIG},
      {"the sync that puts it back fails too", 8000, 1000, 0, -1, SafeFile::RestoreFailed,
       WRITE_RESTORE_FAILED},
  };
  const std::string p = dir_ + "/satsave.txt", other = dir_ + "/other name";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string old(c.oldSize, 'o'), neu(c.newSize, 'n');
    for (size_t k = 0; k < old.size(); k += 100) old[k] = '\n';
    unlink(other.c_str());
    writeFile(p, old);
    ASSERT_EQ(::link(p.c_str(), other.c_str()), 0);
    const int res = support::InChild(
        [&] {
          SafeFile f(p.c_str());
          if (!f.open() || !f.inPlace()) return 1;
          f.put(neu.c_str());
          std::unique_ptr<FileSizeLimit> limit;
          if (c.limit) limit.reset(new FileSizeLimit(c.limit));
          std::unique_ptr<FailingSync> failing;
          if (c.failedSyncs) failing.reset(new FailingSync(S_IFREG, c.failedSyncs));
          if (f.commit() != c.result) return 2;
          return f.error() == c.err ? 0 : 3;
        },
        20);
    EXPECT_EQ(res, 0) << "1: not opened in place, 2: result, 3: reason, -1: killed";
    EXPECT_TRUE(readFile(p) == (c.result == SafeFile::Done ? neu : old)) << readFile(p).size();
    EXPECT_EQ(entries(), (Names{"other name", "satsave.txt"}));
  }
  EXPECT_STREQ(OpenRegularError(WRITE_RESTORE_FAILED),
               "its old content could not be put back: the file may be damaged");
}

// A FIFO whose reader takes little at a time, less than the page a pipe
// waits for before it says it takes more, is written to the end however
// long that takes; a reader that stops taking anything is still called
// stopped after the patience.
TEST_F(SafeFileTest, SlowFifoReaderIsNeverCalledStopped) {
  const std::string p = dir_ + "/fifo";
  ASSERT_TRUE(support::MakeNode(p, 'p'));
  const int patience = 300;   // ms
  const int step = 60;        // ms between the reader's takes
  const size_t take = 256;    // bytes per take: a page frees after 16 takes
  const std::string data(3 * 4096, 'x');
  for (const bool stops : {false, true}) {
    SCOPED_TRACE(stops ? "reader that stops" : "slow reader");
    const support::Watchdog watchdog(30, "a slow FIFO reader");
    const int reader = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(fcntl(reader, F_SETPIPE_SZ, 4096), 4096);  // one page
    std::atomic<bool> done{false};
    std::string got;
    std::thread slow([&] {
      int takes = 0;
      while (!done && (!stops || takes < 20)) {
        char buf[take];
        const ssize_t n = read(reader, buf, sizeof buf);
        if (n > 0) got.append(buf, static_cast<size_t>(n));
        ++takes;
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
      }
    });
    SetDirectWritePatience(patience);
    SafeFile f(p.c_str());
    ASSERT_TRUE(f.open());
    f.write(data.data(), data.size());
    const SafeFile::Result res = f.commit();
    const int err = f.error();
    SetDirectWritePatience(1000);
    done = true;
    slow.join();
    char buf[8192];
    for (ssize_t n; (n = read(reader, buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
    ::close(reader);
    if (stops) {
      EXPECT_EQ(res, SafeFile::WriteFailed);
      EXPECT_EQ(err, WRITE_FIFO_STALLED);
    } else {
      EXPECT_EQ(res, SafeFile::Done);
      EXPECT_EQ(err, 0);
      EXPECT_TRUE(got == data) << got.size();
    }
  }
}

// When the folder cannot be synced after the rename, the target holds the
// new content all the same: the commit says so (Unsynced, not a failure).
TEST_F(SafeFileTest, FailedFolderSyncAfterTheRenameIsUnsynced) {
  const std::string p = dir_ + "/satsave.txt";
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed);
    unlink(p.c_str());
    if (existed) writeFile(p, "old\n");
    const FailingSync failing(S_IFDIR);
    SafeFile f(p.c_str());
    ASSERT_TRUE(f.open());
    f.put("new\n");
    EXPECT_EQ(f.commit(), SafeFile::Unsynced);
    EXPECT_EQ(f.error(), EIO);
    EXPECT_EQ(readFile(p), "new\n");
    EXPECT_EQ(entries(), Names{"satsave.txt"});
  }
}

// An appended block counts only once it is on the disk: a failed sync takes
// it back as a failed write does.
TEST_F(SafeFileTest, AppendIsSyncedBeforeItCounts) {
  const std::string p = dir_ + "/satsave.txt";
  writeFile(p, "old\n");
  {
    const FailingSync failing(S_IFREG);
    AppendFile a(p.c_str());
    ASSERT_TRUE(a.open());
    std::fputs("lost\n", a.file());
    EXPECT_FALSE(a.finish(true));
  }
  EXPECT_EQ(readFile(p), "old\n");
  AppendFile a(p.c_str());
  ASSERT_TRUE(a.open());
  std::fputs("more\n", a.file());
  EXPECT_TRUE(a.finish(true));
  EXPECT_EQ(readFile(p), "old\nmore\n");
}

// A file written in place keeps its old content in memory, to put it back
// after a failure: when that content does not fit, the commit fails
// (ENOMEM) and leaves the file as it was, instead of ending the program.
TEST_F(SafeFileTest, InPlaceOldContentBeyondMemoryFailsTheCommit) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizer's allocator aborts under an address space limit";
#endif
  const std::string p = dir_ + "/satsave.txt";
  const off_t size = off_t{1} << 30;
  writeFile(p, "");
  ASSERT_EQ(truncate(p.c_str(), size), 0);
  ASSERT_EQ(::link(p.c_str(), (dir_ + "/other name").c_str()), 0);  // written in place
  const int res = support::InChild([&] {
    // Room for a quarter of the file beyond what the process holds now.
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    if (pages <= 0) return 1;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                         static_cast<rlim_t>(size / 4);
    const rlimit lim{limit, limit};
    if (setrlimit(RLIMIT_AS, &lim) != 0) return 1;
    try {
      SafeFile f(p.c_str());
      if (!f.open() || !f.inPlace()) return 2;
      f.put("new\n");
      if (f.commit() != SafeFile::WriteFailed) return 3;
      return f.error() == ENOMEM ? 0 : 4;
    } catch (...) {
      return 5;
    }
  });
  EXPECT_EQ(res, 0) << "1: no limit, 2: not opened in place, 3: result, 4: reason, "
                       "5: an exception, -1: died";
  struct stat st{};
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, size);
  char head[4] = {1, 1, 1, 1};
  const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(pread(fd, head, sizeof head, 0), 4);
  ::close(fd);
  EXPECT_EQ(std::string(head, 4), std::string(4, '\0'));
}

}  // namespace
