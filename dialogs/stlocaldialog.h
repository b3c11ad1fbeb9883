// The local-details viewer: the engine's text about the current satellite
// at the current time, read-only, with a Close button.
#ifndef VORLIX_DIALOGS_STLOCALDIALOG_H
#define VORLIX_DIALOGS_STLOCALDIALOG_H

#include <QDialog>

class QPushButton;
class QTextEdit;

class StLocalDialog : public QDialog {
  Q_OBJECT
 public:
  explicit StLocalDialog(QWidget* parent = nullptr);

 public slots:
  virtual void setParams(const QString& s, int fsz);

 private:
  QTextEdit* textEdit;
  QPushButton* closeButton;
};

#endif
