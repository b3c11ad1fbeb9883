// The Iridium flare options asked before each Iridium flare search.
#ifndef VORLIX_DIALOGS_STIRIDIUMDIALOG_H
#define VORLIX_DIALOGS_STIRIDIUMDIALOG_H

#include "dialogs/stdialog.h"

#include "ui_stiridiumdialog.h"

class StIridiumDialog : public StDialog, private Ui::StIridiumDialog {
  Q_OBJECT
 public:
  StIridiumDialog();

 public slots:
  virtual void setParams(double mag, bool ops, bool irsol);
  virtual void getParams(double& mag, bool& ops, bool& irsol);
};

#endif
