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
  static void fill(StDateDialog& d) {
    d.setParams(2024, 3, 15, 21, 30, 5, 1.0, 0, 3.1, 0.0);
  }

 private slots:
  void lockedDurationShowsMagnitude() {
    StDateDialog d;
    d.setParams(2011, 3, 12, 14, 3, 27, 0.0, 0, -3.1, 0.0);
    QCOMPARE(edit(d, "durEdit")->text(), QString("3.1"));
    QVERIFY(!edit(d, "durEdit")->isEnabled());
    QVERIFY(!edit(d, "rtEdit")->isEnabled());
    QVERIFY(refusalOf(d).isEmpty());
    int y, mo, dy, h, mi, s, tza;
    double tz, dur, rt;
    d.getParams(y, mo, dy, h, mi, s, tz, tza, dur, rt);
    QCOMPARE(dur, 3.1);
    QCOMPARE(y, 2011);
    QCOMPARE(s, 27);
  }

  void automaticZoneDisablesTheZone() {
    StDateDialog d;
    d.setParams(2024, 1, 1, 0, 0, 0, -5.5, 1, 2.0, 0.0);
    auto* box = d.findChild<QCheckBox*>("systemBox");
    QVERIFY(box->isChecked());
    QVERIFY(!edit(d, "tzoneEdit")->isEnabled());
    QVERIFY(edit(d, "durEdit")->isEnabled());
    box->setChecked(false);
    QVERIFY(edit(d, "tzoneEdit")->isEnabled());
    QCOMPARE(edit(d, "tzoneEdit")->text(), QString("-5.5"));
    int y, mo, dy, h, mi, s, tza;
    double tz, dur, rt;
    d.getParams(y, mo, dy, h, mi, s, tz, tza, dur, rt);
    QCOMPARE(tza, 0);
    QCOMPARE(tz, -5.5);
  }

  // Values shown with six digits come back exactly as passed while untouched;
  // typed text is read as typed, and text that is no number as 0.
  void untouchedValuesComeBackExactly() {
    StDateDialog d;
    d.setParams(2024, 2, 29, 23, 59, 59, 5.75, 0, 1.23456789, 0.123456789);
    QCOMPARE(edit(d, "rtEdit")->text(), QString("0.123457"));
    int y, mo, dy, h, mi, s, tza;
    double tz, dur, rt;
    d.getParams(y, mo, dy, h, mi, s, tz, tza, dur, rt);
    QCOMPARE(dur, 1.23456789);
    QCOMPARE(rt, 0.123456789);
    edit(d, "rtEdit")->setText(" 2.5 ");
    edit(d, "hourEdit")->setText("abc");
    d.getParams(y, mo, dy, h, mi, s, tz, tza, dur, rt);
    QCOMPARE(rt, 2.5);
    QCOMPARE(h, 0);
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
    QTest::newRow("offset letters") << "rtEdit" << "x" << "";
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
    d.setParams(2023, 2, 28, 12, 0, 0, 0.0, 0, 1.0, 0.0);
    edit(d, "dayEdit")->setText("29");
    QVERIFY(refusalOf(d).contains("Day must lie between 1 and 28"));
    edit(d, "yearEdit")->setText("2024");
    QVERIFY(refusalOf(d).isEmpty());
  }
};

QTEST_MAIN(StDateDialogTest)
#include "stdatedialog_test.moc"
