// SGP4 mean elements that give back a state vector exactly.
//
// rv2el inverts SGP4's near-Earth terms at epoch with rounded constants. Its
// elements start SGP4 a few decimetres from the state near the Earth, and
// kilometres away on a deep-space orbit: SDP4 adds its lunar-solar periodic
// terms, which are not zero at epoch, on top of elements that already hold
// them. sgp4fit takes rv2el's elements as the first guess and corrects them
// by Newton steps on the engine's own SGP4, so that the model started from the
// elements at their epoch is where the state says.
//
// Every conversion of a state into the elements of an SGP4 slot goes through
// sgp4fit: the delta-V manoeuvre, the launch orbit and the element editor's
// conversion of a stored state vector.
#ifndef VORLIX_ORBIT_SGP4FIT_H
#define VORLIX_ORBIT_SGP4FIT_H

#include "astro/attlib.h"
#include "orbit/rv2el.h"
#include "orbit/sgp4unit.h"

// How a satellite slot runs SGP4: the constant set, the deep-space switch,
// the epoch and B*. The elements fitted are valid for exactly this model.
struct Sgp4Model {
  gravconsttype grav;  // wgs72 or wgs84
  bool deepsw;         // deep-space terms allowed
  double epoch;        // MJD (UT): the time of the state
  double bstar;        // 1/Earth radii
};

// Mean elements in the units of a satellite slot and a two-line element set.
struct Sgp4Mean {
  double incl;  // deg, 0..180
  double node;  // deg, 0..360 (see sgp4refine)
  double ecc;
  double argp;  // deg, 0..360
  double M;     // deg, 0..360
  double n;     // Kozai mean motion, rev/day
};

// sgp4init for mean elements in slot units, with the slot's conventions: an
// eccentricity below 1e-8 is passed as 1e-8, a mean motion of exactly 0 as
// 1 rad/min. Returns sgp4init's error code.
int sgp4initMean(const Sgp4Model& m, const Sgp4Mean& el, elsetrec& rec);

// Result of sgp4fit beyond the RV2EL_* codes (1..4: no elements at all).
enum {
  SGP4FIT_NOTCONVERGED = 5  // the Newton steps did not meet the tolerance
};

// Tolerance of the fit: SGP4's state at epoch lies closer to the given state
// than this in position (m) and velocity (m/s).
constexpr double SGP4FIT_TOLR = 1e-3;
constexpr double SGP4FIT_TOLV = 1e-6;

// Refines the first guess el (normally rv2el's elements for r, v) so that
// SGP4 of model m gives r (m) and v (m/s), TEME at the epoch, within the
// tolerance above. Returns RV2EL_OK (0) with the refined elements, or
// SGP4FIT_NOTCONVERGED with el as it came in (a guess SGP4 cannot propagate,
// or a state no elements reach within a bounded effort: at most 2000
// propagations, a few milliseconds; a typical refit needs a few dozen).
// The node of the result lies in 0..360 with one exception: in deep space
// below 11.5 degrees inclination SGP4 takes the node as a number as well as
// an angle (node and node + 360 are orbits some metres apart), and when the
// state is reached only just below 0 degrees, that value is returned.
int sgp4refine(const Sgp4Model& m, const Vec3& r, const Vec3& v, Sgp4Mean& el);

// The conversion of a state into SGP4 elements: rv2el, then sgp4refine.
// r in m, v in m/s, TEME at the model's epoch. Returns
//   RV2EL_OK              el holds elements that reproduce the state;
//   SGP4FIT_NOTCONVERGED  el holds rv2el's elements (usable, but SGP4 starts
//                         away from the state by what rv2el leaves);
//   RV2EL_BADINPUT, RV2EL_BELOWSURFACE, RV2EL_NOTELLIPTIC, RV2EL_NOFIT
//                         no elements: el is not written.
// The elements written are always finite.
int sgp4fit(const Sgp4Model& m, const Vec3& r, const Vec3& v, Sgp4Mean& el);

#endif
