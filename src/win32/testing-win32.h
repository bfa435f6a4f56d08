// Helpers for the tests of the Windows layer: a scratch key that is removed afterwards, and a
// driver that answers a modal dialog from another thread.
#ifndef TARNWICK_WIN32_TESTING_WIN32_H_
#define TARNWICK_WIN32_TESTING_WIN32_H_

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "win32/windows-win32.h"

namespace tarnwick {

/// A key below HKCU\Software named after the process, deleted with its tree on destruction.
class ScratchKey {
 public:
  ScratchKey();
  ~ScratchKey();
  /// The path below HKEY_CURRENT_USER, e.g. "Software\Tarnwick test 1234".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// Watches the calling thread for a dialog box ("#32770") from another thread and, once one is
/// up, runs `act` on it there. Gives up after half a minute.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act);
  ~DialogDriver();
  /// Waits for the watching thread; true when a dialog was found and acted on.
  bool Finish();

 private:
  std::atomic<bool> found_{false};
  std::thread thread_;
};

/// The window's text.
std::wstring WindowText(HWND window);

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_TESTING_WIN32_H_
