// Registry content as data: one value with its bytes, and one change to a key or a value. The
// stand-in applies such changes, ".reg" files carry them, and backups are made of them.
#ifndef TARNWICK_REGISTRY_REG_EDIT_H_
#define TARNWICK_REGISTRY_REG_EDIT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry.h"

namespace tarnwick {

/// One value as the registry holds it: its name ("" for the default value), type and the bytes
/// a RegQueryValueExW caller would receive (text as UTF-16LE with its NUL).
struct ValueEntry {
  std::string name;
  uint32_t type = 0;
  std::vector<uint8_t> data;
  bool operator==(const ValueEntry&) const = default;
};

/// One change to a registry, as a line of a ".reg" file states it.
struct RegEdit {
  enum class Op {
    kCreateKey,    ///< create `path` (and missing keys above it): "[KEY]"
    kDeleteKey,    ///< delete `path` with everything below it; a missing key is no error: "[-KEY]"
    kSetValue,     ///< create `path` if needed, then set value `name` to `type` and `data`
    kDeleteValue,  ///< delete value `name` of `path`; a missing key or value is no error
  };
  Op op = Op::kCreateKey;
  Hive hive = Hive::kCurrentUser;
  std::string path;  ///< relative to the hive, as for Registry; not empty for kDeleteKey
  std::string name;  ///< value name, "" for the default value
  uint32_t type = kRegSz;
  std::vector<uint8_t> data;  ///< the bytes as RegQueryValueExW would give them
  bool operator==(const RegEdit&) const = default;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REG_EDIT_H_
