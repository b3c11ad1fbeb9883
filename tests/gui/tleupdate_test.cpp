// The online update through the window, against the test's own HTTP server on
// 127.0.0.1 (a free port): what the target file holds afterwards and what the
// user is told, for good answers, error answers, cut and stalled transfers,
// an unusable target folder, Exit during a transfer and a first start without
// a TLE file. No test talks to any other address.
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include "gui/records.h"
#include "gui/tleupdate.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "support/files.h"
#include "support/scriptedprompter.h"
#include "support/windowfixture.h"

namespace {

// A minimal HTTP/1.1 server. The first part of the request path picks the
// answer: ok (200 with the body), missing (404), moved (301 to ok), loop
// (302 to itself), fail (500), empty (200 without body), html and junk (200
// with a web page or binary bytes as the body), cut (200 announcing 100 KB,
// closed after 1 KB), stall (the same, then silence), trickle (the same, then
// one byte every 20 ms), hold (the whole body announced, 1 KB sent, the rest
// when the test releases it). part/N and partreset/N answer as an HTTP/1.0
// server that announces no length: the first N bytes of partBody, then the
// connection is closed, or reset.
class LoopbackServer : public QObject {
 public:
  explicit LoopbackServer(const QByteArray& body) : partBody(body), body(body) {
    connect(&server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
    listening = server.listen(QHostAddress::LocalHost, 0);
  }
  bool listening = false;
  int requests = 0;
  // What part/N and partreset/N send the first N bytes of.
  QByteArray partBody;
  // Bytes of stalled answers sent so far.
  qint64 stalledSent = 0;

  // The address as typed into the question.
  QString address(const QString& path) const {
    return QStringLiteral("127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
  }
  // Ends the stalled answers (the client sees a cut connection).
  void closeStalled() {
    for (const QPointer<QTcpSocket>& s : std::as_const(stalled))
      if (s) s->abort();
    stalled.clear();
  }
  // Sends the rest of the held answers and closes them.
  void releaseHeld() {
    for (const QPointer<QTcpSocket>& s : std::as_const(held))
      if (s) {
        s->write(body.mid(1024));
        s->disconnectFromHost();
      }
    held.clear();
  }

 private:
  void accept() {
    while (QTcpSocket* s = server.nextPendingConnection()) {
      connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
      connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
  }

  void answer(QTcpSocket* s, const QByteArray& status, const QByteArray& content,
              const QByteArray& extra = QByteArray()) {
    s->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(content.size()) +
             "\r\nContent-Type: text/plain\r\nConnection: close\r\n" + extra + "\r\n" + content);
    s->disconnectFromHost();  // after the bytes are out
  }

  void serve(QTcpSocket* s) {
    QByteArray& in = pending[s];
    in += s->readAll();
    if (!in.contains("\r\n\r\n")) return;
    const QByteArray path = in.left(in.indexOf("\r\n")).split(' ').value(1);
    pending.remove(s);
    ++requests;
    const QByteArray kind = path.split('/').value(1);
    const QByteArray rest = path.mid(kind.size() + 1);
    const QByteArray here = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    if (kind == "ok") {
      answer(s, "200 OK", body);
    } else if (kind == "missing") {
      answer(s, "404 Not Found", "<html><body>No such file</body></html>\n");
    } else if (kind == "moved") {
      answer(s, "301 Moved Permanently", "<html><body>Moved</body></html>\n",
             "Location: " + here + "/ok" + rest + "\r\n");
    } else if (kind == "loop") {
      answer(s, "302 Found", "<html>again</html>\n", "Location: " + here + path + "\r\n");
    } else if (kind == "empty") {
      answer(s, "200 OK", QByteArray());
    } else if (kind == "html") {
      answer(s, "200 OK",
             "<!DOCTYPE html>\n<html><head><title>Welcome</title></head>\n<body>\n" +
                 QByteArray(2000, '1') + "\n</body></html>\n");
    } else if (kind == "junk") {
      QByteArray junk(20000, '\0');
      for (int k = 0; k < junk.size(); ++k) junk[k] = static_cast<char>((k * 7919) % 251);
      answer(s, "200 OK", junk);
    } else if (kind == "trickle") {
      s->write("HTTP/1.1 200 OK\r\nContent-Length: 102400\r\nContent-Type: text/plain\r\n\r\n" +
               body.left(1024));
      auto* drip = new QTimer(s);
      connect(drip, &QTimer::timeout, s, [s] { s->write("x"); });
      drip->start(20);
      stalled << s;
    } else if (kind == "part" || kind == "partreset") {
      s->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" +
               partBody.left(rest.split('/').value(1).toInt()));
      if (kind == "part") {
        s->disconnectFromHost();
      } else {
        // Every byte out, then a reset: no lingering, so the close sends RST.
        s->waitForBytesWritten(2000);
        const linger now{1, 0};
        setsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now,
                   sizeof now);
        s->abort();
      }
    } else if (kind == "hold") {
      s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\nContent-Type: text/plain\r\n\r\n" + body.left(1024));
      held << s;
    } else if (kind == "cut" || kind == "stall") {
      s->write("HTTP/1.1 200 OK\r\nContent-Length: 102400\r\nContent-Type: text/plain\r\n\r\n" +
               body.left(1024));
      if (kind == "cut") {
        s->disconnectFromHost();
      } else {
        stalled << s;
        stalledSent += 1024;
      }
    } else {
      answer(s, "500 Internal Server Error", "<html>broken</html>\n");
    }
  }

  QTcpServer server;
  QByteArray body;
  QHash<QTcpSocket*, QByteArray> pending;
  QList<QPointer<QTcpSocket>> stalled;
  QList<QPointer<QTcpSocket>> held;
};

// The new file: element sets with CR LF line ends and no final line end,
// about 300 KB, so it arrives in many pieces.
QByteArray newBody() {
  QFile f(testData(QStringLiteral("welcome/welcome.tle")));
  const QByteArray one = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("no data\n");
  QByteArray b;
  while (b.size() < 300000) b += one;
  b.replace("\r\n", "\n");
  b.replace("\n", "\r\n");
  return b.left(b.size() - 2);
}

// A state-vector record, as the program's own TLE writer makes it.
const QByteArray kStateVector =
    "NUMERIC\r\n"
    "1 43013  17073A   18020.90595486     0 +++++STATEVCT1+++++          1\r\n"
    " -4.512345678901e+06   5.123456789012e+06   1.000000000000e-03      2\r\n"
    " -1.234567890123e+03  -9.876543210988e+02   7.345678901235e+03      3\r\n"
    "  150.0   140.5     3.0   2.20000e+00   1.30000e+00   5.00000e-03   4\r\n";

const QByteArray kOld = "OLD SET\r\n1 00001U old line without a final line end";

QByteArray contents(const QString& name) {
  return QByteArray::fromStdString(readFile(QFile::encodeName(name).toStdString()));
}

struct stat statOf(const QString& name) {
  struct stat st {};
  stat(QFile::encodeName(name).constData(), &st);
  return st;
}

unsigned modeOf(const QString& name) {
  struct stat st {};
  return stat(QFile::encodeName(name).constData(), &st) == 0 ? st.st_mode & 07777u : 0u;
}

QStringList filesIn(const QString& dir) {
  return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

}  // namespace

class TleUpdateTest : public QObject {
  Q_OBJECT

  QByteArray body = newBody();
  std::unique_ptr<WindowFixture> fx;
  std::unique_ptr<ScriptedPrompter> sp;
  std::unique_ptr<VorlixApp> w;
  std::unique_ptr<LoopbackServer> server;
  QString tleDir, target;

  // A window whose TLE file is <app>/tle/visual.txt, holding kOld (mode 0640),
  // and a server on a free loopback port.
  void start() {
    fx = std::make_unique<WindowFixture>();
    tleDir = fx->path(QStringLiteral("tle"));
    target = tleDir + QStringLiteral("/visual.txt");
    QDir().mkpath(tleDir);
    fx->writeFile(QStringLiteral("tle/visual.txt"), kOld);
    QVERIFY(chmod(QFile::encodeName(target).constData(), 0640) == 0);
    fx->writeConfig(target);
    sp = std::make_unique<ScriptedPrompter>();
    w = fx->start();
    server = std::make_unique<LoopbackServer>(body);
    QVERIFY(server->listening);
  }
  // Runs File > Update with the answer and waits until it is over.
  void update(const QString& path) {
    sp->answer(server->address(path));
    w->slotFileUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(!w->updateRunning(), 10000);
  }

  // Where the second set of the body begins.
  int firstSetEnd() const { return body.indexOf("\r\n", body.indexOf("\r\n2 ") + 2) + 2; }

  // Runs one transfer of path from the server into the target by itself
  // (no window command); true when it ended as a failure.
  bool fails(QNetworkAccessManager& manager, TleDownload& d, const char* path) {
    if (!d.open(target)) return false;
    QObject scope;  // the connection ends with this call
    int done = 0;
    bool failed = false;
    connect(&d, &TleDownload::done, &scope, [&](bool error) {
      ++done;
      failed = error;
    });
    d.start(manager, updateUrl(server->address(""), path));
    return QTest::qWaitFor([&done] { return done == 1; }, 5000) && failed;
  }

  // Nothing was asked of the server for a refused command: the window holds
  // no network reply right after it (so no request went out, and none can
  // follow), and a request of the test's own, served to its end, is the one
  // request the server saw.
  void nothingFetched() {
    QVERIFY(w->findChildren<QNetworkReply*>().isEmpty());
    QNetworkAccessManager probe;
    std::unique_ptr<QNetworkReply> r(
        probe.get(QNetworkRequest(updateUrl(server->address(""), "/ok/probe.txt"))));
    QSignalSpy finished(r.get(), &QNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    QCOMPARE(server->requests, 1);
  }

  // Starts File > Update of path and waits until the window has taken the
  // first piece of the answer.
  void startStalled(const QString& path) {
    sp->answer(server->address(path));
    w->slotFileUpdate();
    QNetworkReply* r = w->findChild<QNetworkReply*>();
    QVERIFY(r);
    QSignalSpy arrived(r, &QNetworkReply::readyRead);
    QTRY_VERIFY_WITH_TIMEOUT(arrived.count() > 0, 5000);
  }

 private slots:
  void cleanup();
  void addressQuestion_data();
  void addressQuestion();
  void answers_data();
  void answers();
  void cutReplies_data();
  void cutReplies();
  void writtenWhenComplete();
  void stalledTransfer();
  void unusableTargetFolder();
  void targetThatIsNoFile_data();
  void targetThatIsNoFile();
  void keepsWhatTheFileIs_data();
  void keepsWhatTheFileIs();
  void firstStartWithoutTleFile();
  void writeFailureKeepsTheOldFile();
  void abandoned_data();
  void abandoned();
  void exitDuringTransfer();
};

void TleUpdateTest::cleanup() {
  if (server) server->closeStalled();
  w.reset();
  server.reset();
  sp.reset();
  fx.reset();
}

// The question through the view: where the local file goes, what the record
// keeps, and what a refused answer says.
void TleUpdateTest::addressQuestion_data() {
  QTest::addColumn<QString>("tlenm");
  QTest::addColumn<QVariant>("answer");  // invalid: cancelled
  QTest::addColumn<int>("result");
  QTest::addColumn<QString>("host");
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("file");    // "CWD/" stands for the working directory
  QTest::addColumn<QString>("updurl");  // afterwards
  QTest::addColumn<QString>("box");     // start of the box text, "" for none

  const QString stored = QStringLiteral("celestrak.org/NORAD/elements/visual.txt");
  QTest::newRow("into the TLE file's folder")
      << "/data/visual.txt" << QVariant("host/a/b/c.txt") << 0 << "host" << "/a/b/c.txt"
      << "/data/c.txt" << "host/a/b/c.txt" << "";
  QTest::newRow("pasted with http:// and blanks")
      << "/data/visual.txt" << QVariant("  http://host/a/b.txt \n") << 0 << "host" << "/a/b.txt"
      << "/data/b.txt" << "host/a/b.txt" << "";
  QTest::newRow("no TLE file: working directory")
      << "*" << QVariant("host/a/visual.txt") << 0 << "host" << "/a/visual.txt"
      << "CWD/visual.txt" << "host/a/visual.txt" << "";
  QTest::newRow("relative TLE name") << "./visual.txt" << QVariant("host:81/v.txt") << 0
                                     << "host:81" << "/v.txt" << "./v.txt" << "host:81/v.txt"
                                     << "";
  QTest::newRow("cancelled") << "/data/visual.txt" << QVariant() << 1 << "" << "" << "" << stored
                             << "";
  QTest::newRow("one character") << "/data/visual.txt" << QVariant("h") << 1 << "" << ""
                                 << "" << stored << "";
  QTest::newRow("no / : refused") << "/data/visual.txt" << QVariant("hostonly") << 1 << "" << ""
                                  << "" << stored << "The address must end in the name";
  QTest::newRow("trailing / : refused") << "/data/visual.txt" << QVariant("host/dir/") << 1
                                        << "" << "" << "" << stored
                                        << "The address must end in the name";
  QTest::newRow("105 characters: refused")
      << "/data/visual.txt" << QVariant("h/" + QString(99, 'x') + ".txt") << 1 << "" << "" << ""
      << stored << "The address is longer than 104";
  QTest::newRow("local name too long: refused")
      << "/" + QString(90, 'd') + "/visual.txt" << QVariant("host/" + QString(20, 'f') + ".txt")
      << 1 << "" << "" << "" << stored << "File name too long";
}

void TleUpdateTest::addressQuestion() {
  QFETCH(QString, tlenm);
  QFETCH(QVariant, answer);
  QFETCH(QString, file);
  QFETCH(QString, box);
  start();
  std::strcpy(indata->tlenm, tlenm.toLatin1().constData());
  std::strcpy(indata->updurl, "celestrak.org/NORAD/elements/visual.txt");
  sp->answer(answer);
  QString host, path, local;
  QTEST(w->viewWidget()->vUpdate(host, path, local), "result");
  QTEST(host, "host");
  QTEST(path, "path");
  QCOMPARE(local, file.replace(QStringLiteral("CWD/"), QDir::currentPath() + '/'));
  QTEST(QString::fromLatin1(indata->updurl), "updurl");
  QCOMPARE(sp->of("askText").size(), 1);
  QCOMPARE(sp->of("askText")[0].title, QStringLiteral("Online Update"));
  QCOMPARE(sp->of("askText")[0].text, QStringLiteral("URL for TLE file to be downloaded:"));
  const QStringList shown = QStringList(sp->texts()).filter(QRegularExpression("^(?!URL for)"));
  if (box.isEmpty()) {
    QVERIFY2(shown.isEmpty(), qPrintable(shown.join('|')));
  } else {
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].startsWith(box), qPrintable(shown[0]));
  }
}

void TleUpdateTest::answers_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("replaced");
  QTest::addColumn<QString>("message");  // start of the box text
  const QString complete = QStringLiteral("Download complete. File ");
  const QString failed = QStringLiteral("Error fetching file with HTTP: ");
  QTest::newRow("200") << "/ok/visual.txt" << true << complete;
  QTest::newRow("404") << "/missing/visual.txt" << false << failed;
  QTest::newRow("301 -> 200") << "/moved/visual.txt" << true << complete;
  QTest::newRow("500") << "/fail/visual.txt" << false << failed;
  QTest::newRow("redirect loop") << "/loop/visual.txt" << false << failed;
  QTest::newRow("cut after 1 KB of 100 KB") << "/cut/visual.txt" << false << failed;
  QTest::newRow("200 without body") << "/empty/visual.txt" << false << failed;
  const QString noSets = failed + QStringLiteral("no element sets in the reply.");
  QTest::newRow("200 with a web page") << "/html/visual.txt" << false << noSets;
  QTest::newRow("200 with binary junk") << "/junk/visual.txt" << false << noSets;
  // An HTTP/1.0 server that announces no length ends the body by closing the
  // connection: one that stops inside a line sent only part of the file.
  const int inLine2 = body.indexOf("\r\n2 ", int(body.size()) / 2) + 30;
  const QString cutShort = failed + QStringLiteral("the transfer ended inside an element set; ");
  QTest::newRow("no length, closed inside a line")
      << QStringLiteral("/part/%1/visual.txt").arg(inLine2) << false << cutShort;
  QTest::newRow("no length, reset inside a line")
      << QStringLiteral("/partreset/%1/visual.txt").arg(inLine2) << false << failed;
  QTest::newRow("no length, closed after the whole file")
      << QStringLiteral("/part/%1/visual.txt").arg(body.size()) << true << complete;
}

void TleUpdateTest::answers() {
  QFETCH(QString, path);
  QFETCH(bool, replaced);
  QFETCH(QString, message);
  start();
  update(path);
  QCOMPARE(contents(target), replaced ? body : kOld);
  // Nothing else appeared beside it, and its mode is the old one.
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
  QCOMPARE(modeOf(target), 0640u);
  const QList<ScriptedPrompter::Box> boxes = sp->of(replaced ? "inform" : "warn");
  QCOMPARE(boxes.size(), 1);
  QCOMPARE(boxes[0].title, QStringLiteral("HTTP Get"));
  QVERIFY2(boxes[0].text.startsWith(message), qPrintable(boxes[0].text));
  if (replaced) {
    QCOMPARE(boxes[0].text, message + target + '.');
  } else {
    // The reason, then the address and the local file.
    const QStringList lines = boxes[0].text.split('\n');
    QCOMPARE(lines.size(), 3);
    if (message.endsWith('.')) QCOMPARE(lines[0], message);
    QCOMPARE(lines[1], "Address: http://" + server->address(path));
    QCOMPARE(lines[2], "Local file: " + target);
  }
  QCOMPARE(sp->boxes.size(), 2);  // the question and the result
  QCOMPARE(QString::fromLatin1(indata->updurl), server->address(path));
}

void TleUpdateTest::cutReplies_data() {
  QTest::addColumn<bool>("stateVector");  // a state-vector record, else TLEs
  QTest::addColumn<int>("bytes");         // how much of it the server sends
  QTest::addColumn<bool>("reset");        // ... before a reset, else a close
  QTest::addColumn<bool>("whole");        // it ends with a whole element set
  // Cut inside the second set: the first is whole.
  const int first = firstSetEnd();
  const int name = first, endName = body.indexOf("\r\n", name);
  const int line1 = endName + 2;
  const int line2 = body.indexOf("\r\n2 ", line1) + 2;
  const int end2 = body.indexOf("\r\n", line2);
  QCOMPARE(end2 - line2, 69);
  QTest::newRow("inside a name line") << false << name + 3 << false << false;
  QTest::newRow("after a name line") << false << endName + 2 << false << false;
  QTest::newRow("inside line 1") << false << line1 + 30 << false << false;
  QTest::newRow("line 1 without its line end") << false << line2 - 2 << false << false;
  QTest::newRow("line 1 and its line end") << false << line2 << false << false;
  QTest::newRow("inside line 2") << false << end2 - 20 << false << false;
  QTest::newRow("line 2 without its checksum") << false << end2 - 1 << false << false;
  QTest::newRow("inside line 2, then a reset") << false << end2 - 20 << true << false;
  QTest::newRow("a whole set without a line end") << false << end2 << false << true;
  QTest::newRow("a whole set and CR") << false << end2 + 1 << false << true;
  QTest::newRow("a whole set and CR LF") << false << end2 + 2 << false << true;
  QTest::newRow("the whole file") << false << int(body.size()) << false << true;
  // The first set, then a state-vector record.
  const int force = first + kStateVector.indexOf("  150.0");
  QTest::newRow("state vector without its force line") << true << force << false << false;
  QTest::newRow("state vector, force line cut") << true << force + 40 << false << false;
  QTest::newRow("whole state vector") << true << first + int(kStateVector.size()) << false << true;
}

// A reply whose length nobody announced is whole only when it ends with a
// whole element set; anything cut inside a set keeps the old file.
void TleUpdateTest::cutReplies() {
  QFETCH(bool, stateVector);
  QFETCH(int, bytes);
  QFETCH(bool, reset);
  QFETCH(bool, whole);
  start();
  if (stateVector) server->partBody = body.left(firstSetEnd()) + kStateVector;
  QNetworkAccessManager manager;
  TleDownload d;
  const QString path =
      QStringLiteral("/%1/%2/visual.txt").arg(reset ? "partreset" : "part").arg(bytes);
  QCOMPARE(fails(manager, d, path.toLatin1().constData()), !whole);
  QCOMPARE(contents(target), whole ? server->partBody.left(bytes) : kOld);
  if (!whole && !reset)
    QCOMPARE(d.errorString(),
             "the transfer ended inside an element set; " + target + " was kept");
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
}

// The writer is opened only when the whole reply is there: no temporary file
// sits beside the target during the transfer, and a second link made
// meanwhile is kept (the file is written in place, not replaced).
void TleUpdateTest::writtenWhenComplete() {
  start();
  startStalled("/hold/visual.txt");
  QVERIFY(w->updateRunning());
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
  const QString other = fx->path(QStringLiteral("visual-link.txt"));
  QVERIFY(link(QFile::encodeName(target).constData(), QFile::encodeName(other).constData()) == 0);
  server->releaseHeld();
  QTRY_VERIFY_WITH_TIMEOUT(!w->updateRunning(), 10000);
  QVERIFY2(sp->texts().last().startsWith("Download complete."), qPrintable(sp->texts().last()));
  QCOMPARE(contents(target), body);
  QCOMPARE(contents(other), body);
  QCOMPARE(statOf(target).st_nlink, nlink_t(2));
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
}

// While a transfer stalls: the file still holds the old bytes, a second
// request is refused, the timer still ticks; a cut then keeps the old file.
void TleUpdateTest::stalledTransfer() {
  start();
  startStalled("/stall/visual.txt");
  QVERIFY(w->updateRunning());
  QCOMPARE(contents(target), kOld);

  sp->answer(server->address("/ok/visual.txt"));
  w->slotFileUpdate();
  const QList<ScriptedPrompter::Box> warns = sp->of("warn");
  QCOMPARE(warns.size(), 1);
  QCOMPARE(warns[0].title, QStringLiteral("Online Update"));
  QCOMPARE(warns[0].text, QStringLiteral("Another online update still in progress."));
  QCOMPARE(sp->of("askText").size(), 1);  // the second request asked nothing

  int ticks = 0;
  connect(w->plotTimer(), &QTimer::timeout, [&ticks] { ++ticks; });
  w->slotPlotRT();
  QTRY_VERIFY_WITH_TIMEOUT(ticks >= 1, 5000);
  QVERIFY(w->updateRunning());
  w->slotStopTime();

  server->closeStalled();
  QTRY_VERIFY_WITH_TIMEOUT(!w->updateRunning(), 5000);
  QCOMPARE(contents(target), kOld);
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
  QVERIFY(sp->texts().last().startsWith("Error fetching file with HTTP: "));
  QCOMPARE(server->requests, 1);
}

// The TLE file's folder is a file: nothing is fetched and nothing changes.
void TleUpdateTest::unusableTargetFolder() {
  start();
  QVERIFY(w->viewWidget()->setTLEname(target + "/x"));
  sp->answer(server->address("/ok/visual.txt"));
  w->slotFileUpdate();
  QVERIFY(!w->updateRunning());
  const QList<ScriptedPrompter::Box> warns = sp->of("warn");
  QCOMPARE(warns.size(), 1);
  QCOMPARE(warns[0].title, QStringLiteral("HTTP Get"));
  QVERIFY2(warns[0].text.startsWith("Cannot write file " + target + "/visual.txt\n"),
           qPrintable(warns[0].text));
  nothingFetched();
  QCOMPARE(contents(target), kOld);
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
}

void TleUpdateTest::targetThatIsNoFile_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("why");
  QTest::newRow("FIFO") << "p" << "not a regular file";
  QTest::newRow("directory") << "d" << QString::fromLocal8Bit(std::strerror(EISDIR));
}

// The local file is no regular file: it is never replaced by one nor written
// into, nothing is fetched, and the box says why.
void TleUpdateTest::targetThatIsNoFile() {
  QFETCH(QString, kind);
  start();
  const QByteArray node = QFile::encodeName(target);
  QVERIFY(unlink(node.constData()) == 0);
  const mode_t type = kind == "p" ? S_IFIFO : S_IFDIR;
  QVERIFY((type == S_IFIFO ? mkfifo(node.constData(), 0640) : mkdir(node.constData(), 0750)) == 0);
  sp->answer(server->address("/ok/visual.txt"));
  w->slotFileUpdate();
  QVERIFY(!w->updateRunning());
  const QList<ScriptedPrompter::Box> warns = sp->of("warn");
  QCOMPARE(warns.size(), 1);
  QFETCH(QString, why);
  QCOMPARE(warns[0].text, "Cannot write file " + target + '\n' + why + '.');
  nothingFetched();
  struct stat st;
  QVERIFY(lstat(node.constData(), &st) == 0);
  QCOMPARE(st.st_mode & S_IFMT, type);
  const QDir::Filters all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
  QCOMPARE(QDir(tleDir).entryList(all), QStringList{"visual.txt"});
}

void TleUpdateTest::keepsWhatTheFileIs_data() {
  QTest::addColumn<bool>("owner");  // of another user; else with a second link
  QTest::newRow("another user's file (as root)") << true;
  QTest::newRow("a second link") << false;
}

// The update keeps what the element file is, as every writer does: another
// user's file (root updates it) keeps its owner, group and mode; a file with
// a second name stays one file under both names.
void TleUpdateTest::keepsWhatTheFileIs() {
  QFETCH(bool, owner);
  if (owner && geteuid() != 0) QSKIP("only root can give a file to another user");
  start();
  const QByteArray node = QFile::encodeName(target);
  const QString other = fx->path(QStringLiteral("visual-link.txt"));
  uid_t uid = geteuid();
  gid_t gid = getegid();
  if (owner) {
    const passwd* pw = getpwnam("nobody");
    const group* gr = getgrnam("nogroup");
    QVERIFY(pw && gr);
    uid = pw->pw_uid;
    gid = gr->gr_gid;
    QVERIFY(chown(node.constData(), uid, gid) == 0);
  } else {
    QVERIFY(link(node.constData(), QFile::encodeName(other).constData()) == 0);
  }
  update("/ok/visual.txt");
  QVERIFY2(sp->texts().last().startsWith("Download complete."), qPrintable(sp->texts().last()));
  QCOMPARE(contents(target), body);
  const struct stat st = statOf(target);
  QCOMPARE(st.st_uid, uid);
  QCOMPARE(st.st_gid, gid);
  QCOMPARE(st.st_mode & 07777u, 0640u);
  if (!owner) {
    QCOMPARE(st.st_nlink, nlink_t(2));
    QCOMPARE(contents(other), body);
  }
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
}

// No TLE file could be opened at start: the download lands in the working
// directory (the home directory then), never in the file-system root.
void TleUpdateTest::firstStartWithoutTleFile() {
  fx = std::make_unique<WindowFixture>();
  fx->writeConfig(fx->path(QStringLiteral("nothere/visual.txt")));
  sp = std::make_unique<ScriptedPrompter>();
  w = fx->start();
  QCOMPARE(QString::fromLatin1(indata->tlenm), QStringLiteral("*"));
  server = std::make_unique<LoopbackServer>(body);
  QVERIFY(server->listening);
  const QString name = QStringLiteral("vorlix-update-%1.txt").arg(QCoreApplication::applicationPid());
  QVERIFY(!QFile::exists("/" + name));
  update("/ok/" + name);
  QCOMPARE(QDir::currentPath(), QDir(fx->homeDir()).canonicalPath());
  QCOMPARE(contents(fx->homeDir() + '/' + name), body);
  QVERIFY(!QFile::exists("/" + name));
  QVERIFY2(sp->texts().last().startsWith("Download complete."), qPrintable(sp->texts().last()));
}

// The disk fills up during the transfer: the old file stays whole.
void TleUpdateTest::writeFailureKeepsTheOldFile() {
  start();
  // Files may not grow beyond 64 KB for a moment: the write fails (EFBIG)
  // instead of the process being stopped.
  bool over = false;
  {
    support::FileSizeLimit limit(64 * 1024);
    QVERIFY(limit.ok());
    sp->answer(server->address("/ok/visual.txt"));
    w->slotFileUpdate();
    over = QTest::qWaitFor([this] { return !w->updateRunning(); }, 10000);
  }
  QVERIFY(over);
  QCOMPARE(contents(target), kOld);
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
  const QList<ScriptedPrompter::Box> warns = sp->of("warn");
  QCOMPARE(warns.size(), 1);
  // The reason is the system's, not a guess.
  QCOMPARE(warns[0].text.section('\n', 0, 0),
           "Error fetching file with HTTP: cannot write " + target + ": " +
               QString::fromLocal8Bit(std::strerror(EFBIG)) + '.');
}

// Transfers that are given up: a server that stops sending (after the stall
// time), one that keeps sending too little (one byte every 20 ms never lets
// the stall time pass), one that sends more than any element file holds.
void TleUpdateTest::abandoned_data() {
  QTest::addColumn<int>("knob");  // 0 stall time, 1 minimum rate, 2 maximum size
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("why");  // a pattern; PORT: the server's port
  QTest::newRow("stall") << 0 << "/stall/visual.txt" << "^no data for 0.3 s from ";
  QTest::newRow("trickle") << 1 << "/trickle/visual.txt"
                           << "^only \\d+ bytes in 0.4 s from "
                              "http://127.0.0.1:PORT/trickle/visual.txt, the transfer was "
                              "abandoned$";
  QTest::newRow("too large") << 2 << "/ok/visual.txt"
                             << "^more than 10000 bytes from http://127.0.0.1:PORT/ok/visual.txt, "
                                "the transfer was abandoned$";
}

void TleUpdateTest::abandoned() {
  QFETCH(int, knob);
  QFETCH(QString, path);
  QFETCH(QString, why);
  start();
  QNetworkAccessManager manager;
  TleDownload d;
  if (knob == 0) d.setStallTimeout(300);
  if (knob == 1) d.setMinimumRate(1024, 400);
  if (knob == 2) d.setMaximumSize(10000);
  QVERIFY(fails(manager, d, path.toLatin1().constData()));
  const QString port = server->address("").section(':', 1);
  QVERIFY2(QRegularExpression(why.replace("PORT", port)).match(d.errorString()).hasMatch(),
           qPrintable(d.errorString()));
  QCOMPARE(contents(target), kOld);
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
}

// Exit during a stalled transfer: the old file, nothing beside it, no box.
// Last, since Exit asks the application to quit.
void TleUpdateTest::exitDuringTransfer() {
  start();
  startStalled("/stall/visual.txt");
  w->slotFileQuit();
  QVERIFY(!w->updateRunning());
  // Nothing is left that could still report.
  QVERIFY(w->findChildren<TleDownload*>().isEmpty());
  QCOMPARE(contents(target), kOld);
  QCOMPARE(filesIn(tleDir), QStringList{"visual.txt"});
  QCOMPARE(sp->texts(), QStringList{"URL for TLE file to be downloaded:"});
}

QTEST_MAIN(TleUpdateTest)
#include "tleupdate_test.moc"
