// Observation matching dialog: labels and the direction field follow their
// boxes (the numbers are not converted), the disabled direction is returned,
// values outside their meaning refused on OK.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stmatchdialog.h"
#include "support/dialogrefusal.h"
#include "support/shots.h"

class StMatchDialogTest : public QObject {
  Q_OBJECT
  static MatchParams match(double c1, double c2, double maxDistance, double direction,
                           double window, bool raDec, bool directionFilter, bool majorOnly) {
    MatchParams p;
    p.centre1 = c1;
    p.centre2 = c2;
    p.maxDistance = maxDistance;
    p.direction = direction;
    p.window = window;
    p.raDec = raDec;
    p.directionFilter = directionFilter;
    p.majorOnly = majorOnly;
    return p;
  }

 private slots:
  void form() {
    StMatchDialog d;
    QCOMPARE(d.windowTitle(), QString("Find Matching Satellites"));
    QCOMPARE(d.size(), QSize(434, 228));
    d.setParams(match(4.4056, 63.1547, 1, 90, 2, true, false, false));
    shot(&d, "stmatchdialog.png");
  }

  void labels_data() {
    QTest::addColumn<bool>("rdf");
    QTest::addColumn<bool>("drf");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("R.A./Dec., direction") << true << true << "R.&A. (HH.MMSS):" << "D&ec. (DD.MMSS):";
    QTest::newRow("az/el, no direction") << false << false << "&Azimuth (deg):" << "&Elevation (deg):";
  }
  void labels() {
    QFETCH(bool, rdf);
    QFETCH(bool, drf);
    QFETCH(QString, first);
    QFETCH(QString, second);
    StMatchDialog d;
    d.setParams(match(5.3, 10.5, 2, 33.5, 5, rdf, drf, true));
    QCOMPARE(d.findChild<QLabel*>("raLabel")->text(), first);
    QCOMPARE(d.findChild<QLabel*>("elLabel")->text(), second);
    QCOMPARE(d.findChild<QLineEdit*>("draEdit")->isEnabled(), drf);
    // Toggled, the labels change and the numbers stay.
    d.findChild<QCheckBox*>("raBox")->setChecked(!rdf);
    d.findChild<QCheckBox*>("drfBox")->setChecked(!drf);
    QVERIFY(d.findChild<QLabel*>("raLabel")->text() != first);
    QCOMPARE(d.findChild<QLineEdit*>("draEdit")->isEnabled(), !drf);
    const MatchParams p = d.params();
    QCOMPARE(p.centre1, 5.3);
    QCOMPARE(p.centre2, 10.5);
    QCOMPARE(p.direction, 33.5);
    QCOMPARE(p.raDec, !rdf);
    QCOMPARE(p.directionFilter, !drf);
    QVERIFY(p.majorOnly);
  }

  void disabledDirectionReturned() {
    StMatchDialog d;
    d.setParams(match(200, 30, 2, -45.25, 10, false, false, false));
    QVERIFY(!d.findChild<QLineEdit*>("draEdit")->isEnabled());
    QCOMPARE(refusalOf(d), QString());
    const MatchParams p = d.params();
    QCOMPARE(p.direction, -45.25);
    QCOMPARE(p.window, 10.0);
    QVERIFY(!p.raDec && !p.directionFilter && !p.majorOnly);
  }

  void refused_data() {
    QTest::addColumn<bool>("rdf");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("why");
    QTest::newRow("R.A. 24h") << true << "azEdit" << "24" << "R.A.";
    QTest::newRow("Dec. 99") << true << "elEdit" << "99" << "Dec.";
    QTest::newRow("azimuth -400") << false << "azEdit" << "-400" << "Azimuth";
    QTest::newRow("distance -1") << false << "mxaEdit" << "-1" << "Max.Distance";
    QTest::newRow("time two days") << false << "tmEdit" << "2880" << "Time Interval";
    QTest::newRow("direction nan") << false << "draEdit" << "nan" << "Direction";
  }
  void refused() {
    QFETCH(bool, rdf);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, why);
    StMatchDialog d;
    d.setParams(match(5.3, 10.5, 2, 0, 5, rdf, true, false));
    QCOMPARE(refusalOf(d), QString());
    d.findChild<QLineEdit*>(field)->setText(text);
    const QString box = refusalOf(d);
    QVERIFY2(box.startsWith("Find Matching Satellites / " + why), qPrintable(box));
  }
};

QTEST_MAIN(StMatchDialogTest)
#include "stmatchdialog_test.moc"
