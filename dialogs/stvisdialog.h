// Visibility limits, the epoch of sky coordinates, and the event mode of the
// pass calculations (none, or one of occultation/transit, flares, Iridium
// flares and solar eclipse check) with the options of that mode.
#ifndef VORLIX_DIALOGS_STVISDIALOG_H
#define VORLIX_DIALOGS_STVISDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

class QCheckBox;

namespace Ui {
class StVisDialog;
}

// Every control is read back, shown or hidden. With several modes passed in,
// the one set last wins (eclipse over Iridium over flares over occultation).
struct VisParams {
  double sunElevationMax = 0.0;  // deg
  double satElevationMin = 0.0;  // deg
  double epochYear = 0.0;        // of the R.A./Dec. values; 0 = of date
  // The two direction values: occultation R.A. HH.MMSS and Dec. DD.MMSS, the
  // surface normal or the cylinder axis (the caller chooses which).
  double direction1 = 0.0, direction2 = 0.0;
  int visibleOnly = 0;           // 1 on
  int moonshineOnly = 0;         // 1 on
  int sunMoonChart = 0;          // 1: the Sun/Moon chart for transits
  int occultation = 0;           // 0 none, 1 Sun, 2 Moon, 3 R.A./Dec. point
  int iridium = 0;               // 3: Iridium flares
  int flares = 0;                // 1: flare search
  int flareModel = 0;            // 1/2 known surface (1 local attitude), -1/-2 unknown
  int yawSteering = 0;           // 1: yaw-steering local attitude
  bool eclipse = false;
  bool solarPanel = false;       // solar-panel flare model
  bool flareMagLimited = false;
  double flareMagLimit = 0.0;    // mag
  bool cylinder = false;         // cylindrical reflector
};

class StVisDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StVisDialog(QWidget* parent = nullptr);
  ~StVisDialog() override;

  void setParams(const VisParams& p);
  VisParams params() const;

 public slots:
  void showSlot();
  void flarSlot();
  void occSlot();
  void iridSlot();
  void eclSlot();
  void accept() override;

 private:
  void modeSlot(QCheckBox* own);
  bool directionIsRaDec() const;
  std::unique_ptr<Ui::StVisDialog> ui;
};

#endif
