// The globe viewer's window: a Marble globe that paints the saved ground
// track in red, a zoom slider and a label with the position under the mouse.
#ifndef VORLIX_TOOLS_GLOBEVIEW_H
#define VORLIX_TOOLS_GLOBEVIEW_H

#include <marble/MarbleWidget.h>

#include <string>

#include "globelib.h"

class QLabel;
class QSlider;
class QWidget;

class MyMarbleWidget : public Marble::MarbleWidget {
 public:
  MyMarbleWidget(std::string filename, bool withHeight, QWidget* parent = nullptr);

  // Reads the entries at start (centre and whether to draw).
  void readEntries();
  const globe::SatCoords& entries() const { return coords_; }

 protected:
  // Re-reads the file on every repaint, so a track the main program has
  // appended meanwhile shows up.
  void customPaint(Marble::GeoPainter* painter) override;

 private:
  std::string filename_;
  bool withHeight_;
  globe::SatCoords coords_;
};

// Sets up the process before QApplication is made. A write whose reader has
// left, or past the file size limit, fails instead of killing the globe. Marble's widget starts a web engine
// (for the info bubble of a clicked place) as soon as it is made, and that
// engine refuses to run under a root user with its sandbox, so for root the
// sandbox is turned off.
void PrepareGlobeProcess();

// Map themes offered at start.
enum GlobeTheme { kBlueMarble = 0, kOpenStreetMap = 1, kClouds = 2 };

// The prompt's texts.
extern const char* const kThemeTitle;
extern const char* const kThemeText;

struct GlobeWindow {
  MyMarbleWidget* globe = nullptr;
  QSlider* slider = nullptr;
  QLabel* label = nullptr;
};

// Fills window with globe, slider and label for the save file, reads the
// file and centres the globe; a file that cannot be read gives a message on
// standard output and an empty globe.
GlobeWindow BuildGlobeWindow(QWidget& window, int theme, const std::string& filename,
                             bool withHeight);

// Sizes and shows the window and zooms to the starting view.
void ShowGlobeWindow(QWidget& window, const GlobeWindow& parts);

#endif
