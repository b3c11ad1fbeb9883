// Alt keys of every dialog with a form: each mnemonic and each explicit
// button shortcut names one control.
#include <QDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "dialogs/stadjdialog.h"
#include "dialogs/stastdialog.h"
#include "dialogs/stdatedialog.h"
#include "dialogs/stdeltadialog.h"
#include "dialogs/steditorbdialog.h"
#include "dialogs/stiersdialog.h"
#include "dialogs/stiridiumdialog.h"
#include "dialogs/stlaunchdialog.h"
#include "dialogs/stmapdialog.h"
#include "dialogs/stmatchdialog.h"
#include "dialogs/stobsdialog.h"
#include "dialogs/storbdetdialog.h"
#include "dialogs/stremsatdialog.h"
#include "dialogs/stselsatdialog.h"
#include "dialogs/ststatedialog.h"
#include "dialogs/ststepdialog.h"
#include "dialogs/stswitchdialog.h"
#include "dialogs/stsysconfdialog.h"
#include "dialogs/stvisdialog.h"
#include "support/mnemonics.h"
#include "support/windowfixture.h"

namespace {

using Make = std::function<QDialog*()>;

template <typename D>
std::pair<const char*, Make> entry(const char* name) {
  return {name, [] { return new D; }};
}

const std::vector<std::pair<const char*, Make>>& dialogs() {
  static const std::vector<std::pair<const char*, Make>> all = {
      entry<StAdjDialog>("StAdjDialog"),         entry<StAstDialog>("StAstDialog"),
      entry<StDateDialog>("StDateDialog"),       entry<StDeltaDialog>("StDeltaDialog"),
      entry<StEditOrbDialog>("StEditOrbDialog"), entry<StIersDialog>("StIersDialog"),
      entry<StIridiumDialog>("StIridiumDialog"), entry<StLaunchDialog>("StLaunchDialog"),
      entry<StMapDialog>("StMapDialog"),         entry<StMatchDialog>("StMatchDialog"),
      entry<StObsDialog>("StObsDialog"),         entry<StOrbDetDialog>("StOrbDetDialog"),
      entry<StRemSatDialog>("StRemSatDialog"),   entry<StSelSatDialog>("StSelSatDialog"),
      entry<StStateDialog>("StStateDialog"),     entry<StStepDialog>("StStepDialog"),
      entry<StSwitchDialog>("StSwitchDialog"),   entry<StSysConfDialog>("StSysConfDialog"),
      entry<StVisDialog>("StVisDialog"),
  };
  return all;
}

}  // namespace

class MnemonicsTest : public QObject {
  Q_OBJECT
 private slots:
  void everyFormIsListed();
  void distinct_data();
  void distinct();
};

// The table holds one row per form of the source tree.
void MnemonicsTest::everyFormIsListed() {
  const QDir forms(testData(QStringLiteral("../../dialogs")));
  const QStringList files = forms.entryList({QStringLiteral("st*dialog.ui")}, QDir::Files);
  QVERIFY(!files.isEmpty());
  QStringList listed;
  for (const auto& d : dialogs()) listed << QString::fromLatin1(d.first).toLower() + ".ui";
  listed.sort();
  QCOMPARE(listed, files);
}

void MnemonicsTest::distinct_data() {
  QTest::addColumn<int>("index");
  for (int k = 0; k < int(dialogs().size()); ++k) QTest::newRow(dialogs()[k].first) << k;
}

// A shared Alt key only moves the focus between its owners, and what is typed
// next lands in the wrong field.
void MnemonicsTest::distinct() {
  QFETCH(int, index);
  const std::unique_ptr<QDialog> d(dialogs()[index].second());
  QCOMPARE(d->objectName(), QString::fromLatin1(dialogs()[index].first));
  QCOMPARE(MnemonicClash(*d), QString());
}

QTEST_MAIN(MnemonicsTest)
#include "mnemonics_test.moc"
