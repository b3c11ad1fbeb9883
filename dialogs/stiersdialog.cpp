#include "dialogs/stiersdialog.h"

StIersDialog::StIersDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StIersDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StIersDialog::reject);
  connect(ckDefault, &QCheckBox::toggled, this, &StIersDialog::refreshSlot);
  // UT1 - UTC is kept below 0.9 s by definition; beyond a second it can only
  // be a typing error, and a non-finite value would spoil every position.
  checkField(taiEdit, tr("UTC - TAI"), -100, 100, Integer);
  checkField(ut1Edit, tr("UT1 - UTC"), -1, 1);
  checkField(xEdit, tr("Pole x"), -10, 10);
  checkField(yEdit, tr("Pole y"), -10, 10);
}

void StIersDialog::setParams(bool IERSflg, double IERSxp, double IERSyp, int UtcTai,
                             double Ut1Utc) {
  setNum(xEdit, IERSxp);
  setNum(yEdit, IERSyp);
  setNum(taiEdit, UtcTai);
  setNum(ut1Edit, Ut1Utc);
  ckDefault->setChecked(!IERSflg);
  refreshSlot();
}

void StIersDialog::getParams(bool& IERSflg, double& IERSxp, double& IERSyp, int& UtcTai,
                             double& Ut1Utc) {
  readNum(xEdit, IERSxp);
  readNum(yEdit, IERSyp);
  readNum(taiEdit, UtcTai);
  readNum(ut1Edit, Ut1Utc);
  IERSflg = !ckDefault->isChecked();
}

void StIersDialog::refreshSlot() {
  const bool own = !ckDefault->isChecked();
  const QList<QWidget*> fields = {taiEdit, ut1Edit, xEdit,  yEdit,  taiLabel,
                                  ut1Label, poleLabel, xLabel, yLabel};
  for (QWidget* w : fields) w->setEnabled(own);
}
