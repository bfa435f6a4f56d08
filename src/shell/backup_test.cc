#include "shell/backup.h"

#include "registry/engine_test.h"
#include "registry/reg_file.h"
#include "shell/fake_platform.h"
#include "shell/startup.h"

namespace tarnwick {
namespace {

constexpr char kHttp[] = R"(Software\Classes\http)";

// Option values with option `number` (1 ... 8) selected.
std::array<bool, kPresetCount> Selected(int number) {
  std::array<bool, kPresetCount> options = {};
  options[number - 1] = true;
  return options;
}

class BackupTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!reg_) return;
    platform_ = fake_.platform();
    platform_.registry = &registry();
  }

  /// The edits the saved file holds.
  std::vector<RegEdit> Read(const FakeBackupFolder::Saved& saved) {
    std::vector<RegEdit> edits;
    std::string err;
    EXPECT_TRUE(ParseRegFile(saved.bytes, &edits, &err)) << err;
    return edits;
  }

  FakePlatform fake_{nullptr, nullptr};
  Platform platform_;
};

TEST_F(BackupTest, EachOperationSavesARegistryFileNamedForItAndChangesNothing) {
  SeedText(Hive::kCurrentUser, std::string(kHttp) + R"(\shell\open\command)", "", "other.exe");

  const BackupResult reset = BackUpBeforeReset(platform_);
  ASSERT_TRUE(reset.saved()) << reset.reason;
  EXPECT_EQ(fake_.backups.path, reset.folder);
  ASSERT_EQ(1u, fake_.backups.saved.size());
  const FakeBackupFolder::Saved& saved = fake_.backups.saved[0];
  EXPECT_EQ("Reset", saved.what);
  EXPECT_EQ(saved.file, reset.file);
  // As the registry editor saves: UTF-16LE after a byte-order mark, the version line, CRLF.
  EXPECT_EQ(0u, saved.bytes.find(EncodeUtf16LeWithBom("Windows Registry Editor Version 5.00\r\n")));
  const std::vector<RegEdit> edits = Read(saved);
  ASSERT_FALSE(edits.empty());
  EXPECT_EQ(RegEdit::Op::kDeleteKey, edits[0].op);
  EXPECT_EQ(kHttp, edits[0].path);
  // Reading changed nothing.
  EXPECT_EQ(RegistryValue(std::string("other.exe")),
            ReadUser(std::string(kHttp) + R"(\shell\open\command)"));

  ASSERT_TRUE(BackUpBeforePresetApply(platform_, Selected(2)).saved());
  ASSERT_TRUE(BackUpBeforePresetApply(platform_, {}).saved());
  ASSERT_TRUE(BackUpBeforeCustomApply(platform_).saved());
  EXPECT_EQ((std::vector<std::string>{"Backup Save Reset", "Backup Save Apply Internet Explorer 6",
                                      "Backup Save Apply", "Backup Save Apply custom"}),
            fake_.calls);
}

TEST_F(BackupTest, TheWordsOfEachPresetAreItsCaption) {
  EXPECT_EQ("Apply GreenBrowser", PresetApplyBackupName(Selected(1)));
  EXPECT_EQ("Apply Mozilla Firefox", PresetApplyBackupName(Selected(6)));
  EXPECT_EQ("Apply Avant Browser", PresetApplyBackupName(Selected(8)));
  EXPECT_EQ("Apply", PresetApplyBackupName({}));
}

TEST_F(BackupTest, AFolderThatRefusesTheFileStopsWithItsReason) {
  fake_.backups.fail_reason = "access is denied";
  const BackupResult result = BackUpBeforeCustomApply(platform_);
  EXPECT_FALSE(result.saved());
  EXPECT_EQ("access is denied", result.reason);
  EXPECT_EQ(
      "Your current settings could not be saved to \"C:\\Documents and Settings\\Ann\\"
      "Application Data\\Tarnwick\\Backups\" (access is denied), so nothing was changed.",
      BackupFailedMessage(result));
}

// A registry whose keys can be opened but not listed.
class UnlistableRegistry final : public ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long EnumKey(KeyHandle, uint32_t, std::string*) override { return kErrorAccessDenied; }
};

TEST_F(BackupTest, ARegistryThatCannotBeReadStopsBeforeAnyFileIsSaved) {
  SeedText(Hive::kCurrentUser, std::string(kHttp) + R"(\shell)", "", "open");
  UnlistableRegistry unlistable(&registry());
  platform_.registry = &unlistable;
  const BackupResult result = BackUpBeforeReset(platform_);
  EXPECT_FALSE(result.saved());
  EXPECT_EQ(fake_.backups.path, result.folder);
  EXPECT_EQ(R"(HKEY_CURRENT_USER\Software\Classes: access denied)", result.reason);
  EXPECT_TRUE(fake_.calls.empty());

  platform_.registry = nullptr;
  EXPECT_EQ("the registry cannot be read", BackUpBeforeReset(platform_).reason);
  platform_.backups = nullptr;
  EXPECT_FALSE(BackUpBeforeReset(platform_).saved());
}

}  // namespace
}  // namespace tarnwick
