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
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

namespace {
// Cylinder flares on a surface of unknown orientation keep their axis in the
// cylinder fields; every other mode uses the occultation direction.
bool cylinderAxis(bool cylflg, int flarflg, int flarmod) {
  return cylflg && flarflg == 1 && flarmod < 0;
}

// While a launch, manoeuvre, match or orbit determination asks for its start
// time (lcflg 1), the interval and the real-time offset are locked.
DateParams dateFromRecord(const WinpData& d) {
  DateParams p;
  p.year = d.year;
  p.month = d.month;
  p.day = d.day;
  p.hour = d.hour;
  p.minute = d.minute;
  p.second = d.second;
  p.zone = d.tzone;
  p.systemZone = d.tzauto != 0;
  p.duration = d.lcflg == 1 ? -std::fabs(d.dur) : d.dur;
  p.rtOffset = d.rtoff;
  return p;
}

void dateToRecord(const DateParams& p, WinpData& d) {
  d.year = p.year;
  d.month = p.month;
  d.day = p.day;
  d.hour = p.hour;
  d.minute = p.minute;
  d.second = p.second;
  d.tzone = p.zone;
  d.tzauto = p.systemZone ? 1 : 0;
  if (d.lcflg == 0) d.dur = p.duration;
  d.dur = std::fabs(d.dur);
  d.rtoff = p.rtOffset;
}

ObsParams obsFromRecord(const WinpData& d) {
  ObsParams p;
  p.lat = d.lat;
  p.lng = d.lng;
  p.height = d.height;
  p.name = QString::fromLatin1(d.geoname);
  p.packed = d.ddmm != 0;
  return p;
}

void obsToRecord(const ObsParams& p, WinpData& d) {
  d.lat = p.lat;
  d.lng = p.lng;
  d.height = p.height;
  d.ddmm = p.packed ? 1 : 0;
  QsToChar(p.name, d.geoname, GEONAME_SIZE - 1);
}

// With the defaults in force the dialog shows the UTC - TAI that the default
// TT - UT implies (whole seconds, truncated toward zero).
IersParams iersFromRecord(const WinpData& d) {
  IersParams p;
  p.given = d.IERSflg;
  p.poleX = d.IERSxp;
  p.poleY = d.IERSyp;
  p.utcTai = d.UtcTai;
  if (!d.IERSflg) {
    const double implied = d.TtUt - 32.184 + 0.0001;
    p.utcTai = std::fabs(implied) < 1e6 ? -static_cast<int>(implied) : 0;
  }
  p.ut1Utc = d.Ut1Utc;
  return p;
}

void iersToRecord(const IersParams& p, WinpData& d) {
  d.IERSflg = p.given;
  d.IERSxp = p.poleX;
  d.IERSyp = p.poleY;
  d.UtcTai = p.utcTai;
  d.Ut1Utc = p.ut1Utc;
}

SysConfParams sysConfFromRecord(const WinpData& d) {
  SysConfParams p;
  p.rkfTol = d.RKFtol;
  p.maxIterations = d.mxit;
  p.f107Daily = d.dF107;
  p.f107Mean = d.dFB107;
  p.kp = d.dKp;
  p.dragCoeff = d.dCd;
  p.radiationCoeff = d.dCr;
  p.areaMass = d.dAm;
  p.liftDrag = d.lift;
  p.sunAttraction = d.sunf;
  p.moonAttraction = d.moonf;
  p.refraction = d.refrc;
  p.extinction = d.atmx;
  return p;
}

void sysConfToRecord(const SysConfParams& p, WinpData& d) {
  d.RKFtol = p.rkfTol;
  d.mxit = p.maxIterations;
  d.dF107 = p.f107Daily;
  d.dFB107 = p.f107Mean;
  d.dKp = p.kp;
  d.dCd = p.dragCoeff;
  d.dCr = p.radiationCoeff;
  d.dAm = p.areaMass;
  d.lift = p.liftDrag;
  d.sunf = p.sunAttraction;
  d.moonf = p.moonAttraction;
  d.refrc = p.refraction;
  d.atmx = p.extinction;
}

VisParams visFromRecord(const WinpData& d) {
  VisParams p;
  p.sunElevationMax = d.sunel;
  p.satElevationMin = d.satel;
  p.epochYear = d.yrepoch;
  const bool cyl = cylinderAxis(d.cylflg, d.flarflg, d.flarmod);
  p.direction1 = cyl ? d.cylra : d.occra;
  p.direction2 = cyl ? d.cyldec : d.occdec;
  p.visibleOnly = d.visflg;
  p.moonshineOnly = d.moonflg;
  p.sunMoonChart = d.sunmplt;
  p.occultation = d.occflg;
  p.iridium = d.iridflg;
  p.flares = d.flarflg;
  p.flareModel = d.flarmod;
  p.yawSteering = d.flaryst;
  p.eclipse = d.eclflg;
  p.solarPanel = d.solflar;
  p.flareMagLimited = d.flrmgf;
  p.flareMagLimit = d.flrmgx;
  p.cylinder = d.cylflg;
  return p;
}

void visToRecord(const VisParams& p, WinpData& d) {
  d.sunel = p.sunElevationMax;
  d.satel = p.satElevationMin;
  d.yrepoch = p.epochYear;
  d.visflg = p.visibleOnly;
  d.moonflg = p.moonshineOnly;
  d.eclflg = p.eclipse;
  d.solflar = p.solarPanel;
  d.flrmgf = p.flareMagLimited;
  d.flrmgx = p.flareMagLimit;
  d.cylflg = p.cylinder;
  if (cylinderAxis(d.cylflg, p.flares, p.flareModel)) {
    d.cylra = p.direction1;
    d.cyldec = p.direction2;
  } else {
    d.occra = p.direction1;
    d.occdec = p.direction2;
  }
  // The Sun/Moon chart draws its body into the background: a new body needs
  // a new background at the next plot.
  if (p.sunMoonChart == 1 &&
      ((d.occflg == 1 && p.occultation == 2) || (d.occflg == 2 && p.occultation == 1)))
    d.bkgmjd = 0;
  d.sunmplt = p.sunMoonChart;
  d.occflg = p.occultation;
  d.flarflg = p.flares;
  d.flarmod = p.flareModel;
  d.iridflg = p.iridium;
  d.flaryst = p.yawSteering;
}

// The physical map is offered only while its image is loaded.
MapParams mapFromRecord(const WinpData& d) {
  MapParams p;
  p.grid = d.mgrid;
  p.background = d.mgrey;
  p.skyProjection = d.skyprj;
  p.night = d.mpnight;
  p.skyChart = d.skymap;
  p.fourDecimals = d.ra4d;
  p.skyAzimuth = d.skaz;
  p.fromSatellite = d.satsky;
  p.fontSize = d.mfsz;
  p.bold = d.bf;
  p.mapProjection = d.mapprj == 3 && !d.phwm ? 0 : d.mapprj;
  p.centralMeridian = d.centmer;
  p.frequency = d.frequ;
  p.imageLoaded = d.phwm;
  return p;
}

// The meridian is kept in [0, 360) and a negative frequency means none.
void mapToRecord(const MapParams& p, WinpData& d) {
  d.mgrid = p.grid;
  d.mgrey = p.background;
  d.skyprj = p.skyProjection;
  d.mpnight = p.night;
  d.skymap = p.skyChart;
  d.ra4d = p.fourDecimals;
  d.skaz = p.skyAzimuth;
  d.satsky = p.fromSatellite;
  d.mfsz = p.fontSize;
  d.bf = p.bold;
  d.mapprj = p.mapProjection;
  double centmer = std::fmod(p.centralMeridian, 360.0);
  if (centmer < 0.0) centmer += 360.0;
  d.centmer = centmer < 360.0 ? centmer : 0.0;
  d.frequ = p.frequency < 0.0 ? 0.0 : p.frequency;
}
}  // namespace

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
