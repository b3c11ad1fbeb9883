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

FILE* satfle = nullptr;
