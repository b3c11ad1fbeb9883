// Iridium flare options: values shown and read; a magnitude that is not
// finite, no number or fainter than the flare list takes is refused, an
// empty one reads as 0.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stiridiumdialog.h"
#include "support/scriptedprompter.h"
#include "support/shots.h"

class StIridiumDialogTest : public QObject {
  Q_OBJECT
  static IridiumParams options(double magLimit, bool operationalOnly, bool solarPanels) {
    IridiumParams p;
    p.magLimit = magLimit;
    p.operationalOnly = operationalOnly;
    p.solarPanels = solarPanels;
    return p;
  }

 private slots:
  void roundTrip() {
    StIridiumDialog dlg;
    dlg.setParams(options(-2.5, true, false));
    auto* mag = dlg.findChild<QLineEdit*>("magEdit");
    auto* ops = dlg.findChild<QCheckBox*>("opsBox");
    auto* sol = dlg.findChild<QCheckBox*>("solpBox");
    QCOMPARE(mag->text(), QString("-2.5"));
    shot(&dlg, "iridium-options.png");
    QVERIFY(ops->isChecked());
    QVERIFY(!sol->isChecked());
    mag->setText("-1");
    ops->setChecked(false);
    sol->setChecked(true);
    const IridiumParams p = dlg.params();
    QCOMPARE(p.magLimit, -1.0);
    QVERIFY(!p.operationalOnly);
    QVERIFY(p.solarPanels);
  }

  void magnitudeChecked_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("number") << "-0.5" << true;
    QTest::newRow("letters") << "bright" << false;
    QTest::newRow("nan") << "nan" << false;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("beyond the range") << "1e6" << false;
    // The faintest limit the flare list takes is 29.
    QTest::newRow("29") << "29" << true;
    QTest::newRow("30") << "30" << false;
  }
  void magnitudeChecked() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    ScriptedPrompter sp;
    StIridiumDialog dlg;
    dlg.setParams(options(0.0, false, false));
    dlg.findChild<QLineEdit*>("magEdit")->setText(text);
    dlg.setResult(QDialog::Rejected);
    dlg.accept();
    QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
    QCOMPARE(sp.of("warn").size(), accepted ? 0 : 1);
    // Refused, the dialog stays open with what was typed.
    QCOMPARE(dlg.findChild<QLineEdit*>("magEdit")->text(), text);
  }
};

QTEST_MAIN(StIridiumDialogTest)
#include "stiridiumdialog_test.moc"
