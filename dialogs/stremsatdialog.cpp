#include "dialogs/stremsatdialog.h"

#include <algorithm>

#include "gui/vsservices.h"

namespace {
constexpr int kRows = 10;  // one row per selectable satellite
}

StRemSatDialog::StRemSatDialog() {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StRemSatDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StRemSatDialog::reject);
  connect(allButton, &QPushButton::clicked, this, &StRemSatDialog::alldlt);
}

QCheckBox* StRemSatDialog::box(int k) const {
  QCheckBox* const b[kRows] = {checkBox1, checkBox2, checkBox3, checkBox4, checkBox5,
                                checkBox6, checkBox7, checkBox8, checkBox9, checkBox10};
  return b[k];
}

QLineEdit* StRemSatDialog::name(int k) const {
  QLineEdit* const e[kRows] = {lineEdit1, lineEdit2, lineEdit3, lineEdit4, lineEdit5,
                                lineEdit6, lineEdit7, lineEdit8, lineEdit9, lineEdit10};
  return e[k];
}

void StRemSatDialog::setParams(int satnr) {
  nboxes = std::clamp(satnr, 0, kRows);
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

void StRemSatDialog::getParams(bool* sats) {
  for (int k = 0; k < kRows; ++k) sats[k] = k < nboxes && box(k)->isChecked();
}

void StRemSatDialog::alldlt() {
  for (int k = 0; k < nboxes; ++k) box(k)->setChecked(true);
}
