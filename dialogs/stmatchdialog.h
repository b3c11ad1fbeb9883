// The matching dialog: the observed sky position (azimuth and elevation, or
// R.A. and Dec.), the largest distance from it, optionally the direction of
// motion, the time window and whether only the larger objects count.
#ifndef VORLIX_DIALOGS_STMATCHDIALOG_H
#define VORLIX_DIALOGS_STMATCHDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StMatchDialog;
}

struct MatchParams {
  // deg, or packed R.A. HH.MMSS and Dec. DD.MMSS with raDec
  double centre1 = 0.0, centre2 = 0.0;
  double maxDistance = 0.0;  // deg
  double direction = 0.0;    // deg, direction of motion
  double window = 0.0;       // min, time window
  bool raDec = false;        // the centre is given as R.A./Dec.
  bool directionFilter = false;
  bool majorOnly = false;    // brighter objects only
};

class StMatchDialog : public StDialog {
  Q_OBJECT
 public:
  StMatchDialog();
  ~StMatchDialog() override;

  void setParams(const MatchParams& p);
  MatchParams params() const;

 public slots:
  // The centre's labels follow the R.A./Dec. box (the numbers stay as typed).
  void raSlot();
  // The direction field is editable while the direction filter is on.
  void dirSlot();
  // OK: the centre fits the form the box names, the other values their ranges.
  void accept() override;

 private:
  std::unique_ptr<Ui::StMatchDialog> ui;
};

#endif
