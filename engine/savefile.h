// The save file: the one writer through which every block of the lists, the
// orbit track and the pass details goes into savnm, beside the safe writer
// it uses.
#ifndef VORLIX_ENGINE_SAVEFILE_H
#define VORLIX_ENGINE_SAVEFILE_H

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "engine/vorlixcom.h"

// While a guard lives, the file that `path` names when the guard is made
// (found again by device and inode, whatever name it has later) counts as
// an element file of the run: WriteSaveFile and SaveTle refuse it as they
// refuse tlenm. A command that points tlenm at another file for a while
// takes one for the element file it puts aside, so that no save made
// meanwhile can take the user's elements. Guards nest, and every thread
// sees them.
class ElementFileGuard {
 public:
  explicit ElementFileGuard(const char* path);
  ~ElementFileGuard();
  ElementFileGuard(const ElementFileGuard&) = delete;
  ElementFileGuard& operator=(const ElementFileGuard&) = delete;

 private:
  unsigned long id_ = 0;  // 0: nothing held (path named no file)
};

// path names the element file tlenm or a guarded one (through any path or
// link): no writer may take it. ElementFileOf gives the element file's name
// as the run knows it (tlenm, or the name the guard was given), "" when
// path names neither.
std::string ElementFileOf(const char* path, const char* tlenm);
inline bool IsElementFile(const char* path, const char* tlenm) {
  return !ElementFileOf(path, tlenm).empty();
}

// Why the TLE save file was refused when it is an element file, for the
// page and the window alike.
const char* TleSaveIsElementFile();

// A file's name and what went wrong with it on the page: "<lead><what>
// <name>: <reason><close>" as one line when the page's 76 characters hold
// it; else "<lead><what> <name>:" (cut at the line's end when the name is
// longer) and the reason on a line of its own, "<lead><reason><close>": a
// long name never hides the reason. The name keeps its bytes as the file
// system spells it. A full page gives up its last lines to them: the reader
// must see why a file was not written.
void PutFileReason(WoutData* o, const char* lead, const char* what, const char* name,
                   const char* reason, const char* close);

// Results of WriteSaveFile.
constexpr int SAVE_DONE = 0;
constexpr int SAVE_TLEFILE = 1;   // savnm names an element file (IsElementFile): refused
constexpr int SAVE_EMPTY = 2;     // the writer wrote nothing: refused
constexpr int SAVE_FAILED = 3;    // the file could not be opened, or a write failed
constexpr int SAVE_UNSYNCED = 4;  // saved, but the sync of the folder after the
                                  // new file took the old one's place failed: the
                                  // new file may not survive a power loss

// The block is in the file (SAVE_DONE or SAVE_UNSYNCED).
inline bool SaveFileSaved(int result) { return result == SAVE_DONE || result == SAVE_UNSYNCED; }

// The one way a block goes into the save file savnm (the name as it stands,
// resolved by the caller). An element file (IsElementFile, by any name) is
// refused before anything is opened. The block starts a new file when
// `anew` or svnew is set, or when the file is missing, else it is appended.
// write(f) writes the block into f (outptr is f meanwhile, null again on
// return) and returns false when a write failed. A new file is written
// beside savnm and replaces it only when whole (or is written in place, its
// old content put back on failure); an appended block that fails is taken
// back: a failed or empty block leaves the file as it was, a missing one
// missing, and svnew as it was. A character device or a FIFO (with a
// reader) is written directly and stays what it is; a FIFO that nobody
// reads and anything else that is no regular file are refused. After
// a good write svnew is cleared (what is saved next is added) and *start,
// when given, is the block's offset in the file (0 for a new file; -1 when
// written to a device or a FIFO).
int WriteSaveFile(WinpData* d, bool anew, const std::function<bool(FILE*)>& write,
                  long* start = nullptr);

// What the calling thread's last WriteSaveFile came to: its result and, for
// SAVE_FAILED and SAVE_UNSYNCED, the errno of the failure; for SAVE_TLEFILE
// the name of the element file that savnm leads to.
struct SaveFileOutcome {
  SaveFileOutcome() = default;
  SaveFileOutcome(int r, int e, std::string element = std::string())
      : result(r), err(e), elementFile(std::move(element)) {}
  int result = SAVE_DONE;
  int err = 0;
  std::string elementFile;
};
SaveFileOutcome LastSaveFile();

// The reason of an outcome in a few words, for a message: "the save file is
// the element file" (SAVE_TLEFILE), "nothing to save" (SAVE_EMPTY), the
// system's reason (SAVE_FAILED, SAVE_UNSYNCED: "not a regular file", "a FIFO
// that nobody reads", "Permission denied", ...); "" for SAVE_DONE.
const char* SaveFileReason(const SaveFileOutcome& o);

#endif
