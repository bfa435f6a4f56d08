#include "win32/main_window-win32.h"

#include <vector>

#include "selection/preset_catalogue.h"
#include "shell/form1.h"
#include "shell/form1_events.h"
#include "shell/layout.h"
#include "shell/startup.h"
#include "win32/about_box-win32.h"
#include "win32/resource-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

constexpr wchar_t kClassName[] = L"TarnwickForm1";
// A fixed single border: no sizing frame, no minimise or maximise box; the system menu and
// the close box stay.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// True when the text changed.
bool SetTextIfChanged(HWND window, const std::string& utf8) {
  const std::wstring text = Widen(utf8);
  if (!window || TextOf(window) == text) return false;
  SetWindowTextW(window, text.c_str());
  return true;
}

void SetTabStop(HWND window, bool tab_stop) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR wanted =
      tab_stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  Detach();
  Destroy();
}

bool MainWindow::Create(std::string* err) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance_, kClassName, &existing)) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &WindowProc;
    cls.hInstance = instance_;
    cls.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TARNWICK));
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    if (!RegisterClassExW(&cls)) {
      if (err) *err = ApiErrorText("RegisterClassExW", "TarnwickForm1", GetLastError());
      return false;
    }
  }

  const int dpi = ScreenDpi();
  RECT frame = {0, 0, TwipsToPixels(kForm1Window.client_width, dpi),
                TwipsToPixels(kForm1Window.client_height, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  const std::wstring title = Widen(kForm1Window.title);
  if (!CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, left, top, width, height,
                       nullptr, nullptr, instance_, this)) {
    if (err) *err = ApiErrorText("CreateWindowExW", "Form1", GetLastError());
    return false;
  }
  return controls_.Create(hwnd_, instance_, Form1Controls(), kForm1Window, dpi, err);
}

void MainWindow::Attach(Form1* form) {
  form_ = form;
  if (!form_) return;
  form_->SetObserver([this] { Render(); });
  Render();
}

void MainWindow::Detach() {
  if (form_) form_->SetObserver(nullptr);
  form_ = nullptr;
}

void MainWindow::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
  set_owner(hwnd_);
}

void MainWindow::Destroy() {
  if (!hwnd_) return;
  CloseAboutBox();
  DestroyWindow(hwnd_);
}

int MainWindow::RunMessageLoop() {
  ends_loop_ = true;
  MSG msg = {};
  while (hwnd_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

HWND MainWindow::about_hwnd() const { return about_ ? about_->hwnd() : nullptr; }

void MainWindow::ShowAboutBox(frmAbout& about) {
  AboutWindow window(instance_, about);
  about_ = &window;
  std::string err;
  const bool shown = window.RunModal(hwnd_, &err);
  about_ = nullptr;
  if (!shown) MsgBox(err, kMessageTitle, kVbCritical);
}

void MainWindow::CloseAboutBox() {
  if (about_) about_->Close();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<MainWindow*>(
        reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    created->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->hwnd_ != window) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case DM_GETDEFID:
      // Enter presses the focused command button, as Space does: the dialog manager asks for
      // the default button, and the focused one is it.
      if (const ControlRow* row = controls_.RowById(GetDlgCtrlID(GetFocus()));
          row && row->kind == ControlKind::kCommandButton && IsChild(hwnd_, GetFocus())) {
        return MAKELRESULT(GetDlgCtrlID(GetFocus()), DC_HASDEFID);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (HBRUSH brush =
              controls_.CtlColor(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_DRAWITEM:
      if (controls_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_SETCURSOR:
      if (controls_.SetCursorFor(reinterpret_cast<HWND>(wparam))) return TRUE;
      break;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      if (ends_loop_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::OnCommand(int id, int code) {
  const ControlRow* row = controls_.RowById(id);
  if (!row || !form_) return;
  if (row->kind == ControlKind::kTextBox) {
    if (code == EN_CHANGE) {
      RaiseEvent(*form_, row->name, ControlEvent::kChange,
                 Narrow(TextOf(controls_.Get(row->name))));
    }
    return;
  }
  // Owner-drawn and option buttons report the second click of a double click apart; it is a
  // click all the same.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  if (code == BN_DOUBLECLICKED && row->kind != ControlKind::kCommandButton &&
      row->kind != ControlKind::kOptionButton) {
    return;
  }
  // Windows also reports a click when an unchecked option button merely receives the focus
  // (at start-up, on re-activation, after a message box), without checking it. A real
  // selection, by mouse, Space or the arrow keys, checks the automatic button first.
  if (row->kind == ControlKind::kOptionButton &&
      SendMessageW(controls_.Get(row->name), BM_GETCHECK, 0, 0) != BST_CHECKED) {
    return;
  }
  RaiseEvent(*form_, row->name, ControlEvent::kClick);
}

void MainWindow::OnClose() {
  if (form_) form_->Form_Unload();
  DestroyWindow(hwnd_);
}

void MainWindow::OnPaint() {
  ScopedPaint paint(hwnd_);
  controls_.PaintFrames(paint.dc());
}

void MainWindow::OnActivate(bool active) {
  // A plain window forgets its focused control when it loses the activation; dialogs do not.
  if (!active) {
    focus_ = GetFocus();
  } else if (focus_ && IsChild(hwnd_, focus_) && IsWindowEnabled(focus_)) {
    SetFocus(focus_);
  } else {
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
  }
}

void MainWindow::Render() {
  if (!hwnd_ || !form_) return;
  const auto presets = PresetCatalogue();
  bool any_option = false;
  for (int index = 1; index <= kPresetCount; ++index) {
    const bool on = form_->OptionValue(index);
    SendMessageW(controls_.Get(presets[index - 1].OptionName), BM_SETCHECK,
                 on ? BST_CHECKED : BST_UNCHECKED, 0);
    any_option |= on;
  }
  // The keyboard enters the option group at the selected option, or at the first when none is.
  for (int index = 1; index <= kPresetCount; ++index) {
    SetTabStop(controls_.Get(presets[index - 1].OptionName),
               form_->OptionValue(index) || (!any_option && index == 1));
  }
  SetEnabled(controls_.Get("Command7"), form_->Command7Enabled());
  SetEnabled(controls_.Get("Command2"), form_->Command2Enabled());
  SetTextIfChanged(controls_.Get("Text1"), form_->Text1());
  // A screen reader hears the new current default: XP tells accessibility clients of a new
  // window text itself, and the other systems the program runs on do not. A second event is
  // harmless.
  if (const HWND line = controls_.Get("Label5"); SetTextIfChanged(line, form_->Label5Caption())) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, line, OBJID_WINDOW, CHILDID_SELF);
  }
  controls_.SetVisible("Frame4", form_->Frame4Visible());
}

void MainWindow::SetEnabled(HWND control, bool enabled) {
  if (!control || (IsWindowEnabled(control) != FALSE) == enabled) return;
  if (!enabled && GetFocus() == control) {
    const HWND next = GetNextDlgTabItem(hwnd_, control, FALSE);
    EnableWindow(control, FALSE);
    if (next && next != control) SetFocus(next);
    return;
  }
  EnableWindow(control, enabled);
}

}  // namespace tarnwick
