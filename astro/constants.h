// Numbers every layer shares. A name carries its unit and, for the Earth's
// figure, its datum:
// - WGS-84 is the ellipsoid of every geodetic position: the observer's place,
//   the sub-satellite point, heights for the atmosphere, centre lines on the
//   ground, the horizon dip seen from a height, and the Earth radius of the
//   engine's distances;
// - WGS-72 is the datum SGP4 element sets are fitted in (SGP4's own radius;
//   a state inside it is inside the Earth);
// - the IAU 1976 radius belongs to the analytic eclipse and transit formulas
//   that were set up with it, and to the orbit editor's perigee and apogee
//   heights.
// Included by .cpp files only, so that a file's own short names never meet
// these in a header.
#ifndef VORLIX_ASTRO_CONSTANTS_H
#define VORLIX_ASTRO_CONSTANTS_H

// Angles
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;                // radians per degree
constexpr double kTimeSecPerRad = 13750.9870831;    // seconds of time per radian

// Time
constexpr double kSecPerDay = 86400.0;
constexpr double kMinPerDay = 1440.0;

// The Earth's figure
constexpr double kReWgs84Km = 6378.137;             // equatorial radius
constexpr double kReWgs84M = 6378137.0;
constexpr double kFlatWgs84 = 1.0 / 298.257223563;  // flattening
constexpr double kE2Wgs84 = kFlatWgs84 * (2.0 - kFlatWgs84);  // first eccentricity squared
constexpr double kReWgs72Km = 6378.135;
constexpr double kReWgs72M = 6378135.0;
constexpr double kReIau1976Km = 6378.14;

// The Earth's gravity field as the Kepler model and the pass search use it
constexpr double kGmKm3Day2 = 2.9755364003e15;      // GM = 398600.448 km^3/s^2, per day^2
constexpr double kJ2x15 = 0.001623942;              // 1.5 J2

// The Earth's GM of the EGM96 gravity model, which the numerical propagator's
// force field also carries. Osculating elements taken from a state vector
// (the state and orbit editors, elements of an integrated orbit) use it, so
// that they describe the orbit the integrator flies. It is not kGmKm3Day2:
// that older value belongs to the Kepler model and the pass search, and
// their numbers were set up with it.
constexpr double kGmEgm96Km3S2 = 398600.4415;
constexpr double kGmEgm96Km3Day2 = kGmEgm96Km3S2 * kSecPerDay * kSecPerDay;

#endif
