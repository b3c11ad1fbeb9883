// vorlix: the records exist before main; here a broken pipe and a file size
// limit made harmless,
// the toolkit, the C number format, the program's directory as working
// directory and the main window.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <clocale>
#include <csignal>

#include "gui/vorlix.h"

int main(int argc, char** argv) {
  // A save into a FIFO whose reader left (EPIPE), or beyond the file size
  // limit (EFBIG), fails with its reason instead of ending the program, and
  // with it the session's settings.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  // Qt set LC_ALL from the environment: numbers must keep their point.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setFont(QFont(QStringLiteral("helvetica"), 10, QFont::Normal, false));
  QDir::setCurrent(QCoreApplication::applicationDirPath());
  VorlixApp window;
  window.show();
  return app.exec();
}
