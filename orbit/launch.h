// Launch orbits from a launch site (with the optional rendezvous launch time)
// and impulsive velocity changes of the prime satellite.
#ifndef VORLIX_ORBIT_LAUNCH_H
#define VORLIX_ORBIT_LAUNCH_H

#include "engine/vorlixcom.h"

// Result of LaunchOrb and ExDeltaV for input that cannot give an orbit: a
// value that is not a finite number (launch site, ascent time, the slot's
// elements, the delta-V or its angles), a state at or below the Earth's surface
// or without velocity, or elements that come out non-finite. The record is
// left exactly as it was.
constexpr int ORBIT_BADINPUT = -1;

// Places the orbit of the prime slot prs (its inc, ecc, mnmot kept) so that it
// starts from the launch site (lslat, lslng) at curmjd with the ascent time
// tmeco (min): writes lazim, epoch, ra, aper, m0; with rndflg >= 0 the launch
// is moved to the time at which the orbit plane meets the plane of slot
// rndsat (at the close approach rndtm days later), and curmjd follows it. An
// SGP4 slot gets mean elements fitted to the launched state. sgpsat := 9999.
// Returns 0, or ORBIT_BADINPUT.
int LaunchOrb(WinpData* d);

// Adds the velocity change dv (m/s; direction: along the velocity when yaw and
// pitch are 0, else turned by yaw and pitch in degrees in the orbit frame) to
// the prime slot at curmjd and re-derives its elements (SGP4 mean elements
// for an SGP4 slot, osculating Kepler elements otherwise). Returns 0 for an
// ellipse, 1 when the new orbit is parabolic or hyperbolic (the slot becomes a
// Kepler slot), or ORBIT_BADINPUT.
int ExDeltaV(WinpData* d, double dv, double yaw, double pitch);

#endif
