#include "engine/tle.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "astro/astrolib.h"
#include "engine/satpos.h"

namespace {

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

constexpr int NAMELEN = SATNAME_SIZE - 1;  // characters of a satellite name
constexpr int MINELEMLEN = 63;             // shortest usable element line
constexpr double RE_KM = 6378.137;
constexpr double GM_STATE = 398600.4415;   // km^3/s^2, for the record's elements

// The name line of the next matching satellite, read ahead by a name search.
char nextsat[SATNAME_SIZE];

bool readLine(FILE* f, char* line) {
  if (!std::fgets(line, TLELINE_SIZE, f)) {
    line[0] = '\0';
    return false;
  }
  return true;
}

// Puts a line back so the caller reads it again (it may begin the next record).
void unread(FILE* f, long pos) {
  if (pos >= 0) std::fseek(f, pos, SEEK_SET);
}

int lineLen(const char* line) { return static_cast<int>(strnlen(line, TLELINE_SIZE)); }

// An element line is longer than 59 characters (line end included) and
// starts with '1' or '2'; every other line may name the record that follows.
bool isElementLine(const char* line) {
  return (line[0] == '1' || line[0] == '2') && lineLen(line) > 59;
}

// Name from a name line: at most 20 characters, cut at the line end.
void copyName(char* dst, const char* line) {
  int k = 0;
  for (; k < NAMELEN && line[k] && line[k] != '\r' && line[k] != '\n'; ++k) dst[k] = line[k];
  dst[k] = '\0';
}

void cutAtLineEnd(char* s) { s[std::strcspn(s, "\r\n")] = '\0'; }

// Decimal field of columns col..col+n-1.
double field(const char* line, int col, int n) {
  char buf[TLELINE_SIZE];
  tlecpy(buf, line, col, n);
  return Atof(buf);
}

// Exponent field: signed five-digit mantissa standing for 0.NNNNN in columns
// col..col+5, signed exponent digit in col+6..col+7.
double expField(const char* line, int col) {
  double mant = field(line, col, 6);
  double ex = field(line, col + 6, 2);
  double v = mant * 1e-5 * std::pow(10.0, ex);
  return std::isfinite(v) ? v : 0.0;
}

// Integer field (revolution number); garbage gives 0, nothing overflows.
long intField(const char* line, int col, int n) {
  double v = field(line, col, n);
  return std::fabs(v) < 1e9 ? static_cast<long>(v) : 0;
}

// Every value a record leaves in the slot is finite, or the record is refused.
bool slotFinite(const WinpData* d, int w) {
  const double v[] = {d->epoch[w], d->inc[w], d->ra[w],    d->ecc[w],   d->aper[w],
                      d->m0[w],    d->mnmot[w], d->ndot[w], d->n6dot[w], d->bstar[w],
                      d->a[w],     d->adot[w]};
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

// Number of one blank-separated field of a state-vector line; the whole
// field must be a finite number (a typing error must not become 0).
bool strictNum(const char* b, const char* e, double& v) {
  if (b < e && *b == '+') ++b;
  if (b == e) return false;
  auto res = std::from_chars(b, e, v, std::chars_format::general);
  return res.ec == std::errc() && res.ptr == e && std::isfinite(v);
}

// Reads one state-vector line and its first n numbers into v (at most 6).
// Further fields (the line digit) are not checked, but `need` fields must be
// present. A line that does not fit is put back for the caller.
bool readNumbers(FILE* f, char* line, int n, int need, double* v, int& eof) {
  long pos = std::ftell(f);
  if (!readLine(f, line)) {
    eof = 1;
    return false;
  }
  cutAtLineEnd(line);
  int found = 0;
  const char* p = line;
  while (*p) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const char* q = p;
    while (*q && *q != ' ') ++q;
    if (found < n && !strictNum(p, q, v[found])) break;
    ++found;
    p = q;
  }
  if (found < need) {
    unread(f, pos);
    return false;
  }
  return true;
}

// Text appended to a bounded buffer; numbers pass decdot0 (the GUI may run
// under a comma-decimal locale).
class MsgText {
public:
  MsgText(char* out, size_t cap) : out_(out), cap_(cap) {
    if (cap_) out_[0] = '\0';
  }
  void text(const char* s) { append(s); }
  __attribute__((format(printf, 2, 3))) void num(const char* fmt, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    decdot0(buf);
    append(buf);
  }

private:
  void append(const char* s) {
    if (cap_ == 0) return;
    size_t k = std::min(std::strlen(s), cap_ - 1 - len_);
    std::memcpy(out_ + len_, s, k);
    len_ += k;
    out_[len_] = '\0';
  }
  char* out_;
  size_t cap_;
  size_t len_ = 0;
};

// ---------------------------------------------------------------------------
// Record parsing
// ---------------------------------------------------------------------------

// Line 2 of a TLE record into slot 10; false when the line is not a line 2.
bool readLine2(WinpData* d, FILE* f, char* line, long& revnum, int& eof) {
  const int w = WORKSLOT;
  long pos = std::ftell(f);
  if (!readLine(f, line)) {
    eof = 1;
    return false;
  }
  if (line[0] != '2' || lineLen(line) < MINELEMLEN) {
    unread(f, pos);
    return false;
  }
  d->inc[w] = field(line, 9, 8);
  d->ra[w] = field(line, 18, 8);
  if (line[27] == '.') {
    d->ecc[w] = field(line, 26, 8);  // e >= 1 is written with its point
  } else {
    char buf[16] = "0.";
    tlecpy(buf + 2, line, 27, 7);
    d->ecc[w] = Atof(buf);
  }
  d->aper[w] = field(line, 35, 8);
  d->m0[w] = field(line, 44, 8);
  d->mnmot[w] = field(line, 53, 11);
  revnum = lineLen(line) > 67 ? intField(line, 64, 5) : -1;
  return true;
}

// Lines 2-4 of a state-vector record into slot 10.
bool readStateLines(WinpData* d, FILE* f, char* line, int& eof) {
  const int w = WORKSLOT;
  double r[6], v[6], fr[6];
  if (!readNumbers(f, line, 3, 4, r, eof) || !readNumbers(f, line, 3, 4, v, eof) ||
      !readNumbers(f, line, 6, 6, fr, eof))
    return false;
  Vec3 rk(r[0] / 1000.0, r[1] / 1000.0, r[2] / 1000.0);
  Vec3 vk(v[0] / 1000.0, v[1] / 1000.0, v[2] / 1000.0);
  // A state at the Earth's centre cannot be propagated (1/r^2).
  double rn = abs(rk), vn = abs(vk);
  if (!(rn > 0.0) || !std::isfinite(rn) || !std::isfinite(vn)) return false;

  d->rx[w] = d->irx[w] = r[0];
  d->ry[w] = d->iry[w] = r[1];
  d->rz[w] = d->irz[w] = r[2];
  d->vx[w] = d->ivx[w] = v[0];
  d->vy[w] = d->ivy[w] = v[1];
  d->vz[w] = d->ivz[w] = v[2];
  d->tint[w] = d->epoch[w];
  d->f107[w] = fr[0];
  d->fb107[w] = fr[1];
  d->kp[w] = fr[2];
  d->cd[w] = fr[3];
  d->cr[w] = fr[4];
  d->am[w] = fr[5];
  d->deltv[w] = d->yaw[w] = d->pitch[w] = 0.0;
  d->ionf[w] = false;
  d->suns[w] = true;
  d->epu[w] = false;
  d->ndot[w] = d->n6dot[w] = d->bstar[w] = 0.0;
  d->sgpflg[w] = 0;

  double tp, M, a, e, node, argp, incl;
  oscelm(GM_STATE, 0.0, rk, vk, tp, M, a, e, node, argp, incl);
  d->ra[w] = node;
  d->aper[w] = argp;
  d->m0[w] = M;
  d->inc[w] = incl;
  d->ecc[w] = e;
  d->mnmot[w] = e < 1.0 ? getn0(a, e, incl) : (1.0 - e) * a;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Catalogue numbers
// ---------------------------------------------------------------------------

namespace {

// Alpha-5 letters: A = 10 .. Z = 33, I and O left out (they read as 1 and 0).
int alphaValue(char c) {
  if (c < 'A' || c > 'Z' || c == 'I' || c == 'O') return -1;
  int v = c - 'A' + 10;
  if (c > 'I') --v;
  if (c > 'O') --v;
  return v;
}

char alphaLetter(int v) {
  for (char c = 'A'; c <= 'Z'; ++c)
    if (alphaValue(c) == v) return c;
  return '\0';
}

}  // namespace

int tlecatno(const char* fld) {
  if (!fld) return 0;
  char s[6];
  int n = static_cast<int>(strnlen(fld, 5));
  std::memcpy(s, fld, n);
  s[n] = '\0';
  // Blanks around the number are allowed ("    5", "5    ").
  int b = 0, e = n;
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  if (b == e) return 0;
  int value = 0;
  int k = b;
  if (alphaValue(s[b]) >= 0) {
    // Alpha-5: exactly a letter and four digits.
    if (b != 0 || e != 5) return 0;
    value = alphaValue(s[0]);
    k = 1;
  }
  for (; k < e; ++k) {
    if (!std::isdigit(static_cast<unsigned char>(s[k]))) return 0;
    value = 10 * value + (s[k] - '0');
  }
  return value;
}

bool tlecatfld(char* out, int norad) {
  if (!out) return false;
  if (norad >= 0 && norad <= 99999) {
    std::snprintf(out, 6, "%5i", norad);
    return true;
  }
  char c = norad >= 100000 ? alphaLetter(norad / 10000) : '\0';
  if (!c) {
    out[0] = '\0';
    return false;
  }
  out[0] = c;
  int low = norad % 10000;
  for (int k = 4; k >= 1; --k, low /= 10) out[k] = static_cast<char>('0' + low % 10);
  out[5] = '\0';
  return true;
}

// ---------------------------------------------------------------------------
// Reader
// ---------------------------------------------------------------------------

int gettle(WinpData* d, FILE* f, char* line, char* msg, int& eof) {
  if (msg) msg[0] = '\0';
  if (!d || !f || !line) return 0;
  const int w = WORKSLOT;

  // 1. Line 1: the line given, or the one after a name line.
  if (!(line[0] == '1' && isElementLine(line))) {
    long pos = std::ftell(f);
    if (!readLine(f, line)) {
      eof = 1;
      return 0;
    }
    if (line[0] != '1' || lineLen(line) < MINELEMLEN) {
      unread(f, pos);
      return 0;
    }
  } else if (lineLen(line) < MINELEMLEN) {
    return 0;
  }

  // 2. Identity and epoch.
  char buf[TLELINE_SIZE];
  tlecpy(buf, line, 3, 5);
  d->norad[w] = tlecatno(buf);
  tlecpy(d->sdsn, line, 10, SDSN_SIZE - 1);
  convldsn(d, true);
  std::memcpy(d->dsn[w], d->ldsn, DSN_SIZE);
  d->dsn[w][DSN_SIZE - 1] = '\0';
  int yy = static_cast<int>(field(line, 19, 2));
  int year = yy < 57 ? 2000 + yy : 1900 + yy;
  double doy = field(line, 21, 12);
  // A day far outside the year is no epoch (and would overflow the calendar).
  if (!(doy >= 0.0 && doy < 400.0)) return 0;
  char eptext[EPOCHTEXT_SIZE];
  cnvepch(d, year, doy, eptext);

  long revnum = 0;
  const bool state = Strncmpi(line + 39, TLE_STATEMARK, 19) == 0;
  if (!state) {
    // 3. TLE record.
    d->nmflg[w] = 0;
    d->ndot[w] = field(line, 34, 10);
    d->n6dot[w] = expField(line, 45);
    d->bstar[w] = expField(line, 54);
    d->sgpflg[w] = line[62] != '9';
    if (!readLine2(d, f, line, revnum, eof)) return 0;
  } else {
    // 4. State-vector record.
    d->nmflg[w] = 1;
    revnum = intField(line, 34, 5);
    if (!readStateLines(d, f, line, eof)) return 0;
  }

  // 5. Semi-major axis and heights.
  const double e = d->ecc[w], i = d->inc[w];
  const double n = std::max(d->mnmot[w], 1e-30);
  double a = 1.0, perigee = 0.0, apogee = 0.0;
  d->adot[w] = 0.0;
  if (e < 1.0) {
    a = getsax(d->sgpflg[w], n, e, i);
    d->adot[w] = -4.0 / 3.0 * a * d->ndot[w] / n;
    perigee = a * (1.0 - e) - RE_KM;
    apogee = a * (1.0 + e) - RE_KM;
  } else if (e > 1.0) {
    a = d->mnmot[w] / (1.0 - e);
  }

  // 6. Filters.
  if (d->lowflg == 1 && (n < 16.088 || d->epoch[w] < d->curmjd - 7.0)) return 0;
  if (d->recflg == 1 && revnum != 0 && (revnum >= 100 || (n < 4.0 && revnum > 9))) return 0;

  // 7. Element adjustment (TLEs only).
  if (d->adjflg && !state) {
    d->epoch[w] -= d->adjtim / 86400.0;
    if (d->adjn0 != 0.0) {
      bool all = !(d->iridflg == 3 && d->ops);
      if (all || (a >= 7150.0 && a <= 7159.9)) {
        d->mnmot[w] = d->adjn0;
        a = getsax(0, d->adjn0, e, i);
      }
    }
    d->sgpflg[w] = 0;
    d->adot[w] = 0.0;
    d->ra[w] += d->adjra;
    d->ndot[w] = 0.0;
    d->n6dot[w] = 0.0;
  }

  // 8. Name and the remaining elements.
  char* name = d->satname[w];
  name[NAMELEN] = '\0';
  if (d->srchmd != 0 && (name[0] == '\0' || std::strcmp(name, " ") == 0)) {
    std::memcpy(name, d->ldsn, LDSN_SIZE);
    name[NAMELEN] = '\0';
  }
  d->a[w] = a;
  cutAtLineEnd(name);
  if (!slotFinite(d, w)) return 0;

  // 9. Information text.
  if (msg) {
    MsgText t(msg, TLEMSG_SIZE);
    t.text(name);
    t.text("\n================================");
    t.num("\nNORAD#\t\t:%6i", d->norad[w]);
    t.text("\nInt.Launch#\t: ");
    t.text(d->ldsn);
    t.text("\n\nEpoch\t: ");
    t.text(eptext);
    t.num("\n\nInclination\t: %8.4lf", d->inc[w]);
    t.num("\nRight Ascension\t: %8.4lf", d->ra[w]);
    t.num("\nArg. of Perigee\t: %8.4lf", d->aper[w]);
    if (e < 1.0) {
      t.num("\nMean Anomaly\t: %8.4lf", d->m0[w]);
      t.num("\n\nEccentricity\t: %9.7lf", e);
      t.num("\nSemi-Major Axis a\t: %10.3lf km", a);
      t.num("\nChange in a\t: %10.3lf km/day", d->adot[w]);
      t.num("\nPerigee\t\t: %10.3lf km", perigee);
      t.num("\nApogee\t\t: %10.3lf km", apogee);
      if (revnum > 0) t.num("\n\nRevolution at Epoch: %ld", revnum);
      else t.text("\n");
      t.num("\nRevolutions per day: %12.8lf", d->mnmot[w]);
      if (std::fabs(d->mnmot[w]) > 0.001)
        t.num("\n\nPeriod (min):%10.2lf", 1440.0 / d->mnmot[w]);
    } else {
      t.num("\n\nEccentricity\t: %8.5lf", e);
      t.num("\nSemi-Major Axis a\t: %10.3lf km", a);
      t.num("\nPerigee Distance q\t:%11.3lf km", d->mnmot[w]);
    }
    if (state) t.text("\n+++ Numeric Propagation +++");
  }

  // 10. State at epoch for the analytic models.
  if (!state) EpochState(d, w, true);
  return 1;
}

namespace {

// The search of tleread; srchmd may be changed for the call, the caller
// restores it.
int tlesearch(WinpData* d, FILE* f, char* msg, int cont) {
  const int w = WORKSLOT;
  d->sgpsat = SGPSAT_NONE;
  char s[SATNAME_SIZE];
  std::memcpy(s, d->cfgname[w], SATNAME_SIZE);
  s[NAMELEN] = '\0';
  const int n = static_cast<int>(std::strlen(s));
  const bool all = s[0] == '*';
  if (all) d->srchmd = 1;
  const int kind = d->srchmd;  // 1 number, 2 designator, else name
  const bool byname = kind != 1 && kind != 2;
  std::memset(d->satname[w], ' ', NAMELEN);
  d->satname[w][NAMELEN] = '\0';
  nextsat[NAMELEN] = '\0';

  // Only name lines can match a name: element lines "1 ..."/"2 ..." never do.
  auto matches = [&](const char* line) {
    return !isElementLine(line) && Strncmpi(line, s, n) == 0;
  };

  char line[TLELINE_SIZE];
  int eof = 0, found = 0;
  bool continued = cont && byname;
  while (!eof && !found) {
    if (!readLine(f, line)) break;
    bool parse = false;
    if (continued) {
      // The set after the name read ahead by the previous call. Only this
      // first line: a rejected set must not hand its name to the next one.
      continued = false;
      std::memcpy(d->satname[w], nextsat, SATNAME_SIZE);
      if (matches(line)) copyName(d->satname[w], line);
      parse = true;
    } else if (!isElementLine(line)) {
      if (!byname) {
        copyName(d->satname[w], line);
      } else if (matches(line)) {
        copyName(d->satname[w], line);
        parse = true;
      }
    } else if (line[0] == '1' && !byname) {
      if (all) {
        parse = true;
      } else if (kind == 2) {
        tlecpy(d->sdsn, line, 10, SDSN_SIZE - 1);
        convldsn(d, true);
        parse = Strncmpi(s, d->ldsn, n) == 0;
      } else {
        char buf[8];
        tlecpy(buf, line, 3, 5);
        parse = tlecatno(buf) == d->norad[w];
      }
    }
    if (!parse || !gettle(d, f, line, msg, eof)) continue;
    if (all) {
      found = 2;
    } else if (!byname) {
      found = 1;
    } else {
      found = 1;
      while (readLine(f, line))
        if (matches(line)) {
          copyName(nextsat, line);
          found = 2;
          break;
        }
    }
  }

  if (!found) {
    if (d->srchmd == 1)
      std::snprintf(msg, TLEMSG_SIZE, "\n+++ No match found for NORAD# %i +++", d->norad[w]);
    else
      std::snprintf(msg, TLEMSG_SIZE, "\n+++ No match found for %s +++", s);
    return 0;
  }
  if (all && found == 2) {
    long pos = std::ftell(f);
    if (!readLine(f, line)) return 1;
    unread(f, pos);
  }
  return found;
}

}  // namespace

int tleread(WinpData* d, FILE* f, char* msg, int cont) {
  if (!d || !msg) return 0;
  msg[0] = '\0';
  if (!f) {
    std::snprintf(msg, TLEMSG_SIZE, "\n*** No TLE file open ***");
    return 0;
  }
  const int srchmd = d->srchmd;
  int res = tlesearch(d, f, msg, cont);
  d->srchmd = srchmd;
  return res;
}

void EpochState(WinpData* d, int i, bool reset) {
  if (!d || i < 0 || i >= NSLOTS) return;
  const int rlm = d->rlm;
  d->rlm = 0;
  d->sgpsat = SGPSAT_NONE;
  GetSatPos(d->epoch[i], d, satpos, i, 0);
  d->rx[i] = d->irx[i];
  d->ry[i] = d->iry[i];
  d->rz[i] = d->irz[i];
  d->vx[i] = d->ivx[i];
  d->vy[i] = d->ivy[i];
  d->vz[i] = d->ivz[i];
  d->nmflg[i] = 0;
  if (reset) {
    d->deltv[i] = d->yaw[i] = d->pitch[i] = 0.0;
    d->ionf[i] = false;
    d->suns[i] = true;
    d->epu[i] = false;
    d->f107[i] = d->dF107;
    d->fb107[i] = d->dFB107;
    d->kp[i] = d->dKp;
    d->cd[i] = d->dCd;
    d->cr[i] = d->dCr;
    d->am[i] = d->dAm;
  }
  d->rlm = rlm;
}
