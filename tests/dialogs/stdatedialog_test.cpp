// Date dialog: lock, automatic zone, values passed through untouched, refusals.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stdatedialog.h"
#include "support/dialogrefusal.h"

class StDateDialogTest : public QObject {
  Q_OBJECT

  static QLineEdit* edit(StDateDialog& d, const char* name) {
    return d.findChild<QLineEdit*>(name);
  }
  // The date and time, the zone (h) and whether it is the system's, the
  // duration (d, negative: locked) and the real-time offset (h).
  static DateParams when(int y, int mo, int dy, int h, int mi, int s, double zone, bool system,
                         double duration, double rtOffset) {
    DateParams p;
    p.year = y;
    p.month = mo;
    p.day = dy;
    p.hour = h;
    p.minute = mi;
    p.second = s;
    p.zone = zone;
    p.systemZone = system;
    p.duration = duration;
    p.rtOffset = rtOffset;
    return p;
  }
  static void fill(StDateDialog& d) {
    d.setParams(when(2024, 3, 15, 21, 30, 5, 1.0, false, 3.1, 0.0));
  }

 private slots:
  void lockedDurationShowsMagnitude() {
    StDateDialog d;
    d.setParams(when(2011, 3, 12, 14, 3, 27, 0.0, false, -3.1, 0.0));
    QCOMPARE(edit(d, "durEdit")->text(), QString("3.1"));
    QVERIFY(!edit(d, "durEdit")->isEnabled());
    QVERIFY(!edit(d, "rtEdit")->isEnabled());
    QVERIFY(refusalOf(d).isEmpty());
    const DateParams p = d.params();
    QCOMPARE(p.duration, 3.1);
    QCOMPARE(p.year, 2011);
    QCOMPARE(p.second, 27);
  }

  void automaticZoneDisablesTheZone() {
    StDateDialog d;
    d.setParams(when(2024, 1, 1, 0, 0, 0, -5.5, true, 2.0, 0.0));
    auto* box = d.findChild<QCheckBox*>("systemBox");
    QVERIFY(box->isChecked());
    QVERIFY(!edit(d, "tzoneEdit")->isEnabled());
    QVERIFY(edit(d, "durEdit")->isEnabled());
    box->setChecked(false);
    QVERIFY(edit(d, "tzoneEdit")->isEnabled());
    QCOMPARE(edit(d, "tzoneEdit")->text(), QString("-5.5"));
    const DateParams p = d.params();
    QVERIFY(!p.systemZone);
    QCOMPARE(p.zone, -5.5);
  }

  // Values shown with six digits come back exactly as passed while untouched;
  // typed text is read as typed, and text that is no number as 0.
  void untouchedValuesComeBackExactly() {
    StDateDialog d;
    d.setParams(when(2024, 2, 29, 23, 59, 59, 5.75, false, 1.23456789, 0.123456789));
    QCOMPARE(edit(d, "rtEdit")->text(), QString("0.123457"));
    DateParams p = d.params();
    QCOMPARE(p.duration, 1.23456789);
    QCOMPARE(p.rtOffset, 0.123456789);
    edit(d, "rtEdit")->setText(" 2.5 ");
    edit(d, "hourEdit")->setText("abc");
    p = d.params();
    QCOMPARE(p.rtOffset, 2.5);
    QCOMPARE(p.hour, 0);
  }

  void refusals_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");  // start of the message, empty = accepted
    QTest::newRow("as passed") << "yearEdit" << "2024" << "";
    QTest::newRow("duration inf") << "durEdit" << "inf" << "Duration";
    QTest::newRow("duration 1e999") << "durEdit" << "1e999" << "Duration";
    QTest::newRow("duration nan") << "durEdit" << "nan" << "Duration";
    QTest::newRow("duration huge") << "durEdit" << "100000" << "Duration";
    QTest::newRow("duration 15") << "durEdit" << "15" << "Duration";
    QTest::newRow("duration 14") << "durEdit" << "14" << "";
    QTest::newRow("duration negative") << "durEdit" << "-3" << "";
    QTest::newRow("duration letters") << "durEdit" << "abc" << "Duration";
    QTest::newRow("duration 0") << "durEdit" << "0" << "Duration";
    QTest::newRow("month 13") << "monthEdit" << "13" << "Month";
    QTest::newRow("month letters") << "monthEdit" << "Mar" << "Month";
    QTest::newRow("day 30 in March") << "dayEdit" << "30" << "";
    QTest::newRow("day 32") << "dayEdit" << "32" << "Day";
    QTest::newRow("hour 24") << "hourEdit" << "24" << "Hours";
    QTest::newRow("minute 60 carries") << "minEdit" << "60" << "";
    QTest::newRow("minute 61") << "minEdit" << "61" << "Minutes";
    QTest::newRow("second -1") << "secEdit" << "-1" << "Seconds";
    QTest::newRow("year letters") << "yearEdit" << "2024.5" << "Year";
    QTest::newRow("zone nan") << "tzoneEdit" << "nan" << "Timezone";
    QTest::newRow("zone 15") << "tzoneEdit" << "15" << "Timezone";
    QTest::newRow("zone -12") << "tzoneEdit" << "-12" << "";
    QTest::newRow("offset inf") << "rtEdit" << "-inf" << "R/T Offset";
    QTest::newRow("offset letters") << "rtEdit" << "x" << "R/T Offset: \"x\" is not a number.";
  }
  void refusals() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StDateDialog d;
    fill(d);
    edit(d, field.toLatin1().constData())->setText(text);
    expectRefusal(d, refusal);
  }

  void dayOfMonthFollowsTheMonth() {
    StDateDialog d;
    d.setParams(when(2023, 2, 28, 12, 0, 0, 0.0, false, 1.0, 0.0));
    edit(d, "dayEdit")->setText("29");
    QVERIFY(refusalOf(d).contains("Day must lie between 1 and 28"));
    edit(d, "yearEdit")->setText("2024");
    QVERIFY(refusalOf(d).isEmpty());
  }
};

QTEST_MAIN(StDateDialogTest)
#include "stdatedialog_test.moc"
