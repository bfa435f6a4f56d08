// The registry of the tests on Windows: the real registry through the real routes ("WScript.Shell",
// SHDeleteKeyW, RegOpenKeyExW / RegQueryValueExW), Wine's in the test harness. The conformance
// suite keeps to a scratch key of its own and runs anywhere. The engine and window tests write
// the very keys a user's registrations live in, so they run only where the registry is
// disposable (a fresh Wine prefix, which the Wine test script announces); elsewhere they skip.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "registry/per_user_reset.h"
#include "registry/reg_file.h"
#include "registry/registry_conformance.h"
#include "registry/test_registry.h"
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

// One connection: COM for the shell object, the shell object and the registry, released in
// the reverse order.
class Win32Connection final : public TestRegistry {
 public:
  bool Create() {
    shell_ = WScriptShell::Create(nullptr);
    return shell_ != nullptr;
  }
  RegistryWriteRoute& route() override { return *shell_; }
  Registry& registry() override { return registry_; }
  RegistryImporter& importer() override { return importer_; }
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
  ScopedCoInitialize com_;
  std::unique_ptr<WScriptShell> shell_;
  Win32Registry registry_;
  Win32RegistryImporter importer_;
};

// Writes the bytes "In" without their final NUL as value "Odd" of the user's key `key` by
// `route`, reads them back and deletes the key: true when they came back as written.
bool KeepsTextBytes(const std::string& key, ImportRoute route) {
  const std::vector<uint8_t> odd = {'I', 0, 'n', 0};
  ScopedHKEY handle;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      handle.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool written = false;
  if (route == ImportRoute::kImporter) {
    written = RegSetValueExW(handle.get(), L"Odd", 0, REG_SZ, odd.data(),
                             static_cast<DWORD>(odd.size())) == ERROR_SUCCESS;
  } else {
    Win32Connection connection;
    std::string err;
    written = connection.Create() &&
              connection.ImportRegFile(
                  EncodeUtf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n"
                                       "[HKEY_CURRENT_USER\\" +
                                       key + "]\r\n\"Odd\"=hex(1):49,00,6e,00\r\n\r\n"),
                  &err);
  }
  std::vector<uint8_t> got(16);
  DWORD size = static_cast<DWORD>(got.size());
  const bool read = written && RegQueryValueExW(handle.get(), L"Odd", nullptr, nullptr, got.data(),
                                                &size) == ERROR_SUCCESS;
  handle = ScopedHKEY();
  RegDeleteKeyW(HKEY_CURRENT_USER, Widen(key).c_str());
  got.resize(read ? size : 0);
  return got == odd;
}

class Win32Host final : public TestRegistryHost {
 public:
  /// With `clear`, first deletes every key the engine and window tests write.
  explicit Win32Host(bool clear)
      : scratch_("Software\\Tarnwick conformance " + std::to_string(GetCurrentProcessId())) {
    // The registry of the running account decides: an administrator (and everyone under Wine)
    // may write the machine hive.
    ScopedHKEY probe;
    DWORD created = 0;
    can_write_machine_ =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(scratch_).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, probe.Receive(), &created) == ERROR_SUCCESS;
    probe = ScopedHKEY();
    if (can_write_machine_ && created == REG_CREATED_NEW_KEY)
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, Widen(scratch_).c_str());
    if (!clear) return;
    Win32Registry registry;
    delperuserkeys(registry);
    for (const char* path : kUserScratch) registry.DeleteKeyTree(Hive::kCurrentUser, path);
    for (const char* path : kMachineScratch) registry.DeleteKeyTree(Hive::kLocalMachine, path);
  }

  // The process's own rights cannot be dropped for one connection.
  std::unique_ptr<TestRegistry> Open(bool /*administrator*/) override {
    auto connection = std::make_unique<Win32Connection>();
    if (!connection->Create()) return nullptr;
    return connection;
  }
  bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
            const std::vector<uint8_t>& data) override {
    ScopedHKEY key;
    if (RegCreateKeyExW(HiveKey(hive), Widen(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }
  bool CanWriteMachine() const override { return can_write_machine_; }
  bool RefusesMachineWrites() const override { return false; }
  std::string ScratchKey() const override { return scratch_; }
  // Asked of the registry once per route and run. The program's importer is held to what the
  // registry itself keeps (RegSetValueExW); a file's import to what the registry editor makes
  // of it.
  bool ImportKeepsTextBytes(ImportRoute route) override {
    static std::optional<bool> answers[2];
    std::optional<bool>& answer = answers[route == ImportRoute::kRegFile];
    if (!answer) {
      answer = KeepsTextBytes("Software\\Tarnwick import probe", route);
      std::printf("registry probe: %s %s a text value's bytes as written\n",
                  route == ImportRoute::kRegFile ? "regedit /s" : "RegSetValueExW",
                  *answer ? "keeps" : "adds a final NUL to");
      std::fflush(stdout);
    }
    return *answer;
  }

 private:
  std::string scratch_;
  bool can_write_machine_ = false;
};

INSTANTIATE_TEST_SUITE_P(
    Win32, RegistryConformanceTest,
    testing::Values(ConformanceParam{
        "Win32", [] { return std::unique_ptr<TestRegistryHost>(new Win32Host(false)); }}),
    ConformanceParamName);

}  // namespace

std::unique_ptr<TestRegistryHost> OpenTestRegistryHost() {
  const char* disposable = std::getenv("TARNWICK_DISPOSABLE_REGISTRY");
  if (disposable == nullptr || std::string(disposable) != "1") return nullptr;
  return std::make_unique<Win32Host>(/*clear=*/true);
}

}  // namespace tarnwick
