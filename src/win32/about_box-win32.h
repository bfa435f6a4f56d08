// The About box over Win32: a modal dialog window built from the About layout table, centred on
// its owner, with the etched separator and the two link labels of frmAbout.
#ifndef TARNWICK_WIN32_ABOUT_BOX_WIN32_H_
#define TARNWICK_WIN32_ABOUT_BOX_WIN32_H_

#include <string>

#include "win32/controls-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

class frmAbout;

class AboutWindow {
 public:
  /// `model` handles the box's events; it must outlive the window.
  AboutWindow(HINSTANCE instance, frmAbout& model);
  ~AboutWindow();
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  /// Shows the box modal to `owner`, which is disabled meanwhile, and returns when the box has
  /// closed. A WM_QUIT that arrives meanwhile closes the box and is posted again. Returns false
  /// with the failing API in `err` when the box could not be created.
  bool RunModal(HWND owner, std::string* err);
  /// Closes the box if it is open (the owner is enabled first, so it gets the activation back);
  /// no effect otherwise.
  void Close();

  /// The box's window while it is open; null otherwise.
  HWND hwnd() const { return hwnd_; }
  const ControlSet& controls() const { return controls_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int code);
  void OnPaint();

  HINSTANCE instance_;
  frmAbout& model_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  ControlSet controls_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_ABOUT_BOX_WIN32_H_
