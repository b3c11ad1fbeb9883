// The selection dialog: searches the open TLE file by name, catalogue number
// or designator and adds what it finds, one by one, to the selection. Every
// action takes effect at once through the selection services.
#ifndef VORLIX_DIALOGS_STSELSATDIALOG_H
#define VORLIX_DIALOGS_STSELSATDIALOG_H

#include <QDialog>

#include "ui_stselsatdialog.h"

class StSelSatDialog : public QDialog, private Ui::StSelSatDialog {
  Q_OBJECT
 public:
  StSelSatDialog();

 public slots:
  virtual void setParams();
  virtual void dSatList();
  virtual void selectSlot();
  virtual void moreSlot();
  virtual void newsSlot();
  virtual void findSlot();
  virtual void idsnSlot();
  virtual void noradSlot();
  virtual void lowSlot();
  virtual void dSatInfo(QString s1);

 private:
  void search(bool more);
  static void showButton(QPushButton* b, bool on);
};

#endif
