// Delta-V dialog: what is offered for which satellite, and what comes back.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/stdeltadialog.h"
#include "support/scriptedprompter.h"

namespace {
DeltaParams change(double deltaV, double yaw, double pitch, bool thrust, bool sunlitOnly,
                   int numerical, bool updateElements) {
  DeltaParams p;
  p.deltaV = deltaV;
  p.yaw = yaw;
  p.pitch = pitch;
  p.thrust = thrust;
  p.sunlitOnly = sunlitOnly;
  p.numerical = numerical;
  p.updateElements = updateElements;
  return p;
}
}  // namespace

class StDeltaDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void offered_data();
  void offered();
  void thrustToggleKeepsTheNumber();
  void refusesNonFinite();
};

void StDeltaDialogTest::offered_data() {
  QTest::addColumn<int>("nmflg");
  QTest::addColumn<bool>("ionf");
  QTest::addColumn<QString>("label");
  QTest::addColumn<bool>("boxes");  // thrust box shown
  QTest::addColumn<bool>("extra");  // sunshine and epoch boxes shown
  QTest::addColumn<bool>("ionBack");
  QTest::newRow("analytic") << 0 << false << "&Delta-V (m/sec):" << false << false << false;
  // A thrust flag on a satellite without numerical propagation is not
  // offered and comes back off: its stored impulse never acts as a thrust.
  QTest::newRow("analytic, thrust flag") << 0 << true << "&Delta-V (m/sec):" << false << false
                                         << false;
  QTest::newRow("numeric") << 1 << false << "&Delta-V (m/sec):" << true << false << false;
  QTest::newRow("numeric, thrust") << 1 << true << "&Acceleration (mm/s^2):" << true << true
                                   << true;
}

void StDeltaDialogTest::offered() {
  QFETCH(int, nmflg);
  QFETCH(bool, ionf);
  QFETCH(QString, label);
  QFETCH(bool, boxes);
  QFETCH(bool, extra);
  QFETCH(bool, ionBack);
  StDeltaDialog dlg;
  dlg.setParams(change(1.5, 10.0, -5.0, ionf, true, nmflg, true));
  QCOMPARE(dlg.findChild<QLabel*>("deltavLabel")->text(), label);
  QCOMPARE(!dlg.findChild<QCheckBox*>("ionBox")->isHidden(), boxes);
  QCOMPARE(!dlg.findChild<QCheckBox*>("sunBox")->isHidden(), extra);
  QCOMPARE(!dlg.findChild<QCheckBox*>("epuBox")->isHidden(), extra);
  const DeltaParams p = dlg.params();
  QCOMPARE(p.deltaV, 1.5);
  QCOMPARE(p.yaw, 10.0);
  QCOMPARE(p.pitch, -5.0);
  QCOMPARE(p.thrust, ionBack);
  QCOMPARE(p.updateElements, ionBack);  // only with thrust
}

void StDeltaDialogTest::thrustToggleKeepsTheNumber() {
  StDeltaDialog dlg;
  dlg.setParams(change(2.5, 0.0, 0.0, false, false, 1, true));
  auto* ion = dlg.findChild<QCheckBox*>("ionBox");
  ion->setChecked(true);
  QCOMPARE(dlg.findChild<QLabel*>("deltavLabel")->text(), QString("&Acceleration (mm/s^2):"));
  QVERIFY(!dlg.findChild<QCheckBox*>("sunBox")->isHidden());
  QCOMPARE(dlg.findChild<QLineEdit*>("deltavEdit")->text(), QString("2.5"));
  ion->setChecked(false);
  const DeltaParams p = dlg.params();
  QVERIFY(!p.thrust);
  QVERIFY(!p.updateElements);  // the epoch box was checked, but thrust is off
}

void StDeltaDialogTest::refusesNonFinite() {
  ScriptedPrompter p;
  for (const char* f : {"deltavEdit", "yawEdit", "pitchEdit"}) {
    StDeltaDialog dlg;
    dlg.setParams(change(1.0, 0.0, 0.0, false, false, 0, false));
    dlg.findChild<QLineEdit*>(f)->setText("nan");
    dlg.accept();
    QVERIFY2(dlg.result() != QDialog::Accepted, f);
  }
  QCOMPARE(p.of("warn").size(), 3);
}

QTEST_MAIN(StDeltaDialogTest)
#include "stdeltadialog_test.moc"
