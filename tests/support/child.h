// Runs a piece of a test in a child process: one that might hang is ended
// after a while, and one that must meet file permissions runs as an ordinary
// user (when the test runs as root, the child drops to "nobody" first).
#ifndef VORLIX_TESTS_SUPPORT_CHILD_H
#define VORLIX_TESTS_SUPPORT_CHILD_H

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace support {

// Runs fn in a child process and returns the child's exit code (fn's
// result, 0..99), or -1 when the child was killed, did not end by itself
// within `seconds` (a hang), or could not become an ordinary user when asked
// to. The child ends with _exit: nothing of the parent's (a window, a test
// framework) is torn down twice.
inline int InChild(const std::function<int()>& fn, unsigned seconds = 60,
                   bool ordinaryUser = false) {
  const passwd* pw = ordinaryUser && geteuid() == 0 ? getpwnam("nobody") : nullptr;
  if (ordinaryUser && geteuid() == 0 && !pw) return -1;
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

// The same as an ordinary user, whom permission bits bind. The caller's
// files and directories must be open to that user.
inline int AsOrdinaryUser(const std::function<int()>& fn, unsigned seconds = 60) {
  return InChild(fn, seconds, true);
}

}  // namespace support

#endif
