// Services of the orbit dialogs: TLE adjustment settings, the prime
// satellite's osculating and SGP4 elements, its state vector in four frames.
#include <cmath>

#include <QCoreApplication>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "dialogs/stadjdialog.h"
#include "gui/recordparams.h"
#include "gui/records.h"
#include "engine/stateframes.h"
#include "gui/vsservices.h"
#include "engine/sgp4slot.h"
#include "orbit/sgp4fit.h"
#include "orbit/sgp4unit.h"

namespace {

// The prime slot, or -1 when prs does not name one.
int Prime() { return HasPrimeSlot(indata) ? indata->prs : -1; }

// m from km; the stored metres when km is what they read as, so that a
// state read and stored again stays bit for bit.
double Metres(double km, double stored) { return km == stored / 1000.0 ? stored : km * 1000.0; }

bool Finite(std::initializer_list<double> xs) {
  for (double x : xs)
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace

AdjParams vsGetAdj() { return adjFromRecord(*indata); }

void vsPutAdj(const AdjParams& p) {
  adjToRecord(p, *indata);
  indata->sgpsat = SGPSAT_NONE;
}

bool vsCkHyp(double& ecc, double& tp) {
  const int s = Prime();
  if (s < 0) return false;
  const Vec3 r(indata->rx[s] / 1000.0, indata->ry[s] / 1000.0, indata->rz[s] / 1000.0);
  const Vec3 v(indata->vx[s] * 86.4, indata->vy[s] * 86.4, indata->vz[s] * 86.4);
  if (!Finite({r.x, r.y, r.z, v.x, v.y, v.z, indata->epoch[s]}) || !(abs(r) > 0.0)) return false;
  double t, m, a, e, node, argp, inc;
  oscelm(kGmEgm96Km3Day2, indata->epoch[s], r, v, t, m, a, e, node, argp, inc);
  if (!Finite({e, t})) return false;
  ecc = e;
  tp = t;
  return true;
}

Sgp4Conversion cvSGP4(double bstar) {
  Sgp4Conversion out;
  indata->sgpsat = SGPSAT_NONE;
  const int s = Prime();
  if (s < 0 || !Finite({indata->epoch[s], bstar})) {
    out.code = RV2EL_BADINPUT;
    return out;
  }
  const double t = indata->epoch[s];
  const Mat3 q = Sgp4SlotFrame(indata, t);
  const Vec3 r = mxvct(q, Vec3(indata->rx[s], indata->ry[s], indata->rz[s]));
  const Vec3 v = mxvct(q, Vec3(indata->vx[s], indata->vy[s], indata->vz[s]));
  // The elements are fitted to the model the slot runs: its constants, its
  // deep-space switch, its B*.
  Sgp4Model model = Sgp4SlotModel(indata, s);
  model.bstar = bstar;
  Sgp4Mean el;
  out.code = sgp4fit(model, r, v, el);
  if (out.code == RV2EL_OK || out.code == SGP4FIT_NOTCONVERGED) out.el = el;
  return out;
}

bool vsSgp4State(const Sgp4Mean& el, double epoch, double bstar, Vec3& r, Vec3& v) {
  const int s = Prime();
  if (s < 0 || !Finite({epoch, bstar, el.incl, el.node, el.ecc, el.argp, el.M, el.n}))
    return false;
  // The model the prime slot runs, at the epoch of these elements: the one
  // cvSGP4 fits to, so that a state shown and taken back is the same orbit.
  Sgp4Model model = Sgp4SlotModel(indata, s);
  model.epoch = epoch;
  model.bstar = bstar;
  elsetrec rec;
  if (sgp4initMean(model, el, rec) != 0) return false;
  double rr[3], vv[3];
  if (sgp4(model.grav, rec, 0.0, rr, vv) != 0 ||
      !Finite({rr[0], rr[1], rr[2], vv[0], vv[1], vv[2]}))
    return false;
  const Mat3 q = mxtrn(Sgp4SlotFrame(indata, epoch));
  r = mxvct(q, Vec3(rr[0], rr[1], rr[2]));
  v = mxvct(q, Vec3(vv[0], vv[1], vv[2]));
  return true;
}

QString cvSGP4Text(int code) {
  const char* text;
  switch (code) {
    case RV2EL_BADINPUT:
      text = "*** The state vector holds a value that is no number ***";
      break;
    case RV2EL_BELOWSURFACE:
      text = "*** The state vector lies at or below the Earth's surface ***";
      break;
    case RV2EL_NOTELLIPTIC:
      text = "*** The state vector gives no closed orbit ***";
      break;
    case SGP4FIT_NOTCONVERGED:
      text = "+++ The SGP4 elements give back the state vector only approximately +++";
      break;
    default:
      text = "*** No SGP4 elements fit the state vector ***";
      break;
  }
  return vsTr(text);
}

void vsGetState(bool nm, SlotState& st) {
  st.frame = indata->stfrm;
  const int s = Prime();
  if (s < 0) return;
  st.f107 = indata->f107[s];
  st.fb107 = indata->fb107[s];
  st.kp = indata->kp[s];
  st.cr = indata->cr[s];
  st.cd = indata->cd[s];
  st.am = indata->am[s];
  if (!nm) return;
  st.r = Vec3(indata->rx[s] / 1000.0, indata->ry[s] / 1000.0, indata->rz[s] / 1000.0);
  st.v = Vec3(indata->vx[s] / 1000.0, indata->vy[s] / 1000.0, indata->vz[s] / 1000.0);
  st.epoch = indata->epoch[s];
}

bool vsPutState(bool nm, const SlotState& st, bool reset) {
  const int s = Prime();
  const Vec3& r = st.r;
  const Vec3& v = st.v;
  if (s < 0 || !Finite({st.epoch, r.x, r.y, r.z, v.x, v.y, v.z}) || !(abs(r) > 0.0)) return false;
  if (nm && !Finite({st.f107, st.fb107, st.kp, st.cr, st.cd, st.am})) return false;
  WinpData* d = indata;
  d->stfrm = ValidFrame(st.frame);
  d->epoch[s] = st.epoch;
  d->rx[s] = Metres(r.x, d->rx[s]);
  d->ry[s] = Metres(r.y, d->ry[s]);
  d->rz[s] = Metres(r.z, d->rz[s]);
  d->vx[s] = Metres(v.x, d->vx[s]);
  d->vy[s] = Metres(v.y, d->vy[s]);
  d->vz[s] = Metres(v.z, d->vz[s]);
  if (reset) {
    d->irx[s] = d->rx[s];
    d->iry[s] = d->ry[s];
    d->irz[s] = d->rz[s];
    d->ivx[s] = d->vx[s];
    d->ivy[s] = d->vy[s];
    d->ivz[s] = d->vz[s];
    d->tint[s] = st.epoch;
  }
  if (nm) {
    d->f107[s] = st.f107;
    d->fb107[s] = st.fb107;
    d->kp[s] = st.kp;
    d->cr[s] = st.cr;
    d->cd[s] = st.cd;
    d->am[s] = st.am;
  }
  d->sgpsat = SGPSAT_NONE;
  return true;
}

FrameState vsRefState(int from, int to, double mjd, const Vec3& r, const Vec3& v) {
  FrameState st{r, v};
  RefState(*indata, from, to, mjd, st.r, st.v);
  return st;
}
