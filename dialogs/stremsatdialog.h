// The removal dialog: the selected satellites with a mark each.
#ifndef VORLIX_DIALOGS_STREMSATDIALOG_H
#define VORLIX_DIALOGS_STREMSATDIALOG_H

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QLineEdit;

namespace Ui {
class StRemSatDialog;
}

struct RemSatParams {
  int satellites = 0;  // in: rows in use (every mark starts clear)
  // Out: the ten marks, row 1 first; a hidden row is never marked.
  std::array<bool, 10> remove{};
};

class StRemSatDialog : public QDialog {
  Q_OBJECT
 public:
  StRemSatDialog();
  ~StRemSatDialog() override;

  void setParams(const RemSatParams& p);
  RemSatParams params() const;

 public slots:
  // Marks every row in use; the removal itself waits for OK.
  void alldlt();

 private:
  QCheckBox* box(int k) const;  // k = 0..9
  QLineEdit* name(int k) const;
  std::unique_ptr<Ui::StRemSatDialog> ui;
  int nboxes = 0;  // rows in use
};

#endif
