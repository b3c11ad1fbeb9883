// Runs a companion program as a user would: arguments, text on standard
// input, a working directory, and as a shell may set it up: a file size
// limit (ulimit -f), standard output a pipe; gives back its exit status and
// what it wrote on standard output and standard error.
#ifndef VORLIX_TESTS_COMPANIONS_RUNPROG_H
#define VORLIX_TESTS_COMPANIONS_RUNPROG_H

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/files.h"

namespace runprog {

struct Result {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out, err;
};

// How the program's surroundings differ from the plain ones.
struct Setup {
  rlim_t fileSizeLimit = RLIM_INFINITY;  // bytes
  bool outPipe = false;                  // standard output a pipe, read to its end
};

inline Result Run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& input, const std::string& cwd, const Setup& setup = Setup()) {
  Result r;
  support::TempDir io;
  const std::string in = io / "stdin", out = io / "stdout", err = io / "stderr";
  writeFile(in, input);
  int pipeFds[2] = {-1, -1};
  if (setup.outPipe && pipe2(pipeFds, O_CLOEXEC) != 0) return r;
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    alarm(60);  // a program that hangs is ended (and fails its test) instead of the suite
    const int fi = open(in.c_str(), O_RDONLY);
    const int fo = setup.outPipe ? pipeFds[1] : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fi < 0 || fo < 0 || fe < 0) _exit(126);
    if (setup.fileSizeLimit != RLIM_INFINITY) {
      const rlimit lim{setup.fileSizeLimit, setup.fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(126);
    }
    dup2(fi, 0);
    dup2(fo, 1);
    dup2(fe, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  std::string piped;
  if (setup.outPipe) {
    close(pipeFds[1]);
    char buf[4096];
    for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) != 0;) {
      if (n > 0) piped.append(buf, static_cast<size_t>(n));
      else if (errno != EINTR) break;
    }
    close(pipeFds[0]);
  }
  int st = 0;
  if (pid > 0 && waitpid(pid, &st, 0) == pid && WIFEXITED(st)) r.status = WEXITSTATUS(st);
  r.out = setup.outPipe ? piped : readFile(out);
  r.err = readFile(err);
  return r;
}

}  // namespace runprog

#endif
