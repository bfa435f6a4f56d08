#include "shell/registry_store.h"

#include <utility>

#include "registry/change_scope.h"
#include "registry/per_user_reset.h"
#include "registry/reg_file.h"
#include "registry/registry.h"
#include "registry/registry_importer.h"
#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "selection/apply_plan.h"
#include "selection/apply_scopes.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "shell/backup.h"
#include "shell/startup.h"
#include "shell/unattended.h"
#include "text/text.h"

namespace tarnwick {
namespace {

constexpr char kResetMessage[] =
    "Per-user settings are cleared. System default browser will be used from now on.";
constexpr char kInvalidPathMessage[] =
    "The text in the box is not a valid program path. A browser's path cannot hold any of the "
    "characters \" < > | * ? % or a control character.";
constexpr char kResetIncompleteMessage[] =
    "Not all per-user settings could be cleared. These keys remain:";
constexpr char kUndoBackupName[] = "Undo";

std::string MissingFileMessage(const std::string& path) {
  return "The file \"" + path +
         "\" does not exist. Choose the browser's program file with the ... button.";
}

std::string FailedWritesMessage(const WriteTally& tally) {
  return std::to_string(tally.user_failures) + " of " + std::to_string(tally.user_writes) +
         " settings could not be written, so the browser is not fully set as your default. "
         "Press Apply to try again.";
}

const BrowserPreset* Row(int index) {
  return index >= 1 && index <= kPresetCount ? &PresetCatalogue()[index - 1] : nullptr;
}

}  // namespace

RegistryStore::RegistryStore(const Platform& platform, RegistryImporter* importer)
    : platform_(platform), importer_(importer) {}

RegistryStore::~RegistryStore() = default;

StoreLoad RegistryStore::Load(Desktop& desktop) {
  if (GetWindowsVersionName(*platform_.version) != kWindowsXp) {
    desktop.MsgBox(kRefusalMessage, kMessageTitle, kVbInformation);
    return StoreLoad::kRefused;
  }
  std::string err;
  auto failed = [&](const char* prog_id) {
    desktop.MsgBox(ObjectCreationFailedMessage(prog_id, err), kMessageTitle, kVbCritical);
    return StoreLoad::kFailed;
  };
  scripting_shell_ = platform_.automation->CreateScriptingShell(&err);
  if (scripting_shell_ == nullptr) return failed("WScript.Shell");
  writer_ = RegistryWriter(scripting_shell_.get());
  file_system_ = platform_.automation->CreateFileSystemObject(&err);
  if (file_system_ == nullptr) return failed("Scripting.FileSystemObject");
  common_dialog_ = platform_.automation->CreateCommonDialog(&err);
  if (common_dialog_ == nullptr) return failed("UserAccounts.CommonDialog");
  return StoreLoad::kReady;
}

std::string RegistryStore::MessageTitle() const { return kMessageTitle; }

std::string RegistryStore::PresetCaption(int index) const {
  const BrowserPreset* row = Row(index);
  return row != nullptr ? row->Caption : "";
}

int RegistryStore::FindPreset(const std::string& name) const {
  const BrowserPreset* row = tarnwick::FindPreset(name);
  return row != nullptr ? static_cast<int>(row - PresetCatalogue().data()) + 1 : 0;
}

bool RegistryStore::PresetInstalled(int index) {
  const BrowserPreset* row = Row(index);
  return row != nullptr && tarnwick::PresetInstalled(Services(), *row);
}

std::string RegistryStore::WhyNotInstalled(int index) {
  const BrowserPreset* row = Row(index);
  if (row == nullptr) return {};
  return Concat({"there is no file \"", PresetExecutablePath(Services(), *row), "\""});
}

bool RegistryStore::CustomAccepted(const std::string& text) {
  SelectionContext services = Services();
  return CheckCustomPath(services, text) == CustomApplyResult::kApplied;
}

StoreChange RegistryStore::ApplyPreset(const std::array<bool, kPresetCount>& option_values) {
  StoreChange change;
  SelectionContext ctx = MakeSelectionContext();
  BackupResult backup;
  ctx.before_change = [&] {
    backup = BackUpBeforePresetApply(platform_, option_values);
    return Saved(backup, &change);
  };
  writer_.TakeTally();
  switch (tarnwick::PresetApply(ctx, option_values)) {
    case PresetApplyResult::kStopped:
      change.outcome = Form1Outcome::kBackupFailed;
      return change;
    case PresetApplyResult::kCancelled:
      // The user stopped before the browser was touched; only Internet Explorer's own check
      // was turned off, and a backup of an apply that did not happen would only mislead.
      if (backup.saved()) platform_.backups->Discard(backup.file);
      change.outcome = Form1Outcome::kCancelled;
      return change;
    case PresetApplyResult::kApplied:
    case PresetApplyResult::kNoSelection:
      break;
  }
  ReportFailedWrites(&change);
  return change;
}

StoreChange RegistryStore::ApplyCustom(const std::string& text) {
  StoreChange change;
  SelectionContext ctx = MakeSelectionContext();
  ctx.before_change = [&] { return Saved(BackUpBeforeCustomApply(platform_), &change); };
  writer_.TakeTally();
  change.outcome = Form1Outcome::kNotApplied;
  switch (CustomApply(ctx, text)) {
    case CustomApplyResult::kStopped:
      change.outcome = Form1Outcome::kBackupFailed;
      break;
    case CustomApplyResult::kApplied:
      change.outcome = Form1Outcome::kDone;
      ReportFailedWrites(&change);
      break;
    case CustomApplyResult::kInvalidPath:
      change.messages.push_back({kInvalidPathMessage, kVbInformation});
      break;
    case CustomApplyResult::kMissingFile:
      change.messages.push_back({MissingFileMessage(TrimSpaces(text)), kVbCritical});
      break;
    case CustomApplyResult::kEmpty:
      break;
  }
  return change;
}

StoreChange RegistryStore::Reset() {
  StoreChange change;
  if (!Saved(BackUpBeforeReset(platform_), &change)) {
    change.outcome = Form1Outcome::kBackupFailed;
    return change;
  }
  const std::vector<std::string> remaining = platform_.registry != nullptr
                                                 ? delperuserkeys(*platform_.registry)
                                                 : std::vector<std::string>();
  if (remaining.empty()) {
    change.messages.push_back({kResetMessage, kVbInformation});
  } else {
    std::string text = kResetIncompleteMessage;
    for (const std::string& key : remaining) text += "\n" + FullKeyName(Hive::kCurrentUser, key);
    change.messages.push_back({std::move(text), kVbCritical});
    change.outcome = Form1Outcome::kResetIncomplete;
  }
  return change;
}

DefaultBrowserDisplay RegistryStore::CurrentDefault() {
  if (platform_.registry == nullptr) return {};
  ProgramDescriber describe;
  if (platform_.programs != nullptr) {
    describe = [this](const std::string& path) { return platform_.programs->Description(path); };
  }
  return QueryCurrentDefaultBrowser(*platform_.registry, describe);
}

std::string RegistryStore::NameOfLine(const std::string& caption) const {
  return BrowserNameOfLine(caption);
}

std::vector<std::string> RegistryStore::NotInPlace(int index, const std::string& path) {
  const BrowserPreset* row = Row(index);
  const std::optional<std::vector<PlannedWrite>> plan =
      row != nullptr ? PlanPresetApply(Services(), *row) : PlanCustomApply(Services(), path);
  // Found browsers always have a plan; a window without a registry holds none of it.
  if (!plan || platform_.registry == nullptr) return {row != nullptr ? row->Caption : path};
  return ValuesNotInPlace(*platform_.registry, *plan);
}

bool RegistryStore::ChangesNothing(int index, const std::string& path) {
  const BrowserPreset* row = Row(index);
  const std::optional<std::vector<PlannedWrite>> plan =
      row != nullptr ? PlanPresetApply(Services(), *row) : PlanCustomApply(Services(), path);
  if (!plan || platform_.registry == nullptr ||
      !ValuesNotInPlace(*platform_.registry, *plan, MachineWrites::kWhereWritable).empty()) {
    return false;
  }
  // A preset apply only writes; the custom apply deletes the per-user trees first, which must
  // then hold nothing but what it writes again.
  std::array<bool, kPresetCount> options = {};
  if (row != nullptr) options[index - 1] = true;
  const ChangeScope scope = row != nullptr ? PresetApplyScope(options) : CustomApplyScope();
  return TreesHoldOnlyWrites(*platform_.registry, scope.deleted_trees, *plan);
}

bool RegistryStore::WasSetOnce(const std::string& label) {
  return platform_.registry != nullptr &&
         SameName(AsText(ReadRegistryValue(*platform_.registry, Hive::kCurrentUser, kOnceKey,
                                           kOnceValue)),
                  label);
}

bool RegistryStore::RecordOnce(const std::string& label, std::string* err) {
  return ImportOnceEdit(RegEdit::Op::kSetValue, TextToRegBytes(label), err);
}

bool RegistryStore::ForgetOnce(std::string* err) {
  if (platform_.registry == nullptr ||
      AsText(ReadRegistryValue(*platform_.registry, Hive::kCurrentUser, kOnceKey, kOnceValue))
          .empty()) {
    return true;
  }
  return ImportOnceEdit(RegEdit::Op::kDeleteValue, {}, err);
}

bool RegistryStore::ImportOnceEdit(RegEdit::Op op, std::vector<uint8_t> data, std::string* err) {
  if (importer_ == nullptr) {
    *err = "the registry cannot be written";
    return false;
  }
  RegEdit edit;
  edit.op = op;
  edit.path = kOnceKey;
  edit.name = kOnceValue;
  edit.type = kRegSz;
  edit.data = std::move(data);
  return importer_->Import({&edit, 1}, err);
}

RestoreOutcome RegistryStore::Restore(const std::string& /*file*/, const std::string& bytes,
                                      std::string* detail) {
  std::vector<RegEdit> edits;
  if (!ParseRegFile(bytes, &edits, detail)) return RestoreOutcome::kRefused;
  std::string outside;
  if (platform_.registry == nullptr ||
      !EditsWithin(*platform_.registry, ScopeOfEveryChange(), edits, &outside)) {
    *detail = Concat(
        {"it changes ", outside.empty() ? "the registry" : outside, ", which Tarnwick never does"});
    return RestoreOutcome::kRefused;
  }
  if (importer_ == nullptr) {
    *detail = "the registry cannot be written";
    return RestoreOutcome::kFailed;
  }
  // The present state first, so that an undo can itself be undone.
  const BackupResult saved =
      SaveBackup(platform_.registry, platform_.backups, ScopeOfEdits(edits), kUndoBackupName);
  if (!saved.saved()) {
    *detail = BackupFailedMessage(saved);
    return RestoreOutcome::kBackupFailed;
  }
  if (importer_->Import(edits, detail)) return RestoreOutcome::kRestored;
  // The undo's own backup must not become the newest, or a second try would restore the state
  // before this one rather than finish it: its content goes back, and it goes.
  std::string saved_bytes, why;
  std::vector<RegEdit> before;
  const bool back = platform_.backups->Read(saved.file, &saved_bytes, &why) &&
                    ParseRegFile(saved_bytes, &before, &why) && importer_->Import(before, &why);
  platform_.backups->Discard(saved.file);
  *detail =
      Concat({*detail, ". ",
              back ? "The settings are as they were before"
                   : Concat({"Nor could every setting be put back as it was before: ", why})});
  return RestoreOutcome::kFailed;
}

SelectionContext RegistryStore::Services() const {
  SelectionContext ctx;
  ctx.registry = platform_.registry;
  ctx.fso = file_system_.get();
  ctx.environment = platform_.environment;
  return ctx;
}

SelectionContext RegistryStore::MakeSelectionContext() {
  SelectionContext ctx;
  ctx.profile = &profile_;
  ctx.writer = &writer_;
  ctx.registry = platform_.registry;
  ctx.fso = file_system_.get();
  ctx.environment = platform_.environment;
  ctx.dialog = common_dialog_.get();
  return ctx;
}

bool RegistryStore::Saved(const BackupResult& result, StoreChange* change) {
  if (result.saved()) return true;
  change->messages.push_back({BackupFailedMessage(result), kVbCritical});
  return false;
}

void RegistryStore::ReportFailedWrites(StoreChange* change) {
  const WriteTally tally = writer_.TakeTally();
  if (tally.user_failures == 0) return;
  change->messages.push_back({FailedWritesMessage(tally), kVbCritical});
  change->outcome = Form1Outcome::kWritesFailed;
}

}  // namespace tarnwick
