#include "shell/unattended.h"

#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "registry/current_default.h"
#include "selection/custom_apply.h"
#include "selection/picker.h"
#include "selection/preset_catalogue.h"
#include "shell/about_box.h"
#include "shell/backup.h"
#include "shell/browser_store.h"
#include "shell/command_line.h"
#include "shell/form1.h"
#include "shell/platform.h"
#include "shell/registry_store.h"
#include "shell/startup.h"
#include "shell/unattended_platform.h"
#include "text/text.h"

namespace tarnwick {
namespace {

// The window's message boxes, kept as text: nothing modal may stop a script. Warnings are kept
// apart: they go to standard error whatever the outcome.
class TextDesktop final : public Desktop {
 public:
  void MsgBox(const std::string& text, const std::string&, int style) override {
    std::string& kept = style == kVbExclamation ? warnings_ : messages_;
    kept += (kept.empty() ? "" : "\n") + text;
  }
  // The window's links and About box have no command; were they reached, nothing may show.
  void ShowAboutBox(frmAbout& about) override { about.cmdOK_Click(); }
  void CloseAboutBox() override {}
  void ShellExecute(ShellOwner, const std::string&, const std::string&, int) override {}

  /// The messages shown since the last call.
  std::string Take() { return std::exchange(messages_, {}); }
  /// The warnings shown since the last call.
  std::string TakeWarnings() { return std::exchange(warnings_, {}); }

 private:
  std::string messages_;
  std::string warnings_;
};

// The platform's automation objects, each made when a command first needs it rather than by
// the load step, as the window has them made: a command that needs none (/query, /reset,
// /undo, /?) starts no automation at all, and a /set that finds every setting in place makes
// no scripting shell. The store holds stand-ins that forward to the objects; the dialog object
// is never made.
class OnDemandAutomation final : public AutomationFactory {
 public:
  explicit OnDemandAutomation(AutomationFactory* inner) : inner_(inner) {}
  std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string*) override {
    return std::make_unique<ShellStandIn>(this);
  }
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string*) override {
    return std::make_unique<FileSystemStandIn>(this);
  }
  std::unique_ptr<CommonDialog> CreateCommonDialog(std::string*) override {
    return std::make_unique<UnansweredDialog>();
  }

  /// Makes the scripting shell unless it is made; false with the load step's message for an
  /// object that cannot be created when it cannot. A platform without automation objects (a
  /// store that needs none) has nothing to make.
  bool MakeShell(std::string* message) {
    return Make(shell_, "WScript.Shell", &AutomationFactory::CreateScriptingShell, message);
  }
  /// The same for the file-system object.
  bool MakeFileSystem(std::string* message) {
    return Make(file_system_, "Scripting.FileSystemObject",
                &AutomationFactory::CreateFileSystemObject, message);
  }

 private:
  template <typename T>
  bool Make(std::unique_ptr<T>& object, const char* prog_id,
            std::unique_ptr<T> (AutomationFactory::*create)(std::string*), std::string* message) {
    if (object != nullptr || inner_ == nullptr) return true;
    std::string err;
    object = (inner_->*create)(&err);
    if (object == nullptr) *message = ObjectCreationFailedMessage(prog_id, err);
    return object != nullptr;
  }

  // What the store holds: each makes its object at its first call, should a command not have.
  struct ShellStandIn final : RegistryWriteRoute {
    explicit ShellStandIn(OnDemandAutomation* owner) : owner(owner) {}
    bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                  std::string* err) override {
      if (!owner->MakeShell(err)) return false;
      if (owner->shell_ == nullptr) *err = "no scripting shell here";
      return owner->shell_ != nullptr && owner->shell_->RegWrite(path, value, type, err);
    }
    OnDemandAutomation* owner;
  };
  struct FileSystemStandIn final : FileSystemObject {
    explicit FileSystemStandIn(OnDemandAutomation* owner) : owner(owner) {}
    bool FileExists(const std::string& path) override {
      std::string message;
      return owner->MakeFileSystem(&message) && owner->file_system_ != nullptr &&
             owner->file_system_->FileExists(path);
    }
    OnDemandAutomation* owner;
  };

  AutomationFactory* inner_;
  std::unique_ptr<RegistryWriteRoute> shell_;
  std::unique_ptr<FileSystemObject> file_system_;
};

/// What a run printed and how it ended.
struct Result {
  int code = kExitDone;
  std::string output;  ///< results, for standard output
  std::string error;   ///< failures, for standard error

  static Result Out(std::string text, int code = kExitDone) { return {code, std::move(text), {}}; }
  static Result Fail(int code, std::string text) { return {code, {}, std::move(text)}; }
};

// `lines` as one text, joined by `joint`; empty ones are left out.
std::string Joined(const std::vector<std::string>& lines, std::string_view joint = "\n") {
  std::string text;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (!text.empty()) text += joint;
    text += line;
  }
  return text;
}

std::string Captions(const BrowserStore& store) {
  std::vector<std::string> names;
  for (int preset = 1; preset <= kPresetCount; ++preset) {
    names.push_back(store.PresetCaption(preset));
  }
  return Joined(names, ", ");
}

// A browser named on the command line: a preset, or a program file that exists.
struct Browser {
  int preset = 0;     ///< 1 ... kPresetCount; 0 for a custom browser
  std::string path;   ///< the program file of a custom browser, trimmed
  std::string label;  ///< how texts and the /once record name it
};

class Run {
 public:
  Run(const Platform& platform, const UnattendedPlatform& host)
      : host_(host),
        automation_(platform.automation),
        platform_(platform),
        form_(Prepared()),
        store_(form_.Store()) {}

  Result Execute(const CommandLine& line) {
    if (!form_.Form_Load()) return Result::Fail(kExitRefused, desktop_.Take());
    // Whether a browser is installed, and a custom path accepted, the file-system object tells.
    const bool finds_browsers = line.command == Command::kSet || line.command == Command::kCheck ||
                                line.command == Command::kList;
    std::string message;
    if (finds_browsers && !automation_.MakeFileSystem(&message)) {
      return Result::Fail(kExitRefused, message);
    }
    switch (line.command) {
      case Command::kSet:
        return Set(line.browser, line.once);
      case Command::kReset:
        return Reset();
      case Command::kQuery:
        return Query();
      case Command::kCheck:
        return Check(line.browser);
      case Command::kList:
        return List();
      case Command::kUndo:
        return Undo();
      case Command::kHelp:
        break;
    }
    return Result::Out(UsageText(host_.spelling, host_.program, host_.presets));
  }

 private:
  // The platform with this run's desktop and automation objects in place of the window's,
  // and the registry as the store when the platform names none.
  const Platform& Prepared() {
    platform_.desktop = &desktop_;
    platform_.automation = &automation_;
    if (platform_.store == nullptr) {
      registry_store_ = std::make_unique<RegistryStore>(platform_, host_.importer);
      platform_.store = registry_store_.get();
    }
    return platform_;
  }

  // Finds the browser `text` names, and that it is here. False with the run's result when not.
  bool Find(const std::string& text, Browser* browser, Result* result) {
    if (const int preset = store_.FindPreset(text)) {
      const std::string caption = store_.PresetCaption(preset);
      if (!store_.PresetInstalled(preset)) {
        *result =
            Result::Fail(kExitNotInstalled,
                         Concat({caption, " is not installed: ", store_.WhyNotInstalled(preset),
                                 ". Nothing was changed."}));
        return false;
      }
      *browser = {preset, {}, caption};
      return true;
    }
    const std::string path = TrimSpaces(text);
    if (!HoldsInvalidPathCharacter(path) && !host_.is_full_path(path)) {
      *result = Result::Fail(
          kExitNotInstalled,
          Concat({"\"", text,
                  "\" is neither a preset nor a full path. A run may start in any folder (a logon "
                  "script starts in the Windows folder), so a program file is named by its full "
                  "path. Nothing was changed. The presets are: ",
                  Captions(store_), "."}));
      return false;
    }
    if (!store_.CustomAccepted(text)) {
      *result = Result::Fail(kExitNotInstalled,
                             Concat({"\"", text,
                                     "\" is neither a preset nor an existing program file. Nothing "
                                     "was changed. The presets are: ",
                                     Captions(store_), "."}));
      return false;
    }
    *browser = {0, path, path};
    return true;
  }

  Result Set(const std::string& text, bool once) {
    Browser browser;
    Result result;
    if (!Find(text, &browser, &result)) return result;
    if (once && store_.WasSetOnce(browser.label)) {
      return Result::Out(browser.label +
                         " was set once for this user before, so nothing was changed.");
    }
    // An apply that would change nothing takes no backup to push the older ones out.
    if (store_.ChangesNothing(browser.preset, browser.path)) {
      result = Result::Out(
          Concat({"Every setting of ", browser.label, " is in place, so nothing was changed."}));
      if (once) result.error = RecordOnce(browser.label);
      return result;
    }
    // The applies write through the scripting shell.
    std::string message;
    if (!automation_.MakeShell(&message)) return Result::Fail(kExitRefused, message);
    Form1Outcome outcome;
    if (browser.preset != 0) {
      form_.Option_Click(browser.preset);
      outcome = form_.Command7_Click();
    } else {
      form_.SetText1(browser.path);
      outcome = form_.Command2_Click();
    }
    result = Reported(outcome);
    if (result.code == kExitDone) {
      if (form_.Frame4Visible()) result.output = form_.Label5Caption();
      if (once) result.error = RecordOnce(browser.label);
    }
    result.error = Joined({desktop_.TakeWarnings(), result.error});
    return result;
  }

  // Keeps `label` as this user's last browser set once; the reason when it could not be kept.
  std::string RecordOnce(const std::string& label) {
    std::string err;
    if (store_.RecordOnce(label, &err)) return {};
    return Concat({"The browser set once could not be recorded (", err,
                   "), so the next run with this option sets it again."});
  }

  // Forgets the browser set once, after a change that may have undone it, so that the next
  // "/set NAME /once" applies again; the reason when it could not be forgotten.
  std::string ForgetOnce() {
    std::string err;
    if (store_.ForgetOnce(&err)) return {};
    return Concat({"The browser set once could not be forgotten (", err,
                   "), so a later run with that option may leave the settings as they are."});
  }

  Result Reset() {
    Result result = Reported(form_.Command5_Click());
    if (result.code == kExitDone || result.code == kExitResetIncomplete) {
      result.error = Joined({result.error, ForgetOnce()});
    }
    return result;
  }

  // The window's messages of a handler, as the result its outcome makes.
  Result Reported(Form1Outcome outcome) {
    std::string messages = desktop_.Take();
    switch (outcome) {
      case Form1Outcome::kDone:
        return Result::Out(std::move(messages));
      case Form1Outcome::kCancelled:
      case Form1Outcome::kNotApplied:
        return Result::Fail(kExitNotInstalled, std::move(messages));
      case Form1Outcome::kBackupFailed:
        return Result::Fail(kExitBackupFailed, std::move(messages));
      case Form1Outcome::kWritesFailed:
        return Result::Fail(kExitWritesFailed, std::move(messages));
      case Form1Outcome::kResetIncomplete:
        return Result::Fail(kExitResetIncomplete, std::move(messages));
    }
    return Result::Fail(kExitWritesFailed, std::move(messages));
  }

  // The settings of `browser` that are not in place; nothing when none is.
  std::vector<std::string> NotInPlace(const Browser& browser) {
    return store_.NotInPlace(browser.preset, browser.path);
  }

  // The browser's name on the current-default line. Where the line says more than that (on
  // the desktop: https or web pages go to another browser), the line goes to standard error,
  // so that a script reading the name is not told half a default as the whole.
  Result Query() {
    if (!form_.Frame4Visible()) return Result::Out("");
    const std::string caption = form_.Label5Caption();
    Result result = Result::Out(store_.NameOfLine(caption));
    if (caption != Concat({result.output, kCurrentDefaultSuffix})) result.error = caption;
    return result;
  }

  Result Check(const std::string& text) {
    Browser browser;
    Result result;
    if (!Find(text, &browser, &result)) return result;
    const std::vector<std::string> differ = NotInPlace(browser);
    if (differ.empty()) {
      return Result::Out(Concat({"Every setting of ", browser.label, " is in place."}));
    }
    return Result::Out(Joined(differ), kExitNotInPlace);
  }

  Result List() {
    std::vector<std::string> lines;
    for (int preset = 1; preset <= kPresetCount; ++preset) {
      const std::string caption = store_.PresetCaption(preset);
      const bool installed = store_.PresetInstalled(preset);
      const bool in_place = installed && NotInPlace({preset, {}, caption}).empty();
      std::string line = Concat({in_place ? "* " : "  ", caption});
      line.resize(std::max<size_t>(line.size() + 2, 24), ' ');
      lines.push_back(line + (installed ? "installed" : "not installed"));
    }
    return Result::Out(Joined(lines));
  }

  Result Undo() {
    BackupFolder* backups = platform_.backups;
    std::string err;
    const std::optional<std::string> newest = backups->Newest(&err);
    if (!newest) {
      return Result::Fail(
          kExitNoBackup,
          err.empty()
              ? Concat({"There is no backup to undo in \"", backups->Path(), "\"."})
              : Concat({"The backups in \"", backups->Path(), "\" cannot be read: ", err, "."}));
    }
    std::string bytes;
    if (!backups->Read(*newest, &bytes, &err)) {
      return Result::Fail(
          kExitNoBackup,
          Concat({"The backup \"", *newest, "\" cannot be read: ", err, ". Nothing was changed."}));
    }
    switch (store_.Restore(*newest, bytes, &err)) {
      case RestoreOutcome::kRestored:
        break;
      case RestoreOutcome::kRefused:
        return Result::Fail(kExitNoBackup, Concat({"The backup \"", *newest, "\" cannot be read: ",
                                                   err, ". Nothing was changed."}));
      case RestoreOutcome::kBackupFailed:
        return Result::Fail(kExitBackupFailed, err);
      case RestoreOutcome::kFailed:
        return Result::Fail(kExitWritesFailed, Concat({"Not every setting saved in \"", *newest,
                                                       "\" could be restored: ", err, "."}));
    }
    Result result = Result::Out(Concat({"The settings saved in \"", *newest, "\" are restored."}));
    result.error = ForgetOnce();
    return result;
  }

  const UnattendedPlatform& host_;
  TextDesktop desktop_;
  OnDemandAutomation automation_;
  Platform platform_;
  std::unique_ptr<RegistryStore> registry_store_;  ///< when the platform names no store
  Form1 form_;
  BrowserStore& store_;
};

std::string MeaningOf(int code) {
  for (const ExitCodeRow& row : ExitCodes()) {
    if (row.code == code) return row.meaning;
  }
  return {};
}

}  // namespace

int RunUnattended(std::span<const std::string> args, const Platform& platform,
                  const UnattendedPlatform& host) {
  CommandLine line;
  std::string err;
  Result result;
  const bool understood = ParseCommandLine(args, host.spelling, &line, &err);
  if (!understood) {
    result = Result::Fail(kExitBadCommandLine, err);
  } else if (line.command == Command::kHelp) {
    result = Result::Out(UsageText(host.spelling, host.program, host.presets));
  } else if (!host.unavailable.empty()) {
    result = Result::Fail(kExitRefused, host.unavailable);
  } else {
    // Whatever fails without a way of its own to say so ends the run here, said and logged,
    // rather than in the runtime's message box that no one at a logon would answer.
    try {
      result = Run(platform, host).Execute(line);
    } catch (const std::exception& e) {
      result = Result::Fail(kExitFailed, Concat({"The run failed unexpectedly (", e.what(),
                                                 "); what it changed is not known."}));
    } catch (...) {
      result =
          Result::Fail(kExitFailed, "The run failed unexpectedly; what it changed is not known.");
    }
  }

  if (!line.quiet) {
    if (!result.output.empty()) host.console->WriteLine(Console::Stream::kOutput, result.output);
    if (!result.error.empty()) host.console->WriteLine(Console::Stream::kError, result.error);
    if (!understood) {
      host.console->WriteLine(Console::Stream::kError,
                              "\n" + UsageText(host.spelling, host.program, host.presets));
    }
  }
  if (!line.log_file.empty()) {
    RunRecord record;
    record.time = host.workstation->Now();
    record.computer = host.workstation->ComputerName();
    record.user = host.workstation->UserName();
    record.command_line = CommandLineText(host.program, args);
    record.result = Joined({result.output, result.error});
    if (record.result.empty()) record.result = MeaningOf(result.code);
    record.exit_code = result.code;
    if (!host.logs->Append(line.log_file, FormatLogLine(record), &err) && !line.quiet) {
      host.console->WriteLine(
          Console::Stream::kError,
          Concat({"The log \"", line.log_file, "\" could not be written: ", err, "."}));
    }
  }
  return result.code;
}

}  // namespace tarnwick
