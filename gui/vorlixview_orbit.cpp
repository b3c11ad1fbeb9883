// Orbits and manoeuvres: element editor, delta-V, launch, rendezvous.
// Placeholder until the orbit work lands; its actions stay disabled.
#include "gui/records.h"
#include "gui/vorlixview.h"

void VorlixView::vEditOrb() {}
void VorlixView::vDeltaV() {}
void VorlixView::vLaunch() {}
void VorlixView::vRendz() {}
