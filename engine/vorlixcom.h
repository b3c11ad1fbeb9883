// The engine's shared records (input and state record, text page, satellite
// positions), the satellite-slot copy, and the small text, time and element
// helpers every engine unit uses.
#ifndef VORLIX_ENGINE_VORLIXCOM_H
#define VORLIX_ENGINE_VORLIXCOM_H

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>

#include "astro/attlib.h"
#include "engine/numparse.h"

// ---------------------------------------------------------------------------
// Satellite slots
// ---------------------------------------------------------------------------

// Slots 0-9 hold the selected satellites, slot 10 is the work slot every TLE
// record is read into, slot 11 a spare used while slots are exchanged.
constexpr int NSLOTS = 12;
constexpr int MAXSEL = 10;   // selectable satellites (slots 0-9)
constexpr int WORKSLOT = 10;
constexpr int SPARESLOT = 11;
// sgpsat value meaning "the SGP4 record holds no slot".
constexpr int SGPSAT_NONE = 9999;
// Passes kept from the last pass list.
constexpr int MAXPASS = 120;

// Sizes of the text fields of WinpData, terminator included.
constexpr int SDSN_SIZE = 9;     // YYNNNPPP
constexpr int LDSN_SIZE = 12;    // YYYY-NNNPPP
constexpr int GEONAME_SIZE = 31;
constexpr int FILENAME_SIZE = 105;
constexpr int DSN_SIZE = 12;
constexpr int SATNAME_SIZE = 21;  // also cfgname
// A name's twenty characters in UTF-8 (at most four bytes each) and the
// terminator.
constexpr int NAMEUTF8_SIZE = 4 * (SATNAME_SIZE - 1) + 1;

// The engine's single input and state record. Plain data: created zero-filled,
// start values set by swelcm, persistent items by the configuration file.
// Dates and times entered here are local time in the zone tzone.
struct WinpData {
  // Date, time and step
  int day, month, year;          // entered local date
  int hour, minute, second;      // entered local time, whole seconds
  int plyear;                    // year of the plotted time
  int tzauto;                    // 1 = zone from the operating system
  double curmjd;                 // MJD (UT) of the current time
  double bkgmjd;                 // MJD of the last drawn background; 0 = redraw
  double tzone;                  // h, east positive
  double TtUt;                   // s, TT - UT for year
  double dur;                    // d, interval of pass lists / Delta Time run
  double rtoff;                  // h, added to the clock in real-time mode
  double tstep;                  // d, stepmin/1440 + stepsec/86400
  double stepsec;                // s, seconds part of the step
  int stepmin;                   // min, minutes part of the step

  // Display and map
  int fsz;                       // pt, text font size
  int mfsz;                      // pt, map font size
  bool bf;                       // map font bold
  bool lftbtn;                   // left mouse button enabled on the map
  int svnew;                     // next save-file write starts a new file
  int tsnew;                     // same for the TLE save file
  int dspst;                     // 0 text, 1 plot, -1 clickable pass list
  int smchrt;                    // Sun/Moon close-up is the background
  int mpnight;                   // day/night shading
  int skymap;                    // sky chart instead of world map
  int skyprj;                    // 0 zenith, 1-4 N/E/S/W, 5 custom azimuth
  int mapprj;                    // 0 simple, 1 north polar, 2 south polar, 3 image
  int pltw, plth;                // px, plot size
  bool phwm;                     // earth image loaded
  bool satsky;                   // sky chart seen from the prime satellite
  double skaz;                   // deg, sky chart centre azimuth
  double centmer;                // deg, central meridian of the map

  // Observer
  double lat;                    // deg, north positive
  double lng;                    // deg, east positive
  double height;                 // m above sea level

  // Launch and rendezvous
  double lslat, lslng;           // deg, launch site
  double tmeco;                  // min, ascent time
  double lazim;                  // deg, computed launch azimuth
  double rndtm;                  // d, time until the close approach
  int lcflg;                     // launch/delta-V/OD date being asked
  int lsouth;                    // southward launch
  int lsx;                       // launch site index (0 = user's)
  int rndflg;                    // rendezvous: >= 0 on, -1 off
  int rndsat;                    // rendezvous target slot

  // Transits, occultations and reflectors
  int occflg;                    // 0 none, 1 Sun, 2 Moon, 3 R.A./Dec. point
  bool cylflg;                   // cylindrical reflector
  double yrepoch;                // year of the R.A./Dec. epoch; 0 = of date
  double occra, occdec;          // HH.MMSS / DD.MMSS, or mirror yaw/pitch (deg)
  double cylra, cyldec;          // cylinder axis R.A./Dec.

  // Orbit determination, catalogue matching, picture astrometry
  double az1, el1, az2, el2;     // deg, two observed positions
  double deltm;                  // s, time between the observations
  int az1flg, az2flg;            // observation given as R.A./Dec.
  bool odm;                      // also search catalogue matches
  double mtaz, mtel;             // deg, match centre
  double mxa;                    // deg, maximum distance from the centre
  double dra;                    // deg, direction of motion
  double tm;                     // min, time window +-
  int rdf;                       // match centre given as R.A./Dec.
  int drf;                       // direction filter on
  int mtchdn;                    // match text ready
  bool mtmaj;                    // major objects only
  bool picmd;                    // picture mode
  int npicpt;                    // plate solution state / picked points
  int picscl;                    // picture scale code
  double picra[5], picdec[5];    // reference stars 0-2, picked points 3-4
  int refx[3], refy[3];          // px, reference star positions
  double pcx[3], pcy[3];         // plate constants

  // Designator work fields and file names
  char sdsn[SDSN_SIZE];          // work: YYNNNPPP
  char ldsn[LDSN_SIZE];          // work: YYYY-NNNPPP
  char geoname[GEONAME_SIZE];    // observer's place name
  char savnm[FILENAME_SIZE];     // save file ('*' = TLE file's directory)
  char tlenm[FILENAME_SIZE];     // TLE file in use
  char tlsnm[FILENAME_SIZE];     // TLE save file
  char updurl[FILENAME_SIZE];    // download address: host, then path

  // Run state, selection and event options
  int ddmm;                      // angles shown packed D.MMSS
  int filsav;                    // pass lists go to the save file
  int rtflg;                     // real-time run active
  int dtflg;                     // 2 while a Delta Time run is active
  int rlm;                       // relative mode
  int prs;                       // prime (current) slot
  int satnr;                     // slots in use, 0 to 10
  int sgpsat;                    // slot held by the SGP4 record; 9999 = none
  int visflg;                    // visible passes only
  int shwnm;                     // names beside the map markers
  int moonflg;                   // moonshine passes only
  int flarflg;                   // flare search
  int flarmod;                   // 1/2 known surface, -1/-2 unknown
  int flaryst;                   // yaw-steering local attitude
  int sunmplt;                   // Sun/Moon chart for transits
  int ra4d;                      // four-decimal angles
  double satel;                  // deg, minimum satellite elevation
  double sunel;                  // deg, maximum Sun elevation
  double chlen;                  // m, characteristic length (0 = none)
  double frequ;                  // Hz, radio frequency for Doppler

  // Pass list
  double pastm[MAXPASS];         // MJD, start times of the last pass list
  double tmxel;                  // MJD, maximum elevation of the detailed pass

  // Iridium, flares and eclipses
  double irmag;                  // mag, Iridium limiting magnitude
  double mxdist;                 // km, maximum event distance
  double flrang;                 // deg, result: flare or cylinder angle
  double flrmgx;                 // mag, flare magnitude limit
  bool flrmgf;                   // flare magnitude limit on
  int iridflg;                   // 0 passes, 1 transit, 2 flares, 3 Iridium
  int ops;                       // operational Iridium only
  bool irsol;                    // solar-panel flares too
  bool irsolw;                   // work: solar-panel tracker active
  bool irrun;                    // Iridium run from the Iridium action

  // Propagation options, element adjustment, eclipse results, pass state
  int wgs;                       // SGP4 constants: 0 WGS-72, else WGS-84
  bool sdp4;                     // deep-space terms allowed
  bool adjflg;                   // adjust elements while reading TLEs
  double adjtim;                 // s, epoch shift
  double adjn0;                  // rev/day, fixed mean motion (0 = keep)
  double adjra;                  // deg, node shift
  bool solflar;                  // solar-panel flare model
  bool eclflg;                   // eclipse display
  int ecltyp;                    // <= 0 none, 2 total, 3 annular, else partial
  double smang;                  // deg, Sun-Moon angle
  double eclmag;                 // eclipse magnitude
  double eclpow;                 // fraction, eclipse power
  int npass;                     // passes in the last pass list (<= 120)
  int ipass;                     // index of the chosen pass
  int pasact;                    // pass plot under way

  // Numerical propagation, force model and Earth orientation
  int mxit;                      // RKF45 maximum iterations
  double RKFtol;                 // RKF45 relative tolerance
  double dF107;                  // sfu, default daily F10.7
  double dFB107;                 // sfu, default mean F10.7
  double dKp;                    // default Kp
  double dCd;                    // default drag coefficient
  double dCr;                    // default radiation-pressure coefficient
  double dAm;                    // m^2/kg, default area to mass ratio
  double IERSxp, IERSyp;         // arcsec, pole coordinates
  double Ut1Utc;                 // s, UT1 - UTC
  int UtcTai;                    // s, UTC - TAI
  bool IERSflg;                  // Earth-orientation values given
  int stfrm;                     // state frame: 0 TOD, 1 MOD, 2 J2000, 3 ECEF
  bool moonf, sunf;              // Moon and Sun attraction on
  bool refrc;                    // refraction correction of elevations
  bool atmx;                     // atmospheric extinction in magnitudes
  double mdist;                  // distance to the Moon when nearer than Earth
  double lift;                   // lift to drag ratio below 90 km
  int mgrid;                     // map grid: 0 none, 1 30 deg, 2 10 deg
  int mgrey;                     // map background: 0 white, 1 grey, 2 black

  // Satellite slots: identity and search
  int norad[NSLOTS];             // catalogue number; [10] also a typed number
  char dsn[NSLOTS][DSN_SIZE];    // designator YYYY-NNNPPP
  char cfgname[NSLOTS][SATNAME_SIZE];  // configured names; [10] search string
  char satname[NSLOTS][SATNAME_SIZE];  // satellite names
  // The name as the element file spells it, in UTF-8 (see SlotNameUtf8).
  char nameutf8[NSLOTS][NAMEUTF8_SIZE];
  int sgpflg[NSLOTS];            // 1 SGP4/SDP4 mean elements, 0 Kepler model
  int nmflg[NSLOTS];             // 1 numerical propagation
  int lowflg;                    // search filter: low, recent element sets
  int recflg;                    // search filter: recent launches
  int srchmd;                    // search by 0 name, 1 number, 2 designator
  int paflg;                     // orbit editor: perigee/apogee entry

  // Elements, states and force parameters per slot
  double epoch[NSLOTS];          // MJD (UT), element epoch
  double a[NSLOTS];              // km, semi-major axis (< 0 hyperbola)
  double ra[NSLOTS];             // deg, right ascension of the node
  double aper[NSLOTS];           // deg, argument of perigee
  double inc[NSLOTS];            // deg, inclination
  double ecc[NSLOTS];            // eccentricity
  double m0[NSLOTS];             // deg, mean anomaly at epoch
  double mnmot[NSLOTS];          // rev/day; perigee distance (km) when ecc >= 1
  double adot[NSLOTS];           // km/day, rate of a
  double ndot[NSLOTS];           // rev/day^2, ndot/2 as in a TLE
  double n6dot[NSLOTS];          // rev/day^3, nddot/6 as in a TLE
  double bstar[NSLOTS];          // 1/earth radii
  // States of every model in the mean equator and equinox of date.
  double rx[NSLOTS], ry[NSLOTS], rz[NSLOTS];     // m, state at epoch
  double vx[NSLOTS], vy[NSLOTS], vz[NSLOTS];     // m/s
  double tint[NSLOTS];           // MJD of the integrated state
  double irx[NSLOTS], iry[NSLOTS], irz[NSLOTS];  // m, integrated state
  double ivx[NSLOTS], ivy[NSLOTS], ivz[NSLOTS];  // m/s
  double f107[NSLOTS];           // sfu, daily F10.7
  double fb107[NSLOTS];          // sfu, 90-day mean F10.7
  double kp[NSLOTS];             // Kp
  double cd[NSLOTS];             // drag coefficient
  double cr[NSLOTS];             // radiation-pressure coefficient
  double am[NSLOTS];             // m^2/kg
  double deltv[NSLOTS];          // m/s delta-V, or m/s^2 thrust acceleration
  double yaw[NSLOTS], pitch[NSLOTS];  // deg, direction of delta-V or thrust
  bool ionf[NSLOTS];             // continuous thrust on
  bool suns[NSLOTS];             // thrust only in sunlight
  bool epu[NSLOTS];              // re-derive elements after numerical steps
};

// Copies every per-slot field of slot `from` into slot `to` (the name with
// its own spelling) except cfgname (the configured names stay with their
// index) and resets the SGP4 cache (sgpsat = 9999). An index outside 0..11
// is ignored: nothing is written.
void ShiftElm(WinpData* d, int to, int from);

// Relative mode: rlm set, at least two satellites selected, and neither a
// transit or occultation (occflg) nor a flare search (flarflg) on. The next
// selected slot (slot 0 after the last) then observes the prime satellite.
bool RelativeMode(const WinpData* d);

// Whether prs names a prime satellite: one of the MAXSEL selection slots
// (never the work or the spare slot). What acts on the prime satellite alone
// refuses a record without one.
bool HasPrimeSlot(const WinpData* d);

// The prime slot when prs names one, else slot 0: the slot whose values the
// window shows and edits.
int PrimeSlot(const WinpData* d);

// A sky chart shows no relative mode: with the sky map on (skymap), rlm is
// cleared for good.
void EndRelativeOnSkyMap(WinpData* d);

// Holds a field for the length of a scope: whatever the scope does to it, and
// however it is left (early returns included), the field gets its old value
// back. The second form also sets the field for the scope.
//   Keep<int> rlm(d->rlm, 0);   // relative mode off until the scope ends
template <typename T>
class Keep {
 public:
  explicit Keep(T& field) : field_(field), saved_(field) {}
  Keep(T& field, const T& value) : field_(field), saved_(field) { field_ = value; }
  ~Keep() { field_ = saved_; }
  Keep(const Keep&) = delete;
  Keep& operator=(const Keep&) = delete;
  // The value the field had when the guard was made.
  const T& saved() const { return saved_; }

 private:
  T& field_;
  T saved_;
};

// The same for a fixed-size array field (a name, a list of times): the whole
// array comes back.
//   Keep<char[FILENAME_SIZE]> save(d->savnm);
template <typename T, std::size_t N>
class Keep<T[N]> {
 public:
  explicit Keep(T (&field)[N]) : field_(field) { std::copy(field, field + N, saved_); }
  Keep(T (&field)[N], const T (&value)[N]) : Keep(field) { std::copy(value, value + N, field_); }
  ~Keep() { std::copy(saved_, saved_ + N, field_); }
  Keep(const Keep&) = delete;
  Keep& operator=(const Keep&) = delete;
  const T (&saved() const)[N] { return saved_; }

 private:
  T (&field_)[N];
  T saved_[N];
};

// ---------------------------------------------------------------------------
// Text page
// ---------------------------------------------------------------------------

constexpr int WOUT_NLINES = 160;   // lines of the page
constexpr int WOUT_LINELEN = 76;   // characters of a line's text
constexpr int WOUT_MARK = 76;      // index of the mark byte
constexpr char WOUT_PASSMARK = '~';

// The engine's text page. A line's text has at most 76 characters and is
// terminated unless it has exactly 76; byte 76 is the mark ('~' = pass line).
// A 76-character marked line therefore has no terminator: read lines only
// through WoutLineLen / WoutLineCopy (or bound the read at 76 yourself).
// A line may hold one file name: its bytes [namefrom, namefrom + namelen) are
// the name as the file system spells it, which is not Latin-1 text (namelen 0:
// no name). Only PutNxtLnName sets them; every other line clears them.
struct WoutData {
  int nlines;
  char lines[WOUT_NLINES][WOUT_LINELEN + 1];
  unsigned char namefrom[WOUT_NLINES];
  unsigned char namelen[WOUT_NLINES];
};

// Appends text as the next line (cut to 76 characters, unmarked), with every
// ',' before the first '(' shown as '.'; the caller's text is never changed.
// With 160 lines in use the text is dropped silently.
void PutNxtLn(WoutData* o, const char* text);
// The same, and marks the line with '~'.
void PutNxtLnT(WoutData* o, const char* text);
// Appends k lines holding one blank each (k < 1: nothing).
void PutSpace(WoutData* o, int k);
// Appends head, the file name and tail as one line (cut to 76 characters as
// usual) and marks where the name lies, so that the window can show it as
// the file system spells it. The name's bytes stay as they are (a ',' in it
// is not shown as '.'); head and tail are treated as PutNxtLn treats text.
void PutNxtLnName(WoutData* o, const char* head, const char* name, const char* tail = "");
// Appends head and the whole file name: as PutNxtLnName on one line when
// both fit in its 76 characters; otherwise head alone (without its trailing
// blanks), then the name on lines of its own, each led by one blank. The
// name is never cut short: it is broken after a '/' where one lies in the
// second half of a line, else at the line end, and never inside a UTF-8
// character.
void PutNxtLnsName(WoutData* o, const char* head, const char* name);
// Where line k holds a file name: *from and *len (0 and 0 when it holds none,
// or k is outside the lines in use). Returns *len != 0.
bool WoutLineName(const WoutData* o, int k, int* from, int* len);

// Length of line k's text (at most 76); 0 for k outside the lines in use.
int WoutLineLen(const WoutData* o, int k);
// Copies line k's text terminated into out (at least 77 bytes); "" for k
// outside the lines in use. Returns the length.
int WoutLineCopy(const WoutData* o, int k, char* out);
// Line k carries the pass-line mark '~'.
bool WoutLineMarked(const WoutData* o, int k);
// Line k's text for a text file, which is UTF-8: the Latin-1 text converted
// as the window shows it, a file name it holds left as the file system
// spells it. "" for k outside the lines in use.
std::string WoutLineUtf8(const WoutData* o, int k);

// The record's texts (place and satellite names, the download address) are
// Latin-1; the program's text files are UTF-8.
// The first n bytes of the Latin-1 text s (fewer when a NUL ends it first)
// in UTF-8: ASCII as it is, every other byte as its two-byte form.
std::string Latin1ToUtf8(const char* s, size_t n);
// A UTF-8 text back in Latin-1; a character Latin-1 lacks becomes '?'. A
// text that is not UTF-8 is returned byte for byte (it is taken to be
// Latin-1 already).
std::string Utf8ToLatin1(const std::string& s);
// A line of a text file (at most n bytes of s, up to its first line end or
// NUL) into the Latin-1 field dst of size bytes, by the same rule: valid
// UTF-8 read as UTF-8, anything else byte for byte; cut to size - 1
// characters and terminated. Every name a text file gives the record is read
// so, whichever file it comes from. With utf8, the same characters (those
// dst got) also go there in UTF-8: the line's own bytes when it is UTF-8, so
// a letter Latin-1 lacks is kept there. Returns the length.
int TextLineToLatin1(char* dst, int size, const char* s, size_t n, std::string* utf8 = nullptr);

// A name line of a text file (as TextLineToLatin1 reads it) into slot i:
// its twenty characters into satname in Latin-1, and as the file spells
// them into nameutf8.
void SetSlotName(WinpData* d, int i, const char* line, size_t n);
// Slot i's name for a text file, in UTF-8 (a line end the name holds is
// left to the caller): the element file's own spelling (nameutf8) while the
// slot's name is still the one read from it, so a letter the record's
// Latin-1 shows as '?' is written back as it was; once the name was changed
// (renamed by the user, a designator in its place), the Latin-1 name
// converted.
std::string SlotNameUtf8(const WinpData* d, int i);

// PutNxtLn and PutNxtLnT of a printf text (formatted with a bound; the line
// is cut to 76 characters as usual).
void PutNxtLnF(WoutData* o, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void PutNxtLnTF(WoutData* o, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// vsnprintf, except that a floating-point value which prints as zero at its
// conversion's precision is written as +0: "0", "   0.00", never "-0" or
// "  -0.00" (a sign without a number in it only confuses a reader). Every
// other conversion, and the bound and result, are vsnprintf's.
int VFmtNum(char* out, size_t size, const char* fmt, va_list ap);
int FmtNum(char* out, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// A text built in a caller's buffer of fixed size: every piece is formatted
// with a bound, the text is always terminated, and it is cut (never overrun)
// when it would not fit. Numbers are written with Add, whose piece has every
// ',' made a '.' (a comma-decimal locale must not leak into pages and files);
// names and other texts that may hold commas go in with Put or Fmt.
class TextBuf {
 public:
  // Starts an empty text in buf (size bytes, terminator included).
  TextBuf(char* buf, size_t size);
  // A printf piece of numbers: every ',' of the piece becomes '.'.
  TextBuf& Add(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // A printf piece as formatted.
  TextBuf& Fmt(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // Text verbatim (never used as a format); PutN at most n characters of it.
  TextBuf& Put(const char* s);
  TextBuf& PutN(const char* s, size_t n);
  // n copies of c.
  TextBuf& Repeat(char c, int n);
  // Keeps at most n characters.
  void Cut(size_t n);
  size_t Len() const { return len_; }
  // Some piece did not fit (the text was cut).
  bool Truncated() const { return cut_; }
  char* Str() { return buf_; }
  const char* Str() const { return buf_; }

 private:
  void vadd(bool points, const char* fmt, va_list ap);
  char* buf_;
  size_t size_;
  size_t len_ = 0;
  bool cut_ = false;
};

// ---------------------------------------------------------------------------
// Compare, calendar words, time and angle texts
// ---------------------------------------------------------------------------

// Buffer sizes the callers must provide (terminator included).
constexpr int MONTH_SIZE = 4;       // GetMonth
constexpr int AOSSTR_SIZE = 32;     // aosstr
constexpr int DTMSTR_SIZE = 16;     // dtmstr
constexpr int PRPANG_SIZE = 32;     // prpang
constexpr int EPOCHTEXT_SIZE = 32;  // cnvepch

// 0 when equal, 1 when not. n = 0 gives 1. When both texts have at least n
// characters their first n are compared ignoring case; when either is shorter,
// they are equal only if both have the same non-zero length and agree over it.
int Strncmpi(const char* s1, const char* s2, int n);

// "JAN".."DEC" for m = 1..12, "ERR" otherwise (out: MONTH_SIZE bytes).
void GetMonth(int m, char* out);

// Pass-line text for MJD t: "MMM DD  HH:MM:SS (AAA,EEE)" (26 characters), or
// with timeonly "  HH:MM:SS (AAA,EEE)". Seconds are rounded; 23:59:59.6
// reads 0:00:00 of the next day. out: AOSSTR_SIZE bytes (relative mode puts
// up to 28 characters).
void aosstr(double t, double az, double el, char* out, int timeonly);
// MJD to "MMM DD HH:MM" (12 characters; out: DTMSTR_SIZE bytes).
void dtmstr(double t, char* out);
// Angle text (out: PRPANG_SIZE bytes). mode 0 decimal degrees; 1 decimal
// degrees shown packed; -1 packed D.MMSS degrees; <= -2 packed HH.MMSS hours.
void prpang(char* out, int wide, int mode, double x);

// Decimal degrees (or hours) to packed D.MMSS and back; D.MM with rounded
// minutes. The sign belongs to the whole value.
double DegFDms(double x);
double DmsDegF(double x);
double hdfdms(double x);
// The packed value x (D.MMSS or H.MMSS) as printf shows it with decimals (2:
// minutes, 4: minutes and seconds) decimals: unchanged when every shown field
// stays below 60, otherwise the value whose text carries the 60 into the next
// field ("10.60" becomes "11.00", "10.5960" becomes "10.6000" and then
// "11.0000").
double CarryPacked(double x, int decimals);
// A packed right ascension x (H.MMSS) as printf shows it with decimals (2 or
// 4): carried as CarryPacked carries it, and one that would then read 24 h
// (the last half minute, or half second, of the day's circle) brought round
// to 0 h, where the sky has it: "23.60" becomes "0.00", never "24.00". Other
// values are CarryPacked's.
double CarryRa(double x, int decimals);

// Copies n characters from 1-based column col of line into dst (n + 1 bytes)
// and terminates dst; stops early at the end of line.
void tlecpy(char* dst, const char* line, int col, int n);
// Writes the first n characters of src into line at 0-based position pos,
// without terminator; when src is shorter the rest of the n places are blanks.
void chcpy(char* line, const char* src, int pos, int n);

// ---------------------------------------------------------------------------
// Time and element helpers
// ---------------------------------------------------------------------------

// s, UT minus local time as the operating system reports it (positive west).
extern double GBL_timezone;
// h, the operating system's zone east of UT (-GBL_timezone / 3600); a zero
// zone is +0, never -0 (which "%g" would print as "-0").
double SystemZone();

// The system clock the engine reads: seconds since the Unix epoch (UT). A
// test puts a clock that stands still in its place, so that the engine and
// the window it drives see the same "now".
extern std::time_t (*sysclock)();

// Date and time fields := current UT of the system clock; sets GBL_timezone.
void DefTime(WinpData* d);
// Today's UT date.
void DefDate(int& day, int& month, int& year);
// curmjd := MJD (UT) of the entered local date and time; ends a Delta Time run.
void setNewMjd(WinpData* d);
// MJD (UT) of the system clock plus rtoff hours; date fields unchanged.
double RT_MJD(WinpData* d);
// s, TT - UT (from the IERS values when IERSflg, else the default for year).
double SetTtUt(const WinpData* d, int year);
// TLE epoch (year, day of year with fraction) to epoch[10] and a text such as
// "12-MAR-2011   14: 3:27" (text: EPOCHTEXT_SIZE bytes; may be null), to the
// nearest second: a time that rounds to midnight reads " 0: 0: 0" of the
// next day. A day count that is not a number of less than 1e7 in size gives
// epoch NaN and the text "***".
void cnvepch(WinpData* d, int year, double doy, char* text);
// km, semi-major axis from mean motion n (rev/day), e and i (deg) with the
// first-order J2 term; mode 0 Kepler-model elements, else TLE mean elements.
double getsax(int mode, double n, double e, double i);
// rev/day, mean motion from a (km), e and i (deg).
double getn0(double a, double e, double i);
// rev/day, the mean motion n from which getsax(mode, n, e, i) gives a (km),
// to the last bits: getn0 inverts getsax only to first order in J2. Where
// the J2 term grows large (a perigee deep inside the Earth) getsax(0, ...)
// reaches a smallest axis and rises again; n is taken on the branch that
// starts at the slowest mean motion. 0 when no mean motion gives a: a not
// above getsax's floor of 0.001 km, above the axis of its slowest mean motion
// (0.0001 rev/day), below the smallest axis of that branch, or a value that
// is no number.
double InvGetsax(int mode, double a, double e, double i);
// sdsn (YYNNNPPP) <-> ldsn (YYYY-NNNPPP); tolong: sdsn to ldsn.
void convldsn(WinpData* d, bool tolong);
// Apparent elevation (deg) for a geometric elevation h (deg).
double ElvRefr(const WinpData* d, double h);

// ---------------------------------------------------------------------------
// Satellite positions (filled by GetSatPos)
// ---------------------------------------------------------------------------

constexpr int NFPPTS = 64;   // points of a visibility circle

// Results for the selected satellites at one time. Per-slot arrays are indexed
// by slot (12 entries, so every slot index is in bounds). Angles in degrees
// except ssaz, sunazo, moonelo, moonazo and the circles (radians).
struct SatPosData {
  double lat[NSLOTS];     // deg, geodetic latitude of the sub-satellite point
  double lng[NSLOTS];     // deg, east longitude, -180..180
  double hgt[NSLOTS];     // km, height above the ellipsoid
  double ra[NSLOTS];      // HH.MMSS topocentric R.A. (relative mode: lat)
  double dec[NSLOTS];     // DD.MMSS topocentric Dec. (relative mode: lng)
  double az[NSLOTS];      // deg, 0..360
  double el[NSLOTS];      // deg, geometric
  double rng[NSLOTS];     // km
  double sunh[NSLOTS];    // deg, Sun above the satellite's horizon (rel.: km)
  double moonh[NSLOTS];   // deg, the same for the Moon
  double rate[NSLOTS];    // km/s, range rate (positive receding)
  double ctlat[NSLOTS];   // deg, centre-line latitude; 100 none, 99 not computed
  double ctlng[NSLOTS];   // deg, centre-line longitude
  double beta[NSLOTS];    // deg, beta angle
  double ssaz[NSLOTS];    // rad, Sun azimuth at the sub-satellite point
  double sunelo;          // deg, Sun elevation at the observer
  double sunazo;          // rad, Sun azimuth at the observer
  double moonelo;         // rad, Moon elevation at the observer
  double moonazo;         // rad, Moon azimuth at the observer
  double smrad;           // deg, angular radius of the Moon
  double smcos;           // cosine for the Moon's phase
  double sslat;           // deg, sub-solar latitude
  double sslng;           // deg, sub-solar longitude
  double rsun0;           // relative mode: sunh of the observed satellite
  double rsun1;           // relative mode: sunh of the observing satellite
  double mag;             // mag (99 = no flare) or km in transit modes
  double fplat[NSLOTS][NFPPTS];  // rad, visibility circle latitudes
  double fplng[NSLOTS][NFPPTS];  // rad, visibility circle longitudes
  int nfp;                // points per circle
  Vec3 rsat;              // km, last position outside relative mode (TOD)
  Vec3 vsat;              // km/s
};

// ---------------------------------------------------------------------------
// Engine globals
// ---------------------------------------------------------------------------

// The engine's own position record (zero-filled at load, never freed). Each
// thread has its own pointer: the all-satellite list's worker threads point
// theirs at records of their own; every other thread sees the one record.
extern thread_local SatPosData* satpos;
// The save file while an engine writer holds it open, else null (per
// thread, as satpos).
extern thread_local FILE* outptr;

#endif
