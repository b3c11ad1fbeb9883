// The main window: construction, command slots, hot keys, timed plotting,
// file dialogs, font size, quick help, About and Exit.
#include "gui/vorlix.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <string>

#include "dialogs/prompter.h"
#include "dialogs/stquickdialog.h"
#include "engine/safefile.h"
#include "engine/savefile.h"
#include "gui/records.h"
#include "gui/resources.h"
#include "gui/vorlixview.h"

namespace {
const char* const kTleFilter = "TLE files (*.txt *.TXT *.tle *.TLE);;All files (*)";

// The picture in the file; null when it cannot be read. Only a regular file
// is read: a FIFO or a device would keep the window waiting for ever.
QImage readPicture(const QString& name) {
  FILE* f = OpenRegular(QFile::encodeName(name).constData(), "rb");
  if (!f) return QImage();
  QFile file;
  if (!file.open(f, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    std::fclose(f);
    return QImage();
  }
  // The name's suffix is the first guess of the format, as when reading by
  // name; the content decides when it is wrong.
  QImageReader reader(&file, QFileInfo(name).suffix().toLower().toLatin1());
  return reader.read();
}
}  // namespace

VorlixApp::VorlixApp(const char* cfgpath) {
  initVorlixResources();
  APPDIR = QDir::currentPath();
  CFDIR = QDir::homePath();
  QLocale::setDefault(QLocale(QLocale::English, QLocale::AnyCountry));
  setWindowTitle(tr("Vorlix - 11.8"));
  setWindowIcon(QIcon(QStringLiteral(":/vorlix32.png")));
  http = new QNetworkAccessManager(this);

  initActions();
  initMenuBar();
  initToolBar();
  initStatusBar();
  resize(837, 560);
  initView(cfgpath);

  setFocusPolicy(Qt::StrongFocus);
  setFocus();
  slotViewStatusBar(false);
  slotViewLeft(view->getLeft());
  if (view->getTLEname().isEmpty()) QDir::setCurrent(QDir::homePath());
  if (view->getFsz() == 8) resize(744, 560);

  timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &VorlixApp::slotTmCheck);
  timerMode = 0;
  updateBusy = 0;
}

VorlixApp::~VorlixApp() = default;

void VorlixApp::initView(const char* cfgpath) {
  view = new VorlixView(nullptr, cfgpath);
  scrollArea = new QScrollArea;
  scrollArea->setWidget(view);
  // Every key belongs to the window: neither the scroll area nor the view
  // takes the focus, and keys that still reach them come here.
  scrollArea->setFocusPolicy(Qt::NoFocus);
  scrollArea->viewport()->setFocusPolicy(Qt::NoFocus);
  scrollArea->horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
  scrollArea->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
  scrollArea->installEventFilter(this);
  scrollArea->viewport()->installEventFilter(this);
  setCentralWidget(scrollArea);
}

bool VorlixApp::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress &&
      (watched == scrollArea || watched == scrollArea->viewport())) {
    keyPressEvent(static_cast<QKeyEvent*>(e));
    return true;
  }
  return QMainWindow::eventFilter(watched, e);
}

void VorlixApp::status(const QString& text) { statusBar()->showMessage(text); }

void VorlixApp::run(const char* first, StopRule stop, void (VorlixView::*op)()) {
  status(tr(first));
  if (stop == Stop) slotStopTime();
  (view->*op)();
  status(tr("Ready."));
}

void VorlixApp::scrollHome() {
  scrollArea->horizontalScrollBar()->setValue(0);
  scrollArea->verticalScrollBar()->setValue(0);
}

// ---------------------------------------------------------------------------
// File
// ---------------------------------------------------------------------------

QString VorlixApp::tleName() const { return view->getTLEname(); }

void VorlixApp::slotFileOpen() {
  status(tr("Opening TLE file..."));
  const QString name = prompter().openFile(tr("TLE file dialog"), view->getTLEname(), tr(kTleFilter), this);
  if (name.isEmpty() || !view->setTLEname(name)) {
    status(tr("*** TLE file not selected ***"));
    return;
  }
  status(tr("Ready."));
}

void VorlixApp::slotFileSave() { run("Saving AOS times...", Stop, &VorlixView::vFileSave); }

void VorlixApp::slotFileSaveAs() {
  status(tr("Saving under new filename..."));
  slotStopTime();
  const QString name =
      prompter().saveFile(tr("Select a File Name"), view->getSaveName(), tr("All files (*)"), this);
  if (name.isEmpty() || !view->setSaveName(name)) {
    status(tr("*** Save file not selected ***"));
    return;
  }
  view->vFileSave();
  status(tr("Ready."));
}

void VorlixApp::slotFileTLESave() {
  run("Saving the TLE's on file...", Stop, &VorlixView::vTLESave);
}

void VorlixApp::slotFileTLESaveAs() {
  status(tr("Saving the TLE's under new filename..."));
  slotStopTime();
  const QString name = prompter().saveFile(tr("Select a TLE filename"), view->getTSaveName(),
                                           tr(kTleFilter), this);
  if (name.isEmpty() || !view->setTSaveName(name)) {
    status(tr("*** TLE Save File not selected ***"));
    return;
  }
  view->vTLESave();
  status(tr("Ready."));
}

void VorlixApp::slotFilePicture() {
  status(tr("Loading a picture..."));
  slotStopTime();
  const QString name = prompter().openFile(tr("Open Picture"), CFDIR,
                                           tr("Images (*.png *.jpg *.bmp);;All files (*)"), this);
  if (name.isEmpty()) {
    status(tr("Ready."));
    return;
  }
  CFDIR = QFileInfo(name).absoluteFilePath();
  const QImage image = readPicture(name);
  if (image.isNull()) {
    prompter().inform(tr("Vorlix"), tr("Cannot load %1.").arg(name), this);
    return;
  }
  view->vPicture(image);
  acts[ViewPicture]->setEnabled(true);
  if (acts[ViewPicture]->isChecked())
    slotViewPicture(true);
  else
    acts[ViewPicture]->setChecked(true);
  acts[Size25]->setEnabled(true);
  acts[Size50]->setEnabled(true);
  acts[NormalSize]->setEnabled(true);
  status(tr("Ready."));
}

void VorlixApp::slotFileQuit() {
  status(tr("Exiting application..."));
  const QString workDir = QDir::currentPath();
  QDir::setCurrent(APPDIR);
  // The clock and a download run on until the program really ends: a box
  // that asks may be answered with Cancel, and the user then goes on as
  // before.
  int why = 0;
  const int saved = view->vQuit(&why);
  if (saved != 0) {
    const QString cfg = QDir(APPDIR).absoluteFilePath(QFile::decodeName(view->configPath()));
    QString text;
    if (saved == CFG_TLEFILE) {
      // Both names whole: the element file's own may be relative ("./visual.txt")
      // to the program's folder, the working directory here.
      const std::string elements = ElementFileOf(view->configPath(), indata->tlenm);
      text = tr("The settings could not be saved: %1 is the element file %2, "
                "so it is not overwritten.")
                 .arg(cfg, QDir::cleanPath(
                               QDir(APPDIR).absoluteFilePath(QFile::decodeName(elements.c_str()))));
    } else {
      const QString reason = QString::fromLocal8Bit(OpenRegularError(why));
      text = (saved == CFG_KEPT
                  ? tr("The settings could not be saved: %1 cannot be read (%2), "
                       "so it is not overwritten.")
                  : tr("The settings could not be saved: %1 cannot be written (%2)."))
                 .arg(cfg, reason);
    }
    text += tr("\n\nCancel keeps Vorlix open, so that you can mend this (free space, "
               "fix the file or its folder) and exit again. Quit Anyway quits without "
               "saving the settings.");
    // While the box waits, ticks and a finishing download work in the
    // user's folder, as before Exit.
    QDir::setCurrent(workDir);
    // Staying is the default: the settings are the user's work.
    if (!prompter().confirm(tr("Vorlix"), text, tr("Quit Anyway"), this)) {
      status(tr("Ready."));
      return;
    }
  }
  slotStopTime();
  abortUpdate();
  qApp->quit();
  status(tr("Ready."));
}

void VorlixApp::closeEvent(QCloseEvent* e) {
  // Closing by the frame saves nothing, but a download must not stay half done.
  abortUpdate();
  QMainWindow::closeEvent(e);
}

// ---------------------------------------------------------------------------
// Input, Calculate, Maneuver
// ---------------------------------------------------------------------------

void VorlixApp::slotInputSelectSat() { run("Select satellite...", Keep, &VorlixView::vSelectSat); }
void VorlixApp::slotInputRemoveSat() { run("Remove satellite...", Keep, &VorlixView::vRemoveSat); }

void VorlixApp::slotInputNextSat() {
  status(tr("Next satellites to pass..."));
  slotStopTime();
  const int n = view->vNextSat();
  if (n >= 1) {
    slotPlotRT();
    status(tr("Ready."));
    return;
  }
  prompter().warn(tr("Vorlix"),
                  n == 0 ? tr("No suitable satellites found") : tr("Unable to open TLE file"),
                  this, tr("Quit"));
  status(tr("Failed to find next satellites."));
}

void VorlixApp::slotInputDate() {
  status(tr("Input the Date and Time..."));
  const int r = view->vInputDate();
  // A new date ends a Delta Time run in the view: the timer ends with it.
  if (r == 0 && timerMode == 2) slotStopTime();
  status(r != 0 ? tr("Input cancelled.") : tr("Ready."));
}

void VorlixApp::slotInputLocation() {
  status(tr("Input the location..."));
  status(view->vInputLocation() != 0 ? tr("Input cancelled.") : tr("Ready."));
}

void VorlixApp::slotInputIers() { run("Set IERS Parameters...", Keep, &VorlixView::vSetIERS); }
void VorlixApp::slotCalcAOS() { run("List satellite passes...", Stop, &VorlixView::vCalcAOS); }
void VorlixApp::slotCalcAllSats() { run("List all satellite passes...", Stop, &VorlixView::vAllSat); }
void VorlixApp::slotCalcOrbitTrack() { run("Write orbit track...", Stop, &VorlixView::vOrbitTrack); }
void VorlixApp::slotCalcIridium() { run("List Iridium Flares...", Stop, &VorlixView::vIridium); }
void VorlixApp::slotCalcMatch() { run("Find matching satellites...", Stop, &VorlixView::vMatch); }
void VorlixApp::slotManvEdit() { run("Edit orbit elements", Stop, &VorlixView::vEditOrb); }
void VorlixApp::slotManvDeltaV() { run("Delta-V maneuver", Stop, &VorlixView::vDeltaV); }
void VorlixApp::slotManvLaunch() { run("Launch orbit", Stop, &VorlixView::vLaunch); }
void VorlixApp::slotManvRendz() { run("Rendezvous Launch orbit", Stop, &VorlixView::vRendz); }
void VorlixApp::slotManvOrbDet() { run("Orbit determination", Stop, &VorlixView::vOrbDet); }

// ---------------------------------------------------------------------------
// Plot: one timer, three states (none, Real Time, Delta Time)
// ---------------------------------------------------------------------------

void VorlixApp::slotPlotRT() {
  status(tr("Real Time plot"));
  if (timerMode != 0) {
    slotStopTime();
  } else {
    timerMode = 1;
    timer->start(980);
    view->vTmCheck(1);
  }
  status(tr("Ready."));
}

void VorlixApp::slotPlotDelta() {
  status(tr("Delta Time plot"));
  if (timerMode != 0) {
    slotStopTime();
  } else {
    timerMode = 2;
    timer->start(1);
    view->vTmCheck(2);
  }
  status(tr("Ready."));
}

void VorlixApp::slotTmCheck() {
  if (timerMode == 1) view->RT_Plot();
  if (timerMode == 2 && view->PlotDelta() != 0) slotStopTime();
}

void VorlixApp::slotStopTime() {
  if (timerMode == 0) return;
  timerMode = 0;
  timer->stop();
  view->vTmCheck(0);
}

void VorlixApp::slotPlotCurrent() { run("Plot current position", Stop, &VorlixView::vCurrent); }
void VorlixApp::slotPlotNext() { run("Next pass", Stop, &VorlixView::vPlotNext); }
void VorlixApp::slotPlotLast() { run("Last pass", Stop, &VorlixView::vPlotLast); }
void VorlixApp::slotPlotForward() { run("Step forward", Stop, &VorlixView::vForward); }
void VorlixApp::slotPlotBackward() { run("Step backward", Stop, &VorlixView::vBackward); }

// ---------------------------------------------------------------------------
// View, Settings, Help
// ---------------------------------------------------------------------------

void VorlixApp::slotViewRefresh() {
  status(tr("Refresh screen"));
  scrollHome();
  view->vRefreshP();
  status(tr("Ready."));
}

void VorlixApp::slotViewSwitch() { run("Switch prime satellite", Keep, &VorlixView::vSwitch); }
void VorlixApp::slotViewMap() {
  run("Select world map or sky map parameters.", Keep, &VorlixView::vMapDialog);
}

void VorlixApp::slotViewText() {
  status(tr("Show last text display."));
  slotStopTime();
  view->vText();
  scrollHome();
  view->goHome();
  status(tr("Ready."));
}

void VorlixApp::slotViewNames(bool on) {
  status(tr("Show satellite names."));
  view->vNames(on);
  status(tr("Ready."));
}

void VorlixApp::slotViewPicture(bool on) {
  status(tr("Show loaded picture."));
  slotStopTime();
  view->vPicSwitch(on);
  scrollHome();
  view->goHome();
  status(tr("Ready."));
}

void VorlixApp::slotViewVisibility() {
  run("Set visibility parameters.", Keep, &VorlixView::vVisibility);
}
void VorlixApp::slotViewStep() { run("Change time step.", Keep, &VorlixView::vStep); }
void VorlixApp::slotViewMagnitude() {
  run("Set apparent magnitude parameter.", Keep, &VorlixView::vMag);
}

void VorlixApp::slotViewFontSize() {
  status(tr("Specify the font size..."));
  int n = view->getFsz();
  if (prompter().askInt(tr("Font Size"), tr("Specify font size for display"), n, 8, 12, 2, this))
    view->setFontSize(n);
  status(tr("Ready."));
}

void VorlixApp::slotViewLeft(bool on) {
  status(tr("Enable left mouse button."));
  view->vLeft(on);
  status(tr("Ready."));
}

void VorlixApp::slotViewToolBar(bool toggle) {
  status(tr("Toggle toolbar..."));
  toolBar->setVisible(toggle);
  status(tr("Ready."));
}

void VorlixApp::slotViewStatusBar(bool toggle) {
  status(tr("Toggle statusbar..."));
  statusBar()->setVisible(toggle);
  status(tr("Ready."));
}

void VorlixApp::size25() { view->vImage(3); }
void VorlixApp::size50() { view->vImage(2); }
void VorlixApp::normalSize() { view->vImage(0); }

void VorlixApp::slotSettSysConf() { run("Set system parameters.", Keep, &VorlixView::vSysConf); }

void VorlixApp::slotHelpAbout() {
  prompter().inform(tr("About Vorlix"), aboutText(), this);
}

void VorlixApp::slotQuickHelp() {
  status(tr("Provide general help with Vorlix"));
  QFile file(QStringLiteral(":/vorlixHelp.txt"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    status(tr("*** ERROR ***  unable to open Help file"));
    return;
  }
  StQuickDialog dlg;
  QTextStream in(&file);
  in.setCodec("UTF-8");
  while (!in.atEnd()) {
    dlg.setHelpLine(in.readLine());
    dlg.setHelpLine(QStringLiteral("\n"));
  }
  dlg.setHelpLine(QStringLiteral("$$$"));
  prompter().exec(dlg);
  status(tr("Ready."));
}

// ---------------------------------------------------------------------------
// Hot keys
// ---------------------------------------------------------------------------

void VorlixApp::keyNames() { acts[ViewNames]->toggle(); }
void VorlixApp::keySelect() { view->vSelectSat(); }
void VorlixApp::keyVisibility() { view->vVisibility(); }
void VorlixApp::keyText() {
  slotViewText();
  view->goHome();
}
void VorlixApp::keyLocal() { view->vLocalInf(); }
void VorlixApp::keyRefresh() { view->vRefreshP(); }
void VorlixApp::keyHome() {
  scrollHome();
  view->goHome();
}
void VorlixApp::keyPageUp() {
  slotStopTime();
  slotPlotLast();
}
void VorlixApp::keyPageDown() {
  slotStopTime();
  slotPlotNext();
}
void VorlixApp::keyLeft() {
  slotStopTime();
  view->scrollDsp(10, 0);
}
void VorlixApp::keyRight() {
  slotStopTime();
  view->scrollDsp(-10, 0);
}
void VorlixApp::keyUp() {
  slotStopTime();
  view->scrollDsp(0, -10);
}
void VorlixApp::keyDown() {
  slotStopTime();
  view->scrollDsp(0, 10);
}

const VorlixApp::HotKey* VorlixApp::hotKeys(int& count) {
  using A = VorlixApp;
  static const HotKey keys[] = {
    {Qt::Key_A, "A", "List the passes of the prime satellite (AOS)", CalcAOS, &A::slotCalcAOS},
    {Qt::Key_C, "C", "Observer's location", InputLocation, &A::slotInputLocation},
    {Qt::Key_D, "D", "Date, time and time zone", InputDate, &A::slotInputDate},
    {Qt::Key_E, "E", "Edit the orbit elements of the prime satellite", ManvEdit, &A::slotManvEdit},
    {Qt::Key_F, "F", "Open a TLE file", FileOpen, &A::slotFileOpen},
    {Qt::Key_G, "G", "Delta Time plotting on/off", PlotDelta, &A::slotPlotDelta},
    {Qt::Key_H, "H", "This quick help", QuickHelp, &A::slotQuickHelp},
    {Qt::Key_L, "L", "Launch orbit", ManvLaunch, &A::slotManvLaunch},
    {Qt::Key_M, "M", "Characteristic length for magnitudes", ViewMagnitude, &A::slotViewMagnitude},
    {Qt::Key_N, "N", "Satellite names on the map on/off", ViewNames, &A::keyNames},
    {Qt::Key_O, "O", "Write the orbit track on the save file", CalcOrbitTrack, &A::slotCalcOrbitTrack},
    {Qt::Key_P, "P", "Select the next satellites to pass, then plot in Real Time", InputNextSat,
     &A::slotInputNextSat},
    {Qt::Key_R, "R", "Real Time plotting on/off", PlotRT, &A::slotPlotRT},
    {Qt::Key_S, "S", "Select satellites", InputSelectSat, &A::keySelect},
    {Qt::Key_T, "T", "Time step", ViewStep, &A::slotViewStep},
    {Qt::Key_U, "U", "Plot the current step", PlotCurrent, &A::slotPlotCurrent},
    {Qt::Key_V, "V", "Visibility settings", ViewVisibility, &A::keyVisibility},
    {Qt::Key_W, "W", "Switch the prime satellite", ViewSwitch, &A::slotViewSwitch},
    {Qt::Key_X, "X", "Toggle between the last text and the map", ViewText, &A::keyText},
    {Qt::Key_Y, "Y", "Map and sky map settings", ViewMap, &A::slotViewMap},
    {Qt::Key_Z, "Z", "Remove satellites", InputRemoveSat, &A::slotInputRemoveSat},
    {0, "1-9", "Make selected satellite 1 to 9 the prime satellite", ActCount, nullptr},
    {0, "0", "Make selected satellite 10 the prime satellite", ActCount, nullptr},
    {Qt::Key_Space, "Space", "Local details at the observer (or a map point)", InputLocation,
     &A::keyLocal},
    {Qt::Key_Delete, "Delete", "Refresh the map (erase the tracks)", ViewRefresh, &A::keyRefresh},
    {Qt::Key_Home, "Home", "Back to the top left corner of the display", ActCount, &A::keyHome},
    {Qt::Key_PageUp, "Page Up", "Jump to the last pass", PlotLast, &A::keyPageUp},
    {Qt::Key_PageDown, "Page Down", "Jump to the next pass", PlotNext, &A::keyPageDown},
    {Qt::Key_Left, "Left", "One time step backward", PlotBackward, &A::keyLeft},
    {Qt::Key_Right, "Right", "One time step forward", PlotForward, &A::keyRight},
    {Qt::Key_Up, "Up", "Move the page up", ActCount, &A::keyUp},
    {Qt::Key_Down, "Down", "Move the page down", ActCount, &A::keyDown},
  };
  count = static_cast<int>(sizeof keys / sizeof keys[0]);
  return keys;
}

void VorlixApp::keyPressEvent(QKeyEvent* e) {
  setFocus();
  const int key = e->key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    view->keyPress(key == Qt::Key_0 ? 10 : key - Qt::Key_0);
    return;
  }
  int n = 0;
  const HotKey* keys = hotKeys(n);
  for (int i = 0; i < n; ++i) {
    if (keys[i].key != key || !keys[i].run) continue;
    if (keys[i].gate == ActCount || acts[keys[i].gate]->isEnabled()) (this->*keys[i].run)();
    return;
  }
  QMainWindow::keyPressEvent(e);
}
