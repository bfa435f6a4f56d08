// A backup brings back exactly what its operation changed: both hives are dumped, the backup is
// saved as the window saves it, the operation runs through the engine, the backup is imported
// with the user's own tool (tarnwick-reg on the stand-in, regedit under Windows), and the dump
// must be the same as before, to the byte, the spelling and the order of values.
#include <array>
#include <string>

#include "registry/browser_profile.h"
#include "registry/engine_test.h"
#include "registry/per_user_reset.h"
#include "registry/reg_file.h"
#include "registry/registry_dump_for_test.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "selection/selection_fakes_for_test.h"
#include "shell/backup.h"
#include "shell/fake_platform.h"

namespace tarnwick {
namespace {

constexpr Hive kUser = Hive::kCurrentUser;
constexpr Hive kMachine = Hive::kLocalMachine;

// What the round trip runs: the reset, a preset apply of option 1 ... 8, or the custom apply.
enum class Operation { kReset, kPreset, kCustom };
struct Case {
  Operation operation;
  int option;   // for kPreset
  bool seeded;  // other programs' registrations in place first
};

std::string Name(const Case& c) {
  std::string name;
  switch (c.operation) {
    case Operation::kReset:
      name = "Reset";
      break;
    case Operation::kPreset:
      name = "Preset" + std::to_string(c.option);
      break;
    case Operation::kCustom:
      name = "Custom";
      break;
  }
  return name + (c.seeded ? "Seeded" : "Empty");
}

std::string CaseName(const testing::TestParamInfo<Case>& info) { return Name(info.param); }

void PrintTo(const Case& c, std::ostream* os) { *os << Name(c); }

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) { return bytes; }

class BackupRoundTripTest : public EngineTest, public testing::WithParamInterface<Case> {
 protected:
  /// The user's hive, and the machine's software keys but its class registrations and
  /// Microsoft's own, and their 32-bit views on 64-bit Windows: thousands of keys, which no
  /// operation touches.
  std::string Dump() {
    return DumpRegistry(registry(), kUser, "") +
           DumpRegistry(registry(), kMachine, "SOFTWARE",
                        {R"(SOFTWARE\Classes)", R"(SOFTWARE\Microsoft)",
                         R"(SOFTWARE\Wow6432Node\Classes)", R"(SOFTWARE\Wow6432Node\Microsoft)"});
  }

  /// Registrations of other programs under the very keys the operations delete and write,
  /// with values of every type.
  void SeedOtherPrograms() {
    const std::string classes = R"(Software\Classes\)";
    SeedText(kUser, classes + "http", "", "URL:HyperText Transfer Protocol");
    SeedBytes(kUser, classes + "http", "EditFlags", kRegBinary, Bytes({2, 0, 0, 0}));
    SeedText(kUser, classes + "http", "URL Protocol", "");
    SeedText(kUser, classes + R"(http\shell\open\command)", "", R"("C:\Other\other.exe" "%1")");
    SeedBytes(kUser, classes + R"(http\shell\open\ddeexec)", "NoActivateHandler", kRegNone, {});
    SeedText(kUser, classes + R"(ftp\shell\open\ddeexec\Application)", "", "Other");
    SeedText(kUser, classes + ".htm", "", "htmlfile");
    SeedText(kUser, classes + ".htm", "Content Type", "text/html");
    SeedBytes(kUser, classes + ".xml", "PerceivedTypes", kRegMultiSz,
              Bytes({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
    SeedText(kUser, classes + R"(MYHTMLFILE\Shell\Open\Command)", "", "old.exe", kRegExpandSz);
    SeedBytes(kUser, classes + "MyHTMLfile", "Odd", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    SeedText(kUser, classes + "MyInternetShortcut", "IsShortcut", "yes");
    SeedText(kUser, classes + "MyInternetShortcut", "Keep", "mine");
    SeedBytes(kUser, classes + "MyInternetShortcut", "EditFlags", kRegDword, Bytes({7, 0, 0, 0}));
    // A text without its final NUL (where the importer keeps it so) and one with a quote, a
    // backslash and a line break.
    if (host_->ImportKeepsTextBytes(ImportRoute::kRegFile)) {
      SeedBytes(kUser, classes + ".url", "", kRegSz, Bytes({'I', 0, 'n', 0}));
    }
    SeedText(kUser, classes + ".url", "Note", "say \"hi\" \\ to\r\nall");
    const std::string file_exts = R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\)";
    SeedText(kUser, file_exts + R"(.htm\OpenWithList)", "a", "other.exe");
    SeedText(kUser, file_exts + R"(.htm\OpenWithList)", "MRUList", "a");
    SeedBytes(kUser, file_exts + R"(.htm\OpenWithProgids)", "htmlfile", kRegNone, {});
    SeedText(kUser, R"(Software\Microsoft\Internet Explorer\Main)", "Check_Associations", "yes");
    SeedText(kUser, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page", "about:blank");
    SeedText(kUser, R"(Software\Clients\StartMenuInternet)", "", "OTHER.EXE");
    const std::string green = R"(SOFTWARE\Clients\StartMenuInternet\GreenBrowser.exe)";
    SeedText(kMachine, green, "", "GreenBrowser");
    SeedText(kMachine, green, "LocalizedString", "Old Green");
    SeedBytes(kMachine, green, "Extra", kRegDword, Bytes({9, 0, 0, 0}));
    SeedText(kMachine, green + R"(\shell\open\command)", "", R"(C:\Old\GreenBrowser.exe)");
    SeedText(kMachine, green + R"(\DefaultIcon)", "", "%ProgramFiles%\\g.exe,0", kRegExpandSz);
  }

  /// The window's platform with this registry, saving backups in memory.
  Platform MakePlatform() {
    Platform platform = fake_.platform();
    platform.registry = &registry();
    return platform;
  }

  BackupResult BackUp(const Platform& platform) {
    const Case& c = GetParam();
    switch (c.operation) {
      case Operation::kReset:
        return BackUpBeforeReset(platform);
      case Operation::kPreset:
        return BackUpBeforePresetApply(platform, Options());
      case Operation::kCustom:
        return BackUpBeforeCustomApply(platform);
    }
    return {};
  }

  void RunOperation() {
    SelectionContext ctx;
    ctx.profile = &profile_;
    ctx.writer = &writer();
    ctx.registry = &registry();
    ctx.fso = &files_;
    ctx.environment = &environment_;
    switch (GetParam().operation) {
      case Operation::kReset:
        delperuserkeys(registry());
        break;
      case Operation::kPreset:
        ASSERT_EQ(PresetApplyResult::kApplied, PresetApply(ctx, Options()));
        break;
      case Operation::kCustom:
        ASSERT_EQ(CustomApplyResult::kApplied, CustomApply(ctx, R"(C:\Apps\My Browser\b.exe)"));
        break;
    }
  }

  std::array<bool, kPresetCount> Options() const {
    std::array<bool, kPresetCount> options = {};
    if (GetParam().operation == Operation::kPreset) options[GetParam().option - 1] = true;
    return options;
  }

  /// Saves the backup, runs the operation, imports the backup; the dump must be as before.
  void RoundTrip(const Platform& platform) {
    const std::string before = Dump();
    const BackupResult backup = BackUp(platform);
    ASSERT_TRUE(backup.saved()) << backup.reason;
    ASSERT_EQ(before, Dump()) << "saving the backup changed the registry";
    RunOperation();
    const std::string changed = Dump();
    ASSERT_FALSE(HasFailure());
    const std::string bytes = fake_.backups.saved.back().bytes;
    std::string err;
    // An undo takes it: it stays inside what the program changes.
    std::vector<RegEdit> edits;
    ASSERT_TRUE(ParseRegFile(bytes, &edits, &err)) << err;
    EXPECT_TRUE(EditsWithin(reg_->registry(), ScopeOfEveryChange(), edits, &err)) << err;
    ASSERT_TRUE(reg_->ImportRegFile(bytes, &err)) << err;
    const std::string after = Dump();
    EXPECT_EQ(before, after) << FirstDifference(before, after) << "\nThe operation made:\n"
                             << FirstDifference(before, changed) << "\nThe backup:\n"
                             << Text(bytes);
  }

  // The first line in which `a` and `b` differ, both versions.
  static std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t start = 0;
    while (true) {
      const size_t end_a = a.find('\n', start), end_b = b.find('\n', start);
      const std::string line_a = a.substr(start, end_a - start);
      const std::string line_b = b.substr(start, end_b - start);
      if (line_a != line_b || end_a == std::string::npos || end_b == std::string::npos) {
        return "- " + line_a + "\n+ " + line_b;
      }
      start = end_a + 1;
    }
  }

  static std::string Text(const std::string& bytes) {
    std::vector<RegEdit> edits;
    std::string err;
    return ParseRegFile(bytes, &edits, &err) ? FormatRegFile(edits) : err;
  }

  FakePlatform fake_{nullptr, nullptr};
  BrowserProfile profile_;
  FakeFiles files_{/*every=*/true};
  ProgramFilesEnvironment environment_;
};

TEST_P(BackupRoundTripTest, ImportingTheBackupBringsEverythingBack) {
  if (GetParam().seeded) SeedOtherPrograms();
  RoundTrip(MakePlatform());
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (bool seeded : {true, false}) {
    cases.push_back({Operation::kReset, 0, seeded});
    for (int option = 1; option <= 8; ++option)
      cases.push_back({Operation::kPreset, option, seeded});
    cases.push_back({Operation::kCustom, 0, seeded});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Operations, BackupRoundTripTest, testing::ValuesIn(AllCases()), CaseName);

// Without administrator rights the machine's client keys are neither written nor saved.
class BackupWithoutAdministratorTest : public BackupRoundTripTest {};

TEST_P(BackupWithoutAdministratorTest, HoldsNoMachineKeysAndStillBringsEverythingBack) {
  if (!host_->RefusesMachineWrites()) GTEST_SKIP() << "machine writes cannot be refused here";
  ASSERT_TRUE(Open(false));
  SeedOtherPrograms();
  RoundTrip(MakePlatform());
  std::vector<RegEdit> edits;
  std::string err;
  ASSERT_TRUE(ParseRegFile(fake_.backups.saved.back().bytes, &edits, &err)) << err;
  for (const RegEdit& edit : edits) EXPECT_EQ(kUser, edit.hive) << edit.path;
}

INSTANTIATE_TEST_SUITE_P(Operations, BackupWithoutAdministratorTest,
                         testing::Values(Case{Operation::kPreset, 1, true},
                                         Case{Operation::kPreset, 3, true},
                                         Case{Operation::kCustom, 0, true}),
                         CaseName);

}  // namespace
}  // namespace tarnwick
