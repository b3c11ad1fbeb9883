// Shared set-up of the list, matching and local-information tests: a record
// with an observer and plain search settings, and element sets put straight
// into a slot.
#ifndef VORLIX_TESTS_SUPPORT_LISTSFIXTURE_H
#define VORLIX_TESTS_SUPPORT_LISTSFIXTURE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/vorlixcom.h"
#include "support/data.h"
#include "support/files.h"
#include "support/record.h"

namespace listsfx {

inline std::string DataPath(const std::string& name) { return support::dataPath("lists/" + name); }

// Observer near Munich, geometric elevations, every pass above 0 deg whatever
// the Sun, all times UT.
inline std::unique_ptr<WinpData> NewRecord() {
  auto d = support::newRecord(48.1, 11.6, 520.0);
  d->satel = 0.0;
  d->sunel = 90.0;
  d->tzone = 0.0;
  d->dur = 1.0;
  std::snprintf(d->geoname, GEONAME_SIZE, "Test site");
  return d;
}

inline double Field(const std::string& l, int col, int n) {
  return std::atof(l.substr(col - 1, n).c_str());
}

// Puts the element set (name line, line 1, line 2) into slot i as SGP4 mean
// elements.
inline void LoadTle(WinpData* d, int i, const std::string& name, const std::string& l1,
                    const std::string& l2) {
  int yy = static_cast<int>(Field(l1, 19, 2));
  cnvepch(d, yy < 57 ? 2000 + yy : 1900 + yy, Field(l1, 21, 12), nullptr);
  d->epoch[i] = d->epoch[WORKSLOT];
  d->norad[i] = static_cast<int>(Field(l1, 3, 5));
  std::snprintf(d->satname[i], SATNAME_SIZE, "%s", name.substr(0, 20).c_str());
  std::snprintf(d->dsn[i], DSN_SIZE, "%s", "");
  d->inc[i] = Field(l2, 9, 8);
  d->ra[i] = Field(l2, 18, 8);
  d->ecc[i] = std::atof(("0." + l2.substr(26, 7)).c_str());
  d->aper[i] = Field(l2, 35, 8);
  d->m0[i] = Field(l2, 44, 8);
  d->mnmot[i] = Field(l2, 53, 11);
  d->ndot[i] = Field(l1, 34, 10);
  const double mant = std::atof(("0." + l1.substr(54, 5)).c_str());
  const double bexp = Field(l1, 60, 2);
  d->bstar[i] = (l1[53] == '-' ? -mant : mant) * std::pow(10.0, bexp);
  d->sgpflg[i] = 1;
  d->nmflg[i] = 0;
  d->a[i] = getsax(1, d->mnmot[i], d->ecc[i], d->inc[i]);
  d->sgpsat = SGPSAT_NONE;
}

struct Tle {
  std::string name, l1, l2;
};

inline std::vector<Tle> ReadTles(const std::string& path) {
  std::ifstream f(path);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(f, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) lines.push_back(l);
  }
  std::vector<Tle> out;
  for (size_t k = 0; k + 2 < lines.size(); k += 3) out.push_back({lines[k], lines[k + 1], lines[k + 2]});
  return out;
}

inline Tle FindTle(const std::string& path, int norad) {
  for (const Tle& t : ReadTles(path))
    if (static_cast<int>(Field(t.l1, 3, 5)) == norad) return t;
  return {};
}

inline void WriteTles(const std::string& path, const std::vector<Tle>& tles) {
  std::ofstream f(path);
  for (const Tle& t : tles) f << t.name << "\n" << t.l1 << "\n" << t.l2 << "\n";
}

// In the process's own directory: the lists sort through "vorlix.tmp" beside
// the save file, which parallel test programs must not share.
inline std::string TempPath(const std::string& name) { return support::tempPath(name); }

inline std::string PageText(const WoutData& o) {
  std::string s;
  char buf[WOUT_LINELEN + 1];
  for (int k = 0; k < o.nlines; ++k) {
    WoutLineCopy(&o, k, buf);
    s += buf;
    s += "\n";
  }
  return s;
}

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kSec = 1.0 / 86400.0;

}  // namespace listsfx

#endif
