// What the read-only text viewers share.
#include "dialogs/sttextviewer.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

#include "dialogs/stdialog.h"

void UseFixedPitch(QTextEdit* edit, int pt, int tabCells) {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const int size = pt > 0 ? pt : edit->font().pointSize();
  if (size > 0) f.setPointSize(size);
  // A platform without a desktop theme names no fixed font (the system font
  // then is the window's own): ask the font configuration for one.
  for (const char* family : {"monospace", "courier"}) {
    if (QFontInfo(f).fixedPitch()) break;
    f.setFamily(QLatin1String(family));
    f.setStyleHint(QFont::TypeWriter);
  }
  edit->setFont(f);
  edit->setTabStopDistance(tabCells * QFontMetricsF(f).horizontalAdvance(QLatin1Char(' ')));
}

StTextViewer::StTextViewer(QWidget* parent, const char* name, QSize size, const char* editName,
                           const QRect& editRect)
    : QDialog(parent) {
  setObjectName(QLatin1String(name));
  resize(size);
  text_ = new QTextEdit(this);
  text_->setObjectName(QLatin1String(editName));
  text_->setGeometry(editRect);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QTextEdit::NoWrap);
}

QPushButton* StTextViewer::addButton(const char* name, const QRect& rect, const QString& text,
                                     const QString& shortcut) {
  auto* b = new QPushButton(this);
  b->setObjectName(QLatin1String(name));
  b->setGeometry(rect);
  b->setText(text);
  b->setShortcut(QKeySequence(shortcut));
  return b;
}

QPushButton* StTextViewer::addCloseButton(const char* name, const QRect& rect,
                                          const QString& text, const QString& shortcut) {
  QPushButton* b = addButton(name, rect, text, shortcut);
  b->setDefault(true);
  connect(b, &QPushButton::clicked, this, &QDialog::accept);
  return b;
}

void StTextViewer::insertText(const QString& s) { insertPlain(text_, s); }

void StTextViewer::toStart() { text_->moveCursor(QTextCursor::Start); }

void StTextViewer::fitWidth(QPushButton* right) {
  const int text = static_cast<int>(std::ceil(text_->document()->idealWidth()));
  const int need = text + 2 * text_->frameWidth() +
                   text_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, text_);
  const int grow = need - text_->width();
  if (grow <= 0) return;
  text_->resize(text_->width() + grow, text_->height());
  right->move(right->x() + grow, right->y());
  resize(width() + grow, height());
}
