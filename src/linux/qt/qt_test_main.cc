// The widget tests' main: a QApplication on the offscreen platform unless another is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "linux/qt/qt_look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own file dialog, the same on every desktop.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication app(argc, argv);
  // Tests close main windows; that must not end the event loops of later tests.
  QApplication::setQuitOnLastWindowClosed(false);
  tarnwick::InstallFonts();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
