#include "linux/desktop_store.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "freedesktop/desktop_presets.h"
#include "freedesktop/file_io.h"
#include "freedesktop/icon_theme.h"
#include "linux/linux_services.h"
#include "selection/picker.h"
#include "shell/backup.h"
#include "shell/platform.h"
#include "text/text.h"

namespace tarnwick {
namespace {

using freedesktop::DesktopEntry;
using freedesktop::DesktopPresets;
using freedesktop::FileChange;

constexpr char kResetMessage[] =
    "Per-user settings are cleared. System default browser will be used from now on.";
constexpr char kResetIncompleteMessage[] =
    "Not all per-user settings could be cleared. These files remain as they were:";
constexpr char kNoSettingsFolder[] =
    "The desktop's settings folder cannot be found: neither XDG_CONFIG_HOME nor HOME is set.";
constexpr char kSplitInfix[] = " is currently the default browser for http, but ";

const freedesktop::DesktopPreset* Row(int index) {
  return index >= 1 && index <= kPresetCount ? &DesktopPresets()[index - 1] : nullptr;
}

std::vector<std::string> PathsOf(const std::vector<FileChange>& changes) {
  std::vector<std::string> paths;
  for (const FileChange& change : changes) paths.push_back(change.path);
  return paths;
}

// The lines of `err` (one per file that failed) as the files they name.
std::string Lines(const std::string& err) { return err.empty() ? err : "\n" + err; }

}  // namespace

DesktopStore::DesktopStore(freedesktop::XdgPaths paths, BackupFolder* backups,
                           std::string once_file, DialogMaker make_dialog)
    : store_(std::move(paths)),
      backups_(backups),
      once_file_(std::move(once_file)),
      make_dialog_(std::move(make_dialog)) {}

DesktopStore::~DesktopStore() = default;

StoreLoad DesktopStore::Load(Desktop& desktop) {
  if (store_.paths().config_home.empty() || store_.paths().data_home.empty()) {
    desktop.MsgBox(kNoSettingsFolder, kDesktopMessageTitle, kVbCritical);
    return StoreLoad::kFailed;
  }
  if (make_dialog_) dialog_ = make_dialog_();
  return StoreLoad::kReady;
}

std::string DesktopStore::Where() const {
  std::string desktops;
  for (const std::string& name : store_.paths().current_desktops) {
    desktops += desktops.empty() ? name : ", " + name;
  }
  return desktops.empty() ? "the desktop" : Concat({"the desktop (", desktops, ")"});
}

std::optional<DesktopEntry> DesktopStore::Entry(int index) const {
  const freedesktop::DesktopPreset* row = Row(index);
  if (row == nullptr) return std::nullopt;
  return freedesktop::FindPresetEntry(store_.paths(), *row);
}

std::string DesktopStore::PresetCaption(int index) const {
  if (std::optional<DesktopEntry> entry = Entry(index); entry && !entry->name.empty()) {
    return entry->name;
  }
  const freedesktop::DesktopPreset* row = Row(index);
  return row != nullptr ? row->caption : "";
}

std::string DesktopStore::PresetIcon(int index) const {
  std::optional<DesktopEntry> entry = Entry(index);
  if (!entry || entry->icon.empty()) return {};
  // The file of the icon themes' fallback; else the name, for the toolkit's own theme.
  std::string file = freedesktop::FindIconFile(store_.paths(), entry->icon, 16);
  return file.empty() ? entry->icon : file;
}

int DesktopStore::FindPreset(const std::string& name) const {
  for (int index = 1; index <= kPresetCount; ++index) {
    if (SameAscii(name, Row(index)->caption) || SameAscii(name, PresetCaption(index))) {
      return index;
    }
  }
  return 0;
}

bool DesktopStore::PresetInstalled(int index) { return Entry(index).has_value(); }

std::string DesktopStore::WhyNotInstalled(int index) {
  const freedesktop::DesktopPreset* row = Row(index);
  if (row == nullptr) return {};
  std::string ids;
  for (const char* id : row->ids) {
    if (id == nullptr) break;
    if (!ids.empty()) ids += ", ";
    ids += id;
  }
  return Concat({"no desktop entry ", ids, " is installed and can start"});
}

bool DesktopStore::CustomAccepted(const std::string& text) {
  std::vector<FileChange> changes;
  std::string err;
  return store_.PlanCustom(TrimSpaces(text), &changes, &err);
}

BackupResult DesktopStore::SaveSnapshot(const std::vector<std::string>& paths,
                                        const std::string& what) {
  BackupResult backup;
  std::string snapshot;
  if (backups_ == nullptr) {
    backup.reason = "there is no backup folder";
  } else {
    backup.folder = backups_->Path();
    if (store_.Snapshot(paths, &snapshot, &backup.reason)) {
      if (std::optional<std::string> file = backups_->Save(what, snapshot, &backup.reason)) {
        backup.file = std::move(*file);
      }
    }
  }
  return backup;
}

void DesktopStore::Change(const std::vector<FileChange>& changes, const std::string& what,
                          StoreChange* change) {
  // Nothing to change takes no backup and writes nothing.
  if (!changes.empty()) {
    const BackupResult backup = SaveSnapshot(PathsOf(changes), what);
    if (!backup.saved()) {
      change->outcome = Form1Outcome::kBackupFailed;
      change->messages.push_back({BackupFailedMessage(backup), kVbCritical});
      return;
    }
    std::string err;
    if (!store_.Write(changes, &err)) {
      change->outcome = Form1Outcome::kWritesFailed;
      change->messages.push_back(
          {Concat({"Not every settings file could be written, so the browser is not fully set "
                   "as your default. Press Apply to try again.",
                   Lines(err)}),
           kVbCritical});
    }
  }
  for (const std::string& warning : store_.Warnings()) {
    change->messages.push_back({warning, kVbExclamation});
  }
}

StoreChange DesktopStore::ApplyPreset(const std::array<bool, kPresetCount>& option_values) {
  int index = 0;
  for (int i = 1; i <= kPresetCount; ++i) {
    if (option_values[i - 1]) index = i;
  }
  StoreChange change;
  if (index == 0) return change;
  std::optional<DesktopEntry> entry = Entry(index);
  if (!entry) {
    // As on Windows: a browser that is not here is asked for with the picker.
    std::optional<std::string> chosen = ShowCommonDialog(dialog_.get());
    if (!chosen || IsBlank(*chosen)) {
      change.outcome = Form1Outcome::kCancelled;
      return change;
    }
    return ApplyProgram(*chosen);
  }
  std::vector<FileChange> changes;
  std::string err;
  if (!store_.PlanApply(entry->id, &changes, &err)) {
    change.outcome = Form1Outcome::kWritesFailed;
    change.messages.push_back(
        {Concat({"The settings cannot be read, so nothing was changed: ", err, "."}), kVbCritical});
    return change;
  }
  Change(changes, Concat({"Apply ", PresetCaption(index)}), &change);
  return change;
}

StoreChange DesktopStore::ApplyCustom(const std::string& text) {
  if (IsBlank(text)) return {Form1Outcome::kNotApplied, {}};
  return ApplyProgram(text);
}

StoreChange DesktopStore::ApplyProgram(const std::string& text) {
  const std::string path = TrimSpaces(text);
  StoreChange change;
  std::vector<FileChange> changes;
  std::string err;
  if (!store_.PlanCustom(path, &changes, &err)) {
    change.outcome = Form1Outcome::kNotApplied;
    const bool missing = path.starts_with('/') && access(path.c_str(), F_OK) != 0;
    change.messages.push_back(
        {missing ? Concat({"The file \"", path,
                           "\" does not exist. Choose the browser's program file with the ... "
                           "button."})
                 : Concat({"\"", path, "\" cannot be set as the browser: ", err, "."}),
         kVbCritical});
    return change;
  }
  Change(changes, "Apply custom", &change);
  return change;
}

StoreChange DesktopStore::Reset() {
  StoreChange change;
  std::vector<FileChange> changes;
  std::string err;
  if (!store_.PlanReset(&changes, &err)) {
    change.outcome = Form1Outcome::kResetIncomplete;
    change.messages.push_back({Concat({kResetIncompleteMessage, Lines(err)}), kVbCritical});
    return change;
  }
  if (!changes.empty()) {
    const BackupResult backup = SaveSnapshot(PathsOf(changes), kResetBackupName);
    if (!backup.saved()) {
      change.outcome = Form1Outcome::kBackupFailed;
      change.messages.push_back({BackupFailedMessage(backup), kVbCritical});
      return change;
    }
    if (!store_.Write(changes, &err)) {
      change.outcome = Form1Outcome::kResetIncomplete;
      change.messages.push_back({Concat({kResetIncompleteMessage, Lines(err)}), kVbCritical});
      return change;
    }
  }
  change.messages.push_back({kResetMessage, kVbInformation});
  return change;
}

DefaultBrowserDisplay DesktopStore::CurrentDefault() {
  const freedesktop::CurrentDefault now = store_.Query();
  last_name_ = now.name;
  if (now.state == freedesktop::CurrentDefault::State::kNone) {
    last_caption_.clear();
    return {};
  }
  std::string caption = Concat({now.name, kCurrentDefaultSuffix});
  if (now.state == freedesktop::CurrentDefault::State::kSplit) {
    // Half a default is no default: say where the other web links go.
    std::string others;
    for (const freedesktop::CurrentDefault::Other& other : now.others) {
      if (!others.empty()) others += ", ";
      others +=
          Concat({other.mime_type, " opens in ", other.name.empty() ? "nothing" : other.name});
    }
    caption = Concat({now.name, kSplitInfix, others, "."});
  }
  last_caption_ = caption;
  return {caption, true};
}

std::string DesktopStore::NameOfLine(const std::string& caption) const {
  if (caption.empty()) return {};
  if (caption == last_caption_) return last_name_;
  return BrowserNameOfLine(caption);
}

std::vector<std::string> DesktopStore::NotInPlace(int index, const std::string& path) {
  std::vector<FileChange> changes;
  std::string err;
  bool planned = false;
  if (index != 0) {
    std::optional<DesktopEntry> entry = Entry(index);
    planned = entry && store_.PlanApply(entry->id, &changes, &err);
  } else {
    planned = store_.PlanCustom(TrimSpaces(path), &changes, &err);
  }
  if (!planned) return {index != 0 ? PresetCaption(index) : path};
  return PathsOf(changes);
}

bool DesktopStore::WasSetOnce(const std::string& label) {
  std::string text;
  return freedesktop::ReadFile(once_file_, &text, nullptr) == freedesktop::ReadStatus::kRead &&
         text == label + "\n";
}

bool DesktopStore::ChangesNothing(int index, const std::string& path) {
  return NotInPlace(index, path).empty();
}

bool DesktopStore::RecordOnce(const std::string& label, std::string* err) {
  return freedesktop::ReplaceFile(once_file_, label + "\n", err);
}

bool DesktopStore::ForgetOnce(std::string* err) {
  if (unlink(once_file_.c_str()) == 0 || errno == ENOENT) return true;
  *err = ErrnoText(errno);
  return false;
}

RestoreOutcome DesktopStore::Restore(const std::string& /*file*/, const std::string& bytes,
                                     std::string* detail) {
  // The present state first, so that an undo can itself be undone.
  const BackupResult saved = SaveSnapshot(store_.OwnedPaths(), "Undo");
  if (!saved.saved()) {
    *detail = BackupFailedMessage(saved);
    return RestoreOutcome::kBackupFailed;
  }
  bool refused = true;
  if (store_.Restore(bytes, detail, &refused)) return RestoreOutcome::kRestored;
  if (!refused) return RestoreOutcome::kFailed;  // some files may have changed: the save stays
  // Nothing changed, so the state just saved is no undo of anything.
  backups_->Discard(saved.file);
  return RestoreOutcome::kRefused;
}

}  // namespace tarnwick
