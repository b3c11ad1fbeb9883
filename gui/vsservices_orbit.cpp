// Services of the orbit dialogs: TLE adjustment settings, the prime
// satellite's osculating and SGP4 elements, its state vector in four frames.
#include <cmath>

#include <QCoreApplication>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "gui/records.h"
#include "engine/stateframes.h"
#include "gui/vsservices.h"
#include "engine/sgp4slot.h"
#include "orbit/sgp4fit.h"

namespace {

// The prime slot, or -1 when prs does not name one.
int Prime() {
  const int s = indata->prs;
  return s >= 0 && s < NSLOTS ? s : -1;
}

// m from km; the stored metres when km is what they read as, so that a
// state read and stored again stays bit for bit.
double Metres(double km, double stored) { return km == stored / 1000.0 ? stored : km * 1000.0; }

bool Finite(std::initializer_list<double> xs) {
  for (double x : xs)
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace

void vsGetAdj(bool& sdp4, bool& adjflg, double& adjtim, double& adjn0, double& adjra, int& wgs) {
  sdp4 = indata->sdp4;
  adjflg = indata->adjflg;
  adjtim = indata->adjtim;
  adjn0 = indata->adjn0;
  adjra = indata->adjra;
  wgs = indata->wgs;
}

void vsPutAdj(bool sdp4, bool adjflg, double adjtim, double adjn0, double adjra, int wgs) {
  indata->sdp4 = sdp4;
  indata->adjflg = adjflg;
  indata->adjtim = std::isfinite(adjtim) ? adjtim : 0.0;
  indata->adjn0 = std::isfinite(adjn0) && adjn0 >= 0.0 ? adjn0 : 0.0;
  indata->adjra = std::isfinite(adjra) ? adjra : 0.0;
  indata->wgs = wgs;
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

int cvSGP4(double bstar, double& incl, double& node, double& ecc, double& argp, double& m,
           double& n) {
  indata->sgpsat = SGPSAT_NONE;
  const int s = Prime();
  if (s < 0 || !Finite({indata->epoch[s], bstar})) return RV2EL_BADINPUT;
  const double t = indata->epoch[s];
  const Mat3 q = Sgp4SlotFrame(indata, t);
  const Vec3 r = mxvct(q, Vec3(indata->rx[s], indata->ry[s], indata->rz[s]));
  const Vec3 v = mxvct(q, Vec3(indata->vx[s], indata->vy[s], indata->vz[s]));
  // The elements are fitted to the model the slot runs: its constants, its
  // deep-space switch, its B*.
  Sgp4Model model = Sgp4SlotModel(indata, s);
  model.bstar = bstar;
  Sgp4Mean el;
  const int res = sgp4fit(model, r, v, el);
  if (res != RV2EL_OK && res != SGP4FIT_NOTCONVERGED) return res;
  incl = el.incl;
  node = el.node;
  ecc = el.ecc;
  argp = el.argp;
  m = el.M;
  n = el.n;
  return res;
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
  return QCoreApplication::translate("vsservices", text);
}

void vsGetState(bool nm, double& f107, double& fb107, double& kp, int& frame, double& cr,
                double& cd, double& am, double& x, double& y, double& z, double& vx, double& vy,
                double& vz, double& epoch) {
  frame = indata->stfrm;
  const int s = Prime();
  if (s < 0) return;
  f107 = indata->f107[s];
  fb107 = indata->fb107[s];
  kp = indata->kp[s];
  cr = indata->cr[s];
  cd = indata->cd[s];
  am = indata->am[s];
  if (!nm) return;
  x = indata->rx[s] / 1000.0;
  y = indata->ry[s] / 1000.0;
  z = indata->rz[s] / 1000.0;
  vx = indata->vx[s] / 1000.0;
  vy = indata->vy[s] / 1000.0;
  vz = indata->vz[s] / 1000.0;
  epoch = indata->epoch[s];
}

bool vsPutState(bool nm, double epoch, double f107, double fb107, double kp, int frame,
                double cr, double cd, double am, double x, double y, double z, double vx,
                double vy, double vz, bool reset) {
  const int s = Prime();
  if (s < 0 || !Finite({epoch, x, y, z, vx, vy, vz}) || !(abs(Vec3(x, y, z)) > 0.0)) return false;
  if (nm && !Finite({f107, fb107, kp, cr, cd, am})) return false;
  WinpData* d = indata;
  d->stfrm = ValidFrame(frame);
  d->epoch[s] = epoch;
  d->rx[s] = Metres(x, d->rx[s]);
  d->ry[s] = Metres(y, d->ry[s]);
  d->rz[s] = Metres(z, d->rz[s]);
  d->vx[s] = Metres(vx, d->vx[s]);
  d->vy[s] = Metres(vy, d->vy[s]);
  d->vz[s] = Metres(vz, d->vz[s]);
  if (reset) {
    d->irx[s] = d->rx[s];
    d->iry[s] = d->ry[s];
    d->irz[s] = d->rz[s];
    d->ivx[s] = d->vx[s];
    d->ivy[s] = d->vy[s];
    d->ivz[s] = d->vz[s];
    d->tint[s] = epoch;
  }
  if (nm) {
    d->f107[s] = f107;
    d->fb107[s] = fb107;
    d->kp[s] = kp;
    d->cr[s] = cr;
    d->cd[s] = cd;
    d->am[s] = am;
  }
  d->sgpsat = SGPSAT_NONE;
  return true;
}

void vsRefState(int from, int to, double mjd, double& x, double& y, double& z, double& vx,
                double& vy, double& vz) {
  Vec3 r(x, y, z), v(vx, vy, vz);
  RefState(*indata, from, to, mjd, r, v);
  x = r.x;
  y = r.y;
  z = r.z;
  vx = v.x;
  vy = v.y;
  vz = v.z;
}
