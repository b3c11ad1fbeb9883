// A folder for one window test: program directory, home directory, a
// configuration and a TLE file written there, and the records zeroed before
// the window starts up on them.
#ifndef VORLIX_TESTS_SUPPORT_WINDOWFIXTURE_H
#define VORLIX_TESTS_SUPPORT_WINDOWFIXTURE_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class VorlixApp;
class VorlixView;

class WindowFixture {
 public:
  // Makes <tmp>/app the working directory and <tmp>/home the home directory.
  WindowFixture();
  // Restores the working directory and HOME.
  ~WindowFixture();

  QString appDir() const;
  QString homeDir() const;
  QString path(const QString& name) const;  // in appDir
  void writeFile(const QString& name, const QByteArray& bytes) const;
  // Copies tests/data/<from> to appDir/<name>.
  void copyData(const QString& from, const QString& name) const;
  // vorlix.cfg naming tle as TLE file and sats as configured satellites.
  void writeConfig(const QString& tle, const QStringList& sats = QStringList(), int fontSize = 10,
                   bool leftButton = false) const;
  // The usual start: welcome.tle with three of its satellites.
  void writeStandard() const;

  // Every field of indata, outdata and satps zero, as at program load.
  static void zeroRecords();
  // Zeroes the records and constructs the window on appDir/vorlix.cfg.
  std::unique_ptr<VorlixApp> start() const;
  // The date and limits of a real pass list over the standard satellites:
  // one day of January 2009 (zone 0), every pass above the horizon whatever
  // the Sun does, the first satellite prime.
  static void usePassDay();

 private:
  QTemporaryDir tmp;
  QString oldDir;
  QByteArray oldHome;
};

// What the window command tests share: a folder with the usual files
// (writeStandard, then what prepare adds) and the window started on them;
// closeWindow closes the window before its folder goes. Each test's init
// and cleanup call them.
class WindowTest : public QObject {
 public:
  ~WindowTest() override;

 protected:
  void startStandard(const std::function<void(const WindowFixture&)>& prepare = nullptr);
  void closeWindow();
  VorlixView* view() const;

  std::unique_ptr<WindowFixture> fx;
  std::unique_ptr<VorlixApp> win;
};

// The date fields of indata for the MJD t at zone 0 (curmjd unchanged).
void setDateFields(double t);

// Line k of the text page (outdata) holds text, cut to the line length, with
// the mark of a pass line when marked.
void setPageLine(int k, const QByteArray& text, bool marked);

// A path in the source tree's tests/data.
QString testData(const QString& name);

#endif
