// An impulsive velocity change of the prime satellite, or, for a satellite
// propagated numerically, a continuous thrust.
#ifndef VORLIX_DIALOGS_STDELTADIALOG_H
#define VORLIX_DIALOGS_STDELTADIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stdeltadialog.h"

class StDeltaDialog : public StDialog, private Ui::StDeltaDialog {
  Q_OBJECT
 public:
  StDeltaDialog();

  // deltv as the user sees it: m/s for an impulse, mm/s^2 for a thrust.
  // Without numerical propagation (nmflg 0) the thrust boxes are hidden.
  virtual void setParams(double deltv, double yaw, double pitch, bool ionf, bool suns, int nmflg,
                         bool epu);
  // ionf is set only when the thrust box is checked and offered: a satellite
  // without numerical propagation always gets an impulse. epu only with ionf.
  virtual void getParams(double& deltv, double& yaw, double& pitch, bool& ionf, bool& suns,
                         bool& epu);

 public slots:
  // Label and dependent boxes follow the thrust box; the number is kept.
  virtual void ionSlot();
};

#endif
