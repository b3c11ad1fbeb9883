#include "dialogs/stsysconfdialog.h"

#include "orbit/vorlixnum.h"
#include "ui_stsysconfdialog.h"

StSysConfDialog::StSysConfDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StSysConfDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StSysConfDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StSysConfDialog::reject);
  // The integrator takes no tolerance below 1e-14; a negative coefficient makes
  // every new numerical slot unusable.
  checkField(ui->tolEdit, tr("Relative Tolerance"), 1e-14, 1);
  checkField(ui->mxiEdit, tr("Maximum Number of Iterations"), 0, 1000000, Integer);
  checkField(ui->fb107Edit, tr("Average Solar Flux"), 0, F107_MAX);
  checkField(ui->f107Edit, tr("Daily Solar Flux"), 0, F107_MAX);
  checkField(ui->kpEdit, tr("Geomagnetic Kp Index"), 0, KP_MAX);
  checkField(ui->dragEdit, tr("Drag Coefficient"), 0, CD_MAX);
  checkField(ui->crEdit, tr("Radiation Pressure"), 0, CR_MAX);
  checkField(ui->amEdit, tr("Area/Mass"), 0, AM_MAX);
  checkField(ui->liftEdit, tr("Lift/Drag Ratio"), -100, 100);
}

StSysConfDialog::~StSysConfDialog() = default;

void StSysConfDialog::setParams(const SysConfParams& p) {
  setNum(ui->tolEdit, p.rkfTol);
  setNum(ui->mxiEdit, p.maxIterations);
  setNum(ui->fb107Edit, p.f107Mean);
  setNum(ui->f107Edit, p.f107Daily);
  setNum(ui->kpEdit, p.kp);
  setNum(ui->dragEdit, p.dragCoeff);
  setNum(ui->crEdit, p.radiationCoeff);
  setNum(ui->amEdit, p.areaMass);
  setNum(ui->liftEdit, p.liftDrag);
  ui->sunBox->setChecked(p.sunAttraction);
  ui->moonBox->setChecked(p.moonAttraction);
  ui->refractBox->setChecked(p.refraction);
  ui->atxBox->setChecked(p.extinction);
}

SysConfParams StSysConfDialog::params() const {
  SysConfParams p;
  readNum(ui->tolEdit, p.rkfTol);
  readNum(ui->mxiEdit, p.maxIterations);
  readNum(ui->fb107Edit, p.f107Mean);
  readNum(ui->f107Edit, p.f107Daily);
  readNum(ui->kpEdit, p.kp);
  readNum(ui->dragEdit, p.dragCoeff);
  readNum(ui->crEdit, p.radiationCoeff);
  readNum(ui->amEdit, p.areaMass);
  readNum(ui->liftEdit, p.liftDrag);
  p.sunAttraction = ui->sunBox->isChecked();
  p.moonAttraction = ui->moonBox->isChecked();
  p.refraction = ui->refractBox->isChecked();
  p.extinction = ui->atxBox->isChecked();
  return p;
}
