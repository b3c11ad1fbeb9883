// vorlixsky: the sky positions of the save file's pass details as an XEphem
// database of fixed objects.
//   vorlixsky [save file [database]]   (default satsave.txt, satovl.edb)
#include <cstdio>

#include "skylib.h"

int main(int argc, char** argv) { return sky::Run(argc, argv, stdout); }
