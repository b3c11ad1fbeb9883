// vorlixkep: true anomaly and eccentricity to mean anomaly, or to pericentre
// time and distance, on the console.
#include <csignal>
#include <iostream>

#include "keplib.h"

int main() {
  // Output into a pipe whose reader left fails quietly instead of ending
  // the program by a signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::cin.imbue(std::locale::classic());
  std::cout.imbue(std::locale::classic());
  return kep::RunDialogue(std::cin, std::cout, std::cerr);
}
