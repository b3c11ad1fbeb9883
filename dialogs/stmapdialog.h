// How the view draws its background: world map grid, projection and central
// meridian, or the sky map with its projection; colours, font, day/night
// shading, coordinate digits and the Doppler frequency.
#ifndef VORLIX_DIALOGS_STMAPDIALOG_H
#define VORLIX_DIALOGS_STMAPDIALOG_H

#include "dialogs/stdialog.h"
#include "ui_stmapdialog.h"

class StMapDialog : public StDialog, private Ui::StMapDialog {
  Q_OBJECT

 public:
  explicit StMapDialog(QWidget* parent = nullptr);

 public slots:
  virtual void getParamF(int& mfsz, bool& bf, int& mapprj, double& centmer, double& frequ);
  // phwm: the physical world map can be offered (remembered for later dialogs).
  virtual void setParamF(int mfsz, bool& bf, int mapprj, double centmer, double frequ, bool phwm);
  virtual void setParams(int mgrid, int mgrey, int skyprj, int mpnight, int skymap, int ra4d,
                         double skaz, bool satsky);
  virtual void getParams(int& mgrid, int& mgrey, int& skyprj, int& mpnight, int& skymap,
                         int& ra4d, double& skaz, bool& satsky);
  // Switches between the sky face and the world map face; a compass button
  // forces its azimuth into the azimuth field.
  virtual void showSlot();
};

#endif
