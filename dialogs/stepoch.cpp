// Epoch as year and day of year; the epoch through the date dialog.
#include "dialogs/stepoch.h"

#include <cmath>

#include "astro/astrolib.h"
#include "dialogs/stdatedialog.h"
#include "dialogs/stdialog.h"
#include "gui/prompter.h"

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
  dlg.setParams(yy, mm, dd, hour, minute, second, 0.0, 0, -3.1, 0.0);
  if (prompter().exec(dlg) != QDialog::Accepted) return false;
  int y, mo, d, h, mi, s, tzauto;
  double tz, dur, rt;
  dlg.getParams(y, mo, d, h, mi, s, tz, tzauto, dur, rt);
  if (y == yy && mo == mm && d == dd && h == hour && mi == minute && s == second && tz == 0.0)
    return true;  // nothing changed: the epoch keeps its fraction of a second
  EpochYearDay(mjd(d, mo, y, h - tz + mi / 60.0 + s / 3600.0), year, day);
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
