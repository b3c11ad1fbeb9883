// Services through which the dialogs (and the rest of the window) reach the
// shared record while a dialog is open: text and file-name fields, pass
// details. The blocks below belong to one concern each; add declarations to
// your own block and define them in its source file.
#ifndef VORLIX_GUI_VSSERVICES_H
#define VORLIX_GUI_VSSERVICES_H

#include <QString>

#include "astro/attlib.h"
#include "orbit/sgp4fit.h"

struct AdjParams;
struct SaveFileOutcome;
struct WoutData;

// ==== Text fields, file names, pass details (vsservices.cpp) ====

// The services' own texts, translated in their one context.
QString vsTr(const char* text);

// Copies the Latin-1 form of s into dst (n + 1 bytes): at most n characters,
// a carriage return ends the text. For names, place names and search texts.
void QsToChar(const QString& s, char* dst, int n);
// Engine text (Latin-1, degree sign byte 176) as a QString.
QString CharToQs(const char* s);
// Copies a file name in the file system's encoding into dst (n + 1 bytes).
// A name longer than n bytes is refused with a message ("File name too long")
// and dst is left as it was; returns false then.
bool QsToFileName(const QString& s, char* dst, int n);
// A file-name field back as a QString.
QString FileNameToQs(const char* s);
// Line k of a text page (without its mark): engine text, and the file name
// the line may hold as the file system spells it. A name cut by the end of
// the line loses the broken character instead of showing a stand-in.
QString PageLineToQs(const WoutData* o, int k);
// Resolves, in place, a name that begins with '*' into the directory of the
// current TLE file; when that file name holds no directory (or none is set),
// into the working directory. A result longer than a file-name field is
// refused with a message and name is left alone; returns false then. Names
// without '*' are left alone.
bool vsFileName(char* name);

// Pass details of pass ipass of the last list: pole false gives the next piece
// of the screen listing (t = 0 on the first call gives the header; non-zero
// result: more follows); pole true gives the apparent pole and returns 0 (or,
// when the listing gave no line at all, a sentence saying that the satellite
// does not meet the conditions at the first step, so the viewer is not blank).
int vsGetPassDTxt(double& t, QString& s, bool pole);
// Writes the pass details (mode 1) or the pass ground track (mode 2) to the
// save file and says so in a box; 0 written, non-zero not (the box says
// "*** Problems with the output file", the file and why). A listing longer
// than the file takes is cut with a "+++" line that names its last line's
// time, and the box says so. A listing without a step of numbers (only
// "*** No Position ***", or the satellite not meeting the conditions at the
// first step) is saved without a pole, and the box says what the file holds
// in place of "Saved on File".
int vsSavePassDt(int mode);
// Why the last write of the save file (WriteSaveFile) saved nothing, for a
// message: "the save file is the element file <name>", "nothing to save" or
// the system's reason ("not a regular file", "a FIFO that nobody reads",
// "Permission denied", ...); empty when it saved.
QString vsSaveFileReason();
// The same for an outcome of one's own (a name refused before any write).
QString vsSaveFileReason(const SaveFileOutcome& o);
// The text of a box on a save file that was not written: "*** Problems with
// the output file", then the save file and why (vsSaveFileReason), each on a
// line of its own.
QString vsOutputProblem();
// What a "saved" message adds when the last write saved but its folder could
// not be synced (starting with an empty line); empty otherwise.
QString vsSaveFileNote();
// "Pass details cut after <lines> lines: the last line is at <time>" for a
// pass listing that stopped at its limit; t is the listing's time after its
// last line, as vsGetPassDTxt left it.
QString vsPassCutText(int lines, double t);

// ==== Satellite selection (vsservices_sel.cpp) ====

// The last search (text, kind 0 name / 1 number / 2 designator, the number
// last typed or found), the selected count and the two search filters.
void vsLastSat(QString& name, int& mode, int& norad, int& count, int& low, int& recent);
// "TLE filename: " and the file, then the selected satellites' names.
QString vsSatList();
// No satellite selected, the first slot prime.
void vsResetSatList();
// Appends the satellite just found (work slot) to the selection; with ten
// selected it replaces the tenth.
void vsSatSel();
// Stores the search (text at most 20 characters, number, kind, filters) and
// reads the next match from the open TLE file (more: continue the last
// search) into the work slot. norad returns 0 nothing found, 1 found, 2 found
// and more may follow; name the description or the reason.
void vsReComp(QString& name, int& norad, int mode, int more, int low, int recent);
// The same from the start of the file.
void vsFindSat(QString& name, int& norad, int mode, int low, int recent);
// Stores the low-orbit and recent-launch filters.
void vsLowRecent(int low, int recent);
// Name of selected satellite n (from 1); "" outside the selection.
QString vsSatName(int n);
// A typed catalogue number: digits, or the Alpha-5 form (A0001 = 100001);
// anything else is 0.
int vsCatNo(const QString& text);

// ==== Orbit elements and state vectors (vsservices_orbit.cpp) ====

// The TLE adjustment settings and the SGP4 model switches. vsPutAdj stores
// them and makes the SGP4 record initialise again.
AdjParams vsGetAdj();
void vsPutAdj(const AdjParams& p);
// Osculating eccentricity and pericentre time (MJD) of the prime satellite's
// stored state at its epoch. False, outputs unwritten, when the state gives
// no orbit (no prime slot, a zero or non-finite state).
bool vsCkHyp(double& ecc, double& tp);
// The SGP4 conversion of cvSGP4: the code, and with it the mean elements
// (deg, rev/day) when it is 0 or SGP4FIT_NOTCONVERGED (zero otherwise).
struct Sgp4Conversion {
  int code = 0;
  Sgp4Mean el{};
};
// SGP4 mean elements of the prime satellite's stored state at its epoch for
// the slot's model (constants, deep-space switch) with B* bstar, fitted so
// that SGP4 gives back the state. Codes: 0; SGP4FIT_NOTCONVERGED with
// approximate elements; or an RV2EL_* code without elements. The SGP4 record
// initialises again.
Sgp4Conversion cvSGP4(double bstar);
// Position (km) and velocity (km/s), mean equator and equinox of date, of
// the mean elements el at their epoch (MJD) with B* bstar, as SGP4 of the
// prime slot's model gives them: the state cvSGP4 turns back into el. False,
// r and v unwritten, without a prime slot or when SGP4 fails.
bool vsSgp4State(const Sgp4Mean& el, double epoch, double bstar, Vec3& r, Vec3& v);
// A text for a code of cvSGP4 other than 0.
QString cvSGP4Text(int code);
// The prime satellite's state at its epoch as the state dialog edits it.
struct SlotState {
  double epoch = 0.0;                        // MJD
  Vec3 r, v;                                 // km, km/s, mean equator of date
  int frame = 1;                             // the frame last chosen (stfrm)
  double f107 = 0.0, fb107 = 0.0, kp = 0.0;  // space weather
  double cr = 0.0, cd = 0.0, am = 0.0;       // radiation, drag, area/mass (m^2/kg)
};
// Reads into s the frame last chosen and the prime satellite's force
// coefficients; with nm also its stored state and epoch. Only the frame is
// written when there is no prime slot.
void vsGetState(bool nm, SlotState& s);
// Stores into the prime satellite: stfrm := frame, epoch and state; with
// reset also the integrated state and its time; with nm also the six
// coefficients. Refuses (false, nothing stored) a non-finite value or a state
// at the centre.
bool vsPutState(bool nm, const SlotState& s, bool reset);
// A position and a velocity in one frame.
struct FrameState {
  Vec3 r, v;  // km, km/s
};
// The state (r, v) converted from frame `from` to frame `to` (0 true of date,
// 1 mean of date, 2 J2000, 3 Earth-fixed) at mjd (UT), with the record's
// Earth-orientation settings.
FrameState vsRefState(int from, int to, double mjd, const Vec3& r, const Vec3& v);

// ==== Picture points (vsservices_pict.cpp) ====

// The two points picked last on the calibrated photograph: R.A. (packed
// HH.MMSS) and Dec. (packed DD.MMSS) of the older one, then of the newer one.
void vsGetPict(double& ra1, double& dec1, double& ra2, double& dec2);

#endif
