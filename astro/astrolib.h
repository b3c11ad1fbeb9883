// Astronomy library: calendar and time scales, reference frames, two-body
// orbits, and the analytic theories of the Sun and the Moon.
//
// Times are Modified Julian Dates (MJD = JD - 2400000.5, days, UT); the
// theories, precession and nutation take T, Julian centuries of TT from J2000
// (julcent). Angles are radians except where a name says otherwise
// (lsidtim takes degrees and returns hours; kepler/oscelm use degrees for the
// element angles).
#ifndef VORLIX_ASTRO_ASTROLIB_H
#define VORLIX_ASTRO_ASTROLIB_H

#include "astro/attlib.h"

// ---------------------------------------------------------------------------
// Calendar and time scales
// ---------------------------------------------------------------------------

// Fractional part with the sign of x: x - trunc(x), so frac(-1.25) = -0.25.
double frac(double x);
// Decimal degrees (or hours) from degrees, minutes, seconds. The value is
// negative when d < 0 or m < 0, or when both are non-negative and s < 0.
double ddd(int d, int m, double s);
// Inverse of ddd; the sign of a negative x goes on the first non-zero part.
void dms(double x, int& d, int& m, double& s);
// MJD of a calendar date and hour (Julian calendar up to 1582 October 4,
// Gregorian from October 15).
double mjd(int day, int month, int year, double hour);
// Julian centuries from J2000: (mjd - 51544.5) / 36525.
double julcent(double mjd);
// Calendar date and hour of an MJD.
void caldat(double mjd, int& day, int& month, int& year, double& hour);
// Default TT - UT in seconds for a year.
double DefTdUt(int year);
// Local sidereal time in hours for an MJD (UT), an east longitude in degrees
// and the equation of the equinoxes in seconds of time. Reduced to 24 h
// before eqeq is added; keeps the sign of the MJD like frac.
double lsidtim(double mjd, double lon_deg, double eqeq_s);

// ---------------------------------------------------------------------------
// Reference frames
// ---------------------------------------------------------------------------

// Mean obliquity of the ecliptic (rad).
double eps(double T);
// Ecliptic to equatorial coordinates of date, and back.
Vec3 eclequ(double T, const Vec3& v);
Vec3 equecl(double T, const Vec3& v);
// Precession matrices from epoch T1 to epoch T2 (ecliptic, equatorial IAU 1976).
Mat3 pmatecl(double T1, double T2);
Mat3 pmatequ(double T1, double T2);
// Nutation matrix mean -> true equator and equinox of date (IAU 1980). full
// selects the 50-term series, otherwise the short series. eqeq receives the
// equation of the equinoxes in seconds of time.
Mat3 nutmat(double T, double& eqeq, bool full);
// The same in two steps, for callers that need the equation of the equinoxes
// far more often than the matrix: the angles (rad) and eqeq (s of time), and
// the matrix from them. Both give exactly what nutmat gives.
struct NutAngles {
  double dpsi, eps0, ept, eqeq;
};
NutAngles nutangles(double T, bool full);
Mat3 nutmat(const NutAngles& a);
// Nutation for ecliptic coordinates (short series): a rotation in longitude.
Mat3 nutecl(double T, double& eqeq);
// Polar-motion matrix from pole coordinates in arcseconds.
Mat3 PoleMx(double xp, double yp);
// Equatorial vector with low-precision annual aberration added.
Vec3 aberrat(double T, const Vec3& v);
// Geocentric observer position in Earth radii (WGS-84), true equator and
// equinox of date. lat geodetic, lon east-positive (rad), height in m above
// the ellipsoid, eqeq in seconds of time; xp, yp pole coordinates (arcsec).
Vec3 GeoPos(double mjd, double eqeq, double lat, double lon, double height);
Vec3 GeoPos(double mjd, double eqeq, double lat, double lon, double height,
            double xp, double yp);
// Equatorial vector of date to the observer's horizontal frame (x south,
// y east, z zenith), and back.
Vec3 EquHor(double mjd, double eqeq, double lat, double lon, Vec3 v);
Vec3 HorEqu(double mjd, double eqeq, double lat, double lon, Vec3 v);
// Azimuth (from north through east, in (-pi, pi]), elevation and distance of
// an equatorial vector; topocentric (v in Earth radii) when topo != 0.
void AppPos(double mjd, double eqeq, double lat, double lon, double height, int topo,
            Vec3 v, double& az, double& el, double& dist);
// The observer's part of AppPos at one time, for many directions seen from
// one place: the observer's position (Earth radii, GeoPos without polar
// motion) and the two rotations of EquHor. AppPos(horframe(...), ...) gives
// exactly what AppPos(mjd, eqeq, lat, lon, height, ...) gives.
struct HorFrame {
  Vec3 geo;
  Mat3 zr, yr;
};
HorFrame horframe(double mjd, double eqeq, double lat, double lon, double height);
// The same in two steps: what depends only on the place, then the frame at
// one time.
struct HorSite {
  double rho, z;  // Earth radii, distance from the axis and height above the equator
  double londeg;  // east longitude in degrees
  Mat3 yr;
};
HorSite horsite(double lat, double lon, double height);
HorFrame horframe(const HorSite& s, double mjd, double eqeq);
// AppPos in parts: the vector in the horizontal frame, then its elevation
// and azimuth (as AppPos gives them), for callers that need only one.
Vec3 AppHor(const HorFrame& f, int topo, Vec3 v);
double AppHorEl(const Vec3& h);
double AppHorAz(const Vec3& h);
void AppPos(const HorFrame& f, int topo, Vec3 v, double& az, double& el, double& dist);
// Right ascension [0, 2 pi) and declination of a horizontal direction.
void AppRADec(double mjd, double eqeq, double lat, double lon, double az, double el,
              double& ra, double& dec);
// Atmospheric refraction (rad) for a true altitude h (rad), pressure in hPa,
// temperature in degrees Celsius.
double Refract(double h, double pressure, double temperature);

// ---------------------------------------------------------------------------
// Two-body orbits (gm, lengths and times in any consistent units)
// ---------------------------------------------------------------------------

// Eccentric anomaly of an ellipse (rad).
double eccanom(double M, double e);
// Hyperbolic anomaly.
double hypanom(double Mh, double e);
// Orbit-plane states (x to pericentre, y 90 deg ahead, z = 0).
void ellip(double gm, double t0, double t, double a, double e, double M0, Vec3& r, Vec3& v);
void hyperb(double gm, double t0, double t, double a, double e, Vec3& r, Vec3& v);
// Stumpff functions c1, c2, c3 of E2.
void stumpff(double E2, double& c1, double& c2, double& c3);
// Near-parabolic state from the pericentre distance q; t0 pericentre time.
void parab(double gm, double t0, double t, double q, double e, Vec3& r, Vec3& v);
// State at t from elements (M0, node, argp, incl in degrees). e < 1 with
// M0 >= 0: ellipse; e > 1 with M0 >= 0: hyperbola (t0 = pericentre time);
// otherwise near-parabolic with a read as the pericentre distance.
void kepler(double gm, double t0, double t, double M0, double a, double e,
            double node, double argp, double incl, Vec3& r, Vec3& v);
// Osculating elements at t (angles in degrees). A negative gm requests the
// pericentre-distance form (M = -1, a = q).
void oscelm(double gm, double t, const Vec3& r, const Vec3& v, double& tp, double& M,
            double& a, double& e, double& node, double& argp, double& incl);

// ---------------------------------------------------------------------------
// Sun theory: geocentric ecliptic Sun of date in AU
// ---------------------------------------------------------------------------

class Sun200 {
public:
  Sun200() {}
  Vec3 position(double T);
  void state(double T, Vec3& r, Vec3& v);  // r in AU, v in AU/day
  // Cosine and sine of a sum of two angles.
  void addthe(double c1, double s1, double c2, double s2, double& c, double& s);

private:
  void term(int I, int i, int iT, double dlc, double dls, double drc, double drs,
            double dbc, double dbs);
  void pertven();
  void pertmar();
  void pertjup();
  void pertsat();
  void pertmoo();

  double C3[9], S3[9];  // multiples -1..7 of the Earth's mean anomaly (offset 1)
  double C[9], S[9];    // multiples -8..0 of the perturber's mean anomaly (offset 8)
  double M2, M3, M4, M5, M6, D, A, U;
  double T;
  double CL, SL, CB, SB;
  double U_, V_;  // cosine and sine of the last evaluated term
  double DL, DR, DB;
};

// Low-precision geocentric ecliptic Sun in AU.
Vec3 QuickSun(double T);

// ---------------------------------------------------------------------------
// Moon theory: geocentric ecliptic Moon of date in Earth radii
// ---------------------------------------------------------------------------

class Moon200 {
public:
  Moon200() {}
  Vec3 position(double T);
  // sin(2 pi frac(phi)), phi in revolutions.
  double sinus(double phi);
  // Cosine x and sine y of p l + q l' + r F + s D.
  void term(int p, int q, int r, int s, double& x, double& y);
  void addsol(double coeffl, double coeffs, double coeffg, double coeffp,
              int p, int q, int r, int s);
  void solar1();
  void solar2();
  void solar3();
  void addn(double coeffn, int p, int q, int r, int s, double& n, double& x, double& y);
  void solarn(double& n);
  void planetary(double T);
  void addthe(double c1, double s1, double c2, double s2, double& c, double& s);

private:
  void minit(double T);
  void long_periodic(double T);

  double DGAM;
  double DLAM, N, GAM1C, SINPI;
  double L0, L, LS, F, D, S;
  double DL0, DL, DLS, DF, DD, DS;
  double CO[13][4], SI[13][4];  // multiples -6..6 (offset 6) of l, l', F, D
};

#endif
