// The information panel's texts as tables: the local time text with its
// carries, the event value of the last column, the Doppler shift.
#include <QtTest>

#include <cmath>
#include <cstring>

#include "astro/astrolib.h"
#include "dialogs/stdialog.h"
#include "gui/plottext.h"

class PlotTextTest : public QObject {
  Q_OBJECT
private slots:
  void timeText_data();
  void timeText();
  void eventValue_data();
  void eventValue();
  void doppler();
  void noMinusZero();
  void contrast_data();
  void contrast();
  void fitNumber_data();
  void fitNumber();
  void fitTimeText();
  void longName();
};

void PlotTextTest::timeText_data() {
  QTest::addColumn<double>("hour");   // UT hour of 20 January 2018
  QTest::addColumn<double>("tzone");
  QTest::addColumn<double>("stepsec");
  QTest::addColumn<QString>("text");
  const double s = 1.0 / 3600;
  QTest::newRow("whole seconds") << 12 + 34 / 60.0 + 9.2 * s << 0.0 << 60.0 << "JAN 20  12:34:09";
  QTest::newRow("59.6 s next minute") << 12 + 34 / 60.0 + 59.6 * s << 0.0 << 1.0 << "JAN 20  12:35:00";
  QTest::newRow("minute 59 carries the hour") << 12 + 59 / 60.0 + 59.7 * s << 0.0 << 1.0
                                              << "JAN 20  13:00:00";
  QTest::newRow("hour 24, same day") << 23 + 59 / 60.0 + 59.6 * s << 0.0 << 1.0 << "JAN 20  24:00:00";
  QTest::newRow("zone east") << 10.5 << 2.0 << 1.0 << "JAN 20  12:30:00";
  QTest::newRow("zone west, day before") << 1.0 << -5.0 << 1.0 << "JAN 19  20:00:00";
  QTest::newRow("sub-second step") << 12 + 34 / 60.0 + 9.46 * s << 0.0 << 0.5 << "JAN 20  12:34: 9.5";
  QTest::newRow("sub-second 59.95 carries") << 12 + 34 / 60.0 + 59.96 * s << 0.0 << 0.1
                                            << "JAN 20  12:35: 0.0";
}

void PlotTextTest::timeText() {
  QFETCH(double, hour);
  QFETCH(double, tzone);
  QFETCH(double, stepsec);
  QFETCH(QString, text);
  char out[PLOTTIME_SIZE];
  int year = 0;
  plotTimeText(mjd(20, 1, 2018, hour), tzone, stepsec / 86400, out, year);
  QCOMPARE(QString::fromLatin1(out), text);
  QCOMPARE(year, 2018);
}

// One row per branch of the event-value chooser.
void PlotTextTest::eventValue_data() {
  QTest::addColumn<QString>("set");   // fields as name=value, blank separated
  QTest::addColumn<bool>("relative");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("pen");
  QTest::newRow("magnitude, sunlit") << "chlen=5 mag=2.34 sunh=10" << false << "Mag: 2.3" << int(PEN_KEEP);
  QTest::newRow("magnitude, moonlit") << "chlen=5 mag=2.34 sunh=-5 moonflg=1 moonh=3" << false
                                      << "Mag: 2.3" << int(PEN_YELLOW);
  QTest::newRow("magnitude, in shadow") << "chlen=5 mag=2.34 sunh=-5 moonflg=1 moonh=-3" << false
                                        << "Mag: 2.3" << int(PEN_BLACK);
  QTest::newRow("transit distance") << "occflg=1 ctlat=45 mag=123.45" << false << "dst:   123.5 km"
                                    << int(PEN_KEEP);
  QTest::newRow("flare magnitude") << "flarflg=1 flarmod=1 ctlat=10 flrmgf=1 chlen=5 mag=-3.21" << false
                                   << "Mag:-3.2" << int(PEN_KEEP);
  QTest::newRow("flare angle") << "flarflg=1 flarmod=1 ctlat=10 flrang=12.345" << false
                               << "FlrAng:  12.35" << int(PEN_KEEP);
  QTest::newRow("no flare") << "flarflg=1 flarmod=1 ctlat=100 chlen=5 mag=99" << false << "Mag:99.0"
                            << int(PEN_KEEP);
  QTest::newRow("Iridium angle") << "iridflg=3 ctlat=10 flrang=1.5" << false << "FlrAng:   1.50"
                                 << int(PEN_KEEP);
  QTest::newRow("range rate") << "rate=-3.14159" << false << "Rate: -3.142 km/s" << int(PEN_KEEP);
  QTest::newRow("cylinder angle") << "cylflg=1 ctlat=10 flarflg=1 flarmod=-1 flrang=7.25" << false
                                  << "CylAng:   7.25" << int(PEN_KEEP);
  QTest::newRow("cylinder, no flare mode") << "cylflg=1 ctlat=10 rate=1" << false << "Rate:  1.000 km/s"
                                           << int(PEN_KEEP);
  QTest::newRow("magnitude just below zero") << "chlen=5 mag=-0.04 sunh=10" << false << "Mag: 0.0"
                                             << int(PEN_KEEP);
  QTest::newRow("rate just below zero") << "rate=-0.0004" << false << "Rate:  0.000 km/s"
                                        << int(PEN_KEEP);
  QTest::newRow("relative mode: no magnitude") << "chlen=5 rate=2" << true << "Rate:  2.000 km/s"
                                               << int(PEN_KEEP);
}

void PlotTextTest::eventValue() {
  QFETCH(QString, set);
  QFETCH(bool, relative);
  QFETCH(QString, text);
  QFETCH(int, pen);
  static WinpData d;
  static SatPosData sp;
  std::memset(&d, 0, sizeof d);
  sp = SatPosData();
  const int p = 3;
  sp.ctlat[p] = 99;
  for (const QString& item : set.split(' ')) {
    const QString name = item.section('=', 0, 0);
    const double v = item.section('=', 1).toDouble();
    if (name == "chlen") d.chlen = v;
    else if (name == "occflg") d.occflg = int(v);
    else if (name == "flarflg") d.flarflg = int(v);
    else if (name == "flarmod") d.flarmod = int(v);
    else if (name == "flrmgf") d.flrmgf = v != 0;
    else if (name == "flrang") d.flrang = v;
    else if (name == "iridflg") d.iridflg = int(v);
    else if (name == "moonflg") d.moonflg = int(v);
    else if (name == "cylflg") d.cylflg = v != 0;
    else if (name == "mag") sp.mag = v;
    else if (name == "sunh") sp.sunh[p] = v;
    else if (name == "moonh") sp.moonh[p] = v;
    else if (name == "ctlat") sp.ctlat[p] = v;
    else if (name == "rate") sp.rate[p] = v;
    else QFAIL(qPrintable("unknown field " + name));
  }
  const char* fmt = "";
  double v = 0;
  QCOMPARE(int(eventValueForm(d, sp, p, relative, fmt, v)), pen);
  QCOMPARE(numText(v, fmt), text);
}

void PlotTextTest::doppler() {
  const double c = 299792.458, f = 437.1e6;
  const double capped = f * std::sqrt(0.01 / 1.99) - f;  // b = 0.99
  QCOMPARE(dopplerShift(f, 0.995 * c), capped);
  QCOMPARE(dopplerShift(f, 5 * c), capped);
  QVERIFY(dopplerShift(f, 7.0) < 0);   // receding: lower
  QVERIFY(dopplerShift(f, -7.0) > 0);  // approaching: higher
  QVERIFY(dopplerShift(f, -0.995 * c) > 0);
  QVERIFY(std::fabs(dopplerShift(f, 7.0) + f * 7.0 / c) < 1.0);  // first order
  // The panel shows it as "Hz: %g".
  static WinpData d;
  static SatPosData sp;
  d.frequ = f;
  sp.rate[0] = 7.0;
  sp.ctlat[0] = 99;
  const char* fmt = "";
  double v = 0;
  eventValueForm(d, sp, 0, false, fmt, v);
  QCOMPARE(numText(v, fmt), QString::asprintf("Hz: %g", dopplerShift(f, 7.0)));
}

// A value that prints as zero prints without a sign, in the panel's numbers
// and angles; a value that does not round to zero keeps it. The pass line's
// set elevation keeps its documented "-0".
void PlotTextTest::noMinusZero() {
  struct Num { const char* fmt; double v; const char* text; };
  const Num nums[] = {
      {"%g", -0.0, "0"},
      {"ObsSun:%7.1lf", -0.04, "ObsSun:    0.0"},
      {"Elev.:%7.2lf", -0.004, "Elev.:   0.00"},
      {"Elev.:%7.2lf", -0.02, "Elev.:  -0.02"},
      {"%e", -0.0, "0.000000e+00"},
      {"%-6.1f|", -0.01, "0.0   |"},
  };
  for (const Num& n : nums) QCOMPARE(numText(n.v, n.fmt), QString::fromLatin1(n.text));
  QCOMPARE(numText(-0.0), QString("0"));
  const QString deg = QString(QChar(176));
  QCOMPARE(angleText("Lat  :", 0, 1, -0.0001), "Lat  :   0" + deg + "00");
  QCOMPARE(angleText("Lat  :", 0, 1, -0.3), "Lat  :  -0" + deg + "18");
  QCOMPARE(angleText("Dec.:", 1, -1, -0.00001), QString("Dec.:   0") + deg + "0000");
  char line[AOSSTR_SIZE];
  aosstr(mjd(20, 1, 2018, 12.0), 10.0, -0.3, line, 0);
  QVERIFY2(QString::fromLatin1(line).endsWith(", -0)"), line);
}

// The box behind a name (and the outline on the photograph) is the one of
// black and white the name's colour stands out from.
void PlotTextTest::contrast_data() {
  QTest::addColumn<QColor>("colour");
  QTest::addColumn<QColor>("box");
  const QColor black(0, 0, 0), white(255, 255, 255);
  QTest::newRow("white") << white << black;
  QTest::newRow("yellow") << QColor(255, 255, 0) << black;
  QTest::newRow("green") << QColor(0, 255, 0) << black;
  QTest::newRow("black") << black << white;
  QTest::newRow("red") << QColor(255, 0, 0) << white;
  QTest::newRow("blue") << QColor(0, 0, 255) << white;
  QTest::newRow("magenta") << QColor(255, 0, 255) << white;
}

void PlotTextTest::contrast() {
  QFETCH(QColor, colour);
  QFETCH(QColor, box);
  QCOMPARE(contrastColour(colour), box);
}

// A number wider than its column takes a shorter form that fits and still
// reads as the same value; one that fits is written as it is. The room is the
// width of a text in the font at hand: the full text itself, or a shorter
// form of the number.
void PlotTextTest::fitNumber_data() {
  QTest::addColumn<int>("size");
  QTest::addColumn<bool>("bold");
  QTest::addColumn<QString>("roomText");  // empty: the full text
  QTest::addColumn<double>("v");
  QTest::addColumn<QString>("fmt");
  QTest::addColumn<bool>("same");  // written as numText writes it
  QTest::newRow("height in reach") << 10 << false << "" << 35786.4 << "Height:%8.1lf km" << true;
  QTest::newRow("range in reach") << 10 << false << "" << 45678.9 << "Range:%8.1lf km" << true;
  QTest::newRow("range rate") << 10 << false << "" << -7.123 << "Rate:%7.3lf km/s" << true;
  QTest::newRow("azimuth, large bold") << 12 << true << "" << 359.99 << "Azim.:%7.2lf" << true;
  QTest::newRow("distant height, narrow") << 10 << false << "Height:4.3e+08 km" << 428067398.4
                                          << "Height:%8.1lf km" << false;
  QTest::newRow("distant height, large bold") << 12 << true << "Height:4.28e+08 km" << 428067398.4
                                              << "Height:%8.1lf km" << false;
  QTest::newRow("distant range, large bold") << 12 << true << "Range:4.281e+08 km" << 428067398.4
                                             << "Range:%8.1lf km" << false;
  QTest::newRow("Doppler") << 12 << true << "Hz: -1235" << -1234.56789 << "Hz: %g" << false;
}

void PlotTextTest::fitNumber() {
  QFETCH(int, size);
  QFETCH(bool, bold);
  QFETCH(QString, roomText);
  QFETCH(double, v);
  QFETCH(QString, fmt);
  QFETCH(bool, same);
  const QFontMetrics fm(QFont("Helvetica", size, bold ? QFont::Bold : QFont::Normal));
  const QByteArray f = fmt.toLatin1();
  const QString full = numText(v, f.constData());
  const int room = fm.horizontalAdvance(roomText.isEmpty() ? full : roomText);
  const QString got = ::fitNumber(fm, room, v, f.constData());
  QCOMPARE(got == full, same);
  QVERIFY2(fm.horizontalAdvance(got) <= room, qPrintable(got));
  if (same) return;
  QVERIFY2(fm.horizontalAdvance(full) > room, qPrintable(full));
  // The label and unit stay; the number between them reads as v.
  const QString label = fmt.section('%', 0, 0);
  QVERIFY2(got.startsWith(label), qPrintable(got));
  const QString rest = got.mid(label.size()).section(' ', 0, 0, QString::SectionSkipEmpty);
  bool ok = false;
  const double back = rest.toDouble(&ok);
  QVERIFY2(ok, qPrintable(got));
  QVERIFY2(std::fabs(back - v) <= 0.1 * std::fabs(v), qPrintable(got));
}

// The panel's time of a sub-second step, cut to any room in the usual and
// the large font: the seconds may lose their tenths, never keep a bare point.
void PlotTextTest::fitTimeText() {
  char text[PLOTTIME_SIZE];
  int year = 0;
  plotTimeText(mjd(12, 11, 2017, 3 + 20 / 60.0 + 18.5 / 3600), 0.0, 0.5 / 86400, text, year);
  QCOMPARE(QString::fromLatin1(text), QString("NOV 12   3:20:18.5"));
  for (int size : {10, 12}) {
    for (bool bold : {false, true}) {
      const QFontMetrics fm(QFont("Helvetica", size, bold ? QFont::Bold : QFont::Normal));
      const QString full = QString::fromLatin1(text);
      for (int room = 0; room <= fm.horizontalAdvance(full); ++room) {
        const QString got = fitText(fm, room, full);
        QVERIFY2(!got.endsWith('.'), qPrintable(QString("%1 px: %2").arg(room).arg(got)));
      }
      QCOMPARE(fitText(fm, fm.horizontalAdvance("NOV 12 3:20:18"), full), QString("NOV 12 3:20:18"));
    }
  }
  const QFontMetrics fm(QFont("Helvetica", 10));
  QCOMPARE(::fitNumber(fm, 100, 1.5, nullptr), QString());
}

// A name of more than 15 characters is shown whole where it fits; shorter
// ones keep their box of 16.
void PlotTextTest::longName() {
  const QFontMetrics fm(QFont("Helvetica", 10));
  QCOMPARE(panelName(fm, 266, "ISS (ZARYA)"), QString("ISS (ZARYA)     "));
  QCOMPARE(panelName(fm, 266, "THOR AGENA D R/B"), QString("THOR AGENA D R/B "));
  QCOMPARE(panelName(fm, 266, "ATLAS CENTAUR 2 DEB"), QString("ATLAS CENTAUR 2 DEB "));
  const QString cut = panelName(fm, 60, "THOR AGENA D R/B");
  QVERIFY(fm.horizontalAdvance(cut) <= 60);
  QVERIFY(QString("THOR AGENA D R/B").startsWith(cut));
}

QTEST_MAIN(PlotTextTest)
#include "plottext_test.moc"
