// The one way a file of the program is replaced: the new content goes into a
// temporary file beside the target and takes the target's place by a rename
// only when every byte was written and synced, so a reader (or the user after
// a crash, a full disk or a failed write) finds either the whole old file or
// the whole new one. The engine's writers and the window layer use it alike.
//
// What the target is decides how it is written, alike for a new file and an
// append (a symbolic link is followed):
// - missing or a regular file: through a temporary file and a rename
//   (SafeFile), or appended to and cut back on failure (AppendFile);
// - a character device or a FIFO: written directly, as a plain open would,
//   never replaced: it keeps its type. The open never waits: a FIFO that
//   nobody reads fails at once (ENXIO);
// - anything else (a block device, a socket, a directory): refused before
//   it is opened (EINVAL; EISDIR for a directory).
#ifndef VORLIX_ENGINE_SAFEFILE_H
#define VORLIX_ENGINE_SAFEFILE_H

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

class SafeFile {
 public:
  // What commit achieved. Done and Unsynced mean the target holds the new
  // content (it was saved); anything else leaves a replaced target as it
  // was. A device or FIFO written directly holds what was written before a
  // failure: bytes given to a device cannot be taken back.
  enum Result {
    Done = 0,       // the target holds the new content, on the disk
    NotOpen,        // open() failed or was never called
    WriteFailed,    // a write, flush, mode change, sync or close failed
    ReplaceFailed,  // the rename over the target failed
    Unsynced,       // the target was replaced and holds the new content,
                    // but the sync of its folder after the rename failed
                    // (error() tells why): the new name may not survive a
                    // power loss
  };

  // The target path. A symbolic link is followed: the temporary file is made
  // beside the file the link points to, and that file is replaced, so the link
  // stays a link. The temporary file gets a name of its own beside the
  // target: the target's name (or tmpName, in the target's directory) with a
  // dot and six letters or digits appended, never an existing file's.
  explicit SafeFile(const char* path, const char* tmpName = nullptr);
  // r says the target holds the new content (Done or Unsynced).
  static bool saved(Result r) { return r == Done || r == Unsynced; }
  // An uncommitted temporary file is closed and removed.
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Creates the temporary file under a new unique name: for an existing
  // target with its owner and group (as far as this process may give them)
  // and its permission bits (never its set-user-ID or set-group-ID bit),
  // for a missing one with the usual mode (0666 less the umask, applied by
  // the system). A character device or a FIFO is opened itself instead
  // (direct()). False when it cannot be created or opened, when the target
  // exists and this user may not write it (a write-protected file is kept),
  // or when the target is something else that is no regular file; error()
  // tells why (OpenRegularError gives the text).
  bool open();
  // The target is a character device or a FIFO, written directly: no
  // temporary file, nothing renamed.
  bool direct() const { return direct_; }
  // The target is written over in place (its content kept in memory to be
  // put back on failure) instead of being replaced.
  bool inPlace() const { return inPlace_; }
  // The stream for the caller's writes (null when not open).
  FILE* file() const { return f_; }
  // Writes n bytes, or a text; false once any write failed.
  bool write(const void* p, size_t n);
  bool put(const char* s);
  // The bytes given so far (through write, put or file()), whatever the
  // target is; -1 when not open.
  long written() const;

  // Flushes the temporary file, gives it the owner, group and permission
  // bits of the file it replaces (as they are now), syncs and closes it,
  // renames it over the target, unless the target has become write-protected
  // or no regular file meanwhile, and syncs the folder. A direct target is
  // flushed and closed. The result must be looked at: anything but Done or
  // Unsynced means the new content was not saved.
  [[nodiscard]] Result commit();
  // Drops the new content: the temporary file is closed and removed (a
  // direct target is closed; what it was given stays given).
  void abandon();

  // errno of the first failure (0 when none).
  int error() const { return err_; }
  // The file that is replaced (the target of a symbolic link).
  const std::string& target() const { return target_; }
  // The temporary file's path (empty until open() made it, and for a
  // direct target).
  const std::string& tempPath() const { return tmp_; }

 private:
  bool fail();
  bool openDirect();

  std::string target_, base_, tmp_;
  FILE* f_ = nullptr;
  int err_ = 0;
  bool bad_ = false;
  bool direct_ = false;
  bool inPlace_ = false;
};

// The one way a block is added to the end of a file (the save file's lists):
// the file's size before is kept, and an append that fails is taken back to
// it, so the file never ends in a block cut off mid-line (a full disk, a
// size limit).
class AppendFile {
 public:
  explicit AppendFile(const char* path) : path_(path ? path : "") {}
  // An append that was not finished is taken back.
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens the file for appending (it is created when missing; a character
  // device or a FIFO is written as it is); false, with errno telling why
  // (OpenRegularError gives the text), when it cannot be opened (also when
  // this user may not write it), when it is a FIFO that nobody reads, or
  // when it is something else that is no regular file.
  bool open();
  FILE* file() const { return f_; }
  // The size of the file before the append (-1 for a device or a FIFO,
  // which is not cut back).
  long start() const { return start_; }
  // Flushes, syncs (a regular file) and closes the file; true when every
  // byte was written and synced. When ok is false or anything failed, the
  // file that was opened is cut back to its old size (also when it was
  // renamed meanwhile; a file that took its name is not touched).
  bool finish(bool ok);

 private:
  void dropCut();

  std::string path_;
  FILE* f_ = nullptr;
  int cut_ = -1;  // a descriptor of the opened regular file, for the cut back
  long start_ = 0;
};

// Why a node of type mode is no regular file: 0 for a regular file, EISDIR
// for a directory, EINVAL for anything else.
int NoRegularFile(mode_t mode);

// How long, in milliseconds, a write to a FIFO or a character device may wait
// for its reader to take anything before it fails; negative: for ever. For
// the whole process; 1000 unless set.
void SetDirectWritePatience(int ms);

// a and b name the same existing file (through any path or link).
bool SameFile(const char* a, const char* b);

// Opens a file by name for reading (mode "r" or "rb") only when it is a
// regular file: a FIFO (whose open would wait for a writer for ever), a
// device (whose open alone may act: a terminal would become the controlling
// one) or a directory is refused at once, without being opened, as a
// missing file is. Null then, with errno telling why (EISDIR for a
// directory, EINVAL for anything else that is no regular file, EAGAIN when
// the name was given to another file between the look and the open).
FILE* OpenRegular(const char* path, const char* mode = "r");

// The reason for a message when OpenRegular, SafeFile or AppendFile failed
// with errno err: "not a regular file" for EINVAL, "a FIFO that nobody
// reads" for ENXIO, else the system's text.
const char* OpenRegularError(int err);

#endif
