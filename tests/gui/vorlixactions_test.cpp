// The 52 actions, the eight menus and the tool bar of the main window.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "gui/vorlix.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {

struct Row {
  const char* text;
  const char* shortcut;
  bool icon;
  const char* tip;
  bool checkable;
  bool enabled;  // at start
};

// In the order of VorlixApp::Act.
const Row kRows[] = {
  {"&Open TLE File...", "Ctrl+F", true, "Opens a Two Line Element file", false, true},
  {"Onl&ine TLE Update", "Ctrl+I", false, "Download of TLE files", false, true},
  {"&Save", "", true, "Saves the result of the AOS calculation", false, true},
  {"Save &as...", "", false, "Saves the result of the AOS calculations under a new filename", false, true},
  {"Save &TLE", "", false, "Saves the currently used orbit elements.", false, true},
  {"Save T&LE as...", "", false, "Saves the currently used orbit elements under a new filename", false, true},
  {"&Picture...", "", false, "", false, true},
  {"E&xit", "Ctrl+Q", false, "Quits Vorlix", false, true},
  {"&Select Satellite", "Ctrl+S", true, "Select Satellite from TLE file.", false, true},
  {"&Remove Satellite", "Ctrl+Z", false, "Removes satellites from the list of selected satellites.", false, true},
  {"&Next Satellites", "Ctrl+P", true, "Selects the next satellites which will pass the observation site.", false, true},
  {"&Date", "Ctrl+D", true, "Input date and timezone", false, true},
  {"&Location", "Ctrl+C", true, "Set the observation site.", false, true},
  {"&IERS Parameters", "", false, "Set IERS Parameters", false, true},
  {"&AOS", "Ctrl+A", true, "Calculate visibility times for passes.", false, true},
  {"All Satellite &Passes", "", false, "Calculate visibility times for passes of all satellites.", false, true},
  {"Write &Orbit Track", "Ctrl+O", false, "Write the orbit track on file.", false, true},
  {"&Iridium Flares", "", true, "Calculate Iridium Flares.", false, true},
  {"&Find Matching Sats", "", true, "Find satellites which match a particular position and time.", false, true},
  {"&Edit Orbit Elements", "Ctrl+E", true, "Edit orbit elements of selected satellite.", false, true},
  {"Delta-&V", "", false, "Perform a delta-v maneuver or continuous thrust of selected satellite.", false, true},
  {"&Launch", "Ctrl+L", false, "Calculate a launch orbit.", false, true},
  {"&Rendezvous", "", false, "Rendezvous Launch Orbit.", false, true},
  {"&Orbit Determination", "", false, "Determine a circular orbit during a pass.", false, true},
  {"&Real Time", "Ctrl+R", true, "Plot Real Time positions of selected satellites.", false, true},
  {"&Delta Time", "Ctrl+G", true, "Plot satellite trajectory over a specified time interval.", false, true},
  {"&Current Step", "Ctrl+U", false, "Current positions of selected satellites.", false, true},
  {"&Next Pass", "", true, "Jumps to the (maximum) position of the next pass.", false, true},
  {"&Last Pass", "", false, "Jumps to the (maximum) position of the last pass.", false, true},
  {"Step &Forward", "", false, "Moves one time step forward.", false, true},
  {"Step &Backward", "", false, "Moves one time step backward.", false, true},
  {"&Refresh", "", true, "Refresh the screen display", false, true},
  {"S&witch", "Ctrl+W", true, "Switch satellites", false, true},
  {"Ma&p View/Sky Map", "Ctrl+Y", true, "Specify world map or sky map parameters.", false, true},
  {"Show Last Te&xt", "Ctrl+X", false, "Switch to the last text display", false, true},
  {"Show &Names", "Ctrl+N", false, "Show satellites names next to their respective positions.", true, true},
  {"Show Pict&ure", "", false, "Show loaded picture.", true, false},
  {"&Visibility", "Ctrl+V", true, "Sets the visibility parameters for AOS calculations etc.", false, true},
  {"&Time Step", "Ctrl+T", true, "Specify the time step used for the delta time calculations", false, true},
  {"&Magnitude", "Ctrl+M", false, "Specify the parameter for the apparent magnitude of the satellite.", false, true},
  {"Font Si&ze", "", false, "Set the font size for the screen display", false, true},
  {"Enable &Left Button", "", false, "Enable left mouse button clicks for map and pass details.", true, true},
  {"Set Picture Size &25%", "", false, "", false, false},
  {"Set Picture Size &50%", "", false, "", false, false},
  {"Norm&al Size", "", false, "", false, false},
  {"Tool&bar", "", false, "Enables/disables the toolbar", true, true},
  {"&Statusbar", "", false, "Enables/disables the statusbar", true, true},
  {"&Configure System", "", false, "Configure System Parameters", false, true},
  {"&About...", "", false, "About the application", false, true},
  {"About &Qt", "", false, "Show the Qt library's About box", false, true},
  {"&Help...", "", false, "Quick help", false, true},
  {nullptr, "Shift+F1", false, "What's This?", true, true},  // the toolkit's own
};
static_assert(sizeof kRows / sizeof kRows[0] == VorlixApp::ActCount, "one row per action");

// The layout as action texts, "|" for a separator.
QStringList layout(const QList<QAction*>& actions, const VorlixApp& w) {
  QStringList r;
  for (QAction* a : actions) {
    if (a->isSeparator())
      r << QStringLiteral("|");
    else if (a == w.action(VorlixApp::WhatsThis))
      r << QStringLiteral("?");
    else
      r << a->text();
  }
  return r;
}

}  // namespace

class ActionsTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void table();
  void menus();
  void toolBar();
  void iconsAreTheToolBarsActions();
  void shortcutsAreDistinct();
  void whatsThisHasATitle();
  void whatsThisNamesTheIridiumFile();
  void helpNamesWhatTheProgramTakesAndWrites_data();
  void helpNamesWhatTheProgramTakesAndWrites();
  void enabledActionsReachTheirSlots();
  void checkMarksStartCleared();

 private:
  WindowFixture* fx = nullptr;
  ScriptedPrompter* sp = nullptr;
  std::unique_ptr<VorlixApp> w;
};

void ActionsTest::init() {
  fx = new WindowFixture;
  fx->writeStandard();
  sp = new ScriptedPrompter;
  w = fx->start();
}

void ActionsTest::cleanup() {
  w.reset();
  delete sp;
  delete fx;
}

void ActionsTest::table() {
  for (int i = 0; i < VorlixApp::ActCount; ++i) {
    const Row& r = kRows[i];
    QAction* a = w->action(VorlixApp::Act(i));
    const QByteArray where = QByteArray("row ") + QByteArray::number(i + 1);
    if (r.text) QVERIFY2(a->text() == QLatin1String(r.text), where);
    QVERIFY2(a->shortcut() == QKeySequence(QLatin1String(r.shortcut)), where);
    QVERIFY2(!a->icon().isNull() == r.icon || i == VorlixApp::WhatsThis, where);
    QVERIFY2(a->statusTip() == QLatin1String(r.tip), where);
    QVERIFY2(a->isCheckable() == r.checkable, where);
    QVERIFY2(a->isEnabled() == r.enabled, where);
  }
}

void ActionsTest::menus() {
  const QStringList expected[8] = {
    {"&Open TLE File...", "Onl&ine TLE Update", "|", "&Save", "Save &as...", "|", "Save &TLE",
     "Save T&LE as...", "|", "&Picture...", "|", "E&xit"},
    {"&Select Satellite", "&Remove Satellite", "&Next Satellites", "|", "&Date", "&Location", "|",
     "&IERS Parameters"},
    {"&AOS", "All Satellite &Passes", "Write &Orbit Track", "|", "&Iridium Flares", "|",
     "&Find Matching Sats"},
    {"&Edit Orbit Elements", "|", "Delta-&V", "&Launch", "&Rendezvous", "|", "&Orbit Determination"},
    {"&Real Time", "&Delta Time", "&Current Step", "|", "&Next Pass", "&Last Pass", "|",
     "Step &Forward", "Step &Backward"},
    {"&Refresh", "S&witch", "|", "Ma&p View/Sky Map", "Show Last Te&xt", "Show &Names",
     "Show Pict&ure", "|", "&Visibility", "&Time Step", "&Magnitude", "|", "Font Si&ze",
     "Enable &Left Button", "|", "Set Picture Size &25%", "Set Picture Size &50%", "Norm&al Size",
     "|", "Tool&bar", "&Statusbar"},
    {"&Configure System"},
    {"&About...", "About &Qt", "|", "&Help...", "|", "?"},
  };
  const char* titles[8] = {"&File", "&Input", "&Calculate", "&Maneuver",
                           "&Plot", "&View", "&Settings", "&Help"};
  const QList<QAction*> bar = w->menuBar()->actions();
  QCOMPARE(bar.size(), 8);
  for (int m = 0; m < 8; ++m) {
    QCOMPARE(bar[m]->text(), QString::fromLatin1(titles[m]));
    QCOMPARE(layout(w->menu(m)->actions(), *w), expected[m]);
  }
}

void ActionsTest::toolBar() {
  const QStringList expected = {
    "&Open TLE File...", "&Save", "|", "&Select Satellite", "&Next Satellites", "&Date",
    "&Location", "|", "&Edit Orbit Elements", "|", "&AOS", "&Iridium Flares",
    "&Find Matching Sats", "|", "&Visibility", "&Time Step", "S&witch", "|", "&Real Time",
    "&Delta Time", "&Next Pass", "|", "Ma&p View/Sky Map", "&Refresh", "|", "|", "?"};
  QCOMPARE(w->operationsBar()->windowTitle(), QStringLiteral("operations"));
  QCOMPARE(layout(w->operationsBar()->actions(), *w), expected);
}

void ActionsTest::iconsAreTheToolBarsActions() {
  QSet<QAction*> withIcon, onBar;
  for (int i = 0; i < VorlixApp::ActCount; ++i)
    if (i != VorlixApp::WhatsThis && !w->action(VorlixApp::Act(i))->icon().isNull())
      withIcon << w->action(VorlixApp::Act(i));
  for (QAction* a : w->operationsBar()->actions())
    if (!a->isSeparator() && a != w->action(VorlixApp::WhatsThis)) onBar << a;
  QCOMPARE(withIcon.size(), 18);
  QCOMPARE(withIcon, onBar);
  QCOMPARE(w->windowIcon().availableSizes().value(0), QSize(32, 32));
}

void ActionsTest::shortcutsAreDistinct() {
  QSet<QString> seen;
  for (int i = 0; i < VorlixApp::ActCount; ++i) {
    const QKeySequence k = w->action(VorlixApp::Act(i))->shortcut();
    if (k.isEmpty()) continue;
    QVERIFY2(!seen.contains(k.toString()), qPrintable(k.toString()));
    seen << k.toString();
  }
}

void ActionsTest::whatsThisHasATitle() {
  const QSet<int> none = {VorlixApp::Size25, VorlixApp::Size50, VorlixApp::NormalSize,
                          VorlixApp::HelpAboutQt, VorlixApp::WhatsThis};
  for (int i = 0; i < VorlixApp::ActCount; ++i) {
    const QString wt = w->action(VorlixApp::Act(i))->whatsThis();
    if (none.contains(i)) {
      QVERIFY(wt.isEmpty());
      continue;
    }
    const QStringList parts = wt.split(QStringLiteral("\n\n"));
    QVERIFY2(parts.size() == 2 && !parts[0].isEmpty() && !parts[1].isEmpty(), qPrintable(wt));
    QVERIFY2(!parts[0].contains('&') && !parts[0].contains(QLatin1String("...")), qPrintable(wt));
  }
  QCOMPARE(w->action(VorlixApp::CalcAOS)->whatsThis().section('\n', 0, 0),
           QStringLiteral("AOS (Visibility Times)"));
}

// The help names the element file the Iridium command opens, spelt as the
// program opens it (file names are case-sensitive).
void ActionsTest::whatsThisNamesTheIridiumFile() {
  QVERIFY(w->action(VorlixApp::CalcIridium)->whatsThis().contains(QStringLiteral("iridium.txt")));
}

// The help states the units the Delta-V dialog takes and the columns the
// G-Track block holds (time, longitude, latitude, height).
void ActionsTest::helpNamesWhatTheProgramTakesAndWrites_data() {
  QTest::addColumn<QString>("source");  // "delta-v": the entry's What's This; "help": the quick help
  QTest::addColumn<QString>("says");
  QTest::addColumn<QString>("never");
  QTest::newRow("Delta-V entry") << "delta-v" << "velocity change in m/sec" << "km/s";
  QTest::newRow("help on Delta-V") << "help" << "change of velocity in m/s "
                                   << "change of velocity in km/s";
  QTest::newRow("help on G-Track") << "help" << "(time, longitude, latitude, height)"
                                   << "(time, latitude, longitude)";
}

void ActionsTest::helpNamesWhatTheProgramTakesAndWrites() {
  QFETCH(QString, source);
  QFETCH(QString, says);
  QFETCH(QString, never);
  QString text;
  if (source == "delta-v") {
    text = w->action(VorlixApp::ManvDeltaV)->whatsThis();
  } else {
    QFile f(":/vorlixHelp.txt");
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    text = QString::fromUtf8(f.readAll());
  }
  text = text.simplified();  // a phrase may be wrapped over two lines
  QVERIFY2(text.contains(says), qPrintable(says));
  QVERIFY2(!text.contains(never), qPrintable(never));
}

void ActionsTest::enabledActionsReachTheirSlots() {
  // Each enabled command shows a status text of its own (the dialogs it
  // opens are cancelled by the scripted prompter).
  const QSet<int> silent = {VorlixApp::HelpAbout, VorlixApp::HelpAboutQt, VorlixApp::WhatsThis,
                            VorlixApp::FileQuit};
  for (int i = 0; i < VorlixApp::ActCount; ++i) {
    QAction* a = w->action(VorlixApp::Act(i));
    if (!a->isEnabled() || silent.contains(i)) continue;
    QSignalSpy spy(w->statusBar(), &QStatusBar::messageChanged);
    a->trigger();
    QVERIFY2(!spy.isEmpty(), qPrintable(a->text()));
    QVERIFY2(spy.first().first().toString() != QLatin1String("Ready."), qPrintable(a->text()));
  }
  const int before = sp->boxes.size();
  w->action(VorlixApp::HelpAbout)->trigger();
  QCOMPARE(sp->boxes.size(), before + 1);
  QVERIFY(sp->boxes.last().text.contains(QLatin1String("Vorlix")));
}

void ActionsTest::checkMarksStartCleared() {
  // The marks start cleared whatever they control: the tool bar is shown.
  QVERIFY(!w->action(VorlixApp::ViewToolBar)->isChecked());
  QVERIFY(!w->operationsBar()->isHidden());
  QVERIFY(w->statusBar()->isHidden());
  w->action(VorlixApp::ViewToolBar)->trigger();  // first: check mark set, bar stays
  QVERIFY(!w->operationsBar()->isHidden());
  w->action(VorlixApp::ViewToolBar)->trigger();
  QVERIFY(w->operationsBar()->isHidden());
  w->action(VorlixApp::ViewStatusBar)->trigger();
  QVERIFY(!w->statusBar()->isHidden());
}

QTEST_MAIN(ActionsTest)
#include "vorlixactions_test.moc"
