// GetSatPos per call, as a pass search calls it: one slot, the time
// advancing by one minute per call (every call a new time), engine defaults
// (R.A./Dec. of 2000, no IERS values, no magnitudes), observer at 48 N 11.6 E.
//
// Sgp4Leo: the ISS (near-Earth SGP4). Sgp4DeepSpace: a Molniya orbit (SDP4).
// Kepler: the built-in Kepler model with J2 rates. Argument: moonflg 0/1.
// SameTime: ten slots at one time (plots, lists): Sun, nutation and precession
// once per time.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "engine/satpos.h"
#include "support/record.h"

namespace {

struct Engine {
  std::unique_ptr<WinpData> d = support::newRecord(48.1374, 11.5755, 520.0);
  std::unique_ptr<SatPosData> sp = std::make_unique<SatPosData>();
  Engine() {
    std::memset(static_cast<void*>(sp.get()), 0, sizeof(SatPosData));
    d->yrepoch = 2000.0;
    d->satnr = 1;
  }
  void slot(int i, bool sgp, double epoch, double bstar, double ecc, double aper, double inc,
            double m0, double n, double node) {
    d->sgpflg[i] = sgp;
    d->epoch[i] = epoch;
    d->bstar[i] = bstar;
    d->ecc[i] = ecc;
    d->aper[i] = aper;
    d->inc[i] = inc;
    d->m0[i] = m0;
    d->mnmot[i] = n;
    d->ra[i] = node;
    d->a[i] = getsax(sgp ? 1 : 0, n, ecc, inc);
    d->sgpsat = SGPSAT_NONE;
  }
  void iss(int i, bool sgp) {
    slot(i, sgp, 58138.898088439833, 3.855e-05, 0.0003646, 28.7227, 51.6424, 39.5332,
         15.54190080, 32.9776);
  }
  void molniya(int i) {
    slot(i, true, 58137.336499929894, -2.4669e-04, 0.7349782, 265.0722, 62.4528, 44.8738,
         2.00563378, 108.1401);
  }
};

enum class Orbit { Sgp4Leo, Sgp4DeepSpace, Kepler };

void BM_GetSatPos(benchmark::State& state, Orbit orbit) {
  Engine e;
  if (orbit == Orbit::Sgp4DeepSpace) {
    e.molniya(0);
  } else {
    e.iss(0, orbit == Orbit::Sgp4Leo);
  }
  e.d->moonflg = static_cast<int>(state.range(0));
  double t = e.d->epoch[0];
  for (auto _ : state) {
    GetSatPos(t, e.d.get(), e.sp.get(), 0, 0);
    benchmark::DoNotOptimize(e.sp->el[0]);
    t += 1.0 / 1440.0;
  }
}
BENCHMARK_CAPTURE(BM_GetSatPos, Sgp4Leo, Orbit::Sgp4Leo)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(BM_GetSatPos, Sgp4DeepSpace, Orbit::Sgp4DeepSpace)->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(BM_GetSatPos, Kepler, Orbit::Kepler)->Arg(0)->Arg(1);

// Ten Kepler slots at one time, then the next time: per call.
void BM_GetSatPosSameTime(benchmark::State& state) {
  Engine e;
  for (int i = 0; i < MAXSEL; i++) e.iss(i, false);
  e.d->satnr = MAXSEL;
  e.d->moonflg = static_cast<int>(state.range(0));
  double t = e.d->epoch[0];
  for (auto _ : state) {
    for (int i = 0; i < MAXSEL; i++) GetSatPos(t, e.d.get(), e.sp.get(), i, 0);
    benchmark::DoNotOptimize(e.sp->el[9]);
    t += 1.0 / 1440.0;
  }
  state.SetItemsProcessed(state.iterations() * MAXSEL);
}
BENCHMARK(BM_GetSatPosSameTime)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
