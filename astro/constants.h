// Numbers every layer shares. A name carries its unit and, for the Earth's
// figure, its datum: WGS-84 is the ellipsoid of the observer and of the
// sub-satellite point; WGS-72 is the datum SGP4 element sets are fitted in.
#ifndef VORLIX_ASTRO_CONSTANTS_H
#define VORLIX_ASTRO_CONSTANTS_H

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;  // radians per degree

#endif
