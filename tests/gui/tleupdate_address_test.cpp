// The online update's address: what the question proposes and how an answer
// splits into host, path and local file name.
#include <QtTest>

#include "gui/tleupdate.h"

class UpdateAddressTest : public QObject {
  Q_OBJECT
 private slots:
  void proposal_data();
  void proposal();
  void split_data();
  void split();
};

void UpdateAddressTest::proposal_data() {
  QTest::addColumn<QString>("updurl");
  QTest::addColumn<QString>("tlenm");
  QTest::addColumn<QString>("proposed");
  QTest::newRow("last part replaced") << "host/dir/old.txt" << "/data/visual.txt"
                                      << "host/dir/visual.txt";
  QTest::newRow("relative TLE name") << "host/dir/old.txt" << "./visual.txt"
                                     << "host/dir/visual.txt";
  QTest::newRow("TLE name without dir") << "host/dir/old.txt" << "visual.txt"
                                        << "host/dir/visual.txt";
  QTest::newRow("no TLE file: stored as it is") << "host/dir/old.txt" << "*"
                                                << "host/dir/old.txt";
  QTest::newRow("empty TLE name") << "host/dir/old.txt" << "" << "host/dir/old.txt";
  QTest::newRow("TLE name ends in /") << "host/dir/old.txt" << "/data/" << "host/dir/old.txt";
  QTest::newRow("short stored address") << "ab/c" << "/data/visual.txt" << "ab/c";
  QTest::newRow("stored without / keeps one char") << "hostname" << "/data/visual.txt"
                                                   << "hvisual.txt";
  QTest::newRow("secure address") << "https://host/d/old.txt" << "/data/visual.txt"
                                  << "https://host/d/visual.txt";
}

void UpdateAddressTest::proposal() {
  QFETCH(QString, updurl);
  QFETCH(QString, tlenm);
  QFETCH(QString, proposed);
  QCOMPARE(proposedUpdateUrl(updurl, tlenm), proposed);
}

void UpdateAddressTest::split_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<bool>("httpsOk");
  QTest::addColumn<QString>("host");
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("stored");
  QTest::addColumn<QString>("url");
  QTest::addColumn<QString>("error");  // start of the refusal, "" when usable

  const QString ok;
  QTest::newRow("host and path") << "host/a/b/c.txt" << false << "host" << "/a/b/c.txt"
                                 << "c.txt" << "host/a/b/c.txt" << "http://host/a/b/c.txt" << ok;
  QTest::newRow("pasted http://") << "http://host/a/b.txt" << false << "host" << "/a/b.txt"
                                  << "b.txt" << "host/a/b.txt" << "http://host/a/b.txt" << ok;
  QTest::newRow("scheme in capitals, port") << "HTTP://127.0.0.1:8080/x.txt" << false
                                            << "127.0.0.1:8080" << "/x.txt" << "x.txt"
                                            << "127.0.0.1:8080/x.txt"
                                            << "http://127.0.0.1:8080/x.txt" << ok;
  QTest::newRow("https where supported") << "https://host/a/b.txt" << true << "https://host"
                                         << "/a/b.txt" << "b.txt" << "https://host/a/b.txt"
                                         << "https://host/a/b.txt" << ok;
  QTest::newRow("query kept in the name")
      << "host/gp.php?GROUP=visual&FORMAT=tle" << false << "host" << "/gp.php?GROUP=visual&FORMAT=tle"
      << "gp.php?GROUP=visual&FORMAT=tle" << "host/gp.php?GROUP=visual&FORMAT=tle"
      << "http://host/gp.php?GROUP=visual&FORMAT=tle" << ok;
  const QString longPath = "/" + QString(95, 'p') + ".txt";  // 104 with "host"
  QCOMPARE(("host" + longPath).size(), 104);
  QTest::newRow("104 characters") << "host" + longPath << false << "host" << longPath
                                  << longPath.mid(1) << "host" + longPath
                                  << "http://host" + longPath << ok;
  QTest::newRow("104 after http://") << "http://host" + longPath << false << "host" << longPath
                                     << longPath.mid(1) << "host" + longPath
                                     << "http://host" + longPath << ok;

  const QString none;
  QTest::newRow("105 characters") << "hostx" + longPath << false << none << none << none << none
                                  << none << "The address is longer than 104";
  QTest::newRow("no / at all") << "hostonly" << false << none << none << none << none << none
                               << "The address must end in the name";
  QTest::newRow("trailing /") << "host/dir/" << false << none << none << none << none << none
                              << "The address must end in the name";
  QTest::newRow("file part .") << "host/dir/." << false << none << none << none << none << none
                               << "The address must end in the name";
  QTest::newRow("file part ..") << "host/dir/.." << false << none << none << none << none
                                << none << "The address must end in the name";
  QTest::newRow("no host") << "/dir/visual.txt" << false << none << none << none << none << none
                           << "Not a usable address";
  QTest::newRow("bad port") << "host:x1/visual.txt" << false << none << none << none << none
                            << none << "Not a usable address";
  QTest::newRow("https unsupported") << "https://host/a.txt" << false << none << none << none
                                     << none << none << "Only http addresses";
  QTest::newRow("other scheme") << "ftp://host/a.txt" << true << none << none << none << none
                                << none << "Only http and https addresses";
  QTest::newRow("beyond Latin-1") << QString::fromUtf8("host/\xe2\x82\xac.txt") << false << none
                                  << none << none << none << none << "The address holds";
}

void UpdateAddressTest::split() {
  QFETCH(QString, answer);
  QFETCH(bool, httpsOk);
  QFETCH(QString, error);
  const UpdateAddress a = splitUpdateUrl(answer, httpsOk);
  if (!error.isEmpty()) {
    QVERIFY2(a.error.startsWith(error), qPrintable(a.error));
    QVERIFY(a.host.isEmpty() && a.path.isEmpty() && a.file.isEmpty() && a.stored.isEmpty());
    return;
  }
  QVERIFY2(a.error.isEmpty(), qPrintable(a.error));
  QTEST(a.host, "host");
  QTEST(a.path, "path");
  QTEST(a.file, "file");
  QTEST(a.stored, "stored");
  QTEST(updateUrl(a.host, a.path).toString(), "url");
}

QTEST_APPLESS_MAIN(UpdateAddressTest)
#include "tleupdate_address_test.moc"
