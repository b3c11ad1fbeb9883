// Pass search: the next or last pass of one satellite over the observer, the
// acceptance test of a sample, and the great-circle helper of the transit
// texts. The event refinement inside a found pass is in engine/flares.h, the
// texts and the pass list in engine/passtext.h.
//
// Event kinds (WinpData::iridflg): 0 passes, 1 transit or occultation (Sun,
// Moon or an R.A./Dec. point), 2 flare of a reflecting surface, 3 Iridium
// flare. Relative mode (RelativeMode in engine/vorlixcom.h): the next
// selected slot (slot 0 after the last) observes the prime satellite.
//
// Pass arrays tm[3], elv[3], azm[3] (caller's): index 0 first boundary, 1
// culmination (or event), 2 second boundary. tm in MJD (UT); elv/azm
// elevation and azimuth in degrees; in relative mode indices 0 and 2 hold
// latitude (elv) and longitude (azm) of the sub-satellite point; in event
// modes azm[2] holds the event distance (km) or the flare magnitude.
//
// Every position is sampled with GetSatPos into the engine's record satpos.
// A time at which the satellite has no position (GetSatPos other than
// SATPOS_OK) is part of no pass; a boundary at such a time (a pass cut short
// there) holds NaN in elv and azm: there are no numbers to give.
#ifndef VORLIX_ENGINE_PASSES_H
#define VORLIX_ENGINE_PASSES_H

#include "engine/vorlixcom.h"

// ---------------------------------------------------------------------------
// Pass search
// ---------------------------------------------------------------------------

// Whether the current sample of slot i in sp counts as part of a pass:
// elevation >= satel, Sun at the observer below sunel, and with visflg the
// satellite sunlit (moonlit with moonflg); in relative mode mutual line of
// sight above the Earth's limb (and both sunlit with visflg). 1 or 0.
// It judges the numbers alone: a sample without a position is the
// caller's to refuse.
int cksatok(const WinpData* d, const SatPosData* sp, int i);

// Steps from t backwards (gpassbeg) or forwards (gpassend) in whole minutes
// while the samples are accepted (and have a position); returns the first time
// not accepted, or the first time beyond tlow / thigh.
double gpassbeg(WinpData* d, SatPosData* sp, int i, double t, double tlow);
double gpassend(WinpData* d, SatPosData* sp, int i, double t, double thigh);

// Next pass of slot i in [t0, tend]. Returns 0 none found; 1 pass found; in
// event modes the code of GetIrid (engine/flares.h) (1 event found, 2 pass without event).
// With pasact set the pass under way at t0 is skipped. tm[0] is the first
// accepted time (refined to about 1 s), tm[2] the first rejected time after
// the pass (tend when the pass runs past it), tm[1] the culmination (1-s
// resolution). In Iridium mode occra is reset to 0 at every call.
int nextpass(WinpData* d, int i, double t0, double tend, double* tm, double* elv, double* azm);

// Last pass of slot i in [tlow, t0], searched backwards. 0 none, 1 found.
// Index 0 holds the LATER boundary (last accepted time), index 2 the earlier
// one (the last rejected time before the pass; tlow when the pass was already
// under way at tlow). No event refinement.
int lastpass(WinpData* d, int i, double t0, double tlow, double* tm, double* elv, double* azm);

// While one lives on a thread, the searches of slot i of d on that thread
// leave out the full sample each search ends with (which leaves satpos and d
// as a search of full samples does); when it ends it makes the one of the
// last search that sampled, so that the records end as after the searches
// without it. For a run of searches that reads neither record in between.
class LastSampleDeferral {
 public:
  LastSampleDeferral(WinpData* d, int i);
  ~LastSampleDeferral();
  LastSampleDeferral(const LastSampleDeferral&) = delete;
  LastSampleDeferral& operator=(const LastSampleDeferral&) = delete;
  // The last search's sample to make later: false when not for d and i.
  bool Defer(const WinpData* d, int i, SatPosData* sp, double t);

 private:
  WinpData* d_;
  int i_;
  LastSampleDeferral* outer_;
  bool pending_ = false;
  SatPosData* sp_ = nullptr;
  double t_ = 0.0;
};

// Great-circle distance and direction from point 1 to point 2 (longitudes
// east, latitudes; radians in). cosd: cosine of the angular distance;
// dir: direction in degrees from north through east, 0..360 (0 when the
// points coincide or point 1 is a pole).
void ADisDir(double lng1, double lat1, double lng2, double lat2, double& cosd, double& dir);

#endif
