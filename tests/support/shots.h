// Pictures to look at: with VORLIX_SHOTS set to a folder, a test saves there
// what a widget or pixmap shows; without it nothing happens.
#ifndef VORLIX_TESTS_SUPPORT_SHOTS_H
#define VORLIX_TESTS_SUPPORT_SHOTS_H

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QWidget>

inline void shot(const QPixmap& p, const char* name) {
  const QByteArray dir = qgetenv("VORLIX_SHOTS");
  if (!dir.isEmpty()) p.save(QString::fromLocal8Bit(dir) + "/" + name);
}

inline void shot(QWidget* w, const char* name) {
  if (!qgetenv("VORLIX_SHOTS").isEmpty()) shot(w->grab(), name);
}

#endif
