// A disk that gives up on sync: fsync of one type of descriptor fails with
// EIO while a FailingSync lives. Include it in one source file of a test
// program only: it takes the place of the system's fsync in that program
// (the writers are linked in statically), which cannot be made to fail at
// will otherwise.
#ifndef VORLIX_TESTS_SUPPORT_FAILINGSYNC_H
#define VORLIX_TESTS_SUPPORT_FAILINGSYNC_H

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>

namespace support {

// The type (S_IFDIR, S_IFREG) of descriptors whose fsync fails; 0: none.
inline std::atomic<mode_t> g_failSyncOf{0};

// Makes fsync fail for one type of descriptor while it lives.
class FailingSync {
 public:
  explicit FailingSync(mode_t type) { g_failSyncOf = type; }
  ~FailingSync() { g_failSyncOf = 0; }
  FailingSync(const FailingSync&) = delete;
  FailingSync& operator=(const FailingSync&) = delete;
};

}  // namespace support

extern "C" int fsync(int fd) {
  using Fn = int (*)(int);
  static const Fn system = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "fsync"));
  const mode_t type = support::g_failSyncOf;
  struct stat st;
  if (type != 0 && fstat(fd, &st) == 0 && (st.st_mode & S_IFMT) == type) {
    errno = EIO;
    return -1;
  }
  return system(fd);
}

#endif
