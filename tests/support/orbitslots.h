// Records and satellites for the tests of the orbit dialogs and commands:
// the records at the start values these commands read, satellites loaded
// from tests/data/orbit/orbit.tle through the TLE reader, and the outside
// references of tests/data/orbit/orbit-refs.txt.
#ifndef VORLIX_TESTS_SUPPORT_ORBITSLOTS_H
#define VORLIX_TESTS_SUPPORT_ORBITSLOTS_H

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdio>
#include <cstring>

#include "engine/stateframes.h"
#include "engine/tle.h"
#include "gui/records.h"
#include "support/windowfixture.h"

// Zeroed records with the values the orbit commands rely on.
inline void OrbitRecord() {
  WindowFixture::zeroRecords();
  WinpData* d = indata;
  d->sgpsat = SGPSAT_NONE;
  d->rndflg = -1;
  d->sdp4 = true;
  d->stfrm = 1;
  d->dF107 = d->dFB107 = 150.0;
  d->dKp = 3.0;
  d->dCd = 2.2;
  d->dCr = 1.3;
  d->dAm = 0.01;
  d->RKFtol = 1e-8;
  d->mxit = 20;
  d->tmeco = 8.0;
  d->rndtm = 1.0;
}

// Loads the element set of tests/data/<file> whose name starts with name
// into slot i (satnr grows to i + 1).
inline bool LoadSatFrom(const QString& file, const char* name, int i) {
  WinpData* d = indata;
  const QByteArray path = QFile::encodeName(testData(file));
  FILE* f = std::fopen(path.constData(), "r");
  if (!f) return false;
  std::snprintf(d->cfgname[WORKSLOT], SATNAME_SIZE, "%s", name);
  d->srchmd = 0;
  char msg[TLEMSG_SIZE];
  const int res = tleread(d, f, msg, 0);
  std::fclose(f);
  if (res == 0) return false;
  ShiftElm(d, i, WORKSLOT);
  if (d->satnr < i + 1) d->satnr = i + 1;
  return true;
}

// The same from orbit/orbit.tle, and the satellite becomes the prime one.
inline bool LoadSat(const char* name, int i) {
  if (!LoadSatFrom(QStringLiteral("orbit/orbit.tle"), name, i)) return false;
  indata->prs = i;
  return true;
}

// The lines of orbit-refs.txt that start with tag (and, when given, whose
// second field is key), split into fields (the tag dropped).
inline QVector<QStringList> OrbitRefs(const QString& tag, const QString& key = QString()) {
  QVector<QStringList> rows;
  QFile f(testData("orbit/orbit-refs.txt"));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return rows;
  while (!f.atEnd()) {
    const QString line = QString::fromLatin1(f.readLine()).trimmed();
    QStringList x = line.split(' ', Qt::SkipEmptyParts);
    if (x.isEmpty() || x.takeFirst() != tag) continue;
    if (!key.isEmpty() && (x.isEmpty() || x.first() != key)) continue;
    rows << x;
  }
  return rows;
}

// One state in the four frames (tests/data/stateframes-erfa.txt, ERFA).
struct FrameCase {
  QString name;
  double mjd = 0, dut1 = 0, xp = 0, yp = 0;
  int iers = 0;
  Vec3 r[NFRAMES], v[NFRAMES];
};

inline QVector<FrameCase> FrameCases() {
  QVector<FrameCase> cases;
  QFile f(testData("stateframes-erfa.txt"));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return cases;
  while (!f.atEnd()) {
    const QStringList x = QString::fromLatin1(f.readLine()).split(' ', Qt::SkipEmptyParts);
    if (x.size() == 7 && x[0] == "case") {
      FrameCase c;
      c.name = x[1];
      c.mjd = x[2].toDouble();
      c.iers = x[3].toInt();
      c.dut1 = x[4].toDouble();
      c.xp = x[5].toDouble();
      c.yp = x[6].toDouble();
      cases << c;
    } else if (x.size() == 8 && x[0] == "st" && !cases.isEmpty()) {
      const int k = x[1].toInt();
      if (k < 0 || k >= NFRAMES) continue;
      cases.last().r[k] = Vec3(x[2].toDouble(), x[3].toDouble(), x[4].toDouble());
      cases.last().v[k] = Vec3(x[5].toDouble(), x[6].toDouble(), x[7].toDouble());
    }
  }
  return cases;
}

// The Earth-orientation values of a frame case into the record.
inline void FrameSettings(WinpData* d, const FrameCase& c) {
  d->IERSflg = c.iers != 0;
  d->Ut1Utc = c.dut1;
  d->IERSxp = c.xp;
  d->IERSyp = c.yp;
}

#endif
