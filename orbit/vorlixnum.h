// Numerical propagation: the force model (geopotential to degree and order 20,
// Jacchia 1971 drag, Sun and Moon attraction, radiation pressure with a
// cylindrical shadow, lift, thrust) and the driver that integrates a slot's
// state vector with the global RKF45 integrator.
//
// Units: metres, m/s, m/s^2 and seconds inside; the integration frame is the
// mean equator and equinox of date.
#ifndef VORLIX_ORBIT_VORLIXNUM_H
#define VORLIX_ORBIT_VORLIXNUM_H

#include <cmath>

#include "astro/attlib.h"
#include "engine/vorlixcom.h"
#include "orbit/simlib.h"

// Module state, created when the program is loaded.
extern RKF45 rkf;          // the integrator, 6 equations
extern Vec3 spos, mpos;    // m, Sun and Moon in the integration frame
extern double smy[6];      // the state being integrated (m, m/s)
extern int nmrksx;         // the slot being integrated (read by RKfun)
extern WinpData* nmdat;    // the record NumProp integrates with; null between calls
// The geopotential RKfun evaluates: GravC, GravS (orbit/forcetables.h). A
// field of the same layout may be put in their place (a zonal-only field, a
// central field for checks against two-body motion).
extern const double* nmgravc;
extern const double* nmgravs;

// The derivative handed to the integrator: RKfun with the record of the
// NumProp call in progress (nmdat). Outside a NumProp call there is no record:
// it writes dydt = (v, 0) (no forces).
void RKFun(double t, double* y, double* dydt);

// The equations of motion of slot nmrksx at t seconds after its tint:
// y = (x, y, z, vx, vy, vz), writes all six elements of dydt. Uses spos, mpos.
void RKfun(double t, double* y, double* dydt, const WinpData* d);

// Geopotential acceleration (m/s^2, Earth-fixed) at the Earth-fixed position
// r (m) to degree and order n; n is limited to 20, a negative n gives zero.
void HarmAcc(const Vec3& r, int n, Vec3& a);

// The same with the caller's coefficient tables (same layout as HarmAcc's).
void HarmAccTab(const Vec3& r, int n, const double* C, const double* S, Vec3& a);

// Geopotential degree used at a distance of rr metres from the centre.
int HarmDegree(double rr);

// The physical ranges of the space-weather inputs: Kp runs on its scale 0..9,
// the F10.7 solar flux (daily and mean, sfu) is taken up to 1000. Readers keep
// what they read inside them; the density model does too, whatever it is given
// (a NaN becomes 0).
constexpr double KP_MAX = 9.0;
constexpr double F107_MAX = 1000.0;
inline double KpInRange(double kp) { return std::fmin(std::fmax(kp, 0.0), KP_MAX); }
inline double F107InRange(double f) { return std::fmin(std::fmax(f, 0.0), F107_MAX); }
// The spacecraft's coefficients as the settings take them (from 0): drag Cd
// and radiation pressure Cr up to CD_MAX and CR_MAX, the area to mass ratio
// (m^2/kg) up to AM_MAX.
constexpr double CD_MAX = 100.0;
constexpr double CR_MAX = 100.0;
constexpr double AM_MAX = 1000.0;

// Height (km) of r (m, true equator of date) above the WGS-84 ellipsoid.
double EllipsoidHeight(const Vec3& r);

// Air density (kg/m^3) at r (m, equator of date) from the Jacchia 1971 model
// through Gill's polynomial fits, for the Sun at sun (m), the daily and mean
// F10.7 flux and Kp (each taken within its range above). h receives the
// height above the WGS-84 ellipsoid (km; 2500 when r is beyond the model or
// at the centre). Zero outside 0..2500 km; never infinite or NaN.
double Jacc71(double mjd, const Vec3& r, const Vec3& sun, double f107, double fb107,
              double kp, double& h);

// Perturbing acceleration of a point mass gm (m^3/s^2) at body (m) on a
// satellite at r (m).
Vec3 ThirdBody(double gm, const Vec3& r, const Vec3& body);

// Sun and Moon (m, mean equator and equinox of date) at t seconds after slot
// sat's tint.
void UpSunMoon(double t, const WinpData* d, int sat, Vec3& sun, Vec3& moon);

// Results of NumProp.
enum {
  NUMPROP_OK = 0,       // the requested time was reached
  NUMPROP_STOPPED = 1,  // the integration could not go on (the step collapsed
                        // to zero or turned non-finite, or the work budget of
                        // the call ran out): the slot holds the last good state
                        // and its time tint, and r, v are that state
  NUMPROP_BADINPUT = 2, // slot index, target time, state or force parameters
                        // unusable (non-finite, or a negative cd, cr or am):
                        // nothing integrated, nothing stored; r, v are the
                        // slot's integrated state when finite, else zero
  NUMPROP_DECAYED = 3   // the satellite came down: it is held where it reached
                        // the surface (height <= 0), carried round with the
                        // Earth, below the horizon of every observer on or above
                        // the ellipsoid; r, v are that point at mjd. The slot
                        // keeps the point and the time of the impact (tint);
                        // later calls return at once
};

// Derivative evaluations one NumProp call may make (six per step; a day of a
// low orbit with every force needs about twenty thousand, a millisecond
// each thousand). A call that runs out stops with NUMPROP_STOPPED at the
// state reached, and the next call goes on from there.
constexpr long NUMPROP_EVAL_BUDGET = 600000;
// The budget in force (tests may lower it).
extern long nmevals;

// Integrates slot sat from its integrated state at tint (or from its reference
// state at epoch, when that is nearer) to mjd (MJD, UT) with the force
// settings of d. sun, moon: geocentric Sun and Moon at mjd in Earth radii,
// true equator and equinox of date. r (km), v (km/s): the result in the
// integration frame. Stores the new state and tint in the slot, sets mdist,
// and with epu[sat] replaces the reference state and elements (not at an
// impact: they keep the last state in flight). A state that starts above the
// ground and reaches it ends the integration (NUMPROP_DECAYED).
int NumProp(double mjd, WinpData* d, int sat, const Vec3& sun, const Vec3& moon, Vec3& r,
            Vec3& v);

#endif
