// Tarnwick.exe: the program's start. The main window is created hidden, the model runs its
// load step, and the window is shown only when that step lets the program run.
#include "registry/registry.h"
#include "shell/form1.h"
#include "shell/startup.h"
#include "win32/automation-win32.h"
#include "win32/desktop-win32.h"
#include "win32/main_window-win32.h"
#include "win32/registry-win32.h"
#include "win32/scoped-win32.h"
#include "win32/version-win32.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <commctrl.h>
// clang-format on

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tarnwick;
  // Tooltips, and the visual styles that the manifest asks for.
  INITCOMMONCONTROLSEX classes;
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&classes);
  // The automation objects and the open-file dialog want a single-threaded apartment.
  ScopedCoInitialize com;

  MainWindow window(instance);
  std::string err;
  if (!window.Create(&err)) {
    window.MsgBox(err, kMessageTitle, kVbCritical);
    return 1;
  }
  Win32Registry registry;
  Win32AutomationFactory automation(window.hwnd());
  Win32VersionProvider version;
  Win32Environment environment;
  Platform platform;
  platform.registry = &registry;
  platform.automation = &automation;
  platform.version = &version;
  platform.environment = &environment;
  platform.desktop = &window;

  Form1 form(platform);
  window.Attach(&form);
  int exit_code = 0;
  if (form.Form_Load()) {
    window.Show();
    exit_code = window.RunMessageLoop();
  }
  // The window goes before the model it renders.
  window.Detach();
  window.Destroy();
  return exit_code;
}
