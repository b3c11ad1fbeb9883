// System settings dialog: the thirteen values round trip; refusals on OK.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stsysconfdialog.h"
#include "orbit/vorlixnum.h"
#include "support/dialogrefusal.h"

class StSysConfDialogTest : public QObject {
  Q_OBJECT

  static void fill(StSysConfDialog& d) {
    SysConfParams p;
    p.rkfTol = 1e-8;
    p.f107Daily = 150.0;
    p.f107Mean = 140.0;
    p.kp = 3.0;
    p.dragCoeff = 2.2;
    p.radiationCoeff = 1.3;
    p.areaMass = 0.0123456789;
    p.liftDrag = 0.0;
    p.sunAttraction = true;
    p.moonAttraction = false;
    p.refraction = true;
    p.maxIterations = 20;
    p.extinction = false;
    d.setParams(p);
  }

 private slots:
  void roundTrip() {
    StSysConfDialog d;
    fill(d);
    QCOMPARE(d.findChild<QLineEdit*>("tolEdit")->text(), QString("1e-08"));
    QCOMPARE(d.findChild<QLineEdit*>("mxiEdit")->text(), QString("20"));
    d.findChild<QCheckBox*>("sunBox")->setChecked(false);
    d.findChild<QLineEdit*>("kpEdit")->setText("5.5");
    const SysConfParams p = d.params();
    QCOMPARE(p.rkfTol, 1e-8);
    QCOMPARE(p.f107Daily, 150.0);
    QCOMPARE(p.f107Mean, 140.0);
    QCOMPARE(p.kp, 5.5);
    QCOMPARE(p.dragCoeff, 2.2);
    QCOMPARE(p.radiationCoeff, 1.3);
    QCOMPARE(p.areaMass, 0.0123456789);
    QCOMPARE(p.liftDrag, 0.0);
    QCOMPARE(p.maxIterations, 20);
    QVERIFY(!p.sunAttraction && !p.moonAttraction && p.refraction && !p.extinction);
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
    QTest::newRow("area/mass at its limit") << "amEdit" << QString::number(AM_MAX) << "";
    QTest::newRow("area/mass beyond") << "amEdit" << QString::number(AM_MAX + 1.0) << "Area/Mass";
    QTest::newRow("Kp 12") << "kpEdit" << "12" << "Geomagnetic Kp Index";
    QTest::newRow("flux 1000") << "f107Edit" << "1000" << "";
    QTest::newRow("mean flux 1001") << "fb107Edit" << "1001" << "Average Solar Flux";
    QTest::newRow("flux letters") << "f107Edit" << "high"
                                 << "Daily Solar Flux: \"high\" is not a number.";
    QTest::newRow("lift/drag letters") << "liftEdit" << "abc"
                                       << "Lift/Drag Ratio: \"abc\" is not a number.";
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
