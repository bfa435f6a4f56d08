// A scripted outside world for tests of the window model: every call is recorded in order,
// dialogs are answered from a script, and each automation object can be made to fail.
#ifndef TARNWICK_SHELL_FAKE_PLATFORM_H_
#define TARNWICK_SHELL_FAKE_PLATFORM_H_

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/registry.h"
#include "shell/about_box.h"
#include "shell/platform.h"

namespace tarnwick {

/// One message box as shown.
struct FakeMessage {
  std::string text;
  std::string title;
  int style = -1;
};

/// One shell call as made.
struct FakeShellCall {
  ShellOwner owner = ShellOwner::kNone;
  std::string verb;
  std::string file;
  int show_command = -1;
};

/// A registry that holds nothing: every key is missing but the hives' roots and the `locked`
/// keys with the keys above them, which exist and hold nothing; locked keys refuse to be
/// deleted, as keys that a policy or another program
/// has locked. Each deletion and open is recorded in `*calls`, so tests can see what the
/// window reads and deletes.
class RecordingRegistry : public Registry {
 public:
  explicit RecordingRegistry(std::vector<std::string>* calls) : calls_(calls) {}
  long DeleteKeyTree(Hive, const std::string& path) override {
    calls_->push_back("DeleteKeyTree " + path);
    return locked.count(path) != 0 ? kErrorAccessDenied : kErrorFileNotFound;
  }
  long OpenKey(Hive hive, const std::string& path, uint32_t, KeyHandle* key) override {
    calls_->push_back(
        std::string(hive == Hive::kCurrentUser ? "OpenKey HKCU\\" : "OpenKey HKLM\\") + path);
    if (!Exists(hive, path)) return kErrorFileNotFound;
    *key = reinterpret_cast<KeyHandle>(uintptr_t{1});
    return kErrorSuccess;
  }
  long QueryValue(KeyHandle, const std::string&, uint32_t*, uint8_t*, uint32_t*) override {
    return kErrorFileNotFound;
  }
  // A locked key can be read, and holds nothing.
  long EnumKey(KeyHandle key, uint32_t, std::string*) override {
    return key != nullptr ? kErrorNoMoreItems : kErrorInvalidHandle;
  }
  long EnumValue(KeyHandle key, uint32_t, std::string*, uint32_t*, std::vector<uint8_t>*) override {
    return key != nullptr ? kErrorNoMoreItems : kErrorInvalidHandle;
  }
  long CloseKey(KeyHandle) override { return kErrorSuccess; }

  std::set<std::string> locked;  ///< paths below HKEY_CURRENT_USER

 private:
  // Each hive's root exists, as in every registry, and so does every key on the way to a
  // locked one.
  bool Exists(Hive hive, const std::string& path) const {
    if (path.empty()) return true;
    if (hive != Hive::kCurrentUser) return false;
    for (const std::string& key : locked) {
      if (key == path || key.starts_with(path + "\\")) return true;
    }
    return false;
  }

  std::vector<std::string>* calls_;
};

/// A write route that keeps nothing and accepts every write but the `refused` writer paths.
class AcceptingWriteRoute : public RegistryWriteRoute {
 public:
  bool RegWrite(const std::string& path, const std::string&, const std::string&,
                std::string* err) override {
    if (refused.count(path) == 0) return true;
    *err = "access denied";
    return false;
  }
  std::set<std::string> refused;
};

/// A backup folder that keeps what it is given in memory, or refuses it when told to. Each
/// call is recorded in `*calls` as "Backup Save <what>" or "Backup Discard <file>".
class FakeBackupFolder : public BackupFolder {
 public:
  /// One saved backup.
  struct Saved {
    std::string what;
    std::string bytes;
    std::string file;
  };

  explicit FakeBackupFolder(std::vector<std::string>* calls) : calls_(calls) {}

  // Script.
  std::string path = R"(C:\Documents and Settings\Ann\Application Data\Tarnwick\Backups)";
  std::string fail_reason;  ///< when not empty, every Save fails with this reason

  // Record.
  std::vector<Saved> saved;            ///< in order; a discarded one is removed
  std::vector<std::string> discarded;  ///< the files given to Discard

  std::string Path() override { return path; }
  std::optional<std::string> Save(const std::string& what, std::string_view bytes,
                                  std::string* err) override {
    calls_->push_back("Backup Save " + what);
    if (!fail_reason.empty()) {
      *err = fail_reason;
      return std::nullopt;
    }
    const std::string file = path + "\\" + std::to_string(++count_) + " " + what + ".reg";
    saved.push_back({what, std::string(bytes), file});
    return file;
  }
  void Discard(const std::string& file) override {
    calls_->push_back("Backup Discard " + file);
    discarded.push_back(file);
    std::erase_if(saved, [&](const Saved& s) { return s.file == file; });
  }
  std::optional<std::string> Newest(std::string* err) override {
    err->clear();
    if (saved.empty()) return std::nullopt;
    return saved.back().file;
  }
  bool Read(const std::string& file, std::string* bytes, std::string* err) override {
    for (const Saved& s : saved) {
      if (s.file != file) continue;
      *bytes = s.bytes;
      return true;
    }
    *err = "file not found";
    return false;
  }

 private:
  std::vector<std::string>* calls_;
  int count_ = 0;
};

class FakePlatform : public AutomationFactory,
                     public VersionProvider,
                     public Environment,
                     public Desktop {
 public:
  /// `registry` serves reads and deletions, `write_route` the scripting shell's writes; either
  /// may be null. Neither is owned.
  FakePlatform(Registry* registry, RegistryWriteRoute* write_route)
      : registry_(registry), write_route_(write_route) {}

  /// What the window is given.
  Platform platform() {
    Platform p;
    p.registry = registry_;
    p.automation = this;
    p.version = this;
    p.environment = this;
    p.desktop = this;
    p.backups = &backups;
    return p;
  }

  // Script.
  OsVersionInfo version = {2, 5, 1};            ///< Windows XP unless a test says otherwise
  std::map<std::string, std::string> env = {};  ///< environment variables
  std::set<std::string> files;                  ///< paths FileExists answers true for
  /// Answers to ShowOpen, in order: a path is a choice, nullopt a cancel. An empty script
  /// cancels.
  std::deque<std::optional<std::string>> dialog_answers;
  std::string fail_prog_id;  ///< the automation object that cannot be created
  /// Runs while a message box is up.
  std::function<void(const FakeMessage&)> on_message;
  /// Runs while the About box is up; by default it is closed with OK at once.
  std::function<void(frmAbout&)> on_about = [](frmAbout& about) { about.cmdOK_Click(); };

  // Record. `calls` holds one line per call of every kind, in order.
  std::vector<std::string> calls;
  std::vector<FakeMessage> messages;
  std::vector<FakeShellCall> shell_calls;
  bool about_showing = false;
  /// The backup folder the window is given; its calls go to `calls` too.
  FakeBackupFolder backups{&calls};

  // AutomationFactory.
  std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string* err) override {
    if (!Create("WScript.Shell", err)) return nullptr;
    return std::make_unique<WriteProxy>(this);
  }
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string* err) override {
    if (!Create("Scripting.FileSystemObject", err)) return nullptr;
    return std::make_unique<FileSystemProxy>(this);
  }
  std::unique_ptr<CommonDialog> CreateCommonDialog(std::string* err) override {
    if (!Create("UserAccounts.CommonDialog", err)) return nullptr;
    return std::make_unique<DialogProxy>(this);
  }

  // VersionProvider.
  OsVersionInfo GetVersionEx() override {
    calls.push_back("GetVersionEx");
    return version;
  }

  // Environment.
  std::string Get(const std::string& name) override {
    auto it = env.find(name);
    return it == env.end() ? std::string() : it->second;
  }

  // Desktop.
  void MsgBox(const std::string& text, const std::string& title, int style) override {
    calls.push_back("MsgBox " + title);
    messages.push_back({text, title, style});
    if (on_message) on_message(messages.back());
  }
  void ShowAboutBox(frmAbout& about) override {
    calls.push_back("ShowAboutBox");
    about_showing = true;
    if (on_about) on_about(about);
    // A modal box cannot return while it is still up.
    about_showing = false;
  }
  void CloseAboutBox() override {
    calls.push_back("CloseAboutBox");
    about_showing = false;
  }
  void ShellExecute(ShellOwner owner, const std::string& verb, const std::string& file,
                    int show_command) override {
    calls.push_back("ShellExecute " + file);
    shell_calls.push_back({owner, verb, file, show_command});
  }

 private:
  bool Create(const std::string& prog_id, std::string* err) {
    calls.push_back("Create " + prog_id);
    if (prog_id != fail_prog_id) return true;
    *err = "class not registered";
    return false;
  }

  // The objects the window owns forward to the platform, where the test scripts them.
  struct WriteProxy : RegistryWriteRoute {
    explicit WriteProxy(FakePlatform* p) : p(p) {}
    bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                  std::string* err) override {
      p->calls.push_back("RegWrite " + path);
      return p->write_route_ != nullptr && p->write_route_->RegWrite(path, value, type, err);
    }
    FakePlatform* p;
  };
  struct FileSystemProxy : FileSystemObject {
    explicit FileSystemProxy(FakePlatform* p) : p(p) {}
    bool FileExists(const std::string& path) override {
      p->calls.push_back("FileExists " + path);
      return p->files.count(path) != 0;
    }
    FakePlatform* p;
  };
  struct DialogProxy : CommonDialog {
    explicit DialogProxy(FakePlatform* p) : p(p) {}
    void SetInitialDir(const std::string& dir) override { p->calls.push_back("InitialDir " + dir); }
    void SetFilter(const std::string& filter) override { p->calls.push_back("Filter " + filter); }
    void SetFlags(int32_t flags) override { p->calls.push_back("Flags " + std::to_string(flags)); }
    bool ShowOpen() override {
      p->calls.push_back("ShowOpen");
      answer.reset();
      if (p->dialog_answers.empty()) return false;
      answer = std::move(p->dialog_answers.front());
      p->dialog_answers.pop_front();
      return answer.has_value();
    }
    std::string FileName() override { return answer.value_or(""); }
    FakePlatform* p;
    std::optional<std::string> answer;
  };

  Registry* registry_;
  RegistryWriteRoute* write_route_;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_FAKE_PLATFORM_H_
