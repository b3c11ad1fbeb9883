// Everyday settings: date, observer, IERS, system, visibility, map, local details.
// Placeholder until the settings work lands; its actions stay disabled.
#include "gui/records.h"
#include "gui/vorlixview.h"

int VorlixView::vInputDate() { return 1; }
int VorlixView::vInputLocation() { return 1; }
void VorlixView::vSetIERS() {}
void VorlixView::vSysConf() {}
void VorlixView::vVisibility() {}
void VorlixView::vMapDialog() {}
void VorlixView::vLocalInf() {}
void VorlixView::vLocalPass() {}
