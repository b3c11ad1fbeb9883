// The Iridium flare options asked before each Iridium flare search.
#ifndef VORLIX_DIALOGS_STIRIDIUMDIALOG_H
#define VORLIX_DIALOGS_STIRIDIUMDIALOG_H

#include <QDialog>

#include "ui_stiridiumdialog.h"

class StIridiumDialog : public QDialog, private Ui::StIridiumDialog {
  Q_OBJECT
 public:
  StIridiumDialog();

 public slots:
  virtual void setParams(double mag, bool ops, bool irsol);
  virtual void getParams(double& mag, bool& ops, bool& irsol);
  // OK only with a magnitude that is a finite number.
  void accept() override;
};

#endif
