// The pass list on the text page: where its pass lines lie, which pass a
// click opens, the pass-details viewer and its Save and G-Track buttons.
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>
#include <QtTest>

#include "astro/astrolib.h"
#include "dialogs/stpassdialog.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"
#include "support/files.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {

int ascent() { return QFontMetrics(QFont(QStringLiteral("helvetica"), indata->fsz)).ascent(); }


QByteArray readAll(const QString& path) {
  return QByteArray::fromStdString(readFile(QFile::encodeName(path).toStdString()));
}

}  // namespace

class PassListTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void passLinesAndTheirRows();
  void clickOpensThePassOfItsRow_data();
  void clickOpensThePassOfItsRow();
  void onlyListedRowsOfTheShownListCount();
  void mouseButtons();
  void detailsOfAnIridiumListAreThoseOfAPass();
  void viewerShowsTheEngineListing();
  void saveAppendsAndStartsAnew();
  void saveReportsAnUnwritableFile();
  void saveBoxNamesTheFileAsItIs();
  void failedAppendLeavesTheFileAsItWas();
  void saveNeverWritesTheElementFile_data();
  void saveNeverWritesTheElementFile();
  void savingAnotherListKeepsTheShownOne();
  void saveWithoutAListedStepSaysWhatItHolds_data();
  void saveWithoutAListedStepSaysWhatItHolds();
  void linesOpenOnlyTheListedSatellitesPasses();

 private:
  WindowFixture* fx = nullptr;
  ScriptedPrompter* sp = nullptr;
  QScrollArea* area = nullptr;
  VorlixView* view = nullptr;
  QList<int> opened;     // ipass of each viewer run
  QList<int> kinds;      // iridflg while the viewer ran
};

void PassListTest::init() {
  fx = new WindowFixture;
  fx->writeStandard();
  sp = new ScriptedPrompter;
  WindowFixture::zeroRecords();
  area = new QScrollArea;
  view = new VorlixView;
  area->setWidget(view);
  opened.clear();
  kinds.clear();
}

void PassListTest::cleanup() {
  delete area;
  delete sp;
  delete fx;
}

void PassListTest::passLinesAndTheirRows() {
  // Header and blank lines begin with a blank, an empty line with NUL; the
  // others are pass lines (the first 120 of them can be clicked).
  outdata->nlines = 0;
  setPageLine(0, "  Pass list header", true);
  setPageLine(1, "", false);
  setPageLine(2, " ", false);
  for (int k = 3; k < 3 + 125; ++k) setPageLine(k, ". pass " + QByteArray::number(k), true);
  outdata->nlines = 128;
  view->showSattxt();
  QCOMPARE(indata->dspst, -1);
  QCOMPARE(view->dsplmd, 2);
  QCOMPARE(view->passLinesDrawn(), 120);
  const int a = ascent();
  QCOMPARE(view->epos[0], 3 * a - 2);
  QCOMPARE(view->epos[119], 122 * a - 2);
}

void PassListTest::clickOpensThePassOfItsRow_data() {
  QTest::addColumn<int>("npass");
  QTest::addColumn<int>("row");     // in line pitches from the top
  QTest::addColumn<int>("opens");  // -1: nothing
  QTest::newRow("above the first pass line") << 3 << 1 << -1;
  QTest::newRow("first pass line") << 3 << 2 << 0;
  QTest::newRow("between lines") << 3 << 4 << 2;
  QTest::newRow("below the last opens the last") << 3 << 40 << 2;
  QTest::newRow("no passes") << 0 << 3 << -1;
}

void PassListTest::clickOpensThePassOfItsRow() {
  QFETCH(int, npass);
  QFETCH(int, row);
  QFETCH(int, opens);
  setPageLine(0, "  header", true);
  setPageLine(1, "  columns", true);
  for (int k = 2; k < 5; ++k) setPageLine(k, ". pass", true);
  outdata->nlines = 5;
  view->showSattxt();
  indata->npass = npass;
  sp->onExec([&](QDialog&) {
    opened << indata->ipass;
    return int(QDialog::Accepted);
  });
  view->showPassDetails(row * ascent() + ascent() / 2);
  QCOMPARE(opened, opens < 0 ? QList<int>() : QList<int>{opens});
}

void PassListTest::onlyListedRowsOfTheShownListCount() {
  // A save ran a longer list into the record without drawing it: a click on
  // the shown list never opens a pass beyond the shown lines.
  setPageLine(0, "  header", true);
  for (int k = 1; k < 4; ++k) setPageLine(k, ". pass", true);
  outdata->nlines = 4;
  view->showSattxt();
  indata->npass = 50;
  sp->onExec([&](QDialog&) {
    opened << indata->ipass;
    return int(QDialog::Accepted);
  });
  view->showPassDetails(30 * ascent());
  QCOMPARE(opened, QList<int>{2});
}

void PassListTest::mouseButtons() {
  setPageLine(0, "  header", true);
  setPageLine(1, ". pass", true);
  outdata->nlines = 2;
  view->showSattxt();
  indata->npass = 1;
  for (int k = 0; k < 3; ++k)
    sp->onExec([&](QDialog&) {
      opened << indata->ipass;
      return int(QDialog::Accepted);
    });
  const QPoint at(40, ascent() + ascent() / 2);
  QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, at);
  QCOMPARE(opened.size(), 1);
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
  QCOMPARE(opened.size(), 1);  // left button off
  view->vLeft(true);
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
  QCOMPARE(opened.size(), 2);
}

void PassListTest::detailsOfAnIridiumListAreThoseOfAPass() {
  setPageLine(0, ". flare", true);
  outdata->nlines = 1;
  view->showSattxt();
  indata->npass = 1;
  indata->iridflg = 3;
  sp->onExec([&](QDialog&) {
    kinds << indata->iridflg;
    return int(QDialog::Accepted);
  });
  view->showPassDetails(ascent());
  QCOMPARE(kinds, QList<int>{0});
  QCOMPARE(indata->iridflg, 3);
}

void PassListTest::viewerShowsTheEngineListing() {
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  view->showSattxt();
  QVERIFY(indata->npass >= 3);
  QCOMPARE(view->passLinesDrawn(), indata->npass);
  QString shown;
  int cursor = -1;
  sp->onExec([&](QDialog& d) {
    auto* t = d.findChild<QTextEdit*>("passEdit");
    shown = t->toPlainText();
    cursor = t->textCursor().position();
    return int(QDialog::Accepted);
  });
  view->showPassDetails(view->epos[1] + 3);
  QCOMPARE(indata->ipass, 1);
  // The engine's own chunks of the same pass, and the pole.
  QByteArray want;
  char text[PASSDTXT_SIZE];
  double t = 0.0;
  for (int k = 0; k < 6250 && GetPassDTxt(indata, t, text, 0) != 0; ++k) want += text;
  char pole[POLETXT_SIZE];
  GetPoleTxt(indata, pole);
  want += pole;
  QVERIFY(want.size() > 300);
  QCOMPARE(shown, QString::fromLatin1(want));
  QCOMPARE(cursor, 0);
}

void PassListTest::saveAppendsAndStartsAnew() {
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  indata->ipass = 0;
  qstrncpy(indata->savnm, "*passes.txt", FILENAME_SIZE);
  indata->svnew = 1;
  fx->writeFile("passes.txt", "old content\n");
  QCOMPARE(vsSavePassDt(1), 0);
  const QByteArray one = readAll(fx->path("passes.txt"));
  QVERIFY(!one.contains("old content"));
  QVERIFY(one.size() > 200);
  QCOMPARE(indata->svnew, 0);
  QCOMPARE(QByteArray(indata->savnm), QFile::encodeName(fx->path("passes.txt")));
  QCOMPARE(vsSavePassDt(1), 0);
  QCOMPARE(readAll(fx->path("passes.txt")), one + one);
  QCOMPARE(vsSavePassDt(2), 0);  // ground track appended
  QVERIFY(readAll(fx->path("passes.txt")).size() > 2 * one.size());
  QCOMPARE(sp->of("inform").size(), 3);
  QCOMPARE(sp->of("inform")[0].text, "Saved on File " + fx->path("passes.txt"));
  indata->svnew = 1;
  QCOMPARE(vsSavePassDt(1), 0);
  QCOMPARE(readAll(fx->path("passes.txt")), one);
}

void PassListTest::saveReportsAnUnwritableFile() {
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  indata->ipass = 0;
  fx->writeFile("plain", "a file, not a directory");
  for (int fresh : {1, 0}) {
    qstrncpy(indata->savnm, QFile::encodeName(fx->path("plain/satsave.txt")).constData(),
             FILENAME_SIZE);
    indata->svnew = fresh;
    sp->boxes.clear();
    QVERIFY(vsSavePassDt(1) != 0);
    QCOMPARE(sp->boxes.size(), 1);
    QVERIFY(sp->boxes[0].text.startsWith("*** Problems with the output file"));
    QCOMPARE(indata->svnew, fresh);  // a new file is still to be started
  }
}

// A name holding "%2" is shown as it is, not as a place for the reason.
void PassListTest::saveBoxNamesTheFileAsItIs() {
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  indata->ipass = 0;
  fx->writeFile("plain%2", "a file, not a directory");
  const QString name = fx->path("plain%2/satsave.txt");
  qstrncpy(indata->savnm, QFile::encodeName(name).constData(), FILENAME_SIZE);
  indata->svnew = 1;
  QVERIFY(vsSavePassDt(1) != 0);
  const QString why = vsSaveFileReason();
  QVERIFY(!why.isEmpty());
  QCOMPARE(sp->boxes.last().text, "*** Problems with the output file\n" + name + "\n" + why);
}

// A disk that fills up half way through an appended block: the file keeps its
// old content, without a block cut mid-line.
void PassListTest::failedAppendLeavesTheFileAsItWas() {
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  indata->ipass = 0;
  qstrncpy(indata->savnm, QFile::encodeName(fx->path("passes.txt")).constData(), FILENAME_SIZE);
  indata->svnew = 1;
  QCOMPARE(vsSavePassDt(1), 0);
  const QByteArray one = readAll(fx->path("passes.txt"));
  QVERIFY(one.size() > 200);
  {
    support::FileSizeLimit full(static_cast<rlim_t>(one.size() + 100));
    QVERIFY(full.ok());
    QVERIFY(vsSavePassDt(1) != 0);
  }
  QVERIFY(sp->boxes.last().text.startsWith("*** Problems with the output file"));
  QCOMPARE(readAll(fx->path("passes.txt")), one);
  QCOMPARE(indata->svnew, 0);
}

void PassListTest::saveNeverWritesTheElementFile_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("fresh");  // svnew
  QTest::newRow("Save, new file") << "saveButton" << 1;
  QTest::newRow("Save, appended") << "saveButton" << 0;
  QTest::newRow("G-Track, new file") << "gtrackButton" << 1;
  QTest::newRow("G-Track, appended") << "gtrackButton" << 0;
}

// The save file set to the element file (by another name): the buttons of
// the pass details leave the element file as it was and say so.
void PassListTest::saveNeverWritesTheElementFile() {
  QFETCH(QString, button);
  QFETCH(int, fresh);
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  view->showSattxt();
  QVERIFY(indata->npass >= 2);
  const QString tle = QFileInfo(FileNameToQs(indata->tlenm)).absoluteFilePath();
  const QByteArray before = readAll(tle);
  QVERIFY(before.contains("ISS"));
  qstrncpy(indata->savnm, QFile::encodeName(fx->appDir() + "/./" + QFileInfo(tle).fileName()),
           FILENAME_SIZE);
  indata->svnew = fresh;
  bool clicked = false;
  sp->onExec([&](QDialog& d) {
    auto* b = d.findChild<QPushButton*>(button);
    if (b) {
      b->click();
      clicked = true;
    }
    return int(QDialog::Accepted);
  });
  view->showPassDetails(view->epos[1] + 3);
  QVERIFY(clicked);
  QCOMPARE(readAll(tle), before);
  QCOMPARE(sp->of("inform").size(), 1);
  QCOMPARE(sp->of("inform")[0].title, QString("Pass Details"));
  QVERIFY(sp->of("inform")[0].text.startsWith("*** Problems with the output file\n"));
  QCOMPARE(indata->svnew, fresh);
  QCOMPARE(QDir(fx->appDir()).entryList(QDir::Files | QDir::NoDotAndDotDot),
           QStringList({"vorlix.cfg", "welcome.tle"}));
}

void PassListTest::savingAnotherListKeepsTheShownOne() {
  // A one-day list on screen; File > Save then lists two days into the save
  // file without showing them. A click on the shown list opens a pass of the
  // shown list.
  auto w = fx->start();
  WindowFixture::usePassDay();
  w->slotCalcAOS();
  QCOMPARE(indata->dspst, -1);
  const int shown = indata->npass;
  QVERIFY(shown >= 3);
  QVector<double> times(indata->pastm, indata->pastm + shown);
  indata->dur = 2.0;
  qstrncpy(indata->savnm, "*two-days.txt", FILENAME_SIZE);
  indata->svnew = 1;
  w->slotFileSave();
  QVERIFY(readAll(fx->path("two-days.txt")).size() > 0);
  QCOMPARE(indata->npass, shown);
  QCOMPARE(QVector<double>(indata->pastm, indata->pastm + shown), times);
  double opened = 0.0;
  sp->onExec([&](QDialog&) {
    opened = indata->pastm[indata->ipass];
    return int(QDialog::Accepted);
  });
  w->viewWidget()->showPassDetails(100000);
  QCOMPARE(indata->ipass, shown - 1);
  QCOMPARE(opened, times.last());
}

void PassListTest::saveWithoutAListedStepSaysWhatItHolds_data() {
  // Why no step has numbers: "position" (the satellite has none), "observer"
  // (relative mode, the observing satellite has none) or "conditions" (the
  // satellite is below the minimum elevation).
  QTest::addColumn<QString>("why");
  QTest::addColumn<int>("mode");
  for (const char* why : {"position", "observer", "conditions"})
    for (int mode : {1, 2})
      QTest::addRow("%s, %s", why, mode == 1 ? "Save" : "G-Track") << QString(why) << mode;
}

// A listing without a single step of numbers is saved as it is, without a
// pole, and the box says what the file holds instead of "Saved on File".
void PassListTest::saveWithoutAListedStepSaysWhatItHolds() {
  QFETCH(QString, why);
  QFETCH(int, mode);
  WindowFixture::usePassDay();
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  indata->ipass = 0;
  QString line;  // the listing's line, after its time
  QString heading = "ISS";
  QString box;   // %1 the file
  if (why == "position") {
    // The 2009 elements of the ISS give no position in 2026.
    indata->pastm[0] = mjd(1, 6, 2026, 0.0);
    line = "*** No Position ***";
    box = "*** No position at the first step of the pass ***\nFile %1 holds only its heading "
          "and that time, marked \"*** No Position ***\".";
  } else if (why == "observer") {
    // The ISS seen from the HST, which strong drag has brought down a month
    // on; the ISS itself still has a position.
    indata->bstar[1] = 0.5;
    indata->sgpsat = SGPSAT_NONE;
    indata->rlm = 1;
    indata->pastm[0] += 30.0;
    QCOMPARE(GetSatPos(indata->pastm[0], indata, satps, 0, 0), int(SATPOS_NOOBSERVER));
    heading = "ISS (ZARYA)\nHST";
    line = "*** Observing Sat.: No Position ***";
    box = "*** The observing satellite has no position at the first step of the pass ***\n"
          "File %1 holds only its heading and that time, marked \"*** Observing Sat.: No "
          "Position ***\".";
  } else {
    indata->satel = 89.0;
    box = "*** The satellite does not meet the conditions at the first step of the pass "
          "***\nFile %1 holds only the heading of the pass.";
  }
  // The viewer: no pole, and never blank.
  view->showSattxt();
  QString shown;
  sp->onExec([&](QDialog& d) {
    shown = d.findChild<QTextEdit*>("passEdit")->toPlainText();
    return int(QDialog::Accepted);
  });
  view->showPassDetails(view->epos[0] + 3);
  QCOMPARE(indata->ipass, 0);
  if (!line.isEmpty())
    QVERIFY2(shown.startsWith(heading) && shown.endsWith("   " + line + "\n\n"), qPrintable(shown));
  else
    QCOMPARE(shown, QString("*** The satellite does not meet the conditions at the first step of "
                            "the pass ***"));
  sp->boxes.clear();
  qstrncpy(indata->savnm, "*passes.txt", FILENAME_SIZE);
  indata->svnew = 1;
  QCOMPARE(vsSavePassDt(mode), 0);
  const QString name = fx->path("passes.txt");
  const QByteArray file = readAll(name);
  QVERIFY2(file.startsWith("\n\n\n" + heading.toLatin1()), file.constData());
  QCOMPARE(file.contains("No Position"), !line.isEmpty());
  if (!line.isEmpty()) QVERIFY2(file.endsWith("   " + line.toLatin1() + "\n"), file.constData());
  QVERIFY(!file.contains("Apparent Pole"));
  QCOMPARE(sp->of("inform").size(), 1);
  QCOMPARE(sp->of("inform")[0].title, QString("Vorlix"));
  QCOMPARE(sp->of("inform")[0].text, box.arg(name));
}

// A list made for one satellite; a digit key then makes another one prime.
// A line opens the pass of the satellite the list was made for (Save too),
// in whichever slot it is; once it is no longer selected, the lines open
// nothing and say why.
void PassListTest::linesOpenOnlyTheListedSatellitesPasses() {
  WindowFixture::usePassDay();
  QVERIFY(indata->satnr >= 3);
  QCOMPARE(aospass(indata, outdata), AOS_DONE);
  view->showSattxt();
  QVERIFY(indata->npass >= 2);
  const QString listed = QString::fromLatin1(indata->satname[0]);
  view->keyPress(2);
  QCOMPARE(indata->prs, 1);
  QVERIFY(QString::fromLatin1(indata->satname[1]) != listed);
  qstrncpy(indata->savnm, "*passes.txt", FILENAME_SIZE);
  indata->svnew = 1;
  QString shown;
  int prime = -1;
  sp->onExec([&](QDialog& d) {
    shown = d.findChild<QTextEdit*>("passEdit")->toPlainText();
    prime = indata->prs;
    d.findChild<QPushButton*>("saveButton")->click();
    return int(QDialog::Accepted);
  });
  view->showPassDetails(view->epos[1] + 3);
  QCOMPARE(prime, 0);
  QVERIFY2(shown.startsWith(listed + "\n"), qPrintable(shown.left(40)));
  QVERIFY(readAll(fx->path("passes.txt")).startsWith("\n\n\n" + listed.toLatin1() + "\n"));
  QCOMPARE(indata->prs, 1);

  // A removal moved it to the second slot: still its passes.
  ShiftElm(indata, 1, 0);
  ShiftElm(indata, 0, 2);
  sp->onExec([&](QDialog& d) {
    shown = d.findChild<QTextEdit*>("passEdit")->toPlainText();
    prime = indata->prs;
    return int(QDialog::Accepted);
  });
  view->showPassDetails(view->epos[1] + 3);
  QCOMPARE(prime, 1);
  QVERIFY(shown.startsWith(listed + "\n"));

  // No slot holds it any more, as after a new selection.
  ShiftElm(indata, 1, 2);
  sp->boxes.clear();
  view->showPassDetails(view->epos[1] + 3);
  QVERIFY(sp->of("exec").isEmpty());
  QCOMPARE(sp->of("inform").size(), 1);
  QCOMPARE(sp->of("inform")[0].text,
           "*** This pass list is of " + listed +
               ", which is no longer selected: list its passes again ***");
  QCOMPARE(indata->prs, 1);
}

QTEST_MAIN(PassListTest)
#include "passlist_test.moc"
