#include "dialogs/stdatedialog.h"

#include <QDate>
#include <cmath>

namespace {
// The longest interval a pass list or a Delta Time run may cover: the
// configuration keeps no more, and a longer search blocks the window for long.
constexpr double MAX_DURATION_DAYS = 14.0;
constexpr double MAX_ZONE_HOURS = 14.0;
constexpr double MAX_RT_OFFSET_HOURS = 87600.0;  // ten years
}  // namespace

StDateDialog::StDateDialog(QWidget* parent) : StDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StDateDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StDateDialog::reject);
  connect(systemBox, &QCheckBox::toggled, this, &StDateDialog::systemSlot);
  checkField(yearEdit, tr("Year"), 1800, 2200, Integer);
  checkField(monthEdit, tr("Month"), 1, 12, Integer);
  checkField(dayEdit, tr("Day"), 1, 31, Integer);
  checkField(hourEdit, tr("Hours"), 0, 23, Integer);
  // 60 is let through: an epoch whose seconds round up arrives as minute 60
  // and carries into the next hour, as the date arithmetic does for any caller.
  checkField(minEdit, tr("Minutes"), 0, 60, Integer);
  checkField(secEdit, tr("Seconds"), 0, 60, Integer);
  checkField(tzoneEdit, tr("Timezone"), -MAX_ZONE_HOURS, MAX_ZONE_HOURS);
  checkField(durEdit, tr("Duration"), -MAX_DURATION_DAYS, MAX_DURATION_DAYS);
  checkField(rtEdit, tr("R/T Offset"), -MAX_RT_OFFSET_HOURS, MAX_RT_OFFSET_HOURS);
}

void StDateDialog::setParams(int year, int month, int day, int hour, int minute, int second,
                             double tzone, int tzauto, double dur, double rtoff) {
  setNum(yearEdit, year);
  setNum(monthEdit, month);
  setNum(dayEdit, day);
  setNum(hourEdit, hour);
  setNum(minEdit, minute);
  setNum(secEdit, second);
  setNum(tzoneEdit, tzone);
  setNum(durEdit, std::fabs(dur));
  setNum(rtEdit, rtoff);
  const bool locked = dur < 0.0;
  durEdit->setEnabled(!locked);
  rtEdit->setEnabled(!locked);
  systemBox->setChecked(tzauto != 0);
  systemSlot();
}

void StDateDialog::systemSlot() { tzoneEdit->setEnabled(!systemBox->isChecked()); }

void StDateDialog::getParams(int& year, int& month, int& day, int& hour, int& minute, int& second,
                             double& tzone, int& tzauto, double& dur, double& rtoff) {
  readNum(yearEdit, year);
  readNum(monthEdit, month);
  readNum(dayEdit, day);
  readNum(hourEdit, hour);
  readNum(minEdit, minute);
  readNum(secEdit, second);
  readNum(tzoneEdit, tzone);
  tzauto = systemBox->isChecked() ? 1 : 0;
  readNum(durEdit, dur);
  readNum(rtEdit, rtoff);
}

// Beyond the field ranges: the day must exist in its month (31 April would
// silently become 1 May), and an interval of zero lists nothing.
void StDateDialog::accept() {
  if (!fieldsValid()) return;
  int year, month, day;
  readNum(yearEdit, year);
  readNum(monthEdit, month);
  readNum(dayEdit, day);
  const int last = QDate(year, month, 1).daysInMonth();
  double dur;
  readNum(durEdit, dur);
  QLineEdit* bad = nullptr;
  QString problem;
  if (day > last) {
    bad = dayEdit;
    problem = tr("Day must lie between 1 and %1 in this month.").arg(last);
  } else if (dur == 0.0) {
    bad = durEdit;
    problem = tr("Duration must be more than 0 days.");
  }
  if (bad) {
    refuseField(bad, problem);
    return;
  }
  QDialog::accept();
}
