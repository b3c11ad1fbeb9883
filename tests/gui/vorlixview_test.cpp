// The view's text page: cell lines, the tab grid, the degree sign, a full
// page at the largest font, the text/plot switch, scrolling and the small
// accessors. Positions come from the font's metrics, never fixed pixels.
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {

void setPage(const QList<QByteArray>& lines, bool marked) {
  outdata->nlines = lines.size();
  for (int k = 0; k < lines.size(); ++k) setPageLine(k, lines[k], marked);
}

QFont pageFont(int points) { return QFont(QStringLiteral("helvetica"), points); }

bool ink(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 160; }

// Leftmost and rightmost inked column in rows [y0, y1) (-1 when none).
QPair<int, int> inkColumns(const QImage& img, int y0, int y1, int x0 = 0, int x1 = -1) {
  if (x1 < 0) x1 = img.width();
  int first = -1, last = -1;
  for (int x = x0; x < x1; ++x)
    for (int y = qMax(0, y0); y < qMin(y1, img.height()); ++y)
      if (ink(img, x, y)) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

class TextPageTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void emptyPageIsWhiteAndGoesHome();
  void cellLineDrawsEachCharacterInItsCell_data();
  void cellLineDrawsEachCharacterInItsCell();
  void withoutCellsTheLineIsProportional();
  void tabsPutTextOnTheEmGrid();
  void degreeSignIsDrawnAsSuch();
  void fullPageAtTwelvePointsFits();
  void fullMarkedLineStopsAtItsEnd();
  void textPlotSwitch_data();
  void textPlotSwitch();
  void paintShowsThePixmapOfTheState();
  void passListAnswersAfterAPlot_data();
  void passListAnswersAfterAPlot();
  void keyPress_data();
  void keyPress();
  void tleName_data();
  void tleName();
  void quitReportsAFailedWrite();
  void fileNameAsTheFileSystemSpellsIt_data();
  void fileNameAsTheFileSystemSpellsIt();

 private:
  WindowFixture* fx = nullptr;
  QScrollArea* area = nullptr;
  VorlixView* view = nullptr;
};

void TextPageTest::init() {
  fx = new WindowFixture;
  fx->writeStandard();
  WindowFixture::zeroRecords();
  area = new QScrollArea;
  view = new VorlixView;
  area->setWidget(view);
  area->resize(600, 400);
}

void TextPageTest::cleanup() {
  delete area;
  delete fx;
}

void TextPageTest::emptyPageIsWhiteAndGoesHome() {
  area->verticalScrollBar()->setValue(100);
  outdata->nlines = 0;
  view->showtxt(true);
  const QImage img = view->textPixmap().toImage();
  QCOMPARE(inkColumns(img, 0, img.height()).first, -1);
  QCOMPARE(area->verticalScrollBar()->value(), 0);
  QCOMPARE(indata->dspst, 0);
  QCOMPARE(view->dsplmd, 1);
}

void TextPageTest::cellLineDrawsEachCharacterInItsCell_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<char>("letter");
  for (int j : {0, 1, 7, 30, 75}) {
    QTest::newRow(qPrintable(QString("M at %1").arg(j))) << j << 'M';
    QTest::newRow(qPrintable(QString("i at %1").arg(j))) << j << 'i';
  }
}

void TextPageTest::cellLineDrawsEachCharacterInItsCell() {
  QFETCH(int, column);
  QFETCH(char, letter);
  QByteArray line(column, ' ');
  line += letter;
  setPage({"header", line}, true);
  view->showtxt(true);
  const QFontMetrics fm(pageFont(10));
  const int em = fm.horizontalAdvance('M'), asc = fm.ascent();
  const QImage img = view->textPixmap().toImage();
  const auto cols = inkColumns(img, asc + 1, 2 * asc + fm.descent());
  QVERIFY2(cols.first >= 10 + column * em - 1 && cols.first < 10 + (column + 1) * em,
           qPrintable(QString("ink at %1, cell from %2").arg(cols.first).arg(10 + column * em)));
  QVERIFY(cols.second < 10 + (column + 1) * em + 1);
}

void TextPageTest::withoutCellsTheLineIsProportional() {
  const QByteArray line = QByteArray(20, 'i') + 'W';
  setPage({line}, true);
  const QFontMetrics fm(pageFont(10));
  const int em = fm.horizontalAdvance('M'), asc = fm.ascent();
  view->showtxt(true);
  const int withCells = inkColumns(view->textPixmap().toImage(), 0, asc + fm.descent()).second;
  view->showtxt(false);
  const int without = inkColumns(view->textPixmap().toImage(), 0, asc + fm.descent()).second;
  QVERIFY(withCells >= 10 + 20 * em);
  QVERIFY(without < 10 + 20 * fm.horizontalAdvance('i') + 2 * em);
  QVERIFY(without < withCells - 5 * em);
}

void TextPageTest::tabsPutTextOnTheEmGrid() {
  const QFontMetrics fm(pageFont(10));
  const int em = fm.horizontalAdvance('M'), asc = fm.ascent(), h = asc + fm.descent();
  setPage({"\tAB", "AB", "iii\tW"}, false);
  view->showtxt(false);
  const QImage img = view->textPixmap().toImage();
  // A tab as the first character: the text starts at the margin.
  QCOMPARE(inkColumns(img, 0, h).first, inkColumns(img, asc, asc + h).first);
  // A tab at index 3 puts what follows at the grid column of the tab.
  const int w = inkColumns(img, 2 * asc, 2 * asc + h, 10 + 3 * fm.horizontalAdvance('i')).first;
  QVERIFY2(w >= 10 + 3 * em - 1 && w < 10 + 4 * em, qPrintable(QString::number(w)));
}

void TextPageTest::degreeSignIsDrawnAsSuch() {
  setPage({"\xb0"}, false);
  view->showtxt(false);
  const QFont f = pageFont(10);
  const QFontMetrics fm(f);
  const QRect band(0, 0, 10 + 4 * fm.horizontalAdvance('M'), fm.ascent() + fm.descent());
  const QImage got = view->textPixmap().toImage().copy(band);
  // The same sign drawn from its Unicode code point.
  QImage want(got.size(), QImage::Format_RGB32);
  want.fill(Qt::white);
  QPainter p(&want);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(10, fm.ascent(), QString(QChar(0xb0)));
  p.end();
  const auto g = inkColumns(got, 0, got.height()), r = inkColumns(want, 0, want.height());
  QVERIFY(g.first >= 0);
  QCOMPARE(g, r);
  // Not the replacement character, which is much wider.
  QVERIFY(g.second - g.first < fm.horizontalAdvance(QChar(0xfffd)) - 2);
}

void TextPageTest::fullPageAtTwelvePointsFits() {
  QList<QByteArray> page;
  for (int k = 0; k < WOUT_NLINES; ++k) page << QByteArray(76, 'W');
  setPage(page, true);
  view->setFontSize(12);
  view->showtxt(true);
  const QFontMetrics fm(pageFont(12));
  const int em = fm.horizontalAdvance('M'), asc = fm.ascent();
  const QImage img = view->textPixmap().toImage();
  QVERIFY(img.height() >= WOUT_NLINES * asc + fm.descent());
  QVERIFY(img.width() >= 10 + 76 * em);
  // The last line's ink, and its last cell, are on the page.
  const auto last = inkColumns(img, 159 * asc + 1, 160 * asc);
  QVERIFY(last.first >= 0);
  QVERIFY(last.second >= 10 + 75 * em);
  QCOMPARE(view->size(), view->textPixmap().size());
}

void TextPageTest::fullMarkedLineStopsAtItsEnd() {
  // 76 characters and the mark: no terminator; the next line's text must not
  // be read as part of it.
  setPage({QByteArray(76, 'M'), "ZZZZZZZZZZ"}, true);
  outdata->nlines = 1;
  view->showtxt(true);
  const QFontMetrics fm(pageFont(10));
  const int em = fm.horizontalAdvance('M');
  const QImage img = view->textPixmap().toImage();
  const auto cols = inkColumns(img, 0, fm.ascent() + fm.descent());
  QVERIFY(cols.second >= 10 + 75 * em);
  QVERIFY(cols.second < 10 + 76 * em);
}

void TextPageTest::textPlotSwitch_data() {
  // page: what the text pixmap holds; dspst: the state switched from (a
  // plot is drawn first when it is 1).
  QTest::addColumn<QString>("page");
  QTest::addColumn<int>("dspst");
  QTest::addColumn<bool>("picture");
  QTest::addColumn<int>("after");
  QTest::addColumn<QString>("shown");
  QTest::newRow("text to plot") << "text" << 0 << false << 1 << "plot";
  QTest::newRow("pass list to plot") << "pass list" << -1 << false << 1 << "plot";
  QTest::newRow("plot to text") << "text" << 1 << false << 0 << "text";
  QTest::newRow("plot to pass list") << "pass list" << 1 << false << -1 << "text";
  QTest::newRow("text to picture") << "text" << 0 << true << 1 << "picture";
}

void TextPageTest::textPlotSwitch() {
  QFETCH(QString, page);
  QFETCH(int, dspst);
  QFETCH(bool, picture);
  QFETCH(int, after);
  QFETCH(QString, shown);
  view->pmpicw = QPixmap(300, 200);
  setPage({"  header", ". pass"}, true);
  if (page == "text")
    view->showtxt(true);
  else
    view->showSattxt();
  if (dspst == 1) view->vRefresh();
  QCOMPARE(indata->dspst, dspst);
  indata->picmd = picture;
  view->vText();
  QCOMPARE(indata->dspst, after);
  const QSize want = shown == "plot"  ? view->pmplot.size()
                     : shown == "text" ? view->textPixmap().size()
                                       : view->pmpicw.size();
  QCOMPARE(view->size(), want);
  view->vText();  // and back
  QCOMPARE(indata->dspst, dspst);
}

void TextPageTest::paintShowsThePixmapOfTheState() {
  view->pmplot.fill(QColor(0, 50, 200));
  indata->dspst = 0;
  QCOMPARE(view->grab().toImage().pixel(2, 2), qRgb(255, 255, 255));
  view->vText();
  QCOMPARE(view->grab().toImage().pixel(2, 2), qRgb(0, 50, 200));
}

// A pass list, a plot that redraws the map, X back to the list: a click on a
// pass line opens that pass's details as it did before the plot.
void TextPageTest::passListAnswersAfterAPlot_data() {
  QTest::addColumn<QList<int>>("keys");
  QTest::addColumn<QList<int>>("states");  // dspst after each key
  QTest::newRow("next pass") << QList<int>{Qt::Key_PageDown, Qt::Key_X} << QList<int>{1, -1};
  QTest::newRow("map refreshed") << QList<int>{Qt::Key_X, Qt::Key_Delete, Qt::Key_X}
                                 << QList<int>{1, 1, -1};
}

void TextPageTest::passListAnswersAfterAPlot() {
  QFETCH(QList<int>, keys);
  QFETCH(QList<int>, states);
  ScriptedPrompter sp;
  std::unique_ptr<VorlixApp> win = fx->start();
  WindowFixture::usePassDay();
  VorlixView* v = win->viewWidget();
  QTest::keyClick(win.get(), Qt::Key_A);
  QVERIFY(indata->npass >= 2);
  for (int k = 0; k < keys.size(); ++k) {
    QTest::keyClick(win.get(), Qt::Key(keys[k]));
    QCOMPARE(indata->dspst, states[k]);
  }
  QList<int> opened;
  sp.onExec([&](QDialog& d) {
    if (d.objectName() == "StPassDialog") opened << indata->ipass;
    return int(QDialog::Accepted);
  });
  QTest::mouseClick(v, Qt::RightButton, Qt::NoModifier, QPoint(40, v->epos[1] + 3));
  QCOMPARE(opened, QList<int>{1});
}

void TextPageTest::keyPress_data() {
  QTest::addColumn<int>("satnr");
  QTest::addColumn<int>("prs");
  QTest::addColumn<int>("n");
  QTest::addColumn<int>("after");
  QTest::newRow("second of three") << 3 << 0 << 2 << 1;
  QTest::newRow("fifth of three: unchanged") << 3 << 1 << 5 << 1;
  QTest::newRow("zero: the first") << 3 << 2 << 0 << 0;
  QTest::newRow("tenth of ten") << 10 << 0 << 10 << 9;
  QTest::newRow("none selected") << 0 << 0 << 1 << 0;
}

void TextPageTest::keyPress() {
  QFETCH(int, satnr);
  QFETCH(int, prs);
  QFETCH(int, n);
  QFETCH(int, after);
  indata->satnr = satnr;
  indata->prs = prs;
  view->keyPress(n);
  QCOMPARE(indata->prs, after);
}

void TextPageTest::tleName_data() {
  QTest::addColumn<QByteArray>("tlenm");
  QTest::addColumn<QString>("name");
  QTest::newRow("empty") << QByteArray() << QString();
  QTest::newRow("unusable") << QByteArray("*") << QString();
  QTest::newRow("star name") << QByteArray("*visual.txt") << QString();
  QTest::newRow("path") << QByteArray("/a/b.txt") << "/a/b.txt";
  QTest::newRow("UTF-8 path") << QByteArray("/d/\xc3\xa9t\xc3\xa9.tle") << QString::fromUtf8("/d/\xc3\xa9t\xc3\xa9.tle");
}

void TextPageTest::tleName() {
  QFETCH(QByteArray, tlenm);
  QFETCH(QString, name);
  qstrncpy(indata->tlenm, tlenm.constData(), FILENAME_SIZE);
  QCOMPARE(view->getTLEname(), name);
}

void TextPageTest::quitReportsAFailedWrite() {
  fx->writeFile("plain", "a file");
  VorlixView bad(nullptr, "plain/vorlix.cfg");
  QVERIFY(bad.vQuit() != 0);
  QCOMPARE(view->vQuit(), 0);
  QVERIFY(QFile::exists(fx->path("vorlix.cfg")));
}

// The TLE file's name on the welcome page reads and looks as the file system
// spells it: Latin-1 letters as the page draws any text, other letters as
// the font draws them, a comma as a comma.
void TextPageTest::fileNameAsTheFileSystemSpellsIt_data() {
  QTest::addColumn<QString>("folder");
  QTest::newRow("umlaut") << QString::fromUtf8("Mein Ordner \xc3\xbcmlaut");
  QTest::newRow("beyond Latin-1") << QString::fromUtf8("\xd0\x9f\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0");
  QTest::newRow("comma") << QString("orbits,2009");
}

void TextPageTest::fileNameAsTheFileSystemSpellsIt() {
  QFETCH(QString, folder);
  QVERIFY(QDir(fx->appDir()).mkdir(folder));
  const QString tle = folder + "/welcome.tle";
  fx->copyData("welcome/welcome.tle", tle);
  fx->writeConfig(tle);
  delete area;
  WindowFixture::zeroRecords();
  area = new QScrollArea;
  view = new VorlixView;
  area->setWidget(view);

  int k = 0;
  while (k < outdata->nlines && qstrcmp(outdata->lines[k], "Name of the Orbit Element File:") != 0)
    ++k;
  ++k;
  QVERIFY(k < outdata->nlines);
  QCOMPARE(PageLineToQs(outdata, k), tle);

  QFont f = pageFont(10);
  f.setKerning(false);
  const QFontMetrics fm(f);
  const int asc = fm.ascent();
  // The line's own band, clear of the lines above and below.
  const QRect band(0, k * asc + fm.descent(), view->textPixmap().width(), asc);
  const QImage got = view->textPixmap().toImage().copy(band);
  // The same name on an otherwise empty page: as Latin-1 page text where it
  // can be, else drawn from its Unicode letters.
  QList<QByteArray> lines;
  for (int j = 0; j < k; ++j) lines << QByteArray();
  const QByteArray latin = tle.toLatin1();
  const bool inLatin1 = QString::fromLatin1(latin) == tle;
  lines << (inLatin1 ? latin : QByteArray());
  setPage(lines, false);
  view->showtxt(false);
  QImage want = view->textPixmap().toImage();
  if (!inLatin1) {
    QPainter p(&want);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(10, (k + 1) * asc), tle);
  }
  QVERIFY(inkColumns(got, 0, got.height()).first >= 0);
  QVERIFY(got == want.copy(band));
}

QTEST_MAIN(TextPageTest)
#include "vorlixview_test.moc"
