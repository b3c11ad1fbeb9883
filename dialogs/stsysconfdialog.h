// Numerical integration and force-model defaults, and the refraction and
// extinction corrections.
#ifndef VORLIX_DIALOGS_STSYSCONFDIALOG_H
#define VORLIX_DIALOGS_STSYSCONFDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stsysconfdialog.h"

class StSysConfDialog : public StDialog, private Ui::StSysConfDialog {
  Q_OBJECT

 public:
  explicit StSysConfDialog(QWidget* parent = nullptr);

 public slots:
  virtual void setParams(double RKFtol, double dF107, double dFB107, double dKp, double dCd,
                         double dCr, double dAm, double lift, bool sunf, bool moonf, bool refrc,
                         int mxit, bool atmx);
  virtual void getParams(double& RKFtol, double& dF107, double& dFB107, double& dKp, double& dCd,
                         double& dCr, double& dAm, double& lift, bool& sunf, bool& moonf,
                         bool& refrc, int& mxit, bool& atmx);
};

#endif
