// The folder and records of one window test.
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <cstring>

#include "astro/astrolib.h"
#include "engine/vorlixcom.h"
#include "gui/records.h"
#include "gui/vorlix.h"

QString testData(const QString& name) {
  return QStringLiteral(VORLIX_TEST_DATA "/") + name;
}

WindowFixture::WindowFixture() : oldDir(QDir::currentPath()), oldHome(qgetenv("HOME")) {
  QDir(tmp.path()).mkpath(QStringLiteral("app"));
  QDir(tmp.path()).mkpath(QStringLiteral("home"));
  qputenv("HOME", QFile::encodeName(homeDir()));
  QDir::setCurrent(appDir());
}

WindowFixture::~WindowFixture() {
  QDir::setCurrent(oldDir);
  qputenv("HOME", oldHome);
}

QString WindowFixture::appDir() const { return tmp.path() + QStringLiteral("/app"); }
QString WindowFixture::homeDir() const { return tmp.path() + QStringLiteral("/home"); }
QString WindowFixture::path(const QString& name) const { return appDir() + '/' + name; }

void WindowFixture::writeFile(const QString& name, const QByteArray& bytes) const {
  QFile f(path(name));
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void WindowFixture::copyData(const QString& from, const QString& name) const {
  QFile::remove(path(name));
  QFile::copy(testData(from), path(name));
}

void WindowFixture::writeConfig(const QString& tle, const QStringList& sats, int fontSize,
                                bool leftButton) const {
  QByteArray c;
  c += "1.000000 \n52.210000 \n14.120000 \n98.000000 \nLindenberg\n";
  c += QByteArray::number(fontSize) + " \n1 \n1 \n" + QFile::encodeName(tle) + "\n";
  c += "1 \n-6.000000 \n10.000000\n2000.000000\n10\n1\n";
  c += QByteArray(leftButton ? "1" : "0") + " \n";
  c += "celestrak.org/NORAD/elements/visual.txt\n";
  c += "3   160.0   155.0     4.0\n  2.30000e+00   1.30000e+00   1.00000e-02\n";
  c += QByteArray::number(sats.size()) + " \n";
  for (const QString& s : sats) c += s.toLatin1() + "\n";
  writeFile(QStringLiteral("vorlix.cfg"), c);
}

void WindowFixture::writeStandard() const {
  copyData(QStringLiteral("welcome/welcome.tle"), QStringLiteral("welcome.tle"));
  writeConfig(QStringLiteral("welcome.tle"), {"ISS", "HST", "sl-16"});
}

void WindowFixture::zeroRecords() {
  *indata = WinpData{};
  *outdata = WoutData{};
  *satps = SatPosData{};
}

void WindowFixture::usePassDay() {
  indata->day = 7;
  indata->month = 1;
  indata->year = 2009;
  indata->hour = indata->minute = indata->second = 0;
  indata->tzauto = 0;
  indata->tzone = 0.0;
  indata->dur = 1.0;
  indata->satel = 0.0;
  indata->sunel = 90.0;
  indata->visflg = 0;
  indata->prs = 0;
  setNewMjd(indata);
}

std::unique_ptr<VorlixApp> WindowFixture::start() const {
  zeroRecords();
  return std::make_unique<VorlixApp>(CFG_FILENAME);
}

WindowTest::~WindowTest() { closeWindow(); }

void WindowTest::startStandard(const std::function<void(const WindowFixture&)>& prepare) {
  fx = std::make_unique<WindowFixture>();
  fx->writeStandard();
  if (prepare) prepare(*fx);
  win = fx->start();
}

void WindowTest::closeWindow() {
  win.reset();
  fx.reset();
}

VorlixView* WindowTest::view() const { return win->viewWidget(); }

void setDateFields(double t) {
  WinpData* d = indata;
  int day, month, year, h, m;
  double hour, s;
  caldat(t, day, month, year, hour);
  dms(hour + 1e-9, h, m, s);  // 12:00 never as 11:59:59.999
  d->day = day;
  d->month = month;
  d->year = year;
  d->hour = h;
  d->minute = m;
  d->second = static_cast<int>(s);
  d->tzone = 0.0;
  d->tzauto = 0;
}

void setPageLine(int k, const QByteArray& text, bool marked) {
  std::memset(outdata->lines[k], 0, sizeof outdata->lines[k]);
  std::memcpy(outdata->lines[k], text.constData(),
              static_cast<size_t>(qMin(text.size(), WOUT_LINELEN)));
  outdata->lines[k][WOUT_MARK] = marked ? '~' : '\0';
  outdata->namefrom[k] = outdata->namelen[k] = 0;
}
