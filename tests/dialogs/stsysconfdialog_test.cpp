// System settings dialog: the thirteen values round trip; refusals on OK.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stsysconfdialog.h"
#include "support/dialogrefusal.h"

class StSysConfDialogTest : public QObject {
  Q_OBJECT

  static void fill(StSysConfDialog& d) {
    d.setParams(1e-8, 150.0, 140.0, 3.0, 2.2, 1.3, 0.0123456789, 0.0, true, false, true, 20, false);
  }

 private slots:
  void roundTrip() {
    StSysConfDialog d;
    fill(d);
    QCOMPARE(d.findChild<QLineEdit*>("tolEdit")->text(), QString("1e-08"));
    QCOMPARE(d.findChild<QLineEdit*>("mxiEdit")->text(), QString("20"));
    d.findChild<QCheckBox*>("sunBox")->setChecked(false);
    d.findChild<QLineEdit*>("kpEdit")->setText("5.5");
    double tol, f107, fb107, kp, cd, cr, am, lift;
    bool sun, moon, refr, atx;
    int mxit;
    d.getParams(tol, f107, fb107, kp, cd, cr, am, lift, sun, moon, refr, mxit, atx);
    QCOMPARE(tol, 1e-8);
    QCOMPARE(f107, 150.0);
    QCOMPARE(fb107, 140.0);
    QCOMPARE(kp, 5.5);
    QCOMPARE(cd, 2.2);
    QCOMPARE(cr, 1.3);
    QCOMPARE(am, 0.0123456789);
    QCOMPARE(lift, 0.0);
    QCOMPARE(mxit, 20);
    QVERIFY(!sun && !moon && refr && !atx);
  }

  void refusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("as passed") << "tolEdit" << "1e-08" << "";
    QTest::newRow("tolerance 0") << "tolEdit" << "0" << "Relative Tolerance";
    QTest::newRow("tolerance nan") << "tolEdit" << "nan" << "Relative Tolerance";
    QTest::newRow("tolerance 2") << "tolEdit" << "2" << "Relative Tolerance";
    QTest::newRow("iterations 1.5") << "mxiEdit" << "1.5" << "Maximum Number of Iterations";
    QTest::newRow("iterations -1") << "mxiEdit" << "-1" << "Maximum Number of Iterations";
    QTest::newRow("iterations 0") << "mxiEdit" << "0" << "";
    QTest::newRow("drag -1") << "dragEdit" << "-1" << "Drag Coefficient";
    QTest::newRow("area/mass inf") << "amEdit" << "inf" << "Area/Mass";
    QTest::newRow("Kp 12") << "kpEdit" << "12" << "Geomagnetic Kp Index";
    QTest::newRow("flux 1000") << "f107Edit" << "1000" << "";
    QTest::newRow("mean flux 1001") << "fb107Edit" << "1001" << "Average Solar Flux";
    QTest::newRow("flux letters read 0") << "f107Edit" << "high" << "";
  }
  void refusals() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StSysConfDialog d;
    fill(d);
    d.findChild<QLineEdit*>(field)->setText(text);
    expectRefusal(d, refusal);
  }
};

QTEST_MAIN(StSysConfDialogTest)
#include "stsysconfdialog_test.moc"
