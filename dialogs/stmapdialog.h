// How the view draws its background: world map grid, projection and central
// meridian, or the sky map with its projection; colours, font, day/night
// shading, coordinate digits and the Doppler frequency.
#ifndef VORLIX_DIALOGS_STMAPDIALOG_H
#define VORLIX_DIALOGS_STMAPDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StMapDialog;
}

struct MapParams {
  int grid = 0;                  // 0 none, 1 every 30 deg, 2 every 10 deg
  int background = 0;            // 0 white, 1 grey, 2 black
  int skyProjection = 0;         // 0 zenith, 1-4 N/E/S/W, 5 custom azimuth
  int night = 0;                 // 1: day/night shading
  int skyChart = 0;              // 1: the sky chart instead of the world map
  int fourDecimals = 0;          // 1: angles with four decimals
  double skyAzimuth = 0.0;       // deg, centre of the sky chart
  bool fromSatellite = false;    // the sky seen from the prime satellite
  int fontSize = 0;              // pt, map font: 12 is the large one, anything else 10
  bool bold = false;             // map font bold
  int mapProjection = 0;         // 0 simple, 1 north polar, 2 south polar, 3 image
  double centralMeridian = 0.0;  // deg
  double frequency = 0.0;        // Hz, for the Doppler shift
  // In only: the physical world map can be offered (remembered for later
  // dialogs).
  bool imageLoaded = false;
};

class StMapDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StMapDialog(QWidget* parent = nullptr);
  ~StMapDialog() override;

  void setParams(const MapParams& p);
  MapParams params() const;

 public slots:
  // Switches between the sky face and the world map face; a compass button
  // forces its azimuth into the azimuth field.
  void showSlot();

 private:
  std::unique_ptr<Ui::StMapDialog> ui;
};

#endif
