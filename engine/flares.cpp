// Event refinement inside a found pass: the closest transit, occultation or
// flare centre line, or the brightest Iridium mirror flare; and the Iridium
// flare list read back from the save file.
#include "engine/flares.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/constants.h"
#include "engine/passes.h"
#include "engine/safefile.h"
#include "engine/satpos.h"
#include "engine/savefile.h"
#include "engine/tle.h"

namespace {

constexpr double kMin = 1.0 / 1440.0;
constexpr double kSec = 1.157407407e-5;
constexpr double kTwoSec = 2.314814814e-5;
constexpr double kTenth = 1.157407407e-6;
constexpr double kMirrorYaw[IRID_NTRACK] = {0.0, -120.0, 120.0};
constexpr double kMirrorPitch = -40.0;

struct Trackers {
  int state[IRID_NTRACK];
  double tbest[IRID_NTRACK];
  double vbest[IRID_NTRACK];
  double elbest[IRID_NTRACK];
  double azbest[IRID_NTRACK];
};

// One sample of every active tracker at t: the single tracker 0, or the three
// Iridium mirrors, each with its yaw in occra. True when satpos holds t with
// a position.
bool trackStep(WinpData* d, int slot, bool single, double t, Trackers& k) {
  if (single) return CkIrid(t, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
  d->occdec = kMirrorPitch;
  bool placed = false;
  for (int m = 0; m < IRID_NTRACK; ++m) {
    d->occra = kMirrorYaw[m];
    if (CkIrid(t, d, slot, m, k.state, k.tbest, k.vbest, k.elbest, k.azbest)) placed = true;
  }
  return placed;
}

// Tracker 0 armed and stepped each second from ts while t < te; stops when
// it loses the centre line.
void secondScan(WinpData* d, int slot, double ts, double te, Trackers& k) {
  k.state[0] = 3;
  for (double t = ts; t < te && k.state[0] != 0; t += kSec)
    CkIrid(t, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
}

}  // namespace

bool CkIrid(double t, WinpData* d, int slot, int k, int* state, double* tbest, double* vbest,
            double* elbest, double* azbest) {
  if (!d || k < 0 || k >= IRID_NTRACK || slot < 0 || slot >= NSLOTS) return false;
  if (state[k] == 0) return false;
  // The stand-in place of a satellite without a position can have a centre
  // line of its own; it is none of the satellite's.
  const bool placed = GetSatPos(t, d, satpos, slot, 0) == SATPOS_OK;
  const double v = satpos->mag;
  bool take = false;
  if (placed && satpos->ctlat[slot] < 100.0) {
    if (state[k] == 2) {
      state[k] = 1;
      take = true;
    } else {
      if (state[k] == 3) state[k] = 1;
      take = v < vbest[k];
    }
  } else if (state[k] == 1) {
    state[k] = 0;
  }
  if (take) {
    tbest[k] = t;
    vbest[k] = v;
    elbest[k] = satpos->el[slot];
    azbest[k] = satpos->az[slot];
  }
  return placed;
}

int GetIrid(WinpData* d, int slot, int centreSeen, double* tm, double* elv, double* azm) {
  if (!d || slot < 0 || slot >= NSLOTS || !tm || !elv || !azm) return 2;
  const bool irid = d->iridflg == 3;
  const bool single = !irid || d->irsolw;
  Trackers k;
  for (int m = 0; m < IRID_NTRACK; ++m) {
    k.state[m] = 2;
    k.tbest[m] = tm[0];
    k.vbest[m] = IRID_NONE;
    k.elbest[m] = 0.0;
    k.azbest[m] = 0.0;
  }
  elv[0] = 100.0;
  if (!centreSeen) {
    if (!irid) return 2;
    k.state[0] = 0;
  }

  // Minute scan over the pass, then its end. The latitudes tell the
  // direction of the pass: only a place the satellite had counts.
  double lat = satpos->lat[slot];  // of the latest sample with a position
  for (double t = tm[0]; t < tm[2]; t += kMin) {
    if (trackStep(d, slot, single, t, k)) lat = satpos->lat[slot];
    if (irid && !single && elv[0] > 99.0) elv[0] = lat;
  }
  if (trackStep(d, slot, single, tm[2], k)) lat = satpos->lat[slot];

  if (single) {
    if (k.vbest[0] >= IRID_NONE) return 2;
  } else {
    int win = -1;
    for (int m = 0; m < IRID_NTRACK; ++m)
      if (k.vbest[m] < IRID_NONE && (win < 0 || k.vbest[m] < k.vbest[win])) win = m;
    if (win < 0) return 2;
    d->occra = kMirrorYaw[win];
    k.tbest[0] = k.tbest[win];
    k.vbest[0] = k.vbest[win];
    k.elbest[0] = k.elbest[win];
    k.azbest[0] = k.azbest[win];
  }
  if (irid) {
    elv[2] = lat;
    if (elv[0] > 99.0 && GetSatPos(k.tbest[0] - kSec, d, satpos, slot, 0) == SATPOS_OK)
      elv[0] = satpos->lat[slot];
  }

  // To the second around the best minute.
  const double tb = k.tbest[0];
  if (tm[0] > tb - kSec) {
    secondScan(d, slot, std::fmax(tm[0], tb), std::fmin(tm[2], tb - kSec + kMin), k);
  } else {
    const double vb = k.vbest[0];
    k.state[0] = 1;
    CkIrid(tb - kSec, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
    if (k.state[0] == 0 || !(k.vbest[0] < vb)) {
      secondScan(d, slot, std::fmax(tm[0], tb + kTwoSec), std::fmin(tm[2], tb + kMin + kSec), k);
    } else {
      secondScan(d, slot, std::fmax(tm[0], tb - kMin + 3.0 * kSec), std::fmin(tm[2], tb - kSec), k);
    }
  }

  if (irid ? k.vbest[0] > d->irmag : k.vbest[0] > d->mxdist) return 2;

  // To the tenth of a second.
  const double tb1 = k.tbest[0];
  k.state[0] = 3;
  for (int n = 1; n <= 9; ++n) {
    CkIrid(tb1 + n * kTenth, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
    CkIrid(tb1 - n * kTenth, d, slot, 0, k.state, k.tbest, k.vbest, k.elbest, k.azbest);
  }
  tm[1] = k.tbest[0];
  elv[1] = k.elbest[0];
  azm[1] = k.azbest[0];
  const double best = k.vbest[0];
  if (irid || best >= 10.0) {
    azm[2] = best;
    return 1;
  }

  // A close transit: the perpendicular distance from the observer to the
  // centre line, from the centre-line points 0.1 s either side.
  // A side without a position has no centre line.
  const bool p1 = GetSatPos(tm[1] + kTenth, d, satpos, slot, 0) == SATPOS_OK;
  const double c1lat = p1 ? satpos->ctlat[slot] : 100.0, c1lng = satpos->ctlng[slot];
  const double d1 = satpos->mag;
  const bool p0 = GetSatPos(tm[1] - kTenth, d, satpos, slot, 0) == SATPOS_OK;
  const double c0lat = p0 ? satpos->ctlat[slot] : 100.0, c0lng = satpos->ctlng[slot];
  const double d0 = satpos->mag;
  azm[2] = best;
  if (c1lat >= 100.0 || c0lat >= 100.0) return 1;
  if (std::fabs(d->lat) < 80.0 && std::fabs(c1lng - d->lng) < 2.0 &&
      std::fabs(c0lng - d->lng) < 2.0 && std::fabs(c1lat - d->lat) < 1.0 &&
      std::fabs(c0lat - d->lat) < 1.0) {
    const double cl = std::cos(d->lat * kDeg);
    const double x1 = (c1lng - d->lng) * kDeg * cl, y1 = (c1lat - d->lat) * kDeg;
    const double x0 = (c0lng - d->lng) * kDeg * cl, y0 = (c0lat - d->lat) * kDeg;
    const double l2 = (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
    if (l2 > 1e-100)
      azm[2] = std::fabs(x1 * y0 - x0 * y1) / std::sqrt(l2) * (0.001 * d->height + kReIau1976Km);
  } else {
    const double b2 = best * best;
    const double q = 8.0 * (d1 * d1 + d0 * d0 - 2.0 * b2);
    if (q > 1e-50) {
      const double dd = d1 * d1 - d0 * d0;
      const double m2 = b2 - dd * dd / q;
      if (m2 >= 0.0) azm[2] = std::sqrt(m2);
    }
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Iridium flare list read back from the save file
// ---------------------------------------------------------------------------

namespace {

constexpr int kIrLineMax = 159;   // longest save-file line read at once
constexpr int kIrKey = 16;        // characters that identify a flare (time)
constexpr int kIrTagCol = 28;     // "Iridium Flare" in a flare line
constexpr int kIrTagLen = 13;
constexpr int kIrNameCol = 54;    // satellite name after the tag is removed
constexpr int kIrNameLen = 11;
constexpr int kIrPageLen = 75;

// Loads the satellite `name` from the TLE file into the next free slot by a
// name search, whatever search kind the user chose last.
bool loadByName(WinpData* d, FILE* tf, const char* name, int slot) {
  std::rewind(tf);
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", name);
  int r;
  {
    Keep<int> srchmd(d->srchmd, 0);
    char msg[TLEMSG_SIZE];
    r = tleread(d, tf, msg, 0);
  }
  if (r < 1) return false;
  ShiftElm(d, slot, WORKSLOT);
  return true;
}

}  // namespace

namespace {

// Why the flare list written to path cannot be shown: a FIFO or a device took
// it (what they were given cannot be read back), or the file cannot be read.
void putUnreadList(WoutData* o, const char* path, int err) {
  struct stat st;
  const bool node = stat(path, &st) == 0;
  if (node && S_ISFIFO(st.st_mode))
    PutNxtLn(o, " *** The list went to a FIFO: it cannot be read back to be shown ***");
  else if (node && S_ISCHR(st.st_mode))
    PutNxtLn(o, " *** The list went to a device: it cannot be read back to be shown ***");
  else
    PutFileReason(o, " *** ", "The list cannot be read back from", path,
                  OpenRegularError(err != 0 ? err : EIO), " ***");
}

}  // namespace

void Iriddspy(WinpData* d, WoutData* o) {
  if (!d || !o) return;
  FILE* tf = OpenRegular(d->tlenm);
  int freeslot = d->satnr >= 0 ? d->satnr : 0;
  o->nlines = 0;
  errno = 0;
  outptr = OpenRegular(d->savnm);
  const int openErr = errno;

  PutSpace(o, 1);
  if (d->irrun)
    PutNxtLnsName(o, " *** Iridium Flares ***  written to ", d->savnm);
  else
    PutNxtLn(o, " *** Iridium Flares *** ");
  PutSpace(o, 1);
  if (!outptr) {
    if (tf) std::fclose(tf);
    putUnreadList(o, d->savnm, openErr);
    return;
  }

  char text[2 * FILENAME_SIZE + 64];
  d->svnew = 0;
  std::snprintf(text, sizeof text, " Year: %4i  +++ Timezone: %g +++%s", d->year, d->tzone,
                d->moonflg ? "   Moonshine Flares" : "");
  decdot0(text);
  PutNxtLn(o, text);

  char last[kIrKey + 1];
  std::memset(last, 'X', kIrKey);
  last[kIrKey] = '\0';
  char loaded[MAXSEL][kIrNameLen + 1];
  int nloaded = 0;
  int kept = 0;
  char line[kIrLineMax + 1];
  while (std::fgets(line, sizeof line, outptr)) {
    line[std::strcspn(line, "\r\n")] = '\0';
    // The file's UTF-8 names back in the page's Latin-1 (never longer).
    const std::string latin = Utf8ToLatin1(line);
    std::memcpy(line, latin.c_str(), latin.size() + 1);
    const int len = static_cast<int>(std::strlen(line));
    if (len < 17) continue;
    if (std::strchr("mGY= ", line[0])) continue;
    if (std::strncmp(line, last, kIrKey) == 0) continue;
    if (len < kIrTagCol + 7 || std::strncmp(line + kIrTagCol, "Iridium", 7) != 0) continue;
    std::memcpy(last, line, kIrKey);

    // The tag goes; the rest moves left; the page shows 75 characters.
    const int cut = len < kIrTagCol + kIrTagLen ? len - kIrTagCol : kIrTagLen;
    std::memmove(line + kIrTagCol, line + kIrTagCol + cut, len - kIrTagCol - cut + 1);
    line[kIrPageLen] = '\0';
    if (kept % 5 == 0) PutSpace(o, 1);
    ++kept;
    PutNxtLnT(o, line);

    if (!tf || freeslot > MAXSEL - 1) continue;
    char name[kIrNameLen + 1];
    tlecpy(name, line, kIrNameCol + 1, kIrNameLen);
    if (name[std::strspn(name, " ")] == '\0') continue;
    bool seen = false;
    for (int k = 0; k < nloaded; ++k) seen = seen || std::strcmp(loaded[k], name) == 0;
    if (seen) continue;  // a satellite with several flares is loaded once
    if (loadByName(d, tf, name, freeslot)) {
      d->satnr = ++freeslot;
      if (nloaded < MAXSEL) std::memcpy(loaded[nloaded++], name, sizeof name);
    }
  }
  std::fclose(outptr);
  outptr = nullptr;
  if (tf) std::fclose(tf);
}
