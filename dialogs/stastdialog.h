// The astrometry star dialog: the catalogue R.A. and Dec. of a reference star
// just clicked on the photograph, or Abort for the whole calibration.
#ifndef VORLIX_DIALOGS_STASTDIALOG_H
#define VORLIX_DIALOGS_STASTDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stastdialog.h"

class StAstDialog : public StDialog, private Ui::StAstDialog {
  Q_OBJECT
 public:
  StAstDialog();

  // ra: packed HH.MMSS hours, dec: packed DD.MMSS degrees; both 0 leaves the
  // fields empty, otherwise the R.A. text is selected.
  void setParams(double ra, double dec);
  // The typed coordinates and whether Abort closed the dialog.
  void getParams(double& ra, double& dec, bool& abort);

 public slots:
  // Closes the dialog as accepted with the abort flag set.
  void abortSlot();
  // OK: both coordinates must be given and lie in their ranges.
  void accept() override;

 private:
  bool abort_ = false;
};

#endif
