#include "engine/numparse.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

// std::from_chars never looks at the locale, unlike strtod/atof, which follow
// LC_NUMERIC and would stop at the '.' under a comma-decimal locale.
double Atof(const char* text) {
  if (!text) return 0.0;
  const char* p = text;
  while (isSpace(*p)) ++p;
  // from_chars takes a minus sign but no plus sign.
  if (*p == '+' && p[1] != '-' && p[1] != '+') ++p;
  const char* end = p + std::strlen(p);
  double v = 0.0;
  std::from_chars_result res = std::from_chars(p, end, v, std::chars_format::general);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0.0;
  return v;
}

void decdot(char* s) {
  if (!s) return;
  for (; *s && *s != '('; ++s)
    if (*s == ',') *s = '.';
}

void decdot0(char* s) {
  if (!s) return;
  for (; *s; ++s)
    if (*s == ',') *s = '.';
}

int Fscanf(FILE* f, int n, double* v) {
  char line[FSCANF_LINE_MAX + 1];
  if (!f || !std::fgets(line, sizeof line, f)) return 0;
  if (n < 1) return 1;
  if (!v) return 0;
  int found = 0;
  char* p = line;
  while (found < n) {
    while (*p == ' ') ++p;
    if (!*p) break;
    char* q = p;
    while (*q && *q != ' ') ++q;
    char save = *q;
    *q = '\0';
    v[found++] = Atof(p);
    *q = save;
    p = q;
  }
  return found == n ? 1 : 0;
}
