#include "shell/startup.h"

#include "shell/platform.h"

namespace tarnwick {
namespace {}  // namespace

std::string GetWindowsVersionName(VersionProvider& version) {
  const OsVersionInfo info = version.GetVersionEx();
  switch (info.dwPlatformId) {
    case kPlatformWin32Windows:
      // The 9x family is told apart by its minor version alone.
      switch (info.dwMinorVersion) {
        case 0:
          return "Windows 95";
        case 10:
          return "Windows 98";
        case 90:
          return "Windows Millennium";
      }
      return "";
    case kPlatformWin32Nt:
      switch (info.dwMajorVersion) {
        case 3:
          return "Windows NT 3.51";
        case 4:
          return "Windows NT 4.0";
        case 5:
          // 5.2 (Server 2003, XP x64) counts as XP too.
          return info.dwMinorVersion == 0 ? "Windows 2000" : "Windows XP";
      }
      return "";
  }
  return "Failed";
}

std::string ObjectCreationFailedMessage(const std::string& prog_id, const std::string& err) {
  std::string text = "The object \"" + prog_id + "\" cannot be created";
  if (!err.empty()) text += ": " + err;
  return text + ". This utility will now quit.";
}

}  // namespace tarnwick
