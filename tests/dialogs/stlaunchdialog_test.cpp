// Launch site dialog: the site list, the coordinates shown and returned, and
// Cancel acting on the press.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "dialogs/stlaunchdialog.h"
#include "support/scriptedprompter.h"

namespace {
LaunchParams launch(int site, double lat, double lng, bool south, double ascent) {
  LaunchParams p;
  p.site = site;
  p.lat = lat;
  p.lng = lng;
  p.south = south;
  p.ascent = ascent;
  return p;
}
}  // namespace

class StLaunchDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void sites_data();
  void sites();
  void openingKeepsTheCoordinatesGiven();
  void unknownSiteIsTheUsersOwn();
  void cancelOnPress();
  void refusesLatitudeBeyondThePole();
};

void StLaunchDialogTest::sites_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<double>("lat");
  QTest::addColumn<double>("lng");
  QTest::newRow("Kennedy") << 1 << 28.6272 << -80.6208;
  QTest::newRow("Baikonur") << 2 << 45.92 << 63.3423;
  QTest::newRow("Wallops 13") << 13 << 37.85 << -75.47;
  QTest::newRow("Wallops 18") << 18 << 37.84 << -75.48;
  QTest::newRow("Woomera") << 16 << -31.12 << 136.53;
  QTest::newRow("Kwajalein") << 20 << 8.99 << 167.72;
}

void StLaunchDialogTest::sites() {
  QFETCH(int, index);
  QFETCH(double, lat);
  QFETCH(double, lng);
  StLaunchDialog dlg;
  dlg.setParams(launch(0, 1.0, 2.0, false, 8.0));
  auto* box = dlg.findChild<QComboBox*>("siteBox");
  QCOMPARE(box->count(), 21);
  box->setCurrentIndex(index);
  emit box->activated(index);
  QVERIFY(!dlg.findChild<QLineEdit*>("latEdit")->isEnabled());
  LaunchParams p = dlg.params();
  QCOMPARE(p.site, index);
  QCOMPARE(p.lat, lat);
  QCOMPARE(p.lng, lng);
  QCOMPARE(p.ascent, 8.0);
  // The user's entry unlocks the site's coordinates as they stand.
  box->setCurrentIndex(0);
  emit box->activated(0);
  QVERIFY(dlg.findChild<QLineEdit*>("latEdit")->isEnabled());
  p = dlg.params();
  QCOMPARE(p.site, 0);
  QCOMPARE(p.lat, lat);
}

void StLaunchDialogTest::openingKeepsTheCoordinatesGiven() {
  StLaunchDialog dlg;
  dlg.setParams(launch(2, 45.0, 63.0, true, -1.0));
  auto* box = dlg.findChild<QComboBox*>("siteBox");
  QCOMPARE(box->currentText(), QString("Baikonur"));
  QVERIFY(dlg.findChild<QLineEdit*>("latEdit")->isEnabled());
  QVERIFY(dlg.findChild<QRadioButton*>("southButton")->isChecked());
  LaunchParams p = dlg.params();
  QCOMPARE(p.site, 2);
  QCOMPARE(p.lat, 45.0);
  QCOMPARE(p.lng, 63.0);
  QVERIFY(p.south);
  QCOMPARE(p.ascent, -1.0);
  // Choosing the site shown again puts its own coordinates in.
  emit box->activated(2);
  p = dlg.params();
  QCOMPARE(p.lat, 45.92);
  QCOMPARE(p.lng, 63.3423);
  // A dialog filled twice still lists each site once.
  dlg.setParams(launch(3, 0.0, 0.0, false, 8.0));
  QCOMPARE(box->count(), 21);
}

void StLaunchDialogTest::unknownSiteIsTheUsersOwn() {
  for (int lsx : {-1, 21, 1000}) {
    StLaunchDialog dlg;
    dlg.setParams(launch(lsx, 10.0, 20.0, false, 8.0));
    const LaunchParams p = dlg.params();
    QCOMPARE(p.site, 0);
    QCOMPARE(p.lat, 10.0);
  }
}

void StLaunchDialogTest::cancelOnPress() {
  StLaunchDialog dlg;
  dlg.setParams(launch(1, 28.6272, -80.6208, false, 8.0));
  dlg.show();
  QTest::mousePress(dlg.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
  QCOMPARE(dlg.result(), int(QDialog::Rejected));
  QVERIFY(!dlg.isVisible());
}

void StLaunchDialogTest::refusesLatitudeBeyondThePole() {
  ScriptedPrompter p;
  StLaunchDialog dlg;
  dlg.setParams(launch(0, 0.0, 0.0, false, 8.0));
  dlg.findChild<QLineEdit*>("latEdit")->setText("95");
  dlg.accept();
  QVERIFY(dlg.result() != QDialog::Accepted);
  dlg.findChild<QLineEdit*>("latEdit")->setText("-90");
  dlg.accept();
  QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

QTEST_MAIN(StLaunchDialogTest)
#include "stlaunchdialog_test.moc"
