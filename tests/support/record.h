// The engine record the core's tests and benchmarks start from.
#ifndef VORLIX_TESTS_SUPPORT_RECORD_H
#define VORLIX_TESTS_SUPPORT_RECORD_H

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "astro/attlib.h"
#include "engine/tle.h"
#include "engine/vorlixcom.h"

namespace support {

// A zero-filled record with the observer at lat, lng (deg) and height (m)
// and what every propagation needs: SGP4 with the WGS-72 constants and the
// deep-space terms, no slot cached in the SGP4 record. Everything else is
// the caller's to set.
inline std::unique_ptr<WinpData> newRecord(double lat, double lng, double height) {
  auto d = std::make_unique<WinpData>();
  std::memset(static_cast<void*>(d.get()), 0, sizeof(WinpData));
  d->lat = lat;
  d->lng = lng;
  d->height = height;
  d->wgs = 0;
  d->sdp4 = true;
  d->sgpsat = SGPSAT_NONE;
  return d;
}

// Reads the element set (name line, line 1, line 2) through the TLE reader
// into the work slot and copies it to slot i. False when the reader refused
// it (msg, TLEMSG_SIZE bytes when given, says why).
inline bool loadTle(WinpData* d, int i, const std::string& name, const std::string& l1,
                    const std::string& l2, char* msg = nullptr) {
  std::string text = name + "\n" + l1 + "\n" + l2 + "\n";
  FILE* f = fmemopen(&text[0], text.size(), "r");
  if (!f) return false;
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", "*");
  d->srchmd = 0;
  char own[TLEMSG_SIZE];
  const int r = tleread(d, f, msg ? msg : own, 0);
  std::fclose(f);
  if (r < 1) return false;
  ShiftElm(d, i, WORKSLOT);
  return true;
}

// The state r (m), v (m/s) as slot i's current and initial state.
inline void setSlotState(WinpData* d, int i, const Vec3& r, const Vec3& v) {
  d->rx[i] = d->irx[i] = r.x;
  d->ry[i] = d->iry[i] = r.y;
  d->rz[i] = d->irz[i] = r.z;
  d->vx[i] = d->ivx[i] = v.x;
  d->vy[i] = d->ivy[i] = v.y;
  d->vz[i] = d->ivz[i] = v.z;
}

// Slot i under numerical propagation from the state r (m), v (m/s) at epoch
// (MJD), with ordinary space weather (F10.7 150, Kp 3), Cd 2.2, A/m 0.01 and
// the start-up settings of the integrator and of lift.
inline void numericalSlot(WinpData* d, int i, double epoch, const Vec3& r, const Vec3& v) {
  d->nmflg[i] = 1;
  d->sgpflg[i] = 0;
  d->epoch[i] = d->tint[i] = epoch;
  setSlotState(d, i, r, v);
  d->f107[i] = d->fb107[i] = 150.0;
  d->kp[i] = 3.0;
  d->cd[i] = 2.2;
  d->am[i] = 0.01;
  d->mnmot[i] = 15.5;
  d->RKFtol = 1e-8;
  d->mxit = 20;
  d->lift = 0.15;
}

}  // namespace support

#endif
