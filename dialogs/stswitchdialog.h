// The prime-satellite dialog: which selected satellite is the current one,
// and the relative-satellite mode.
#ifndef VORLIX_DIALOGS_STSWITCHDIALOG_H
#define VORLIX_DIALOGS_STSWITCHDIALOG_H

#include <QDialog>

#include "ui_stswitchdialog.h"

class StSwitchDialog : public QDialog, private Ui::StSwitchDialog {
  Q_OBJECT
 public:
  StSwitchDialog();

 public slots:
  virtual void setParams(int prs, int rlm, int satn);
  virtual void getParams(int& prs, int& rlm);

 private:
  QRadioButton* button(int k) const;  // k = 0..9
};

#endif
