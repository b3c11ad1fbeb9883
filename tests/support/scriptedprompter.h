// A prompter for tests: answers input boxes and file dialogs from a queue,
// runs dialogs through scripts (fill widgets by object name, then accept or
// reject) and records every box it was asked to show.
#ifndef VORLIX_TESTS_SUPPORT_SCRIPTEDPROMPTER_H
#define VORLIX_TESTS_SUPPORT_SCRIPTEDPROMPTER_H

#include <QDialog>
#include <QList>
#include <QMap>
#include <QQueue>
#include <QString>
#include <QVariant>
#include <functional>

#include "dialogs/prompter.h"

class ScriptedPrompter : public Prompter {
 public:
  // One box or dialog as it was asked for: kind is "inform", "warn",
  // "confirm", "askDouble", "askInt", "askText", "openFile", "saveFile" or "exec" (the
  // dialog's object name in title).
  struct Box {
    QString kind, title, text;
  };

  // Installs itself; the destructor restores the prompter it replaced.
  ScriptedPrompter();
  ~ScriptedPrompter() override;

  // The next answer of an input box, file dialog or confirm (true: the
  // action). An invalid QVariant cancels; with the queue empty every question
  // is cancelled.
  void answer(const QVariant& v) { answers.enqueue(v); }
  // The next dialog run: the script fills the dialog and returns the result.
  void onExec(std::function<int(QDialog&)> script) { scripts.enqueue(std::move(script)); }
  // The next dialog run: set line edits (text), check boxes and radio
  // buttons ("1"/"0") by object name, then accept.
  void fillAndAccept(const QMap<QString, QString>& fields);
  // The next dialog run is rejected.
  void reject();

  QList<Box> boxes;
  // Answer of warn (true: OK).
  bool warnAnswer = true;

  // The boxes of one kind; the texts of all boxes.
  QList<Box> of(const QString& kind) const;
  QStringList texts() const;

  void inform(const QString& title, const QString& text, QWidget* parent) override;
  bool warn(const QString& title, const QString& text, QWidget* parent,
            const QString& extraButton) override;
  bool confirm(const QString& title, const QString& text, const QString& action,
               QWidget* parent) override;
  bool askDouble(const QString& title, const QString& label, double& value, double min,
                 double max, int decimals, QWidget* parent) override;
  bool askInt(const QString& title, const QString& label, int& value, int min, int max, int step,
              QWidget* parent) override;
  bool askText(const QString& title, const QString& label, QString& text,
               QWidget* parent) override;
  QString openFile(const QString& caption, const QString& dir, const QString& filter,
                   QWidget* parent) override;
  QString saveFile(const QString& caption, const QString& dir, const QString& filter,
                   QWidget* parent) override;
  int exec(QDialog& dialog) override;

 private:
  QVariant next();
  QQueue<QVariant> answers;
  QQueue<std::function<int(QDialog&)>> scripts;
  Prompter* previous;
};

// A dialog run for onExec: fill (when given) works on the dialog, then OK is
// pressed the way the button does; the result is the dialog's.
std::function<int(QDialog&)> accepting(std::function<void(QDialog&)> fill = nullptr);

// Fills widgets of dialog by object name (line edits: text; check boxes and
// radio buttons: "1" checks, anything else clears). Returns the names not found.
QStringList fillWidgets(QDialog& dialog, const QMap<QString, QString>& fields);

#endif
