// The everyday settings commands: what each stores in the record, what the
// engine then computes from it, and the keys and actions that open them.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>
#include <cstring>

#include "engine/localinf.h"
#include "engine/passtext.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/scriptedprompter.h"
#include "support/shots.h"
#include "support/windowfixture.h"

namespace {
QStringList page() {
  QStringList lines;
  for (int i = 0; i < outdata->nlines; ++i) lines << QString::fromLatin1(outdata->lines[i]);
  return lines;
}

QStringList passList() {
  aospass(indata, outdata);
  return page();
}

QString localText() {
  char text[LOCALINF_SIZE];
  LocalInf(indata, text);
  return QString::fromLatin1(text);
}
}  // namespace

class ParamsCommandsTest : public WindowTest {
  Q_OBJECT

  // The plain world map on screen with the observer at 0, 0.
  void plainMapAtZero() {
    indata->mapprj = 0;
    indata->mpnight = 0;
    indata->centmer = 0;
    indata->lat = 0;
    indata->lng = 0;
    view()->vRefresh();
  }

 private slots:
  void init() { startStandard(); }
  void cleanup() { closeWindow(); }

  // The date typed, less its zone, is the MJD erfa gives for it.
  void dateBecomesTheCurrentTime_data() {
    QTest::addColumn<QStringList>("row");
    QFile f(testData("date-mjd-erfa.csv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    f.readLine();
    while (!f.atEnd()) {
      const QString line = QString::fromLatin1(f.readLine()).trimmed();
      if (!line.isEmpty()) QTest::newRow(qPrintable(line)) << line.split(',');
    }
  }
  void dateBecomesTheCurrentTime() {
    QFETCH(QStringList, row);
    ScriptedPrompter p;
    p.fillAndAccept({{"yearEdit", row[0]}, {"monthEdit", row[1]}, {"dayEdit", row[2]},
                     {"hourEdit", row[3]}, {"minEdit", row[4]}, {"secEdit", row[5]},
                     {"systemBox", "0"}, {"tzoneEdit", row[6]}, {"durEdit", "2"}});
    QCOMPARE(view()->vInputDate(), 0);
    QVERIFY2(std::fabs(indata->curmjd - row[7].toDouble()) < 1e-9,
             qPrintable(QString::number(indata->curmjd, 'f', 10)));
    QCOMPARE(indata->dur, 2.0);
    QCOMPARE(indata->tzone, row[6].toDouble());
  }

  void dateRules() {
    const double mjd0 = indata->curmjd, dur0 = indata->dur;
    {  // Cancel changes nothing.
      ScriptedPrompter p;
      p.reject();
      QCOMPARE(view()->vInputDate(), 1);
      QCOMPARE(indata->curmjd, mjd0);
    }
    {  // A start date asked for a launch: interval and offset locked and kept.
      ScriptedPrompter p;
      p.onExec(accepting([&](QDialog& d) {
        auto* dur = d.findChild<QLineEdit*>("durEdit");
        QVERIFY(!dur->isEnabled() && !d.findChild<QLineEdit*>("rtEdit")->isEnabled());
        QCOMPARE(dur->text(), QString::number(dur0));
        dur->setText("9");
      }));
      Keep<int> launch(indata->lcflg, 1);
      QCOMPARE(view()->vInputDate(), 0);
      QCOMPARE(indata->dur, dur0);
    }
    {  // A negative interval is taken as its magnitude.
      ScriptedPrompter p;
      p.fillAndAccept({{"durEdit", "-3"}});
      QCOMPARE(view()->vInputDate(), 0);
      QCOMPARE(indata->dur, 3.0);
    }
    for (const char* bad : {"1e5", "inf", "nan", "0"}) {  // would hang or empty every list
      ScriptedPrompter p;
      p.fillAndAccept({{"durEdit", bad}});
      QCOMPARE(view()->vInputDate(), 1);
      QCOMPARE(indata->dur, 3.0);
      QCOMPARE(p.of("warn").size(), 1);
      QVERIFY(p.of("warn")[0].text.startsWith("Duration"));
    }
  }

  // A new place typed in DD.MMSS reaches the pass list as decimal degrees.
  void observerChangesThePassList() {
    const QStringList before = passList();
    ScriptedPrompter p;
    p.fillAndAccept({{"ddmmButton", "1"}, {"latEdit", "-33.5200"}, {"lngEdit", "151.1230"},
                     {"heightEdit", "40"}, {"locEdit", "Sydney, a name longer than thirty letters"}});
    QCOMPARE(view()->vInputLocation(), 0);
    QCOMPARE(indata->lat, -(33 + 52.0 / 60));
    QVERIFY(std::fabs(indata->lng - (151 + 12.0 / 60 + 30.0 / 3600)) < 1e-12);
    QCOMPARE(indata->height, 40.0);
    QCOMPARE(indata->ddmm, 1);
    QCOMPARE(QString(indata->geoname), QString("Sydney, a name longer than thi"));
    const QStringList after = passList();
    QVERIFY(after != before);
    // The engine's own list for that place, set directly.
    WinpData saved = *indata;
    indata->lat = -33.866666666666667;
    indata->lng = 151.20833333333334;
    QCOMPARE(passList(), after);
    *indata = saved;
  }

  // A map on screen shows the observer at the new place at once.
  void observerMovesOnTheMap() {
    plainMapAtZero();
    const QColor cyan(0, 255, 255);
    QCOMPARE(view()->pmplot.toImage().pixelColor(view()->PxCoord(0, 0)), cyan);
    ScriptedPrompter p;
    p.fillAndAccept({{"decButton", "1"}, {"latEdit", "48.15"}, {"lngEdit", "11.58"}});
    QCOMPARE(view()->vInputLocation(), 0);
    QCOMPARE(indata->dspst, 1);
    const QImage img = view()->pmplot.toImage();
    QCOMPARE(img.pixelColor(view()->PxCoord(48.15, 11.58)), cyan);
    QVERIFY(img.pixelColor(view()->PxCoord(0, 0)) != cyan);
  }

  // Changed while a text page is shown, the observer is at the new place
  // when X brings the map back (the map is not redrawn behind the page).
  void observerMovesWhileTextIsShown() {
    plainMapAtZero();
    view()->vText();
    QVERIFY(indata->dspst < 1);
    ScriptedPrompter p;
    p.fillAndAccept({{"decButton", "1"}, {"latEdit", "48.15"}, {"lngEdit", "11.58"}});
    QCOMPARE(view()->vInputLocation(), 0);
    QVERIFY(indata->dspst < 1);
    const QColor cyan(0, 255, 255);
    QCOMPARE(view()->pmplot.toImage().pixelColor(view()->PxCoord(0, 0)), cyan);
    view()->vText();
    QCOMPARE(indata->dspst, 1);
    shot(view()->pmplot, "observer-after-text-page.png");
    const QImage img = view()->pmplot.toImage();
    QCOMPARE(img.pixelColor(view()->PxCoord(48.15, 11.58)), cyan);
    QVERIFY(img.pixelColor(view()->PxCoord(0, 0)) != cyan);
    // Back to the page and to the map again: no further redraw, the tracks stay.
    view()->vText();
    QPainter(&view()->pmplot).fillRect(0, 0, 1, 1, Qt::magenta);
    view()->vText();
    QCOMPARE(view()->pmplot.toImage().pixelColor(0, 0), QColor(Qt::magenta));
  }

  void observerRefusedOrCancelled() {
    const double lat0 = indata->lat;
    ScriptedPrompter p;
    p.fillAndAccept({{"decButton", "1"}, {"latEdit", "95"}});
    QCOMPARE(view()->vInputLocation(), 1);
    QCOMPARE(indata->lat, lat0);
    QCOMPARE(p.of("warn").size(), 1);
  }

  // With the defaults the dialog shows the UTC - TAI of the default TT - UT;
  // after OK TT - UT follows the values given.
  void iersValues() {
    indata->IERSflg = false;
    indata->TtUt = 69.184;
    ScriptedPrompter p;
    p.onExec(accepting([](QDialog& d) {
      QCOMPARE(d.findChild<QLineEdit*>("taiEdit")->text(), QString("-37"));
      QVERIFY(!d.findChild<QLineEdit*>("taiEdit")->isEnabled());
      d.findChild<QCheckBox*>("ckDefault")->setChecked(false);
      d.findChild<QLineEdit*>("taiEdit")->setText("-36");
      d.findChild<QLineEdit*>("ut1Edit")->setText("-0.25");
    }));
    view()->vSetIERS();
    QVERIFY(indata->IERSflg);
    QCOMPARE(indata->UtcTai, -36);
    QCOMPARE(indata->Ut1Utc, -0.25);
    QCOMPARE(indata->TtUt, 32.184 + 36);
  }

  void mapSettings_data() {
    QTest::addColumn<QString>("meridian");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<double>("centmer");
    QTest::addColumn<double>("frequ");
    QTest::newRow("west meridian") << "-90" << "145.825e6" << 270.0 << 145.825e6;
    QTest::newRow("beyond a turn") << "400" << "0" << 40.0 << 0.0;
    QTest::newRow("negative frequency") << "10" << "-5" << 10.0 << 0.0;
    QTest::newRow("a full turn") << "-360" << "1" << 0.0 << 1.0;
  }
  void mapSettings() {
    QFETCH(QString, meridian);
    QFETCH(QString, frequency);
    QFETCH(double, centmer);
    QFETCH(double, frequ);
    indata->skymap = 0;
    ScriptedPrompter p;
    p.fillAndAccept({{"meridianEdit", meridian}, {"frequEdit", frequency}});
    view()->vMapDialog();
    QCOMPARE(indata->centmer, centmer);
    QCOMPARE(indata->frequ, frequ);
  }

  void physicalMapOfferedOnlyWithTheImage() {
    indata->mapprj = 3;
    indata->phwm = false;
    indata->skymap = 0;
    ScriptedPrompter p;
    p.onExec(accepting([](QDialog& d) {
      QVERIFY(d.findChild<QRadioButton*>("pstdButton")->isChecked());
      QVERIFY(!d.findChild<QRadioButton*>("ppwmButton")->isChecked());
    }));
    view()->vMapDialog();
    QCOMPARE(indata->mapprj, 0);
  }

  void visibility() {
    // A transit body changed from the Sun to the Moon with the chart on:
    // the chart background is drawn anew at the next plot.
    indata->occflg = 1;
    indata->sunmplt = 1;
    indata->bkgmjd = 55000.0;
    {
      ScriptedPrompter p;
      p.fillAndAccept({{"moonButton", "1"}});
      view()->vVisibility();
    }
    QCOMPARE(indata->occflg, 2);
    QCOMPARE(indata->bkgmjd, 0.0);
    // Cylinder flares on an unknown surface edit the cylinder axis, not the
    // occultation direction.
    indata->occflg = 0;
    indata->flarflg = 1;
    indata->flarmod = -2;
    indata->cylflg = true;
    indata->solflar = false;
    indata->cylra = 1.5;
    indata->cyldec = 20.0;
    indata->occra = 10.0;
    indata->occdec = -5.0;
    {
      ScriptedPrompter p;
      p.onExec(accepting([](QDialog& d) {
        QCOMPARE(d.findChild<QLineEdit*>("yawEdit")->text(), QString("1.5"));
        d.findChild<QLineEdit*>("yawEdit")->setText("2.3");
      }));
      view()->vVisibility();
    }
    QCOMPARE(indata->cylra, 2.3);
    QCOMPARE(indata->cyldec, 20.0);
    QCOMPARE(indata->occra, 10.0);
    QCOMPARE(indata->bkgmjd, 0.0);
  }

  // Space: the engine's local details for the place typed; the observer and
  // the busy flag are put back afterwards.
  void localInformation() {
    const WinpData saved = *indata;
    QString shown;
    bool busyInside = false;
    ScriptedPrompter p;
    p.onExec(accepting([&](QDialog& d) {
      busyInside = view()->busy;
      fillWidgets(d, {{"decButton", "1"}, {"latEdit", "-23.5"}, {"lngEdit", "133.9"},
                      {"heightEdit", "600"}, {"locEdit", "Alice Springs"}});
    }));
    p.onExec([&](QDialog& d) {
      shown = d.findChild<QTextEdit*>("textEdit")->toPlainText();
      return int(QDialog::Accepted);
    });
    view()->vLocalInf();
    QVERIFY(busyInside);
    QVERIFY(!view()->busy);
    QCOMPARE(indata->lat, saved.lat);
    QCOMPARE(indata->lng, saved.lng);
    QCOMPARE(indata->height, saved.height);
    QCOMPARE(QString(indata->geoname), QString(saved.geoname));
    indata->lat = -23.5;
    indata->lng = 133.9;
    indata->height = 600;
    std::strcpy(indata->geoname, "Alice Springs");
    QCOMPARE(shown, localText());
    std::memcpy(indata->geoname, saved.geoname, sizeof saved.geoname);
    QVERIFY(shown != (*indata = saved, localText()));
  }

  // The place typed for Space is for one look: the map on screen keeps the
  // observer where the record has it.
  void localInformationLeavesTheMap() {
    plainMapAtZero();
    ScriptedPrompter p;
    p.fillAndAccept({{"decButton", "1"}, {"latEdit", "48.15"}, {"lngEdit", "11.58"}});
    view()->vLocalInf();
    QCOMPARE(indata->dspst, 1);
    const QColor cyan(0, 255, 255);
    const QImage img = view()->pmplot.toImage();
    QCOMPARE(img.pixelColor(view()->PxCoord(0, 0)), cyan);
    QVERIFY(img.pixelColor(view()->PxCoord(48.15, 11.58)) != cyan);
  }

  void localInformationNotOnTheSkyMap() {
    indata->skymap = 1;
    ScriptedPrompter p;
    view()->vLocalInf();
    QVERIFY(p.boxes.isEmpty());
  }

  void keysAndActions() {
    ScriptedPrompter p;  // every dialog cancelled
    for (Qt::Key k : {Qt::Key_D, Qt::Key_C, Qt::Key_V, Qt::Key_Y}) QTest::keyClick(win.get(), k);
    indata->skymap = 0;
    QTest::keyClick(win.get(), Qt::Key_Space);
    win->action(VorlixApp::InputIers)->trigger();
    win->action(VorlixApp::SettSysConf)->trigger();
    QStringList opened;
    for (const auto& b : p.of("exec")) opened << b.title;
    QCOMPARE(opened, QStringList({"StDateDialog", "StObsDialog", "StVisDialog", "StMapDialog",
                                  "StObsDialog", "StLocalDialog", "StIersDialog",
                                  "StSysConfDialog"}));
  }
};

QTEST_MAIN(ParamsCommandsTest)
#include "vorlixview_params_test.moc"
