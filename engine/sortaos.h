// Time order for the all-satellite list in the save file.
#ifndef VORLIX_ENGINE_SORTAOS_H
#define VORLIX_ENGINE_SORTAOS_H

#include "engine/vorlixcom.h"

// Bytes of a sort key, terminator included.
constexpr int AOSKEY_SIZE = 18;

// Sort key of a pass line: a month letter ('A'..'K' for JAN..NOV, 'M' for
// DEC, 'X' when the line does not start with a month word) followed by the
// line's first 16 characters, padded with terminators when shorter. Keys
// compare as byte strings; with the "MMM DD  HH:MM:SS" start of a pass line
// they order by month, day and time within one year (the key knows no year:
// a list that crosses the year end puts JAN before DEC).
// key: AOSKEY_SIZE bytes.
void CpMMM(char* key, const char* line);

// Rewrites the block of the save file d->savnm that starts at byte offset
// `start` in time order; everything before `start` is copied unchanged.
//
// The caller (the all-satellite list) passes the size of the save file at the
// moment it began writing its header: 0 when it opened the file with "w",
// otherwise the end offset after opening with "a" (fseek to the end, ftell).
// Earlier blocks of the file (pass lists, pass details, tracks) are thus never
// touched. A negative start counts as 0.
//
// Within the block the file is read in pieces of at most 159 characters (a
// longer line yields its first 159 characters without a line end, the rest
// as further pieces). A piece shorter than 3 characters is dropped; one that
// starts with 'm', 'G', 'Y', '=' or a blank is a header line; any other is a
// pass line when it has at least 17 characters, else it is dropped. The block
// becomes: the header lines in file order, then the pass lines ordered by
// their CpMMM key (equal keys keep their file order), with an empty line
// before the 1st, 6th, 11th ... pass line. Lines are written verbatim.
//
// With at most one pass line in the block the file is left byte for byte as
// it was. The new file is written to a temporary file of its own ("vorlix.tmp"
// with a unique ending) in the save file's directory
// and renamed over the save file, so a failure at any step leaves the save
// file as it was. outptr is null afterwards.
//
// Returns SORTAOS_DONE when the block is in time order (also when it holds
// nothing to order: at most one pass line, or nothing at or after start),
// SORTAOS_FAILED when the file was left as it was, its block in the order it
// was written: it could not be read (missing, no regular file: a FIFO or a
// device gave its lines away), or the sorted copy could not be written whole
// (a full disk). *why (when given) tells why: an errno or one of the safe
// writer's reasons (OpenRegularError gives the text); 0 when done.
constexpr int SORTAOS_DONE = 0;
constexpr int SORTAOS_FAILED = 1;
int SortAos(const WinpData* d, long start, int* why = nullptr);

#endif
