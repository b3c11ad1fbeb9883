#include "globelib.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/safefile.h"
#include "tools/common/savetoken.h"

namespace globe {

namespace {

constexpr int kMinLine = 31;     // shorter pieces are never coordinate lines
constexpr int kTimeScan = 16;    // the time text ends at the first blank from here
constexpr double kKmToM = 1000.0;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The C locale for reading numbers: strtod follows LC_NUMERIC, which the
// toolkit sets from the user's environment, and under a comma-decimal locale
// it would stop at the point of every number in the file. Made once and kept
// for the life of the process.
locale_t NumberLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

bool OnEarth(double lon, double lat) {
  return std::fabs(lat) <= 90.0 && std::fabs(lon) <= 360.0;
}

}  // namespace

double Atof(const char* s) {
  if (!s) return 0.0;
  while (Blank(*s)) ++s;
  if (!*s) return 0.0;
  char* end = nullptr;
  errno = 0;
  const locale_t c = NumberLocale();
  const double v = c ? strtod_l(s, &end, c) : std::strtod(s, &end);
  if (end == s) return 0.0;
  while (Blank(*end)) ++end;
  if (*end || !std::isfinite(v)) return 0.0;
  return v;
}

void getnm(const char* line, int k, double& value, bool& ok) {
  int b, e;
  ok = savetoken::NumberToken(line, k, b, e);
  if (ok) value = Atof(std::string(line + b, line + e).c_str());
}

CoordinateLine ParseCoordinateLine(const char* line, bool withHeight) {
  CoordinateLine c;
  if (!line || std::strlen(line) < static_cast<size_t>(kMinLine)) return c;
  if (line[10] != ':' || (line[13] != ':' && line[13] != ' ')) return c;
  // Steps below a second write the seconds with a point: the longitude is
  // the first number after the time text, not the first point of the line.
  const char* blank = std::strchr(line + kTimeScan, ' ');
  if (!blank) return c;
  const int klon = savetoken::FindPoint(line, static_cast<int>(blank - line));
  if (klon < 0) return c;
  const int klat = savetoken::FindPoint(line, klon + 1);
  const int kh = klat < 0 ? -1 : savetoken::FindPoint(line, klat + 1);
  // Pass details with sky positions carry four numbers (azimuth, elevation,
  // R.A., Dec.): those are no places on the ground.
  if (kh >= 0 && savetoken::FindPoint(line, kh + 1) >= 0) return c;
  getnm(line, klon, c.lon, c.lonTaken);
  if (!c.lonTaken) return c;
  c.hasLat = klat >= 0;
  if (!c.hasLat) return c;
  double lat = kNoPoint;
  getnm(line, klat, lat, c.latTaken);
  if (c.latTaken) c.lat = lat;
  if (!withHeight || !c.latTaken) return c;
  if (kh >= 0) getnm(line, kh, c.h, c.hTaken);
  if (!c.hTaken) c.h = 0.0;
  return c;
}

int readCoordinateLine(FILE* f, double& lat, double& lon, double& h, bool withHeight) {
  char buf[savetoken::kPieceSize];
  lat = kNoPoint;
  lon = 0.0;
  h = 0.0;
  if (!f || !std::fgets(buf, sizeof buf, f)) return 1;
  const CoordinateLine c = ParseCoordinateLine(buf, withHeight);
  // A number that is no place on the Earth is no point either.
  if (c.lonTaken && c.latTaken && OnEarth(c.lon, c.lat)) {
    lat = c.lat;
    lon = c.lon;
    h = withHeight ? c.h * kKmToM : 0.0;
  }
  return 0;
}

SatCoords getSatCoords(const std::string& filename) {
  SatCoords s;
  FILE* f = OpenRegular(filename.c_str());
  if (!f) return s;
  s.opened = true;
  char buf[savetoken::kPieceSize];
  while (static_cast<int>(s.xpt.size()) < kMaxEntries && std::fgets(buf, sizeof buf, f)) {
    if (std::strlen(buf) < static_cast<size_t>(kMinLine)) continue;
    const CoordinateLine c = ParseCoordinateLine(buf, false);
    if (c.lonTaken && c.hasLat) {
      s.numcoords = static_cast<int>(s.xpt.size());
      if (c.latTaken) {
        s.xpt.push_back(c.lon);
        s.ypt.push_back(c.lat);
      }
    } else if (!s.xpt.empty() && buf[0] == '_') {
      s.xpt.push_back(0.0);
      s.ypt.push_back(kNoPoint);
    }
  }
  std::fclose(f);
  return s;
}

void CentreOf(const SatCoords& c, double& lon, double& lat) {
  lon = 0.0;
  lat = 0.0;
  if (c.numcoords < 3) return;
  size_t k = static_cast<size_t>(c.numcoords / 2);
  if (k < c.ypt.size() && c.ypt[k] > 99.0) ++k;
  if (k >= c.ypt.size() || !OnEarth(c.xpt[k], c.ypt[k])) return;
  lon = c.xpt[k];
  lat = c.ypt[k];
}

bool WillDraw(const SatCoords& c) { return c.numcoords >= 2; }

std::vector<std::vector<TrackPoint>> ReadTrack(const std::string& filename, bool withHeight,
                                               bool* opened) {
  std::vector<std::vector<TrackPoint>> runs;
  FILE* f = OpenRegular(filename.c_str());
  if (opened) *opened = f != nullptr;
  if (!f) return runs;
  std::vector<TrackPoint> run;
  auto close = [&]() {
    if (run.size() >= 2) runs.push_back(run);
    run.clear();
  };
  double lat, lon, h;
  while (readCoordinateLine(f, lat, lon, h, withHeight) == 0) {
    if (lat < kNoPoint)
      run.push_back(TrackPoint{lon, lat, h});
    else
      close();
  }
  close();
  std::fclose(f);
  return runs;
}

}  // namespace globe
