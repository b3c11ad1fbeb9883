// Visibility dialog: which options each mode shows, the direction labels, the
// values returned (hidden controls included), the exclusive mode boxes, and
// the refusals on OK.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "dialogs/stvisdialog.h"
#include "support/dialogrefusal.h"

namespace {
const char* const kOptional[] = {"occGroup", "smplotBox", "knownBox", "localBox", "ystBox", "solfBox",
                                 "cylBox",   "flrmagBox", "flrmxEdit", "yawEdit"};

// The optional controls shown, in a fixed order; each shown one is enabled
// and each hidden one disabled (the group box only hides).
QString shown(StVisDialog& d) {
  QStringList on;
  for (const char* name : kOptional) {
    QWidget* w = d.findChild<QWidget*>(name);
    const bool visible = w->isVisibleTo(&d);
    if (visible) on << name;
    if (!qobject_cast<QGroupBox*>(w) && w->isEnabled() != visible)
      return QString("%1 enabled %2 but visible %3").arg(name).arg(w->isEnabled()).arg(visible);
  }
  return on.join(' ');
}
}  // namespace

class StVisDialogTest : public QObject {
  Q_OBJECT

  static VisParams limits(double sunel, double satel, double epoch, double dir1, double dir2,
                          int visible, int moonshine) {
    VisParams p;
    p.sunElevationMax = sunel;
    p.satElevationMin = satel;
    p.epochYear = epoch;
    p.direction1 = dir1;
    p.direction2 = dir2;
    p.visibleOnly = visible;
    p.moonshineOnly = moonshine;
    return p;
  }
  static VisParams modes(VisParams p, int sunmplt, int occ, int irid, int flar, int mod, int yst,
                         bool ecl, bool solf, bool mag, double magLimit, bool cyl) {
    p.sunMoonChart = sunmplt;
    p.occultation = occ;
    p.iridium = irid;
    p.flares = flar;
    p.flareModel = mod;
    p.yawSteering = yst;
    p.eclipse = ecl;
    p.solarPanel = solf;
    p.flareMagLimited = mag;
    p.flareMagLimit = magLimit;
    p.cylinder = cyl;
    return p;
  }

 private slots:
  void modes_data() {
    QTest::addColumn<int>("occIn");
    QTest::addColumn<int>("flarIn");
    QTest::addColumn<int>("modIn");
    QTest::addColumn<int>("iridIn");
    QTest::addColumn<bool>("eclIn");
    QTest::addColumn<bool>("solfIn");
    QTest::addColumn<bool>("cylIn");
    QTest::addColumn<bool>("magIn");
    QTest::addColumn<QString>("action");  // "box=1", "box=0" or a radio button to click
    QTest::addColumn<QString>("visible");
    QTest::addColumn<QString>("label");   // first direction label, when shown
    QTest::addColumn<QString>("back");    // occflg flarflg flarmod iridflg ecl cyl mag

    QTest::newRow("no mode") << 0 << 0 << -2 << 0 << false << false << false << false << ""
                             << "" << "" << "0 0 -2 0 0 0 0";
    QTest::newRow("Moon transit and flares: flares win")
        << 2 << 1 << -2 << 0 << false << false << false << false << ""
        << "knownBox localBox solfBox cylBox" << "" << "0 1 -2 0 0 0 0";
    QTest::newRow("flarmod 0 reads back -2")
        << 0 << 1 << 0 << 0 << false << false << false << false << ""
        << "knownBox localBox solfBox cylBox" << "" << "0 1 -2 0 0 0 0";
    QTest::newRow("flares off keeps the known surface")
        << 0 << 1 << 2 << 0 << false << false << false << false << "flarBox=0"
        << "" << "" << "0 0 2 0 0 0 0";
    QTest::newRow("solar panels rule out the cylinder")
        << 0 << 1 << -2 << 0 << false << true << true << false << ""
        << "knownBox localBox solfBox cylBox yawEdit" << "R.A.(HH.MMSS):" << "0 1 -2 0 0 0 0";
    QTest::newRow("Iridium clears flares")
        << 0 << 1 << 1 << 0 << false << false << false << false << "iridBox=1"
        << "" << "" << "0 0 1 3 0 0 0";
    QTest::newRow("R.A./Dec. occultation with local attitude hidden")
        << 3 << 0 << 1 << 0 << false << false << false << false << ""
        << "occGroup yawEdit" << "R.A.(HH.MMSS):" << "3 0 1 0 0 0 0";
    QTest::newRow("known surface, local attitude")
        << 0 << 1 << 1 << 0 << false << false << false << false << ""
        << "knownBox localBox ystBox flrmagBox yawEdit" << "Yaw (deg):" << "0 1 1 0 0 0 0";
    QTest::newRow("known surface, inertial, magnitude limit")
        << 0 << 1 << 2 << 0 << false << false << false << true << ""
        << "knownBox localBox flrmagBox flrmxEdit yawEdit" << "R.A.(HH.MMSS):" << "0 1 2 0 0 0 1";
    QTest::newRow("magnitude limit hidden is still returned")
        << 0 << 0 << 2 << 0 << false << false << false << true << ""
        << "" << "" << "0 0 2 0 0 0 1";
    QTest::newRow("unknown surface, cylinder, inertial")
        << 0 << 1 << -2 << 0 << false << false << true << false << ""
        << "knownBox localBox solfBox cylBox yawEdit" << "R.A.(HH.MMSS):" << "0 1 -2 0 0 1 0";
    QTest::newRow("unknown surface, cylinder, local")
        << 0 << 1 << -1 << 0 << false << false << true << false << ""
        << "knownBox localBox ystBox cylBox yawEdit" << "Yaw (deg):" << "0 1 -1 0 0 1 0";
    QTest::newRow("Sun transit shows the chart box")
        << 1 << 0 << -2 << 0 << false << false << false << false << ""
        << "occGroup smplotBox" << "" << "1 0 -2 0 0 0 0";
    QTest::newRow("R.A./Dec. hides the chart box")
        << 1 << 0 << -2 << 0 << false << false << false << false << "radecButton"
        << "occGroup yawEdit" << "R.A.(HH.MMSS):" << "3 0 -2 0 0 0 0";
    QTest::newRow("every mode on input: eclipse wins")
        << 1 << 1 << -2 << 3 << true << false << false << false << ""
        << "" << "" << "0 0 -2 0 1 0 0";
  }
  void modes() {
    QFETCH(int, occIn);
    QFETCH(int, flarIn);
    QFETCH(int, modIn);
    QFETCH(int, iridIn);
    QFETCH(bool, eclIn);
    QFETCH(bool, solfIn);
    QFETCH(bool, cylIn);
    QFETCH(bool, magIn);
    QFETCH(QString, action);
    QFETCH(QString, visible);
    QFETCH(QString, label);
    QFETCH(QString, back);
    StVisDialog d;
    d.setParams(modes(limits(-6.0, 10.0, 2000.0, 12.3, 45.0, 1, 0),
                      1, occIn, iridIn, flarIn, modIn, 0, eclIn, solfIn, magIn, -1.5, cylIn));
    if (action.contains('=')) {
      const QStringList kv = action.split('=');
      d.findChild<QCheckBox*>(kv[0])->setChecked(kv[1] == "1");
    } else if (!action.isEmpty()) {
      d.findChild<QRadioButton*>(action)->click();
    }
    QCOMPARE(shown(d), visible);
    if (!label.isEmpty()) QCOMPARE(d.findChild<QLabel*>("yawLabel")->text(), label);
    const VisParams p = d.params();
    QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7")
                 .arg(p.occultation)
                 .arg(p.flares)
                 .arg(p.flareModel)
                 .arg(p.iridium)
                 .arg(p.eclipse)
                 .arg(p.cylinder)
                 .arg(p.flareMagLimited),
             back);
    QCOMPARE(p.flareMagLimit, -1.5);
    QCOMPARE(p.sunMoonChart, 1);
  }

  void eachModeBoxClearsTheOthers() {
    const char* boxes[] = {"occBox", "flarBox", "iridBox", "eclBox"};
    for (const char* on : boxes) {
      StVisDialog d;
      d.setParams(modes(limits(-6.0, 10.0, 0.0, 0.0, 0.0, 0, 0),
                        0, 1, 3, 1, 2, 0, true, false, false, 0.0, false));  // eclipse won
      d.findChild<QCheckBox*>(on)->setChecked(true);
      for (const char* other : boxes)
        QCOMPARE(d.findChild<QCheckBox*>(other)->isChecked(), qstrcmp(on, other) == 0);
    }
  }

  void refusals_data() {
    QTest::addColumn<int>("occIn");
    QTest::addColumn<int>("modIn");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("as passed") << 3 << -2 << "sunelEdit" << "-6" << "";
    QTest::newRow("Sun elevation nan") << 0 << -2 << "sunelEdit" << "nan" << "Max. Sun Elevation";
    QTest::newRow("Sun elevation 90") << 0 << -2 << "sunelEdit" << "90" << "";
    QTest::newRow("satellite elevation 100") << 0 << -2 << "satelEdit" << "100" << "Min. Sat";
    QTest::newRow("epoch 0 means of date") << 0 << -2 << "epochEdit" << "0" << "";
    QTest::newRow("epoch letters") << 0 << -2 << "epochEdit" << "J2000"
                                   << "Year of Epoch: \"J2000\" is not a number.";
    QTest::newRow("Sun elevation decimal comma")
        << 0 << -2 << "sunelEdit" << "-6,5" << "Max. Sun Elevation: \"-6,5\" is not a number.";
    QTest::newRow("epoch 1850") << 0 << -2 << "epochEdit" << "1850" << "Year of Epoch";
    QTest::newRow("epoch inf") << 0 << -2 << "epochEdit" << "inf" << "Year of Epoch";
    QTest::newRow("R.A. 30 h") << 3 << -2 << "yawEdit" << "30" << "R.A.";
    QTest::newRow("R.A. 23.5959") << 3 << -2 << "yawEdit" << "23.5959" << "";
    QTest::newRow("R.A. nan") << 3 << -2 << "yawEdit" << "nan" << "R.A.";
    QTest::newRow("Dec. 95") << 3 << -2 << "pitchEdit" << "95" << "Dec.";
    QTest::newRow("R.A. 75 minutes") << 3 << -2 << "yawEdit" << "12.75" << "R.A. must lie";
    QTest::newRow("R.A. 60 seconds") << 3 << -2 << "yawEdit" << "12.3060" << "R.A. must lie";
    QTest::newRow("Dec. 89.75 is 90.25 deg") << 3 << -2 << "pitchEdit" << "89.75" << "Dec. must lie";
    QTest::newRow("Dec. -89.5959") << 3 << -2 << "pitchEdit" << "-89.5959" << "";
    QTest::newRow("R.A. letters") << 3 << -2 << "yawEdit" << "12h"
                                  << "R.A.: \"12h\" is not a number.";
    QTest::newRow("yaw decimal comma") << 0 << 1 << "yawEdit" << "30,5"
                                       << "Yaw: \"30,5\" is not a number.";
    QTest::newRow("yaw 300 in local attitude") << 0 << 1 << "yawEdit" << "300" << "";
    QTest::newRow("pitch 1e999") << 0 << 1 << "pitchEdit" << "1e999" << "Pitch";
    QTest::newRow("hidden direction not checked") << 1 << -2 << "sunelEdit" << "0" << "";
    QTest::newRow("magnitude nan") << 0 << 2 << "flrmxEdit" << "nan" << "Maximum Flare";
  }
  void refusals() {
    QFETCH(int, occIn);
    QFETCH(int, modIn);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StVisDialog d;
    // R.A. 30 h stands in the direction fields: fine while they are hidden.
    d.setParams(modes(limits(-6.0, 10.0, 2000.0, occIn == 1 ? 30.0 : 12.3, 45.0, 1, 0),
                      0, occIn, 0, occIn ? 0 : 1, modIn, 0, false, false, true, 2.0, false));
    d.findChild<QLineEdit*>(field)->setText(text);
    expectRefusal(d, refusal);
  }
};

QTEST_MAIN(StVisDialogTest)
#include "stvisdialog_test.moc"
