// Attitude frames, visibility circle and transit geometry of the engine.
#ifndef VORLIX_ENGINE_GEOMETRY_H
#define VORLIX_ENGINE_GEOMETRY_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

// The mode-2 orbit frame of a yaw-steering satellite: the extra yaw follows
// the ground track (uses inc and mnmot of the prime slot prs).
Mat3 GetYSMat(const WinpData* d, const Vec3& r, const Vec3& v, double yaw, double pitch);

// Visibility circle of slot i: 64 points (radians) into fplat[i], fplng[i]
// and nfp = 64. lat: geocentric latitude of the sub-satellite point (rad);
// lng[i] (deg) and hgt[i] (km) are read from sp.
void GetSatVis(SatPosData* sp, double lat, int i);

// Centre line of a transit, occultation or flare: where the line through the
// satellite at r (Earth radii, true of date) towards target (occflg 1, 2: the
// Sun or Moon in Earth radii) or along the direction target (occflg 3) meets
// the Earth (observer's height above the ellipsoid, optional refraction
// pass). Writes ctlat[i], ctlng[i] (deg; 100/0 when the line misses) and for
// the prime slot mag = the surface distance from the observer (km).
// t1: MJD (UT1 with IERS values), eqeq: seconds of time. Both vectors are
// changed: when the line meets the Earth, r holds the vector from the
// satellite to the centre-line point (Earth radii; the flare stage uses it).
void GetOccTrans(double t1, const WinpData* d, SatPosData* sp, int i, double eqeq, Vec3& r,
                 Vec3& target);

// Points the sky chart at the prime satellite: skaz := its azimuth at t (MJD);
// unchanged when the satellite has no position at t.
void SkyAzim(WinpData* d, double t);

#endif
