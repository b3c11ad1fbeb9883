// Painters of the sky chart and of the Sun/Moon close-up.
#include "gui/skydraw.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/vorlixcom.h"
#include "gui/skyframe.h"

namespace {
const QColor HORIZON_COLOUR(200, 100, 50);
const QColor EDGE_COLOUR(130, 160, 180);
const QColor DARK_LIMB_ON_BLACK(30, 240, 120);

bool blackBackground(const WinpData& d) { return d.mgrey >= 2; }
QColor ink(const WinpData& d) { return blackBackground(d) ? Qt::white : Qt::black; }

bool onChart(const MapFrame& f, const QPoint& q) { return q.x() <= f.pltw && q.y() <= f.plth; }

// A box given by its corner pixels, both included.
QRect box(int x0, int y0, int x1, int y1) { return QRect(QPoint(x0, y0), QPoint(x1, y1)); }

// Grey of a faint star of magnitude m.
QColor starGrey(double m, bool black) {
  static const int onLight[4] = {0, 50, 100, 150};
  static const int onDark[4] = {255, 200, 150, 100};
  const int k = m <= 2 ? 0 : m <= 3 ? 1 : m <= 4 ? 2 : 3;
  const int g = black ? onDark[k] : onLight[k];
  return QColor(g, g, g);
}

// Catalogue rows from the faintest to the brightest: where two stars share
// a pixel (the close doubles are listed at one place) the brighter is drawn
// last and shows. Equal magnitudes keep the catalogue's order.
const std::vector<int>& faintFirst() {
  static const std::vector<int> order = [] {
    std::vector<int> k(static_cast<size_t>(SkyStarCount));
    for (int i = 0; i < SkyStarCount; ++i) k[static_cast<size_t>(i)] = i;
    std::stable_sort(k.begin(), k.end(), [](int a, int b) { return SkyStars[a][2] > SkyStars[b][2]; });
    return k;
  }();
  return order;
}

void paintStars(QPainter& p, const MapFrame& f, const WinpData& d) {
  const bool black = blackBackground(d);
  const QColor bright = ink(d);
  const Mat3 prec = pmatequ(SKY_STAR_EPOCH, julcent(d.curmjd));
  // The observer's frame is the same for every star.
  const HorFrame obs = horframe(d.curmjd, 0.0, d.lat * kDeg, d.lng * kDeg, 0.0);
  p.setBrush(bright);
  for (const int k : faintFirst()) {
    double az, el;
    starAzEl(k, prec, obs, az, el);
    const QPoint q = PxSky(f, el / kDeg, az / kDeg);
    if (q.x() > CHART_W) continue;
    const double m = SkyStars[k][2];
    if (m <= 1.0) {
      p.setPen(bright);
      // The brightest as a small disc, the next as a 2 x 2 dot.
      if (m <= 0.1) p.drawEllipse(box(q.x() - 1, q.y() - 1, q.x() + 1, q.y() + 1));
      else p.fillRect(box(q.x() - 1, q.y() - 1, q.x(), q.y()), bright);
    } else {
      p.setPen(starGrey(m, black));
      p.drawPoint(q);
    }
  }
}

void paintHorizonAndLetters(QPainter& p, const MapFrame& f, const WinpData& d) {
  if (f.skyprj == 0) {
    p.setPen(HORIZON_COLOUR);
    QPoint prev = PxSky(f, 0.0, 0.0);
    for (int k = 1; k < 360; ++k) {
      const QPoint q = PxSky(f, 0.0, k);
      if (onChart(f, prev) && onChart(f, q)) p.drawLine(prev, q);
      prev = q;
    }
  }
  p.setPen(ink(d));
  struct Letter {
    const char* text;
    double az, elZenith;
    int dx, dy;  // zenith view shift of the text
  };
  static const Letter letters[4] = {
      {"N", 0, 10, 0, 10}, {"S", 180, 13, 0, 0}, {"E", 90, 0, -8, 0}, {"W", 270, 0, 0, 0}};
  for (const Letter& l : letters) {
    const bool zenith = f.skyprj == 0;
    QPoint q = PxSky(f, zenith ? l.elZenith : 0.5, l.az);
    if (q.x() > CHART_W) continue;
    if (zenith) q += QPoint(l.dx, l.dy);
    // A letter at the horizon view's right edge (skaz + 90) would start on
    // the chart's last column and be cut: it ends there instead.
    const QString text = QString::fromLatin1(l.text);
    q.setX(std::min(q.x(), 719 - QFontMetrics(p.font()).horizontalAdvance(text)));
    p.drawText(q, text);
  }
}

void paintBodies(QPainter& p, const MapFrame& f, const WinpData& d, double ttut) {
  double az[SKY_BODIES], el[SKY_BODIES];
  bodyAzEl(d.curmjd, ttut, d.lat * kDeg, d.lng * kDeg, d.height, az, el);
  static const char* names[SKY_BODIES] = {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter",
                                           "Saturn"};
  const bool legend = f.skyprj == 0;
  for (int b = 0; b < SKY_BODIES; ++b) {
    const QPoint q = PxSky(f, el[b] / kDeg, az[b] / kDeg);
    if (q.x() > CHART_W) continue;
    const QColor c = skyBodyColour(b, d.mgrey);
    p.setPen(c);
    p.setBrush(c);
    const int x = q.x(), y = q.y();
    if (b == SKY_SUN || b == SKY_MOON) {
      p.drawEllipse(box(x - 3, y - 3, x + 2, y + 2));
      if (b == SKY_SUN) p.fillRect(box(x - 1, y - 1, x, y), Qt::red);
    } else {
      p.drawEllipse(box(x - 2, y - 2, x + 1, y + 1));
    }
    if (!legend) continue;
    if (b == SKY_SUN) {
      p.fillRect(box(10, 10, 15, 15), c);
      p.fillRect(box(12, 12, 13, 13), Qt::red);
      p.setPen(ink(d));
      p.drawText(20, 16, names[b]);
    } else if (b == SKY_MOON) {
      p.fillRect(box(10, 25, 15, 30), c);
      p.drawText(20, 31, names[b]);
    } else {
      const int top = 40 + 15 * (b - SKY_MERCURY);
      p.fillRect(box(11, top, 14, top + 3), c);
      p.drawText(20, top + 6, names[b]);
    }
  }
  p.setBrush(Qt::NoBrush);
}

// Limb point at angle a (rad) from the top, turned by P: (sin, -cos) * R.
QPoint limbPoint(const MapFrame& f, double R, double a) {
  return f.at(R * std::sin(a), -R * std::cos(a));
}
}  // namespace

QColor skyBodyColour(int body, int mgrey) {
  switch (body) {
    case SKY_SUN: return Qt::yellow;
    case SKY_MOON: return mgrey >= 2 ? Qt::white : Qt::black;
    case SKY_MERCURY: return QColor(200, 100, 50);
    case SKY_VENUS: return QColor(0, 0, 255);
    case SKY_MARS: return QColor(255, 0, 0);
    case SKY_JUPITER: return QColor(0, 255, 0);
    default: return QColor(255, 255, 0);
  }
}

void PaintSky(QPainter& p, const MapFrame& f, const WinpData& d, double ttut) {
  p.save();
  paintStars(p, f, d);
  p.setFont(QFont("Helvetica", 8));
  paintHorizonAndLetters(p, f, d);
  paintBodies(p, f, d, ttut);
  p.setBrush(Qt::NoBrush);
  p.setPen(EDGE_COLOUR);
  p.drawLine(CHART_W - 1, 0, CHART_W - 1, CHART_H);
  p.restore();
}

void PaintSunMoon(QPainter& p, const MapFrame& f, const WinpData& d, const SatPosData& s) {
  p.save();
  const QColor pen = ink(d);
  p.setPen(pen);
  const bool sats = d.satnr >= 1;
  double R;
  if (d.occflg != 1 && sats) {
    R = s.smrad * f.scly;
    const double P = sunPositionAngle(s.sunelo * kDeg, s.sunazo, s.moonelo, s.moonazo);
    const bool lit = s.smcos > -0.995;
    const QColor dark = blackBackground(d) ? DARK_LIMB_ON_BLACK : pen;
    // The lit half (a = 0 .. 180 deg, facing the Sun at 90) as a line, the
    // dark half (all of it at new Moon) dotted.
    QPoint prev = limbPoint(f, R, P);
    for (int a = 0; a <= 360; a += 5) {
      const QPoint q = limbPoint(f, R, a * kDeg + P);
      if (lit && a >= 5 && a <= 180) {
        p.setPen(pen);
        p.drawLine(prev, q);
      } else if (!lit || a > 180) {
        p.setPen(dark);
        p.drawPoint(q);
      }
      prev = q;
    }
    // The terminator: a half ellipse of semi-axis R cos i from the limb point
    // at a = 0 to the one at 180, bulging away from the Sun as the Moon fills.
    if (lit) {
      p.setPen(pen);
      const double cP = std::cos(P), sP = std::sin(P);
      QPoint prevT;
      for (int b = 0; b <= 180; b += 5) {
        const double u = R * std::cos(b * kDeg);
        const double w = -R * std::sin(b * kDeg) * s.smcos;
        const QPoint q = f.at(w * cP + u * sP, w * sP - u * cP);
        if (b > 0) p.drawLine(prevT, q);
        prevT = q;
      }
    }
  } else {
    R = CLOSEUP_SUN_RADIUS * f.scly;
    QPoint prev = limbPoint(f, R, 0.0);
    for (int a = 5; a <= 360; a += 5) {
      const QPoint q = limbPoint(f, R, a * kDeg);
      p.drawLine(prev, q);
      prev = q;
    }
  }
  if (sats && d.mgrid >= 1) {
    const double E = d.occflg == 1 ? s.sunelo * kDeg : s.moonelo;
    const double A = d.occflg == 1 ? s.sunazo : s.moonazo;
    const double ang = northAngle(E, A, d.lat * kDeg);
    const QPoint end = f.at(0.35 * R * std::sin(ang), -0.35 * R * std::cos(ang));
    p.setPen(HORIZON_COLOUR);
    p.drawLine(QPoint(f.cx, f.cy), end);
    p.drawText(end, QStringLiteral("N"));
  }
  p.restore();
}
