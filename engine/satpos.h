// Satellite positions and observer geometry for one time: the engine's inner
// loop. GetSatPos propagates one slot (numerical, SGP4/SDP4 or Kepler with J2
// secular rates), brings the state to the true equator and equinox of date and
// fills the slot's fields of a SatPosData record: sub-point, topocentric
// az/el/range, R.A./Dec., range rate, beta angle, Sun and Moon seen from the
// satellite and from the observer, then the eclipse, magnitude, transit and
// flare stages.
#ifndef VORLIX_ENGINE_SATPOS_H
#define VORLIX_ENGINE_SATPOS_H

#include "astro/attlib.h"
#include "engine/vorlixcom.h"

// Results of GetSatPos: what the slot's model gave for t.
enum {
  SATPOS_OK = 0,       // its state at t
  SATPOS_DECAYED = 1,  // a numerical satellite that came down: held where it
                       // reached the ground, below every horizon
  SATPOS_NOSTATE = 2,  // no state at t (the integration stopped short of t,
                       // SGP4 failed or the satellite decayed in its model,
                       // elements beyond any orbit, a bad slot index): the
                       // satellite is put at SGP4's failure state, 100 km from
                       // the Earth's centre, below every horizon
  SATPOS_NOOBSERVER = 3  // relative mode: the observing satellite has no
                         // position, so it observes nothing (the observer
                         // stays where it is). The slot's own place (sub-point,
                         // height, the Sun above it) is its state at t; what is
                         // seen from the observer (az, el, rng, ra, dec, rate) is not
};
// Anything but SATPOS_OK: the satellite, or the one observing it, has no
// position at t, and the slot's numbers stand for nothing a text, a file, a
// map or a search may show.
//
// Its own place (sub-point, height, visibility circle, the Sun above it)
// is known for SATPOS_OK and, in relative mode, for SATPOS_NOOBSERVER too:
// what does not depend on the observer may be shown then.
inline bool SatPosOwnPlace(int status) {
  return status == SATPOS_OK || status == SATPOS_NOOBSERVER;
}

// t: MJD (UTC). i: slot 0-11 (0-9 selected, 10 the work slot). flag non-zero:
// also compute the slot's visibility circle (plots pass 1, searches 0).
// In relative mode the observer fields lat/lng/height of d are changed for
// the length of the call and restored before it returns.
int GetSatPos(double t, WinpData* d, SatPosData* sp, int i, int flag);

// One sample of a pass search for slot i: only what the search reads,
// each value computed on first use and equal to the bit to the one GetSatPos
// stores (el, az, sunelo, sunh, moonh of the slot). Nothing is written to sp
// or d while sampling; Finish makes the full GetSatPos call of the last time
// sampled, which leaves sp and d as a search of full samples would. For the
// plain pass search of an analytic slot (Usable): not in relative mode, not
// in an event mode, no flare stage, no numerical propagation.
class SearchSample {
 public:
  SearchSample() = default;  // no sample: only to be assigned a sample
  SearchSample(WinpData* d, SatPosData* sp, int i) : d_(d), sp_(sp), i_(i) {}
  static bool Usable(const WinpData* d, int i);

  void At(double t);  // a new time: propagates the slot
  // The satellite has a position at this time: GetSatPos would give
  // SATPOS_OK. Without one its values are those of the stand-in place.
  bool Placed() const { return placed_; }
  double El();                           // deg
  // The elevation within kElNear of El(), without nutation; El() itself
  // for a Kepler slot, a satellite within 6 km of the observer or an
  // observer 10000 km or more above the ground.
  static constexpr double kElNear = 1e-7;  // deg
  double ElNear();
  // Which side of x (deg) El() lies on, decided when clear from a quick
  // estimate: 1 above (El() > x), -1 below (El() < x), 0 too close to tell
  // (and whenever ElNear would not leave out nutation).
  int ElSide(double x);
  // El() > o.El() (o: a sample of the same search, a copy of an earlier
  // one), from the quick estimates or the elevations without nutation when
  // they tell, else from the elevations themselves.
  bool ElAbove(SearchSample& o);
  double Az();                           // deg, 0..360
  double SunEl();                        // deg, the Sun at the observer
  double SunH() { above(); return sunh_; }    // deg, the Sun above the satellite's horizon
  double MoonH() { above(); return moonh_; }  // deg, the same for the Moon (moonflg)
  // The Sun (Earth radii, true equator and equinox of date) at this time.
  Vec3 Sun();
  // The same two at another time t for this observer, exactly as a sample
  // at t gives them.
  double SunElAt(double t);
  Vec3 SunAt(double t);
  // SunH() within kSunHNear (0.198 deg and a margin) from the Sun vector
  // `sun` of a time dt days away, plus kSunDrift x |dt| for the Sun's
  // motion; SunH() itself for a Kepler slot or a satellite within 50 km of
  // the ground.
  static constexpr double kSunHNear = 0.25;   // deg
  static constexpr double kSunDrift = 1.1;    // deg/day
  double SunHNear(const Vec3& sun);
  void Finish();
  // The time Finish would sample (false when nothing was sampled).
  bool Last(double& t) const {
    t = t_;
    return any_;
  }
  SatPosData* Record() const { return sp_; }

 private:
  void above();
  bool quick();
  double quickTol() const;
  double sinOf(double x);
  static constexpr unsigned kEl = 1, kAz = 2, kSunEl = 4, kAbove = 8, kR = 16, kNear = 32,
                            kQuick = 64;
  WinpData* d_ = nullptr;
  SatPosData* sp_ = nullptr;
  int i_ = 0;
  double t_ = 0;
  bool any_ = false;
  bool placed_ = false;
  unsigned have_ = 0;
  Vec3 teme_, r_, h_;  // SGP4's position (km), true of date (km), horizontal
  double el_ = 0, az_ = 0, sunelo_ = 0, sunh_ = 0, moonh_ = 0, near_ = 0;
  // The quick estimate: the up component and length of the line of sight
  // (Earth radii) and the bound on their error.
  double qu_ = 0, qw_ = 0, qerr_ = 0;
  // Local sidereal time (without the equation of the equinoxes) of a
  // reference UT1 time, as sine and cosine; nearby times turn from it.
  bool sidok_ = false;
  double sidt_ = 0, sids_ = 0, sidc_ = 0;
  // The sines of the last limits asked for.
  static constexpr int kLims = 4;
  double limx_[kLims] = {}, lims_[kLims] = {};
  int limn_ = 0, limk_ = 0;
};

#endif
