// Time: stepping, pass jumps, Real Time and Delta Time ticks.
// Placeholder until the world-map work lands; its actions stay disabled.
#include "gui/records.h"
#include "gui/vorlixview.h"

void VorlixView::vTmCheck(int) {}
void VorlixView::RT_Plot() {}
int VorlixView::PlotDelta() { return 1; }
void VorlixView::vCurrent() {}
void VorlixView::vForward() {}
void VorlixView::vBackward() {}
void VorlixView::vPlotNext() {}
void VorlixView::vPlotLast() {}
