// The main window: start-up, hot keys, timed plotting and the Stop rule,
// file dialogs, font size, quick help, Exit.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextEdit>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/files.h"
#include "support/ownprocess.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {
QStringList statusTexts(const QSignalSpy& spy) {
  QStringList r;
  for (const QList<QVariant>& args : spy) r << args.first().toString();
  return r;
}

QByteArray readAll(const QString& path) {
  return QByteArray::fromStdString(readFile(QFile::encodeName(path).toStdString()));
}
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startsOnTheWelcomePage();
  void smallFontGivesTheSmallerWindow();
  void firstStartWithoutTleFile();
  void configuredTleFileMissing();
  void damagedConfiguration();
  void lettersInBothCases_data();
  void lettersInBothCases();
  void keysOfDisabledActionsDoNothing();
  void digitsChooseThePrimeSatellite();
  void keysStillArriveAfterAClickOnTheView();
  void timerStates_data();
  void timerStates();
  void stopRule_data();
  void stopRule();
  void openTleFile_data();
  void openTleFile();
  void saveAsRefusesALongName();
  void saveAsRefusesTheElementFile_data();
  void saveAsRefusesTheElementFile();
  void picture_data();
  void picture();
  void fontSize();
  void quickHelpShowsTheHelpText();
  void helpListsTheHotKeys();
  void exitWritesTheConfigurationIntoTheProgramDirectory();
  void exitThatCannotSaveAsks_data();
  void exitThatCannotSaveAsks();
  void exitKeepsAConfigurationThatCannotBeRead_data();
  void exitKeepsAConfigurationThatCannotBeRead();
  void exitNeverTakesTheElementFile_data();
  void exitNeverTakesTheElementFile();
  void closingByTheFrameWritesNothing();
};

void MainWindowTest::startsOnTheWelcomePage() {
  WindowFixture fx;
  fx.writeStandard();
  auto w = fx.start();
  QCOMPARE(indata->dspst, 0);
  QCOMPARE(QByteArray(outdata->lines[0]).trimmed(), QByteArray("*** Welcome to Vorlix Version 11.8 ***"));
  QCOMPARE(indata->satnr, 3);
  QCOMPARE(w->size(), QSize(837, 560));
  QCOMPARE(w->windowTitle(), QStringLiteral("Vorlix - 11.8"));
  QCOMPARE(w->tleName(), QStringLiteral("welcome.tle"));
  QCOMPARE(QDir::currentPath(), fx.appDir());
  QCOMPARE(w->viewWidget()->size(), w->viewWidget()->textPixmap().size());
}

void MainWindowTest::smallFontGivesTheSmallerWindow() {
  WindowFixture fx;
  fx.copyData("welcome/welcome.tle", "welcome.tle");
  fx.writeConfig("welcome.tle", {"ISS"}, 8);
  auto w = fx.start();
  QCOMPARE(w->size(), QSize(744, 560));
  QCOMPARE(w->viewWidget()->getFsz(), 8);
}

void MainWindowTest::firstStartWithoutTleFile() {
  WindowFixture fx;  // no configuration, no visual.txt
  auto w = fx.start();
  QCOMPARE(w->tleName(), QString());
  QCOMPARE(QDir::currentPath(), fx.homeDir());
  QCOMPARE(indata->satnr, 0);
  QCOMPARE(indata->dspst, 0);
}

void MainWindowTest::configuredTleFileMissing() {
  WindowFixture fx;
  fx.writeConfig("gone.tle", {"ISS"});
  auto w = fx.start();
  QCOMPARE(QDir::currentPath(), fx.homeDir());
  QCOMPARE(indata->satnr, 0);
}

void MainWindowTest::damagedConfiguration() {
  WindowFixture fx;
  fx.writeFile("vorlix.cfg", QByteArray("12\nnot a number\n\x01\x02\xff", 20));
  auto w = fx.start();
  QCOMPARE(indata->dspst, 0);
  QVERIFY(outdata->nlines > 0);
}

void MainWindowTest::lettersInBothCases_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("title");
  QTest::newRow("f") << int(Qt::Key_F) << "openFile" << "TLE file dialog";
  QTest::newRow("h") << int(Qt::Key_H) << "exec" << "StQuickDialog";
}

void MainWindowTest::lettersInBothCases() {
  QFETCH(int, key);
  QFETCH(QString, kind);
  QFETCH(QString, title);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  // Qt gives a letter the same key code in both cases; the text differs.
  QTest::keyClick(w.get(), Qt::Key(key));
  QTest::keyClick(w.get(), Qt::Key(key), Qt::ShiftModifier);
  QCOMPARE(sp.of(kind).size(), 2);
  QCOMPARE(sp.of(kind).first().title, title);
}

void MainWindowTest::keysOfDisabledActionsDoNothing() {
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  for (int i = 0; i < VorlixApp::ActCount; ++i) w->action(VorlixApp::Act(i))->setEnabled(false);
  QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
  for (int k : {Qt::Key_A, Qt::Key_F, Qt::Key_H, Qt::Key_R, Qt::Key_G, Qt::Key_S, Qt::Key_V,
                Qt::Key_N, Qt::Key_X, Qt::Key_Space, Qt::Key_Delete, Qt::Key_PageDown, Qt::Key_Left})
    QTest::keyClick(w.get(), Qt::Key(k));
  QVERIFY(spy.isEmpty());
  QVERIFY(sp.boxes.isEmpty());
  QCOMPARE(w->timerState(), 0);
  QVERIFY(!w->action(VorlixApp::ViewNames)->isChecked());
}

void MainWindowTest::digitsChooseThePrimeSatellite() {
  WindowFixture fx;
  fx.writeStandard();  // three satellites
  auto w = fx.start();
  struct Case {
    Qt::Key key;
    int prs;
  };
  const Case cases[] = {{Qt::Key_2, 1}, {Qt::Key_5, 1}, {Qt::Key_3, 2}, {Qt::Key_0, 2},
                        {Qt::Key_1, 0}};
  for (const Case& c : cases) {
    QTest::keyClick(w.get(), c.key);
    QCOMPARE(indata->prs, c.prs);
  }
}

void MainWindowTest::keysStillArriveAfterAClickOnTheView() {
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  w->show();
  QApplication::setActiveWindow(w.get());
  QVERIFY(QTest::qWaitForWindowActive(w.get()));
  QTest::mouseClick(w->viewWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
  QScrollBar* bar = w->scroller()->verticalScrollBar();
  QVERIFY(bar->maximum() > 20);
  QTest::keyClick(target, Qt::Key_Up);  // the page moves up by 10 pixels
  QCOMPARE(bar->value(), 10);
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), Qt::Key_Down);
  QCOMPARE(bar->value(), 0);
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), Qt::Key_Down);
  QCOMPARE(bar->value(), 0);  // never below the top
  // A key that reaches the scroll area itself still belongs to the window.
  QTest::keyClick(w->scroller(), Qt::Key_Up);
  QCOMPARE(bar->value(), 10);
  QTest::keyClick(w->scroller()->viewport(), Qt::Key_Home);
  QCOMPARE(bar->value(), 0);
  QTest::keyClick(w->viewWidget(), Qt::Key_F);
  QCOMPARE(sp.of("openFile").size(), 1);
}

void MainWindowTest::timerStates_data() {
  QTest::addColumn<QString>("events");
  QTest::addColumn<int>("mode");
  QTest::addColumn<int>("interval");  // 0: timer stopped
  QTest::newRow("R") << "R" << 1 << 980;
  QTest::newRow("R R") << "RR" << 0 << 0;
  QTest::newRow("R G stops, does not start Delta") << "RG" << 0 << 0;
  QTest::newRow("R G G") << "RGG" << 2 << 1;
  QTest::newRow("G") << "G" << 2 << 1;
  QTest::newRow("G stop") << "GS" << 0 << 0;
}

void MainWindowTest::timerStates() {
  QFETCH(QString, events);
  QFETCH(int, mode);
  QFETCH(int, interval);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  for (QChar e : events) {
    if (e == 'R') w->slotPlotRT();
    if (e == 'G') w->slotPlotDelta();
    if (e == 'S') w->slotStopTime();
  }
  QCOMPARE(w->timerState(), mode);
  QCOMPARE(w->plotTimer()->isActive(), interval != 0);
  if (interval) QCOMPARE(w->plotTimer()->interval(), interval);
}

void MainWindowTest::stopRule_data() {
  QTest::addColumn<QString>("slot");
  QTest::addColumn<bool>("stops");
  QTest::addColumn<QString>("first");
  const struct {
    const char* slot;
    bool stops;
    const char* first;
  } rows[] = {
    {"slotFileSave", true, "Saving AOS times..."},
    {"slotFileSaveAs", true, "Saving under new filename..."},
    {"slotFileTLESave", true, "Saving the TLE's on file..."},
    {"slotFileTLESaveAs", true, "Saving the TLE's under new filename..."},
    {"slotFilePicture", true, "Loading a picture..."},
    {"slotCalcAOS", true, "List satellite passes..."},
    {"slotCalcAllSats", true, "List all satellite passes..."},
    {"slotCalcOrbitTrack", true, "Write orbit track..."},
    {"slotCalcIridium", true, "List Iridium Flares..."},
    {"slotCalcMatch", true, "Find matching satellites..."},
    {"slotManvEdit", true, "Edit orbit elements"},
    {"slotManvDeltaV", true, "Delta-V maneuver"},
    {"slotManvLaunch", true, "Launch orbit"},
    {"slotManvRendz", true, "Rendezvous Launch orbit"},
    {"slotManvOrbDet", true, "Orbit determination"},
    {"slotPlotCurrent", true, "Plot current position"},
    {"slotPlotNext", true, "Next pass"},
    {"slotPlotLast", true, "Last pass"},
    {"slotPlotForward", true, "Step forward"},
    {"slotPlotBackward", true, "Step backward"},
    {"slotViewText", true, "Show last text display."},
    {"slotFileOpen", false, "Opening TLE file..."},
    {"slotInputSelectSat", false, "Select satellite..."},
    {"slotInputRemoveSat", false, "Remove satellite..."},
    {"slotInputIers", false, "Set IERS Parameters..."},
    {"slotViewRefresh", false, "Refresh screen"},
    {"slotViewSwitch", false, "Switch prime satellite"},
    {"slotViewMap", false, "Select world map or sky map parameters."},
    {"slotViewVisibility", false, "Set visibility parameters."},
    {"slotViewStep", false, "Change time step."},
    {"slotViewMagnitude", false, "Set apparent magnitude parameter."},
    {"slotViewFontSize", false, "Specify the font size..."},
    {"slotSettSysConf", false, "Set system parameters."},
    {"slotQuickHelp", false, "Provide general help with Vorlix"},
  };
  for (const auto& r : rows) QTest::newRow(r.slot) << r.slot << r.stops << r.first;
}

void MainWindowTest::stopRule() {
  QFETCH(QString, slot);
  QFETCH(bool, stops);
  QFETCH(QString, first);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;  // every dialog and question is cancelled
  auto w = fx.start();
  w->slotPlotRT();
  QCOMPARE(w->timerState(), 1);
  QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
  QVERIFY(QMetaObject::invokeMethod(w.get(), slot.toLatin1().constData()));
  QCOMPARE(w->timerState(), stops ? 0 : 1);
  QCOMPARE(w->plotTimer()->isActive(), !stops);
  QCOMPARE(statusTexts(spy).value(0), first);
}

void MainWindowTest::openTleFile_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("taken");
  QTest::newRow("cancelled") << QString() << false;
  QTest::newRow("plain") << "/data/tle/visual.txt" << true;
  QTest::newRow("104 bytes") << "/" + QString(103, 'a') << true;
  QTest::newRow("105 bytes") << "/" + QString(104, 'a') << false;
  QTest::newRow("not Latin-1") << QString::fromUtf8("/tmp/\xd0\xb4\xd0\xb0\xd0\xbd/\xe6\x98\x9f.tle") << true;
  QTest::newRow("Latin-1 letters counted in bytes")
      << "/" + QString(60, QChar(0xe9)) << false;  // 120 bytes in UTF-8
}

void MainWindowTest::openTleFile() {
  QFETCH(QString, name);
  QFETCH(bool, taken);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  const QByteArray before(indata->tlenm);
  sp.answer(name.isNull() ? QVariant() : QVariant(name));
  QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
  w->slotFileOpen();
  QCOMPARE(statusTexts(spy).last(),
           taken ? QStringLiteral("Ready.") : QStringLiteral("*** TLE file not selected ***"));
  if (taken) {
    QCOMPARE(QByteArray(indata->tlenm), QFile::encodeName(name));
    QCOMPARE(w->viewWidget()->getTLEname(), name);
    QCOMPARE(w->tleName(), name);
  } else {
    QCOMPARE(QByteArray(indata->tlenm), before);
    QCOMPARE(w->tleName(), QStringLiteral("welcome.tle"));
  }
  QCOMPARE(sp.of("warn").size(), !taken && !name.isEmpty() ? 1 : 0);
  if (!sp.of("warn").isEmpty()) QVERIFY(sp.of("warn")[0].text.contains("File name too long"));
}

void MainWindowTest::saveAsRefusesALongName() {
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  indata->svnew = 0;
  sp.answer("/" + QString(110, 'x'));
  QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
  w->slotFileSaveAs();
  QCOMPARE(statusTexts(spy).last(), QStringLiteral("*** Save file not selected ***"));
  // The dialog started at the resolved name: beside the TLE file, which lies
  // in the working directory (never the file-system root).
  QCOMPARE(sp.of("saveFile")[0].text, fx.path("satsave.txt"));
  QCOMPARE(QByteArray(indata->savnm), QFile::encodeName(fx.path("satsave.txt")));
  QCOMPARE(indata->svnew, 0);
  sp.answer("/" + QString(110, 'x'));
  w->slotFileTLESaveAs();
  QCOMPARE(statusTexts(spy).last(), QStringLiteral("*** TLE Save File not selected ***"));
  QCOMPARE(sp.of("warn").size(), 2);
}

void MainWindowTest::saveAsRefusesTheElementFile_data() {
  QTest::addColumn<bool>("tle");      // Save TLE as, else Save as
  QTest::addColumn<QString>("name");  // the answer, in the program folder
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("status");
  QTest::newRow("save file") << false << "welcome.tle"
                             << "Vorlix"
                             << "*** Problems with the output file\n"
                                "the save file is the element file welcome.tle"
                             << "*** Save file not selected ***";
  QTest::newRow("TLE save file") << true << "./welcome.tle"
                                 << "TLE File Save"
                                 << "*** The TLE save file is the element file: nothing saved ***"
                                 << "*** TLE Save File not selected ***";
}

// A name chosen in Save as that is the element file is refused at once,
// with a box that says why: the names and marks stay as they were, so the
// saves that follow still go where they went.
void MainWindowTest::saveAsRefusesTheElementFile() {
  QFETCH(bool, tle);
  QFETCH(QString, name);
  QFETCH(QString, title);
  QFETCH(QString, text);
  QFETCH(QString, status);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  const QByteArray elements = readAll(fx.path("welcome.tle"));
  indata->svnew = 0;
  indata->tsnew = 0;
  const QByteArray savnm = indata->savnm, tlsnm = indata->tlsnm;
  sp.answer(fx.appDir() + "/" + name);
  QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
  if (tle)
    w->slotFileTLESaveAs();
  else
    w->slotFileSaveAs();
  QCOMPARE(sp.of("inform").size(), 1);
  QCOMPARE(sp.of("inform")[0].title, title);
  QCOMPARE(sp.of("inform")[0].text, text);
  QCOMPARE(statusTexts(spy).last(), status);
  // The name asked for is the default one, resolved beside the TLE file
  // when the dialog started there; the other name is untouched.
  QCOMPARE(QByteArray(tle ? indata->tlsnm : indata->savnm),
           QFile::encodeName(fx.path(tle ? "vorlix.tle" : "satsave.txt")));
  QCOMPARE(QByteArray(tle ? indata->savnm : indata->tlsnm), tle ? savnm : tlsnm);
  QCOMPARE(indata->svnew, 0);
  QCOMPARE(indata->tsnew, 0);
  QCOMPARE(readAll(fx.path("welcome.tle")), elements);
}

void MainWindowTest::picture_data() {
  QTest::addColumn<bool>("image");
  QTest::newRow("a picture") << true;
  QTest::newRow("not a picture") << false;
}

void MainWindowTest::picture() {
  QFETCH(bool, image);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  if (image) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::black);
    QVERIFY(img.save(fx.path("trail.png")));
  } else {
    fx.writeFile("trail.png", "this is text");
  }
  sp.answer(fx.path("trail.png"));
  w->slotFilePicture();
  for (auto a : {VorlixApp::ViewPicture, VorlixApp::Size25, VorlixApp::Size50, VorlixApp::NormalSize})
    QCOMPARE(w->action(a)->isEnabled(), image);
  QCOMPARE(w->action(VorlixApp::ViewPicture)->isChecked(), image);
  QCOMPARE(sp.of("inform").size(), image ? 0 : 1);
  if (!image) QCOMPARE(sp.of("inform")[0].text, "Cannot load " + fx.path("trail.png") + ".");
}

void MainWindowTest::fontSize() {
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  sp.answer(8);
  w->slotViewFontSize();
  QCOMPARE(w->viewWidget()->getFsz(), 8);
  QCOMPARE(indata->fsz, 8);
  w->slotViewFontSize();  // cancelled
  QCOMPARE(indata->fsz, 8);
  QCOMPARE(sp.of("askInt")[0].title, QStringLiteral("Font Size"));
}

void MainWindowTest::quickHelpShowsTheHelpText() {
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  QString shown;
  int cursor = -1;
  sp.onExec([&](QDialog& d) {
    auto* t = d.findChild<QTextEdit*>("textEdit1");
    shown = t->toPlainText();
    cursor = t->textCursor().position();
    return int(QDialog::Accepted);
  });
  w->slotQuickHelp();
  QFile f(":/vorlixHelp.txt");
  QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(f.readAll());
  QVERIFY(!text.contains("$$$"));
  QCOMPARE(shown, text.endsWith('\n') ? text : text + '\n');
  QCOMPARE(cursor, 0);
  QVERIFY(shown.size() > 10000);
}

void MainWindowTest::helpListsTheHotKeys() {
  QFile f(":/vorlixHelp.txt");
  QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  const int start = lines.indexOf("0. Hot keys");
  QVERIFY(start > 0);
  QStringList listed;
  for (int i = start + 2; i < lines.size() && !lines[i].startsWith("1."); ++i) {
    const QString l = lines[i];
    if (!l.startsWith("  ") || l.trimmed().isEmpty()) continue;
    listed << l.trimmed().section('\t', 0, 0) + " = " + l.trimmed().section('\t', 1);
  }
  int n = 0;
  const VorlixApp::HotKey* keys = VorlixApp::hotKeys(n);
  QStringList table;
  for (int i = 0; i < n; ++i) table << QString(keys[i].name) + " = " + keys[i].text;
  QCOMPARE(listed, table);
}

void MainWindowTest::exitWritesTheConfigurationIntoTheProgramDirectory() {
  WindowFixture fx;
  fx.writeConfig("gone.tle");  // no TLE file: the working directory becomes home
  ScriptedPrompter sp;
  auto w = fx.start();
  QCOMPARE(QDir::currentPath(), fx.homeDir());
  indata->fsz = 8;
  w->slotFileQuit();
  QCOMPARE(QDir::currentPath(), fx.appDir());
  QVERIFY(sp.boxes.isEmpty());
  QVERIFY(readAll(fx.path("vorlix.cfg")).contains("\n8 \n"));
  QVERIFY(!QFile::exists(fx.homeDir() + "/vorlix.cfg"));
}

void MainWindowTest::exitThatCannotSaveAsks_data() {
  QTest::addColumn<bool>("quit");
  QTest::newRow("Cancel: stay, free space, exit again") << false;
  QTest::newRow("Quit Anyway") << true;
}

// The settings cannot be written (the disk is full): the box names the file
// and the system's reason and asks. Cancel stays: the program goes on and the
// user may free space and exit again; Quit Anyway quits without them.
void MainWindowTest::exitThatCannotSaveAsks() {
  QFETCH(bool, quit);
  WindowFixture fx;
  fx.writeStandard();
  ScriptedPrompter sp;
  auto w = fx.start();
  const QString cfg = fx.path("vorlix.cfg");
  const QByteArray before = readAll(cfg);
  const QString workDir = QDir::currentPath();
  indata->fsz = 8;
  // Exit from the application's event loop: a quit ends it with 0; without
  // one, the 1 the test posts after Exit ends it.
  const auto exitInLoop = [&w] {
    QTimer::singleShot(0, w.get(), [&w] {
      w->slotFileQuit();
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
    });
    return QCoreApplication::exec();
  };
  sp.answer(quit);
  {
    support::FileSizeLimit full(16);
    QVERIFY(full.ok());
    QCOMPARE(exitInLoop(), quit ? 0 : 1);
  }
  QCOMPARE(sp.boxes.size(), 1);
  QCOMPARE(sp.boxes[0].kind, QString("confirm"));
  QCOMPARE(sp.boxes[0].text.section("\n\n", 0, 0),
           QStringLiteral("The settings could not be saved: %1 cannot be written (%2).")
               .arg(cfg, QString::fromLocal8Bit(std::strerror(EFBIG))));
  QCOMPARE(readAll(cfg), before);
  if (quit) return;
  QCOMPARE(QDir::currentPath(), workDir);
  // Space freed: Exit again saves and quits without a word.
  QCOMPARE(exitInLoop(), 0);
  QCOMPARE(sp.boxes.size(), 1);
  QVERIFY(readAll(cfg).contains("\n8 \n"));
}

void MainWindowTest::exitKeepsAConfigurationThatCannotBeRead_data() {
  QTest::addColumn<bool>("fifo");
  QTest::addColumn<QString>("why");
  QTest::newRow("no read permission") << false << QString::fromLocal8Bit(std::strerror(EACCES));
  QTest::newRow("FIFO") << true << "not a regular file";
}

// The user's settings, unread at start, are not replaced by the defaults.
void MainWindowTest::exitKeepsAConfigurationThatCannotBeRead() {
  QFETCH(bool, fifo);
  if (!fifo && !support::InOwnProcess()) {
    // Permission bits bind an ordinary user only: the window meets the file
    // as one, in a process of its own.
    const support::OwnProcessRun run =
        support::RunInOwnProcess(QTest::currentTestFunction(), QTest::currentDataTag());
    QVERIFY2(run.passed, qPrintable(run.output));
    return;
  }
  WindowFixture fx;
  fx.writeStandard();
  const QByteArray cfg = QFile::encodeName(fx.path("vorlix.cfg"));
  const QByteArray before = readAll(fx.path("vorlix.cfg"));
  if (fifo) {
    QVERIFY(QFile::remove(fx.path("vorlix.cfg")));
    QCOMPARE(mkfifo(cfg.constData(), 0600), 0);
  } else {
    QCOMPARE(chmod(cfg.constData(), 0), 0);
    for (const QString& dir : {fx.appDir() + "/..", fx.appDir(), fx.homeDir()})
      QCOMPARE(chmod(QFile::encodeName(dir).constData(), 0777), 0);
  }
  ScriptedPrompter sp;
  {
    std::unique_ptr<support::OrdinaryUser> user;  // whom the file's mode binds
    if (!fifo) {
      user = std::make_unique<support::OrdinaryUser>();
      QVERIFY(user->ok());
      QVERIFY(geteuid() != 0);
    }
    auto w = fx.start();
    QCOMPARE(indata->satnr, 0);
    w->slotFileQuit();
  }
  QCOMPARE(sp.boxes.size(), 1);
  QCOMPARE(sp.of("confirm").size(), 1);
  QFETCH(QString, why);
  QCOMPARE(sp.of("confirm")[0].text.section("\n\n", 0, 0),
           QStringLiteral("The settings could not be saved: %1 cannot be read (%2), so it is "
                          "not overwritten.")
               .arg(fx.path("vorlix.cfg"), why));
  struct stat st;
  QCOMPARE(lstat(cfg.constData(), &st), 0);
  QCOMPARE(st.st_mode & S_IFMT, fifo ? mode_t(S_IFIFO) : mode_t(S_IFREG));
  if (!fifo) {
    QCOMPARE(st.st_mode & 07777, mode_t(0));
    QCOMPARE(chmod(cfg.constData(), 0600), 0);
    QCOMPARE(readAll(fx.path("vorlix.cfg")), before);
  }
}

void MainWindowTest::exitNeverTakesTheElementFile_data() {
  QTest::addColumn<bool>("hard");
  QTest::addColumn<QString>("named");  // the element file's name in the window
  QTest::newRow("symbolic link") << false << QString();
  QTest::newRow("hard link") << true << QString();
  QTest::newRow("relative name") << false << QStringLiteral("./welcome.tle");
}

// vorlix.cfg made a second name of the element file: Exit refuses to write
// the settings over the elements, names both files and asks. Nothing is
// stopped before the answer: after Cancel Real Time still runs and the
// download in progress goes on; Quit Anyway then stops both.
void MainWindowTest::exitNeverTakesTheElementFile() {
  QFETCH(bool, hard);
  QFETCH(QString, named);
  WindowFixture fx;
  fx.writeStandard();
  if (!named.isEmpty()) fx.writeConfig(named, {"ISS"});
  ScriptedPrompter sp;
  auto w = fx.start();
  const QString tle = fx.path("welcome.tle");
  if (named.isEmpty()) QVERIFY(w->viewWidget()->setTLEname(tle));
  QCOMPARE(QFile::decodeName(indata->tlenm), named.isEmpty() ? tle : named);
  const QByteArray elements = readAll(tle);
  const QByteArray cfg = QFile::encodeName(fx.path("vorlix.cfg"));
  QVERIFY(QFile::remove(fx.path("vorlix.cfg")));
  QCOMPARE(hard ? link(QFile::encodeName(tle).constData(), cfg.constData())
                : symlink("welcome.tle", cfg.constData()),
           0);

  // A server that takes the request and never answers: the download runs.
  QTcpServer silent;
  QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
  sp.answer(QStringLiteral("127.0.0.1:%1/visual.txt").arg(silent.serverPort()));
  w->slotFileUpdate();
  QVERIFY(w->updateRunning());
  w->slotPlotRT();
  QCOMPARE(w->timerState(), 1);

  sp.answer(false);
  w->slotFileQuit();
  QCOMPARE(sp.of("confirm").size(), 1);
  QCOMPARE(sp.of("confirm")[0].text.section("\n\n", 0, 0),
           QStringLiteral("The settings could not be saved: %1 is the element file %2, so it "
                          "is not overwritten.")
               .arg(fx.path("vorlix.cfg"), tle));
  QCOMPARE(readAll(tle), elements);
  QCOMPARE(w->timerState(), 1);
  QVERIFY(w->plotTimer()->isActive());
  QVERIFY(w->updateRunning());

  sp.answer(true);
  w->slotFileQuit();
  QCOMPARE(sp.of("confirm").size(), 2);
  QCOMPARE(w->timerState(), 0);
  QVERIFY(!w->plotTimer()->isActive());
  QVERIFY(!w->updateRunning());
  QCOMPARE(readAll(tle), elements);
  QCOMPARE(support::NodeType(cfg.toStdString()), hard ? mode_t(S_IFREG) : mode_t(S_IFLNK));
}

void MainWindowTest::closingByTheFrameWritesNothing() {
  WindowFixture fx;
  fx.writeStandard();
  const QByteArray before = readAll(fx.path("vorlix.cfg"));
  auto w = fx.start();
  w->show();
  indata->fsz = 8;
  w->close();
  QCOMPARE(readAll(fx.path("vorlix.cfg")), before);
}

QTEST_MAIN(MainWindowTest)
#include "vorlix_test.moc"
