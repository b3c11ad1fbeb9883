// Orbit determination from two observed directions (a circular orbit) and the
// search of the TLE file for satellites that match an observation.
#ifndef VORLIX_ENGINE_ORBITDET_H
#define VORLIX_ENGINE_ORBITDET_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

// The test of the radius search: with the observers o1, o2 (km), the unit
// directions u1, u2 and a = (u.o)^2 - |o|^2, c = -(u.o) of each, p1 and p2
// become the points at distance r (km) from the Earth's centre along the two
// lines of sight. Returns +1 when a circular orbit of radius r travels more
// than the angle between p1 and p2 in dt days, else -1.
int PhiDiff(double a1, double a2, double c1, double c2, double dt, Vec3& p1, Vec3& p2,
            Vec3& o1, Vec3& o2, Vec3& u1, Vec3& u2, double r);

// Results of OrbitDet.
constexpr int ORBDET_NEW = 0;        // converged: slot named "New"
constexpr int ORBDET_NOCONV = 1;     // stored under the name "No Convergence"
constexpr int ORBDET_BADINPUT = -1;  // an observation, deltm or the observer is not
                                     // a finite number: nothing stored
constexpr int ORBDET_NOMOTION = -2;  // the two directions coincide among the stars or
                                     // in the observer's sky (or give no orbit plane):
                                     // the object shows no motion, nothing stored

// Smallest angle (rad) between the two observed directions, among the stars
// and in the observer's sky alike, that counts as motion: one arcsecond,
// below what any sighting resolves.
constexpr double ORBDET_MIN_MOTION = 4.84813681109536e-6;

// Largest inclination (deg) of an orbit found from a direction that stood
// still in the observer's sky: such a direction is a geostationary satellite
// (kept within a few tenths of a degree of the equator) or no satellite.
constexpr double ORBDET_GEO_INC_MAX = 1.0;

// Determines a circular orbit from the observations (az1, el1) at curmjd and
// (az2, el2) deltm seconds later (each az/el in degrees, or R.A. HH.MMSS and
// Dec. DD.MMSS when az1flg/az2flg, of epoch yrepoch; 0 = of date) and stores
// it as Kepler elements in the next free slot (slot 9 when ten are selected),
// which becomes the prime slot. The slot's catalogue number is 0 and its
// designator blank. Two sightings of the same R.A./Dec. show no motion from
// which an orbit could follow, and two of the same azimuth/elevation only a
// geostationary one: otherwise ORBDET_NOMOTION, and the record is left as it
// was.
int OrbitDet(WinpData* d);

// 1 when the satellite at (sA, sE) lies within the angle whose cosine is
// cosmax from the centre (cA, cE) and, with dirflag, moves (towards sA2, sE2)
// in the observed direction dirObs (rad from up through right) within 45 deg;
// else 0. Angles in radians.
int mtchok(double cosmax, double cA, double cE, double sA, double sE, double dirObs, int dirflag,
           double sA2, double sE2);

// Azimuth and elevation (rad) of the match centre at t (MJD UT): mtaz, mtel
// (deg), or with rdf the R.A. mtaz (HH.MMSS) and Dec. mtel (DD.MMSS) seen from
// the observer; eqeq in seconds of time.
void convRDAE(const WinpData* d, double t, double eqeq, double& az, double& el);

// Lists in o the satellites of tlenm that pass within mxa degrees of the
// match centre within +-tm minutes of curmjd (optionally moving in the
// direction dra, optionally major objects only, optionally through both
// observations of the orbit determination); matches are kept in free slots
// while there is room. Returns 1 when the TLE file cannot be opened, else 0.
int SatMatch(WinpData* d, WoutData* o);

// Most matches listed.
constexpr int SATMATCH_MAX = 50;

#endif
