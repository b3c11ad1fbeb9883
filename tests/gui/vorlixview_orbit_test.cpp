// The orbit commands through the window: Edit Orbit (with New), Launch,
// Rendezvous and Delta-V against the engine's own results, every cancelled
// chain leaving the record as it was, and an orbit determination that finds
// no orbit adding no satellite.
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <memory>

#include "astro/astrolib.h"
#include "dialogs/stepoch.h"
#include "engine/launch.h"
#include "engine/satpos.h"
#include "engine/tle.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/orbitslots.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {

std::unique_ptr<WinpData> Copy() { return std::make_unique<WinpData>(*indata); }
bool Same(const WinpData& a) { return std::memcmp(&a, indata, sizeof a) == 0; }

std::function<int(QDialog&)> Clicking(const char* button) {
  return [button](QDialog& d) {
    d.findChild<QPushButton*>(button)->click();
    return d.result();
  };
}

// The elements and epoch of slot i in a and b are the same bit for bit.
bool SameOrbit(const WinpData& a, const WinpData& b, int i) {
  return a.epoch[i] == b.epoch[i] && a.a[i] == b.a[i] && a.ra[i] == b.ra[i] &&
         a.aper[i] == b.aper[i] && a.inc[i] == b.inc[i] && a.ecc[i] == b.ecc[i] &&
         a.m0[i] == b.m0[i] && a.mnmot[i] == b.mnmot[i] && a.adot[i] == b.adot[i] &&
         a.ndot[i] == b.ndot[i] && a.n6dot[i] == b.n6dot[i] && a.bstar[i] == b.bstar[i] &&
         a.sgpflg[i] == b.sgpflg[i] && a.nmflg[i] == b.nmflg[i];
}

// Satellites 0..n-1 (ISS and Molniya alternating), the prime one p.
void Selected(int n, int p) {
  for (int i = 0; i < n; ++i) QVERIFY(LoadSat(i % 2 ? "MOLNIYA" : "ISS", i));
  indata->satnr = n;
  indata->prs = p;
}

// Slot 0 as a Kepler satellite without drag, epoch at the date of the tests.
void KeplerNow() {
  Selected(1, 0);
  WinpData* d = indata;
  d->sgpflg[0] = 0;
  d->epoch[0] = 60370.5;
  d->adot[0] = d->ndot[0] = d->n6dot[0] = 0.0;
}

// The engine's own launch from (lat, lng) with a 9-minute ascent on `expect`,
// a copy of the record taken before the window launched, at the time the
// window launched at. Returns LaunchOrb's result.
int EngineLaunch(WinpData* expect, double lat, double lng) {
  expect->curmjd = indata->curmjd;
  expect->lslat = lat;
  expect->lslng = lng;
  expect->tmeco = 9.0;
  expect->lsouth = 0;
  EpochState(expect, 0, false);
  return LaunchOrb(expect);
}

}  // namespace

class OrbitCommandsTest : public WindowTest {
  Q_OBJECT

 private slots:
  void init() {
    startStandard();
    setDateFields(60370.5);
  }
  void cleanup() { closeWindow(); }

  void editWithoutSatellite() {
    indata->satnr = 0;
    indata->prs = 0;
    const auto before = Copy();
    ScriptedPrompter p;
    p.reject();
    view()->vEditOrb();
    QVERIFY(Same(*before));
    p.fillAndAccept({{"nameEdit", "NEW SAT"}, {"eccEdit", "0.001"}, {"incEdit", "51.6"},
                     {"n0Edit", "15.5"}});
    // What an earlier satellite of the slot left is not the new one's.
    indata->f107[0] = 1.0;
    indata->kp[0] = 9.0;
    indata->ionf[0] = true;
    view()->vEditOrb();
    QCOMPARE(indata->f107[0], indata->dF107);
    QCOMPARE(indata->kp[0], indata->dKp);
    QVERIFY(!indata->ionf[0]);
    QCOMPARE(indata->satnr, 1);
    QCOMPARE(QString(indata->satname[0]), QString("NEW SAT"));
    QCOMPARE(indata->mnmot[0], 15.5);
    QCOMPARE(indata->a[0], getsax(0, 15.5, 0.001, 51.6));
    QVERIFY(std::fabs(std::hypot(indata->rx[0], indata->ry[0], indata->rz[0]) / 1000.0 -
                      indata->a[0]) < 0.01 * indata->a[0]);
  }

  // OK on the untouched editor leaves elements and epoch bit for bit.
  void untouchedOk() {
    Selected(2, 1);
    const auto before = Copy();
    ScriptedPrompter p;
    p.onExec(accepting());
    view()->vEditOrb();
    QVERIFY(SameOrbit(*before, *indata, 1));
    QVERIFY(std::memcmp(before->satname[1], indata->satname[1], SATNAME_SIZE) == 0);
    QVERIFY(std::memcmp(before->dsn[1], indata->dsn[1], DSN_SIZE) == 0);
  }

  // New, then Cancel: the satellite added is dropped; with ten selected the
  // tenth comes back, and replacing it is asked first.
  void newThenCancel() {
    for (int n : {4, 10}) {
      Selected(n, 1);
      const auto before = Copy();
      ScriptedPrompter p;
      p.onExec(Clicking("nwsButton"));
      p.reject();
      view()->vEditOrb();
      QCOMPARE(indata->satnr, n);
      QCOMPARE(indata->prs, 1);
      QVERIFY(SameOrbit(*before, *indata, n - 1));
      QCOMPARE(QString(indata->satname[n - 1]), QString(before->satname[n - 1]));
      QCOMPARE(p.of("warn").size(), n == 10 ? 1 : 0);
      QCOMPARE(p.of("exec").size(), 2);
    }
    // Declined: no second dialog, the tenth untouched.
    Selected(10, 1);
    const auto before = Copy();
    ScriptedPrompter p;
    p.warnAnswer = false;
    p.onExec(Clicking("nwsButton"));
    view()->vEditOrb();
    QCOMPARE(p.of("exec").size(), 1);
    QVERIFY(SameOrbit(*before, *indata, 9));
  }

  // A new epoch stored by the state dialog is undone with the editor's Cancel.
  void stateOkThenEditorCancel() {
    Selected(1, 0);
    indata->sgpflg[0] = 0;
    indata->nmflg[0] = 1;
    const auto before = Copy();
    ScriptedPrompter p;
    p.onExec([&](QDialog& editor) {
      p.fillAndAccept({{"dayEdit", "7.25"}});
      editor.findChild<QPushButton*>("stateButton")->click();
      return int(QDialog::Rejected);
    });
    view()->vEditOrb();
    QCOMPARE(p.of("exec").size(), 2);
    QVERIFY(Same(*before));
  }

  // Launch through the window: the engine's own launch orbit and the azimuth
  // box; a cancelled date or site leaves the record as it was.
  void launch() {
    Selected(1, 0);
    indata->lsx = 0;
    {
      const auto before = Copy();
      ScriptedPrompter p;
      p.reject();
      view()->vLaunch();
      QVERIFY(Same(*before));
      p.onExec(accepting());
      p.onExec(accepting());
      p.reject();
      view()->vLaunch();
      QVERIFY(Same(*before));
    }
    ScriptedPrompter p;
    p.onExec(accepting());
    p.onExec(accepting());
    p.fillAndAccept({{"latEdit", "28.6272"}, {"lngEdit", "-80.6208"}, {"mecoEdit", "9"}});
    const auto expect = Copy();
    view()->vLaunch();
    QCOMPARE(EngineLaunch(expect.get(), 28.6272, -80.6208), 0);
    QVERIFY(SameOrbit(*expect, *indata, 0));
    QCOMPARE(indata->lazim, expect->lazim);
    char text[64];
    std::snprintf(text, sizeof text, "Launch Azimuth (deg):\n\t%8.2lf", expect->lazim);
    QCOMPARE(p.of("inform").last().text, QString(text));
  }

  // A launch into an open orbit is refused: the mean-motion field holds q.
  // A site above the inclination raises it, and the azimuth box says so.
  void launchRefusedOrRaised() {
    Selected(1, 0);
    indata->lsx = 0;
    {
      ScriptedPrompter p;
      p.onExec(accepting());
      p.fillAndAccept({{"eccEdit", "1.5"}, {"n0Edit", "7000"}});
      p.fillAndAccept({{"latEdit", "28.6272"}, {"lngEdit", "-80.6208"}});
      const auto before = Copy();
      view()->vLaunch();
      QCOMPARE(p.of("inform").size(), 1);
      QCOMPARE(p.of("inform")[0].title, QString("Launch Orbit"));
      QCOMPARE(p.of("inform")[0].text,
               QString("*** No launch orbit: the orbit of the prime satellite is open "
                       "(eccentricity 1 or more); a launch needs a closed orbit ***"));
      // Nothing of the refused launch stays: not the open orbit the editor
      // took, not the site.
      QVERIFY(Same(*before));
    }
    Selected(1, 0);
    ScriptedPrompter p;
    p.onExec(accepting());
    p.onExec(accepting());
    p.fillAndAccept({{"latEdit", "60"}, {"lngEdit", "30"}, {"mecoEdit", "9"}});
    const auto expect = Copy();
    view()->vLaunch();
    QCOMPARE(EngineLaunch(expect.get(), 60.0, 30.0), 0);
    QVERIFY(SameOrbit(*expect, *indata, 0));
    char text[64];
    std::snprintf(text, sizeof text, "Launch Azimuth (deg):\n\t%8.2lf", expect->lazim);
    QCOMPARE(p.of("inform").last().text,
             QString(text) + QString("\nThe inclination was raised from 51.6428 to %1 deg: no "
                                     "orbit of a lower inclination passes over the launch site.")
                                 .arg(expect->inc[0], 0, 'f', 4));
    QVERIFY(std::fabs(indata->inc[0] - 60.0) < 0.03);
  }

  // Rendezvous: the launched satellite next to the target, timed by the
  // engine; the tenth target puts it into the ninth slot. A satellite it
  // replaces is named in the box, with no claim about how many are selected.
  // A site above the target's inclination raises it, and the box says so.
  void rendezvous_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("satnr");
    QTest::addColumn<double>("lat");
    QTest::newRow("target 3 of 4") << 4 << 3 << 4 << 5 << 45.92;
    QTest::newRow("target 9 of 10") << 10 << 9 << 8 << 10 << 45.92;
    QTest::newRow("target 2 of 3") << 3 << 1 << 2 << 3 << 45.92;
    QTest::newRow("target 2 of 3, site at 70 deg") << 3 << 1 << 2 << 3 << 70.0;
  }
  void rendezvous() {
    QFETCH(int, n);
    QFETCH(int, target);
    QFETCH(int, slot);
    QFETCH(int, satnr);
    QFETCH(double, lat);
    Selected(n, target);
    indata->rndflg = -1;
    {
      const auto before = Copy();
      ScriptedPrompter p;
      p.answer(2.0);
      p.reject();  // the launch date
      view()->vRendz();
      QVERIFY(Same(*before));
    }
    ScriptedPrompter p;
    p.answer(2.0);
    p.onExec(accepting());
    p.onExec(accepting());
    p.fillAndAccept({{"latEdit", QString::number(lat)}, {"lngEdit", "63.3423"}});
    const auto expect = Copy();
    const double inc = indata->inc[target];
    const QString replaced = QString::fromLatin1(indata->satname[slot]).trimmed();
    view()->vRendz();
    QCOMPARE(indata->satnr, satnr);
    QCOMPARE(indata->prs, slot);
    QCOMPARE(indata->rndflg, -1);
    QCOMPARE(indata->rndtm, 2.0);
    QCOMPARE(p.of("warn").size(), slot < n ? 1 : 0);
    if (slot < n)
      QCOMPARE(p.of("warn")[0].text, QString("The launched satellite replaces satellite %1 (%2).")
                                         .arg(slot + 1)
                                         .arg(replaced));
    // The engine on its own: the target copied, launched from the date
    // entered, and launched again from the launch time found.
    WinpData* e = expect.get();
    e->rndtm = 2.0;
    e->rndsat = target;
    e->rndflg = slot;
    e->prs = slot;
    if (slot >= e->satnr) e->satnr = slot + 1;
    ShiftElm(e, slot, target);
    setNewMjd(e);
    EpochState(e, slot, false);
    e->lslat = lat;
    e->lslng = 63.3423;
    QCOMPARE(LaunchOrb(e), 0);
    QCOMPARE(LaunchOrb(e), 0);
    QVERIFY(SameOrbit(*e, *indata, slot));
    const QString box = p.of("inform").last().text;
    int day, month, year, h, m;
    double hour, s;
    caldat(indata->epoch[slot] + indata->tzone / 24.0, day, month, year, hour);
    dms(hour, h, m, s);
    char text[80];
    std::snprintf(text, sizeof text, "Launch time: %4i-%2i-%2i  %2i:%2i:%2i", year, month, day,
                  h, m, static_cast<int>(s));
    QString raised;
    if (lat > inc)
      raised = QString("\nThe inclination was raised from %1 to %2 deg: no orbit of a lower "
                       "inclination passes over the launch site.")
                   .arg(inc, 0, 'f', 4)
                   .arg(indata->inc[slot], 0, 'f', 4);
    QCOMPARE(box, QString(text) + raised);
  }

  // A target that has no position at the close approach (the 2009 elements
  // of the ISS fifteen years on) is met by no launch: the box says why, and
  // the record is as it was.
  void rendezvousWithoutTarget() {
    Selected(2, 0);
    QVERIFY(GetSatPos(60372.5, indata, satpos, 0, 0) != SATPOS_OK);
    const auto before = Copy();
    ScriptedPrompter p;
    p.answer(2.0);
    p.onExec(accepting());
    p.onExec(accepting());
    p.fillAndAccept({{"latEdit", "45.92"}, {"lngEdit", "63.3423"}});
    view()->vRendz();
    QCOMPARE(p.of("inform").size(), 1);
    QCOMPARE(p.of("inform")[0].title, QString("Rendezvous Launch"));
    QCOMPARE(p.of("inform")[0].text,
             QString("*** No rendezvous launch: the target satellite has no position at the "
                     "close approach ***"));
    QCOMPARE(indata->satnr, 2);
    QCOMPARE(indata->prs, 0);
    QCOMPARE(indata->rndflg, -1);
    for (int i = 0; i < MAXSEL; ++i) QVERIFY(SameOrbit(*before, *indata, i));
  }

  // Delta-V: when the date is asked, what is executed and what is stored.
  void deltaV_data() {
    QTest::addColumn<bool>("ionf");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<QString>("typed");     // deltavEdit
    QTest::addColumn<bool>("thrustBox");    // checked in the dialog
    QTest::addColumn<bool>("dateAsked");
    QTest::addColumn<QString>("shown");     // deltavEdit as opened
    QTest::addColumn<bool>("executed");
    QTest::addColumn<double>("stored");
    QTest::newRow("impulse") << false << false << "10" << false << true << "0" << true << 10.0;
    // A thrust flag without numerical propagation: an impulse, flag off.
    QTest::newRow("thrust flag, analytic")
        << true << false << "10" << true << true << "0.5" << true << 10.0;
    QTest::newRow("thrust switched on")
        << false << true << "2.5" << true << true << "0" << false << 0.0025;
    QTest::newRow("thrust running, off")
        << true << true << "2.5" << false << false << "500" << false << 2.5;
}
  void deltaV() {
    QFETCH(bool, ionf);
    QFETCH(bool, numeric);
    QFETCH(QString, typed);
    QFETCH(bool, thrustBox);
    QFETCH(bool, dateAsked);
    QFETCH(QString, shown);
    QFETCH(bool, executed);
    QFETCH(double, stored);
    KeplerNow();
    indata->nmflg[0] = numeric;
    indata->ionf[0] = ionf;
    indata->deltv[0] = ionf && numeric ? 0.5 : (ionf ? 0.5 : 0.0);
    const auto before = Copy();
    ScriptedPrompter p;
    if (dateAsked) p.onExec(accepting());
    QString opened;
    p.onExec(accepting([&](QDialog& d) {
      opened = d.findChild<QLineEdit*>("deltavEdit")->text();
      d.findChild<QLineEdit*>("deltavEdit")->setText(typed);
      if (numeric) d.findChild<QCheckBox*>("ionBox")->setChecked(thrustBox);
    }));
    view()->vDeltaV();
    QCOMPARE(p.of("exec").size(), dateAsked ? 2 : 1);
    QCOMPARE(opened, shown);
    QCOMPARE(indata->deltv[0], stored);
    QCOMPARE(indata->ionf[0], numeric && thrustBox);
    if (executed) QVERIFY2(p.of("inform").isEmpty(), qPrintable(p.texts().join('|')));
    QCOMPARE(indata->a[0] != before->a[0], executed);
  }

  // An along-track impulse on a circular orbit: the semi-major axis of vis-viva.
  void deltaVVisViva() {
    for (const QStringList& x : OrbitRefs("visviva")) {
      KeplerNow();
      WinpData* d = indata;
      d->ecc[0] = 0.0;
      d->a[0] = x[0].toDouble();
      d->mnmot[0] = getn0(d->a[0], 0.0, d->inc[0]);
      ScriptedPrompter p;
      p.onExec(accepting());
      p.fillAndAccept({{"deltavEdit", x[1]}, {"yawEdit", "0"}, {"pitchEdit", "0"}});
      view()->vDeltaV();
      QVERIFY2(std::fabs(d->a[0] - x[2].toDouble()) < 1e-6, qPrintable(x.join(' ')));
      QVERIFY(p.of("inform").isEmpty());
    }
  }

  // A prime index that names no selected slot: the window shows slot 0 as
  // prime, and the impulse typed is applied there, not to the work or spare
  // slot, and not refused.
  void deltaVOnTheSlotShown_data() {
    QTest::addColumn<int>("prs");
    QTest::newRow("negative") << -1;
    QTest::newRow("work slot") << int(WORKSLOT);
    QTest::newRow("spare slot") << int(SPARESLOT);
  }
  void deltaVOnTheSlotShown() {
    QFETCH(int, prs);
    KeplerNow();
    WinpData* d = indata;
    ShiftElm(d, WORKSLOT, 0);
    ShiftElm(d, SPARESLOT, 0);
    d->prs = prs;
    const auto before = Copy();
    ScriptedPrompter p;
    p.onExec(accepting());
    p.fillAndAccept({{"deltavEdit", "10"}, {"yawEdit", "0"}, {"pitchEdit", "0"}});
    view()->vDeltaV();
    QVERIFY2(p.of("inform").isEmpty(), qPrintable(p.texts().join('|')));
    QCOMPARE(d->prs, 0);
    QCOMPARE(d->deltv[0], 10.0);
    QVERIFY(d->a[0] > before->a[0]);
    QVERIFY(SameOrbit(*before, *d, WORKSLOT));
    QVERIFY(SameOrbit(*before, *d, SPARESLOT));
  }

  // Results of the engine: an open orbit, and an impulse the engine refuses.
  void deltaVMessages() {
    KeplerNow();
    ScriptedPrompter p;
    p.onExec(accepting());
    p.fillAndAccept({{"deltavEdit", "5000"}});
    view()->vDeltaV();
    QCOMPARE(p.of("inform").last().text, QString("Delta-V resulted in a hyperbolic orbit"));
    // A state below the Earth's surface gives no orbit to change.
    KeplerNow();
    indata->a[0] = 5000.0;
    const auto before = Copy();
    p.onExec(accepting());
    p.fillAndAccept({{"deltavEdit", "10"}});
    view()->vDeltaV();
    QVERIFY(p.of("inform").last().text.startsWith("*** Delta-V not applied"));
    QVERIFY(SameOrbit(*before, *indata, 0));
  }

  // A braking impulse that sends the perigee under the ground is refused, as
  // the orbit editor refuses such elements, naming the perigee height: the
  // 2009 ISS, and a Kepler satellite.
  void deltaVBelowSurface_data() {
    QTest::addColumn<bool>("kepler");
    QTest::addColumn<QString>("dv");
    QTest::addColumn<QString>("height");
    QTest::newRow("ISS 2009-01-08 12:00, -120 m/s") << false << "-120" << "-47.9";
    QTest::newRow("Kepler, -400 m/s") << true << "-400" << QString();
  }
  void deltaVBelowSurface() {
    QFETCH(bool, kepler);
    QFETCH(QString, dv);
    QFETCH(QString, height);
    if (kepler) {
      KeplerNow();
    } else {
      Selected(1, 0);
      setDateFields(54839.5);
    }
    const auto before = Copy();
    ScriptedPrompter p;
    p.onExec(accepting());
    p.fillAndAccept({{"deltavEdit", dv}, {"yawEdit", "0"}, {"pitchEdit", "0"}});
    view()->vDeltaV();
    QCOMPARE(p.of("inform").size(), 1);
    const QString box = p.of("inform")[0].text;
    const QString lead =
        "*** Delta-V not applied: the new orbit runs below the Earth's surface (perigee height ";
    QVERIFY2(box.startsWith(lead + height) && box.endsWith(" km) ***"), qPrintable(box));
    QVERIFY(SameOrbit(*before, *indata, 0));
  }

  // An element set edited in the window and saved: the element columns are
  // those python3-sgp4's exporter writes for the edited values.
  void editedSetSaved() {
    Selected(1, 0);
    ScriptedPrompter p;
    p.fillAndAccept({{"incEdit", "51.65"}, {"raEdit", "60"}, {"eccEdit", "0.0012"},
                     {"aperEdit", "100"}, {"m0Edit", "200"}, {"n0Edit", "15.5"},
                     {"bstarEdit", "1.2345e-4"}});
    view()->vEditOrb();
    QCOMPARE(indata->mnmot[0], 15.5);
    const QString file = fx->path("edited.tle");
    std::snprintf(indata->tlsnm, FILENAME_SIZE, "%s", QFile::encodeName(file).constData());
    indata->tsnew = 1;
    QCOMPARE(SaveTle(indata), 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLatin1(f.readAll()).split('\n');
    QStringList ref;
    QFile refs(testData("orbit/orbit-refs.txt"));
    QVERIFY(refs.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QByteArray& l : refs.readAll().split('\n'))
      if (l.startsWith("tle iss ")) ref = QString::fromLatin1(l.mid(8)).split('|');
    QCOMPARE(ref.size(), 2);
    QVERIFY(lines.size() >= 3);
    QCOMPARE(lines[2].mid(8, 55), ref[1].mid(8, 55));  // i, node, e, argp, M, n
    QCOMPARE(lines[1].mid(53, 8), ref[0].mid(53, 8));  // B*
  }

  // A determination that finds no orbit adds no satellite: the selection and
  // every slot stay as they were, no editor opens, and the box says why.
  void orbitDeterminationNoConvergence() {
    Selected(3, 1);
    const auto before = Copy();
    ScriptedPrompter p;
    p.onExec(accepting());  // the date of the first sighting
    p.fillAndAccept({{"az1Edit", "10"}, {"el1Edit", "40"}, {"az2Edit", "190"},
                     {"el2Edit", "30"}, {"obs1Box", "0"}, {"obs2Box", "0"},
                     {"deltmEdit", "0.001"}, {"matchBox", "1"}});
    view()->vOrbDet();
    QCOMPARE(p.of("exec").size(), 2);
    QCOMPARE(p.of("inform").size(), 1);
    QVERIFY2(p.of("inform")[0].text.startsWith("*** No Convergence"),
             qPrintable(p.of("inform")[0].text));
    QCOMPARE(indata->satnr, 3);
    QCOMPARE(indata->prs, 1);
    for (int i = 0; i < MAXSEL; ++i) {
      QVERIFY(SameOrbit(*before, *indata, i));
      QVERIFY(std::memcmp(before->satname[i], indata->satname[i], SATNAME_SIZE) == 0);
    }
    QCOMPARE(indata->deltm, 0.001);  // what was typed is kept for the next try
  }

  void noSatellite() {
    indata->satnr = 0;
    ScriptedPrompter p;
    view()->vDeltaV();
    view()->vRendz();
    QCOMPARE(p.texts(), (QStringList{"*** No Satellite Selected ***",
                                     "*** No target satellite selected ***"}));
    QCOMPARE(p.boxes[0].title, QString("Vorlix"));  // as the other commands say it
  }
};

QTEST_MAIN(OrbitCommandsTest)
#include "vorlixview_orbit_test.moc"
