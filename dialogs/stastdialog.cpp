#include "dialogs/stastdialog.h"

#include <limits>

#include "dialogs/stpacked.h"

StAstDialog::StAstDialog() {
  setupUi(this);
  resize(size().expandedTo(minimumSizeHint()));
  connect(okButton, &QPushButton::clicked, this, &StAstDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StAstDialog::reject);
  connect(abortButton, &QPushButton::clicked, this, &StAstDialog::abortSlot);
  // Letters would read as 0h or the equator: the star would spoil the plate,
  // and the next one would look collinear with it.
  constexpr double kAny = std::numeric_limits<double>::max();
  checkField(raEdit, tr("R.A."), -kAny, kAny, Typed);
  checkField(decEdit, tr("Dec."), -kAny, kAny, Typed);
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

// Both fields hold numbers (checkField), each inside the range of its kind.
void StAstDialog::accept() {
  if (fieldsValid() &&
      anglesValid(*this,
                  {{raEdit, AngleField::RaHours, tr("R.A.")},
                   {decEdit, AngleField::DecDegrees, tr("Dec.")}},
                  true))
    QDialog::accept();
}
