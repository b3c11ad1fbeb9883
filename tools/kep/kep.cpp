// vorlixkep: true anomaly and eccentricity to mean anomaly, or to pericentre
// time and distance, on the console.
#include <csignal>
#include <iostream>

#include "keplib.h"

int main() {
  // Output into a pipe whose reader left, or past the file size limit, is a
  // failed write that is reported (EPIPE, EFBIG) instead of a signal that
  // ends the program without a word.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  std::cin.imbue(std::locale::classic());
  std::cout.imbue(std::locale::classic());
  return kep::RunDialogue(std::cin, std::cout, std::cerr);
}
