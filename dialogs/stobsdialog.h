// The observer's place: latitude, longitude, height, name, and whether angles
// are shown as decimal degrees or packed DD.MMSS.
#ifndef VORLIX_DIALOGS_STOBSDIALOG_H
#define VORLIX_DIALOGS_STOBSDIALOG_H

#include <QString>
#include <memory>

#include "dialogs/stdialog.h"

namespace Ui {
class StObsDialog;
}

struct ObsParams {
  // deg, north and east positive: decimal degrees in both directions, whatever
  // the display mode.
  double lat = 0.0, lng = 0.0;
  double height = 0.0;  // m above sea level
  QString name;         // the place's name as typed (uncut; accents composed)
  bool packed = false;  // angles shown as DD.MMSS
};

class StObsDialog : public StDialog {
  Q_OBJECT

 public:
  explicit StObsDialog(QWidget* parent = nullptr);
  ~StObsDialog() override;

  void setParams(const ObsParams& p);
  ObsParams params() const;

 public slots:
  void setDec();
  void setDdmm();
  // Refuses, besides the fields' checks, a place name with a letter the
  // record's Latin-1 cannot hold, naming the letter.
  void accept() override;

 private:
  void showAngles(double lat, double lng);
  void readAngles(double& lat, double& lng) const;  // as shown, not converted
  std::unique_ptr<Ui::StObsDialog> ui;
  bool packed_ = false;  // the angle edits hold DD.MMSS
};

#endif
