// The quick-help viewer: read-only text and an OK button.
#ifndef VORLIX_DIALOGS_STQUICKDIALOG_H
#define VORLIX_DIALOGS_STQUICKDIALOG_H

#include "dialogs/sttextviewer.h"

class QPushButton;

class StQuickDialog : public StTextViewer {
  Q_OBJECT
 public:
  explicit StQuickDialog(QWidget* parent = nullptr);

 public slots:
  // Inserts s at the cursor as plain text; "$$$" moves the cursor to the start.
  virtual void setHelpLine(const QString& s);

 private:
  QPushButton* okButton;
};

#endif
