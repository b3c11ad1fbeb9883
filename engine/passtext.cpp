// Texts of the pass machinery: the pass list page (and its copy in the save
// file), the pass details step by step, the apparent orbit pole, the transit
// zone text and the ground-track file.
#include "engine/passtext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/passes.h"
#include "engine/satpos.h"
#include "engine/savefile.h"

namespace {

constexpr double kMin = 1.0 / 1440.0;
constexpr double kSec = 1.157407407e-5;  // step-line class boundary
constexpr double kSecExact = 1.0 / 86400.0;
constexpr double kPoleHalf = 0.00017361111;  // 15 s
constexpr double kSunTanRadius = 0.00462516;
constexpr double kZoneMax = 50.0;  // km, widest zone the text shows

int observingSlot(const WinpData* d) { return d->prs + 1 < d->satnr ? d->prs + 1 : 0; }

// Centre-line modes: transits and occultations, or flares of a known mirror.
bool centreLineMode(const WinpData* d) {
  return d->occflg >= 1 || (d->flarflg > 0 && d->flarmod > 0);
}

// MJD (UT) of the entered local date and time.
double enteredStart(const WinpData* d) {
  return mjd(d->day, d->month, d->year,
             d->hour - d->tzone + d->minute / 60.0 + d->second / 3600.0);
}

// A slot index that can be used for the per-slot arrays.
bool slotOk(int i) { return i >= 0 && i < NSLOTS; }

// Width of a step line's time stamp: "MMM DD  HH:MM" for minute steps,
// "MMM DD  HH:MM:SS" from one second on, "MMM DD HH:MM:SS.S" below.
int stampWidth(const WinpData* d) {
  const double step = StepDays(d);
  if (step == kMin) return 13;
  return step >= kSec ? 16 : 18;
}

// The column heads of the pass details on the screen, each label ending
// where its column's numbers end, so that they stand over them in the
// viewer's fixed-pitch font. (The save file keeps its own head.)
std::string screenHeader(const WinpData* d, bool rel) {
  std::string h;
  const auto at = [&h](const char* label, size_t end) {
    const size_t n = std::strlen(label);
    if (h.size() + n < end) h.append(end - n - h.size(), ' ');
    else h += ' ';
    h += label;
  };
  const size_t w = static_cast<size_t>(stampWidth(d));
  if (centreLineMode(d)) {
    const size_t cw = d->ra4d == 1 ? 9 : 7;  // prpang's field
    at("Ctr.Line", w + 6 + cw - 7);
    at("long.", w + 6 + cw);
    at("lat.", w + 6 + cw + 2 + cw);
  } else if (!rel && d->ra4d == 1) {
    at("Azim.", w + 12);
    at("Elev.", w + 22);
    at("R.A.", w + 36);
    at("Decl", w + 47);
  } else {
    at("Azim.", w + 12);
    at("Elev.", w + 21);
    at(rel ? "lat." : "R.A.", w + 36);
    at(rel ? "long" : "Decl", w + 45);
  }
  return h + "\n";
}

}  // namespace

double StepDays(const WinpData* d) {
  const double step = d ? std::fabs(d->tstep) : 0.0;
  return std::isfinite(step) && step > 0.0 ? step : 0.1 / 86400.0;
}

// ---------------------------------------------------------------------------
// Pass details
// ---------------------------------------------------------------------------

void PassStepStamp(const WinpData* d, double t, char* out) {
  if (!out) return;
  out[0] = '\0';
  if (!d) return;
  const double tl = t + d->tzone / 24.0;
  const double step = StepDays(d);
  char ts[AOSSTR_SIZE];
  if (step >= kSec || !(std::isfinite(tl) && std::fabs(tl) < 1e7)) {
    aosstr(tl, 0.0, 0.0, ts, 0);
    if (step == kMin)
      ts[13] = '\0';
    else if (step >= kSec)
      ts[16] = '\0';
  } else {
    // Rounded once to the tenth of a second, so that the date, the hour and
    // the seconds belong to one instant: 23:59:59.96 is the next day's
    // 0:00: 0.0, never 24:00.
    const long long tenths = std::llround(tl * 864000.0);
    const long long dayNo = tenths / 864000 - (tenths % 864000 < 0 ? 1 : 0);
    const long long rem = tenths - dayNo * 864000;
    const int h = static_cast<int>(rem / 36000);
    const int m = static_cast<int>(rem / 600 % 60);
    const double s = static_cast<double>(rem % 600) / 10.0;
    aosstr(static_cast<double>(dayNo), 0.0, 0.0, ts, 0);
    ts[7] = '\0';
    char sec[24];
    std::snprintf(sec, sizeof sec, " %2i:%02i:%4.1lf", h, m, s);
    sec[11] = '\0';
    decdot0(sec);
    std::strncat(ts, sec, sizeof ts - std::strlen(ts) - 1);
  }
  std::memcpy(out, ts, AOSSTR_SIZE);
}

namespace {
// The status of the time without a position at which the last pass listing
// ended (SATPOS_OK while it has not met one).
int listingLost = SATPOS_OK;
}  // namespace

int PassListingLost() { return listingLost; }

int GetPassDTxt(WinpData* d, double& t, char* buf, int mode) {
  static double epmax = -100.0;  // highest elevation of the current listing
  if (!buf) return 0;
  TextBuf out(buf, PASSDTXT_SIZE);
  if (!d || !slotOk(d->prs)) return 0;
  const int i = d->prs;
  const bool rel = RelativeMode(d);
  const int j = observingSlot(d);
  // Sun transits: the Sun may stand at any height.
  Keep<double> sunel(d->sunel, !rel && d->occflg == 1 ? 90.0 : d->sunel);

  const double step = StepDays(d);
  const bool minsteps = step == kMin;
  const bool secsteps = !minsteps && step >= kSecExact;

  if (t == 0.0) {
    const int n = d->npass < MAXPASS ? d->npass : MAXPASS;
    // No step listed yet, and no time without a position met.
    d->tmxel = 0.0;
    listingLost = SATPOS_OK;
    if (d->ipass < 0 || d->ipass >= n) return 0;  // not a pass of the last list
    t = d->pastm[d->ipass];
    epmax = -100.0;
    // The listing starts on the step grid of local time.
    int day, month, year, h, m;
    double hour, s;
    caldat(t + d->tzone / 24.0, day, month, year, hour);
    dms(hour, h, m, s);
    if (minsteps) {
      if (s > 0.0) ++m;
      t = mjd(day, month, year, h + m / 60.0) - d->tzone / 24.0;
    } else if (secsteps) {
      s = std::floor(s) + 1.0;
      t = mjd(day, month, year, h + m / 60.0 + s / 3600.0) - d->tzone / 24.0;
    }
    caldat(t + d->tzone / 24.0, day, month, year, hour);

    if (mode == 1 || mode == 2) out.Put("\n\n\n");
    out.Put(d->satname[i]);
    if (rel) {
      out.Put("\n");
      out.Put(d->satname[j]);
    }
    out.Put("\n");
    out.Repeat('_', 54);
    out.Put("\n");
    out.Add("Year: %4i  +++> Timezone %g <+++", year, d->tzone);
    if (d->visflg) out.Put(d->moonflg ? "  Moonshine" : "  visible");
    out.Put("\n");
    if (mode == 0) {
      out.Put("\n");
      out.Put(screenHeader(d, rel).c_str());
    } else if (mode == 1) {
      out.Put("\n");
      out.Repeat(' ', 29);
      if (centreLineMode(d))
        out.Put(" Ctr.Line  long.    lat.\n");
      else if (rel)
        out.Put("       Azim.  Elev.              lat.   long\n");
      else
        out.Put("         Azim.  Elev.                 R.A.   Decl\n");
    }
  } else {
    out.Put("\n");
  }

  int result = 0;
  char ts[AOSSTR_SIZE];
  int status = SATPOS_OK;
  if (listingLost != SATPOS_OK) {
    // Nothing after the time without a position.
  } else if ((status = GetSatPos(t, d, satpos, i, 0)) != SATPOS_OK) {
    // No numbers: the line says why the listing ends here. In relative mode
    // every step needs the observing satellite (whether the prime one is in
    // its view, where it stands in its sky): without it, it is the observing
    // satellite that has no position, as the panel says.
    PassStepStamp(d, t, ts);
    out.Put(ts);
    out.Put(status == SATPOS_NOOBSERVER ? "   *** Observing Sat.: No Position ***"
                                        : "   *** No Position ***");
    listingLost = status;
    result = 1;
  } else if (cksatok(d, satpos, i)) {
    PassStepStamp(d, t, ts);
    out.Put(ts);

    const bool wide = !rel && d->ra4d == 1;
    if (!centreLineMode(d) || mode == 2) {
      const double e = ElvRefr(d, satpos->el[i]);
      if (mode == 2) {
        out.Add("    %10.5lf  %10.5lf  %12.3lf", satpos->lng[i], satpos->lat[i], satpos->hgt[i]);
      } else {
        if (mode == 1 || wide)
          out.Add("    %8.3lf  %8.3lf", satpos->az[i], e);
        else
          out.Add("     %7.2lf  %7.2lf", satpos->az[i], e);
        // Packed R.A. and Dec. (a place in decimal degrees in relative mode).
        const int dec = wide ? 4 : 2;
        const double ra = rel ? satpos->ra[i] : CarryRa(satpos->ra[i], dec);
        const double de = rel ? satpos->dec[i] : CarryPacked(satpos->dec[i], dec);
        if (wide)
          out.Add("     %9.4lf  %9.4lf", ra, de);
        else
          out.Add("        %7.2lf  %7.2lf", ra, de);
      }
    } else if (satpos->ctlat[i] >= 100.0) {
      out.Put("   No Intersection");
    } else if (mode == 0) {
      char a[PRPANG_SIZE], b[PRPANG_SIZE];
      const int pm = d->ddmm ? 1 : 0;
      prpang(a, d->ra4d == 1, pm, satpos->ctlng[i]);
      prpang(b, d->ra4d == 1, pm, satpos->ctlat[i]);
      out.Put("      ");
      out.Put(a);
      out.Put("  ");
      out.Put(b);
    } else {
      out.Add("   %10.5lf  %10.5lf ", satpos->ctlng[i], satpos->ctlat[i]);
    }
    if (satpos->el[i] > epmax) {
      epmax = satpos->el[i];
      d->tmxel = t;
    }
    result = 1;
  }
  t += step;
  if (t == 0.0) t = 1.0;
  return result;
}

// ---------------------------------------------------------------------------
// Apparent pole of the orbit
// ---------------------------------------------------------------------------

bool PassStepListed(const WinpData* d) { return d && d->tmxel != 0.0 && std::isfinite(d->tmxel); }

void GetPoleTxt(WinpData* d, char* buf) {
  if (!buf) return;
  TextBuf out(buf, POLETXT_SIZE);
  out.Put("\n\n");
  // No listed step, no track to take a pole of (tmxel 0 would be 1858).
  if (!d || !slotOk(d->prs) || RelativeMode(d) || !PassStepListed(d)) return;
  const int i = d->prs;
  const double tc = d->tmxel;
  const double tu = d->IERSflg ? tc + d->Ut1Utc / 86400.0 : tc;

  // The two directions must be of date: the pole is turned into the horizon
  // of date below.
  Vec3 u[2];
  bool placed = true;
  {
    Keep<double> ofDate(d->yrepoch, 0.0);
    for (int k = 0; k < 2; ++k) {
      if (GetSatPos(k == 0 ? tc - kPoleHalf : tc + kPoleHalf, d, satpos, i, 0) != SATPOS_OK)
        placed = false;
      u[k] = polcar(Vec3(1.0, 15.0 * DmsDegF(satpos->ra[i]) * kDeg, DmsDegF(satpos->dec[i]) * kDeg));
    }
  }
  if (!placed) {
    // No track without a position, and no pole of it.
    out.Put("Apparent Pole of orbit (Azim   Elev   R.A.  Decl)\n");
    out.Put("           *** No Position ***");
    return;
  }
  Vec3 n = u[0] * u[1];
  if (abs(n) == 0.0) return;

  double az, el, dist;
  const double phi = d->lat * kDeg, lam = d->lng * kDeg;
  AppPos(tu, 0.0, phi, lam, d->height, 0, n, az, el, dist);
  if (el < 0.0) {
    n = -n;
    AppPos(tu, 0.0, phi, lam, d->height, 0, n, az, el, dist);
  }
  const Vec3 p = carpol(n);
  double alpha = p.y;
  if (alpha < 0.0) alpha += 2.0 * kPi;
  const double ra = DegFDms(alpha * 12.0 / kPi);
  const double dec = DegFDms(p.z / kDeg);
  az /= kDeg;
  if (az < 0.0) az += 360.0;
  out.Put("Apparent Pole of orbit (Azim   Elev   R.A.  Decl)\n");
  out.Add("           %7.2lf %7.2lf", az, el / kDeg);
  if (d->ra4d == 1)
    out.Add("    %9.4lf  %9.4lf", CarryRa(ra, 4), CarryPacked(dec, 4));
  else
    out.Add("    %7.2lf  %7.2lf", CarryRa(ra, 2), CarryPacked(dec, 2));
}

// ---------------------------------------------------------------------------
// Transit zone
// ---------------------------------------------------------------------------

void SunMoonTr(WinpData* d, double t, int slot, double dist, int autozone, int& code, char* buf) {
  if (!buf) return;
  TextBuf out(buf, ZONETXT_SIZE);
  if (!d || !slotOk(slot)) {
    out.Put(" ");
    if (autozone) code = 2;
    return;
  }
  // The observer moves onto the centre line for the two samples.
  Keep<int> rlm(d->rlm, 0);
  Keep<double> lat(d->lat), lng(d->lng);
  const auto noZone = [&]() {
    out.Put(" ");
    if (autozone) code = 2;
  };
  // The centre line misses the Earth, or the satellite has no position (and
  // so no centre line): there is no zone to stand in.
  if (GetSatPos(t, d, satpos, slot, 0) != SATPOS_OK || !(satpos->ctlat[slot] < 100.0))
    return noZone();
  d->lat = satpos->ctlat[slot];
  d->lng = satpos->ctlng[slot];
  // (Where the observer stands does not change whether the satellite has a
  // position at t; a second later it may have none.)
  GetSatPos(t, d, satpos, slot, 0);
  const double el0 = satpos->el[slot], az0 = satpos->az[slot], r = satpos->rng[slot];
  const double p0lat = satpos->ctlat[slot], p0lng = satpos->ctlng[slot];
  const double smrad = satpos->smrad;
  if (GetSatPos(t + kSecExact, d, satpos, slot, 0) != SATPOS_OK) return noZone();
  const double el1 = satpos->el[slot], az1 = satpos->az[slot];
  const double p1lat = satpos->ctlat[slot], p1lng = satpos->ctlng[slot];

  double dir = az0, cosd;
  if (p0lat < 100.0 && p1lat < 100.0)
    ADisDir(p0lng * kDeg, p0lat * kDeg, p1lng * kDeg, p1lat * kDeg, cosd, dir);
  const double delta = (dir - az0) * kDeg;

  const double tanrho = d->occflg == 1 ? kSunTanRadius : std::tan(smrad * kDeg);
  const double dd = r * tanrho;
  const double se = std::sin(el0 * kDeg);
  const double dd2 = se > 1e-10 ? dd / se : dd;
  double w = std::hypot(dd * std::cos(delta), dd2 * std::sin(delta));
  bool clipped = false;
  if (w > kZoneMax) {
    w = kZoneMax;
    clipped = true;
  }

  double cmove, dmove;
  ADisDir(az0 * kDeg, el0 * kDeg, az1 * kDeg, el1 * kDeg, cmove, dmove);
  const double a = std::fabs(cmove) < 1.0 ? std::acos(cmove) / kDeg : 0.0;
  const double dur = a > 1e-40 ? 0.53 / a : a;

  if (dur >= 0.05 && dur <= 30.0) {
    out.Add("   %4.1lf km %4.1lf sec %4.0lf", w, dur, dmove);
    if (clipped) out.Str()[2] = '>';
  } else {
    out.Put(" ");
  }
  if (autozone) code = w >= dist ? 1 : 2;
}

// ---------------------------------------------------------------------------
// Ground track file
// ---------------------------------------------------------------------------

namespace {

// The track's lines into f; false when a write failed. info receives the
// counts, and for a track cut at ORBITTRACK_MAXLINES the last line's stamp.
bool writeTrack(WinpData* d, FILE* f, OrbitTrackInfo& info) {
  info = OrbitTrackInfo();
  const int i = d->prs;
  const bool ground = d->occflg < 1 && (d->flarflg < 1 || d->flarmod < 1);
  const double t0 = enteredStart(d), tend = t0 + d->dur;
  const double step = StepDays(d);

  char line[160];
  TextBuf head(line, sizeof line);
  head.Add("\n Year: %4i  +++> Timezone %g <+++", d->year, d->tzone);
  head.Put("\n");
  head.Repeat(' ', 21);
  head.Put(ground ? "\n" : " Ctr.Line  long.    lat.\n");
  bool ok = std::fprintf(f, "%s\n", line) > 0;

  char ts[AOSSTR_SIZE] = "";
  // Each step from its index: a sum of steps would drift below the end and
  // add a step there.
  for (long k = 0; ok; ++k) {
    const double t = t0 + static_cast<double>(k) * step;
    if (!(t < tend)) break;
    if (k >= ORBITTRACK_MAXLINES) {
      ok = std::fprintf(f, "+++ Track cut after %ld lines +++\n", k) > 0;
      std::snprintf(info.cutAt, sizeof info.cutAt, "%s", ts);
      break;
    }
    const int status = GetSatPos(t, d, satpos, i, 0);
    aosstr(t + d->tzone / 24.0, 0.0, 0.0, ts, 0);
    ts[16] = '\0';
    TextBuf l(line, sizeof line);
    l.Put(ts);
    if (!SatPosOwnPlace(status)) {
      // The engine's stand-in place is no place: the step keeps its time only.
      // (The ground track needs no observer: relative mode without one keeps it.)
      l.Put("    No Position");
      ++info.noPosition;
    } else if (ground) {
      l.Add("    %10.5lf  %10.5lf  %12.3lf", satpos->lng[i], satpos->lat[i], satpos->hgt[i]);
    } else {
      l.Add("   %10.5lf  %10.5lf ", satpos->ctlng[i], satpos->ctlat[i]);
      if (satpos->ctlat[i] >= 100.0) l.Put("  No Intersection");
    }
    ok = std::fprintf(f, "%s\n", line) > 0;
    if (ok) ++info.steps;
  }
  return ok;
}

}  // namespace

int saveOrbitTrack(WinpData* d, OrbitTrackInfo* info) {
  OrbitTrackInfo own;
  OrbitTrackInfo& out = info ? *info : own;
  out = OrbitTrackInfo();
  if (!d) return 1;
  // An empty slot has no track: its zeroed elements would fill the file with
  // meaningless lines.
  if (d->satnr < 1) return ORBITTRACK_NOSAT;
  if (!slotOk(d->prs)) return 1;
  // Always a new file; what is saved next is added.
  if (!SaveFileSaved(WriteSaveFile(d, true, [&](FILE* f) { return writeTrack(d, f, out); })))
    return 1;
  return 0;
}

// ---------------------------------------------------------------------------
// Pass list
// ---------------------------------------------------------------------------

void PassTimeText(double t, double az, double el, char* out, int k) {
  if (!out) return;
  if (!std::isnan(az) && !std::isnan(el)) {
    aosstr(t, az, el, out, k);
    return;
  }
  aosstr(t, 0.0, 0.0, out, k);
  char* values = std::strrchr(out, '(');
  if (values && values > out) values[-1] = '\0';  // the blank before them too
  std::strncat(out, " No Position", AOSSTR_SIZE - std::strlen(out) - 1);
}

namespace {

// Copies the page into the save file: three empty lines, then every line's
// text (at most 76 characters; the mark is not written) in the file's UTF-8.
int savePage(WinpData* d, const WoutData* o) {
  const auto write = [o](FILE* f) {
    bool ok = std::fputs("\n\n\n", f) >= 0;
    for (int k = 0; k < o->nlines && ok; ++k)
      ok = std::fprintf(f, "%s\n", WoutLineUtf8(o, k).c_str()) > 0;
    return ok;
  };
  return SaveFileSaved(WriteSaveFile(d, false, write)) ? AOS_DONE : AOS_NOSAVE;
}

// The page's answer when there is no list to make.
void putNoSatellite(WoutData* o) {
  PutSpace(o, 1);
  PutNxtLn(o, " *** No satellite has been selected ***");
  PutSpace(o, 1);
  PutNxtLn(o, " Use the Input / Select Satellite menu");
  PutNxtLn(o, " (and don't forget to press the SELECT button)");
  PutSpace(o, 1);
}

void putNoDistance(WoutData* o) {
  PutSpace(o, 1);
  PutNxtLn(o, " *** Need distance > 0 for occultations or flares ***");
  PutNxtLn(o, " *** except for Sun or Moon Transits ***");
  PutSpace(o, 1);
}

// Head of the pass list: place, event kind, satellite (and the observing
// satellite in relative mode), conditions, year and zone, column titles.
void putListHeader(const WinpData* d, WoutData* o, bool rel) {
  const int i = d->prs;
  char text[160];
  {
    TextBuf l(text, sizeof text);
    l.Put(" Geographic Location: ");
    l.Put(d->geoname);
    PutNxtLn(o, text);
  }
  {
    TextBuf l(text, sizeof text);
    l.Add(" Lat.: %g   Long.: %g   Height: %g", d->lat, d->lng, d->height);
    PutNxtLn(o, text);
  }
  PutSpace(o, 1);
  {
    TextBuf l(text, sizeof text);
    if (d->iridflg == 1) {
      if (d->occflg == 1) {
        l.Put(" >>> Sun Transit");
      } else if (d->occflg == 2) {
        l.Put(" >>> Moon Transit");
      } else if (d->occflg == 3) {
        l.Add(" >>> Occultation  R.A.: %g  Decl.: %g", d->occra, d->occdec);
      }
    } else if (d->iridflg == 2) {
      if (d->flarmod == 1)
        l.Add(" >>> Flares. Yaw: %g  Pitch: %g", d->occra, d->occdec);
      else
        l.Add(" >>> Flares. R.A.: %g  Decl.: %g", d->occra, d->occdec);
    }
    if (l.Len() > 0) PutNxtLn(o, text);
  }
  {
    TextBuf l(text, sizeof text);
    l.Put(" Satellite: ");
    l.Put(d->satname[i]);
    PutNxtLn(o, text);
    if (rel) {
      TextBuf m(text, sizeof text);
      m.Put(" ");
      m.Put(d->satname[observingSlot(d)]);
      PutNxtLn(o, text);
    }
  }
  {
    TextBuf l(text, sizeof text);
    l.Put(" ");
    l.Repeat('=', 71);
    PutNxtLn(o, text);
  }
  {
    TextBuf l(text, sizeof text);
    if (rel)
      l.Put(" ");
    else
      l.Add(" min.Sat.Elev.: %g   max.Sun Elev.: %g", d->satel, d->sunel);
    if (d->visflg) l.Put(d->moonflg ? "   Moonshine passes only" : "   visible passes only");
    PutNxtLn(o, text);
  }
  {
    TextBuf l(text, sizeof text);
    l.Add(" Year: %4i  +++ Timezone: %g +++", d->year, d->tzone);
    PutNxtLn(o, text);
    PutSpace(o, 1);
  }
  if (rel)
    PutNxtLnT(o, "       Start (Long.,Lat.)     End (Long.,Lat.)");
  else if (d->iridflg != 0)
    PutNxtLnT(o, "     Event Time (Azim.,Elev.)   Distance");
  else
    PutNxtLnT(o, "    Start (Azim.,Elev.)    Maximum (Azim.,Elev.)  End (Azim.,Elev.)");
}

// One marked line per pass (or event) of the prime slot over the entered
// interval, a blank line before every tenth; npass and pastm record them.
void putPassLines(WinpData* d, WoutData* o, bool rel, bool sunmoon, bool autozone) {
  const int i = d->prs;
  const double t0 = enteredStart(d), tend = t0 + d->dur;
  const double skip = d->mnmot[i] > 14.0 && d->rlm == 0 ? 1.0 / 24.0 : 0.0;
  char text[160];
  double tm[3], elv[3], azm[3];
  double t = t0;
  while (t <= tend) {
    int r = nextpass(d, i, t, tend, tm, elv, azm);
    if (r == 0) break;
    TextBuf l(text, sizeof text);
    char a[AOSSTR_SIZE];
    if (d->iridflg == 0) {
      l.Put(".");
      for (int k = 0; k < 3; ++k) {
        if (rel && k == 1) continue;
        PassTimeText(tm[k] + d->tzone / 24.0, azm[k], elv[k], a, k);
        l.Put(a);
      }
    } else if (r == 1) {
      l.Put(d->iridflg < 3 ? "." : " ");
      aosstr(tm[1] + d->tzone / 24.0, azm[1], elv[1], a, 0);
      l.Put(a);
      l.Add(" %8.1lf km", azm[2]);
      if (sunmoon) {
        char zone[ZONETXT_SIZE];
        SunMoonTr(d, tm[1], i, azm[2], autozone, r, zone);
        l.Put(zone);
      }
    }
    if (r == 1) {
      if (d->npass % 10 == 0) PutSpace(o, 1);
      PutNxtLnT(o, text);
      if (d->npass < MAXPASS) d->pastm[d->npass++] = tm[0];
    }
    // A pass is at least a whole orbit away for fast satellites.
    const double tn = tm[2] + kMin + skip;
    if (!(tn > t)) break;  // never step backwards (a guard against a stuck search)
    t = tn;
  }
  if (d->npass < 1) {
    PutSpace(o, 1);
    PutNxtLn(o, " *** No suitable pass found within time interval ***");
    PutSpace(o, 1);
  }
}

}  // namespace

int aospass(WinpData* d, WoutData* o) {
  if (!d || !o) return AOS_NOLIST;
  d->npass = 0;
  o->nlines = 0;
  if (d->satnr < 1 || !slotOk(d->prs)) {
    putNoSatellite(o);
    return AOS_NOLIST;
  }
  const bool sunmoon = d->iridflg == 1 && (d->occflg == 1 || d->occflg == 2);
  const bool autozone = sunmoon && d->mxdist <= 0.0;
  if (!autozone && d->iridflg >= 1 && !(d->mxdist > 0.0)) {
    putNoDistance(o);
    return AOS_NOLIST;
  }
  {
    Keep<double> mxdist(d->mxdist, autozone ? 35.0 : d->mxdist);
    // Sun transits: the Sun may stand at any height.
    Keep<double> sunel(d->sunel, d->iridflg == 1 && d->occflg == 1 ? 90.0 : d->sunel);
    const bool rel = RelativeMode(d);
    putListHeader(d, o, rel);
    putPassLines(d, o, rel, sunmoon, autozone);
  }

  if (d->filsav != 1) return AOS_DONE;
  const int res = savePage(d, o);
  if (res != AOS_DONE)
    PutFileReason(o, " *** ", "Problems with the output file", d->savnm,
                  SaveFileReason(LastSaveFile()), "");
  return res;
}
