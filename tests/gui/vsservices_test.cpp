// Text and file-name fields of the record: copies into bounded fields and
// the resolution of '*' names.
#include <QDir>
#include <QtTest>
#include <cstring>

#include "gui/records.h"
#include "gui/vsservices.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

class VsServicesTest : public QObject {
  Q_OBJECT
 private slots:
  void qsToChar_data();
  void qsToChar();
  void fileNames_data();
  void fileNames();
  void resolve_data();
  void resolve();
};

void VsServicesTest::qsToChar_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("n");
  QTest::addColumn<QByteArray>("field");
  QTest::newRow("carriage return ends it") << "abc\rdef" << 20 << QByteArray("abc");
  QTest::newRow("longer than the field") << "Lindenberg, Brandenburg" << 10 << QByteArray("Lindenberg");
  QTest::newRow("empty") << "" << 20 << QByteArray();
  QTest::newRow("Latin-1 letter") << QString::fromUtf8("K\xc3\xb6ln") << 20 << QByteArray("K\xf6ln");
  QTest::newRow("beyond Latin-1") << QString::fromUtf8("\xe6\x98\x9f") << 20 << QByteArray("?");
}

void VsServicesTest::qsToChar() {
  QFETCH(QString, text);
  QFETCH(int, n);
  QFETCH(QByteArray, field);
  char buf[32];
  std::memset(buf, 'x', sizeof buf);
  QsToChar(text, buf, n);
  QCOMPARE(QByteArray(buf), field);
}

void VsServicesTest::fileNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("taken");
  QTest::newRow("plain") << "/a/b.txt" << true;
  QTest::newRow("104 bytes") << "/" + QString(103, 'b') << true;
  QTest::newRow("105 bytes") << "/" + QString(104, 'b') << false;
  QTest::newRow("UTF-8") << QString::fromUtf8("/\xd0\xb4/\xe6\x98\x9f.tle") << true;
}

void VsServicesTest::fileNames() {
  QFETCH(QString, name);
  QFETCH(bool, taken);
  ScriptedPrompter sp;
  char field[FILENAME_SIZE] = "old";
  QCOMPARE(QsToFileName(name, field, FILENAME_SIZE - 1), taken);
  QCOMPARE(FileNameToQs(field), taken ? name : QStringLiteral("old"));
  QCOMPARE(sp.boxes.size(), taken ? 0 : 1);
}

void VsServicesTest::resolve_data() {
  QTest::addColumn<QByteArray>("tle");
  QTest::addColumn<QByteArray>("name");
  QTest::addColumn<QString>("result");  // "@" stands for the working directory
  QTest::newRow("beside the TLE file") << QByteArray("/data/tle/visual.txt")
                                       << QByteArray("*satsave.txt") << "/data/tle/satsave.txt";
  QTest::newRow("no star") << QByteArray("/data/tle/visual.txt") << QByteArray("/x/y.txt")
                           << "/x/y.txt";
  QTest::newRow("first start: TLE name '*'") << QByteArray("*") << QByteArray("*satsave.txt")
                                             << "@/satsave.txt";
  QTest::newRow("no TLE file") << QByteArray() << QByteArray("*satsave.txt") << "@/satsave.txt";
  QTest::newRow("TLE name without directory")
      << QByteArray("visual.txt") << QByteArray("*iridium.txt") << "@/iridium.txt";
  QTest::newRow("too long: refused") << "/" + QByteArray(90, 'd') + "/v.txt"
                                     << QByteArray("*satsave-long-name.txt") << "*satsave-long-name.txt";
}

void VsServicesTest::resolve() {
  QFETCH(QByteArray, tle);
  QFETCH(QByteArray, name);
  QFETCH(QString, result);
  WindowFixture fx;
  ScriptedPrompter sp;
  WindowFixture::zeroRecords();
  qstrncpy(indata->tlenm, tle.constData(), FILENAME_SIZE);
  char field[FILENAME_SIZE];
  qstrncpy(field, name.constData(), FILENAME_SIZE);
  const bool refused = result == QString::fromLatin1(name) && name.startsWith('*');
  QCOMPARE(vsFileName(field), !refused);
  result.replace('@', QDir::currentPath());
  QCOMPARE(FileNameToQs(field), result);
  QCOMPARE(sp.boxes.size(), refused ? 1 : 0);
  // A resolved name stays as it is.
  QByteArray once(field);
  vsFileName(field);
  QCOMPARE(QByteArray(field), once);
}

QTEST_MAIN(VsServicesTest)
#include "vsservices_test.moc"
