// The selection dialog: searches the open TLE file by name, catalogue number
// or designator and adds what it finds, one by one, to the selection. Every
// action takes effect at once through the selection services.
#ifndef VORLIX_DIALOGS_STSELSATDIALOG_H
#define VORLIX_DIALOGS_STSELSATDIALOG_H

#include <QDialog>
#include <memory>

class QPushButton;

namespace Ui {
class StSelSatDialog;
}

class StSelSatDialog : public QDialog {
  Q_OBJECT
 public:
  StSelSatDialog();
  ~StSelSatDialog() override;

  // Fills the form from the last search and the selection.
  void setParams();

 public slots:
  void selectSlot();
  void moreSlot();
  void newsSlot();
  void findSlot();
  void idsnSlot();
  void noradSlot();
  void lowSlot();

 private:
  void dSatList();
  void dSatInfo(const QString& s1);
  void search(bool more);
  void selectTip();
  static void showButton(QPushButton* b, bool on);
  std::unique_ptr<Ui::StSelSatDialog> ui;
};

#endif
