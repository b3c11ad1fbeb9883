// Satellite positions and observer geometry for one time: the engine's inner
// loop. GetSatPos propagates one slot (numerical, SGP4/SDP4 or Kepler with J2
// secular rates), brings the state to the true equator and equinox of date and
// fills the slot's fields of a SatPosData record: sub-point, topocentric
// az/el/range, R.A./Dec., range rate, beta angle, Sun and Moon seen from the
// satellite and from the observer, then the eclipse, magnitude, transit and
// flare stages.
#ifndef VORLIX_ENGINE_SATPOS_H
#define VORLIX_ENGINE_SATPOS_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

// t: MJD (UTC). i: slot 0-11 (0-9 selected, 10 the work slot). flag non-zero:
// also compute the slot's visibility circle (plots pass 1, searches 0).
// In relative mode the observer fields lat/lng/height of d are changed for
// the length of the call and restored before it returns.
void GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag);

#endif
