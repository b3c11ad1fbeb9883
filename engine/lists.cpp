// The all-satellite pass (or event) list and the next-satellites selection.
#include "engine/lists.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "astro/astrolib.h"
#include "engine/flares.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/safefile.h"
#include "engine/savefile.h"
#include "engine/sortaos.h"
#include "engine/tle.h"

namespace {

constexpr double kMin = 1.0 / 1440.0;   // d
constexpr double kHour = 1.0 / 24.0;    // d
constexpr int kLineSize = 256;

// Semi-major axis inside the window of operational Iridium satellites.
bool iridiumWindow(const WinpData* d, int i) {
  const double a = d->a[i];
  if (d->sgpflg[i]) return a >= IRID_AMIN_SGP && a <= IRID_AMAX_SGP;
  return a >= IRID_AMIN_KEP && a <= IRID_AMAX_KEP;
}

// Event part of a list line (after the 26-character time and position).
// Transits may turn code into 2 (outside the automatic zone).
void eventText(WinpData* d, int slot, const double* tm, const double* elv, const double* azm,
               bool autozone, int& code, TextBuf& line) {
  if (d->iridflg == 3) {
    const char* kind = d->irsolw ? "Solar  "
                       : d->occra == 0.0 ? "Front  "
                       : d->occra < 0.0  ? "Left   "
                                         : "Right  ";
    line.Put("  Iridium Flare  ").Put(kind).Put(elv[0] > elv[2] ? "->S" : "->N");
    line.Add("  mag %5.1lf", azm[2]);
    return;
  }
  if (d->iridflg == 2) {
    if (d->flarmod != 1)
      line.Add("  Flare  R.A.: %g  Dec.: %g", d->occra, d->occdec);
    else
      line.Add("  Flare  Y: %g  P: %g", d->occra, d->occdec);
  } else if (d->occflg == 1 || d->occflg == 2) {
    line.Put(d->occflg == 1 ? "  Sun Transit" : "  Moon Transit");
    char zone[ZONETXT_SIZE];
    SunMoonTr(d, tm[1], slot, azm[2], autozone ? 1 : 0, code, zone);
  } else {
    line.Add("  Occ. R.A.: %g  Dec.: %g", d->occra, d->occdec);
  }
  line.Add("  dist:%7.1lf km", azm[2]);
}

bool putLine(FILE* f, const char* s) { return std::fputs(s, f) >= 0 && std::fputc('\n', f) != EOF; }

// Header of the list.
bool writeHeader(const WinpData* d, FILE* f) {
  char l[kLineSize];
  bool ok = true;
  const std::string place = Latin1ToUtf8(d->geoname, GEONAME_SIZE);
  TextBuf(l, sizeof l).Put("Geographic Location: ").Put(place.c_str());
  ok = ok && putLine(f, l);
  TextBuf(l, sizeof l).Add(" Lat.: %g   Long.: %g   Height: %g \n", d->lat, d->lng, d->height);
  ok = ok && putLine(f, l);
  TextBuf(l, sizeof l)
      .Add(" min.Sat.Elev.: %g   max.Sun Elev.: %g", d->satel, d->sunel)
      .Put(!d->visflg ? "" : d->moonflg ? "   Moonshine passes only" : "   visible passes only");
  ok = ok && putLine(f, l);
  TextBuf(l, sizeof l).Add(" Year: %4i  +++ Timezone: %g +++ \n", d->year, d->tzone);
  ok = ok && putLine(f, l);
  TextBuf(l, sizeof l)
      .Repeat('=', 71)
      .Put(d->iridflg != 0
               ? "\n    Event Time (Azim.,Elev.)\n"
               : "\n  Start (Azim.,Elev.)    Maximum (Azim.,MaxElev.)     End (Azim.,Elev.)\n");
  ok = ok && putLine(f, l);
  return ok;
}

// The settings of one run that every satellite's search shares.
struct ListRun {
  double t0, tend, tzd;
  int prs;
  bool autozone;
};

// The list lines of the satellite in slot run.prs over the interval, as the
// save file gets them (a blank line before the satellite's first one).
// listed(d) is called at the satellite's first listed line (before the
// search goes on).
template <class Listed>
void searchSatellite(WinpData* d, const ListRun& run, std::string& out, Listed listed) {
  const int prs = run.prs;
  char line[kLineSize], part[AOSSTR_SIZE];
  double tm[3], elv[3], azm[3];
  d->irsolw = false;
  bool firstline = true;
  const bool inwindow = d->iridflg != 3 || iridiumWindow(d, prs);
  // Between the searches nothing reads the records: only the last search's
  // closing sample is needed.
  LastSampleDeferral last(d, prs);
  do {
    double t = run.t0;
    if (d->iridflg == 3 && d->ops && !inwindow) t = run.tend + 1.0;
    while (t <= run.tend) {
      int code = nextpass(d, prs, t, run.tend, tm, elv, azm);
      if (code == 0) break;
      TextBuf l(line, sizeof line);
      if (d->iridflg == 0) {
        for (int k = 0; k < 3; ++k) {
          PassTimeText(tm[k] + run.tzd, azm[k], elv[k], part, k);
          l.Put(part);
        }
      } else if (code == 1) {
        aosstr(tm[1] + run.tzd, azm[1], elv[1], part, 0);
        l.Put(part);
        eventText(d, prs, tm, elv, azm, run.autozone, code, l);
      }
      if (code == 1) {
        l.Put(d->iridflg == 3 && !inwindow ? " ? " : "   ")
            .Put(Latin1ToUtf8(d->satname[prs], SATNAME_SIZE).c_str());
        if (firstline) {
          out += '\n';
          firstline = false;
          listed(d);
        }
        out += line;
        out += '\n';
      }
      t = tm[2] + kMin;
      if (d->mnmot[prs] > 14.0) t += kHour;
    }
    d->irsolw = d->iridflg == 3 && d->irsol && !d->irsolw;
  } while (d->irsolw);
}

bool putText(FILE* f, const std::string& s) {
  return s.empty() || std::fwrite(s.data(), 1, s.size(), f) == s.size();
}

std::atomic<int> g_threads{0};  // SetListThreads

// The searches of records 0..count-1 of the TLE file (each read at its
// offset) spread over n threads, each with its own copy of the record d,
// its own position record and SGP4 record; their lines in out, by record.
// The records are independent: a search reads nothing an earlier one wrote.
// False when a record could not be read again (the file could not be opened
// once more, or it changed).
bool searchSpread(const WinpData* d, const ListRun& run, const std::vector<long>& offsets,
                  int count, int n, std::vector<std::string>& out) {
  std::atomic<int> next{0};
  std::atomic<bool> missed{false};
  constexpr int kChunk = 8;
  auto worker = [&]() {
    auto wd = std::make_unique<WinpData>(*d);
    auto sp = std::make_unique<SatPosData>();
    std::memset(static_cast<void*>(sp.get()), 0, sizeof(SatPosData));
    SatPosData* const engineRecord = satpos;  // put back when the worker is this thread
    satpos = sp.get();
    FILE* tle = OpenRegular(wd->tlenm);
    char msg[TLEMSG_SIZE];
    for (int c = next.fetch_add(kChunk); c < count; c = next.fetch_add(kChunk)) {
      for (int k = c; k < c + kChunk && k < count; ++k) {
        // The same record the reading thread found at this offset.
        if (!tle || std::fseek(tle, offsets[k], SEEK_SET) != 0 ||
            tleread(wd.get(), tle, msg, 0) == 0) {
          missed = true;
          continue;
        }
        ShiftElm(wd.get(), run.prs, WORKSLOT);
        searchSatellite(wd.get(), run, out[k], [](WinpData*) {});
      }
    }
    if (tle) std::fclose(tle);
    satpos = engineRecord;
  };
  std::vector<std::thread> pool;
  for (int w = 0; w < n; ++w) {
    // A thread the system refuses leaves its share to the others, or to this
    // thread when none could be started.
    try {
      pool.emplace_back(worker);
    } catch (const std::system_error&) {
      break;
    }
  }
  if (pool.empty()) worker();
  for (std::thread& th : pool) th.join();
  return !missed;
}

}  // namespace

void SetListThreads(int n) { g_threads = n; }

int ListThreads() {
  const int n = g_threads;
  if (n > 0) return n;
  const unsigned hw = std::thread::hardware_concurrency();
  return hw > 0 ? static_cast<int>(hw) : 1;
}

namespace {

// The list of every satellite of the open element file tle into f: the
// header, then each satellite's lines. False when a write failed.
bool listAll(WinpData* d, FILE* tle, FILE* f, bool autozone) {
  Keep<double> mxdist(d->mxdist, autozone ? 35.0 : d->mxdist);
  bool nosel = d->satnr < 1;
  if (nosel) d->satnr = 1;
  if (d->prs < 0 || d->prs >= d->satnr || d->prs >= MAXSEL) d->prs = 0;
  const int prs = d->prs;
  ShiftElm(d, SPARESLOT, prs);
  Keep<int> rlm(d->rlm, 0);
  Keep<double> sunel(d->sunel, d->iridflg == 1 && d->occflg == 1 ? 90.0 : d->sunel);

  bool ok = writeHeader(d, f);

  ListRun run;
  run.t0 = mjd(d->day, d->month, d->year,
               d->hour + d->minute / 60.0 + d->second / 3600.0 - d->tzone);
  run.tend = run.t0 + d->dur;
  run.tzd = d->tzone / 24.0;
  run.prs = prs;
  run.autozone = autozone;
  d->cfgname[WORKSLOT][0] = '*';
  char msg[TLEMSG_SIZE];

  // Automatic zone: a satellite with a listed transit joins the selection.
  auto join = [&](WinpData* r) {
    if (!autozone) return;
    if (nosel) {
      ShiftElm(r, SPARESLOT, prs);
      nosel = false;
    } else if (r->satnr <= MAXSEL - 1) {
      ShiftElm(r, r->satnr, prs);
      r->satnr++;
    }
  };

  // Several threads share the satellites when there are several of them and
  // every one is analytic (the numerical propagator has one integrator) and
  // no search changes the selection (automatic zone). The records are read
  // here all the same, so that this record ends as after one thread's run.
  const int threads = ListThreads();
  std::vector<long> offsets;
  const std::unique_ptr<const WinpData> start0 = std::make_unique<const WinpData>(*d);
  bool spread = threads > 1 && !autozone;
  if (spread) {
    long off = std::ftell(tle);
    int res = tleread(d, tle, msg, 0);
    while (res != 0) {
      ShiftElm(d, prs, WORKSLOT);
      if (d->nmflg[prs] || off < 0) spread = false;
      offsets.push_back(off);
      if (res != 2) break;
      off = std::ftell(tle);
      res = tleread(d, tle, msg, 1);
    }
    if (offsets.size() < 2) spread = false;
    if (!spread) std::rewind(tle);
  }

  std::vector<std::string> lines;
  if (spread) {
    const int count = static_cast<int>(offsets.size()) - 1;
    lines.resize(count);
    if (!searchSpread(start0.get(), run, offsets, count, std::min(threads, count), lines)) {
      spread = false;  // read them here after all, one after the other
      std::rewind(tle);
    }
  }
  if (spread) {
    // The last satellite runs here, after the others, so that the engine's
    // records end as after one thread's run.
    for (size_t k = 0; k < lines.size() && ok; ++k) ok = putText(f, lines[k]);
    std::string last;
    if (ok) {
      searchSatellite(d, run, last, [](WinpData*) {});
      ok = putText(f, last);
    }
  } else {
    int res = tleread(d, tle, msg, 0);
    while (res != 0 && ok) {
      ShiftElm(d, prs, WORKSLOT);
      std::string text;
      searchSatellite(d, run, text, join);
      ok = putText(f, text);
      if (res != 2) break;
      res = tleread(d, tle, msg, 1);
    }
  }
  d->irsolw = false;

  if (nosel) d->satnr = 0;
  ShiftElm(d, prs, SPARESLOT);
  return ok;
}

}  // namespace

int AllSatAos(WinpData* d, int* sortWhy) {
  if (sortWhy) *sortWhy = 0;
  // Settings first: a bad one must not cost the user the save file.
  const bool transit = d->iridflg == 1 && (d->occflg == 1 || d->occflg == 2);
  const bool autozone = transit && d->mxdist <= 0.0;
  if (d->iridflg == 3 && d->irmag > IRMAG_MAX) return ALLSAT_BADSET;
  if ((d->iridflg == 1 || d->iridflg == 2) && !autozone && d->mxdist == 0.0) return ALLSAT_BADSET;

  FILE* tle = OpenRegular(d->tlenm);
  if (!tle) return ALLSAT_NOTLE;
  // The save file's writer refuses the element file (the list would take its
  // place, or grow inside it while it is read); a failed run leaves the user
  // the old file, not a cut-off one.
  long start = 0;
  const int res = WriteSaveFile(
      d, false, [&](FILE* f) { return listAll(d, tle, f, autozone); }, &start);
  std::fclose(tle);
  if (!SaveFileSaved(res)) return ALLSAT_NOSAVE;
  // The list is saved whatever the sort comes to; one it could not order
  // stays as written, grouped by satellite, and the caller says so.
  return SortAos(d, std::max(0L, start), sortWhy) == SORTAOS_DONE ? ALLSAT_DONE
                                                                  : ALLSAT_UNSORTED;
}

int Nxt4Pass(WinpData* d) {
  FILE* tle = OpenRegular(d->tlenm);
  if (!tle) return -1;
  const int svsatnr = d->satnr;
  Keep<int> rlm(d->rlm, 0);
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
