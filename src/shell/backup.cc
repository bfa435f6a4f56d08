#include "shell/backup.h"

#include <vector>

#include "registry/per_user_reset_scope.h"
#include "registry/reg_file.h"
#include "selection/apply_scopes.h"
#include "selection/preset_catalogue.h"
#include "shell/platform.h"
#include "shell/unattended.h"
#include "text/text.h"

namespace tarnwick {

std::string PresetApplyBackupName(const std::array<bool, kPresetCount>& option_values) {
  std::string name = "Apply";
  const auto rows = PresetCatalogue();
  for (size_t i = 0; i < rows.size() && i < option_values.size(); ++i) {
    if (option_values[i]) name = name + " " + rows[i].Caption;
  }
  return name;
}

BackupResult SaveBackup(Registry* registry, BackupFolder* backups, const ChangeScope& scope,
                        const std::string& what) {
  BackupResult result;
  if (backups == nullptr) {
    result.reason = "there is no backup folder";
    return result;
  }
  result.folder = backups->Path();
  if (registry == nullptr) {
    result.reason = "the registry cannot be read";
    return result;
  }
  std::vector<RegEdit> restore;
  if (!CaptureRestore(*registry, scope, &restore, &result.reason)) return result;
  const std::string bytes = EncodeUtf16LeWithBom(FormatRegFile(restore));
  if (std::optional<std::string> file = backups->Save(what, bytes, &result.reason)) {
    result.file = std::move(*file);
    result.reason.clear();
  }
  return result;
}

BackupResult BackUpBeforeReset(const Platform& platform) {
  return SaveBackup(platform.registry, platform.backups, PerUserResetScope(), kResetBackupName);
}

BackupResult BackUpBeforePresetApply(const Platform& platform,
                                     const std::array<bool, kPresetCount>& option_values) {
  return SaveBackup(platform.registry, platform.backups, PresetApplyScope(option_values),
                    PresetApplyBackupName(option_values));
}

BackupResult BackUpBeforeCustomApply(const Platform& platform) {
  return SaveBackup(platform.registry, platform.backups, CustomApplyScope(),
                    kCustomApplyBackupName);
}

ChangeScope ScopeOfEveryChange() {
  std::array<bool, kPresetCount> every_option;
  every_option.fill(true);
  ChangeScope scope = Combine(CustomApplyScope(), PresetApplyScope(every_option));
  scope.writes.push_back(Concat({"HKCU\\", kOnceKey, "\\", kOnceValue}));
  return scope;
}

std::string BackupFailedMessage(const BackupResult& result) {
  return "Your current settings could not be saved to \"" + result.folder + "\" (" + result.reason +
         "), so nothing was changed.";
}

}  // namespace tarnwick
