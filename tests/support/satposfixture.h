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
#include "support/satposrefs.h"

namespace satpos_test {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

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
