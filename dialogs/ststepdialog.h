// The time-step dialog: whole minutes and seconds of the plot step.
#ifndef VORLIX_DIALOGS_STSTEPDIALOG_H
#define VORLIX_DIALOGS_STSTEPDIALOG_H

#include "dialogs/stdialog.h"

#include "ui_ststepdialog.h"

class StStepDialog : public StDialog, private Ui::StStepDialog {
  Q_OBJECT
 public:
  StStepDialog();

  // Largest step magnitude the dialog accepts: 14 days, the longest interval
  // the program keeps.
  static constexpr int kMaxMinutes = 14 * 1440;

 public slots:
  virtual void setParams(int min, double sec);
  virtual void getParams(int& min, double& sec);
};

#endif
