// The registry conformance suite over the Windows routes: writes through "WScript.Shell",
// deletes through SHDeleteKeyW, reads through RegOpenKeyExW / RegQueryValueExW, all against the
// registry of the running system (Wine's, in the test harness).
#include "registry/registry_conformance.h"
#include "win32/registry-win32.h"
#include "win32/scoped-win32.h"
#include "win32/text-win32.h"
#include "win32/wscript_shell-win32.h"

namespace tarnwick {
namespace {

// One connection: COM for the shell object, the shell object and the registry, released in
// the reverse order.
class Win32RegistryUnderTest : public RegistryUnderTest {
 public:
  bool Create() {
    shell_ = WScriptShell::Create(nullptr);
    return shell_ != nullptr;
  }
  RegistryWriteRoute& route() override { return *shell_; }
  Registry& registry() override { return registry_; }

 private:
  ScopedCoInitialize com_;
  std::unique_ptr<WScriptShell> shell_;
  Win32Registry registry_;
};

class Win32Subject : public ConformanceSubject {
 public:
  Win32Subject()
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
  }

  std::unique_ptr<RegistryUnderTest> Open(bool /*administrator*/) override {
    auto reg = std::make_unique<Win32RegistryUnderTest>();
    if (!reg->Create()) return nullptr;
    return reg;
  }
  bool CanWriteMachine() const override { return can_write_machine_; }
  // The process's own rights cannot be dropped for one connection.
  bool CanRefuseMachineAccess() const override { return false; }
  std::string ScratchKey() const override { return scratch_; }

 private:
  std::string scratch_;
  bool can_write_machine_ = false;
};

INSTANTIATE_TEST_SUITE_P(Win32, RegistryConformanceTest,
                         testing::Values(ConformanceParam{
                             "Win32",
                             [] { return std::unique_ptr<ConformanceSubject>(new Win32Subject); }}),
                         ConformanceParamName);

}  // namespace
}  // namespace tarnwick
