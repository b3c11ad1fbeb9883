// Astrometry star dialog: empty on a star without coordinates, the R.A.
// selected otherwise, Abort accepted with its flag, empty, impossible or
// non-numeric coordinates refused on OK.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/stastdialog.h"
#include "support/dialogrefusal.h"
#include "support/shots.h"

class StAstDialogTest : public QObject {
  Q_OBJECT
 private slots:
  static AstParams star(double ra, double dec) {
    AstParams p;
    p.ra = ra;
    p.dec = dec;
    return p;
  }

  void form() {
    StAstDialog d;
    QCOMPARE(d.windowTitle(), QString("Astrometry"));
    QVERIFY(d.width() >= 270 && d.height() >= 173);
    QVERIFY(d.findChild<QLabel*>("label")->font().bold());
    QVERIFY(d.findChild<QPushButton*>("okButton")->isDefault());
    d.setParams(star(5.3612, -1.1207));
    shot(&d, "stastdialog.png");
  }

  void noCoordinatesOpensEmpty() {
    StAstDialog d;
    d.setParams(star(0.0, 0.0));
    QVERIFY(d.findChild<QLineEdit*>("raEdit")->text().isEmpty());
    QVERIFY(d.findChild<QLineEdit*>("decEdit")->text().isEmpty());
    // OK on empty fields would put the star at 0h on the equator.
    QVERIFY(refusalOf(d).contains("R.A.: a value is needed."));
    d.findChild<QLineEdit*>("raEdit")->setText("0");
    QVERIFY(refusalOf(d).contains("Dec.: a value is needed."));
    d.findChild<QLineEdit*>("decEdit")->setText("0");
    QCOMPARE(refusalOf(d), QString());
  }

  void coordinatesShownAndReturned() {
    StAstDialog d;
    d.setParams(star(5.3612, -1.1207));
    auto* ra = d.findChild<QLineEdit*>("raEdit");
    QCOMPARE(ra->text(), QString("5.3612"));
    QCOMPARE(ra->selectedText(), ra->text());
    QCOMPARE(d.findChild<QLineEdit*>("decEdit")->text(), QString("-1.1207"));
    QCOMPARE(refusalOf(d), QString());
    const AstParams p = d.params();
    QCOMPARE(p.ra, 5.3612);
    QCOMPARE(p.dec, -1.1207);
    QVERIFY(!p.abort);
  }

  void abortIsAccepted() {
    StAstDialog d;
    d.setParams(star(0.0, 0.0));
    d.findChild<QPushButton*>("abortButton")->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(d.params().abort);
  }

  void refused_data() {
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("field");
    QTest::newRow("24h") << "24" << "10" << "R.A.";
    QTest::newRow("negative R.A.") << "-0.3" << "10" << "R.A.";
    QTest::newRow("60 minutes") << "5.6" << "10" << "R.A.";
    QTest::newRow("60 seconds") << "5.3660" << "10" << "R.A.";
    QTest::newRow("beyond the pole") << "5.3" << "90.01" << "Dec.";
    QTest::newRow("75 minutes of Dec.") << "5.3" << "-10.75" << "Dec.";
    QTest::newRow("not a number") << "nan" << "10" << "R.A.";
    // Letters and a decimal comma would read as 0h or the equator.
    QTest::newRow("R.A. letters") << "abc" << "10" << "R.A.: \"abc\" is not a number";
    QTest::newRow("R.A. comma") << "1,5" << "10" << "R.A.: \"1,5\" is not a number";
    QTest::newRow("Dec. letters") << "5.3" << "abc" << "Dec.: \"abc\" is not a number";
    QTest::newRow("Dec. comma") << "5.3" << "10,5" << "Dec.: \"10,5\" is not a number";
  }
  void refused() {
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QString, field);
    StAstDialog d;
    d.findChild<QLineEdit*>("raEdit")->setText(ra);
    d.findChild<QLineEdit*>("decEdit")->setText(dec);
    const QString why = refusalOf(d);
    QVERIFY2(why.startsWith("Astrometry / " + field), qPrintable(why));
  }
};

QTEST_MAIN(StAstDialogTest)
#include "stastdialog_test.moc"
