// The orbit determination dialog: two observed directions of one object (each
// as azimuth and elevation or as R.A. and Dec.), the time between them, and
// whether a search for matching catalogue satellites follows.
#ifndef VORLIX_DIALOGS_STORBDETDIALOG_H
#define VORLIX_DIALOGS_STORBDETDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_storbdetdialog.h"

class StOrbDetDialog : public StDialog, private Ui::StOrbDetDialog {
  Q_OBJECT
 public:
  StOrbDetDialog();

 public slots:
  // Observation k as R.A. (HH.MMSS) and Dec. (DD.MMSS) when azkflg, else as
  // azimuth and elevation (deg); deltm s; odm: match search; odp: offer the
  // two points picked on the photograph (Picture button).
  virtual void setParams(double az1, double el1, double az2, double el2, double deltm,
                         bool az1flg, bool az2flg, bool odm, bool odp);
  virtual void getParams(double& az1, double& el1, double& az2, double& el2, double& deltm,
                         bool& az1flg, bool& az2flg, bool& odm);
  // The labels of observation 1 (2) follow its R.A./Dec. box.
  virtual void obs1Slot();
  virtual void obs2Slot();
  // Swaps the two observations (values and forms): the motion reverses.
  virtual void revSlot();
  // The last two points picked on the photograph as the two observations.
  virtual void picSlot();
  // OK: each direction fits the form its box names; the time is a number.
  void accept() override;
};

#endif
