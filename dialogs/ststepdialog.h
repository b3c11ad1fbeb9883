// The time-step dialog: whole minutes and seconds of the plot step.
#ifndef VORLIX_DIALOGS_STSTEPDIALOG_H
#define VORLIX_DIALOGS_STSTEPDIALOG_H

#include <QDialog>

#include "ui_ststepdialog.h"

class StStepDialog : public QDialog, private Ui::StStepDialog {
  Q_OBJECT
 public:
  StStepDialog();

  // Largest step magnitude the dialog accepts: 14 days, the longest interval
  // the program keeps.
  static constexpr int kMaxMinutes = 14 * 1440;

 public slots:
  virtual void setParams(int min, double sec);
  virtual void getParams(int& min, double& sec);
  // OK only with whole minutes and a finite number of seconds, both within
  // 14 days: a bad field is named and the dialog stays open.
  void accept() override;
};

#endif
