// The save file: the one writer through which every block of the lists, the
// orbit track and the pass details goes into savnm.
#include "engine/savefile.h"

#include <sys/stat.h>

#include <cerrno>

#include "engine/safefile.h"

namespace {

// Each thread's last outcome (the all-satellite list runs its search on
// threads of its own, but writes on the calling one).
thread_local SaveFileOutcome lastOutcome;

int outcome(int result, int err) {
  lastOutcome.result = result;
  lastOutcome.err = err;
  return result;
}

// errno, or a plain input/output error when a failure left none.
int failure() { return errno != 0 ? errno : EIO; }

}  // namespace

int WriteSaveFile(WinpData* d, bool anew, const std::function<bool(FILE*)>& write, long* start) {
  // Never over (or into) the element file.
  if (SameFile(d->savnm, d->tlenm)) return outcome(SAVE_TLEFILE, 0);
  const bool fresh = anew || d->svnew != 0;
  SafeFile file(d->savnm);
  AppendFile more(d->savnm);
  FILE* f = nullptr;
  int err = 0;
  if (fresh) {
    if (file.open())
      f = file.file();
    else
      err = file.error() != 0 ? file.error() : EIO;
  } else {
    errno = 0;
    if (more.open())
      f = more.file();
    else
      err = failure();
  }
  if (!f) return outcome(SAVE_FAILED, err);
  // A device or a FIFO has no size to compare with: a new block starts
  // wherever the reader is.
  const long from = fresh ? (file.direct() ? -1 : 0) : more.start();
  outptr = f;
  errno = 0;
  bool ok = write(f);
  outptr = nullptr;
  if (ok && std::fflush(f) != 0) ok = false;
  if (!ok) err = failure();
  // Nothing written: a new file would replace the old one by nothing.
  struct stat st;
  const bool empty = ok && from >= 0 && fstat(fileno(f), &st) == 0 && st.st_size == from;
  bool unsynced = false;
  if (fresh) {
    if (empty) {
      file.abandon();
      return outcome(SAVE_EMPTY, 0);
    }
    if (!ok) return outcome(SAVE_FAILED, err);
    switch (file.commit()) {
      case SafeFile::Done:
        break;
      case SafeFile::Unsynced:
        // The file holds the block: it was saved, and svnew goes.
        unsynced = true;
        err = file.error();
        break;
      default:
        return outcome(SAVE_FAILED, file.error() != 0 ? file.error() : EIO);
    }
  } else {
    errno = 0;
    if (!more.finish(ok && !empty)) {
      if (empty) return outcome(SAVE_EMPTY, 0);
      return outcome(SAVE_FAILED, ok ? failure() : err);
    }
  }
  d->svnew = 0;
  if (start) *start = from;
  return unsynced ? outcome(SAVE_UNSYNCED, err) : outcome(SAVE_DONE, 0);
}

SaveFileOutcome LastSaveFile() { return lastOutcome; }

const char* SaveFileReason(const SaveFileOutcome& o) {
  switch (o.result) {
    case SAVE_DONE:
      return "";
    case SAVE_TLEFILE:
      return "the save file is the element file";
    case SAVE_EMPTY:
      return "nothing to save";
    default:
      return OpenRegularError(o.err != 0 ? o.err : EIO);
  }
}
