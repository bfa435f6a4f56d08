// What the registry tests run on, for every registry: a host of one registry (the stand-in's
// hives in memory or in files, or the real registry of a throw-away Wine prefix) that opens
// connections to it, seeds it, and imports registry files as a user restores a backup there.
// Each platform defines OpenTestRegistryHost once; the conformance suite instantiates itself
// with hosts of its own. Test-only.
#ifndef TARNWICK_REGISTRY_TEST_REGISTRY_H_
#define TARNWICK_REGISTRY_TEST_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_importer.h"

namespace tarnwick {

/// One connection: both routes, owned together.
class TestRegistry {
 public:
  virtual ~TestRegistry() = default;
  virtual RegistryWriteRoute& route() = 0;
  virtual Registry& registry() = 0;
  /// The program's own import into this connection's registry (an undo's).
  virtual RegistryImporter& importer() = 0;
  /// Imports the ".reg" file `bytes` for this connection's account, with the tool a user
  /// restores a backup with here: "tarnwick-reg import" on the stand-in, "regedit /s" on
  /// Windows. False with the reason when the tool fails.
  virtual bool ImportRegFile(const std::string& bytes, std::string* err) = 0;
};

/// The two ways a test brings a backup's edits into a registry.
enum class ImportRoute {
  kImporter,  ///< TestRegistry::importer(): the program's own import of a backup
  kRegFile,   ///< TestRegistry::ImportRegFile(): a user's import of the file
};

class TestRegistryHost {
 public:
  virtual ~TestRegistryHost() = default;

  /// A new connection; what an earlier connection wrote is there. Without `administrator` it
  /// acts for an account without administrator rights where it can (RefusesMachineWrites).
  /// Null when it cannot be opened.
  virtual std::unique_ptr<TestRegistry> Open(bool administrator) = 0;

  /// Stores value `name` of key `path` exactly as given, whatever an account's rights,
  /// creating the key. `data` holds the bytes as RegQueryValueExW gives them.
  virtual bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
                    const std::vector<uint8_t>& data) = 0;

  /// Whether Open(true) may write HKEY_LOCAL_MACHINE.
  virtual bool CanWriteMachine() const = 0;
  /// Whether Open(false) refuses writes to HKEY_LOCAL_MACHINE (a real registry cannot drop
  /// the rights of a test run as administrator).
  virtual bool RefusesMachineWrites() const = 0;
  /// A key path relative to a hive that tests may own in both hives, such as
  /// "Software\TarnwickConformance".
  virtual std::string ScratchKey() const = 0;
  /// Whether `route` stores a text value that lacks its final NUL ("hex(1):49,00") with
  /// exactly the bytes given, as Windows XP does. Some registries (Wine's, depending on the
  /// build and the route) add the NUL; a host that may meet either asks its registry at run
  /// time, and says in the test output which it met.
  virtual bool ImportKeepsTextBytes(ImportRoute route) = 0;
};

/// A fresh registry holding none of the keys the engine and window tests touch. Null where no
/// registry may be used for tests.
std::unique_ptr<TestRegistryHost> OpenTestRegistryHost();

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_TEST_REGISTRY_H_
