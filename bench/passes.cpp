// Pass list and flare search speed.
//
// AospassLeo10Days: the pass list of a low orbit (the ISS, 2018 elements)
// over 10 days with the start-up settings (visible passes, satellite above
// 10 deg, Sun below -6 deg). geometry:1: the same with every condition but
// the elevation off (visflg 0, Sun limit 90 deg). AospassGeo:
// a geostationary object always above the observer over 10 days, with the
// start-up settings and geometry only (one position per minute for the whole
// interval). IridiumFlares1Day: the Iridium flare search (three mirrors) of
// one satellite over one day, geometry only (one flare found).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/config.h"
#include "engine/passtext.h"
#include "engine/tle.h"
#include "support/record.h"

namespace {

struct Elements {
  const char* name;
  const char* l1;
  const char* l2;
};
const Elements kIss = {"ISS (ZARYA)",
                       "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992",
                       "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614"};
const Elements kGoes = {"GOES 16",
                        "1 41866U 16071A   18019.87773469 -.00000245  00000-0  00000-0 0  9992",
                        "2 41866   0.0069 115.0916 0001074 269.6956 335.2025  1.00271237  4322"};
const Elements kIridium = {
    "IRIDIUM 73 [-]",
    "1 25344U 98032C   18020.80229184  .00000127  00000-0  28016-4 0  9996",
    "2 25344  86.4439 111.0246 0002762  87.2025 272.9496 14.49090389 38760"};

struct Setup {
  std::unique_ptr<WinpData> d = std::make_unique<WinpData>();
  std::unique_ptr<WoutData> o = std::make_unique<WoutData>();
};

// Start-up settings (no configuration file), one satellite read from its
// element lines, the interval from 2018-01-21 0h UT.
Setup Make(const Elements& tle, double lat, double lng, double days) {
  Setup s;
  std::memset(s.d.get(), 0, sizeof(WinpData));
  swelcm(s.d.get(), s.o.get(), "/nonexistent/vorlix.cfg");
  WinpData* d = s.d.get();
  d->lat = lat;
  d->lng = lng;
  d->height = 100.0;
  d->tzone = 0.0;
  d->year = 2018;
  d->month = 1;
  d->day = 21;
  d->hour = d->minute = d->second = 0;
  d->dur = days;
  d->filsav = 0;
  d->satnr = 0;
  if (support::loadTle(d, 0, tle.name, tle.l1, tle.l2)) {
    d->satnr = 1;
    d->prs = 0;
  }
  return s;
}

void Geometry(WinpData* d) {
  d->visflg = 0;
  d->sunel = 90.0;
  d->satel = 0.0;
}

// The pass list of one satellite over 10 days; range(0) = 1: geometry only.
void List10Days(benchmark::State& state, const Elements& tle, double lat, double lng) {
  Setup s = Make(tle, lat, lng, 10.0);
  if (state.range(0)) {
    Geometry(s.d.get());
    s.d->satel = 10.0;  // the start-up minimum elevation
  }
  for (auto _ : state) {
    aospass(s.d.get(), s.o.get());
    benchmark::DoNotOptimize(s.d->npass);
  }
  state.counters["passes"] = s.d->npass;
  if (s.d->satnr != 1) state.SkipWithError("satellite not loaded");
}

void BM_AospassLeo10Days(benchmark::State& state) { List10Days(state, kIss, 48.15, 11.58); }
BENCHMARK(BM_AospassLeo10Days)->ArgName("geometry")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_AospassGeo10Days(benchmark::State& state) { List10Days(state, kGoes, 38.90, -77.04); }
BENCHMARK(BM_AospassGeo10Days)->ArgName("geometry")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_IridiumFlares1Day(benchmark::State& state) {
  Setup s = Make(kIridium, 48.15, 11.58, 1.0);
  WinpData* d = s.d.get();
  Geometry(d);
  d->iridflg = 3;
  d->day = 22;     // a day with a flare over this observer
  d->irmag = 6.0;  // every flare the eye can see
  d->mxdist = 50.0;
  d->occdec = -40.0;
  int events = 0;
  for (auto _ : state) {
    aospass(d, s.o.get());
    events = d->npass;
    benchmark::DoNotOptimize(events);
  }
  state.counters["flares"] = events;
  if (d->satnr != 1) state.SkipWithError("satellite not loaded");
}
BENCHMARK(BM_IridiumFlares1Day)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
