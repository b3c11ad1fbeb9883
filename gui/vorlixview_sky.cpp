// Sky chart and Sun/Moon close-up chart.
// Placeholder until the sky-chart work lands.
#include "gui/records.h"
#include "gui/vorlixview.h"

// Entry points of the plot step (declared with it); the sky-chart work
// replaces these.
void VorlixView::PltSky(QPainter&) {}
void VorlixView::PltSunM(QPainter&) {}
QPoint VorlixView::PxSky(double, double) { return frame().offChart(); }
void VorlixView::SkyPx(QPoint&) { indata->el1 = -100.0; }
QPoint VorlixView::PxCdSun(int, int) { return QPoint(0, -10); }
