#include "support/failingsync.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>

namespace {

// The type of descriptors whose fsync fails; 0: none.
std::atomic<mode_t> g_failSyncOf{0};

}  // namespace

namespace support {

FailingSync::FailingSync(mode_t type) : previous_(g_failSyncOf.exchange(type)) {}

FailingSync::~FailingSync() { g_failSyncOf = previous_; }

}  // namespace support

extern "C" int fsync(int fd) {
  using Fn = int (*)(int);
  static const Fn system = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "fsync"));
  const mode_t type = g_failSyncOf;
  struct stat st;
  if (type != 0 && fstat(fd, &st) == 0 && (st.st_mode & S_IFMT) == type) {
    errno = EIO;
    return -1;
  }
  return system(fd);
}
