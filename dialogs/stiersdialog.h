// Earth orientation values: UTC - TAI, UT1 - UTC and the pole coordinates, or
// the defaults instead.
#ifndef VORLIX_DIALOGS_STIERSDIALOG_H
#define VORLIX_DIALOGS_STIERSDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StIersDialog;
}

// The four values are returned whether or not the defaults are chosen.
struct IersParams {
  bool given = false;               // false: the defaults are in force (the box is checked)
  double poleX = 0.0, poleY = 0.0;  // arcsec
  int utcTai = 0;                   // s, UTC - TAI
  double ut1Utc = 0.0;              // s, UT1 - UTC
};

class StIersDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StIersDialog(QWidget* parent = nullptr);
  ~StIersDialog() override;

  void setParams(const IersParams& p);
  IersParams params() const;

 public slots:
  void refreshSlot();

 private:
  std::unique_ptr<Ui::StIersDialog> ui;
};

#endif
