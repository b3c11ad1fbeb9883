// The removal dialog: the selected satellites with a mark each.
#ifndef VORLIX_DIALOGS_STREMSATDIALOG_H
#define VORLIX_DIALOGS_STREMSATDIALOG_H

#include <QDialog>

#include "ui_stremsatdialog.h"

class StRemSatDialog : public QDialog, private Ui::StRemSatDialog {
  Q_OBJECT
 public:
  StRemSatDialog();

 public slots:
  virtual void setParams(int satnr);
  // Ten marks, row 1 first; a hidden row is never marked.
  virtual void getParams(bool* sats);
  // Marks every row in use; the removal itself waits for OK.
  virtual void alldlt();

 private:
  QCheckBox* box(int k) const;   // k = 0..9
  QLineEdit* name(int k) const;
  int nboxes = 0;  // rows in use
};

#endif
