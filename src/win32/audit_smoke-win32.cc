// Reaches every part of the Windows layer, so that the import audit sees what the layer brings
// into an executable. Prints the Windows version; with "--objects" also creates the automation
// objects and tells which are registered.
#include <cstdio>
#include <cstring>
#include <memory>

#include "registry/registry_reader.h"
#include "win32/automation-win32.h"
#include "win32/desktop-win32.h"
#include "win32/registry-win32.h"
#include "win32/version-win32.h"

int main(int argc, char** argv) {
  using namespace tarnwick;
  const OsVersionInfo version = Win32VersionProvider().GetVersionEx();
  std::printf("platform %u, version %u.%u\n", static_cast<unsigned>(version.dwPlatformId),
              static_cast<unsigned>(version.dwMajorVersion),
              static_cast<unsigned>(version.dwMinorVersion));
  if (argc < 2 || std::strcmp(argv[1], "--objects") != 0) return 0;

  ScopedCoInitialize com;
  Win32AutomationFactory factory;
  std::string err;
  std::printf("WScript.Shell: %s\n", factory.CreateScriptingShell(&err) ? "yes" : err.c_str());
  std::printf("Scripting.FileSystemObject: %s\n",
              factory.CreateFileSystemObject(&err) ? "yes" : err.c_str());
  const bool dialog = factory.CreateCommonDialog(&err) != nullptr;
  std::printf("UserAccounts.CommonDialog: %s\n", !dialog ? err.c_str()
                                                 : factory.used_dialog_fallback()
                                                     ? "no, standard dialog"
                                                     : "yes");
  Win32Registry registry;
  const RegistryValue client =
      ReadRegistryValue(registry, Hive::kLocalMachine, "SOFTWARE\\Clients\\StartMenuInternet", "");
  std::printf("StartMenuInternet: %s\n", AsText(client).c_str());
  std::printf("ProgramFiles: %s\n", Win32Environment().Get("ProgramFiles").c_str());
  return 0;
}
