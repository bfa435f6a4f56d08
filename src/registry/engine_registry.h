// What the engine's tests run on: a registry that holds none of the keys the engine touches,
// with both routes and a way to seed values of any type. Each platform defines
// OpenEngineRegistry once: the stand-in in memory, or the real registry of a throw-away Wine
// prefix. Test-only.
#ifndef TARNWICK_REGISTRY_ENGINE_REGISTRY_H_
#define TARNWICK_REGISTRY_ENGINE_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"

namespace tarnwick {

class EngineRegistry {
 public:
  virtual ~EngineRegistry() = default;
  virtual RegistryWriteRoute& route() = 0;
  virtual Registry& registry() = 0;
  /// Stores value `name` of key `path` exactly as given, whatever the account's rights,
  /// creating the key. `data` holds the bytes as RegQueryValueExW gives them.
  virtual bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
                    const std::vector<uint8_t>& data) = 0;
  /// Whether an account without administrator rights is refused machine-wide writes here.
  virtual bool RefusesMachineWrites() const = 0;
  /// Imports the ".reg" file `bytes` for the account, with the tool a user restores a backup
  /// with here: "tarnwick-reg import" on the stand-in, "regedit /s" on Windows. False with the
  /// reason when the tool fails.
  virtual bool ImportRegFile(const std::string& bytes, std::string* err) = 0;
  /// Whether ImportRegFile stores a text value ("hex(1):", "hex(2):") with exactly the bytes
  /// given; Wine's registry editor adds a final NUL to one that lacks it.
  virtual bool ImportKeepsTextBytes() const = 0;
};

/// A registry holding none of the keys the engine tests touch, acting for an account with or
/// without administrator rights. Null where no registry may be used for tests.
std::unique_ptr<EngineRegistry> OpenEngineRegistry(bool administrator);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_ENGINE_REGISTRY_H_
