// What the read-only text viewers share: a dialog of fixed size holding one
// non-wrapping read-only text box and a row of push buttons under it.
#ifndef VORLIX_DIALOGS_STTEXTVIEWER_H
#define VORLIX_DIALOGS_STTEXTVIEWER_H

#include <QDialog>
#include <QRect>
#include <QSize>

class QPushButton;
class QString;
class QTextEdit;

// Shows the text of `edit` in the fixed-pitch font at `pt` points (0 or less:
// the size of the window's other text), tab stops `tabCells` character cells
// apart. For the engine's texts, whose columns are lined up with blanks and
// tabs on such a grid: in a proportional font a blank is narrower than a
// digit and the columns drift apart.
void UseFixedPitch(QTextEdit* edit, int pt, int tabCells);

class StTextViewer : public QDialog {
  Q_OBJECT
 protected:
  // The dialog takes the object name `name` and the size `size`; the text box
  // is created first (so it starts the focus chain) with `editName` at `editRect`.
  StTextViewer(QWidget* parent, const char* name, QSize size, const char* editName,
               const QRect& editRect);

  // A push button at `rect` with its caption and Alt shortcut.
  QPushButton* addButton(const char* name, const QRect& rect, const QString& text,
                         const QString& shortcut);
  // The default button: it closes the viewer as accepted.
  QPushButton* addCloseButton(const char* name, const QRect& rect, const QString& text,
                              const QString& shortcut);

  QTextEdit* textBox() const { return text_; }
  // Inserts s at the cursor as plain text.
  void insertText(const QString& s);
  void toStart();
  // Widens the text box to its longest line in its font, with room for its
  // frame and a vertical scroll bar; the dialog grows with it (it never gets
  // narrower than its own size) and `right`, the button at the lower right,
  // keeps its place there.
  void fitWidth(QPushButton* right);

 private:
  QTextEdit* text_;
};

#endif
