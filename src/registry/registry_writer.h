// The one registry-write operation of the program.
#ifndef TARNWICK_REGISTRY_REGISTRY_WRITER_H_
#define TARNWICK_REGISTRY_REGISTRY_WRITER_H_

#include <string>

namespace tarnwick {

class RegistryWriteRoute;

/// The writes into the current user's hive (HKCU) since a tally was last taken.
struct WriteTally {
  int user_writes = 0;    ///< attempted
  int user_failures = 0;  ///< of those, the ones that failed
};

/// Writes one value per call through the write route. Callers follow write-and-continue: each
/// write is its own step, and a failed write is skipped without undoing earlier ones. The
/// writer counts what happened to the current user's writes, so that an operation can tell
/// the user when its work is incomplete; machine-wide writes are not counted, since an
/// account without administrator rights is expected to be refused them.
class RegistryWriter {
 public:
  /// `route` is not owned and must outlive the writer.
  explicit RegistryWriter(RegistryWriteRoute* route) : route_(route) {}

  /// Writes `value` of `type` ("REG_SZ", "REG_EXPAND_SZ", "REG_DWORD") at the writer `path`.
  /// Returns whether it was written; a malformed path, unknown type or refused write gives
  /// false and changes nothing. Never throws.
  bool write(const std::string& path, const std::string& value, const std::string& type);

  /// The tally since the last call (or since construction), and a fresh one from now on.
  WriteTally TakeTally();

 private:
  bool WriteThroughRoute(const std::string& path, const std::string& value,
                         const std::string& type);

  RegistryWriteRoute* route_;
  WriteTally tally_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_WRITER_H_
