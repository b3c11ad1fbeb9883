// Satellites, lists and files: selection, pass lists, save files.
// Placeholder until the list work lands; its actions stay disabled.
#include "gui/records.h"
#include "gui/vorlixview.h"

void VorlixView::vSelectSat() {}
void VorlixView::vRemoveSat() {}
int VorlixView::vNextSat() { return 0; }
void VorlixView::vCalcAOS() {}
void VorlixView::vAllSat() {}
void VorlixView::vOrbitTrack() {}
void VorlixView::vIridium() {}
void VorlixView::vFileSave() {}
void VorlixView::vTLESave() {}
void VorlixView::vStep() {}
void VorlixView::vSwitch() {}
