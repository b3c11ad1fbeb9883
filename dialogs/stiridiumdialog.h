// The Iridium flare options asked before each Iridium flare search.
#ifndef VORLIX_DIALOGS_STIRIDIUMDIALOG_H
#define VORLIX_DIALOGS_STIRIDIUMDIALOG_H

#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StIridiumDialog;
}

struct IridiumParams {
  double magLimit = 0.0;     // mag, faintest flare listed
  bool operationalOnly = false;
  bool solarPanels = false;  // solar-panel flares too
};

class StIridiumDialog : public StDialog {
  Q_OBJECT
 public:
  StIridiumDialog();
  ~StIridiumDialog() override;

  void setParams(const IridiumParams& p);
  IridiumParams params() const;

 private:
  std::unique_ptr<Ui::StIridiumDialog> ui;
};

#endif
