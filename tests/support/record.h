// The engine record the core's tests and benchmarks start from.
#ifndef VORLIX_TESTS_SUPPORT_RECORD_H
#define VORLIX_TESTS_SUPPORT_RECORD_H

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

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

}  // namespace support

#endif
