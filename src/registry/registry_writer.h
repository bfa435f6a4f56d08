// The one registry-write operation of the program.
#ifndef TARNWICK_REGISTRY_REGISTRY_WRITER_H_
#define TARNWICK_REGISTRY_REGISTRY_WRITER_H_

#include <string>

namespace tarnwick {

class RegistryWriteRoute;

/// Writes one value per call through the write route. Callers follow write-and-continue: each
/// write is its own step, and a failed write is skipped without undoing earlier ones.
class RegistryWriter {
 public:
  /// `route` is not owned and must outlive the writer.
  explicit RegistryWriter(RegistryWriteRoute* route) : route_(route) {}

  /// Writes `value` of `type` ("REG_SZ", "REG_EXPAND_SZ", "REG_DWORD") at the writer `path`.
  /// Returns whether it was written; a malformed path, unknown type or refused write gives
  /// false and changes nothing. Never throws.
  bool write(const std::string& path, const std::string& value, const std::string& type);

 private:
  RegistryWriteRoute* route_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_WRITER_H_
