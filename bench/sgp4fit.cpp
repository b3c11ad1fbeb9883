// One refit of SGP4 mean elements to a state vector (rv2el's first guess and
// the Newton refinement on the model), for the orbit kinds the delta-V, launch
// and state-vector conversions meet. The state is SGP4's own at the epoch of
// each set, so that every refit converges.
//
// Sgp4Refit/<kind>: kinds 0 geostationary inclined 14 deg, 1 geostationary
// 0.05 deg, 2 Molniya, 3 12-hour navigation orbit, 4 low Earth orbit,
// 5 sun-synchronous, 6 geostationary 0.01 deg at a node where the first fit
// fails and the node scan near the equator runs (the slow path).
#include "orbit/sgp4fit.h"

#include <benchmark/benchmark.h>

namespace {

struct Kind {
  const char* name;
  Sgp4Mean el;
};

const Kind kKinds[] = {
    {"geo-14deg", {14.3027, 1.4071, 0.0003139, 285.3533, 74.6347, 1.00271}},
    {"geo-0.05deg", {0.05, 81.0, 0.0002, 250.0, 30.0, 1.00273}},
    {"molniya", {62.45, 108.14, 0.735, 265.07, 44.87, 2.00563}},
    {"gps-like", {54.29, 150.71, 0.0052, 34.16, 42.03, 2.00569}},
    {"leo", {51.64, 32.98, 0.00036, 28.72, 39.53, 15.5419}},
    {"sunsync", {97.44, 87.2, 0.0011, 46.9, 313.3, 15.238}},
    {"geo-0.01deg-scan", {0.01, 90.0, 0.0003, 80.0, 200.0, 1.0027}},
};

void Sgp4Refit(benchmark::State& state) {
  const Kind& kind = kKinds[state.range(0)];
  state.SetLabel(kind.name);
  const Sgp4Model m{wgs72, true, 61384.3, 1e-5};
  elsetrec rec;
  double r[3], v[3];
  if (sgp4initMean(m, kind.el, rec) != 0 || sgp4(wgs72, rec, 0.0, r, v) != 0) {
    state.SkipWithError("the set does not propagate");
    return;
  }
  const Vec3 rm(r[0] * 1000.0, r[1] * 1000.0, r[2] * 1000.0);
  const Vec3 vm(v[0] * 1000.0, v[1] * 1000.0, v[2] * 1000.0);
  int res = 0;
  for (auto _ : state) {
    Sgp4Mean el;
    res = sgp4fit(m, rm, vm, el);
    benchmark::DoNotOptimize(el);
  }
  if (res != RV2EL_OK) state.SkipWithError("the refit did not converge");
}
BENCHMARK(Sgp4Refit)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
