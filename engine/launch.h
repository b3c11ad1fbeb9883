// Launch orbits from a launch site (with the optional rendezvous launch time)
// and impulsive velocity changes of the prime satellite.
#ifndef VORLIX_ENGINE_LAUNCH_H
#define VORLIX_ENGINE_LAUNCH_H

#include "engine/vorlixcom.h"

// Result of LaunchOrb and ExDeltaV for input that cannot give an orbit: a
// value that is not a finite number (launch site, ascent time, the slot's
// elements, the delta-V or its angles), a latitude beyond 90 deg, a slot index
// out of range, a state at or below the Earth's surface or without velocity
// (a decayed SGP4 slot), or elements that come out non-finite. The record is
// left as it was, except that sgpsat is reset to 9999.
constexpr int ORBIT_BADINPUT = -1;

// Places the orbit of the prime slot prs (its inc, ecc, mnmot kept) so that it
// starts from the launch site (lslat, lslng) at curmjd with the ascent time
// tmeco (min): writes lazim, epoch, ra, aper, m0. An inclination that never
// reaches the site's latitude is raised to it (and a re-derived). With
// rndflg >= 0 the launch is moved (by at most half a day either way) to the
// time at which the orbit plane, drifting with its J2 rate, meets the plane
// of slot rndsat at the close approach rndtm days after launch, and curmjd
// follows it. An SGP4 slot gets mean elements fitted to the launched state.
// The state at epoch is stored; sgpsat := 9999. Returns 0, or ORBIT_BADINPUT.
int LaunchOrb(WinpData* d);

// Adds the velocity change dv (m/s; direction: along the velocity when yaw and
// pitch are 0, else turned by yaw and pitch in degrees in the orbit frame) to
// the prime slot at curmjd and re-derives its elements (SGP4 mean elements
// for an SGP4 slot, osculating Kepler elements otherwise); the new state
// becomes the slot's reference and integrated state, and epoch := curmjd (the
// pericentre time for an unbound Kepler slot). A zero dv leaves the track as
// it was. Returns 0 for an ellipse, 1 when the new orbit is parabolic or
// hyperbolic (the slot becomes a Kepler slot), or ORBIT_BADINPUT.
int ExDeltaV(WinpData* d, double dv, double yaw, double pitch);

#endif
