#include "shell/form1.h"

#include <utility>

#include "registry/current_default.h"
#include "registry/per_user_reset.h"
#include "registry/reg_file.h"
#include "registry/registry.h"
#include "selection/custom_apply.h"
#include "selection/picker.h"
#include "selection/preset_apply.h"
#include "selection/selection_context.h"
#include "shell/about_box.h"
#include "shell/backup.h"
#include "shell/startup.h"
#include "shell/web_links.h"
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

std::string MissingFileMessage(const std::string& path) {
  return "The file \"" + path +
         "\" does not exist. Choose the browser's program file with the ... button.";
}

std::string FailedWritesMessage(const WriteTally& tally) {
  return std::to_string(tally.user_failures) + " of " + std::to_string(tally.user_writes) +
         " settings could not be written, so the browser is not fully set as your default. "
         "Press Apply to try again.";
}

}  // namespace

Form1::Form1(const Platform& platform) : platform_(platform) {}

Form1::~Form1() = default;

void Form1::SetObserver(std::function<void()> changed) { observer_ = std::move(changed); }

bool Form1::OptionValue(int index) const {
  return index >= 1 && index <= kPresetCount && option_values_[index - 1];
}
const std::string& Form1::Text1() const { return text1_; }
bool Form1::Command7Enabled() const { return command7_enabled_; }
bool Form1::Command2Enabled() const { return command2_enabled_; }
const std::string& Form1::Label5Caption() const { return label5_caption_; }
bool Form1::Frame4Visible() const { return frame4_visible_; }
bool Form1::AboutOpen() const { return about_open_; }
const BrowserProfile& Form1::Profile() const { return profile_; }

SelectionContext Form1::Services() const {
  SelectionContext ctx;
  ctx.registry = platform_.registry;
  ctx.fso = file_system_.get();
  ctx.environment = platform_.environment;
  return ctx;
}

bool Form1::Form_Load() {
  if (GetWindowsVersionName(*platform_.version) != kWindowsXp) {
    platform_.desktop->MsgBox(kRefusalMessage, kMessageTitle, kVbInformation);
    Form_Unload();
    return false;
  }

  // Each object is created only once the one before it exists; a failure ends start-up.
  std::string err;
  auto failed = [&](const char* prog_id) {
    platform_.desktop->MsgBox(ObjectCreationFailedMessage(prog_id, err), kMessageTitle,
                              kVbCritical);
    return false;
  };
  scripting_shell_ = platform_.automation->CreateScriptingShell(&err);
  if (scripting_shell_ == nullptr) return failed("WScript.Shell");
  writer_ = RegistryWriter(scripting_shell_.get());
  file_system_ = platform_.automation->CreateFileSystemObject(&err);
  if (file_system_ == nullptr) return failed("Scripting.FileSystemObject");
  common_dialog_ = platform_.automation->CreateCommonDialog(&err);
  if (common_dialog_ == nullptr) return failed("UserAccounts.CommonDialog");

  DeselectOptionBoxes();
  GetCurrentDefaultWebBrowser();
  return true;
}

void Form1::Form_Unload() { platform_.desktop->CloseAboutBox(); }

void Form1::Option_Click(int index) {
  if (Blocked() || index < 1 || index > kPresetCount) return;
  // The options share one container, so selecting one turns the others off; off first, so
  // that no redraw ever sees two selected.
  for (int i = 1; i <= kPresetCount; ++i) {
    if (i != index) SetOptionValue(i, false);
  }
  SetOptionValue(index, true);
  SetCommand7Enabled(true);
}

void Form1::SetText1(const std::string& text) {
  if (Blocked() || text == text1_) return;
  text1_ = text;
  Changed();
  SetCommand2Enabled(true);
}

Form1Outcome Form1::Command7_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  SelectionContext ctx = MakeSelectionContext();
  BackupResult backup;
  ctx.before_change = [&] {
    return Saved(BackUpBeforePresetApply(platform_, option_values_), &backup);
  };
  writer_.TakeTally();
  switch (PresetApply(ctx, option_values_)) {
    case PresetApplyResult::kStopped:
      return Form1Outcome::kBackupFailed;
    case PresetApplyResult::kCancelled:
      // The user stopped before the browser was touched; only Internet Explorer's own check
      // was turned off, and a backup of an apply that did not happen would only mislead.
      if (backup.saved()) platform_.backups->Discard(backup.file);
      return Form1Outcome::kCancelled;
    case PresetApplyResult::kApplied:
    case PresetApplyResult::kNoSelection:
      break;
  }
  // An incomplete apply leaves its button to be pressed again.
  const Form1Outcome outcome = ReportFailedWrites();
  if (outcome == Form1Outcome::kDone) SetCommand7Enabled(false);
  GetCurrentDefaultWebBrowser();
  return outcome;
}

void Form1::Command1_Click() {
  if (Blocked()) return;
  platform_.desktop->MsgBox(kBrowseNote, kBrowseNoteTitle, kVbOkOnly);
  if (std::optional<std::string> chosen = ShowCommonDialog(common_dialog_.get())) SetText1(*chosen);
}

Form1Outcome Form1::Command2_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  SelectionContext ctx = MakeSelectionContext();
  ctx.before_change = [this] { return Saved(BackUpBeforeCustomApply(platform_)); };
  writer_.TakeTally();
  Form1Outcome outcome = Form1Outcome::kNotApplied;
  switch (CustomApply(ctx, text1_)) {
    case CustomApplyResult::kStopped:
      return Form1Outcome::kBackupFailed;
    case CustomApplyResult::kApplied:
      outcome = ReportFailedWrites();
      if (outcome == Form1Outcome::kDone) SetCommand2Enabled(false);
      break;
    case CustomApplyResult::kInvalidPath:
      platform_.desktop->MsgBox(kInvalidPathMessage, kMessageTitle, kVbInformation);
      break;
    case CustomApplyResult::kMissingFile:
      platform_.desktop->MsgBox(MissingFileMessage(TrimSpaces(text1_)), kMessageTitle, kVbCritical);
      break;
    case CustomApplyResult::kEmpty:
      break;
  }
  GetCurrentDefaultWebBrowser();
  return outcome;
}

Form1Outcome Form1::Command5_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  if (!Saved(BackUpBeforeReset(platform_))) return Form1Outcome::kBackupFailed;
  const std::vector<std::string> remaining = platform_.registry != nullptr
                                                 ? delperuserkeys(*platform_.registry)
                                                 : std::vector<std::string>();
  // Clearing the text runs its change reaction, which enables Command2; disable it after.
  SetText1("");
  SetCommand2Enabled(false);
  SetCommand7Enabled(false);
  DeselectOptionBoxes();
  Form1Outcome outcome = Form1Outcome::kDone;
  if (remaining.empty()) {
    platform_.desktop->MsgBox(kResetMessage, kMessageTitle, kVbInformation);
  } else {
    std::string text = kResetIncompleteMessage;
    for (const std::string& key : remaining) text += "\n" + FullKeyName(Hive::kCurrentUser, key);
    platform_.desktop->MsgBox(text, kMessageTitle, kVbCritical);
    outcome = Form1Outcome::kResetIncomplete;
  }
  GetCurrentDefaultWebBrowser();
  return outcome;
}

void Form1::Command3_Click() {
  if (Blocked()) return;
  platform_.desktop->ShellExecute(ShellOwner::kNone, "Open", kProgramPageUrl, kSwShowMaximized);
}

void Form1::Command4_Click() {
  if (Blocked()) return;
  if (about_ == nullptr) about_ = std::make_unique<frmAbout>(*platform_.desktop);
  SetAboutOpen(true);
  platform_.desktop->ShowAboutBox(*about_);
  // Closing unloads the box; the next click makes a new one.
  SetAboutOpen(false);
  about_.reset();
}

void Form1::Picture1_Click() {
  if (Blocked()) return;
  OpenURL(*platform_.desktop, "open", kDonationPageUrl, kSwShowNormal);
}

void Form1::Label4_Click() {
  if (Blocked()) return;
  OpenURL(*platform_.desktop, "open", kDonationPageUrl, kSwShowNormal);
}

void Form1::Label2_Click() {
  if (Blocked()) return;
  platform_.desktop->ShellExecute(ShellOwner::kNone, "Open", kSiteRootUrl, kSwShowMaximized);
}

void Form1::DeselectOptionBoxes() {
  for (int i = 1; i <= kPresetCount; ++i) SetOptionValue(i, false);
}

void Form1::GetCurrentDefaultWebBrowser() {
  if (platform_.registry == nullptr) {
    SetLabel5Caption("");
    SetFrame4Visible(false);
    return;
  }
  ProgramDescriber describe;
  if (platform_.programs != nullptr) {
    describe = [this](const std::string& path) { return platform_.programs->Description(path); };
  }
  // The line is cleared and set in one step, after the query: a screen reader hears one change
  // of it, or none when it stays the same, never the empty line in between.
  DefaultBrowserDisplay display = QueryCurrentDefaultBrowser(*platform_.registry, describe);
  SetLabel5Caption(display.visible ? display.caption : "");
  SetFrame4Visible(display.visible);
}

SelectionContext Form1::MakeSelectionContext() {
  SelectionContext ctx;
  ctx.profile = &profile_;
  ctx.writer = &writer_;
  ctx.registry = platform_.registry;
  ctx.fso = file_system_.get();
  ctx.environment = platform_.environment;
  ctx.dialog = common_dialog_.get();
  return ctx;
}

bool Form1::Blocked() const { return about_open_; }

bool Form1::Saved(const BackupResult& result, BackupResult* kept) {
  if (kept != nullptr) *kept = result;
  if (result.saved()) return true;
  platform_.desktop->MsgBox(BackupFailedMessage(result), kMessageTitle, kVbCritical);
  return false;
}

Form1Outcome Form1::ReportFailedWrites() {
  const WriteTally tally = writer_.TakeTally();
  if (tally.user_failures == 0) return Form1Outcome::kDone;
  platform_.desktop->MsgBox(FailedWritesMessage(tally), kMessageTitle, kVbCritical);
  return Form1Outcome::kWritesFailed;
}

void Form1::SetOptionValue(int index, bool value) {
  if (option_values_[index - 1] == value) return;
  option_values_[index - 1] = value;
  Changed();
}

void Form1::SetCommand7Enabled(bool enabled) {
  if (command7_enabled_ == enabled) return;
  command7_enabled_ = enabled;
  Changed();
}

void Form1::SetCommand2Enabled(bool enabled) {
  if (command2_enabled_ == enabled) return;
  command2_enabled_ = enabled;
  Changed();
}

void Form1::SetLabel5Caption(const std::string& caption) {
  if (label5_caption_ == caption) return;
  label5_caption_ = caption;
  Changed();
}

void Form1::SetFrame4Visible(bool visible) {
  if (frame4_visible_ == visible) return;
  frame4_visible_ = visible;
  Changed();
}

void Form1::SetAboutOpen(bool open) {
  if (about_open_ == open) return;
  about_open_ = open;
  Changed();
}

void Form1::Changed() {
  if (observer_) observer_();
}

}  // namespace tarnwick
