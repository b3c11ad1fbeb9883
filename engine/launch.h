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
// Result of ExDeltaV when the new orbit's perigee lies below the Earth's
// surface: elements the orbit editor refuses, which SGP4 would not propagate
// at all. The record is left as it was (sgpsat reset to 9999).
constexpr int ORBIT_BELOWSURFACE = -2;
// Result of LaunchOrb for a slot whose orbit is open (eccentricity 1 or more):
// there is no mean motion to time the ascent with. The record as it was.
constexpr int ORBIT_OPEN = -3;
// Result of LaunchOrb for a rendezvous whose target has no position at the
// close approach (rndtm days after the launch found): there is nothing to
// meet. The record as it was.
constexpr int ORBIT_NOTARGET = -4;

// Perigee height (km above 6378.14 km, the orbit editor's Earth radius) of
// slot s as the orbit editor shows it: (1 - e) a - R for an ellipse, the
// perigee distance held in mnmot less R for an open orbit.
double PerigeeHeight(const WinpData* d, int s);

// Places the orbit of the prime slot prs (its inc, ecc, mnmot kept) so that it
// starts from the launch site (lslat, lslng) at curmjd with the ascent time
// tmeco (min): writes lazim, epoch, ra, aper, m0. An inclination that never
// reaches the site's latitude is raised to it (and a re-derived). With
// rndflg >= 0 the launch is moved (by at most half a day either way) to the
// time at which the orbit plane, drifting with its J2 rate, meets the plane
// of slot rndsat at the close approach rndtm days after launch, and curmjd
// follows it. An SGP4 slot gets mean elements fitted to the launched state.
// The state at epoch is stored; sgpsat := 9999. incRaised (when given) tells
// whether the inclination was raised. Returns 0, or ORBIT_BADINPUT, ORBIT_OPEN
// or ORBIT_NOTARGET (a rendezvous target without a position at the close
// approach).
int LaunchOrb(WinpData* d, bool* incRaised = nullptr);

// Adds the velocity change dv (m/s; direction: along the velocity when yaw and
// pitch are 0, else turned by yaw and pitch in degrees in the orbit frame) to
// the prime slot at curmjd and re-derives its elements (SGP4 mean elements
// for an SGP4 slot, osculating Kepler elements otherwise); the new state
// becomes the slot's reference and integrated state, and epoch := curmjd (the
// pericentre time for an unbound Kepler slot). A zero dv leaves the track as
// it was. Returns 0 for an ellipse, 1 when the new orbit is parabolic or
// hyperbolic (the slot becomes a Kepler slot), ORBIT_BADINPUT, or
// ORBIT_BELOWSURFACE when the new orbit's perigee lies below the Earth's
// surface; perigeeHeight (when given) then holds that height (km, as
// PerigeeHeight gives it for the new elements).
int ExDeltaV(WinpData* d, double dv, double yaw, double pitch, double* perigeeHeight = nullptr);

#endif
