#include "dialogs/stselsatdialog.h"

#include "gui/vsservices.h"

namespace {
constexpr int kMaxSelected = 10;
}

StSelSatDialog::StSelSatDialog() {
  setupUi(this);
  connect(closeButton, &QPushButton::clicked, this, &StSelSatDialog::accept);
  connect(newButton, &QPushButton::clicked, this, &StSelSatDialog::newsSlot);
  connect(findButton, &QPushButton::clicked, this, &StSelSatDialog::findSlot);
  connect(moreButton, &QPushButton::clicked, this, &StSelSatDialog::moreSlot);
  connect(selectButton, &QPushButton::clicked, this, &StSelSatDialog::selectSlot);
  connect(noradBox, &QCheckBox::toggled, this, &StSelSatDialog::noradSlot);
  connect(idsnBox, &QCheckBox::toggled, this, &StSelSatDialog::idsnSlot);
  connect(lowBox, &QCheckBox::toggled, this, &StSelSatDialog::lowSlot);
  connect(recentBox, &QCheckBox::toggled, this, &StSelSatDialog::lowSlot);
}

void StSelSatDialog::showButton(QPushButton* b, bool on) {
  b->setEnabled(on);
  b->setVisible(on);
}

void StSelSatDialog::setParams() {
  QString name;
  int mode = 0, norad = 0, count = 0, low = 0, recent = 0;
  vsLastSat(name, mode, norad, count, low, recent);
  // A name never searched for is stored as blanks: the field starts empty.
  satnameEdit->setText(name.trimmed());
  satnameEdit->setFocus();
  noradEdit->setText(QString::number(norad));
  noradBox->setChecked(mode == 1);
  idsnBox->setChecked(mode == 2);
  if (count < 1) showButton(newButton, false);
  showButton(moreButton, false);
  showButton(selectButton, false);
  if (mode == 2) idsnSlot();
  noradSlot();
  lowBox->setChecked(low == 1);
  recentBox->setChecked(recent == 1);
  dSatList();
}

void StSelSatDialog::dSatList() { satinfEdit->setPlainText(vsSatList()); }

void StSelSatDialog::dSatInfo(QString s1) {
  QString name;
  int mode = 0, norad = 0, count = 0, low = 0, recent = 0;
  vsLastSat(name, mode, norad, count, low, recent);
  satnameEdit->setText(name.trimmed());
  noradEdit->setText(QString::number(norad));  // the work slot's number
  satinfEdit->clear();
  satinfEdit->setPlainText(s1);
}

// Find and More differ only in where the search starts.
void StSelSatDialog::search(bool more) {
  // Digits or the Alpha-5 form; anything else searches for number 0.
  int number = vsCatNo(noradEdit->text());
  // Blanks around a typed name are never part of what is looked for.
  QString text = satnameEdit->text().trimmed();
  const int mode = idsnBox->isChecked() ? 2 : noradBox->isChecked() ? 1 : 0;
  const int low = lowBox->isChecked() ? 1 : 0, recent = recentBox->isChecked() ? 1 : 0;
  if (more)
    vsReComp(text, number, mode, 1, low, recent);
  else
    vsFindSat(text, number, mode, low, recent);
  QString name;
  int m = 0, n = 0, count = 0, l = 0, r = 0;
  vsLastSat(name, m, n, count, l, r);
  // With ten selected a further Select would replace the tenth: offer none.
  const bool full = count >= kMaxSelected;
  showButton(moreButton, number == 2);
  showButton(selectButton, number != 0 && !full);
  if (number != 0 && full) text += tr("\n\nMaximum of 10 satellites selected");
  dSatInfo(text);
}

void StSelSatDialog::findSlot() { search(false); }
void StSelSatDialog::moreSlot() { search(true); }

void StSelSatDialog::selectSlot() {
  showButton(newButton, false);
  showButton(selectButton, false);
  vsSatSel();
  dSatList();
}

void StSelSatDialog::newsSlot() {
  showButton(newButton, false);
  vsResetSatList();
  dSatList();
}

void StSelSatDialog::noradSlot() {
  const bool on = noradBox->isChecked();
  noradEdit->setEnabled(on);
  satnameEdit->setEnabled(!on);
  if (on && idsnBox->isChecked()) idsnBox->setChecked(false);
}

void StSelSatDialog::idsnSlot() {
  if (idsnBox->isChecked()) {
    noradEdit->setEnabled(false);
    satnameEdit->setEnabled(true);
    if (noradBox->isChecked()) noradBox->setChecked(false);
    nameLabel->setText(tr("Inter&national Launch#:"));
  } else {
    nameLabel->setText(tr("Satellite &Name:"));
  }
}

void StSelSatDialog::lowSlot() {
  vsLowRecent(lowBox->isChecked() ? 1 : 0, recentBox->isChecked() ? 1 : 0);
}
