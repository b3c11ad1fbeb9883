// Plot step and world map: background layer, plot composition, info panel, markers, map clicks.
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "dialogs/prompter.h"
#include "dialogs/stdialog.h"
#include "engine/passes.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "gui/mapdraw.h"
#include "gui/plottext.h"
#include "gui/records.h"
#include "gui/skyframe.h"
#include "gui/vorlixview.h"

namespace {
// Panel rows are measured from the font's ascent; columns are fixed.
constexpr int COL[5] = {10, 150, 300, 430, 590};
// Least room between a text and the next column (or the panel's edge).
constexpr int COL_GAP = 4;

QColor penColour(PanelPen pen, const QColor& keep) {
  switch (pen) {
    case PEN_WHITE: return Qt::white;
    case PEN_BLACK: return Qt::black;
    case PEN_YELLOW: return Qt::yellow;
    case PEN_RED: return Qt::red;
    default: return keep;
  }
}

// The sky chart seen from the prime satellite (Satellite View).
bool skyFromSatellite(const WinpData* d) { return d->satsky && d->skymap == 1 && d->satnr >= 1; }

}  // namespace

MapFrame VorlixView::frame() const {
  MapFrame f;
  f.cx = cx;
  f.cy = cy;
  f.sclx = sclx;
  f.scly = scly;
  f.pltw = indata->pltw;
  f.plth = indata->plth;
  f.mapprj = indata->mapprj;
  f.centmer = reducedMeridian(indata->centmer);
  f.skyprj = indata->skyprj;
  f.skaz = indata->skaz;
  // The horizon dips only when the sky is seen from a selected satellite;
  // without one the chart is the observer's own.
  if (indata->satsky && indata->skymap == 1 && indata->satnr >= 1) f.h0 = horizonDip(indata->height);
  return f;
}

QPoint VorlixView::PxCoord(double lat, double lng) const { return ::PxCoord(frame(), lat, lng); }

void VorlixView::CoordPx(const QPoint& p, double& lat, double& lng) const {
  ::CoordPx(frame(), p, lat, lng);
}

bool VorlixView::sunMoonChart() const {
  return indata->sunmplt && (indata->occflg == 1 || indata->occflg == 2);
}

void VorlixView::vRefresh() {
  WinpData* d = indata;
  // Only the sky seen from the prime satellite asks for its position.
  const bool ownSky = d->skymap && !sunMoonChart() && skyFromSatellite(d);
  drawBackground(!ownSky || GetSatPos(d->curmjd, d, satps, PrimeSlot(d), 0) == SATPOS_OK);
}

void VorlixView::drawBackground(bool skyPlaced) {
  WinpData* d = indata;
  dsplmd = 3;
  mapStale = false;
  setCursor(Qt::CrossCursor);
  d->dspst = 1;
  pmlay.fill(d->mgrey <= 0 ? QColor(255, 255, 255)
             : d->mgrey == 1 ? QColor(200, 200, 200) : QColor(0, 0, 0));
  cx = 360;
  cy = 180;
  const bool smc = sunMoonChart();
  QPainter p(&pmlay);
  if (d->phwm && !d->skymap && d->mapprj == MAP_PHYSICAL && !smc) {
    // Longitude centmer in the middle column: the image twice, side by side.
    const double cm = reducedMeridian(d->centmer);
    if (cm == 0.0) {
      p.drawPixmap(0, 0, pmearth);
    } else {
      const int s = 2 * static_cast<int>(cm);
      p.drawPixmap(-s, 0, pmearth);
      p.drawPixmap(720 - s, 0, pmearth);
    }
  }
  p.drawPixmap(0, PANEL_TOP, pminfo);
  if (smc) {
    sclx = scly = cy * 2.8;
    if (d->satnr > 0) {
      GetSatPos(d->curmjd, d, satps, d->prs, 0);
      d->bkgmjd = d->curmjd;
    }
    PltSunM(p);
    d->smchrt = 1;
  } else {
    if (d->skymap) {
      const MapFrame f = skyFrame(d->skyprj, d->skaz, 0.0, d->pltw, d->plth);
      cy = f.cy;
      sclx = f.sclx;
      scly = f.scly;
      // A satellite without a position has no sky of its own: the sky of the
      // engine's stand-in place inside the Earth would pass for it.
      if (skyPlaced) PltSky(p);
    } else {
      const MapFrame f = worldFrame(d->mapprj, d->centmer, d->pltw, d->plth);
      sclx = f.sclx;
      scly = f.scly;
      PlotWorld(p, frame(), *d);
    }
    d->smchrt = 0;
    d->bkgmjd = d->curmjd;
  }
  p.end();
  composePlot();
  if (d->picmd && !pmpicw.isNull() && !pmpics.isNull()) {
    QPainter w(&pmpicw);
    w.drawPixmap(0, 0, pmpics);
  }
  resizeToShown();
  repaintNow();
}

void VorlixView::composePlot() {
  pmplot.fill(Qt::black);
  QPainter p(&pmplot);
  p.drawPixmap(0, 0, pmlay);
  // The panel strip spans the whole plot, so its right column is not cut at
  // the map's edge.
  p.drawPixmap(0, PANEL_TOP, pminfo);
}

bool VorlixView::backgroundDue(double t) const {
  const WinpData* d = indata;
  const double dd = std::fabs(d->bkgmjd - t);
  if (sunMoonChart()) return !(d->smchrt && dd <= 0.01);
  if (d->smchrt == 1) return true;  // the close-up was left
  if (d->mpnight && dd > 0.01) return true;
  if (!d->skymap) return false;
  const double limit = d->skyprj == 0 ? (d->mpnight ? 0.002 : 0.004) : (d->mpnight ? 0.001 : 0.002);
  return d->satsky || dd > limit;
}

void VorlixView::SatPlot(double t, int flag) {
  WinpData* d = indata;
  if (d->picmd) {
    PicPlot(t);
    return;
  }
  if (!std::isfinite(t)) return;  // no time to plot at
  // The sky seen from the prime satellite takes its place as the observer's
  // for this step.
  Keep<double> lat(d->lat), lng(d->lng), height(d->height);
  d->curmjd = t;
  const int p = PrimeSlot(d);
  // The sky seen from the prime satellite needs one, with a position: without
  // it there is no sky to show, nor anything on it.
  const bool fromSat = skyFromSatellite(d);
  bool noSky = false;
  if (fromSat) {
    if (GetSatPos(t, d, satps, p, 0) == SATPOS_OK) {
      d->lat = satps->lat[p];
      d->lng = satps->lng[p];
      d->height = 1000.0 * satps->hgt[p];
    } else {
      noSky = true;
    }
  }
  const QFont panelFont("Helvetica", d->mfsz, d->bf ? QFont::Bold : QFont::Normal);
  const bool smcStep = sunMoonChart();
  if (mapStale || backgroundDue(t)) drawBackground(!noSky);

  EndRelativeOnSkyMap(d);
  const bool rel = RelativeMode(d);  // (a sky map has just ended it)
  QColor colour[MAXSEL];
  for (int i = 0; i < MAXSEL; ++i) colour[i] = markerColour(i, markerBackground(*d));

  const int nsat = std::max(0, std::min(d->satnr, MAXSEL));
  char ptxt[PLOTTIME_SIZE];
  // The clock shows whole seconds for steps of a second or more, back or forth.
  plotTimeText(t, d->tzone, StepDays(d), ptxt, d->plyear);
  for (int i = 0; i < nsat; ++i) posst[i] = GetSatPos(t, d, satps, i, flag);
  // The Sun at the observer needs no satellite: without one it is computed
  // on its own, as a position step would.
  if (nsat == 0) satps->sunelo = SearchSample(d, satps, 0).SunElAt(t);

  composePlot();
  QPainter g(&pmplot);
  drawPanel(g, panelFont, ptxt, p, rel, colour);

  // Markers, visibility circles and names.
  g.setFont(QFont("Helvetica", 8, QFont::Normal));
  const bool event = d->occflg || (d->flarflg && d->flarmod >= 1);
  const MapFrame f = frame();
  // On the photograph of the Earth a marker or name of any colour may stand
  // on land or ocean of its own brightness: each is outlined in its
  // contrasting colour.
  const bool outline = physicalBehind(*d) && !smcStep;
  for (int i = 0; i < nsat; ++i) {
    g.setPen(colour[i]);
    QPoint q;
    if (smcStep && event) {
      q = PxCdSun(i, d->occflg);
    } else if (d->skymap) {
      const bool seen = d->visflg == 0 || satps->sunh[i] >= 0 || (d->moonflg && satps->moonh[i] > 0);
      q = seen ? PxSky(satps->el[i], satps->az[i]) : QPoint(d->pltw + 3, 0);
    } else if (event) {
      q = ::PxCoord(f, satps->ctlat[i], satps->ctlng[i]);
    } else {
      q = ::PxCoord(f, satps->lat[i], satps->lng[i]);
    }
    // The engine's stand-in place of a satellite it cannot place is no place
    // to draw: no marker, footprint, name or track point. One whose observing
    // satellite has none (relative mode) keeps its own place.
    if (!SatPosOwnPlace(posst[i]) || noSky) q = QPoint(d->pltw + 3, 0);
    mkx[i] = q.x();
    mky[i] = q.y();
    const bool onChart = q.x() - 2 <= d->pltw;
    const bool ownSky = fromSat && i == p;
    if (onChart && !ownSky) {
      if (d->skymap) {
        g.drawRect(q.x() - 2, q.y() - 2, 3, 3);
      } else {
        if (outline) {
          g.setPen(contrastColour(colour[i]));
          g.drawEllipse(q.x() - 3, q.y() - 3, 5, 5);
          g.setPen(colour[i]);
        }
        g.drawEllipse(q.x() - 2, q.y() - 2, 3, 3);
        g.drawPoint(q);
      }
    }
    if (flag && !d->occflg && !d->flarflg && !d->skymap && !smcStep && satps->nfp > 0 &&
        SatPosOwnPlace(posst[i])) {
      QPoint circle[NFPPTS];
      const int n = std::min(satps->nfp, NFPPTS);
      for (int k = 0; k < n; ++k)
        circle[k] = ::PxCoord(f, satps->fplat[i][k] * 180.0 / kPi, satps->fplng[i][k] * 180.0 / kPi);
      g.drawPoints(circle, n);
    }
    if (d->shwnm && !ownSky && onChart) {
      const QString nm = QString::fromLatin1(d->satname[i]).left(15);
      if (outline) {
        g.setPen(contrastColour(colour[i]));
        for (const QPoint& o : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
          g.drawText(q.x() - 2 + o.x(), q.y() - 2 + o.y(), nm);
        g.setPen(colour[i]);
      }
      g.drawText(q.x() - 2, q.y() - 2, nm);
    }
  }
  // Sub-solar point: a yellow ring of points around a centre in slot 0's colour.
  if (nsat > 0 && !d->skymap && !smcStep) {
    const QPoint s = ::PxCoord(f, satps->sslat, satps->sslng);
    if (s.x() - 2 <= d->pltw) {
      g.setPen(Qt::yellow);
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const bool ring1 = std::max(std::abs(dx), std::abs(dy)) == 1;
          const bool ring2 = (std::abs(dx) == 2 || std::abs(dy) == 2) &&
                             (dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy));
          if (ring1 || ring2) g.drawPoint(s.x() + dx, s.y() + dy);
        }
      g.setPen(colour[0]);
      g.drawPoint(s);
    }
  }
  g.end();
  // Tracks grow on the layer while no night shading redraws it.
  if (!d->mpnight) {
    QPainter l(&pmlay);
    for (int i = 0; i < nsat; ++i) {
      if (mkx[i] > d->pltw) continue;
      l.setPen(colour[i]);
      l.drawPoint(mkx[i], mky[i]);
    }
  }
  repaintNow();
}

// The three rows of the info panel for the prime slot p.
void VorlixView::drawPanel(QPainter& g, const QFont& font, const char* ptxt, int p, bool rel,
                           const QColor* colour) {
  const WinpData* d = indata;
  const SatPosData* s = satps;
  g.setFont(font);
  const QFontMetrics fm(font);
  const int a = fm.ascent();
  const int row[3] = {a + 367, a + 389, a + 411};
  // Room of a column: up to the next one, the last up to the panel's edge.
  auto room = [&](int col) { return (col < 4 ? COL[col + 1] : pminfo.width()) - COL[col] - COL_GAP; };
  // A text wider than its column is shortened to stay inside it; a number
  // takes a shorter form of itself.
  auto text = [&](int col, int r, const QString& str) {
    g.drawText(COL[col], row[r], fitText(fm, room(col), str));
  };
  auto num = [&](int col, int r, double v, const char* fmt) {
    g.drawText(COL[col], row[r], fitNumber(fm, room(col), v, fmt));
  };

  g.setPen(Qt::white);
  text(0, 0, QString::fromLatin1(ptxt));
  // The prime satellite without a position: the stand-in numbers of the
  // engine (the Earth's centre region) would read as a place. Without any
  // satellite the record still holds the last one removed: nothing to show.
  const bool none = d->satnr < 1 || p < 0 || p >= MAXSEL;
  // In relative mode an observing satellite without a position leaves the
  // prime its own place (sub-point, height), but nothing seen from there.
  const bool placed = !none && SatPosOwnPlace(posst[p]);
  const bool observed = placed && posst[p] == SATPOS_OK;
  const bool below = placed && s->hgt[p] < 0;
  const QColor base = below ? Qt::black : Qt::white;
  g.setPen(base);
  if (placed) {
    text(1, 0, angleText("Lat  :", d->ra4d, d->ddmm, s->lat[p]));
    text(1, 1, angleText("Lng :", d->ra4d, d->ddmm, s->lng[p]));
    num(1, 2, s->hgt[p], "Height:%8.1lf km");
  }
  num(0, 1, d->tzone, "TimeZone: %g");
  text(0, 2, d->rtflg ? QStringLiteral("R/T") : QString::asprintf("Year:%5i", d->plyear));
  // Seen from the prime satellite, the observer is the satellite: without a
  // position there is none.
  if (!rel && (placed || !skyFromSatellite(d))) num(4, 1, s->sunelo, "ObsSun:%7.1lf");

  if (none) {
    // The notice stands in column 590.
  } else if (!placed) {
    g.setPen(Qt::red);
    text(1, 0, posst[p] == SATPOS_DECAYED ? QStringLiteral("*** Decayed ***")
                                          : QStringLiteral("*** No Position ***"));
  } else if (observed) {
    const char* fmt = "";
    double v = 0;
    const PanelPen evPen = eventValueForm(*d, *s, p, rel, fmt, v);
    g.setPen(penColour(evPen, base));
    num(4, 2, v, fmt);
  }

  // Columns 300 and 430: dark when the satellite is in the Earth's shadow.
  QColor pen = Qt::white;
  if (!rel && s->sunh[p] < 0) pen = d->moonflg && s->moonh[p] > 0 ? Qt::yellow : Qt::black;
  if (below) pen = Qt::black;
  g.setPen(pen);
  const bool eventMode = d->occflg || d->flarflg;
  if (!placed) {
    // Nothing of the satellite's own to show, nor an eclipse seen from the
    // engine's stand-in place.
  } else if (rel && !observed) {
    g.setPen(Qt::red);
    text(2, 0, QStringLiteral("Observing Sat.:"));
    text(2, 1, QStringLiteral("No Position"));
  } else if (rel) {
    text(2, 0, angleText("Lat :", d->ra4d, d->ddmm, s->ra[p]));
    text(2, 1, angleText("Lng :", d->ra4d, d->ddmm, s->dec[p]));
    num(2, 2, s->sunh[p], "Hgt:%8.1lf km");
  } else if (!eventMode && !d->eclflg) {
    text(2, 0, angleText("R.A.:", d->ra4d, -2, s->ra[p]));
    text(2, 1, angleText("Dec.:", d->ra4d, -1, s->dec[p]));
    num(2, 2, s->sunh[p], "SatSun:%7.1lf");
  } else if (!eventMode) {
    num(2, 0, d->smang, "S/M Ang.:%7.2lf");
    g.setPen(Qt::red);
    if (d->ecltyp < 1) {
      text(2, 2, QStringLiteral("No Eclipse"));
    } else {
      g.setPen(pen);
      if (d->chlen > 0)
        num(2, 1, 100 * d->eclpow, "Ecl.Pow:%6.2lf%%");
      else
        num(2, 1, d->eclmag, "Ecl.Mag.:%7.3lf");
      g.setPen(Qt::red);
      text(2, 2, d->ecltyp == 2 ? QStringLiteral("Total Ecl.")
                 : d->ecltyp == 3 ? QStringLiteral("Annular Ecl.") : QStringLiteral("Partial Ecl."));
    }
  } else {
    if (s->ctlat[p] >= 100) {
      text(2, 0, QStringLiteral("No Intersection"));
    } else if (d->occflg || (d->flarflg && d->flarmod >= 1)) {
      text(2, 0, angleText("Lat :", d->ra4d, d->ddmm, s->ctlat[p]));
      text(2, 1, angleText("Lng :", d->ra4d, d->ddmm, s->ctlng[p]));
    } else if (d->flarmod == -1) {
      num(2, 0, d->occra, "Y:%7.1lf");
      num(2, 1, d->occdec, "P:%7.1lf");
    } else {
      text(2, 0, d->solflar ? QStringLiteral("Solar Panel") : angleText("R.A.:", d->ra4d, -2, d->occra));
      text(2, 1, angleText(d->solflar ? "Ang.:" : "Dec.:", d->ra4d, -1, d->occdec));
    }
    g.setPen(Qt::red);
    QString kind = d->occflg == 1 ? "Sun Transit" : d->occflg == 2 ? "Moon Transit" : "Occultation";
    if (d->flarflg) kind = d->flarmod < 1 ? "Flare Angle" : "Flare Location";
    text(2, 2, kind);
  }

  const double e = ElvRefr(indata, s->el[p]);
  QColor epen = Qt::white;
  if (!rel && e < 0) epen = Qt::black;
  if (rel && !cksatok(indata, satps, p)) epen = Qt::black;
  g.setPen(epen);
  if (observed) {
    num(3, 0, s->az[p], "Azim.:%7.2lf");
    num(3, 1, e, "Elev.:%7.2lf");
    num(3, 2, s->rng[p], "Range:%8.1lf km");
  }

  if (d->satnr < 1) {
    g.setPen(Qt::red);
    text(4, 0, QStringLiteral("*** No Satellite ***"));
    return;
  }
  g.setBackgroundMode(Qt::OpaqueMode);
  // Each name in its marker colour on a box it can be read on: black behind
  // a light colour (white, yellow, green), white behind a dark one.
  auto name = [&](int r, int slot) {
    g.setBackground(contrastColour(colour[slot]));
    g.setPen(colour[slot]);
    g.drawText(COL[4], row[r], panelName(fm, room(4), d->satname[slot]));
  };
  name(0, p);
  if (rel) name(1, p + 1 < d->satnr ? p + 1 : 0);
  g.setBackgroundMode(Qt::TransparentMode);
}

void VorlixView::mapChanged() {
  mapStale = true;
  redrawIfStale();
}

void VorlixView::redrawIfStale() {
  if (!mapStale || indata->picmd || indata->dspst != 1) return;
  // The text page shown last stays the one X brings back.
  const int mode = dsplmd;
  vRefreshP();
  dsplmd = mode;
}

void VorlixView::vRefreshP() {
  vRefresh();
  if (indata->satnr >= 1) vCurrent();
}

void VorlixView::vNames(bool on) {
  indata->shwnm = on ? 1 : 0;
  if (!indata->rtflg && !indata->dtflg) vCurrent();
}

void VorlixView::vMag() {
  double v = indata->chlen;
  if (prompter().askDouble(tr("Magnitude"), tr("Charact.Length (meters):"), v, 0, 10000, 2, this))
    indata->chlen = v;
}

void VorlixView::getMapPos(int x, int y) {
  WinpData* d = indata;
  if (d->smchrt) return;  // the Sun/Moon close-up has no places to click
  // The clicked place or direction stands in for the observer for this look.
  Keep<bool> serving(busy, true);
  Keep<double> lat(d->lat), lng(d->lng), height(d->height);
  Keep<double> az1(d->az1), el1(d->el1), az2(d->az2), el2(d->el2);
  QPoint q(x, y);
  if (d->skymap) {
    // Seen from a satellite without a position no sky is shown; the local
    // details say so.
    const int p = PrimeSlot(d);
    if (d->satsky && d->satnr >= 1 && posst[p] == SATPOS_OK) {
      d->lat = satps->lat[p];
      d->lng = satps->lng[p];
      d->height = 1000.0 * satps->hgt[p];
    }
    SkyPx(q);
  } else {
    // The black columns right of the map and the panel are no place.
    if (x >= CHART_W || y > CHART_H) {
      d->lat = -100.0;
    } else {
      CoordPx(q, d->lat, d->lng);
    }
    d->height = 0;
  }
  if (localDetails) localDetails();
  else vLocalPass();
}
