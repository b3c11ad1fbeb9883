#include "dialogs/stdatedialog.h"

#include <QDate>
#include <cmath>

#include "ui_stdatedialog.h"

namespace {
// The longest interval a pass list or a Delta Time run may cover: the
// configuration keeps no more, and a longer search blocks the window for long.
constexpr double MAX_DURATION_DAYS = 14.0;
constexpr double MAX_ZONE_HOURS = 14.0;
constexpr double MAX_RT_OFFSET_HOURS = 87600.0;  // ten years
}  // namespace

StDateDialog::StDateDialog(QWidget* parent)
    : StDialog(parent), ui(std::make_unique<Ui::StDateDialog>()) {
  ui->setupUi(this);
  connect(ui->okButton, &QPushButton::clicked, this, &StDateDialog::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &StDateDialog::reject);
  connect(ui->systemBox, &QCheckBox::toggled, this, &StDateDialog::systemSlot);
  checkField(ui->yearEdit, tr("Year"), 1800, 2200, Integer);
  checkField(ui->monthEdit, tr("Month"), 1, 12, Integer);
  checkField(ui->dayEdit, tr("Day"), 1, 31, Integer);
  checkField(ui->hourEdit, tr("Hours"), 0, 23, Integer);
  // 60 is let through: an epoch whose seconds round up arrives as minute 60
  // and carries into the next hour, as the date arithmetic does for any caller.
  checkField(ui->minEdit, tr("Minutes"), 0, 60, Integer);
  checkField(ui->secEdit, tr("Seconds"), 0, 60, Integer);
  checkField(ui->tzoneEdit, tr("Timezone"), -MAX_ZONE_HOURS, MAX_ZONE_HOURS);
  checkField(ui->durEdit, tr("Duration"), -MAX_DURATION_DAYS, MAX_DURATION_DAYS);
  checkField(ui->rtEdit, tr("R/T Offset"), -MAX_RT_OFFSET_HOURS, MAX_RT_OFFSET_HOURS);
}

StDateDialog::~StDateDialog() = default;

void StDateDialog::setParams(const DateParams& p) {
  setNum(ui->yearEdit, p.year);
  setNum(ui->monthEdit, p.month);
  setNum(ui->dayEdit, p.day);
  setNum(ui->hourEdit, p.hour);
  setNum(ui->minEdit, p.minute);
  setNum(ui->secEdit, p.second);
  setNum(ui->tzoneEdit, p.zone);
  setNum(ui->durEdit, std::fabs(p.duration));
  setNum(ui->rtEdit, p.rtOffset);
  const bool locked = p.duration < 0.0;
  ui->durEdit->setEnabled(!locked);
  ui->rtEdit->setEnabled(!locked);
  ui->systemBox->setChecked(p.systemZone);
  systemSlot();
}

void StDateDialog::systemSlot() { ui->tzoneEdit->setEnabled(!ui->systemBox->isChecked()); }

DateParams StDateDialog::params() const {
  DateParams p;
  readNum(ui->yearEdit, p.year);
  readNum(ui->monthEdit, p.month);
  readNum(ui->dayEdit, p.day);
  readNum(ui->hourEdit, p.hour);
  readNum(ui->minEdit, p.minute);
  readNum(ui->secEdit, p.second);
  readNum(ui->tzoneEdit, p.zone);
  p.systemZone = ui->systemBox->isChecked();
  readNum(ui->durEdit, p.duration);
  readNum(ui->rtEdit, p.rtOffset);
  return p;
}

// Beyond the field ranges: the day must exist in its month (31 April would
// silently become 1 May), and an interval of zero lists nothing.
void StDateDialog::accept() {
  if (!fieldsValid()) return;
  int year, month, day;
  readNum(ui->yearEdit, year);
  readNum(ui->monthEdit, month);
  readNum(ui->dayEdit, day);
  const int last = QDate(year, month, 1).daysInMonth();
  double dur;
  readNum(ui->durEdit, dur);
  QLineEdit* bad = nullptr;
  QString problem;
  if (day > last) {
    bad = ui->dayEdit;
    problem = tr("Day must lie between 1 and %1 in this month.").arg(last);
  } else if (dur == 0.0) {
    bad = ui->durEdit;
    problem = tr("Duration must be more than 0 days.");
  }
  if (bad) {
    refuseField(bad, problem);
    return;
  }
  QDialog::accept();
}
