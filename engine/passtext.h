// Texts of the pass machinery: the pass list page (and its copy in the save
// file), the pass details step by step, the apparent orbit pole, the transit
// zone text and the ground-track file.
#ifndef VORLIX_ENGINE_PASSTEXT_H
#define VORLIX_ENGINE_PASSTEXT_H

#include <cstdio>

#include "engine/vorlixcom.h"

// Sizes of the caller's text buffers (terminator included). The texts are
// written with bounded formatting and cut at these sizes.
constexpr int PASSDTXT_SIZE = 512;  // GetPassDTxt (header and first line ~330)
constexpr int POLETXT_SIZE = 160;   // GetPoleTxt (~110)
constexpr int ZONETXT_SIZE = 48;    // SunMoonTr (~30)

// Length of the time step in days, by which the pass details, the track and
// the plot's steps advance: the magnitude of tstep, so that every listing
// runs forward through its interval whatever the sign; a step of 0, or one
// that is no finite number, stands for the smallest step, 0.1 s (as the Time
// Step dialog's 0 minutes and 0 seconds do).
double StepDays(const WinpData* d);

// Pass details of the chosen pass ipass, one step per call. t == 0 marks the
// first call: tmxel is set to 0, t to pastm[ipass] (aligned to the step),
// and buf starts with the header. Every call advances t by StepDays (a
// result of exactly 0 becomes 1.0). mode 0 screen, 1 save file with sky
// positions, 2 save file with the ground track. Returns 1 when a line for
// the time was written into buf, 0 when the satellite is not accepted there
// (buf holds only the header or "\n"), and 0 with an empty buf when ipass
// is not a pass of the last list (ipass < 0 or ipass >= min(npass, 120)).
// At a time without a position (GetSatPos other than SATPOS_OK) the line is
// the time stamp and "   *** No Position ***" (result 1), or, in relative
// mode when the observing satellite has none (SATPOS_NOOBSERVER), the time
// stamp and "   *** Observing Sat.: No Position ***"; the listing ends there:
// every later call of it gives 0 and "\n". buf: PASSDTXT_SIZE bytes.
int GetPassDTxt(WinpData* d, double& t, char* buf, int mode);

// The GetSatPos status of the time without a position at which the last
// listing of GetPassDTxt ended, SATPOS_OK when it met none.
int PassListingLost();

// The time stamp of the pass-details step line at t (UT), in local time, as
// that line shows it: "MMM DD  HH:MM" for minute steps, "MMM DD  HH:MM:SS"
// from one second on, "MMM DD HH:MM:SS.S" below. out: AOSSTR_SIZE bytes.
void PassStepStamp(const WinpData* d, double t, char* out);

// Whether the last pass listing of GetPassDTxt listed a step with numbers:
// tmxel holds its highest step's time (0 when none was listed, as when the
// listing holds only "*** No Position ***" or the satellite did not meet the
// conditions at its first step).
bool PassStepListed(const WinpData* d);

// Apparent pole of the orbit (azimuth, elevation, R.A., Dec. of date) at the
// time tmxel of the highest listed elevation; "*** No Position ***" in place
// of the numbers when the satellite has none 15 s before or after it. No
// pole, only the two line feeds, when no step was listed (PassStepListed)
// and in relative mode. buf: POLETXT_SIZE bytes.
void GetPoleTxt(WinpData* d, char* buf);

// Transit zone text of a Sun or Moon transit at t by slot `slot`: zone
// half-width (km, at most 50, marked '>' when clipped), duration (s) and
// direction of motion (deg). With autozone, code := 1 when the zone reaches
// the event distance dist (the observer lies inside it), else 2. When the
// centre line misses the Earth at t, or the satellite has no position at t
// or a second later, there is no zone: buf = " " and code := 2 (with
// autozone). The observer fields and rlm are unchanged on return.
// buf: ZONETXT_SIZE bytes.
void SunMoonTr(WinpData* d, double t, int slot, double dist, int autozone, int& code, char* buf);

// Longest track saveOrbitTrack writes; a longer track is cut with a "+++" line.
constexpr long ORBITTRACK_MAXLINES = 200000;

// What saveOrbitTrack wrote.
struct OrbitTrackInfo {
  long steps = 0;       // step lines
  long noPosition = 0;  // of them, steps where the satellite had no position
                        // (its elements give none, or it came down): their
                        // lines hold the time and "No Position", no numbers
  // "" for a whole track; for a track cut at ORBITTRACK_MAXLINES the time
  // stamp of its last line as the file shows it ("MMM DD  HH:MM:SS", local
  // time), so the user can be told where it ends.
  char cutAt[AOSSTR_SIZE] = "";
};

// Writes the ground track (or the centre line in transit and flare modes) of
// the prime slot over the entered interval into a new save file savnm (its
// old content is replaced; svnew is cleared, so the next save appends). Step
// k stands at the entered start + k StepDays, for every such time before the
// end. Returns ORBITTRACK_NOSAT when no satellite is selected (nothing
// written), 1 when the file cannot be opened, is the TLE file or a write
// fails (the save file's writer, WriteSaveFile; LastSaveFile tells why),
// else 0. info (may be null) receives what was written.
constexpr int ORBITTRACK_NOSAT = 2;
int saveOrbitTrack(WinpData* d, OrbitTrackInfo* info = nullptr);

// ---------------------------------------------------------------------------
// Pass list
// ---------------------------------------------------------------------------

// One time of a pass line as aosstr writes it (k == 0 with the date), with
// its two values; a boundary of the pass search without a position (NaN,
// engine/passes.h) gets "No Position" in place of them. out: AOSSTR_SIZE bytes.
void PassTimeText(double t, double az, double el, char* out, int k);

// Results of aospass.
constexpr int AOS_DONE = 0;      // list on the page (and saved when asked)
constexpr int AOS_NOSAVE = 1;    // list on the page; the save file could not be
                                 // opened or written, or it is the TLE file
                                 // ("***" line on the page with the reason,
                                 // on a line of its own when the name leaves
                                 // it no room; LastSaveFile tells it too); an
                                 // appended block is taken back
constexpr int AOS_NOLIST = 2;    // no list: the page says why (no satellite,
                                 // distance <= 0 in an event mode); nothing saved

// Pass list of the prime slot prs over the entered interval into the page o:
// header, then one marked line per pass (or event). npass/pastm[0..119] get
// the start times of the listed lines. With filsav == 1 the page is also
// written to savnm (new file when svnew is set, else appended).
int aospass(WinpData* d, WoutData* o);

#endif
