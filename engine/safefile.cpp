#include "engine/safefile.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <random>
#include <vector>

// The descriptor under a stream of the writers: a character device or a
// FIFO written directly, kept non-blocking (its stream's writes wait for the
// reader only as long as the patience allows), or a regular file (a
// temporary file, an append). Every write through it is safe from the
// signals a write raises.
struct DirectSink {
  int fd = -1;
  bool fifo = false;
  int err = 0;     // the first failure; every later write fails with it
  long given = 0;  // bytes the stream handed over (written or not)
  off_t cutBack = -1;  // a regular file written through a descriptor: its
                       // end before, where a failure cuts it back to
};

namespace {

// Longest chain of symbolic links followed (as the kernel's own limit).
constexpr int kMaxLinks = 40;
// Names tried for a temporary file before giving up.
constexpr int kNameAttempts = 100;
// The temporary name when the target's own name leaves no room for the
// letters appended to it.
constexpr char kShortTmpName[] = "vorlix.tmp";
// Letters appended to a temporary name, with their dot.
constexpr size_t kSuffixBytes = 7;

std::atomic<int> g_patience{1000};

// Six letters or digits, different at every call.
std::string uniqueSuffix() {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937_64 gen{std::random_device{}() ^
                             (static_cast<uint64_t>(getpid()) << 32) ^
                             static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  static std::mutex m;
  uint64_t x;
  {
    std::lock_guard<std::mutex> lock(m);
    x = gen();
  }
  std::string s(kSuffixBytes - 1, 'x');
  for (char& c : s) {
    c = kChars[x % (sizeof kChars - 1)];
    x /= sizeof kChars - 1;
  }
  return s;
}

std::string dirOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The stem of the temporary names for base (a path): base itself when its
// name leaves room for the appended letters in its folder, else the short
// fixed name in that folder.
std::string tmpStem(const std::string& base) {
  const std::string dir = dirOf(base);
  const long max = pathconf(dir.empty() ? "." : dir.c_str(), _PC_NAME_MAX);
  const size_t nameMax = max > 0 ? static_cast<size_t>(max) : NAME_MAX;
  return base.size() - dir.size() + kSuffixBytes <= nameMax ? base : dir + kShortTmpName;
}

// The magic number of the process file system (as statfs(2) gives it).
constexpr long kProcMagic = 0x9fa0;

// path is a link of the process file system (/proc/self/fd/1, reached by
// /dev/stdout or /dev/fd/1 too): it stands for an open file (a pipe, a
// socket, a terminal, a file that may have no name left), not for the text
// it reads as ("pipe:[1234]", or a path that may name another file now).
bool isProcLink(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  const std::string dir = dirOf(path);
  struct statfs fs;
  return statfs(dir.empty() ? "." : dir.c_str(), &fs) == 0 &&
         static_cast<long>(fs.f_type) == kProcMagic;
}

// The descriptor of this process that path names (/proc/self/fd/N and its
// other names), or -1.
int ownDescriptor(const std::string& path) {
  if (!isProcLink(path)) return -1;
  const std::string dir = dirOf(path), name = path.substr(dir.size());
  if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
    return -1;
  const int fd = std::atoi(name.c_str());
  struct stat folder, self, thread, named, opened;
  if (stat(dir.c_str(), &folder) != 0 || stat(path.c_str(), &named) != 0 || fstat(fd, &opened) != 0)
    return -1;
  auto same = [](const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  };
  const bool ours = (stat("/proc/self/fd", &self) == 0 && same(folder, self)) ||
                    (stat("/proc/thread-self/fd", &thread) == 0 && same(folder, thread));
  return ours && same(named, opened) ? fd : -1;
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link or does not exist yet; a dangling link names the file to create). A
// link of the process file system ends the chain: what it names is reached
// through it, never through its text.
std::string followLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || isProcLink(path)) break;
    std::vector<char> buf(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
    const ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) break;
    std::string to(buf.data(), static_cast<size_t>(n));
    path = to[0] == '/' ? to : dirOf(path) + to;
  }
  return path;
}

// False when the target exists and this user may not write it: a file the
// user write-protected is kept, although a rename over it would need only
// the directory's permission.
bool mayReplace(const std::string& path) {
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return true;
  return errno == ENOENT;
}

// The permission bits a replaced file keeps: never set-user-ID or
// set-group-ID (the new content was not made by the file's owner).
constexpr mode_t kPermissionBits = 0777;

// Keeps errno across a cleanup.
void closeKeepingErrno(int fd) {
  const int err = errno;
  ::close(fd);
  errno = err;
}

// A descriptor opened without waiting, blocking again from here on; false
// (errno) when that fails.
bool makeBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// The stream of a descriptor opened without waiting, blocking again from
// here on; null (the descriptor closed, errno kept) when that fails.
FILE* blockingStream(int fd, const char* mode) {
  FILE* f = makeBlocking(fd) ? fdopen(fd, mode) : nullptr;
  if (!f) closeKeepingErrno(fd);
  return f;
}

// What is written directly, never replaced: a character device (the null
// device, a terminal) or a FIFO.
bool isDirect(mode_t mode) { return S_ISCHR(mode) || S_ISFIFO(mode); }

// The reason a direct target could not be opened: ENXIO is a FIFO's way of
// saying that nobody reads it, but also a device's without a driver.
int directOpenError(int err, mode_t type) {
  return err == ENXIO && S_ISFIFO(type) ? WRITE_NO_READER : err;
}

// The signals a write raises, blocked in the calling thread while it lives:
// a write to a FIFO whose reader went away (SIGPIPE) or beyond the file size
// limit (SIGXFSZ, also a cut that would grow the file) fails with its reason
// (EPIPE, EFBIG) instead of ending the process, whatever the process does
// with the signals. Those its writes raised are taken before the old mask is
// back (one that was pending before is left).
class WriteSignalBlock {
 public:
  WriteSignalBlock() {
    sigemptyset(&set_);
    for (const int sig : kSignals) sigaddset(&set_, sig);
    pthread_sigmask(SIG_BLOCK, &set_, &old_);
    sigemptyset(&before_);
    sigpending(&before_);
  }
  ~WriteSignalBlock() {
    const int err = errno;
    sigset_t now;
    if (sigpending(&now) == 0) {
      for (const int sig : kSignals) {
        if (sigismember(&now, sig) != 1 || sigismember(&before_, sig) == 1) continue;
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, sig);
        const timespec zero{0, 0};
        sigtimedwait(&one, nullptr, &zero);
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    errno = err;
  }
  WriteSignalBlock(const WriteSignalBlock&) = delete;
  WriteSignalBlock& operator=(const WriteSignalBlock&) = delete;

 private:
  static constexpr int kSignals[] = {SIGPIPE, SIGXFSZ};
  sigset_t set_, old_, before_;
};

// How often a FIFO's queue is looked at while its writer waits.
constexpr int kQueueLookMs = 50;

// The bytes queued in the FIFO fd writes to, -1 when unknown.
int queued(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

// Waits until fd takes more, at most the patience: 1 when it does, 0 when
// the patience ran out, -1 on an error (errno). A pipe says it takes more
// only once a whole page of it is free: a reader taking less at a time is
// seen by its queue getting shorter, which starts the patience again.
int waitWritable(int fd, bool fifo) {
  const int patience = g_patience;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(patience, 0));
  int last = fifo ? queued(fd) : -1;
  for (;;) {
    int ms = -1;
    if (patience >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      ms = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
      if (last >= 0) ms = std::min(ms, kQueueLookMs);
    }
    pollfd p{fd, POLLOUT, 0};
    const int n = poll(&p, 1, ms);
    if (n > 0) return 1;  // writable, or an error the next write reports
    if (n < 0 && errno != EINTR) return -1;
    if (n < 0) continue;
    const int now = last >= 0 ? queued(fd) : -1;
    if (now >= 0 && now < last) {
      end = std::chrono::steady_clock::now() + std::chrono::milliseconds(patience);
    } else if (std::chrono::steady_clock::now() >= end) {
      return 0;
    }
    if (now >= 0) last = now;
  }
}

// The stream's writes to a direct target: every byte, each wait for the
// reader at most the patience. A failure sticks: no later write waits again.
// As the C library requires of a stream's write function, the result is the
// number of bytes taken, fewer (0 at worst, never negative) on a failure: the
// library counts its buffer on from it.
ssize_t directWrite(void* cookie, const char* buf, size_t n) {
  DirectSink& s = *static_cast<DirectSink*>(cookie);
  s.given += static_cast<long>(n);
  size_t done = 0;
  if (s.err == 0) {
    WriteSignalBlock block;
    while (done < n && s.err == 0) {
      const ssize_t k = ::write(s.fd, buf + done, n - done);
      if (k > 0) {
        done += static_cast<size_t>(k);
      } else if (k < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        const int w = waitWritable(s.fd, s.fifo);
        if (w == 0) s.err = s.fifo ? WRITE_FIFO_STALLED : WRITE_DEVICE_STALLED;
        if (w < 0) s.err = errno;
      } else if (k < 0 && errno != EINTR) {
        s.err = errno;
      } else if (k == 0) {
        s.err = EIO;
      }
    }
  }
  if (s.err != 0) errno = s.err;
  return static_cast<ssize_t>(done);
}

int directClose(void* cookie) {
  DirectSink& s = *static_cast<DirectSink*>(cookie);
  const int res = s.fd >= 0 ? ::close(s.fd) : 0;
  s.fd = -1;
  return res;
}

// The stream of a descriptor (a direct target's, kept non-blocking, or a
// regular file's), which sink then owns; null (the descriptor closed, errno
// kept) when that fails.
FILE* directStream(int fd, mode_t type, std::unique_ptr<DirectSink>& sink) {
  sink.reset(new DirectSink);
  sink->fd = fd;
  sink->fifo = S_ISFIFO(type);
  cookie_io_functions_t io{};
  io.write = directWrite;
  io.close = directClose;
  FILE* f = fopencookie(sink.get(), "w", io);
  if (!f) {
    closeKeepingErrno(fd);
    sink.reset();
  }
  return f;
}

// The names of the extended attributes of a path, or of fd when path is
// null; false on an error (none at all where the file system has none).
bool attributeNames(const char* path, int fd, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> buf;
  for (;;) {
    const ssize_t size = path ? listxattr(path, nullptr, 0) : flistxattr(fd, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    buf.resize(static_cast<size_t>(size) + 1);
    const ssize_t n = path ? listxattr(path, buf.data(), buf.size()) : flistxattr(fd, buf.data(), buf.size());
    if (n < 0 && errno == ERANGE) continue;  // grown meanwhile
    if (n < 0) return false;
    for (size_t at = 0; at < static_cast<size_t>(n);) {
      const std::string name(buf.data() + at);
      at += name.size() + 1;
      if (!name.empty()) names.push_back(name);
    }
    return true;
  }
}

// One extended attribute's value (of path, or of fd when path is null).
bool attributeValue(const char* path, int fd, const std::string& name, std::string& value) {
  for (;;) {
    const ssize_t size = path ? getxattr(path, name.c_str(), nullptr, 0)
                              : fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return false;
    std::vector<char> buf(static_cast<size_t>(size) + 1);
    const ssize_t n = path ? getxattr(path, name.c_str(), buf.data(), buf.size())
                           : fgetxattr(fd, name.c_str(), buf.data(), buf.size());
    if (n < 0 && errno == ERANGE) continue;
    if (n < 0) return false;
    value.assign(buf.data(), static_cast<size_t>(n));
    return true;
  }
}

// The attribute that gives a program privileges of its own: like the
// set-user-ID bit, never kept for content its owner did not make.
constexpr char kCapabilities[] = "security.capability";

// Gives the new file of fd exactly the extended attributes of path (the
// access control list among them) but its privileges: those it got from its
// folder and path lacks go. False when any cannot be read, set or removed.
bool copyAttributes(const std::string& path, int fd) {
  std::vector<std::string> from, to;
  if (!attributeNames(path.c_str(), -1, from) || !attributeNames(nullptr, fd, to)) return false;
  from.erase(std::remove(from.begin(), from.end(), kCapabilities), from.end());
  for (const std::string& name : to)
    if (std::find(from.begin(), from.end(), name) == from.end() && fremovexattr(fd, name.c_str()) != 0)
      return false;
  for (const std::string& name : from) {
    std::string value, has;
    if (!attributeValue(path.c_str(), -1, name, value)) return false;
    if (attributeValue(nullptr, fd, name, has) && has == value) continue;
    if (fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) return false;
  }
  return true;
}

// Gives the new file of fd the owner and group of the file st describes,
// then its permission bits, after the owner: a change of owner may clear
// mode bits. With all, false when this process may not give them; without,
// as far as it may (the owner only with the privilege to give files away,
// the group when the user is a member; what may not be given is left).
bool keepOwnerAndMode(int fd, const struct stat& st, bool all) {
  struct stat own;
  if (fstat(fd, &own) != 0) return false;
  if ((own.st_uid != st.st_uid || own.st_gid != st.st_gid) &&
      fchown(fd, st.st_uid, st.st_gid) != 0) {
    if (all || (errno != EPERM && errno != EINVAL)) return false;
    if (own.st_gid != st.st_gid && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0 &&
        errno != EPERM && errno != EINVAL)
      return false;
  }
  return fchmod(fd, st.st_mode & kPermissionBits) == 0;
}

// Gives the new file of fd everything of the file st describes that a
// replacement must keep: its owner and group (false when this process may
// not give them), permission bits and extended attributes.
bool keepEverything(int fd, const std::string& path, const struct stat& st) {
  return keepOwnerAndMode(fd, st, true) && copyAttributes(path, fd);
}

// Syncs the folder of path (after a rename in it). A folder this user may
// write but not read cannot be opened and is let be; so is a file system
// that cannot sync folders (EINVAL). False when the sync failed.
bool syncFolder(const std::string& path) {
  const std::string dir = dirOf(path);
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool ok = fsync(fd) == 0 || errno == EINVAL;
  closeKeepingErrno(fd);
  return ok;
}

// Writes n bytes at offset 0 of fd; false (errno) when any failed. reached
// (when given) tells how far the file may have been written over.
bool writeAllAt(int fd, const char* p, size_t n, size_t* reached = nullptr) {
  size_t done = 0;
  if (reached) *reached = n;
  while (done < n) {
    const ssize_t k = pwrite(fd, p + done, n - done, static_cast<off_t>(done));
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) {
      if (k == 0) errno = EIO;
      if (reached) *reached = done;
      return false;
    }
    done += static_cast<size_t>(k);
  }
  return true;
}

// The whole content of fd, read from its start (to its end when that moved
// meanwhile); false (errno) on an error, ENOMEM when it does not fit in
// memory.
bool readAll(int fd, std::string& out) {
  out.clear();
  char buf[65536];
  try {
    struct stat st;
    if (fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    for (;;) {
      const ssize_t k = pread(fd, buf, sizeof buf, static_cast<off_t>(out.size()));
      if (k < 0 && errno == EINTR) continue;
      if (k < 0) return false;
      if (k == 0) return true;
      out.append(buf, static_cast<size_t>(k));
    }
  } catch (const std::exception&) {  // bad_alloc, length_error
    out.clear();
    errno = ENOMEM;
    return false;
  }
}

}  // namespace

SafeFile::SafeFile(const char* path, const char* tmpName)
    : target_(followLinks(path ? path : "")) {
  base_ = tmpName ? dirOf(target_) + tmpName : target_;
}

SafeFile::~SafeFile() { abandon(); }

bool SafeFile::fail() { return fail(errno); }

bool SafeFile::fail(int err) {
  if (!bad_) err_ = err != 0 ? err : EIO;
  bad_ = true;
  return false;
}

// Why the stream failed: a direct target's own reason, else errno.
int SafeFile::streamError() const { return sink_ && sink_->err != 0 ? sink_->err : errno; }

bool SafeFile::open() {
  abandon();
  bad_ = false;
  err_ = 0;
  direct_ = false;
  inPlace_ = false;
  tmp_.clear();
  if (target_.empty()) {
    err_ = ENOENT;
    return false;
  }
  struct stat st;
  const bool exists = stat(target_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    err_ = errno;
    return false;
  }
  if (!exists) return openTemporary(nullptr);
  if (isDirect(st.st_mode)) return openDirect(st.st_mode & S_IFMT);
  if (const int err = NoRegularFile(st.st_mode)) {
    err_ = err;
    return false;
  }
  // A name of an open file (/dev/stdout): that very file is written, as a
  // shell's tools write it, never replaced by another one; this process's
  // own descriptor where it stands (after what it was given before).
  if (isProcLink(target_)) {
    const int own = ownDescriptor(target_);
    if (own >= 0) return openShared(own);
    if (!mayReplace(target_)) {
      err_ = errno;
      return false;
    }
    return openInPlace(st);
  }
  if (!mayReplace(target_)) {
    err_ = errno;
    return false;
  }
  // A replacement that cannot be everything the file is would take from it
  // (its owner, an access list, its other names): then it is written over.
  if (st.st_nlink == 1 && openTemporary(&st)) return true;
  err_ = 0;
  return openInPlace(st);
}

// A name of its own beside the target: a file of the user's (or a link
// planted there) is never written through or removed, and two writers of
// one target never share a temporary file. In place of an existing file
// (keep) it is made for the owner alone, then given everything of the
// target (false, nothing left behind, when it cannot be) before a byte is
// written: the new content is never readable by more users than the old
// one (nor left so after a crash). A new file gets the usual mode from the
// system, which applies the umask.
bool SafeFile::openTemporary(const struct stat* keep) {
  const std::string stem = tmpStem(base_);
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    tmp_ = stem + '.' + uniqueSuffix();
    if (tmp_ == target_) continue;
    fd = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keep ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  const bool made = fd >= 0;
  if (made && (!keep || keepEverything(fd, target_, *keep))) {
    f_ = directStream(fd, S_IFREG, sink_);  // (which closes fd on a failure)
    fd = -1;
  }
  if (!f_) {
    err_ = errno;
    if (fd >= 0) closeKeepingErrno(fd);
    if (made) unlink(tmp_.c_str());
    tmp_.clear();
    return false;
  }
  return true;
}

// The existing file itself, to be written over at the commit: the caller's
// writes go to memory meanwhile. It must be read as well (the old content
// is what a failure puts back), and stay the file that was looked at.
bool SafeFile::openInPlace(const struct stat& st) {
  fd_ = ::open(target_.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    err_ = errno;
    return false;
  }
  struct stat opened;
  if (fstat(fd_, &opened) != 0)
    err_ = errno;
  else if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino)
    err_ = EAGAIN;
  else if ((f_ = open_memstream(&mem_, &memSize_)) == nullptr)
    err_ = errno;
  if (err_) {
    closeInPlace();
    return false;
  }
  inPlace_ = true;
  return true;
}

// A regular file through this process's descriptor fd, written where it
// stands, as a plain write to that descriptor would be; a failure cuts it
// back to where it ended when it was written at its end.
bool SafeFile::openShared(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
    err_ = flags < 0 ? errno : EBADF;
    return false;
  }
  const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  struct stat st;
  if (own < 0 || fstat(own, &st) != 0) {
    err_ = errno;
    if (own >= 0) ::close(own);
    return false;
  }
  const off_t at = (flags & O_APPEND) ? st.st_size : lseek(own, 0, SEEK_CUR);
  f_ = directStream(own, S_IFREG, sink_);
  if (!f_) {
    err_ = errno;
    return false;
  }
  if (at >= st.st_size) sink_->cutBack = at;
  direct_ = true;
  return true;
}

void SafeFile::closeInPlace() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  std::free(mem_);
  mem_ = nullptr;
  memSize_ = 0;
}

// A device or FIFO is opened as a plain open for writing would (no
// truncation), but without waiting (a FIFO that nobody reads fails at once)
// and without taking a terminal; what was opened must still be such a node
// (the name may have been given to another file meanwhile). It stays
// non-blocking: its writes wait as the patience allows.
bool SafeFile::openDirect(mode_t type) {
  const int fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    err_ = directOpenError(errno, type);
    return false;
  }
  struct stat opened;
  if (fstat(fd, &opened) != 0)
    err_ = errno;
  else if (!isDirect(opened.st_mode))
    err_ = EAGAIN;
  if (err_) {
    ::close(fd);
    return false;
  }
  f_ = directStream(fd, opened.st_mode, sink_);
  if (!f_) {
    err_ = errno;
    return false;
  }
  direct_ = true;
  return true;
}

bool SafeFile::write(const void* p, size_t n) {
  if (!f_ || bad_) return false;
  if (n > 0 && std::fwrite(p, 1, n, f_) != n) return fail(streamError());
  return true;
}

bool SafeFile::put(const char* s) { return s ? write(s, std::strlen(s)) : true; }

long SafeFile::written() const {
  if (!f_) return -1;
  if (!sink_) return std::ftell(f_);
  std::fflush(f_);  // (a failure shows at the commit)
  return sink_->given;
}

SafeFile::Result SafeFile::commit() {
  if (!f_) return NotOpen;
  bool ok = !bad_;
  if (ok && (std::fflush(f_) != 0 || std::ferror(f_))) ok = fail(streamError());
  if (inPlace_) return commitInPlace(ok);
  if (direct_) {
    if (!ok) cutBack();
    if (std::fclose(f_) != 0 && ok) ok = fail(streamError());
    f_ = nullptr;
    sink_.reset();
    return ok ? Done : WriteFailed;
  }
  // The new file gets the owner and permissions of the one it replaces (as
  // writing over it would keep them; they may have changed since open);
  // before the sync, so that they are on the disk with the data.
  struct stat st;
  const bool exists = ok && stat(target_.c_str(), &st) == 0;
  if (exists && S_ISREG(st.st_mode) && !keepOwnerAndMode(sink_->fd, st, false)) ok = fail();
  if (ok && fsync(sink_->fd) != 0) ok = fail();
  if (std::fclose(f_) != 0 && ok) ok = fail(streamError());
  f_ = nullptr;
  sink_.reset();
  if (!ok) {
    unlink(tmp_.c_str());
    return WriteFailed;
  }
  // (The target may have been write-protected, or its name given to what
  // is no regular file, while the content was made.)
  const int notRegular = exists ? NoRegularFile(st.st_mode) : 0;
  if (notRegular) errno = notRegular;
  if (notRegular || !mayReplace(target_) || std::rename(tmp_.c_str(), target_.c_str()) != 0) {
    fail();
    unlink(tmp_.c_str());
    return ReplaceFailed;
  }
  // The new name is on the disk only when the folder is: a commit reported
  // as done survives a power loss.
  if (!syncFolder(target_)) {
    fail();
    return Unsynced;
  }
  return Done;
}

// Writes the new content over the file from its start, without cutting it
// first (the blocks it holds stay its own: a full disk cannot take them),
// syncs, and only then cuts it to the new length and syncs again: a failure
// before the cut needs no block the file did not have to put the old
// content back. After any failure the old content goes back, to its old
// length, and is synced; when that fails too, the commit says the file may
// be damaged (RestoreFailed).
SafeFile::Result SafeFile::commitInPlace(bool ok) {
  if (std::fclose(f_) != 0 && ok) ok = fail();
  f_ = nullptr;
  Result res = ok ? Done : WriteFailed;
  std::string old;
  if (ok && !mayReplace(target_)) {
    fail();
    res = ReplaceFailed;
  } else if (ok && !readAll(fd_, old)) {
    fail();
    res = WriteFailed;
  } else if (ok) {
    const WriteSignalBlock block;
    size_t reached = 0;
    bool cut = false;
    bool done = writeAllAt(fd_, mem_ ? mem_ : "", memSize_, &reached) && fsync(fd_) == 0;
    if (done && memSize_ < old.size()) {
      cut = true;
      done = ftruncate(fd_, static_cast<off_t>(memSize_)) == 0 && fsync(fd_) == 0;
    }
    if (!done) {
      fail();
      res = WriteFailed;
      if (!restoreInPlace(old, cut ? old.size() : reached)) {
        err_ = WRITE_RESTORE_FAILED;
        res = RestoreFailed;
      }
    }
  }
  closeInPlace();
  inPlace_ = false;
  return res;
}

// Puts old back as the whole content of the file written in place, whose
// first `changed` bytes may differ from it: its old length, those bytes,
// then a sync. False when any step failed.
bool SafeFile::restoreInPlace(const std::string& old, size_t changed) {
  struct stat st;
  if (fstat(fd_, &st) != 0) return false;
  if (st.st_size != static_cast<off_t>(old.size()) &&
      ftruncate(fd_, static_cast<off_t>(old.size())) != 0)
    return false;
  return writeAllAt(fd_, old.data(), std::min(changed, old.size())) && fsync(fd_) == 0;
}

// A regular file written through a descriptor at its end loses what it was
// given: a failed or dropped write leaves no part of the new content.
void SafeFile::cutBack() {
  if (!sink_ || sink_->cutBack < 0) return;
  std::fflush(f_);  // (what the stream holds would be written after the cut)
  if (ftruncate(sink_->fd, sink_->cutBack) == 0) lseek(sink_->fd, sink_->cutBack, SEEK_SET);
}

void SafeFile::abandon() {
  if (!f_) return;
  if (direct_) cutBack();
  std::fclose(f_);
  f_ = nullptr;
  if (inPlace_)
    closeInPlace();
  else if (!direct_)
    unlink(tmp_.c_str());
  sink_.reset();
}

AppendFile::AppendFile(const char* path) : path_(path ? path : "") {}

AppendFile::~AppendFile() {
  if (f_) finish(false);
}

bool AppendFile::open() {
  if (f_) finish(false);
  // A missing file is no append (ENOENT): a new file is made whole or not
  // at all. What is no regular file, character device or FIFO is refused
  // before it is opened (a socket would read as a FIFO that nobody reads).
  struct stat st;
  if (stat(path_.c_str(), &st) != 0) return false;
  if (!isDirect(st.st_mode)) {
    if (const int err = NoRegularFile(st.st_mode)) {
      errno = err;
      return false;
    }
  }
  // Without waiting: a FIFO that nobody reads would block the open for
  // good; it fails at once instead. With a reader it is written.
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    errno = directOpenError(errno, st.st_mode & S_IFMT);
    return false;
  }
  // A regular file is cut back on failure (through a descriptor of its own,
  // which the stream's close leaves open: the file that was opened is cut,
  // whatever its name has become); a device or FIFO is written as it is.
  start_ = -1;
  int err = 0;
  if (fstat(fd, &st) != 0)
    err = errno;
  else if (!isDirect(st.st_mode))
    err = NoRegularFile(st.st_mode);
  if (err) {
    ::close(fd);
    errno = err;
    return false;
  }
  if (isDirect(st.st_mode)) {
    f_ = directStream(fd, st.st_mode, sink_);
    return f_ != nullptr;
  }
  cut_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (cut_ < 0) {
    closeKeepingErrno(fd);
    return false;
  }
  start_ = static_cast<long>(st.st_size);
  if (!makeBlocking(fd)) {
    closeKeepingErrno(fd);
    dropCut();
    return false;
  }
  f_ = directStream(fd, S_IFREG, sink_);
  if (!f_) {
    dropCut();
    return false;
  }
  return true;
}

long AppendFile::written() const {
  if (!f_ || !sink_) return -1;
  std::fflush(f_);  // (a failure shows at the finish)
  return sink_->given;
}

void AppendFile::dropCut() {
  if (cut_ < 0) return;
  closeKeepingErrno(cut_);
  cut_ = -1;
}

bool AppendFile::finish(bool ok) {
  if (!f_) return false;
  int err = 0;  // the first failure's reason
  auto failed = [&] {
    if (err == 0) err = sink_ && sink_->err != 0 ? sink_->err : (errno != 0 ? errno : EIO);
  };
  if (std::fflush(f_) != 0 || std::ferror(f_)) {
    ok = false;
    failed();
  }
  // An added block is on the disk when reported, as a new file is.
  if (ok && cut_ >= 0 && fsync(cut_) != 0) {
    ok = false;
    failed();
  }
  // (A failed close may still write what a failed flush kept: the cut comes
  // after it.)
  if (std::fclose(f_) != 0) {
    ok = false;
    failed();
  }
  f_ = nullptr;
  sink_.reset();
  if (!ok && cut_ >= 0 && ftruncate(cut_, static_cast<off_t>(start_)) != 0) failed();
  dropCut();
  if (err != 0) errno = err;
  return ok;
}

int NoRegularFile(mode_t mode) {
  if (S_ISREG(mode)) return 0;
  return S_ISDIR(mode) ? EISDIR : EINVAL;
}

void SetDirectWritePatience(int ms) { g_patience = ms; }

bool SameFile(const char* a, const char* b) {
  if (!a || !b) return false;
  struct stat sa, sb;
  if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

FILE* OpenRegular(const char* path, const char* mode) {
  if (!path || !mode || mode[0] != 'r' || std::strchr(mode, '+')) {
    errno = EINVAL;
    return nullptr;
  }
  // What is no regular file is refused before it is opened: the open of a
  // device has effects of its own (a terminal can become the controlling
  // one, a tape rewinds), that of a FIFO waits for a writer.
  struct stat st;
  if (stat(path, &st) != 0) return nullptr;
  if (const int err = NoRegularFile(st.st_mode)) {
    errno = err;
    return nullptr;
  }
  // Without waiting and without taking a terminal, in case something else
  // took the name meanwhile; what was opened must be what was looked at.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat opened;
  int err = 0;
  if (fstat(fd, &opened) != 0)
    err = errno;
  else if ((err = NoRegularFile(opened.st_mode)) == 0 &&
           (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino))
    err = EAGAIN;
  if (err) {
    ::close(fd);
    errno = err;
    return nullptr;
  }
  return blockingStream(fd, mode);
}

const char* OpenRegularError(int err) {
  switch (err) {
    case EINVAL:
      return "not a regular file";
    case WRITE_NO_READER:
      return "a FIFO that nobody reads";
    case WRITE_FIFO_STALLED:
      return "a FIFO whose reader stopped reading";
    case WRITE_DEVICE_STALLED:
      return "a device that stopped taking data";
    case WRITE_RESTORE_FAILED:
      return "its old content could not be put back: the file may be damaged";
    default:
      return std::strerror(err);
  }
}
