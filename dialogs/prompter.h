// The one door to message boxes, input boxes, file dialogs and modal dialogs.
// The program shows the real boxes; a test installs a prompter of its own
// that answers from a script, so nothing needs a modal event loop.
#ifndef VORLIX_DIALOGS_PROMPTER_H
#define VORLIX_DIALOGS_PROMPTER_H

#include <QString>

class QDialog;
class QWidget;

class Prompter {
 public:
  virtual ~Prompter();

  // Information box with one OK button.
  virtual void inform(const QString& title, const QString& text, QWidget* parent = nullptr);
  // Warning box with OK (default) and, when extraButton is not empty, a second
  // button of that text taken by Escape. Returns true when OK was pressed.
  virtual bool warn(const QString& title, const QString& text, QWidget* parent = nullptr,
                    const QString& extraButton = QString());
  // Warning box that asks before an action: a button of text action and
  // Cancel, which is the default and taken by Escape. Returns true when the
  // action's button was pressed.
  virtual bool confirm(const QString& title, const QString& text, const QString& action,
                       QWidget* parent = nullptr);
  // Input boxes: true on OK with the value stored, false on Cancel (value kept).
  virtual bool askDouble(const QString& title, const QString& label, double& value,
                         double min, double max, int decimals, QWidget* parent = nullptr);
  virtual bool askInt(const QString& title, const QString& label, int& value, int min,
                      int max, int step, QWidget* parent = nullptr);
  virtual bool askText(const QString& title, const QString& label, QString& text,
                       QWidget* parent = nullptr);
  // File dialogs: the chosen path, or an empty string when cancelled.
  virtual QString openFile(const QString& caption, const QString& dir, const QString& filter,
                           QWidget* parent = nullptr);
  virtual QString saveFile(const QString& caption, const QString& dir, const QString& filter,
                           QWidget* parent = nullptr);
  // Runs a dialog modally and returns QDialog::Accepted or QDialog::Rejected.
  virtual int exec(QDialog& dialog);
};

// The prompter in use.
Prompter& prompter();
// Makes p the prompter in use (nullptr: the program's own again) and returns
// the one it replaces. The caller keeps ownership of p.
Prompter* setPrompter(Prompter* p);

#endif
