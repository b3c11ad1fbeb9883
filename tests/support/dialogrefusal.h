// Presses OK on a dialog that was filled without exec(): what its checks said.
#ifndef VORLIX_TESTS_SUPPORT_DIALOGREFUSAL_H
#define VORLIX_TESTS_SUPPORT_DIALOGREFUSAL_H

#include <QDialog>
#include <QString>
#include <QtTest>

#include "support/scriptedprompter.h"

// An empty text when the dialog accepted; otherwise "title / text" of the box
// that refused it ("no box" when it refused silently).
inline QString refusalOf(QDialog& dialog) {
  ScriptedPrompter p;
  dialog.setResult(QDialog::Rejected);
  dialog.accept();
  if (dialog.result() == QDialog::Accepted) return QString();
  const QList<ScriptedPrompter::Box> warns = p.of("warn");
  return warns.isEmpty() ? QString("no box") : warns[0].title + " / " + warns[0].text;
}

// Presses OK and checks the outcome: with refusal empty the dialog accepts;
// otherwise its box, under the dialog's title, starts with refusal.
inline void expectRefusal(QDialog& dialog, const QString& refusal) {
  const QString err = refusalOf(dialog);
  if (refusal.isEmpty())
    QVERIFY2(err.isEmpty(), qPrintable(err));
  else
    QVERIFY2(err.startsWith(dialog.windowTitle() + " / " + refusal), qPrintable(err));
}

#endif
