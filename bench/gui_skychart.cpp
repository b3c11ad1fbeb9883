// One sky-chart step of ten satellites (markers, names, tracks, panel,
// repaint), offscreen, on the zenith (0) and the horizon (3) view:
//   SkyStep/view: the chart is reused (steps within the redraw limit);
//   SkyStepRedraw/view: the chart (903 stars, Sun, Moon, planets) is drawn
//   again first;
//   SkyFromSatellite/view: the sky seen from the prime satellite, drawn
//   again at every step as the plot step does;
//   PaintSky/view: the chart alone onto the layer.
// The satellites are the ISS and JPSS-1 of tests/data/satpos-skyfield.txt,
// five times each, SGP4; the observer is Munich.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "astro/astrolib.h"
#include "engine/vorlixcom.h"
#include "gui/records.h"
#include "gui/skydraw.h"
#include "gui/skyframe.h"
#include "gui/vorlixview.h"
#include "support/guibench.h"

namespace {

struct Sky : guibench::PlotView {
  Sky() {
    indata->skymap = 1;
    indata->visflg = 0;
  }
  void set(int prj, bool fromSat) {
    indata->skyprj = prj;
    indata->skaz = 180;
    indata->satsky = fromSat;
    indata->curmjd = t0;
    view->vRefresh();
  }
};

Sky& sky() {
  static Sky s;
  return s;
}

void SkyStep(benchmark::State& st) {
  Sky& s = sky();
  s.set(static_cast<int>(st.range(0)), false);
  int k = 0;
  for (auto _ : st) {
    s.view->SatPlot(s.t0 + (k++ % 100) / 86400.0, 1);  // within 0.002 day: no redraw
  }
  if (indata->bkgmjd != s.t0) st.SkipWithError("the chart was redrawn");
}

void SkyStepRedraw(benchmark::State& st) {
  Sky& s = sky();
  s.set(static_cast<int>(st.range(0)), false);
  int k = 0;
  for (auto _ : st) {
    indata->curmjd = s.t0 + (k++ % 100) * 0.01;
    s.view->vRefresh();
    s.view->SatPlot(indata->curmjd, 1);
  }
}

void SkyFromSatellite(benchmark::State& st) {
  Sky& s = sky();
  s.set(static_cast<int>(st.range(0)), true);
  int k = 0;
  for (auto _ : st) {
    const double t = s.t0 + (k++ % 100) / 86400.0;
    s.view->SatPlot(t, 1);
    if (indata->bkgmjd != t) st.SkipWithError("the chart was not redrawn");
  }
}

void PaintSkyOnly(benchmark::State& st) {
  Sky& s = sky();
  s.set(static_cast<int>(st.range(0)), false);
  const MapFrame f = s.view->frame();
  int day, month, year;
  double hour;
  caldat(s.t0, day, month, year, hour);
  const double ttut = SetTtUt(indata, year);
  QPixmap layer(721, 501);
  for (auto _ : st) {
    layer.fill(Qt::white);
    QPainter p(&layer);
    PaintSky(p, f, *indata, ttut);
  }
}

}  // namespace

BENCHMARK(SkyStep)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(SkyStepRedraw)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(SkyFromSatellite)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaintSkyOnly)->Name("PaintSky")->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return guibench::run(argc, argv); }
