// Orbit determination dialog: the labels follow the R.A./Dec. boxes, Reverse
// swaps the observations (twice restores them, exactly), Picture takes the two
// points picked on the photograph, the Picture button only when offered, and
// directions outside their form or a time that is no positive number refused
// on OK.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/storbdetdialog.h"
#include "gui/records.h"
#include "support/dialogrefusal.h"
#include "support/shots.h"

namespace {
OrbDetParams Read(StOrbDetDialog& d) { return d.params(); }
OrbDetParams Obs(double az1, double el1, double az2, double el2, double deltm, bool raDec1,
                 bool raDec2, bool match, bool picture) {
  OrbDetParams p;
  p.az1 = az1;
  p.el1 = el1;
  p.az2 = az2;
  p.el2 = el2;
  p.deltm = deltm;
  p.raDec1 = raDec1;
  p.raDec2 = raDec2;
  p.match = match;
  p.picture = picture;
  return p;
}
QString Label(StOrbDetDialog& d, const char* name) { return d.findChild<QLabel*>(name)->text(); }
}  // namespace

class StOrbDetDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void form() {
    StOrbDetDialog d;
    QCOMPARE(d.windowTitle(), QString("Orbit Determination"));
    QCOMPARE(d.size(), QSize(421, 227));
    d.setParams(Obs(319.227, 48.841, 4.4056, 56.3450, 60, false, true, true, true));
    shot(&d, "storbdetdialog.png");
  }

  void labelsFollowTheBoxes() {
    StOrbDetDialog d;
    d.setParams(Obs(10, 20, 30, 40, 60, true, false, false, true));
    QCOMPARE(Label(d, "az1Label"), QString("R.A.&1 (HH.MMSS):"));
    QCOMPARE(Label(d, "el1Label"), QString("Dec.1 (DD.MMSS):"));
    QCOMPARE(Label(d, "az2Label"), QString("Azimuth &2 (deg):"));
    QCOMPARE(Label(d, "el2Label"), QString("Elevation 2 (deg):"));
    d.findChild<QCheckBox*>("obs1Box")->setChecked(false);
    d.findChild<QCheckBox*>("obs2Box")->setChecked(true);
    QCOMPARE(Label(d, "az1Label"), QString("Azimuth &1 (deg):"));
    QCOMPARE(Label(d, "el1Label"), QString("Elevation 1 (deg):"));
    QCOMPARE(Label(d, "az2Label"), QString("R.A.&2 (HH.MMSS):"));
    QCOMPARE(Label(d, "el2Label"), QString("Dec.2 (DD.MMSS):"));
    // Not converted.
    QCOMPARE(Read(d).az1, 10.0);
  }

  void reverseTwiceRestores() {
    StOrbDetDialog d;
    const double az1 = 123.456789, el1 = 31.5, ra2 = 5.36121234, dec2 = -1.12071234;
    d.setParams(Obs(az1, el1, ra2, dec2, 60, false, true, true, true));
    d.findChild<QPushButton*>("reverseButton")->click();
    OrbDetParams v = Read(d);
    QCOMPARE(v.az1, ra2);
    QCOMPARE(v.el1, dec2);
    QCOMPARE(v.az2, az1);
    QCOMPARE(v.el2, el1);
    QVERIFY(v.raDec1 && !v.raDec2 && v.match);
    QCOMPARE(v.deltm, 60.0);
    QCOMPARE(Label(d, "az1Label"), QString("R.A.&1 (HH.MMSS):"));
    QCOMPARE(Label(d, "az2Label"), QString("Azimuth &2 (deg):"));
    d.findChild<QPushButton*>("reverseButton")->click();
    v = Read(d);
    QCOMPARE(v.az1, az1);
    QCOMPARE(v.el1, el1);
    QCOMPARE(v.az2, ra2);
    QCOMPARE(v.el2, dec2);
    QVERIFY(!v.raDec1 && v.raDec2);
    QCOMPARE(Label(d, "az1Label"), QString("Azimuth &1 (deg):"));
  }

  void pictureTakesThePickedPoints() {
    indata->picra[3] = 5.3012;
    indata->picdec[3] = -0.4512;
    indata->picra[4] = 5.3405;
    indata->picdec[4] = -1.0203;
    StOrbDetDialog d;
    d.setParams(Obs(200, 10, 210, 15, 42, false, false, false, true));
    auto* pic = d.findChild<QPushButton*>("picButton");
    QVERIFY(pic->isVisibleTo(&d) && pic->isEnabled());
    pic->click();
    const OrbDetParams v = Read(d);
    QCOMPARE(v.az1, 5.3012);
    QCOMPARE(v.el1, -0.4512);
    QCOMPARE(v.az2, 5.3405);
    QCOMPARE(v.el2, -1.0203);
    QVERIFY(v.raDec1 && v.raDec2);
    QCOMPARE(v.deltm, 42.0);
    QCOMPARE(Label(d, "el2Label"), QString("Dec.2 (DD.MMSS):"));
  }

  // Without two picked points there is no Picture button, not even for Tab.
  void pictureNotOffered() {
    StOrbDetDialog d;
    d.setParams(Obs(200, 10, 210, 15, 42, false, false, false, false));
    auto* pic = d.findChild<QPushButton*>("picButton");
    QVERIFY(!pic->isVisibleTo(&d) && !pic->isEnabled());
    d.show();
    QApplication::setActiveWindow(&d);
    d.findChild<QLineEdit*>("az1Edit")->setFocus();
    for (int k = 0; k < 24; ++k) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QVERIFY(QApplication::focusWidget() != pic);
    }
  }

  void refused_data() {
    QTest::addColumn<bool>("raDec");
    QTest::addColumn<QString>("field");  // edit to change
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("why");
    QTest::newRow("azimuth 400") << false << "az1Edit" << "400" << "Azimuth 1";
    QTest::newRow("elevation 95") << false << "el2Edit" << "95" << "Elevation 2";
    QTest::newRow("R.A. 24h") << true << "az1Edit" << "24.1" << "R.A.1";
    QTest::newRow("R.A. 70 minutes") << true << "az2Edit" << "5.70" << "R.A.2";
    QTest::newRow("Dec. -91") << true << "el1Edit" << "-91" << "Dec.1";
    QTest::newRow("time not a number") << false << "deltmEdit" << "inf" << "Delta Time";
    QTest::newRow("time 0") << false << "deltmEdit" << "0" << "Delta Time must lie between";
    QTest::newRow("time negative") << false << "deltmEdit" << "-60"
                                   << "Delta Time must lie between";
    QTest::newRow("time empty") << false << "deltmEdit" << "" << "Delta Time: a value is needed";
    QTest::newRow("time letters") << false << "deltmEdit" << "abc"
                                  << "Delta Time: \"abc\" is not a number";
  }
  void refused() {
    QFETCH(bool, raDec);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, why);
    StOrbDetDialog d;
    d.setParams(Obs(1.2, 10, 1.3, 15, 60, raDec, raDec, false, false));
    QCOMPARE(refusalOf(d), QString());
    d.findChild<QLineEdit*>(field)->setText(text);
    const QString box = refusalOf(d);
    QVERIFY2(box.startsWith("Orbit Determination / " + why), qPrintable(box));
  }
};

QTEST_MAIN(StOrbDetDialogTest)
#include "storbdetdialog_test.moc"
