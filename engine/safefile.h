// The one way a file of the program is replaced: the new content goes into a
// temporary file beside the target and takes the target's place by a rename
// only when every byte was written and synced, so a reader (or the user after
// a crash, a full disk or a failed write) finds either the whole old file or
// the whole new one. The engine's writers and the window layer use it alike.
#ifndef VORLIX_ENGINE_SAFEFILE_H
#define VORLIX_ENGINE_SAFEFILE_H

#include <cstddef>
#include <cstdio>
#include <string>

class SafeFile {
 public:
  // What commit achieved. Anything but Done leaves the target as it was,
  // except a failed sync of the folder after the rename.
  enum Result {
    Done = 0,       // the target holds the new content, on the disk
    NotOpen,        // open() failed or was never called
    WriteFailed,    // a write, flush, mode change, sync or close failed, or
                    // the sync of the folder after the rename (the target
                    // may then hold the new content, which may not survive
                    // a power loss)
    ReplaceFailed,  // the rename over the target failed
  };

  // The target path. A symbolic link is followed: the temporary file is made
  // beside the file the link points to, and that file is replaced, so the link
  // stays a link. The temporary file gets a name of its own beside the
  // target: the target's name (or tmpName, in the target's directory) with a
  // dot and six letters or digits appended, never an existing file's.
  explicit SafeFile(const char* path, const char* tmpName = nullptr);
  // An uncommitted temporary file is closed and removed.
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Creates the temporary file under a new unique name, readable and
  // writable by its owner alone, or with the permission bits of an existing
  // target (never its set-user-ID or set-group-ID bit).
  // False when it cannot be created, or when the target exists and this
  // user may not write it (a write-protected file is kept); error() tells
  // why.
  bool open();
  // The temporary file's stream for the caller's writes (null when not open).
  FILE* file() const { return f_; }
  // Writes n bytes, or a text; false once any write failed.
  bool write(const void* p, size_t n);
  bool put(const char* s);

  // Flushes the temporary file, gives it the permission bits of the file it
  // replaces (a new file gets the usual ones: 0666 without the umask's),
  // syncs and closes it, renames it over the target, unless the target has
  // become write-protected meanwhile, and syncs the folder. The result must
  // be looked at: a failed commit means the new content was not saved.
  [[nodiscard]] Result commit();
  // Drops the new content: the temporary file is closed and removed.
  void abandon();

  // errno of the first failure (0 when none).
  int error() const { return err_; }
  // The file that is replaced (the target of a symbolic link).
  const std::string& target() const { return target_; }
  // The temporary file's path (empty until open() made it).
  const std::string& tempPath() const { return tmp_; }

 private:
  bool fail();

  std::string target_, base_, tmp_;
  FILE* f_ = nullptr;
  int err_ = 0;
  bool bad_ = false;
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

  // Opens the file for appending (it is created when missing); false when
  // it cannot be opened (also when this user may not write it).
  bool open();
  FILE* file() const { return f_; }
  // The size of the file before the append (-1 for a device, which is not
  // cut back).
  long start() const { return start_; }
  // Flushes and closes the file; true when every byte was written. When ok
  // is false or anything failed, the file that was opened is cut back to its
  // old size (also when it was renamed meanwhile; a file that took its name
  // is not touched).
  bool finish(bool ok);

 private:
  void dropCut();

  std::string path_;
  FILE* f_ = nullptr;
  int cut_ = -1;  // a descriptor of the opened regular file, for the cut back
  long start_ = 0;
};

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

// The reason for a message when OpenRegular failed with errno err: "not a
// regular file" for EINVAL, else the system's text.
const char* OpenRegularError(int err);

#endif
