// Plan200 for the five planets the sky chart draws (Mercury to Saturn), as on
// every redraw: one object, one call per planet.
#include <benchmark/benchmark.h>

#include "astro/astr2lib.h"

namespace {

void BM_SkyChartFivePlanets(benchmark::State& state) {
  double T = 0.2417;  // 2024
  for (auto _ : state) {
    Plan200 p;
    Vec3 sum = p.Mercury(T);
    sum += p.Venus(T);
    sum += p.Mars(T);
    sum += p.Jupiter(T);
    sum += p.Saturn(T);
    benchmark::DoNotOptimize(sum);
    T += 1e-7;  // a new instant each redraw
  }
}
BENCHMARK(BM_SkyChartFivePlanets);

void BM_Planet(benchmark::State& state) {
  using Fn = Vec3 (Plan200::*)(double);
  static const Fn fns[] = {&Plan200::Mercury, &Plan200::Venus,  &Plan200::Mars,
                           &Plan200::Jupiter, &Plan200::Saturn, &Plan200::Uranus,
                           &Plan200::Neptune, &Plan200::Pluto};
  const Fn fn = fns[state.range(0)];
  double T = 0.2417;
  for (auto _ : state) {
    Plan200 p;
    benchmark::DoNotOptimize((p.*fn)(T));
    T += 1e-7;
  }
}
BENCHMARK(BM_Planet)->DenseRange(0, 7);

}  // namespace

BENCHMARK_MAIN();
