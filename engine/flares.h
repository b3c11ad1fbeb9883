// Event refinement inside a found pass: the closest transit, occultation or
// flare centre line, or the brightest Iridium mirror flare; and the Iridium
// flare list read back from the save file. Pass arrays tm, elv, azm as in
// engine/passes.h.
#ifndef VORLIX_ENGINE_FLARES_H
#define VORLIX_ENGINE_FLARES_H

#include "engine/vorlixcom.h"

// Mirror trackers of GetIrid. States: 2 fresh (the first sample with a centre
// line is taken whatever its value), 3 armed (the first sample with a centre
// line is compared), 1 tracking, 0 ended.
constexpr int IRID_NTRACK = 3;
constexpr double IRID_NONE = 100000.0;  // best value of a tracker with no sample

// One tracker step for mirror k at time t: samples slot `slot` (unless the
// tracker has ended) and keeps the time, value (satpos->mag), elevation and
// azimuth of the smallest value met while the centre line meets the ground.
// A time without a position (GetSatPos other than SATPOS_OK) has no centre
// line. The arrays have IRID_NTRACK entries; k outside 0..2 does nothing.
// True when it sampled t and the satellite had a position there.
bool CkIrid(double t, WinpData* d, int slot, int k, int* state, double* tbest, double* vbest,
            double* elbest, double* azbest);

// Finds the event in the pass [tm[0], tm[2]] found by nextpass: the time of
// the smallest centre-line distance (modes 1, 2) or flare magnitude (mode 3,
// best of three mirrors), refined to 0.1 s. centreSeen: some pass sample had
// a centre line. Returns 1 event found (tm[1], elv[1], azm[1] the event;
// azm[2] the distance in km or the magnitude; in Iridium mode elv[0], elv[2]
// the sub-satellite latitude near the pass start and at its end, from
// samples with a position), 2 pass
// without event (or beyond mxdist / irmag). elv[0] is 100 at entry.
int GetIrid(WinpData* d, int slot, int centreSeen, double* tm, double* elv, double* azm);

// Reads the Iridium flare lines of the save file savnm back into the page o
// (title, year line, then the flare lines, a blank line before every fifth)
// and loads each flaring satellite once from the TLE file tlenm into the next
// free slot (by name; the search mode srchmd is restored). A save file that
// cannot be read back leaves the title and a line that says where the list
// went and why it is not shown: a FIFO or a device (which keep nothing to
// read back), or the reason the file cannot be read. An unreadable TLE file
// only disables loading.
void Iriddspy(WinpData* d, WoutData* o);

#endif
