// Online update of a TLE file over HTTP: the address question, the download
// (checked, then written through the safe writer) and the main window's two
// slots.
#include "gui/tleupdate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslSocket>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dialogs/prompter.h"
#include "engine/safefile.h"
#include "engine/tle.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "gui/vsservices.h"

// ---------------------------------------------------------------------------
// The address
// ---------------------------------------------------------------------------

QString proposedUpdateUrl(const QString& updurl, const QString& tlenm) {
  const QString stored = updurl.left(kUpdateUrlMax);
  if (stored.size() < 6) return stored;
  const QString last = tlenm.mid(tlenm.lastIndexOf('/') + 1);
  // Without a TLE file ("*") there is no name to offer: the stored address
  // as it is beats one that ends in "*".
  if (last.isEmpty() || tlenm.startsWith('*')) return stored;
  const int k = stored.lastIndexOf('/');
  return stored.left(qMax(k, 0) + 1) + last;
}

namespace {
// The address rules are free functions: their texts take this file's context.
QString tr(const char* s) { return QCoreApplication::translate("tleupdate", s); }
}  // namespace

QUrl updateUrl(const QString& host, const QString& path) {
  const QString base = host.contains(QStringLiteral("://")) ? host : QStringLiteral("http://") + host;
  return QUrl(base + path);
}

UpdateAddress splitUpdateUrl(const QString& answer, bool httpsOk) {
  UpdateAddress a;
  QString rest = answer;
  bool https = false;
  static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
  const QRegularExpressionMatch m = scheme.match(rest);
  if (m.hasMatch()) {
    const QString s = m.captured(1).toLower();
    if (s == QLatin1String("https") && httpsOk) {
      https = true;
    } else if (s != QLatin1String("http")) {
      a.error = httpsOk ? tr("Only http and https addresses can be fetched.")
                        : tr("Only http addresses can be fetched.");
      return a;
    }
    rest = rest.mid(m.capturedLength());
  }
  const QString stored = https ? QStringLiteral("https://") + rest : rest;
  if (stored.size() > kUpdateUrlMax) {
    a.error = tr("The address is longer than %1 characters.").arg(kUpdateUrlMax);
    return a;
  }
  if (QString::fromLatin1(stored.toLatin1()) != stored) {
    a.error = tr("The address holds characters that cannot be stored.");
    return a;
  }
  const int slash = rest.indexOf('/');
  const QString file = slash < 0 ? QString() : rest.mid(rest.lastIndexOf('/') + 1);
  if (file.isEmpty() || file == QLatin1String(".") || file == QLatin1String("..")) {
    a.error = tr("The address must end in the name of the file to fetch, "
                 "for example host/dir/visual.txt.");
    return a;
  }
  const QString host = rest.left(slash);
  const QString path = rest.mid(slash);
  const QUrl url = updateUrl(https ? QStringLiteral("https://") + host : host, path);
  if (host.isEmpty() || !url.isValid() || url.host().isEmpty()) {
    a.error = tr("Not a usable address: %1").arg(answer);
    return a;
  }
  a.stored = stored;
  a.host = https ? QStringLiteral("https://") + host : host;
  a.path = path;
  a.file = file;
  return a;
}

int VorlixView::vUpdate(QString& host, QString& path, QString& file) {
  QString text = proposedUpdateUrl(CharToQs(indata->updurl), FileNameToQs(indata->tlenm));
  if (!prompter().askText(tr("Online Update"), tr("URL for TLE file to be downloaded:"), text,
                          this))
    return 1;
  text = text.trimmed();
  if (text.size() < 2) return 1;
  const UpdateAddress a = splitUpdateUrl(text, QSslSocket::supportsSsl());
  if (!a.error.isEmpty()) {
    prompter().inform(tr("Online Update"), a.error, this);
    return 1;
  }
  // The local file: that name in the directory of the current TLE file (the
  // working directory when there is none). Both steps refuse a name that does
  // not fit, with their own message.
  char local[FILENAME_SIZE];
  if (!QsToFileName(QLatin1Char('*') + a.file, local, FILENAME_SIZE - 1) || !vsFileName(local))
    return 1;
  QsToChar(a.stored, indata->updurl, FILENAME_SIZE - 1);
  host = a.host;
  path = a.path;
  file = FileNameToQs(local);
  return 0;
}

// ---------------------------------------------------------------------------
// One download
// ---------------------------------------------------------------------------

namespace {
int httpStatus(const QNetworkReply& r) {
  return r.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}
bool isSuccess(int status) { return status >= 200 && status < 300; }

QString systemText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Whether the body ends with a whole element set: its last line that is not
// blank ends a record (line 2 of a TLE after its line 1, or the fourth line
// of a state-vector record) and holds all 69 columns. A transfer that the
// server ended early, with no length announced to tell it, stops inside a
// line or between the lines of a set; the reader would take such a file
// without a word and lose the sets that did not come. The lines are walked
// as the element reader walks them: a line 1 takes the next line (three for
// a state-vector record) whatever it is; any other line is a name line. A
// final line end is not needed.
bool EndsWithWholeSet(const QByteArray& b) {
  constexpr int kElementLine = 59;  // an element line is longer (with its end)
  constexpr int kFullLine = 69;     // every column up to the checksum
  int due = 0;                      // lines the record begun still needs
  bool ended = false;               // the last line taken ended a record
  int length = 0;                   // ... and its length
  for (QByteArray line : b.split('\n')) {
    while (line.endsWith('\r')) line.chop(1);
    if (due == 0 && line.trimmed().isEmpty()) continue;  // blank lines between or after sets
    if (due > 0) {
      ended = --due == 0;
      length = line.size();
    } else if (line.startsWith('1') && line.size() + 1 > kElementLine) {
      due = line.mid(39, 19).toUpper() == TLE_STATEMARK ? 3 : 1;
      ended = false;
    } else {
      ended = false;
    }
  }
  return due == 0 && ended && length >= kFullLine;
}

}  // namespace

TleDownload::TleDownload(QObject* parent) : QObject(parent) {
  stall.setSingleShot(true);
  stall.setInterval(60000);
  connect(&stall, &QTimer::timeout, this, &TleDownload::stalled);
  rate.setInterval(60000);
  connect(&rate, &QTimer::timeout, this, &TleDownload::checkRate);
}

TleDownload::~TleDownload() { abort(); }

bool TleDownload::open(const QString& target) {
  why.clear();
  body.clear();
  out.reset();
  name = QFileInfo(target).absoluteFilePath();
  // A look now, so that a target that can never take the file is told before
  // anything is fetched. The writer is dropped again at once: it is opened
  // for good only when the whole reply is there and checked (save), so that
  // no temporary file sits beside the target during the transfer and what
  // the target is then (a second link, an attribute added meanwhile) decides
  // whether it is replaced or written in place.
  const int refused = openWriter();
  if (out) out->abandon();
  out.reset();
  if (refused != 0) {
    why = QString::fromLocal8Bit(OpenRegularError(refused));
    return false;
  }
  return true;
}

int TleDownload::openWriter() {
  const QByteArray path = QFile::encodeName(name);
  // What is no regular file (a directory, a FIFO, a device) is never
  // replaced by the download, nor written into.
  struct stat st;
  int refused = ::stat(path.constData(), &st) == 0 ? NoRegularFile(st.st_mode) : 0;
  if (refused == 0) {
    out = std::make_unique<SafeFile>(path.constData());
    if (!out->open())
      refused = out->error() != 0 ? out->error() : EIO;
    else if (out->direct())  // it became one meanwhile
      refused = EINVAL;
  }
  if (refused != 0) out.reset();
  return refused;
}

void TleDownload::start(QNetworkAccessManager& manager, const QUrl& address) {
  url = address;
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Vorlix/11.8"));
  reply = manager.get(request);
  connect(reply, &QNetworkReply::readyRead, this, &TleDownload::readBody);
  connect(reply, &QNetworkReply::finished, this, &TleDownload::finish);
  connect(reply, &QNetworkReply::metaDataChanged, &stall, qOverload<>(&QTimer::start));
  stall.start();
  received = receivedAtTick = 0;
  rate.start();
}

void TleDownload::abort() {
  stall.stop();
  rate.stop();
  if (QNetworkReply* r = reply.data()) {
    reply.clear();
    r->disconnect();
    r->abort();
    r->deleteLater();
  }
  discard();
}

void TleDownload::discard() {
  body.clear();
  if (!out) return;
  out->abandon();
  out.reset();
}

bool TleDownload::take(const QByteArray& chunk) {
  // Summed in 64 bits: two sizes near the largest array would overflow int.
  if (qint64(body.size()) + chunk.size() > maxBytes) {
    why = tr("more than %1 bytes from %2, the transfer was abandoned")
              .arg(maxBytes)
              .arg(url.toDisplayString());
    return false;
  }
  body += chunk;
  return true;
}

void TleDownload::readBody() {
  QNetworkReply* r = reply.data();
  if (!r) return;
  stall.start();
  const QByteArray chunk = r->readAll();
  received += chunk.size();
  // Only a successful answer's body is the file; an error page is not.
  if (!isSuccess(httpStatus(*r)) || !why.isEmpty()) return;
  if (!take(chunk)) r->abort();  // finish() follows at once
}

void TleDownload::stalled() {
  QNetworkReply* r = reply.data();
  if (!r) return;
  why = tr("no data for %1 s from %2")
            .arg(stall.interval() / 1000.0)
            .arg(r->url().toDisplayString());
  r->abort();
}

bool TleDownload::checkBody() {
  FILE* f = ::fmemopen(body.data(), static_cast<size_t>(body.size()), "r");
  if (!f) {
    why = tr("cannot check the reply: %1").arg(systemText(errno));
    return false;
  }
  const bool ok = HoldsElementSet(f);
  std::fclose(f);
  // An error page or junk served as the file must not replace the user's sets.
  if (!ok) {
    why = tr("no element sets in the reply");
    return false;
  }
  if (!EndsWithWholeSet(body)) {
    why = tr("the transfer ended inside an element set; %1 was kept").arg(name);
    return false;
  }
  return true;
}

bool TleDownload::save() {
  const int refused = openWriter();
  if (refused == 0 && out->write(body.constData(), static_cast<size_t>(body.size())) &&
      SafeFile::saved(out->commit())) {
    out.reset();
    return true;
  }
  const int err = refused != 0 ? refused : out->error() != 0 ? out->error() : EIO;
  why = tr("cannot write %1: %2").arg(name, QString::fromLocal8Bit(OpenRegularError(err)));
  return false;
}

void TleDownload::checkRate() {
  QNetworkReply* r = reply.data();
  if (!r) return;
  const qint64 got = received - receivedAtTick;
  receivedAtTick = received;
  if (got >= minBytes) return;
  why = tr("only %1 bytes in %2 s from %3, the transfer was abandoned")
            .arg(got)
            .arg(rate.interval() / 1000.0)
            .arg(r->url().toDisplayString());
  r->abort();
}

void TleDownload::finish() {
  QNetworkReply* r = reply.data();
  if (!r) return;
  stall.stop();
  rate.stop();
  reply.clear();
  r->deleteLater();
  const int status = httpStatus(*r);
  if (why.isEmpty() && r->error() == QNetworkReply::NoError && isSuccess(status))
    take(r->readAll());
  if (!why.isEmpty()) {
    // too large, stalled or too slow: told above
  } else if (r->error() != QNetworkReply::NoError) {
    why = r->errorString();
  } else if (!isSuccess(status)) {
    why = tr("the server answered %1 %2")
              .arg(status)
              .arg(r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
              .trimmed();
  } else if (body.isEmpty()) {
    why = tr("the server sent an empty file; %1 was kept").arg(name);
  } else if (!checkBody() || !save()) {
    // told by checkBody or save
  }
  body.clear();
  const bool error = !why.isEmpty();
  if (error) discard();
  emit done(error);
}

// ---------------------------------------------------------------------------
// The main window's side
// ---------------------------------------------------------------------------

void VorlixApp::slotFileUpdate() {
  status(tr("Online TLE file update"));
  if (updateBusy) {
    prompter().warn(tr("Online Update"), tr("Another online update still in progress."), this);
    return;
  }
  QString host, path, file;
  if (view->vUpdate(host, path, file) != 0) return;
  auto* d = new TleDownload(this);
  if (!d->open(file)) {
    prompter().warn(tr("HTTP Get"), tr("Cannot write file %1\n%2.").arg(file, d->errorString()),
                    this);
    delete d;
    return;
  }
  connect(d, &TleDownload::done, this, &VorlixApp::httpDone);
  download = d;
  updateBusy = 1;
  d->start(*http, updateUrl(host, path));
  status(tr("Ready."));
}

void VorlixApp::httpDone(bool error) {
  TleDownload* d = download;
  if (!d) return;
  // Idle again before the box is shown: its own event loop may run a while.
  download = nullptr;
  updateBusy = 0;
  const QString name = d->target();
  const QString why = d->errorString();
  d->deleteLater();
  if (error)
    prompter().warn(tr("HTTP Get"),
                    tr("Error fetching file with HTTP: %1.\nAddress: %2\nLocal file: %3")
                        .arg(why, d->address().toDisplayString(), name),
                    this);
  else
    prompter().inform(tr("HTTP Get"), tr("Download complete. File %1.").arg(name), this);
}

void VorlixApp::abortUpdate() {
  if (!download) return;
  TleDownload* d = download;
  download = nullptr;
  updateBusy = 0;
  d->abort();
  delete d;
}
