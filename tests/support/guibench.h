// Shared by the window's benchmarks: the offscreen application around the
// benchmark run, and a shown view with satellites of skyfield's reference set.
#ifndef VORLIX_TESTS_SUPPORT_GUIBENCH_H
#define VORLIX_TESTS_SUPPORT_GUIBENCH_H

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

#include "gui/records.h"
#include "gui/vorlixview.h"
#include "tests/gui/plotfixture.h"

namespace guibench {

// main() of a window benchmark: offscreen unless a platform is chosen.
inline int run(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// A shown view on a configuration of its own, n satellites set up for
// plotting (plotfix::setUp); t0 is the time of the first reference row.
struct PlotView {
  QTemporaryDir dir;
  std::unique_ptr<VorlixView> view;
  plotfix::Refs refs = plotfix::loadRefs();
  double t0 = 0;
  explicit PlotView(int n = 10) {
    const QByteArray cfg = (dir.path() + "/vorlix.cfg").toLocal8Bit();
    view = std::make_unique<VorlixView>(nullptr, cfg.constData());
    view->show();
    plotfix::setUp(indata, refs, n);
    t0 = refs.rows.at(0).mjd;
  }
};

}  // namespace guibench

#endif
