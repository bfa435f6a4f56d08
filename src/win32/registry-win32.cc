#include "win32/registry-win32.h"

#include <vector>

#include "registry/registry_rules.h"
#include "win32/text-win32.h"

namespace tarnwick {

namespace {

// The registry functions would read "" or "\\" as the hive itself, and accept doubled or
// trailing backslashes; the routes take only well-formed relative paths.
bool WellFormed(const std::string& path) {
  std::vector<std::string> components;
  return SplitKeyPath(path, &components);
}

HKEY ToHKEY(KeyHandle key) { return reinterpret_cast<HKEY>(key); }
KeyHandle ToKeyHandle(HKEY key) { return reinterpret_cast<KeyHandle>(key); }

}  // namespace

HKEY HiveKey(Hive hive) {
  switch (hive) {
    case Hive::kCurrentUser:
      return HKEY_CURRENT_USER;
    case Hive::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

long Win32Registry::DeleteKeyTree(Hive hive, const std::string& path) {
  if (!resolved_) {
    resolved_ = true;
    shlwapi_ = ScopedHMODULE(LoadLibraryW(L"SHLWAPI.DLL"));
    if (shlwapi_.get()) {
      // GetProcAddress hands back a generic function pointer; the cast through void(*)() keeps
      // the compiler's function-type warning quiet.
      delete_key_ = reinterpret_cast<DeleteKeyFunction>(
          reinterpret_cast<void (*)()>(GetProcAddress(shlwapi_.get(), "SHDeleteKeyW")));
    }
    if (!delete_key_) resolve_error_ = GetLastError();
  }
  if (!delete_key_) return static_cast<long>(resolve_error_);
  const HKEY root = HiveKey(hive);
  if (!root) return kErrorInvalidHandle;
  if (path.empty()) return kErrorInvalidParameter;  // never the whole hive
  if (!WellFormed(path)) return kErrorFileNotFound;
  return static_cast<long>(delete_key_(root, Widen(path).c_str()));
}

long Win32Registry::OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) {
  if (!key) return kErrorInvalidParameter;
  const HKEY root = HiveKey(hive);
  if (!root) return kErrorInvalidHandle;
  if (!WellFormed(path)) return kErrorFileNotFound;
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExW(root, Widen(path).c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) *key = ToKeyHandle(opened);
  return status;
}

long Win32Registry::QueryValue(KeyHandle key, const std::string& name, uint32_t* type,
                               uint8_t* data, uint32_t* size) {
  if (!key) return kErrorInvalidHandle;
  DWORD value_type = REG_NONE;
  DWORD byte_count = size ? *size : 0;
  const LONG status = RegQueryValueExW(ToHKEY(key), Widen(name).c_str(), nullptr, &value_type, data,
                                       size ? &byte_count : nullptr);
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    if (type) *type = value_type;
    if (size) *size = byte_count;
  }
  return status;
}

long Win32Registry::CloseKey(KeyHandle key) {
  if (!key) return kErrorSuccess;
  return RegCloseKey(ToHKEY(key));
}

}  // namespace tarnwick
