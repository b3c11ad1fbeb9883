// SortAos over an all-satellite list of 50,000 pass lines (10,000 satellites,
// five passes each, written satellite after satellite as the list writes them),
// behind an earlier block that must be copied unchanged.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "engine/sortaos.h"
#include "support/files.h"

namespace {

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                  "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string makeList(int nsat, int npass, long& start) {
  std::mt19937 rng(42);
  std::string s = "Earlier pass details\nJUN 15  21:07:30  Az: 150.0  El: 61.0\n";
  start = static_cast<long>(s.size());
  s += "Geographic Location: Munich\n Lat.: 48.15   Long.: 11.58   Height: 520 \n\n"
       " min.Sat.Elev.: 10   max.Sun Elev.: -6   visible passes only\n"
       " Year: 2009  +++ Timezone: 1 +++ \n" +
       std::string(71, '=') +
       "\n  Start (Azim.,Elev.)    Maximum (Azim.,MaxElev.)     End (Azim.,Elev.)\n";
  char line[160];
  for (int i = 0; i < nsat; ++i) {
    s += '\n';
    for (int k = 0; k < npass; ++k) {
      int day = 15 + static_cast<int>(rng() % 4);
      int h = rng() % 24, m = rng() % 60, sec = rng() % 60;
      snprintf(line, sizeof line,
               "%s %2i  %2i:%02i:%02i (%3d,%3d)  %2i:%02i:%02i (%3d,%3d)  %2i:%02i:%02i "
               "(%3d,%3d)   SAT-%05d           \n",
               kMonths[5], day, h, m, sec, static_cast<int>(rng() % 360), 10, h, m, sec,
               static_cast<int>(rng() % 360), 45, h, m, sec, static_cast<int>(rng() % 360),
               10, i);
      s += line;
    }
  }
  return s;
}

void BM_SortAos50000(benchmark::State& state) {
  const support::TempDir dir;
  if (dir.path.empty()) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::string path = dir / "satsave.txt";
  long start = 0;
  const std::string list = makeList(10000, 5, start);
  std::unique_ptr<WinpData> d(new WinpData());
  snprintf(d->savnm, sizeof d->savnm, "%s", path.c_str());

  for (auto _ : state) {
    state.PauseTiming();
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(list.data(), 1, list.size(), f);
    fclose(f);
    state.ResumeTiming();
    SortAos(d.get(), start);
  }
  state.counters["lines"] = 50000;
}
BENCHMARK(BM_SortAos50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
