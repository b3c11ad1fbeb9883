#include "engine/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <atomic>
#include <mutex>
#include <random>
#include <vector>

namespace {

// Longest chain of symbolic links followed (as the kernel's own limit).
constexpr int kMaxLinks = 40;
// Names tried for a temporary file before giving up.
constexpr int kNameAttempts = 100;

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
  std::string s(6, 'x');
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

// The file a chain of symbolic links ends at (the path itself when it is no
// link or does not exist yet; a dangling link names the file to create).
std::string followLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
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

// The stream of a descriptor opened without waiting, blocking again from
// here on; null (the descriptor closed, errno kept) when that fails.
FILE* blockingStream(int fd, const char* mode) {
  const int flags = fcntl(fd, F_GETFL);
  FILE* f = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, mode) : nullptr;
  if (!f) {
    const int err = errno;
    ::close(fd);
    errno = err;
  }
  return f;
}

// What is written directly, never replaced: a character device (the null
// device, a terminal) or a FIFO.
bool isDirect(mode_t mode) { return S_ISCHR(mode) || S_ISFIFO(mode); }

// The errno for a target that is neither a regular file nor written
// directly (a block device, a socket, a directory).
int refusal(mode_t mode) { return NoRegularFile(mode); }

std::atomic<int> g_patience{1000};

// Gives the new file of fd the owner and group of the file st describes, as
// far as this process may (the owner only with the privilege to give files
// away, the group when the user is a member; what may not be given is
// left), then its permission bits, after the owner: a change of owner may
// clear mode bits.
bool keepOwnerAndMode(int fd, const struct stat& st) {
  struct stat own;
  if (fstat(fd, &own) != 0) return false;
  if ((own.st_uid != st.st_uid || own.st_gid != st.st_gid) &&
      fchown(fd, st.st_uid, st.st_gid) != 0) {
    if (errno != EPERM && errno != EINVAL) return false;
    if (own.st_gid != st.st_gid && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0 &&
        errno != EPERM && errno != EINVAL)
      return false;
  }
  return fchmod(fd, st.st_mode & kPermissionBits) == 0;
}

// Syncs the folder of path (after a rename in it). A folder this user may
// write but not read cannot be opened and is let be; so is a file system
// that cannot sync folders (EINVAL). False when the sync failed.
bool syncFolder(const std::string& path) {
  const std::string dir = dirOf(path);
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool ok = fsync(fd) == 0 || errno == EINVAL;
  const int err = errno;
  ::close(fd);
  errno = err;
  return ok;
}

}  // namespace

SafeFile::SafeFile(const char* path, const char* tmpName)
    : target_(followLinks(path ? path : "")) {
  base_ = tmpName ? dirOf(target_) + tmpName : target_;
}

SafeFile::~SafeFile() { abandon(); }

bool SafeFile::fail() {
  if (!bad_) err_ = errno;
  bad_ = true;
  return false;
}

bool SafeFile::open() {
  abandon();
  bad_ = false;
  err_ = 0;
  direct_ = false;
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
  if (exists && !S_ISREG(st.st_mode)) {
    if (isDirect(st.st_mode)) return openDirect();
    err_ = refusal(st.st_mode);
    return false;
  }
  if (exists && !mayReplace(target_)) {
    err_ = errno;
    return false;
  }
  // A name of its own beside the target: a file of the user's (or a link
  // planted there) is never written through or removed, and two writers of
  // one target never share a temporary file. In place of an existing file it
  // is made for the owner alone, then given the target's owner and
  // permission bits before a byte is written: the new content is never
  // readable by more users than the old one (nor left so after a crash). A
  // new file gets the usual mode from the system, which applies the umask.
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    tmp_ = base_ + '.' + uniqueSuffix();
    if (tmp_ == target_) continue;
    fd = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    err_ = errno;
    tmp_.clear();
    return false;
  }
  if (exists && !keepOwnerAndMode(fd, st)) {
    err_ = errno;
    ::close(fd);
    unlink(tmp_.c_str());
    tmp_.clear();
    return false;
  }
  f_ = fdopen(fd, "w");
  if (!f_) {
    err_ = errno;
    ::close(fd);
    unlink(tmp_.c_str());
    tmp_.clear();
    return false;
  }
  return true;
}

// A device or FIFO is opened as a plain open for writing would (no
// truncation), but without waiting (a FIFO that nobody reads fails with
// ENXIO) and without taking a terminal; what was opened must still be such
// a node (the name may have been given to another file meanwhile).
bool SafeFile::openDirect() {
  const int fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    err_ = errno;
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
  f_ = blockingStream(fd, "w");
  if (!f_) {
    err_ = errno;
    return false;
  }
  direct_ = true;
  return true;
}

bool SafeFile::write(const void* p, size_t n) {
  if (!f_ || bad_) return false;
  if (n > 0 && std::fwrite(p, 1, n, f_) != n) return fail();
  return true;
}

bool SafeFile::put(const char* s) { return s ? write(s, std::strlen(s)) : true; }

SafeFile::Result SafeFile::commit() {
  if (!f_) return NotOpen;
  bool ok = !bad_;
  if (ok && (std::fflush(f_) != 0 || std::ferror(f_))) ok = fail();
  if (direct_) {
    if (std::fclose(f_) != 0 && ok) ok = fail();
    f_ = nullptr;
    return ok ? Done : WriteFailed;
  }
  // The new file gets the owner and permissions of the one it replaces (as
  // writing over it would keep them; they may have changed since open);
  // before the sync, so that they are on the disk with the data.
  struct stat st;
  const bool exists = ok && stat(target_.c_str(), &st) == 0;
  if (exists && S_ISREG(st.st_mode) && !keepOwnerAndMode(fileno(f_), st)) ok = fail();
  if (ok && fsync(fileno(f_)) != 0) ok = fail();
  if (std::fclose(f_) != 0 && ok) ok = fail();
  f_ = nullptr;
  if (!ok) {
    unlink(tmp_.c_str());
    return WriteFailed;
  }
  // (The target may have been write-protected, or its name given to what
  // is no regular file, while the content was made.)
  if (exists && !S_ISREG(st.st_mode)) errno = refusal(st.st_mode);
  if ((exists && !S_ISREG(st.st_mode)) || !mayReplace(target_) ||
      std::rename(tmp_.c_str(), target_.c_str()) != 0) {
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

void SafeFile::abandon() {
  if (!f_) return;
  std::fclose(f_);
  f_ = nullptr;
  if (!direct_) unlink(tmp_.c_str());
}

AppendFile::~AppendFile() {
  if (f_) finish(false);
}

bool AppendFile::open() {
  if (f_) finish(false);
  // What is no regular file, character device or FIFO is refused before it
  // is opened (a socket would read as a FIFO that nobody reads).
  struct stat st;
  if (stat(path_.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) && !isDirect(st.st_mode)) {
      errno = refusal(st.st_mode);
      return false;
    }
  } else if (errno != ENOENT) {
    return false;
  }
  // Without waiting: a FIFO that nobody reads would block the open for
  // good; it fails at once instead (ENXIO). With a reader it is written.
  const int fd = ::open(path_.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // A regular file is cut back on failure (through a descriptor of its own,
  // which the stream's close leaves open: the file that was opened is cut,
  // whatever its name has become); a device or FIFO is written as it is.
  start_ = -1;
  int err = 0;
  if (fstat(fd, &st) != 0)
    err = errno;
  else if (!S_ISREG(st.st_mode) && !isDirect(st.st_mode))
    err = refusal(st.st_mode);
  if (err) {
    ::close(fd);
    errno = err;
    return false;
  }
  if (S_ISREG(st.st_mode)) {
    cut_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (cut_ < 0) {
      err = errno;
      ::close(fd);
      errno = err;
      return false;
    }
    start_ = static_cast<long>(st.st_size);
  }
  f_ = blockingStream(fd, "a");
  if (!f_) {
    dropCut();
    return false;
  }
  return true;
}

void AppendFile::dropCut() {
  if (cut_ < 0) return;
  const int err = errno;
  ::close(cut_);
  cut_ = -1;
  errno = err;
}

bool AppendFile::finish(bool ok) {
  if (!f_) return false;
  if (std::fflush(f_) != 0 || std::ferror(f_)) ok = false;
  // An added block is on the disk when reported, as a new file is.
  if (ok && cut_ >= 0 && fsync(cut_) != 0) ok = false;
  // (A failed close may still write what a failed flush kept: the cut comes
  // after it.)
  if (std::fclose(f_) != 0) ok = false;
  f_ = nullptr;
  if (!ok && cut_ >= 0 && ftruncate(cut_, static_cast<off_t>(start_)) != 0) {
    dropCut();
    return false;
  }
  dropCut();
  return ok;
}

int NoRegularFile(mode_t mode) {
  if (S_ISREG(mode)) return 0;
  return S_ISDIR(mode) ? EISDIR : EINVAL;
}

void SetDirectWritePatience(int ms) { g_patience = ms; }

long SafeFile::written() const { return f_ ? std::ftell(f_) : -1; }

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
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
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
  else if (!S_ISREG(opened.st_mode))
    err = S_ISDIR(opened.st_mode) ? EISDIR : EINVAL;
  else if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino)
    err = EAGAIN;
  if (err) {
    ::close(fd);
    errno = err;
    return nullptr;
  }
  return blockingStream(fd, mode);
}

const char* OpenRegularError(int err) {
  if (err == EINVAL) return "not a regular file";
  if (err == ENXIO) return "a FIFO that nobody reads";
  return std::strerror(err);
}
