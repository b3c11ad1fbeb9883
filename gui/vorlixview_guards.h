// Scope guards the view's commands share.
#ifndef VORLIX_GUI_VORLIXVIEW_GUARDS_H
#define VORLIX_GUI_VORLIXVIEW_GUARDS_H

#include <QGuiApplication>

// The wait cursor for the length of a computation, taken down on every way
// out of the scope.
struct WaitCursor {
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

#endif
