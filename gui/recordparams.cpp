#include "gui/recordparams.h"

#include <cmath>

#include "astro/constants.h"
#include "dialogs/stepoch.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

namespace {
// Cylinder flares on a surface of unknown orientation keep their axis in the
// cylinder fields; every other mode uses the occultation direction.
bool cylinderAxis(bool cylflg, int flarflg, int flarmod) {
  return cylflg && flarflg == 1 && flarmod < 0;
}
}  // namespace

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

// (Whole seconds of the implied UTC - TAI, truncated toward zero.)
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

EditOrbParams editOrbFromRecord(const WinpData& d, int i) {
  EditOrbParams p;
  p.name = CharToQs(d.satname[i]);
  p.norad = d.norad[i];
  p.aflg = d.sgpflg[i];
  p.paflg = d.paflg;
  p.mjdep = d.epoch[i];
  p.lcflg = d.lcflg;
  p.a = d.a[i];
  p.ra = d.ra[i];
  p.aper = d.aper[i];
  p.inc = d.inc[i];
  p.ecc = d.ecc[i];
  p.m0 = d.m0[i];
  p.n0 = d.mnmot[i];
  p.adot = d.adot[i];
  p.ndot = d.ndot[i];
  p.n6dot = d.n6dot[i];
  p.bstar = d.bstar[i];
  p.dsn = CharToQs(d.dsn[i]);
  p.numflg = d.nmflg[i] != 0;
  return p;
}

void editOrbToRecord(const EditOrbParams& p, double shownEpoch, WinpData& d, int i) {
  QsToChar(p.name, d.satname[i], SATNAME_SIZE - 1);
  QsToChar(p.dsn, d.dsn[i], DSN_SIZE - 1);
  d.norad[i] = p.norad;
  d.nmflg[i] = p.numflg ? 1 : 0;
  d.sgpflg[i] = p.aflg;
  d.paflg = p.paflg;
  if (d.lcflg != 1) {
    if (!p.numflg || p.ecc < 1.0) {
      int y0;
      double day0;
      EpochYearDay(shownEpoch, y0, day0);
      d.epoch[i] = p.year == y0 && p.day == day0 ? shownEpoch : EpochMjd(p.year, p.day);
    }
    d.ra[i] = p.ra;
    d.aper[i] = p.aper;
    d.m0[i] = p.m0;
  }
  d.a[i] = p.a;
  d.ecc[i] = p.ecc;
  d.inc[i] = p.inc;
  d.mnmot[i] = p.n0;
  d.adot[i] = p.adot;
  d.ndot[i] = p.ndot;
  d.n6dot[i] = p.n6dot;
  d.bstar[i] = p.bstar;
}

LaunchParams launchFromRecord(const WinpData& d) {
  LaunchParams p;
  p.site = d.lsx;
  p.lat = d.lslat;
  p.lng = d.lslng;
  p.south = d.lsouth == 1;
  p.ascent = d.tmeco;
  return p;
}

void launchToRecord(const LaunchParams& p, WinpData& d) {
  d.lsx = p.site;
  d.lslat = p.lat;
  d.lslng = p.lng;
  d.lsouth = p.south ? 1 : 0;
  d.tmeco = p.ascent;
}

DeltaParams deltaFromRecord(const WinpData& d, int s) {
  DeltaParams p;
  const bool thrust = d.ionf[s] && d.nmflg[s];
  p.deltaV = thrust ? 1000.0 * d.deltv[s] : d.deltv[s];
  p.yaw = d.yaw[s];
  p.pitch = d.pitch[s];
  p.thrust = d.ionf[s];
  p.sunlitOnly = d.suns[s];
  p.updateElements = d.epu[s];
  p.numerical = d.nmflg[s];
  return p;
}

void deltaToRecord(const DeltaParams& p, WinpData& d, int s) {
  const bool thrust = p.thrust && d.nmflg[s];
  d.deltv[s] = thrust ? p.deltaV / 1000.0 : p.deltaV;  // mm/s^2 shown, m/s^2 stored
  d.yaw[s] = p.yaw;
  d.pitch[s] = p.pitch;
  d.ionf[s] = p.thrust;
  d.suns[s] = p.sunlitOnly;
  d.epu[s] = p.updateElements;
}

AstParams astFromRecord(const WinpData& d, int k) {
  AstParams p;
  p.ra = DegFDms(12.0 * d.picra[k] / kPi);
  p.dec = DegFDms(180.0 * d.picdec[k] / kPi);
  return p;
}

void astToRecord(const AstParams& p, WinpData& d, int k) {
  d.picra[k] = DmsDegF(p.ra) * kPi / 12.0;
  d.picdec[k] = DmsDegF(p.dec) * kPi / 180.0;
}

MatchParams matchFromRecord(const WinpData& d) {
  MatchParams p;
  p.centre1 = d.mtaz;
  p.centre2 = d.mtel;
  p.maxDistance = d.mxa;
  p.direction = d.dra;
  p.window = d.tm;
  p.raDec = d.rdf == 1;
  p.directionFilter = d.drf == 1;
  p.majorOnly = d.mtmaj;
  return p;
}

void matchToRecord(const MatchParams& p, WinpData& d) {
  d.mtaz = p.centre1;
  d.mtel = p.centre2;
  d.mxa = p.maxDistance;
  d.dra = p.direction;
  d.tm = std::fabs(p.window);
  d.rdf = p.raDec ? 1 : 0;
  d.drf = p.directionFilter ? 1 : 0;
  d.mtmaj = p.majorOnly;
}

OrbDetParams orbDetFromRecord(const WinpData& d) {
  OrbDetParams p;
  p.az1 = d.az1;
  p.el1 = d.el1;
  p.az2 = d.az2;
  p.el2 = d.el2;
  p.deltm = d.deltm;
  p.raDec1 = d.az1flg == 1;
  p.raDec2 = d.az2flg == 1;
  p.match = d.odm;
  p.picture = d.npicpt >= 6;
  return p;
}

void orbDetToRecord(const OrbDetParams& p, WinpData& d) {
  d.az1 = p.az1;
  d.el1 = p.el1;
  d.az2 = p.az2;
  d.el2 = p.el2;
  d.deltm = p.deltm;
  d.az1flg = p.raDec1 ? 1 : 0;
  d.az2flg = p.raDec2 ? 1 : 0;
  d.odm = p.match;
}

RemSatParams remSatFromRecord(const WinpData& d) {
  RemSatParams p;
  p.satellites = d.satnr;
  return p;
}

SwitchParams switchFromRecord(const WinpData& d) {
  SwitchParams p;
  p.prime = d.prs;
  p.relative = d.rlm;
  p.satellites = d.satnr;
  return p;
}

void switchToRecord(const SwitchParams& p, WinpData& d) {
  d.prs = p.prime;
  d.rlm = p.relative;
}

StepParams stepFromRecord(const WinpData& d) {
  StepParams p;
  p.minutes = d.stepmin;
  p.seconds = d.stepsec;
  return p;
}

void stepToRecord(const StepParams& p, WinpData& d) {
  const VorlixView::TimeStep st = VorlixView::stepFromInput(p.minutes, p.seconds);
  d.stepmin = st.stepmin;
  d.stepsec = st.stepsec;
  d.tstep = st.tstep;
}

IridiumParams iridiumFromRecord(const WinpData& d) {
  IridiumParams p;
  p.magLimit = d.irmag;
  p.operationalOnly = d.ops == 1;
  p.solarPanels = d.irsol;
  return p;
}

void iridiumToRecord(const IridiumParams& p, WinpData& d) {
  d.irmag = p.magLimit;
  d.ops = p.operationalOnly ? 1 : 0;
  d.irsol = p.solarPanels;
}

AdjParams adjFromRecord(const WinpData& d) {
  AdjParams p;
  p.sdp4 = d.sdp4;
  p.adjflg = d.adjflg;
  p.adjtim = d.adjtim;
  p.adjn0 = d.adjn0;
  p.adjra = d.adjra;
  p.wgs = d.wgs;
  return p;
}

void adjToRecord(const AdjParams& p, WinpData& d) {
  d.sdp4 = p.sdp4;
  d.adjflg = p.adjflg;
  d.adjtim = std::isfinite(p.adjtim) ? p.adjtim : 0.0;
  d.adjn0 = std::isfinite(p.adjn0) && p.adjn0 >= 0.0 ? p.adjn0 : 0.0;
  d.adjra = std::isfinite(p.adjra) ? p.adjra : 0.0;
  d.wgs = p.wgs;
}
