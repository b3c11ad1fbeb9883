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

// t: MJD (UTC). i: slot 0-11 (0-9 selected, 10 the work slot). flag non-zero:
// also compute the slot's visibility circle (plots pass 1, searches 0).
// In relative mode the observer fields lat/lng/height of d are changed for
// the length of the call and restored before it returns.
void GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag);

// Working values of one GetSatPos call handed to its later stages.
// Vectors are true equator and equinox of date; r, o in km, v in km/s,
// sun and moon geocentric in Earth radii (moon zero when not computed).
struct SatPosStage {
  double t1;     // MJD of the Earth's rotation (UT1 when IERS values are used)
  double eqeq;   // equation of the equinoxes, seconds of time
  Vec3 r, v;     // satellite
  Vec3 o;        // observer
  double latgc;  // rad, geocentric latitude of the sub-satellite point
  Vec3 sun, moon;
  Mat3 q;        // true of date -> mean equator of yrepoch (when yrepoch != 0)
  double dim;    // eclipse dimming D (mag); 0 when no eclipse stage ran
  double md;     // diffuse magnitude Md; 99 when the magnitude stage did not run
  double ms;     // magnitude of the light source; -30 marks the Sun
};

// Eclipse of the Sun seen from the satellite at s (Earth radii). Writes
// smang, eclmag, eclpow, ecltyp of d and returns the dimming D in magnitudes
// (0 no eclipse, 20 total or no Sun left).
double SatSunEclipse(WinpData* d, const Vec3& s, const Vec3& sun, const Vec3& moon);

// Visual magnitude of the current satellite (slot i) lit by the Sun, or by the
// Moon when the satellite is in the Earth's shadow with moonflg set. Needs
// rng (km), el (deg) of slot i final and sunh/moonh still in radians. Writes
// mag and st.md, st.ms.
void SatMagnitude(WinpData* d, SatPosData* sp, int i, SatPosStage& st);

// Stages after the sub-point is final (lat, lng, sunh, moonh in degrees):
// footprint, transit/occultation centre line, flare geometry, mirror attitude.
void SatLateStages(WinpData* d, SatPosData* sp, int i, int flag, SatPosStage& st);

#endif
