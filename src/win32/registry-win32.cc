#include "win32/registry-win32.h"

#include <vector>

#include "registry/reg_file.h"
#include "registry/registry_rules.h"
#include "win32/dynamic-win32.h"
#include "win32/scoped-win32.h"
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
  const ShlwapiFunctions& shlwapi = Shlwapi();
  if (!shlwapi.SHDeleteKeyW) return static_cast<long>(shlwapi.delete_key_error);
  const HKEY root = HiveKey(hive);
  if (!root) return kErrorInvalidHandle;
  if (path.empty()) return kErrorInvalidParameter;  // never the whole hive
  if (!WellFormed(path)) return kErrorFileNotFound;
  return static_cast<long>(shlwapi.SHDeleteKeyW(root, Widen(path).c_str()));
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

long Win32Registry::EnumKey(KeyHandle key, uint32_t index, std::string* name) {
  if (!key) return kErrorInvalidHandle;
  if (!name) return kErrorInvalidParameter;
  // Key names have at most 255 characters.
  wchar_t buffer[256];
  DWORD length = 256;
  const LONG status =
      RegEnumKeyExW(ToHKEY(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *name = Narrow(std::wstring_view(buffer, length));
  return status;
}

long Win32Registry::EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                              std::vector<uint8_t>* data) {
  if (!key) return kErrorInvalidHandle;
  if (!name || !type || !data) return kErrorInvalidParameter;
  // Value names have at most 16,383 characters. The data may grow between the size query and
  // the read, so the read is repeated with what the last one asked for.
  std::wstring buffer(16384, L'\0');
  std::vector<uint8_t> bytes(64);
  for (;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    DWORD value_type = REG_NONE;
    DWORD size = static_cast<DWORD>(bytes.size());
    const LONG status = RegEnumValueW(ToHKEY(key), index, buffer.data(), &length, nullptr,
                                      &value_type, bytes.data(), &size);
    if (status == ERROR_MORE_DATA && size > bytes.size()) {
      bytes.resize(size);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    *name = Narrow(std::wstring_view(buffer.data(), length));
    *type = value_type;
    bytes.resize(size);
    *data = std::move(bytes);
    return kErrorSuccess;
  }
}

long Win32Registry::CloseKey(KeyHandle key) {
  if (!key) return kErrorSuccess;
  return RegCloseKey(ToHKEY(key));
}

namespace {

// One edit through the registry functions; the Win32 error, and the function that gave it.
LONG ImportOne(const RegEdit& edit, const char** api) {
  const HKEY root = HiveKey(edit.hive);
  const std::wstring path = Widen(edit.path);
  switch (edit.op) {
    case RegEdit::Op::kDeleteKey: {
      *api = "SHDeleteKeyW";
      const LONG status = Win32Registry().DeleteKeyTree(edit.hive, edit.path);
      return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    case RegEdit::Op::kDeleteValue: {
      *api = "RegOpenKeyExW";
      ScopedHKEY key;
      LONG status = RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.Receive());
      if (status == ERROR_SUCCESS) {
        *api = "RegDeleteValueW";
        status = RegDeleteValueW(key.get(), Widen(edit.name).c_str());
      }
      return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    case RegEdit::Op::kCreateKey:
    case RegEdit::Op::kSetValue: {
      *api = "RegCreateKeyExW";
      ScopedHKEY key;
      LONG status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    key.Receive(), nullptr);
      if (status != ERROR_SUCCESS || edit.op == RegEdit::Op::kCreateKey) return status;
      *api = "RegSetValueExW";
      return RegSetValueExW(key.get(), Widen(edit.name).c_str(), 0, edit.type,
                            edit.data.empty() ? nullptr : edit.data.data(),
                            static_cast<DWORD>(edit.data.size()));
    }
  }
  return ERROR_INVALID_PARAMETER;
}

}  // namespace

bool Win32RegistryImporter::Import(std::span<const RegEdit> edits, std::string* err) {
  bool imported = true;
  for (const RegEdit& edit : edits) {
    const char* api = "";
    const LONG status = ImportOne(edit, &api);
    if (status == ERROR_SUCCESS) continue;
    if (edit.hive == Hive::kLocalMachine && status == ERROR_ACCESS_DENIED) continue;
    // The first failure says why; the rest are still tried.
    if (imported) *err = ApiErrorText(api, FullKeyName(edit.hive, edit.path), status);
    imported = false;
  }
  return imported;
}

}  // namespace tarnwick
