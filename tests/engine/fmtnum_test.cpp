// The engine's printf: vsnprintf's text, bound and result for every
// conversion, except that a floating-point value printing as zero never
// carries a minus sign.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/vorlixcom.h"

namespace {

int Mine(char* out, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
int Mine(char* out, size_t size, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  const int n = VFmtNum(out, size, fmt, ap);
  va_end(ap);
  return n;
}

int Libc(char* out, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
int Libc(char* out, size_t size, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  const int n = std::vsnprintf(out, size, fmt, ap);
  va_end(ap);
  return n;
}

using Printf = int (*)(char*, size_t, const char*, ...);

struct Row {
  const char* what;
  // Formats one fixed call (format and arguments) with p into out, size.
  int (*call)(Printf p, char* out, size_t size);
};

// Each call is made with both printers: the result, and the whole buffer
// (so a byte written beyond the bound or left out shows), agree.
const Row kRows[] = {
    {"text only", [](Printf p, char* o, size_t n) { return p(o, n, "Geographic Location"); }},
    {"empty format", [](Printf p, char* o, size_t n) { return p(o, n, "%s", ""); }},
    {"percent signs",
     [](Printf p, char* o, size_t n) { return p(o, n, "100%% of %d%%, %%s %%%%", 7); }},
    {"int flags and widths",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%d|%+d|% d|%05d|%-5d|%i]", INT_MIN, 3, 4, -42, 6, INT_MAX); }},
    {"width from *",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%*d|%*d|%-*d|%0*d]", 7, -42, -7, 42, -3, 1, 6, -5); }},
    {"precision from *",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%.*d|%.*f|%.*f|%*.*e]", 5, 42, 2, 3.14159, -1, 2.5, 12, 3, -1234.5); }},
    {"precision without digits", [](Printf p, char* o, size_t n) { return p(o, n, "[%.d|%.f|%.s]", 0, 2.5, "abc"); }},
    {"strings",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%s|%10s|%-10s|%.3s|%.*s|%*s]", "ISS (ZARYA)", "HST", "HST", "ENVISAT", -1, "whole", -6, "l"); }},
    {"a string holding conversions", [](Printf p, char* o, size_t n) { return p(o, n, "%s %d", "50% %d %s", 1); }},
    {"long and long long",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%ld|%lu|%lld|%llu|%llx|%20lld]", LONG_MIN, ULONG_MAX, LLONG_MIN, ULLONG_MAX, 0xdeadbeefcafeULL, -5LL); }},
    {"short and char sizes",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%hd|%hu|%hhd|%hhu]", static_cast<short>(-7), static_cast<unsigned short>(65535), static_cast<signed char>(-100), static_cast<unsigned char>(200)); }},
    {"unsigned bases", [](Printf p, char* o, size_t n) { return p(o, n, "[%u|%o|%#o|%x|%#X|%08x]", 4000000000u, 8u, 8u, 255u, 255u, 0xabcu); }},
    {"characters", [](Printf p, char* o, size_t n) { return p(o, n, "[%c|%3c|%-3c]", 'a', 'b', 'c'); }},
    {"a NUL character", [](Printf p, char* o, size_t n) { return p(o, n, "a%cb", 0); }},
    {"floating point",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%f|%10.4f|%-9.2f|%+.1e|%E|%g|%G|%#g|%a]", 51.6416, 0.12345, -3.5, 12345.678, 1e-300, 1e20, 1e-5, 2.0, 1.0); }},
    {"long double", [](Printf p, char* o, size_t n) { return p(o, n, "[%Lf|%.3Le]", 1.0L / 3, -2.5L); }},
    {"infinity and NaN", [](Printf p, char* o, size_t n) { return p(o, n, "[%f|%6.1f|%e]", 1.0 / 0.0, -1.0 / 0.0, 0.0 / 0.0); }},
    {"pointer", [](Printf p, char* o, size_t n) { return p(o, n, "[%p|%20p]", reinterpret_cast<void*>(uintptr_t(0x7ffd1234abcd)), static_cast<void*>(nullptr)); }},
    {"sizes it leaves to the library",
     [](Printf p, char* o, size_t n) { return p(o, n, "[%zu|%jd|%td|%d]", size_t(77), INTMAX_MIN, ptrdiff_t(-3), 5); }},
    {"positional arguments", [](Printf p, char* o, size_t n) { return p(o, n, "%2$s %1$s %2$s", "a", "b"); }},
    {"pieces longer than a line",
     [](Printf p, char* o, size_t n) { return p(o, n, "%200d|%-150s|%.140f", 1, "x", 1.0 / 3); }},
    {"mixed", [](Printf p, char* o, size_t n) { return p(o, n, "%s=%*.*f (%lld)%%", "dur", 8, 2, 2.5, 123456789012LL); }},
};

}  // namespace

TEST(FmtNum, AgreesWithVsnprintf) {
  constexpr size_t kBuf = 1024;
  // 0 with no buffer at all, then bounds that cut most rows, and room.
  const size_t sizes[] = {0, 1, 2, 7, 40, 300, kBuf};
  for (const Row& r : kRows) {
    for (size_t size : sizes) {
      SCOPED_TRACE(std::string(r.what) + ", size " + std::to_string(size));
      char a[kBuf], b[kBuf];
      std::memset(a, '#', kBuf);
      std::memset(b, '#', kBuf);
      const int mine = r.call(Mine, size ? a : nullptr, size);
      const int libc = r.call(Libc, size ? b : nullptr, size);
      EXPECT_EQ(mine, libc);
      EXPECT_EQ(std::string(a, kBuf), std::string(b, kBuf)) << "mine: " << a << "\nlibc: " << b;
    }
    // A zero bound with a buffer writes nothing into it.
    char c[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(r.call(Mine, c, 0), r.call(Libc, nullptr, 0)) << r.what;
    EXPECT_EQ(std::string(c, 4), "####") << r.what;
  }
}

// A value that prints as zero at its precision loses the minus sign (the
// text is then the one of +0); any other value keeps it.
TEST(FmtNum, NoSignedZero) {
  struct Case {
    const char* fmt;
    double v;
    const char* text;
  } const cases[] = {
      {"%.2f", -0.001, "0.00"},        {"%7.2f", -0.004, "   0.00"}, {"%.0f", -0.4, "0"},
      {"%f", -0.0, "0.000000"},        {"%+.1f", -0.01, "+0.0"},     {"%e", -0.0, "0.000000e+00"},
      {"%g", -0.0, "0"},               {"%.2f", -0.006, "-0.01"},    {"%.0f", -0.6, "-1"},
      {"%.3g", -1e-9, "-1e-09"},       {"%05.1f", -0.04, "000.0"},   {"%-6.1f|", -0.04, "0.0   |"},
  };
  for (const Case& c : cases) {
    char out[64];
    const int n = FmtNum(out, sizeof out, c.fmt, c.v);
    EXPECT_STREQ(out, c.text) << c.fmt << " " << c.v;
    EXPECT_EQ(n, static_cast<int>(std::strlen(c.text))) << c.fmt << " " << c.v;
  }
  // Long double too; the bound and result as vsnprintf's.
  char out[4];
  EXPECT_EQ(FmtNum(out, sizeof out, "%.3Lf", -0.0001L), 5);
  EXPECT_STREQ(out, "0.0");
}
