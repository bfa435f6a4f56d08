// The main window over a scripted platform, for the tests of the Windows front end: a fixture
// that creates it and runs its load step, a registry with one Start-menu client, and the way real
// Windows clicks an option button that receives the focus. Test-only.
#ifndef TARNWICK_WIN32_MAIN_WINDOW_FOR_TEST_WIN32_H_
#define TARNWICK_WIN32_MAIN_WINDOW_FOR_TEST_WIN32_H_

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "shell/fake_platform.h"
#include "shell/form1.h"
#include "win32/main_window-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// A bitmap of the screen's format in a memory device context, to draw into and read back.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height) : width_(width), height_(height) {
    const HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  ~MemoryCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  /// Every pixel, row by row.
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels.push_back(At(x, y));
    }
    return pixels;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

// A machine whose only browser registration is a Start-menu client with a display name, so
// that the window has a current-default line to show; or, until `registered` is set, none.
class OneClientRegistry : public Registry {
 public:
  bool registered = true;

  long DeleteKeyTree(Hive, const std::string&) override { return kErrorFileNotFound; }
  long OpenKey(Hive hive, const std::string& path, uint32_t, KeyHandle* key) override {
    if (path.empty()) return Give(3, key);  // each hive's root, which holds nothing
    if (!registered) return kErrorFileNotFound;
    if (hive == Hive::kLocalMachine && path == kClients) return Give(1, key);
    if (hive == Hive::kLocalMachine && path == std::string(kClients) + "\\Maxthon.exe") {
      return Give(2, key);
    }
    return kErrorFileNotFound;
  }
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    const std::u16string* text = nullptr;
    if (name.empty() && key == Handle(1)) text = &client_;
    if (name.empty() && key == Handle(2)) text = &display_name_;
    if (!text) return kErrorFileNotFound;
    const uint32_t needed = static_cast<uint32_t>((text->size() + 1) * 2);
    *type = kRegSz;
    if (data && *size < needed) return kErrorMoreData;
    if (data) std::memcpy(data, text->c_str(), needed);
    *size = needed;
    return kErrorSuccess;
  }
  long EnumKey(KeyHandle, uint32_t, std::string*) override { return kErrorNoMoreItems; }
  long EnumValue(KeyHandle, uint32_t, std::string*, uint32_t*, std::vector<uint8_t>*) override {
    return kErrorNoMoreItems;
  }
  long CloseKey(KeyHandle) override { return kErrorSuccess; }

 private:
  static constexpr char kClients[] = R"(SOFTWARE\Clients\StartMenuInternet)";
  static KeyHandle Handle(uintptr_t n) { return reinterpret_cast<KeyHandle>(n); }
  static long Give(uintptr_t n, KeyHandle* key) {
    *key = Handle(n);
    return kErrorSuccess;
  }
  std::u16string client_ = u"Maxthon.exe";
  std::u16string display_name_ = u"Maxthon Web Browser";
};

// Real Windows reports a click (BN_CLICKED, the button left unchecked) when an unchecked option
// button receives the focus unless its mouse button is down; Wine does not. This gives the
// window's option buttons that behaviour and counts the clicks so reported.
inline std::map<HWND, WNDPROC> g_option_procs;
inline int g_focus_clicks = 0;

inline LRESULT CALLBACK ClickWhenFocused(HWND button, UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT result = CallWindowProcW(g_option_procs[button], button, message, wparam, lparam);
  if (message == WM_SETFOCUS && SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED &&
      !(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED)) {
    ++g_focus_clicks;
    SendMessageW(GetParent(button), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(button), static_cast<WORD>(BN_CLICKED)),
                 reinterpret_cast<LPARAM>(button));
  }
  return result;
}

inline void ClickOptionsOnFocusAsWindowsDoes(const MainWindow& window) {
  for (const char* name :
       {"Option1", "Option2", "Option3", "Option4", "Option5", "Option6", "Option7", "Option8"}) {
    const HWND option = window.Control(name);
    g_option_procs[option] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(option, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClickWhenFocused)));
  }
}

inline bool HasStyle(HWND window, DWORD style) {
  return (static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & style) == style;
}

class MainWindowWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(window_.Create(&err)) << err;
    Start(fake_.platform());
  }
  void TearDown() override {
    window_.Detach();
    window_.Destroy();
    g_option_procs.clear();
  }

  void Start(const Platform& platform) {
    window_.Detach();
    form_ = std::make_unique<Form1>(platform);
    window_.Attach(form_.get());
    ASSERT_TRUE(form_->Form_Load());
  }
  HWND Control(const char* name) const {
    const HWND control = window_.Control(name);
    EXPECT_NE(nullptr, control) << name;
    return control;
  }
  /// A notification from a control, as the control sends it.
  void Notify(const char* name, int code) {
    const HWND control = Control(name);
    SendMessageW(window_.hwnd(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(control), static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(control));
  }
  /// A click as the mouse makes it: the automatic option button checks itself, then reports.
  void Click(const char* name) { SendMessageW(Control(name), BM_CLICK, 0, 0); }
  bool Checked(const char* name) const {
    return SendMessageW(window_.Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  bool NoOptionSelected() const {
    for (int i = 1; i <= 8; ++i) {
      if (form_->OptionValue(i) || Checked(("Option" + std::to_string(i)).c_str())) return false;
    }
    return true;
  }
  /// A key as the message loop hands it to the dialog manager, at the focused control.
  bool DialogKey(WPARAM key) {
    MSG msg = {GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
    return IsDialogMessageW(window_.hwnd(), &msg);
  }
  /// Space on a button: pressed on the key going down, clicked on its release.
  void Space(HWND control) {
    SendMessageW(control, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(control, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
  }
  size_t Calls(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& call : fake_.calls) n += call.starts_with(prefix);
    return n;
  }

  std::vector<std::string> registry_calls_;
  RecordingRegistry registry_{&registry_calls_};
  AcceptingWriteRoute route_;
  FakePlatform fake_{&registry_, &route_};
  MainWindow window_{GetModuleHandleW(nullptr)};
  std::unique_ptr<Form1> form_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_MAIN_WINDOW_FOR_TEST_WIN32_H_
