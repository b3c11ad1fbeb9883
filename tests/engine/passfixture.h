// Shared set-up of the pass tests: a zero-filled record with the settings a
// pass search reads, slots filled straight from TLE columns, and the
// reference tables of tests/data.
#ifndef VORLIX_TESTS_PASSFIXTURE_H
#define VORLIX_TESTS_PASSFIXTURE_H

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "astro/astrolib.h"
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

inline double Field(const std::string& line, int col, int n) {
  if (static_cast<int>(line.size()) < col - 1 + n) return 0.0;
  return std::atof(line.substr(col - 1, n).c_str());
}

// TLE exponent field " NNNNN-E" = 0.NNNNN x 10^-E.
inline double ExpField(const std::string& line, int col) {
  std::string f = line.substr(col - 1, 8);
  const double sign = f[0] == '-' ? -1.0 : 1.0;
  const double mant = std::atof(("0." + f.substr(1, 5)).c_str());
  const int ex = std::atoi(f.substr(6, 2).c_str());
  return sign * mant * std::pow(10.0, ex);
}

// Fills slot i from the two element lines (SGP4 mean elements).
inline void LoadSlot(WinpData* d, int i, const std::string& name, const std::string& l1,
                     const std::string& l2) {
  std::snprintf(d->satname[i], SATNAME_SIZE, "%s", name.c_str());
  d->norad[i] = static_cast<int>(Field(l1, 3, 5));
  int yy = static_cast<int>(Field(l1, 19, 2));
  const int year = yy < 57 ? 2000 + yy : 1900 + yy;
  const double doy = Field(l1, 21, 12);
  d->epoch[i] = mjd(1, 1, year, 0.0) - 1.0 + doy;
  d->ndot[i] = Field(l1, 34, 10);
  d->n6dot[i] = ExpField(l1, 45);
  d->bstar[i] = ExpField(l1, 54);
  d->inc[i] = Field(l2, 9, 8);
  d->ra[i] = Field(l2, 18, 8);
  d->ecc[i] = std::atof(("0." + l2.substr(26, 7)).c_str());
  d->aper[i] = Field(l2, 35, 8);
  d->m0[i] = Field(l2, 44, 8);
  d->mnmot[i] = Field(l2, 53, 11);
  d->a[i] = getsax(1, d->mnmot[i], d->ecc[i], d->inc[i]);
  d->sgpflg[i] = 1;
  d->nmflg[i] = 0;
  d->sgpsat = SGPSAT_NONE;
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
