#include "engine/tle.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/safefile.h"
#include "engine/satpos.h"
#include "engine/savefile.h"
#include "engine/sgp4slot.h"
#include "orbit/sgp4unit.h"
#include "orbit/vorlixnum.h"

namespace {

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

constexpr int NAMELEN = SATNAME_SIZE - 1;  // characters of a satellite name
constexpr int MINELEMLEN = 63;             // shortest usable element line

// The name line of the next matching satellite, read ahead by a name search
// (one per thread: the all-satellite list reads its records in several).
thread_local char nextline[TLELINE_SIZE];

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

// Name of a name line into slot i, read as every text file's names are
// (valid UTF-8 as UTF-8, anything else as Latin-1): the record's Latin-1, at
// most 20 characters, cut at the line end, and the same characters as the
// file spells them. The whole line decides whether it is UTF-8, and the cut
// follows the decoding, so a UTF-8 name keeps 20 letters.
void readName(WinpData* d, int i, const char* line) { SetSlotName(d, i, line, TLELINE_SIZE); }

// A record's name (Latin-1 already): at most 20 characters, cut at a line end.
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

// A number in exponent form ("1e200", " 1.e300 ") in columns col..col+n-1,
// as Atof would read it. The columns of an element set hold plain decimals
// and integers: such a field is refused, or a typing error or a damaged
// file could put any magnitude into the slot (an eccentricity of 1e300, an
// N-dot of 1e200 rev/day^2).
bool exponentForm(const char* line, int col, int n) {
  char buf[TLELINE_SIZE];
  tlecpy(buf, line, col, n);
  // Skipped as Atof skips them: every blank Atof passes over here too.
  const char* p = buf;
  while (*p && std::strchr(" \t\n\r\v\f", *p)) ++p;
  if (*p == '+') ++p;
  const char* end = p + std::strlen(p);
  double v;
  const auto res = std::from_chars(p, end, v, std::chars_format::general);
  return std::find_if(p, res.ptr, [](char c) { return c == 'e' || c == 'E'; }) != res.ptr;
}

// Any of the fields {col, n} of a line in exponent form.
bool anyExponent(const char* line, std::initializer_list<std::pair<int, int>> fields) {
  for (const auto& fl : fields)
    if (exponentForm(line, fl.first, fl.second)) return true;
  return false;
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

bool stateFinite(const WinpData* d, int w) {
  const double v[] = {d->rx[w], d->ry[w], d->rz[w], d->vx[w], d->vy[w], d->vz[w]};
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
  // Inclination, node, eccentricity (either form), perigee, anomaly, mean
  // motion, revolution number.
  if (anyExponent(line, {{9, 8}, {18, 8}, {26, 8}, {35, 8}, {44, 8}, {53, 11}, {64, 5}}))
    return false;
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
  // Space weather within its physical ranges (Kp 20 for 2.0 must not stop
  // the propagation of the satellite).
  d->f107[w] = F107InRange(fr[0]);
  d->fb107[w] = F107InRange(fr[1]);
  d->kp[w] = KpInRange(fr[2]);
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
  oscelm(kGmEgm96Km3S2, 0.0, rk, vk, tp, M, a, e, node, argp, incl);
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

bool tledsnfits(const char* dsn) {
  if (!dsn) return false;
  // Character k of the long form, a blank from the terminator on.
  auto at = [dsn](int k) {
    for (int j = 0; j <= k; ++j)
      if (dsn[j] == '\0') return ' ';
    return dsn[k];
  };
  const int n = static_cast<int>(strnlen(dsn, LDSN_SIZE));
  for (int k = LDSN_SIZE - 1; k < n; ++k)
    if (dsn[k] != ' ') return false;  // longer than the long form
  // What the TLE field keeps (characters 3-4 and 6-11), and the long form
  // read back from it, as the reader does.
  char shortForm[SDSN_SIZE - 1];
  shortForm[0] = at(2);
  shortForm[1] = at(3);
  for (int k = 0; k < 6; ++k) shortForm[2 + k] = at(5 + k);
  char back[LDSN_SIZE - 1];
  if (shortForm[0] == ' ') {
    std::memset(back, ' ', sizeof back);
  } else {
    int yy = 0;
    if (std::isdigit(static_cast<unsigned char>(shortForm[0]))) yy = 10 * (shortForm[0] - '0');
    if (std::isdigit(static_cast<unsigned char>(shortForm[1]))) yy += shortForm[1] - '0';
    back[0] = yy < 57 ? '2' : '1';
    back[1] = yy < 57 ? '0' : '9';
    back[2] = shortForm[0];
    back[3] = shortForm[1];
    back[4] = '-';
    for (int k = 0; k < 6; ++k) back[5 + k] = shortForm[2 + k];
  }
  for (int k = 0; k < LDSN_SIZE - 1; ++k)
    if (back[k] != at(k)) return false;
  return true;
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
  if (anyExponent(line, {{19, 2}, {21, 12}})) return 0;
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
    // N-dot; the mantissas and exponents of N-dot-dot and B*.
    if (anyExponent(line, {{34, 10}, {45, 6}, {51, 2}, {54, 6}, {60, 2}})) return 0;
    d->ndot[w] = field(line, 34, 10);
    d->n6dot[w] = expField(line, 45);
    d->bstar[w] = expField(line, 54);
    d->sgpflg[w] = line[62] != '9';
    if (!readLine2(d, f, line, revnum, eof)) return 0;
    // A negative eccentricity ("-1.23456" with its point) is no orbit: no
    // model propagates it and the writer could not save it back.
    if (!(d->ecc[w] >= 0.0)) return 0;
  } else {
    // 4. State-vector record.
    d->nmflg[w] = 1;
    if (anyExponent(line, {{34, 5}})) return 0;
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
    perigee = a * (1.0 - e) - kReWgs84Km;
    apogee = a * (1.0 + e) - kReWgs84Km;
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
    TextBuf t(msg, TLEMSG_SIZE);
    t.Put(name);
    t.Put("\n================================");
    t.Add("\nNORAD#\t\t:%6i", d->norad[w]);
    t.Put("\nInt.Launch#\t: ");
    t.Put(d->ldsn);
    t.Put("\n\nEpoch\t: ");
    t.Put(eptext);
    t.Add("\n\nInclination\t: %8.4lf", d->inc[w]);
    t.Add("\nRight Ascension\t: %8.4lf", d->ra[w]);
    t.Add("\nArg. of Perigee\t: %8.4lf", d->aper[w]);
    if (e < 1.0) {
      t.Add("\nMean Anomaly\t: %8.4lf", d->m0[w]);
      t.Add("\n\nEccentricity\t: %9.7lf", e);
      t.Add("\nSemi-Major Axis a\t: %10.3lf km", a);
      t.Add("\nChange in a\t: %10.3lf km/day", d->adot[w]);
      t.Add("\nPerigee\t\t: %10.3lf km", perigee);
      t.Add("\nApogee\t\t: %10.3lf km", apogee);
      if (revnum > 0) t.Add("\n\nRevolution at Epoch: %ld", revnum);
      else t.Put("\n");
      t.Add("\nRevolutions per day: %12.8lf", d->mnmot[w]);
      if (std::fabs(d->mnmot[w]) > 0.001)
        t.Add("\n\nPeriod (min):%10.2lf", 1440.0 / d->mnmot[w]);
    } else {
      t.Add("\n\nEccentricity\t: %8.5lf", e);
      t.Add("\nSemi-Major Axis a\t: %10.3lf km", a);
      t.Add("\nPerigee Distance q\t:%11.3lf km", d->mnmot[w]);
    }
    if (state) t.Put("\n+++ Numeric Propagation +++");
  }

  // 10. State at epoch for the analytic models. Finite elements may still
  // give no finite state (an orbit beyond what the model can compute): the
  // slot must hold finite values, or the record is refused.
  if (!state) {
    EpochState(d, w, true);
    if (!stateFinite(d, w)) {
      if (msg) msg[0] = '\0';
      return 0;
    }
  }
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
  std::snprintf(d->nameutf8[w], NAMEUTF8_SIZE, "%s", d->satname[w]);
  nextline[TLELINE_SIZE - 1] = '\0';

  // Only name lines can match a name: element lines "1 ..."/"2 ..." never do.
  // The name is matched as it is read, and the line as its bytes stand: a
  // search string that spells a UTF-8 name's bytes as Latin-1 letters (the
  // settings may hold a name so) finds it too.
  auto matches = [&](const char* line) {
    if (isElementLine(line)) return false;
    char name[TLELINE_SIZE];
    TextLineToLatin1(name, sizeof name, line, TLELINE_SIZE);
    return Strncmpi(name, s, n) == 0 || Strncmpi(line, s, n) == 0;
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
      readName(d, w, matches(line) ? line : nextline);
      parse = true;
    } else if (!isElementLine(line)) {
      if (!byname) {
        readName(d, w, line);
      } else if (matches(line)) {
        readName(d, w, line);
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
          std::memcpy(nextline, line, TLELINE_SIZE);
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
  Keep<int> srchmd(d->srchmd);
  return tlesearch(d, f, msg, cont);
}

bool HoldsElementSet(FILE* f) {
  if (!f) return false;
  auto d = std::make_unique<WinpData>();
  d->sdp4 = true;
  d->sgpsat = SGPSAT_NONE;
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "*");
  // Each record read is propagated to its epoch, into a position store of
  // its own and through the thread's one SGP4 record, which gets its old
  // content back: the caller's record still says which slot it caches.
  auto positions = std::make_unique<SatPosData>();
  Keep<SatPosData*> store(satpos, positions.get());
  Keep<elsetrec> cache(satrec);
  char msg[TLEMSG_SIZE];
  return tleread(d.get(), f, msg, 0) != 0;
}

void EpochState(WinpData* d, int i, bool reset) {
  if (!d || i < 0 || i >= NSLOTS) return;
  Keep<int> rlm(d->rlm, 0);
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
}

// ---------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------

void cvtlef(char* out, double x) {
  if (!out) return;
  if (x == 0.0 || !std::isfinite(x)) {
    std::memcpy(out, " 00000-0", 9);
    return;
  }
  const double ax = std::fabs(x);
  long mant;
  int ex;
  char exsign;
  if (ax < 0.1) {
    // The usual field: 0.NNNNN x 10^-E, the mantissa cut (not rounded) after
    // five digits, as element sets are published.
    const double y = 10.0 * ax;
    const int k = static_cast<int>(std::trunc(std::log10(y))) - 1;
    const double m = k >= -9 ? y * std::pow(10.0, -k) * 10000.0 : y * 1e9 * 10000.0;
    mant = std::min(static_cast<long>(static_cast<float>(m)), 99999L);
    ex = std::min(-k, 9);
    exsign = '-';
  } else {
    // 0.1 and more: a positive exponent, rounded to the nearest field value
    // (at most 0.99999e9).
    ex = static_cast<int>(std::floor(std::log10(ax))) + 1;
    double m = std::round(ax / std::pow(10.0, ex) * 1e5);
    if (m >= 100000.0) {
      m = 10000.0;
      ++ex;
    }
    if (ex > 9) {
      m = 99999.0;
      ex = 9;
    }
    mant = static_cast<long>(m);
    exsign = ex == 0 ? '-' : '+';
  }
  mant = std::max(0L, std::min(mant, 99999L));
  ex = std::max(0, std::min(ex, 9));
  out[0] = x < 0.0 ? '-' : ' ';
  for (int k = 5; k >= 1; --k, mant /= 10) out[k] = static_cast<char>('0' + mant % 10);
  out[6] = exsign;
  out[7] = static_cast<char>('0' + ex);
  out[8] = '\0';
}

char tcksum(const char* line) {
  int sum = 0;
  if (line)
    for (int k = 0; k < 68 && line[k]; ++k) {
      if (line[k] >= '0' && line[k] <= '9') sum += line[k] - '0';
      else if (line[k] == '-') sum += 1;
    }
  return static_cast<char>('0' + sum % 10);
}

namespace {

constexpr int OUTLINE = 69;     // columns of an element line
constexpr size_t NAMELINE = 40;  // bytes of a name line

// One slot's record as text, or the reason it cannot be written.
class RecordWriter {
public:
  explicit RecordWriter(WinpData* d) : d_(d) {}

  bool slot(int i, std::string& out) {
    what_ = nullptr;
    // Name line: the name without line ends in UTF-8, as every text file
    // is written, padded to 40 bytes; a name read from an element file as
    // that file spells it (a letter Latin-1 lacks included). Twenty Latin-1
    // characters take at most 40 bytes, and a longer spelling came from a
    // line the reader took as a name; a slot holding one that would read as
    // an element line gets its Latin-1 name written. So the line never grows
    // into the length of an element line, whatever the name begins with.
    std::string name = SlotNameUtf8(d_, i);
    if (isElementLine((name + "\n").c_str()))
      name = Latin1ToUtf8(d_->satname[i], NAMELEN);
    std::replace(name.begin(), name.end(), '\r', ' ');
    std::replace(name.begin(), name.end(), '\n', ' ');
    if (name.size() < NAMELINE) name.append(NAMELINE - name.size(), ' ');

    char l1[OUTLINE + 1], l2[OUTLINE + 1];
    blank(l1);
    l1[0] = '1';
    char cat[6];
    if (!tlecatfld(cat, d_->norad[i])) return fail("catalogue number");
    std::memcpy(l1 + 2, cat, 5);
    // The designator field holds YYNNNPPP: a designator that does not come
    // back from it as it stands would be saved as another one.
    if (!tledsnfits(d_->dsn[i])) return fail("international designator");
    std::snprintf(d_->ldsn, LDSN_SIZE, "%.*s", LDSN_SIZE - 1, d_->dsn[i]);
    convldsn(d_, false);
    std::memcpy(l1 + 9, d_->sdsn, SDSN_SIZE - 1);
    if (!std::isfinite(d_->epoch[i]) || std::fabs(d_->epoch[i]) > 1e7) return fail("epoch");
    int dy, mo, yr;
    double hr;
    caldat(d_->epoch[i], dy, mo, yr, hr);
    // Two year digits cover 1957-2056 only.
    if (yr < 1957 || yr > 2056) return fail("epoch year");
    l1[18] = static_cast<char>('0' + yr / 10 % 10);
    l1[19] = static_cast<char>('0' + yr % 10);
    // Day of the year zero-padded ("020.5"), as every element set writes it.
    if (!put(l1, 21, 12, "%012.8lf", d_->epoch[i] - mjd(0, 1, yr, 0.0), "epoch")) return false;

    if (d_->nmflg[i]) {
      l1[37] = '0';
      std::memcpy(l1 + 39, TLE_STATEMARK, 19);
      l1[68] = '1';
      char l3[OUTLINE + 1], l4[OUTLINE + 1];
      if (!vectorLine(l2, d_->rx[i], d_->ry[i], d_->rz[i], '2', "position") ||
          !vectorLine(l3, d_->vx[i], d_->vy[i], d_->vz[i], '3', "velocity"))
        return false;
      blank(l4);
      if (!put(l4, 1, 7, "%7.1lf", d_->f107[i], "F10.7") ||
          !put(l4, 9, 7, "%7.1lf", d_->fb107[i], "mean F10.7") ||
          !put(l4, 17, 7, "%7.1lf", d_->kp[i], "Kp") ||
          !put(l4, 25, 13, "%13.5le", d_->cd[i], "drag coefficient") ||
          !put(l4, 39, 13, "%13.5le", d_->cr[i], "radiation coefficient") ||
          !put(l4, 53, 13, "%13.5le", d_->am[i], "area to mass"))
        return false;
      l4[68] = '4';
      out.append(name).append("\n");
      for (const char* s : {l1, l2, l3, l4}) out.append(s).append("\n");
      return true;
    }

    // Element record, line 1: drag terms.
    double nd = d_->ndot[i] == 0.0 ? 0.0 : d_->ndot[i];  // no "-0"
    if (nd >= 0.0) {
      if (!put(l1, 34, 10, "%10.8lf", nd, "first derivative of the mean motion")) return false;
    } else {
      // "-.NNNNNNNN": only values above -1 have the leading zero to drop.
      char b[64];
      std::snprintf(b, sizeof b, "%11.8lf", nd);
      decdot0(b);
      if (std::strlen(b) != 11 || b[1] != '0') return fail("first derivative of the mean motion");
      b[1] = '-';
      std::memcpy(l1 + 33, b + 1, 10);
    }
    // The exponent field holds at most 0.99999e9: a larger value would be
    // saved changed.
    if (!expFits(d_->n6dot[i])) return fail("second derivative of the mean motion");
    if (!expFits(d_->bstar[i])) return fail("B*");
    char ef[9];
    cvtlef(ef, d_->n6dot[i]);
    std::memcpy(l1 + 44, ef, 8);
    cvtlef(ef, d_->bstar[i]);
    std::memcpy(l1 + 53, ef, 8);
    l1[62] = d_->sgpflg[i] ? '0' : '9';
    // Element set number: readers of the standard format need a number here.
    l1[67] = '0';
    l1[68] = tcksum(l1);

    // Line 2: the elements.
    blank(l2);
    l2[0] = '2';
    std::memcpy(l2 + 2, cat, 5);
    if (!put(l2, 9, 8, "%8.4lf", d_->inc[i], "inclination") ||
        !put(l2, 18, 8, "%8.4lf", wrap360(d_->ra[i]), "node") ||
        !put(l2, 35, 8, "%8.4lf", wrap360(d_->aper[i]), "argument of perigee") ||
        !put(l2, 44, 8, "%8.4lf", wrap360(d_->m0[i]), "mean anomaly"))
      return false;
    const double e = d_->ecc[i];
    if (!(e >= 0.0) || !std::isfinite(e)) return fail("eccentricity");
    if (e < 1.0) {
      // Seven digits: 0.99999995 and more would round to "1.0000000".
      char b[64];
      std::snprintf(b, sizeof b, "%9.7lf", std::min(e, 0.9999999));
      std::memcpy(l2 + 26, b + 2, 7);
      if (!put(l2, 53, 11, "%11.8lf", d_->mnmot[i], "mean motion")) return false;
    } else {
      // The point in column 28 marks the eccentricity of an open orbit.
      if (!put(l2, 26, 8, "%8.5lf", e, "eccentricity") || l2[27] != '.')
        return fail("eccentricity");
      const double q = d_->mnmot[i];
      if (!put(l2, 53, 11, std::fabs(q) < 1e6 ? "%11.4lf" : "%11.2lf", q, "perigee distance"))
        return false;
    }
    // Revolution number 0 (read like a blank: unknown); readers of the
    // standard format need a number here.
    l2[67] = '0';
    l2[68] = tcksum(l2);
    out.append(name).append("\n").append(l1).append("\n").append(l2).append("\n");
    return true;
  }

  const char* what() const { return what_ ? what_ : ""; }

private:
  static void blank(char* l) {
    std::memset(l, ' ', OUTLINE);
    l[OUTLINE] = '\0';
  }

  static double wrap360(double x) {
    if (!std::isfinite(x)) return x;
    double w = std::fmod(x, 360.0);
    if (w < 0.0) w += 360.0;
    return w >= 360.0 ? 0.0 : w;
  }

  static bool expFits(double x) { return std::fabs(x) <= TLE_EXPFIELD_MAX; }

  bool fail(const char* what) {
    what_ = what;
    return false;
  }

  // Number x formatted into exactly `width` columns from 1-based col.
  bool put(char* line, int col, int width, const char* fmt, double x, const char* what) {
    if (!std::isfinite(x)) return fail(what);
    char b[64];
    std::snprintf(b, sizeof b, fmt, x);
    decdot0(b);
    if (static_cast<int>(std::strlen(b)) != width) return fail(what);
    std::memcpy(line + col - 1, b, width);
    return true;
  }

  bool vectorLine(char* line, double x, double y, double z, char digit, const char* what) {
    blank(line);
    if (!put(line, 1, 20, "%20.12le", x, what) || !put(line, 22, 20, "%20.12le", y, what) ||
        !put(line, 43, 20, "%20.12le", z, what))
      return false;
    line[68] = digit;
    return true;
  }

  WinpData* d_;
  const char* what_ = nullptr;
};

void report(WoutData* o, const char* fmt, const char* a, const char* b) {
  if (!o) return;
  char line[256];
  std::snprintf(line, sizeof line, fmt, a, b);
  PutNxtLn(o, line);
}

// "*** <what> <fname>: <why> ***", the name kept as the file system spells it;
// the reason on a line of its own when the line cannot hold it all.
void reportFile(WoutData* o, const char* what, const char* fname, const char* why) {
  PutFileReason(o, "*** ", what, fname, why, " ***");
}

}  // namespace

int SaveTle(WinpData* d, WoutData* o) {
  if (!d || d->satnr < 1) return 1;
  const int n = std::min(d->satnr, MAXSEL);

  // Every record first: a value that does not fit stops the save before the
  // file is touched.
  std::string text;
  RecordWriter rw(d);
  for (int i = 0; i < n; ++i)
    if (!rw.slot(i, text)) {
      char nm[SATNAME_SIZE];
      copyName(nm, d->satname[i]);
      // Two lines, each within a page line, and no comma for the page's
      // decimal-point rule to turn into a full stop.
      report(o, "*** %s: nothing saved%s ***", nm, "");
      report(o, "*** The %s does not fit a TLE%s ***", rw.what(), "");
      return 4;
    }

  char fname[FILENAME_SIZE];
  std::snprintf(fname, sizeof fname, "%.*s", FILENAME_SIZE - 1, d->tlsnm);
  if (!fname[0]) {
    report(o, "*** %s%s ***", "No TLE save file name", "");
    return 2;
  }
  // Never over (or into) an element file, by whatever name.
  if (IsElementFile(fname, d->tlenm)) {
    report(o, "*** %s%s ***", TleSaveIsElementFile(), "");
    return 5;
  }
  SafeFile out(fname);
  if (!out.open()) {
    reportFile(o, "Unable to open TLE save file", fname, OpenRegularError(out.error()));
    return 2;
  }
  auto abandon = [&](int code, const char* why) {
    out.abandon();
    reportFile(o, code == 2 ? "Unable to read TLE save file" : "Write error on TLE save file",
               fname, why);
    return code;
  };

  // Appending: the old content goes first into the new file. A device or a
  // FIFO, written directly, cannot be read back: the sets go after what it
  // was given before.
  if (!d->tsnew && !out.direct()) {
    FILE* old = OpenRegular(fname);
    if (!old && errno != ENOENT) return abandon(2, OpenRegularError(errno));
    if (old) {
      char buf[8192];
      size_t k;
      bool ok = true;
      while (ok && (k = std::fread(buf, 1, sizeof buf, old)) > 0) ok = out.write(buf, k);
      const int err = ok ? errno : out.error();
      const bool rerr = std::ferror(old);
      std::fclose(old);
      if (rerr) return abandon(2, OpenRegularError(err));
      if (!ok) return abandon(3, OpenRegularError(err));
    }
  }
  if (!out.write(text.data(), text.size())) return abandon(3, OpenRegularError(out.error()));
  switch (out.commit()) {
    case SafeFile::Done:
      break;
    case SafeFile::Unsynced:
      // The file holds the new sets: saved, but the user is told.
      reportFile(o, "Folder not synced after saving TLE save file", fname,
                 OpenRegularError(out.error()));
      break;
    case SafeFile::ReplaceFailed:
      reportFile(o, "Unable to replace TLE save file", fname, OpenRegularError(out.error()));
      return 3;
    default:
      reportFile(o, "Write error on TLE save file", fname, OpenRegularError(out.error()));
      return 3;
  }
  d->tsnew = 0;
  return 0;
}
