// The main window: start-up, the action table, hot keys, Exit.
#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startsOnTheWelcomePage();
  void fiftyTwoActions();
};

void MainWindowTest::startsOnTheWelcomePage() {
  WindowFixture fx;
  fx.writeStandard();
  auto w = fx.start();
  QCOMPARE(indata->dspst, 0);
  QCOMPARE(outdata->nlines > 5, true);
  QCOMPARE(indata->satnr, 3);
  QCOMPARE(w->size(), QSize(837, 560));
  QCOMPARE(w->windowTitle(), QStringLiteral("Vorlix - 11.8"));
}

void MainWindowTest::fiftyTwoActions() {
  WindowFixture fx;
  fx.writeStandard();
  auto w = fx.start();
  for (int i = 0; i < VorlixApp::ActCount; ++i) QVERIFY(w->action(VorlixApp::Act(i)));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
