#include "dialogs/stremsatdialog.h"

#include <algorithm>

#include "gui/vsservices.h"
#include "ui_stremsatdialog.h"

namespace {
constexpr int kRows = 10;  // one row per selectable satellite
static_assert(std::tuple_size<decltype(RemSatParams::remove)>::value == kRows,
              "one mark per row");
}

StRemSatDialog::StRemSatDialog() : ui(std::make_unique<Ui::StRemSatDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StRemSatDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StRemSatDialog::reject);
  connect(ui->allButton, &QPushButton::clicked, this, &StRemSatDialog::alldlt);
}

StRemSatDialog::~StRemSatDialog() = default;

QCheckBox* StRemSatDialog::box(int k) const {
  QCheckBox* const b[kRows] = {ui->checkBox1, ui->checkBox2, ui->checkBox3, ui->checkBox4,
                                ui->checkBox5, ui->checkBox6, ui->checkBox7, ui->checkBox8,
                                ui->checkBox9, ui->checkBox10};
  return b[k];
}

QLineEdit* StRemSatDialog::name(int k) const {
  QLineEdit* const e[kRows] = {ui->lineEdit1, ui->lineEdit2, ui->lineEdit3, ui->lineEdit4,
                                ui->lineEdit5, ui->lineEdit6, ui->lineEdit7, ui->lineEdit8,
                                ui->lineEdit9, ui->lineEdit10};
  return e[k];
}

void StRemSatDialog::setParams(const RemSatParams& p) {
  nboxes = std::clamp(p.satellites, 0, kRows);
  for (int k = 0; k < kRows; ++k) {
    const bool used = k < nboxes;
    name(k)->setText(used ? vsSatName(k + 1) : QString());
    box(k)->setChecked(false);
    for (QWidget* w : {static_cast<QWidget*>(box(k)), static_cast<QWidget*>(name(k))}) {
      w->setEnabled(used);
      w->setVisible(used);
    }
  }
}

RemSatParams StRemSatDialog::params() const {
  RemSatParams p;
  p.satellites = nboxes;
  for (int k = 0; k < kRows; ++k) p.remove[k] = k < nboxes && box(k)->isChecked();
  return p;
}

void StRemSatDialog::alldlt() {
  for (int k = 0; k < nboxes; ++k) box(k)->setChecked(true);
}
