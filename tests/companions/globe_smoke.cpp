// The globe viewer in a real window (run under xvfb-run by ctest): started on
// a session's save file, the globe must show red at the screen positions of
// track points and nowhere near most of the globe; the slider and the globe
// follow each other; the track and the centre are the file's numbers. It
// starts as the program does, with no extra environment, so that run as root
// it shows the globe starts for root; ctest runs it once more under a
// comma-decimal locale (LANG=de_DE.UTF-8), where the numbers must read the
// same. Prints one closing line; exit status 0 when all passed.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QWidget>

#include <clocale>
#include <cstdio>
#include <string>

#include "tools/globe/globeview.h"

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool Red(QRgb c) { return qRed(c) >= 160 && qGreen(c) <= 90 && qBlue(c) <= 90; }

// Red within two pixels of (x, y).
bool RedNear(const QImage& img, double x, double y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int px = static_cast<int>(x + 0.5) + dx, py = static_cast<int>(y + 0.5) + dy;
      if (img.valid(px, py) && Red(img.pixel(px, py))) return true;
    }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareGlobeProcess();
  QApplication app(argc, argv);
  const std::string file = std::string(VORLIX_TEST_DATA) + "/companions/satsave.txt";
  QWidget window;
  const GlobeWindow parts = BuildGlobeWindow(window, kBlueMarble, file, false);
  ShowGlobeWindow(window, parts);
  Settle(1500);
  std::printf("numbers read under LC_NUMERIC %s\n", std::setlocale(LC_NUMERIC, nullptr));

  // The first point of the session's orbit track, as the file writes it, and
  // the globe centred on the middle entry.
  const auto runs = globe::ReadTrack(file, false);
  Check(!runs.empty() && runs[0].front().lon == -21.02652 && runs[0].front().lat == 51.12743,
        "the track starts at -21.02652 51.12743");
  Check(runs.size() == 2 && runs[0].size() > 108 &&
            qAbs(parts.globe->centerLongitude() - runs[0][108].lon) < 1e-6 &&
            qAbs(parts.globe->centerLatitude() - runs[0][108].lat) < 1e-6,
        "the globe is centred on the middle of the track (" +
            std::to_string(parts.globe->centerLongitude()) + " " +
            std::to_string(parts.globe->centerLatitude()) + ")");

  Check(parts.slider->value() == 1200, "slider at 1200");
  Check(parts.globe->zoom() == 1200, "globe zoomed to 1200");
  parts.slider->setValue(1400);
  Check(parts.globe->zoom() == 1400, "the slider zooms the globe");
  parts.globe->setZoom(1300);
  Check(parts.slider->value() == 1300, "the globe's zoom moves the slider");
  Settle(300);

  const QImage img = parts.globe->grab().toImage();
  int tried = 0, red = 0;
  for (const auto& run : runs)
    for (size_t k = 0; k + 1 < run.size(); k += 7) {
      qreal x, y;
      if (!parts.globe->screenCoordinates(run[k].lon, run[k].lat, x, y)) continue;
      if (x < 10 || y < 10 || x > img.width() - 10 || y > img.height() - 10) continue;
      ++tried;
      red += RedNear(img, x, y);
    }
  Check(tried >= 2, "at least two track points on screen (" + std::to_string(tried) + ")");
  Check(red == tried, "red at every track point on screen (" + std::to_string(red) + " of " +
                          std::to_string(tried) + ")");
  long reds = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) reds += Red(img.pixel(x, y));
  Check(reds > 100 && reds < img.width() * img.height() / 50,
        "the track is a thin line (" + std::to_string(reds) + " red pixels)");

  if (argc > 1) {
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    std::printf("window saved to %s\n", argv[1]);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
