// Map settings dialog: the two faces, compass azimuths, the physical map
// offered only with the image, values out of range, round trips, refusals.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "dialogs/stmapdialog.h"
#include "support/dialogrefusal.h"

namespace {
const char* const kFaceParts[] = {"gridGroup", "mapGroup", "ppwmButton", "meridianEdit", "textLabel2",
                                  "satskyBox", "skyGroup", "azimEdit", "textLabel1"};

QString shown(StMapDialog& d) {
  QStringList on;
  for (const char* name : kFaceParts)
    if (d.findChild<QWidget*>(name)->isVisibleTo(&d)) on << name;
  return on.join(' ');
}

// The values every case starts from.
MapParams base() {
  MapParams p;
  p.grid = 1;
  p.background = 2;
  p.skyAzimuth = 123.456789;
  p.fromSatellite = true;
  p.fontSize = 10;
  p.centralMeridian = 10.0;
  return p;
}

void load(StMapDialog& d, MapParams p, bool phwm) {
  p.imageLoaded = phwm;
  d.setParams(p);
}
}  // namespace

class StMapDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void faces_data() {
    QTest::addColumn<int>("skymap");
    QTest::addColumn<int>("skyprj");
    QTest::addColumn<bool>("phwm");
    QTest::addColumn<QString>("visible");
    QTest::addColumn<int>("skyprjBack");
    QTest::addColumn<double>("skazBack");
    const QString world = "gridGroup mapGroup meridianEdit textLabel2";
    const QString sky = "satskyBox skyGroup";
    QTest::newRow("world map") << 0 << 2 << false << world << 2 << 123.456789;
    QTest::newRow("world map with image") << 0 << 0 << true
                                          << "gridGroup mapGroup ppwmButton meridianEdit textLabel2" << 0
                                          << 123.456789;
    QTest::newRow("sky zenith") << 1 << 0 << true << sky << 0 << 123.456789;
    QTest::newRow("sky north") << 1 << 1 << false << sky << 1 << 0.0;
    QTest::newRow("sky east") << 1 << 2 << false << sky << 2 << 90.0;
    QTest::newRow("sky south") << 1 << 3 << false << sky << 3 << 180.0;
    QTest::newRow("sky west") << 1 << 4 << false << sky << 4 << 270.0;
    QTest::newRow("sky azimuth") << 1 << 5 << false << sky + " azimEdit textLabel1" << 5 << 123.456789;
  }
  void faces() {
    QFETCH(int, skymap);
    QFETCH(int, skyprj);
    QFETCH(bool, phwm);
    QFETCH(QString, visible);
    QFETCH(int, skyprjBack);
    QFETCH(double, skazBack);
    StMapDialog d;
    MapParams in = base();
    in.skyChart = skymap;
    in.skyProjection = skyprj;
    load(d, in, phwm);
    QCOMPARE(shown(d), visible);
    MapParams out = d.params();
    QCOMPARE(out.skyProjection, skyprjBack);
    QCOMPARE(out.skyAzimuth, skazBack);
    QCOMPARE(out.fromSatellite, true);  // returned although hidden on the world face
    QCOMPARE(out.grid, 1);
    QCOMPARE(out.background, 2);
  }

  void eastThenCustomKeepsNinety() {
    StMapDialog d;
    MapParams in = base();
    in.skyChart = 1;
    in.skyProjection = 2;
    load(d, in, false);
    d.findChild<QRadioButton*>("azimButton")->setChecked(true);
    auto* azim = d.findChild<QLineEdit*>("azimEdit");
    QVERIFY(azim->isVisibleTo(&d) && azim->isEnabled());
    QCOMPARE(azim->text(), QString("90"));
  }

  void physicalMapOnlyWithImage() {
    StMapDialog d;
    MapParams in = base();
    in.mapProjection = 3;
    load(d, in, false);
    auto* pwm = d.findChild<QRadioButton*>("ppwmButton");
    QVERIFY(pwm->isChecked());
    QVERIFY(!pwm->isVisibleTo(&d) && !pwm->isEnabled());
    QCOMPARE(d.params().mapProjection, 3);  // the caller offers 0 instead
    StMapDialog again;
    load(again, in, true);
    pwm = again.findChild<QRadioButton*>("ppwmButton");
    QVERIFY(pwm->isVisibleTo(&again) && pwm->isEnabled());
  }

  void outOfRangeChecksNothing() {
    StMapDialog d;
    MapParams in = base();
    in.grid = 7;
    in.background = -1;
    in.skyProjection = 6;
    in.mapProjection = 4;
    in.fontSize = 11;
    load(d, in, true);
    for (const char* group : {"gridGroup", "backGroup", "skyGroup", "mapGroup"})
      for (QRadioButton* b : d.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>())
        QVERIFY2(!b->isChecked(), qPrintable(b->objectName()));
    MapParams out = d.params();
    QCOMPARE(out.grid, 0);
    QCOMPARE(out.background, 0);
    QCOMPARE(out.skyProjection, 0);
    QCOMPARE(out.mapProjection, 0);
    QCOMPARE(out.fontSize, 10);
  }

  void numbersRoundTrip() {
    StMapDialog d;
    MapParams in = base();
    in.frequency = 145.825e6;
    in.centralMeridian = -90.123456789;
    in.fontSize = 12;
    in.bold = true;
    load(d, in, false);
    QCOMPARE(d.findChild<QLineEdit*>("frequEdit")->text(), QString("1.45825e+08"));
    MapParams out = d.params();
    QCOMPARE(out.frequency, 145.825e6);
    QCOMPARE(out.centralMeridian, -90.123456789);  // untouched: not rounded to 6 digits
    QCOMPARE(out.fontSize, 12);
    QCOMPARE(out.bold, true);
    d.findChild<QLineEdit*>("frequEdit")->setText("437.0525e6");
    QCOMPARE(d.params().frequency, 437.0525e6);
  }

  void refusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("meridian nan") << "meridianEdit" << "nan" << "Central Meridian";
    QTest::newRow("meridian -90") << "meridianEdit" << "-90" << "";
    QTest::newRow("azimuth inf") << "azimEdit" << "inf" << "Ctr.Azimuth";
    QTest::newRow("frequency 1e999") << "frequEdit" << "1e999" << "Doppler Frequency";
    QTest::newRow("frequency letters") << "frequEdit" << "MHz"
                                       << "Doppler Frequency: \"MHz\" is not a number.";
  }
  void refusals() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StMapDialog d;
    MapParams in = base();
    in.skyChart = 1;
    in.skyProjection = 5;
    load(d, in, false);
    d.findChild<QLineEdit*>(field)->setText(text);
    expectRefusal(d, refusal);
  }
};

QTEST_MAIN(StMapDialogTest)
#include "stmapdialog_test.moc"
