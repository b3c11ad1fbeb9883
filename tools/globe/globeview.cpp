#include "globeview.h"

#include <marble/GeoDataCoordinates.h>
#include <marble/GeoDataLineString.h>
#include <marble/GeoPainter.h>

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <QWidget>
#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <utility>

#include <unistd.h>

const char* const kThemeTitle = "MapTheme";
const char* const kThemeText = "Set Map Theme\n 0: bluemarble \n 1: openstreetmap \n 2: clouds";

namespace {
constexpr int kZoomMin = 1000;
constexpr int kZoomMax = 3100;
constexpr int kZoomShown = 1200;
constexpr int kWidth = 700;
constexpr int kHeight = 500;
}  // namespace

void PrepareGlobeProcess() {
  std::signal(SIGPIPE, SIG_IGN);
  // A write past the file size limit (the message on a redirected standard
  // output, the map tiles Marble caches) fails with EFBIG instead.
  std::signal(SIGXFSZ, SIG_IGN);
  // The engine's check is on the real user, so the same test here.
  if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

MyMarbleWidget::MyMarbleWidget(std::string filename, bool withHeight, QWidget* parent)
    : Marble::MarbleWidget(parent), filename_(std::move(filename)), withHeight_(withHeight) {}

void MyMarbleWidget::readEntries() { coords_ = globe::getSatCoords(filename_); }

void MyMarbleWidget::customPaint(Marble::GeoPainter* painter) {
  if (!globe::WillDraw(coords_)) return;
  const auto runs = globe::ReadTrack(filename_, withHeight_);
  painter->setPen(Qt::red);
  using Marble::GeoDataCoordinates;
  for (const auto& run : runs) {
    // Straight lines from point to point, as the track was sampled.
    Marble::GeoDataLineString line(Marble::NoTessellation);
    for (const auto& p : run)
      line.append(GeoDataCoordinates(p.lon, p.lat, p.alt, GeoDataCoordinates::Degree));
    painter->drawPolyline(line);
    for (size_t k = 0; k + 1 < run.size(); ++k)
      painter->drawPoint(
          GeoDataCoordinates(run[k].lon, run[k].lat, run[k].alt, GeoDataCoordinates::Degree));
  }
}

GlobeWindow BuildGlobeWindow(QWidget& window, int theme, const std::string& filename,
                             bool withHeight) {
  GlobeWindow w;
  w.globe = new MyMarbleWidget(filename, withHeight, &window);
  w.globe->setMapThemeId(theme == kOpenStreetMap
                             ? QStringLiteral("earth/openstreetmap/openstreetmap.dgml")
                             : QStringLiteral("earth/bluemarble/bluemarble.dgml"));
  w.globe->setShowOverviewMap(false);
  w.globe->setShowScaleBar(false);
  w.globe->setShowCompass(false);
  w.globe->setShowCrosshairs(false);
  if (theme == kClouds) w.globe->setShowClouds(true);

  w.slider = new QSlider(Qt::Horizontal, &window);
  w.slider->setRange(kZoomMin, kZoomMax);
  w.globe->setZoom(w.slider->value(), Marble::Instant);

  w.label = new QLabel(&window);
  w.label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* box = new QVBoxLayout(&window);
  box->addWidget(w.globe);
  box->addWidget(w.slider);
  box->addWidget(w.label);

  w.globe->readEntries();
  if (!w.globe->entries().opened) {
    std::printf("Unable to open input file %s\n\n", filename.c_str());
    std::fflush(stdout);
  }
  double lon, lat;
  globe::CentreOf(w.globe->entries(), lon, lat);
  w.globe->centerOn(lon, lat, false);

  QObject::connect(w.globe, &Marble::MarbleWidget::zoomChanged, w.slider, &QSlider::setValue);
  MyMarbleWidget* g = w.globe;
  QObject::connect(w.slider, &QSlider::valueChanged, g,
                   [g](int zoom) { g->setZoom(zoom, Marble::Instant); });
  QObject::connect(w.globe, &Marble::MarbleWidget::mouseMoveGeoPosition, w.label,
                   &QLabel::setText);
  window.setWindowTitle(QStringLiteral("vorlixglobe - ") + QString::fromLocal8Bit(filename.c_str()));
  return w;
}

void ShowGlobeWindow(QWidget& window, const GlobeWindow& parts) {
  window.resize(kWidth, kHeight);
  window.show();
  parts.slider->setValue(kZoomShown);
}
