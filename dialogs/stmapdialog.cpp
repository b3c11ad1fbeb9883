#include "dialogs/stmapdialog.h"

namespace {
// Whether the physical world map can be offered; kept from one dialog to the next.
bool stmpphwm = false;
}  // namespace

StMapDialog::StMapDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StMapDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StMapDialog::reject);
  const QList<QAbstractButton*> faces = {skyBox,      zenithButton, northButton, eastButton,
                                         southButton, westButton,   azimButton};
  for (QAbstractButton* b : faces) connect(b, &QAbstractButton::toggled, this, &StMapDialog::showSlot);
  // Only finiteness matters here (the view reduces the meridian and clears a
  // negative frequency); a non-finite value would reach the projections.
  checkField(meridianEdit, tr("Central Meridian"), -3600, 3600);
  checkField(azimEdit, tr("Ctr.Azimuth"), -3600, 3600);
  checkField(frequEdit, tr("Doppler Frequency"), -1e12, 1e12);
}

void StMapDialog::setParams(int mgrid, int mgrey, int skyprj, int mpnight, int skymap, int ra4d,
                            double skaz, bool satsky) {
  const QList<QRadioButton*> grid = {gnoButton, g30Button, g10Button};
  const QList<QRadioButton*> back = {whiteButton, greyButton, blackButton};
  const QList<QRadioButton*> sky = {zenithButton, northButton, eastButton,
                                    southButton,  westButton,  azimButton};
  if (mgrid >= 0 && mgrid < grid.size()) grid[mgrid]->setChecked(true);
  if (mgrey >= 0 && mgrey < back.size()) back[mgrey]->setChecked(true);
  if (skyprj >= 0 && skyprj < sky.size()) sky[skyprj]->setChecked(true);
  ra4dBox->setChecked(ra4d == 1);
  nightBox->setChecked(mpnight == 1);
  skyBox->setChecked(skymap == 1);
  satskyBox->setChecked(satsky);
  setNum(azimEdit, skaz);
}

void StMapDialog::setParamF(int mfsz, bool& bf, int mapprj, double centmer, double frequ,
                            bool phwm) {
  boldBox->setChecked(bf);
  fszBox->setChecked(mfsz == 12);
  setNum(meridianEdit, centmer);
  setNum(frequEdit, frequ, "%g");
  const QList<QRadioButton*> maps = {pstdButton, pnorthButton, psouthButton, ppwmButton};
  if (mapprj >= 0 && mapprj < maps.size()) maps[mapprj]->setChecked(true);
  stmpphwm = phwm;
  showSlot();
}

void StMapDialog::getParams(int& mgrid, int& mgrey, int& skyprj, int& mpnight, int& skymap,
                            int& ra4d, double& skaz, bool& satsky) {
  mgrid = g10Button->isChecked() ? 2 : g30Button->isChecked() ? 1 : 0;
  mgrey = greyButton->isChecked() ? 1 : blackButton->isChecked() ? 2 : 0;
  const QList<QRadioButton*> sky = {northButton, eastButton, southButton, westButton, azimButton};
  skyprj = 0;
  for (int i = 0; i < sky.size(); ++i)
    if (sky[i]->isChecked()) skyprj = i + 1;
  readNum(azimEdit, skaz);
  ra4d = ra4dBox->isChecked() ? 1 : 0;
  skymap = skyBox->isChecked() ? 1 : 0;
  mpnight = nightBox->isChecked() ? 1 : 0;
  satsky = satskyBox->isChecked();
}

void StMapDialog::getParamF(int& mfsz, bool& bf, int& mapprj, double& centmer, double& frequ) {
  mfsz = fszBox->isChecked() ? 12 : 10;
  bf = boldBox->isChecked();
  mapprj = pnorthButton->isChecked() ? 1 : psouthButton->isChecked() ? 2
         : ppwmButton->isChecked()   ? 3 : 0;
  readNum(meridianEdit, centmer);
  readNum(frequEdit, frequ);
}

void StMapDialog::showSlot() {
  const bool skyFace = skyBox->isChecked();
  const QList<QWidget*> world = {gridGroup,    g10Button,    g30Button,   gnoButton,  mapGroup,
                                 pstdButton,   pnorthButton, psouthButton, meridianEdit};
  const QList<QWidget*> sky = {satskyBox,   skyGroup,   zenithButton, northButton,
                               eastButton,  southButton, westButton,  azimButton};
  for (QWidget* w : world) showControl(w, !skyFace);
  textLabel2->setVisible(!skyFace);
  showControl(ppwmButton, !skyFace && stmpphwm);
  for (QWidget* w : sky) showControl(w, skyFace);
  if (!skyFace) {
    showControl(azimEdit, false);
    textLabel1->setVisible(false);
    return;
  }
  double az;
  readNum(azimEdit, az);
  if (northButton->isChecked()) az = 0;
  if (eastButton->isChecked()) az = 90;
  if (southButton->isChecked()) az = 180;
  if (westButton->isChecked()) az = 270;
  const bool custom = azimButton->isChecked();
  if (!custom) setNum(azimEdit, az);  // the user's own text stays while custom
  showControl(azimEdit, custom);
  textLabel1->setVisible(custom);
}
