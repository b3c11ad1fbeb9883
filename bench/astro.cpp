// Costs of the Sun and Moon series and of the 50-term nutation matrix, which
// run on every time step.
#include <benchmark/benchmark.h>

#include "astro/astrolib.h"

static void BM_Sun200Position(benchmark::State& state) {
  double T = 0.2;
  for (auto _ : state) {
    Sun200 sun;
    Vec3 r = sun.position(T);
    benchmark::DoNotOptimize(r);
    T += 1e-7;
  }
}
BENCHMARK(BM_Sun200Position);

static void BM_Moon200Position(benchmark::State& state) {
  double T = 0.2;
  for (auto _ : state) {
    Moon200 moon;
    Vec3 r = moon.position(T);
    benchmark::DoNotOptimize(r);
    T += 1e-7;
  }
}
BENCHMARK(BM_Moon200Position);

static void BM_NutmatFull(benchmark::State& state) {
  double T = 0.2, eqeq;
  for (auto _ : state) {
    Mat3 n = nutmat(T, eqeq, true);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(eqeq);
    T += 1e-7;
  }
}
BENCHMARK(BM_NutmatFull);

static void BM_NutmatShort(benchmark::State& state) {
  double T = 0.2, eqeq;
  for (auto _ : state) {
    Mat3 n = nutmat(T, eqeq, false);
    benchmark::DoNotOptimize(n);
    T += 1e-7;
  }
}
BENCHMARK(BM_NutmatShort);

BENCHMARK_MAIN();
