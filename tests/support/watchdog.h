// Ends the whole test program when a piece of it does not return in time:
// a call that would block for ever (an open that waits for a writer, say)
// fails the test with a message instead of hanging it. Runs in a thread of
// the test process itself, so the piece under test runs where it always runs,
// with every thread of the program (no fork).
#ifndef VORLIX_TESTS_SUPPORT_WATCHDOG_H
#define VORLIX_TESTS_SUPPORT_WATCHDOG_H

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace support {

class Watchdog {
 public:
  // Armed until the object goes: after `seconds` the program ends with exit
  // code 124 and a line naming `what` on stderr.
  Watchdog(unsigned seconds, std::string what)
      : what_(std::move(what)), thread_([this, seconds] { watch(seconds); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void watch(unsigned seconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) return;
    std::fprintf(stderr, "FAIL: %s did not return within %u s\n", what_.c_str(), seconds);
    std::fflush(stderr);
    std::_Exit(124);
  }

  std::string what_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;  // last: started when the rest is ready
};

}  // namespace support

#endif
