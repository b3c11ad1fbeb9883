// Selection dialog over a small TLE file: Find by name, number (Alpha-5 too)
// and designator with the filters, More, Select, New Set, Enter in the name
// field, the eleventh satellite and the search-mode boxes.
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "dialogs/stselsatdialog.h"
#include "gui/records.h"
#include "gui/vsservices.h"
#include "support/shots.h"
#include "support/textcolumns.h"

class StSelSatDialogTest : public QObject {
  Q_OBJECT

  template <class T>
  static T* child(StSelSatDialog& d, const char* name) {
    T* w = d.findChild<T*>(name);
    if (!w) qFatal("no child %s", name);
    return w;
  }
  static QString info(StSelSatDialog& d) { return child<QTextEdit>(d, "satinfEdit")->toPlainText(); }
  static bool shown(StSelSatDialog& d, const char* name) { return !child<QPushButton>(d, name)->isHidden(); }
  static void click(StSelSatDialog& d, const char* name) {
    QTest::mouseClick(child<QPushButton>(d, name), Qt::LeftButton);
  }
  static void find(StSelSatDialog& d, const QString& text) {
    child<QLineEdit>(d, "satnameEdit")->setText(text);
    click(d, "findButton");
  }

 private slots:
  void init() {
    std::memset(indata, 0, sizeof *indata);
    indata->sdp4 = true;
    indata->sgpsat = SGPSAT_NONE;
    indata->curmjd = 58140.0;  // 2018-01-22, a day after the element epochs
    const char* path = VORLIX_TEST_DATA "/gui/select.tle";
    std::snprintf(indata->tlenm, FILENAME_SIZE, "%s", path);
    satfle = std::fopen(path, "r");
    QVERIFY(satfle);
  }
  void cleanup() {
    if (satfle) std::fclose(satfle);
    satfle = nullptr;
  }

  void findByNameAndMore() {
    StSelSatDialog dlg;
    dlg.setParams();
    QVERIFY(!shown(dlg, "moreButton"));
    QVERIFY(!shown(dlg, "selectButton"));
    QVERIFY(!shown(dlg, "newButton"));  // nothing selected yet
    find(dlg, "flock");
    QVERIFY(info(dlg).startsWith("FLOCK 2P-1\n"));
    shot(&dlg, "selsat-find.png");
    QVERIFY(shown(dlg, "moreButton"));
    QVERIFY(shown(dlg, "selectButton"));
    click(dlg, "moreButton");
    QVERIFY(info(dlg).startsWith("FLOCK 2E-2\n"));
    QVERIFY(!shown(dlg, "moreButton"));
    QVERIFY(shown(dlg, "selectButton"));
    QCOMPARE(child<QLineEdit>(dlg, "noradEdit")->text(), QString("41484"));
    find(dlg, "NOSUCH");
    QVERIFY(info(dlg).contains("No match found for NOSUCH"));
    QVERIFY(!shown(dlg, "moreButton"));
    QVERIFY(!shown(dlg, "selectButton"));
  }

  void findByNumber_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("digits") << "25544" << "ISS (ZARYA)";
    QTest::newRow("Alpha-5 typed") << "A0001" << "OBJECT A0001";
    QTest::newRow("Alpha-5 as a number") << "100001" << "OBJECT A0001";
    QTest::newRow("not a number searches 0") << "x12" << "";
  }
  void findByNumber() {
    QFETCH(QString, number);
    QFETCH(QString, name);
    StSelSatDialog dlg;
    dlg.setParams();
    child<QCheckBox>(dlg, "noradBox")->setChecked(true);
    QVERIFY(!child<QLineEdit>(dlg, "satnameEdit")->isEnabled());
    child<QLineEdit>(dlg, "noradEdit")->setText(number);
    click(dlg, "findButton");
    if (name.isEmpty()) {
      QVERIFY(info(dlg).contains("No match found for NORAD# 0"));
      QVERIFY(!shown(dlg, "selectButton"));
    } else {
      QVERIFY2(info(dlg).startsWith(name + "\n"), qPrintable(info(dlg)));
      QVERIFY(shown(dlg, "selectButton"));
      QVERIFY(!shown(dlg, "moreButton"));
    }
    QCOMPARE(indata->srchmd, 1);
  }

  void findByDesignatorAndFilter() {
    StSelSatDialog dlg;
    dlg.setParams();
    child<QCheckBox>(dlg, "idsnBox")->setChecked(true);
    QCOMPARE(child<QLabel>(dlg, "nameLabel")->text(), QString("Inter&national Launch#:"));
    find(dlg, "1998-067A");
    QVERIFY2(info(dlg).startsWith("ISS (ZARYA)\n"), qPrintable(info(dlg)));
    QCOMPARE(indata->srchmd, 2);
    // Low orbits only: of the two FLOCKs only the one below 250 km remains.
    child<QCheckBox>(dlg, "idsnBox")->setChecked(false);
    child<QCheckBox>(dlg, "lowBox")->setChecked(true);
    QCOMPARE(indata->lowflg, 1);  // stored at once
    find(dlg, "FLOCK");
    QVERIFY(info(dlg).startsWith("FLOCK 2E-2\n"));
    QVERIFY(!shown(dlg, "moreButton"));
  }

  void starWalksAll() {
    StSelSatDialog dlg;
    dlg.setParams();
    find(dlg, "*");
    QStringList names{info(dlg).section('\n', 0, 0)};
    while (shown(dlg, "moreButton")) {
      click(dlg, "moreButton");
      names << info(dlg).section('\n', 0, 0);
      QVERIFY(names.size() < 20);
    }
    QCOMPARE(names, QStringList({"FLOCK 2P-1", "FLOCK 2E-2", "COSMOS 2058", "COSMOS 2432 (719)",
                                 "ISS (ZARYA)", "OBJECT A0001"}));
  }

  void selectAndNewSet() {
    {
      StSelSatDialog dlg;
      dlg.setParams();
      find(dlg, "ISS");
      click(dlg, "selectButton");
      QCOMPARE(indata->satnr, 1);
      QCOMPARE(QString(indata->satname[0]), QString("ISS (ZARYA)"));
      QCOMPARE(indata->norad[0], 25544);
      QCOMPARE(indata->satname[WORKSLOT][0], '#');
      QVERIFY(!shown(dlg, "selectButton"));
      QVERIFY(info(dlg).endsWith("Selected Satellites:\n\n  ISS (ZARYA)"));
    }
    StSelSatDialog dlg;
    dlg.setParams();
    QVERIFY(shown(dlg, "newButton"));
    QCOMPARE(child<QLineEdit>(dlg, "satnameEdit")->text(), QString("ISS"));  // last search kept
    click(dlg, "newButton");
    QCOMPARE(indata->satnr, 0);
    QVERIFY(!shown(dlg, "newButton"));
    QVERIFY(info(dlg).endsWith("*** No Satellites Selected ***"));
  }

  // Enter in the name field searches; it never empties the selection.
  void enterRunsFind() {
    QString text = "ISS";
    int number = 0;
    vsFindSat(text, number, 0, 0, 0);
    vsSatSel();
    StSelSatDialog dlg;
    dlg.setParams();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* name = child<QLineEdit>(dlg, "satnameEdit");
    name->setFocus();
    name->setText("COSMOS");
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(indata->satnr, 1);
    QVERIFY(info(dlg).startsWith("COSMOS 2058\n"));
    QVERIFY(dlg.isVisible());
  }

  // With ten selected a found satellite replaces the tenth; the button
  // says so before it is pressed.
  void eleventhReplacesTenth() {
    indata->satnr = 10;
    for (int i = 0; i < 10; ++i) std::snprintf(indata->satname[i], SATNAME_SIZE, "SAT %d", i);
    StSelSatDialog dlg;
    dlg.setParams();
    find(dlg, "ISS");
    QVERIFY(info(dlg).startsWith("ISS (ZARYA)\n"));
    QVERIFY(shown(dlg, "selectButton"));
    QVERIFY(child<QPushButton>(dlg, "selectButton")->toolTip().contains("replace the tenth (SAT 9)"));
    click(dlg, "selectButton");
    QCOMPARE(indata->satnr, 10);
    QCOMPARE(QString(indata->satname[8]), QString("SAT 8"));
    QCOMPARE(QString(indata->satname[9]), QString("ISS (ZARYA)"));
    QVERIFY(info(dlg).endsWith("\n  SAT 8\n  ISS (ZARYA)"));
    QCOMPARE(info(dlg).count("\n  "), 10);
  }

  // A search by number looks for the number typed, whatever the greyed
  // name field holds: a leading '*' there (a matching search leaves "*SS"
  // behind) does not turn it into a walk through every satellite.
  void numberSearchIgnoresName_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("left by a matching search") << QByteArray("*SS");
    QTest::newRow("star") << QByteArray("*");
    QTest::newRow("a name") << QByteArray("FLOCK");
  }
  void numberSearchIgnoresName() {
    QFETCH(QByteArray, stored);
    std::snprintf(indata->cfgname[WORKSLOT], SATNAME_SIZE, "%s", stored.constData());
    StSelSatDialog dlg;
    dlg.setParams();
    child<QCheckBox>(dlg, "noradBox")->setChecked(true);
    auto* number = child<QLineEdit>(dlg, "noradEdit");
    number->setText("25544");
    click(dlg, "findButton");
    QVERIFY2(info(dlg).startsWith("ISS (ZARYA)\n"), qPrintable(info(dlg)));
    QCOMPARE(number->text(), QString("25544"));
    QVERIFY(!shown(dlg, "moreButton"));
    QCOMPARE(child<QLineEdit>(dlg, "satnameEdit")->text(), QString(stored));
    QCOMPARE(QByteArray(indata->cfgname[WORKSLOT]), stored);
    // A number that is not in the file is reported as such.
    number->setText("99");
    click(dlg, "findButton");
    QVERIFY2(info(dlg).contains("No match found for NORAD# 99"), qPrintable(info(dlg)));
    QCOMPARE(number->text(), QString("99"));
    // The same text by name still walks through every satellite.
    if (stored == "*") {
      child<QCheckBox>(dlg, "noradBox")->setChecked(false);
      click(dlg, "findButton");
      QVERIFY(info(dlg).startsWith("FLOCK 2P-1\n"));
      QVERIFY(shown(dlg, "moreButton"));
    }
  }

  // The description's columns ("Inclination\t: ...") line up: a fixed-pitch
  // font, tab stops on its cell grid, so the labels' colons and the decimal
  // points of the angles (two and three digits before the point here) each
  // stand in one column.
  void infoColumnsLineUp() {
    StSelSatDialog dlg;
    dlg.setParams();
    find(dlg, "FLOCK 2P");
    dlg.show();  // laid out
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* edit = child<QTextEdit>(dlg, "satinfEdit");
    QVERIFY(QFontInfo(edit->font()).fixedPitch());
    // Every "label<tab>: value" line but the epoch's, which stands alone.
    QList<int> xs;
    const QString text = info(dlg);
    for (int k = text.indexOf("\t:"); k >= 0; k = text.indexOf("\t:", k + 1))
      if (!text.mid(0, k).endsWith("Epoch")) xs << TextX(*edit, k + 1);
    shot(&dlg, "selsat-columns.png");
    QVERIFY2(xs.size() >= 10, qPrintable(text));
    QVERIFY(xs.first() > TextX(*edit, text.indexOf("Inclination")));
    for (int x : xs) QCOMPARE(x, xs.first());
    QList<int> dots;
    for (const char* label : {"Inclination", "Right Ascension", "Arg. of Perigee", "Mean Anomaly"})
      dots << DecimalX(*edit, label);
    QCOMPARE(dots.size(), 4);
    for (int x : dots) QCOMPARE(x, dots.first());
  }

  // The stored search string is shown without its padding, and what is
  // typed is searched for without surrounding blanks.
  void nameFieldTrimmed_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::newRow("never searched") << QByteArray(SATNAME_SIZE - 1, ' ') << "" << "  ISS ";
    QTest::newRow("padded name") << QByteArray("ISS                 ") << "ISS" << "ISS\t";
  }
  void nameFieldTrimmed() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    std::snprintf(indata->cfgname[WORKSLOT], SATNAME_SIZE, "%s", stored.constData());
    StSelSatDialog dlg;
    dlg.setParams();
    auto* name = child<QLineEdit>(dlg, "satnameEdit");
    QCOMPARE(name->text(), shown);
    find(dlg, typed);
    QVERIFY2(info(dlg).startsWith("ISS (ZARYA)\n"), qPrintable(info(dlg)));
    QCOMPARE(name->text(), QString("ISS"));
    QCOMPARE(QByteArray(indata->cfgname[WORKSLOT]), QByteArray("ISS"));
  }

  void storedModeAndExclusion() {
    indata->srchmd = 2;
    std::snprintf(indata->cfgname[WORKSLOT], SATNAME_SIZE, "1998-067");
    StSelSatDialog dlg;
    dlg.setParams();
    auto* idsn = child<QCheckBox>(dlg, "idsnBox");
    auto* norad = child<QCheckBox>(dlg, "noradBox");
    QVERIFY(idsn->isChecked());
    QCOMPARE(child<QLabel>(dlg, "nameLabel")->text(), QString("Inter&national Launch#:"));
    QVERIFY(!child<QLineEdit>(dlg, "noradEdit")->isEnabled());
    QCOMPARE(child<QLineEdit>(dlg, "satnameEdit")->text(), QString("1998-067"));
    norad->setChecked(true);
    QVERIFY(!idsn->isChecked());
    QCOMPARE(child<QLabel>(dlg, "nameLabel")->text(), QString("Satellite &Name:"));
    QVERIFY(!child<QLineEdit>(dlg, "satnameEdit")->isEnabled());
    idsn->setChecked(true);
    QVERIFY(!norad->isChecked());
    QVERIFY(child<QLineEdit>(dlg, "satnameEdit")->isEnabled());
    QVERIFY(!child<QLineEdit>(dlg, "noradEdit")->isEnabled());
  }
};

QTEST_MAIN(StSelSatDialogTest)
#include "stselsatdialog_test.moc"
