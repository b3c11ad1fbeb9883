// The local-details text of the map and sky-chart views.
#include "engine/localinf.h"

#include <cmath>
#include <cstdio>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/geometry.h"
#include "engine/satpos.h"

namespace {

constexpr double kMoonR = 1738.0;              // km
constexpr double kTwoSec = 2.3148148148148147e-05;  // d

// Into 0..360 by one addition or subtraction.
double wrap360(double x) {
  if (x < 0.0) return x + 360.0;
  if (x >= 360.0) return x - 360.0;
  return x;
}

double clamp1(double x) { return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x); }

// What stands under the name of a satellite without a position, in place of
// the numbers of the engine's stand-in place, as the panel says it.
const char* noPositionText(int status) {
  return status == SATPOS_DECAYED ? "*** Decayed ***" : "*** No Position ***";
}

// Slot p's name and, under it, why it has no numbers.
void putNoPosition(const WinpData* d, int p, int status, TextBuf& txt) {
  txt.Put("\n\n").PutN(d->satname[p], 20).Put("\n\t").Put(noPositionText(status));
}

// Angular distance of the prime satellite p from the clicked point and its
// course on the sky, both outside relative mode.
void distanceAndCourse(WinpData* d, int p, TextBuf& txt) {
  const double t = d->curmjd;
  Keep<int> rlm(d->rlm, 0);
  Keep<double> yrepoch(d->yrepoch);

  // Angular distance of the prime satellite from the clicked point.
  const int status = GetSatPos(t, d, satpos, p, 0);
  if (status != SATPOS_OK) {
    putNoPosition(d, p, status, txt);
    return;
  }
  const double e1 = d->el1 * kDeg, es = satpos->el[p] * kDeg;
  const double q = std::sin(e1) * std::sin(es) +
                   std::cos(e1) * std::cos(es) * std::cos((d->az1 - satpos->az[p]) * kDeg);
  if (std::fabs(q) <= 1.0)
    txt.Put("\n\n").PutN(d->satname[p], 20).Add("\n\tAngular distance:%7.2lf", std::acos(q) / kDeg);

  // Course on the sky (R.A./Dec. of date) over two seconds: none when the
  // satellite has no position at either end, where the course would point
  // towards the engine's stand-in place.
  d->yrepoch = 0.0;
  if (GetSatPos(t, d, satpos, p, 0) != SATPOS_OK) return;
  const double ra1 = DmsDegF(satpos->ra[p]) * 15.0 * kDeg, de1 = DmsDegF(satpos->dec[p]) * kDeg;
  if (GetSatPos(t + kTwoSec, d, satpos, p, 0) != SATPOS_OK) return;
  const double ra2 = DmsDegF(satpos->ra[p]) * 15.0 * kDeg, de2 = DmsDegF(satpos->dec[p]) * kDeg;
  const double da = ra2 - ra1;
  const double cd = std::sin(de1) * std::sin(de2) + std::cos(de1) * std::cos(de2) * std::cos(da);
  const double dist = std::fabs(cd) <= 1.0 ? std::acos(cd) : 0.0;
  const double den = std::cos(de1) * std::sin(dist);
  if (std::fabs(den) > 1e-50) {
    const double qc = (std::sin(de2) - cd * std::sin(de1)) / den;
    if (std::fabs(qc) <= 1.0) {
      double course = std::acos(qc) / kDeg;
      if (std::sin(da) > 0.0) course = -course;
      if (course < 0.0) course += 360.0;
      txt.Add("\n\n\tSky Course:%7.2lf", course);
    }
  }
}

void skyChart(WinpData* d, TextBuf& txt) {
  const double t = d->curmjd;
  if (d->el1 < -90.0) {
    txt.Put("\n\n   *** Cursor outside Map ***");
    return;
  }
  // The sky seen from a satellite without a position is none: the click
  // found no direction of it.
  if (d->satsky && d->skymap == 1 && d->satnr >= 1) {
    const int p = PrimeSlot(d);
    const int status = GetSatPos(t, d, satpos, p, 0);
    if (status != SATPOS_OK) {
      putNoPosition(d, p, status, txt);
      return;
    }
  }
  txt.Add("\n\nAzimuth (deg.):  %6.1lf", d->az1).Put(",    Elevation (deg):  ").Add("%6.1lf", d->el1);
  txt.Add("\n\n R.A.(HH.MM):  %6.2lf", CarryRa(d->az2, 2))
      .Put(",    Decl.(DD.MM):  ")
      .Add("%6.2lf", CarryPacked(d->el2, 2));
  if (d->satnr <= 0) {
    txt.Put("\n\n\n *** No satellite has been selected ***");
    return;
  }
  const int p = PrimeSlot(d);
  distanceAndCourse(d, p, txt);
  GetSatPos(t, d, satpos, p, 0);
}

// Distance, state vector, beta angle, Sun and observer directions of the
// only selected satellite (slot 0).
void oneSatellite(WinpData* d, TextBuf& txt) {
  const double t = d->curmjd;
  const double olat = d->lat * kDeg, olng = d->lng * kDeg;
  const double slat = satpos->lat[0] * kDeg, slng = satpos->lng[0] * kDeg;

  bool hasg = false;
  double g = 0.0;
  if (!d->nmflg[0] || d->mdist <= 0.0) {
    const double cg = std::sin(olat) * std::sin(slat) +
                      std::cos(olat) * std::cos(slat) * std::cos(olng - slng);
    if (std::fabs(cg) <= 1.0) {
      g = std::acos(cg);
      hasg = true;
      txt.Add("\n\n\tAlong-the-Surface-Distance:%8.1lf km", g * kReWgs84Km);
    }
  } else {
    txt.Add("\n\n\tDistance to surface of Moon:%9.1lf km", d->mdist * 0.001 - kMoonR);
  }

  txt.Put("\n\n\tState Vector in km and km/s");
  const char* lbl[6] = {"x", "y", "z", "vx", "vy", "vz"};
  const double sv[6] = {d->irx[0], d->iry[0], d->irz[0], d->ivx[0], d->ivy[0], d->ivz[0]};
  for (int k = 0; k < 6; ++k) txt.Fmt("\n%s\t", lbl[k]).Add("%16.8le ", sv[k] / 1000.0);

  txt.Add("\n\n\tBeta Angle: %7.2lf", satpos->beta[0]);

  const double s = satpos->ssaz[0] / kDeg;
  if (d->flarmod == 2 || d->flarmod == -2) {
    txt.Add("\n\n\tSun Azimuth (from North): %7.2lf", s < 0.0 ? s + 360.0 : s);
    return;
  }

  // The attitude frame of the satellite.
  double eqeq = 0.0;
  const Mat3 nut = nutmat(julcent(t), eqeq, d->IERSflg);
  const Vec3 r = mxvct(nut, Vec3(d->irx[0], d->iry[0], d->irz[0]));
  const Vec3 v = mxvct(nut, Vec3(d->ivx[0], d->ivy[0], d->ivz[0]));
  const Mat3 M = d->flaryst ? GetYSMat(d, r, v, 0.0, 0.0) : GetRVMat(r, v, 0.0, 0.0, 1);
  const Vec3 u = carpol(vnorm(mxvct(M, Vec3(0.0, 0.0, 1.0))));
  const double sa = wrap360(360.0 - u.y / kDeg + s);
  txt.Put(d->flaryst ? "\n\n\tSun Azimuth (+V YSM): " : "\n\n\tSun Azimuth (from +V): ");
  txt.Add("%7.2lf", sa);

  const double rkm = abs(r) / 1000.0;
  if (rkm > kReWgs84Km)
    txt.Add("\n\tSun Elevation: %7.2lf",
            satpos->sunh[0] - (90.0 - std::asin(kReWgs84Km / rkm) / kDeg));

  // Direction to the observer in the attitude frame.
  const Vec3 o = kReWgs84Km * GeoPos(t, 0.0, olat, olng, d->height, 0.0, 0.0) - r / 1000.0;
  const Vec3 w = carpol(vnorm(mxvct(M, o)));
  const double yaw = wrap360(360.0 - w.y / kDeg);
  const double pitch = w.z / kDeg;
  const double den = std::sin(g) * std::cos(slat);
  if (hasg && std::fabs(den) > 1e-50) {
    double az = std::acos(clamp1((std::sin(olat) - std::cos(g) * std::sin(slat)) / den)) / kDeg;
    if (std::sin(olng - slng) < 0.0) az = -az;
    az = wrap360(az);
    if (az > 0.0) {
      txt.Put("\n\n\tObserver (Yaw, Pitch, Azimuth): ").Add("%7.2lf  %7.2lf  %7.2lf", yaw, pitch, az);
      return;
    }
  }
  txt.Put("\n\n\tObserver (Yaw, Pitch): ").Add("%7.2lf  %7.2lf", yaw, pitch);
}

void worldMap(WinpData* d, TextBuf& txt) {
  const double t = d->curmjd;
  if (d->lat < -90.0 || d->lng > 180.0) {
    txt.Put("\n\n   *** Cursor outside Map ***");
    return;
  }
  Keep<int> rlm(d->rlm, 0);
  Keep<int> prs(d->prs);
  const int n = d->satnr > MAXSEL ? MAXSEL : d->satnr;
  if (n < 1) {
    txt.Put("*** No satellite has been selected ***");
  } else {
    d->prs = 0;
    int status = GetSatPos(t, d, satpos, 0, 0);
    // The Sun at the observer needs no satellite: it stands whatever the
    // satellite's status.
    txt.Add("Lat: %g", d->lat).Put(",  Long: ").Add("%g", d->lng);
    txt.Put(",   SunElev:").Add("%6.1lf", satpos->sunelo);
    for (int i = 0; i < n; ++i) {
      txt.Put("\n\n").PutN(d->satname[i], 20);
      if (status == SATPOS_OK) {
        txt.Add("\n\tAzim:%7.2lf", satpos->az[i]).Put(",\tElev:").Add("%7.2lf", ElvRefr(d, satpos->el[i]));
        txt.Put(",\tSun:").Add("%6.1lf", satpos->sunh[i]);
      } else {
        txt.Put("\n\t").Put(noPositionText(status));
      }
      // Only the selected slots: the one after the last is not a satellite.
      if (i + 1 < n) {
        d->prs = i + 1;
        status = GetSatPos(t, d, satpos, i + 1, 0);
      }
    }
    // The only satellite's distance, state and angles need its position.
    if (n == 1 && status == SATPOS_OK) oneSatellite(d, txt);
  }
}

}  // namespace

void LocalInf(WinpData* indata, char* text) {
  if (!text) return;
  TextBuf txt(text, LOCALINF_SIZE);
  if (!indata) return;
  if (indata->skymap)
    skyChart(indata, txt);
  else
    worldMap(indata, txt);
}
