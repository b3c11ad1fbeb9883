// Orbits and manoeuvres: element editor, delta-V, launch, rendezvous.
#include <cstdio>
#include <cstring>
#include <memory>

#include "astro/astrolib.h"
#include "dialogs/prompter.h"
#include "dialogs/stdeltadialog.h"
#include "dialogs/steditorbdialog.h"
#include "dialogs/stepoch.h"
#include "dialogs/stlaunchdialog.h"
#include "engine/launch.h"
#include "engine/tle.h"
#include "gui/recordparams.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

namespace {

// The record as a command found it, put back when the command is cancelled.
// The TLE adjustment settings and the frame of the state dialog are kept as
// the user left them: their own dialogs stored them on purpose.
class RecordSnapshot {
 public:
  RecordSnapshot() : saved_(std::make_unique<WinpData>()) { take(); }
  void take() { std::memcpy(saved_.get(), indata, sizeof(WinpData)); }
  void restore() const {
    const auto now = std::make_unique<WinpData>(*indata);
    std::memcpy(indata, saved_.get(), sizeof(WinpData));
    indata->sdp4 = now->sdp4;
    indata->adjflg = now->adjflg;
    indata->adjtim = now->adjtim;
    indata->adjn0 = now->adjn0;
    indata->adjra = now->adjra;
    indata->wgs = now->wgs;
    indata->stfrm = now->stfrm;
    // The SGP4 record may hold another slot's elements by now (the editor
    // and a launch propagate), or the same slot under other settings.
    indata->sgpsat = SGPSAT_NONE;
  }

 private:
  std::unique_ptr<WinpData> saved_;
};

// Slot i as a new satellite without elements, epoch now. Its force model
// settings go back to the defaults when its state is first computed
// (EpochState with reset).
void EmptySlot(int i) {
  WinpData* d = indata;
  d->norad[i] = 0;
  std::snprintf(d->satname[i], SATNAME_SIZE, "%-10s", "");
  std::snprintf(d->dsn[i], DSN_SIZE, "%-10s", "");
  d->sgpflg[i] = 0;
  d->nmflg[i] = 0;
  d->epoch[i] = RT_MJD(d);
  for (double* f : {d->a, d->ra, d->aper, d->inc, d->ecc, d->m0, d->mnmot, d->adot, d->ndot,
                    d->n6dot, d->bstar, d->rx, d->ry, d->rz, d->vx, d->vy, d->vz, d->irx, d->iry,
                    d->irz, d->ivx, d->ivy, d->ivz, d->deltv, d->yaw, d->pitch})
    f[i] = 0.0;
  d->tint[i] = d->epoch[i];
}

bool HasState(int i) {
  const WinpData* d = indata;
  return d->rx[i] != 0.0 || d->ry[i] != 0.0 || d->rz[i] != 0.0;
}

// Local launch time of slot n as the entered date and time (whole seconds,
// the fraction dropped).
void LaunchTimeToDate(int n) {
  WinpData* d = indata;
  int day, month, year, h, m;
  double hour, s;
  caldat(d->epoch[n] + d->tzone / 24.0, day, month, year, hour);
  dms(hour, h, m, s);
  d->day = day;
  d->month = month;
  d->year = year;
  d->hour = h;
  d->minute = m;
  d->second = static_cast<int>(s);
}

// The line a launch box adds when the inclination typed never reached the
// launch site's latitude and the launch raised it.
QString RaisedInclination(double from, double to) {
  return VorlixView::tr("\nThe inclination was raised from %1 to %2 deg: no orbit of a lower "
                        "inclination passes over the launch site.")
      .arg(QString::number(from, 'f', 4), QString::number(to, 'f', 4));
}

// Why a rendezvous launch was refused.
QString NoRendezvous(int res) {
  return res == ORBIT_NOTARGET
             ? VorlixView::tr("*** No rendezvous launch: the target satellite has no position "
                              "at the close approach ***")
             : VorlixView::tr("*** No rendezvous launch: the orbits cannot be used ***");
}

}  // namespace

bool VorlixView::ConfirmReplace(const QString& title, const QString& what, int i) {
  const QString name = CharToQs(indata->satname[i]).trimmed();
  return prompter().warn(title,
                         tr("Ten satellites are selected. The new %1 replaces satellite %2 (%3).")
                             .arg(what, QString::number(i + 1), name.isEmpty() ? tr("no name") : name),
                         this, tr("Cancel"));
}

bool VorlixView::editOrbChain() {
  WinpData* d = indata;
  int i = PrimeSlot(d);
  d->prs = i;
  RecordSnapshot snapshot;
  d->sgpsat = SGPSAT_NONE;
  bool empty = d->satnr < 1;
  StEditOrbDialog dlg;
  for (;;) {
    if (empty) EmptySlot(i);
    const double epoch0 = d->epoch[i];
    dlg.setParams(editOrbFromRecord(*d, i));
    if (prompter().exec(dlg) != QDialog::Accepted) {
      snapshot.restore();
      return false;
    }

    const EditOrbParams p = dlg.params();
    const bool nm = p.numflg;
    editOrbToRecord(p, epoch0, *d, i);
    d->sgpsat = SGPSAT_NONE;
    // A new satellite has no state yet (EmptySlot), so it always gets one
    // here, with the default force model.
    if (!nm || !HasState(i)) {
      EpochState(d, i, empty);  // (clears nmflg)
      d->nmflg[i] = nm ? 1 : 0;
    }
    if (d->satnr < 1) d->satnr = 1;
    if (!p.nwsflg) return true;

    // New: one more slot, or the tenth again when ten are selected.
    snapshot.take();
    if (d->satnr < MAXSEL) {
      i = d->satnr;
      ++d->satnr;
    } else {
      if (!ConfirmReplace(tr("Edit Orbit"), tr("satellite"), MAXSEL - 1)) return true;
      i = MAXSEL - 1;
    }
    d->prs = i;
    empty = true;
  }
}

void VorlixView::vEditOrb() { editOrbChain(); }

bool VorlixView::launchChain(double* raisedFrom) {
  WinpData* d = indata;
  RecordSnapshot snapshot;
  {
    // The editor, too, is on the launch's date: its epoch stays locked.
    Keep<int> locked(d->lcflg, 1);
    if (vInputDate() != 0) {
      snapshot.restore();
      return false;
    }
    editOrbChain();  // a cancelled editor launches the elements as they are
  }

  StLaunchDialog dlg;
  dlg.setParams(launchFromRecord(*d));
  if (prompter().exec(dlg) != QDialog::Accepted) {
    snapshot.restore();
    return false;
  }
  launchToRecord(dlg.params(), *d);
  const double inc0 = HasPrimeSlot(d) ? d->inc[d->prs] : 0.0;
  bool raised = false;
  const int res = LaunchOrb(d, &raised);
  // A refused launch leaves the record as a cancelled one does: the elements
  // the editor took for it are not kept as the prime satellite's orbit.
  if (res < 0) snapshot.restore();
  if (res == ORBIT_NOTARGET) {
    prompter().inform(tr("Rendezvous Launch"), NoRendezvous(res), this);
    return false;
  }
  if (res == ORBIT_OPEN) {
    prompter().inform(tr("Launch Orbit"),
                      tr("*** No launch orbit: the orbit of the prime satellite is open "
                         "(eccentricity 1 or more); a launch needs a closed orbit ***"),
                      this);
    return false;
  }
  if (res < 0) {
    prompter().inform(tr("Launch Orbit"),
                      tr("*** No launch orbit: the launch site or the orbit of the prime "
                         "satellite cannot be used ***"),
                      this);
    return false;
  }
  if (raised && raisedFrom) *raisedFrom = inc0;
  if (d->rndflg < 0) {
    char text[64];
    std::snprintf(text, sizeof text, "Launch Azimuth (deg):\n\t%8.2lf", d->lazim);
    decdot0(text);
    QString box = QString::fromLatin1(text);
    if (raised) box += RaisedInclination(inc0, d->inc[d->prs]);
    prompter().inform(tr("Launch Orbit"), box, this);
  }
  return true;
}

void VorlixView::vLaunch() { launchChain(nullptr); }

void VorlixView::vRendz() {
  WinpData* d = indata;
  const QString title = tr("Rendezvous Launch");
  if (d->satnr < 1 || d->prs < 0 || d->prs >= d->satnr) {
    prompter().inform(title, tr("*** No target satellite selected ***"), this);
    return;
  }
  RecordSnapshot snapshot;
  double t = d->rndtm;
  if (prompter().askDouble(title, tr("Time until close approach (days):"), t, 0.0, 1000.0, 2, this))
    d->rndtm = t;

  const int p = d->prs;
  const int n = p + 1 < MAXSEL ? p + 1 : p - 1;
  if (n < d->satnr) {
    // The slot after the target is taken whatever the count: name the one
    // that goes.
    const QString name = CharToQs(d->satname[n]).trimmed();
    if (!prompter().warn(title,
                         tr("The launched satellite replaces satellite %1 (%2).")
                             .arg(QString::number(n + 1), name.isEmpty() ? tr("no name") : name),
                         this, tr("Cancel"))) {
      snapshot.restore();
      return;
    }
  }
  d->rndsat = p;
  if (n == p + 1 && n >= d->satnr) ++d->satnr;
  d->rndflg = n;
  d->prs = n;
  ShiftElm(d, n, p);

  double raisedFrom = -1.0;  // the inclination typed, when the launch raised it
  if (!launchChain(&raisedFrom)) {
    snapshot.restore();
    return;
  }
  // Once more from the launch time found, for the plane's drift over the wait.
  LaunchTimeToDate(n);
  const int res = LaunchOrb(d);
  if (res < 0) {
    snapshot.restore();
    prompter().inform(title, NoRendezvous(res), this);
    return;
  }
  LaunchTimeToDate(n);
  char text[80];
  std::snprintf(text, sizeof text, "Launch time: %4i-%2i-%2i  %2i:%2i:%2i", d->year, d->month,
                d->day, d->hour, d->minute, d->second);
  QString box = QString::fromLatin1(text);
  if (raisedFrom >= 0.0) box += RaisedInclination(raisedFrom, d->inc[n]);
  prompter().inform(title, box, this);
  d->rndflg = -1;
}

void VorlixView::vDeltaV() {
  WinpData* d = indata;
  if (d->satnr < 1) {
    prompter().inform(tr("Vorlix"), tr("*** No Satellite Selected ***"), this);
    return;
  }
  // The slot the window shows as prime is the one the manoeuvre acts on.
  d->prs = PrimeSlot(d);
  const int s = d->prs;
  const bool thrust = d->ionf[s] && d->nmflg[s];
  if (!thrust) {
    // An impulse is applied at a time the user gives.
    if (inputEventDate() != 0) return;
  }
  StDeltaDialog dlg;
  dlg.setParams(deltaFromRecord(*d, s));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  const DeltaParams p = dlg.params();
  deltaToRecord(p, *d, s);
  if (p.thrust && d->nmflg[s]) return;  // a thrust runs with the propagation
  if (thrust) return;  // thrust switched off: nothing to execute
  Keep<int> rlm(d->rlm, 0);
  double perigee = 0.0;
  const int res = ExDeltaV(d, p.deltaV, p.yaw, p.pitch, &perigee);
  if (res == 1)
    prompter().inform(tr("Vorlix"), tr("Delta-V resulted in a hyperbolic orbit"), this);
  else if (res == ORBIT_BELOWSURFACE)
    // The orbit editor refuses these elements on OK; SGP4 would not even
    // place the satellite at the burn.
    prompter().inform(tr("Delta-V"),
                      tr("*** Delta-V not applied: the new orbit runs below the Earth's surface "
                         "(perigee height %1 km) ***")
                          .arg(QString::number(perigee, 'f', 1)),
                      this);
  else if (res < 0)
    prompter().inform(tr("Delta-V"),
                      tr("*** Delta-V not applied: the orbit of the prime satellite cannot be "
                         "used ***"),
                      this);
}
