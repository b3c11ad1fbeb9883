// Sun theory: the Earth's elliptic motion perturbed by Venus, Mars, Jupiter,
// Saturn and the Moon, plus long-period terms; geocentric, ecliptic and
// equinox of date, AU.
#include "astro/astrolib.h"
#include "astro/sunmoon_tables.h"

#include <cmath>

namespace {
const double pi2 = 6.283185307179586;
}

void Sun200::addthe(double c1, double s1, double c2, double s2, double& c, double& s) {
  c = c1 * c2 - s1 * s2;
  s = s1 * c2 + c1 * s2;
}

// C3/S3 hold the multiples -1..7 of M3 at index +1; C/S the multiples -8..0
// of the perturber's mean anomaly at index +8.
void Sun200::term(int I, int i, int iT, double dlc, double dls, double drc, double drs,
                  double dbc, double dbs) {
  if (iT == 0) {
    addthe(C3[I + 1], S3[I + 1], C[i + 8], S[i + 8], U_, V_);
  } else {
    U_ *= T;
    V_ *= T;
  }
  DL += dlc * U_ + dls * V_;
  DR += drc * U_ + drs * V_;
  DB += dbc * U_ + dbs * V_;
}

namespace {
// Entry 0 = (1, 0), entry -1 from the mean anomaly M, entries down to -lowest
// by angle addition.
void perturberTable(double M, int lowest, double* C, double* S) {
  C[8] = 1.0; S[8] = 0.0;
  C[7] = std::cos(M); S[7] = -std::sin(M);
  for (int i = 2; i <= lowest; i++) {
    C[8 - i] = C[9 - i] * C[7] - S[9 - i] * S[7];
    S[8 - i] = S[9 - i] * C[7] + C[9 - i] * S[7];
  }
}
}  // namespace

void Sun200::pertven() {
  perturberTable(M2, 6, C, S);
  for (int k = sunVenusFirst; k < sunVenusFirst + sunVenusCount; k++) {
    const SunTerm& t = sunTerms[k];
    term(t.I, t.i, t.iT, t.dlc, t.dls, t.drc, t.drs, t.dbc, t.dbs);
  }
}

void Sun200::pertmar() {
  perturberTable(M4, 8, C, S);
  for (int k = sunMarsFirst; k < sunMarsFirst + sunMarsCount; k++) {
    const SunTerm& t = sunTerms[k];
    term(t.I, t.i, t.iT, t.dlc, t.dls, t.drc, t.drs, t.dbc, t.dbs);
  }
}

void Sun200::pertjup() {
  perturberTable(M5, 4, C, S);
  for (int k = sunJupiterFirst; k < sunJupiterFirst + sunJupiterCount; k++) {
    const SunTerm& t = sunTerms[k];
    term(t.I, t.i, t.iT, t.dlc, t.dls, t.drc, t.drs, t.dbc, t.dbs);
  }
}

void Sun200::pertsat() {
  perturberTable(M6, 2, C, S);
  for (int k = sunSaturnFirst; k < sunSaturnFirst + sunSaturnCount; k++) {
    const SunTerm& t = sunTerms[k];
    term(t.I, t.i, t.iT, t.dlc, t.dls, t.drc, t.drs, t.dbc, t.dbs);
  }
}

void Sun200::pertmoo() {
  DL += 6.45 * std::sin(D) - 0.42 * std::sin(D - A) + 0.18 * std::sin(D + A) +
        0.17 * std::sin(D - M3) - 0.06 * std::sin(D + M3);
  DR += 30.76 * std::cos(D) - 3.06 * std::cos(D - A) + 0.85 * std::cos(D + A) +
        0.57 * std::cos(D - M3) - 0.58 * std::cos(D + M3);
  DB += 0.576 * std::sin(U);
}

void Sun200::state(double T_, Vec3& r, Vec3& v) {
  T = T_;
  DL = DR = DB = 0.0;
  M2 = pi2 * frac(0.1387306 + 162.5485917 * T);
  M3 = pi2 * frac(0.9931266 + 99.9973604 * T);
  M4 = pi2 * frac(0.0543250 + 53.1666028 * T);
  M5 = pi2 * frac(0.0551750 + 8.4293972 * T);
  M6 = pi2 * frac(0.8816500 + 3.3938722 * T);
  D = pi2 * frac(0.8274 + 1236.8531 * T);
  A = pi2 * frac(0.3749 + 1325.5524 * T);
  U = pi2 * frac(0.2591 + 1342.2278 * T);

  C3[1] = 1.0; S3[1] = 0.0;
  C3[2] = std::cos(M3); S3[2] = std::sin(M3);
  C3[0] = C3[2]; S3[0] = -S3[2];
  for (int i = 2; i < 8; i++) addthe(C3[i], S3[i], C3[2], S3[2], C3[i + 1], S3[i + 1]);

  pertven();
  pertmar();
  pertjup();
  pertsat();
  pertmoo();

  DL += 6.40 * std::sin(pi2 * (0.6983 + 0.0561 * T)) + 1.87 * std::sin(pi2 * (0.5764 + 0.4174 * T)) +
        0.27 * std::sin(pi2 * (0.4189 + 0.3306 * T)) + 0.20 * std::sin(pi2 * (0.3581 + 2.4814 * T));

  double L = pi2 * frac(M3 / pi2 + 0.7859453 + ((6191.2 + 1.1 * T) * T + DL) / 1296.0e3);
  double R = 1.0001398 - 0.0000007 * T + DR * 1e-6;
  double B = DB * 4.8481368111e-6;
  CL = std::cos(L); SL = std::sin(L);
  CB = std::cos(B); SB = std::sin(B);
  r.assign(R * CL * CB, R * SL * CB, R * SB);

  // Velocity of the unperturbed ellipse.
  double E = M3 + 0.0334172 * std::sin(M3);
  double cE = std::cos(E), sE = std::sin(E);
  double N = 1.0 - 0.0167086 * cE;
  double vx = -0.017202085 * sE / N;
  double vy = 0.0171996836 * cE / N;
  double nu = std::atan2(0.9998604 * sE, cE - 0.0167086);
  double cn = std::cos(nu), sn = std::sin(nu);
  double vr = cn * vx + sn * vy;
  double vl = (cn * vy - sn * vx) / R;
  v.assign(vr * CL * CB - R * vl * SL * CB, vr * SL * CB + R * vl * CL * CB, vr * SB);
}

Vec3 Sun200::position(double T_) {
  Vec3 r, v;
  state(T_, r, v);
  return r;
}

Vec3 QuickSun(double T) {
  double n = 36525.0 * T;
  double L = pi2 * frac((280.46 + 0.9856474 * n) / 360.0);
  double g = pi2 * frac((357.528 + 0.9856003 * n) / 360.0);
  double lambda = L + (1.915 * std::sin(g) + 0.020 * std::sin(2.0 * g)) * 0.0174532925199;
  double R = 1.00014 - 0.01671 * std::cos(g) - 0.00014 * std::cos(2.0 * g);
  return Vec3(R * std::cos(lambda), R * std::sin(lambda), 0.0);
}
