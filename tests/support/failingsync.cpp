#include "support/failingsync.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>

namespace {

// The type of descriptors whose fsync fails; 0: none.
std::atomic<mode_t> g_failSyncOf{0};
// How many more of their syncs fail; negative: every one.
std::atomic<int> g_failSyncTimes{-1};

// One more sync of that type fails.
bool takeFailure() {
  int left = g_failSyncTimes;
  while (left > 0 && !g_failSyncTimes.compare_exchange_weak(left, left - 1)) {
  }
  return left != 0;
}

}  // namespace

namespace support {

FailingSync::FailingSync(mode_t type, int times)
    : previous_(g_failSyncOf.exchange(type)), previousTimes_(g_failSyncTimes.exchange(times)) {}

FailingSync::~FailingSync() {
  g_failSyncOf = previous_;
  g_failSyncTimes = previousTimes_;
}

}  // namespace support

extern "C" int fsync(int fd) {
  using Fn = int (*)(int);
  static const Fn system = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "fsync"));
  const mode_t type = g_failSyncOf;
  struct stat st;
  if (type != 0 && fstat(fd, &st) == 0 && (st.st_mode & S_IFMT) == type && takeFailure()) {
    errno = EIO;
    return -1;
  }
  return system(fd);
}
