// Pass machinery of the engine: the search for the next or last pass of one
// satellite over the observer, the refinement of events inside a pass
// (transits and occultations, flares, Iridium flares), the pass list page,
// the pass-details, pole and transit-zone texts, and the ground-track file.
//
// Event kinds (WinpData::iridflg): 0 passes, 1 transit or occultation (Sun,
// Moon or an R.A./Dec. point), 2 flare of a reflecting surface, 3 Iridium
// flare. Relative mode (rlm set, satnr >= 2, occflg 0, flarflg 0): the next
// selected slot (slot 0 after the last) observes the prime satellite.
//
// Pass arrays tm[3], elv[3], azm[3] (caller's): index 0 first boundary, 1
// culmination (or event), 2 second boundary. tm in MJD (UT); elv/azm
// elevation and azimuth in degrees; in relative mode indices 0 and 2 hold
// latitude (elv) and longitude (azm) of the sub-satellite point; in event
// modes azm[2] holds the event distance (km) or the flare magnitude.
//
// Every position is sampled with GetSatPos into the engine's record satpos.
#ifndef VORLIX_ENGINE_PASSES_H
#define VORLIX_ENGINE_PASSES_H

#include "engine/vorlixcom.h"

// ---------------------------------------------------------------------------
// Pass search
// ---------------------------------------------------------------------------

// Whether the current sample of slot i in sp counts as part of a pass:
// elevation >= satel, Sun at the observer below sunel, and with visflg the
// satellite sunlit (moonlit with moonflg); in relative mode mutual line of
// sight above the Earth's limb (and both sunlit with visflg). 1 or 0.
int cksatok(WinpData* d, SatPosData* sp, int i);

// Steps from t backwards (gpassbeg) or forwards (gpassend) in whole minutes
// while the samples are accepted; returns the first time not accepted, or the
// first time beyond tlow / thigh.
double gpassbeg(WinpData* d, SatPosData* sp, int i, double t, double tlow);
double gpassend(WinpData* d, SatPosData* sp, int i, double t, double thigh);

// Next pass of slot i in [t0, tend]. Returns 0 none found; 1 pass found; in
// event modes the code of GetIrid (1 event found, 2 pass without event).
// With pasact set the pass under way at t0 is skipped. tm[0] is the first
// accepted time (refined to about 1 s), tm[2] the first rejected time after
// the pass (tend when the pass runs past it), tm[1] the culmination (1-s
// resolution). In Iridium mode occra is reset to 0 at every call.
int nextpass(WinpData* d, int i, double t0, double tend, double* tm, double* elv, double* azm);

// Last pass of slot i in [tlow, t0], searched backwards. 0 none, 1 found.
// Index 0 holds the LATER boundary (last accepted time), index 2 the earlier
// one (the last rejected time before the pass; tlow when the pass was already
// under way at tlow). No event refinement.
int lastpass(WinpData* d, int i, double t0, double tlow, double* tm, double* elv, double* azm);

// Great-circle distance and direction from point 1 to point 2 (longitudes
// east, latitudes; radians in). cosd: cosine of the angular distance;
// dir: direction in degrees from north through east, 0..360 (0 when the
// points coincide or point 1 is a pole).
void ADisDir(double lng1, double lat1, double lng2, double lat2, double& cosd, double& dir);

// ---------------------------------------------------------------------------
// Event refinement (transits, occultations, flares, Iridium flares)
// ---------------------------------------------------------------------------

// Mirror trackers of GetIrid. States: 2 fresh (the first sample with a centre
// line is taken whatever its value), 3 armed (the first sample with a centre
// line is compared), 1 tracking, 0 ended.
constexpr int IRID_NTRACK = 3;
constexpr double IRID_NONE = 100000.0;  // best value of a tracker with no sample

// One tracker step for mirror k at time t: samples slot `slot` (unless the
// tracker has ended) and keeps the time, value (satpos->mag), elevation and
// azimuth of the smallest value met while the centre line meets the ground.
// The arrays have IRID_NTRACK entries; k outside 0..2 does nothing.
void CkIrid(double t, WinpData* d, int slot, int k, int* state, double* tbest, double* vbest,
            double* elbest, double* azbest);

// Finds the event in the pass [tm[0], tm[2]] found by nextpass: the time of
// the smallest centre-line distance (modes 1, 2) or flare magnitude (mode 3,
// best of three mirrors), refined to 0.1 s. centreSeen: some pass sample had
// a centre line. Returns 1 event found (tm[1], elv[1], azm[1] the event;
// azm[2] the distance in km or the magnitude; in Iridium mode elv[0], elv[2]
// the sub-satellite latitude near the pass start and at its end), 2 pass
// without event (or beyond mxdist / irmag). elv[0] is 100 at entry.
int GetIrid(WinpData* d, int slot, int centreSeen, double* tm, double* elv, double* azm);

// Reads the Iridium flare lines of the save file savnm back into the page o
// (title, year line, then the flare lines, a blank line before every fifth)
// and loads each flaring satellite once from the TLE file tlenm into the next
// free slot (by name; the search mode srchmd is restored). An unreadable save
// file leaves the page empty; an unreadable TLE file only disables loading.
void Iriddspy(WinpData* d, WoutData* o);

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

// Sizes of the caller's text buffers (terminator included). The texts are
// written with bounded formatting and cut at these sizes.
constexpr int PASSDTXT_SIZE = 512;  // GetPassDTxt (header and first line ~330)
constexpr int POLETXT_SIZE = 160;   // GetPoleTxt (~110)
constexpr int ZONETXT_SIZE = 48;    // SunMoonTr (~30)

// Pass details of the chosen pass ipass, one step per call. t == 0 marks the
// first call: t is set to pastm[ipass] (aligned to the step) and buf starts
// with the header. Every call advances t by tstep (a result of exactly 0
// becomes 1.0). mode 0 screen, 1 save file with sky positions, 2 save file
// with the ground track. Returns 1 when a line for the time was written into
// buf, 0 when the satellite is not accepted there (buf holds only the header
// or "\n"), and 0 with an empty buf when ipass is not a pass of the last
// list (ipass < 0 or ipass >= min(npass, 120)). buf: PASSDTXT_SIZE bytes.
int GetPassDTxt(WinpData* d, double& t, char* buf, int mode);

// Apparent pole of the orbit (azimuth, elevation, R.A., Dec. of date) at the
// time tmxel of the highest listed elevation. buf: POLETXT_SIZE bytes.
void GetPoleTxt(WinpData* d, char* buf);

// Transit zone text of a Sun or Moon transit at t by slot `slot`: zone
// half-width (km, at most 50, marked '>' when clipped), duration (s) and
// direction of motion (deg). With autozone, code := 1 when the zone reaches
// the event distance dist (the observer lies inside it), else 2. When the
// centre line misses the Earth at t there is no zone: buf = " " and code := 2
// (with autozone). The observer fields and rlm are unchanged on return.
// buf: ZONETXT_SIZE bytes.
void SunMoonTr(WinpData* d, double t, int slot, double dist, int autozone, int& code, char* buf);

// Longest track saveOrbitTrack writes; a longer track is cut with a "+++" line.
constexpr long ORBITTRACK_MAXLINES = 200000;

// Writes the ground track (or the centre line in transit and flare modes) of
// the prime slot over the entered interval into a new save file savnm (its
// old content is replaced). Returns 1 when the file cannot be opened or a
// write fails, else 0.
int saveOrbitTrack(WinpData* d);

// ---------------------------------------------------------------------------
// Pass list
// ---------------------------------------------------------------------------

// Results of aospass.
constexpr int AOS_DONE = 0;      // list on the page (and saved when asked)
constexpr int AOS_NOSAVE = 1;    // list on the page; the save file could not be
                                 // opened or written ("***" line on the page)
constexpr int AOS_NOLIST = 2;    // no list: the page says why (no satellite,
                                 // distance <= 0 in an event mode); nothing saved

// Pass list of the prime slot prs over the entered interval into the page o:
// header, then one marked line per pass (or event). npass/pastm[0..119] get
// the start times of the listed lines. With filsav == 1 the page is also
// written to savnm (new file when svnew is set, else appended).
int aospass(WinpData* d, WoutData* o);

#endif
