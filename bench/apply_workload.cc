#include "bench/apply_workload.h"

#include <array>

#include "registry/browser_profile.h"
#include "registry/current_default.h"
#include "registry/per_user_reset.h"
#include "registry/per_user_reset_scope.h"
#include "registry/registry_writer.h"
#include "selection/apply_scopes.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/selection_context.h"
#include "shell/backup.h"

namespace tarnwick {
namespace {

uint64_t Mix(uint64_t x) {  // splitmix64
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

class FixedEnvironment final : public Environment {
 public:
  std::string Get(const std::string& name) override {
    return name == "ProgramFiles" ? program_files : std::string();
  }
  std::string program_files;
};

class FixedFileSystem final : public FileSystemObject {
 public:
  bool FileExists(const std::string&) override { return exists; }
  bool exists = true;
};

// The user picks the file named in `next` whenever the dialog is shown.
class PickingDialog final : public CommonDialog {
 public:
  void SetInitialDir(const std::string&) override {}
  void SetFilter(const std::string&) override {}
  void SetFlags(int32_t) override {}
  bool ShowOpen() override { return true; }
  std::string FileName() override { return next; }
  std::string next;
};

}  // namespace

bool CountingRegistry::Start() {
  if (stopped_ || !before(++changes_)) {
    stopped_ = true;
    return false;
  }
  return true;
}

bool CountingRegistry::RegWrite(const std::string& path, const std::string& value,
                                const std::string& type, std::string* err) {
  if (!Start()) {
    *err = "stopped";
    return false;
  }
  const bool ok = writes_->RegWrite(path, value, type, err);
  after(changes_);
  return ok;
}

long CountingRegistry::DeleteKeyTree(Hive hive, const std::string& path) {
  if (!Start()) return kErrorAccessDenied;
  const long status = ForwardingRegistry::DeleteKeyTree(hive, path);
  after(changes_);
  return status;
}

void RunApplyWorkload(uint64_t seed, CountingRegistry& registry, const WorkloadBackups& backups) {
  BrowserProfile profile;
  RegistryWriter writer(&registry);
  FixedEnvironment environment;
  FixedFileSystem fso;
  PickingDialog picked;
  SelectionContext ctx{.profile = &profile,
                       .writer = &writer,
                       .registry = &registry,
                       .fso = &fso,
                       .environment = &environment,
                       .dialog = &picked,
                       .before_change = {}};

  for (uint64_t apply = 0; !registry.stopped(); ++apply) {
    const uint64_t op = apply + 1;
    backups.on_operation(op, registry.changes());
    // Saved through the same registry, so a stopped run stops here too.
    auto back_up = [&](const ChangeScope& scope, const std::string& what) {
      if (backups.backups == nullptr) return true;
      const BackupResult saved = SaveBackup(&registry, backups.backups, scope, what);
      if (!saved.saved()) return false;
      backups.on_saved(op, saved.file);
      return true;
    };
    const uint64_t r = Mix(seed * 0x100000001B3ull + apply);
    const std::string tag = std::to_string(seed) + "." + std::to_string(apply);
    environment.program_files = "C:\\Program Files\\run " + tag;
    const unsigned kind = r % 10;
    if (kind < 6) {
      std::array<bool, kPresetCount> options{};
      options[(r >> 8) % options.size()] = true;
      // Now and then the executable is missing and the user picks another one.
      fso.exists = (r >> 16) % 4 != 0;
      picked.next = "D:\\Picked " + tag + "\\browser.exe";
      ctx.before_change = [&] {
        return back_up(PresetApplyScope(options), PresetApplyBackupName(options));
      };
      PresetApply(ctx, options);
    } else if (kind < 9) {
      ctx.before_change = [&] { return back_up(CustomApplyScope(), kCustomApplyBackupName); };
      CustomApply(ctx, "E:\\Browsers\\custom " + tag + "\\browser.exe");
    } else if (back_up(PerUserResetScope(), kResetBackupName)) {
      delperuserkeys(registry);
    }
    QueryCurrentDefaultBrowser(registry);
  }
}

}  // namespace tarnwick
