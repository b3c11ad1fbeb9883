// The configuration file "vorlix.cfg" and the engine's start state: every
// start value of the record, the persistent settings read back from the
// configuration, the configured satellites looked up again in the TLE file,
// and the welcome page.
#ifndef VORLIX_ENGINE_CONFIG_H
#define VORLIX_ENGINE_CONFIG_H

#include "engine/vorlixcom.h"

// The configuration file, in the working directory.
constexpr const char* CFG_FILENAME = "vorlix.cfg";

// getcfg results.
constexpr int CFG_MALFORMED = 0;  // an item could not be read: nothing committed
constexpr int CFG_READ = 1;       // every item read and committed
constexpr int CFG_NOFILE = 2;     // there is no such file
constexpr int CFG_UNREADABLE = 3; // the file is there but cannot be read (no read
                                  // permission, or not a regular file)

// Reads the configuration file: one item per line (time zone, latitude,
// longitude, height, place name, text font size, map grid, map background,
// TLE file name, visible-only flag, maximum Sun elevation, minimum satellite
// elevation, R.A./Dec. epoch year, map font size, bold flag, left button flag,
// download address, "interval F10.7 F10.7-mean Kp", "Cd Cr A/m", satellite
// count), then one satellite name per line.
//
// Lines are read whole and texts cut to their fields (place name 30, file
// name and address 104, satellite names 20 characters), so a long text never
// shifts the items after it. The file is UTF-8: the place name, the address
// and the satellite names come back in the record's Latin-1 (a character
// Latin-1 lacks as '?'; a line that is not UTF-8, such as a Latin-1 place
// name or address, byte for byte); the TLE file name is kept as
// the file system spells it. A number item is read from the first field of
// its line and must be a number as a whole; a missing, non-numeric or
// non-finite number, or a file that ends before the count, makes the read
// fail and leaves the record exactly as it was.
//
// On success commits: tzauto = (zone is 16), tzone = zone (0 outside +-15,
// else within +-14); fsz 8 or 10; mgrid 1 and mgrey 0 when out of 0..2;
// visflg and bf = (value != 0), lftbtn = (value == 1); mfsz 12 from 12 up,
// else 10; texts only when not empty (the address only when longer than 5
// characters). The other numbers are clamped to what their dialogs accept:
// latitude +-90, longitude +-360, height -1000..100000 m, Sun and satellite
// elevations +-90, epoch year 0..2200, dur 1..14, Kp 0..9, the two F10.7
// values 0..F107_MAX, Cd 0..CD_MAX, Cr 0..CR_MAX, A/m 0..AM_MAX (orbit/vorlixnum.h).
// A count outside 0..10 reads no names. The names (blank lines skipped, leading blanks dropped) go
// to cfgname[0..] and satnr becomes the number of names found.
//
// Only a regular file is read; a directory, FIFO or device is never waited
// on and reads as CFG_UNREADABLE, like a file without read permission.
int getcfg(WinpData* d, const char* path = CFG_FILENAME);

// Writes the persistent settings of d in the format getcfg reads (numbers
// with a decimal point whatever the locale; texts up to a line break, the
// record's Latin-1 texts in UTF-8, the TLE file name as it is). The file is
// written into a temporary file of its own beside path and renamed over it
// when whole and synced (SafeFile), so the old file stays as it was when
// anything fails. Returns 0 when written,
// 1 when it could not be written, CFG_KEPT when path is there but cannot be
// read: settings that could not be read are the user's, not ours to replace
// with the defaults; CFG_TLEFILE when path names the element file tlenm (or
// a guarded one, engine/savefile.h) through a symbolic or a hard link: the
// elements are never replaced by the settings, and nothing is opened for
// writing. On a failure *why (when given) tells the reason: an errno or one
// of the safe writer's own (OpenRegularError gives the text); 0 when written
// and for CFG_TLEFILE.
constexpr int CFG_KEPT = 2;
constexpr int CFG_TLEFILE = 3;
int putcfg(const WinpData* d, const char* path = CFG_FILENAME, int* why = nullptr);

// First line of the welcome page.
constexpr const char* WELCOME_LINE = "   *** Welcome to Vorlix Version 11.8 ***";

// Start-up: reads the clock and the system time zone, gives every field of d
// its start value, reads the configuration file cfgpath, sets the entered
// date and time to the local time now, loads each configured satellite found
// in the TLE file into the slots 0.. (in configuration order; missing ones
// are skipped), and appends the welcome and settings page to o. A damaged or
// unreadable configuration is reported on the page (defaults stand); a TLE
// file that cannot be opened is reported too and tlenm becomes "*".
void swelcm(WinpData* d, WoutData* o, const char* cfgpath = CFG_FILENAME);

#endif
