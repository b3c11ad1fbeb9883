// The three text viewers: titles, sizes, named controls, default buttons,
// tab order, and how text goes in.
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include "dialogs/stlocaldialog.h"
#include "dialogs/stpassdialog.h"
#include "dialogs/stquickdialog.h"

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
  void passTabOrder();
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

void ViewersTest::passTabOrder() {
  StPassDialog d;
  QCOMPARE(tabChain(d.findChild<QWidget*>("passEdit"), 4),
           QStringList({"passEdit", "closeButton", "saveButton", "gtrackButton"}));
  QCOMPARE(d.findChild<QPushButton*>("saveButton")->shortcut(), QKeySequence("Alt+S"));
  QCOMPARE(d.findChild<QPushButton*>("gtrackButton")->shortcut(), QKeySequence("Alt+G"));
}

QTEST_MAIN(ViewersTest)
#include "viewers_test.moc"
