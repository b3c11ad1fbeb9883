// The all-satellite pass (or event) list and the next-satellites selection.
#include "engine/lists.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "astro/astrolib.h"
#include "engine/flares.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/sortaos.h"
#include "engine/tle.h"

namespace {

constexpr double kMin = 1.0 / 1440.0;   // d
constexpr double kHour = 1.0 / 24.0;    // d
constexpr int kLineSize = 256;

// Appends formatted text to a line of kLineSize bytes (cut at its end).
void Cat(char* line, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void Cat(char* line, const char* fmt, ...) {
  const size_t n = std::strlen(line);
  if (n + 1 >= static_cast<size_t>(kLineSize)) return;
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(line + n, kLineSize - n, fmt, ap);
  va_end(ap);
}

// A number with a decimal point whatever the locale.
struct Num {
  char s[48];
  Num(const char* fmt, double x) {
    std::snprintf(s, sizeof s, fmt, x);
    decdot0(s);
  }
};

// Semi-major axis inside the window of operational Iridium satellites.
bool IridiumWindow(const WinpData* d, int i) {
  const double a = d->a[i];
  if (d->sgpflg[i]) return a >= IRID_AMIN_SGP && a <= IRID_AMAX_SGP;
  return a >= IRID_AMIN_KEP && a <= IRID_AMAX_KEP;
}

// Event part of a list line (after the 26-character time and position).
// Transits may turn code into 2 (outside the automatic zone).
void EventText(WinpData* d, int slot, const double* tm, const double* elv, const double* azm,
               bool autozone, int& code, char* line) {
  if (d->iridflg == 3) {
    const char* kind = d->irsolw ? "Solar  "
                       : d->occra == 0.0 ? "Front  "
                       : d->occra < 0.0  ? "Left   "
                                         : "Right  ";
    Cat(line, "  Iridium Flare  %s%s  mag %s", kind, elv[0] > elv[2] ? "->S" : "->N",
        Num("%5.1lf", azm[2]).s);
    return;
  }
  if (d->iridflg == 2) {
    if (d->flarmod != 1)
      Cat(line, "  Flare  R.A.: %s  Dec.: %s", Num("%g", d->occra).s, Num("%g", d->occdec).s);
    else
      Cat(line, "  Flare  Y: %s  P: %s", Num("%g", d->occra).s, Num("%g", d->occdec).s);
  } else if (d->occflg == 1 || d->occflg == 2) {
    Cat(line, "%s", d->occflg == 1 ? "  Sun Transit" : "  Moon Transit");
    char zone[ZONETXT_SIZE];
    SunMoonTr(d, tm[1], slot, azm[2], autozone ? 1 : 0, code, zone);
  } else {
    Cat(line, "  Occ. R.A.: %s  Dec.: %s", Num("%g", d->occra).s, Num("%g", d->occdec).s);
  }
  Cat(line, "  dist:%s km", Num("%7.1lf", azm[2]).s);
}

bool PutLine(FILE* f, const char* s) { return std::fputs(s, f) >= 0 && std::fputc('\n', f) != EOF; }

// Header of the list.
bool WriteHeader(WinpData* d, FILE* f) {
  char l[kLineSize];
  bool ok = true;
  std::snprintf(l, sizeof l, "Geographic Location: %s", d->geoname);
  ok = ok && PutLine(f, l);
  std::snprintf(l, sizeof l, " Lat.: %g   Long.: %g   Height: %g \n", d->lat, d->lng, d->height);
  decdot(l);
  ok = ok && PutLine(f, l);
  std::snprintf(l, sizeof l, " min.Sat.Elev.: %g   max.Sun Elev.: %g%s", d->satel, d->sunel,
                !d->visflg ? "" : d->moonflg ? "   Moonshine passes only" : "   visible passes only");
  decdot(l);
  ok = ok && PutLine(f, l);
  std::snprintf(l, sizeof l, " Year: %4i  +++ Timezone: %g +++ \n", d->year, d->tzone);
  decdot(l);
  ok = ok && PutLine(f, l);
  std::memset(l, '=', 71);
  l[71] = '\0';
  Cat(l, "%s", d->iridflg != 0
                   ? "\n    Event Time (Azim.,Elev.)\n"
                   : "\n  Start (Azim.,Elev.)    Maximum (Azim.,MaxElev.)     End (Azim.,Elev.)\n");
  ok = ok && PutLine(f, l);
  return ok;
}

}  // namespace

int AllSatAos(WinpData* d) {
  // Settings first: a bad one must not cost the user the save file.
  const double svmxdist = d->mxdist, svsunel = d->sunel;
  const bool transit = d->iridflg == 1 && (d->occflg == 1 || d->occflg == 2);
  const bool autozone = transit && d->mxdist <= 0.0;
  if (d->iridflg == 3 && d->irmag > 29.0) return ALLSAT_BADSET;
  if ((d->iridflg == 1 || d->iridflg == 2) && !autozone && d->mxdist == 0.0) return ALLSAT_BADSET;

  FILE* tle = std::fopen(d->tlenm, "r");
  if (!tle) return ALLSAT_NOTLE;
  // A new list is written beside the save file and replaces it only when
  // complete: a failed run must not leave the user a cut-off file instead of
  // the old one.
  const bool fresh = d->svnew != 0;
  char tmp[FILENAME_SIZE + 8];
  FILE* f = nullptr;
  if (!fresh) {
    f = std::fopen(d->savnm, "a");
  } else {
    const int n = std::snprintf(tmp, sizeof tmp, "%s.tmp", d->savnm);
    if (n > 0 && static_cast<size_t>(n) < sizeof tmp) f = std::fopen(tmp, "w");
  }
  if (!f) {
    std::fclose(tle);
    return ALLSAT_NOSAVE;
  }
  d->svnew = 0;
  long start = 0;
  if (std::fseek(f, 0, SEEK_END) == 0) start = std::ftell(f);
  if (start < 0) start = 0;
  outptr = f;

  if (autozone) d->mxdist = 35.0;
  bool nosel = d->satnr < 1;
  if (nosel) d->satnr = 1;
  if (d->prs < 0 || d->prs >= d->satnr || d->prs >= MAXSEL) d->prs = 0;
  const int prs = d->prs;
  ShiftElm(d, SPARESLOT, prs);
  const int svrlm = d->rlm;
  d->rlm = 0;
  if (d->iridflg == 1 && d->occflg == 1) d->sunel = 90.0;

  bool ok = WriteHeader(d, f);

  const double t0 = mjd(d->day, d->month, d->year,
                        d->hour + d->minute / 60.0 + d->second / 3600.0 - d->tzone);
  const double tend = t0 + d->dur;
  const double tzd = d->tzone / 24.0;
  d->cfgname[WORKSLOT][0] = '*';
  char msg[TLEMSG_SIZE];
  char line[kLineSize], part[AOSSTR_SIZE];
  double tm[3], elv[3], azm[3];
  int res = tleread(d, tle, msg, 0);
  while (res != 0 && ok) {
    ShiftElm(d, prs, WORKSLOT);
    d->irsolw = false;
    bool firstline = true;
    bool added = false;
    const bool inwindow = d->iridflg != 3 || IridiumWindow(d, prs);
    do {
      double t = t0;
      if (d->iridflg == 3 && d->ops && !inwindow) t = tend + 1.0;
      while (t <= tend && ok) {
        int code = nextpass(d, prs, t, tend, tm, elv, azm);
        if (code == 0) break;
        line[0] = '\0';
        if (d->iridflg == 0) {
          for (int k = 0; k < 3; ++k) {
            aosstr(tm[k] + tzd, azm[k], elv[k], part, k);
            Cat(line, "%s", part);
          }
        } else if (code == 1) {
          aosstr(tm[1] + tzd, azm[1], elv[1], part, 0);
          Cat(line, "%s", part);
          EventText(d, prs, tm, elv, azm, autozone, code, line);
        }
        if (code == 1) {
          Cat(line, "%s%s", d->iridflg == 3 && !inwindow ? " ? " : "   ", d->satname[prs]);
          if (firstline) ok = ok && std::fputc('\n', f) != EOF;
          firstline = false;
          ok = ok && PutLine(f, line);
          // Automatic zone: a satellite with a listed transit joins the selection.
          if (autozone && !added) {
            added = true;
            if (nosel) {
              ShiftElm(d, SPARESLOT, prs);
              nosel = false;
            } else if (d->satnr <= MAXSEL - 1) {
              ShiftElm(d, d->satnr, prs);
              d->satnr++;
            }
          }
        }
        t = tm[2] + kMin;
        if (d->mnmot[prs] > 14.0) t += kHour;
      }
      d->irsolw = d->iridflg == 3 && d->irsol && !d->irsolw;
    } while (d->irsolw && ok);
    if (res != 2) break;
    res = tleread(d, tle, msg, 1);
  }
  d->irsolw = false;

  if (std::fflush(f) != 0 || std::ferror(f)) ok = false;
  if (std::fclose(f) != 0) ok = false;
  outptr = nullptr;
  if (fresh) {
    // The new list keeps the old file's permissions, as writing over it would.
    struct stat st;
    if (ok && stat(d->savnm, &st) == 0) chmod(tmp, st.st_mode & 07777);
    if (ok) ok = std::rename(tmp, d->savnm) == 0;
    if (!ok) {
      std::remove(tmp);
      d->svnew = 1;  // nothing was replaced: the next list still starts anew
    }
  }
  if (ok) SortAos(d, start);
  std::fclose(tle);

  d->rlm = svrlm;
  if (nosel) d->satnr = 0;
  ShiftElm(d, prs, SPARESLOT);
  d->sunel = svsunel;
  d->mxdist = svmxdist;
  return ok ? ALLSAT_DONE : ALLSAT_NOSAVE;
}

int Nxt4Pass(WinpData* d) {
  FILE* tle = std::fopen(d->tlenm, "r");
  if (!tle) return -1;
  const int svsatnr = d->satnr, svrlm = d->rlm;
  d->rlm = 0;
  d->satnr = 1;
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "*");
  const double t = RT_MJD(d);
  const double tlim = t + 0.1, tmin = t + 0.0018;

  double start[MAXSEL];
  int count = 0, s = 0;
  char msg[TLEMSG_SIZE];
  double tm[3], elv[3], azm[3];
  int res = tleread(d, tle, msg, 0);
  while (res != 0) {
    ShiftElm(d, SPARESLOT, s);
    ShiftElm(d, s, WORKSLOT);
    const bool found = nextpass(d, s, t, tlim, tm, elv, azm) != 0 && tm[0] > tmin;
    if (!found) {
      ShiftElm(d, s, SPARESLOT);
    } else if (count < MAXSEL) {
      start[count++] = tm[0];
      if (s < MAXSEL - 1) ++s;
    } else {
      // Ten kept: the new one replaces the latest start when it begins earlier.
      int j = 0;
      for (int k = 1; k < MAXSEL; ++k)
        if (start[k] > start[j]) j = k;
      if (tm[0] < start[j]) {
        if (j != s) {
          ShiftElm(d, j, s);
          ShiftElm(d, s, SPARESLOT);
        }
        start[j] = tm[0];
      } else {
        ShiftElm(d, s, SPARESLOT);
      }
    }
    if (res != 2) break;
    res = tleread(d, tle, msg, 1);
  }
  std::fclose(tle);

  d->rlm = svrlm;
  d->prs = 0;
  if (count == 0) {
    d->satnr = svsatnr;
    return 0;
  }
  d->satnr = count;
  for (int i = 0; i + 1 < count; ++i) {
    int m = i;
    for (int k = i + 1; k < count; ++k)
      if (start[k] < start[m]) m = k;
    if (m != i) {
      ShiftElm(d, WORKSLOT, i);
      ShiftElm(d, i, m);
      ShiftElm(d, m, WORKSLOT);
      const double x = start[i];
      start[i] = start[m];
      start[m] = x;
    }
  }
  return count;
}
