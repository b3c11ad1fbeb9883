// Searches over every satellite of the current TLE file: the all-satellite
// pass (or event) list written to the save file, and the selection of the
// satellites whose next pass begins soonest.
#ifndef VORLIX_ENGINE_LISTS_H
#define VORLIX_ENGINE_LISTS_H

#include "engine/vorlixcom.h"

// The faintest limiting magnitude (irmag) the Iridium flare list takes.
constexpr double IRMAG_MAX = 29.0;

// Results of AllSatAos.
constexpr int ALLSAT_DONE = 0;
constexpr int ALLSAT_NOSAVE = 1;     // save file not opened (or it is the TLE file),
                                     // or a write to it failed
constexpr int ALLSAT_NOTLE = 2;      // TLE file not opened
constexpr int ALLSAT_UNSORTED = 3;   // the list is saved, but the sort could not put
                                     // it in time order: it stays as written,
                                     // grouped by satellite
constexpr int ALLSAT_BADSET = -1;    // irmag > IRMAG_MAX (Iridium), or distance 0 in a
                                     // transit/occultation/flare mode without
                                     // automatic zone; nothing opened, nothing written

// Runs the pass search (iridflg 0) or the event search (1 transit or
// occultation, 2 flare, 3 Iridium flare) for every satellite of tlenm over the
// entered interval (local date and time, dur days) and writes a header and one
// line per pass or event to the save file savnm (through WriteSaveFile: a
// new file when svnew is set, else appended; svnew is cleared after a good
// write), then sorts the block it wrote by time (SortAos; earlier blocks of
// the file stay as they were). A new file is written into a temporary file
// of its own beside savnm and renamed over it when complete: when that fails
// the old file stays as it was and svnew stays set; an appended block that
// cannot be written whole is taken back. The settings are checked and the
// TLE file opened before the save file is touched; a save file that is the
// TLE file (by any name) is refused. LastSaveFile (engine/savefile.h) tells
// why the list was not saved; for ALLSAT_UNSORTED *sortWhy (when given) tells
// why it was not sorted (SortAos: an errno or one of the safe writer's
// reasons; a FIFO or a device, whose lines are gone to its reader, as not a
// regular file), else it is 0.
// rlm, sunel, mxdist and the prime slot are restored on return; in automatic
// zone mode (Sun or Moon transit with mxdist <= 0) the satellites with a
// listed transit are added to the selection.
int AllSatAos(WinpData* d, int* sortWhy = nullptr);

// Threads the all-satellite list spreads its satellites over (the calling
// thread waits for them): n > 0 that many, else one per core of the
// machine (the start value). The lines come in the order of the TLE file
// whatever the count. One thread serves a run in automatic zone mode and
// a file with state-vector records (numerical propagation).
void SetListThreads(int n);
int ListThreads();

// Window of the semi-major axis (km) of operational Iridium satellites, for
// mean (SGP4) and for Kepler-model elements.
constexpr double IRID_AMIN_SGP = 7157.0, IRID_AMAX_SGP = 7157.6;
constexpr double IRID_AMIN_KEP = 7150.0, IRID_AMAX_KEP = 7159.9;

// Selects the (at most ten) satellites of tlenm whose next pass begins
// soonest within 0.1 day from now (RT_MJD) and later than now + 0.0018 d, as
// the new selection sorted by start time (slots 0.., prs = 0). Returns the
// number selected (1..10); 0 none (the selection is kept); -1 TLE file not
// opened. rlm is the same on return as on entry.
int Nxt4Pass(WinpData* d);

#endif
