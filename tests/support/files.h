// Whole files, private temporary directories and a file size limit for the
// tests and benchmarks.
#ifndef VORLIX_TESTS_SUPPORT_FILES_H
#define VORLIX_TESTS_SUPPORT_FILES_H

#include <dirent.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void writeFile(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << data;
}

namespace support {

// A directory of its own under /tmp, removed with everything in it when the
// object goes. Tests run in parallel: a file name shared between two test
// programs (the sort's "vorlix.tmp" beside the save file, say) must never
// meet in one directory. path is empty when the directory could not be made.
struct TempDir {
  std::string path;
  TempDir() {
    char tmpl[] = "/tmp/vorlix-test-XXXXXX";
    if (mkdtemp(tmpl)) path = tmpl;
  }
  ~TempDir() {
    if (path.empty()) return;
    std::error_code err;
    std::filesystem::remove_all(path, err);
    if (err) std::fprintf(stderr, "cannot remove %s: %s\n", path.c_str(), err.message().c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// A path in this process's own temporary directory (made at the first call,
// removed when the process ends).
inline std::string tempPath(const std::string& name) {
  static const TempDir dir;
  return dir / name;
}

// The names in a directory ("." and ".." left out), sorted; empty when it
// cannot be read. Compared with the names a case expects, it shows a
// temporary file left behind whatever name it was given.
using Names = std::vector<std::string>;
inline Names DirNames(const std::string& dir) {
  Names v;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") v.push_back(n);
    }
    closedir(d);
  }
  std::sort(v.begin(), v.end());
  return v;
}

// Makes a node at path that is no regular file: 'c' a character device like
// the null device (1, 3), 'f' one like the full device (1, 7: every write
// fails with ENOSPC), 'n' a character device and 'b' a block device of a
// number no driver has (240, 0: opening it fails with ENXIO), 'p' a FIFO.
// False when it cannot be made (a device needs root).
inline bool MakeNode(const std::string& path, char kind) {
  switch (kind) {
    case 'c': return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case 'f': return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    case 'n': return mknod(path.c_str(), S_IFCHR | 0666, makedev(240, 0)) == 0;
    case 'b': return mknod(path.c_str(), S_IFBLK | 0600, makedev(240, 0)) == 0;
    case 'p': return mkfifo(path.c_str(), 0666) == 0;
    default: return false;
  }
}

// The type bits of what path names (S_IFREG, S_IFCHR, ...; the link itself
// for a symbolic link), 0 when nothing.
inline mode_t NodeType(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// Files of this process may not grow beyond `bytes` while it lives, as on a
// full disk. SIGXFSZ keeps what the process made of it (its default action
// ends the process): the writers under test must see to it that a write
// beyond the limit fails with EFBIG instead, as in the programs.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit r = old_;
    r.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &r) == 0;
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit old_;
  bool ok_ = false;
};

}  // namespace support

#endif
