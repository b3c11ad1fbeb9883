#include "dialogs/stmapdialog.h"

#include "ui_stmapdialog.h"

namespace {
// Whether the physical world map can be offered; kept from one dialog to the next.
bool stmpphwm = false;
}  // namespace

StMapDialog::StMapDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StMapDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StMapDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StMapDialog::reject);
  const QList<QAbstractButton*> faces = {ui->skyBox,      ui->zenithButton, ui->northButton,
                                         ui->eastButton,  ui->southButton,  ui->westButton,
                                         ui->azimButton};
  for (QAbstractButton* b : faces) connect(b, &QAbstractButton::toggled, this, &StMapDialog::showSlot);
  // Only finiteness matters here (the view reduces the meridian and clears a
  // negative frequency); a non-finite value would reach the projections.
  checkField(ui->meridianEdit, tr("Central Meridian"), -3600, 3600);
  checkField(ui->azimEdit, tr("Ctr.Azimuth"), -3600, 3600);
  checkField(ui->frequEdit, tr("Doppler Frequency"), -1e12, 1e12);
}

StMapDialog::~StMapDialog() = default;

void StMapDialog::setParams(const MapParams& p) {
  const QList<QRadioButton*> grid = {ui->gnoButton, ui->g30Button, ui->g10Button};
  const QList<QRadioButton*> back = {ui->whiteButton, ui->greyButton, ui->blackButton};
  const QList<QRadioButton*> sky = {ui->zenithButton, ui->northButton, ui->eastButton,
                                    ui->southButton,  ui->westButton,  ui->azimButton};
  if (p.grid >= 0 && p.grid < grid.size()) grid[p.grid]->setChecked(true);
  if (p.background >= 0 && p.background < back.size()) back[p.background]->setChecked(true);
  if (p.skyProjection >= 0 && p.skyProjection < sky.size()) sky[p.skyProjection]->setChecked(true);
  ui->ra4dBox->setChecked(p.fourDecimals == 1);
  ui->nightBox->setChecked(p.night == 1);
  ui->skyBox->setChecked(p.skyChart == 1);
  ui->satskyBox->setChecked(p.fromSatellite);
  setNum(ui->azimEdit, p.skyAzimuth);
  ui->boldBox->setChecked(p.bold);
  ui->fszBox->setChecked(p.fontSize == 12);
  setNum(ui->meridianEdit, p.centralMeridian);
  setNum(ui->frequEdit, p.frequency, "%g");
  const QList<QRadioButton*> maps = {ui->pstdButton, ui->pnorthButton, ui->psouthButton,
                                     ui->ppwmButton};
  if (p.mapProjection >= 0 && p.mapProjection < maps.size())
    maps[p.mapProjection]->setChecked(true);
  stmpphwm = p.imageLoaded;
  showSlot();
}

MapParams StMapDialog::params() const {
  MapParams p;
  p.grid = ui->g10Button->isChecked() ? 2 : ui->g30Button->isChecked() ? 1 : 0;
  p.background = ui->greyButton->isChecked() ? 1 : ui->blackButton->isChecked() ? 2 : 0;
  const QList<QRadioButton*> sky = {ui->northButton, ui->eastButton, ui->southButton,
                                    ui->westButton, ui->azimButton};
  p.skyProjection = 0;
  for (int i = 0; i < sky.size(); ++i)
    if (sky[i]->isChecked()) p.skyProjection = i + 1;
  readNum(ui->azimEdit, p.skyAzimuth);
  p.fourDecimals = ui->ra4dBox->isChecked() ? 1 : 0;
  p.skyChart = ui->skyBox->isChecked() ? 1 : 0;
  p.night = ui->nightBox->isChecked() ? 1 : 0;
  p.fromSatellite = ui->satskyBox->isChecked();
  p.fontSize = ui->fszBox->isChecked() ? 12 : 10;
  p.bold = ui->boldBox->isChecked();
  p.mapProjection = ui->pnorthButton->isChecked()   ? 1
                    : ui->psouthButton->isChecked() ? 2
                    : ui->ppwmButton->isChecked()   ? 3
                                                    : 0;
  readNum(ui->meridianEdit, p.centralMeridian);
  readNum(ui->frequEdit, p.frequency);
  p.imageLoaded = stmpphwm;
  return p;
}

void StMapDialog::showSlot() {
  const bool skyFace = ui->skyBox->isChecked();
  const QList<QWidget*> world = {ui->gridGroup,    ui->g10Button,    ui->g30Button,
                                 ui->gnoButton,    ui->mapGroup,     ui->pstdButton,
                                 ui->pnorthButton, ui->psouthButton, ui->meridianEdit};
  const QList<QWidget*> sky = {ui->satskyBox,   ui->skyGroup,   ui->zenithButton, ui->northButton,
                               ui->eastButton,  ui->southButton, ui->westButton,  ui->azimButton};
  for (QWidget* w : world) showControl(w, !skyFace);
  ui->textLabel2->setVisible(!skyFace);
  showControl(ui->ppwmButton, !skyFace && stmpphwm);
  for (QWidget* w : sky) showControl(w, skyFace);
  if (!skyFace) {
    showControl(ui->azimEdit, false);
    ui->textLabel1->setVisible(false);
    return;
  }
  double az;
  readNum(ui->azimEdit, az);
  if (ui->northButton->isChecked()) az = 0;
  if (ui->eastButton->isChecked()) az = 90;
  if (ui->southButton->isChecked()) az = 180;
  if (ui->westButton->isChecked()) az = 270;
  const bool custom = ui->azimButton->isChecked();
  if (!custom) setNum(ui->azimEdit, az);  // the user's own text stays while custom
  showControl(ui->azimEdit, custom);
  ui->textLabel1->setVisible(custom);
}
