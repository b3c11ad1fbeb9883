// Element files: the NORAD two-line element set (with or without a name line)
// and the program's own four-line state-vector record. Reading searches an
// open file and parses the next matching record into the work slot 10;
// writing puts the selected satellites into the TLE save file.
#ifndef VORLIX_ENGINE_TLE_H
#define VORLIX_ENGINE_TLE_H

#include <cstdio>

#include "engine/vorlixcom.h"

// Line buffer of the reader: 79 characters and the terminator. A longer line
// is read in pieces, its rest counting as further lines.
constexpr int TLELINE_SIZE = 80;
// Size the caller's information-text buffer of tleread/gettle must have.
constexpr int TLEMSG_SIZE = 1024;
// Marker of the state-vector record in columns 40-58 of its first line.
constexpr const char* TLE_STATEMARK = "+++++STATEVCT1+++++";

// Searches f from its current position for the next record matching the
// search string cfgname[10] ('*' = every record) by the search kind srchmd
// (0 name prefix, 1 catalogue number norad[10], 2 designator prefix) and
// parses it into slot 10. cont continues a name search with the name read
// ahead by the previous call. Returns 0 nothing found (msg: why), 1 a record
// was accepted, 2 one was accepted and more follow. msg (TLEMSG_SIZE bytes)
// receives the record's information text. srchmd is unchanged on return;
// sgpsat is reset to 9999. A name line is read as every text file's names
// are (TextLineToLatin1: valid UTF-8 as UTF-8, else Latin-1), each line by
// itself, and a name search compares the name so read; the slot keeps the
// name's spelling in the file too (nameutf8).
int tleread(WinpData* d, FILE* f, char* msg, int cont);

// Whether f, from its current position, holds at least one record that
// tleread accepts with no filter and no adjustment of the user's settings
// (the SDP4 model allowed). The check reads into a record and a position
// store of its own, and borrows the calling thread's SGP4 element record,
// whose content it gives back: the engine's position store and the SGP4
// element cache are as they were. f is left wherever the search stopped.
bool HoldsElementSet(FILE* f);

// Parses one record into slot 10. line (TLELINE_SIZE bytes) holds the line
// just read (a name line or line 1); further lines are read from f into it.
// Sets eof to 1 when the file ends. Returns 1 when the record was parsed and
// passed the filters (msg: its information text), else 0 (msg empty). A line
// that turns out to begin another record is left unread for the caller.
int gettle(WinpData* d, FILE* f, char* line, char* msg, int& eof);

// Stores the position and velocity of slot i at its own epoch as the slot's
// state vector (rx..vz, m and m/s) and marks the slot as analytic; reset also
// restores the slot's delta-V, thrust and force parameters to the defaults.
void EpochState(WinpData* d, int i, bool reset);

// Writes the selected satellites (slots 0..satnr-1) to the TLE save file
// tlsnm: a new file when tsnew is set, else appended (the old content is
// copied first). The new content is written into a temporary file of its
// own beside tlsnm and renamed over it only when everything was written and
// synced (SafeFile), so a failure leaves the old file as it was; a
// character device or a FIFO is written directly (appended to: after what it
// was given, its old content is not read). Returns 0 written (tsnew
// cleared; also when only the sync of the folder failed, which o is told),
// 1 no satellite selected, 2 the file could not be opened or the old content
// not read, 3 a write failed, 4 a value does not fit its TLE field (nothing
// written), 5 tlsnm names the element file tlenm or a guarded one
// (IsElementFile, engine/savefile.h), by any name (nothing opened). With
// o, the reason of a failure is added to o as "***" lines (the reason on a
// line of its own when the name leaves it no room).
// Node, perigee and mean anomaly are written wrapped to 0..360, an
// eccentricity from 0.99999995 to 1 as 0.9999999, catalogue numbers above
// 99999 in the Alpha-5 form. The name line holds the name in UTF-8, padded
// with blanks to 40 bytes: as the element file spelled it unless the name
// was changed since (SlotNameUtf8).
int SaveTle(WinpData* d, WoutData* o = nullptr);

// Largest magnitude the exponent field holds (" 99999+9"); SaveTle refuses
// (4) an N-dot-dot or B* beyond it rather than save it changed.
constexpr double TLE_EXPFIELD_MAX = 0.99999e9;

// The 8-character exponent field of a TLE (" NNNNN-E" = 0.NNNNN x 10^-E) for
// x; out needs 9 bytes. Below 0.1 the mantissa is cut after five digits, as
// in published element sets; from 0.1 on the field is the nearest value of
// the form 0.NNNNN x 10^+E (" 10000-0" for 0.1, at most " 99999+9").
void cvtlef(char* out, double x);

// The checksum character of a TLE line: the digits of columns 1-68 summed,
// '-' counting 1, modulo 10.
char tcksum(const char* line);

// Catalogue number of the 5-character field of columns 3-7: digits, or the
// Alpha-5 form of numbers above 99999 (a letter and four digits, A0001 =
// 100001; the letters I and O are not used). A field that is not a number
// gives 0.
int tlecatno(const char* field);
// True when the international designator dsn (the long form YYYY-NNNPPP, at
// most 11 characters) goes into the TLE's designator field and reads back
// as the same text: blank, or a year 1957..2056, '-', and up to six more
// characters.
bool tledsnfits(const char* dsn);
// Largest catalogue number a TLE holds (Z9999 in the Alpha-5 form).
constexpr int TLE_CATNO_MAX = 339999;
// The 5-character field for a catalogue number 0..339999 into out (6 bytes);
// false when the number has no such form.
bool tlecatfld(char* out, int norad);

#endif
