// Number fields shared by all dialogs: what a typed text reads as, and the
// checks a dialog can ask for on OK.
#include <QLineEdit>
#include <QtTest>
#include <cmath>

#include "dialogs/stdialog.h"
#include "support/scriptedprompter.h"

class StDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void readDouble_data();
  void readDouble();
  void readInt_data();
  void readInt();
  void shownTextReadsBackTheValue();
  void fixedFormatHasAPoint();
  void checkedFieldKeepsTheDialogOpen_data();
  void checkedFieldKeepsTheDialogOpen();
};

void StDialogTest::readDouble_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("value");
  QTest::addColumn<bool>("ok");
  QTest::newRow("empty") << "" << 0.0 << false;
  QTest::newRow("letters") << "abc" << 0.0 << false;
  QTest::newRow("comma") << "1,5" << 0.0 << false;
  QTest::newRow("trailing letters") << "12abc" << 0.0 << false;
  QTest::newRow("blanks around") << " 12 " << 12.0 << true;
  QTest::newRow("exponent") << "-1.5e-3" << -1.5e-3 << true;
  QTest::newRow("nan") << "nan" << 0.0 << false;
  QTest::newRow("inf") << "inf" << 0.0 << false;
  QTest::newRow("-inf") << "-inf" << 0.0 << false;
  QTest::newRow("beyond double") << "1e999" << 0.0 << false;
}

void StDialogTest::readDouble() {
  QFETCH(QString, text);
  QFETCH(double, value);
  QFETCH(bool, ok);
  QLineEdit e;
  e.setText(text);
  double v = 99.0;
  QCOMPARE(readNum(&e, v), ok);
  QCOMPARE(v, value);
}

void StDialogTest::readInt_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("value");
  QTest::newRow("plain") << " 42 " << 42;
  QTest::newRow("fraction") << "1.5" << 0;
  QTest::newRow("letters") << "x" << 0;
  QTest::newRow("negative") << "-7" << -7;
}

void StDialogTest::readInt() {
  QFETCH(QString, text);
  QFETCH(int, value);
  QLineEdit e;
  e.setText(text);
  int v = 99;
  readNum(&e, v);
  QCOMPARE(v, value);
}

void StDialogTest::shownTextReadsBackTheValue() {
  QLineEdit e;
  setNum(&e, 437.0525);
  QCOMPARE(e.text(), QStringLiteral("437.053"));
  double v = 0;
  QVERIFY(readNum(&e, v));
  QCOMPARE(v, 437.0525);  // untouched: not rounded to six digits
  e.setText(QStringLiteral("437.053"));  // typed again, even the same text...
  e.setText(QStringLiteral("437.06"));
  QVERIFY(readNum(&e, v));
  QCOMPARE(v, 437.06);
  setNum(&e, 1.0 / 24.0);
  QCOMPARE(e.text(), QStringLiteral("0.0416667"));
}

void StDialogTest::fixedFormatHasAPoint() {
  const QByteArray old = setlocale(LC_NUMERIC, nullptr);
  setlocale(LC_NUMERIC, "de_DE.UTF-8");
  QCOMPARE(numText(12.5, "%8.2f"), QStringLiteral("   12.50"));
  setlocale(LC_NUMERIC, old.constData());
}

// A box names the field and what is wrong; letters and a decimal comma are
// refused like a value outside the range, an empty field reads 0, and a
// disabled field (which cannot be mended) reads letters as 0.
void StDialogTest::checkedFieldKeepsTheDialogOpen_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("enabled");
  QTest::addColumn<QString>("box");  // empty: accepted
  QTest::newRow("inside") << "45.5" << true << "";
  QTest::newRow("empty reads 0") << "" << true << "";
  QTest::newRow("letters") << "abc" << true << "Latitude: \"abc\" is not a number.";
  QTest::newRow("decimal comma") << "48,137" << true << "Latitude: \"48,137\" is not a number.";
  QTest::newRow("letters after digits") << "48N" << true << "Latitude: \"48N\" is not a number.";
  QTest::newRow("letters, disabled") << "abc" << false << "";
  QTest::newRow("outside") << "95" << true << "Latitude must lie between -90 and 90.";
  QTest::newRow("nan") << "nan" << true << "Latitude: \"nan\" is not a finite number.";
  QTest::newRow("inf, disabled") << "inf" << false << "Latitude: \"inf\" is not a finite number.";
  QTest::newRow("huge") << "1e999" << true << "Latitude: \"1e999\" is not a finite number.";
}

void StDialogTest::checkedFieldKeepsTheDialogOpen() {
  QFETCH(QString, text);
  QFETCH(bool, enabled);
  QFETCH(QString, box);
  ScriptedPrompter sp;
  StDialog d;
  d.setWindowTitle(QStringLiteral("Observer's Location"));
  auto* lat = new QLineEdit(&d);
  d.checkField(lat, QStringLiteral("Latitude"), -90, 90);
  lat->setText(text);
  lat->setEnabled(enabled);
  d.accept();
  QCOMPARE(d.result() == QDialog::Accepted, box.isEmpty());
  QCOMPARE(sp.boxes.size(), box.isEmpty() ? 0 : 1);
  if (!box.isEmpty()) {
    QCOMPARE(sp.boxes[0].title, QStringLiteral("Observer's Location"));
    QCOMPARE(sp.boxes[0].text, box);
  }
}

QTEST_MAIN(StDialogTest)
#include "stdialog_test.moc"
