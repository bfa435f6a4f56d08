#include "win32/text-win32.h"

#include "text/text.h"
#include "text/utf.h"
#include "win32/windows-win32.h"

namespace tarnwick {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16 code units");

std::wstring Widen(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::string ErrorLine(std::wstring_view message) {
  std::wstring text(message);
  // Messages are sentences: "The system cannot find the file specified.\r\n".
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.')) {
    text.pop_back();
  }
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  if (text.size() > 1 && text[0] >= L'A' && text[0] <= L'Z' && text[1] >= L'a' && text[1] <= L'z')
    text[0] = static_cast<wchar_t>(text[0] - L'A' + L'a');
  return Narrow(text);
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
      0, nullptr);
  const std::wstring text(buffer ? buffer : L"", length);
  LocalFree(buffer);
  std::string line = ErrorLine(text);
  if (line.empty()) line = "error 0x" + HexDigits(static_cast<uint32_t>(code), 8);
  return line;
}

std::string ApiErrorText(std::string_view api, std::string_view argument, unsigned long code) {
  std::string text(api);
  text += '(';
  text += argument;
  text += "): ";
  text += SystemErrorText(code);
  return text;
}

}  // namespace tarnwick
