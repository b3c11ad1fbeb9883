// The pass-details viewer: the step-by-step listing of one pass, with Save
// and G-Track to copy it, or the pass's ground track, to the save file.
#ifndef VORLIX_DIALOGS_STPASSDIALOG_H
#define VORLIX_DIALOGS_STPASSDIALOG_H

#include <QDialog>

class QPushButton;
class QTextEdit;

class StPassDialog : public QDialog {
  Q_OBJECT
 public:
  explicit StPassDialog(QWidget* parent = nullptr);

 public slots:
  // Fills the listing of the chosen pass in a font of fsz points.
  virtual void setParams(int fsz);
  virtual void saveSlot();
  virtual void gtrackSlot();

 private:
  QTextEdit* passEdit;
  QPushButton* saveButton;
  QPushButton* gtrackButton;
  QPushButton* closeButton;
};

#endif
