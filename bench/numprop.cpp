// Numerical propagation: one day of a 400 km LEO with every force on, one
// evaluation of the equations of motion, and the degree-20 geopotential.
#include <benchmark/benchmark.h>

#include <cstring>

#include "astro/astrolib.h"
#include "orbit/vorlixnum.h"
#include "support/record.h"

namespace {

constexpr double kEpoch = 58849.0;  // 2020 January 1

void setup(WinpData& d) {
  std::memset(&d, 0, sizeof d);
  d.RKFtol = 1e-8;
  d.mxit = 20;
  d.lift = 0.15;
  d.sunf = d.moonf = true;
  d.f107[0] = 160;
  d.fb107[0] = 155;
  d.kp[0] = 4;
  d.cd[0] = 2.3;
  d.cr[0] = 1.3;
  d.am[0] = 0.01;
  d.epoch[0] = d.tint[0] = kEpoch;
  Vec3 r, v;
  kepler(3.986004415e14, 0.0, 0.0, 10.0, 6378137.0 + 400e3, 0.0005, 30.0, 40.0, 51.6, r, v);
  support::setSlotState(&d, 0, r, v);
}

// Sun and Moon at the end time, as the caller would pass them (Earth radii).
void bodies(double mjd, Vec3& sun, Vec3& moon) {
  double T = julcent(mjd + 69.184 / 86400.0);
  Sun200 s;
  Moon200 m;
  sun = eclequ(T, s.position(T)) * 23454.79106062;
  moon = eclequ(T, m.position(T));
}

void BM_NumPropLeoOneDay(benchmark::State& state) {
  static WinpData d;
  Vec3 sun, moon, r, v;
  bodies(kEpoch + 1.0, sun, moon);
  for (auto _ : state) {
    setup(d);
    int st = NumProp(kEpoch + 1.0, &d, 0, sun, moon, r, v);
    benchmark::DoNotOptimize(st);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_NumPropLeoOneDay)->Unit(benchmark::kMillisecond);

// The longest a call can take: sixty days of the LEO in one call spend the
// whole evaluation budget (the call stops there, NUMPROP_STOPPED).
void BM_NumPropWholeBudget(benchmark::State& state) {
  static WinpData d;
  Vec3 sun, moon, r, v;
  bodies(kEpoch + 60.0, sun, moon);
  int st = NUMPROP_OK;
  for (auto _ : state) {
    setup(d);
    st = NumProp(kEpoch + 60.0, &d, 0, sun, moon, r, v);
    benchmark::DoNotOptimize(r);
  }
  if (st != NUMPROP_STOPPED) state.SkipWithError("the budget was not spent");
}
BENCHMARK(BM_NumPropWholeBudget)->Unit(benchmark::kMillisecond);

// A satellite that came down: a call after the impact, one pass-search step.
void BM_NumPropHeldOnTheGround(benchmark::State& state) {
  static WinpData d;
  setup(d);
  support::setSlotState(&d, 0, Vec3(6778e3, 0.0, 0.0), Vec3(0.0, 4800.0, 5900.0));
  Vec3 sun, moon, r, v;
  bodies(kEpoch + 8.0, sun, moon);
  if (NumProp(kEpoch + 8.0, &d, 0, sun, moon, r, v) != NUMPROP_DECAYED) {
    state.SkipWithError("it did not come down");
    return;
  }
  double t = kEpoch + 8.0;
  for (auto _ : state) {
    t += 1.0 / 1440.0;
    benchmark::DoNotOptimize(NumProp(t, &d, 0, sun, moon, r, v));
  }
}
BENCHMARK(BM_NumPropHeldOnTheGround);

void BM_RKfunAllForces(benchmark::State& state) {
  static WinpData d;
  setup(d);
  nmrksx = 0;
  Vec3 sun, moon;
  bodies(kEpoch, sun, moon);
  spos = sun * 6378137.0;
  mpos = moon * 6378137.0;
  double y[6] = {d.rx[0], d.ry[0], d.rz[0], d.vx[0], d.vy[0], d.vz[0]}, f[6];
  double t = 0.0;
  for (auto _ : state) {
    RKfun(t, y, f, &d);
    t += 1e-3;
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_RKfunAllForces);

void BM_HarmAccDegree20(benchmark::State& state) {
  Vec3 r(4.1e6, -3.3e6, 4.4e6), a;
  for (auto _ : state) {
    HarmAcc(r, 20, a);
    benchmark::DoNotOptimize(a);
    r.x += 1e-3;
  }
}
BENCHMARK(BM_HarmAccDegree20);

}  // namespace

BENCHMARK_MAIN();
