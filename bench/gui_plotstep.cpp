// One plot step of ten satellites (markers, visibility circles, names,
// tracks, panel, repaint) on each world map kind, offscreen:
//   Step/kind/night: the background is reused (steps within 0.01 day);
//   StepRedraw/kind/night: the background is drawn again first;
//   DeltaRun/night: a Delta Time run of 1,000 one-minute steps on the
//   equirectangular map, through PlotDelta as the timer calls it.
// kind: 0 equirectangular, 1 north polar, 2 south polar, 3 physical image.
// The satellites are the ISS and JPSS-1 of tests/data/satpos-skyfield.txt,
// five times each, SGP4.
#include <benchmark/benchmark.h>

#include "gui/records.h"
#include "gui/vorlixview.h"
#include "support/guibench.h"

namespace {

struct Plot : guibench::PlotView {
  void set(int kind, int night) {
    indata->mapprj = kind;
    indata->mpnight = night;
    indata->curmjd = t0;
    view->vRefresh();
  }
};

Plot& plot() {
  static Plot p;
  return p;
}

void Step(benchmark::State& st) {
  Plot& p = plot();
  p.set(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  int k = 0;
  for (auto _ : st) {
    p.view->SatPlot(p.t0 + (k++ % 100) / 86400.0, 1);  // within 0.01 day: no redraw
  }
  if (indata->bkgmjd != p.t0) st.SkipWithError("the background was redrawn");
}

void StepRedraw(benchmark::State& st) {
  Plot& p = plot();
  p.set(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  int k = 0;
  for (auto _ : st) {
    indata->curmjd = p.t0 + (k++ % 100) * 0.02;
    p.view->vRefresh();
    p.view->SatPlot(indata->curmjd, 1);
  }
}

void DeltaRun(benchmark::State& st) {
  Plot& p = plot();
  p.set(0, static_cast<int>(st.range(0)));
  int steps = 0;
  for (auto _ : st) {
    indata->curmjd = p.t0;
    p.view->dtend = p.t0 + 1000 * indata->tstep;
    steps = 0;
    while (p.view->PlotDelta() == 0) ++steps;
  }
  if (steps != 1000) st.SkipWithError("the run did not draw 1000 steps");
  st.counters["steps"] = steps;
}

}  // namespace

BENCHMARK(Step)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(StepRedraw)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(DeltaRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return guibench::run(argc, argv); }
