// What the sky chart and close-up tests share: the window started on the
// standard fixture with the ISS and JPSS-1 in slots 0 and 1, the references,
// and pixel counts on the drawn pixmaps.
#ifndef VORLIX_TESTS_GUI_SKYWINDOW_H
#define VORLIX_TESTS_GUI_SKYWINDOW_H

#include <QImage>
#include <QPointF>
#include <QRect>

#include <cmath>
#include <memory>

#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "plotfixture.h"
#include "skyrefs.h"
#include "support/windowfixture.h"

namespace skytest {

// Pixels of colour c in the 3 x 3 block around p (rounded to a pixel).
inline int near(const QImage& img, const QPointF& p, const QColor& c) {
  const int x = static_cast<int>(std::lround(p.x())), y = static_cast<int>(std::lround(p.y()));
  int n = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      n += img.valid(x + dx, y + dy) && img.pixelColor(x + dx, y + dy) == c;
  return n;
}

// Pixels of colour c in the rectangle r.
inline int count(const QImage& img, const QRect& r, const QColor& c) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
  return n;
}

struct SkyWindow {
  std::unique_ptr<WindowFixture> fx;
  std::unique_ptr<VorlixApp> win;
  VorlixView* view = nullptr;
  plotfix::Refs sats;
  skyref::Refs sky;

  // Starts the window; false when the view or the references are missing.
  bool start() {
    fx = std::make_unique<WindowFixture>();
    fx->writeStandard();
    win = fx->start();
    view = win->findChild<VorlixView*>();
    sats = plotfix::loadRefs();
    sky = skyref::load(VORLIX_TEST_DATA);
    if (!view || sats.sats.size() < 2 || sky.times.size() != 4) return false;
    plotfix::setUp(indata, sats, 2);
    indata->shwnm = 0;
    return true;
  }
  // The observer and time of a reference, and the background drawn for them.
  void observe(const skyref::Time& t) {
    indata->lat = t.lat;
    indata->lng = t.lng;
    indata->height = t.height;
    indata->curmjd = t.mjd;
    view->vRefresh();
  }
  void stop() {
    win.reset();
    fx.reset();
  }
};

}  // namespace skytest

#endif
