// A whole tree of a registry as text, through the enumeration route, so that tests can tell
// whether two states are the same exactly: names as spelt, values in the registry's order,
// types and bytes. Test-only.
#ifndef TARNWICK_REGISTRY_REGISTRY_DUMP_FOR_TEST_H_
#define TARNWICK_REGISTRY_REGISTRY_DUMP_FOR_TEST_H_

#include <cstdio>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_rules.h"

namespace tarnwick {

/// One line per key ("K <path>") and per value ("V <path> "<name>" <type> <hex>"), the key
/// `path` of `hive` first and every key below it after its parent. Keys whose paths are in
/// `skip` (compared as registry names) are left out with everything below them. A key that
/// cannot be read shows as "E <path> <error>".
inline std::string DumpRegistry(Registry& registry, Hive hive, const std::string& path,
                                const std::vector<std::string>& skip = {}) {
  for (const std::string& s : skip) {
    if (SameName(s, path)) return "";
  }
  std::string out;
  KeyHandle key = nullptr;
  if (long status = registry.OpenKey(hive, path, kKeyRead, &key); status != kErrorSuccess) {
    return "E " + path + " " + std::to_string(status) + "\n";
  }
  out += "K " + path + "\n";
  for (uint32_t i = 0;; ++i) {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    const long status = registry.EnumValue(key, i, &name, &type, &data);
    if (status == kErrorNoMoreItems) break;
    if (status != kErrorSuccess) {
      out += "E " + path + " value " + std::to_string(status) + "\n";
      break;
    }
    out += "V " + path + " \"" + name + "\" " + std::to_string(type) + " ";
    for (uint8_t b : data) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", b);
      out += hex;
    }
    out += "\n";
  }
  std::vector<std::string> names;
  for (uint32_t i = 0;; ++i) {
    std::string name;
    if (registry.EnumKey(key, i, &name) != kErrorSuccess) break;
    names.push_back(name);
  }
  registry.CloseKey(key);
  for (const std::string& name : names) {
    out += DumpRegistry(registry, hive, path.empty() ? name : path + "\\" + name, skip);
  }
  return out;
}

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_DUMP_FOR_TEST_H_
