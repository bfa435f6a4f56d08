// tarnwick-registry-traps: makes a key of the current user's that the registry itself keeps a
// program from changing, or holds a log, so that the end-to-end test under Wine can bring about
// the failures a logon script must be told of. Test-only; not shipped.
//   tarnwick-registry-traps volatile KEY      KEY becomes a volatile key (its content is
//                                             dropped): no key that lasts can be made below it
//   tarnwick-registry-traps undeletable KEY   KEY gets a sub-key whose name holds a NUL, which
//                                             no deletion by name reaches
//   tarnwick-registry-traps remove KEY        takes either away again, with the key
// KEY is below HKEY_CURRENT_USER. Exit code 0 when done.
//   tarnwick-registry-traps hold-log FILE     holds the turn of FILE's writers for ever, as a
//                                             writer that never lets go: prints "held" once it
//                                             has it, and waits until the process is ended
#include <cstdio>
#include <cstring>
#include <string>

#include "registry/registry.h"
#include "win32/registry-win32.h"
#include "win32/scoped-win32.h"
#include "win32/text-win32.h"
#include "win32/unattended-win32.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <winternl.h>
// clang-format on

namespace {

using NtCreateKeyFunction = NTSTATUS(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, ULONG,
                                             UNICODE_STRING*, ULONG, ULONG*);
using NtOpenKeyFunction = NTSTATUS(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*);
using NtDeleteKeyFunction = NTSTATUS(NTAPI*)(HANDLE);

template <typename T>
T Ntdll(const char* name) {
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// The sub-key's name, NUL included: the registry functions of Win32 end a name at its NUL.
wchar_t kHiddenName[] = L"hidden\0sub-key";

// Opens (or with `create`, makes) the hidden sub-key of `parent`.
bool HiddenKey(HKEY parent, bool create, HANDLE* key) {
  UNICODE_STRING name;
  name.Buffer = kHiddenName;
  name.Length = static_cast<USHORT>(sizeof kHiddenName - sizeof(wchar_t));
  name.MaximumLength = static_cast<USHORT>(sizeof kHiddenName);
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &name, 0, parent, nullptr);
  if (create) {
    const auto nt_create = Ntdll<NtCreateKeyFunction>("NtCreateKey");
    return nt_create && nt_create(key, KEY_ALL_ACCESS, &attributes, 0, nullptr, 0, nullptr) >= 0;
  }
  const auto nt_open = Ntdll<NtOpenKeyFunction>("NtOpenKey");
  return nt_open && nt_open(key, KEY_ALL_ACCESS, &attributes) >= 0;
}

bool Remove(const std::wstring& path) {
  tarnwick::ScopedHKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) ==
      ERROR_SUCCESS) {
    HANDLE hidden = nullptr;
    if (HiddenKey(key.get(), false, &hidden)) {
      const auto nt_delete = Ntdll<NtDeleteKeyFunction>("NtDeleteKey");
      if (nt_delete) nt_delete(hidden);
      CloseHandle(hidden);
    }
  }
  key = tarnwick::ScopedHKEY();
  const long status =
      tarnwick::Win32Registry().DeleteKeyTree(tarnwick::Hive::kCurrentUser, tarnwick::Narrow(path));
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Takes the lock that the program's log writers take turns by, and never gives it back.
int HoldLog(const std::wstring& file) {
  tarnwick::ScopedHANDLE log(CreateFileW(file.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  OVERLAPPED turn = {};
  turn.OffsetHigh = tarnwick::kLogTurnOffsetHigh;
  if (!log.valid() || !LockFileEx(log.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn)) return 1;
  std::fputs("held\n", stdout);
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::wstring path = tarnwick::Widen(argv[2]);
  if (std::strcmp(argv[1], "hold-log") == 0) return HoldLog(path);
  if (std::strcmp(argv[1], "remove") == 0) return Remove(path) ? 0 : 1;
  if (!Remove(path)) return 1;
  const bool volatile_key = std::strcmp(argv[1], "volatile") == 0;
  if (!volatile_key && std::strcmp(argv[1], "undeletable") != 0) return 2;
  tarnwick::ScopedHKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                      volatile_key ? REG_OPTION_VOLATILE : 0, KEY_ALL_ACCESS, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  if (volatile_key) return 0;
  HANDLE hidden = nullptr;
  if (!HiddenKey(key.get(), true, &hidden)) return 1;
  CloseHandle(hidden);
  return 0;
}
