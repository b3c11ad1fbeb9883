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

  void setParams(const StepParams& p);
  StepParams params() const;

 private:
  std::unique_ptr<Ui::StStepDialog> ui;
};

#endif
