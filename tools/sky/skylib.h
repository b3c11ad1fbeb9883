// The sky overlay export: the right ascensions and declinations of saved pass
// details become fixed objects of an XEphem database, one per time step,
// labelled with the step's seconds (or minutes).
#ifndef VORLIX_TOOLS_SKYLIB_H
#define VORLIX_TOOLS_SKYLIB_H

#include <cstdio>
#include <string>
#include <vector>

namespace sky {

// At most this many points are taken; later ones are ignored.
constexpr int kMaxPoints = 6999;

struct SkyPoint {
  double ra;   // packed hours HH.MMSS
  double dec;  // packed degrees DD.MMSS
  int label;   // seconds (or minutes) of the step's time
};

// The number around the '.' at position k of line: ok and value when a token
// was taken (its leading number; 0 when it starts with none), else ok false
// and value left alone.
void getnm(const char* line, int k, double& value, bool& ok);

// One piece of a save-file line: true and p when it is a sky position of a
// pass step (more than 50 characters, a time after the date, then azimuth,
// elevation, R.A. and Dec.; R.A. in [0, 24) and Dec. in [-90, 90], both plain
// decimal numbers whose minutes and seconds are below 60).
bool ReadSkyLine(const char* line, SkyPoint& p);

// Every sky position of f in order, at most kMaxPoints.
std::vector<SkyPoint> ReadSkyPoints(FILE* f);

// The database line of a point: 36 characters, then CR LF.
std::string EdbLine(const SkyPoint& p);

// The whole program: vorlixsky [input [output]]. Messages go to out; the
// result is the exit status (0 written, 1 nothing written).
int Run(int argc, const char* const* argv, FILE* out);

}  // namespace sky

#endif
