// Standard output and error of Tarnwick.exe, a GUI program that has no console of its own:
// handles a batch file redirected (to a file, a pipe, NUL) are written as they are; otherwise
// the console of the prompt that started the program is borrowed (AttachConsole, Windows XP).
#ifndef TARNWICK_WIN32_CONSOLE_WIN32_H_
#define TARNWICK_WIN32_CONSOLE_WIN32_H_

#include <string_view>

#include "shell/unattended_platform.h"
#include "win32/scoped-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

class Win32Console final : public Console {
 public:
  /// Each stream is looked at at its first line: a standard handle that is a file or a pipe
  /// gets the text in the OEM code page, as console programs write to them, with CRLF line
  /// ends; a console gets it through WriteConsoleW. A stream without a handle goes to the
  /// console of the parent process, when it has one; the first line there starts on a line of
  /// its own, since the prompt that did not wait for the program has already been written.
  /// Without either the text is dropped.
  void WriteLine(Stream stream, std::string_view text) override;

 private:
  struct Target {
    bool looked = false;
    HANDLE handle = nullptr;  ///< not owned but for the parent's console, held in `console_`
    bool is_console = false;
  };
  Target& TargetOf(Stream stream);
  /// The parent's console, attached at the first call; null when there is none.
  HANDLE ParentConsole();

  Target output_;
  Target error_;
  bool attach_tried_ = false;
  bool parent_console_used_ = false;
  ScopedHANDLE parent_console_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_CONSOLE_WIN32_H_
