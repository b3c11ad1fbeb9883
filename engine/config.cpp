#include "engine/config.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/astrolib.h"
#include "engine/safefile.h"
#include "engine/savefile.h"
#include "engine/tle.h"
#include "orbit/vorlixnum.h"

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

// The file is UTF-8. The record's texts (place name, address, satellite
// names) are Latin-1, the engine's text; file names are bytes as the file
// system spells them (UTF-8 on a UTF-8 system) and are kept as they are.
// A text that is not UTF-8 is taken byte for byte, so a place name or an
// address written in Latin-1 reads as it stands.

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
  c->geoname = Utf8ToLatin1(c->geoname);
  c->updurl = Utf8ToLatin1(c->updurl);
  return r.ok();
}

// A hand-edited file may hold any number; each setting is kept within what
// its dialog lets the user enter, so what the program runs on could have
// been set in the program (a map font of 2147483647 pt draws nothing).
constexpr double MAXZONE = 14.0;          // hours from UT
constexpr double MINHEIGHT = -1000.0;     // m
constexpr double MAXHEIGHT = 100000.0;    // m
constexpr double MAXEPOCH = 2200.0;       // year of the R.A./Dec. epoch
constexpr int MAPFONT_NORMAL = 10;        // pt: the map font is normal or large
constexpr int MAPFONT_LARGE = 12;

// Opens the configuration for reading: *f is the stream when the result is
// CFG_READ. Non-blocking, so a FIFO or a device in its place cannot hold up
// the start; only a regular file is taken.
int openConfig(const char* path, FILE** f) {
  *f = OpenRegular(path);
  if (*f) return CFG_READ;
  return (errno == ENOENT || errno == ENOTDIR) ? CFG_NOFILE : CFG_UNREADABLE;
}

}  // namespace

int getcfg(WinpData* d, const char* path) {
  FILE* f = nullptr;
  const int opened = openConfig(path, &f);
  if (opened != CFG_READ) return opened;
  CfgItems c{};
  bool ok = readItems(f, &c);
  std::fclose(f);
  if (!ok) return CFG_MALFORMED;

  d->tzauto = c.zone == 16.0;
  // Beyond 15 h is no zone at all ("-0" reads as 0 too).
  d->tzone = (c.zone > 15.0 || c.zone < -15.0) ? 0.0 : std::clamp(c.zone, -MAXZONE, MAXZONE) + 0.0;
  d->lat = std::clamp(c.lat, -90.0, 90.0);
  d->lng = std::clamp(c.lng, -360.0, 360.0);
  d->height = std::clamp(c.height, MINHEIGHT, MAXHEIGHT);
  if (c.geoname[0] != '\0') copyField(d->geoname, GEONAME_SIZE, c.geoname);
  if (c.tlenm[0] != '\0') copyField(d->tlenm, FILENAME_SIZE, c.tlenm);
  if (strnlen(c.updurl.c_str(), FILENAME_SIZE - 1) > 5) copyField(d->updurl, FILENAME_SIZE, c.updurl);
  d->fsz = c.fsz == 8 ? 8 : 10;
  d->mgrid = (c.mgrid >= 3 || c.mgrid < 0) ? 1 : c.mgrid;
  d->mgrey = (c.mgrey >= 3 || c.mgrey < 0) ? 0 : c.mgrey;
  d->visflg = c.visflg != 0;
  d->sunel = std::clamp(c.sunel, -90.0, 90.0);
  d->satel = std::clamp(c.satel, -90.0, 90.0);
  d->yrepoch = std::clamp(c.yrepoch, 0.0, MAXEPOCH);
  d->mfsz = c.mfsz >= MAPFONT_LARGE ? MAPFONT_LARGE : MAPFONT_NORMAL;
  d->bf = c.bf != 0;
  d->lftbtn = c.lftbtn == 1;
  d->dur = std::clamp(c.space[0], 1.0, 14.0);
  // Space weather within its physical ranges: every satellite read later
  // gets these, and Kp 20 (for 2.0) would stop their numerical propagation.
  d->dF107 = F107InRange(c.space[1]);
  d->dFB107 = F107InRange(c.space[2]);
  d->dKp = KpInRange(c.space[3]);
  d->dCd = std::clamp(c.craft[0], 0.0, CD_MAX);
  d->dCr = std::clamp(c.craft[1], 0.0, CR_MAX);
  d->dAm = std::clamp(c.craft[2], 0.0, AM_MAX);
  d->satnr = static_cast<int>(c.names.size());
  // By the rule every name read from a text file follows (element files too).
  for (int i = 0; i < d->satnr; ++i)
    TextLineToLatin1(d->cfgname[i], SATNAME_SIZE, c.names[i].data(), c.names[i].size());
  return CFG_READ;
}

// ---------------------------------------------------------------------------
// Writing the configuration
// ---------------------------------------------------------------------------

namespace {

// Room for everything putcfg writes: about twenty numbers of at most 317
// characters each ("%lf" of the largest double) and the four texts.
constexpr size_t CFG_TEXT_MAX = 16384;

// Appends a field up to its terminator or first line break (a line break
// inside would shift every item after it): a file name as it is, a record
// text (Latin-1) in UTF-8.
void putText(TextBuf& out, const char* s, int size, bool fileName = false) {
  const size_t n = strnlen(s, static_cast<size_t>(size - 1));
  size_t k = 0;
  while (k < n && s[k] != '\r' && s[k] != '\n') ++k;
  if (fileName) {
    out.PutN(s, k);
  } else {
    const std::string t = Latin1ToUtf8(s, k);
    out.PutN(t.data(), t.size());
  }
}

// A value that getcfg can read back (it refuses nan and inf, which would
// cost every other setting at the next start).
double fin(double x) { return std::isfinite(x) ? x : 0.0; }

}  // namespace

int putcfg(const WinpData* d, const char* path, int* why) {
  int ignored = 0;
  int& err = why ? *why : ignored;
  err = 0;
  // The same file as the elements by any name (a link made by hand, or the
  // element file chosen under this name): the settings would take its place.
  if (IsElementFile(path, d->tlenm)) return CFG_TLEFILE;
  FILE* old = nullptr;
  if (openConfig(path, &old) == CFG_UNREADABLE) {
    err = errno;
    return CFG_KEPT;
  }
  if (old) std::fclose(old);

  std::vector<char> buf(CFG_TEXT_MAX);
  TextBuf out(buf.data(), buf.size());
  out.Add("%lf \n%lf \n%lf \n%lf \n", d->tzauto ? 16.0 : fin(d->tzone), fin(d->lat),
          fin(d->lng), fin(d->height));
  putText(out, d->geoname, GEONAME_SIZE);
  out.Add("\n%d \n%d \n%d \n", d->fsz, d->mgrid, d->mgrey);
  putText(out, d->tlenm, FILENAME_SIZE, true);
  out.Add("\n%d \n%lf \n%lf", d->visflg, fin(d->sunel), fin(d->satel));
  out.Add("\n%lf", fin(d->yrepoch));
  out.Add("\n%d", d->mfsz);
  out.Add("\n%d", d->bf ? 1 : 0);
  out.Add("\n%d \n", d->lftbtn ? 1 : 0);
  putText(out, d->updurl, FILENAME_SIZE);
  out.Add("\n%g %7.1lf %7.1lf %7.1lf", std::clamp(fin(d->dur), 1.0, 14.0), fin(d->dF107),
          fin(d->dFB107), fin(d->dKp));
  out.Add("\n%13.5le %13.5le %13.5le", fin(d->dCd), fin(d->dCr), fin(d->dAm));
  int n = std::clamp(d->satnr, 0, MAXSEL);
  out.Add("\n%d \n", n);
  for (int i = 0; i < n; ++i) {
    // As the element file spells it, so that the file keeps a letter the
    // record's Latin-1 lacks.
    const std::string name = SlotNameUtf8(d, i);
    out.PutN(name.data(), std::min(name.size(), name.find_first_of("\r\n")));
    out.Put("\n");
  }
  if (out.Truncated()) {
    err = EOVERFLOW;
    return 1;
  }

  SafeFile f(path);
  // (Written also when the folder sync failed: the file holds the settings.)
  if (f.open() && f.write(out.Str(), out.Len()) && SafeFile::saved(f.commit())) return 0;
  err = f.error() != 0 ? f.error() : EIO;
  return 1;
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

// Where the online update fetches the element file from by default.
constexpr const char* DEFAULT_UPDURL = "celestrak.org/NORAD/elements/visual.txt";

void setText(char* field, int size, const char* s) { std::snprintf(field, size, "%s", s); }

void setBlanks(char* field, int n) {
  std::memset(field, ' ', n);
  field[n] = '\0';
}

// Every start value of the record (fields without one keep what they hold).
void setStartValues(WinpData* d) {
  d->TtUt = DefTdUt(d->year);
  d->bkgmjd = 0;
  d->dur = 3.1;
  d->rtoff = 0;
  d->stepsec = 15;
  d->stepmin = 0;
  d->tstep = d->stepmin / 1440.0 + d->stepsec / 86400.0;

  d->fsz = 10;
  d->mfsz = 10;
  d->bf = true;
  d->lftbtn = false;
  d->svnew = 1;
  d->tsnew = 1;
  d->dspst = 0;
  d->smchrt = 0;
  d->mpnight = 0;
  d->skymap = 0;
  d->skyprj = 0;
  d->mapprj = 3;
  d->phwm = false;
  d->satsky = false;
  d->skaz = 0;
  d->centmer = 0;

  d->lat = 0;
  d->lng = 0;
  d->height = 0;

  d->lslat = 0;
  d->lslng = 0;
  d->tmeco = 8.8;
  d->rndtm = 1.3;
  d->lcflg = 0;
  d->lsouth = 0;
  d->lsx = 0;
  d->rndflg = -1;
  d->rndsat = 0;

  d->occflg = 0;
  d->cylflg = false;
  d->yrepoch = 2000;
  d->occra = d->occdec = 0;
  d->cylra = d->cyldec = 0;

  d->az1 = d->el1 = d->az2 = d->el2 = 0;
  d->deltm = 0;
  d->az1flg = d->az2flg = 0;
  d->odm = false;
  d->mtaz = d->mtel = 0;
  d->mxa = 2.0;
  d->dra = 0;
  d->tm = 1.0;
  d->rdf = 1;
  d->drf = 0;
  d->mtmaj = false;
  d->picmd = false;
  d->npicpt = 0;
  d->picscl = 0;

  setBlanks(d->sdsn, 6);
  setBlanks(d->ldsn, 6);
  setText(d->geoname, GEONAME_SIZE, "Default");
  setText(d->savnm, FILENAME_SIZE, "*satsave.txt");
  setText(d->tlenm, FILENAME_SIZE, "./visual.txt");
  setText(d->tlsnm, FILENAME_SIZE, "*vorlix.tle");
  setText(d->updurl, FILENAME_SIZE, DEFAULT_UPDURL);

  d->ddmm = 0;
  d->filsav = 0;
  d->rtflg = 0;
  d->dtflg = 0;
  d->rlm = 0;
  d->prs = 0;
  d->satnr = 0;
  d->sgpsat = SGPSAT_NONE;
  d->visflg = 1;
  d->shwnm = 0;
  d->moonflg = 0;
  d->flarflg = 0;
  d->flarmod = 1;
  d->flaryst = 0;
  d->sunmplt = 0;
  d->ra4d = 0;
  d->satel = 10;
  d->sunel = -6;
  d->chlen = 0;
  d->frequ = 0;

  d->irmag = 1.0;
  d->mxdist = 50;
  d->flrang = 0;
  d->flrmgx = -7.5;
  d->flrmgf = false;
  d->iridflg = 0;
  d->ops = 1;
  d->irsol = false;
  d->irsolw = false;
  d->irrun = false;

  d->wgs = 0;
  d->sdp4 = true;
  d->adjflg = false;
  d->adjtim = d->adjn0 = d->adjra = 0;
  d->solflar = false;
  d->eclflg = false;
  d->ecltyp = 0;
  d->smang = d->eclmag = d->eclpow = 0;
  d->npass = 0;
  d->pasact = 0;

  d->mxit = 20;
  d->RKFtol = 1e-8;
  d->dF107 = 160;
  d->dFB107 = 155;
  d->dKp = 4;
  d->dCd = 2.3;
  d->dCr = 1.3;
  d->dAm = 0.01;
  d->IERSxp = d->IERSyp = 0;
  d->Ut1Utc = 0;
  d->UtcTai = -static_cast<int>(d->TtUt - 32.184 + 0.0001);
  d->IERSflg = false;
  d->stfrm = 1;
  d->moonf = d->sunf = true;
  d->refrc = true;
  d->atmx = true;
  d->mdist = 0;
  d->lift = 0.15;
  d->mgrid = 0;
  d->mgrey = 2;

  for (int i = 0; i < NSLOTS; ++i) {
    d->norad[i] = 0;
    d->sgpflg[i] = 1;
    setBlanks(d->satname[i], SATNAME_SIZE - 1);
    setBlanks(d->cfgname[i], SATNAME_SIZE - 1);
    setBlanks(d->dsn[i], DSN_SIZE - 1);
  }
  d->lowflg = 0;
  d->recflg = 0;
  d->srchmd = 0;
  d->paflg = 0;

  d->f107[0] = d->dF107;
  d->fb107[0] = d->dFB107;
  d->kp[0] = d->dKp;
  d->cd[0] = d->dCd;
  d->cr[0] = d->dCr;
  d->am[0] = d->dAm;
  d->deltv[0] = d->yaw[0] = d->pitch[0] = 0;
  d->ionf[0] = false;
  d->suns[0] = true;
  d->epu[0] = false;
}

// The entered date and time := the local time in the zone tzone of the
// instant curmjd, in whole seconds (split as integers: a time of day from
// hour fractions can come out a second short).
void setLocalNow(WinpData* d) {
  long long s = std::llround(d->curmjd * 86400.0 + d->tzone * 3600.0);
  long long day = s / 86400, sod = s % 86400;
  if (sod < 0) {
    sod += 86400;
    --day;
  }
  double hr;
  caldat(static_cast<double>(day), d->day, d->month, d->year, hr);
  d->hour = static_cast<int>(sod / 3600);
  d->minute = static_cast<int>(sod / 60 % 60);
  d->second = static_cast<int>(sod % 60);
}

// A record text (place, file or satellite name) on the page as it is: the
// page's decimal-point rule must not turn its commas into points.
void putRecordText(WoutData* o, const char* s) {
  int k = o->nlines;
  PutNxtLn(o, s);
  if (o->nlines == k + 1 && k >= 0 && k < WOUT_NLINES)
    std::memcpy(o->lines[k], s, strnlen(s, WOUT_LINELEN));
}

// The line for a configuration that is there but cannot be read; a name too
// long for the line keeps its end, where the file's own name is.
void putUnreadable(WoutData* o, const char* path) {
  static const char kHead[] = "Cannot read Configuration File ";
  static const char kTail[] = ". Using defaults instead.";
  constexpr size_t room = WOUT_LINELEN - (sizeof kHead - 1) - (sizeof kTail - 1);
  std::string name = path ? path : "";
  if (name.size() > room) {
    size_t cut = name.size() - (room - 3);
    // Never into the middle of a UTF-8 character.
    while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
    name = "..." + name.substr(cut);
  }
  PutNxtLnName(o, kHead, name.c_str(), kTail);
}

// Loads the configured satellites found in the TLE file into slots 0..; the
// work slot's name is marked '#' after each one taken.
void loadConfigured(WinpData* d) {
  int n = std::clamp(d->satnr, 0, MAXSEL);
  if (n == 0) return;
  d->satnr = 0;
  FILE* f = OpenRegular(d->tlenm);
  if (!f) return;
  std::vector<char> msg(TLEMSG_SIZE);
  for (int i = 0; i < n; ++i) {
    std::rewind(f);
    std::memcpy(d->cfgname[WORKSLOT], d->cfgname[i], SATNAME_SIZE);
    d->cfgname[WORKSLOT][SATNAME_SIZE - 1] = '\0';
    if (tleread(d, f, msg.data(), 0) == 0) continue;
    d->satnr = std::min(d->satnr, MAXSEL - 1);
    ShiftElm(d, d->satnr, WORKSLOT);
    d->satname[WORKSLOT][0] = '#';
    d->satnr = std::min(d->satnr + 1, MAXSEL);
  }
  std::fclose(f);
}

}  // namespace

void swelcm(WinpData* d, WoutData* o, const char* cfgpath) {
  d->tzone = 0;
  d->tzauto = 1;
  d->plyear = 0;
  DefTime(d);
  d->curmjd = mjd(d->day, d->month, d->year, d->hour + d->minute / 60.0 + d->second / 3600.0);
  setStartValues(d);

  PutNxtLn(o, WELCOME_LINE);
  PutSpace(o, 1);
  const int cfg = getcfg(d, cfgpath);
  if (cfg == CFG_MALFORMED) {
    PutNxtLn(o, "Problems reading Configuration File. Using defaults instead.");
    PutSpace(o, 1);
  } else if (cfg == CFG_UNREADABLE) {
    putUnreadable(o, cfgpath);
    PutSpace(o, 1);
  }
  const double systemZone = SystemZone();
  if (d->tzauto) d->tzone = systemZone;
  setLocalNow(d);

  PutNxtLn(o, "The startup input values are:");
  PutSpace(o, 1);
  PutNxtLnF(o, "Timezone: %g%s", d->tzone,
          d->tzone != systemZone ? " *** Timezone different from set system time! ***" : "");
  PutNxtLn(o, "Geographic Location:");
  putRecordText(o, d->geoname);
  PutNxtLnF(o, "Lat.: %g  Long.: %g  Height: %g", d->lat, d->lng, d->height);
  PutSpace(o, 1);

  PutNxtLn(o, "Name of the Orbit Element File:");
  if (FILE* f = OpenRegular(d->tlenm)) {
    std::fclose(f);
    PutNxtLnName(o, "", d->tlenm);
  } else {
    PutNxtLn(o, "*** No valid TLE file selected ***");
    setText(d->tlenm, FILENAME_SIZE, "*");
  }
  PutSpace(o, 1);

  PutNxtLnF(o, "Maximum Sun Elev.: %g", d->sunel);
  PutNxtLnF(o, "Minimum Sat Elev.: %g", d->satel);
  PutNxtLn(o, d->visflg ? "Only visible passes" : "All passes");
  PutSpace(o, 1);

  static const char* const kBackground[3] = {"White", "Grey", "Black"};
  static const char* const kGrid[3] = {"   No coordinate grid", "   30 deg coordinate grid",
                                       "   10 deg coordinate grid"};
  PutNxtLnF(o, "Map background: %s%s", kBackground[std::clamp(d->mgrey, 0, 2)],
          kGrid[std::clamp(d->mgrid, 0, 2)]);
  PutSpace(o, 1);

  if (d->yrepoch < 1900) d->yrepoch = 0;
  PutNxtLnF(o, "Epoch for R.A./Dec.: %g", d->yrepoch);

  loadConfigured(d);
  if (d->satnr > 0) {
    PutSpace(o, 1);
    PutNxtLn(o, "Selected Satellites:");
    PutSpace(o, 1);
    for (int i = 0; i < d->satnr; ++i) putRecordText(o, d->satname[i]);
  }
}
