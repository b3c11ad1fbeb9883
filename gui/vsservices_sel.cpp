// Selection services: the satellite search over the open TLE file, the
// selection listing and the names of the selected satellites, for the
// selection, removal and prime-satellite dialogs.
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/tle.h"
#include "gui/records.h"
#include "gui/vsservices.h"

namespace {

// A text field of the record (Latin-1), read no further than its size.
QString fieldText(const char* s, int size) {
  return QString::fromLatin1(s, static_cast<int>(strnlen(s, static_cast<size_t>(size))));
}
}  // namespace

void vsLastSat(QString& name, int& mode, int& norad, int& count, int& low, int& recent) {
  name = fieldText(indata->cfgname[WORKSLOT], SATNAME_SIZE);
  mode = indata->srchmd;
  norad = indata->norad[WORKSLOT];
  count = indata->satnr;
  low = indata->lowflg;
  recent = indata->recflg;
}

QString vsSatList() {
  QString s = vsTr("TLE filename: ") + FileNameToQs(indata->tlenm);
  if (indata->satnr < 1) return s + vsTr("\n\n*** No Satellites Selected ***");
  s += vsTr("\n\nSelected Satellites:\n");
  for (int i = 1; i <= std::min(indata->satnr, MAXSEL); ++i) s += QStringLiteral("\n  ") + vsSatName(i);
  return s;
}

void vsResetSatList() {
  indata->satnr = 0;
  indata->prs = 0;
  indata->sgpsat = SGPSAT_NONE;
}

void vsSatSel() {
  const int n = std::clamp(indata->satnr, 0, MAXSEL - 1);
  ShiftElm(indata, n, WORKSLOT);
  // The work slot now stands for a satellite already taken.
  indata->satname[WORKSLOT][0] = '#';
  indata->satnr = std::min(n + 1, MAXSEL);
}

void vsLowRecent(int low, int recent) {
  indata->lowflg = low;
  indata->recflg = recent;
}

void vsReComp(QString& name, int& norad, int mode, int more, int low, int recent) {
  vsLowRecent(low, recent);
  indata->srchmd = mode;
  QsToChar(name, indata->cfgname[WORKSLOT], SATNAME_SIZE - 1);
  indata->norad[WORKSLOT] = norad;
  char text[TLEMSG_SIZE] = "";
  // The reader takes a leading '*' of the search text as "every satellite"
  // in any mode. A search by number looks for the number alone: the name
  // field, unused and greyed out then, may still hold such a text (a
  // matching search leaves one), so it is hidden from the reader for the
  // call and kept as the stored search text.
  char* stored = indata->cfgname[WORKSLOT];
  const char first = stored[0];
  if (mode == 1) stored[0] = '\0';
  norad = tleread(indata, satfle, text, more);  // no open file: says so
  stored[0] = first;
  name = fieldText(text, TLEMSG_SIZE);
}

void vsFindSat(QString& name, int& norad, int mode, int low, int recent) {
  if (satfle) std::rewind(satfle);
  vsReComp(name, norad, mode, 0, low, recent);
}

QString vsSatName(int n) {
  if (n < 1 || n > std::min(indata->satnr, MAXSEL)) return QString();
  return fieldText(indata->satname[n - 1], SATNAME_SIZE);
}

int vsCatNo(const QString& text) {
  const QByteArray t = text.trimmed().toLatin1();
  if (t.isEmpty() || t.size() > 6) return 0;
  bool ok = false;
  const int n = t.toInt(&ok, 10);
  if (ok) return n;
  // The Alpha-5 form of numbers above 99999: a letter and four digits.
  return t.size() == 5 ? tlecatno(t.constData()) : 0;
}
