#include "win32/console-win32.h"

#include <string>

#include "win32/text-win32.h"

namespace tarnwick {
namespace {

// `text` with each line end as CRLF, and one more at its end.
std::wstring WindowsLines(std::string_view text) {
  std::wstring wide;
  for (wchar_t c : Widen(text)) {
    if (c == L'\n') wide += L'\r';
    wide += c;
  }
  return wide + L"\r\n";
}

}  // namespace

void Win32Console::WriteLine(Stream stream, std::string_view text) {
  Target& target = TargetOf(stream);
  if (target.handle == nullptr) return;
  std::wstring wide = WindowsLines(text);
  if (target.is_console) {
    if (target.handle == parent_console_.get() && !parent_console_used_) {
      parent_console_used_ = true;
      wide = L"\r\n" + wide;
    }
    DWORD written = 0;
    WriteConsoleW(target.handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const int size = WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(target.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

Win32Console::Target& Win32Console::TargetOf(Stream stream) {
  Target& target = stream == Stream::kOutput ? output_ : error_;
  if (target.looked) return target;
  target.looked = true;
  const HANDLE handle =
      GetStdHandle(stream == Stream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  // A GUI program may be handed the console handles of its parent's console, which mean
  // nothing to it (GetFileType fails); only files, pipes and devices are taken as they are.
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    DWORD mode = 0;
    switch (GetFileType(handle)) {
      case FILE_TYPE_DISK:
      case FILE_TYPE_PIPE:
        target.handle = handle;
        return target;
      case FILE_TYPE_CHAR:
        // NUL is a character device too, but no console.
        target.handle = handle;
        target.is_console = GetConsoleMode(handle, &mode) != 0;
        return target;
      default:
        break;
    }
  }
  target.handle = ParentConsole();
  target.is_console = target.handle != nullptr;
  return target;
}

HANDLE Win32Console::ParentConsole() {
  if (!attach_tried_) {
    attach_tried_ = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
      parent_console_ = ScopedHANDLE(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
    }
  }
  return parent_console_.valid() ? parent_console_.get() : nullptr;
}

}  // namespace tarnwick
