// TLE adjustment dialog: values in and out, refused input, and the WGS
// switch against python3-sgp4.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stadjdialog.h"
#include "engine/sgp4slot.h"
#include "gui/vsservices.h"
#include "support/orbitslots.h"
#include "support/scriptedprompter.h"

class StAdjDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void roundTrip_data();
  void roundTrip();
  void refusesUnusableValues_data();
  void refusesUnusableValues();
  void wgsSwitchAgainstSgp4();
};

void StAdjDialogTest::roundTrip_data() {
  QTest::addColumn<int>("wgs");
  QTest::addColumn<double>("n0");
  QTest::addColumn<QString>("n0Text");
  QTest::addColumn<int>("wgsBack");
  QTest::newRow("WGS-72, keep n0") << 0 << 0.0 << "  0.00000000" << 0;
  QTest::newRow("WGS-84") << 1 << 14.2 << " 14.20000000" << 1;
  QTest::newRow("wgs 2 opens cleared") << 2 << 1.00270065 << "  1.00270065" << 0;
}

void StAdjDialogTest::roundTrip() {
  QFETCH(int, wgs);
  QFETCH(double, n0);
  QFETCH(QString, n0Text);
  QFETCH(int, wgsBack);
  StAdjDialog dlg;
  AdjParams in;
  in.sdp4 = in.adjflg = true;
  in.adjtim = 12.5;
  in.adjn0 = n0;
  in.adjra = -2.25;
  in.wgs = wgs;
  dlg.setParams(in);
  QCOMPARE(dlg.findChild<QLineEdit*>("n0Edit")->text(), n0Text);
  QCOMPARE(dlg.findChild<QLineEdit*>("raEdit")->text(), QString("  -2.2500"));
  QCOMPARE(dlg.findChild<QCheckBox*>("wgsBox")->isChecked(), wgs == 1);
  const AdjParams out = dlg.params();
  QVERIFY(out.sdp4 && out.adjflg);
  QCOMPARE(out.adjtim, 12.5);
  QCOMPARE(out.adjn0, n0);  // untouched: the value given, not its printed digits
  QCOMPARE(out.adjra, -2.25);
  QCOMPARE(out.wgs, wgsBack);
}

void StAdjDialogTest::refusesUnusableValues_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("n0 nan") << "n0Edit" << "nan" << false;
  QTest::newRow("n0 negative") << "n0Edit" << "-1" << false;
  QTest::newRow("n0 too slow") << "n0Edit" << "0.0005" << false;
  QTest::newRow("n0 too fast") << "n0Edit" << "150" << false;
  QTest::newRow("n0 smallest") << "n0Edit" << "0.001" << true;
  QTest::newRow("n0 keep") << "n0Edit" << "0" << true;
  QTest::newRow("epoch inf") << "timEdit" << "inf" << false;
  QTest::newRow("node 1e999") << "raEdit" << "1e999" << false;
  QTest::newRow("node letters") << "raEdit" << "abc" << false;
}

void StAdjDialogTest::refusesUnusableValues() {
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(bool, accepted);
  ScriptedPrompter p;
  StAdjDialog dlg;
  AdjParams in;
  in.adjflg = true;
  dlg.setParams(in);
  dlg.findChild<QLineEdit*>(field)->setText(text);
  dlg.accept();
  QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
  QCOMPARE(p.of("warn").size(), accepted ? 0 : 1);
}

// Through the services: the box switches the prime satellite's SGP4 to the
// WGS-84 constants and back (positions of python3-sgp4's twoline2rv).
void StAdjDialogTest::wgsSwitchAgainstSgp4() {
  OrbitRecord();
  QVERIFY(LoadSat("ISS", 0));
  for (int wgs : {1, 0}) {
    StAdjDialog dlg;
    dlg.setParams(vsGetAdj());
    dlg.findChild<QCheckBox*>("wgsBox")->setChecked(wgs == 1);
    const AdjParams p = dlg.params();
    indata->sgpsat = 0;  // as if the record held slot 0 with the old constants
    vsPutAdj(p);
    QCOMPARE(indata->sgpsat, SGPSAT_NONE);
    const auto rows = OrbitRefs("wgs", "iss");
    int n = 0;
    for (const QStringList& x : rows) {
      if (x[1].toInt() != (wgs ? 84 : 72)) continue;
      Vec3 r, v;
      Sgp4(indata, x[2].toDouble() / 1440.0, 0, r, v);
      const Vec3 ref(x[3].toDouble(), x[4].toDouble(), x[5].toDouble());
      QVERIFY2(abs(r - ref) < 1e-6, qPrintable(x.join(' ')));
      ++n;
    }
    QCOMPARE(n, 4);
  }
}

QTEST_MAIN(StAdjDialogTest)
#include "stadjdialog_test.moc"
