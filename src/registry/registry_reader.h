// The program's one way of reading the registry: open a key, read one value, close the key.
#ifndef TARNWICK_REGISTRY_REGISTRY_READER_H_
#define TARNWICK_REGISTRY_REGISTRY_READER_H_

#include <cstdint>
#include <string>
#include <variant>

#include "registry/registry.h"

namespace tarnwick {

/// What a read gives: nothing, a text (REG_SZ or REG_EXPAND_SZ, unexpanded, UTF-8, NULs kept)
/// or a signed 32-bit number (REG_DWORD).
using RegistryValue = std::variant<std::monostate, std::string, int32_t>;

/// The value used as text: nothing is the empty text, a number its decimal digits.
std::string AsText(const RegistryValue& value);

/// Reads value `name` ("" for the default value) of the open `key` into `*value`. Returns 0 on
/// success, the route's error code when a query fails, kErrorInvalidData when the value was
/// rewritten with another type between the size query and the data query, or -1 for a type
/// other than REG_SZ, REG_EXPAND_SZ and REG_DWORD. `*value` is left as given when nothing could be
/// read; a text stored with zero bytes also leaves it so, with status 0. A non-null `type`
/// receives the value's type when a value was read, and is left as given otherwise.
long QueryKeyValue(Registry& registry, KeyHandle key, const std::string& name, RegistryValue* value,
                   uint32_t* type = nullptr);

/// Opens `path` below `hive` for reading, reads value `name` and closes the key. Every failure
/// (missing or unreadable key, missing value, unsupported type) gives nothing. A non-null `type`
/// receives the type of a value that was read (REG_SZ, REG_EXPAND_SZ, REG_DWORD), 0 otherwise.
RegistryValue ReadRegistryValue(Registry& registry, Hive hive, const std::string& path,
                                const std::string& name, uint32_t* type = nullptr);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_READER_H_
