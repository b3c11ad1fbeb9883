// Planets (PLAN200 series), planetary moons and eclipses.
#include "astro/astr2lib.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/plan200tables.h"

namespace {

constexpr double kArcsecPerRad = 206264.81;  // as the series were fitted with

// Angle in radians from a polynomial value in revolutions, sign kept.
inline double rev(double x) { return kTwoPi * frac(x); }
// Angle in radians from a value in degrees, reduced to one turn (sign kept).
inline double deg(double x) { return kTwoPi * frac(x / 360.0); }

// Epochs of the moon theories: B1950 in centuries from J2000.
constexpr double kB1950 = -0.500002096;

}  // namespace

// ===========================================================================
// Plan200
// ===========================================================================

Plan200::Plan200()
    : T(0), C(), S(), c(), s(), M1(0), M2(0), M3(0), M4(0), M5(0), M6(0), M7(0), M8(0),
      M9(0), u(0), v(0), dl(0), dr(0), db(0), l(0), b(0), r(0), pos(0, 0, 0), vel(0, 0, 0) {}

void Plan200::addthe(double c1, double s1, double c2, double s2, double& cc, double& ss) {
  cc = c1 * c2 - s1 * s2;
  ss = s1 * c2 + c1 * s2;
}

void Plan200::start(double t) {
  T = t;
  dl = dr = db = 0.0;
}

void Plan200::ownTable(double M, int pmin, int pmax) {
  if (pmin < kOwnMin) pmin = kOwnMin;
  if (pmax > kOwnMax) pmax = kOwnMax;
  const int o = -kOwnMin;
  const double cm = std::cos(M), sm = std::sin(M);
  C[o] = 1.0;
  S[o] = 0.0;
  for (int p = 0; p < pmax; p++) addthe(C[o + p], S[o + p], cm, sm, C[o + p + 1], S[o + p + 1]);
  for (int p = 0; p > pmin; p--) addthe(C[o + p], S[o + p], cm, -sm, C[o + p - 1], S[o + p - 1]);
}

void Plan200::pertTable(double phi0, double m, int qmin, int qmax) {
  // The index range is fixed by the table size, whatever a group asks for.
  if (qmin < kPertMin) qmin = kPertMin;
  if (qmax > kPertMax) qmax = kPertMax;
  const int o = -kPertMin;
  const double cm = std::cos(m), sm = std::sin(m);
  if (phi0 == 0.0) {
    c[o] = 1.0;
    s[o] = 0.0;
  } else {
    c[o] = std::cos(phi0);
    s[o] = std::sin(phi0);
  }
  for (int q = 0; q < qmax; q++) addthe(c[o + q], s[o + q], cm, sm, c[o + q + 1], s[o + q + 1]);
  for (int q = 0; q > qmin; q--) addthe(c[o + q], s[o + q], cm, -sm, c[o + q - 1], s[o + q - 1]);
}

void Plan200::term(int p, int q, int k, double dlc, double dls, double drc, double drs,
                   double dbc, double dbs) {
  if (k == 0) {
    if (p < kOwnMin || p > kOwnMax || q < kPertMin || q > kPertMax) {
      u = v = 0.0;
      return;
    }
    const int ip = p - kOwnMin, iq = q - kPertMin;
    u = C[ip] * c[iq] - S[ip] * s[iq];
    v = S[ip] * c[iq] + C[ip] * s[iq];
  } else {
    u *= T;
    v *= T;
  }
  dl += dlc * u + dls * v;
  dr += drc * u + drs * v;
  db += dbc * u + dbs * v;
}

void Plan200::series(int planet, double M, const double* arg, const double* arg0) {
  const Plan200Series& ps = kPlan200Series[planet];
  ownTable(M, ps.pmin, ps.pmax);
  for (int g = 0; g < ps.groups; g++) {
    const Plan200Group& grp = kPlan200Groups[ps.firstGroup + g];
    pertTable(arg0 ? arg0[g] : 0.0, arg[g], grp.qmin, grp.qmax);
    const Plan200Term* t = kPlan200Terms + grp.first;
    for (int i = 0; i < grp.count; i++, t++)
      term(t->p, t->q, t->k, t->c[0], t->c[1], t->c[2], t->c[3], t->c[4], t->c[5]);
  }
}

void Plan200::posvel() {
  const double cl = std::cos(l), sl = std::sin(l), cb = std::cos(b), sb = std::sin(b);
  pos = Vec3(r * cl * cb, r * sl * cb, r * sb);
  vel = Vec3(dr * cl * cb - dl * r * sl * cb - db * r * cl * sb,
             dr * sl * cb + dl * r * cl * cb - db * r * sl * sb,
             dr * sb + db * r * cb);
  vel *= 1e-4;
}

// Own table entries p = 1..4 are cos pM, sin pM of the planet's mean anomaly
// (index p - kOwnMin); the rates of table E use them.
#define COSM(p) C[(p) - kOwnMin]
#define SINM(p) S[(p) - kOwnMin]

Vec3 Plan200::Mercury(double t) {
  start(t);
  M1 = rev(0.4855407 + 415.2014314 * T);
  M2 = rev(0.1394222 + 162.5490444 * T);
  M3 = rev(0.9937861 + 99.9978139 * T);
  M5 = rev(0.0558417 + 8.4298417 * T);
  M6 = rev(0.8823333 + 3.3943333 * T);
  const double arg[] = {M2, M3, M5, M6};
  series(0, M1, arg, nullptr);
  dl += 2.8 + 3.2 * T;
  l = rev(0.2151379 + M1 / kTwoPi + ((5601.7 + 1.1 * T) * T + dl) / 1296000.0);
  b = (-2522.15 + (-30.18 + 0.04 * T) * T + db) / kArcsecPerRad;
  r = 0.3952829 + 0.0000016 * T + dr * 1e-6;
  dl = 714.00 + 292.66 * COSM(1) + 71.96 * COSM(2) + 18.16 * COSM(3) + 4.61 * COSM(4) +
       3.81 * SINM(2) + 2.43 * SINM(3) + 1.08 * SINM(4);
  dr = 55.94 * SINM(1) + 11.36 * SINM(2) + 2.60 * SINM(3);
  db = 73.40 * COSM(1) + 29.82 * COSM(2) + 10.22 * COSM(3) + 3.28 * COSM(4) - 40.44 * SINM(1) -
       16.55 * SINM(2) - 5.56 * SINM(3) - 1.72 * SINM(4);
  posvel();
  return pos;
}

Vec3 Plan200::Venus(double t) {
  start(t);
  M2 = rev(0.1400197 + 162.5494552 * T);
  M1 = rev(0.4861431 + 415.2018375 * T);
  M3 = rev(0.9944153 + 99.9982208 * T);
  M4 = rev(0.0556297 + 53.1674631 * T);
  M5 = rev(0.0567028 + 8.4305083 * T);
  M6 = rev(0.8830539 + 3.3947206 * T);
  const double arg[] = {M1, M3, M4, M5, M6};
  series(1, M2, arg, nullptr);
  dl += 2.74 * std::sin(rev(0.0764 + 0.4174 * T)) + 0.27 * std::sin(rev(0.9201 + 0.3307 * T)) +
        1.9 + 1.8 * T;
  l = rev(0.3654783 + M2 / kTwoPi + ((5071.2 + 1.1 * T) * T + dl) / 1296000.0);
  b = (-67.70 + (0.04 + 0.01 * T) * T + db) / kArcsecPerRad;
  r = 0.7233482 - 0.0000002 * T + dr * 1e-6;
  dl = 280.00 + 3.79 * COSM(1);
  dr = 1.37 * SINM(1);
  db = 9.54 * COSM(1) - 13.57 * SINM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Mars(double t) {
  start(t);
  M4 = rev(0.0538553 + 53.1662736 * T);
  M2 = rev(0.1382208 + 162.5482542 * T);
  M3 = rev(0.9926208 + 99.9970236 * T);
  M5 = rev(0.0548944 + 8.4290611 * T);
  M6 = rev(0.8811167 + 3.393525 * T);
  const double arg[] = {M2, M3, M5, M6};
  series(2, M4, arg, nullptr);
  dl += 52.49 * std::sin(rev(0.1868 + 0.0549 * T)) + 0.61 * std::sin(rev(0.9220 + 0.3307 * T)) +
        0.32 * std::sin(rev(0.4731 + 2.1485 * T)) + 0.28 * std::sin(rev(0.9467 + 1.1133 * T)) +
        0.14 + 0.87 * T - 0.11 * T * T;
  l = rev(0.9334591 + M4 / kTwoPi + ((6615.5 + 1.1 * T) * T + dl) / 1296000.0);
  b = (596.32 + (-2.92 - 0.10 * T) * T + db) / kArcsecPerRad;
  r = 1.5303352 + 0.0000131 * T + dr * 1e-6;
  dl = 91.50 + 17.07 * COSM(1) + 2.03 * COSM(2);
  dr = 12.98 * SINM(1) + 1.21 * COSM(2);
  db = 0.83 * COSM(1) + 2.80 * SINM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Jupiter(double t) {
  start(t);
  M5 = rev(0.0565314 + 8.4302963 * T);
  M6 = rev(0.8829867 + 3.3947688 * T);
  M7 = rev(0.3969537 + 1.1902586 * T);
  const double arg[] = {M6, M7};
  series(3, M5, arg, nullptr);
  // Great inequality and a neighbouring long-period term.
  const double phi = 2.0 * M5 - 6.0 * M6 + 3.0 * M7;
  const double cp = std::cos(phi), sp = std::sin(phi);
  double c1, s1;
  addthe(cp, sp, COSM(1), SINM(1), c1, s1);
  dl += -0.8 * cp + 8.5 * sp + 0.4 * c1 + 0.5 * s1;
  dr += -0.1 * cp - 0.7 * c1 + 0.5 * s1;
  db += -0.1 * c1;
  l = rev(0.0388910 + M5 / kTwoPi + ((5025.2 + 0.8 * T) * T + dl) / 1296000.0);
  b = (227.3 - 0.3 * T + db) / kArcsecPerRad;
  r = 5.208873 + 0.000041 * T + dr * 1e-5;
  dl = 14.50 + 1.41 * COSM(1);
  dr = 3.66 * SINM(1);
  db = 0.33 * SINM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Saturn(double t) {
  start(t);
  M6 = rev(0.8829867 + 3.3947688 * T);
  M5 = rev(0.0565314 + 8.4302963 * T);
  M7 = rev(0.3969537 + 1.1902586 * T);
  M8 = rev(0.7208473 + 0.6068623 * T);
  const double arg[] = {M5, M7, M8};
  series(4, M6, arg, nullptr);
  const double phi = -2.0 * M5 + 5.0 * M6 - 3.0 * M7;
  const double cp = std::cos(phi), sp = std::sin(phi);
  double c1, s1, c2, s2;
  addthe(cp, sp, COSM(1), SINM(1), c1, s1);
  addthe(cp, sp, COSM(2), SINM(2), c2, s2);
  dl += -0.8 * cp - 0.1 * sp + (2.4 - 0.7 * T) * c1 + (27.8 - 0.4 * T) * s1 + 0.1 * c2 +
        1.6 * s2;
  dr += -0.2 * cp + 1.8 * sp + 2.1 * c1 - 0.2 * s1 - 3.6 * c2 + 0.3 * s2;
  db += 0.3 * cp + 0.5 * sp - 0.2 * c2 + 0.6 * s2;
  l = rev(0.2561136 + M6 / kTwoPi + ((5018.6 + 1.9 * T) * T + dl) / 1296000.0);
  b = (175.1 - 10.2 * T + db) / kArcsecPerRad;
  r = 9.557584 - 0.000186 * T + dr * 1e-5;
  dl = 5.84 + 0.65 * COSM(1);
  dr = 3.09 * SINM(1);
  db = 0.24 * COSM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Uranus(double t) {
  start(t);
  M7 = rev(0.3967117 + 1.1902849 * T);
  M5 = rev(0.0564472 + 8.4302889 * T);
  M6 = rev(0.8829611 + 3.3947583 * T);
  M8 = rev(0.7216833 + 0.6068528 * T);
  // The last group's argument is 2 M5 + q M6.
  const double arg[] = {M5, M6, M8, M6};
  const double arg0[] = {0.0, 0.0, 0.0, 2.0 * M5};
  series(5, M7, arg, arg0);
  l = rev(0.4734843 + M7 / kTwoPi + ((5082.3 + 34.2 * T) * T + dl) / 1296000.0);
  b = (-130.61 + (-0.54 + 0.04 * T) * T + db) / kArcsecPerRad;
  r = 19.211991 + (-0.000333 - 0.000005 * T) * T + dr * 1e-5;
  dl = 2.05 + 0.19 * COSM(1);
  dr = 1.86 * SINM(1);
  db = -0.03 * SINM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Neptune(double t) {
  start(t);
  M8 = rev(0.7214906 + 0.6068526 * T);
  M5 = rev(0.0563867 + 8.4298907 * T);
  M6 = rev(0.8825086 + 3.3957748 * T);
  M7 = rev(0.3965358 + 1.1902851 * T);
  const double arg[] = {M5, M6, M7};
  series(6, M8, arg, nullptr);
  l = rev(0.1254046 + M8 / kTwoPi + ((4982.8 - 21.3 * T) * T + dl) / 1296000.0);
  b = (54.77 + (0.26 + 0.06 * T) * T + db) / kArcsecPerRad;
  r = 30.072984 + (0.001234 + 0.000003 * T) * T + dr * 1e-5;
  dl = 1.04 + 0.02 * COSM(1);
  dr = 0.27 * SINM(1);
  db = 0.03 * SINM(1);
  posvel();
  return pos;
}

Vec3 Plan200::Pluto(double t) {
  start(t);
  M9 = rev(0.0385795 + 0.4026667 * T);
  M5 = rev(0.0565314 + 8.4302963 * T);
  M6 = rev(0.8829867 + 3.3947688 * T);
  const double arg[] = {M5, M6};
  series(7, M9, arg, nullptr);
  const double phi = M5 - M6;
  const double cp = std::cos(phi), sp = std::sin(phi);
  double c1, s1;
  addthe(cp, sp, COSM(1), SINM(1), c1, s1);
  dl += -9.11 * cp + 0.12 * sp + 5.92 * c1 + 0.25 * s1;
  dr += -3.4 * cp - 3.3 * sp + 2.3 * c1 - 3.8 * s1;
  db += 0.81 * cp + 0.78 * sp - 0.67 * c1 - 0.51 * s1;
  l = rev(0.6232469 + M9 / kTwoPi + dl / 1296000.0);
  b = -0.068232495189 + db / kArcsecPerRad;
  r = 40.7247248 + dr * 1e-5;
  dl = 0.69 + 0.34 * COSM(1) + 0.12 * COSM(2) + 0.05 * COSM(3);
  dr = 6.66 * SINM(1) + 1.64 * SINM(2);
  db = -0.08 * COSM(1) - 0.17 * SINM(1) - 0.09 * SINM(2);
  posvel();
  // The series refer to the ecliptic and equinox of B1950: precess both
  // vectors, so that position and velocity share one frame.
  const Mat3 P = pmatecl(-0.5000021, T);
  pos = mxvct(P, pos);
  vel = mxvct(P, vel);
  return pos;
}

#undef COSM
#undef SINM

// ===========================================================================
// Planetary moons
// ===========================================================================

namespace {

// Keplerian ellipse in its own plane: x to the periapsis.
void orbitPlane(double M, double e, double a, double ka, Vec3& pos, Vec3& vel) {
  const double E = eccanom(M, e);
  const double cE = std::cos(E), sE = std::sin(E);
  const double f = std::sqrt(1.0 - e * e);
  const double k = ka / (1.0 - e * cE);
  pos = Vec3((cE - e) * a, f * a * sE, 0.0);
  vel = Vec3(-k * sE, k * f * cE, 0.0);
}

// Phobos and Deimos: ellipse on a plane inclined to an intermediate plane,
// itself inclined to the Martian equator's reference, the B1950 equator.
struct MarsMoonElements {
  double node0, node1;      // Omega = node0 + node1 t (deg)
  double lon0, lon1, lon2;  // L = lon0 + lon1 t + lon2 y^2 (deg)
  double peri0, peri1;      // varpi = peri0 + peri1 t (deg)
  double N0, J0;            // N = N0 - 0.0014 y, J = J0 + 0.0008 y (deg)
  double incl;              // i (rad)
  double e, a, b, na, f;    // f = sqrt(1 - e^2)
};

void marsMoon(const MarsMoonElements& m, double T, double dL, Vec3& pos, Vec3& vel) {
  const double t = 36525.0 * T + 10278.5;  // days since 1971 November 11.0
  const double y = t / 365.25;
  const double node = deg(m.node0 + m.node1 * t);
  const double L = deg(m.lon0 + m.lon1 * t + m.lon2 * y * y + dL);
  const double peri = deg(m.peri0 + m.peri1 * t);
  const double N = deg(m.N0 - 0.0014 * y);
  const double J = deg(m.J0 + 0.0008 * y);
  const double E = eccanom(L - peri, m.e);
  const double cE = std::cos(E), sE = std::sin(E);
  const double k = m.na / (1.0 - m.e * cE);
  pos = Vec3((cE - m.e) * m.a, m.b * sE, 0.0);
  vel = Vec3(-k * sE, k * m.f * cE, 0.0);
  Mat3 R = zrot(-(peri - node - N));
  R *= xrot(-m.incl);
  R *= zrot(-node);
  R *= xrot(-J);
  R *= zrot(-N);
  R *= pmatequ(kB1950, T);
  pos = equecl(T, mxvct(R, pos));
  vel = equecl(T, mxvct(R, vel));
}

// Arguments of the Galilean theory (radians, reduced).
struct GalileanArgs {
  double l1, l2, l3, l4, p1, p2, p3, p4, w1, w2, w3, w4, psi, G, Gs, Phi;
};

GalileanArgs galileanArgs(double T) {
  const double t = 36525.0 * T + 8544.5;  // days since 1976 August 10.0
  GalileanArgs g;
  g.l1 = deg(106.07859 + 203.4889553630643 * t);
  g.l2 = deg(175.733787 + 101.3747245566245 * t);
  g.l3 = deg(120.5613855 + 50.31760915340462 * t);
  g.l4 = deg(84.455823 + 21.57107087517961 * t);
  g.p1 = deg(82.380231 + 0.16102275 * t);
  g.p2 = deg(128.960393 + 0.04645644 * t);
  g.p3 = deg(187.550171 + 0.00712408 * t);
  g.p4 = deg(335.309254 + 0.00183939 * t);
  g.w1 = deg(308.365749 - 0.1328061 * t);
  g.w2 = deg(100.438938 - 0.03261535 * t);
  g.w3 = deg(118.908928 - 0.00717678 * t);
  g.w4 = deg(322.746564 - 0.00176018 * t);
  g.psi = deg(316.500101 - 0.00000248 * t);
  g.G = deg(30.2380210168 + 0.08309256178969453 * t);
  g.Gs = deg(31.9785280244 + 0.033459733896 * t);
  g.Phi = deg(184.415351 + 0.17356902 * t);
  return g;
}

constexpr double kGalPI = 0.23510274429;  // 13.470395 deg

// Moon in Jupiter's equator (longitude from the node psi) to the ecliptic of date.
Vec3 galileanToEcliptic(double T, const GalileanArgs& g, double a, double l, double sigma,
                        double xi, double B) {
  const double lam = l - g.psi + sigma;
  const double rho = a * (1.0 + xi);
  Vec3 p(rho * std::cos(lam), rho * std::sin(lam), a * B);
  Mat3 R = xrot(-0.05417519451482919);         // Jupiter's equator to its orbit
  R *= zrot(-(g.psi - 1.7452863168947306));    // node of the equator on the orbit
  R *= xrot(-0.02280988252723909);             // Jupiter's orbit to the B1950 ecliptic
  R *= zrot(-1.7452863168947306);              // node of the orbit
  R *= pmatecl(kB1950, T);
  return mxvct(R, p);
}

// Velocity from positions 30 s either side, then the position itself.
void galileanState(Vec3 (*P)(double), double T, Vec3& pos, Vec3& vel) {
  const double h = 9.5064257357974e-9;  // 30 s in Julian centuries
  vel = (P(T + h) - P(T - h)) * 1440.0000921600058;
  pos = P(T);
}

}  // namespace

void MarPhobos(double T, Vec3& pos, Vec3& vel) {
  static const MarsMoonElements m = {
      327.9, -0.43533,                   // node
      232.41, 1128.844556, 0.00124,      // mean longitude
      278.96, 0.43526,                   // periapsis
      47.39, 37.27,                      // intermediate plane
      0.019198621771937627,              // i = 1.1 deg
      0.015, 6.26974e-5, 6.269034614569837e-5, 0.001235083014, 0.9998874936711629};
  marsMoon(m, T, 0.0, pos, vel);
}

void MarDeimos(double T, Vec3& pos, Vec3& vel) {
  static const MarsMoonElements m = {
      240.38, -0.01801,                  // node
      28.96, 285.161888, 0.0,            // mean longitude (plus a periodic term)
      111.7, 0.01798,                    // periapsis
      46.37, 36.62,                      // intermediate plane
      0.031241393610698498,              // i = 1.79 deg
      0.0004, 0.000156828, 0.0001568279874537595, 0.00078046400669, 0.9999999199999968};
  const double t = 36525.0 * T + 10278.5;
  marsMoon(m, T, -0.27 * std::sin(deg(196.55 - 0.01801 * t)), pos, vel);
}

Vec3 PosJIo(double T) {
  const GalileanArgs g = galileanArgs(T);
  const double sigma =
      1e-7 * (82363.0 * std::sin(2.0 * (g.l1 - g.l2)) - 5596.0 * std::sin(g.p3 - g.p4) -
              2198.0 * std::sin(g.p1 + g.p2 - 2.0 * kGalPI - 2.0 * g.G) + 1321.0 * std::sin(g.Phi) -
              1157.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p4) -
              1940.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p3) +
              791.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p2));
  const double xi = -41279e-7 * std::cos(2.0 * (g.l1 - g.l2));
  const double B =
      1e-7 * (7038.0 * std::sin(g.l1 - g.w1 + sigma) + 1835.0 * std::sin(g.l1 - g.w2 + sigma));
  return galileanToEcliptic(T, g, 0.002819347, g.l1, sigma, xi, B);
}

Vec3 PosEuropa(double T) {
  const GalileanArgs g = galileanArgs(T);
  const double sigma =
      1e-7 * (-185640.0 * std::sin(g.l1 - g.l2) + 7571.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p3) -
              1491.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p3) + 6394.0 * std::sin(g.l2 - g.p3) +
              4159.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p4) + 3451.0 * std::sin(g.l2 - g.p4) -
              3172.0 * std::sin(g.Phi) + 2397.0 * std::sin(g.p3 - g.p4) -
              1993.0 * std::sin(g.l2 - g.l3) + 1844.0 * std::sin(g.l2 - g.p2) -
              1846.0 * std::sin(g.G) - 1158.0 * std::sin(2.0 * (g.psi - kGalPI)) +
              1715.0 * std::sin(g.w3 + g.psi - 2.0 * kGalPI - 2.0 * g.G) +
              915.0 * std::sin(2.0 * (g.l1 - g.l2)) - 803.0 * std::sin(g.l1 - g.l3));
  const double xi = 1e-7 * (93748.0 * std::cos(g.l1 - g.l2) - 3187.0 * std::cos(g.l2 - g.p3) -
                            1738.0 * std::cos(g.l2 - g.p4));
  const double B =
      1e-7 * (81575.0 * std::sin(g.l2 - g.w2 + sigma) + 4512.0 * std::sin(g.l2 - g.w3 + sigma) -
              3286.0 * std::sin(g.l2 - g.psi + sigma));
  return galileanToEcliptic(T, g, 0.004485872, g.l2, sigma, xi, B);
}

Vec3 PosGanymede(double T) {
  const GalileanArgs g = galileanArgs(T);
  const double sigma =
      1e-7 * (29387.0 * std::sin(g.l3 - g.p3) + 15800.0 * std::sin(g.l3 - g.p4) -
              12038.0 * std::sin(g.l2 - g.l3) + 6558.0 * std::sin(g.p3 - g.p4) +
              3218.0 * std::sin(2.0 * (g.l3 - g.l4)) - 2338.0 * std::sin(g.G) -
              1488.0 * std::sin(2.0 * (g.psi + kGalPI)) -
              1246.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p3) - 943.0 * std::sin(g.l3 - g.l4) +
              699.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p2) -
              662.0 * std::sin(g.l1 - 2.0 * g.l2 + g.p4) +
              523.0 * std::sin(g.p1 + g.p3 - 2.0 * kGalPI - 2.0 * g.G) +
              411.0 * std::sin(g.psi - g.w3) + 346.0 * std::sin(g.psi - g.w4) +
              341.0 * std::sin(g.Phi) + 226.0 * std::sin(3.0 * g.l3 - 2.0 * g.l4) +
              217.0 * std::sin(g.l1 - g.l3));
  const double xi = 1e-7 * (-14691.0 * std::cos(g.l3 - g.p3) -
                            1758.0 * std::cos(2.0 * (g.l3 - g.l4)) + 6333.0 * std::cos(g.l2 - g.l3));
  const double B =
      1e-7 * (-2793.0 * std::sin(g.l3 - g.w2 + sigma) + 32387.0 * std::sin(g.l3 - g.w3 + sigma) +
              6871.0 * std::sin(g.l3 - g.w4 + sigma) - 16876.0 * std::sin(g.l3 - g.psi + sigma));
  return galileanToEcliptic(T, g, 0.007155352, g.l3, sigma, xi, B);
}

Vec3 PosCallisto(double T) {
  const GalileanArgs g = galileanArgs(T);
  const double sigma =
      1e-7 *
      (145573.0 * std::sin(g.l4 - g.p4) - 6112.0 * std::sin(g.p3 - g.p4) -
       5605.0 * std::sin(g.G) - 4840.0 * std::sin(2.0 * (g.psi - kGalPI)) -
       3318.0 * std::sin(g.l4 - g.p3) + 2074.0 * std::sin(g.psi - g.w4) +
       1085.0 * std::sin(g.l4 + g.p4 - 2.0 * kGalPI - 2.0 * g.G) +
       672.0 * std::sin(2.0 * (g.l4 - g.p4)) -
       495.0 * std::sin(5.0 * g.Gs - 2.0 * g.G + 0.91009489942) -
       407.0 * std::sin(2.0 * (g.psi - g.p4)) - 390.0 * std::sin(g.l3 - g.l4) -
       363.0 * std::sin(g.l4 - kGalPI) + 309.0 * std::sin(g.psi + g.w4 - 2.0 * g.p4) +
       234.0 * std::sin(g.p4 - kGalPI) + 218.0 * std::sin(2.0 * (g.l4 - kGalPI - g.G)) -
       204.0 * std::sin(2.0 * g.G) - 195.0 * std::sin(2.0 * (g.l3 - g.l4)) +
       185.0 * std::sin(3.0 * g.l3 - 7.0 * g.l4 + 4.0 * g.p4) +
       178.0 * std::sin(g.l4 - kGalPI - g.G) + 167.0 * std::sin(2.0 * g.l4 - g.w4 - g.psi) +
       148.0 * std::sin(g.l3 - 2.0 * g.l4 + g.p4) - 142.0 * std::sin(2.0 * (g.l4 - g.psi)));
  const double xi =
      1e-7 * (-73328.0 * std::cos(g.l4 - g.p4) + 1656.0 * std::cos(g.l4 - g.p3) +
              974.0 * std::cos(g.l3 - g.l4) - 541.0 * std::cos(g.l4 + g.p4 - 2.0 * kGalPI - 2.0 * g.G) -
              269.0 * std::cos(2.0 * (g.l4 - g.p4)) + 182.0 * std::cos(g.l4 - kGalPI));
  const double B =
      1e-7 * (773.0 * std::sin(g.l4 - 2.0 * kGalPI - 2.0 * g.G + g.psi + sigma) -
              5075.0 * std::sin(g.l4 - g.w3 + sigma) + 44300.0 * std::sin(g.l4 - g.w4 + sigma) -
              76493.0 * std::sin(g.l4 - g.psi + sigma));
  return galileanToEcliptic(T, g, 0.012585436, g.l4, sigma, xi, B);
}

void JupIo(double T, Vec3& pos, Vec3& vel) { galileanState(PosJIo, T, pos, vel); }
void JupEuropa(double T, Vec3& pos, Vec3& vel) { galileanState(PosEuropa, T, pos, vel); }
void JupGanymede(double T, Vec3& pos, Vec3& vel) { galileanState(PosGanymede, T, pos, vel); }
void JupCallisto(double T, Vec3& pos, Vec3& vel) { galileanState(PosCallisto, T, pos, vel); }

void SatRhea(double T, Vec3& pos, Vec3& vel) {
  const double t1 = 36525.0 * T + 40452.0;  // days since JD 2411093.0
  const double t2 = 36525.0 * T + 40177.0;  // days since JD 2411368.0
  const double p = 10.2077 * t1 / 365.25;   // deg
  const double q = 0.5219 * t2 / 365.25;    // deg
  const double x = 0.00021 * std::cos(deg(305.0 + p)) + 0.001 * std::cos(deg(276.49 + q));
  const double y = 0.00021 * std::sin(deg(305.0 + p)) + 0.001 * std::sin(deg(276.49 + q));
  const double peri = std::atan2(y, x);
  const double e =
      std::fabs(std::sin(peri)) > 0.5 ? std::fabs(y / std::sin(peri)) : std::fabs(x / std::cos(peri));
  const double sp = std::sin(deg(356.87 - p)), cp = std::cos(deg(356.87 - p));
  const double sq = std::sin(deg(44.5 - q)), cq = std::cos(deg(44.5 - q));
  const double incl = 0.4892437146020399 + 0.005768281238320679 * cp + 0.00035081117965 * cq;
  const double node = 2.946438663278043 +
                      (0.005768281238320679 * sp + 0.00035081117965 * sq) / 0.47065927479051733;
  const double M = deg(359.4727 + 79.69004007 * t1) - peri + 0.0014423170365370117 * sp;
  orbitPlane(M, e, 0.003524, 0.0049000413575, pos, vel);
  Mat3 R = zrot(-(peri - node));
  R *= xrot(-incl);
  R *= zrot(-node);
  R *= pmatecl(kB1950, T);
  pos = mxvct(R, pos);
  vel = mxvct(R, vel);
}

void SatTitan(double T, Vec3& pos, Vec3& vel) {
  const double Tc = T + 1.0;                 // centuries since 1900
  const double t = 36525.0 * T + 40177.0;    // days since JD 2411368.0
  const double q = 0.5219 * t / 365.25;      // deg
  // Saturn's heliocentric orbit.
  const double LS = deg(175.4762 + 1221.5515 * Tc);
  const double lS = deg(267.2635 + 1222.1136 * Tc);
  const double iS = deg(2.4891 + 0.002435 * Tc);
  const double OS = deg(113.35 - 0.2597 * Tc);
  // Titan's Laplace plane.
  const double iT = 0.4792098167326999 + 0.005218510821748556 * std::cos(deg(41.28 - q));
  const double OT =
      2.9440999220804027 + 0.005218510821748556 * std::sin(deg(41.28 - q)) / 0.47065927479051733;
  const double peri0 = deg(275.837 + q);
  const double d1 = std::atan2(std::sin(iS) * std::sin(OT - OS),
                               std::cos(iS) * std::sin(iT) -
                                   std::cos(iT) * std::sin(iS) * std::cos(OT - OS));
  const double d2 = std::atan2(std::sin(iT) * std::sin(OT - OS),
                               std::cos(iS) * std::sin(iT) * std::cos(OT - OS) -
                                   std::cos(iT) * std::sin(iS));
  const double g = peri0 - OT - d1;
  const double th = lS - d2 - OS;
  const double e = 0.028815 - 0.000184 * std::cos(2.0 * g) + 0.000073 * std::cos(2.0 * (th - g));
  const double peri =
      peri0 + (0.0063 * std::sin(2.0 * g) + 0.0025 * std::sin(2.0 * (th - g))) * 1.0000000084983165;
  double M = deg(261.3121 + 22.57697385 * t) +
             (0.0014423170242797453 * std::sin(deg(41.28 - q)) - 0.000176 * std::sin(LS) -
              0.000215 * std::sin(2.0 * th) + 0.000057 * std::sin(d1 + 2.0 * th)) *
                 1.0000000084983165 -
             peri;
  if (M < 0.0) M += kTwoPi;
  const double node = OT + 0.0005030000042746532 * std::sin(d1 + 2.0 * th);
  const double incl = iT + 0.00023200000197160943 * std::cos(d1 + 2.0 * th);
  orbitPlane(M, e, 0.00816765, 0.0032183196288, pos, vel);
  Mat3 R = zrot(-(peri - node));
  R *= xrot(-incl);
  R *= zrot(-node);
  R *= pmatecl(kB1950, T);
  pos = mxvct(R, pos);
  vel = mxvct(R, vel);
}

void NepTriton(double T, Vec3& pos, Vec3& vel) {
  // Neptune's pole (J2000 equator), moved to the B1950 equator.
  const double N = deg(359.28 + 54.308 * T);
  const double ra0 = deg(298.72 + 2.58 * std::sin(N) - 0.04 * std::sin(2.0 * N));
  const double de0 = deg(42.63 - 1.9 * std::cos(N) + 0.01 * std::cos(2.0 * N));
  const Vec3 pole = carpol(mxvct(pmatequ(0.0, kB1950), polcar(Vec3(1.0, ra0, de0))));
  const double t = 36525.0 * T + 18262.5;  // days since 1950 January 1.0
  const double uu = deg(200.913 + 61.2588532 * t);
  const double cu = std::cos(uu), su = std::sin(uu);
  pos = Vec3(0.00237142 * cu, 0.00237142 * su, 0.0);
  vel = Vec3(-0.00253538612 * su, 0.00253538612 * cu, 0.0);
  Mat3 R = xrot(-2.775003697500904);  // 158.996 deg: retrograde orbit on Neptune's equator
  R *= zrot(-deg(151.401 + 0.57806 * t / 365.25));
  R *= xrot(-(0.5 * kPi - pole.z));
  R *= zrot(-(pole.y + 0.5 * kPi));
  R *= pmatequ(kB1950, T);
  pos = equecl(T, mxvct(R, pos));
  vel = equecl(T, mxvct(R, vel));
}

void PluCharon(double T, Vec3& pos, Vec3& vel) {
  const double t = 36525.0 * T + 6544.5;  // days since JD 2445000.5
  const double uu = deg(78.6 + 56.3625 * t);
  const double cu = std::cos(uu), su = std::sin(uu);
  pos = Vec3(0.00013102 * cu, 0.00013102 * su, 0.0);
  vel = Vec3(-0.0001288837578 * su, 0.0001288837578 * cu, 0.0);
  Mat3 R = xrot(-1.6458454846306527);  // 94.3 deg
  R *= zrot(-3.9043015367113147);      // 223.7 deg
  R *= pmatequ(kB1950, T);
  pos = equecl(T, mxvct(R, pos));
  vel = equecl(T, mxvct(R, vel));
}

// ===========================================================================
// Eclipse
// ===========================================================================

namespace {

constexpr double kAxisRatio = 0.996633;     // polar / equatorial radius of the Earth
constexpr double kAxisRatio2 = 0.993305615;
constexpr double kAuEarthRadii = 23454.77992;
constexpr double kUmbraK = 217.700459;       // 2 (R_Sun - R_Moon)
constexpr double kPenumbraK = 218.79043099999998;  // 2 (R_Sun + R_Moon)
constexpr double kMoonDiam = 0.544986;
constexpr double kMoonRadius = 0.272493;
constexpr double kSixSeconds = 6.944444444444444e-5;  // days

}  // namespace

Eclipse::Eclipse()
    : rs(1, 0, 0), rm(1, 0, 0), e(1, 0, 0), rc(1, 0, 0), T(0), eqeq(0), dumbra(0), dpenumbra(0) {}

void Eclipse::equ_sun_moon(double mjd, double dt) {
  T = (mjd - 51544.5) / 36525.0 + dt / 3.15576e9;
  rs = eclequ(T, sun.position(T));
  rm = eclequ(T, moon.position(T));
  // The Moon's centre of figure lies 0.5" east and 0.25" south of its centre of mass.
  rm = mxvct(yrot(-1.2120342e-6), mxvct(zrot(-2.4240684e-6), rm));
  const Mat3 N = nutmat(T, eqeq, false);
  rs = aberrat(T, mxvct(N, rs));
  rs *= kAuEarthRadii;
  rm = mxvct(N, rm);
}

void Eclipse::cone(double mjd, double dt, double k, double sign, Vec3& rmo, Vec3& eo, double& d,
                   double& f) {
  equ_sun_moon(mjd, dt);
  rs.z /= kAxisRatio;
  rm.z /= kAxisRatio;
  const Vec3 sm = rm - rs;
  const double D = abs(sm);
  e = sm / D;
  eo = e;
  rmo = rm;
  const double s0 = -dot(rm, e);
  d = s0 * k / D + sign * kMoonDiam;
  f = std::asin(k / (2.0 * D));
  rs.z *= kAxisRatio;
  rm.z *= kAxisRatio;
}

void Eclipse::umbra(double mjd, double dt, Vec3& rmo, Vec3& eo, double& d, double& f) {
  cone(mjd, dt, kUmbraK, -1.0, rmo, eo, d, f);
}

void Eclipse::penumd(double mjd, double dt, Vec3& rmo, Vec3& eo, double& d, double& f) {
  cone(mjd, dt, kPenumbraK, 1.0, rmo, eo, d, f);
}

void Eclipse::geodetic(double mjd, double& lat, double& lon) const {
  const double alpha = carpol(rc).y;
  const double theta = lsidtim(mjd, 0.0, eqeq) * kPi / 12.0;
  // lsidtim keeps the sign of its reduction, so alpha - theta spans more than
  // one turn: reduce with a remainder into -pi..pi.
  lon = std::remainder(alpha - theta, kTwoPi);
  lat = std::atan2(rc.z, kAxisRatio2 * std::sqrt(rc.x * rc.x + rc.y * rc.y));
}

void Eclipse::maxpos(double mjd, double dt, double& lat, double& lon) {
  equ_sun_moon(mjd, dt);
  rs.z /= kAxisRatio;
  rm.z /= kAxisRatio;
  lat = lon = 0.0;
  e = vnorm(rm - rs);
  rc = vnorm(rm - dot(rm, e) * e);
  rc.z *= kAxisRatio;
  geodetic(mjd, lat, lon);
  rs.z *= kAxisRatio;
  rm.z *= kAxisRatio;
}

int Eclipse::solar(double mjd, double dt, double& lat, double& lon) {
  equ_sun_moon(mjd, dt);
  rs.z /= kAxisRatio;
  rm.z /= kAxisRatio;
  rc = Vec3(0, 0, 0);
  lat = lon = 0.0;
  e = vnorm(rm - rs);
  const double s0 = -dot(rm, e);
  const double delta = s0 * s0 + 1.0 - dot(rm, rm);
  const double r02 = 1.0 - delta;
  const double D = abs(rs - rm);
  dumbra = kUmbraK * s0 / D - kMoonDiam;
  dpenumbra = kPenumbraK * s0 / D + kMoonDiam;
  int phase = 0;
  if (s0 <= 0.0) {
    // The Moon is beyond the Earth (full moon side): its shadow points away.
    phase = 0;
  } else if (r02 > 0.0 && std::sqrt(r02) >= 1.0) {
    // The shadow axis misses the Earth.
    const double r0 = std::sqrt(r02);
    if (std::fabs(dumbra) / 2.0 + 1.0 > r0)
      phase = dumbra > 0.0 ? 2 : 3;
    else if (dpenumbra / 2.0 + 1.0 > r0)
      phase = 1;
  } else {
    // Central: the axis meets the surface at distance s from the Moon.
    const double s = s0 - (delta > 0.0 ? std::sqrt(delta) : 0.0);
    dumbra = kUmbraK * s / D - kMoonDiam;
    rc = rm + s * e;
    rc.z *= kAxisRatio;
    geodetic(mjd, lat, lon);
    phase = dumbra > 0.0 ? 4 : 5;
  }
  rs.z *= kAxisRatio;
  rm.z *= kAxisRatio;
  return phase;
}

double Eclipse::duration(double mjd, double dt, double& width) {
  const Vec3 rc0 = rc, e0 = e, rs0 = rs, rm0 = rm;
  const double du0 = dumbra, dp0 = dpenumbra, T0 = T, eqeq0 = eqeq;
  double lat, lon;
  const int phase = solar(mjd + kSixSeconds, dt, lat, lon);
  double dur = -1.0;
  if (phase == 4 || phase == 5) {
    // Undo the Earth's rotation over the 6 s, then compare the ground points.
    rc = mxvct(zrot(0.00043755000000000004), rc);
    rc -= rc0;
    const double along = dot(rc, e0);
    const double v2 = dot(rc, rc) - along * along;
    const double v = v2 > 0.0 ? std::sqrt(v2) : 0.0;
    dur = v > 0.0 ? std::fabs(du0) / v * 6.0 : 0.0;
  }
  // rc now holds the displacement, or zero when the later instant is not central.
  const Vec3 n = vnorm(rc0 * rc);
  const double cn = dot(n, e0);
  double sn = std::fabs(cn) > 1.0 ? 1e-5 : std::fabs(std::sin(std::acos(cn)));
  if (sn < 1e-5) sn = 1e-5;
  width = std::fabs(du0 / sn * kReIau1976Km);
  rc = rc0;
  e = e0;
  rs = rs0;
  rm = rm0;
  dumbra = du0;
  dpenumbra = dp0;
  T = T0;
  eqeq = eqeq0;
  return dur;
}

int Eclipse::lunar(double mjd, double dt) {
  equ_sun_moon(mjd, dt);
  const double rS = abs(rs), rM = abs(rm);
  const double Ru = std::fabs(216.245445 * rM / rS - 2.0) * 1.02 / 2.0;
  const double Rp = std::fabs(220.245445 * rM / rS + 2.0) * 1.02 / 2.0;
  double cs = dot(rs, rm) / (rS * rM);
  // The Earth's shadow points away from the Sun: a Moon on the Sun's side of
  // the Earth cannot be in it.
  if (cs > 0.0) return 0;
  if (cs < -1.0) cs = -1.0;
  const double d = std::fabs(std::tan(std::acos(cs))) * rM;
  if (Ru - kMoonRadius > d) return 4;
  if (Ru + kMoonRadius > d) return 3;
  if (Rp - kMoonRadius > d) return 2;
  if (Rp + kMoonRadius > d) return 1;
  return 0;
}
