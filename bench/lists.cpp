// The searches over a whole TLE file: the all-satellite list for one day (on
// one thread, two, and one per core; real time) and the matching of an
// observation.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/lists.h"
#include "engine/orbitdet.h"
#include "engine/vorlixcom.h"
#include "support/data.h"
#include "support/files.h"
#include "support/record.h"

namespace {

std::unique_ptr<WinpData> Record(const char* tle, int day, int month, int year) {
  auto d = support::newRecord(48.1, 11.6, 520.0);
  d->satel = 10.0;
  d->sunel = -6.0;
  d->dur = 1.0;
  d->day = day;
  d->month = month;
  d->year = year;
  std::snprintf(d->geoname, GEONAME_SIZE, "Bench");
  std::snprintf(d->tlenm, FILENAME_SIZE, "%s", support::benchDataPath(tle).c_str());
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", support::tempPath("lists.txt").c_str());
  return d;
}

// One day of passes of every object, on range(1) threads (0: one per core).
// range(0): 0 geometry only (Sun limit 90 deg: daylight passes too, no
// hourly steps while the Sun is up, the most samples per object), 1 the Sun
// below -6 deg, 2 visible passes (the satellite sunlit, the Sun below -6 deg).
void AllSat(benchmark::State& state, const char* tle, int day, int month, int year) {
  auto d = Record(tle, day, month, year);
  const int setting = static_cast<int>(state.range(0));
  d->sunel = setting == 0 ? 90.0 : -6.0;
  d->visflg = setting == 2;
  SetListThreads(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    d->svnew = 1;
    if (AllSatAos(d.get()) != ALLSAT_DONE) state.SkipWithError("AllSatAos failed");
  }
  state.counters["threads"] = ListThreads();
  SetListThreads(0);
  std::remove(d->savnm);
}

void BM_AllSatAos_Synthetic10000(benchmark::State& state) {
  AllSat(state, "synthetic-10000.tle", 20, 1, 2024);
}
BENCHMARK(BM_AllSatAos_Synthetic10000)
    ->ArgNames({"setting", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 2, 0}})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_AllSatAos_Catalogue2018(benchmark::State& state) {
  AllSat(state, "catalogue-2018.tle", 21, 1, 2018);
}
BENCHMARK(BM_AllSatAos_Catalogue2018)
    ->ArgNames({"setting", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 2, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Matching around a point 45 deg high in the south, within 5 deg, +-tm min.
void BM_SatMatch_Synthetic10000(benchmark::State& state) {
  auto d = Record("synthetic-10000.tle", 20, 1, 2024);
  d->curmjd = 60329.0;  // 2024-01-20 00:00 UT
  d->mtaz = 180.0;
  d->mtel = 45.0;
  d->mxa = 5.0;
  d->tm = static_cast<double>(state.range(0));
  d->satel = 0.0;
  d->sunel = 90.0;
  auto o = std::make_unique<WoutData>();
  for (auto _ : state) {
    d->satnr = 0;
    SatMatch(d.get(), o.get());
  }
  int matches = 0;
  for (int k = 0; k < o->nlines; ++k) matches += std::strncmp(o->lines[k], " NORAD#", 7) == 0;
  state.counters["matches"] = matches;
}
BENCHMARK(BM_SatMatch_Synthetic10000)->Arg(1)->Arg(10)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
