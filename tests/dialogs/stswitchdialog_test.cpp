// Prime-satellite dialog: rows per selected count, captions with names, the
// returned slot and relative mode.
#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "dialogs/stswitchdialog.h"
#include "gui/records.h"
#include "support/shots.h"

class StSwitchDialogTest : public QObject {
  Q_OBJECT
  static SwitchParams rows(int prime, int relative, int satellites) {
    SwitchParams p;
    p.prime = prime;
    p.relative = relative;
    p.satellites = satellites;
    return p;
  }


  static void select(int n) {
    std::memset(indata, 0, sizeof *indata);
    indata->satnr = n;
    for (int i = 0; i < n; ++i) std::snprintf(indata->satname[i], SATNAME_SIZE, "SAT %c", 'A' + i);
  }
  static QRadioButton* button(StSwitchDialog& d, int k) {
    return d.findChild<QRadioButton*>(QString("satButton%1").arg(k));
  }

 private slots:
  void rows_data() {
    QTest::addColumn<int>("satn");
    QTest::newRow("none") << 0;
    QTest::newRow("three") << 3;
    QTest::newRow("ten") << 10;
  }
  void rows() {
    QFETCH(int, satn);
    select(satn);
    StSwitchDialog dlg;
    dlg.setParams(rows(0, 0, satn));
    for (int k = 1; k <= 10; ++k) {
      QRadioButton* b = button(dlg, k);
      QCOMPARE(!b->isHidden(), k <= satn);
      QCOMPARE(b->isEnabled(), k <= satn);
      if (k <= satn) {
        const QString mnemonic = k < 10 ? QString("&%1").arg(k) : QString("1&0");
        QCOMPARE(b->text(), mnemonic + " SAT " + QChar('A' + k - 1));
      }
    }
  }

  void chosenSlotAndMode() {
    select(3);
    StSwitchDialog dlg;
    dlg.setParams(rows(1, 1, 3));
    QVERIFY(button(dlg, 2)->isChecked());
    QVERIFY(dlg.findChild<QCheckBox*>("relativeBox")->isChecked());
    shot(&dlg, "switch.png");
    button(dlg, 3)->setChecked(true);
    dlg.findChild<QCheckBox*>("relativeBox")->setChecked(false);
    const SwitchParams p = dlg.params();
    QCOMPARE(p.prime, 2);
    QCOMPARE(p.relative, 0);
  }

  // A slot outside 0..9 checks no button and comes back as 0; rlm 2 shows
  // cleared and comes back as 0.
  void outOfRange() {
    select(3);
    StSwitchDialog dlg;
    dlg.setParams(rows(12, 2, 3));
    for (int k = 1; k <= 10; ++k) QVERIFY(!button(dlg, k)->isChecked());
    QVERIFY(!dlg.findChild<QCheckBox*>("relativeBox")->isChecked());
    const SwitchParams p = dlg.params();
    QCOMPARE(p.prime, 0);
    QCOMPARE(p.relative, 0);
  }
};

QTEST_MAIN(StSwitchDialogTest)
#include "stswitchdialog_test.moc"
