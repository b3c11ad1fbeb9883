// Shared set-up of the satellite-position tests: an engine record with the
// defaults GetSatPos needs, slot elements loaded without the TLE reader, and
// the skyfield reference file.
#ifndef VORLIX_TESTS_SUPPORT_SATPOSFIXTURE_H
#define VORLIX_TESTS_SUPPORT_SATPOSFIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/satpos.h"
#include "support/data.h"
#include "support/record.h"

namespace satpos_test {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Mean elements of one satellite as python-sgp4 reads them from its TLE.
struct RefSat {
  std::string name;
  double epoch, bstar, ecc, aper, inc, m0, mnmot, ra;
};
struct RefObs {
  double lat, lng, height;
};
// One time for one satellite and observer (columns: see gen_satpos_refs.py).
struct RefRow {
  int sat, obs;
  double mjd, az, el, rng, rate, lat, lng, hgt, ra, dec, smang, beta, sunel, sunaz, sslat,
      sslng, litmargin;
};
struct RefData {
  std::vector<RefSat> sats;
  std::vector<RefObs> obs;
  std::vector<RefRow> rows;
};

inline RefData LoadRefs() {
  RefData r;
  std::ifstream f(support::dataPath("satpos-skyfield.txt"));
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream s(line);
    std::string tag;
    s >> tag;
    if (tag == "C") {
      RefSat c;
      s >> c.name >> c.epoch >> c.bstar >> c.ecc >> c.aper >> c.inc >> c.m0 >> c.mnmot >> c.ra;
      r.sats.push_back(c);
    } else if (tag == "O") {
      int k;
      RefObs o;
      s >> k >> o.lat >> o.lng >> o.height;
      r.obs.push_back(o);
    } else if (tag == "R") {
      RefRow w;
      s >> w.sat >> w.obs >> w.mjd >> w.az >> w.el >> w.rng >> w.rate >> w.lat >> w.lng >> w.hgt >>
          w.ra >> w.dec >> w.smang >> w.beta >> w.sunel >> w.sunaz >> w.sslat >> w.sslng >>
          w.litmargin;
      if (s) r.rows.push_back(w);
    }
  }
  return r;
}

// A zero-filled engine record with what GetSatPos reads set as at start-up:
// WGS-72 SGP4 with deep-space terms, R.A./Dec. in the mean equator of 2000,
// no IERS values, one selected satellite in slot 0.
inline std::unique_ptr<WinpData> NewRecord() {
  auto d = support::newRecord(48.1374, 11.5755, 520.0);
  d->yrepoch = 2000.0;
  d->satnr = 1;
  d->prs = 0;
  return d;
}

inline std::unique_ptr<SatPosData> NewPositions() {
  auto sp = std::make_unique<SatPosData>();
  std::memset(static_cast<void*>(sp.get()), 0, sizeof(SatPosData));
  return sp;
}

// Mean elements into slot i (SGP4 model); the SGP4 record is invalidated.
inline void LoadSlot(WinpData* d, int i, const RefSat& c) {
  d->sgpflg[i] = 1;
  d->nmflg[i] = 0;
  d->epoch[i] = c.epoch;
  d->bstar[i] = c.bstar;
  d->ecc[i] = c.ecc;
  d->aper[i] = c.aper;
  d->inc[i] = c.inc;
  d->m0[i] = c.m0;
  d->mnmot[i] = c.mnmot;
  d->ra[i] = c.ra;
  d->a[i] = getsax(1, c.mnmot, c.ecc, c.inc);
  d->sgpsat = SGPSAT_NONE;
}

// The ISS set of the reference file (a low orbit for the stage tests).
inline RefSat IssElements() {
  return RefSat{"ISS", 58138.898088439833, 3.855e-05, 0.0003646, 28.7227, 51.6424,
                39.5332, 15.54190080, 32.9776};
}

// Difference of two angles in degrees, reduced to -180..180.
inline double AngDiff(double a, double b) {
  double x = std::fmod(a - b, 360.0);
  if (x > 180.0) x -= 360.0;
  if (x < -180.0) x += 360.0;
  return x;
}

}  // namespace satpos_test

#endif
