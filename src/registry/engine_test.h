// A fixture for the engine's tests over OpenTestRegistryHost, with short ways to read back what
// was written. Test-only.
#ifndef TARNWICK_REGISTRY_ENGINE_TEST_H_
#define TARNWICK_REGISTRY_ENGINE_TEST_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "registry/registry_writer.h"
#include "registry/test_registry.h"

namespace tarnwick {

class EngineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!Open(true)) GTEST_SKIP() << "no registry may be used for tests here";
  }

  /// Opens a fresh registry for an account with or without administrator rights; false when
  /// none can be had here.
  bool Open(bool administrator) {
    writer_.reset();
    reg_.reset();
    host_ = OpenTestRegistryHost();
    if (!host_ || (!administrator && !host_->RefusesMachineWrites())) return false;
    reg_ = host_->Open(administrator);
    if (!reg_) return false;
    writer_ = std::make_unique<RegistryWriter>(&reg_->route());
    return true;
  }

  Registry& registry() { return reg_->registry(); }
  RegistryWriter& writer() { return *writer_; }

  /// The value as the program's reader sees it.
  RegistryValue Read(Hive hive, const std::string& path, const std::string& name = "") {
    return ReadRegistryValue(registry(), hive, path, name);
  }
  RegistryValue ReadUser(const std::string& path, const std::string& name = "") {
    return Read(Hive::kCurrentUser, path, name);
  }

  /// The stored type of a value, or 0 when it cannot be read.
  uint32_t TypeOf(Hive hive, const std::string& path, const std::string& name = "") {
    KeyHandle key = nullptr;
    uint32_t type = 0, size = 0;
    if (registry().OpenKey(hive, path, kKeyRead, &key) != kErrorSuccess) return 0;
    if (registry().QueryValue(key, name, &type, nullptr, &size) != kErrorSuccess) type = 0;
    registry().CloseKey(key);
    return type;
  }

  bool KeyExists(Hive hive, const std::string& path) {
    KeyHandle key = nullptr;
    if (registry().OpenKey(hive, path, kKeyRead, &key) != kErrorSuccess) return false;
    registry().CloseKey(key);
    return true;
  }
  bool UserKeyExists(const std::string& path) { return KeyExists(Hive::kCurrentUser, path); }

  void SeedText(Hive hive, const std::string& path, const std::string& name,
                const std::string& text, uint32_t type = kRegSz) {
    ASSERT_TRUE(host_->Seed(hive, path, name, type, TextToRegBytes(text)));
  }
  void SeedBytes(Hive hive, const std::string& path, const std::string& name, uint32_t type,
                 const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(host_->Seed(hive, path, name, type, bytes));
  }

  std::unique_ptr<TestRegistryHost> host_;
  std::unique_ptr<TestRegistry> reg_;
  std::unique_ptr<RegistryWriter> writer_;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_ENGINE_TEST_H_
