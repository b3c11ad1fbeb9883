// State vector to SGP4 mean elements: the inverse of the SGP4 near-Earth model
// at epoch. The osculating elements of a position and velocity are freed of
// SGP4's short-period and long-period terms by fixed-point iteration, and the
// mean semi-major axis is turned into the Kozai mean motion that a two-line
// element set carries, so that SGP4 started from the result at tsince = 0
// gives back the state. Always the WGS-72 constants.
#ifndef VORLIX_ORBIT_RV2EL_H
#define VORLIX_ORBIT_RV2EL_H

#include "astro/attlib.h"

// Results of rv2el. On any code but RV2EL_OK the outputs are not written.
enum {
  RV2EL_OK = 0,
  RV2EL_BADINPUT = 1,     // a component is not a finite number
  RV2EL_BELOWSURFACE = 2, // the position is at or below the Earth's surface
  RV2EL_NOTELLIPTIC = 3,  // no velocity across the radius, or e >= 1
  RV2EL_NOFIT = 4         // the mean elements are not an ellipse or not finite
};

// r in m, v in m/s (the frame SGP4 works in, TEME, to reproduce an SGP4
// track). Outputs: inclination (0..180), node, argument of perigee and mean
// anomaly (0..360) in degrees, the mean eccentricity, and the Kozai mean
// motion in revolutions per day. An exactly equatorial orbit has node 0 and
// its angles counted from the x axis.
int rv2el(const Vec3& r, const Vec3& v, double& incl, double& node, double& ecc, double& argp,
          double& M, double& n);

#endif
