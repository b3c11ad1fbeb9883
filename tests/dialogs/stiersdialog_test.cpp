// IERS dialog: fields follow the Use Defaults box; values returned either way;
// refusals on OK.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stiersdialog.h"
#include "support/dialogrefusal.h"

class StIersDialogTest : public QObject {
  Q_OBJECT

  static IersParams values(bool given, double x, double y, int utcTai, double ut1Utc) {
    IersParams p;
    p.given = given;
    p.poleX = x;
    p.poleY = y;
    p.utcTai = utcTai;
    p.ut1Utc = ut1Utc;
    return p;
  }

 private slots:
  void defaultsDisableTheFields_data() {
    QTest::addColumn<bool>("iersflg");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("defaults") << false << false << false;
    QTest::newRow("own values") << true << false << true;
    QTest::newRow("defaults cleared") << false << true << true;
    QTest::newRow("defaults chosen") << true << true << false;
  }
  void defaultsDisableTheFields() {
    QFETCH(bool, iersflg);
    QFETCH(bool, toggle);
    QFETCH(bool, enabled);
    StIersDialog d;
    d.setParams(values(iersflg, 0.1234567, 0.25, -37, -0.123456789));
    auto* box = d.findChild<QCheckBox*>("ckDefault");
    QCOMPARE(box->isChecked(), !iersflg);
    if (toggle) box->toggle();
    for (const char* name : {"taiEdit", "ut1Edit", "xEdit", "yEdit", "taiLabel", "ut1Label", "poleLabel",
                             "xLabel", "yLabel"})
      QVERIFY2(d.findChild<QWidget*>(name)->isEnabled() == enabled, name);
    const IersParams p = d.params();
    QCOMPARE(p.given, enabled);
    QCOMPARE(p.poleX, 0.1234567);
    QCOMPARE(p.poleY, 0.25);
    QCOMPARE(p.utcTai, -37);
    QCOMPARE(p.ut1Utc, -0.123456789);
  }

  void refusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("UTC-TAI with a fraction") << "taiEdit" << "-36.5" << "UTC - TAI";
    QTest::newRow("UTC-TAI -37") << "taiEdit" << "-37" << "";
    QTest::newRow("UT1-UTC nan") << "ut1Edit" << "nan" << "UT1 - UTC";
    QTest::newRow("UT1-UTC 1.5") << "ut1Edit" << "1.5" << "UT1 - UTC";
    QTest::newRow("UT1-UTC -0.9") << "ut1Edit" << "-0.9" << "";
    QTest::newRow("pole x inf") << "xEdit" << "inf" << "Pole x";
  }
  void refusals() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StIersDialog d;
    d.setParams(values(true, 0.1, 0.3, -37, 0.0));
    d.findChild<QLineEdit*>(field)->setText(text);
    expectRefusal(d, refusal);
  }
};

QTEST_MAIN(StIersDialogTest)
#include "stiersdialog_test.moc"
