// The program without its window, over the tests' registry (the stand-in in memory, or Wine's
// registry): each command and each exit code, checked by what the run printed, logged and left
// in the registry and the backup folder.
#include "shell/unattended.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>

#include "registry/reg_file.h"
#include "registry/registry_dump_for_test.h"
#include "registry/registry_importer.h"
#include "registry/registry_reader.h"
#include "registry/test_registry.h"
#include "selection/preset_catalogue.h"
#include "shell/command_line.h"
#include "shell/fake_platform.h"
#include "shell/startup.h"
#include "shell/unattended_platform.h"
#include "text/text.h"

namespace tarnwick {
namespace {

constexpr char kProgramFiles[] = R"(C:\Program Files)";
constexpr char kMaxthon[] = R"(C:\Program Files\Maxthon\Maxthon.exe)";
constexpr char kGreen[] = R"(C:\Program Files\GreenBrowser\GreenBrowser.exe)";
constexpr char kFirefox[] = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
constexpr char kCustom[] = R"(C:\Apps\Other Browser\b.exe)";
constexpr char kHttpCommand[] = R"(Software\Classes\http\Shell\MyHTMLFile\Command)";
constexpr char kIeMain[] = R"(Software\Microsoft\Internet Explorer\Main)";
constexpr char kMaxthonLine[] = "Maxthon Web Browser is currently the default browser.";

class FakeConsole final : public Console {
 public:
  void WriteLine(Stream stream, std::string_view text) override {
    (stream == Stream::kOutput ? out : err) += std::string(text) + "\n";
  }
  std::string out, err;
};

class FakeWorkstation final : public Workstation {
 public:
  std::string ComputerName() override { return "PC-042"; }
  std::string UserName() override { return "ann"; }
  ZonedTime Now() override { return {{2024, 3, 7, 10, 30, 0}, 60}; }
};

class FakeLogs final : public LogFiles {
 public:
  bool Append(const std::string& path, std::string_view line, std::string* err) override {
    if (!fail_reason.empty()) {
      *err = fail_reason;
      return false;
    }
    files[path].push_back(std::string(line));
    return true;
  }
  std::map<std::string, std::vector<std::string>> files;
  std::string fail_reason;
};

class UnattendedTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = OpenTestRegistryHost();
    if (!host_) GTEST_SKIP() << "no registry may be used for tests here";
    reg_ = host_->Open(true);
    ASSERT_TRUE(reg_);
    Use(&reg_->registry(), &reg_->route());
  }

  /// The window's outside world over `registry` and `route`.
  void Use(Registry* registry, RegistryWriteRoute* route) {
    fake_ = std::make_unique<FakePlatform>(registry, route);
    fake_->env["ProgramFiles"] = kProgramFiles;
    fake_->files = {kMaxthon, kGreen, kFirefox, kCustom};
  }

  /// Runs the program with `args`; the console starts empty each time.
  int Run(std::vector<std::string> args, Spelling spelling = Spelling::kWindows,
          const std::string& unavailable = "") {
    console_ = FakeConsole();
    fake_->calls.clear();
    UnattendedPlatform host;
    host.console = &console_;
    host.workstation = &workstation_;
    host.logs = &logs_;
    host.importer = importer_ != nullptr ? importer_ : &reg_->importer();
    // Full as Windows reads it, for the paths these tests use: a drive and a backslash.
    host.is_full_path = [](const std::string& path) {
      return path.size() > 2 && path[1] == ':' && path[2] == '\\';
    };
    host.spelling = spelling;
    host.program = "Tarnwick.exe";
    host.unavailable = unavailable;
    return RunUnattended(args, fake_->platform(), host);
  }

  std::string User(const std::string& path, const std::string& name = "") {
    return AsText(ReadRegistryValue(reg_->registry(), Hive::kCurrentUser, path, name));
  }
  /// Every key the commands may touch, as it is now.
  std::string State() {
    Registry& r = reg_->registry();
    return DumpRegistry(r, Hive::kCurrentUser, "Software\\Classes") +
           DumpRegistry(r, Hive::kCurrentUser, "Software\\Clients") +
           DumpRegistry(r, Hive::kCurrentUser, kIeMain) +
           DumpRegistry(r, Hive::kLocalMachine, R"(Software\Clients)");
  }
  /// Another browser's registrations, as a user may have them.
  void SeedOtherBrowser() {
    std::string err;
    ASSERT_TRUE(reg_->route().RegWrite("HKCU\\" + std::string(kHttpCommand) + "\\",
                                       R"("C:\Other\o.exe" "%1")", "REG_SZ", &err));
    ASSERT_TRUE(reg_->route().RegWrite(R"(HKCU\Software\Classes\http\Shell\)", "MyHTMLFile",
                                       "REG_SZ", &err));
    ASSERT_TRUE(reg_->route().RegWrite("HKCU\\" + std::string(kIeMain) + "\\Check_Associations",
                                       "yes", "REG_SZ", &err));
  }
  size_t Backups() const { return fake_->backups.saved.size(); }
  bool Wrote() const {
    return std::any_of(fake_->calls.begin(), fake_->calls.end(),
                       [](const std::string& c) { return c.starts_with("RegWrite"); });
  }

  std::unique_ptr<TestRegistryHost> host_;
  std::unique_ptr<TestRegistry> reg_;
  std::unique_ptr<FakePlatform> fake_;
  FakeConsole console_;
  FakeWorkstation workstation_;
  FakeLogs logs_;
  RegistryImporter* importer_ = nullptr;  ///< the registry's own when null
};

TEST_F(UnattendedTest, SetWritesAsTheWindowsApplyAndNeverAsksAnything) {
  SeedOtherBrowser();
  EXPECT_EQ(kExitDone, Run({"/set", "maxthon"}));
  EXPECT_EQ(std::string(kMaxthonLine) + "\n", console_.out);
  EXPECT_EQ("", console_.err);
  EXPECT_EQ(R"("C:\Program Files\Maxthon\Maxthon.exe" "%1")", User(kHttpCommand));
  EXPECT_EQ("Maxthon.exe", User(R"(Software\Clients\StartMenuInternet)"));
  ASSERT_EQ(1u, Backups());
  EXPECT_EQ("Apply Maxthon", fake_->backups.saved[0].what);
  EXPECT_TRUE(fake_->messages.empty());
  for (const std::string& call : fake_->calls) {
    EXPECT_FALSE(call.starts_with("MsgBox") || call.starts_with("ShowOpen") ||
                 call == "Create UserAccounts.CommonDialog")
        << call;
  }

  EXPECT_EQ(kExitDone, Run({"/set", "  " + std::string(kCustom) + " "}));
  EXPECT_EQ(R"("C:\Apps\Other Browser\b.exe" "%1")", User(kHttpCommand));
  EXPECT_EQ("Apply custom", fake_->backups.saved.back().what);
  EXPECT_EQ("b.exe is currently the default browser.\n", console_.out);
}

TEST_F(UnattendedTest, ABrowserThatIsNotHereChangesNothingAtAll) {
  SeedOtherBrowser();
  const std::string before = State();
  fake_->files.erase(kMaxthon);
  EXPECT_EQ(kExitNotInstalled, Run({"/set", "Maxthon"}));
  EXPECT_EQ(
      "Maxthon is not installed: there is no file \"C:\\Program Files\\Maxthon\\Maxthon.exe\". "
      "Nothing was changed.\n",
      console_.err);
  EXPECT_EQ(kExitNotInstalled, Run({"/set", R"(C:\Apps\missing.exe)"}));
  EXPECT_NE(std::string::npos,
            console_.err.find("\"C:\\Apps\\missing.exe\" is neither a preset nor an existing "
                              "program file"));
  EXPECT_NE(std::string::npos, console_.err.find("GreenBrowser, Internet Explorer 6, Maxthon"));
  EXPECT_EQ(kExitNotInstalled, Run({"/set", "Opera"}));
  EXPECT_EQ(kExitNotInstalled, Run({"/check", "Maxthon"}));
  // A path that a logon script's folder would resolve is refused, though a file is there; so is
  // one whose "%" the written command would take for its "%1".
  fake_->files.insert(R"(Other Browser\b.exe)");
  EXPECT_EQ(kExitNotInstalled, Run({"/set", R"(Other Browser\b.exe)"}));
  EXPECT_TRUE(console_.err.starts_with(
      "\"Other Browser\\b.exe\" is neither a preset nor a full path. A run may start in any "
      "folder (a logon script starts in the Windows folder)"))
      << console_.err;
  EXPECT_EQ(kExitNotInstalled, Run({"/check", R"(Other Browser\b.exe)"}));
  fake_->files.insert(R"(C:\Apps\100%\b.exe)");
  EXPECT_EQ(kExitNotInstalled, Run({"/set", R"(C:\Apps\100%\b.exe)"}));
  EXPECT_EQ(before, State());
  EXPECT_FALSE(Wrote());
  EXPECT_EQ(0u, Backups());
}

TEST_F(UnattendedTest, OnceLeavesAloneWhatItSetBefore) {
  EXPECT_EQ(kExitDone, Run({"/set", "Maxthon", "/once"}));
  EXPECT_EQ("Maxthon", User(kOnceKey, kOnceValue));
  // The user chooses another browser; the next logon's script leaves it.
  EXPECT_EQ(kExitDone, Run({"/set", "GreenBrowser"}));
  EXPECT_EQ(kExitDone, Run({"/set", "MAXTHON", "/once"}));
  EXPECT_EQ("Maxthon was set once for this user before, so nothing was changed.\n", console_.out);
  EXPECT_FALSE(Wrote());
  EXPECT_EQ(2u, Backups());
  EXPECT_EQ(R"("C:\Program Files\GreenBrowser\GreenBrowser.exe" "%1")", User(kHttpCommand));
  // Another browser set once is applied, and remembered instead.
  EXPECT_EQ(kExitDone, Run({"/set", "Mozilla Firefox", "/once"}));
  EXPECT_EQ(3u, Backups());
  EXPECT_EQ("Mozilla Firefox", User(kOnceKey, kOnceValue));
}

TEST_F(UnattendedTest, ASetThatWouldChangeNothingWritesNothingAndKeepsNoBackup) {
  SeedOtherBrowser();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  for (const auto& args : {std::vector<std::string>{"/set", "maxthon"},
                           std::vector<std::string>{"/set", "maxthon", "/once"}}) {
    EXPECT_EQ(kExitDone, Run(args));
    EXPECT_EQ("Every setting of Maxthon is in place, so nothing was changed.\n", console_.out);
    EXPECT_FALSE(Wrote()) << args.size();
    EXPECT_EQ(1u, Backups()) << args.size();
  }
  // Set once though it was in place already: a later choice of the user's is left alone.
  EXPECT_EQ("Maxthon", User(kOnceKey, kOnceValue));

  // A machine-wide value that differs counts where the account may write it, and only there.
  constexpr char kClient[] = R"(Software\Clients\StartMenuInternet\Maxthon.exe\shell\open\command)";
  ASSERT_TRUE(host_->Seed(Hive::kLocalMachine, kClient, "", kRegSz, TextToRegBytes("other.exe")));
  if (host_->RefusesMachineWrites()) {
    std::unique_ptr<TestRegistry> user = host_->Open(false);
    ASSERT_TRUE(user);
    Use(&user->registry(), &user->route());
    EXPECT_EQ(kExitDone, Run({"/set", "Maxthon"}));
    EXPECT_EQ(0u, Backups());
    EXPECT_FALSE(Wrote());
    Use(&reg_->registry(), &reg_->route());
  }
  if (!host_->CanWriteMachine()) return;
  const size_t backups = Backups();
  EXPECT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  EXPECT_EQ(kMaxthonLine + std::string("\n"), console_.out);
  EXPECT_EQ(backups + 1, Backups());
  EXPECT_TRUE(Wrote());
}

// The automation objects are made when a command needs them, not by the load step: a command
// that needs none runs where they cannot be created, and one that needs them fails as the load
// step would have, before anything changes.
TEST_F(UnattendedTest, EachCommandMakesOnlyTheAutomationObjectsItNeeds) {
  SeedOtherBrowser();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  constexpr char kFso[] = "Scripting.FileSystemObject";
  const struct {
    std::vector<std::string> args;
    std::string makes;
  } rows[] = {
      {{"/?"}, ""},
      {{"/query"}, ""},
      {{"/list"}, kFso},
      {{"/check", "Maxthon"}, kFso},
      {{"/set", "Maxthon"}, kFso},  // every setting in place: nothing to write
      {{"/set", "GreenBrowser"}, Concat({kFso, " WScript.Shell"})},
      {{"/undo"}, ""},
      {{"/reset"}, ""},
  };
  for (const auto& row : rows) {
    Run(row.args);
    std::string made;
    for (const std::string& call : fake_->calls) {
      if (call.starts_with("Create ")) made += (made.empty() ? "" : " ") + call.substr(7);
    }
    EXPECT_EQ(row.makes, made) << row.args[0];
  }

  const size_t backups = Backups();
  fake_->fail_prog_id = "WScript.Shell";
  EXPECT_EQ(kExitRefused, Run({"/set", "Maxthon"}));
  EXPECT_EQ(ObjectCreationFailedMessage("WScript.Shell", "class not registered") + "\n",
            console_.err);
  EXPECT_FALSE(Wrote());
  EXPECT_EQ(backups, Backups());
  EXPECT_EQ(kExitNotInPlace, Run({"/check", "Maxthon"}));
  fake_->fail_prog_id = kFso;
  EXPECT_EQ(kExitRefused, Run({"/check", "Maxthon"}));
  EXPECT_EQ(ObjectCreationFailedMessage(kFso, "class not registered") + "\n", console_.err);
  EXPECT_EQ(kExitDone, Run({"/query"}));
}

TEST_F(UnattendedTest, ACustomSetChangesNothingOnlyWhenWhatItDeletesHoldsNothingElse) {
  ASSERT_EQ(kExitDone, Run({"/set", kCustom}));
  EXPECT_EQ(kExitDone, Run({"/set", kCustom}));
  EXPECT_EQ(Concat({"Every setting of ", kCustom, " is in place, so nothing was changed.\n"}),
            console_.out);
  EXPECT_EQ(1u, Backups());
  // A key, or a value, that the deletions would take and the writes not put back.
  for (const auto& [key, name] :
       {std::pair<const char*, const char*>{R"(Software\Classes\.xml)", ""},
        {R"(Software\Classes\http)", "EditFlags"}}) {
    ASSERT_TRUE(host_->Seed(Hive::kCurrentUser, key, name, kRegSz, TextToRegBytes("x")));
    const size_t backups = Backups();
    EXPECT_EQ(kExitDone, Run({"/set", kCustom})) << key;
    EXPECT_EQ(backups + 1, Backups()) << key;
    EXPECT_EQ("", User(key, name)) << key;
  }
}

TEST_F(UnattendedTest, ResetAndUndoForgetTheBrowserSetOnce) {
  for (const char* rollback : {"/reset", "/undo"}) {
    ASSERT_EQ(kExitDone, Run({"/set", "Maxthon", "/once"}));
    ASSERT_EQ("Maxthon", User(kOnceKey, kOnceValue));
    EXPECT_EQ(kExitDone, Run({rollback})) << console_.err;
    EXPECT_EQ("", User(kOnceKey, kOnceValue)) << rollback;
    EXPECT_EQ("", console_.err) << rollback;
    // So the next logon's script applies it again.
    EXPECT_EQ(kExitDone, Run({"/set", "Maxthon", "/once"}));
    EXPECT_EQ(kMaxthonLine + std::string("\n"), console_.out) << rollback;
    ASSERT_EQ(kExitDone, Run({"/reset"}));
  }
}

// An import that fails once, after it made the first half of its edits, as Windows may.
class FailingOnce final : public RegistryImporter {
 public:
  explicit FailingOnce(RegistryImporter* inner) : inner_(inner) {}
  bool Import(std::span<const RegEdit> edits, std::string* err) override {
    if (!fail_) return inner_->Import(edits, err);
    fail_ = false;
    inner_->Import(edits.first(edits.size() / 2), err);
    *err = "HKEY_CURRENT_USER\\Software\\Classes\\http: access denied";
    return false;
  }

 private:
  RegistryImporter* inner_;
  bool fail_ = true;
};

TEST_F(UnattendedTest, AFailedUndoRetriedRestoresWhatTheFirstShouldHave) {
  SeedOtherBrowser();
  const std::string other = State();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  const std::string maxthon = State();
  FailingOnce importer(&reg_->importer());
  importer_ = &importer;
  EXPECT_EQ(kExitWritesFailed, Run({"/undo"}));
  importer_ = nullptr;
  EXPECT_EQ("Not every setting saved in \"" + fake_->backups.saved[0].file +
                "\" could be restored: HKEY_CURRENT_USER\\Software\\Classes\\http: access "
                "denied. The settings are as they were before.\n",
            console_.err);
  EXPECT_EQ(maxthon, State());
  EXPECT_EQ(1u, Backups());
  EXPECT_EQ(kExitDone, Run({"/undo"}));
  EXPECT_EQ(other, State());
}

TEST_F(UnattendedTest, ResetQueryAndCheckReportWhatTheWindowShows) {
  EXPECT_EQ(kExitDone, Run({"/query"}));
  EXPECT_EQ("", console_.out);
  EXPECT_EQ(kExitNotInPlace, Run({"/check", "Maxthon"}));

  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  EXPECT_EQ(kExitDone, Run({"/query"}));
  EXPECT_EQ("Maxthon Web Browser\n", console_.out);
  EXPECT_EQ(kExitDone, Run({"/check", "maxthon"}));
  EXPECT_EQ("Every setting of Maxthon is in place.\n", console_.out);

  // One value changed behind the program's back is the one named.
  ASSERT_TRUE(host_->Seed(Hive::kCurrentUser, kHttpCommand, "", kRegSz,
                          TextToRegBytes(R"("C:\Other\o.exe" "%1")")));
  EXPECT_EQ(kExitNotInPlace, Run({"/check", "Maxthon"}));
  EXPECT_EQ("HKEY_CURRENT_USER\\Software\\Classes\\http\\Shell\\MyHTMLFile\\Command\\\n",
            console_.out);
  EXPECT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  EXPECT_EQ(kExitDone, Run({"/check", "Maxthon"}));

  EXPECT_EQ(kExitDone, Run({"/reset"}));
  EXPECT_EQ("Per-user settings are cleared. System default browser will be used from now on.\n",
            console_.out);
  EXPECT_EQ("Reset", fake_->backups.saved.back().what);
  EXPECT_EQ("", User(kHttpCommand));
}

TEST_F(UnattendedTest, ListMarksThePresetInPlaceAndTellsWhichAreInstalled) {
  ASSERT_EQ(kExitDone, Run({"/set", "Mozilla Firefox"}));
  EXPECT_EQ(kExitDone, Run({"/list"}));
  EXPECT_EQ(
      "  GreenBrowser          installed\n"
      "  Internet Explorer 6   not installed\n"
      "  Maxthon               installed\n"
      "  SlimBrowser           not installed\n"
      "  Crazy Browser         not installed\n"
      "* Mozilla Firefox       installed\n"
      "  Deepnet Explorer      not installed\n"
      "  Avant Browser         not installed\n",
      console_.out);
}

TEST_F(UnattendedTest, UndoRestoresTheNewestBackupAndASecondUndoRedoes) {
  EXPECT_EQ(kExitNoBackup, Run({"/undo"}));
  EXPECT_EQ("There is no backup to undo in \"" + fake_->backups.path + "\".\n", console_.err);

  SeedOtherBrowser();
  const std::string other = State();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  const std::string maxthon = State();
  ASSERT_NE(other, maxthon);

  EXPECT_EQ(kExitDone, Run({"/undo"}));
  EXPECT_EQ("The settings saved in \"" + fake_->backups.saved[0].file + "\" are restored.\n",
            console_.out);
  EXPECT_EQ(other, State());
  ASSERT_EQ(2u, Backups());
  EXPECT_EQ("Undo", fake_->backups.saved[1].what);

  EXPECT_EQ(kExitDone, Run({"/undo"})) << console_.err;
  EXPECT_EQ(maxthon, State());
  EXPECT_EQ(3u, Backups());

  fake_->backups.saved.back().bytes = "not a registry file";
  EXPECT_EQ(kExitNoBackup, Run({"/undo"}));
  EXPECT_EQ(maxthon, State());
}

TEST_F(UnattendedTest, UndoImportsNothingOfABackupThatReachesBeyondWhatTheProgramChanges) {
  SeedOtherBrowser();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  const std::string maxthon = State();
  auto plant = [&](const std::string& text) {
    fake_->backups.saved.push_back({"Planted", EncodeUtf16LeWithBom(text), "planted.reg"});
  };
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string http =
      "[HKEY_CURRENT_USER\\Software\\Classes\\http\\Shell\\MyHTMLFile\\Command]\r\n"
      "@=\"evil.exe \\\"%1\\\"\"\r\n";
  plant(header + http +
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Updater\"=\"C:\\\\evil.exe\"\r\n");
  EXPECT_EQ(kExitNoBackup, Run({"/undo"}));
  EXPECT_EQ(
      "The backup \"planted.reg\" cannot be read: it changes "
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run], which "
      "Tarnwick never does. Nothing was changed.\n",
      console_.err);
  EXPECT_EQ(maxthon, State());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(
      ReadRegistryValue(reg_->registry(), Hive::kLocalMachine,
                        R"(Software\Microsoft\Windows\CurrentVersion\Run)", "Updater")));

  // The same in place, but as a type the program never writes there.
  fake_->backups.saved.pop_back();
  plant(header + http + "[HKEY_CURRENT_USER\\" + kIeMain +
        "]\r\n\"Check_Associations\"=hex:01\r\n");
  EXPECT_EQ(kExitNoBackup, Run({"/undo"}));
  EXPECT_NE(std::string::npos, console_.err.find("Check_Associations as type 3")) << console_.err;
  EXPECT_EQ(maxthon, State());
}

TEST_F(UnattendedTest, AFailedBackupChangesNothing) {
  SeedOtherBrowser();
  const std::string before = State();
  fake_->backups.fail_reason = "access is denied";
  EXPECT_EQ(kExitBackupFailed, Run({"/set", "Maxthon"}));
  EXPECT_EQ("Your current settings could not be saved to \"" + fake_->backups.path +
                "\" (access is denied), so nothing was changed.\n",
            console_.err);
  EXPECT_EQ(kExitBackupFailed, Run({"/reset"}));
  EXPECT_EQ(before, State());
  fake_->backups.fail_reason.clear();
  ASSERT_EQ(kExitDone, Run({"/set", "Maxthon"}));
  fake_->backups.fail_reason = "access is denied";
  EXPECT_EQ(kExitBackupFailed, Run({"/undo"}));
  EXPECT_EQ(R"("C:\Program Files\Maxthon\Maxthon.exe" "%1")", User(kHttpCommand));
}

TEST_F(UnattendedTest, RefusedWritesAndKeysAreReportedWithTheWindowsTexts) {
  std::vector<std::string> calls;
  RecordingRegistry locked(&calls);
  locked.locked = {R"(Software\Classes\http)"};
  AcceptingWriteRoute route;
  route.refused = {R"(HKCU\Software\Classes\http\Shell\)"};
  Use(&locked, &route);
  EXPECT_EQ(kExitWritesFailed, Run({"/set", "Maxthon"}));
  EXPECT_EQ(
      "1 of 28 settings could not be written, so the browser is not fully set as your default. "
      "Press Apply to try again.\n",
      console_.err);
  EXPECT_EQ(kExitResetIncomplete, Run({"/reset"}));
  EXPECT_EQ(
      "Not all per-user settings could be cleared. These keys remain:\n"
      "HKEY_CURRENT_USER\\Software\\Classes\\http\n",
      console_.err);
  EXPECT_EQ("", console_.out);
}

TEST_F(UnattendedTest, AnotherWindowsIsRefusedWithTheWindowsMessage) {
  fake_->version = {2, 5, 0};
  EXPECT_EQ(kExitRefused, Run({"/query"}));
  EXPECT_EQ(std::string(kRefusalMessage) + "\n", console_.err);
  EXPECT_EQ(kExitRefused, Run({"/set", "Maxthon"}));
  EXPECT_FALSE(Wrote());
}

TEST_F(UnattendedTest, ARegistryThatCannotBeOpenedIsSaidAndLogged) {
  const std::string why = "open /home/ann/user.hive: file is not a database";
  EXPECT_EQ(kExitRefused, Run({"/set", "Maxthon", "/log", "t.log"}, Spelling::kWindows, why));
  EXPECT_EQ(why + "\n", console_.err);
  ASSERT_EQ(1u, logs_.files["t.log"].size());
  EXPECT_TRUE(logs_.files["t.log"][0].ends_with("\t" + why + "\t2"));
  EXPECT_FALSE(Wrote());
  EXPECT_EQ(kExitDone, Run({"/?"}, Spelling::kWindows, why));
}

// An importer that fails as nothing in the program foresees.
class ThrowingImporter final : public RegistryImporter {
 public:
  bool Import(std::span<const RegEdit>, std::string*) override { throw std::bad_alloc(); }
};

TEST_F(UnattendedTest, AnUnforeseenFailureEndsTheRunWithItsCodeSaidAndLogged) {
  ThrowingImporter importer;
  importer_ = &importer;
  EXPECT_EQ(kExitFailed, Run({"/set", "Maxthon", "/once", "/log", "t.log"}));
  EXPECT_EQ("The run failed unexpectedly (std::bad_alloc); what it changed is not known.\n",
            console_.err);
  ASSERT_EQ(1u, logs_.files["t.log"].size());
  EXPECT_TRUE(logs_.files["t.log"][0].ends_with("what it changed is not known.\t8"));
}

TEST_F(UnattendedTest, BadCommandLinesGetTheUsageAndHelpIsNoFailure) {
  EXPECT_EQ(kExitBadCommandLine, Run({"/sett", "Maxthon"}));
  EXPECT_TRUE(console_.err.starts_with("unknown switch \"/sett\"\n\nUsage: Tarnwick.exe"))
      << console_.err;
  EXPECT_EQ(kExitDone, Run({"/?"}));
  EXPECT_TRUE(console_.out.starts_with("Usage: Tarnwick.exe")) << console_.out;
  EXPECT_EQ(kExitDone, Run({"--help"}, Spelling::kLinux));
  EXPECT_NE(std::string::npos, console_.out.find("  --set NAME|PATH"));
}

TEST_F(UnattendedTest, TheLogGetsOneLinePerRunAndQuietPrintsNothing) {
  EXPECT_EQ(kExitDone, Run({"/set", "Maxthon", "/log", "t.log", "/quiet"}));
  EXPECT_EQ("", console_.out + console_.err);
  EXPECT_EQ(kExitNotInPlace, Run({"/log", "t.log", "/check", "GreenBrowser", "/quiet"}));
  EXPECT_EQ(kExitBadCommandLine, Run({"/log", "t.log", "/bogus"}));
  ASSERT_EQ(3u, logs_.files["t.log"].size());
  EXPECT_EQ(std::string("2024-03-07T10:30:00+01:00\tPC-042\tann\tTarnwick.exe /set Maxthon /log "
                        "t.log /quiet\t") +
                kMaxthonLine + "\t0",
            logs_.files["t.log"][0]);
  EXPECT_TRUE(logs_.files["t.log"][1].ends_with("\t10"));
  EXPECT_NE(std::string::npos, logs_.files["t.log"][1].find("\\Command\\ | HKEY_CURRENT_USER"));
  EXPECT_TRUE(logs_.files["t.log"][2].ends_with("\tunknown switch \"/bogus\"\t1"));

  // A log that cannot be written is said, and the run's own exit code stays.
  logs_.fail_reason = "access is denied";
  EXPECT_EQ(kExitDone, Run({"/query", "/log", R"(\\srv\logs\t.log)"}));
  EXPECT_EQ("The log \"\\\\srv\\logs\\t.log\" could not be written: access is denied.\n",
            console_.err);
}

}  // namespace
}  // namespace tarnwick
