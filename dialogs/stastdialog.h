// The astrometry star dialog: the catalogue R.A. and Dec. of a reference star
// just clicked on the photograph, or Abort for the whole calibration.
#ifndef VORLIX_DIALOGS_STASTDIALOG_H
#define VORLIX_DIALOGS_STASTDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StAstDialog;
}

struct AstParams {
  // R.A. packed HH.MMSS hours, Dec. packed DD.MMSS degrees. Both 0 opens the
  // fields empty, otherwise the R.A. text is selected.
  double ra = 0.0, dec = 0.0;
  bool abort = false;  // out only: Abort closed the dialog
};

class StAstDialog : public StDialog {
  Q_OBJECT
 public:
  StAstDialog();
  ~StAstDialog() override;

  void setParams(const AstParams& p);
  // The typed coordinates and whether Abort closed the dialog.
  AstParams params() const;

 public slots:
  // Closes the dialog as accepted with the abort flag set.
  void abortSlot();
  // OK: both coordinates must be given and lie in their ranges.
  void accept() override;

 private:
  std::unique_ptr<Ui::StAstDialog> ui;
  bool abort_ = false;
};

#endif
