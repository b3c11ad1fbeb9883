// Number texts and checked reads shared by all dialogs.
#include "dialogs/stdialog.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QVariant>
#include <cmath>
#include <cstdio>

#include "dialogs/prompter.h"
#include "engine/numparse.h"
#include "engine/vorlixcom.h"

namespace {
// Dynamic properties that remember what setNum showed.
constexpr const char* kShownText = "vorlixShownText";
constexpr const char* kShownValue = "vorlixShownValue";

void show(QLineEdit* edit, const QString& text, const QVariant& value) {
  edit->setText(text);
  edit->setProperty(kShownText, text);
  edit->setProperty(kShownValue, value);
}

// The value setNum stored, when the text is still the one it showed.
bool untouched(const QLineEdit* edit, QVariant& value) {
  const QVariant shown = edit->property(kShownText);
  if (!shown.isValid() || shown.toString() != edit->text()) return false;
  value = edit->property(kShownValue);
  return value.isValid();
}
}  // namespace

// A zero is written without a sign.
QString numText(double v) { return QString::number(v == 0.0 ? 0.0 : v, 'g', 6); }

QString numText(double v, const char* format) {
  char buf[64];
  const int n = FmtNum(buf, sizeof buf, format, v);
  if (n < 0) return QString();
  decdot(buf);
  return QString::fromLatin1(buf);
}

void setNum(QLineEdit* edit, double v) { show(edit, numText(v), v); }

void setNum(QLineEdit* edit, double v, const char* format) {
  show(edit, numText(v, format), v);
}

void setNum(QLineEdit* edit, int v) { show(edit, QString::number(v), v); }

void swapNum(QLineEdit* a, QLineEdit* b) {
  const QString text = a->text();
  const QVariant shownText = a->property(kShownText), shownValue = a->property(kShownValue);
  a->setText(b->text());
  a->setProperty(kShownText, b->property(kShownText));
  a->setProperty(kShownValue, b->property(kShownValue));
  b->setText(text);
  b->setProperty(kShownText, shownText);
  b->setProperty(kShownValue, shownValue);
}

bool parseNum(const QString& text, double& v) {
  bool ok = false;
  v = text.toDouble(&ok);
  if (ok && std::isfinite(v)) return true;
  v = 0.0;
  return false;
}

bool parseNum(const QString& text, int& v) {
  bool ok = false;
  v = text.trimmed().toInt(&ok, 10);
  if (ok) return true;
  v = 0;
  return false;
}

bool readNum(const QLineEdit* edit, double& v) {
  QVariant kept;
  if (untouched(edit, kept) && kept.canConvert<double>()) {
    v = kept.toDouble();
    if (std::isfinite(v)) return true;
  }
  return parseNum(edit->text(), v);
}

bool readNum(const QLineEdit* edit, int& v) {
  QVariant kept;
  if (untouched(edit, kept) && kept.type() == QVariant::Int) {
    v = kept.toInt();
    return true;
  }
  return parseNum(edit->text(), v);
}

bool readFinite(const QLineEdit* edit, double& v) {
  return readNum(edit, v) || std::isfinite(edit->text().toDouble());
}

QString numberProblem(const QLineEdit* edit, const QString& name) {
  const QString text = edit->text().trimmed();
  double v = 0.0;
  if (text.isEmpty() || readNum(edit, v)) return QString();
  if (!readFinite(edit, v))
    return StDialog::tr("%1: \"%2\" is not a finite number.").arg(name, text);
  return StDialog::tr("%1: \"%2\" is not a number.").arg(name, text);
}

void showControl(QWidget* w, bool on) {
  w->setVisible(on);
  w->setEnabled(on);
}

void insertPlain(QTextEdit* edit, const QString& text) {
  edit->textCursor().insertText(text);
}

StDialog::StDialog(QWidget* parent) : QDialog(parent) {}

void StDialog::checkField(QLineEdit* edit, const QString& name, double min, double max,
                          Kind kind) {
  checks_.push_back({edit, name, min, max, kind});
}

void StDialog::renameField(QLineEdit* edit, const QString& name) {
  for (Check& c : checks_)
    if (c.edit == edit) c.name = name;
}

bool StDialog::fieldsValid() {
  for (const Check& c : checks_) {
    QString problem;
    const QString text = c.edit->text().trimmed();
    double v = 0.0;
    if (c.kind == Integer) {
      int n = 0;
      if (!text.isEmpty() && !readNum(c.edit, n))
        problem = tr("%1: \"%2\" is not a whole number.").arg(c.name, text);
      v = n;
    } else if (c.kind == Typed && text.isEmpty()) {
      problem = tr("%1: a value is needed.").arg(c.name);
    } else if (!readFinite(c.edit, v)) {
      // Never let a non-finite value reach the record.
      problem = tr("%1: \"%2\" is not a finite number.").arg(c.name, text);
    } else if (c.edit->isEnabled()) {
      problem = numberProblem(c.edit, c.name);
    }
    if (problem.isEmpty() && (v < c.min || v > c.max))
      problem = tr("%1 must lie between %2 and %3.").arg(c.name, numText(c.min), numText(c.max));
    if (!problem.isEmpty()) {
      refuseField(c.edit, problem);
      return false;
    }
  }
  return true;
}

void StDialog::refuseField(QLineEdit* edit, const QString& problem) {
  prompter().warn(windowTitle(), problem, this);
  edit->setFocus();
  edit->selectAll();
}

void StDialog::accept() {
  if (fieldsValid()) QDialog::accept();
}
