// The globe viewer's reading of the save file, without Marble: which lines are
// ground-track points, the entries read at start (for the centre of the view
// and the decision whether to draw) and the track as it is painted.
#ifndef VORLIX_TOOLS_GLOBELIB_H
#define VORLIX_TOOLS_GLOBELIB_H

#include <cstdio>
#include <string>
#include <vector>

namespace globe {

// Latitude that marks "no point": a break in the track, a centre line that
// misses the Earth, a line that is no coordinate line.
constexpr double kNoPoint = 100.0;
// Entries kept from the reading at start.
constexpr int kMaxEntries = 2999;

// The C-syntax value of s, blanks around it ignored, with a decimal point
// whatever the process locale; 0 when s is no finite number.
double Atof(const char* s);

// The number around the '.' at position k of line: ok and value when a token
// was taken (a token that is no number gives 0), else ok false and value
// left alone.
void getnm(const char* line, int k, double& value, bool& ok);

// One piece of a save-file line, as the two readers see it.
struct CoordinateLine {
  bool lonTaken = false;  // a coordinate line whose longitude token was taken
  bool hasLat = false;    // ... with a second '.' after the longitude
  bool latTaken = false;  // ... whose latitude token was taken
  bool hTaken = false;    // ... with a height token (only when asked for)
  double lon = 0.0, lat = kNoPoint, h = 0.0;  // degrees, degrees, km
};

// A coordinate line: more than 30 characters (its line feed counted), a time
// after the date with ':' at positions 10 and 13 (or ':' at 10 and a blank at
// 13 for steps of whole minutes); the longitude is the number of the first
// '.' after the time text, the latitude of the next '.', the height of the
// one after that (only with withHeight). A line with a fourth number (pass
// details with azimuth, elevation, R.A. and Dec.) is none.
CoordinateLine ParseCoordinateLine(const char* line, bool withHeight);

// Reads one piece of a line from f: 1 at the end of the file, else 0. lat is
// kNoPoint when the piece gives no point on the Earth; h is the height in
// metres with withHeight (0 when there is none), else 0.
int readCoordinateLine(FILE* f, double& lat, double& lon, double& h, bool withHeight);

// The entries read at start.
struct SatCoords {
  bool opened = false;  // a regular file that could be opened for reading
  std::vector<double> xpt, ypt;  // longitude, latitude (kNoPoint: break)
  int numcoords = 0;             // entries before the last coordinate line
};

// Reads the whole file once: every coordinate line with both numbers gives an
// entry, a separator line ('_' first) after the first entry gives a break;
// at most kMaxEntries entries.
SatCoords getSatCoords(const std::string& filename);

// Where the globe is centred: the middle entry (or the one after it when
// that is a break) when numcoords is at least 3, else longitude 0, latitude 0.
void CentreOf(const SatCoords& c, double& lon, double& lat);

// Whether anything is drawn at all (numcoords at least 2).
bool WillDraw(const SatCoords& c);

// A point of the painted track: degrees, and metres above the ground.
struct TrackPoint {
  double lon, lat, alt;
};

// The track as painted: every run of consecutive lines that give points on the
// Earth, runs of a single point left out. opened is false when the file cannot
// be read.
std::vector<std::vector<TrackPoint>> ReadTrack(const std::string& filename, bool withHeight,
                                               bool* opened = nullptr);

}  // namespace globe

#endif
