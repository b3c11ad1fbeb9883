// The matching dialog: the observed sky position (azimuth and elevation, or
// R.A. and Dec.), the largest distance from it, optionally the direction of
// motion, the time window and whether only the larger objects count.
#ifndef VORLIX_DIALOGS_STMATCHDIALOG_H
#define VORLIX_DIALOGS_STMATCHDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stmatchdialog.h"

class StMatchDialog : public StDialog, private Ui::StMatchDialog {
  Q_OBJECT
 public:
  StMatchDialog();

 public slots:
  // az, el: degrees, or packed R.A. HH.MMSS and Dec. DD.MMSS with rdf; mxa,
  // dra deg; tm min; drf: direction filter; vis: brighter objects only.
  virtual void setParams(double az, double el, double mxa, double dra, double tm, bool rdf,
                         bool drf, bool vis);
  virtual void getParams(double& az, double& el, double& mxa, double& dra, double& tm,
                         bool& rdf, bool& drf, bool& vis);
  // The centre's labels follow the R.A./Dec. box (the numbers stay as typed).
  virtual void raSlot();
  // The direction field is editable while the direction filter is on.
  virtual void dirSlot();
  // OK: the centre fits the form the box names, the other values their ranges.
  void accept() override;
};

#endif
