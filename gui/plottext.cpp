// Texts and colours of the plot step's information panel.
#include "gui/plottext.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/stdialog.h"

#include "astro/astrolib.h"
#include "gui/mapframe.h"

void plotTimeText(double t, double tzone, double tstep, char* out, int& year) {
  int day = 1, month = 1, h = 0, m = 0;
  double hour = 0.0, s = 0.0;
  caldat(t + tzone / 24.0, day, month, year, hour);
  if (!std::isfinite(hour) || hour < 0.0 || hour >= 24.0) hour = 0.0;
  dms(hour, h, m, s);
  char mon[MONTH_SIZE];
  GetMonth(month, mon);
  auto carry = [&]() {
    if (m == 59) {
      m = 0;
      ++h;
    } else {
      ++m;
    }
  };
  if (tstep >= ONE_SECOND_DAYS) {
    int is = static_cast<int>(s + 0.4999);
    if (is >= 60) {
      is = 0;
      carry();
    }
    std::snprintf(out, PLOTTIME_SIZE, "%s %2i  %2i:%02i:%02i", mon, day, h, m, is);
  } else {
    if (s >= 59.95) {
      s = 0.0;
      carry();
    }
    std::snprintf(out, PLOTTIME_SIZE, "%s %2i  %2i:%02i:%4.1lf", mon, day, h, m, s);
  }
  decdot(out);
}

double dopplerShift(double frequ, double rate) {
  double b = rate / 299792.458;
  // Keep the direction: a receding source always lowers the frequency.
  if (std::fabs(b) > 0.99) b = b < 0 ? -0.99 : 0.99;
  return frequ * std::sqrt((1.0 - b) / (1.0 + b)) - frequ;
}

PanelPen eventValueForm(const WinpData& d, const SatPosData& sp, int p, bool relative,
                        const char*& fmt, double& v) {
  const bool centre = sp.ctlat[p] < 100.0;
  if ((!relative && d.chlen > 0) || (d.occflg > 0 && centre) ||
      (d.flarflg >= 1 && d.flarmod >= 1 && centre)) {
    PanelPen pen = PEN_KEEP;
    if (sp.sunh[p] < 0) pen = d.moonflg && sp.moonh[p] > 0 ? PEN_YELLOW : PEN_BLACK;
    fmt = "Mag:%4.1lf";
    v = sp.mag;
    const bool magnitude = (d.occflg < 1 && (d.flarflg < 1 || d.flarmod < 1)) || !centre;
    if (magnitude) return pen;
    if (d.occflg >= 1) {
      fmt = "dst:%8.1lf km";  // mag holds the centre-line distance
    } else if (!(d.flrmgf && d.iridflg < 3 && d.chlen > 0)) {
      fmt = "FlrAng:%7.2lf";
      v = d.flrang;
    }
    return pen;
  }
  if (d.iridflg == 3 && centre) {
    fmt = "FlrAng:%7.2lf";
    v = d.flrang;
  } else if (d.frequ != 0) {
    fmt = "Hz: %g";
    v = dopplerShift(d.frequ, sp.rate[p]);
  } else if (!d.cylflg || !centre) {
    fmt = "Rate:%7.3lf km/s";
    v = sp.rate[p];
  } else if (d.flarflg > 0) {
    fmt = "CylAng:%7.2lf";
    v = d.flrang;
  } else {
    fmt = "Rate:%7.3lf km/s";
    v = sp.rate[p];
  }
  return PEN_KEEP;
}

QColor markerColour(int i, int mgrey) {
  switch (i) {
    case 0: return mgrey == 2 ? QColor(255, 255, 255) : QColor(0, 0, 0);
    case 1: return QColor(255, 0, 0);
    case 2: case 6: return QColor(0, 0, 255);
    case 3: case 7: return QColor(0, 255, 0);
    case 4: case 8: return QColor(255, 255, 0);
    default: return QColor(255, 0, 255);
  }
}

int markerBackground(const WinpData& d) { return physicalBehind(d) ? 2 : d.mgrey; }

double wholeSecond(double t) {
  if (!std::isfinite(t)) return t;
  int day, month, year, h, m;
  double hour, s;
  caldat(t, day, month, year, hour);
  dms(hour, h, m, s);
  return mjd(day, month, year, ddd(h, m, static_cast<int>(s + 0.5)));
}

QString angleText(const char* label, int wide, int mode, double v) {
  char a[PRPANG_SIZE];
  prpang(a, wide, mode, v);
  return QString::fromLatin1(label) + QString::fromLatin1(a);
}

bool physicalBehind(const WinpData& d) {
  const bool closeUp = d.sunmplt && (d.occflg == 1 || d.occflg == 2);
  return d.phwm && !d.skymap && d.mapprj == MAP_PHYSICAL && !closeUp;
}

QColor contrastColour(const QColor& c) {
  const double y = 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
  return y > 127.5 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QString fitNumber(const QFontMetrics& fm, int maxw, double v, const char* fmt) {
  if (!fmt) return QString();
  QString best = numText(v, fmt);
  if (fm.horizontalAdvance(best) <= maxw) return best;
  // Split fmt round its conversion: prefix %[flags][width][.prec]conv suffix.
  const char* pc = std::strchr(fmt, '%');
  while (pc && pc[1] == '%') pc = std::strchr(pc + 2, '%');
  if (!pc) return best;
  const char* q = pc + 1;
  while (*q && std::strchr("-+ #0", *q)) ++q;
  while (*q >= '0' && *q <= '9') ++q;
  int prec = -1;
  if (*q == '.') {
    prec = 0;
    for (++q; *q >= '0' && *q <= '9'; ++q) prec = 10 * prec + (*q - '0');
  }
  if (*q == 'l') ++q;
  const char conv = *q;
  if (conv != 'f' && conv != 'g') return best;
  const std::string pre(fmt, pc), post(q + 1);
  std::vector<std::string> forms;
  if (conv == 'f') {
    if (prec < 0) prec = 6;
    for (int p = prec; p >= 0; --p) forms.push_back("%." + std::to_string(p) + "lf");
  } else {
    for (int p = prec < 0 ? 6 : prec; p >= 1; --p) forms.push_back("%." + std::to_string(p) + "lg");
  }
  for (int p = 3; p >= 0; --p) forms.push_back("%." + std::to_string(p) + "le");
  for (const std::string& f : forms) {
    best = numText(v, (pre + f + post).c_str());
    if (fm.horizontalAdvance(best) <= maxw) break;
  }
  return best;
}

QString fitText(const QFontMetrics& fm, int maxw, const QString& text) {
  if (fm.horizontalAdvance(text) <= maxw) return text;
  QString t = text.simplified();
  while (t.size() > 1 && fm.horizontalAdvance(t) > maxw) {
    t.chop(1);
    // A number cut after its point loses the point with its last decimal.
    if (t.size() > 1 && t.endsWith(QChar('.')) && t.at(t.size() - 2).isDigit()) t.chop(1);
  }
  return t;
}

QString panelName(const QFontMetrics& fm, int maxw, const char* name) {
  char buf[SATNAME_SIZE + 17];
  std::snprintf(buf, sizeof buf, std::strlen(name) <= 15 ? "%-16.15s" : "%s ", name);
  QString t = QString::fromLatin1(buf);
  while (t.size() > 1 && fm.horizontalAdvance(t) > maxw) t.chop(1);
  return t;
}
