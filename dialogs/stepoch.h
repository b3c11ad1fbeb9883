// Epochs as the orbit dialogs show them: a year and a day of the year with
// its fraction (1.0 = 1 January 0h UT), and the epoch edited through the date
// dialog.
#ifndef VORLIX_DIALOGS_STEPOCH_H
#define VORLIX_DIALOGS_STEPOCH_H

class QLineEdit;
class QWidget;

// MJD of day `day` of `year` (day 1.0 = 1 January 0h UT).
double EpochMjd(int year, double day);
// The inverse: the calendar year of mjd and the day of that year.
void EpochYearDay(double mjd, int& year, double& day);

// Opens the date dialog on the epoch (zone 0; duration and R/T offset
// locked). The epoch is shown to the whole second: a fraction within 1 ms of
// the next second goes up to it, with the carry into minutes, hours and days.
// On OK the date and time returned, less the zone returned (hours east), are
// the new epoch; OK without a change keeps the epoch as it was, fraction of a
// second included. Returns false on Cancel (year and day unchanged).
bool EditEpoch(QWidget* parent, int& year, double& day);

// The epoch of a year field and a day field through EditEpoch; the fields are
// written again (the day in dayFormat) only when the epoch changed.
void EditEpochFields(QWidget* parent, QLineEdit* yearEdit, QLineEdit* dayEdit,
                     const char* dayFormat);

#endif
