#include "selection/apply_plan.h"

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

}  // namespace tarnwick
