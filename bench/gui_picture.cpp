// The photograph of a 24-megapixel camera (6000 x 4000) in the window, shown
// in a 1280 x 900 scroll area on the offscreen platform, calibrated:
//   Click/scale: a picked point (reading, texts on the working picture,
//     repaint);
//   Overlay/scale: one plot step of ten satellites on it (positions, time and
//     R.A./Dec. line, markers and names, repaint);
//   Scale/scale: the picture made anew at a scale (the size actions).
// scale: 0 full size, 2 half, 3 quarter. The plate and the ISS (ten times) are
// those of tests/data/gui/photo-refs.txt, so the markers land on the picture.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollArea>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "engine/plate.h"
#include "engine/tle.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "tests/gui/photorefs.h"
#include "support/guibench.h"
#include "support/orbitslots.h"

namespace {

struct Picture {
  QTemporaryDir dir;
  QScrollArea area;
  VorlixView* view = nullptr;
  photo::Refs refs = photo::load(VORLIX_TEST_DATA);
  QImage image;
  int scale = -1;

  Picture() {
    const QByteArray cfg = (dir.path() + "/vorlix.cfg").toLocal8Bit();
    view = new VorlixView(nullptr, cfg.constData());
    area.setWidget(view);
    area.resize(1280, 900);
    area.show();
    QApplication::processEvents();  // exposed: repaints draw
    image = photo::render(refs, refs.plate("photo"), 6000, 4000);
    view->vPicture(image);
    // Ten times the ISS, seen from where it stands on the photograph.
    WinpData* d = indata;
    if (LoadSatFrom(QStringLiteral("gui/match.tle"), "ISS", 0))
      for (int i = 1; i < MAXSEL; ++i) ShiftElm(d, i, WORKSLOT);
    d->satnr = MAXSEL;
    d->prs = 0;
    d->lat = refs.sat.lat;
    d->lng = refs.sat.lng;
    d->height = refs.sat.h;
    d->visflg = 0;
    d->shwnm = 1;
    d->yrepoch = 2000;
  }

  // The picture at scale s, calibrated on the reference stars of the plate
  // (their pixels taken at that scale).
  void set(int s) {
    if (s != scale) view->vImage(s);
    scale = s;
    WinpData* d = indata;
    const photo::Plate& p = refs.plate("photo");
    const int hr[3] = {1852, 1788, 1903};
    const double f = s == 2 ? 0.5 : s == 3 ? 0.25 : 1.0;
    for (int k = 0; k < 3; ++k) {
      const photo::Star& st = refs.stars.at(hr[k]);
      d->picra[k] = st.ra * photo::kDeg;
      d->picdec[k] = st.dec * photo::kDeg;
      d->refx[k] = static_cast<int>(p.star(hr[k])->px * f);
      d->refy[k] = static_cast<int>(p.star(hr[k])->py * f);
    }
    getPlateConst(*d);
    d->npicpt = 6;
  }
};

Picture& picture() {
  static Picture p;
  return p;
}

void Click(benchmark::State& st) {
  Picture& p = picture();
  p.set(static_cast<int>(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    p.view->astroEvent(100 + (k % 50), 200 + (k % 70), true);
    ++k;
  }
  if (indata->npicpt != 6) st.SkipWithError("the picture was not calibrated");
}

void Overlay(benchmark::State& st) {
  Picture& p = picture();
  p.set(static_cast<int>(st.range(0)));
  int k = 0;
  for (auto _ : st) p.view->SatPlot(p.refs.sat.mjd + (k++ % 60) / 86400.0, 0);
  if (p.view->mkx[0] > p.view->pmpicw.width()) st.SkipWithError("the ISS is not on the picture");
}

void Scale(benchmark::State& st) {
  Picture& p = picture();
  const int s = static_cast<int>(st.range(0));
  for (auto _ : st) p.view->vImage(s);
  p.scale = s;
}

}  // namespace

BENCHMARK(Click)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Overlay)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Scale)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return guibench::run(argc, argv); }
