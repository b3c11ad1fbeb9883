// Text and file-name fields of the record, and the pass-detail services.
#include "gui/vsservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "dialogs/prompter.h"
#include "engine/passtext.h"
#include "engine/satpos.h"
#include "engine/savefile.h"
#include "gui/records.h"

QString vsTr(const char* text) { return QCoreApplication::translate("vsservices", text); }

namespace {

void tooLong(const QString& name) {
  prompter().warn(vsTr("Vorlix"),
                  vsTr("File name too long (at most %1 bytes):\n%2")
                      .arg(FILENAME_SIZE - 1)
                      .arg(name));
}

// The last pass listing gave a line: a step with numbers, or the time at
// which it met no position ("*** No Position ***").
bool listingGaveLine() { return PassStepListed(indata) || PassListingLost() != SATPOS_OK; }

// Why a pass listing holds no line.
const char* const kNotMet =
    QT_TRANSLATE_NOOP("vsservices",
                      "*** The satellite does not meet the conditions at the first step of the "
                      "pass ***");

// Pieces of a pass listing the save file takes, whatever the time step.
constexpr int kMaxSavedPieces = 16250;

// The time of the last line of a pass listing whose time after that line is
// t, as that line shows it (in the step's own form: "MMM DD HH:MM" for
// minute steps, "MMM DD HH:MM: S.S" below a second), with single blanks.
QString lastLineTime(double t) {
  char ts[AOSSTR_SIZE];
  PassStepStamp(indata, t - StepDays(indata), ts);
  return CharToQs(ts).simplified();
}

}  // namespace

void QsToChar(const QString& s, char* dst, int n) {
  const QByteArray b = s.toLatin1();
  int k = 0;
  while (k < n && k < b.size() && b[k] != '\r') {
    dst[k] = b[k];
    ++k;
  }
  dst[k] = '\0';
}

QString CharToQs(const char* s) { return QString::fromLatin1(s); }

bool QsToFileName(const QString& s, char* dst, int n) {
  const QByteArray b = QFile::encodeName(s);
  if (b.size() > n || b.contains('\0')) {
    tooLong(s);
    return false;
  }
  std::memcpy(dst, b.constData(), static_cast<size_t>(b.size()));
  dst[b.size()] = '\0';
  return true;
}

QString FileNameToQs(const char* s) { return QFile::decodeName(s); }

QString PageLineToQs(const WoutData* o, int k) {
  char line[WOUT_LINELEN + 1];
  const int n = WoutLineCopy(o, k, line);
  int from = 0, len = 0;
  if (!WoutLineName(o, k, &from, &len)) return CharToQs(line);
  QString name = QFile::decodeName(QByteArray(line + from, len));
  if (from + len == WOUT_LINELEN)
    while (name.endsWith(QChar(QChar::ReplacementCharacter))) name.chop(1);
  return QString::fromLatin1(line, from) + name +
         QString::fromLatin1(line + from + len, n - from - len);
}

bool vsFileName(char* name) {
  if (name[0] != '*') return true;
  // The directory of the TLE file, when its name has one and is usable;
  // otherwise the working directory (never the file-system root).
  QByteArray dir;
  const char* tle = indata->tlenm;
  const char* slash = tle[0] != '*' ? std::strrchr(tle, '/') : nullptr;
  if (slash)
    dir = QByteArray(tle, static_cast<int>(slash - tle) + 1);
  else
    dir = QFile::encodeName(QDir::currentPath()) + '/';
  const QByteArray full = dir + QByteArray(name + 1);
  if (full.size() > FILENAME_SIZE - 1) {
    tooLong(QFile::decodeName(full));
    return false;
  }
  std::memcpy(name, full.constData(), static_cast<size_t>(full.size()));
  name[full.size()] = '\0';
  return true;
}

int vsGetPassDTxt(double& t, QString& s, bool pole) {
  if (pole) {
    // A listing without a line would leave the viewer blank: it says why.
    if (!listingGaveLine()) {
      s = vsTr(kNotMet);
      return 0;
    }
    char text[POLETXT_SIZE];
    GetPoleTxt(indata, text);
    s = CharToQs(text);
    return 0;
  }
  char text[PASSDTXT_SIZE];
  const int more = GetPassDTxt(indata, t, text, 0);
  s = CharToQs(text);
  return more;
}

QString vsSaveFileReason() { return vsSaveFileReason(LastSaveFile()); }

QString vsSaveFileReason(const SaveFileOutcome& o) {
  if (SaveFileSaved(o.result)) return QString();
  QString why = QString::fromLocal8Bit(SaveFileReason(o));
  if (o.result == SAVE_TLEFILE) why += QLatin1Char(' ') + FileNameToQs(o.elementFile.c_str());
  return why;
}

QString vsOutputProblem() {
  const QString why = vsSaveFileReason();
  return vsTr("*** Problems with the output file") + QLatin1Char('\n') +
         FileNameToQs(indata->savnm) + (why.isEmpty() ? QString() : QLatin1Char('\n') + why);
}

QString vsSaveFileNote() {
  const SaveFileOutcome o = LastSaveFile();
  if (o.result != SAVE_UNSYNCED) return QString();
  return vsTr("\n\n*** The save file's folder was not synced: %1 ***")
      .arg(QString::fromLocal8Bit(SaveFileReason(o)));
}

QString vsPassCutText(int lines, double t) {
  return vsTr("Pass details cut after %1 lines: the last line is at %2")
      .arg(lines)
      .arg(lastLineTime(t));
}

int vsSavePassDt(int mode) {
  // A slot without a satellite has no pass to describe.
  if (indata->satnr < 1) {
    prompter().inform(vsTr("Vorlix"), vsTr("*** No Satellite Selected ***"));
    return 1;
  }
  // The listing is collected first, so a failed write leaves a new file
  // untouched and an appended one without a half block.
  QByteArray block;
  double t = 0.0;
  char text[PASSDTXT_SIZE];
  int pieces = 0;
  int more = 1;
  while (more != 0 && pieces < kMaxSavedPieces) {
    more = GetPassDTxt(indata, t, text, mode);
    block.append(Latin1ToUtf8(text, sizeof text).c_str());
    ++pieces;
  }
  // A listing without a single step of numbers is saved as it is, and the
  // box says what the file holds, as for a track without a position.
  const bool listed = PassStepListed(indata);
  // A listing that reached the limit with the satellite still in view says
  // so, and where, in the file as in the box (a "+++" line, as a cut track
  // has).
  const QString cut = more != 0 ? vsPassCutText(kMaxSavedPieces, t) : QString();
  if (!cut.isEmpty()) block.append("\n+++ " + cut.toUtf8() + " +++");
  if (mode == 1 && pieces >= 2 && listed) {
    char pole[POLETXT_SIZE];
    GetPoleTxt(indata, pole);
    block.append(pole);
  }
  if (!vsFileName(indata->savnm)) return 1;  // refused with its own message
  // Never over the element file; new or appended as svnew says.
  const auto write = [&block](FILE* f) {
    const size_t n = static_cast<size_t>(block.size());
    return std::fwrite(block.constData(), 1, n, f) == n;
  };
  if (!SaveFileSaved(WriteSaveFile(indata, false, write))) {
    prompter().inform(vsTr("Pass Details"), vsOutputProblem());
    return 1;
  }
  QString said;
  if (listed)
    said = vsTr("Saved on File ") + FileNameToQs(indata->savnm);
  else if (PassListingLost() == SATPOS_NOOBSERVER)
    said = vsTr("*** The observing satellite has no position at the first step of the pass "
                "***\n"
                "File %1 holds only its heading and that time, marked \"*** Observing Sat.: No "
                "Position ***\".")
               .arg(FileNameToQs(indata->savnm));
  else if (PassListingLost() != SATPOS_OK)
    said = vsTr(
               "*** No position at the first step of the pass ***\n"
               "File %1 holds only its heading and that time, marked \"*** No Position ***\".")
               .arg(FileNameToQs(indata->savnm));
  else
    said = vsTr(kNotMet) +
           vsTr("\nFile %1 holds only the heading of the pass.").arg(FileNameToQs(indata->savnm));
  if (!cut.isEmpty()) said += QStringLiteral("\n\n*** ") + cut + QStringLiteral(" ***");
  prompter().inform(vsTr("Vorlix"), said + vsSaveFileNote());
  return 0;
}
