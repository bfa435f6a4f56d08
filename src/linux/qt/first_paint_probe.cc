#include "linux/qt/first_paint_probe.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace tarnwick {
namespace {

class FirstPaintProbe final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || done_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !widget->isWindow()) return false;
    done_ = true;
    // Report once the whole paint pass, the window's children included, is over.
    QPointer<QWidget> window(widget);
    QMetaObject::invokeMethod(
        qApp,
        [window] {
          if (window) {
            const auto* box = qobject_cast<QMessageBox*>(window.data());
            std::printf("painted %dx%d %s: %s\n", window->width(), window->height(),
                        qPrintable(window->windowTitle()), box ? qPrintable(box->text()) : "");
            std::fflush(stdout);
          }
          // exit() ends nested loops (a message box) too.
          QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

void InstallFirstPaintProbe(QApplication& app) {
  const char* wanted = std::getenv("TARNWICK_FIRST_PAINT");
  if (wanted == nullptr || *wanted == '\0') return;
  app.installEventFilter(new FirstPaintProbe(&app));
}

}  // namespace tarnwick
