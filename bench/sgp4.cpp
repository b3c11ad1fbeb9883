// SGP4/SDP4 throughput over 10,000 element sets (low, medium, geostationary,
// highly eccentric; about 40 % deep space), WGS-72, deep-space switch on.
//
// Sgp4SatelliteMajor: all times of one satellite, then the next satellite
// (pass search, ground tracks).  Sgp4TimeMajor: all satellites at one time,
// then the next time (all-satellite lists), each satellite with its own
// initialised record.  Times: 0 to 1440 min after epoch in 10-min steps.
// Sgp4Init: initialisations per second.
#include "orbit/sgp4unit.h"
#include "support/data.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Elements {
  double epoch, bstar, ecc, argp, incl, mo, no, node;
};

// Plain fixed-column reading; the element sets are known to be well formed.
std::vector<Elements> loadSets() {
  std::vector<Elements> sets;
  std::ifstream in(support::benchDataPath("synthetic-10000.tle"));
  std::string l0, l1, l2;
  auto num = [](const std::string& s, size_t p, size_t n) { return std::atof(s.substr(p, n).c_str()); };
  while (std::getline(in, l0) && std::getline(in, l1) && std::getline(in, l2)) {
    if (l1.size() < 69 || l2.size() < 63) continue;
    Elements e;
    int yy = std::atoi(l1.substr(18, 2).c_str());
    int year = yy < 57 ? 2000 + yy : 1900 + yy;
    double days = 0;
    for (int y = 1950; y < year; ++y) days += (y % 4 == 0) ? 366 : 365;
    e.epoch = days + num(l1, 20, 12);
    std::string b = l1.substr(53, 8);
    e.bstar = (b[0] == '-' ? -1 : 1) * std::atof(("0." + b.substr(1, 5)).c_str()) *
              std::pow(10.0, std::atoi(b.substr(6, 2).c_str()));
    const double deg = kPi / 180.0;
    e.incl = num(l2, 8, 8) * deg;
    e.node = num(l2, 17, 8) * deg;
    e.ecc = std::atof(("0." + l2.substr(26, 7)).c_str());
    e.argp = num(l2, 34, 8) * deg;
    e.mo = num(l2, 43, 8) * deg;
    e.no = num(l2, 52, 11) * 2.0 * kPi / 1440.0;
    sets.push_back(e);
  }
  return sets;
}

std::vector<elsetrec>& records() {
  static std::vector<elsetrec> recs = [] {
    std::vector<elsetrec> out;
    for (const Elements& e : loadSets()) {
      elsetrec r{};
      sgp4init(wgs72, true, e.epoch, e.bstar, e.ecc, e.argp, e.incl, e.mo, e.no, e.node, r);
      out.push_back(r);
    }
    return out;
  }();
  return recs;
}

constexpr int kTimes = 145;  // 0 .. 1440 min
constexpr double kStep = 10.0;

void Sgp4SatelliteMajor(benchmark::State& state) {
  std::vector<elsetrec>& recs = records();
  if (recs.empty()) {
    state.SkipWithError("no element sets");
    return;
  }
  double r[3], v[3];
  long failures = 0;
  for (auto _ : state) {
    failures = 0;
    for (elsetrec& rec : recs) {
      for (int k = 0; k < kTimes; ++k) {
        failures += sgp4(wgs72, rec, k * kStep, r, v) != 0;
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(v);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(recs.size()) * kTimes);
  state.counters["failed"] = static_cast<double>(failures);
}
BENCHMARK(Sgp4SatelliteMajor)->Unit(benchmark::kMillisecond);

void Sgp4TimeMajor(benchmark::State& state) {
  std::vector<elsetrec>& recs = records();
  if (recs.empty()) {
    state.SkipWithError("no element sets");
    return;
  }
  double r[3], v[3];
  long failures = 0;
  for (auto _ : state) {
    failures = 0;
    for (int k = 0; k < kTimes; ++k) {
      const double t = k * kStep;
      for (elsetrec& rec : recs) {
        failures += sgp4(wgs72, rec, t, r, v) != 0;
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(v);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(recs.size()) * kTimes);
  state.counters["failed"] = static_cast<double>(failures);
}
BENCHMARK(Sgp4TimeMajor)->Unit(benchmark::kMillisecond);

void Sgp4Init(benchmark::State& state) {
  static const std::vector<Elements> sets = loadSets();
  elsetrec rec{};
  for (auto _ : state) {
    for (const Elements& e : sets) {
      int err = sgp4init(wgs72, true, e.epoch, e.bstar, e.ecc, e.argp, e.incl, e.mo, e.no, e.node, rec);
      benchmark::DoNotOptimize(err);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(sets.size()));
}
BENCHMARK(Sgp4Init)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
