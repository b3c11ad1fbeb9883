#include "dialogs/stdatedialog.h"

#include <QDate>
#include <cmath>

#include "dialogs/stdialog.h"

namespace {
// The longest interval a pass list or a Delta Time run may cover: the
// configuration keeps no more, and a longer search blocks the window for long.
constexpr double MAX_DURATION_DAYS = 14.0;
constexpr double MAX_ZONE_HOURS = 14.0;
}  // namespace

StDateDialog::StDateDialog(QWidget* parent) : QDialog(parent) {
  setupUi(this);
  connect(okButton, &QPushButton::clicked, this, &StDateDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &StDateDialog::reject);
  connect(systemBox, &QCheckBox::toggled, this, &StDateDialog::systemSlot);
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
  bool locked = dur < 0.0;
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

QString StDateDialog::inputError() const {
  int year, month, day, hour, minute, second;
  readNum(yearEdit, year);
  readNum(monthEdit, month);
  readNum(dayEdit, day);
  readNum(hourEdit, hour);
  readNum(minEdit, minute);
  readNum(secEdit, second);
  if (year < 1800 || year > 2200) return tr("Year: enter a year from 1800 to 2200.");
  if (month < 1 || month > 12) return tr("Month: enter a month from 1 to 12.");
  int last = QDate(year, month, 1).daysInMonth();
  if (day < 1 || day > last)
    return tr("Day: enter a day from 1 to %1 for this month.").arg(last);
  if (hour < 0 || hour > 23) return tr("Hours: enter an hour from 0 to 23.");
  // 60 is let through: an epoch whose seconds round up arrives as minute 60
  // and carries into the next hour, as the date arithmetic does for any caller.
  if (minute < 0 || minute > 60) return tr("Minutes: enter a minute from 0 to 59.");
  if (second < 0 || second > 60) return tr("Seconds: enter a second from 0 to 59.");
  double v;
  if (!readNum(tzoneEdit, v) || std::fabs(v) > MAX_ZONE_HOURS)
    return tr("Timezone: enter the hours from UTC, from -14 to 14.");
  if (!readNum(durEdit, v) || v == 0.0 || std::fabs(v) > MAX_DURATION_DAYS)
    return tr("Duration: enter a number of days above 0 and at most %1.").arg(MAX_DURATION_DAYS);
  if (!readNum(rtEdit, v)) return tr("R/T Offset: enter a number of hours.");
  return QString();
}

void StDateDialog::accept() {
  QString err = inputError();
  if (!err.isEmpty()) {
    stRefuse(this, nullptr, err);
    return;
  }
  QDialog::accept();
}
