#include "dialogs/stastdialog.h"

#include <limits>

#include "dialogs/stpacked.h"
#include "ui_stastdialog.h"

StAstDialog::StAstDialog() : ui(std::make_unique<Ui::StAstDialog>()) {
  ui->setupUi(this);
  resize(size().expandedTo(minimumSizeHint()));
  connect(ui->okButton, &QPushButton::clicked, this, &StAstDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StAstDialog::reject);
  connect(ui->abortButton, &QPushButton::clicked, this, &StAstDialog::abortSlot);
  // Letters would read as 0h or the equator: the star would spoil the plate,
  // and the next one would look collinear with it.
  constexpr double kAny = std::numeric_limits<double>::max();
  checkField(ui->raEdit, tr("R.A."), -kAny, kAny, Typed);
  checkField(ui->decEdit, tr("Dec."), -kAny, kAny, Typed);
}

StAstDialog::~StAstDialog() = default;

void StAstDialog::setParams(const AstParams& p) {
  if (p.ra == 0.0 && p.dec == 0.0) {
    ui->raEdit->clear();
    ui->decEdit->clear();
    return;
  }
  setNum(ui->raEdit, p.ra);
  setNum(ui->decEdit, p.dec);
  ui->raEdit->setFocus();
  ui->raEdit->selectAll();
}

AstParams StAstDialog::params() const {
  AstParams p;
  readNum(ui->raEdit, p.ra);
  readNum(ui->decEdit, p.dec);
  p.abort = abort_;
  return p;
}

void StAstDialog::abortSlot() {
  abort_ = true;
  QDialog::accept();
}

// Both fields hold numbers (checkField), each inside the range of its kind.
void StAstDialog::accept() {
  if (fieldsValid() && anglesValid(*this,
                                   {{ui->raEdit, AngleField::RaHours, tr("R.A.")},
                                    {ui->decEdit, AngleField::DecDegrees, tr("Dec.")}},
                                   true))
    QDialog::accept();
}
