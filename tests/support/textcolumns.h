// Where a character of a text box is drawn: columns lined up with blanks
// and tabs must start at the same x on every line.
#ifndef VORLIX_TESTS_SUPPORT_TEXTCOLUMNS_H
#define VORLIX_TESTS_SUPPORT_TEXTCOLUMNS_H

#include <QList>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

// The left edge of character `pos` of the text box's plain text.
inline int TextX(const QTextEdit& edit, int pos) {
  QTextCursor c(edit.document());
  c.setPosition(pos);
  return edit.cursorRect(c).left();
}

// The left edge of the character that `at(line)` names (its index, or -1
// for none) on each line of the text box.
template <typename At>
QList<int> LineX(const QTextEdit& edit, At at) {
  QList<int> xs;
  const QString text = edit.toPlainText();
  int start = 0;
  while (start <= text.size()) {
    int end = text.indexOf('\n', start);
    if (end < 0) end = text.size();
    const int k = at(text.mid(start, end - start));
    if (k >= 0) xs << TextX(edit, start + k);
    start = end + 1;
  }
  return xs;
}

// The left edge of `word` on each line that holds it (its first occurrence);
// leading tabs of `word` only anchor it, the edge is that of what follows.
inline QList<int> ColumnX(const QTextEdit& edit, const QString& word) {
  int tabs = 0;
  while (tabs < word.size() && word[tabs] == '\t') ++tabs;
  return LineX(edit, [&](const QString& line) {
    const int k = line.indexOf(word);
    return k < 0 ? -1 : k + tabs;
  });
}

// The left edge of the first '.' after `word` on each line that holds it:
// numbers padded with blanks to one width put their decimal points in one
// column.
inline QList<int> DecimalX(const QTextEdit& edit, const QString& word) {
  return LineX(edit, [&](const QString& line) {
    const int k = line.indexOf(word);
    return k < 0 ? -1 : line.indexOf('.', k + word.size());
  });
}

#endif
