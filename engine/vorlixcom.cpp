#include "engine/vorlixcom.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

#include "astro/astrolib.h"
#include "astro/constants.h"

// ---------------------------------------------------------------------------
// Engine globals
// ---------------------------------------------------------------------------

namespace {
SatPosData satposRecord;  // static storage: zero-filled before main
}  // namespace

thread_local SatPosData* satpos = &satposRecord;
thread_local FILE* outptr = nullptr;
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
  std::memcpy(d->nameutf8[to], d->nameutf8[from], NAMEUTF8_SIZE);
  d->nameutf8[to][NAMEUTF8_SIZE - 1] = '\0';
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

bool RelativeMode(const WinpData* d) {
  return d->rlm != 0 && d->satnr >= 2 && d->occflg == 0 && d->flarflg == 0;
}

bool HasPrimeSlot(const WinpData* d) { return d->prs >= 0 && d->prs < MAXSEL; }

int PrimeSlot(const WinpData* d) { return HasPrimeSlot(d) ? d->prs : 0; }

void EndRelativeOnSkyMap(WinpData* d) {
  if (d->rlm && d->skymap) d->rlm = 0;
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
  std::memset(line + n, 0, WOUT_LINELEN + 1 - n);
  decdot(line);  // the page's copy, never the caller's text
  line[WOUT_MARK] = mark;
  o->namefrom[o->nlines] = 0;
  o->namelen[o->nlines] = 0;
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

void PutNxtLnName(WoutData* o, const char* head, const char* name, const char* tail) {
  if (!o || o->nlines < 0 || o->nlines >= WOUT_NLINES) return;
  const std::string h = head ? head : "";
  const std::string n = name ? name : "";
  const std::string text = h + n + (tail ? tail : "");
  const int k = o->nlines;
  putLine(o, text.c_str(), '\0');
  // The name as it is, within the line's 76 characters (text ends at a NUL).
  const size_t len = strnlen(o->lines[k], WOUT_LINELEN);
  const size_t from = std::min(h.size(), len);
  const size_t nlen = std::min(n.size(), len - from);
  if (nlen == 0) return;
  std::memcpy(o->lines[k] + from, n.data(), nlen);
  o->namefrom[k] = static_cast<unsigned char>(from);
  o->namelen[k] = static_cast<unsigned char>(nlen);
}

void PutNxtLnsName(WoutData* o, const char* head, const char* name) {
  std::string h = head ? head : "";
  const std::string n = name ? name : "";
  if (h.size() + n.size() <= static_cast<size_t>(WOUT_LINELEN)) {
    PutNxtLnName(o, h.c_str(), n.c_str());
    return;
  }
  while (!h.empty() && h.back() == ' ') h.pop_back();
  PutNxtLn(o, h.c_str());
  const size_t room = WOUT_LINELEN - 1;  // after the leading blank
  for (size_t at = 0; at < n.size();) {
    size_t len = std::min(room, n.size() - at);
    if (at + len < n.size()) {
      const size_t slash = n.rfind('/', at + len - 1);
      if (slash != std::string::npos && slash >= at && slash + 1 - at >= room / 2) {
        len = slash + 1 - at;
      } else {
        size_t cut = len;
        while (cut > 0 && (static_cast<unsigned char>(n[at + cut]) & 0xC0) == 0x80) --cut;
        if (cut > 0) len = cut;  // (no UTF-8 at all: any byte will do)
      }
    }
    PutNxtLnName(o, " ", n.substr(at, len).c_str());
    at += len;
  }
}

bool WoutLineName(const WoutData* o, int k, int* from, int* len) {
  const bool any = validLine(o, k) && o->namelen[k] != 0;
  if (from) *from = any ? o->namefrom[k] : 0;
  if (len) *len = any ? o->namelen[k] : 0;
  return any;
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

std::string WoutLineUtf8(const WoutData* o, int k) {
  if (!validLine(o, k)) return std::string();
  const char* line = o->lines[k];
  const size_t len = strnlen(line, WOUT_LINELEN);
  int from = 0, nlen = 0;
  WoutLineName(o, k, &from, &nlen);
  const size_t a = std::min(static_cast<size_t>(from), len);
  const size_t b = std::min(a + static_cast<size_t>(nlen), len);
  return Latin1ToUtf8(line, a) + std::string(line + a, b - a) + Latin1ToUtf8(line + b, len - b);
}

std::string Latin1ToUtf8(const char* s, size_t n) {
  std::string out;
  if (!s) return out;
  n = strnlen(s, n);
  out.reserve(2 * n);
  for (size_t k = 0; k < n; ++k) {
    const unsigned char c = static_cast<unsigned char>(s[k]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

namespace {

// The character of the UTF-8 sequence at s (n > 0 bytes left) into *cp;
// returns its length, or 0 when s holds no complete, valid sequence there.
size_t utf8Char(const char* s, size_t n, unsigned long* cp) {
  const unsigned char c = static_cast<unsigned char>(s[0]);
  if (c < 0x80) {
    *cp = c;
    return 1;
  }
  // A continuation byte, or F8..FF, which no character begins with.
  if (c < 0xC0 || c >= 0xF8) return 0;
  const size_t len = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  if (len > n) return 0;  // cut short
  unsigned long v = c & (0x7Fu >> len);
  for (size_t j = 1; j < len; ++j) {
    const unsigned char t = static_cast<unsigned char>(s[j]);
    if ((t & 0xC0) != 0x80) return 0;
    v = (v << 6) | (t & 0x3F);
  }
  // The shortest form only; no surrogate, nothing beyond U+10FFFF.
  static const unsigned long kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < kLeast[len]) return 0;
  if (v > 0x10FFFF) return 0;
  if (v >= 0xD800 && v <= 0xDFFF) return 0;
  *cp = v;
  return len;
}

bool isUtf8(const char* s, size_t n) {
  unsigned long cp;
  for (size_t k = 0, used; k < n; k += used)
    if ((used = utf8Char(s + k, n - k, &cp)) == 0) return false;
  return true;
}

// The one rule by which the program reads a text: when the n bytes at s are
// all valid UTF-8, their characters; otherwise every byte is a Latin-1
// character. put(cp) gets each character in turn and returns false to stop.
template <typename Put>
void decodeText(const char* s, size_t n, Put put) {
  const bool utf8 = isUtf8(s, n);
  unsigned long cp = 0;
  for (size_t k = 0, used = 1; k < n; k += used) {
    if (utf8)
      used = utf8Char(s + k, n - k, &cp);
    else
      cp = static_cast<unsigned char>(s[k]);
    if (!put(cp)) return;
  }
}

char latin1Of(unsigned long cp) { return cp <= 0xFF ? static_cast<char>(cp) : '?'; }

void putUtf8(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
    return;
  }
  static const unsigned long kLead[4] = {0, 0xC0, 0xE0, 0xF0};
  const int more = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
  out.push_back(static_cast<char>(kLead[more] | (cp >> (6 * more))));
  for (int j = more - 1; j >= 0; --j)
    out.push_back(static_cast<char>(0x80 | ((cp >> (6 * j)) & 0x3F)));
}

// The bytes of a text file's line: up to n, its first line end or NUL.
size_t lineBytes(const char* s, size_t n) {
  size_t len = 0;
  if (s)
    while (len < n && s[len] != '\0' && s[len] != '\r' && s[len] != '\n') ++len;
  return len;
}

}  // namespace

std::string Utf8ToLatin1(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  decodeText(s.data(), s.size(), [&](unsigned long cp) {
    out.push_back(latin1Of(cp));
    return true;
  });
  return out;
}

int TextLineToLatin1(char* dst, int size, const char* s, size_t n, std::string* utf8) {
  if (utf8) utf8->clear();
  if (!dst || size < 1) return 0;
  int out = 0;
  decodeText(s, lineBytes(s, n), [&](unsigned long cp) {
    if (out >= size - 1) return false;
    dst[out++] = latin1Of(cp);
    if (utf8) putUtf8(*utf8, cp);
    return true;
  });
  dst[out] = '\0';
  return out;
}

void SetSlotName(WinpData* d, int i, const char* line, size_t n) {
  if (!d || !validSlot(i)) return;
  std::string utf8;
  TextLineToLatin1(d->satname[i], SATNAME_SIZE, line, n, &utf8);
  std::snprintf(d->nameutf8[i], NAMEUTF8_SIZE, "%s", utf8.c_str());
}

std::string SlotNameUtf8(const WinpData* d, int i) {
  if (!d || !validSlot(i)) return std::string();
  const char* name = d->satname[i];
  const size_t len = strnlen(name, SATNAME_SIZE - 1);
  // The spelling belongs to the name it reads as: the slot may have been
  // renamed (or filled anew) since the name was read.
  char read[SATNAME_SIZE];
  std::string utf8;
  const int k = TextLineToLatin1(read, SATNAME_SIZE, d->nameutf8[i], NAMEUTF8_SIZE - 1, &utf8);
  if (static_cast<size_t>(k) == len && std::memcmp(read, name, len) == 0) return utf8;
  return Latin1ToUtf8(name, len);
}

// ---------------------------------------------------------------------------
// Number formatting without a signed zero
// ---------------------------------------------------------------------------

namespace {

// Appends the one conversion spec of value v.
template <typename T>
void putPiece(std::string& s, const std::string& spec, T v) {
  char small[128];
  const int n = std::snprintf(small, sizeof small, spec.c_str(), v);
  if (n <= 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    s.append(small, static_cast<size_t>(n));
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(&big[0], big.size(), spec.c_str(), v);
  s.append(big, 0, static_cast<size_t>(n));
}

// v, or +0 when v is negative and prints as zero under spec.
template <typename T>
T unsignedZero(const std::string& spec, T v) {
  if (!std::signbit(v)) return v;
  std::string a, b;
  putPiece(a, spec, -v);
  putPiece(b, spec, T(0));
  return a == b ? T(0) : v;
}

// The printf text of fmt into s, conversion by conversion. False for a
// conversion this does not know (the caller then formats plainly).
bool formatPieces(std::string& s, const char* fmt, va_list ap) {
  const char* q = fmt;
  while (*q) {
    if (*q != '%') {
      s += *q++;
      continue;
    }
    if (q[1] == '%') {
      s += '%';
      q += 2;
      continue;
    }
    std::string spec = "%";
    ++q;
    while (*q && std::strchr("-+ #0", *q)) spec += *q++;
    if (*q == '*') {
      spec += std::to_string(va_arg(ap, int));
      ++q;
    } else {
      while (std::isdigit(static_cast<unsigned char>(*q))) spec += *q++;
    }
    if (*q == '.') {
      ++q;
      if (*q == '*') {
        const int prec = va_arg(ap, int);
        if (prec >= 0) spec += "." + std::to_string(prec);  // negative: as if none
        ++q;
      } else {
        spec += '.';
        while (std::isdigit(static_cast<unsigned char>(*q))) spec += *q++;
      }
    }
    std::string len;
    while (*q && std::strchr("hlL", *q)) len += *q++;
    const char c = *q;
    if (!c) return false;
    ++q;
    spec += len;
    spec += c;
    const bool plain = len.empty() || len == "h" || len == "hh";
    switch (c) {
      case 'd': case 'i':
        if (plain) putPiece(s, spec, va_arg(ap, int));
        else if (len == "l") putPiece(s, spec, va_arg(ap, long));
        else if (len == "ll") putPiece(s, spec, va_arg(ap, long long));
        else return false;
        break;
      case 'u': case 'o': case 'x': case 'X':
        if (plain) putPiece(s, spec, va_arg(ap, unsigned));
        else if (len == "l") putPiece(s, spec, va_arg(ap, unsigned long));
        else if (len == "ll") putPiece(s, spec, va_arg(ap, unsigned long long));
        else return false;
        break;
      case 'c':
        if (!len.empty()) return false;
        putPiece(s, spec, va_arg(ap, int));
        break;
      case 's':
        if (!len.empty()) return false;
        putPiece(s, spec, va_arg(ap, const char*));
        break;
      case 'p':
        putPiece(s, spec, va_arg(ap, void*));
        break;
      case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
        if (len.empty() || len == "l") {
          putPiece(s, spec, unsignedZero(spec, va_arg(ap, double)));
        } else if (len == "L") {
          putPiece(s, spec, unsignedZero(spec, va_arg(ap, long double)));
        } else {
          return false;
        }
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

int VFmtNum(char* out, size_t size, const char* fmt, va_list ap) {
  if (!fmt) {
    if (out && size > 0) out[0] = '\0';
    return 0;
  }
  std::string s;
  va_list aq;
  va_copy(aq, ap);
  const bool ok = formatPieces(s, fmt, aq);
  va_end(aq);
  if (!ok) return std::vsnprintf(out, size, fmt, ap);
  if (out && size > 0) {
    const size_t n = std::min(s.size(), size - 1);
    std::memcpy(out, s.data(), n);
    out[n] = '\0';
  }
  return static_cast<int>(s.size());
}

int FmtNum(char* out, size_t size, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  const int n = VFmtNum(out, size, fmt, ap);
  va_end(ap);
  return n;
}

namespace {

// Longer than any page line: the page cuts the text at 76 characters.
constexpr size_t kPageLineFmt = 256;

void putLineV(WoutData* o, char mark, const char* fmt, va_list ap) {
  char line[kPageLineFmt];
  VFmtNum(line, sizeof line, fmt, ap);
  putLine(o, line, mark);
}

}  // namespace

void PutNxtLnF(WoutData* o, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  putLineV(o, '\0', fmt, ap);
  va_end(ap);
}

void PutNxtLnTF(WoutData* o, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  putLineV(o, WOUT_PASSMARK, fmt, ap);
  va_end(ap);
}

// ---------------------------------------------------------------------------
// Bounded text builder
// ---------------------------------------------------------------------------

TextBuf::TextBuf(char* buf, size_t size) : buf_(buf), size_(buf ? size : 0) {
  if (size_ > 0) buf_[0] = '\0';
}

void TextBuf::vadd(bool points, const char* fmt, va_list ap) {
  if (len_ + 1 >= size_) {
    if (size_ > 0) cut_ = true;
    return;
  }
  const int n = VFmtNum(buf_ + len_, size_ - len_, fmt, ap);
  if (n < 0) {
    buf_[len_] = '\0';
    return;
  }
  const size_t start = len_;
  if (len_ + static_cast<size_t>(n) > size_ - 1) cut_ = true;
  len_ = std::min(len_ + static_cast<size_t>(n), size_ - 1);
  if (points) decdot0(buf_ + start);
}

TextBuf& TextBuf::Add(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vadd(true, fmt, ap);
  va_end(ap);
  return *this;
}

TextBuf& TextBuf::Fmt(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vadd(false, fmt, ap);
  va_end(ap);
  return *this;
}

TextBuf& TextBuf::PutN(const char* s, size_t n) {
  if (!s || size_ == 0) return *this;
  for (size_t k = 0; k < n && s[k]; ++k) {
    if (len_ + 1 >= size_) {
      cut_ = true;
      break;
    }
    buf_[len_++] = s[k];
  }
  buf_[len_] = '\0';
  return *this;
}

TextBuf& TextBuf::Put(const char* s) { return PutN(s, static_cast<size_t>(-1)); }

TextBuf& TextBuf::Repeat(char c, int n) {
  if (size_ == 0) return *this;
  for (int k = 0; k < n; ++k) {
    if (len_ + 1 >= size_) {
      cut_ = true;
      break;
    }
    buf_[len_++] = c;
  }
  buf_[len_] = '\0';
  return *this;
}

void TextBuf::Cut(size_t n) {
  if (n < len_) {
    len_ = n;
    buf_[len_] = '\0';
  }
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

// ---------------------------------------------------------------------------
// Time and angle texts
// ---------------------------------------------------------------------------

namespace {

// Angles this large are no angles; the packing code would overflow an int.
constexpr double ANGLE_MAX = 1e9;

}  // namespace

namespace {

// printf's "%3.0f" of x for |x| < 999.5: x rounded half to even (the
// default rounding mode, as printf rounds), a minus sign also for a value
// that rounds to zero from below; right-aligned in 3 characters.
char* putRounded3(char* p, double x) {
  const double r = std::nearbyint(x);
  const bool neg = std::signbit(r);
  int v = static_cast<int>(std::fabs(r));
  char digits[4];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0);
  for (int pad = 3 - n - (neg ? 1 : 0); pad > 0; --pad) *p++ = ' ';
  if (neg) *p++ = '-';
  while (n > 0) *p++ = digits[--n];
  return p;
}

// "%2i" (pad ' ') or "%02i" (pad '0') of 0 <= v < 100.
char* putTwo(char* p, int v, char pad) {
  *p++ = v >= 10 ? static_cast<char>('0' + v / 10) : pad;
  *p++ = static_cast<char>('0' + v % 10);
  return p;
}

}  // namespace

void aosstr(double t, double az, double el, char* out, int timeonly) {
  if (!out) return;
  int dy, mo, yr, h, m;
  double hr, s;
  caldat(t, dy, mo, yr, hr);
  dms(hr, h, m, s);
  int sec = static_cast<int>(s + 0.4999);
  // Seconds that round to 60 carry into the minute, on into the hour, and
  // past midnight into the next day (of the month and year).
  if (sec == 60) {
    sec = 0;
    if (++m == 60) {
      m = 0;
      ++h;
    }
  }
  if (h >= 24) {
    h -= 24;
    caldat(std::floor(t) + 1.0, dy, mo, yr, hr);
  }
  char head[16];
  if (timeonly) {
    TextBuf(head, sizeof head).Fmt(" ");
  } else {
    char mw[MONTH_SIZE];
    GetMonth(mo, mw);
    TextBuf(head, sizeof head).Fmt("%s %2i ", mw, dy);
  }
  // The list lines print this for every pass: written directly when every
  // number fits its field, as the format below would write it.
  const auto two = [](int v) { return v >= 0 && v < 100; };
  const size_t headlen = std::strlen(head);
  if (headlen <= 8 && two(h) && two(m) && two(sec) && std::fabs(az) < 999.5 &&
      std::fabs(el) < 999.5) {
    std::memcpy(out, head, headlen);
    char* p = out + headlen;
    *p++ = ' ';
    p = putTwo(p, h, ' ');
    *p++ = ':';
    p = putTwo(p, m, '0');
    *p++ = ':';
    p = putTwo(p, sec, '0');
    *p++ = ' ';
    *p++ = '(';
    p = putRounded3(p, az);
    *p++ = ',';
    p = putRounded3(p, el);
    *p++ = ')';
    *p = '\0';
    return;
  }
  TextBuf(out, AOSSTR_SIZE).Fmt("%s %2i:%02i:%02i (%3.0lf,%3.0lf)", head, h, m, sec, az, el);
}

void dtmstr(double t, char* out) {
  if (!out) return;
  int dy, mo, yr, h, m;
  double hr, s;
  caldat(t, dy, mo, yr, hr);
  dms(hr, h, m, s);
  if (s > 30.0) ++m;
  if (m == 60) {
    ++h;
    m = 0;
  }
  char mw[MONTH_SIZE];
  GetMonth(mo, mw);
  TextBuf(out, DTMSTR_SIZE).Fmt("%s %2i %2i:%02i", mw, dy, h, m);
}

void prpang(char* out, int wide, int mode, double x) {
  if (!out) return;
  if (mode == 0) {
    TextBuf(out, PRPANG_SIZE).Fmt(wide ? "%9.3lf" : "%7.2lf", x);
  } else {
    if (mode > 0) x = DegFDms(x);
    if (!wide) x += x < 0.0 ? -0.002 : 0.002;
    x = mode < -1 ? CarryRa(x, wide ? 4 : 2) : CarryPacked(x, wide ? 4 : 2);
    TextBuf(out, PRPANG_SIZE).Fmt(wide ? "%9.4lf" : "%7.2lf", x);
    // The C library writes the locale's separator: accept either.
    for (int k = 0; k < 7 && out[k]; ++k) {
      if (out[k] == '.' || out[k] == ',') {
        out[k] = mode < -1 ? 'h' : static_cast<char>(176);
        break;
      }
    }
  }
  decdot(out);
}

double DegFDms(double x) {
  double ax = std::fabs(x);
  if (!(ax < ANGLE_MAX)) return x;
  int d, m;
  double s;
  dms(ax, d, m, s);
  double spart = s / 10000.0;
  if (s >= 59.5) {
    ++m;
    spart = 0.0;
  }
  double mpart = m / 100.0;
  if (m > 59) {
    ++d;
    mpart = 0.0;
  }
  double r = d + mpart + spart;
  return x < 0.0 ? -r : r;
}

double CarryPacked(double x, int decimals) {
  if (!(std::fabs(x) < ANGLE_MAX) || (decimals != 2 && decimals != 4)) return x;
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", decimals, std::fabs(x));
  // The whole part, then the separator (the locale's, whichever it is).
  const char* f = b;
  long long whole = 0;
  while (*f >= '0' && *f <= '9') whole = 10 * whole + (*f++ - '0');
  if (!*f) return x;
  ++f;
  const int mm = 10 * (f[0] - '0') + (f[1] - '0');
  const int ss = decimals == 4 ? 10 * (f[2] - '0') + (f[3] - '0') : 0;
  if (mm < 60 && ss < 60) return x;
  int m = mm, s = ss;
  if (s >= 60) {
    s -= 60;
    ++m;
  }
  if (m >= 60) {
    m -= 60;
    ++whole;
  }
  const double r = static_cast<double>(whole) + m / 100.0 + s / 10000.0;
  return x < 0.0 ? -r : r;
}

double CarryRa(double x, int decimals) {
  x = CarryPacked(x, decimals);
  if (!(x >= 23.5 && x < ANGLE_MAX) || (decimals != 2 && decimals != 4)) return x;
  // The hours as printed (the carry above leaves 24 only as a whole number,
  // but a value such as 23.99996 still prints as 24).
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", decimals, x);
  long long whole = 0;
  for (const char* f = b; *f >= '0' && *f <= '9'; ++f) whole = 10 * whole + (*f - '0');
  if (whole < 24) return x;
  const double r = x - 24.0 * static_cast<double>(whole / 24);
  return r > 0.0 ? r : 0.0;
}

double DmsDegF(double x) {
  double ax = std::fabs(x);
  if (!(ax < ANGLE_MAX)) return x;
  double y = ax + 3.33e-16 * ax;
  int deg = static_cast<int>(y);
  int min = static_cast<int>(100.0 * frac(y) + 1e-13);
  double sec = 100.0 * frac(100.0 * y);
  double r = ddd(deg, min, sec);
  return x < 0.0 ? -r : r;
}

double hdfdms(double x) {
  double ax = std::fabs(x);
  if (!(ax < ANGLE_MAX)) return x;
  int d, m;
  double s;
  dms(ax, d, m, s);
  if (s > 30.0) ++m;
  if (m > 59) {
    ++d;
    m = 0;
  }
  double r = d + m / 100.0;
  return x < 0.0 ? -r : r;
}

// ---------------------------------------------------------------------------
// Time and element helpers
// ---------------------------------------------------------------------------

namespace {

constexpr double UNIX_EPOCH_MJD = 40587.0;
constexpr double kJ2TermKm2 = kJ2x15 * kReWgs84Km * kReWgs84Km;  // 1.5 J2 Re^2

double clockMjd(std::time_t s) { return static_cast<double>(s) / 86400.0 + UNIX_EPOCH_MJD; }

std::time_t systemClock() { return std::time(nullptr); }

}  // namespace

std::time_t (*sysclock)() = systemClock;

void DefTime(WinpData* d) {
  std::time_t s = sysclock();
  double t = clockMjd(s);
  double hr;
  caldat(t, d->day, d->month, d->year, hr);
  // The clock counts whole seconds: split the time of day exactly.
  long long sod = static_cast<long long>(s) % 86400;
  if (sod < 0) sod += 86400;
  d->hour = static_cast<int>(sod / 3600);
  d->minute = static_cast<int>(sod / 60 % 60);
  d->second = static_cast<int>(sod % 60);
  std::tm lt{};
  if (localtime_r(&s, &lt)) {
    double tl = mjd(lt.tm_mday, lt.tm_mon + 1, lt.tm_year + 1900,
                    lt.tm_hour + lt.tm_min / 60.0 + lt.tm_sec / 3600.0);
    // Both instants are whole seconds: drop the rounding noise of the MJDs.
    GBL_timezone = std::round((t - tl) * 86400.0);
  }
}

double SystemZone() { return -GBL_timezone / 3600.0 + 0.0; }

void DefDate(int& day, int& month, int& year) {
  double hr;
  caldat(clockMjd(sysclock()), day, month, year, hr);
}

void setNewMjd(WinpData* d) {
  if (d->tzauto) d->tzone = SystemZone();
  d->curmjd = mjd(d->day, d->month, d->year,
                  d->hour - d->tzone + d->minute / 60.0 + d->second / 3600.0);
  d->pasact = 0;
  if (d->dtflg) {
    d->dtflg = 0;
    d->rtflg = 0;
  }
  d->TtUt = SetTtUt(d, d->year);
}

double RT_MJD(WinpData* d) {
  // The clock's date and time pass through the record's fields.
  Keep<int> day(d->day), month(d->month), year(d->year);
  Keep<int> hour(d->hour), minute(d->minute), second(d->second);
  DefTime(d);
  return mjd(d->day, d->month, d->year,
             d->hour + d->minute / 60.0 + d->second / 3600.0 + d->rtoff);
}

double SetTtUt(const WinpData* d, int year) {
  if (d->IERSflg) return 32.184 - d->UtcTai;
  return DefTdUt(year);
}

void cnvepch(WinpData* d, int year, double doy, char* text) {
  // A day count that is no number (or beyond any calendar) gives no epoch,
  // rather than one converted through an undefined integer conversion.
  if (!(std::fabs(doy) < 1e7)) {
    d->epoch[WORKSLOT] = std::nan("");
    if (text) TextBuf(text, EPOCHTEXT_SIZE).Put("***");
    return;
  }
  double whole = std::trunc(doy);
  double hours = 24.0 * (doy - whole);
  d->epoch[WORKSLOT] = mjd(static_cast<int>(whole), 1, year, hours);
  if (!text) return;
  int dy, mo, yr, h, m;
  double hr, s;
  caldat(d->epoch[WORKSLOT], dy, mo, yr, hr);
  dms(hours, h, m, s);
  char mw[MONTH_SIZE];
  GetMonth(mo, mw);
  // Seconds that round to 60 carry into the minute, on into the hour, and
  // past midnight into the next day (of the month and year).
  int sec = static_cast<int>(s + 0.5);
  if (sec >= 60) {
    sec = 0;
    if (++m >= 60) {
      m = 0;
      ++h;
    }
  }
  if (h >= 24) {
    h -= 24;
    caldat(mjd(static_cast<int>(whole), 1, year, 0.0) + 1.0, dy, mo, yr, hr);
    GetMonth(mo, mw);
  }
  TextBuf(text, EPOCHTEXT_SIZE).Fmt("%2i-%s-%4i   %2i:%2i:%2i", dy, mw, yr, h, m, sec);
}

double getsax(int mode, double n, double e, double i) {
  double u = std::max(n, 0.0001) * kTwoPi;
  double a1 = std::cbrt(kGmKm3Day2 / (u * u));
  double dd = 0.0;
  double p = 1.0 - e * e;
  // e >= 1 has no mean-motion relation with J2: keep the two-body value.
  if (p > 0.0) {
    double si = std::sin(i * kDeg);
    dd = -kJ2TermKm2 / (a1 * a1) * std::pow(p, -1.5) * (1.0 - 1.5 * si * si);
  }
  double a;
  if (mode == 0) {
    double u2 = u / (1.0 - dd);
    a = std::cbrt(kGmKm3Day2 / (u2 * u2));
  } else {
    a = a1 * (1.0 + dd * (1.0 - dd) / 3.0);
  }
  return std::max(a, 0.001);
}

double getn0(double a, double e, double i) {
  double a1 = a == 0.0 ? 1.0 : std::fabs(a);
  double w = std::sqrt(kGmKm3Day2 / (a1 * a1 * a1));
  double p = 1.0 - e * e;
  if (p > 0.0) {
    double si = std::sin(i * kDeg);
    double n = (kJ2TermKm2 / (a1 * a1) * std::pow(p, -1.5) * (1.0 - 1.5 * si * si) + 1.0) * w /
               kTwoPi;
    return std::min(n, 1000.0);
  }
  return 1.0 / kTwoPi;
}

double InvGetsax(int mode, double a, double e, double i) {
  constexpr double kSlowest = 0.0001;  // rev/day: getsax takes no slower motion
  constexpr double kFloor = 0.001;     // km: getsax gives no smaller axis
  if (!std::isfinite(a) || !std::isfinite(e) || !std::isfinite(i) || !(a > kFloor)) return 0.0;
  const auto g = [mode, e, i](double n) { return getsax(mode, n, e, i); };
  double lo = kSlowest;
  if (g(lo) < a) return 0.0;
  if (g(lo) == a) return lo;

  // In the two-body axis x = (GM/u^2)^(1/3), u = 2 pi n, getsax is
  // a = x (1 + c/x^2)^(2/3) (mode 0) or a = x - c/(3x) - c^2/(3x^3) (else),
  // with c = K (1 - e^2)^-1.5 (1 - 1.5 sin^2 i). The second rises with x for
  // every c. The first rises with x above sqrt(c/3) (c > 0: its smallest
  // axis), or above sqrt(-c) (c < 0: an axis of 0): the branch ends there.
  double xend = 0.0;
  const double p = 1.0 - e * e;
  if (mode == 0 && p > 0.0) {
    const double si = std::sin(i * kDeg);
    const double c = kJ2TermKm2 * std::pow(p, -1.5) * (1.0 - 1.5 * si * si);
    xend = std::sqrt(std::fabs(c > 0.0 ? c / 3.0 : c));
  }
  double hi = xend > 0.0 ? std::sqrt(kGmKm3Day2 / (xend * xend * xend)) / kTwoPi : HUGE_VAL;
  if (!std::isfinite(hi)) {
    hi = std::max(getn0(a, e, i), 2.0 * kSlowest);
    for (int k = 0; k < 200 && g(hi) > a; ++k) hi *= 2.0;
  }
  if (!(g(hi) <= a)) return 0.0;
  // getsax falls as n grows from lo to hi: halve down to adjacent doubles.
  for (int k = 0; k < 2200; ++k) {
    const double mid = lo + (hi - lo) / 2.0;
    if (!(mid > lo && mid < hi)) break;
    if (g(mid) > a)
      lo = mid;
    else
      hi = mid;
  }
  // Rounding makes getsax ragged over a few adjacent doubles: of the
  // neighbours, the one whose axis comes nearest a.
  const double found = std::fabs(g(lo) - a) <= std::fabs(g(hi) - a) ? lo : hi;
  double best = found, err = std::fabs(g(found) - a);
  for (double dir : {-1.0, 1.0}) {
    double n = found;
    for (int k = 0; k < 16 && err > 0.0; ++k) {
      n = std::nextafter(n, dir * HUGE_VAL);
      const double en = std::fabs(g(n) - a);
      if (en < err) {
        best = n;
        err = en;
      }
    }
  }
  return best;
}

namespace {

// Character k of a fixed-width field, read as a blank from the first terminator
// on (the field may hold a shorter text followed by old contents).
char fieldChar(const char* f, int k) {
  for (int j = 0; j <= k; ++j)
    if (f[j] == '\0') return ' ';
  return f[k];
}

}  // namespace

void convldsn(WinpData* d, bool tolong) {
  if (!tolong) {
    // YYYY-NNNPPP -> YYNNNPPP: characters 3-4 and 6-11 (1-based).
    char s[SDSN_SIZE];
    s[0] = fieldChar(d->ldsn, 2);
    s[1] = fieldChar(d->ldsn, 3);
    for (int k = 0; k < 6; ++k) s[2 + k] = fieldChar(d->ldsn, 5 + k);
    s[8] = '\0';
    std::memcpy(d->sdsn, s, SDSN_SIZE);
    return;
  }
  char y0 = fieldChar(d->sdsn, 0), y1 = fieldChar(d->sdsn, 1);
  if (y0 == ' ') {
    std::memset(d->ldsn, ' ', LDSN_SIZE - 1);
    d->ldsn[LDSN_SIZE - 1] = '\0';
    return;
  }
  int yy = 0;
  if (std::isdigit(static_cast<unsigned char>(y0))) yy = 10 * (y0 - '0');
  if (std::isdigit(static_cast<unsigned char>(y1))) yy += y1 - '0';
  char l[LDSN_SIZE];
  l[0] = yy < 57 ? '2' : '1';
  l[1] = yy < 57 ? '0' : '9';
  l[2] = y0;
  l[3] = y1;
  l[4] = '-';
  for (int k = 0; k < 6; ++k) l[5 + k] = fieldChar(d->sdsn, 2 + k);
  l[11] = '\0';
  std::memcpy(d->ldsn, l, LDSN_SIZE);
}

double ElvRefr(const WinpData* d, double h) {
  if (!d->refrc || d->rlm != 0 || !(h > -2.0 && h < 85.0)) return h;
  double r;
  if (h >= 10.0)
    r = 0.01521154622 / std::tan(h * kDeg);
  else if (h > -1.0)
    r = 3.5689 * (0.1594 + 0.0196 * h + 0.0002 * h * h) / (1.0 + 0.505 * h + 0.0845 * h * h);
  else
    r = 0.84446937 * (h + 2.0);
  return h + r;
}
