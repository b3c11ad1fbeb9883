#include "dialogs/stiersdialog.h"

#include "ui_stiersdialog.h"

StIersDialog::StIersDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StIersDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StIersDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StIersDialog::reject);
  connect(ui->ckDefault, &QCheckBox::toggled, this, &StIersDialog::refreshSlot);
  // UT1 - UTC is kept below 0.9 s by definition; beyond a second it can only
  // be a typing error, and a non-finite value would spoil every position.
  checkField(ui->taiEdit, tr("UTC - TAI"), -100, 100, Integer);
  checkField(ui->ut1Edit, tr("UT1 - UTC"), -1, 1);
  checkField(ui->xEdit, tr("Pole x"), -10, 10);
  checkField(ui->yEdit, tr("Pole y"), -10, 10);
}

StIersDialog::~StIersDialog() = default;

void StIersDialog::setParams(const IersParams& p) {
  setNum(ui->xEdit, p.poleX);
  setNum(ui->yEdit, p.poleY);
  setNum(ui->taiEdit, p.utcTai);
  setNum(ui->ut1Edit, p.ut1Utc);
  ui->ckDefault->setChecked(!p.given);
  refreshSlot();
}

IersParams StIersDialog::params() const {
  IersParams p;
  readNum(ui->xEdit, p.poleX);
  readNum(ui->yEdit, p.poleY);
  readNum(ui->taiEdit, p.utcTai);
  readNum(ui->ut1Edit, p.ut1Utc);
  p.given = !ui->ckDefault->isChecked();
  return p;
}

void StIersDialog::refreshSlot() {
  const bool own = !ui->ckDefault->isChecked();
  const QList<QWidget*> fields = {ui->taiEdit, ui->ut1Edit, ui->xEdit,  ui->yEdit,  ui->taiLabel,
                                  ui->ut1Label, ui->poleLabel, ui->xLabel, ui->yLabel};
  for (QWidget* w : fields) w->setEnabled(own);
}
