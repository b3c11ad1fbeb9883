// The real boxes behind the prompter.
#include "dialogs/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
Prompter standard;
Prompter* current = &standard;

// Qt's own dialogs look the same on every desktop.
constexpr QFileDialog::Options kFileOptions = QFileDialog::DontUseNativeDialog;
}  // namespace

Prompter::~Prompter() = default;

void Prompter::inform(const QString& title, const QString& text, QWidget* parent) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
  box.exec();
}

bool Prompter::warn(const QString& title, const QString& text, QWidget* parent,
                    const QString& extraButton) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  box.setDefaultButton(ok);
  if (!extraButton.isEmpty()) box.setEscapeButton(box.addButton(extraButton, QMessageBox::RejectRole));
  box.exec();
  return box.clickedButton() == ok;
}

bool Prompter::confirm(const QString& title, const QString& text, const QString& action,
                       QWidget* parent) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(action, QMessageBox::DestructiveRole);
  box.setDefaultButton(box.addButton(QMessageBox::Cancel));
  box.exec();
  return box.clickedButton() == yes;
}

bool Prompter::askDouble(const QString& title, const QString& label, double& value,
                         double min, double max, int decimals, QWidget* parent) {
  bool ok = false;
  const double v = QInputDialog::getDouble(parent, title, label, value, min, max, decimals, &ok);
  if (ok) value = v;
  return ok;
}

bool Prompter::askInt(const QString& title, const QString& label, int& value, int min, int max,
                      int step, QWidget* parent) {
  bool ok = false;
  const int v = QInputDialog::getInt(parent, title, label, value, min, max, step, &ok);
  if (ok) value = v;
  return ok;
}

bool Prompter::askText(const QString& title, const QString& label, QString& text,
                       QWidget* parent) {
  QInputDialog box(parent);
  box.setWindowTitle(title);
  box.setLabelText(label);
  box.setTextValue(text);
  // Wide enough to show the proposed text whole (an address, a path), within reason.
  const int wanted = box.fontMetrics().horizontalAdvance(text) + 80;
  box.resize(qBound(box.sizeHint().width(), wanted, 900), box.sizeHint().height());
  if (box.exec() != QDialog::Accepted) return false;
  text = box.textValue();
  return true;
}

QString Prompter::openFile(const QString& caption, const QString& dir, const QString& filter,
                           QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, caption, dir, filter, nullptr, kFileOptions);
}

QString Prompter::saveFile(const QString& caption, const QString& dir, const QString& filter,
                           QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr, kFileOptions);
}

int Prompter::exec(QDialog& dialog) { return dialog.exec(); }

Prompter& prompter() { return *current; }

Prompter* setPrompter(Prompter* p) {
  Prompter* old = current;
  current = p ? p : &standard;
  return old == &standard ? nullptr : old;
}
