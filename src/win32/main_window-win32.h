// The main window over Win32: the controls of Form1 built from its layout table, events handed
// to the Form1 model, and the model's state rendered back after every change. It is also the
// Desktop of the model: message boxes, the About box and shell calls.
#ifndef TARNWICK_WIN32_MAIN_WINDOW_WIN32_H_
#define TARNWICK_WIN32_MAIN_WINDOW_WIN32_H_

#include <string>
#include <string_view>

#include "win32/controls-win32.h"
#include "win32/desktop-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

class AboutWindow;
class Form1;

class MainWindow : public Win32Desktop {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  /// Creates the window and its controls, hidden, centred on the screen. Returns false with
  /// the failing API in `err`. Before, the Desktop works without an owner window.
  bool Create(std::string* err);
  /// Connects the model: its events go to `form` and its state is rendered now and after
  /// every change. `form` is not owned; Detach (or destruction) before it goes.
  void Attach(Form1* form);
  void Detach();
  /// Shows the window, gives the keyboard to the first control in tab order, and makes it the
  /// owner of message boxes from now on.
  void Show();
  /// Destroys the window if it still exists; no model event runs.
  void Destroy();
  /// Runs the message loop until the window has closed; returns WM_QUIT's exit code.
  int RunMessageLoop();

  /// The window; null before Create and after it has closed.
  HWND hwnd() const { return hwnd_; }
  /// A control by its name in the layout table; null for frames and unknown names.
  HWND Control(std::string_view name) const { return controls_.Get(name); }
  const ControlSet& controls() const { return controls_; }
  /// The About box's window while it is open; null otherwise.
  HWND about_hwnd() const;

  // Desktop.
  /// Shows `about` modally over this window; returns when it has closed.
  void ShowAboutBox(frmAbout& about) override;
  void CloseAboutBox() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int code);
  void OnClose();
  void OnPaint();
  void OnActivate(bool active);
  /// Puts the model's state into the controls.
  void Render();
  /// Enables or disables a control; focus moves on from a control that becomes disabled.
  void SetEnabled(HWND control, bool enabled);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  Form1* form_ = nullptr;
  ControlSet controls_;
  AboutWindow* about_ = nullptr;  ///< while the About box is up
  HWND focus_ = nullptr;          ///< the focused control while the window is inactive
  bool ends_loop_ = false;        ///< closing posts WM_QUIT (set by RunMessageLoop)
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_MAIN_WINDOW_WIN32_H_
