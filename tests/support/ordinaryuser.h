// Runs a piece of a test as an ordinary user, whom file permissions bind:
// when the test runs as root, a child process drops to "nobody" first.
#ifndef VORLIX_TESTS_SUPPORT_ORDINARYUSER_H
#define VORLIX_TESTS_SUPPORT_ORDINARYUSER_H

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace support {

// Runs fn in a child process as an ordinary user and returns the child's
// exit code (fn's result, 0..99), or -1 when the child could not become that
// user, was killed, or did not end by itself within `seconds`. The caller's
// files and directories must be open to that user. The child ends with
// _exit: nothing of the parent's (a window, a test framework) is torn down
// twice.
inline int AsOrdinaryUser(const std::function<int()>& fn, unsigned seconds = 60) {
  const passwd* pw = geteuid() == 0 ? getpwnam("nobody") : nullptr;
  if (geteuid() == 0 && !pw) return -1;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (pw && (setgroups(0, nullptr) != 0 || setgid(pw->pw_gid) != 0 || setuid(pw->pw_uid) != 0))
      _exit(100);
    alarm(seconds);
    _exit(fn());
  }
  int st = 0;
  if (waitpid(pid, &st, 0) != pid || !WIFEXITED(st) || WEXITSTATUS(st) >= 100) return -1;
  return WEXITSTATUS(st);
}

}  // namespace support

#endif
