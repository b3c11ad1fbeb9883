// Epoch as year and day of year; the epoch through the date dialog.
#include "dialogs/stepoch.h"

#include <cmath>

#include "astro/astrolib.h"
#include "dialogs/prompter.h"
#include "dialogs/stdatedialog.h"
#include "dialogs/stdialog.h"

double EpochMjd(int year, double day) { return mjd(0, 1, year, 0.0) + day; }

void EpochYearDay(double t, int& year, double& day) {
  int d, m;
  double h;
  caldat(t, d, m, year, h);
  day = t - mjd(0, 1, year, 0.0);
}

bool EditEpoch(QWidget* parent, int& year, double& day) {
  const double ep = EpochMjd(year, day);
  // Whole seconds of the day; a fraction within 1 ms of the next second
  // counts as that second.
  double d0 = std::floor(ep);
  double sod = std::floor((ep - d0) * 86400.0 + 0.001);
  if (sod >= 86400.0) {
    d0 += 1.0;
    sod -= 86400.0;
  }
  const int isod = static_cast<int>(sod);
  int dd, mm, yy;
  double hh;
  caldat(d0, dd, mm, yy, hh);
  const int hour = isod / 3600, minute = isod % 3600 / 60, second = isod % 60;

  StDateDialog dlg(parent);
  DateParams shown;
  shown.year = yy;
  shown.month = mm;
  shown.day = dd;
  shown.hour = hour;
  shown.minute = minute;
  shown.second = second;
  shown.duration = -3.1;  // locked
  dlg.setParams(shown);
  if (prompter().exec(dlg) != QDialog::Accepted) return false;
  const DateParams p = dlg.params();
  if (p.year == yy && p.month == mm && p.day == dd && p.hour == hour && p.minute == minute &&
      p.second == second && p.zone == 0.0)
    return true;  // nothing changed: the epoch keeps its fraction of a second
  EpochYearDay(mjd(p.day, p.month, p.year, p.hour - p.zone + p.minute / 60.0 + p.second / 3600.0),
               year, day);
  return true;
}

void EditEpochFields(QWidget* parent, QLineEdit* yearEdit, QLineEdit* dayEdit,
                     const char* dayFormat) {
  int year = 0;
  double day = 0.0;
  readNum(yearEdit, year);
  readNum(dayEdit, day);
  const int y0 = year;
  const double d0 = day;
  if (!EditEpoch(parent, year, day) || (year == y0 && day == d0)) return;
  setNum(yearEdit, year);
  setNum(dayEdit, day, dayFormat);
}
