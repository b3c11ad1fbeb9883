// vorlixkep: true anomaly and eccentricity to mean anomaly, or to pericentre
// time and distance, on the console.
#include <iostream>

#include "keplib.h"

int main() {
  std::cin.imbue(std::locale::classic());
  std::cout.imbue(std::locale::classic());
  return kep::RunDialogue(std::cin, std::cout, std::cerr);
}
