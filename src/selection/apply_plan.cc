#include "selection/apply_plan.h"

#include <algorithm>
#include <array>
#include <span>

#include "registry/browser_profile.h"
#include "registry/reg_file.h"
#include "registry/registry.h"
#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "registry/registry_writer.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "text/text.h"

namespace tarnwick {
namespace {

// Takes every write and keeps it in `writes` instead of the registry.
class RecordingRoute final : public RegistryWriteRoute {
 public:
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string*) override {
    writes.push_back({path, value, type});
    return true;
  }
  std::vector<PlannedWrite> writes;
};

// A context that lends `services`' file-system object and environment to an apply that deletes
// nothing, asks nothing and writes only into `route`.
struct DryRun {
  explicit DryRun(const SelectionContext& services) {
    ctx.profile = &profile;
    ctx.writer = &writer;
    ctx.fso = services.fso;
    ctx.environment = services.environment;
  }
  BrowserProfile profile;
  RecordingRoute route;
  RegistryWriter writer{&route};
  SelectionContext ctx;
};

bool InPlace(Registry& registry, const WriterTarget& target, const PlannedWrite& write) {
  uint32_t type = 0;
  const RegistryValue value =
      ReadRegistryValue(registry, target.hive, JoinKeyPath(target.key), target.value_name, &type);
  const std::optional<RegType> want = ParseRegType(write.type);
  if (!want || type != *want) return false;
  if (*want == kRegDword) {
    const std::optional<uint32_t> number = ParseDwordText(write.value);
    const auto* held = std::get_if<int32_t>(&value);
    return number && held && static_cast<uint32_t>(*held) == *number;
  }
  const auto* held = std::get_if<std::string>(&value);
  return held && *held == write.value;
}

// What a write needs: KEY_SET_VALUE | KEY_CREATE_SUB_KEY.
constexpr uint32_t kKeyWrite = 0x0006;

// Whether the account may write at `target`: its key, or the nearest key above it that exists,
// opens with the rights a write needs (KEY_SET_VALUE | KEY_CREATE_SUB_KEY).
bool Writable(Registry& registry, const WriterTarget& target) {
  for (size_t depth = target.key.size();; --depth) {
    KeyHandle key = nullptr;
    const long status = registry.OpenKey(
        target.hive, JoinKeyPath(std::span(target.key).first(depth)), kKeyWrite, &key);
    if (status == kErrorSuccess) registry.CloseKey(key);
    if (status != kErrorFileNotFound && status != kErrorPathNotFound) {
      return status == kErrorSuccess;
    }
    if (depth == 0) return false;
  }
}

}  // namespace

std::optional<std::vector<PlannedWrite>> PlanPresetApply(const SelectionContext& services,
                                                         const BrowserPreset& row) {
  DryRun run(services);
  std::array<bool, kPresetCount> option_values = {};
  const auto rows = PresetCatalogue();
  for (size_t i = 0; i < rows.size(); ++i) option_values[i] = &rows[i] == &row;
  if (PresetApply(run.ctx, option_values) != PresetApplyResult::kApplied) return std::nullopt;
  return std::move(run.route.writes);
}

std::optional<std::vector<PlannedWrite>> PlanCustomApply(const SelectionContext& services,
                                                         const std::string& path) {
  DryRun run(services);
  if (CustomApply(run.ctx, path) != CustomApplyResult::kApplied) return std::nullopt;
  return std::move(run.route.writes);
}

std::vector<std::string> ValuesNotInPlace(Registry& registry,
                                          const std::vector<PlannedWrite>& writes,
                                          MachineWrites machine) {
  std::vector<std::string> differ;
  std::vector<WriterTarget> targets(writes.size());
  std::vector<bool> parsed(writes.size());
  std::string err;
  for (size_t i = 0; i < writes.size(); ++i) {
    parsed[i] = ParseWriterPath(writes[i].path, &targets[i], &err);
  }
  auto same_value = [&](size_t a, size_t b) {
    const WriterTarget& x = targets[a];
    const WriterTarget& y = targets[b];
    if (x.hive != y.hive || x.key.size() != y.key.size() || !SameName(x.value_name, y.value_name))
      return false;
    for (size_t k = 0; k < x.key.size(); ++k) {
      if (!SameName(x.key[k], y.key[k])) return false;
    }
    return true;
  };
  for (size_t i = 0; i < writes.size(); ++i) {
    if (!parsed[i]) {
      differ.push_back(writes[i].path);
      continue;
    }
    const bool user = targets[i].hive == Hive::kCurrentUser;
    if (!user && machine == MachineWrites::kIgnored) continue;
    bool overwritten = false;
    for (size_t j = i + 1; j < writes.size() && !overwritten; ++j) {
      overwritten = parsed[j] && same_value(i, j);
    }
    if (overwritten || InPlace(registry, targets[i], writes[i])) continue;
    if (!user && !Writable(registry, targets[i])) continue;
    differ.push_back(Concat(
        {FullKeyName(targets[i].hive, JoinKeyPath(targets[i].key)), "\\", targets[i].value_name}));
  }
  return differ;
}

namespace {

// The writes' keys and values in comparison form, and what a key of a tree may hold.
class WrittenKeys {
 public:
  explicit WrittenKeys(const std::vector<PlannedWrite>& writes) {
    for (const PlannedWrite& write : writes) {
      WriterTarget target;
      std::string err;
      if (!ParseWriterPath(write.path, &target, &err)) continue;
      std::vector<std::string> key;
      for (const std::string& part : target.key) key.push_back(FoldName(part));
      values_.push_back({target.hive, std::move(key), FoldName(target.value_name)});
    }
  }

  // Whether the key at `path`, and all below it, holds only what the writes put there.
  bool HoldsOnlyWrites(Registry& registry, Hive hive, const std::string& path,
                       const std::vector<std::string>& folded) const {
    KeyHandle key = nullptr;
    const long status = registry.OpenKey(hive, path, kKeyRead, &key);
    if (status == kErrorFileNotFound || status == kErrorPathNotFound) return true;
    if (status != kErrorSuccess) return false;
    // A key that no write makes again would be gone.
    bool only = OnTheWay(hive, folded);
    for (uint32_t i = 0; only; ++i) {
      std::string name;
      uint32_t type = 0;
      std::vector<uint8_t> data;
      const long read = registry.EnumValue(key, i, &name, &type, &data);
      if (read == kErrorNoMoreItems) break;
      only = read == kErrorSuccess && Written(hive, folded, FoldName(name));
    }
    for (uint32_t i = 0; only; ++i) {
      std::string name;
      const long read = registry.EnumKey(key, i, &name);
      if (read == kErrorNoMoreItems) break;
      std::vector<std::string> child = folded;
      child.push_back(FoldName(name));
      only = read == kErrorSuccess && OnTheWay(hive, child) &&
             HoldsOnlyWrites(registry, hive, path + "\\" + name, child);
    }
    registry.CloseKey(key);
    return only;
  }

 private:
  struct Value {
    Hive hive;
    std::vector<std::string> key;
    std::string name;
  };

  bool Written(Hive hive, const std::vector<std::string>& key, const std::string& name) const {
    return std::any_of(values_.begin(), values_.end(), [&](const Value& v) {
      return v.hive == hive && v.key == key && v.name == name;
    });
  }
  bool OnTheWay(Hive hive, const std::vector<std::string>& key) const {
    return std::any_of(values_.begin(), values_.end(), [&](const Value& v) {
      return v.hive == hive && v.key.size() >= key.size() &&
             std::equal(key.begin(), key.end(), v.key.begin());
    });
  }

  std::vector<Value> values_;
};

}  // namespace

bool TreesHoldOnlyWrites(Registry& registry, const std::vector<RegKeyName>& trees,
                         const std::vector<PlannedWrite>& writes) {
  const WrittenKeys written(writes);
  for (const RegKeyName& tree : trees) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(tree.path, &parts)) return false;
    for (std::string& part : parts) part = FoldName(part);
    if (!written.HoldsOnlyWrites(registry, tree.hive, tree.path, parts)) return false;
  }
  return true;
}

}  // namespace tarnwick
