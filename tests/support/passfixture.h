// Shared set-up of the pass tests: a zero-filled record with the settings a
// pass search reads, slots filled through the TLE reader, and the reference
// tables of tests/data.
#ifndef VORLIX_TESTS_SUPPORT_PASSFIXTURE_H
#define VORLIX_TESTS_SUPPORT_PASSFIXTURE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include <gtest/gtest.h>

#include "engine/tle.h"
#include "engine/vorlixcom.h"
#include "support/csv.h"
#include "support/data.h"
#include "support/record.h"

namespace passfix {

constexpr double kSecDay = 1.0 / 86400.0;

inline std::string DataPath(const char* name) { return support::dataPath(name); }

// A record as swelcm would leave it for a geometry-only pass search.
inline std::unique_ptr<WinpData> MakeRecord(double lat, double lng, double height) {
  auto d = support::newRecord(lat, lng, height);
  d->yrepoch = 2000.0;
  d->satel = 0.0;
  d->sunel = 90.0;
  d->tstep = 1.0 / 1440.0;
  d->stepmin = 1;
  d->irmag = 0.0;
  d->mxdist = 0.0;
  d->dur = 1.0;
  std::snprintf(d->geoname, sizeof d->geoname, "%s", "Test Place");
  std::snprintf(d->savnm, sizeof d->savnm, "%s", "satsave.txt");
  return d;
}

// Fills slot i from the element lines through the TLE reader (a name search
// for every record of an in-memory file; work slot 10, then copied).
inline void LoadSlot(WinpData* d, int i, const std::string& name, const std::string& l1,
                     const std::string& l2) {
  char msg[TLEMSG_SIZE];
  ASSERT_TRUE(support::loadTle(d, i, name, l1, l2, msg)) << name << ": " << msg;
}

struct Tle {
  std::string name, l1, l2;
};

inline std::map<std::string, Tle> ReadTles(const char* file) {
  std::map<std::string, Tle> m;
  std::ifstream f(DataPath(file));
  std::string a, b, c;
  while (std::getline(f, a) && std::getline(f, b) && std::getline(f, c)) {
    while (!a.empty() && (a.back() == ' ' || a.back() == '\r')) a.pop_back();
    m[a] = Tle{a, b, c};
  }
  return m;
}

// A record with the observer at lat, lng, height and slot 0 holding the
// element set `name` of tests/data/passes.tle.
inline std::unique_ptr<WinpData> SlotRecord(const char* name, double lat, double lng,
                                            double height) {
  static const auto tles = ReadTles("passes.tle");
  auto d = MakeRecord(lat, lng, height);
  const Tle& t = tles.at(name);
  LoadSlot(d.get(), 0, t.name, t.l1, t.l2);
  d->satnr = 1;
  return d;
}

// The ISS elements of tests/data/lists/visual-2009.tle. SGP4 gives them a
// position in 2009, none for a part of each orbit from August 2012 on, and
// years later none at all.
inline const Tle& OldIss() {
  static const Tle t = ReadTles("lists/visual-2009.tle").at("ISS (ZARYA)");
  return t;
}

// A record with the observer at Munich and slot 0 holding OldIss().
inline std::unique_ptr<WinpData> OldIssRecord() {
  auto d = MakeRecord(48.15, 11.58, 520.0);
  const Tle& t = OldIss();
  LoadSlot(d.get(), 0, t.name, t.l1, t.l2);
  d->satnr = 1;
  return d;
}

// The reference tables, a row by column name.
using Row = support::CsvRow;
inline std::vector<Row> ReadCsv(const char* file) { return support::readCsvRows(file); }
inline double Num(const Row& r, const char* key) { return support::csvNum(r, key); }

}  // namespace passfix

#endif
