// Environment variables and the desktop services of the main window over Win32: message boxes
// and shell calls.
#ifndef TARNWICK_WIN32_DESKTOP_WIN32_H_
#define TARNWICK_WIN32_DESKTOP_WIN32_H_

#include <string>

#include "shell/platform.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// The process environment through GetEnvironmentVariableW.
class Win32Environment : public Environment {
 public:
  /// The variable's value in UTF-8; the empty text when it is not set.
  std::string Get(const std::string& name) override;
};

/// Message boxes and shell calls. The About box belongs to the window that shows it, so
/// ShowAboutBox and CloseAboutBox are left to a subclass.
class Win32Desktop : public Desktop {
 public:
  /// `owner` is the window message boxes are modal to; null for the thread's active window
  /// at the time (none before the first window is shown).
  explicit Win32Desktop(HWND owner = nullptr) : owner_(owner) {}

  /// MessageBoxW; the style numbers are MessageBox's own (0 MB_OK, 64 MB_ICONINFORMATION).
  void MsgBox(const std::string& text, const std::string& title, int style) override;
  /// ShellExecuteW with the desktop window (GetDesktopWindow) or no owner, no parameters and no
  /// working directory; its result is dropped.
  void ShellExecute(ShellOwner owner, const std::string& verb, const std::string& file,
                    int show_command) override;

  /// The window the next message box is modal to.
  void set_owner(HWND owner) { owner_ = owner; }

 private:
  HWND owner_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_DESKTOP_WIN32_H_
