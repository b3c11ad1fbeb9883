// Shared by the plot tests and the plot benchmark: skyfield's reference
// positions (tests/data/satpos-skyfield.txt), slots loaded from their mean
// elements, and a record set up for plotting ten satellites.
#ifndef VORLIX_TESTS_GUI_PLOTFIXTURE_H
#define VORLIX_TESTS_GUI_PLOTFIXTURE_H

#include <cstdio>
#include <string>

#include "engine/vorlixcom.h"
#include "support/satposrefs.h"

namespace plotfix {

using Sat = satpos_test::RefSat;
using Obs = satpos_test::RefObs;
using Row = satpos_test::RefRow;
using Refs = satpos_test::RefData;

inline Refs loadRefs() { return satpos_test::LoadRefs(); }

// Mean elements into slot i (SGP4), without drag terms, with a name; the
// SGP4 record is reset.
inline void loadSlot(WinpData* d, int i, const Sat& c) {
  satpos_test::LoadSlot(d, i, c);
  d->ndot[i] = d->n6dot[i] = d->adot[i] = 0;
  std::snprintf(d->satname[i], SATNAME_SIZE, "%s", c.name.c_str());
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
