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

// Results of GetSatPos: what the slot's model gave for t.
enum {
  SATPOS_OK = 0,       // its state at t
  SATPOS_DECAYED = 1,  // a numerical satellite that came down: held where it
                       // reached the ground, below every horizon
  SATPOS_NOSTATE = 2   // no state at t (the integration stopped short of t,
                       // SGP4 failed or the satellite decayed in its model,
                       // elements beyond any orbit, a bad slot index): the
                       // satellite is put at SGP4's failure state, 100 km from
                       // the Earth's centre, below every horizon
};

// t: MJD (UTC). i: slot 0-11 (0-9 selected, 10 the work slot). flag non-zero:
// also compute the slot's visibility circle (plots pass 1, searches 0).
// In relative mode the observer fields lat/lng/height of d are changed for
// the length of the call and restored before it returns.
int GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag);

#endif
