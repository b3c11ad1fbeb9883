// The one way a file of the program is written: after a full disk or any
// other failed write the file holds its whole old content, byte for byte,
// and a file that is replaced holds the whole old or the whole new one at
// every moment, a crash too. The file stays what it was (its owner, group,
// permissions, extended attributes and links). The engine's writers and the
// window layer use it alike.
//
// What the target is decides how it is written, alike for a new file and an
// append (a symbolic link is followed, but a link of the process file system
// such as /dev/stdout or /proc/self/fd/1 is not: it names an open file, which
// is written itself, whatever it is):
// - missing: a new file, made under a temporary name beside it and renamed
//   to its name once every byte was written and synced (SafeFile); an
//   append to a missing file fails (ENOENT): it is a new file;
// - a regular file: replaced the same way (SafeFile) when the replacement
//   can keep everything the file is: its owner and group (this process may
//   give them), its extended attributes (they hold its access control
//   list) and its only name (one link). When it cannot, or no temporary
//   file can be made in the folder, the file is written over in place, its
//   old content kept in memory and put back after any failure. An append
//   (AppendFile) goes to the end and is cut back on failure. A regular file
//   named through a descriptor of this process (/dev/stdout) is written
//   through it, where it stands, as any write to it would be, and cut back
//   on failure when it was written at its end;
// - a character device or a FIFO: written directly, as a plain open would,
//   never replaced: it keeps its type. Nothing here ever waits for ever:
//   the open fails at once for a FIFO that nobody reads; a write fails when
//   its reader takes nothing for the patience set by SetDirectWritePatience
//   (a reader that takes anything, however little, starts it again), and
//   when the reader went away (EPIPE);
// - anything else (a block device, a socket, a directory): refused before
//   it is opened (NoRegularFile: EINVAL; EISDIR for a directory).
// No write here ends the process by a signal, whatever the process does with
// them: a FIFO whose reader went away fails with EPIPE (no SIGPIPE), a file
// size limit with EFBIG (no SIGXFSZ).
#ifndef VORLIX_ENGINE_SAFEFILE_H
#define VORLIX_ENGINE_SAFEFILE_H

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

// The writers' failures are errno values, or one of these reasons of their
// own, beyond the range of errno (whose values stay below 4096);
// OpenRegularError gives the text of each.
enum WriteReason {
  WRITE_NO_READER = 0x10001,  // a FIFO opened with nobody reading it
  WRITE_FIFO_STALLED,         // a FIFO whose reader took nothing for the patience
  WRITE_DEVICE_STALLED,       // a device that took nothing for the patience
  WRITE_RESTORE_FAILED,       // a file written in place whose old content
                              // could not be put back after a failure
};

struct DirectSink;

class SafeFile {
 public:
  // What commit achieved. Done and Unsynced mean the target holds the new
  // content (it was saved); anything else but RestoreFailed leaves a
  // regular target as it was, byte for byte. A device or FIFO written directly holds what was
  // written before a failure: bytes given to a device cannot be taken back.
  enum Result {
    Done = 0,       // the target holds the new content, on the disk
    NotOpen,        // open() failed or was never called
    WriteFailed,    // a write, flush, mode change, sync or close failed
    ReplaceFailed,  // the rename over the target failed
    Unsynced,       // the target was replaced and holds the new content,
                    // but the sync of its folder after the rename failed
                    // (error() tells why): the new name may not survive a
                    // power loss
    RestoreFailed,  // a file written in place failed, and so did putting
                    // its old content back: it may be damaged (error() is
                    // WRITE_RESTORE_FAILED)
  };

  // The target path. A symbolic link is followed: the temporary file is made
  // beside the file the link points to, and that file is replaced, so the link
  // stays a link. The temporary file gets a name of its own beside the
  // target: the target's name (or tmpName, in the target's directory) with a
  // dot and six letters or digits appended, never an existing file's; when
  // that would be too long a name for the folder, "vorlix.tmp." and the
  // letters.
  explicit SafeFile(const char* path, const char* tmpName = nullptr);
  // r says the target holds the new content (Done or Unsynced).
  static bool saved(Result r) { return r == Done || r == Unsynced; }
  // An uncommitted temporary file is closed and removed.
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Creates the temporary file under a new unique name: for an existing
  // target with its owner, group, permission bits (never its set-user-ID or
  // set-group-ID bit) and extended attributes (never a program's
  // capabilities), for a missing one with the usual mode (0666 less the
  // umask, applied by the system). An existing file that such a copy cannot
  // replace whole is opened to be written in place instead (inPlace()); a
  // character device or a FIFO is opened itself (direct()). False when nothing can be created or opened, when the target
  // exists and this user may not write it (a write-protected file is kept),
  // or when the target is something else that is no regular file; error()
  // tells why (OpenRegularError gives the text).
  bool open();
  // The target is a character device or a FIFO, written directly: no
  // temporary file, nothing renamed.
  bool direct() const { return direct_; }
  // The target is written over in place at the commit, instead of being
  // replaced: the caller's writes are kept in memory until then.
  bool inPlace() const { return inPlace_; }
  // The stream for the caller's writes (null when not open). It may have no
  // descriptor of its own (fileno -1): written() tells how much it took.
  FILE* file() const { return f_; }
  // Writes n bytes, or a text; false once any write failed.
  bool write(const void* p, size_t n);
  bool put(const char* s);
  // The bytes given so far (through write, put or file()), whatever the
  // target is: a temporary file, memory for a file written in place, or a
  // device or FIFO (whose stream is flushed first; after a failed write
  // there, the bytes its stream took). -1 when not open. An emptiness check
  // compares it with 0, never the size of fileno(file()).
  long written() const;

  // Flushes the temporary file, gives it the owner, group and permission
  // bits of the file it replaces (as they are now), syncs and closes it,
  // renames it over the target, unless the target has become write-protected
  // or no regular file meanwhile, and syncs the folder. In place, the old
  // content is read, the new one written over it from its start and synced,
  // then the file is cut to its length and synced; after any failure the
  // old content is written back, to its old length, and synced
  // (RestoreFailed when that fails). A direct target is flushed and closed.
  // The result must be looked at: anything but Done or Unsynced means the
  // new content was not saved.
  [[nodiscard]] Result commit();
  // Drops the new content: the temporary file is closed and removed (a
  // file to be written in place is left untouched; a direct target is
  // closed: what it was given stays given, but a regular file named by a
  // descriptor is cut back to where it ended).
  void abandon();

  // The first failure's reason: an errno value or a WriteReason (0 when
  // none).
  int error() const { return err_; }
  // The file that is replaced (the target of a symbolic link).
  const std::string& target() const { return target_; }
  // The temporary file's path (empty until open() made it, and for a
  // direct target or one written in place).
  const std::string& tempPath() const { return tmp_; }

 private:
  bool fail();
  bool fail(int err);
  int streamError() const;
  bool openTemporary(const struct stat* keep);
  bool openInPlace(const struct stat& st);
  bool openDirect(mode_t type);
  bool openShared(int fd);
  void cutBack();
  Result commitInPlace(bool ok);
  bool restoreInPlace(const std::string& old, size_t changed);
  void closeInPlace();

  std::string target_, base_, tmp_;
  FILE* f_ = nullptr;
  int err_ = 0;
  bool bad_ = false;
  bool direct_ = false;
  bool inPlace_ = false;
  std::unique_ptr<DirectSink> sink_;  // a direct target's descriptor
  int fd_ = -1;                       // the file written in place
  char* mem_ = nullptr;               // its new content, until the commit
  size_t memSize_ = 0;
};

// The one way a block is added to the end of a file (the save file's lists):
// the file's size before is kept, and an append that fails is taken back to
// it, so the file never ends in a block cut off mid-line (a full disk, a
// size limit).
class AppendFile {
 public:
  explicit AppendFile(const char* path);
  // An append that was not finished is taken back.
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens an existing file for appending (a character device or a FIFO is
  // written as it is); false, with errno telling why (OpenRegularError gives
  // the text), when it is missing (ENOENT: it is never created here, a new
  // file is SafeFile's), when it cannot be opened (also when this user may
  // not write it), when it is a FIFO that nobody reads, or when it is
  // something else that is no regular file.
  bool open();
  // The stream for the caller's writes (null when not open). It has no
  // descriptor of its own (fileno -1): written() tells how much it took.
  FILE* file() const { return f_; }
  // The bytes given so far (the stream is flushed first; after a failed
  // write, the bytes the stream took); -1 when not open.
  long written() const;
  // The size of the file before the append (-1 for a device or a FIFO,
  // which is not cut back).
  long start() const { return start_; }
  // Flushes, syncs (a regular file) and closes the file; true when every
  // byte was written and synced. When ok is false or anything failed, the
  // file that was opened is cut back to its old size (also when it was
  // renamed meanwhile; a file that took its name is not touched). False
  // leaves errno telling why, when a write failed.
  bool finish(bool ok);

 private:
  void dropCut();

  std::string path_;
  std::unique_ptr<DirectSink> sink_;  // a direct target's descriptor
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
// with err: "not a regular file" for EINVAL, the text of each WriteReason
// ("a FIFO that nobody reads" for WRITE_NO_READER), else the system's text:
// the one text of a writer's reason (strerror knows no WriteReason).
const char* OpenRegularError(int err);

#endif
