// Moon theory: solar perturbation series in longitude, latitude and parallax
// on mean arguments with long-periodic corrections, plus planetary terms;
// geocentric, ecliptic and equinox of date, Earth radii.
#include "astro/astrolib.h"
#include "astro/sunmoon_tables.h"

#include <cmath>

namespace {
const double pi2 = 6.283185307179586;
const double ARC = 206264.81;  // arcseconds per radian
}  // namespace

double Moon200::sinus(double phi) { return std::sin(pi2 * frac(phi)); }

void Moon200::addthe(double c1, double s1, double c2, double s2, double& c, double& s) {
  c = c1 * c2 - s1 * s2;
  s = s1 * c2 + c1 * s2;
}

void Moon200::long_periodic(double T) {
  double S1 = sinus(0.19833 + 0.05611 * T);
  double S2 = sinus(0.27869 + 0.04508 * T);
  double S3 = sinus(0.16827 - 0.36903 * T);
  double S4 = sinus(0.34734 - 5.37261 * T);
  double S5 = sinus(0.10498 - 5.37899 * T);
  double S6 = sinus(0.42681 - 0.41855 * T);
  double S7 = sinus(0.14943 - 5.37511 * T);
  DL0 = 0.84 * S1 + 0.31 * S2 + 14.27 * S3 + 7.26 * S4 + 0.28 * S5 + 0.24 * S6;
  DL = 2.94 * S1 + 0.31 * S2 + 14.27 * S3 + 9.34 * S4 + 1.12 * S5 + 0.83 * S6;
  DLS = -6.40 * S1 - 1.89 * S6;
  DF = 0.21 * S1 + 0.31 * S2 + 14.27 * S3 - 88.70 * S4 - 15.30 * S5 + 0.24 * S6 - 1.86 * S7;
  DD = DL0 - DLS;
  DGAM = -3.332e-6 * sinus(0.59734 - 5.37261 * T) - 5.39e-7 * sinus(0.35498 - 5.37899 * T) -
         6.4e-8 * sinus(0.39943 - 5.37511 * T);
}

void Moon200::minit(double T) {
  SINPI = 3422.7;
  DLAM = 0.0;
  DS = 0.0;
  GAM1C = 0.0;
  long_periodic(T);
  double T2 = T * T;
  L0 = pi2 * frac(0.60643382 + 1336.85522467 * T - 0.00000313 * T2) + DL0 / ARC;
  L = pi2 * frac(0.37489701 + 1325.55240982 * T + 0.00002565 * T2) + DL / ARC;
  LS = pi2 * frac(0.99312619 + 99.99735956 * T - 0.00000044 * T2) + DLS / ARC;
  F = pi2 * frac(0.25909118 + 1342.2278298 * T - 0.00000892 * T2) + DF / ARC;
  D = pi2 * frac(0.82736186 + 1236.85308708 * T - 0.00000397 * T2) + DD / ARC;

  // Multiples beyond those the series uses stay zero, so that a term with a
  // wrong multiple shows up instead of reading stale values.
  for (int j = 0; j < 13; j++)
    for (int i = 0; i < 4; i++) CO[j][i] = SI[j][i] = 0.0;
  const double arg[4] = {L, LS, F, D};
  const int max[4] = {4, 3, 4, 6};
  const double fac[4] = {1.000002208, 0.997504612 - 0.002495388 * T, 1.000002708 + 139.978 * DGAM,
                         1.0};
  for (int i = 0; i < 4; i++) {
    CO[6][i] = 1.0;
    SI[6][i] = 0.0;
    CO[7][i] = fac[i] * std::cos(arg[i]);
    SI[7][i] = fac[i] * std::sin(arg[i]);
    for (int j = 2; j <= max[i]; j++)
      addthe(CO[j + 5][i], SI[j + 5][i], CO[7][i], SI[7][i], CO[j + 6][i], SI[j + 6][i]);
    for (int j = 1; j <= max[i]; j++) {
      CO[6 - j][i] = CO[6 + j][i];
      SI[6 - j][i] = -SI[6 + j][i];
    }
  }
}

void Moon200::term(int p, int q, int r, int s, double& x, double& y) {
  const int k[4] = {p, q, r, s};
  x = 1.0;
  y = 0.0;
  for (int i = 0; i < 4; i++)
    if (k[i] != 0) addthe(x, y, CO[6 + k[i]][i], SI[6 + k[i]][i], x, y);
}

void Moon200::addsol(double coeffl, double coeffs, double coeffg, double coeffp, int p, int q,
                     int r, int s) {
  double x, y;
  term(p, q, r, s, x, y);
  DLAM += coeffl * y;
  DS += coeffs * y;
  GAM1C += coeffg * x;
  SINPI += coeffp * x;
}

namespace {
void addSolarRows(Moon200& m, int first, int count) {
  for (int k = first; k < first + count; k++) {
    const MoonSolarTerm& t = moonSolar[k];
    m.addsol(t.cl, t.cs, t.cg, t.cp, t.p, t.q, t.r, t.s);
  }
}
}  // namespace

void Moon200::solar1() { addSolarRows(*this, moonSolar1First, moonSolar1Count); }
void Moon200::solar2() { addSolarRows(*this, moonSolar2First, moonSolar2Count); }
void Moon200::solar3() { addSolarRows(*this, moonSolar3First, moonSolar3Count); }

void Moon200::addn(double coeffn, int p, int q, int r, int s, double& n, double& x, double& y) {
  term(p, q, r, s, x, y);
  n += coeffn * y;
}

void Moon200::solarn(double& n) {
  double x, y;
  n = 0.0;
  for (const MoonNTerm& t : moonSolarN) addn(t.cn, t.p, t.q, t.r, t.s, n, x, y);
}

void Moon200::planetary(double T) {
  for (const MoonPlanetTerm& t : moonPlanetary) DLAM += t.amp * sinus(t.phase + t.rate * T);
}

Vec3 Moon200::position(double T) {
  minit(T);
  solar1();
  solar2();
  solar3();
  solarn(N);
  planetary(T);
  double lambda = pi2 * frac((L0 + DLAM / ARC) / pi2);
  if (lambda < 0.0) lambda += pi2;
  S = F + DS / ARC;
  double beta = ((18519.7 + GAM1C) * (1.000002708 + 139.978 * DGAM) * std::sin(S) -
                 6.24 * std::sin(3.0 * S) + N) * 4.8481368111e-6;
  SINPI *= 0.999953253;
  double dist = ARC / SINPI;
  return polcar(Vec3(dist, lambda, beta));
}
