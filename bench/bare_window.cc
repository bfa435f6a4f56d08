// The yardstick of the start-up benchmark: a bare Qt window of a given size and title, with
// nothing in it, ended by the same first-paint probe as the program.
//   tarnwick-bare-window WIDTH HEIGHT

#include <QApplication>
#include <QWidget>
#include <cstdlib>

#include "portable/qt/first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tarnwick::InstallFirstPaintProbe(app);
  QWidget window;
  window.setWindowTitle("bare");
  window.setFixedSize(argc > 2 ? std::atoi(argv[1]) : 304, argc > 2 ? std::atoi(argv[2]) : 447);
  window.show();
  return app.exec();
}
