// Removal dialog: rows above the selected count hidden, Delete All and the
// ten marks.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "dialogs/stremsatdialog.h"
#include "gui/records.h"
#include "support/shots.h"

class StRemSatDialogTest : public QObject {
  Q_OBJECT

  static void select(int n) {
    std::memset(indata, 0, sizeof *indata);
    indata->satnr = n;
    for (int i = 0; i < n; ++i) std::snprintf(indata->satname[i], SATNAME_SIZE, "SAT %d", i + 1);
  }

 private slots:
  void rows_data() {
    QTest::addColumn<int>("satnr");
    QTest::newRow("one") << 1;
    QTest::newRow("four") << 4;
    QTest::newRow("ten") << 10;
  }
  void rows() {
    QFETCH(int, satnr);
    select(satnr);
    StRemSatDialog dlg;
    RemSatParams shown;
    shown.satellites = satnr;
    dlg.setParams(shown);
    for (int k = 1; k <= 10; ++k) {
      auto* box = dlg.findChild<QCheckBox*>(QString("checkBox%1").arg(k));
      auto* name = dlg.findChild<QLineEdit*>(QString("lineEdit%1").arg(k));
      QCOMPARE(!box->isHidden(), k <= satnr);
      QCOMPARE(!name->isHidden(), k <= satnr);
      QCOMPARE(name->text(), k <= satnr ? QString("SAT %1").arg(k) : QString());
      QVERIFY(name->isReadOnly());
    }
    // Delete All marks exactly the rows in use, and OK is still needed.
    QTest::mouseClick(dlg.findChild<QPushButton*>("allButton"), Qt::LeftButton);
    QVERIFY(dlg.result() != QDialog::Accepted);
    const RemSatParams marked = dlg.params();
    for (int k = 0; k < 10; ++k) QCOMPARE(marked.remove[k], k < satnr);
  }

  void singleMarks() {
    select(4);
    StRemSatDialog dlg;
    RemSatParams shown;
    shown.satellites = 4;
    dlg.setParams(shown);
    dlg.findChild<QCheckBox*>("checkBox2")->setChecked(true);
    dlg.findChild<QCheckBox*>("checkBox4")->setChecked(true);
    shot(&dlg, "remsat.png");
    const RemSatParams marked = dlg.params();
    const bool want[10] = {false, true, false, true, false, false, false, false, false, false};
    for (int k = 0; k < 10; ++k) QCOMPARE(marked.remove[k], want[k]);
  }
};

QTEST_MAIN(StRemSatDialogTest)
#include "stremsatdialog_test.moc"
