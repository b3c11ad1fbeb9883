// vorlixsky: the sky positions of the save file's pass details as an XEphem
// database of fixed objects.
//   vorlixsky [save file [database]]   (default satsave.txt, satovl.edb)
#include <csignal>
#include <cstdio>

#include "engine/safefile.h"
#include "skylib.h"

int main(int argc, char** argv) {
  // A reader that leaves a FIFO early (EPIPE), or a file size limit (EFBIG),
  // makes the write fail, which is reported, instead of ending the program
  // without a word.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  // A command-line tool waits on a FIFO's reader as long as it takes, like
  // any program writing into a pipe.
  SetDirectWritePatience(-1);
  return sky::Run(argc, argv, stdout);
}
