// The shared records: static, zero-filled storage and the pointers to it.
#include "gui/records.h"

namespace {
WinpData inrecord{};
WoutData outrecord{};
SatPosData posrecord{};
}  // namespace

WinpData* indata = &inrecord;
WoutData* outdata = &outrecord;
SatPosData* satps = &posrecord;

int epos[MAXPASS] = {};
int dsplmd = 0;
int fsz = 10;
FILE* satfle = nullptr;
