// The SGP4 slot wrapper: one cached element record for the slot named in
// sgpsat, so that the thousands of calls of a pass search for one satellite
// cost one sgp4 call each.
#ifndef VORLIX_ENGINE_SGP4SLOT_H
#define VORLIX_ENGINE_SGP4SLOT_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"
#include "orbit/sgp4fit.h"

struct elsetrec;
// The SGP4 element record; holds the elements of slot sgpsat. One per thread,
// so that the all-satellite list's threads each propagate their own slot.
extern thread_local elsetrec satrec;

// Substitute state of a failed propagation: a point 100 km from the Earth's
// centre, below every horizon.
constexpr double SGP4FAIL_R = 100.0;  // km, along x
constexpr double SGP4FAIL_V = 10.0;   // km/s, along y

// Position (km) and velocity (km/s) of slot i at dt days after its epoch from
// its mean elements (TEME). Initialises satrec only when sgpsat != i. Any
// failure (bad slot, initialisation or propagation error, non-finite result)
// gives r = (100, 0, 0), v = (0, 10, 0) and false.
bool Sgp4(WinpData* d, double dt, int i, Vec3& r, Vec3& v);

// The SGP4 model slot i runs: the constant set of wgs, the deep-space switch
// sdp4, the slot's epoch and B*. With sgp4fit it turns a state (TEME at the
// slot's epoch) into elements that this slot reproduces.
Sgp4Model Sgp4SlotModel(const WinpData* d, int i);

// Rotation of a slot's state (mean equator and equinox of date, the frame
// every slot keeps its state in) at t into the frame of SGP4 (true equator,
// mean equinox). Fitting mean elements to the state in the model's own frame
// is what makes the fitted set retrace the orbit.
Mat3 Sgp4SlotFrame(WinpData* d, double t);

#endif
