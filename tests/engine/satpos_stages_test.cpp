// The later stages of GetSatPos: the eclipse of the Sun seen from the
// satellite, the visual magnitude, transit centre lines and the flare stages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "engine/stages.h"
#include "support/satposfixture.h"

using namespace satpos_test;

namespace {

constexpr double kRe = 6378.137;
constexpr double kSunDist = 23454.79106062;  // Earth radii (1 AU)

// Fraction of the Sun's disc (radius rs) left uncovered by the Moon's disc
// (radius rm) at centre separation sep, counted on a fine grid.
double UncoveredFraction(double rs, double rm, double sep) {
  const int n = 1200;
  long in = 0, free = 0;
  for (int a = 0; a < n; a++)
    for (int b = 0; b < n; b++) {
      const double x = rs * (2.0 * (a + 0.5) / n - 1.0), y = rs * (2.0 * (b + 0.5) / n - 1.0);
      if (x * x + y * y > rs * rs) continue;
      in++;
      if ((x - sep) * (x - sep) + y * y > rm * rm) free++;
    }
  return static_cast<double>(free) / in;
}

// The ISS in slot 0, the engine record at its defaults.
struct Scene {
  std::unique_ptr<WinpData> d = NewRecord();
  std::unique_ptr<SatPosData> sp = NewPositions();
  Scene() { LoadSlot(d.get(), 0, IssElements()); }
  void at(double t) { GetSatPos(t, d.get(), sp.get(), 0, 0); }
  // First minute after the epoch at which pred holds (sp filled for it).
  double find(const std::function<bool(const SatPosData&)>& pred) {
    for (int k = 0; k < 2 * 1440; k++) {
      const double t = d->epoch[0] + k / 1440.0;
      at(t);
      if (pred(*sp)) return t;
    }
    ADD_FAILURE() << "no such time";
    return d->epoch[0];
  }
  // The observer straight below the satellite, on the ellipsoid.
  void observerBelow(double t) {
    at(t);
    d->lat = sp->lat[0];
    d->lng = sp->lng[0];
    d->height = 0.0;
  }
  // A time with the satellite well in sunlight and the observer right below it.
  double sunlitOverhead() {
    const double t = find([](const SatPosData& p) { return p.sunh[0] > 5.0; });
    observerBelow(t);
    return t;
  }
};

}  // namespace

// Eclipse seen from the satellite for a Sun disc of 4.65 mrad and Moon
// discs smaller (60 Earth radii away) and larger (57) than it: type,
// magnitude, remaining power and dimming against the overlap counted on a grid.
TEST(SatSunEclipse, AgainstDiscOverlap) {
  struct Case {
    double mdist, sep;  // Earth radii, rad
    int typ;
  };
  const Case cases[] = {
      {60.0, 0.0, 3},       {60.0, 5e-5, 3},      {60.0, 5e-4, 1},   {60.0, 3e-3, 1},
      {60.0, 7e-3, 1},      {60.0, 9.1e-3, 1},    {60.0, 9.4e-3, 0}, {57.0, 0.0, 2},
      {57.0, 1e-4, 2},      {57.0, 1e-3, 1},      {57.0, 6e-3, 1},   {57.0, 0.5, 0},
  };
  auto d = NewRecord();
  const Vec3 sun(kSunDist, 0.0, 0.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mdist << " " << c.sep);
    const Vec3 sat(0.2, -0.1, 1.05);  // the satellite, Earth radii
    // Put the Moon at the wanted separation as seen from the satellite.
    const Vec3 m = sat + c.mdist * Vec3(std::cos(c.sep), std::sin(c.sep), 0.0);
    const Vec3 s = sat + sun;
    const double D = SatSunEclipse(d.get(), sat, s, m);
    const double rm = 0.272493 / c.mdist, rss = 109.123 / abs(s);
    EXPECT_NEAR(d->smang, c.sep / kDeg, 1e-6);
    EXPECT_EQ(d->ecltyp, c.typ);
    const double f = c.typ == 0 ? 1.0 : UncoveredFraction(rss, rm, c.sep);
    switch (c.typ) {
      case 0:
        EXPECT_EQ(D, 0.0);
        EXPECT_EQ(d->eclmag, 0.0);
        break;
      case 2:
        EXPECT_EQ(D, 20.0);
        break;
      case 3:
        EXPECT_NEAR(d->eclmag, rm / rss, 1e-12);
        EXPECT_NEAR(D, -2.5 * std::log10(1.0 - rm * rm / (rss * rss)), 1e-9);
        EXPECT_NEAR(d->eclpow, f, 2e-3);
        break;
      default:
        EXPECT_NEAR(d->eclmag, (rss + rm - c.sep) / (2.0 * rss), 1e-9);
        EXPECT_NEAR(d->eclpow, f, 2e-3);
        EXPECT_NEAR(D, -2.5 * std::log10(f), 0.01 + 2e-3 / f);
    }
  }
}

// The phase term: with the satellite exactly between the source and the
// observer its unlit side faces the observer, the faintest case, not the
// brightest. Away from that point the magnitude brightens steadily.
TEST(SatMagnitude, UnlitSideIsFaintest) {
  auto d = NewRecord();
  auto sp = NewPositions();
  d->chlen = 1.0;
  SatPosStage st;
  st.sun = Vec3(kSunDist, 0.0, 0.0);
  st.r = Vec3(7000.0, 0.0, 0.0);
  sp->rng[0] = 622.0;
  sp->el[0] = 90.0;
  double prev = 1e9;
  for (double off : {0.0, 1e-3, 0.1, 1.0, 100.0, 1e4}) {
    // Observer on the far side of the satellite from the Sun, off the line.
    st.o = Vec3(6378.0, off, 0.0);
    st.dim = 0.0;
    SatMagnitude(d.get(), sp.get(), 0, st);
    EXPECT_LT(sp->mag, prev) << off;
    EXPECT_EQ(st.md, sp->mag);
    EXPECT_EQ(st.ms, -30.0);  // the Sun is the source
    prev = sp->mag;
  }
  st.o = Vec3(6378.0, 0.0, 0.0);
  SatMagnitude(d.get(), sp.get(), 0, st);
  EXPECT_GT(sp->mag, 60.0);
  // Full phase (observer on the Sun's side): about 5 log10(622 km / 1 m) - 26
  st.o = Vec3(7622.0, 0.0, 0.0);
  SatMagnitude(d.get(), sp.get(), 0, st);
  EXPECT_NEAR(sp->mag, 5.0 * std::log10(622000.0) + 0.74 - 26.74, 1e-9);
}

// Transit centre line: seen from the point GetSatPos gives, the satellite
// stands in front of the Sun's centre.
TEST(TransitStage, SunCentreLineSeesTheSatelliteOnTheSun) {
  Scene s;
  WinpData* d = s.d.get();
  d->height = 0.0;
  d->occflg = 1;
  // A time when the line from the Sun through the satellite meets the Earth.
  const double t = s.find([](const SatPosData& p) { return p.ctlat[0] < 99.0; });
  d->lat = s.sp->ctlat[0];
  d->lng = s.sp->ctlng[0];
  s.at(t);
  const Vec3 sat = polcar(Vec3(1.0, -s.sp->az[0] * kDeg, s.sp->el[0] * kDeg));
  const Vec3 sun = polcar(Vec3(1.0, -s.sp->sunazo, s.sp->sunelo * kDeg));
  EXPECT_LT(std::acos(std::min(1.0, dot(sat, sun))) / kDeg, 1e-4);
  EXPECT_GT(s.sp->sunelo, 0.0);
  // The centre line passes through the observer now: distance 0 km.
  EXPECT_NEAR(s.sp->mag, 0.0, 0.01);

  // Moon transit: the Moon's place and disc radius at the observer.
  d->occflg = 2;
  s.at(t);
  EXPECT_GT(s.sp->smrad, 0.24);
  EXPECT_LT(s.sp->smrad, 0.29);
  EXPECT_LE(std::fabs(s.sp->moonelo), kPi / 2.0);
}

// Unknown mirror (stage F) gives the attitude that sends sunlight to the
// observer; the known mirror of that attitude (stage E) then has its flare
// centre line at the observer and a flare angle of zero. Both the inertial
// attitude (packed R.A./Dec. of the mean equator of yrepoch) and the local
// one (yaw and pitch in the orbit frame) go round.
TEST(FlareStage, UnknownMirrorAttitudeGoesRound) {
  Scene s;
  WinpData* d = s.d.get();
  const double t = s.sunlitOverhead();
  d->flarflg = 1;
  for (int mode : {2, 1}) {
    SCOPED_TRACE(mode);
    d->flarmod = -mode;
    s.at(t);
    EXPECT_EQ(s.sp->ctlat[0], 99.0);  // no centre line for an unknown mirror
    d->flarmod = mode;
    d->flrang = 360.0;
    s.at(t);
    EXPECT_NEAR(s.sp->ctlat[0], d->lat, 2e-4);
    EXPECT_NEAR(AngDiff(s.sp->ctlng[0], d->lng), 0.0, 2e-4);
    EXPECT_LT(d->flrang, 2e-3);
  }
}

// A flare centre line is computed with occflg set to 3 inside the stage; a
// transit mode chosen together with a known-surface flare mode survives it.
TEST(FlareStage, KeepsTheTransitMode) {
  Scene s;
  WinpData* d = s.d.get();
  const double t = s.sunlitOverhead();
  d->flarflg = 1;
  d->flarmod = -2;
  s.at(t);
  d->flarmod = 2;
  d->occflg = 1;
  s.at(t);
  EXPECT_NEAR(s.sp->ctlat[0], d->lat, 2e-4);  // the flare stage ran ...
  EXPECT_EQ(d->occflg, 1);                    // ... and the Sun transit mode stays
  s.at(t + 1.0 / 1440.0);
  EXPECT_EQ(d->occflg, 1);
}

// A mirror facing away from the Sun gives no centre line; without sunlight
// (Earth's shadow, moonflg clear) the stage ends with ctlat 100.
TEST(FlareStage, NoCentreLineWithoutIncidentLight) {
  Scene s;
  WinpData* d = s.d.get();
  const double t = s.sunlitOverhead();
  d->flarflg = 1;
  d->flarmod = -2;
  s.at(t);
  // Turn the normal round: R.A. + 12 h, Dec. negated.
  const double ra = 15.0 * DmsDegF(d->occra), dec = DmsDegF(d->occdec);
  d->occra = DegFDms(std::fmod(ra + 180.0, 360.0) / 15.0);
  d->occdec = DegFDms(-dec);
  d->flarmod = 2;
  s.at(t);
  EXPECT_EQ(s.sp->ctlat[0], 100.0);

  d->occra = DegFDms(ra / 15.0);
  d->occdec = DegFDms(dec);
  const double tdark = s.find([](const SatPosData& p) { return p.sunh[0] < -5.0; });
  s.observerBelow(tdark);
  s.at(tdark);
  EXPECT_EQ(s.sp->ctlat[0], 100.0);
}

// With Moon-lit flares asked for (moonflg) and no magnitude stage in the call
// (chlen 0) there is no source magnitude: the flare is reported as not
// visible (99), never computed from a stale or undefined value. With the
// magnitude stage and the satellite in the Earth's shadow the Moon's own
// magnitude makes a (faint) finite flare.
TEST(FlareStage, MoonLitFlareNeedsTheSourceMagnitude) {
  Scene s;
  WinpData* d = s.d.get();
  d->moonflg = 1;
  const double t = s.find(
      [](const SatPosData& p) { return p.sunh[0] < -3.0 && p.moonh[0] > 5.0; });
  s.observerBelow(t);
  d->flarflg = 1;
  d->flarmod = -2;
  s.at(t);
  d->flarmod = 2;
  d->flrmgf = true;
  d->iridflg = 2;
  d->flrmgx = 0.0;
  s.sp->mag = -5.0;
  d->chlen = 0.0;
  s.at(t);
  EXPECT_NEAR(s.sp->ctlat[0], d->lat, 2e-4);
  EXPECT_EQ(s.sp->mag, 99.0);

  d->chlen = 1.0;
  s.at(t);
  EXPECT_LT(s.sp->mag, 60.0);
  EXPECT_GT(s.sp->mag, -10.0);
}

// Single-mirror flare magnitude with flrmgf: never fainter than the diffuse
// magnitude of the same call.
TEST(FlareStage, FlareNotFainterThanDiffuse) {
  Scene s;
  WinpData* d = s.d.get();
  const double t = s.sunlitOverhead();
  d->chlen = 2.0;
  s.at(t);
  const double diffuse = s.sp->mag;
  EXPECT_LT(diffuse, 10.0);
  d->flarflg = 1;
  d->flarmod = -2;
  s.at(t);
  d->flarmod = 2;
  d->flrmgf = true;
  d->iridflg = 0;
  for (double off : {0.0, 0.002, 0.02, 0.2}) {
    // Mirror turned by off (packed hours) away from the flare attitude.
    const double ra0 = d->occra;
    d->occra = DegFDms(DmsDegF(ra0) + off);
    s.at(t);
    EXPECT_LE(s.sp->mag, diffuse + 1e-12) << off;
    d->occra = ra0;
  }
}

// Iridium mode: three mirrors and the panel evaluated with the stage's own
// yaw and pitch; the user's values come back. With the beta angle outside
// 40..65 deg the panel is skipped and they come back unchanged.
TEST(FlareStage, IridiumModeRestoresAttitude) {
  Scene s;
  WinpData* d = s.d.get();
  const double t = s.sunlitOverhead();
  s.at(t);
  ASSERT_FALSE(std::fabs(s.sp->beta[0]) >= 40.0 && std::fabs(s.sp->beta[0]) <= 65.0);
  d->iridflg = 3;
  d->irsol = true;
  d->occra = 12.5;
  d->occdec = -7.25;
  d->flaryst = 1;
  d->flrang = -1.0;
  s.sp->mag = 42.0;
  s.at(t);
  EXPECT_EQ(d->occra, 12.5);
  EXPECT_EQ(d->occdec, -7.25);
  EXPECT_EQ(d->flaryst, 1);
  EXPECT_GE(d->flrang, 0.0);  // at least one mirror was lit
  EXPECT_LE(d->flrang, 180.0);
  // The best of the mirrors never takes a magnitude an earlier call left in
  // the record: a bright stale value must not turn into a flare.
  const double m = s.sp->mag;
  s.sp->mag = -8.0;
  s.at(t);
  EXPECT_EQ(s.sp->mag, m);
}
