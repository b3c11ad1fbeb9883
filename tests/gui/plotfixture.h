// Shared by the plot tests and the plot benchmark: skyfield's reference
// positions (tests/data/satpos-skyfield.txt), slots loaded from their mean
// elements, and a record set up for plotting ten satellites.
#ifndef VORLIX_TESTS_GUI_PLOTFIXTURE_H
#define VORLIX_TESTS_GUI_PLOTFIXTURE_H

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/vorlixcom.h"

namespace plotfix {

// Mean elements as python-sgp4 reads them from the TLE.
struct Sat {
  std::string name;
  double epoch, bstar, ecc, aper, inc, m0, mnmot, ra;
};
struct Obs {
  double lat, lng, height;
};
// One time for one satellite and observer: skyfield's sub-satellite point,
// astropy's sub-solar point.
struct Row {
  int sat, obs;
  double mjd, lat, lng, sslat, sslng;
};
struct Refs {
  std::vector<Sat> sats;
  std::vector<Obs> obs;
  std::vector<Row> rows;
};

inline Refs loadRefs(const std::string& dataDir) {
  Refs r;
  std::ifstream f(dataDir + "/satpos-skyfield.txt");
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream s(line);
    std::string tag;
    s >> tag;
    if (tag == "C") {
      Sat c;
      s >> c.name >> c.epoch >> c.bstar >> c.ecc >> c.aper >> c.inc >> c.m0 >> c.mnmot >> c.ra;
      if (s) r.sats.push_back(c);
    } else if (tag == "O") {
      int k;
      Obs o;
      s >> k >> o.lat >> o.lng >> o.height;
      if (s) r.obs.push_back(o);
    } else if (tag == "R") {
      Row w;
      double az, el, rng, rate, hgt, ra, dec, smang, beta, sunel, sunaz;
      s >> w.sat >> w.obs >> w.mjd >> az >> el >> rng >> rate >> w.lat >> w.lng >> hgt >> ra >>
          dec >> smang >> beta >> sunel >> sunaz >> w.sslat >> w.sslng;
      if (s) r.rows.push_back(w);
    }
  }
  return r;
}

// Mean elements into slot i (SGP4), with a name; the SGP4 record is reset.
inline void loadSlot(WinpData* d, int i, const Sat& c) {
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
  d->ndot[i] = d->n6dot[i] = d->adot[i] = 0;
  d->a[i] = getsax(1, c.mnmot, c.ecc, c.inc);
  std::snprintf(d->satname[i], SATNAME_SIZE, "%s", c.name.c_str());
  d->sgpsat = SGPSAT_NONE;
}

// n satellites (slots 0..n-1) from the ISS and JPSS-1 sets in turn, the
// observer at reference observer 0, settings as skyfield computed them
// (WGS-72, no IERS values, UT1 = UTC), plain world map, one-minute step.
inline void setUp(WinpData* d, const Refs& r, int n) {
  for (int i = 0; i < n; ++i) loadSlot(d, i, r.sats[i % 2]);
  d->satnr = n;
  d->prs = 0;
  d->rlm = 0;
  d->wgs = 0;
  d->sdp4 = true;
  d->IERSflg = false;
  d->Ut1Utc = 0;
  d->lat = r.obs[0].lat;
  d->lng = r.obs[0].lng;
  d->height = r.obs[0].height;
  d->tzone = 0;
  d->tstep = 1.0 / 1440;
  d->stepmin = 1;
  d->stepsec = 0;
  d->skymap = 0;
  d->mapprj = 0;
  d->mpnight = 0;
  d->centmer = 0;
  d->mgrey = 0;
  d->mgrid = 1;
  d->shwnm = 1;
  d->occflg = d->flarflg = d->iridflg = 0;
  d->picmd = false;
  d->sunmplt = 0;
  d->rtflg = d->dtflg = 0;
}

}  // namespace plotfix

#endif
