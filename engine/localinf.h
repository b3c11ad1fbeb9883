// The local-details text: where the selected satellites stand for an
// observer (world map) or relative to a clicked sky point (sky chart).
#ifndef VORLIX_ENGINE_LOCALINF_H
#define VORLIX_ENGINE_LOCALINF_H

#include "engine/vorlixcom.h"

// Size of the caller's text buffer (terminator included). The text is
// formatted with bounds and always fits.
constexpr int LOCALINF_SIZE = 1008;

// Writes the report for the time curmjd into text (LOCALINF_SIZE bytes).
// rlm, prs and yrepoch are the same on return as on entry. Uses the engine's
// position record satpos, which holds the values of time curmjd afterwards.
// A satellite without a position (GetSatPos other than SATPOS_OK) has no
// numbers: "*** No Position ***" ("*** Decayed ***" for one that came down)
// stands under its name, and no single-satellite block or sky distance and
// course follow. The sky course takes a second position two seconds later:
// without one there is no course.
void LocalInf(WinpData* indata, char* text);

#endif
