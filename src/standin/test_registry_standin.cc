// The registries of the tests on Linux: stand-in hives in memory, or in files of a scratch
// folder. The engine and window tests run on a fresh pair in memory; the conformance suite on
// both kinds.
#include <atomic>

#include "registry/registry_conformance.h"
#include "registry/test_registry.h"
#include "standin/reg_import.h"
#include "standin/standin_registry.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

class StandInConnection final : public TestRegistry {
 public:
  explicit StandInConnection(std::unique_ptr<StandInRegistry> registry)
      : registry_(std::move(registry)), importer_(*registry_) {}
  RegistryWriteRoute& route() override { return *registry_; }
  Registry& registry() override { return *registry_; }
  RegistryImporter& importer() override { return importer_; }
  bool ImportRegFile(const std::string& bytes, std::string* err) override {
    return tarnwick::ImportRegFile(*registry_, bytes, err) == RegImportResult::kImported;
  }

 private:
  std::unique_ptr<StandInRegistry> registry_;
  StandInImporter importer_;
};

// Both kinds keep a connection of an administrator's for seeding; in memory it also keeps the
// shared hives alive between connections.
class StandInHost : public TestRegistryHost {
 public:
  std::unique_ptr<TestRegistry> Open(bool administrator) override {
    std::unique_ptr<StandInRegistry> registry = Connect(administrator);
    if (!registry) return nullptr;
    return std::make_unique<StandInConnection>(std::move(registry));
  }
  bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
            const std::vector<uint8_t>& data) override {
    if (!seeder_) seeder_ = Connect(true);
    RegEdit edit;
    edit.op = RegEdit::Op::kSetValue;
    edit.hive = hive;
    edit.path = path;
    edit.name = name;
    edit.type = type;
    edit.data = data;
    std::string err;
    return seeder_ && seeder_->Apply({&edit, 1}, &err);
  }
  bool CanWriteMachine() const override { return true; }
  bool RefusesMachineWrites() const override { return true; }
  std::string ScratchKey() const override { return "Software\\TarnwickConformance"; }
  bool ImportKeepsTextBytes(ImportRoute) override { return true; }

 protected:
  virtual std::unique_ptr<StandInRegistry> Connect(bool administrator) = 0;

  std::unique_ptr<StandInRegistry> seeder_;
};

class MemoryHost final : public StandInHost {
 public:
  MemoryHost() : name_("test-" + std::to_string(++count_)) { seeder_ = Connect(true); }

 private:
  std::unique_ptr<StandInRegistry> Connect(bool administrator) override {
    return StandInRegistry::OpenInMemory(administrator, name_);
  }
  static inline std::atomic<int> count_{0};
  std::string name_;
};

class FileHost final : public StandInHost {
 private:
  std::unique_ptr<StandInRegistry> Connect(bool administrator) override {
    std::string err;
    return StandInRegistry::OpenFiles({dir_.File("user.hive"), dir_.File("machine.hive")},
                                      administrator, &err);
  }
  TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(
    StandIn, RegistryConformanceTest,
    testing::Values(
        ConformanceParam{"Memory",
                         [] { return std::unique_ptr<TestRegistryHost>(new MemoryHost); }},
        ConformanceParam{"Files", [] { return std::unique_ptr<TestRegistryHost>(new FileHost); }}),
    ConformanceParamName);

}  // namespace

std::unique_ptr<TestRegistryHost> OpenTestRegistryHost() { return std::make_unique<MemoryHost>(); }

}  // namespace tarnwick
