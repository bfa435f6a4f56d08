// The delete and read routes over the Windows registry: SHDeleteKeyW for whole key trees, and
// RegOpenKeyExW / RegQueryValueExW / RegEnumKeyExW / RegEnumValueW / RegCloseKey for reads.
// Names travel as UTF-16 both ways.
#ifndef TARNWICK_WIN32_REGISTRY_WIN32_H_
#define TARNWICK_WIN32_REGISTRY_WIN32_H_

#include <cstdint>
#include <string>

#include "registry/registry.h"
#include "registry/registry_importer.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// The predefined key of a hive.
HKEY HiveKey(Hive hive);

/// The registry of the running Windows, for the current user.
class Win32Registry : public Registry {
 public:
  /// Deletes through SHDeleteKeyW, which is taken from "SHLWAPI.DLL" by name at the first
  /// delete (see dynamic-win32.h). When the library or the function cannot be had, every delete
  /// returns the loader's error (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND).
  /// The empty path gives ERROR_INVALID_PARAMETER: a whole hive is never deleted.
  long DeleteKeyTree(Hive hive, const std::string& path) override;
  /// RegOpenKeyExW with exactly the rights asked for. A path with an empty component (a
  /// leading, trailing or doubled backslash) gives ERROR_FILE_NOT_FOUND, as on every platform.
  long OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) override;
  /// RegQueryValueExW; a null key gives ERROR_INVALID_HANDLE.
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  /// RegEnumKeyExW; a null key gives ERROR_INVALID_HANDLE.
  long EnumKey(KeyHandle key, uint32_t index, std::string* name) override;
  /// RegEnumValueW, asked again with larger buffers while the value does not fit; a null key
  /// gives ERROR_INVALID_HANDLE.
  long EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                 std::vector<uint8_t>* data) override;
  /// RegCloseKey; a null key is ignored and gives ERROR_SUCCESS.
  long CloseKey(KeyHandle key) override;
};

/// Imports into the registry of the running Windows as the registry editor does, with the
/// advapi32 calls of Windows XP (RegCreateKeyExW, RegSetValueExW, RegDeleteValueW) and
/// SHDeleteKeyW for trees. Each edit is its own step: a failed one is reported, the others are
/// still made. An edit of HKEY_LOCAL_MACHINE refused as access denied is left out silently.
class Win32RegistryImporter final : public RegistryImporter {
 public:
  bool Import(std::span<const RegEdit> edits, std::string* err) override;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_REGISTRY_WIN32_H_
