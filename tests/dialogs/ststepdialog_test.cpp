// Time-step dialog: values shown and read, and the fields refused on OK.
#include <QLineEdit>
#include <QtTest>

#include "dialogs/ststepdialog.h"
#include "support/scriptedprompter.h"
#include "support/shots.h"

class StStepDialogTest : public QObject {
  Q_OBJECT
  static StepParams step(int minutes, double seconds) {
    StepParams p;
    p.minutes = minutes;
    p.seconds = seconds;
    return p;
  }

 private slots:
  void roundTrip() {
    StStepDialog dlg;
    dlg.setParams(step(2, 0.1));
    auto* minEdit = dlg.findChild<QLineEdit*>("minEdit");
    auto* secEdit = dlg.findChild<QLineEdit*>("secEdit");
    QCOMPARE(minEdit->text(), QString("2"));
    QCOMPARE(secEdit->text(), QString("0.1"));
    shot(&dlg, "step.png");
    minEdit->setText(" -3 ");
    secEdit->setText("1e-2");
    const StepParams p = dlg.params();
    QCOMPARE(p.minutes, -3);
    QCOMPARE(p.seconds, 0.01);
  }

  // OK is refused (the dialog stays open, a box names the field) for minutes
  // that are no whole number, for seconds that are no number or no finite
  // number, beyond 14 days, and for a step too small to move the clock (0 and
  // 0 stand for 0.1 s); an empty field reads 0.
  void refusedOnOk_data() {
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("sec");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("plain") << "2" << "30" << true;
    QTest::newRow("negatives") << "-2" << "-30" << true;
    QTest::newRow("zero") << "0" << "0" << true;
    QTest::newRow("fractional minutes") << "1.5" << "0" << false;
    QTest::newRow("letters") << "abc" << "0" << false;
    QTest::newRow("empty minutes") << "" << "5" << true;
    QTest::newRow("nan seconds") << "0" << "nan" << false;
    QTest::newRow("inf seconds") << "0" << "1e999" << false;
    QTest::newRow("INT_MIN minutes") << "-2147483648" << "0" << false;
    QTest::newRow("14 days") << "20160" << "0" << true;
    QTest::newRow("past 14 days") << "20161" << "0" << false;
    QTest::newRow("seconds letters") << "0" << "5s" << false;
    QTest::newRow("seconds decimal comma") << "0" << "0,5" << false;
    QTest::newRow("0 min, 1e-9 s") << "0" << "1e-9" << false;
    QTest::newRow("0 min, -0.05 s") << "0" << "-0.05" << false;
    QTest::newRow("0 min, 0.1 s") << "0" << "0.1" << true;
    QTest::newRow("1 min, 1e-9 s") << "1" << "1e-9" << true;
  }
  void refusedOnOk() {
    QFETCH(QString, min);
    QFETCH(QString, sec);
    QFETCH(bool, accepted);
    ScriptedPrompter sp;
    StStepDialog dlg;
    dlg.setParams(step(1, 0.0));
    dlg.findChild<QLineEdit*>("minEdit")->setText(min);
    dlg.findChild<QLineEdit*>("secEdit")->setText(sec);
    dlg.setResult(QDialog::Rejected);
    dlg.accept();
    QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
    QCOMPARE(sp.of("warn").size(), accepted ? 0 : 1);
  }

  // A step too small to move the clock names the smallest step accepted.
  void tooSmallNamesTheSmallest() {
    ScriptedPrompter sp;
    StStepDialog dlg;
    dlg.setParams(step(0, 1e-9));
    dlg.setResult(QDialog::Rejected);
    dlg.accept();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(sp.of("warn").size(), 1);
    QCOMPARE(sp.of("warn")[0].title, QString("Time Step"));
    QVERIFY2(sp.of("warn")[0].text.contains("the smallest step is 0.1 s"),
             qPrintable(sp.of("warn")[0].text));
  }
};

QTEST_MAIN(StStepDialogTest)
#include "ststepdialog_test.moc"
