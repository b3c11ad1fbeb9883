// vorlixglobe: the ground track of the save file on a Marble globe.
//   vorlixglobe [save file [h]]   (default satsave.txt; any second argument
//                                   draws the track at the satellite's height)
#include <QApplication>
#include <QInputDialog>
#include <QLocale>
#include <QWidget>

#include <clocale>
#include <string>

#include "globeview.h"

int main(int argc, char** argv) {
  PrepareGlobeProcess();
  QApplication app(argc, argv);
  // Qt set LC_ALL from the environment: numbers keep their point, as in the
  // main program.
  std::setlocale(LC_NUMERIC, "C");
  QWidget window;
  QLocale::setDefault(QLocale(QLocale::English));
  const std::string filename = argc > 1 ? argv[1] : "satsave.txt";
  const bool withHeight = argc > 2;
  bool ok = false;
  int theme = QInputDialog::getInt(nullptr, kThemeTitle, kThemeText, 0, 0, 2, 1, &ok);
  if (!ok) theme = kBlueMarble;
  const GlobeWindow parts = BuildGlobeWindow(window, theme, filename, withHeight);
  ShowGlobeWindow(window, parts);
  return app.exec();
}
