// A disk that gives up on sync: fsync of one type of descriptor fails with
// EIO while a FailingSync lives. A test program whose sources include this
// header is linked with failingsync.cpp, which takes the place of the
// system's fsync in that program (the writers are linked in statically): it
// cannot be made to fail at will otherwise.
#ifndef VORLIX_TESTS_SUPPORT_FAILINGSYNC_H
#define VORLIX_TESTS_SUPPORT_FAILINGSYNC_H

#include <sys/types.h>

namespace support {

// Makes fsync fail for one type of descriptor (S_IFDIR, S_IFREG; 0: none)
// while it lives, every time or only the first `times` times (a disk that
// recovers); the type that failed before comes back after it.
class FailingSync {
 public:
  explicit FailingSync(mode_t type, int times = -1);
  ~FailingSync();
  FailingSync(const FailingSync&) = delete;
  FailingSync& operator=(const FailingSync&) = delete;

 private:
  mode_t previous_;
  int previousTimes_;
};

}  // namespace support

#endif
