// Plot step and world map: background, plot composition, map clicks.
// Placeholder until the world-map work lands; its actions stay disabled.
#include "gui/records.h"
#include "gui/vorlixview.h"

void VorlixView::vRefresh() {
  dsplmd = 3;
  indata->dspst = 1;
  pmplot.fill(QColor(0, 50, 200));
}

void VorlixView::vRefreshP() {}
void VorlixView::vNames(bool) {}
void VorlixView::vMag() {}
void VorlixView::getMapPos(int, int) {}
