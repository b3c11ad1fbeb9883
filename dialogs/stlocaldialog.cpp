// The local-details viewer.
#include "dialogs/stlocaldialog.h"

#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

StLocalDialog::StLocalDialog(QWidget* parent)
    : StTextViewer(parent, "StLocalDialog", QSize(443, 460), "textEdit", QRect(9, 9, 425, 403)) {
  closeButton = addCloseButton("closeButton", QRect(344, 422, 90, 28), tr("&Close"), tr("Alt+C"));
  setWindowTitle(tr("Local Details"));
}

void StLocalDialog::setParams(const LocalViewParams& p) {
  // The details are columns lined up with blanks and tabs, eight cells
  // apart as on a terminal.
  UseFixedPitch(textBox(), p.fontSize, 8);
  insertText(p.text);
  toStart();
  fitWidth();
  closeButton->setFocus();
}

void StLocalDialog::fitWidth() {
  // The box is as wide as the longest line in this font, with room for its
  // frame and a vertical scroll bar; the dialog grows with it (it never gets
  // narrower than its own size) and Close keeps its place at the lower right.
  QTextEdit* t = textBox();
  const int text = static_cast<int>(std::ceil(t->document()->idealWidth()));
  const int need = text + 2 * t->frameWidth() +
                   t->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, t);
  const int grow = need - t->width();
  if (grow <= 0) return;
  t->resize(t->width() + grow, t->height());
  closeButton->move(closeButton->x() + grow, closeButton->y());
  resize(width() + grow, height());
}
