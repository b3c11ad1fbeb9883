// Later stages of GetSatPos: solar eclipse seen from the satellite, visual
// magnitude, transit/occultation centre line, flare geometry and the attitude
// an unknown mirror would need.
#ifndef VORLIX_ENGINE_STAGES_H
#define VORLIX_ENGINE_STAGES_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

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

// No eclipse to tell (the satellite has no position): smang, eclmag, eclpow
// and ecltyp of d say none, so that no earlier satellite's numbers remain.
void NoSatSunEclipse(WinpData* d);

// Visual magnitude of the current satellite (slot i) lit by the Sun, or by the
// Moon when the satellite is in the Earth's shadow with moonflg set. Needs
// rng (km), el (deg) of slot i final and sunh/moonh still in radians. Writes
// mag and st.md, st.ms.
void SatMagnitude(const WinpData* d, SatPosData* sp, int i, SatPosStage& st);

// Stages after the sub-point is final (lat, lng, sunh, moonh in degrees):
// footprint, transit/occultation centre line, flare geometry, mirror attitude.
void SatLateStages(WinpData* d, SatPosData* sp, int i, int flag, SatPosStage& st);

#endif
