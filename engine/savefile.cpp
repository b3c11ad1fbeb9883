// The save file: the one writer through which every block of the lists, the
// orbit track and the pass details goes into savnm.
#include "engine/savefile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/safefile.h"

namespace {

// The element files the guards hold: device, inode and the name given.
struct Guarded {
  unsigned long id;
  dev_t dev;
  ino_t ino;
  std::string name;
};
std::mutex guardLock;
std::vector<Guarded> guarded;
unsigned long lastGuard = 0;

// Each thread's last outcome (the all-satellite list runs its search on
// threads of its own, but writes on the calling one).
thread_local SaveFileOutcome lastOutcome;

int outcome(int result, int err, std::string elementFile = std::string()) {
  lastOutcome.result = result;
  lastOutcome.err = err;
  lastOutcome.elementFile = std::move(elementFile);
  return result;
}

// errno, or a plain input/output error when a failure left none.
int failure() { return errno != 0 ? errno : EIO; }

}  // namespace

ElementFileGuard::ElementFileGuard(const char* path) {
  struct stat st;
  if (!path || stat(path, &st) != 0) return;
  std::lock_guard<std::mutex> lock(guardLock);
  id_ = ++lastGuard;
  guarded.push_back({id_, st.st_dev, st.st_ino, path});
}

ElementFileGuard::~ElementFileGuard() {
  if (id_ == 0) return;
  std::lock_guard<std::mutex> lock(guardLock);
  guarded.erase(std::remove_if(guarded.begin(), guarded.end(),
                               [this](const Guarded& g) { return g.id == id_; }),
                guarded.end());
}

std::string ElementFileOf(const char* path, const char* tlenm) {
  struct stat st, el;
  if (!path || stat(path, &st) != 0) return std::string();
  if (tlenm && stat(tlenm, &el) == 0 && el.st_dev == st.st_dev && el.st_ino == st.st_ino)
    return tlenm;
  std::lock_guard<std::mutex> lock(guardLock);
  for (const Guarded& g : guarded)
    if (g.dev == st.st_dev && g.ino == st.st_ino) return g.name;
  return std::string();
}

const char* TleSaveIsElementFile() { return "The TLE save file is the element file: nothing saved"; }

void PutFileReason(WoutData* o, const char* lead, const char* what, const char* name,
                   const char* reason, const char* close) {
  if (!o) return;
  const std::string head = std::string(lead) + what + " ";
  const std::string tail = std::string(": ") + reason + close;
  const bool fits = head.size() + strnlen(name, FILENAME_SIZE) + tail.size() <=
                    static_cast<size_t>(WOUT_LINELEN);
  const int lines = fits ? 1 : 2;
  o->nlines = std::clamp(o->nlines, 0, WOUT_NLINES - lines);
  if (fits) {
    PutNxtLnName(o, head.c_str(), name, tail.c_str());
    return;
  }
  PutNxtLnName(o, head.c_str(), name, ":");
  PutNxtLn(o, (std::string(lead) + reason + close).c_str());
}

int WriteSaveFile(WinpData* d, bool anew, const std::function<bool(FILE*)>& write, long* start) {
  // Never over (or into) an element file.
  std::string elements = ElementFileOf(d->savnm, d->tlenm);
  if (!elements.empty()) return outcome(SAVE_TLEFILE, 0, std::move(elements));
  // A file that is gone (removed since it was named: the append finds none)
  // is made anew: a failed or empty block then leaves nothing behind, and
  // the new name is synced into its folder.
  bool fresh = anew || d->svnew != 0;
  SafeFile file(d->savnm);
  AppendFile more(d->savnm);
  FILE* f = nullptr;
  int err = 0;
  if (!fresh) {
    errno = 0;
    if (more.open())
      f = more.file();
    else if (errno == ENOENT)
      fresh = true;
    else
      err = failure();
  }
  if (fresh) {
    if (file.open())
      f = file.file();
    else
      err = file.error() != 0 ? file.error() : EIO;
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
  // Nothing written: a new file would replace the old one by nothing. (A
  // file written in place holds its old bytes until the commit: what was
  // given counts, not its size.)
  bool empty = false;
  if (ok && from >= 0) empty = (fresh ? file.written() : more.written()) == 0;
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
