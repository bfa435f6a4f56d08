// The registry conformance suite. Every registry (the real one on Windows, the stand-in
// elsewhere) instantiates RegistryConformanceTest with a factory of its TestRegistryHost and
// must pass it. Test-only; needs GoogleTest but no store.
#ifndef TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_
#define TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/test_registry.h"

namespace tarnwick {

/// One instantiation of the suite: a name for test output and how to make the subject.
struct ConformanceParam {
  const char* name;
  std::unique_ptr<TestRegistryHost> (*make)();
};

/// Gives each instantiation its name in test output.
inline std::string ConformanceParamName(const testing::TestParamInfo<ConformanceParam>& info) {
  return info.param.name;
}

/// The suite. Instantiate it with
///   INSTANTIATE_TEST_SUITE_P(Name, RegistryConformanceTest, testing::Values(params...),
///                            ConformanceParamName);
class RegistryConformanceTest : public testing::TestWithParam<ConformanceParam> {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Closes the current connection and opens another, with or without administrator rights.
  void Reopen(bool administrator);

  /// `rest` below the scratch key, as a path relative to the hive.
  std::string Key(const std::string& rest) const;
  /// A writer path: "HKCU\" or "HKLM\" and `rest` below the scratch key.
  std::string WriterPath(Hive hive, const std::string& rest) const;

  /// Writes through the write route; fails the test when the write fails.
  void Write(const std::string& writer_path, const std::string& value, const std::string& type);

  /// OpenKey for reading; the status.
  long Open(Hive hive, const std::string& rest, KeyHandle* key);

  /// Type and bytes of value `name` of key `rest`; the status of the query.
  long Query(Hive hive, const std::string& rest, const std::string& name, uint32_t* type,
             std::vector<uint8_t>* bytes);

  RegistryWriteRoute& route() { return reg_->route(); }
  Registry& registry() { return reg_->registry(); }

  std::unique_ptr<TestRegistryHost> host_;
  std::unique_ptr<TestRegistry> reg_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_
