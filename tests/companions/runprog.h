// Runs a companion program as a user would: arguments, text on standard
// input, a working directory; gives back its exit status and what it wrote
// on standard output and standard error.
#ifndef VORLIX_TESTS_COMPANIONS_RUNPROG_H
#define VORLIX_TESTS_COMPANIONS_RUNPROG_H

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

inline Result Run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& input, const std::string& cwd) {
  Result r;
  support::TempDir io;
  const std::string in = io / "stdin", out = io / "stdout", err = io / "stderr";
  writeFile(in, input);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    alarm(60);  // a program that hangs is ended (and fails its test) instead of the suite
    const int fi = open(in.c_str(), O_RDONLY);
    const int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fi < 0 || fo < 0 || fe < 0) _exit(126);
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
  int st = 0;
  if (pid > 0 && waitpid(pid, &st, 0) == pid && WIFEXITED(st)) r.status = WEXITSTATUS(st);
  r.out = readFile(out);
  r.err = readFile(err);
  return r;
}

}  // namespace runprog

#endif
