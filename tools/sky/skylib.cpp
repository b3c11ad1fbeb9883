#include "skylib.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/safefile.h"
#include "tools/common/savetoken.h"

namespace sky {

namespace {

constexpr size_t kMinLine = 51;  // shorter pieces are never pass steps
// Where the R.A. search starts: after azimuth and elevation, whose points lie
// before these positions in every column layout of the pass details.
constexpr int kStartSeconds = 40;
constexpr int kStartMinutes = 36;

// Two characters of line as a number, as atoi reads them.
int Label(const char* line, int k) {
  const char two[3] = {line[k], line[k + 1], '\0'};
  return std::atoi(two);
}

// The "%8.4lf" form of v: exactly 8 characters for the values accepted.
std::string Fixed84(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%8.4f", v);
  return buf;
}

// The token [b, e) with its blank in front is a plain decimal number: an
// optional sign, digits and the point, nothing else.
bool PlainDecimal(const char* line, int b, int e) {
  int k = b;
  while (k < e && line[k] == ' ') ++k;
  if (k < e && (line[k] == '-' || line[k] == '+')) ++k;
  int digits = 0, points = 0;
  for (; k < e; ++k) {
    if (line[k] == '.')
      ++points;
    else if (line[k] >= '0' && line[k] <= '9')
      ++digits;
    else
      return false;
  }
  return digits > 0 && points == 1;
}

// Whole part, minutes and seconds of a packed value as the database line
// writes it (the "%8.4lf" form, so after its rounding).
struct Packed {
  int whole, minutes, seconds;
};
Packed Unpack(double v) {
  const std::string f = Fixed84(std::fabs(v));
  return Packed{std::atoi(f.substr(0, 3).c_str()), std::atoi(f.substr(4, 2).c_str()),
                std::atoi(f.substr(6, 2).c_str())};
}

// A right ascension of 0h to 23:59:59 and a declination of -90 to +90
// degrees, each with minutes and seconds below 60.
bool OnTheSky(double ra, double dec) {
  if (!(ra >= 0.0 && ra < 24.0) || !(dec >= -90.0 && dec <= 90.0)) return false;
  const Packed r = Unpack(ra), d = Unpack(dec);
  if (r.whole >= 24 || r.minutes >= 60 || r.seconds >= 60) return false;
  if (d.minutes >= 60 || d.seconds >= 60) return false;
  return d.whole < 90 || (d.whole == 90 && d.minutes == 0 && d.seconds == 0);
}

}  // namespace

void getnm(const char* line, int k, double& value, bool& ok) {
  int b, e;
  ok = savetoken::NumberToken(line, k, b, e);
  if (ok) value = std::atof(std::string(line + b, line + e).c_str());
}

bool ReadSkyLine(const char* line, SkyPoint& p) {
  if (!line || std::strlen(line) < kMinLine || line[10] != ':') return false;
  const bool seconds = line[13] == ':';
  const int start = seconds ? kStartSeconds : kStartMinutes;
  const int kra = savetoken::FindPoint(line, start);
  if (kra < 0) return false;
  double ra = 0.0, dec = 0.0;
  bool ok;
  getnm(line, kra, ra, ok);
  if (!ok) return false;
  const int kdec = savetoken::FindPoint(line, kra + 1);
  if (kdec < 0) return false;
  getnm(line, kdec, dec, ok);
  if (!ok) return false;
  // Only numbers as the program writes them, and only a place on the sky,
  // fit the database's columns.
  int b, e;
  if (!savetoken::NumberToken(line, kra, b, e) || !PlainDecimal(line, b, e)) return false;
  if (!savetoken::NumberToken(line, kdec, b, e) || !PlainDecimal(line, b, e)) return false;
  if (!OnTheSky(ra, dec)) return false;
  p.ra = ra;
  p.dec = dec;
  p.label = seconds ? Label(line, 14) : Label(line, 11);
  return true;
}

std::vector<SkyPoint> ReadSkyPoints(FILE* f) {
  std::vector<SkyPoint> pts;
  char buf[savetoken::kPieceSize];
  SkyPoint p;
  while (static_cast<int>(pts.size()) < kMaxPoints && std::fgets(buf, sizeof buf, f))
    if (ReadSkyLine(buf, p)) pts.push_back(p);
  return pts;
}

std::string EdbLine(const SkyPoint& p) {
  char label[16];
  std::snprintf(label, sizeof label, "%2i", p.label);
  if (label[0] == ' ') label[0] = '0';  // XEphem wants a name that starts with a letter or digit
  const std::string ra = Fixed84(p.ra), dec = Fixed84(p.dec);
  std::string s = label;
  s += ",f|S|K9,";
  s += ra.substr(1, 2) + ":" + ra.substr(4, 2) + ":" + ra.substr(6, 2) + ".0,";
  s += dec.substr(0, 3) + ":" + dec.substr(4, 2) + ":" + dec.substr(6, 2) + ".0,";
  s += "6.0\r\n";
  return s;
}

namespace {

void Say(FILE* out, const std::string& text) {
  std::fprintf(out, "%s\n\n", text.c_str());
  std::fflush(out);
}

// Writes the lines through the engine's safe writer, so that an old database
// stays whole until the new one is complete (a device or a FIFO is written
// into, never replaced). Empty when written, else the message's reason: a
// FIFO that nobody reads or what is no file to write are named.
bool WriteEdb(const std::string& name, const std::vector<SkyPoint>& pts, std::string& why) {
  SafeFile out(name.c_str());
  if (!out.open()) {
    if (out.error() == WRITE_NO_READER || out.error() == EINVAL)
      why = std::string(": ") + OpenRegularError(out.error());
    return false;
  }
  for (const SkyPoint& p : pts) out.put(EdbLine(p).c_str());
  const SafeFile::Result res = out.commit();
  return res == SafeFile::Done || res == SafeFile::Unsynced;
}

}  // namespace

int Run(int argc, const char* const* argv, FILE* out) {
  const std::string in = argc > 1 ? argv[1] : "satsave.txt";
  const std::string edb = argc > 2 ? argv[2] : "satovl.edb";
  Say(out, "Generation of sky data for XEphem ");
  // Only a regular file: a FIFO would wait for a writer, a device never end.
  FILE* f = OpenRegular(in.c_str());
  if (!f) {
    Say(out, "Unable to open input file " + in);
    return 1;
  }
  if (SameFile(in.c_str(), edb.c_str())) {
    std::fclose(f);
    Say(out, "The output file is the input file: " + edb);
    return 1;
  }
  const std::vector<SkyPoint> pts = ReadSkyPoints(f);
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) {
    Say(out, "Unable to read input file " + in);
    return 1;
  }
  if (pts.empty()) {
    Say(out, "No sky positions in " + in + ": " + edb + " left unchanged");
    return 1;
  }
  std::string why;
  if (!WriteEdb(edb, pts, why)) {
    Say(out, "Unable to open output file " + edb + why);
    return 1;
  }
  Say(out, "Map generated with " + std::to_string(pts.size()) + " points. ");
  return 0;
}

}  // namespace sky
