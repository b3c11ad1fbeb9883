// Everyday settings: date, observer, IERS, system, visibility, map, local details.
#include <cmath>
#include <cstring>

#include "dialogs/prompter.h"
#include "dialogs/stdatedialog.h"
#include "dialogs/stiersdialog.h"
#include "dialogs/stlocaldialog.h"
#include "dialogs/stmapdialog.h"
#include "dialogs/stobsdialog.h"
#include "dialogs/stsysconfdialog.h"
#include "dialogs/stvisdialog.h"
#include "engine/localinf.h"
#include "gui/recordparams.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

int VorlixView::vInputDate() {
  StDateDialog dlg;
  dlg.setParams(dateFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return 1;
  dateToRecord(dlg.params(), *indata);
  setNewMjd(indata);
  return 0;
}

int VorlixView::inputEventDate() {
  Keep<int> locked(indata->lcflg, 1);
  return vInputDate();
}

bool VorlixView::askLocation() {
  StObsDialog dlg;
  dlg.setParams(obsFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return false;
  obsToRecord(dlg.params(), *indata);
  return true;
}

int VorlixView::vInputLocation() {
  if (!askLocation()) return 1;
  mapChanged();  // the observer is drawn on the background layer
  return 0;
}

void VorlixView::vSetIERS() {
  StIersDialog dlg;
  dlg.setParams(iersFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  iersToRecord(dlg.params(), *indata);
  indata->TtUt = SetTtUt(indata, indata->year);
}

void VorlixView::vSysConf() {
  StSysConfDialog dlg;
  dlg.setParams(sysConfFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  sysConfToRecord(dlg.params(), *indata);
}

// Nothing is redrawn: the new conditions apply from the next list or plot.
void VorlixView::vVisibility() {
  StVisDialog dlg;
  dlg.setParams(visFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  visToRecord(dlg.params(), *indata);
}

void VorlixView::vMapDialog() {
  StMapDialog dlg;
  dlg.setParams(mapFromRecord(*indata));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  mapToRecord(dlg.params(), *indata);
  vRefresh();
}

// The Space key: the local details for a place typed for this one look; the
// observer is put back afterwards (the degree format chosen stays).
void VorlixView::vLocalInf() {
  WinpData* d = indata;
  if (d->skymap) return;
  Keep<double> lat(d->lat), lng(d->lng), height(d->height);
  Keep<char[GEONAME_SIZE]> geoname(d->geoname);
  Keep<bool> serving(busy, true);
  // Only the dialog: the map keeps the observer's own place, which comes
  // back below.
  askLocation();  // cancelled: the details of the unchanged place
  vLocalPass();
}

void VorlixView::vLocalPass() {
  char text[LOCALINF_SIZE];
  LocalInf(indata, text);
  StLocalDialog dlg;
  dlg.setParams({CharToQs(text), indata->fsz});
  prompter().exec(dlg);
}
