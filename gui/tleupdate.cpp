// Online update of a TLE file over HTTP.
// Placeholder until the online-update work lands; its action stays disabled.
#include "gui/tleupdate.h"

#include "gui/vorlix.h"
#include "gui/vorlixview.h"

void VorlixApp::slotFileUpdate() {}
void VorlixApp::httpDone(bool) {}
void VorlixApp::abortUpdate() {}

int VorlixView::vUpdate(QString&, QString&, QString&) { return 1; }
