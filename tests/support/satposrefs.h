// skyfield's reference positions (tests/data/satpos-skyfield.txt, made by
// tests/tools/gen_satpos_refs.py) and slots loaded from their mean elements
// without the TLE reader: shared by the position tests, the plot tests and
// the window benchmarks.
#ifndef VORLIX_TESTS_SUPPORT_SATPOSREFS_H
#define VORLIX_TESTS_SUPPORT_SATPOSREFS_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/vorlixcom.h"
#include "support/data.h"

namespace satpos_test {

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

}  // namespace satpos_test

#endif
