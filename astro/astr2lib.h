// Planets, planetary moons and eclipses: the analytic theories that sit beside
// Sun200 and Moon200 (astrolib).
//
// T is Julian centuries of TT from J2000 (julcent). Planet and moon results are
// ecliptic and mean equinox of date, in AU and AU per day.
#ifndef VORLIX_ASTRO_ASTR2LIB_H
#define VORLIX_ASTRO_ASTR2LIB_H

#include "astro/astrolib.h"
#include "astro/attlib.h"

// ---------------------------------------------------------------------------
// Planet theories: heliocentric ecliptic positions of date (PLAN200 series)
// ---------------------------------------------------------------------------

// Make one object for a computation and call one operation per planet; the
// object keeps the position and velocity of the last planet computed.
class Plan200 {
public:
  Plan200();
  // Heliocentric position in AU; position and velocity stay in the object.
  Vec3 Mercury(double T);
  Vec3 Venus(double T);
  Vec3 Mars(double T);
  Vec3 Jupiter(double T);
  Vec3 Saturn(double T);
  Vec3 Uranus(double T);
  Vec3 Neptune(double T);
  Vec3 Pluto(double T);
  // Velocity (AU/day) of the last planet computed.
  Vec3 velocity() const { return vel; }
  // Position (AU) and velocity (AU/day) of the last planet computed.
  void state(Vec3& rp, Vec3& vp) const { rp = pos; vp = vel; }
  // Adds one periodic term: own multiple p, perturber multiple q, power k of
  // T (a term with k > 0 scales the u, v of the term before it, which must be
  // the same p, q with power k - 1). Multiples outside the tables add nothing.
  void term(int p, int q, int k, double dlc, double dls, double drc, double drs,
            double dbc, double dbs);
  // Cosine c and sine s of the sum of two angles from their cosines and sines.
  void addthe(double c1, double s1, double c2, double s2, double& c, double& s);
  // l, b, r and the rates dl, dr, db to pos and vel.
  void posvel();

  // Multiples the tables hold: own mean anomaly -2..16, perturber -10..2.
  static constexpr int kOwnMin = -2, kOwnMax = 16;
  static constexpr int kPertMin = -10, kPertMax = 2;

private:
  void start(double T);
  // Cosines and sines of p * M for the planet's own range.
  void ownTable(double M, int pmin, int pmax);
  // Cosines and sines of phi0 + q * m for q in qmin..qmax.
  void pertTable(double phi0, double m, int qmin, int qmax);
  // Runs the term groups of one planet; arg[g] is the perturber's mean
  // anomaly of group g (phi0 of group g in arg0[g], zero when null).
  void series(int planet, double M, const double* arg, const double* arg0);

  double T;
  double C[kOwnMax - kOwnMin + 1], S[kOwnMax - kOwnMin + 1];      // index p - kOwnMin
  double c[kPertMax - kPertMin + 1], s[kPertMax - kPertMin + 1];  // index q - kPertMin
  double M1, M2, M3, M4, M5, M6, M7, M8, M9;
  double u, v;
  double dl, dr, db;
  double l, b, r;
  Vec3 pos, vel;
};

// ---------------------------------------------------------------------------
// Planetary moons: planetocentric, ecliptic and mean equinox of date, AU, AU/day
// ---------------------------------------------------------------------------

void MarPhobos(double T, Vec3& pos, Vec3& vel);
void MarDeimos(double T, Vec3& pos, Vec3& vel);
Vec3 PosJIo(double T);
Vec3 PosEuropa(double T);
Vec3 PosGanymede(double T);
Vec3 PosCallisto(double T);
// Galilean moons with the velocity from the positions 30 s either side.
void JupIo(double T, Vec3& pos, Vec3& vel);
void JupEuropa(double T, Vec3& pos, Vec3& vel);
void JupGanymede(double T, Vec3& pos, Vec3& vel);
void JupCallisto(double T, Vec3& pos, Vec3& vel);
void SatRhea(double T, Vec3& pos, Vec3& vel);
void SatTitan(double T, Vec3& pos, Vec3& vel);
void NepTriton(double T, Vec3& pos, Vec3& vel);
void PluCharon(double T, Vec3& pos, Vec3& vel);

// ---------------------------------------------------------------------------
// Eclipses seen from the Earth, for one instant
// ---------------------------------------------------------------------------

// Geocentric, true equator and equinox of date, Earth equatorial radii; the
// Earth's flattening is handled by stretching z. Times are MJD (UT) and
// dt = TT - UT in seconds.
class Eclipse {
public:
  Eclipse();
  // T, rs (with annual aberration), rm (centre of figure) and eqeq.
  void equ_sun_moon(double mjd, double dt);
  // Shadow cone: stretched Moon rmo, axis e (Sun to Moon), diameter d on the
  // fundamental plane through the Earth's centre, half-angle f of the cone.
  void umbra(double mjd, double dt, Vec3& rmo, Vec3& eo, double& d, double& f);
  void penumd(double mjd, double dt, Vec3& rmo, Vec3& eo, double& d, double& f);
  // Geodetic latitude and east longitude (rad) of the point nearest the axis.
  void maxpos(double mjd, double dt, double& lat, double& lon);
  // Solar eclipse phase: 0 none, 1 partial, 2 non-central annular,
  // 3 non-central total, 4 annular, 5 total; lat, lon of the central line
  // for 4 and 5, else 0.
  int solar(double mjd, double dt, double& lat, double& lon);
  // Duration (s) of the central phase on the central line, -1 when not central
  // 6 s later; width of the path in km. Call after solar() for the same instant.
  double duration(double mjd, double dt, double& width);
  // Lunar eclipse phase: 0 none, 1 partial penumbral, 2 total penumbral,
  // 3 partial umbral, 4 total umbral.
  int lunar(double mjd, double dt);
  Vec3 GetRSun() const { return rs; }
  Vec3 GetRMoon() const { return rm; }
  double GetEp2() const { return eqeq; }

private:
  void cone(double mjd, double dt, double k, double sign, Vec3& rmo, Vec3& eo, double& d,
            double& f);
  // East longitude in -pi..pi and geodetic latitude of rc (already unstretched).
  void geodetic(double mjd, double& lat, double& lon) const;

  Sun200 sun;
  Moon200 moon;
  Vec3 rs, rm, e, rc;
  double T;
  double eqeq;
  double dumbra, dpenumbra;
};

#endif
