// Term tables of the PLAN200 planetary series, used by Plan200 (astr2lib).
// The data file astro/plan200tables.cpp is generated; see its first line.
#ifndef VORLIX_ASTRO_PLAN200TABLES_H
#define VORLIX_ASTRO_PLAN200TABLES_H

// One periodic term: multiples p of the planet's own mean anomaly and q of the
// perturber's argument, power k of T, and the cosine and sine coefficients of
// longitude, radius and latitude (dlc, dls, drc, drs, dbc, dbs).
struct Plan200Term {
  int p, q, k;
  double c[6];
};

// A run of terms that share one perturber, with the range of q it uses.
struct Plan200Group {
  const char* planet;
  const char* perturber;
  int first, count;
  int qmin, qmax;
};

// The groups of one planet, in summation order, and the range of p it uses.
struct Plan200Series {
  int firstGroup, groups;
  int pmin, pmax;
};

constexpr int kPlan200TermCount = 454;
constexpr int kPlan200GroupCount = 27;

extern const Plan200Term kPlan200Terms[kPlan200TermCount];
extern const Plan200Group kPlan200Groups[kPlan200GroupCount];
extern const Plan200Series kPlan200Series[8];  // Mercury, Venus, Mars, ... Pluto

#endif
