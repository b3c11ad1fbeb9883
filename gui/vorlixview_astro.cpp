// Photograph astrometry, orbit determination and matching satellites.
// Placeholder until the photograph work lands; its actions stay disabled.
#include <QImage>

#include "gui/records.h"
#include "gui/vorlixview.h"

void VorlixView::vPicture(const QImage&) {}
void VorlixView::vImage(int) {}
void VorlixView::vPicSwitch(bool) {}
void VorlixView::astroEvent(int, int, bool) {}
void VorlixView::vOrbDet() {}
void VorlixView::vMatch() {}

// Overlay step of the plot step in picture mode; the photograph work
// replaces this.
void VorlixView::PicPlot(double) {}
