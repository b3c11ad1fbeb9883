#include "engine/vorlixcom.h"

#include <cctype>
#include <cstring>

// ---------------------------------------------------------------------------
// Engine globals
// ---------------------------------------------------------------------------

namespace {
SatPosData satposRecord;  // static storage: zero-filled before main
}  // namespace

SatPosData* satpos = &satposRecord;
FILE* outptr = nullptr;
double GBL_timezone = 0.0;

// ---------------------------------------------------------------------------
// Satellite slots
// ---------------------------------------------------------------------------

namespace {
bool validSlot(int i) { return i >= 0 && i < NSLOTS; }
}  // namespace

void ShiftElm(WinpData* d, int to, int from) {
  if (!d || !validSlot(to) || !validSlot(from)) return;
  d->sgpsat = SGPSAT_NONE;
  if (to == from) return;
  d->norad[to] = d->norad[from];
  std::memcpy(d->satname[to], d->satname[from], SATNAME_SIZE);
  d->satname[to][SATNAME_SIZE - 1] = '\0';
  std::memcpy(d->dsn[to], d->dsn[from], DSN_SIZE);
  d->dsn[to][DSN_SIZE - 1] = '\0';
  d->epoch[to] = d->epoch[from];
  d->a[to] = d->a[from];
  d->ra[to] = d->ra[from];
  d->aper[to] = d->aper[from];
  d->inc[to] = d->inc[from];
  d->ecc[to] = d->ecc[from];
  d->m0[to] = d->m0[from];
  d->adot[to] = d->adot[from];
  d->mnmot[to] = d->mnmot[from];
  d->ndot[to] = d->ndot[from];
  d->sgpflg[to] = d->sgpflg[from];
  d->n6dot[to] = d->n6dot[from];
  d->bstar[to] = d->bstar[from];
  d->nmflg[to] = d->nmflg[from];
  d->rx[to] = d->rx[from];
  d->ry[to] = d->ry[from];
  d->rz[to] = d->rz[from];
  d->vx[to] = d->vx[from];
  d->vy[to] = d->vy[from];
  d->vz[to] = d->vz[from];
  d->tint[to] = d->tint[from];
  d->irx[to] = d->irx[from];
  d->iry[to] = d->iry[from];
  d->irz[to] = d->irz[from];
  d->ivx[to] = d->ivx[from];
  d->ivy[to] = d->ivy[from];
  d->ivz[to] = d->ivz[from];
  d->f107[to] = d->f107[from];
  d->fb107[to] = d->fb107[from];
  d->kp[to] = d->kp[from];
  d->cd[to] = d->cd[from];
  d->cr[to] = d->cr[from];
  d->am[to] = d->am[from];
  d->deltv[to] = d->deltv[from];
  d->yaw[to] = d->yaw[from];
  d->pitch[to] = d->pitch[from];
  d->ionf[to] = d->ionf[from];
  d->suns[to] = d->suns[from];
  d->epu[to] = d->epu[from];
}

// ---------------------------------------------------------------------------
// Text page
// ---------------------------------------------------------------------------

namespace {

void putLine(WoutData* o, const char* text, char mark) {
  if (!o || o->nlines < 0 || o->nlines >= WOUT_NLINES) return;
  char* line = o->lines[o->nlines];
  size_t n = text ? strnlen(text, WOUT_LINELEN) : 0;
  std::memcpy(line, text ? text : "", n);
  std::memset(line + n, 0, WOUT_LINELEN - n);
  decdot(line);  // the page's copy, never the caller's text
  line[WOUT_MARK] = mark;
  ++o->nlines;
}

bool validLine(const WoutData* o, int k) {
  return o && k >= 0 && k < o->nlines && k < WOUT_NLINES;
}

}  // namespace

void PutNxtLn(WoutData* o, const char* text) { putLine(o, text, '\0'); }

void PutNxtLnT(WoutData* o, const char* text) { putLine(o, text, WOUT_PASSMARK); }

void PutSpace(WoutData* o, int k) {
  for (int j = 0; j < k; ++j) putLine(o, " ", '\0');
}

int WoutLineLen(const WoutData* o, int k) {
  return validLine(o, k) ? static_cast<int>(strnlen(o->lines[k], WOUT_LINELEN)) : 0;
}

int WoutLineCopy(const WoutData* o, int k, char* out) {
  if (!out) return 0;
  int n = WoutLineLen(o, k);
  if (n > 0) std::memcpy(out, o->lines[k], n);
  out[n] = '\0';
  return n;
}

bool WoutLineMarked(const WoutData* o, int k) {
  return validLine(o, k) && o->lines[k][WOUT_MARK] == WOUT_PASSMARK;
}

// ---------------------------------------------------------------------------
// Compare, calendar words, fixed-column copies
// ---------------------------------------------------------------------------

int Strncmpi(const char* s1, const char* s2, int n) {
  if (n <= 0 || !s1 || !s2) return 1;
  size_t l1 = strnlen(s1, n), l2 = strnlen(s2, n);
  size_t len = static_cast<size_t>(n);
  if (l1 < len || l2 < len) {
    if (l1 != l2 || l1 == 0) return 1;
    len = l1;
  }
  for (size_t k = 0; k < len; ++k)
    if (std::toupper(static_cast<unsigned char>(s1[k])) !=
        std::toupper(static_cast<unsigned char>(s2[k])))
      return 1;
  return 0;
}

void GetMonth(int m, char* out) {
  static const char* const names[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (!out) return;
  std::memcpy(out, (m >= 1 && m <= 12) ? names[m - 1] : "ERR", MONTH_SIZE);
}

void tlecpy(char* dst, const char* line, int col, int n) {
  if (!dst) return;
  int k = 0;
  if (line && col >= 1 && n > 0) {
    // Do not look beyond the end of line, however short it is.
    size_t len = strnlen(line, static_cast<size_t>(col - 1) + static_cast<size_t>(n));
    if (len > static_cast<size_t>(col - 1)) {
      k = static_cast<int>(len - static_cast<size_t>(col - 1));
      std::memcpy(dst, line + col - 1, k);
    }
  }
  dst[k] = '\0';
}

void chcpy(char* line, const char* src, int pos, int n) {
  if (!line || pos < 0 || n <= 0) return;
  int k = 0;
  if (src)
    for (; k < n && src[k]; ++k) line[pos + k] = src[k];
  for (; k < n; ++k) line[pos + k] = ' ';
}
