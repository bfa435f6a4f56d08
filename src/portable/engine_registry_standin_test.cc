// The engine tests' registry on Linux: a fresh pair of stand-in hives in memory.
#include <atomic>

#include "portable/reg_import.h"
#include "portable/standin_registry.h"
#include "registry/engine_registry.h"

namespace tarnwick {
namespace {

class StandInEngineRegistry final : public EngineRegistry {
 public:
  explicit StandInEngineRegistry(bool administrator) {
    static std::atomic<int> counter{0};
    const std::string name = "engine-" + std::to_string(++counter);
    // The seeding connection shares the hives and may always write them.
    seeder_ = StandInRegistry::OpenInMemory(true, name);
    registry_ = StandInRegistry::OpenInMemory(administrator, name);
  }
  RegistryWriteRoute& route() override { return *registry_; }
  Registry& registry() override { return *registry_; }
  bool Seed(Hive hive, const std::string& path, const std::string& name, uint32_t type,
            const std::vector<uint8_t>& data) override {
    RegEdit edit;
    edit.op = RegEdit::Op::kSetValue;
    edit.hive = hive;
    edit.path = path;
    edit.name = name;
    edit.type = type;
    edit.data = data;
    std::string err;
    return seeder_->Apply({&edit, 1}, &err);
  }
  bool RefusesMachineWrites() const override { return true; }
  bool ImportRegFile(const std::string& bytes, std::string* err) override {
    return tarnwick::ImportRegFile(*registry_, bytes, err) == RegImportResult::kImported;
  }
  bool ImportKeepsTextBytes() const override { return true; }

 private:
  std::unique_ptr<StandInRegistry> seeder_;
  std::unique_ptr<StandInRegistry> registry_;
};

}  // namespace

std::unique_ptr<EngineRegistry> OpenEngineRegistry(bool administrator) {
  return std::make_unique<StandInEngineRegistry>(administrator);
}

}  // namespace tarnwick
