#include "win32/desktop-win32.h"

#include <vector>

#include "win32/dynamic-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {

std::string Win32Environment::Get(const std::string& name) {
  const std::wstring wide_name = Widen(name);
  DWORD capacity = 260;
  for (;;) {
    std::vector<wchar_t> buffer(capacity);
    const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return Narrow(std::wstring_view(buffer.data(), length));
    capacity = length;  // too small: the answer is the size needed, NUL included
  }
}

void Win32Desktop::MsgBox(const std::string& text, const std::string& title, int style) {
  MessageBoxW(owner_ ? owner_ : GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(),
              static_cast<UINT>(style));
}

void Win32Desktop::ShellExecute(ShellOwner owner, const std::string& verb, const std::string& file,
                                int show_command) {
  const HWND window = owner == ShellOwner::kDesktop ? GetDesktopWindow() : nullptr;
  if (const auto shell_execute = Shell32().ShellExecuteW) {
    shell_execute(window, Widen(verb).c_str(), Widen(file).c_str(), nullptr, nullptr, show_command);
  }
}

}  // namespace tarnwick
