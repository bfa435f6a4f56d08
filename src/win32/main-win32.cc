// Tarnwick.exe: the program's start. With a switch among its arguments it runs them as a
// command, without a window. Otherwise the model runs its load step; only when that step lets
// the program run is the main window created and shown.
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/form1.h"
#include "shell/start_arguments.h"
#include "shell/startup.h"
#include "win32/desktop-win32.h"
#include "win32/dynamic-win32.h"
#include "win32/first_paint_probe-win32.h"
#include "win32/main_window-win32.h"
#include "win32/scoped-win32.h"
#include "win32/services-win32.h"
#include "win32/unattended-win32.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <commctrl.h>
// clang-format on

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  using namespace tarnwick;
  // A switch asks for a command; a browser dropped on the program goes into the custom box.
  std::vector<std::string> args;
  if (HasArguments(command_line)) {
    args = CommandLineArguments();
    if (AsksForCommand(args, Spelling::kWindows)) return RunCommandLine(args);
  }
  // Tooltips, and the visual styles that the manifest asks for.
  INITCOMMONCONTROLSEX classes;
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_WIN95_CLASSES;
  if (const auto init = Comctl32().InitCommonControlsEx) init(&classes);
  // The automation objects and the open-file dialog want a single-threaded apartment.
  ScopedCoInitialize com;

  MainWindow window(instance);
  Win32Services services;
  const Platform platform = services.Over(&window);

  // The load step runs before any window exists, so that a refused Windows release sees only
  // the message, however little of the window's API it has.
  Form1 form(platform);
  if (!form.Form_Load()) return 0;
  TakeStartArguments(form, args, Spelling::kWindows);
  std::string err;
  if (!window.Create(&err)) {
    window.MsgBox(err, kMessageTitle, kVbCritical);
    return 1;
  }
  window.Attach(&form);
  window.Show();
  // A scripted run (TARNWICK_FIRST_PAINT) ends once the window is painted.
  const int exit_code = ReportFirstPaint(window.hwnd()) ? 0 : window.RunMessageLoop();
  // The window goes before the model it renders.
  window.Detach();
  window.Destroy();
  return exit_code;
}
