// The settings with which element sets read later are adjusted (fixed mean
// motion, epoch and node shifts) and the two switches of the SGP4 model.
#ifndef VORLIX_DIALOGS_STADJDIALOG_H
#define VORLIX_DIALOGS_STADJDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StAdjDialog;
}

struct AdjParams {
  bool sdp4 = false;    // deep-space model switch
  bool adjflg = false;  // adjust the element sets read
  double adjtim = 0.0;  // s, epoch shift
  double adjn0 = 0.0;   // rev/day, fixed mean motion; 0 keeps the one read
  double adjra = 0.0;   // deg, node shift
  // 1 WGS-84 constants, 0 WGS-72. In, any value other than 1 leaves the box
  // clear; out, always 1 or 0.
  int wgs = 0;
};

class StAdjDialog : public StDialog {
  Q_OBJECT
 public:
  StAdjDialog();
  ~StAdjDialog() override;

  void setParams(const AdjParams& p);
  AdjParams params() const;

 public slots:
  // A fixed mean motion must be 0 (keep) or a usable one.
  void accept() override;

 private:
  std::unique_ptr<Ui::StAdjDialog> ui;
};

#endif
