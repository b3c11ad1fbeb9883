// Texts and colours of the plot step's information panel.
#include "gui/plottext.h"

#include <cmath>
#include <cstdio>

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

PanelPen eventValueText(const WinpData& d, const SatPosData& sp, int p, bool relative,
                        char* out) {
  const bool centre = sp.ctlat[p] < 100.0;
  if ((!relative && d.chlen > 0) || (d.occflg > 0 && centre) ||
      (d.flarflg >= 1 && d.flarmod >= 1 && centre)) {
    PanelPen pen = PEN_KEEP;
    if (sp.sunh[p] < 0) pen = d.moonflg && sp.moonh[p] > 0 ? PEN_YELLOW : PEN_BLACK;
    if (d.occflg < 1 && (d.flarflg < 1 || d.flarmod < 1)) {
      FmtNum(out, PRPANG_SIZE, "Mag:%4.1lf", sp.mag);
    } else if (!centre) {
      FmtNum(out, PRPANG_SIZE, "Mag:%4.1lf", sp.mag);
    } else if (d.occflg >= 1) {
      FmtNum(out, PRPANG_SIZE, "dst:%8.1lf km", sp.mag);
    } else if (d.flrmgf && d.iridflg < 3 && d.chlen > 0) {
      FmtNum(out, PRPANG_SIZE, "Mag:%4.1lf", sp.mag);
    } else {
      FmtNum(out, PRPANG_SIZE, "FlrAng:%7.2lf", d.flrang);
    }
    decdot(out);
    return pen;
  }
  if (d.iridflg == 3 && centre) {
    FmtNum(out, PRPANG_SIZE, "FlrAng:%7.2lf", d.flrang);
  } else if (d.frequ != 0) {
    FmtNum(out, PRPANG_SIZE, "Hz: %g", dopplerShift(d.frequ, sp.rate[p]));
  } else if (!d.cylflg || !centre) {
    FmtNum(out, PRPANG_SIZE, "Rate:%7.3lf km/s", sp.rate[p]);
  } else if (d.flarflg > 0) {
    FmtNum(out, PRPANG_SIZE, "CylAng:%7.2lf", d.flrang);
  } else {
    FmtNum(out, PRPANG_SIZE, "Rate:%7.3lf km/s", sp.rate[p]);
  }
  decdot(out);
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

int markerBackground(const WinpData& d) {
  const bool closeUp = d.sunmplt && (d.occflg == 1 || d.occflg == 2);
  const bool image = d.phwm && !d.skymap && d.mapprj == MAP_PHYSICAL && !closeUp;
  return image ? 2 : d.mgrey;
}

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
