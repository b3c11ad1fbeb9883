#include "dialogs/stastdialog.h"

#include "dialogs/stpacked.h"

StAstDialog::StAstDialog() {
  setupUi(this);
  resize(size().expandedTo(minimumSizeHint()));
  connect(okButton, &QPushButton::clicked, this, &StAstDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StAstDialog::reject);
  connect(abortButton, &QPushButton::clicked, this, &StAstDialog::abortSlot);
}

void StAstDialog::setParams(double ra, double dec) {
  if (ra == 0.0 && dec == 0.0) {
    raEdit->clear();
    decEdit->clear();
    return;
  }
  setNum(raEdit, ra);
  setNum(decEdit, dec);
  raEdit->setFocus();
  raEdit->selectAll();
}

void StAstDialog::getParams(double& ra, double& dec, bool& abort) {
  readNum(raEdit, ra);
  readNum(decEdit, dec);
  abort = abort_;
}

void StAstDialog::abortSlot() {
  abort_ = true;
  QDialog::accept();
}

// An empty field would put the star at 0h or on the equator and spoil the
// plate without a word.
void StAstDialog::accept() {
  if (anglesValid(*this,
                  {{raEdit, AngleField::RaHours, tr("R.A.")},
                   {decEdit, AngleField::DecDegrees, tr("Dec.")}},
                  true))
    QDialog::accept();
}
