// Painters of the sky chart and of the Sun/Moon close-up. They draw on any
// painter through a MapFrame (see gui/skyframe.h for the projections).
#ifndef VORLIX_GUI_SKYDRAW_H
#define VORLIX_GUI_SKYDRAW_H

#include "gui/mapframe.h"

class QColor;
class QPainter;
struct WinpData;
struct SatPosData;

// Colour of a body on the chart and in its legend (SkyBody order).
QColor skyBodyColour(int body, int mgrey);

// The sky chart of frame f for the observer of d (lat, lng, height) at
// d.curmjd; ttut: TT - UT in seconds. Stars, the horizon (zenith view),
// the cardinal letters, Sun, Moon and planets with their legend (zenith
// view), and the line closing the chart on the right.
void PaintSky(QPainter& p, const MapFrame& f, const WinpData& d, double ttut);

// The close-up of the Sun (d.occflg 1) or the Moon (otherwise) from the
// values of s: the Moon's limb, lit half and terminator (with satellites
// selected), else the Sun-sized disc; the north line with grid on.
void PaintSunMoon(QPainter& p, const MapFrame& f, const WinpData& d, const SatPosData& s);

#endif
