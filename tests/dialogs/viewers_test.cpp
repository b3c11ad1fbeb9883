// The three text viewers: titles, sizes, named controls, default buttons,
// tab order, and how text goes in.
#include <QFontInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

#include "dialogs/stlocaldialog.h"
#include "dialogs/stpassdialog.h"
#include "dialogs/stquickdialog.h"
#include "engine/passtext.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "support/shots.h"
#include "support/textcolumns.h"
#include "support/windowfixture.h"

namespace {
QStringList tabChain(QWidget* first, int n) {
  QStringList r;
  QWidget* w = first;
  for (int k = 0; k < n && w; ++k, w = w->nextInFocusChain()) {
    while (w && w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    if (w) r << w->objectName();
  }
  return r;
}
}  // namespace

class ViewersTest : public QObject {
  Q_OBJECT
 private slots:
  void layout_data();
  void layout();
  void quickHelpLines();
  void localText();
  void localColumnsLineUp();
  void localFitsItsLongestLine_data();
  void localFitsItsLongestLine();
  void passTabOrder();
  void passColumnsLineUp();
};

void ViewersTest::layout_data() {
  QTest::addColumn<QString>("cls");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("caption");
  QTest::newRow("pass") << "StPassDialog" << "Pass Details" << QSize(491, 477) << "passEdit"
                        << "closeButton" << "&Close";
  QTest::newRow("local") << "StLocalDialog" << "Local Details" << QSize(443, 460) << "textEdit"
                         << "closeButton" << "&Close";
  QTest::newRow("quick") << "StQuickDialog" << "Quick Help" << QSize(557, 403) << "textEdit1"
                         << "okButton" << "&OK";
}

void ViewersTest::layout() {
  QFETCH(QString, cls);
  QFETCH(QString, title);
  QFETCH(QSize, size);
  QFETCH(QString, text);
  QFETCH(QString, button);
  QFETCH(QString, caption);
  std::unique_ptr<QDialog> d;
  if (cls == "StPassDialog") d.reset(new StPassDialog);
  if (cls == "StLocalDialog") d.reset(new StLocalDialog);
  if (cls == "StQuickDialog") d.reset(new StQuickDialog);
  QCOMPARE(d->objectName(), cls);
  QCOMPARE(d->windowTitle(), title);
  QCOMPARE(d->size(), size);
  auto* edit = d->findChild<QTextEdit*>(text);
  QVERIFY(edit && edit->isReadOnly());
  auto* b = d->findChild<QPushButton*>(button);
  QVERIFY(b && b->isDefault());
  QCOMPARE(b->text(), caption);
  // Every control lies inside the dialog and its caption fits.
  for (QWidget* w : d->findChildren<QWidget*>()) {
    if (w->parentWidget() != d.get()) continue;
    QVERIFY2(QRect(QPoint(), size).contains(w->geometry()), qPrintable(w->objectName()));
    if (auto* pb = qobject_cast<QPushButton*>(w))
      QVERIFY2(pb->sizeHint().width() <= pb->width() + 8, qPrintable(pb->text()));
  }
  d->show();
  QTest::keyClick(edit, Qt::Key_Return);
  QCOMPARE(d->result(), int(QDialog::Accepted));
}

void ViewersTest::quickHelpLines() {
  StQuickDialog d;
  d.setHelpLine("first");
  d.setHelpLine("\n");
  d.setHelpLine("<b>second</b>");
  d.setHelpLine("\n");
  d.setHelpLine("$$$");
  auto* t = d.findChild<QTextEdit*>("textEdit1");
  QCOMPARE(t->toPlainText(), QStringLiteral("first\n<b>second</b>\n"));
  QCOMPARE(t->textCursor().position(), 0);
}

void ViewersTest::localText() {
  StLocalDialog d;
  d.setParams({QString::fromLatin1("Sun  elevation -12.5\xb0"), 12});
  auto* t = d.findChild<QTextEdit*>("textEdit");
  QCOMPARE(t->toPlainText(), QString::fromLatin1("Sun  elevation -12.5\xb0"));
  QCOMPARE(t->font().pointSize(), 12);
  QCOMPARE(t->textCursor().position(), 0);
}

// The rows of the local details line their values up with blanks and tabs:
// "Elev:" and "Sun:" and the decimal points of the values stand at the same
// place on every row, whatever the digits before them.
void ViewersTest::localColumnsLineUp() {
  StLocalDialog d;
  d.setParams({QString::fromLatin1("Lat: 48.1,  Long: 11.6,   SunElev: -10.4"
                                   "\n\nISS (ZARYA)         \n\tAzim:   0.00,\tElev: -45.67,\tSun: -12.5"
                                   "\n\nMOLNIYA 1-91        \n\tAzim: 123.45,\tElev:   8.00,\tSun:   1.0"
                                   "\n\nCOSMOS 2058         \n\tAzim: 359.99,\tElev:  11.11,\tSun: 100.0"),
               10});
  auto* t = d.findChild<QTextEdit*>("textEdit");
  for (const char* word : {"Azim:", "Elev:", "Sun:"}) {
    const QList<int> xs = ColumnX(*t, QString("\t") + word);
    QCOMPARE(xs.size(), 3);
    QVERIFY(xs.first() > 0);
    for (int x : xs) QVERIFY2(x == xs.first(), word);
    const QList<int> dots = DecimalX(*t, QString("\t") + word);
    QCOMPARE(dots.size(), 3);
    for (int x : dots) QVERIFY2(x == dots.first(), word);
  }
  shot(&d, "local-columns.png");
}

void ViewersTest::localFitsItsLongestLine_data() {
  QTest::addColumn<int>("points");
  for (int pt : {8, 10, 12}) QTest::newRow(qPrintable(QString("%1 pt").arg(pt))) << pt;
}

// The viewer is as wide as its longest line: no horizontal scrolling, and
// Close stays at the lower right.
void ViewersTest::localFitsItsLongestLine() {
  QFETCH(int, points);
  // Long enough for a vertical scroll bar, which takes its share of the width.
  QString text = QString::fromLatin1("Lat: 48.1,  Long: 11.6,   SunElev: -10.4");
  for (int k = 0; k < 10; ++k)
    text += QString::fromLatin1("\n\nMOLNIYA 1-91        \n\tAzim: 123.45,\tElev:   8.00,\tSun:   1.0");
  text += QString::fromLatin1("\n\n\tObserver (Yaw, Pitch, Azimuth):  123.45   -12.34  359.99");
  StLocalDialog d;
  d.setParams({text, points});
  d.show();
  QVERIFY(QTest::qWaitForWindowExposed(&d));
  auto* t = d.findChild<QTextEdit*>("textEdit");
  QVERIFY(t->verticalScrollBar()->isVisible());
  QCOMPARE(t->horizontalScrollBar()->maximum(), 0);
  QVERIFY(d.width() >= 443);
  auto* close = d.findChild<QPushButton*>("closeButton");
  QCOMPARE(d.width() - close->geometry().right() - 1, 9);
  QVERIFY(t->geometry().right() < d.width());
}

void ViewersTest::passTabOrder() {
  StPassDialog d;
  QCOMPARE(tabChain(d.findChild<QWidget*>("passEdit"), 4),
           QStringList({"passEdit", "closeButton", "saveButton", "gtrackButton"}));
  QCOMPARE(d.findChild<QPushButton*>("saveButton")->shortcut(), QKeySequence("Alt+S"));
  QCOMPARE(d.findChild<QPushButton*>("gtrackButton")->shortcut(), QKeySequence("Alt+G"));
  // G-Track's lines hold time, longitude, latitude and height, in that order.
  QVERIFY(d.findChild<QPushButton*>("gtrackButton")
              ->whatsThis()
              .startsWith("Time, longitude, latitude and height will be copied"));
}

// The listing of a real pass: each step line puts the decimal points of its
// azimuth, elevation, R.A. and declination at the same place as every other,
// and the viewer is wide enough for the whole line.
void ViewersTest::passColumnsLineUp() {
  WindowFixture fx;
  fx.writeStandard();
  WindowFixture::zeroRecords();
  VorlixView view;  // starts up on the fixture's satellites
  WindowFixture::usePassDay();
  aospass(indata, outdata);
  QVERIFY(indata->npass >= 2);
  indata->ipass = 1;
  StPassDialog d;
  d.setParams({10});
  auto* t = d.findChild<QTextEdit*>("passEdit");
  QVERIFY(QFontInfo(t->font()).fixedPitch());
  QCOMPARE(t->font().pointSize(), 10);
  // Step lines begin with the date ("JAN  7   2:04:18"); the k-th '.' after
  // its time is the decimal point of the k-th value.
  const QRegularExpression step(QStringLiteral("^[A-Z]{3} "));
  for (int k = 0; k < 4; ++k) {
    const QList<int> xs = LineX(*t, [&](const QString& line) {
      if (!step.match(line).hasMatch()) return -1;
      int at = line.indexOf(QLatin1Char(':'));
      for (int n = 0; n <= k && at >= 0; ++n) at = line.indexOf(QLatin1Char('.'), at + 1);
      return at;
    });
    QVERIFY(xs.size() > 10);
    for (int x : xs) QVERIFY2(x == xs.first(), qPrintable(QString("value %1").arg(k + 1)));
  }
  // Every column in sight: no horizontal scrolling, Close at the lower right.
  d.show();
  QVERIFY(QTest::qWaitForWindowExposed(&d));
  QCOMPARE(t->horizontalScrollBar()->maximum(), 0);
  auto* close = d.findChild<QPushButton*>("closeButton");
  QCOMPARE(d.width() - close->geometry().right() - 1, 9);
  shot(&d, "pass-columns.png");
}

QTEST_MAIN(ViewersTest)
#include "viewers_test.moc"
