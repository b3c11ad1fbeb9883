// GetSatPos against skyfield and astropy: observer geometry, sub-point,
// R.A./Dec., range rate, Sun and Moon values, for a low, a sun-synchronous,
// a Molniya and a geostationary orbit seen from two places; relative mode,
// the work slots and the Kepler model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "astro/astrolib.h"
#include "engine/satpos.h"
#include "engine/sgp4slot.h"
#include "orbit/vorlixnum.h"
#include "support/satposfixture.h"

using namespace satpos_test;

namespace {

// Largest deviation seen per quantity, printed once for the record.
struct MaxErr {
  std::map<std::string, double> e;
  void add(const std::string& k, double x) { e[k] = std::max(e[k], std::fabs(x)); }
  void print() const {
    for (const auto& kv : e) std::printf("  max |d%s| = %.3g\n", kv.first.c_str(), kv.second);
  }
};

// Observer k of the reference file; the second runs with the IERS branch
// (UT1 - UTC = 0, TAI - UTC = 37 s: light time and the long nutation series).
void SetObserver(WinpData* d, const RefObs& o, int k) {
  d->lat = o.lat;
  d->lng = o.lng;
  d->height = o.height;
  d->IERSflg = k == 1;
  d->Ut1Utc = 0.0;
  d->UtcTai = -37;
}

}  // namespace

// The comparison also settles the frame of the SGP4 branch: its state is
// brought to true of date by the equation of the equinoxes alone. A second
// nutation rotation moves a low satellite by up to 0.6 km, several
// hundredths of a degree at these ranges, far outside the az/el tolerance.
TEST(GetSatPos, ObserverGeometryMatchesSkyfield) {
  const RefData ref = LoadRefs();
  ASSERT_EQ(ref.sats.size(), 4u);
  ASSERT_EQ(ref.obs.size(), 2u);
  ASSERT_GT(ref.rows.size(), 100u);
  auto d = NewRecord();
  auto sp = NewPositions();
  d->eclflg = true;  // smang of the current satellite
  MaxErr err;
  int nclose = 0, nlit = 0;
  int cur = -1;
  for (const RefRow& w : ref.rows) {
    if (w.sat != cur) {
      LoadSlot(d.get(), 0, ref.sats[w.sat]);
      cur = w.sat;
    }
    SetObserver(d.get(), ref.obs[w.obs], w.obs);
    GetSatPos(w.mjd, d.get(), sp.get(), 0, 0);
    SCOPED_TRACE(ref.sats[w.sat].name + " observer " + std::to_string(w.obs) + " mjd " +
                 std::to_string(w.mjd));

    // Azimuth and elevation: geometric, within 0.005 deg on the sky.
    const double del = sp->el[0] - w.el;
    const double daz = AngDiff(sp->az[0], w.az) * std::cos(w.el * kDeg);
    if (w.rng < 2000.0) {
      nclose++;
      err.add("az.cos(el) <2000km", daz);
      err.add("el <2000km", del);
    }
    err.add("az.cos(el)", daz);
    err.add("el", del);
    EXPECT_NEAR(del, 0.0, 0.005);
    EXPECT_NEAR(daz, 0.0, 0.005);
    EXPECT_GE(sp->az[0], 0.0);
    EXPECT_LT(sp->az[0], 360.0);

    EXPECT_NEAR(sp->rng[0], w.rng, 0.01);
    err.add("rng", sp->rng[0] - w.rng);
    EXPECT_NEAR(sp->rate[0], w.rate, 1e-4);
    err.add("rate", sp->rate[0] - w.rate);

    // Geodetic sub-satellite point.
    EXPECT_NEAR(sp->lat[0], w.lat, 0.002);
    EXPECT_NEAR(AngDiff(sp->lng[0], w.lng), 0.0, 0.002);
    EXPECT_GE(sp->lng[0], -180.0);
    EXPECT_LE(sp->lng[0], 180.0);
    EXPECT_NEAR(sp->hgt[0], w.hgt, 0.02);
    err.add("lat", sp->lat[0] - w.lat);
    err.add("lng", AngDiff(sp->lng[0], w.lng));
    err.add("hgt", sp->hgt[0] - w.hgt);

    // Topocentric R.A./Dec. in the mean equator of 2000 (packed).
    const double ra = 15.0 * DmsDegF(sp->ra[0]), dec = DmsDegF(sp->dec[0]);
    const double dra = AngDiff(ra, w.ra) * std::cos(w.dec * kDeg);
    EXPECT_NEAR(dra, 0.0, 0.005);
    EXPECT_NEAR(dec, w.dec, 0.005);
    err.add("ra.cos(dec)", dra);
    err.add("dec", dec - w.dec);

    // Sun and Moon: the Sun-Moon angle seen from the satellite, the beta
    // angle, the Sun at the observer and the sub-solar point.
    EXPECT_NEAR(d->smang, w.smang, 0.02);
    EXPECT_NEAR(sp->beta[0], w.beta, 0.02);
    EXPECT_NEAR(sp->sunelo, w.sunel, 0.01);
    EXPECT_NEAR(AngDiff(sp->sunazo / kDeg, w.sunaz) * std::cos(w.sunel * kDeg), 0.0, 0.01);
    // The sub-solar latitude is that of the point where the line to the
    // Sun's centre meets the ellipsoid (geocentric declination turned
    // geodetic); astropy's geodetic latitude of the Sun itself is its
    // geocentric declination.
    const double sslat = std::atan(std::tan(w.sslat * kDeg) * 1.00674) / kDeg;
    EXPECT_NEAR(sp->sslat, sslat, 0.01);
    EXPECT_NEAR(AngDiff(sp->sslng, w.sslng), 0.0, 0.01);
    err.add("smang", d->smang - w.smang);
    err.add("beta", sp->beta[0] - w.beta);
    err.add("sunelo", sp->sunelo - w.sunel);
    err.add("sslat", sp->sslat - sslat);
    err.add("sslng", AngDiff(sp->sslng, w.sslng));

    // Sunlit (Sun above the satellite's limb) as a sphere test says, away
    // from the terminator where sphere and ellipsoid may disagree.
    if (std::fabs(w.litmargin) > 0.5) {
      EXPECT_EQ(sp->sunh[0] >= 0.0, w.litmargin > 0.0) << "sunh " << sp->sunh[0];
      nlit += w.litmargin > 0.0;
    }
  }
  EXPECT_GE(nclose, 30);  // enough short-range samples to see a frame error
  EXPECT_GE(nlit, 20);
  std::printf("  %zu samples, %d within 2000 km\n", ref.rows.size(), nclose);
  err.print();
}

// The eccentric Molniya orbit has flight-path angles up to ~45 deg: a beta
// angle taken from the unnormalised cross product would be too small by
// cos(flight-path angle). The skyfield comparison above covers it; this test
// makes sure the samples include such states.
TEST(GetSatPos, BetaAngleOnEccentricOrbit) {
  const RefData ref = LoadRefs();
  auto d = NewRecord();
  auto sp = NewPositions();
  LoadSlot(d.get(), 0, ref.sats[2]);
  int n = 0;
  for (const RefRow& w : ref.rows) {
    if (w.sat != 2) continue;
    GetSatPos(w.mjd, d.get(), sp.get(), 0, 0);
    // Flight-path angle from the state.
    const double fpa = std::asin(dot(vnorm(sp->rsat), vnorm(sp->vsat))) / kDeg;
    // Samples where the unnormalised product would be off by > 0.1 deg.
    if (std::fabs(w.beta) * (1.0 - std::cos(fpa * kDeg)) > 0.1) n++;
    EXPECT_NEAR(sp->beta[0], w.beta, 0.02) << "flight-path angle " << fpa;
  }
  EXPECT_GE(n, 3);
}

// Slots 10 (work slot) and 11 (spare) are written in their own entries:
// nothing of slots 0-9 or the scalars changes, and the values equal those of
// the same elements in a selected slot. (The address sanitizer build checks
// the bounds.)
TEST(GetSatPos, WorkAndSpareSlotsStayInBounds) {
  const RefData ref = LoadRefs();
  auto d = NewRecord();
  auto ref3 = NewPositions();
  const double t = ref.sats[0].epoch + 0.3;
  for (int s : {3, WORKSLOT, SPARESLOT}) LoadSlot(d.get(), s, ref.sats[0]);
  GetSatPos(t, d.get(), ref3.get(), 3, 1);

  auto sp = NewPositions();
  std::memset(static_cast<void*>(sp.get()), 0x5a, sizeof(SatPosData));
  auto before = NewPositions();
  std::memcpy(static_cast<void*>(before.get()), sp.get(), sizeof(SatPosData));
  for (int s : {WORKSLOT, SPARESLOT}) {
    GetSatPos(t, d.get(), sp.get(), s, 1);
    EXPECT_EQ(sp->lat[s], ref3->lat[3]);
    EXPECT_EQ(sp->lng[s], ref3->lng[3]);
    EXPECT_EQ(sp->hgt[s], ref3->hgt[3]);
    EXPECT_EQ(sp->az[s], ref3->az[3]);
    EXPECT_EQ(sp->rng[s], ref3->rng[3]);
    EXPECT_EQ(sp->ssaz[s], ref3->ssaz[3]);
    EXPECT_EQ(sp->beta[s], ref3->beta[3]);
    EXPECT_EQ(sp->fplat[s][17], ref3->fplat[3][17]);
    EXPECT_EQ(sp->fplng[s][63], ref3->fplng[3][63]);
  }
  for (int s = 0; s < MAXSEL; s++) {
    EXPECT_EQ(std::memcmp(&sp->lat[s], &before->lat[s], sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(&sp->ssaz[s], &before->ssaz[s], sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(sp->fplat[s], before->fplat[s], sizeof sp->fplat[s]), 0);
  }
  EXPECT_EQ(sp->sunelo, ref3->sunelo);
  EXPECT_EQ(std::memcmp(&sp->moonelo, &before->moonelo, sizeof(double)), 0);
  // The analytic state is handed to the numerical propagator of the slot.
  EXPECT_EQ(d->irx[WORKSLOT], d->irx[3]);
  EXPECT_EQ(d->tint[SPARESLOT], t);
}

// Relative mode: the next selected slot observes the current one from its own
// place; the observer and slot j's fields are given back afterwards.
TEST(GetSatPos, RelativeModeObservesFromTheNextSlot) {
  const RefData ref = LoadRefs();
  auto d = NewRecord();
  auto sp = NewPositions();
  LoadSlot(d.get(), 0, ref.sats[0]);  // ISS
  LoadSlot(d.get(), 1, ref.sats[1]);  // JPSS-1
  const double t = ref.sats[0].epoch + 0.2;
  const double dt = 1.0 / 86400.0;

  // Separate positions first, at t - 1 s, t, t + 1 s.
  d->satnr = 2;
  Vec3 r0[3], r1[3];
  double lat1 = 0, lng1 = 0, hgt1 = 0;
  for (int k = 0; k < 3; k++) {
    GetSatPos(t + (k - 1) * dt, d.get(), sp.get(), 0, 0);
    r0[k] = sp->rsat;
    GetSatPos(t + (k - 1) * dt, d.get(), sp.get(), 1, 0);
    r1[k] = sp->rsat;
    if (k == 1) lat1 = sp->lat[1], lng1 = sp->lng[1], hgt1 = sp->hgt[1];
  }

  d->rlm = 1;
  for (int prs : {0, 1}) {
    SCOPED_TRACE(prs);
    d->prs = prs;
    const int j = 1 - prs;  // the next slot; after the last one, slot 0
    const Vec3* ri = prs ? r1 : r0;
    const Vec3* rj = prs ? r0 : r1;
    GetSatPos(t + dt, d.get(), sp.get(), j, 0);  // slot j's own last call
    const double jlat = sp->lat[j], jlng = sp->lng[j];
    GetSatPos(t, d.get(), sp.get(), prs, 0);
    // Range from the observing satellite (the observer is put at its
    // geodetic sub-point and height, which gives back its position) and
    // the rate of change of that distance.
    EXPECT_NEAR(sp->rng[prs], abs(ri[1] - rj[1]), 1e-3);
    EXPECT_NEAR(sp->rate[prs], (abs(ri[2] - rj[2]) - abs(ri[0] - rj[0])) / 2.0, 1e-4);
    // ra, dec, sunh of slot i carry the observing satellite's place.
    if (prs == 0) {
      EXPECT_NEAR(sp->ra[0], lat1, 1e-9);
      EXPECT_NEAR(sp->dec[0], lng1, 1e-9);
      EXPECT_NEAR(sp->sunh[0], hgt1, 1e-9);
    }
    EXPECT_EQ(sp->lat[j], jlat);
    EXPECT_EQ(sp->lng[j], jlng);
    EXPECT_GE(sp->rsun0, -90.0);
    EXPECT_EQ(d->lat, 48.1374);
    EXPECT_EQ(d->lng, 11.5755);
    EXPECT_EQ(d->height, 520.0);
  }

  // One selected satellite: relative mode is off.
  d->satnr = 1;
  d->prs = 0;
  GetSatPos(t, d.get(), sp.get(), 0, 0);
  EXPECT_GT(sp->rng[0], 300.0);
  EXPECT_NEAR(sp->hgt[0], abs(r0[1]) - 6371.0, 30.0);
  EXPECT_EQ(sp->rsat.x, r0[1].x);
}

// The ISS in slot 0 and, in slot 1, a copy that is down within 30 days and
// so has no position 30 days after the epoch, the time these tests use.
static std::unique_ptr<WinpData> HealthyAndDecayed(RefSat& c) {
  c = IssElements();
  auto d = NewRecord();
  LoadSlot(d.get(), 0, c);
  LoadSlot(d.get(), 1, c);
  d->mnmot[1] = 17.5;
  d->bstar[1] = 0.5;
  d->sgpsat = SGPSAT_NONE;
  d->satnr = 2;
  return d;
}

// Relative mode without a position for one of the two: the prime satellite
// seen from an observing satellite that has none (its stand-in place, far
// inside the Earth, used to become the observer) keeps its own place and
// says that there is nothing seen; one that has none says so itself.
TEST(GetSatPos, RelativeModeWithoutAPosition) {
  RefSat c;
  auto d = HealthyAndDecayed(c);
  auto sp = NewPositions();
  const double t = c.epoch + 30.0;
  ASSERT_EQ(GetSatPos(t, d.get(), sp.get(), 1, 0), SATPOS_NOSTATE);
  ASSERT_EQ(GetSatPos(t, d.get(), sp.get(), 0, 0), SATPOS_OK);
  const double lat = sp->lat[0], lng = sp->lng[0], hgt = sp->hgt[0], rng = sp->rng[0];
  d->rlm = 1;
  EXPECT_EQ(GetSatPos(t, d.get(), sp.get(), 0, 0), SATPOS_NOOBSERVER);
  EXPECT_EQ(sp->lat[0], lat);
  EXPECT_EQ(sp->lng[0], lng);
  EXPECT_EQ(sp->hgt[0], hgt);
  EXPECT_EQ(sp->rng[0], rng);  // from the observer, who stayed where it is
  EXPECT_EQ(d->lat, 48.1374);
  EXPECT_EQ(d->height, 520.0);
  d->prs = 1;
  EXPECT_EQ(GetSatPos(t, d.get(), sp.get(), 1, 0), SATPOS_NOSTATE);
}

// The eclipse of the Sun seen from the current satellite needs its position:
// one without (SGP4 has it decayed) gets no Sun-Moon angle and no eclipse
// from the engine's stand-in place, and none of the last satellite's numbers
// remain either.
TEST(GetSatPos, NoEclipseWithoutAPosition) {
  RefSat c;
  auto d = HealthyAndDecayed(c);
  auto sp = NewPositions();
  d->eclflg = true;
  const double t = c.epoch + 30.0;
  d->prs = 0;
  ASSERT_EQ(GetSatPos(t, d.get(), sp.get(), 0, 0), SATPOS_OK);
  EXPECT_GT(d->smang, 0.0);
  // Numbers of an eclipse in progress, as a partial one would leave them.
  d->ecltyp = 1;
  d->eclmag = 0.751;
  d->eclpow = 0.5;
  d->prs = 1;
  ASSERT_EQ(GetSatPos(t, d.get(), sp.get(), 1, 0), SATPOS_NOSTATE);
  EXPECT_EQ(d->smang, 0.0);
  EXPECT_EQ(d->ecltyp, 0);
  EXPECT_EQ(d->eclmag, 0.0);
  EXPECT_EQ(d->eclpow, 0.0);
}

// The built-in Kepler model: two-body motion with the secular J2 turn of node
// and perigee, in the mean equator of date before nutation.
TEST(GetSatPos, KeplerSlot) {
  auto d = NewRecord();
  auto sp = NewPositions();
  const int i = 2;
  d->sgpflg[i] = 0;
  d->epoch[i] = 58138.5;
  d->inc[i] = 51.6;
  d->ra[i] = 40.0;
  d->aper[i] = 30.0;
  d->m0[i] = 0.0;
  d->ecc[i] = 0.01;
  d->mnmot[i] = 15.5;
  d->a[i] = getsax(0, 15.5, 0.01, 51.6);
  const double gm = 2.9755364003e15 / (86400.0 * 86400.0);  // km^3/s^2
  const double a = d->a[i];
  const double n = 2.0 * kPi * 15.5;
  const double kj = 0.001623942 * std::pow(6378.137 / a / (1.0 - 1e-4), 2) * n;
  for (double dt : {0.0, 0.37, 1.0, 5.0}) {
    SCOPED_TRACE(dt);
    const double t = d->epoch[i] + dt;
    GetSatPos(t, d.get(), sp.get(), i, 0);
    // Back to the mean equator of date.
    int dd, mm, yy;
    double hh;
    caldat(t, dd, mm, yy, hh);
    double eqeq;
    const Mat3 N = nutmat(julcent(t + DefTdUt(yy) / 86400.0), eqeq, false);
    const Vec3 r = mxvct(mxtrn(N), sp->rsat), v = mxvct(mxtrn(N), sp->vsat);
    // Energy of a two-body orbit with semi-major axis a.
    EXPECT_NEAR(dot(v, v) / 2.0 - gm / abs(r), -gm / (2.0 * a), 1e-6);
    // Orbit normal: inclination fixed, node regressing at the J2 rate.
    const Vec3 h = vnorm(r * v);
    EXPECT_NEAR(std::acos(h.z) / kDeg, 51.6, 1e-9);
    const double node = std::atan2(h.x, -h.y) / kDeg;
    const double expect = 40.0 - kj * std::cos(51.6 * kDeg) * dt / kDeg;
    EXPECT_NEAR(AngDiff(node, expect), 0.0, 1e-8);
    if (dt == 0.0) {
      EXPECT_NEAR(abs(r), a * (1.0 - 0.01), 1e-6);  // M0 = 0: perigee
    }
    // The integrated state of the slot follows (mean of date, m and m/s).
    EXPECT_NEAR(d->irx[i], 1000.0 * r.x, 1e-3);
    EXPECT_NEAR(d->ivz[i], 1000.0 * v.z, 1e-6);
  }
  // Node regression of about -5 deg/day for this orbit.
  EXPECT_NEAR(-kj * std::cos(51.6 * kDeg) / kDeg, -5.0, 0.2);

  // e >= 1: mnmot is the pericentre distance, the epoch the pericentre time.
  for (double e : {1.0, 1.5}) {
    d->ecc[i] = e;
    d->mnmot[i] = 7000.0;
    GetSatPos(d->epoch[i], d.get(), sp.get(), i, 0);
    EXPECT_NEAR(abs(sp->rsat), 7000.0, 1e-6) << e;
    const double vp = std::sqrt(gm * (1.0 + e) / 7000.0);
    EXPECT_NEAR(abs(sp->vsat), vp, 1e-9) << e;
    GetSatPos(d->epoch[i] + 0.1, d.get(), sp.get(), i, 0);
    EXPECT_GT(abs(sp->rsat), 7000.0);
  }
}

// A failed propagation gives the substitute point 100 km from the centre:
// far below every horizon, a large negative height.
TEST(GetSatPos, DecayedSatelliteIsBelowTheHorizon) {
  auto d = NewRecord();
  auto sp = NewPositions();
  RefSat c = IssElements();
  c.mnmot = 17.5;  // perigee inside the Earth soon after
  c.bstar = 0.5;
  LoadSlot(d.get(), 0, c);
  GetSatPos(c.epoch + 30.0, d.get(), sp.get(), 0, 0);
  EXPECT_NEAR(abs(sp->rsat), 100.0, 1e-9);
  EXPECT_LT(sp->el[0], -60.0);
  EXPECT_LT(sp->hgt[0], -6000.0);
  EXPECT_TRUE(std::isfinite(sp->lat[0]));
}

// Switching a slot to numerical propagation continues from the analytic
// state the last call left in the slot. Every model stores that state in the
// mean equator of date, like the integrator, so the numerical branch gives
// back the very same position at the same time and nutation is applied
// exactly once on every branch.
TEST(GetSatPos, NumericalContinuesFromAnalyticState) {
  auto d = NewRecord();
  auto sp = NewPositions();
  const RefSat c = IssElements();
  d->mxit = 20;
  d->RKFtol = 1e-8;
  const double t0 = c.epoch + 0.1, t1 = t0 + 10.0 / 1440.0;
  for (bool sgp : {false, true}) {
    SCOPED_TRACE(sgp);
    LoadSlot(d.get(), 0, c);
    d->sgpflg[0] = sgp;
    d->nmflg[0] = 0;
    GetSatPos(t1, d.get(), sp.get(), 0, 0);
    const Vec3 r1 = sp->rsat;
    GetSatPos(t0, d.get(), sp.get(), 0, 0);
    const Vec3 r0 = sp->rsat, v0 = sp->vsat;
    d->nmflg[0] = 1;
    GetSatPos(t0, d.get(), sp.get(), 0, 0);
    EXPECT_LT(abs(sp->rsat - r0), 1e-6);
    EXPECT_LT(abs(sp->vsat - v0), 1e-9);
    GetSatPos(t1, d.get(), sp.get(), 0, 0);
    EXPECT_LT(abs(sp->rsat - r1), 5.0);  // short-period J2 and drag differ
  }
}

using support::numericalSlot;

// What GetSatPos says of each model: its state at t, a satellite on the
// ground, or no state at all, which puts it at SGP4's failure state below
// every horizon (a numerical satellite used to stand still where its
// integration stopped, a Kepler slot to keep an infinite height).
TEST(GetSatPos, StatusOfEachModel) {
  const RefSat c = IssElements();
  struct Case {
    const char* what;
    void (*set)(WinpData*, const RefSat&);
    double dt;  // days after the epoch
    int status;
  };
  const Case cases[] = {
      {"SGP4", [](WinpData* d, const RefSat& c) { LoadSlot(d, 0, c); }, 0.1, SATPOS_OK},
      {"SGP4, decayed",
       [](WinpData* d, const RefSat& c) {
         LoadSlot(d, 0, c);
         d->mnmot[0] = 17.5;
         d->bstar[0] = 0.5;
       },
       30.0, SATPOS_NOSTATE},
      {"Kepler", [](WinpData* d, const RefSat& c) {
         LoadSlot(d, 0, c);
         d->sgpflg[0] = 0;
       },
       0.7, SATPOS_OK},
      {"Kepler, N-dot 1e200 near e = 1",
       [](WinpData* d, const RefSat& c) {
         LoadSlot(d, 0, c);
         d->sgpflg[0] = 0;
         d->ecc[0] = 0.9999999;
         d->ndot[0] = 1e200;
         d->a[0] = getsax(0, c.mnmot, 0.9999999, c.inc);
         d->adot[0] = -4.0 / 3.0 * d->a[0] * d->ndot[0] / c.mnmot;
       },
       -1.5, SATPOS_NOSTATE},
      {"numerical",
       [](WinpData* d, const RefSat& c) {
         numericalSlot(d, 0, c.epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
       },
       0.3, SATPOS_OK},
      {"numerical, beyond the work of one call",
       [](WinpData* d, const RefSat& c) {
         numericalSlot(d, 0, c.epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
         nmevals = 600;
       },
       0.3, SATPOS_NOSTATE},
      {"numerical, Kp 20",
       [](WinpData* d, const RefSat& c) {
         numericalSlot(d, 0, c.epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 0));
         d->kp[0] = 20.0;
       },
       0.004, SATPOS_OK},
      {"numerical, no usable state",
       [](WinpData* d, const RefSat& c) {
         numericalSlot(d, 0, c.epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
         d->am[0] = -1.0;
       },
       0.3, SATPOS_NOSTATE},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto d = NewRecord();
    auto sp = NewPositions();
    k.set(d.get(), c);
    const int st = GetSatPos(c.epoch + k.dt, d.get(), sp.get(), 0, 0);
    nmevals = NUMPROP_EVAL_BUDGET;
    EXPECT_EQ(st, k.status);
    for (double x : {sp->lat[0], sp->lng[0], sp->hgt[0], sp->az[0], sp->el[0], sp->rng[0],
                     d->irx[0], d->ivz[0]})
      EXPECT_TRUE(std::isfinite(x));
    if (k.status == SATPOS_NOSTATE) {
      EXPECT_NEAR(abs(sp->rsat), SGP4FAIL_R, 1e-9);
      EXPECT_LT(sp->el[0], -60.0);
    } else {
      EXPECT_GT(sp->hgt[0], 50.0);  // (the Kp 20 case is falling)
    }
  }
  auto d = NewRecord();
  auto sp = NewPositions();
  EXPECT_EQ(GetSatPos(c.epoch, d.get(), sp.get(), NSLOTS, 0), SATPOS_NOSTATE);
}

// An ordinary decaying orbit comes down on day 4.56. It used to be flung out
// at thousands of km/s; now it lies where it came down, below the horizon of
// observers anywhere, the poles and the date line included.
TEST(GetSatPos, DecayedNumericalSatelliteIsBelowEveryHorizon) {
  const double epoch = 58138.9;
  auto d = NewRecord();
  auto sp = NewPositions();
  numericalSlot(d.get(), 0, epoch, Vec3(6778e3, 0, 0), Vec3(0, 4800, 5900));
  ASSERT_EQ(GetSatPos(epoch + 8.0, d.get(), sp.get(), 0, 0), SATPOS_DECAYED);
  const double lat = sp->lat[0], lng = sp->lng[0];
  EXPECT_LE(sp->hgt[0], 0.0);
  EXPECT_GT(sp->hgt[0], -0.1);
  EXPECT_NEAR(d->tint[0], epoch + 4.56, 0.05);
  std::vector<std::pair<double, double>> places = {{90, 0}, {-90, 0}, {0, 180}, {0, -180},
                                                   {48.1, 11.6}, {-33.9, 151.2}};
  for (double off : {0.01, 0.1, 1.0, 10.0})
    for (int q = 0; q < 4; ++q)
      places.push_back({lat + (q % 2 ? off : -off) * 0.5, lng + (q / 2 ? off : -off)});
  for (const auto& pl : places)
    for (double h : {0.0, 3000.0}) {
      d->lat = std::max(-90.0, std::min(90.0, pl.first));
      d->lng = pl.second;
      d->height = h;
      for (double t : {epoch + 4.6, epoch + 8.0, epoch + 30.0}) {
        ASSERT_EQ(GetSatPos(t, d.get(), sp.get(), 0, 0), SATPOS_DECAYED);
        EXPECT_LT(sp->el[0], 0.0) << pl.first << " " << pl.second << " " << h << " " << t;
        // On the ground where it came down.
        EXPECT_NEAR(sp->lat[0], lat, 1e-6);
        EXPECT_NEAR(sp->lng[0], lng, 1e-6);
      }
    }
}

