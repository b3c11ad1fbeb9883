// View core: construction, painting, the text page and the pass list, the
// text/plot switch, scrolling, prime satellite by number, file names, Exit.
#include "gui/vorlixview.h"
#include "gui/vorlixview_guards.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cstring>
#include <string>

#include "dialogs/prompter.h"
#include "dialogs/stpassdialog.h"
#include "engine/savefile.h"
#include "gui/records.h"
#include "gui/resources.h"
#include "gui/vsservices.h"

namespace {

// The name field of slot i as it is stored, read no further than its size.
QByteArray slotName(int i) {
  const char* name = indata->satname[i];
  return QByteArray(name, static_cast<int>(qstrnlen(name, SATNAME_SIZE)));
}

// Left margin of every text line.
constexpr int kMargin = 10;

// One text font and what drawing a page needs of it: the glyph and the
// advance of each Latin-1 byte, so a line is one glyph run.
struct PageFont {
  QFont font;
  QRawFont raw;
  int em = 0, ascent = 0, descent = 0;
  quint32 glyph[256] = {};
  int advance[256] = {};
};

const PageFont& pageFont(int points) {
  static PageFont cache;
  static int cachedPoints = -1;
  if (cachedPoints == points) return cache;
  cache = PageFont();
  cache.font = QFont(QStringLiteral("helvetica"), points, QFont::Normal, false);
  cache.font.setKerning(false);
  const QFontMetrics fm(cache.font);
  cache.em = fm.horizontalAdvance(QLatin1Char('M'));
  cache.ascent = fm.ascent();
  cache.descent = fm.descent();
  cache.raw = QRawFont::fromFont(cache.font);
  for (int c = 0; c < 256; ++c) {
    const QChar ch(static_cast<ushort>(c));
    cache.advance[c] = fm.horizontalAdvance(ch);
    if (cache.raw.isValid()) {
      const QVector<quint32> g = cache.raw.glyphIndexesForString(QString(ch));
      cache.glyph[c] = g.isEmpty() ? 0 : g[0];
    }
  }
  cachedPoints = points;
  return cache;
}

// Draws the characters line[from..n-1]; x[j] is the position of character j.
void drawRun(QPainter& p, const PageFont& pf, const char* line, int from, int n,
             const int* x, int baseline) {
  if (!pf.raw.isValid()) {
    for (int j = from; j < n; ++j) {
      const unsigned char c = static_cast<unsigned char>(line[j]);
      if (c > ' ') p.drawText(x[j], baseline, QString(QChar(static_cast<ushort>(c))));
    }
    return;
  }
  QVector<quint32> glyphs;
  QVector<QPointF> pos;
  glyphs.reserve(n);
  pos.reserve(n);
  for (int j = from; j < n; ++j) {
    const unsigned char c = static_cast<unsigned char>(line[j]);
    if (c <= ' ' || c == 127) continue;  // blanks, tabs and controls leave no ink
    glyphs.push_back(pf.glyph[c]);
    pos.push_back(QPointF(x[j], baseline));
  }
  if (glyphs.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(pf.raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(pos);
  p.drawGlyphRun(QPointF(0, 0), run);
}

}  // namespace

VorlixView::VorlixView(QWidget* parent, const char* cfgpath) : QWidget(parent) {
  initVorlixResources();
  qstrncpy(cfgPath, cfgpath ? cfgpath : CFG_FILENAME, sizeof cfgPath);
  setFocusPolicy(Qt::NoFocus);
  resize(720, 600);
  outdata->nlines = 0;
  swelcm(indata, outdata, cfgPath);
  busy = false;
  resize(CHART_W, PLOT_H);
  showtxt(false);
  pmlay = QPixmap(CHART_W, PLOT_H);
  pmlay.fill(Qt::white);
  pmearth = QPixmap(CHART_W, PLOT_H);
  pmearth.fill(Qt::white);
  indata->pltw = PLOT_W;
  indata->plth = PLOT_H;
  pmplot = QPixmap(PLOT_W, PLOT_H);
  pmplot.fill(Qt::white);
  pminfo = QPixmap(PLOT_W, PANEL_H);
  pminfo.fill(QColor(0, 50, 200, 255));
  QPixmap earth;
  if (earth.load(QStringLiteral(":/satpearth.png"))) {
    pmearth = earth;
    indata->phwm = 1;
  }
  vRefresh();
  vText();
}

VorlixView::~VorlixView() = default;

// ---------------------------------------------------------------------------
// Painting: commands draw into the pixmaps; painting only copies one.
// ---------------------------------------------------------------------------

void VorlixView::repaintNow() { repaint(); }

void VorlixView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (indata->dspst < 1)
    p.drawPixmap(0, 0, pmtxt);
  else if (indata->picmd)
    p.drawPixmap(0, 0, pmpicw);
  else
    p.drawPixmap(0, 0, pmplot);
}

void VorlixView::resizeToShown() {
  const QPixmap& shown = indata->dspst < 1 ? pmtxt : indata->picmd ? pmpicw : pmplot;
  if (size() != shown.size()) resize(shown.size());
}

QScrollArea* VorlixView::scroller() const {
  // The view sits in the scroll area's viewport.
  QWidget* vp = parentWidget();
  return vp ? qobject_cast<QScrollArea*>(vp->parentWidget()) : nullptr;
}

// ---------------------------------------------------------------------------
// Text page and pass list
// ---------------------------------------------------------------------------

QFont VorlixView::preparePage() {
  const PageFont& pf = pageFont(indata->fsz);
  // Room for a full page: 160 lines at the ascent pitch and 76 cells + margin.
  const QSize need(std::max(PLOT_W, kMargin + 77 * pf.em),
                   std::max(2500, (WOUT_NLINES + 1) * pf.ascent + pf.descent));
  if (pmtxt.size() != need) pmtxt = QPixmap(need);
  pmtxt.fill(Qt::white);
  return pf.font;
}

void VorlixView::drawTextPage(bool passList, bool cells) {
  preparePage();
  const PageFont& pf = pageFont(indata->fsz);
  QPainter p(&pmtxt);
  p.setFont(pf.font);
  p.setPen(QColor(0, 0, 0));
  int y = 0, k = 0;
  char line[WOUT_LINELEN + 1];
  int x[WOUT_LINELEN + 1];
  const int nlines = std::min(std::max(outdata->nlines, 0), WOUT_NLINES);
  for (int i = 0; i < nlines; ++i) {
    y += pf.ascent;
    int n = WoutLineCopy(outdata, i, line);
    // A file name is shown as the file system spells it: as Latin-1 text
    // when it can be, else drawn apart between the line's two pieces.
    QString wide;
    int nameAt = n, nameEnd = n;
    if (WoutLineName(outdata, i, &nameAt, &nameEnd)) {
      const QString full = PageLineToQs(outdata, i);
      const QByteArray latin = full.toLatin1();
      if (QString::fromLatin1(latin) == full && latin.size() <= WOUT_LINELEN) {
        n = latin.size();
        std::memcpy(line, latin.constData(), static_cast<size_t>(n));
        line[n] = '\0';
        nameAt = nameEnd = n;
      } else {
        nameEnd += nameAt;
        wide = full.mid(nameAt, full.size() - (n - nameEnd) - nameAt);
      }
    }
    // A pass list's pass lines begin with a mark that is never drawn.
    int from = 0;
    if (passList) {
      if (n > 0 && line[0] != ' ' && k < MAXPASS) epos[k++] = y - pf.ascent - 2;
      from = 1;
    }
    if ((passList || cells) && WoutLineMarked(outdata, i)) {
      for (int j = from; j < n; ++j) x[j] = kMargin + (j - from) * pf.em;
    } else {
      // Proportional text; a tab puts what follows on the em grid at the
      // tab's own column.
      int cx = kMargin;
      for (int j = from; j < n; ++j) {
        if (j == nameAt && !wide.isEmpty()) {
          p.drawText(QPointF(cx, y), wide);
          cx += QFontMetrics(pf.font).horizontalAdvance(wide);
          j = nameEnd - 1;
          continue;
        }
        x[j] = cx;
        const unsigned char c = static_cast<unsigned char>(line[j]);
        cx = c == '\t' ? kMargin + j * pf.em : cx + pf.advance[c];
      }
    }
    if (wide.isEmpty()) {
      drawRun(p, pf, line, from, n, x, y);
    } else {
      drawRun(p, pf, line, from, std::max(from, nameAt), x, y);
      drawRun(p, pf, line, std::max(from, nameEnd), n, x, y);
    }
  }
  if (passList) passLines = k;
}

void VorlixView::showtxt(bool cells) {
  dsplmd = 1;
  passPage = false;
  indata->dspst = 0;
  unsetCursor();
  drawTextPage(false, cells);
  resizeToShown();
  repaintNow();
  goHome();
}

void VorlixView::showSattxt() {
  dsplmd = 2;
  passPage = true;
  // The list is the prime satellite's (aospass lists the prime slot).
  const int i = std::clamp(indata->prs, 0, NSLOTS - 1);
  listedSat = {i, slotName(i), indata->norad[i]};
  indata->dspst = -1;
  unsetCursor();
  drawTextPage(true, true);
  resizeToShown();
  repaintNow();
  goHome();
}

void VorlixView::showPassDetails(int y) {
  // Only rows of the list on screen count: the record may already hold a
  // newer, longer list (a save runs the list again without drawing it).
  const int n = std::min(indata->npass, passLines);
  if (n <= 0) return;
  int i = -1;
  for (int k = 0; k < n; ++k)
    if (epos[k] < y) i = k;
  if (i < 0) return;
  // The times of the list are those of the satellite it was made for: a digit
  // key or Switch may have made another one prime since, and a removal may
  // have moved it to another slot. Its details are opened while it is
  // selected; once it is gone the lines answer only with a word.
  const auto holdsListed = [this](int k) {
    return k >= 0 && k < NSLOTS && listedSat.name == slotName(k) &&
           listedSat.norad == indata->norad[k];
  };
  int slot = listedSat.slot;
  for (int k = 0; !holdsListed(slot) && k < std::min(indata->satnr, MAXSEL); ++k) slot = k;
  if (!holdsListed(slot)) {
    prompter().inform(tr("Vorlix"),
                      tr("*** This pass list is of %1, which is no longer selected: "
                         "list its passes again ***")
                          .arg(QString::fromLatin1(listedSat.name)),
                      this);
    return;
  }
  Keep<int> prime(indata->prs, slot);
  // The details of an Iridium-kind list are those of an ordinary pass.
  Keep<int> kind(indata->iridflg, indata->iridflg == 3 ? 0 : indata->iridflg);
  indata->ipass = i;
  StPassDialog dlg;
  {
    WaitCursor wait;  // the dialog computes the details
    dlg.setParams({indata->fsz});
  }
  prompter().exec(dlg);
}

// ---------------------------------------------------------------------------
// Switches, navigation, mouse and keys
// ---------------------------------------------------------------------------

void VorlixView::vText() {
  if (indata->dspst >= 1) {
    indata->dspst = passPage ? -1 : 0;
    unsetCursor();
    resizeToShown();
  } else {
    indata->dspst = 1;
    redrawIfStale();
    resizeToShown();
    setCursor(Qt::CrossCursor);
    goHome();
  }
  repaintNow();
}

void VorlixView::goHome() {
  if (QScrollArea* s = scroller()) {
    s->horizontalScrollBar()->setValue(0);
    s->verticalScrollBar()->setValue(0);
  }
  if (indata->picmd && indata->dspst > 0) picHome();
  repaintNow();
}

void VorlixView::setFontSize(int n) { indata->fsz = n; }

int VorlixView::getFsz() const { return indata->fsz; }
bool VorlixView::getLeft() const { return indata->lftbtn; }

void VorlixView::keyPress(int n) {
  if (n <= indata->satnr) indata->prs = n - 1;
  if (indata->prs < 0) indata->prs = 0;
}

void VorlixView::scrollDsp(int dx, int dy) {
  if (dx > 0) {
    vBackward();
  } else if (dx < 0) {
    vForward();
  } else if (QScrollArea* s = scroller()) {
    // The page moves by dy but never below its top edge.
    QScrollBar* bar = s->verticalScrollBar();
    bar->setValue(std::max(0, bar->value() - dy));
  }
}

void VorlixView::vLeft(bool on) { indata->lftbtn = on; }

void VorlixView::mousePressEvent(QMouseEvent* e) {
  const bool left = e->button() == Qt::LeftButton;
  if (indata->picmd && indata->dspst > 0) {
    astroEvent(e->x(), e->y(), left);
    return;
  }
  if (left && !indata->lftbtn) return;
  if (indata->dspst == -1)
    showPassDetails(e->y());
  else if (indata->dspst == 1)
    getMapPos(e->x(), e->y());
}

void VorlixView::keyPressEvent(QKeyEvent* e) {
  // Keys belong to the main window.
  e->ignore();
  clearFocus();
}

// ---------------------------------------------------------------------------
// Exit and file names
// ---------------------------------------------------------------------------

int VorlixView::vQuit(int* why) { return putcfg(indata, cfgPath, why); }

QString VorlixView::getTLEname() const {
  const char* n = indata->tlenm;
  if (n[0] == '\0' || n[0] == '*') return QString();
  return FileNameToQs(n);
}

bool VorlixView::setTLEname(const QString& name) {
  return QsToFileName(name, indata->tlenm, FILENAME_SIZE - 1);
}

// The element file is never taken as a file to write: refused when it is
// named, so that the saves that follow do not all fail the same way.
bool VorlixView::setSaveName(const QString& name) {
  char nm[FILENAME_SIZE] = {};
  if (!QsToFileName(name, nm, FILENAME_SIZE - 1)) return false;
  const std::string element = ElementFileOf(nm, indata->tlenm);
  if (!element.empty()) {
    prompter().inform(tr("Vorlix"),
                      tr("*** Problems with the output file\n") +
                          vsSaveFileReason({SAVE_TLEFILE, 0, element}),
                      this);
    return false;
  }
  std::memcpy(indata->savnm, nm, FILENAME_SIZE);
  indata->svnew = 1;
  return true;
}

bool VorlixView::setTSaveName(const QString& name) {
  char nm[FILENAME_SIZE] = {};
  if (!QsToFileName(name, nm, FILENAME_SIZE - 1)) return false;
  if (IsElementFile(nm, indata->tlenm)) {
    prompter().inform(tr("TLE File Save"),
                      QStringLiteral("*** %1 ***").arg(QString::fromLatin1(TleSaveIsElementFile())), this);
    return false;
  }
  std::memcpy(indata->tlsnm, nm, FILENAME_SIZE);
  indata->tsnew = 1;
  return true;
}

QString VorlixView::getSaveName() {
  if (indata->savnm[0] == '\0') return QString();
  vsFileName(indata->savnm);
  return FileNameToQs(indata->savnm);
}

QString VorlixView::getTSaveName() {
  if (indata->tlsnm[0] == '\0') return QString();
  vsFileName(indata->tlsnm);
  return FileNameToQs(indata->tlsnm);
}

bool VorlixView::setFileName(char* name) { return vsFileName(name); }
