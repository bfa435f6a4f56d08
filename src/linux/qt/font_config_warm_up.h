// Reads the system's font configuration on a thread of its own while the program starts.
#ifndef TARNWICK_LINUX_QT_FONT_CONFIG_WARM_UP_H_
#define TARNWICK_LINUX_QT_FONT_CONFIG_WARM_UP_H_

#include <thread>

namespace tarnwick {

/// Before Qt can name a single font, fontconfig parses the system's configuration (some fifty
/// XML files) and loads its font caches: the largest single cost of a start. It needs nothing
/// from Qt, so it can overlap the loading of Qt's platform plugin (on X11 with the connection
/// to the display) and of the program icon.
///
/// Create one first thing in main() and call Wait() before anything asks Qt for a font: a
/// second reader would parse the configuration again rather than wait for the first.
class FontConfigWarmUp {
 public:
  FontConfigWarmUp();
  ~FontConfigWarmUp() { Wait(); }
  FontConfigWarmUp(const FontConfigWarmUp&) = delete;
  FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_FONT_CONFIG_WARM_UP_H_
