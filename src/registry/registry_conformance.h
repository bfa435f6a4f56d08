// The registry conformance suite's contract with an implementation. Every registry (the real
// one on Windows, the stand-in elsewhere) instantiates RegistryConformanceTest with a factory of
// ConformanceSubject and must pass it. Test-only; needs GoogleTest but no store.
#ifndef TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_
#define TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"

namespace tarnwick {

/// A registry opened for the suite: both routes, owned together.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual RegistryWriteRoute& route() = 0;
  virtual Registry& registry() = 0;
};

/// A RegistryUnderTest over one object that implements both routes.
template <class T>
class OwnedRegistryUnderTest final : public RegistryUnderTest {
 public:
  explicit OwnedRegistryUnderTest(std::unique_ptr<T> impl) : impl_(std::move(impl)) {}
  RegistryWriteRoute& route() override { return *impl_; }
  Registry& registry() override { return *impl_; }

 private:
  std::unique_ptr<T> impl_;
};

/// One implementation as the suite sees it.
class ConformanceSubject {
 public:
  virtual ~ConformanceSubject() = default;

  /// Opens a new connection to the registry under test; what an earlier connection wrote and
  /// closed is there. With `administrator` false it acts for an account without administrator
  /// rights, if it can (CanRefuseMachineAccess). Null when it cannot be opened.
  virtual std::unique_ptr<RegistryUnderTest> Open(bool administrator) = 0;

  /// Whether Open(true) may write HKEY_LOCAL_MACHINE.
  virtual bool CanWriteMachine() const = 0;

  /// Whether Open(false) refuses writes to HKEY_LOCAL_MACHINE (a real registry cannot drop the
  /// rights of a test run as administrator).
  virtual bool CanRefuseMachineAccess() const = 0;

  /// A key path relative to a hive that the suite owns in both hives, such as
  /// "Software\TarnwickConformance": everything the suite writes goes below it, and the suite
  /// deletes it before and after each test.
  virtual std::string ScratchKey() const = 0;
};

/// One instantiation of the suite: a name for test output and how to make the subject.
struct ConformanceParam {
  const char* name;
  std::unique_ptr<ConformanceSubject> (*make)();
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

  std::unique_ptr<ConformanceSubject> subject_;
  std::unique_ptr<RegistryUnderTest> reg_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_CONFORMANCE_H_
