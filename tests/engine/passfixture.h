// Shared set-up of the pass tests: a zero-filled record with the settings a
// pass search reads, slots filled through the TLE reader, and the reference
// tables of tests/data.
#ifndef VORLIX_TESTS_PASSFIXTURE_H
#define VORLIX_TESTS_PASSFIXTURE_H

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

namespace passfix {

constexpr double kSecDay = 1.0 / 86400.0;

inline std::string DataPath(const char* name) {
  return std::string(VORLIX_TEST_DATA) + "/" + name;
}

// A record as swelcm would leave it for a geometry-only pass search.
inline std::unique_ptr<WinpData> MakeRecord(double lat, double lng, double height) {
  auto d = std::make_unique<WinpData>();
  std::memset(d.get(), 0, sizeof(WinpData));
  d->lat = lat;
  d->lng = lng;
  d->height = height;
  d->wgs = 0;
  d->sdp4 = true;
  d->sgpsat = SGPSAT_NONE;
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
  std::string text = name + "\n" + l1 + "\n" + l2 + "\n";
  FILE* f = fmemopen(text.data(), text.size(), "r");
  ASSERT_NE(f, nullptr);
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", "*");
  d->srchmd = 0;
  char msg[TLEMSG_SIZE];
  const int r = tleread(d, f, msg, 0);
  std::fclose(f);
  ASSERT_GE(r, 1) << name << ": " << msg;
  ShiftElm(d, i, WORKSLOT);
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

// Rows of a CSV file with a header line (lines starting with '#' skipped).
using Row = std::map<std::string, std::string>;
inline std::vector<Row> ReadCsv(const char* file) {
  std::vector<Row> rows;
  std::ifstream f(DataPath(file));
  std::string line;
  std::vector<std::string> head;
  while (std::getline(f, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::stringstream ss(line);
    std::string c;
    while (std::getline(ss, c, ',')) cells.push_back(c);
    if (head.empty()) {
      head = cells;
      continue;
    }
    Row r;
    for (size_t k = 0; k < head.size(); ++k) r[head[k]] = k < cells.size() ? cells[k] : "";
    rows.push_back(r);
  }
  return rows;
}

inline double Num(const Row& r, const char* key) {
  auto it = r.find(key);
  if (it == r.end() || it->second.empty() || it->second == "nan" || it->second == "none")
    return NAN;
  return std::atof(it->second.c_str());
}

}  // namespace passfix

#endif
