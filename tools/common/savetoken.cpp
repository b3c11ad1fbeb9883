#include "savetoken.h"

#include <cstring>

namespace savetoken {

namespace {
constexpr int kMaxBefore = 14;  // the blank lies at most this far before the point
constexpr int kMaxToken = 17;   // characters of a token, its blank included
constexpr int kLastPos = kPieceSize - 1;
}  // namespace

bool NumberToken(const char* line, int k, int& begin, int& end) {
  if (!line || k < 1) return false;
  const int len = static_cast<int>(std::strlen(line));
  if (k >= len || line[k] != '.') return false;
  int b = k - 1;
  while (b >= 1 && line[b] != ' ') --b;
  if (b < 1) return false;
  if (k - b < 2 || k - b > kMaxBefore) return false;
  int e = k + 1;
  while (e <= kLastPos && e < len && line[e] != ' ' && line[e] != '\r' && line[e] != '\n') ++e;
  if (e > kLastPos) return false;
  if (e - b > kMaxToken) return false;
  begin = b;
  end = e;
  return true;
}

int FindPoint(const char* line, int from) {
  if (!line || from < 0) return -1;
  const int len = static_cast<int>(std::strlen(line));
  for (int k = from; k < len; ++k)
    if (line[k] == '.') return k;
  return -1;
}

}  // namespace savetoken
