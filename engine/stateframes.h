// State vectors in the four frames the state-vector dialog offers. Every slot
// keeps its state in the mean equator and equinox of date; the dialog shows it
// in the frame the user picks. No Qt: the conversions are plain arithmetic.
#ifndef VORLIX_ENGINE_STATEFRAMES_H
#define VORLIX_ENGINE_STATEFRAMES_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

// Frame numbers as stfrm stores them.
enum StateFrame {
  FRAME_TOD = 0,    // true equator and equinox of date
  FRAME_MOD = 1,    // mean equator and equinox of date (the record's frame)
  FRAME_J2000 = 2,  // mean equator and equinox of J2000
  FRAME_EFIX = 3    // Earth-fixed; velocity relative to the rotating Earth
};
constexpr int NFRAMES = 4;

// A frame number the dialog can show: 0..3, anything else the record's frame.
int ValidFrame(int frame);

// Converts a state (r in km, v in km/s, or any length unit with the matching
// velocity unit per second) from frame `from` to frame `to` at mjd (UT),
// always through true of date. The Earth's orientation comes from d: the long
// nutation series, UT1 - UTC and the pole coordinates when IERSflg is set,
// the short series and UT1 = UTC otherwise; polar motion whenever the pole
// coordinates are not both 0. from == to leaves the state untouched; a frame
// outside 0..3 counts as the record's frame.
void RefState(const WinpData& d, int from, int to, double mjd, Vec3& r, Vec3& v);

#endif
