// The engine tests' registry on Windows: the real registry through the real routes. The tests
// write the very keys a user's registrations live in, so they run only where the registry is
// disposable (a fresh Wine prefix, which the Wine test script announces); elsewhere they skip.
#include <cstdlib>

#include "registry/engine_registry.h"
#include "registry/per_user_reset.h"
#include "win32/registry-win32.h"
#include "win32/scoped-win32.h"
#include "win32/text-win32.h"
#include "win32/wscript_shell-win32.h"

namespace tarnwick {
namespace {

// Keys the engine tests write besides the per-user registrations.
constexpr const char* kUserScratch[] = {
    R"(Software\Tarnwick reader test)",
    R"(Software\Clients)",
    R"(Software\Classes\.txt)",
    R"(Software\Classes\httpx)",
    R"(Software\Microsoft\Internet Explorer\Main)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.txt)",
};
constexpr const char* kMachineScratch[] = {
    R"(SOFTWARE\Clients\StartMenuInternet)",
};

class Win32EngineRegistry final : public EngineRegistry {
 public:
  explicit Win32EngineRegistry(std::unique_ptr<WScriptShell> shell) : shell_(std::move(shell)) {
    delperuserkeys(registry_);
    for (const char* path : kUserScratch) registry_.DeleteKeyTree(Hive::kCurrentUser, path);
    for (const char* path : kMachineScratch) registry_.DeleteKeyTree(Hive::kLocalMachine, path);
  }
  RegistryWriteRoute& route() override { return *shell_; }
  Registry& registry() override { return registry_; }
  bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
            const std::vector<uint8_t>& data) override {
    HKEY root = hive == Hive::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    ScopedHKEY key;
    if (RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }
  // A test run cannot drop the rights of the account it runs as.
  bool RefusesMachineWrites() const override { return false; }
  bool ImportKeepsTextBytes() const override {
    // Only Wine's ntdll exports its version.
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
  }
  // As a user restores a backup: the registry editor, silently, on a file.
  bool ImportRegFile(const std::string& bytes, std::string* err) override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file =
        temp + std::wstring(L"Tarnwick import ") + std::to_wstring(GetCurrentProcessId()) + L".reg";
    {
      ScopedHANDLE out(
          CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      DWORD written = 0;
      if (!out.valid() || !WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                     &written, nullptr)) {
        *err = ApiErrorText("CreateFileW", Narrow(file), GetLastError());
        return false;
      }
    }
    std::wstring command = L"regedit.exe /s \"" + file + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    if (!started) {
      *err = ApiErrorText("CreateProcessW", Narrow(command), GetLastError());
      DeleteFileW(file.c_str());
      return false;
    }
    ScopedHANDLE thread(process.hThread);
    ScopedHANDLE running(process.hProcess);
    DWORD exit_code = 1;
    const bool ended = WaitForSingleObject(running.get(), 60000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(running.get(), &exit_code);
    DeleteFileW(file.c_str());
    if (!ended || exit_code != 0) {
      *err = Narrow(command) + (ended ? " ended with " + std::to_string(exit_code) : " hangs");
      return false;
    }
    return true;
  }

 private:
  std::unique_ptr<WScriptShell> shell_;
  Win32Registry registry_;
};

}  // namespace

std::unique_ptr<EngineRegistry> OpenEngineRegistry(bool administrator) {
  // Only an administrator account can be had here.
  if (!administrator) return nullptr;
  const char* disposable = std::getenv("TARNWICK_DISPOSABLE_REGISTRY");
  if (disposable == nullptr || std::string(disposable) != "1") return nullptr;
  static ScopedCoInitialize com;
  std::string err;
  std::unique_ptr<WScriptShell> shell = WScriptShell::Create(&err);
  if (!shell) return nullptr;
  return std::make_unique<Win32EngineRegistry>(std::move(shell));
}

}  // namespace tarnwick
