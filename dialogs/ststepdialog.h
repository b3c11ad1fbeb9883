// The time-step dialog: whole minutes and seconds of the plot step.
#ifndef VORLIX_DIALOGS_STSTEPDIALOG_H
#define VORLIX_DIALOGS_STSTEPDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StStepDialog;
}

struct StepParams {
  int minutes = 0;
  double seconds = 0.0;
};

class StStepDialog : public StDialog {
  Q_OBJECT
 public:
  StStepDialog();
  ~StStepDialog() override;

  // Largest step magnitude the dialog accepts: 14 days, the longest interval
  // the program keeps.
  static constexpr int kMaxMinutes = 14 * 1440;
  // Smallest step accepted, in seconds: the finest the plot's clock shows. A
  // smaller one would leave the clock standing through a Delta Time run (0
  // minutes and 0 seconds is accepted: it stands for this step).
  static constexpr double kMinSeconds = 0.1;

  void setParams(const StepParams& p);
  StepParams params() const;

 public slots:
  void accept() override;

 private:
  std::unique_ptr<Ui::StStepDialog> ui;
};

#endif
