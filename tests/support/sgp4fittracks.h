// Independent SGP4 tracks made by python3-sgp4 (tests/tools/gen_rv2el_refs.py,
// gen_sgp4fit_refs.py): element sets with their TEME states at equal steps
// from epoch. Lines: "set <name> <epoch, days since 1950 Jan 0.0> <bstar>
// <ecc> <argp> <incl> <M> (deg) <n> (rev/day) <node> (deg)", then
// "st <t min> <x y z km> <vx vy vz km/s>" for each state.
#ifndef VORLIX_TESTS_SUPPORT_SGP4FITTRACKS_H
#define VORLIX_TESTS_SUPPORT_SGP4FITTRACKS_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/attlib.h"

namespace sgp4fit_test {

struct RefTrack {
  std::string name;
  // Epoch in days since 1950 Jan 0.0; angles in degrees; n in rev/day.
  double epoch = 0, bstar = 0, ecc = 0, argp = 0, incl = 0, M = 0, n = 0, node = 0;
  std::vector<double> t;   // minutes from epoch
  std::vector<Vec3> r, v;  // km, km/s
};

constexpr double kMjd1950 = 33281.0;  // MJD of 1950 Jan 0.0

// The tracks of tests/data/<file>.
inline std::vector<RefTrack> ReadTracks(const std::string& file) {
  std::ifstream f(std::string(VORLIX_TEST_DATA) + "/" + file);
  std::vector<RefTrack> out;
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind == "set") {
      RefTrack tr;
      s >> tr.name >> tr.epoch >> tr.bstar >> tr.ecc >> tr.argp >> tr.incl >> tr.M >> tr.n >>
          tr.node;
      out.push_back(tr);
    } else if (kind == "st" && !out.empty()) {
      double t, x, y, z, vx, vy, vz;
      s >> t >> x >> y >> z >> vx >> vy >> vz;
      out.back().t.push_back(t);
      out.back().r.emplace_back(x, y, z);
      out.back().v.emplace_back(vx, vy, vz);
    }
  }
  return out;
}

// The tracks of the refit tests: near the Earth and in deep space, hourly
// over 36 hours.
inline std::vector<RefTrack> ReadFitTracks() { return ReadTracks("sgp4fit-tracks.txt"); }

// Deep space: a period of at least 225 minutes.
inline bool DeepSpace(const RefTrack& tr) { return 1440.0 / tr.n >= 225.0; }

}  // namespace sgp4fit_test

#endif
