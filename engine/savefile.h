// The save file: the one writer through which every block of the lists, the
// orbit track and the pass details goes into savnm, beside the safe writer
// it uses.
#ifndef VORLIX_ENGINE_SAVEFILE_H
#define VORLIX_ENGINE_SAVEFILE_H

#include <cstdio>
#include <functional>

#include "engine/vorlixcom.h"

// Results of WriteSaveFile.
constexpr int SAVE_DONE = 0;
constexpr int SAVE_TLEFILE = 1;   // savnm names the element file tlenm: refused
constexpr int SAVE_EMPTY = 2;     // the writer wrote nothing: refused
constexpr int SAVE_FAILED = 3;    // the file could not be opened, or a write failed
constexpr int SAVE_UNSYNCED = 4;  // saved, but the sync of the folder after the
                                  // new file took the old one's place failed: the
                                  // new file may not survive a power loss

// The block is in the file (SAVE_DONE or SAVE_UNSYNCED).
inline bool SaveFileSaved(int result) { return result == SAVE_DONE || result == SAVE_UNSYNCED; }

// The one way a block goes into the save file savnm (the name as it stands,
// resolved by the caller). The element file (by any name) is refused before
// anything is opened. The block starts a new file when `anew` or svnew is
// set, else it is appended. write(f) writes the block into f (outptr is f
// meanwhile, null again on return) and returns false when a write failed.
// A new file is written beside savnm and replaces it only when whole; an
// appended block that fails is taken back: a failed or empty block leaves
// the file as it was, and svnew as it was. A character device or a FIFO
// (with a reader) is written directly and stays what it is; a FIFO that
// nobody reads and anything else that is no regular file are refused. After
// a good write svnew is cleared (what is saved next is added) and *start,
// when given, is the block's offset in the file (0 for a new file; -1 when
// written to a device or a FIFO).
int WriteSaveFile(WinpData* d, bool anew, const std::function<bool(FILE*)>& write,
                  long* start = nullptr);

// What the calling thread's last WriteSaveFile came to: its result and, for
// SAVE_FAILED and SAVE_UNSYNCED, the errno of the failure.
struct SaveFileOutcome {
  int result = SAVE_DONE;
  int err = 0;
};
SaveFileOutcome LastSaveFile();

// The reason of an outcome in a few words, for a message: "the save file is
// the element file" (SAVE_TLEFILE), "nothing to save" (SAVE_EMPTY), the
// system's reason (SAVE_FAILED, SAVE_UNSYNCED: "not a regular file", "a FIFO
// that nobody reads", "Permission denied", ...); "" for SAVE_DONE.
const char* SaveFileReason(const SaveFileOutcome& o);

#endif
