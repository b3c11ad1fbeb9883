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

struct Params {
  int mgrid = 1, mgrey = 2, skyprj = 0, mpnight = 0, skymap = 0, ra4d = 0;
  double skaz = 123.456789;
  bool satsky = true;
  int mfsz = 10, mapprj = 0;
  bool bf = false;
  double centmer = 10.0, frequ = 0.0;
};

void load(StMapDialog& d, Params p, bool phwm) {
  d.setParams(p.mgrid, p.mgrey, p.skyprj, p.mpnight, p.skymap, p.ra4d, p.skaz, p.satsky);
  d.setParamF(p.mfsz, p.bf, p.mapprj, p.centmer, p.frequ, phwm);
}

Params read(StMapDialog& d) {
  Params p;
  d.getParams(p.mgrid, p.mgrey, p.skyprj, p.mpnight, p.skymap, p.ra4d, p.skaz, p.satsky);
  d.getParamF(p.mfsz, p.bf, p.mapprj, p.centmer, p.frequ);
  return p;
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
    Params in;
    in.skymap = skymap;
    in.skyprj = skyprj;
    load(d, in, phwm);
    QCOMPARE(shown(d), visible);
    Params out = read(d);
    QCOMPARE(out.skyprj, skyprjBack);
    QCOMPARE(out.skaz, skazBack);
    QCOMPARE(out.satsky, true);  // returned although hidden on the world face
    QCOMPARE(out.mgrid, 1);
    QCOMPARE(out.mgrey, 2);
  }

  void eastThenCustomKeepsNinety() {
    StMapDialog d;
    Params in;
    in.skymap = 1;
    in.skyprj = 2;
    load(d, in, false);
    d.findChild<QRadioButton*>("azimButton")->setChecked(true);
    auto* azim = d.findChild<QLineEdit*>("azimEdit");
    QVERIFY(azim->isVisibleTo(&d) && azim->isEnabled());
    QCOMPARE(azim->text(), QString("90"));
  }

  void physicalMapOnlyWithImage() {
    StMapDialog d;
    Params in;
    in.mapprj = 3;
    load(d, in, false);
    auto* pwm = d.findChild<QRadioButton*>("ppwmButton");
    QVERIFY(pwm->isChecked());
    QVERIFY(!pwm->isVisibleTo(&d) && !pwm->isEnabled());
    QCOMPARE(read(d).mapprj, 3);  // the caller offers 0 instead
    StMapDialog again;
    load(again, in, true);
    pwm = again.findChild<QRadioButton*>("ppwmButton");
    QVERIFY(pwm->isVisibleTo(&again) && pwm->isEnabled());
  }

  void outOfRangeChecksNothing() {
    StMapDialog d;
    Params in;
    in.mgrid = 7;
    in.mgrey = -1;
    in.skyprj = 6;
    in.mapprj = 4;
    in.mfsz = 11;
    load(d, in, true);
    for (const char* group : {"gridGroup", "backGroup", "skyGroup", "mapGroup"})
      for (QRadioButton* b : d.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>())
        QVERIFY2(!b->isChecked(), qPrintable(b->objectName()));
    Params out = read(d);
    QCOMPARE(out.mgrid, 0);
    QCOMPARE(out.mgrey, 0);
    QCOMPARE(out.skyprj, 0);
    QCOMPARE(out.mapprj, 0);
    QCOMPARE(out.mfsz, 10);
  }

  void numbersRoundTrip() {
    StMapDialog d;
    Params in;
    in.frequ = 145.825e6;
    in.centmer = -90.123456789;
    in.mfsz = 12;
    in.bf = true;
    load(d, in, false);
    QCOMPARE(d.findChild<QLineEdit*>("frequEdit")->text(), QString("1.45825e+08"));
    Params out = read(d);
    QCOMPARE(out.frequ, 145.825e6);
    QCOMPARE(out.centmer, -90.123456789);  // untouched: not rounded to 6 digits
    QCOMPARE(out.mfsz, 12);
    QCOMPARE(out.bf, true);
    d.findChild<QLineEdit*>("frequEdit")->setText("437.0525e6");
    QCOMPARE(read(d).frequ, 437.0525e6);
  }

  void refusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("meridian nan") << "meridianEdit" << "nan" << "Central Meridian";
    QTest::newRow("meridian -90") << "meridianEdit" << "-90" << "";
    QTest::newRow("azimuth inf") << "azimEdit" << "inf" << "Ctr.Azimuth";
    QTest::newRow("frequency 1e999") << "frequEdit" << "1e999" << "Doppler Frequency";
    QTest::newRow("frequency letters") << "frequEdit" << "MHz" << "";
  }
  void refusals() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StMapDialog d;
    Params in;
    in.skymap = 1;
    in.skyprj = 5;
    load(d, in, false);
    d.findChild<QLineEdit*>(field)->setText(text);
    expectRefusal(d, refusal);
  }
};

QTEST_MAIN(StMapDialogTest)
#include "stmapdialog_test.moc"
