// An impulsive velocity change of the prime satellite, or, for a satellite
// propagated numerically, a continuous thrust.
#ifndef VORLIX_DIALOGS_STDELTADIALOG_H
#define VORLIX_DIALOGS_STDELTADIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StDeltaDialog;
}

struct DeltaParams {
  double deltaV = 0.0;            // as the user sees it: m/s for an impulse, mm/s^2 for a thrust
  double yaw = 0.0, pitch = 0.0;  // deg, direction of the change
  // Comes back set only when the thrust box is checked and offered: a
  // satellite without numerical propagation always gets an impulse.
  bool thrust = false;
  bool sunlitOnly = false;        // thrust only in sunlight
  bool updateElements = false;    // re-derive the elements; comes back only with thrust
  // In only: the satellite is propagated numerically. Without it (0) the
  // thrust boxes are hidden.
  int numerical = 0;
};

class StDeltaDialog : public StDialog {
  Q_OBJECT
 public:
  StDeltaDialog();
  ~StDeltaDialog() override;

  void setParams(const DeltaParams& p);
  DeltaParams params() const;

 public slots:
  // Label and dependent boxes follow the thrust box; the number is kept.
  void ionSlot();

 private:
  std::unique_ptr<Ui::StDeltaDialog> ui;
};

#endif
