// Online update of a TLE file over HTTP (the File menu's Online TLE Update):
// the address question's proposal and split, and one download that replaces
// the local file only when the whole answer arrived.
#ifndef VORLIX_GUI_TLEUPDATE_H
#define VORLIX_GUI_TLEUPDATE_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class SafeFile;

// The longest address the record keeps (its field holds 104 characters).
constexpr int kUpdateUrlMax = 104;

// The address the question proposes: the stored one with its last part
// replaced by the last part of the current TLE file's name. A stored address
// shorter than 6 characters, or a TLE name without a usable last part (empty,
// "*", ending in '/'), leaves the stored address as it is. The first
// character is never cut: a stored address without '/' keeps only that one.
QString proposedUpdateUrl(const QString& updurl, const QString& tlenm);

// An answer to the address question, split. error is empty when the answer
// can be used; otherwise it says why not, and nothing else is set.
struct UpdateAddress {
  QString stored;  // what the record keeps: no "http://", "https://" kept
  QString host;    // host[:port]; "https://" in front for a secure address
  QString path;    // from the first '/' after the host on
  QString file;    // local name: the text after the last '/'
  QString error;
};
// answer: what was typed, without surrounding blanks. An optional "http://"
// is dropped; "https://" is accepted when httpsOk. Refused: another scheme,
// more than kUpdateUrlMax characters, characters beyond Latin-1, no host, or
// a file part that is empty, "." or "..".
UpdateAddress splitUpdateUrl(const QString& answer, bool httpsOk);
// The address to fetch for host and path as vUpdate gives them.
QUrl updateUrl(const QString& host, const QString& path);

// One download into a local file. The body is gathered in memory and written
// through the engine's safe writer, as every file of the program is (the
// target keeps its owner, group, mode and links as that writer keeps them),
// only when the transfer ended without error, with a 2xx status and a body
// that holds at least one element set the engine reads and ends with a whole
// one (a line end after it is not needed). Until then, and on every failure,
// the target stays byte for byte as it was, with nothing beside it.
class TleDownload : public QObject {
  Q_OBJECT

 public:
  explicit TleDownload(QObject* parent = nullptr);
  // A running transfer is ended silently and what arrived is discarded.
  ~TleDownload() override;

  // Takes target (a relative name is taken against the working directory
  // now) after a look whether the safe writer can write it. False when
  // target is no regular file (a directory, a FIFO, a device) or cannot be
  // written; errorString() says why and nothing on disk changed. The writer
  // itself is opened only when the reply is complete and checked.
  bool open(const QString& target);
  // Starts the GET; done() follows from the event loop. Redirects are
  // followed unless they lead to a less secure scheme.
  void start(QNetworkAccessManager& manager, const QUrl& url);
  // Ends a running transfer and discards what arrived; done() is not emitted.
  void abort();
  bool running() const { return !reply.isNull(); }

  // The target as an absolute name.
  QString target() const { return name; }
  // The address start() fetched.
  QUrl address() const { return url; }
  // Why the download failed (empty after success).
  QString errorString() const { return why; }
  // A transfer that brings no byte for this long fails (default one minute).
  void setStallTimeout(int ms) { stall.setInterval(ms); }
  // A transfer that brings fewer than bytes in any window of ms (counted from
  // the start) fails: a server that trickles would otherwise keep the update
  // busy for ever. Default: 1 KB a minute.
  void setMinimumRate(qint64 bytes, int ms) {
    minBytes = bytes;
    rate.setInterval(ms);
  }
  // A reply longer than this fails (default 64 MB, far beyond any element
  // file): the body is held in memory until it is checked.
  void setMaximumSize(qint64 bytes) { maxBytes = bytes; }

 signals:
  // error false: the target now holds the downloaded file.
  void done(bool error);

 private:
  void readBody();
  void finish();
  void stalled();
  void checkRate();
  // Drops what was written (the target stays as it was).
  void discard();
  // Adds a piece of the body; false (why set) when it grows beyond maxBytes.
  bool take(const QByteArray& chunk);
  // Whether the body holds an element set and ends with a whole one; sets
  // why when not.
  bool checkBody();
  // Opens the safe writer for the target into out: 0, or the reason it
  // cannot (out then empty).
  int openWriter();
  // Opens the writer and writes the body over the target; sets why when it
  // could not.
  bool save();

  QString name;
  QUrl url;
  std::unique_ptr<SafeFile> out;
  QPointer<QNetworkReply> reply;
  QTimer stall;
  QTimer rate;
  qint64 minBytes = 1024;
  qint64 maxBytes = qint64(64) << 20;
  qint64 received = 0;      // body bytes that arrived
  qint64 receivedAtTick = 0;  // ... at the start of the current window
  QString why;
  QByteArray body;
};

#endif
