// Window speed, offscreen.
//
// StartUpTenSatellites: from the records as at program load to the first
// painted main window (engine start-up on a 10,000-object TLE file with ten
// configured satellites near its end, pixmaps, welcome page, menus, tool bar,
// one rendering of the whole window).
// TextPageCells / TextPageProportional: a full page of 160 lines of 76
// characters drawn into the text pixmap, as cell lines and as ordinary text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <cstring>

#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/windowfixture.h"
#include "support/guibench.h"

namespace {

void StartUpTenSatellites(benchmark::State& state) {
  WindowFixture fx;
  QFile::copy(QStringLiteral(VORLIX_BENCH_DATA "/synthetic-10000.tle"), fx.path("big.tle"));
  QStringList sats;  // the last ten names of the file: the longest searches
  {
    QFile f(fx.path("big.tle"));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList names;
    int line = 0;
    while (!f.atEnd()) {
      const QByteArray l = f.readLine().trimmed();
      if (line++ % 3 == 0) names << QString::fromLatin1(l);
    }
    sats = names.mid(names.size() - 10);
  }
  fx.writeConfig(QStringLiteral("big.tle"), sats);
  for (auto _ : state) {
    auto w = fx.start();
    w->show();
    benchmark::DoNotOptimize(w->grab());
    state.PauseTiming();
    if (indata->satnr != 10) state.SkipWithError("the ten satellites were not found");
    w.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartUpTenSatellites)->Unit(benchmark::kMillisecond);

void fullPage(bool marked) {
  outdata->nlines = WOUT_NLINES;
  for (int k = 0; k < WOUT_NLINES; ++k) {
    char* l = outdata->lines[k];
    for (int j = 0; j < WOUT_LINELEN; ++j) l[j] = static_cast<char>('0' + (k + j) % 43);
    l[WOUT_MARK] = marked ? '~' : '\0';
  }
}

void TextPage(benchmark::State& state, bool cells) {
  WindowFixture fx;
  WindowFixture::zeroRecords();
  VorlixView view;
  fullPage(cells);
  for (auto _ : state) view.showtxt(cells);
}

void TextPageCells(benchmark::State& state) { TextPage(state, true); }
void TextPageProportional(benchmark::State& state) { TextPage(state, false); }
BENCHMARK(TextPageCells)->Unit(benchmark::kMillisecond);
BENCHMARK(TextPageProportional)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return guibench::run(argc, argv); }
