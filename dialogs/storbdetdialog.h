// The orbit determination dialog: two observed directions of one object (each
// as azimuth and elevation or as R.A. and Dec.), the time between them, and
// whether a search for matching catalogue satellites follows.
#ifndef VORLIX_DIALOGS_STORBDETDIALOG_H
#define VORLIX_DIALOGS_STORBDETDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StOrbDetDialog;
}

struct OrbDetParams {
  // Observation k: R.A. (packed HH.MMSS) and Dec. (packed DD.MMSS) with
  // raDeck, else azimuth and elevation (deg).
  double az1 = 0.0, el1 = 0.0, az2 = 0.0, el2 = 0.0;
  double deltm = 0.0;  // s between the two observations
  bool raDec1 = false, raDec2 = false;
  bool match = false;  // a search for matching catalogue satellites follows
  // In only: offer the two points picked on the photograph (Picture button).
  bool picture = false;
};

class StOrbDetDialog : public StDialog {
  Q_OBJECT
 public:
  StOrbDetDialog();
  ~StOrbDetDialog() override;

  void setParams(const OrbDetParams& p);
  OrbDetParams params() const;

 public slots:
  // The labels of observation 1 (2) follow its R.A./Dec. box.
  void obs1Slot();
  void obs2Slot();
  // Swaps the two observations (values and forms): the motion reverses.
  void revSlot();
  // The last two points picked on the photograph as the two observations.
  void picSlot();
  // OK: each direction fits the form its box names; the time is a number.
  void accept() override;

 private:
  std::unique_ptr<Ui::StOrbDetDialog> ui;
};

#endif
