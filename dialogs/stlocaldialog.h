// The local-details viewer: the engine's text about the current satellite
// at the current time, read-only, with a Close button.
#ifndef VORLIX_DIALOGS_STLOCALDIALOG_H
#define VORLIX_DIALOGS_STLOCALDIALOG_H

#include <QString>

#include "dialogs/sttextviewer.h"

class QPushButton;

struct LocalViewParams {
  QString text;      // the engine's details, shown as plain text
  int fontSize = 0;  // pt, fixed pitch; 0 or less: the size of the window's other text
};

class StLocalDialog : public StTextViewer {
  Q_OBJECT
 public:
  explicit StLocalDialog(QWidget* parent = nullptr);

  void setParams(const LocalViewParams& p);

 private:
  QPushButton* closeButton;
};

#endif
