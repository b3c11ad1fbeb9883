// Runs one test function of a QtTest program again in a process of its own,
// and takes the rights of an ordinary user there. A window test that must
// meet file permissions (which do not bind root, as whom CI runs) cannot fork
// a child of the test process: Qt has started threads by then, and a child
// of a threaded process may only make async-signal-safe calls. The fresh
// process is the same program, started for that one function; it prepares
// its files as the user who started it and meets them as "nobody" when that
// user is root.
#ifndef VORLIX_TESTS_SUPPORT_OWNPROCESS_H
#define VORLIX_TESTS_SUPPORT_OWNPROCESS_H

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

namespace support {

// True in the process RunInOwnProcess started.
inline bool InOwnProcess() { return qEnvironmentVariableIsSet("VORLIX_TEST_OWN_PROCESS"); }

struct OwnProcessRun {
  bool passed = false;  // the function ran there (not skipped) and passed
  QString output;       // what the process printed, for the failure message
};

// Runs test function `function` of this program, with the data row `row`
// (none: the function has no data), in a fresh process and waits for it
// (ended after `seconds`).
inline OwnProcessRun RunInOwnProcess(const QString& function, const QString& row = QString(),
                                     int seconds = 120) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VORLIX_TEST_OWN_PROCESS"), QStringLiteral("1"));
  QProcess p;
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  const QString which = row.isEmpty() ? function : function + ':' + row;
  p.start(QCoreApplication::applicationFilePath(), {which});
  OwnProcessRun run;
  if (!p.waitForStarted(seconds * 1000)) {
    run.output = QStringLiteral("cannot start: ") + p.errorString();
    return run;
  }
  if (!p.waitForFinished(seconds * 1000)) {
    p.kill();
    p.waitForFinished(-1);
    run.output = QString::fromLocal8Bit(p.readAll()) + QStringLiteral("\n(ended: no result in time)");
    return run;
  }
  run.output = QString::fromLocal8Bit(p.readAll());
  const QString passLine = QStringLiteral("PASS   : ") + QStringLiteral(".*::") +
                           QRegularExpression::escape(function) +
                           QRegularExpression::escape('(' + row + ')');
  run.passed = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
               run.output.contains(QRegularExpression(
                   QStringLiteral("(^|\n)") + passLine + QStringLiteral("(\n|$)"))) &&
               run.output.contains(QRegularExpression(QStringLiteral(
                   "Totals: [0-9]+ passed, 0 failed, 0 skipped")));
  return run;
}

// While it lives, the process meets files as an ordinary user: as root, the
// effective user and group become "nobody"'s and the supplementary groups
// are dropped (every thread of the process alike); root's are taken back when
// it goes, so the test can tidy up. Any other user is ordinary already.
// Meant for a process RunInOwnProcess started, never for the test program
// the others run in.
class OrdinaryUser {
 public:
  OrdinaryUser() {
    if (geteuid() != 0) {
      ok_ = true;
      return;
    }
    const passwd* pw = getpwnam("nobody");
    if (!pw) return;
    const uid_t uid = pw->pw_uid;
    const gid_t gid = pw->pw_gid;
    gid_ = getegid();
    const int n = getgroups(0, nullptr);
    if (n < 0) return;
    groups_.resize(static_cast<size_t>(n));
    if (n > 0 && getgroups(n, groups_.data()) != n) return;
    if (setgroups(0, nullptr) != 0) return;
    switched_ = true;
    ok_ = setegid(gid) == 0 && seteuid(uid) == 0;
  }
  ~OrdinaryUser() {
    if (!switched_) return;
    if (seteuid(0) != 0 || setegid(gid_) != 0 || setgroups(groups_.size(), groups_.data()) != 0)
      qFatal("cannot become root again");
  }
  OrdinaryUser(const OrdinaryUser&) = delete;
  OrdinaryUser& operator=(const OrdinaryUser&) = delete;
  // False when the switch failed (then nothing of what follows binds).
  bool ok() const { return ok_; }

 private:
  bool ok_ = false, switched_ = false;
  gid_t gid_ = 0;
  std::vector<gid_t> groups_;
};

}  // namespace support

#endif
