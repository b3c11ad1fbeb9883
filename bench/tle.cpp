// Reading a whole element file with the '*' search, as the all-satellite list
// does: every record is parsed, its semi-major axis and information text made
// and its state at epoch computed (EpochState: one SGP4 initialisation and one
// position per set). File: 10,000 synthetic sets, about 40 % deep space.
#include "engine/tle.h"
#include "support/data.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

void TleReadAll(benchmark::State& state) {
  const std::string path = support::benchDataPath("synthetic-10000.tle");
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) {
    state.SkipWithError("synthetic-10000.tle missing");
    return;
  }
  auto d = std::make_unique<WinpData>();
  d->sdp4 = true;
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "*");
  char msg[TLEMSG_SIZE];
  int sets = 0;
  for (auto _ : state) {
    std::rewind(f);
    sets = 0;
    while (tleread(d.get(), f, msg, 0) != 0) ++sets;
    benchmark::DoNotOptimize(d->rx[WORKSLOT]);
  }
  std::fclose(f);
  state.counters["sets"] = sets;
  state.counters["us_per_set"] =
      benchmark::Counter(static_cast<double>(sets) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(TleReadAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
