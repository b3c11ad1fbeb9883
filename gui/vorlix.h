// The main window: actions, menus, tool bar, status bar, hot keys and the one
// timer of timed plotting. Each command slot shows a status text, stops timed
// plotting where the command needs the display or the record for itself,
// calls one operation of the view and shows "Ready.".
#ifndef VORLIX_GUI_VORLIX_H
#define VORLIX_GUI_VORLIX_H

#include <QMainWindow>
#include <QString>

#include "engine/config.h"

class QAction;
class QMenu;
class QNetworkAccessManager;
class QScrollArea;
class QTimer;
class QToolBar;
class TleDownload;
class VorlixView;

class VorlixApp : public QMainWindow {
  Q_OBJECT

 public:
  // The actions, in the order of the action table.
  enum Act {
    FileOpen, FileUpdate, FileSave, FileSaveAs, FileTLESave, FileTLESaveAs, FilePicture,
    FileQuit, InputSelectSat, InputRemoveSat, InputNextSat, InputDate, InputLocation,
    InputIers, CalcAOS, CalcAllSats, CalcOrbitTrack, CalcIridium, CalcMatch, ManvEdit,
    ManvDeltaV, ManvLaunch, ManvRendz, ManvOrbDet, PlotRT, PlotDelta, PlotCurrent, PlotNext,
    PlotLast, PlotForward, PlotBackward, ViewRefresh, ViewSwitch, ViewMap, ViewText,
    ViewNames, ViewPicture, ViewVisibility, ViewStep, ViewMagnitude, ViewFontSize, ViewLeft,
    Size25, Size50, NormalSize, ViewToolBar, ViewStatusBar, SettSysConf, HelpAbout,
    HelpAboutQt, QuickHelp, WhatsThis,
    ActCount
  };

  // The configuration is read from cfgpath (relative names: the working
  // directory, which main makes the program's directory).
  explicit VorlixApp(const char* cfgpath = CFG_FILENAME);
  ~VorlixApp() override;

  QAction* action(Act a) const { return acts[a]; }
  VorlixView* viewWidget() const { return view; }
  QScrollArea* scroller() const { return scrollArea; }
  QToolBar* operationsBar() const { return toolBar; }
  QMenu* menu(int i) const { return menus[i]; }
  QTimer* plotTimer() const { return timer; }
  int timerState() const { return timerMode; }
  QString appDir() const { return APPDIR; }
  QString tleName() const;

  // The hot keys: key code, the name and text the quick help lists, the
  // action whose command the key gives (the key does nothing while that action
  // is disabled; ActCount: always on) and its handler. The digits are served
  // apart (key 0, no handler).
  struct HotKey {
    int key;
    const char* name;
    const char* text;
    Act gate;
    void (VorlixApp::*run)();
  };
  static const HotKey* hotKeys(int& count);

 public slots:
  void slotFileOpen();
  void slotFileUpdate();
  void slotFileSave();
  void slotFileSaveAs();
  void slotFileTLESave();
  void slotFileTLESaveAs();
  void slotFilePicture();
  void slotFileQuit();
  void slotInputSelectSat();
  void slotInputRemoveSat();
  void slotInputNextSat();
  void slotInputDate();
  void slotInputLocation();
  void slotInputIers();
  void slotCalcAOS();
  void slotCalcAllSats();
  void slotCalcOrbitTrack();
  void slotCalcIridium();
  void slotCalcMatch();
  void slotManvEdit();
  void slotManvDeltaV();
  void slotManvLaunch();
  void slotManvRendz();
  void slotManvOrbDet();
  void slotPlotRT();
  void slotPlotDelta();
  void slotPlotCurrent();
  void slotPlotNext();
  void slotPlotLast();
  void slotPlotForward();
  void slotPlotBackward();
  void slotViewRefresh();
  void slotViewSwitch();
  void slotViewMap();
  void slotViewText();
  void slotViewNames(bool on);
  void slotViewPicture(bool on);
  void slotViewVisibility();
  void slotViewStep();
  void slotViewMagnitude();
  void slotViewFontSize();
  void slotViewLeft(bool on);
  void slotViewToolBar(bool toggle);
  void slotViewStatusBar(bool toggle);
  void size25();
  void size50();
  void normalSize();
  void slotSettSysConf();
  void slotHelpAbout();
  void slotQuickHelp();
  void slotTmCheck();
  void slotStopTime();
  void httpDone(bool error);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void initActions();
  void initMenuBar();
  void initToolBar();
  void initStatusBar();
  void initView(const char* cfgpath);
  void status(const QString& text);
  // The usual command: first status text, Stop rule, one view operation, "Ready.".
  enum StopRule { Keep, Stop };
  void run(const char* first, StopRule stop, void (VorlixView::*op)());
  void scrollHome();
  // Hot keys that are not slots.
  void keyNames();
  void keySelect();
  void keyVisibility();
  void keyText();
  void keyLocal();
  void keyRefresh();
  void keyHome();
  void keyPageUp();
  void keyPageDown();
  void keyLeft();
  void keyRight();
  void keyUp();
  void keyDown();

  VorlixView* view = nullptr;
  QScrollArea* scrollArea = nullptr;
  QMenu* menus[8] = {};
  QToolBar* toolBar = nullptr;
  QAction* acts[ActCount] = {};
  QTimer* timer = nullptr;
  int timerMode = 0;  // 0 none, 1 Real Time (980 ms), 2 Delta Time (1 ms)

  QString APPDIR;     // program directory: Exit writes the configuration there
  QString CFDIR;      // start of the picture dialog

  // ==== Online update (tleupdate.cpp) ====
 public:
  // A download runs (from the issued request until httpDone).
  bool updateRunning() const { return updateBusy != 0; }

 private:
  // Ends a running download and discards what arrived (Exit, window close).
  void abortUpdate();
  QNetworkAccessManager* http = nullptr;
  // The running download; it replaces the target only when complete.
  TleDownload* download = nullptr;
  int updateBusy = 0;
};

#endif
