#include "dialogs/stselsatdialog.h"

#include "dialogs/sttextviewer.h"
#include "gui/vsservices.h"
#include "ui_stselsatdialog.h"

namespace {
constexpr int kMaxSelected = 10;
}

StSelSatDialog::StSelSatDialog() : ui(std::make_unique<Ui::StSelSatDialog>()) {
  ui->setupUi(this);
  connect(ui->closeButton, &QPushButton::clicked, this, &StSelSatDialog::accept);
  connect(ui->newButton, &QPushButton::clicked, this, &StSelSatDialog::newsSlot);
  connect(ui->findButton, &QPushButton::clicked, this, &StSelSatDialog::findSlot);
  connect(ui->moreButton, &QPushButton::clicked, this, &StSelSatDialog::moreSlot);
  connect(ui->selectButton, &QPushButton::clicked, this, &StSelSatDialog::selectSlot);
  connect(ui->noradBox, &QCheckBox::toggled, this, &StSelSatDialog::noradSlot);
  connect(ui->idsnBox, &QCheckBox::toggled, this, &StSelSatDialog::idsnSlot);
  connect(ui->lowBox, &QCheckBox::toggled, this, &StSelSatDialog::lowSlot);
  connect(ui->recentBox, &QCheckBox::toggled, this, &StSelSatDialog::lowSlot);
  // The descriptions line their columns up with blanks and tabs; with tab
  // stops ten cells apart every "label<tab>: value" row of the elements has
  // its colon in one column (the longest label takes 17 cells).
  UseFixedPitch(ui->satinfEdit, 0, 10);
}

StSelSatDialog::~StSelSatDialog() = default;

void StSelSatDialog::showButton(QPushButton* b, bool on) {
  b->setEnabled(on);
  b->setVisible(on);
}

void StSelSatDialog::setParams() {
  QString name;
  int mode = 0, norad = 0, count = 0, low = 0, recent = 0;
  vsLastSat(name, mode, norad, count, low, recent);
  // A name never searched for is stored as blanks: the field starts empty.
  ui->satnameEdit->setText(name.trimmed());
  ui->satnameEdit->setFocus();
  ui->noradEdit->setText(QString::number(norad));
  ui->noradBox->setChecked(mode == 1);
  ui->idsnBox->setChecked(mode == 2);
  if (count < 1) showButton(ui->newButton, false);
  showButton(ui->moreButton, false);
  showButton(ui->selectButton, false);
  if (mode == 2) idsnSlot();
  noradSlot();
  ui->lowBox->setChecked(low == 1);
  ui->recentBox->setChecked(recent == 1);
  dSatList();
}

void StSelSatDialog::dSatList() { ui->satinfEdit->setPlainText(vsSatList()); }

void StSelSatDialog::dSatInfo(const QString& s1) {
  QString name;
  int mode = 0, norad = 0, count = 0, low = 0, recent = 0;
  vsLastSat(name, mode, norad, count, low, recent);
  ui->satnameEdit->setText(name.trimmed());
  ui->noradEdit->setText(QString::number(norad));  // the work slot's number
  ui->satinfEdit->clear();
  ui->satinfEdit->setPlainText(s1);
}

// Find and More differ only in where the search starts.
void StSelSatDialog::search(bool more) {
  // Digits or the Alpha-5 form; anything else searches for number 0.
  int number = vsCatNo(ui->noradEdit->text());
  // Blanks around a typed name are never part of what is looked for.
  QString text = ui->satnameEdit->text().trimmed();
  const int mode = ui->idsnBox->isChecked() ? 2 : ui->noradBox->isChecked() ? 1 : 0;
  const int low = ui->lowBox->isChecked() ? 1 : 0, recent = ui->recentBox->isChecked() ? 1 : 0;
  if (more)
    vsReComp(text, number, mode, 1, low, recent);
  else
    vsFindSat(text, number, mode, low, recent);
  showButton(ui->moreButton, number == 2);
  showButton(ui->selectButton, number != 0);
  selectTip();
  dSatInfo(text);
}

// With ten selected, Select replaces the tenth: its tool tip says which.
void StSelSatDialog::selectTip() {
  QString name;
  int m = 0, n = 0, count = 0, l = 0, r = 0;
  vsLastSat(name, m, n, count, l, r);
  if (count < kMaxSelected) {
    ui->selectButton->setToolTip(tr("Add satellite to list."));
    return;
  }
  const QString last = vsSatName(kMaxSelected).trimmed();
  ui->selectButton->setToolTip(
      last.isEmpty() ? tr("Ten satellites are selected: replace the tenth.")
                     : tr("Ten satellites are selected: replace the tenth (%1).").arg(last));
}

void StSelSatDialog::findSlot() { search(false); }
void StSelSatDialog::moreSlot() { search(true); }

void StSelSatDialog::selectSlot() {
  showButton(ui->newButton, false);
  showButton(ui->selectButton, false);
  vsSatSel();
  dSatList();
}

void StSelSatDialog::newsSlot() {
  showButton(ui->newButton, false);
  vsResetSatList();
  dSatList();
}

void StSelSatDialog::noradSlot() {
  const bool on = ui->noradBox->isChecked();
  ui->noradEdit->setEnabled(on);
  ui->satnameEdit->setEnabled(!on);
  if (on && ui->idsnBox->isChecked()) ui->idsnBox->setChecked(false);
}

void StSelSatDialog::idsnSlot() {
  if (ui->idsnBox->isChecked()) {
    ui->noradEdit->setEnabled(false);
    ui->satnameEdit->setEnabled(true);
    if (ui->noradBox->isChecked()) ui->noradBox->setChecked(false);
    ui->nameLabel->setText(tr("Inter&national Launch#:"));
  } else {
    ui->nameLabel->setText(tr("Satellite &Name:"));
  }
}

void StSelSatDialog::lowSlot() {
  vsLowRecent(ui->lowBox->isChecked() ? 1 : 0, ui->recentBox->isChecked() ? 1 : 0);
}
