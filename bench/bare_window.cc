// The yardstick of the start-up benchmark: a bare Qt window of a given size, with nothing in
// it, ended by the same first-paint probe as the program. For reference it can also hold one
// line of text ("label"), or that and a frame ("frame"), to show what those alone cost.
//   tarnwick-bare-window WIDTH HEIGHT [label|frame]

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <cstdlib>
#include <cstring>

#include "linux/qt/first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tarnwick::InstallFirstPaintProbe(app);
  QWidget window;
  window.setWindowTitle("bare");
  window.setFixedSize(argc > 2 ? std::atoi(argv[1]) : 304, argc > 2 ? std::atoi(argv[2]) : 447);
  const char* extra = argc > 3 ? argv[3] : "";
  if (std::strcmp(extra, "label") == 0 || std::strcmp(extra, "frame") == 0) {
    auto* label = new QLabel("Mozilla Firefox is currently the default browser.", &window);
    label->move(10, 10);
  }
  if (std::strcmp(extra, "frame") == 0) {
    auto* frame = new QGroupBox("Presets", &window);
    frame->setGeometry(10, 40, 200, 100);
  }
  window.show();
  return app.exec();
}
