// The engine record and its slot copy.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/vorlixcom.h"

namespace {

// Byte copy (padding included) so that memcmp compares only what changed.
std::unique_ptr<WinpData> snapshot(const WinpData* d) {
  auto c = std::make_unique<WinpData>();
  std::memcpy(static_cast<void*>(c.get()), d, sizeof(WinpData));
  return c;
}

// Gives every per-slot field of slot s a value derived from base.
void fillSlot(WinpData* d, int s, double base) {
  d->norad[s] = static_cast<int>(base);
  std::snprintf(d->satname[s], SATNAME_SIZE, "SAT %g", base);
  std::snprintf(d->nameutf8[s], NAMEUTF8_SIZE, "SAT \xce\xa9 %g", base);
  std::snprintf(d->dsn[s], DSN_SIZE, "2009-%03dA", static_cast<int>(base) % 1000);
  std::snprintf(d->cfgname[s], SATNAME_SIZE, "CFG %g", base);
  d->sgpflg[s] = static_cast<int>(base) + 1;
  d->nmflg[s] = static_cast<int>(base) + 2;
  double* fields[] = {d->epoch, d->a,   d->ra,  d->aper, d->inc,   d->ecc,  d->m0,   d->mnmot,
                      d->adot,  d->ndot, d->n6dot, d->bstar, d->rx, d->ry,  d->rz,   d->vx,
                      d->vy,    d->vz,  d->tint, d->irx,  d->iry,   d->irz,  d->ivx,  d->ivy,
                      d->ivz,   d->f107, d->fb107, d->kp,  d->cd,   d->cr,   d->am,   d->deltv,
                      d->yaw,   d->pitch};
  int k = 0;
  for (double* f : fields) f[s] = base + 0.001 * ++k;
  d->ionf[s] = true;
  d->suns[s] = true;
  d->epu[s] = true;
}

// Every per-slot field except cfgname of slot a equals that of slot b.
void expectSameSlot(const WinpData* d, int a, int b) {
  EXPECT_EQ(d->norad[a], d->norad[b]);
  EXPECT_STREQ(d->satname[a], d->satname[b]);
  EXPECT_STREQ(d->nameutf8[a], d->nameutf8[b]);
  EXPECT_STREQ(d->dsn[a], d->dsn[b]);
  EXPECT_EQ(d->sgpflg[a], d->sgpflg[b]);
  EXPECT_EQ(d->nmflg[a], d->nmflg[b]);
  const double* fields[] = {d->epoch, d->a,   d->ra,  d->aper, d->inc,   d->ecc,  d->m0,   d->mnmot,
                            d->adot,  d->ndot, d->n6dot, d->bstar, d->rx, d->ry,  d->rz,   d->vx,
                            d->vy,    d->vz,  d->tint, d->irx,  d->iry,   d->irz,  d->ivx,  d->ivy,
                            d->ivz,   d->f107, d->fb107, d->kp,  d->cd,   d->cr,   d->am,   d->deltv,
                            d->yaw,   d->pitch};
  int k = 0;
  for (const double* f : fields) EXPECT_EQ(f[a], f[b]) << "field " << k++;
  EXPECT_EQ(d->ionf[a], d->ionf[b]);
  EXPECT_EQ(d->suns[a], d->suns[b]);
  EXPECT_EQ(d->epu[a], d->epu[b]);
}

}  // namespace

TEST(Record, TextFieldSizes) {
  WinpData d;
  EXPECT_EQ(sizeof d.sdsn, 9u);
  EXPECT_EQ(sizeof d.ldsn, 12u);
  EXPECT_EQ(sizeof d.geoname, 31u);
  EXPECT_EQ(sizeof d.savnm, 105u);
  EXPECT_EQ(sizeof d.tlenm, 105u);
  EXPECT_EQ(sizeof d.tlsnm, 105u);
  EXPECT_EQ(sizeof d.updurl, 105u);
  EXPECT_EQ(sizeof d.dsn, 12u * 12u);
  EXPECT_EQ(sizeof d.cfgname, 12u * 21u);
  EXPECT_EQ(sizeof d.satname, 12u * 21u);
  EXPECT_EQ(sizeof d.pastm, 120u * sizeof(double));
  EXPECT_EQ(sizeof(WoutData::lines), 160u * 77u);
  SatPosData sp;
  EXPECT_EQ(sizeof sp.lat, 12u * sizeof(double));
  EXPECT_EQ(sizeof sp.fplat, 12u * 64u * sizeof(double));
}

TEST(Record, ShiftElmCopiesEverySlotFieldButCfgname) {
  auto d = std::make_unique<WinpData>();
  fillSlot(d.get(), 10, 25544);
  fillSlot(d.get(), 3, 7);
  d->sgpsat = 3;
  ShiftElm(d.get(), 3, 10);
  expectSameSlot(d.get(), 3, 10);
  EXPECT_STREQ(d->cfgname[3], "CFG 7");
  EXPECT_STREQ(d->cfgname[10], "CFG 25544");
  EXPECT_EQ(d->sgpsat, SGPSAT_NONE);
}

TEST(Record, ShiftElmOntoItselfResetsCacheOnly) {
  auto d = std::make_unique<WinpData>();
  fillSlot(d.get(), 2, 42);
  auto before = snapshot(d.get());
  d->sgpsat = 2;
  before->sgpsat = SGPSAT_NONE;
  ShiftElm(d.get(), 2, 2);
  EXPECT_EQ(std::memcmp(d.get(), before.get(), sizeof(WinpData)), 0);
}

TEST(Record, ShiftElmIgnoresSlotsOutsideTheRecord) {
  // A negative satellite count can lead callers to such indexes.
  auto d = std::make_unique<WinpData>();
  for (int s = 0; s < NSLOTS; ++s) fillSlot(d.get(), s, 100 + s);
  d->sgpsat = 4;
  auto before = snapshot(d.get());
  const int bad[][2] = {{-1, 10}, {12, 10}, {3, -1}, {3, 12}, {9999, 0}, {0, -2147483647}};
  for (const auto& b : bad) ShiftElm(d.get(), b[0], b[1]);
  EXPECT_EQ(std::memcmp(d.get(), before.get(), sizeof(WinpData)), 0);
  ShiftElm(nullptr, 1, 2);  // no record: nothing to do, no crash
}

TEST(Record, SparesAndWorkSlotAreInBounds) {
  auto d = std::make_unique<WinpData>();
  fillSlot(d.get(), 0, 1);
  ShiftElm(d.get(), SPARESLOT, 0);
  ShiftElm(d.get(), 0, WORKSLOT);
  ShiftElm(d.get(), WORKSLOT, SPARESLOT);
  EXPECT_EQ(d->norad[WORKSLOT], 1);
  EXPECT_EQ(d->norad[0], 0);
}

// The rule of relative mode, and the guard that puts a field back on every
// way out of a scope.
TEST(Record, RelativeModeAndKeep) {
  auto d = std::make_unique<WinpData>();
  d->rlm = 1;
  d->satnr = 2;
  EXPECT_TRUE(RelativeMode(d.get()));
  d->satnr = 1;
  EXPECT_FALSE(RelativeMode(d.get()));
  d->satnr = 3;
  d->occflg = 2;
  EXPECT_FALSE(RelativeMode(d.get()));
  d->occflg = 0;
  d->flarflg = 1;
  EXPECT_FALSE(RelativeMode(d.get()));
  d->flarflg = 0;
  d->rlm = 0;
  EXPECT_FALSE(RelativeMode(d.get()));

  d->rlm = 5;
  d->sunel = -6.0;
  auto run = [&](bool early) {
    Keep<int> rlm(d->rlm, 0);
    Keep<double> sunel(d->sunel);
    EXPECT_EQ(d->rlm, 0);
    EXPECT_EQ(rlm.saved(), 5);
    d->sunel = 90.0;
    if (early) return 1;
    d->rlm = 7;
    return 0;
  };
  for (bool early : {true, false}) {
    run(early);
    EXPECT_EQ(d->rlm, 5);
    EXPECT_EQ(d->sunel, -6.0);
  }
}

// The slot the window treats as prime: prs when it is a selection slot; the
// work and spare slots are never prime.
TEST(Record, PrimeSlot) {
  const struct {
    int prs, slot;
    bool has;
  } cases[] = {{0, 0, true},       {3, 3, true},        {MAXSEL - 1, MAXSEL - 1, true},
               {MAXSEL, 0, false}, {NSLOTS - 1, 0, false}, {-1, 0, false},
               {-9999, 0, false}};
  auto d = std::make_unique<WinpData>();
  for (const auto& c : cases) {
    d->prs = c.prs;
    EXPECT_EQ(PrimeSlot(d.get()), c.slot) << "prs " << c.prs;
    EXPECT_EQ(HasPrimeSlot(d.get()), c.has) << "prs " << c.prs;
  }
}

// An array field comes back whole, also after a set, a shorter text written
// into it or an early way out.
TEST(Record, KeepArray) {
  auto d = std::make_unique<WinpData>();
  std::snprintf(d->savnm, FILENAME_SIZE, "%s", "/home/obs/passes-of-the-long-night.txt");
  d->pastm[0] = 58139.5;
  d->pastm[MAXPASS - 1] = 58140.25;
  const auto before = snapshot(d.get());
  auto run = [&](bool early) {
    char other[FILENAME_SIZE] = "*x";
    Keep<char[FILENAME_SIZE]> save(d->savnm, other);
    Keep<double[MAXPASS]> times(d->pastm);
    EXPECT_STREQ(d->savnm, "*x");
    EXPECT_STREQ(save.saved(), before->savnm);
    d->pastm[MAXPASS - 1] = 0.0;
    if (early) return 1;
    std::snprintf(d->savnm, FILENAME_SIZE, "%s", "y");
    return 0;
  };
  for (bool early : {true, false}) {
    run(early);
    EXPECT_EQ(std::memcmp(d.get(), before.get(), sizeof(WinpData)), 0);
  }
}
