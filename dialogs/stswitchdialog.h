// The prime-satellite dialog: which selected satellite is the current one,
// and the relative-satellite mode.
#ifndef VORLIX_DIALOGS_STSWITCHDIALOG_H
#define VORLIX_DIALOGS_STSWITCHDIALOG_H

#include <QDialog>
#include <memory>

class QRadioButton;

namespace Ui {
class StSwitchDialog;
}

struct SwitchParams {
  int prime = 0;       // row of the prime satellite, 0 = the first
  int relative = 0;    // 1: relative mode
  int satellites = 0;  // in only: rows in use
};

class StSwitchDialog : public QDialog {
  Q_OBJECT
 public:
  StSwitchDialog();
  ~StSwitchDialog() override;

  void setParams(const SwitchParams& p);
  SwitchParams params() const;

 private:
  QRadioButton* button(int k) const;  // k = 0..9
  std::unique_ptr<Ui::StSwitchDialog> ui;
};

#endif
