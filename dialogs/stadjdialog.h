// The settings with which element sets read later are adjusted (fixed mean
// motion, epoch and node shifts) and the two switches of the SGP4 model.
#ifndef VORLIX_DIALOGS_STADJDIALOG_H
#define VORLIX_DIALOGS_STADJDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StAdjDialog;
}

class StAdjDialog : public StDialog {
  Q_OBJECT
 public:
  StAdjDialog();
  ~StAdjDialog() override;

  // wgs: 1 checks the WGS-84 box, any other value leaves it clear.
  void setParams(bool sdp4, bool adjflg, double adjtim, double adjn0, double adjra, int wgs);
  // wgs comes back as 1 (WGS-84) or 0 (WGS-72).
  void getParams(bool& sdp4, bool& adjflg, double& adjtim, double& adjn0, double& adjra,
                 int& wgs) const;

 public slots:
  // A fixed mean motion must be 0 (keep) or a usable one.
  void accept() override;

 private:
  std::unique_ptr<Ui::StAdjDialog> ui;
};

#endif
