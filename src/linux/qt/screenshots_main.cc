// Saves main-window.png and about-box.png of a session on the real display (run under Xvfb),
// into the folder named by the first argument. Fails when a picture is missing, has the wrong
// size or is blank.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include "linux/qt/about_dialog.h"
#include "linux/qt/qt_look.h"
#include "linux/qt/session.h"
#include "standin/standin_registry.h"

namespace {

// The window as the display shows it, checked for size and for content.
bool SaveShot(QWidget& widget, const QString& path) {
  if (!QTest::qWaitForWindowExposed(&widget)) {
    std::fprintf(stderr, "%s: the window never appeared\n", qPrintable(path));
    return false;
  }
  QTest::qWait(200);  // let the X server finish drawing
  const QImage shot = widget.screen()->grabWindow(widget.winId()).toImage();
  QSet<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 2) {
    for (int x = 0; x < shot.width(); x += 2) colours.insert(shot.pixel(x, y));
  }
  const QSize expected = widget.size() * widget.devicePixelRatio();
  if (shot.size() != expected || colours.size() < 16 || !shot.save(path)) {
    std::fprintf(stderr, "%s: %dx%d, %d colours\n", qPrintable(path), shot.width(), shot.height(),
                 static_cast<int>(colours.size()));
    return false;
  }
  std::printf("saved %s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tarnwick::InstallFonts();
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "docs/screenshots";
  QDir().mkpath(folder);

  auto registry = tarnwick::StandInRegistry::OpenInMemory(/*administrator=*/true);
  std::string err;
  if (!registry->RegWrite(R"(HKCU\SOFTWARE\Clients\StartMenuInternet\)", "FIREFOX.EXE", "REG_SZ",
                          &err) ||
      !registry->RegWrite(R"(HKLM\SOFTWARE\Clients\StartMenuInternet\FIREFOX.EXE\)",
                          "Mozilla Firefox", "REG_SZ", &err)) {
    std::fprintf(stderr, "seeding the registry: %s\n", err.c_str());
    return 1;
  }
  tarnwick::Session session(*registry, [](const std::string&) {});
  if (!session.Start()) return 1;
  qobject_cast<QAbstractButton*>(session.window().Control("Option6"))->click();

  bool ok = SaveShot(session.window(), folder + "/main-window.png");
  bool about_ok = false;
  QTimer::singleShot(0, [&] {
    tarnwick::AboutDialog* about = session.desktop().OpenAboutBox();
    if (!about) return;
    about_ok = SaveShot(*about, folder + "/about-box.png");
    qobject_cast<QAbstractButton*>(about->Control("cmdOK"))->click();
  });
  qobject_cast<QAbstractButton*>(session.window().Control("Command4"))->click();
  return ok && about_ok ? 0 : 1;
}
