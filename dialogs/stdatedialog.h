// Date, time, time zone, calculation interval and real-time offset.
#ifndef VORLIX_DIALOGS_STDATEDIALOG_H
#define VORLIX_DIALOGS_STDATEDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stdatedialog.h"

class StDateDialog : public StDialog, private Ui::StDateDialog {
  Q_OBJECT

 public:
  explicit StDateDialog(QWidget* parent = nullptr);

 public slots:
  // A negative dur locks the duration and the R/T offset (its magnitude is shown).
  virtual void setParams(int year, int month, int day, int hour, int minute, int second,
                         double tzone, int tzauto, double dur, double rtoff);
  virtual void systemSlot();
  // A locked duration comes back as the magnitude that was shown.
  virtual void getParams(int& year, int& month, int& day, int& hour, int& minute, int& second,
                         double& tzone, int& tzauto, double& dur, double& rtoff);
  void accept() override;
};

#endif
