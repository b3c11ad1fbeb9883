// The scripted prompter of the window tests.
#include "support/scriptedprompter.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>

ScriptedPrompter::ScriptedPrompter() : previous(setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() { setPrompter(previous); }

QVariant ScriptedPrompter::next() { return answers.isEmpty() ? QVariant() : answers.dequeue(); }

QList<ScriptedPrompter::Box> ScriptedPrompter::of(const QString& kind) const {
  QList<Box> r;
  for (const Box& b : boxes)
    if (b.kind == kind) r << b;
  return r;
}

QStringList ScriptedPrompter::texts() const {
  QStringList r;
  for (const Box& b : boxes) r << b.text;
  return r;
}

void ScriptedPrompter::inform(const QString& title, const QString& text, QWidget*) {
  boxes << Box{QStringLiteral("inform"), title, text};
}

bool ScriptedPrompter::warn(const QString& title, const QString& text, QWidget*, const QString&) {
  boxes << Box{QStringLiteral("warn"), title, text};
  return warnAnswer;
}

bool ScriptedPrompter::confirm(const QString& title, const QString& text, const QString&,
                               QWidget*) {
  boxes << Box{QStringLiteral("confirm"), title, text};
  return next().toBool();
}

bool ScriptedPrompter::askDouble(const QString& title, const QString& label, double& value,
                                 double min, double max, int, QWidget*) {
  boxes << Box{QStringLiteral("askDouble"), title, label};
  const QVariant v = next();
  if (!v.isValid()) return false;
  value = qBound(min, v.toDouble(), max);
  return true;
}

bool ScriptedPrompter::askInt(const QString& title, const QString& label, int& value, int min,
                              int max, int, QWidget*) {
  boxes << Box{QStringLiteral("askInt"), title, label};
  const QVariant v = next();
  if (!v.isValid()) return false;
  value = qBound(min, v.toInt(), max);
  return true;
}

bool ScriptedPrompter::askText(const QString& title, const QString& label, QString& text,
                               QWidget*) {
  boxes << Box{QStringLiteral("askText"), title, label};
  const QVariant v = next();
  if (!v.isValid()) return false;
  text = v.toString();
  return true;
}

QString ScriptedPrompter::openFile(const QString& caption, const QString& dir, const QString&,
                                   QWidget*) {
  boxes << Box{QStringLiteral("openFile"), caption, dir};
  return next().toString();
}

QString ScriptedPrompter::saveFile(const QString& caption, const QString& dir, const QString&,
                                   QWidget*) {
  boxes << Box{QStringLiteral("saveFile"), caption, dir};
  return next().toString();
}

int ScriptedPrompter::exec(QDialog& dialog) {
  boxes << Box{QStringLiteral("exec"), dialog.objectName(), dialog.windowTitle()};
  if (scripts.isEmpty()) return QDialog::Rejected;
  return scripts.dequeue()(dialog);
}

void ScriptedPrompter::fillAndAccept(const QMap<QString, QString>& fields) {
  onExec(accepting([fields](QDialog& d) { fillWidgets(d, fields); }));
}

std::function<int(QDialog&)> accepting(std::function<void(QDialog&)> fill) {
  return [fill](QDialog& d) {
    if (fill) fill(d);
    d.accept();
    return d.result();
  };
}

void ScriptedPrompter::reject() {
  onExec([](QDialog&) { return int(QDialog::Rejected); });
}

QStringList fillWidgets(QDialog& dialog, const QMap<QString, QString>& fields) {
  QStringList missing;
  for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
    if (auto* e = dialog.findChild<QLineEdit*>(it.key())) {
      e->setText(it.value());
    } else if (auto* b = dialog.findChild<QAbstractButton*>(it.key())) {
      b->setChecked(it.value() == QLatin1String("1"));
    } else {
      missing << it.key();
    }
  }
  return missing;
}
