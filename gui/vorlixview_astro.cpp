// Photograph astrometry and overlay, orbit determination, matching satellites.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "astro/constants.h"
#include "dialogs/prompter.h"
#include "dialogs/stastdialog.h"
#include "dialogs/stdialog.h"
#include "dialogs/stmatchdialog.h"
#include "dialogs/storbdetdialog.h"
#include "engine/orbitdet.h"
#include "engine/passtext.h"
#include "engine/plate.h"
#include "engine/satpos.h"
#include "gui/mapframe.h"
#include "gui/plottext.h"
#include "gui/recordparams.h"
#include "gui/records.h"
#include "gui/vorlixview.h"
#include "gui/vorlixview_guards.h"
#include "gui/vsservices.h"

namespace {

// Title of the photograph's messages.
const char* const kPicTitle = "PicAst: ";

// Reference stars are marked in green, with their number.
const QColor kStarMark(0, 255, 0);

}  // namespace

// ---------------------------------------------------------------------------
// The photograph and its scales
// ---------------------------------------------------------------------------

void VorlixView::vPicture(const QImage& image) {
  if (image.isNull()) return;
  WinpData* d = indata;
  if (d->npicpt == 0) {
    for (int i = 0; i < 5; ++i) d->picra[i] = d->picdec[i] = 0.0;
  }
  // The old pictures go first: a large photograph is held three times.
  pmpicw = QPixmap();
  pmpics = QPixmap();
  pmpicsrc = QPixmap();
  pmpicsrc = QPixmap::fromImage(image);
  vImage(d->picscl);
}

void VorlixView::vImage(int scale) {
  if (pmpicsrc.isNull()) return;  // no photograph yet
  WinpData* d = indata;
  d->picscl = scale;
  d->picmd = 1;
  d->npicpt = 1;
  d->dspst = 1;
  setCursor(Qt::CrossCursor);
  QSize size = pmpicsrc.size();
  if (scale == 2) size = QSize(size.width() / 2, size.height() / 2);
  if (scale == 3) size = QSize(size.width() / 4, size.height() / 4);
  pmpicw = QPixmap();
  pmpics = QPixmap();
  if (scale == 2 || scale == 3) {
    QPixmap scaled = pmpicsrc.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (scaled.size() == size) {
      pmpics = scaled;
    } else if (!size.isEmpty()) {
      // Keeping the aspect ratio may leave a column or row free.
      pmpics = QPixmap(size);
      pmpics.fill(Qt::black);
      QPainter p(&pmpics);
      p.drawPixmap(0, 0, scaled);
    }
  } else {
    pmpics = pmpicsrc;  // shared until something is drawn on it
  }
  pmpicw = pmpics;
  picDirty = QRegion();
  picLastLine.clear();
  resize(size);
  repaintNow();
}

void VorlixView::vPicSwitch(bool on) {
  WinpData* d = indata;
  if (on) {
    d->picmd = 1;
    d->dspst = 1;
    setCursor(Qt::CrossCursor);
  } else {
    d->picmd = 0;
    redrawIfStale();
  }
  if (d->dspst > 0) resizeToShown();
  repaintNow();
}

// ---------------------------------------------------------------------------
// Drawing on the working picture
// ---------------------------------------------------------------------------

void VorlixView::picRestore(QPainter& g) {
  g.save();
  g.setCompositionMode(QPainter::CompositionMode_Source);
  for (const QRect& r : picDirty) g.drawPixmap(r, pmpics, r);
  g.restore();
  picDirty = QRegion();
  picLastLine.clear();
}

void VorlixView::picText(QPainter& g, int x, int baseline, const QString& text) {
  g.drawText(x, baseline, text);
  picDirty += QFontMetrics(g.font()).boundingRect(text).translated(x, baseline).adjusted(-2, -2, 2, 2);
}

void VorlixView::picLine(QPainter& g, const PicItem* items, int n) {
  const QFontMetrics fm(g.font());
  const QPoint o = mapFromParent(QPoint(0, 0));
  int room = pmpicw.width() - o.x();
  if (parentWidget()) room = std::min(room, parentWidget()->width());
  const bool stacked = n > 0 && items[n - 1].column + fm.horizontalAdvance(items[n - 1].text) > room;
  int base = o.y() + fm.ascent() + 10;
  for (int i = 0; i < n; ++i) {
    g.setPen(items[i].colour);
    picText(g, o.x() + (stacked ? 10 : items[i].column), base, items[i].text);
    if (stacked) base += fm.lineSpacing();
  }
  picLastLine.assign(items, items + n);
  picLineOfStep = false;
}

void VorlixView::picHome() {
  if (pmpicw.isNull() || pmpics.isNull() || picLastLine.empty()) return;
  // A step's line is redrawn by the same step: marks and line as they were,
  // the line at the new corner.
  if (picLineOfStep) {
    PicPlot(indata->curmjd);
    return;
  }
  const std::vector<PicItem> line = picLastLine;
  QPainter g(&pmpicw);
  picRestore(g);
  picMarkStars(g);
  g.setFont(QFont("Helvetica", indata->mfsz, indata->bf ? QFont::Bold : QFont::Normal));
  picLine(g, line.data(), static_cast<int>(line.size()));
}

void VorlixView::picMarkStars(QPainter& g) {
  const WinpData* d = indata;
  const int n = std::min(std::max(d->npicpt - 1, 0), 3);
  if (n == 0) return;
  g.save();
  g.setFont(QFont("Helvetica", 8, QFont::Bold));
  g.setPen(kStarMark);
  for (int k = 0; k < n; ++k) {
    const QPoint c(d->refx[k], d->refy[k]);
    g.drawEllipse(c, 7, 7);
    picDirty += QRect(c.x() - 8, c.y() - 8, 17, 17);
    picText(g, c.x() + 9, c.y() - 6, QString::number(k + 1));
  }
  g.restore();
}

// ---------------------------------------------------------------------------
// Calibration and reading
// ---------------------------------------------------------------------------

void VorlixView::astroEvent(int x, int y, bool) {
  WinpData* d = indata;
  if (pmpics.isNull() || d->npicpt < 1) return;  // nothing to calibrate
  d->rlm = 0;
  const int k = std::min(d->npicpt - 1, 5);
  if (k <= 2) {
    StAstDialog dlg;
    dlg.setParams(astFromRecord(*d, k));
    if (prompter().exec(dlg) != QDialog::Accepted) return;
    const AstParams star = dlg.params();
    if (star.abort) {
      prompter().inform(tr(kPicTitle), tr("Astrometry aborted."), this);
      d->npicpt = 1;
      for (int i = 0; i < 3; ++i) d->picra[i] = d->picdec[i] = 0.0;
      QPainter g(&pmpicw);
      picRestore(g);
      g.end();
      repaintNow();
      return;
    }
    astToRecord(star, *d, k);
    d->refx[k] = x;
    d->refy[k] = y;
    if (k == 2 && getPlateConst(*d) != PLATE_OK) {
      // The plate would be meaningless: star 3 is asked for again.
      prompter().warn(tr(kPicTitle), tr("Reference stars are collinear; choose another third star"),
                      this);
      setCursor(Qt::CrossCursor);
      return;
    }
    d->npicpt = k + 2;
    QPainter g(&pmpicw);
    picRestore(g);
    picMarkStars(g);
  } else {
    double ra, dec;
    getRaDec(*d, x, y, ra, dec);
    if (k <= 4) {
      d->picra[k] = ra;
      d->picdec[k] = dec;
    } else {
      d->picra[3] = d->picra[4];
      d->picdec[3] = d->picdec[4];
      d->picra[4] = ra;
      d->picdec[4] = dec;
    }
    d->npicpt = std::min(k + 2, 6);
    QPainter g(&pmpicw);
    picRestore(g);
    picMarkStars(g);
    g.setFont(QFont("Helvetica", d->mfsz, d->bf ? QFont::Bold : QFont::Normal));
    const QColor yellow(255, 255, 0);
    const PicItem line[] = {{180, yellow, angleText("R.A.:", 1, -2, ra)},
                            {320, yellow, angleText("Dec.:", 1, -1, dec)}};
    picLine(g, line, 2);
  }
  setCursor(Qt::CrossCursor);
  repaintNow();
}

// ---------------------------------------------------------------------------
// The satellites on the photograph
// ---------------------------------------------------------------------------

void VorlixView::PicPlot(double t) {
  WinpData* d = indata;
  if (d->npicpt < 4 || pmpicw.isNull() || pmpics.isNull() || !std::isfinite(t)) return;
  d->rlm = 0;
  d->curmjd = t;
  const QFont font("Helvetica", d->mfsz, d->bf ? QFont::Bold : QFont::Normal);
  // The marker colours of a black background: a night sky photograph is dark
  // whatever the map's background.
  QColor colour[MAXSEL];
  for (int i = 0; i < MAXSEL; ++i) colour[i] = markerColour(i, 2);

  QPainter g(&pmpicw);
  picRestore(g);
  picMarkStars(g);
  g.setFont(font);
  char ptxt[PLOTTIME_SIZE];
  // The clock shows whole seconds for steps of a second or more, back or forth.
  plotTimeText(t, d->tzone, StepDays(d), ptxt, d->plyear);
  const int nsat = std::max(0, std::min(d->satnr, MAXSEL));
  const int p = PrimeSlot(d) < nsat ? PrimeSlot(d) : 0;
  for (int i = 0; i < nsat; ++i) posst[i] = GetSatPos(t, d, satps, i, 0);

  const QColor yellow(255, 255, 0);
  PicItem line[4];
  int n = 0;
  line[n++] = {10, Qt::white, QString::fromLatin1(ptxt)};
  if (d->flarflg && d->flarmod == -1) {
    line[n++] = {180, yellow, numText(d->occra, "Y:%7.1lf")};
    line[n++] = {290, yellow, numText(d->occdec, "P:%7.1lf")};
  } else if (nsat > 0 && posst[p] != SATPOS_OK) {
    line[n++] = {180, Qt::red,
                 posst[p] == SATPOS_DECAYED ? QStringLiteral("*** Decayed ***")
                                            : QStringLiteral("*** No Position ***")};
  } else if (nsat > 0) {
    line[n++] = {180, yellow, angleText("R.A.:", 1, -2, satps->ra[p])};
    line[n++] = {320, yellow, angleText("Dec.:", 1, -1, satps->dec[p])};
  }
  if (nsat > 0) {
    char name[17];
    std::snprintf(name, sizeof name, "%-16.15s", d->satname[p]);
    line[n++] = {500, colour[p], QString::fromLatin1(name)};
  } else {
    line[n++] = {500, Qt::red, QStringLiteral("*** No Satellite ***")};
  }
  picLine(g, line, n);
  picLineOfStep = true;

  g.setFont(QFont("Helvetica", 8, QFont::Normal));
  const int off = pmpicw.width() + 3;  // not on the picture
  for (int i = 0; i < nsat; ++i) {
    mkx[i] = off;
    mky[i] = 0;
    const bool seen =
        d->visflg == 0 || satps->sunh[i] >= 0 || (d->moonflg && satps->moonh[i] > 0);
    if (posst[i] != SATPOS_OK || !(satps->el[i] > 0) || !seen) continue;
    double x, y;
    int px, py;
    if (!platePixel(*d, DmsDegF(satps->ra[i]) * kPi / 12.0, DmsDegF(satps->dec[i]) * kPi / 180.0,
                    x, y) ||
        !pixRound(x, px) || !pixRound(y, py))
      continue;
    mkx[i] = px;
    mky[i] = py;
    g.setPen(colour[i]);
    g.drawRect(px - 2, py - 2, 3, 3);
    g.drawPoint(px, py);
    picDirty += QRect(px - 3, py - 3, 7, 7);
    if (d->shwnm) picText(g, px + 1, py - 2, QString::fromLatin1(d->satname[i]).left(15));
  }
  g.end();
  repaintNow();
}

// ---------------------------------------------------------------------------
// Orbit determination and matching
// ---------------------------------------------------------------------------

void VorlixView::runMatch() {
  WinpData* d = indata;
  // The search looks for ordinary passes, also when Iridium flares are set.
  Keep<int> kind(d->iridflg, d->iridflg == 3 ? 0 : d->iridflg);
  const int res = [d] {
    WaitCursor wait;
    return SatMatch(d, outdata);
  }();
  if (res != 0)
    prompter().inform(tr("Find Matching Sats"), tr("*** Unable to open TLE file ***"), this);
  d->mtchdn = 1;
  showtxt(true);
}

void VorlixView::vMatch() {
  WinpData* d = indata;
  if (inputEventDate() != 0) return;
  d->mtchdn = 0;
  d->odm = false;
  StMatchDialog dlg;
  dlg.setParams(matchFromRecord(*d));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  matchToRecord(dlg.params(), *d);
  runMatch();
}

void VorlixView::vOrbDet() {
  WinpData* d = indata;
  const QString title = tr("Orbit Determination");
  if (inputEventDate() != 0) return;
  StOrbDetDialog dlg;
  dlg.setParams(orbDetFromRecord(*d));
  if (prompter().exec(dlg) != QDialog::Accepted) return;
  orbDetToRecord(dlg.params(), *d);
  if (d->satnr >= MAXSEL && !ConfirmReplace(title, tr("orbit"), MAXSEL - 1)) return;
  // The engine fills a slot even when its search finds no orbit: that slot,
  // and the selection, are put back as they were.
  const auto before = std::make_unique<WinpData>(*d);
  const int found = OrbitDet(d);
  if (found == ORBDET_BADINPUT) {
    prompter().inform(title,
                      tr("*** No orbit determined: an observation, the time between them or the "
                         "observer's location is not a number ***"),
                      this);
    return;
  }
  if (found == ORBDET_NOMOTION) {
    prompter().inform(title,
                      tr("*** No orbit determined: both observations show the same direction, "
                         "so the object did not move between them; no satellite was added ***"),
                      this);
    return;
  }
  if (found == ORBDET_NOCONV) {
    *d = *before;
    d->sgpsat = SGPSAT_NONE;
    prompter().inform(title,
                      tr("*** No Convergence: no circular orbit fits the two observations and the "
                         "time between them; no satellite was added ***"),
                      this);
    return;
  }
  vEditOrb();
  if (d->odm) runMatch();
}
