// Alt keys of a dialog: every mnemonic (labels, buttons, group titles) and
// every explicit button shortcut names one control. An ambiguous Alt key
// only moves the focus between its owners, so what is typed next lands in
// the wrong field.
#ifndef VORLIX_TESTS_SUPPORT_MNEMONICS_H
#define VORLIX_TESTS_SUPPORT_MNEMONICS_H

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QString>

// The first Alt key owned by two controls, as "Alt+Y: yearLabel, systemBox";
// empty when there is none.
inline QString MnemonicClash(const QDialog& d) {
  QHash<QString, QString> owner;  // key text -> object name
  QString clash;
  auto take = [&](const QString& key, const QObject* w) {
    if (key.isEmpty() || !clash.isEmpty()) return;
    const QString name = w->objectName();
    const auto it = owner.constFind(key);
    if (it == owner.constEnd())
      owner.insert(key, name);
    else if (*it != name)
      clash = key + ": " + *it + ", " + name;
  };
  auto fromText = [](const QString& t) {
    for (int k = t.indexOf('&'); k >= 0 && k + 1 < t.size(); k = t.indexOf('&', k + 2))
      if (t[k + 1] != '&') return QStringLiteral("Alt+") + t[k + 1].toUpper();
    return QString();
  };
  for (auto* l : d.findChildren<QLabel*>()) take(fromText(l->text()), l);
  for (auto* g : d.findChildren<QGroupBox*>()) take(fromText(g->title()), g);
  for (auto* b : d.findChildren<QAbstractButton*>()) {
    take(fromText(b->text()), b);
    take(b->shortcut().toString().toUpper().replace(QStringLiteral("ALT+"), QStringLiteral("Alt+")), b);
  }
  return clash;
}

#endif
