// The 52 actions as one table; the menus and the tool bar are built from it.
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "gui/vorlix.h"

namespace {

enum Kind { Trigger, Toggle, AboutQt, WhatsThisAct };
// Enabled at start. The picture actions stay Off until a photograph is loaded
// (VorlixApp::slotFilePicture switches them On).
constexpr bool On = true, Off = false;

struct ActionSpec {
  const char* text;
  const char* shortcut;
  const char* icon;     // resource, or nullptr
  const char* tip;      // status tip
  const char* title;    // What's This title when it is not the text itself
  const char* body;     // What's This body, or nullptr for none
  Kind kind;
  void (VorlixApp::*slot)();
  void (VorlixApp::*toggled)(bool);
  bool enabled;
};

using A = VorlixApp;

// One row per action, in the order of VorlixApp::Act.
const ActionSpec kActions[VorlixApp::ActCount] = {
  {"&Open TLE File...", "Ctrl+F", ":/fileopen.png", "Opens a Two Line Element file", nullptr,
   "Opens an existing Two Line Element file. A TLE file contains orbit elements in a particular widely used format.",
   Trigger, &A::slotFileOpen, nullptr, On},
  {"Onl&ine TLE Update", "Ctrl+I", nullptr, "Download of TLE files", nullptr,
   "Brings the current TLE file up to date from an http address that you give. Other "
   "files can be fetched the same way into the directory of the TLE file. The computer "
   "must be online.",
   Trigger, &A::slotFileUpdate, nullptr, On},
  {"&Save", nullptr, ":/filesave.png", "Saves the result of the AOS calculation", "Save File.",
   "Saves the latest result shown on the screen (pass times, Sun transits, Iridium "
   "flares) on the save file. Further saves to the same file are appended to it.",
   Trigger, &A::slotFileSave, nullptr, On},
  {"Save &as...", nullptr, nullptr,
   "Saves the result of the AOS calculations under a new filename", "Save As",
   "Creates a new file and saves the most recent visibility calcultion under this new filename.",
   Trigger, &A::slotFileSaveAs, nullptr, On},
  {"Save &TLE", nullptr, nullptr, "Saves the currently used orbit elements.",
   "Save Orbit Elements.",
   "Writes the elements of the selected satellites as TLE sets to the current TLE save "
   "file. What the file held before is overwritten.",
   Trigger, &A::slotFileTLESave, nullptr, On},
  {"Save T&LE as...", nullptr, nullptr,
   "Saves the currently used orbit elements under a new filename", "Save As",
   "Creates a new file and saves the orbit elements of the currently selected satellites as TLE (Two Line Elements) on this file.",
   Trigger, &A::slotFileTLESaveAs, nullptr, On},
  {"&Picture...", nullptr, nullptr, nullptr, "Load Picture", "Opens an existing image file",
   Trigger, &A::slotFilePicture, nullptr, On},
  {"E&xit", "Ctrl+Q", nullptr, "Quits Vorlix", nullptr,
   "Quits Vorlix and saves various settings.", Trigger, &A::slotFileQuit, nullptr, On},

  {"&Select Satellite", "Ctrl+S", ":/satpsels.png", "Select Satellite from TLE file.", nullptr,
   "Picks one or more satellites from the active TLE file, ten at most. With ten in the "
   "list, a new pick replaces the last one.",
   Trigger, &A::slotInputSelectSat, nullptr, On},
  {"&Remove Satellite", "Ctrl+Z", nullptr,
   "Removes satellites from the list of selected satellites.", nullptr,
   "Removes satellites from the list of currently selected satelites.", Trigger,
   &A::slotInputRemoveSat, nullptr, On},
  {"&Next Satellites", "Ctrl+P", ":/satpnx4p.png",
   "Selects the next satellites which will pass the observation site.", nullptr,
   "Selects the satellites that will next pass the observation site under the visibility "
   "conditions, ten at most. They replace the satellites selected before.",
   Trigger, &A::slotInputNextSat, nullptr, On},
  {"&Date", "Ctrl+D", ":/satpdate.png", "Input date and timezone", nullptr,
   "Selects the date and the timezone for starting the calculations.", Trigger,
   &A::slotInputDate, nullptr, On},
  {"&Location", "Ctrl+C", ":/satploc.png", "Set the observation site.", nullptr,
   "Sets the location of the observation site. The coordinates can be in decimal degrees or in DDD.MMss format (Degrees.MinutesSeconds)",
   Trigger, &A::slotInputLocation, nullptr, On},
  {"&IERS Parameters", nullptr, nullptr, "Set IERS Parameters", "IERS",
   "Set the x, y Polar Motion parameters and UT1-UTC and UTC-TAI from the International Earth Rotation Service (Bulletins B and C).",
   Trigger, &A::slotInputIers, nullptr, On},

  {"&AOS", "Ctrl+A", ":/satppaos.png", "Calculate visibility times for passes.",
   "AOS (Visibility Times)",
   "Lists the passes of the prime satellite that meet the visibility conditions within "
   "the interval, with the beginning, the highest point and the end of each pass and the "
   "positions there. To get details of the passes, click the respective line.",
   Trigger, &A::slotCalcAOS, nullptr, On},
  {"All Satellite &Passes", nullptr, nullptr,
   "Calculate visibility times for passes of all satellites.", nullptr,
   "Lists the passes of every satellite of the current TLE file in the same way and "
   "writes the list on the save file.",
   Trigger, &A::slotCalcAllSats, nullptr, On},
  {"Write &Orbit Track", "Ctrl+O", nullptr, "Write the orbit track on file.", nullptr,
   "Writes the geographic coordinates of the ground track, the flare track or the "
   "transit and occultation track on the save file (usually satsave.txt), where other "
   "programs can read them to plot the track.",
   Trigger, &A::slotCalcOrbitTrack, nullptr, On},
  {"&Iridium Flares", nullptr, ":/satpirid.png", "Calculate Iridium Flares.", nullptr,
   "Lists times, positions and magnitudes of Iridium flares. The Iridium element sets "
   "belong in the TLE file iridium.txt in the directory of the current TLE file. The "
   "limiting magnitude is asked first.",
   Trigger, &A::slotCalcIridium, nullptr, On},
  {"&Find Matching Sats", nullptr, ":/satpfind.png",
   "Find satellites which match a particular position and time.", nullptr,
   "Displays a list of all satellites from the currently selected TLE file which match a stated position and time interval.",
   Trigger, &A::slotCalcMatch, nullptr, On},

  {"&Edit Orbit Elements", "Ctrl+E", ":/satpxorb.png",
   "Edit orbit elements of selected satellite.", nullptr,
   "Displays the orbit elements of the currently selected prime satellite which can then be edited.",
   Trigger, &A::slotManvEdit, nullptr, On},
  {"Delta-&V", nullptr, nullptr,
   "Perform a delta-v maneuver or continuous thrust of selected satellite.", nullptr,
   "Applies an impulsive manoeuvre to the prime satellite: a velocity change in m/sec "
   "in the direction given by yaw and pitch in degrees. When the orbit is propagated "
   "numerically, a continuous thrust can be chosen instead.",
   Trigger, &A::slotManvDeltaV, nullptr, On},
  {"&Launch", "Ctrl+L", nullptr, "Calculate a launch orbit.", nullptr,
   "Computes the orbit of a launch from a given site at a given time, with the "
   "inclination and the planned apogee and perigee (or semimajor axis and eccentricity). "
   "A list of launch sites is offered, and a northerly or southerly direction.",
   Trigger, &A::slotManvLaunch, nullptr, On},
  {"&Rendezvous", nullptr, nullptr, "Rendezvous Launch Orbit.", nullptr,
   "Computes a launch to meet the selected satellite. Only the launch day and apogee "
   "and perigee are given; the launch time and the rest are computed.",
   Trigger, &A::slotManvRendz, nullptr, On},
  {"&Orbit Determination", nullptr, nullptr, "Determine a circular orbit during a pass.",
   nullptr,
   "Determines orbit elements from two observations of one pass from one site "
   "(azimuth and elevation, or R.A. and Dec., with their times), assuming a circular "
   "orbit.",
   Trigger, &A::slotManvOrbDet, nullptr, On},

  {"&Real Time", "Ctrl+R", ":/satprtim.png",
   "Plot Real Time positions of selected satellites.", nullptr,
   "Displays the real time positions of the currently selected satellites either on a world map or on a sky map.",
   Trigger, &A::slotPlotRT, nullptr, On},
  {"&Delta Time", "Ctrl+G", ":/satpdltm.png",
   "Plot satellite trajectory over a specified time interval.", nullptr,
   "Displays the trajectories of the selected satellites either on a world map or on a sky map over a specified time interval in specified time steps.",
   Trigger, &A::slotPlotDelta, nullptr, On},
  {"&Current Step", "Ctrl+U", nullptr, "Current positions of selected satellites.", nullptr,
   "Displays the positions of the selected satellites at the currently set time either on a world map or on a sky map.",
   Trigger, &A::slotPlotCurrent, nullptr, On},
  {"&Next Pass", nullptr, ":/satppass.png",
   "Jumps to the (maximum) position of the next pass.", nullptr,
   "Shows the prime satellite at the highest point of its next pass that meets the "
   "visibility conditions, on the world map or the sky map. Only the interval set in the "
   "date dialog is searched.",
   Trigger, &A::slotPlotNext, nullptr, On},
  {"&Last Pass", nullptr, nullptr, "Jumps to the (maximum) position of the last pass.",
   nullptr,
   "Shows the prime satellite at the highest point of its previous pass that meets the "
   "visibility conditions, on the world map or the sky map. Only the interval set in the "
   "date dialog is searched.",
   Trigger, &A::slotPlotLast, nullptr, On},
  {"Step &Forward", nullptr, nullptr, "Moves one time step forward.", nullptr,
   "Moves one time step forward on the map. You normally would use the right arrow key for this.",
   Trigger, &A::slotPlotForward, nullptr, On},
  {"Step &Backward", nullptr, nullptr, "Moves one time step backward.", nullptr,
   "Moves one time step Backward on the map. You normally would use the left arrow key for this.",
   Trigger, &A::slotPlotBackward, nullptr, On},

  {"&Refresh", nullptr, ":/satprefr.png", "Refresh the screen display", nullptr,
   "Refreshes the map. This deletes all the satellite tracks present.", Trigger,
   &A::slotViewRefresh, nullptr, On},
  {"S&witch", "Ctrl+W", ":/satpswss.png", "Switch satellites", nullptr,
   "Selects a new prime satellite from the list of currently selected satellites. This also lets you switch to Relative Satellite Mode",
   Trigger, &A::slotViewSwitch, nullptr, On},
  {"Ma&p View/Sky Map", "Ctrl+Y", ":/satpsmap.png",
   "Specify world map or sky map parameters.", nullptr,
   "Specifies the map parameters (background color, coordinate grid). Also switches between the world groundtrack map and different sky maps.",
   Trigger, &A::slotViewMap, nullptr, On},
  {"Show Last Te&xt", "Ctrl+X", nullptr, "Switch to the last text display", nullptr,
   "Switch to the last text display.", Trigger, &A::slotViewText, nullptr, On},
  {"Show &Names", "Ctrl+N", nullptr,
   "Show satellites names next to their respective positions.", nullptr,
   "Draws the satellites' names next to their positions. In Real Time or Delta Time "
   "mode the names stay until the command is given again.",
   Toggle, nullptr, &A::slotViewNames, On},
  {"Show Pict&ure", nullptr, nullptr, "Show loaded picture.", nullptr,
   "Toggles between the loaded picture and the normal maps.", Toggle, nullptr,
   &A::slotViewPicture, Off},
  {"&Visibility", "Ctrl+V", ":/satpvisb.png",
   "Sets the visibility parameters for AOS calculations etc.", nullptr,
   "Sets the parameters of all visibility calculations (minimum elevation of the "
   "satellite, maximum elevation of the Sun) and those of occultation and flare "
   "calculations.",
   Trigger, &A::slotViewVisibility, nullptr, On},
  {"&Time Step", "Ctrl+T", ":/satptstp.png",
   "Specify the time step used for the delta time calculations", nullptr,
   "Sets the time step of Delta Time plotting in minutes and seconds; seconds may have "
   "fractions, such as 0.1.",
   Trigger, &A::slotViewStep, nullptr, On},
  {"&Magnitude", "Ctrl+M", nullptr,
   "Specify the parameter for the apparent magnitude of the satellite.", nullptr,
   "Below the map the prime satellite's values are shown. When a Characteristic Length "
   "other than 0 is set, the apparent magnitude takes the place of the relative speed. "
   "The length is roughly the satellite's size in metres if it were painted white, less "
   "for darker ones: typically 0.5 for small satellites, 1 or 2 for medium ones and 15 "
   "for the Space Station or the Shuttle.",
   Trigger, &A::slotViewMagnitude, nullptr, On},
  {"Font Si&ze", nullptr, nullptr, "Set the font size for the screen display", nullptr,
   "Specifies the font size (8 to 12) for the screen display.", Trigger,
   &A::slotViewFontSize, nullptr, On},
  {"Enable &Left Button", nullptr, nullptr,
   "Enable left mouse button clicks for map and pass details.", nullptr,
   "Pass details and map details are normally asked for with the right mouse button. "
   "The left button can be enabled too, where a right click also opens a context menu. "
   "Unless enabled, the left button is ignored.",
   Toggle, nullptr, &A::slotViewLeft, On},
  {"Set Picture Size &25%", nullptr, nullptr, nullptr, nullptr, nullptr, Trigger, &A::size25,
   nullptr, Off},
  {"Set Picture Size &50%", nullptr, nullptr, nullptr, nullptr, nullptr, Trigger, &A::size50,
   nullptr, Off},
  {"Norm&al Size", nullptr, nullptr, nullptr, nullptr, nullptr, Trigger, &A::normalSize,
   nullptr, Off},
  {"Tool&bar", nullptr, nullptr, "Enables/disables the toolbar", nullptr,
   "Enables/disables the toolbar", Toggle, nullptr, &A::slotViewToolBar, On},
  {"&Statusbar", nullptr, nullptr, "Enables/disables the statusbar", nullptr,
   "Enables/disables the statusbar", Toggle, nullptr, &A::slotViewStatusBar, On},

  {"&Configure System", nullptr, nullptr, "Configure System Parameters", nullptr,
   "Set various default parameters and the tolerance for the numerical integration.",
   Trigger, &A::slotSettSysConf, nullptr, On},

  {"&About...", nullptr, nullptr, "About the application", nullptr, "About the application",
   Trigger, &A::slotHelpAbout, nullptr, On},
  {"About &Qt", nullptr, nullptr, "Show the Qt library's About box", nullptr, nullptr,
   AboutQt, nullptr, nullptr, On},
  {"&Help...", nullptr, nullptr, "Quick help", nullptr, "A summary help of how to use Vorlix.",
   Trigger, &A::slotQuickHelp, nullptr, On},
  {nullptr, nullptr, nullptr, "What's This?", nullptr, nullptr, WhatsThisAct, nullptr, nullptr,
   On},
};

// Menus and tool bar; -1 is a separator.
constexpr int Sep = -1;
struct MenuSpec {
  const char* title;
  std::initializer_list<int> entries;
};
const MenuSpec kMenus[8] = {
  {"&File", {A::FileOpen, A::FileUpdate, Sep, A::FileSave, A::FileSaveAs, Sep, A::FileTLESave,
             A::FileTLESaveAs, Sep, A::FilePicture, Sep, A::FileQuit}},
  {"&Input", {A::InputSelectSat, A::InputRemoveSat, A::InputNextSat, Sep, A::InputDate,
              A::InputLocation, Sep, A::InputIers}},
  {"&Calculate", {A::CalcAOS, A::CalcAllSats, A::CalcOrbitTrack, Sep, A::CalcIridium, Sep,
                  A::CalcMatch}},
  {"&Maneuver", {A::ManvEdit, Sep, A::ManvDeltaV, A::ManvLaunch, A::ManvRendz, Sep,
                 A::ManvOrbDet}},
  {"&Plot", {A::PlotRT, A::PlotDelta, A::PlotCurrent, Sep, A::PlotNext, A::PlotLast, Sep,
             A::PlotForward, A::PlotBackward}},
  {"&View", {A::ViewRefresh, A::ViewSwitch, Sep, A::ViewMap, A::ViewText, A::ViewNames,
             A::ViewPicture, Sep, A::ViewVisibility, A::ViewStep, A::ViewMagnitude, Sep,
             A::ViewFontSize, A::ViewLeft, Sep, A::Size25, A::Size50, A::NormalSize, Sep,
             A::ViewToolBar, A::ViewStatusBar}},
  {"&Settings", {A::SettSysConf}},
  {"&Help", {A::HelpAbout, A::HelpAboutQt, Sep, A::QuickHelp, Sep, A::WhatsThis}},
};
const std::initializer_list<int> kToolBar = {
  A::FileOpen, A::FileSave, Sep, A::InputSelectSat, A::InputNextSat, A::InputDate,
  A::InputLocation, Sep, A::ManvEdit, Sep, A::CalcAOS, A::CalcIridium, A::CalcMatch, Sep,
  A::ViewVisibility, A::ViewStep, A::ViewSwitch, Sep, A::PlotRT, A::PlotDelta, A::PlotNext,
  Sep, A::ViewMap, A::ViewRefresh, Sep, Sep, A::WhatsThis};

// The What's This title: the text without '&' and "...".
QString plainText(const char* text) {
  QString t = QString::fromLatin1(text);
  t.remove(QLatin1Char('&'));
  t.remove(QLatin1String("..."));
  return t;
}

}  // namespace

void VorlixApp::initActions() {
  for (int i = 0; i < ActCount; ++i) {
    const ActionSpec& s = kActions[i];
    QAction* a = nullptr;
    if (s.kind == WhatsThisAct) {
      a = QWhatsThis::createAction(this);
    } else {
      a = new QAction(tr(s.text), this);
      if (s.icon) {
        const QIcon icon(QString::fromLatin1(s.icon));
        if (!icon.availableSizes().isEmpty()) a->setIcon(icon);
      }
      if (s.shortcut) a->setShortcut(QKeySequence(tr(s.shortcut)));
    }
    if (s.tip) a->setStatusTip(tr(s.tip));
    if (s.body) {
      const QString title = s.title ? tr(s.title) : plainText(s.text);
      a->setWhatsThis(title + QStringLiteral("\n\n") + tr(s.body));
    }
    switch (s.kind) {
      case Trigger: connect(a, &QAction::triggered, this, s.slot); break;
      case Toggle:
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, s.toggled);
        break;
      case AboutQt: connect(a, &QAction::triggered, qApp, &QApplication::aboutQt); break;
      case WhatsThisAct: break;
    }
    a->setEnabled(s.enabled);
    acts[i] = a;
  }
}

void VorlixApp::initMenuBar() {
  for (int m = 0; m < 8; ++m) {
    menus[m] = menuBar()->addMenu(tr(kMenus[m].title));
    for (int e : kMenus[m].entries) {
      if (e == Sep)
        menus[m]->addSeparator();
      else
        menus[m]->addAction(acts[e]);
    }
  }
}

void VorlixApp::initToolBar() {
  toolBar = addToolBar(tr("operations"));
  toolBar->setObjectName(QStringLiteral("operations"));
  for (int e : kToolBar) {
    if (e == Sep)
      toolBar->addSeparator();
    else
      toolBar->addAction(acts[e]);
  }
}

void VorlixApp::initStatusBar() { statusBar()->showMessage(tr("Ready."), 2000); }
