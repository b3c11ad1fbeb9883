// Texts and colours of the plot step's information panel, as pure functions
// of the records: the local time text, the event value of the panel's last
// column, the Doppler shift and the marker colours.
#ifndef VORLIX_GUI_PLOTTEXT_H
#define VORLIX_GUI_PLOTTEXT_H

#include <QColor>
#include <QFontMetrics>
#include <QString>

#include "engine/vorlixcom.h"

// Size of the time text, terminator included.
constexpr int PLOTTIME_SIZE = 31;
// One second in days: steps this long or longer show whole seconds.
constexpr double ONE_SECOND_DAYS = 1.157407407e-5;

// "MMM DD  HH:MM:SS" (or "HH:MM:SS.S" for sub-second steps) of the local time
// of MJD t (UT) in the zone tzone (hours). Seconds that round to 60 carry into
// the minute and the minute into the hour, which may then read 24 (the day is
// not carried). tstep is the step's size (days; the callers pass StepDays,
// so a step back reads as one forward). year receives the local year. out:
// PLOTTIME_SIZE bytes.
void plotTimeText(double t, double tzone, double tstep, char* out, int& year);

// MJD t rounded to the nearest whole second of UT.
double wholeSecond(double t);

// Pens of the panel texts.
enum PanelPen { PEN_KEEP, PEN_WHITE, PEN_BLACK, PEN_YELLOW, PEN_RED };

// The event value of the prime slot p (magnitude, centre-line distance, flare
// or cylinder angle, Doppler shift or range rate) as a format with one
// number conversion and its value; the pen it is drawn with (PEN_KEEP: the
// row's pen).
PanelPen eventValueForm(const WinpData& d, const SatPosData& sp, int p, bool relative,
                        const char*& fmt, double& v);

// Hz, Doppler shift of frequ for a range rate in km/s (positive receding);
// the speed is capped at 0.99 of the speed of light.
double dopplerShift(double frequ, double rate);

// label followed by the angle v as prpang writes it (wide: 4-digit R.A.
// hours; mode: its format).
QString angleText(const char* label, int wide, int mode, double v);

// Marker, track and name colour of slot i on a background mgrey.
QColor markerColour(int i, int mgrey);

// The background setting the markers are coloured for: that of the black
// background while the physical map image lies behind them (dark oceans
// would swallow the black of slot 0), otherwise mgrey itself.
int markerBackground(const WinpData& d);

// Whether the physical map image lies behind the markers.
bool physicalBehind(const WinpData& d);

// The colour a text or marker of colour c is read against: black behind a
// light colour (white, yellow, green), white behind a dark one.
QColor contrastColour(const QColor& c);

// numText(v, fmt) when it is at most maxw pixels wide in fm; otherwise the
// first of its shorter forms that fits: without the padding of the number,
// with fewer decimals, then in exponent form (the shortest when none fits).
// fmt holds one conversion of v: %W.Plf, %W.Pf, %W.Pg or %g; a null fmt
// gives an empty text.
QString fitNumber(const QFontMetrics& fm, int maxw, double v, const char* fmt);

// text when it is at most maxw pixels wide; otherwise with its runs of
// blanks made single, then cut at the end until it fits. A number cut there
// never ends in a bare point: the point goes with its last decimal
// ("12:34:09.5" becomes "12:34:09", not "12:34:09.").
QString fitText(const QFontMetrics& fm, int maxw, const QString& text);

// A satellite name for the panel's name box: up to 15 characters padded
// with blanks to 16, a longer one whole with one blank, cut at the
// end only when wider than maxw.
QString panelName(const QFontMetrics& fm, int maxw, const char* name);

#endif
