#include "win32/version-win32.h"

#include <cstring>

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

}  // namespace tarnwick
