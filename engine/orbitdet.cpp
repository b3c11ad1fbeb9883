// Orbit determination from two observed directions and the search of the TLE
// file for satellites matching an observation.
#include "engine/orbitdet.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/passes.h"
#include "engine/safefile.h"
#include "engine/satpos.h"
#include "engine/tle.h"

namespace {

constexpr double kRStart = 6478.14;       // km, first trial radius (100 km up)
constexpr double kRStep = 100.0;          // km, outward walk
constexpr double kRMax = 300000.0;        // km, end of the walk
constexpr double kRTol = 0.001;           // km, bisection stops below this
constexpr int kMaxBisect = 300;
constexpr double kSec = 1.0 / 86400.0;    // d
constexpr double kMin = 1.0 / 1440.0;     // d
constexpr double kCos45 = 0.7071067811865476;

bool isnum(double x) { return std::isfinite(x); }

// Unit vector of a direction given by R.A. (packed HH.MMSS) and Dec. (packed
// DD.MMSS).
Vec3 raDecUnit(double ra, double dec) {
  return polcar(Vec3(1.0, DmsDegF(ra) * 15.0 * kDeg, DmsDegF(dec) * kDeg));
}

// Angle (rad) between two directions, accurate also for tiny angles.
double angleBetween(const Vec3& a, const Vec3& b) {
  return std::atan2(abs(a * b), dot(a, b));
}

// 0..360.
double deg360(double x) { return x < 0.0 ? x + 360.0 : x; }

}  // namespace

int PhiDiff(double a1, double a2, double c1, double c2, double dt, Vec3& p1, Vec3& p2,
            Vec3& o1, Vec3& o2, Vec3& u1, Vec3& u2, double r) {
  const double r2 = r * r;
  const double q1 = a1 + r2, q2 = a2 + r2;
  const double s1 = q1 > 0.0 ? c1 + std::sqrt(q1) : c1;
  const double s2 = q2 > 0.0 ? c2 + std::sqrt(q2) : c2;
  p1 = o1 + s1 * u1;
  p2 = o2 + s2 * u2;
  const Vec3 n = vnorm(p1 * p2);
  const double inc = std::fabs(n.z) > 1.0 ? 0.0 : std::acos(n.z) / kDeg;
  double c = dot(p1, p2) / r2;
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  const double phi = std::acos(c);
  return kTwoPi * getn0(r, 0.0, inc) * dt > phi ? 1 : -1;
}

int OrbitDet(WinpData* d) {
  if (!d) return ORBDET_BADINPUT;
  if (!(isnum(d->az1) && isnum(d->el1) && isnum(d->az2) && isnum(d->el2) &&
        isnum(d->deltm) && isnum(d->curmjd) && isnum(d->lat) && isnum(d->lng) &&
        isnum(d->height) && isnum(d->yrepoch)))
    return ORBDET_BADINPUT;

  // 1. Times and the frame of entered R.A./Dec. (precession to the mean
  //    equator of date, then nutation to the true one).
  const double tu = d->IERSflg ? d->curmjd + d->Ut1Utc / 86400.0 : d->curmjd;
  const double dtd = d->deltm / 86400.0;
  Mat3 M = mxidn(), N = mxidn();
  if (d->yrepoch != 0.0) {
    const double T = julcent(d->curmjd);
    double eqeq = 0.0;
    N = nutmat(T, eqeq, d->IERSflg);
    M = N * pmatequ((d->yrepoch - 2000.0) / 100.0, T);
  }

  // 2. Directions of the two observations.
  const double phi = d->lat * kDeg, lam = d->lng * kDeg;
  const double tk[2] = {tu, tu + dtd};
  const double az[2] = {d->az1, d->az2}, el[2] = {d->el1, d->el2};
  const int rd[2] = {d->az1flg, d->az2flg};
  Vec3 u[2], o[2];
  double a[2], c[2];
  for (int k = 0; k < 2; ++k) {
    if (rd[k]) {
      u[k] = mxvct(M, raDecUnit(az[k], el[k]));
    } else {
      double ra, dec;
      AppRADec(tk[k], 0.0, phi, lam, az[k] * kDeg, el[k] * kDeg, ra, dec);
      u[k] = polcar(Vec3(1.0, ra, dec));
    }
    // 3. Observer and the terms of the line-of-sight intersection.
    o[k] = kReWgs84Km * GeoPos(tk[k], 0.0, phi, lam, d->height);
    const double uo = dot(u[k], o[k]);
    a[k] = uo * uo - dot(o[k], o[k]);
    c[k] = -uo;
  }

  // 4. A direction that stayed where it was among the stars shows no
  //    motion: the radius the search would find is an artefact of the
  //    search, not an orbit. One that stood still in the observer's sky is
  //    an orbit only where it is geostationary (checked in step 7).
  const Vec3 h0 = EquHor(tk[0], 0.0, phi, lam, u[0]);
  const Vec3 h1 = EquHor(tk[1], 0.0, phi, lam, u[1]);
  if (angleBetween(u[0], u[1]) < ORBDET_MIN_MOTION) return ORBDET_NOMOTION;
  const bool standsInSky = angleBetween(h0, h1) < ORBDET_MIN_MOTION;

  // 5. Walk outwards until the test changes sign.
  Vec3 p1, p2;
  double r = kRStart;
  const int s0 = PhiDiff(a[0], a[1], c[0], c[1], dtd, p1, p2, o[0], o[1], u[0], u[1], r);
  int s = s0;
  while (s == s0 && r < kRMax) {
    r += kRStep;
    s = PhiDiff(a[0], a[1], c[0], c[1], dtd, p1, p2, o[0], o[1], u[0], u[1], r);
  }

  // 6. Bisection inside the step that changed sign. Without a sign change
  //    there is no solution in the range: the orbit is not claimed as found.
  bool conv = false;
  double sma = r;
  if (s != s0) {
    double lo = r - kRStep, hi = r;
    for (int k = 0; k < kMaxBisect; ++k) {
      sma = 0.5 * (lo + hi);
      if (PhiDiff(a[0], a[1], c[0], c[1], dtd, p1, p2, o[0], o[1], u[0], u[1], sma) == s0)
        lo = sma;
      else
        hi = sma;
      if (hi - lo < kRTol) {
        conv = true;
        break;
      }
    }
  }

  // 7. Circular Kepler elements in the mean equator of date. Two points in
  //    one line with the Earth's centre span no orbit plane.
  const Mat3 nt = mxtrn(N);
  p1 = mxvct(nt, p1);
  p2 = mxvct(nt, p2);
  const Vec3 cross = p1 * p2;
  const double span = abs(cross);
  if (!(span > 0.0 && std::isfinite(span))) return ORBDET_NOMOTION;
  const Vec3 n = vnorm(cross);
  const double inc = std::fabs(n.z) > 1.0 ? 0.0 : std::acos(n.z) / kDeg;
  //    A point fixed in the sky turns with the Earth: a circular orbit
  //    follows it only on the equator at the geostationary radius. Anywhere
  //    else the search meets a radius that no satellite could keep.
  if (standsInSky && !(conv && inc < ORBDET_GEO_INC_MAX)) return ORBDET_NOMOTION;

  //    The slot: the next free one, slot 9 when ten are selected. A count
  //    outside 0..10 is treated as the nearest valid one.
  int nsel = d->satnr < 0 ? 0 : d->satnr;
  int slot;
  if (nsel < MAXSEL) {
    slot = nsel;
    d->satnr = nsel + 1;
  } else {
    slot = MAXSEL - 1;
    d->satnr = MAXSEL;
  }
  d->prs = slot;
  d->epoch[slot] = d->curmjd;
  d->nmflg[slot] = 0;

  std::snprintf(d->satname[slot], SATNAME_SIZE, "%s", conv ? "New" : "No Convergence");
  d->norad[slot] = 0;
  std::memset(d->dsn[slot], ' ', DSN_SIZE - 1);
  d->dsn[slot][DSN_SIZE - 1] = '\0';
  d->a[slot] = sma;
  d->ecc[slot] = 0.0;
  d->m0[slot] = 0.0;
  d->adot[slot] = 0.0;
  d->ndot[slot] = 0.0;
  d->n6dot[slot] = 0.0;
  d->bstar[slot] = 0.0;
  d->sgpflg[slot] = 0;
  d->inc[slot] = inc;
  d->mnmot[slot] = getn0(sma, 0.0, inc);
  const double node = atan20(n.x, -n.y);
  d->ra[slot] = deg360(node / kDeg);
  const Vec3 e = vnorm(p1);
  const double x = std::cos(node) * e.x + std::sin(node) * e.y;
  const double si = std::sin(inc * kDeg);
  d->aper[slot] = deg360(atan20(si != 0.0 ? e.z / si : 0.0, x) / kDeg);
  d->sgpsat = SGPSAT_NONE;
  EpochState(d, slot, true);
  return conv ? ORBDET_NEW : ORBDET_NOCONV;
}

int mtchok(double cosmax, double cA, double cE, double sA, double sE, double dirObs, int dirflag,
           double sA2, double sE2) {
  const double sinE = std::sin(sE), cosE = std::cos(sE);
  if (!(std::sin(cE) * sinE + std::cos(cE) * cosE * std::cos(cA - sA) > cosmax)) return 0;
  if (!dirflag) return 1;
  // Direction of the satellite's motion on the sky, from up through right.
  const double cosd = sinE * std::sin(sE2) + cosE * std::cos(sE2) * std::cos(sA2 - sA);
  const double q = 1.0 - cosd * cosd;
  const double s = (q > 0.0 ? std::sqrt(q) : 0.0) * cosE;
  if (std::fabs(s) <= 1e-50) return 1;
  const double x = (std::sin(sE2) - sinE * cosd) / s;
  if (!(std::fabs(x) <= 1.0)) return 1;
  double ang = std::acos(x);
  if (std::sin(sA2 - sA) < 0.0) ang = -ang;
  // The unit z vector turned about x by each angle; their dot product is the
  // cosine of the angle between the two directions.
  const double dotp = std::sin(ang) * std::sin(dirObs) + std::cos(ang) * std::cos(dirObs);
  return dotp >= kCos45 ? 1 : 0;
}

void convRDAE(const WinpData* d, double t, double eqeq, double& az, double& el) {
  if (d->rdf) {
    const double t1 = d->IERSflg ? t + d->Ut1Utc / 86400.0 : t;
    double dist;
    AppPos(t1, eqeq, d->lat * kDeg, d->lng * kDeg, d->height, 0, raDecUnit(d->mtaz, d->mtel), az,
           el, dist);
  } else {
    az = d->mtaz * kDeg;
    el = d->mtel * kDeg;
  }
}

namespace {

// The satellite position record of the matching scan (the pass search keeps
// using the engine's own record).
SatPosData g_scanpos;

// Major object: a piece designated by one letter A, B, D or E.
bool majorPiece(const char* dsn) {
  const char p = dsn[8], q = dsn[9];
  return (p == 'A' || p == 'B' || p == 'D' || p == 'E') && (q == ' ' || q == '\0');
}

// Centre of the match: observation k (1 or 2) of the orbit determination.
void centreFromObs(WinpData* d, int k) {
  d->mtaz = k == 1 ? d->az1 : d->az2;
  d->mtel = k == 1 ? d->el1 : d->el2;
  d->rdf = k == 1 ? d->az1flg : d->az2flg;
}

// The window a satellite must pass through: time span, centre (azimuth and
// elevation in rad, moving with the sky for a long window given in R.A. and
// Dec.), radius and direction filter. The centre and the filter carry over
// from one satellite to the next as the scan leaves them.
struct MatchWindow {
  double t, eqeq, tlo, thi;
  double cA, cE;       // centre
  double mxa, cosmax;  // radius and its cosine
  bool dirwanted;      // direction filter asked for
  int dirf;            // direction filter applied (not near the zenith)
  double dirObs;       // observed direction of motion, -pi..pi
  bool skyfixed;       // centre fixed on the sky: recomputed every minute
};

constexpr double kDirLimit = 89.1 * kDeg;  // no direction filter closer to the zenith

MatchWindow matchWindow(WinpData* d) {
  MatchWindow w;
  w.t = d->curmjd;
  w.eqeq = 0.0;
  nutmat(julcent(w.t), w.eqeq, false);
  w.tlo = w.t - d->tm / 1440.0;
  w.thi = w.t + d->tm / 1440.0;
  convRDAE(d, w.t, w.eqeq, w.cA, w.cE);
  w.mxa = d->mxa * kDeg;
  w.cosmax = std::cos(w.mxa);
  w.dirwanted = d->drf && !d->odm;
  w.dirf = w.dirwanted && w.cE + w.mxa <= kDirLimit;
  w.dirObs = d->dra * kDeg;
  if (w.dirObs > kPi) w.dirObs -= kTwoPi;
  w.skyfixed = d->rdf && d->tm > 2.0;
  return w;
}

// Whether the satellite in slot passes through the window (with odm: through
// the first observation and then the second).
bool passesWindow(WinpData* d, int slot, MatchWindow& w) {
  const double step = (d->mnmot[slot] >= 2.0 || d->ecc[slot] >= 0.1) ? kSec : kMin;
  if (d->odm) {
    centreFromObs(d, 1);
    convRDAE(d, w.t, w.eqeq, w.cA, w.cE);
  }
  const bool candidate = !d->mtmaj || (d->mnmot[slot] >= 2.5 && majorPiece(d->dsn[slot]));
  double tm[3], elv[3], azm[3];
  if (!candidate || nextpass(d, slot, w.tlo, w.thi, tm, elv, azm) == 0) return false;
  int counter = 0;
  bool first = false;  // odm: observation 1 passed
  for (double ts = tm[0]; ts <= tm[2]; ts += step) {
    if (w.skyfixed && counter >= 60) {
      convRDAE(d, ts, w.eqeq, w.cA, w.cE);
      w.dirf = w.dirwanted && w.cE + w.mxa <= kDirLimit;
      counter = 0;
    }
    counter = step > 1.5e-5 ? 60 : counter + 1;
    // A time without a position has no direction to match (a pass can end
    // where the position is lost).
    if (GetSatPos(ts, d, &g_scanpos, slot, 0) != SATPOS_OK) continue;
    const double sA = g_scanpos.az[slot] * kDeg, sE = g_scanpos.el[slot] * kDeg;
    double sA2 = sA, sE2 = sE;
    if (w.dirf) {
      if (GetSatPos(ts + step, d, &g_scanpos, slot, 0) != SATPOS_OK) continue;
      sA2 = g_scanpos.az[slot] * kDeg;
      sE2 = g_scanpos.el[slot] * kDeg;
    }
    if (!mtchok(w.cosmax, w.cA, w.cE, sA, sE, w.dirObs, w.dirf, sA2, sE2)) continue;
    if (d->odm && !first) {
      first = true;
      centreFromObs(d, 2);
      convRDAE(d, ts, w.eqeq, w.cA, w.cE);
      continue;
    }
    return true;
  }
  return false;
}

void putNoTleFile(const WinpData* d, WoutData* o) {
  PutSpace(o, 1);
  PutNxtLn(o, " *** Unable to open TLE file ***");
  PutNxtLnName(o, "", d->tlenm);
  PutSpace(o, 1);
  PutNxtLn(o, " Select a valid TLE file first.");
  PutSpace(o, 1);
}

// The two marked lines of a match.
void putMatch(const WinpData* d, WoutData* o, int slot) {
  PutSpace(o, 1);
  PutNxtLnTF(o, " NORAD#:%6i  Int.Launch#: %s  %s", d->norad[slot], d->sdsn, d->satname[slot]);
  const double sa = d->a[slot], e = d->ecc[slot];
  PutNxtLnTF(o, " Incl.: %8.4lf   Perigee: %10.3lf km  Apogee: %10.3lf km", d->inc[slot],
             sa * (1.0 - e) - kReWgs84Km, sa * (1.0 + e) - kReWgs84Km);
}

void putSummary(const WinpData* d, WoutData* o, long checked, int matches) {
  if (matches > 0) {
    PutSpace(o, 2);
  } else {
    o->nlines = 0;
    PutSpace(o, 1);
    PutNxtLn(o, " *** No matches found on TLE file ***");
    PutNxtLnName(o, "", d->tlenm);
    PutSpace(o, 3);
  }
  PutNxtLnF(o, " Number of satellites checked: %ld", checked);
  PutNxtLnF(o, " Number of possible matches  : %i", matches);
  if (matches >= SATMATCH_MAX) PutNxtLn(o, " *** Output buffer full. More matches possible ***");
}

}  // namespace

int SatMatch(WinpData* d, WoutData* o) {
  // The match centre, window and relative mode are the scan's own.
  Keep<double> mtaz(d->mtaz), mtel(d->mtel), tm(d->tm);
  Keep<int> rdf(d->rdf), rlm(d->rlm, 0);
  o->nlines = 0;

  FILE* f = OpenRegular(d->tlenm);
  if (!f) {
    putNoTleFile(d, o);
    return 1;
  }
  PutSpace(o, 1);
  PutNxtLn(o, " Possible matches on TLE-file:");
  PutNxtLnName(o, " ", d->tlenm);
  PutSpace(o, 1);

  // Scan slot: after the selected satellites; with ten selected slot 9,
  // whose satellite waits in the spare slot (matches are then not kept).
  int kept = d->satnr < 0 ? 0 : (d->satnr > MAXSEL ? MAXSEL : d->satnr);
  const bool full = kept >= MAXSEL;
  int slot = full ? MAXSEL - 1 : kept;
  if (full) ShiftElm(d, SPARESLOT, slot);

  // Both observations of the orbit determination: the window spans them.
  if (d->odm) {
    if (d->deltm / 60.0 > d->tm) d->tm = d->deltm / 60.0;
    centreFromObs(d, 1);
  }
  MatchWindow w = matchWindow(d);

  d->cfgname[WORKSLOT][0] = '*';
  long checked = 0;
  int matches = 0;
  char msg[TLEMSG_SIZE];
  int res = tleread(d, f, msg, 0);
  while (res != 0 && matches < SATMATCH_MAX) {
    ++checked;
    ShiftElm(d, slot, WORKSLOT);
    if (passesWindow(d, slot, w)) {
      ++matches;
      putMatch(d, o, slot);
      if (!full && slot < MAXSEL - 1) {
        ++kept;
        ++slot;
      }
    }
    if (res != 2) break;
    res = tleread(d, f, msg, 1);
  }
  std::fclose(f);
  putSummary(d, o, checked, matches);

  if (full) ShiftElm(d, MAXSEL - 1, SPARESLOT);
  d->satnr = kept;
  return 0;
}
