#include "engine/config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Reading the configuration
// ---------------------------------------------------------------------------

namespace {

// Characters kept of a line; the rest of a longer line is skipped. Longer than
// any field, and than any number the writer produces (%lf of 1e308).
constexpr size_t CFG_LINE_KEEP = 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Text of a field: cut at the first terminator and to size - 1 characters.
void copyField(char* dst, int size, const std::string& s) {
  size_t n = std::min(strnlen(s.c_str(), s.size()), static_cast<size_t>(size - 1));
  std::memcpy(dst, s.data(), n);
  dst[n] = '\0';
}

// First blank-separated field of s from position *pos on; advances *pos.
std::string nextField(const std::string& s, size_t* pos) {
  size_t p = *pos;
  while (p < s.size() && isBlank(s[p])) ++p;
  size_t q = p;
  while (q < s.size() && !isBlank(s[q])) ++q;
  *pos = q;
  return s.substr(p, q - p);
}

// A field that is a finite decimal number as a whole (locale independent).
bool toDouble(const std::string& f, double* v) {
  const char* p = f.data();
  const char* end = p + f.size();
  if (p < end && *p == '+' && p + 1 < end && p[1] != '-' && p[1] != '+') ++p;
  if (p == end) return false;
  auto res = std::from_chars(p, end, *v, std::chars_format::general);
  return res.ec == std::errc() && res.ptr == end && std::isfinite(*v);
}

// A field that is a decimal integer in the int range as a whole.
bool toInt(const std::string& f, int* v) {
  const char* p = f.data();
  const char* end = p + f.size();
  if (p < end && *p == '+' && p + 1 < end && p[1] != '-' && p[1] != '+') ++p;
  if (p == end) return false;
  auto res = std::from_chars(p, end, *v);
  return res.ec == std::errc() && res.ptr == end;
}

// Reads the file line by line; every item call fails once one has failed.
class CfgReader {
 public:
  explicit CfgReader(FILE* f) : f_(f) {}

  bool ok() const { return ok_ && !std::ferror(f_); }

  // The next line without its line end (a carriage return before it is cut
  // too); false at the end of the file, which makes the read fail.
  bool line(std::string* s) {
    if (ok_ && !rawLine(s)) ok_ = false;
    return ok_;
  }

  // n numbers from the first n fields of the next line.
  bool numbers(int n, double* v) {
    std::string s;
    if (!line(&s)) return false;
    size_t pos = 0;
    for (int k = 0; k < n && ok_; ++k) ok_ = toDouble(nextField(s, &pos), &v[k]);
    return ok_;
  }

  bool number(double* v) { return numbers(1, v); }

  bool integer(int* v) {
    std::string s;
    if (!line(&s)) return false;
    size_t pos = 0;
    ok_ = toInt(nextField(s, &pos), v);
    return ok_;
  }

  // The next line as a text (may be empty).
  bool text(std::string* s) { return line(s); }

  // The next line that is not blank, its leading blanks dropped; false at
  // the end of the file (which does not make the read fail).
  bool name(std::string* s) {
    std::string l;
    while (ok_ && rawLine(&l)) {
      size_t p = 0;
      while (p < l.size() && isBlank(l[p])) ++p;
      if (p < l.size()) {
        *s = l.substr(p);
        return true;
      }
    }
    return false;
  }

 private:
  bool rawLine(std::string* s) {
    s->clear();
    int c;
    bool any = false;
    while ((c = std::getc(f_)) != EOF) {
      any = true;
      if (c == '\n') break;
      if (s->size() < CFG_LINE_KEEP) s->push_back(static_cast<char>(c));
    }
    if (!s->empty() && s->back() == '\r') s->pop_back();
    return any;
  }

  FILE* f_;
  bool ok_ = true;
};

// Everything the file holds, read before anything is committed.
struct CfgItems {
  double zone, lat, lng, height;
  std::string geoname;
  int fsz, mgrid, mgrey;
  std::string tlenm;
  int visflg;
  double sunel, satel, yrepoch;
  int mfsz, bf, lftbtn;
  std::string updurl;
  double space[4];  // dur, F10.7, F10.7 mean, Kp
  double craft[3];  // Cd, Cr, A/m
  int count;
  std::vector<std::string> names;
};

bool readItems(FILE* f, CfgItems* c) {
  CfgReader r(f);
  bool ok = r.number(&c->zone) && r.number(&c->lat) && r.number(&c->lng) &&
            r.number(&c->height) && r.text(&c->geoname) && r.integer(&c->fsz) &&
            r.integer(&c->mgrid) && r.integer(&c->mgrey) && r.text(&c->tlenm) &&
            r.integer(&c->visflg) && r.number(&c->sunel) && r.number(&c->satel) &&
            r.number(&c->yrepoch) && r.integer(&c->mfsz) && r.integer(&c->bf) &&
            r.integer(&c->lftbtn) && r.text(&c->updurl) && r.numbers(4, c->space) &&
            r.numbers(3, c->craft) && r.integer(&c->count);
  if (!ok) return false;
  // More than ten names cannot be selected; such a count (or a negative one)
  // reads none.
  if (c->count > MAXSEL || c->count < 0) c->count = 0;
  std::string s;
  while (static_cast<int>(c->names.size()) < c->count && r.name(&s)) c->names.push_back(s);
  return r.ok();
}

}  // namespace

int getcfg(WinpData* d, const char* path) {
  FILE* f = std::fopen(path, "r");
  if (!f) return CFG_NOFILE;
  CfgItems c{};
  bool ok = readItems(f, &c);
  std::fclose(f);
  if (!ok) return CFG_MALFORMED;

  d->tzauto = c.zone == 16.0;
  d->tzone = (c.zone > 15.0 || c.zone < -15.0) ? 0.0 : c.zone;
  d->lat = c.lat;
  d->lng = c.lng;
  d->height = c.height;
  if (c.geoname[0] != '\0') copyField(d->geoname, GEONAME_SIZE, c.geoname);
  if (c.tlenm[0] != '\0') copyField(d->tlenm, FILENAME_SIZE, c.tlenm);
  if (strnlen(c.updurl.c_str(), FILENAME_SIZE - 1) > 5) copyField(d->updurl, FILENAME_SIZE, c.updurl);
  d->fsz = c.fsz == 8 ? 8 : 10;
  d->mgrid = (c.mgrid >= 3 || c.mgrid < 0) ? 1 : c.mgrid;
  d->mgrey = (c.mgrey >= 3 || c.mgrey < 0) ? 0 : c.mgrey;
  d->visflg = c.visflg;
  d->sunel = c.sunel;
  d->satel = c.satel;
  d->yrepoch = c.yrepoch;
  d->mfsz = c.mfsz;
  d->bf = c.bf != 0;
  d->lftbtn = c.lftbtn == 1;
  d->dur = std::clamp(c.space[0], 1.0, 14.0);
  d->dF107 = c.space[1];
  d->dFB107 = c.space[2];
  d->dKp = c.space[3];
  d->dCd = c.craft[0];
  d->dCr = c.craft[1];
  d->dAm = c.craft[2];
  d->satnr = static_cast<int>(c.names.size());
  for (int i = 0; i < d->satnr; ++i) copyField(d->cfgname[i], SATNAME_SIZE, c.names[i]);
  return CFG_READ;
}

// ---------------------------------------------------------------------------
// Writing the configuration
// ---------------------------------------------------------------------------

namespace {

// Appends a printf text of numbers with '.' as the decimal separator.
__attribute__((format(printf, 2, 3))) void putNumbers(std::string* out, const char* fmt, ...) {
  va_list ap, ap2;
  va_start(ap, fmt);
  va_copy(ap2, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, ap2);
    decdot(buf.data());
    out->append(buf.data(), static_cast<size_t>(n));
  }
  va_end(ap2);
}

// Appends a record text up to its terminator or first line break (a line
// break inside would shift every item after it).
void putText(std::string* out, const char* s, int size) {
  size_t n = strnlen(s, static_cast<size_t>(size - 1));
  out->append(s, std::min(n, std::strcspn(s, "\r\n")));
}

// A value that getcfg can read back (it refuses nan and inf, which would
// cost every other setting at the next start).
double fin(double x) { return std::isfinite(x) ? x : 0.0; }

bool writeAll(const std::string& path, const std::string& data) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = std::fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace

int putcfg(const WinpData* d, const char* path) {
  std::string out;
  putNumbers(&out, "%lf \n%lf \n%lf \n%lf \n", d->tzauto ? 16.0 : fin(d->tzone), fin(d->lat),
             fin(d->lng), fin(d->height));
  putText(&out, d->geoname, GEONAME_SIZE);
  putNumbers(&out, "\n%d \n%d \n%d \n", d->fsz, d->mgrid, d->mgrey);
  putText(&out, d->tlenm, FILENAME_SIZE);
  putNumbers(&out, "\n%d \n%lf \n%lf", d->visflg, fin(d->sunel), fin(d->satel));
  putNumbers(&out, "\n%lf", fin(d->yrepoch));
  putNumbers(&out, "\n%d", d->mfsz);
  putNumbers(&out, "\n%d", d->bf ? 1 : 0);
  putNumbers(&out, "\n%d \n", d->lftbtn ? 1 : 0);
  putText(&out, d->updurl, FILENAME_SIZE);
  putNumbers(&out, "\n%g %7.1lf %7.1lf %7.1lf", std::clamp(fin(d->dur), 1.0, 14.0), fin(d->dF107),
             fin(d->dFB107), fin(d->dKp));
  putNumbers(&out, "\n%13.5le %13.5le %13.5le", fin(d->dCd), fin(d->dCr), fin(d->dAm));
  int n = std::clamp(d->satnr, 0, MAXSEL);
  putNumbers(&out, "\n%d \n", n);
  for (int i = 0; i < n; ++i) {
    putText(&out, d->satname[i], SATNAME_SIZE);
    out += '\n';
  }

  std::string tmp = std::string(path) + ".tmp";
  bool ok = writeAll(tmp, out);
  struct stat st;
  if (ok && stat(path, &st) == 0) chmod(tmp.c_str(), st.st_mode & 07777);
  if (!ok || std::rename(tmp.c_str(), path) != 0) {
    std::remove(tmp.c_str());
    return 1;
  }
  return 0;
}
