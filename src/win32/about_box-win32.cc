#include "win32/about_box-win32.h"

#include <string_view>

#include "shell/about_box.h"
#include "shell/layout.h"
#include "win32/resource-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

constexpr wchar_t kClassName[] = L"TarnwickAbout";
// A fixed dialog frame, no minimise or maximise box, no taskbar button (an owned popup).
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kClassName, &existing)) return true;
  WNDCLASSEXW cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TARNWICK));
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  return RegisterClassExW(&cls) != 0;
}

// The etched separator: each line of the array as a band of its pen width, from its start to
// its end.
void PaintLines(HDC dc, int dpi) {
  for (const LineRow& line : AboutLines()) {
    const int top = TwipsToPixels(line.y1, dpi);
    const RECT band = {TwipsToPixels(line.x1, dpi), top, TwipsToPixels(line.x2, dpi),
                       top + DpiScale(line.pixels, dpi)};
    const ScopedGdiObject<HBRUSH> brush(
        CreateSolidBrush(ResolveColour(line.colour, GetSysColor(COLOR_WINDOWTEXT))));
    FillRect(dc, &band, brush.get());
  }
}

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance, frmAbout& model)
    : instance_(instance), model_(model) {}

AboutWindow::~AboutWindow() { Close(); }

bool AboutWindow::RunModal(HWND owner, std::string* err) {
  if (hwnd_) return true;
  if (!RegisterClassOnce(instance_, &WindowProc)) {
    if (err) *err = ApiErrorText("RegisterClassExW", "TarnwickAbout", GetLastError());
    return false;
  }
  const int dpi = ScreenDpi();
  RECT frame = {0, 0, TwipsToPixels(kAboutWindow.client_width, dpi),
                TwipsToPixels(kAboutWindow.client_height, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred on the owner, kept on its monitor's work area.
  RECT around = {};
  if (!owner || !GetWindowRect(owner, &around)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int left = around.left + ((around.right - around.left) - width) / 2;
  const int top = around.top + ((around.bottom - around.top) - height) / 2;

  owner_ = owner;
  const std::wstring title = Widen(kAboutWindow.title);
  hwnd_ = CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, left, top, width, height,
                          owner, nullptr, instance_, this);
  if (!hwnd_) {
    if (err) *err = ApiErrorText("CreateWindowExW", "frmAbout", GetLastError());
    return false;
  }
  if (!controls_.Create(hwnd_, instance_, AboutControls(), kAboutWindow, dpi, err)) {
    Close();
    return false;
  }

  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(GetDlgItem(hwnd_, IDOK));

  MSG msg;
  bool quit = false;
  while (hwnd_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      break;
    }
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (hwnd_) Close();
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return true;
}

void AboutWindow::Close() {
  if (!hwnd_) return;
  const HWND window = hwnd_;
  hwnd_ = nullptr;
  if (owner_) EnableWindow(owner_, TRUE);
  DestroyWindow(window);
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<AboutWindow*>(
        reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    created->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->hwnd_ != window) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CLOSE:
      model_.cmdOK_Click();  // the close box unloads the box as OK does
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH brush =
              controls_.CtlColor(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void AboutWindow::OnCommand(int id, int code) {
  // Enter and Esc arrive as IDOK and IDCANCEL from the dialog manager; cmdOK is both.
  if (id == IDOK || id == IDCANCEL) {
    model_.cmdOK_Click();
    return;
  }
  const ControlRow* row = controls_.RowById(id);
  if (!row || code != STN_CLICKED) return;
  const std::string_view name = row->name;
  if (name == "Label2") {
    model_.Label2_Click();
  } else if (name == "Label3") {
    model_.Label3_Click();
  }
}

void AboutWindow::OnPaint() {
  ScopedPaint paint(hwnd_);
  PaintLines(paint.dc(), controls_.dpi());
}

}  // namespace tarnwick
