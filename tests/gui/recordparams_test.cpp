// The dialogs' parameter structs to and from the record: every field a struct
// carries goes out of the record and back into it, and nothing else is
// written. Each record field of a struct gets a value of its own, the record
// is mapped to the struct and back into a zeroed record, and the two records
// are compared field by field: a field the mapping forgets, or takes from or
// puts into another field, comes back wrong.
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "astro/constants.h"
#include "dialogs/stepoch.h"
#include "gui/recordparams.h"
#include "gui/vorlixview.h"

namespace {

constexpr int kSlot = 3;  // the slot of the per-slot mappings

// One record field: sets it from a number of its own, reads it back.
struct Field {
  const char* name;
  void (*set)(WinpData&, int);
  double (*get)(const WinpData&);
};

// A number field takes k (k + 0.25 when it holds fractions, which an int on
// the way would lose); a flag stored as 0/1 takes 1; a text takes k written
// out.
template <typename T>
void setNumber(T& f, int k) {
  if constexpr (std::is_same_v<T, bool>)
    f = true;
  else if constexpr (std::is_floating_point_v<T>)
    f = k + 0.25;
  else
    f = static_cast<T>(k);
}

#define NUM(f)                                                      \
  Field {                                                           \
    #f, [](WinpData& d, int k) { setNumber(d.f, k); },              \
        [](const WinpData& d) { return static_cast<double>(d.f); } \
  }
#define FLAG(f)                                                     \
  Field {                                                           \
    #f, [](WinpData& d, int) { d.f = 1; },                          \
        [](const WinpData& d) { return static_cast<double>(d.f); } \
  }
#define TEXT(f)                                                              \
  Field {                                                                    \
    #f, [](WinpData& d, int k) { std::snprintf(d.f, sizeof d.f, "t%d", k); }, \
        [](const WinpData& d) { return d.f[0] == 't' ? std::atof(d.f + 1) : -1.0; } \
  }
#define SNUM(f)                                                             \
  Field {                                                                   \
    #f "[slot]", [](WinpData& d, int k) { setNumber(d.f[kSlot], k); },      \
        [](const WinpData& d) { return static_cast<double>(d.f[kSlot]); }   \
  }
#define SFLAG(f)                                                            \
  Field {                                                                   \
    #f "[slot]", [](WinpData& d, int) { d.f[kSlot] = 1; },                  \
        [](const WinpData& d) { return static_cast<double>(d.f[kSlot]); }   \
  }
#define STEXT(f)                                                                          \
  Field {                                                                                 \
    #f "[slot]",                                                                          \
        [](WinpData& d, int k) { std::snprintf(d.f[kSlot], sizeof d.f[kSlot], "t%d", k); }, \
        [](const WinpData& d) {                                                           \
          return d.f[kSlot][0] == 't' ? std::atof(d.f[kSlot] + 1) : -1.0;                \
        }                                                                                 \
  }
// A field set to a given value (one its mapping leaves as it is).
#define FIXED(f, v)                                                 \
  Field {                                                           \
    #f, [](WinpData& d, int) { d.f = v; },                          \
        [](const WinpData& d) { return static_cast<double>(d.f); } \
  }
#define SFIXED(f, v)                                                      \
  Field {                                                                 \
    #f "[slot]", [](WinpData& d, int) { d.f[kSlot] = v; },                \
        [](const WinpData& d) { return static_cast<double>(d.f[kSlot]); } \
  }

using Map = std::function<void(const WinpData& from, WinpData& to)>;

// fields get values of their own in a record, which map copies into a zeroed
// one (through the struct). context: fields the mapping reads but does not
// write (set alike in both records).
void RoundTrip(const std::vector<Field>& fields, const Map& map,
               const std::vector<Field>& context = {}) {
  auto a = std::make_unique<WinpData>();
  auto z = std::make_unique<WinpData>();
  auto want = std::make_unique<WinpData>();
  for (WinpData* r : {a.get(), z.get(), want.get()})
    for (size_t n = 0; n < context.size(); ++n) context[n].set(*r, 500 + static_cast<int>(n));
  for (size_t n = 0; n < fields.size(); ++n) {
    fields[n].set(*a, 7 + 3 * static_cast<int>(n));
    fields[n].set(*want, 7 + 3 * static_cast<int>(n));
  }
  map(*a, *z);
  for (const Field& f : fields)
    QVERIFY2(f.get(*z) == f.get(*a),
             qPrintable(QStringLiteral("%1: %2 back for %3")
                            .arg(f.name)
                            .arg(f.get(*z), 0, 'g', 17)
                            .arg(f.get(*a), 0, 'g', 17)));
  QVERIFY2(std::memcmp(z.get(), want.get(), sizeof(WinpData)) == 0,
           "a field outside the struct was written");
}

template <typename P>
Map Plain(P (*from)(const WinpData&), void (*to)(const P&, WinpData&)) {
  return [from, to](const WinpData& a, WinpData& z) { to(from(a), z); };
}

}  // namespace

class RecordParamsTest : public QObject {
  Q_OBJECT

 private slots:
  void date() {
    RoundTrip({NUM(year), NUM(month), NUM(day), NUM(hour), NUM(minute), NUM(second),
               NUM(tzone), FLAG(tzauto), NUM(dur), NUM(rtoff)},
              Plain(dateFromRecord, dateToRecord));
  }

  // Locked (lcflg 1): the interval goes out negative and is not stored.
  void dateLocked() {
    auto d = std::make_unique<WinpData>();
    d->lcflg = 1;
    d->dur = 3.5;
    DateParams p = dateFromRecord(*d);
    QCOMPARE(p.duration, -3.5);
    p.duration = 9.0;
    dateToRecord(p, *d);
    QCOMPARE(d->dur, 3.5);
  }

  void observer() {
    RoundTrip({NUM(lat), NUM(lng), NUM(height), TEXT(geoname), FLAG(ddmm)},
              Plain(obsFromRecord, obsToRecord));
  }

  void iers() {
    RoundTrip({FIXED(IERSflg, true), NUM(IERSxp), NUM(IERSyp), NUM(UtcTai), NUM(Ut1Utc)},
              Plain(iersFromRecord, iersToRecord));
  }

  void sysConf() {
    RoundTrip({NUM(RKFtol), NUM(mxit), NUM(dF107), NUM(dFB107), NUM(dKp), NUM(dCd), NUM(dCr),
               NUM(dAm), NUM(lift), NUM(sunf), NUM(moonf), NUM(refrc), NUM(atmx)},
              Plain(sysConfFromRecord, sysConfToRecord));
  }

  // The two directions are the occultation's, or with cylinder flares on a
  // surface of unknown orientation the cylinder axis'.
  void visibility() {
    const std::vector<Field> common = {
        NUM(sunel),   NUM(satel),   NUM(yrepoch), NUM(visflg), NUM(moonflg),
        NUM(sunmplt), NUM(occflg),  NUM(iridflg), NUM(flaryst), NUM(eclflg),
        NUM(solflar), NUM(flrmgf),  NUM(flrmgx)};
    std::vector<Field> occ = common;
    for (const Field& f : {NUM(occra), NUM(occdec), NUM(flarflg), NUM(flarmod), NUM(cylflg)})
      occ.push_back(f);
    RoundTrip(occ, Plain(visFromRecord, visToRecord));
    std::vector<Field> cyl = common;
    for (const Field& f :
         {NUM(cylra), NUM(cyldec), FIXED(flarflg, 1), FIXED(flarmod, -1), FLAG(cylflg)})
      cyl.push_back(f);
    RoundTrip(cyl, Plain(visFromRecord, visToRecord));
  }

  void map() {
    RoundTrip({NUM(mgrid), NUM(mgrey), NUM(skyprj), NUM(mpnight), NUM(skymap), NUM(ra4d),
               NUM(skaz), NUM(satsky), NUM(mfsz), NUM(bf), NUM(mapprj), NUM(centmer),
               NUM(frequ)},
              Plain(mapFromRecord, mapToRecord), {NUM(phwm)});
    // In only: whether the image is loaded.
    auto d = std::make_unique<WinpData>();
    d->phwm = 1;
    QVERIFY(mapFromRecord(*d).imageLoaded);
  }

  // The dialog returns the epoch as the year and day it showed.
  void editOrb() {
    const Map map = [](const WinpData& a, WinpData& z) {
      EditOrbParams p = editOrbFromRecord(a, kSlot);
      EpochYearDay(p.mjdep, p.year, p.day);
      editOrbToRecord(p, p.mjdep, z, kSlot);
    };
    RoundTrip({STEXT(satname), STEXT(dsn), SNUM(norad), SNUM(sgpflg), SFLAG(nmflg), NUM(paflg),
               SNUM(epoch), SNUM(a), SNUM(ra), SNUM(aper), SNUM(inc), SFIXED(ecc, 0.125),
               SNUM(m0), SNUM(mnmot), SNUM(adot), SNUM(ndot), SNUM(n6dot), SNUM(bstar)},
              map);
    // In only: the launch lock and the epoch as a date.
    auto d = std::make_unique<WinpData>();
    d->lcflg = 1;
    d->epoch[kSlot] = 60000.5;
    const EditOrbParams p = editOrbFromRecord(*d, kSlot);
    QCOMPARE(p.lcflg, 1);
    QCOMPARE(p.mjdep, 60000.5);
  }

  void launch() {
    RoundTrip({NUM(lsx), NUM(lslat), NUM(lslng), FLAG(lsouth), NUM(tmeco)},
              Plain(launchFromRecord, launchToRecord));
  }

  // A running thrust of a numerical satellite goes out in mm/s^2.
  void delta_data() {
    QTest::addColumn<bool>("numerical");
    QTest::newRow("analytic") << false;
    QTest::newRow("numerical") << true;
  }
  void delta() {
    QFETCH(bool, numerical);
    const Map map = [](const WinpData& a, WinpData& z) {
      deltaToRecord(deltaFromRecord(a, kSlot), z, kSlot);
    };
    const std::vector<Field> fields = {SNUM(deltv), SNUM(yaw),  SNUM(pitch),
                                       SNUM(ionf),  SNUM(suns), SNUM(epu)};
    if (numerical)
      RoundTrip(fields, map, {SFIXED(nmflg, 1)});
    else
      RoundTrip(fields, map);
    auto d = std::make_unique<WinpData>();
    d->nmflg[kSlot] = numerical;
    d->ionf[kSlot] = true;
    d->deltv[kSlot] = 0.0025;
    const DeltaParams p = deltaFromRecord(*d, kSlot);
    QCOMPARE(p.deltaV, numerical ? 2.5 : 0.0025);
    QCOMPARE(p.numerical, int(numerical));
  }

  // Radians kept, packed sexagesimal shown: back within rounding.
  void astrometryStar() {
    auto a = std::make_unique<WinpData>();
    auto z = std::make_unique<WinpData>();
    a->picra[1] = 1.234;
    a->picdec[1] = -0.456;
    a->picra[0] = a->picra[2] = a->picdec[0] = a->picdec[2] = 9.0;
    const AstParams p = astFromRecord(*a, 1);
    QVERIFY(std::fabs(DmsDegF(p.ra) - 1.234 * 12.0 / kPi) < 1e-9);
    astToRecord(p, *z, 1);
    QVERIFY(std::fabs(z->picra[1] - 1.234) < 1e-12);
    QVERIFY(std::fabs(z->picdec[1] + 0.456) < 1e-12);
    for (int k : {0, 2}) QVERIFY(z->picra[k] == 0.0 && z->picdec[k] == 0.0);
  }

  void match() {
    RoundTrip({NUM(mtaz), NUM(mtel), NUM(mxa), NUM(dra), NUM(tm), FLAG(rdf), FLAG(drf),
               NUM(mtmaj)},
              Plain(matchFromRecord, matchToRecord));
  }

  void orbitDetermination() {
    RoundTrip({NUM(az1), NUM(el1), NUM(az2), NUM(el2), NUM(deltm), FLAG(az1flg), FLAG(az2flg),
               NUM(odm)},
              Plain(orbDetFromRecord, orbDetToRecord), {NUM(npicpt)});
    auto d = std::make_unique<WinpData>();
    d->npicpt = 6;
    QVERIFY(orbDetFromRecord(*d).picture);
    d->npicpt = 5;
    QVERIFY(!orbDetFromRecord(*d).picture);
  }

  void selectionRows() {
    auto d = std::make_unique<WinpData>();
    d->satnr = 7;
    d->prs = 4;
    d->rlm = 1;
    QCOMPARE(remSatFromRecord(*d).satellites, 7);
    QCOMPARE(switchFromRecord(*d).satellites, 7);
    RoundTrip({NUM(prs), NUM(rlm)}, Plain(switchFromRecord, switchToRecord), {NUM(satnr)});
  }

  // The step in days follows minutes and seconds.
  void step() {
    RoundTrip({FIXED(stepmin, 2), FIXED(stepsec, 30.0),
               FIXED(tstep, 2.0 / 1440.0 + 30.0 / 86400.0)},
              Plain(stepFromRecord, stepToRecord));
  }

  void iridium() {
    RoundTrip({NUM(irmag), FLAG(ops), NUM(irsol)}, Plain(iridiumFromRecord, iridiumToRecord));
  }

  void adjustment() {
    RoundTrip({NUM(sdp4), NUM(adjflg), NUM(adjtim), NUM(adjn0), NUM(adjra), FLAG(wgs)},
              Plain(adjFromRecord, adjToRecord));
  }
};

QTEST_MAIN(RecordParamsTest)
#include "recordparams_test.moc"
