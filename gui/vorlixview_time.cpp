// Time: stepping, pass jumps, Real Time and Delta Time ticks.
#include <cmath>

#include "astro/astrolib.h"
#include "dialogs/prompter.h"
#include "engine/geometry.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "gui/plottext.h"
#include "gui/records.h"
#include "gui/vorlixview.h"

namespace {
// A Delta Time step this close to the end of the run still counts as landing
// on it: the sum of many steps misses the exact end by rounding.
constexpr double DT_END_SLACK = 1e-7;  // days, 8.6 ms (steps are >= 0.1 s)
}  // namespace

void VorlixView::stepPlot(double t) {
  if (indata->dspst == 0) {
    indata->dspst = 1;
    vRefresh();
  }
  SatPlot(t, 1);
}

void VorlixView::vCurrent() { stepPlot(indata->curmjd); }
// Forward is later and back is earlier whatever the sign of the step.
void VorlixView::vForward() { stepPlot(indata->curmjd + StepDays(indata)); }
void VorlixView::vBackward() { stepPlot(indata->curmjd - StepDays(indata)); }
void VorlixView::vPlotNext() { passJump(true); }
void VorlixView::vPlotLast() { passJump(false); }

void VorlixView::passJump(bool next) {
  WinpData* d = indata;
  if (d->satnr < 1) {
    prompter().warn(tr("Vorlix"), tr("No satellite selected"), this, tr("Quit"));
    return;
  }
  const double step = StepDays(d);
  const double t0 = next ? d->curmjd + step : d->curmjd - step;
  const double t1 = next ? t0 + d->dur : t0 - d->dur;
  EndRelativeOnSkyMap(d);
  double tm[3] = {0, 0, 0}, a1[3], a2[3];
  // The Iridium kind searches ordinary passes; the kind comes back right after
  // the search, so the step drawn at the pass has its flare values.
  const int kind = d->iridflg;
  if (kind == 3) d->iridflg = 0;
  const int found = next ? nextpass(d, d->prs, t0, t1, tm, a1, a2)
                         : lastpass(d, d->prs, t0, t1, tm, a1, a2);
  d->iridflg = kind;
  if (!found) {
    if (d->dspst != 0) SatPlot(d->curmjd, 1);
    prompter().warn(tr("Vorlix"), tr("No suitable pass found"), this, tr("Quit"));
    return;
  }
  vRefresh();
  d->pasact = 1;
  const bool relative = RelativeMode(d);
  double t = relative ? tm[0] : tm[1];
  if (!relative && d->skymap && d->skyprj == 5) {
    SkyAzim(d, tm[1]);
    vRefresh();
  }
  if (step >= ONE_SECOND_DAYS) t = wholeSecond(t);
  SatPlot(t, 1);
}

void VorlixView::RT_Plot() {
  if (busy) return;
  if (indata->dspst < 1) {
    indata->dspst = 1;
    redrawIfStale();
    resizeToShown();
  }
  SatPlot(RT_MJD(indata), 1);
}

int VorlixView::PlotDelta() {
  if (busy) return 1;
  // A run goes forward to its end, whatever the sign of the step.
  const double t = indata->curmjd + StepDays(indata);
  if (!(t <= dtend + DT_END_SLACK)) return 1;
  SatPlot(t, 0);
  return 0;
}

void VorlixView::vTmCheck(int m) {
  WinpData* d = indata;
  if (m < 0) {
    d->dtflg = 0;
    return;
  }
  if (m == 0) {
    if (d->rtflg == 1) {
      d->rtflg = 0;
      vCurrent();
    }
    d->dtflg = 0;
    return;
  }
  if (m == 2) {
    d->rtflg = 0;
    d->dtflg = 0;
    setNewMjd(d);
    d->dtflg = 2;
    vCurrent();
    dtend = d->curmjd + d->dur;
  } else if (m == 1) {
    d->dtflg = 0;
    d->rtflg = 1;
  }
  if (d->dspst < 1) vRefresh();
}
