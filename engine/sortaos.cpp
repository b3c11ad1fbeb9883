// Time order for the all-satellite list in the save file.
//
// The list is written satellite after satellite; here its pass lines are put
// into time order. The whole block is read into memory and stably sorted by
// key, which gives the same file as selecting the lines key by key from the
// file, but in one read instead of one read per distinct key.

#include "engine/sortaos.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "engine/safefile.h"

namespace {

// Characters of one read piece: a line longer than this is taken in pieces.
constexpr size_t kPieceMax = 159;
// Shortest piece that is kept at all, and shortest pass line.
constexpr size_t kMinLine = 3;
constexpr size_t kMinPassLine = 17;
// Key bytes that take part in the comparison (the terminator does not).
constexpr size_t kKeyBytes = AOSKEY_SIZE - 1;

struct Piece {
  size_t off;  // offset in the block
  size_t len;  // characters as the line's text (up to a NUL byte, if any)
};

struct PassLine {
  char key[kKeyBytes];
  Piece text;
};

bool isHeaderStart(char c) {
  return c == 'm' || c == 'G' || c == 'Y' || c == '=' || c == ' ';
}

bool writeAll(FILE* f, const char* p, size_t n) {
  return n == 0 || fwrite(p, 1, n, f) == n;
}

// Copies the first n bytes of src to dst.
bool copyPrefix(FILE* src, FILE* dst, long n) {
  if (fseek(src, 0, SEEK_SET) != 0) return false;
  std::vector<char> buf(1 << 16);
  while (n > 0) {
    size_t want = std::min(buf.size(), static_cast<size_t>(n));
    size_t got = fread(buf.data(), 1, want, src);
    if (got != want || !writeAll(dst, buf.data(), got)) return false;
    n -= static_cast<long>(got);
  }
  return true;
}

// errno, or a plain input/output error when a failure left none.
int failure() { return errno != 0 ? errno : EIO; }

// The reason of a failed read of the save file, which is then closed.
int readFailure(FILE* in) {
  const int err = failure();
  fclose(in);
  return err;
}

// Sorts the block: 0 when it is in time order (also when there was nothing
// to order), else why the save file stays as it was (an errno or a writer's
// reason). The temporary file is gone on return.
int sortBlock(const std::string& path, long start) {
  // Only a regular file has a size to read (a directory may open and report
  // LLONG_MAX as its end; a FIFO would wait for a writer).
  errno = 0;
  FILE* in = OpenRegular(path.c_str(), "rb");
  if (!in) return failure();
  if (fseek(in, 0, SEEK_END) != 0) return readFailure(in);
  long size = ftell(in);
  if (size < 0) return readFailure(in);
  if (start < 0) start = 0;
  if (start >= size) { fclose(in); return 0; }

  // The block and its line index; a file too large for the memory is left
  // as it is.
  std::string blk;
  std::vector<Piece> headers;
  std::vector<PassLine> passes;
  try {
    blk.assign(static_cast<size_t>(size - start), '\0');
    errno = 0;
    if (fseek(in, start, SEEK_SET) != 0 ||
        fread(&blk[0], 1, blk.size(), in) != blk.size())
      return readFailure(in);

    // Split into pieces the way a line reader with a 160-byte buffer does.
    const char* const base = blk.data();
    size_t pos = 0;
    while (pos < blk.size()) {
      size_t lim = std::min(blk.size() - pos, kPieceMax);
      const char* p = base + pos;
      const void* nl = memchr(p, '\n', lim);
      size_t plen = nl ? static_cast<size_t>(static_cast<const char*>(nl) - p) + 1 : lim;
      Piece pc{pos, strnlen(p, plen)};
      pos += plen;
      if (pc.len < kMinLine) continue;
      if (isHeaderStart(p[0])) {
        headers.push_back(pc);
      } else if (pc.len >= kMinPassLine) {
        PassLine pl;
        char key[AOSKEY_SIZE];
        CpMMM(key, p);  // reads at most 16 characters, all inside the piece
        memcpy(pl.key, key, kKeyBytes);
        pl.text = pc;
        passes.push_back(pl);
      }
    }
  } catch (const std::exception&) {  // bad_alloc, length_error
    fclose(in);
    return ENOMEM;
  }
  if (passes.size() <= 1) { fclose(in); return 0; }

  std::stable_sort(passes.begin(), passes.end(),
                   [](const PassLine& x, const PassLine& y) {
                     return memcmp(x.key, y.key, kKeyBytes) < 0;
                   });

  // The sorted file is written as "vorlix.tmp" beside the save file.
  const char* base = blk.data();
  SafeFile file(path.c_str(), "vorlix.tmp");
  if (!file.open()) {
    fclose(in);
    return file.error() != 0 ? file.error() : EIO;
  }
  // (A name given to a device or FIFO since it was read is left to it.)
  if (file.direct()) {
    fclose(in);
    file.abandon();
    return EINVAL;
  }
  FILE* out = file.file();
  errno = 0;
  bool ok = copyPrefix(in, out, start);
  fclose(in);
  for (const Piece& h : headers) {
    if (!ok) break;
    ok = writeAll(out, base + h.off, h.len);
  }
  int c = 5;
  for (const PassLine& pl : passes) {
    if (!ok) break;
    if (c == 5) {
      ok = writeAll(out, "\n", 1);
      c = 1;
    } else {
      ++c;
    }
    ok = ok && writeAll(out, base + pl.text.off, pl.text.len);
  }
  if (!ok) return failure();
  // (Sorted also when only the folder's sync failed: the file holds the order.)
  if (SafeFile::saved(file.commit())) return 0;
  return file.error() != 0 ? file.error() : EIO;
}

}  // namespace

void CpMMM(char* key, const char* line) {
  static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  // DEC takes 'M', not 'L': the letters only have to keep the months in order.
  static const char kLetters[13] = "ABCDEFGHIJKM";
  char letter = 'X';
  for (int m = 0; m < 12; ++m) {
    if (strncmp(line, kMonths[m], 3) == 0) {
      letter = kLetters[m];
      break;
    }
  }
  key[0] = letter;
  int k = 0;
  for (; k < 16 && line[k] != '\0'; ++k) key[1 + k] = line[k];
  for (; k < 16; ++k) key[1 + k] = '\0';
  key[AOSKEY_SIZE - 1] = '\0';
}

int SortAos(const WinpData* d, long start, int* why) {
  const int err = sortBlock(std::string(d->savnm, strnlen(d->savnm, FILENAME_SIZE)), start);
  outptr = nullptr;
  if (why) *why = err;
  return err == 0 ? SORTAOS_DONE : SORTAOS_FAILED;
}
