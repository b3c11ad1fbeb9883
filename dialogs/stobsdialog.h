// The observer's place: latitude, longitude, height, name, and whether angles
// are shown as decimal degrees or packed DD.MMSS.
#ifndef VORLIX_DIALOGS_STOBSDIALOG_H
#define VORLIX_DIALOGS_STOBSDIALOG_H

#include <QString>

#include "dialogs/stdialog.h"
#include "ui_stobsdialog.h"

class StObsDialog : public StDialog, private Ui::StObsDialog {
  Q_OBJECT

 public:
  explicit StObsDialog(QWidget* parent = nullptr);

 public slots:
  virtual void setParams(double lat, double lng, double height, const char* geoname, bool ddmm);
  // Angles come back in decimal degrees whatever the display mode.
  virtual void getParams(double& lat, double& lng, double& height, bool& ddmm);
  virtual QString getGeoname();
  virtual void setDec();
  virtual void setDdmm();
  void accept() override;

 private:
  void showAngles(double lat, double lng);
  void readAngles(double& lat, double& lng) const;  // as shown, not converted
  bool packed_ = false;  // the angle edits hold DD.MMSS
};

#endif
