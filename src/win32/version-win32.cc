#include "win32/version-win32.h"

#include <cstring>
#include <vector>

#include "win32/dynamic-win32.h"
#include "win32/text-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the record GetVersionExA expects");

OsVersionInfo Win32VersionProvider::GetVersionEx() {
  OSVERSIONINFOA record;
  std::memset(&record, 0, sizeof record);
  record.dwOSVersionInfoSize = sizeof record;
  std::memset(record.szCSDVersion, ' ', sizeof record.szCSDVersion);
  GetVersionExA(&record);
  OsVersionInfo info;
  info.dwPlatformId = record.dwPlatformId;
  info.dwMajorVersion = record.dwMajorVersion;
  info.dwMinorVersion = record.dwMinorVersion;
  return info;
}

std::string Win32ProgramInfo::Description(const std::string& path) {
  const std::wstring wide = Widen(path);
  std::wstring expanded(MAX_PATH, L'\0');
  for (;;) {
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(),
                                                   static_cast<DWORD>(expanded.size()));
    if (needed == 0) return {};
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);
      break;
    }
    expanded.resize(needed);
  }

  const VersionFunctions& version = Version();
  if (!version.GetFileVersionInfoSizeW || !version.GetFileVersionInfoW || !version.VerQueryValueW) {
    return {};
  }
  DWORD ignored = 0;
  const DWORD size = version.GetFileVersionInfoSizeW(expanded.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> info(size);
  if (!version.GetFileVersionInfoW(expanded.c_str(), 0, size, info.data())) return {};

  struct Translation {
    WORD language;
    WORD code_page;
  };
  Translation translation = {0x0409, 0x04B0};
  void* found = nullptr;
  UINT length = 0;
  if (version.VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &found, &length) &&
      length >= sizeof(Translation)) {
    std::memcpy(&translation, found, sizeof translation);
  }
  // "\StringFileInfo\040904b0\FileDescription": language and code page in hex digits.
  std::wstring query = L"\\StringFileInfo\\";
  for (const WORD part : {translation.language, translation.code_page}) {
    for (int shift = 12; shift >= 0; shift -= 4)
      query += L"0123456789abcdef"[(part >> shift) & 0xF];
  }
  query += L"\\FileDescription";
  if (!version.VerQueryValueW(info.data(), query.c_str(), &found, &length) || length == 0)
    return {};
  // The length counts characters, the terminating NUL among them when there is one.
  std::wstring text(static_cast<const wchar_t*>(found), length);
  if (const size_t nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
  return Narrow(text);
}

}  // namespace tarnwick
