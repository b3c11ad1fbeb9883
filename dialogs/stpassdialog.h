// The pass-details viewer: the step-by-step listing of one pass, with Save
// and G-Track to copy it, or the pass's ground track, to the save file.
#ifndef VORLIX_DIALOGS_STPASSDIALOG_H
#define VORLIX_DIALOGS_STPASSDIALOG_H

#include "dialogs/sttextviewer.h"

class QPushButton;

struct PassViewParams {
  int fontSize = 0;  // pt, fixed pitch; 0 or less: the size of the window's other text
};

class StPassDialog : public StTextViewer {
  Q_OBJECT
 public:
  explicit StPassDialog(QWidget* parent = nullptr);

  // Fills the listing of the chosen pass of the prime satellite.
  void setParams(const PassViewParams& p);

 public slots:
  void saveSlot();
  void gtrackSlot();

 private:
  QPushButton* saveButton;
  QPushButton* gtrackButton;
  QPushButton* closeButton;
};

#endif
