// Earth orientation values: UTC - TAI, UT1 - UTC and the pole coordinates, or
// the defaults instead.
#ifndef VORLIX_DIALOGS_STIERSDIALOG_H
#define VORLIX_DIALOGS_STIERSDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stiersdialog.h"

class StIersDialog : public StDialog, private Ui::StIersDialog {
  Q_OBJECT

 public:
  explicit StIersDialog(QWidget* parent = nullptr);

 public slots:
  // IERSflg false: the defaults are in force (the box is checked).
  virtual void setParams(bool IERSflg, double IERSxp, double IERSyp, int UtcTai, double Ut1Utc);
  // The four values are returned whether or not the defaults are chosen.
  virtual void getParams(bool& IERSflg, double& IERSxp, double& IERSyp, int& UtcTai,
                         double& Ut1Utc);
  virtual void refreshSlot();
};

#endif
