// Coefficient tables of the analytic Sun and Moon series, in summation order.
// The numbers are generated from the published tables (tests/data/*.csv) by
// tests/tools/gen_sunmoon_tables.py into sunmoon_tables.cpp.
#ifndef VORLIX_ASTRO_SUNMOON_TABLES_H
#define VORLIX_ASTRO_SUNMOON_TABLES_H

// One perturbation term of the solar series: multiples I of the Earth's and i
// of the perturber's mean anomaly, power iT of T, and the cosine and sine
// coefficients of longitude (arcsec), radius (1e-6 AU) and latitude (arcsec).
struct SunTerm {
  int I, i, iT;
  double dlc, dls, drc, drs, dbc, dbs;
};
// Venus, Mars, Jupiter and Saturn, one after the other.
extern const SunTerm sunTerms[52];
const int sunVenusFirst = 0, sunVenusCount = 23;
const int sunMarsFirst = 23, sunMarsCount = 13;
const int sunJupiterFirst = 36, sunJupiterCount = 12;
const int sunSaturnFirst = 48, sunSaturnCount = 4;

// One solar term of the lunar series: coefficients of longitude, the
// distance-correction sum, the latitude factor and the parallax (arcsec), and
// the multiples of l, l', F, D.
struct MoonSolarTerm {
  double cl, cs, cg, cp;
  int p, q, r, s;
};
extern const MoonSolarTerm moonSolar[104];
const int moonSolar1First = 0, moonSolar1Count = 35;
const int moonSolar2First = 35, moonSolar2Count = 46;
const int moonSolar3First = 81, moonSolar3Count = 23;

// The latitude series N: coefficient (arcsec) and multiples of l, l', F, D.
struct MoonNTerm {
  double cn;
  int p, q, r, s;
};
extern const MoonNTerm moonSolarN[10];

// Planetary terms in longitude: amp (arcsec) * sin 2 pi (phase + rate T).
struct MoonPlanetTerm {
  double amp, phase, rate;
};
extern const MoonPlanetTerm moonPlanetary[11];

#endif
