// The registry as the program sees it: two hives of case-insensitively named keys, each key with
// a default value and named values, reached by three routes. The Windows build implements the
// routes over the real registry; every other build over the SQLite stand-in hives.
#ifndef TARNWICK_REGISTRY_REGISTRY_H_
#define TARNWICK_REGISTRY_REGISTRY_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

/// The two hives, numbered as the predefined Windows key handles.
enum class Hive : uint32_t {
  kCurrentUser = 0x80000001,   ///< HKEY_CURRENT_USER, "HKCU" in writer paths
  kLocalMachine = 0x80000002,  ///< HKEY_LOCAL_MACHINE, "HKLM" in writer paths
};

/// Value types, numbered as on Windows. Only the first three are ever written by the program;
/// the others may be met when reading.
enum RegType : uint32_t {
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegDword = 4,
  kRegNone = 0,
  kRegBinary = 3,
  kRegMultiSz = 7,
};

/// Win32 error codes returned by the delete and read routes.
enum RegError : long {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,   ///< no such key or value
  kErrorPathNotFound = 3,   ///< a key on the way is missing (some routes say so instead)
  kErrorAccessDenied = 5,   ///< the caller lacks the rights it asked for
  kErrorInvalidHandle = 6,  ///< a null or closed key handle
  kErrorInvalidData = 13,   ///< the store could not be read
  kErrorInvalidParameter = 87,
  kErrorMoreData = 234,     ///< the caller's buffer is too small; the size is reported
  kErrorNoMoreItems = 259,  ///< an enumeration index past the last sub-key or value
};

/// Access masks for OpenKey. Any right outside kKeyRead counts as a write right.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeyRead = 0x20019;        ///< KEY_READ
inline constexpr uint32_t kKeyAllSpecific = 0x003F;  ///< all six specific rights, writes included

/// An open key. Null means "no key"; CloseKey accepts it.
using KeyHandle = struct OpenKeyTag*;

/// Route 1: writes one value, addressed by a writer path such as "HKCU\Software\Classes\.htm\"
/// (trailing backslash: the key's default value) or "HKCU\...\MyInternetShortcut\EditFlags".
/// On Windows this is the scripting shell object's RegWrite.
class RegistryWriteRoute {
 public:
  virtual ~RegistryWriteRoute() = default;
  /// Creates every missing key on the path, then sets the value. `type` is "REG_SZ",
  /// "REG_EXPAND_SZ" or "REG_DWORD" (decimal text, stored as the number). Text is UTF-8.
  /// Returns false with a message in `err` when the path, type or data is malformed or the
  /// write is refused; nothing is changed then.
  virtual bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                        std::string* err) = 0;
};

/// Routes 2 and 3: delete a key tree, and open / query / enumerate / close. Paths are relative to
/// the hive, backslash-separated, with no leading or trailing backslash; names are UTF-8.
class Registry {
 public:
  virtual ~Registry() = default;

  /// Deletes the key at `path` with all its values and sub-keys. Returns a RegError:
  /// kErrorFileNotFound when there is no such key, kErrorAccessDenied when refused.
  virtual long DeleteKeyTree(Hive hive, const std::string& path) = 0;

  /// Opens the key at `path` (the empty path opens the hive's root) asking for `access`.
  /// On success sets `*key`; on failure leaves it untouched and returns the error.
  virtual long OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) = 0;

  /// Queries value `name` of an open key ("" names the default value), as RegQueryValueExW
  /// does: sets `*type`; text types come as UTF-16LE code units with their terminating NUL,
  /// REG_DWORD as 4 little-endian bytes. With `data` null only the type and the byte count
  /// `*size` are reported; otherwise `*size` is the buffer's capacity on entry and the bytes
  /// written on return, and a buffer too small gives kErrorMoreData with the needed size.
  /// `type` may be null.
  virtual long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                          uint32_t* size) = 0;

  /// Names the sub-key at `index` (from 0) of an open key, as RegEnumKeyExW does: the name as
  /// it was created, in `*name`. kErrorNoMoreItems past the last one. The order is the
  /// registry's own and holds while the key is not changed; a caller walks indexes 0, 1, ...
  /// A null key gives kErrorInvalidHandle.
  virtual long EnumKey(KeyHandle key, uint32_t index, std::string* name) = 0;

  /// The value at `index` (from 0) of an open key, as RegEnumValueW gives it: its name ("" for
  /// the default value), its type and its bytes in the form QueryValue gives them.
  /// kErrorNoMoreItems past the last one; the order is the registry's own, as for EnumKey.
  /// A null key gives kErrorInvalidHandle.
  virtual long EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                         std::vector<uint8_t>* data) = 0;

  /// Closes a key from OpenKey. A null handle is accepted and ignored.
  virtual long CloseKey(KeyHandle key) = 0;
};

/// Passes every route on to another registry. A wrapper that watches or changes some routes
/// derives from it and overrides only those.
class ForwardingRegistry : public Registry {
 public:
  /// `inner` is not owned.
  explicit ForwardingRegistry(Registry* inner) : inner_(inner) {}

  long DeleteKeyTree(Hive hive, const std::string& path) override {
    return inner_->DeleteKeyTree(hive, path);
  }
  long OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) override {
    return inner_->OpenKey(hive, path, access, key);
  }
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    return inner_->QueryValue(key, name, type, data, size);
  }
  long EnumKey(KeyHandle key, uint32_t index, std::string* name) override {
    return inner_->EnumKey(key, index, name);
  }
  long EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                 std::vector<uint8_t>* data) override {
    return inner_->EnumValue(key, index, name, type, data);
  }
  long CloseKey(KeyHandle key) override { return inner_->CloseKey(key); }

 private:
  Registry* inner_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_H_
