// SGP4/SDP4 analytic propagation of two-line mean elements.
//
// The model is the one of Spacetrack Report No. 3 as revised in 2006
// ("Revisiting Spacetrack Report #3", AIAA 2006-6753): near-Earth SGP4 with the
// simplified drag branch, deep-space SDP4 with lunar-solar periodics and the
// 12-hour and 24-hour resonance integrator.  Output frame: TEME (true equator,
// mean equinox), r in km, v in km/s.
//
// Differences from the published 2006 code, all deliberate:
// - there is no operation-mode argument; the Greenwich angle at epoch always
//   comes from gstime(epoch + 2433281.5);
// - the second argument of sgp4init is a switch that allows the deep-space
//   branch (SDP4 is used only when it is set AND the period is >= 225 min);
// - a mean eccentricity below 1e-6 is raised to 1e-6 (not only a negative
//   one): this reproduces the published verification output;
// - error codes (elsetrec::error and the return values):
//     0  success
//     1  sgp4: mean e >= 1 or < -0.001, or mean a < 0.95 Earth radii, or a
//        time too far from epoch to integrate the resonance (|t| > 1e10 min
//        or not finite); the computation continues
//     2  sgp4: mean motion <= 0; the computation continues
//     3  sgp4: perturbed e outside 0..1 (deep space); the computation continues
//     5  sgp4init: perigee below the surface (or elements that are not
//        numbers); initialisation still completes
//     6  sgp4: semi-latus rectum < 0 or not a number: returns at once, r and v
//        NOT written; or, after r and v are written, radius below one Earth
//        radius (decayed) or a result that is not a finite number
//   A later check may overwrite an earlier code: test for zero / non-zero.
//   Code 4 is never produced.  The first sgp4 call clears a code 5 left by
//   sgp4init: keep sgp4init's return value.
// - an unknown gravconsttype leaves the constants at zero; sgp4init then
//   returns 5 and sgp4 returns non-zero.
//
// Nothing here allocates; a record is a plain value and may be copied.
#ifndef VORLIX_ORBIT_SGP4UNIT_H
#define VORLIX_ORBIT_SGP4UNIT_H

// Constant sets.  wgs72old: WGS-72 with the historical ke; wgs72: WGS-72
// (GM 398600.8 km^3/s^2); wgs84: WGS-84 (GM 398600.5 km^3/s^2).
enum gravconsttype { wgs72old = 0, wgs72 = 1, wgs84 = 2 };

// Element and coefficient record, fields in the order of the published code.
struct elsetrec {
  // Identification (never written by sgp4init).
  long satnum;
  int epochyr, epochtynumrev;
  int error;    // last error code, see above
  char init;    // 'y' while sgp4init runs, 'n' after
  char method;  // 'n' near Earth, 'd' deep space

  // Near Earth.
  int isimp;  // 1: simplified drag (perigee below 220 km, or deep space)
  double aycof, con41, cc1, cc4, cc5, d2, d3, d4, delmo, eta, argpdot, omgcof, sinmao, t,
      t2cof, t3cof, t4cof, t5cof, x1mth2, x7thm1, mdot, nodedot, xlcof, xmcof, nodecf;

  // Deep space.
  int irez;  // resonance: 0 none, 1 one-day, 2 half-day
  double d2201, d2211, d3210, d3222, d4410, d4422, d5220, d5232, d5421, d5433, dedt, del1,
      del2, del3, didt, dmdt, dnodt, domdt, e3, ee2, peo, pgho, pho, pinco, plo, se2, se3,
      sgh2, sgh3, sgh4, sh2, sh3, si2, si3, sl2, sl3, sl4, gsto, xfact, xgh2, xgh3, xgh4, xh2,
      xh3, xi2, xi3, xl2, xl3, xl4, xlamo, zmol, zmos, atime, xli, xni;

  // Mean elements.  Angles in radians; no is the Kozai mean motion in rad/min
  // as passed to sgp4init and the Brouwer mean motion after it; a, alta, altp
  // in Earth radii.
  double a, altp, alta, epochdays, jdsatepoch, nddot, ndot, bstar, rcse, inclo, nodeo, ecco,
      argpo, mo, no;

  // Values calls would compute alike, kept by sgp4init: sine and cosine of
  // inclo; (ke / aono)^(2/3) for the constant set aoconst.
  double sinio, cosio, aopow, aono;
  int aoconst;
  // The resonance terms of the integrator state (resatime, resxli, resxni):
  // a call within the same step needs them again.
  bool resok;
  double resatime, resxli, resxni, resxldot, resxndt, resxnddt;
};

// Fills tumin (min per time unit), Earth radius (km), ke (Earth radii^1.5/min),
// J2, J3, J4 and J3/J2 for the constant set; any other value leaves them alone.
void getgravconst(gravconsttype whichconst, double& tumin, double& radiusearthkm, double& xke,
                  double& j2, double& j3, double& j4, double& j3oj2);

// Greenwich mean sidereal angle (rad, 0..2 pi) for a Julian date in UT1.
double gstime(double jdut1);

// Initialises satrec.  epoch: days since 1950 January 0.0 UT (JD - 2433281.5);
// xbstar: B* (1/Earth radii); angles in radians; xno: Kozai mean motion of
// the element set in rad/min.  deepsw allows the deep-space branch.
// Returns the error code (0 or 5, or a code of the closing deep-space
// propagation to epoch).
int sgp4init(gravconsttype whichconst, bool deepsw, double epoch, double xbstar, double xecco,
             double xargpo, double xinclo, double xmo, double xno, double xnodeo,
             elsetrec& satrec);

// Position r (km) and velocity v (km/s), TEME, tsince minutes after epoch.
// Returns the error code (see above).  Deep-space records keep the resonance
// integrator state between calls: monotonic times are cheapest.
int sgp4(gravconsttype whichconst, elsetrec& satrec, double tsince, double r[3], double v[3]);

#endif
