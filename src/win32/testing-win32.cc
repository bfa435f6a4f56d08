#include "win32/testing-win32.h"

#include <shlwapi.h>

#include <vector>

#include "win32/text-win32.h"

namespace tarnwick {

ScratchKey::ScratchKey()
    : path_("Software\\Tarnwick test " + std::to_string(GetCurrentProcessId())) {
  SHDeleteKeyW(HKEY_CURRENT_USER, Widen(path_).c_str());
}

ScratchKey::~ScratchKey() { SHDeleteKeyW(HKEY_CURRENT_USER, Widen(path_).c_str()); }

namespace {

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (IsWindowVisible(window) && std::wstring(class_name) == L"#32770") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

DialogDriver::DialogDriver(std::function<void(HWND)> act) {
  const DWORD owner_thread = GetCurrentThreadId();
  thread_ = std::thread([this, owner_thread, act = std::move(act)] {
    for (int attempt = 0; attempt < 600; ++attempt) {
      HWND dialog = nullptr;
      EnumThreadWindows(owner_thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog) {
        // Let the dialog finish its set-up before it is driven.
        Sleep(200);
        act(dialog);
        found_ = true;
        return;
      }
      Sleep(50);
    }
  });
}

DialogDriver::~DialogDriver() {
  if (thread_.joinable()) thread_.join();
}

bool DialogDriver::Finish() {
  if (thread_.joinable()) thread_.join();
  return found_;
}

std::wstring WindowText(HWND window) {
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1);
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return std::wstring(text.data(), static_cast<size_t>(length));
}

}  // namespace tarnwick
