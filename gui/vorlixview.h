// The central view: owns the off-screen pixmaps, shows one of them, and runs
// every command of the main window (dialog, engine call, result).
//
// The members are grouped in blocks, one per concern; each block's operations
// are defined in the source file named in its heading. Add members to the
// block of your own concern only.
#ifndef VORLIX_GUI_VORLIXVIEW_H
#define VORLIX_GUI_VORLIXVIEW_H

#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "engine/config.h"
#include "gui/mapframe.h"

class QFont;
class QImage;
class QPainter;
class QScrollArea;

class VorlixView : public QWidget {
  Q_OBJECT

 public:
  // ==== View core and text page (vorlixview.cpp) ====
  // Runs the engine's start-up on the configuration file cfgpath and opens on
  // the welcome text.
  explicit VorlixView(QWidget* parent = nullptr, const char* cfgpath = CFG_FILENAME);
  ~VorlixView() override;

  // Repaints at once (synchronously).
  void repaintNow();
  // Renders outdata as a general text page; cells: '~' lines cell by cell.
  void showtxt(bool cells);
  // Renders outdata as the pass list whose pass lines can be clicked.
  void showSattxt();
  // Opens the details of the pass line at pixel row y of the pass list.
  void showPassDetails(int y);
  // Toggles between the last text page and the plot (or picture).
  void vText();
  // Scrolls the page back to its top left corner and repaints.
  void goHome();
  // The display font size for the next text page (8 to 12 pt).
  void setFontSize(int n);
  int getFsz() const;
  bool getLeft() const;
  // Makes selected satellite n (from 1) the prime satellite.
  void keyPress(int n);
  // Arrow keys: dx > 0 one step back, dx < 0 one step forward, else the page
  // moves by dy pixels (never below its top).
  void scrollDsp(int dx, int dy);
  void vLeft(bool on);
  // Writes the configuration file; 0 written, non-zero not, with the reason
  // in *why when given (see putcfg).
  int vQuit(int* why = nullptr);
  // The configured TLE file, or "" when none is usable (empty or '*' name).
  QString getTLEname() const;
  // File names of the record (false: refused, nothing changed).
  bool setTLEname(const QString& name);
  bool setSaveName(const QString& name);
  bool setTSaveName(const QString& name);
  QString getSaveName();
  QString getTSaveName();
  bool setFileName(char* name);
  // Pass lines the last pass list drew (at most MAXPASS).
  int passLinesDrawn() const { return passLines; }
  const QPixmap& textPixmap() const { return pmtxt; }
  const char* configPath() const { return cfgPath; }
  // Top pixel row (minus 2) of each pass line of the last pass list drawn.
  int epos[MAXPASS] = {};
  // What the last drawing was: 1 general text, 2 pass list, 3 plot.
  int dsplmd = 0;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Sizes the text pixmap for the font (a full page of 160 lines of 76 cells)
  // and clears it; returns the font.
  QFont preparePage();
  void drawTextPage(bool passList, bool cells);
  QScrollArea* scroller() const;
  void resizeToShown();

 public:
  bool busy = false;              // a map click or local-details run is served
  QPixmap pmtxt;                  // text page
  QPixmap pmlay;                  // background layer with the tracks (721 x 501)
  QPixmap pmearth;                // world map image (721 x 501)
  QPixmap pmplot;                 // composed plot (860 x 501)
  QPixmap pminfo;                 // info panel background (860 x 140)
  QPixmap pmpics;                 // picture at display scale
  QPixmap pmpicw;                 // working copy of the picture (marks, texts)

 private:
  char cfgPath[FILENAME_SIZE];
  int passLines = 0;
  // The text pixmap holds a pass list: the text page brought back over a
  // plot is clickable again, however many plots came between.
  bool passPage = false;
  // The satellite the pass list on the page was made for: its lines open that
  // satellite's passes, whichever satellite is prime when one is clicked.
  struct ListedSatellite {
    int slot = -1;
    QByteArray name;
    int norad = 0;
  } listedSat;

  // ==== Plot step and world map (vorlixview_plot.cpp) ====
 public:
  // Redraws the background layer and the plot pixmap (dspst := 1, dsplmd := 3).
  void vRefresh();
  void vRefreshP();
  void vNames(bool on);
  void vMag();
  // A click on the plot at (x, y): local details of the place or direction.
  void getMapPos(int x, int y);
  // One plot step at MJD t (UT); flag: visibility circles too.
  void SatPlot(double t, int flag);
  // The chart on the layer: centre, scales, map kind, central meridian, sky view.
  MapFrame frame() const;
  QPoint PxCoord(double lat, double lng) const;
  void CoordPx(const QPoint& p, double& lat, double& lng) const;
  // What a map click runs in place of vLocalPass when set (tests).
  std::function<void()> localDetails;
  int cx = 0, cy = 0;
  double sclx = 0.0, scly = 0.0;
  int mkx[MAXSEL] = {}, mky[MAXSEL] = {};
  // GetSatPos's status of each slot at the last plot step: a slot without a
  // position gets no marker, footprint or track point, and says so in the panel.
  int posst[MAXSEL] = {};

  // The photograph overlay of the plot step (vorlixview_astro.cpp).
  void PicPlot(double t);

 private:
  // The Sun/Moon close-up applies (transit of the Sun or Moon with its chart on).
  bool sunMoonChart() const;
  // The background must be drawn again for a step at t.
  bool backgroundDue(double t) const;
  // The plot pixmap := the layer with the panel strip.
  void composePlot();
  void drawPanel(QPainter& g, const QFont& font, const char* ptxt, int p, bool rel,
                 const QColor* colour);

  // ==== Time: stepping, pass jumps, Real and Delta Time (vorlixview_time.cpp) ====
 public:
  void vTmCheck(int mode);
  void RT_Plot();
  int PlotDelta();
  void vCurrent();
  void vForward();
  void vBackward();
  void vPlotNext();
  void vPlotLast();
  double dtend = 0.0;

 private:
  // vCurrent, vForward, vBackward: a step at t (the map first when a text is shown).
  void stepPlot(double t);
  // vPlotNext, vPlotLast.
  void passJump(bool next);

  // ==== Satellites, lists and files (vorlixview_lists.cpp) ====
 public:
  void vSelectSat();
  void vRemoveSat();
  int vNextSat();
  void vCalcAOS();
  void vAllSat();
  void vOrbitTrack();
  void vIridium();
  void vFileSave();
  void vTLESave();
  void vStep();
  void vSwitch();
  // Iridium flare run: the options dialog, then the flare list into the save
  // file, read back and shown; every flare setting it changes is put back.
  void CmIridium();
  // The step that the time-step dialog's minutes and seconds give.
  struct TimeStep {
    int stepmin;
    double stepsec;
    double tstep;  // d
  };
  static TimeStep stepFromInput(int min, double sec);
  // Result of passList when the distance question was cancelled.
  static constexpr int kListCancelled = -1;

 private:
  // The pass or event list of the prime satellite (shown as the clickable
  // list unless it goes to the save file): aospass's result or kListCancelled.
  int passList();
  // vAllSat's run: true when the list reached the save file (every other
  // outcome has had its message).
  bool allSatWritten();

  // ==== Everyday settings (vorlixview_params.cpp) ====
 public:
  int vInputDate();
  int vInputLocation();
  void vSetIERS();
  void vSysConf();
  void vVisibility();
  void vMapDialog();
  void vLocalInf();
  void vLocalPass();

 private:
  // What the map shows changed (the observer, the selection) while it was
  // not on screen: the map drawn before still has the old state (the
  // observer is on the background layer), so it is drawn again when it is
  // next shown or stepped. Any redraw clears it.
  bool mapStale = false;
  // vRefresh, told whether the sky chart has a place to be seen from (false
  // only when it is seen from a prime satellite without a position: the
  // chart stays empty). The plot step knows that already.
  void drawBackground(bool skyPlaced);
  // The observer dialog alone: true with the place stored, false cancelled.
  bool askLocation();
  // vInputDate for the time of a launch, an impulse or an observation: the
  // interval and the real-time offset stay locked while the dialog is open.
  int inputEventDate();
  // Before the plot is shown again after a text page or the photograph.
  void redrawIfStale();
  // What the map shows changed: redrawn now when it is on screen, else
  // when it is next shown or stepped.
  void mapChanged();

  // ==== Sky chart and Sun/Moon chart (vorlixview_sky.cpp) ====
 public:
  // Dispatched from vRefresh, SatPlot and getMapPos.
  void PltSky(QPainter& p);
  void PltSunM(QPainter& p);
  QPoint PxSky(double el, double az);
  void SkyPx(QPoint& p);
  QPoint PxCdSun(int i, int mode);

  // ==== Orbits and manoeuvres (vorlixview_orbit.cpp) ====
 public:
  void vEditOrb();
  void vDeltaV();
  void vLaunch();
  void vRendz();

 private:
  // The editor on the prime satellite (and on each satellite New adds);
  // false when it was cancelled (the record as it was before).
  bool editOrbChain();
  // Date, editor and launch-site dialogs, then the launch orbit; false when a
  // dialog was cancelled (the record as it was before) or no launch orbit
  // could be computed. raisedFrom (when given) gets the inclination typed
  // when the launch had to raise it to the site's latitude.
  bool launchChain(double* raisedFrom);
  // A new satellite (what: "satellite", "orbit") is about to replace the
  // selected one in slot i, ten being selected: true when the user agrees.
  bool ConfirmReplace(const QString& title, const QString& what, int i);

  // ==== Photograph, orbit determination, matching (vorlixview_astro.cpp) ====
 public:
  // A new photograph, shown at the current picture scale.
  void vPicture(const QImage& image);
  // Shows the photograph at scale code 3 (1/4), 2 (1/2) or any other (full
  // size); a new scale needs three new reference stars.
  void vImage(int scale);
  void vPicSwitch(bool on);
  // A click at (x, y) on the photograph: the next reference star, or once the
  // plate is known, the R.A. and Dec. of the point (the last two are kept).
  void astroEvent(int x, int y, bool left);
  void vOrbDet();
  void vMatch();
  QPixmap pmpicsrc;  // the photograph as loaded

 private:
  // The working picture: what the last marks and texts covered is copied back
  // from the shown picture (never the whole picture), then the reference
  // stars found so far are marked.
  void picRestore(QPainter& g);
  void picMarkStars(QPainter& g);
  // Draws text at (x, baseline) and remembers the place for picRestore.
  void picText(QPainter& g, int x, int baseline, const QString& text);
  // The line of texts at the visible top left corner, each at its column
  // (pixels from the corner) in its colour, in the painter's font; on a
  // picture too narrow for the line they stand one under the other.
  struct PicItem {
    int column;
    QColor colour;
    QString text;
  };
  void picLine(QPainter& g, const PicItem* items, int n);
  // Home on the picture: the last line drawn moves to the new corner, and
  // where it stood the picture shows again.
  void picHome();
  std::vector<PicItem> picLastLine;  // empty once restored away
  bool picLineOfStep = false;        // drawn by a step (else by a reading)
  // The matching search over the TLE file, shown as a text page.
  void runMatch();
  QRegion picDirty;

  // ==== Online update (tleupdate.cpp) ====
 public:
  // Asks the download location; 0 with host, path and local file, else 1.
  int vUpdate(QString& host, QString& path, QString& file);
};

#endif
