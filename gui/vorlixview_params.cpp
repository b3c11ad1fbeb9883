// Everyday settings: date, observer, IERS, system, visibility, map, local details.
#include <cmath>
#include <cstring>

#include "dialogs/stdatedialog.h"
#include "dialogs/stiersdialog.h"
#include "dialogs/stlocaldialog.h"
#include "dialogs/stmapdialog.h"
#include "dialogs/stobsdialog.h"
#include "dialogs/stsysconfdialog.h"
#include "dialogs/stvisdialog.h"
#include "engine/localinf.h"
#include "gui/prompter.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

namespace {
// Cylinder flares on a surface of unknown orientation keep their axis in the
// cylinder fields; every other mode uses the occultation direction.
bool cylinderAxis(bool cylflg, int flarflg, int flarmod) {
  return cylflg && flarflg == 1 && flarmod < 0;
}
}  // namespace

// While a launch, manoeuvre, match or orbit determination asks for its start
// time (lcflg 1), the interval and the real-time offset are locked.
int VorlixView::vInputDate() {
  WinpData* d = indata;
  StDateDialog dlg;
  const double shownDur = d->lcflg == 1 ? -std::fabs(d->dur) : d->dur;
  dlg.setParams(d->year, d->month, d->day, d->hour, d->minute, d->second, d->tzone, d->tzauto,
                shownDur, d->rtoff);
  if (prompter().exec(dlg) != QDialog::Accepted) return 1;
  double dur;
  dlg.getParams(d->year, d->month, d->day, d->hour, d->minute, d->second, d->tzone, d->tzauto,
                dur, d->rtoff);
  if (d->lcflg == 0) d->dur = dur;
  d->dur = std::fabs(d->dur);
  setNewMjd(d);
  return 0;
}

bool VorlixView::askLocation() {
  WinpData* d = indata;
  StObsDialog dlg;
  dlg.setParams(d->lat, d->lng, d->height, d->geoname, d->ddmm != 0);
  if (prompter().exec(dlg) != QDialog::Accepted) return false;
  bool ddmm;
  dlg.getParams(d->lat, d->lng, d->height, ddmm);
  d->ddmm = ddmm ? 1 : 0;
  QsToChar(dlg.getGeoname(), d->geoname, GEONAME_SIZE - 1);
  return true;
}

int VorlixView::vInputLocation() {
  if (!askLocation()) return 1;
  const WinpData* d = indata;
  // The observer is drawn on the background layer: a map on screen would go
  // on showing the old place until the next Refresh.
  if (d->dspst == 1 && !d->picmd)
    vRefreshP();
  else if (!d->picmd)
    observerMoved = true;
  return 0;
}

void VorlixView::redrawIfObserverMoved() {
  if (!observerMoved || indata->picmd) return;
  // The text page shown last stays the one X brings back.
  const int mode = dsplmd;
  vRefreshP();
  dsplmd = mode;
}

// With the defaults in force the dialog shows the UTC - TAI that the default
// TT - UT implies (whole seconds, truncated toward zero).
void VorlixView::vSetIERS() {
  WinpData* d = indata;
  int utcTai = d->UtcTai;
  if (!d->IERSflg) {
    const double implied = d->TtUt - 32.184 + 0.0001;
    utcTai = std::fabs(implied) < 1e6 ? -static_cast<int>(implied) : 0;
  }
  StIersDialog dlg;
  dlg.setParams(d->IERSflg, d->IERSxp, d->IERSyp, utcTai, d->Ut1Utc);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  dlg.getParams(d->IERSflg, d->IERSxp, d->IERSyp, d->UtcTai, d->Ut1Utc);
  d->TtUt = SetTtUt(d, d->year);
}

void VorlixView::vSysConf() {
  WinpData* d = indata;
  StSysConfDialog dlg;
  dlg.setParams(d->RKFtol, d->dF107, d->dFB107, d->dKp, d->dCd, d->dCr, d->dAm, d->lift, d->sunf,
                d->moonf, d->refrc, d->mxit, d->atmx);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  dlg.getParams(d->RKFtol, d->dF107, d->dFB107, d->dKp, d->dCd, d->dCr, d->dAm, d->lift, d->sunf,
                d->moonf, d->refrc, d->mxit, d->atmx);
}

// Nothing is redrawn: the new conditions apply from the next list or plot.
void VorlixView::vVisibility() {
  WinpData* d = indata;
  const bool cylIn = cylinderAxis(d->cylflg, d->flarflg, d->flarmod);
  StVisDialog dlg;
  dlg.setParams(d->sunel, d->satel, d->yrepoch, cylIn ? d->cylra : d->occra,
                cylIn ? d->cyldec : d->occdec, d->visflg, d->moonflg);
  dlg.setParam2(d->sunmplt, d->occflg, d->iridflg, d->flarflg, d->flarmod, d->flaryst, d->eclflg,
                d->solflar, d->flrmgf, d->flrmgx, d->cylflg);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  double dir1, dir2;
  int sunmplt, occflg, iridflg, flarflg, flarmod, flaryst;
  dlg.getParams(d->sunel, d->satel, d->yrepoch, dir1, dir2, d->visflg, d->moonflg);
  dlg.getParam2(sunmplt, occflg, iridflg, flarflg, flarmod, flaryst, d->eclflg, d->solflar,
                d->flrmgf, d->flrmgx, d->cylflg);
  if (cylinderAxis(d->cylflg, flarflg, flarmod)) {
    d->cylra = dir1;
    d->cyldec = dir2;
  } else {
    d->occra = dir1;
    d->occdec = dir2;
  }
  // The Sun/Moon chart draws its body into the background: a new body needs
  // a new background at the next plot.
  if (sunmplt == 1 && ((d->occflg == 1 && occflg == 2) || (d->occflg == 2 && occflg == 1)))
    d->bkgmjd = 0;
  d->sunmplt = sunmplt;
  d->occflg = occflg;
  d->flarflg = flarflg;
  d->flarmod = flarmod;
  d->iridflg = iridflg;
  d->flaryst = flaryst;
}

// The physical map is offered only while its image is loaded; the meridian
// is kept in [0, 360) and a negative frequency means none.
void VorlixView::vMapDialog() {
  WinpData* d = indata;
  StMapDialog dlg;
  dlg.setParams(d->mgrid, d->mgrey, d->skyprj, d->mpnight, d->skymap, d->ra4d, d->skaz, d->satsky);
  dlg.setParamF(d->mfsz, d->bf, d->mapprj == 3 && !d->phwm ? 0 : d->mapprj, d->centmer, d->frequ,
                d->phwm);
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  double centmer, frequ;
  dlg.getParams(d->mgrid, d->mgrey, d->skyprj, d->mpnight, d->skymap, d->ra4d, d->skaz,
                d->satsky);
  dlg.getParamF(d->mfsz, d->bf, d->mapprj, centmer, frequ);
  centmer = std::fmod(centmer, 360.0);
  if (centmer < 0.0) centmer += 360.0;
  d->centmer = centmer < 360.0 ? centmer : 0.0;
  d->frequ = frequ < 0.0 ? 0.0 : frequ;
  vRefresh();
}

// The Space key: the local details for a place typed for this one look; the
// observer is put back afterwards (the degree format chosen stays).
void VorlixView::vLocalInf() {
  WinpData* d = indata;
  if (d->skymap) return;
  Keep<double> lat(d->lat), lng(d->lng), height(d->height);
  char geoname[GEONAME_SIZE];
  std::memcpy(geoname, d->geoname, GEONAME_SIZE);
  Keep<bool> serving(busy, true);
  // Only the dialog: the map keeps the observer's own place, which comes
  // back below.
  askLocation();  // cancelled: the details of the unchanged place
  vLocalPass();
  std::memcpy(d->geoname, geoname, GEONAME_SIZE);
}

void VorlixView::vLocalPass() {
  char text[LOCALINF_SIZE];
  LocalInf(indata, text);
  StLocalDialog dlg;
  dlg.setParams(CharToQs(text), indata->fsz);
  prompter().exec(dlg);
}
