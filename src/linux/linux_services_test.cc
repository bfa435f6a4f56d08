#include "linux/linux_services.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "registry/registry.h"
#include "selection/picker.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(LinuxPathTest, BackslashesBecomeSlashesAndTheDriveGoes) {
  EXPECT_EQ("/Program Files/Opera/opera.exe",
            LinuxPathFromWindows(R"(C:\Program Files\Opera\opera.exe)"));
  EXPECT_EQ("/opt/apps/Maxthon/Maxthon.exe",
            LinuxPathFromWindows(R"(/opt/apps\Maxthon\Maxthon.exe)"));
  EXPECT_EQ("/Maxthon/Maxthon.exe", LinuxPathFromWindows(R"(\Maxthon\Maxthon.exe)"));
  EXPECT_EQ("/x.exe", LinuxPathFromWindows("d:x.exe"));
  EXPECT_EQ("apps/x.exe", LinuxPathFromWindows(R"(apps\x.exe)"));
  EXPECT_EQ("1:/x", LinuxPathFromWindows("1:/x"));  // no drive letter
}

TEST(ExpandWindowsVariablesTest, NamesMatchWithoutCase) {
  const char* env[] = {"ProgramFiles=/opt/programs", "HOME=/home/u", "EMPTY=", nullptr};
  EXPECT_EQ("/opt/programs", ExpandWindowsVariables("%Programfiles%", env));
  EXPECT_EQ("/opt/programs\\Opera", ExpandWindowsVariables("%PROGRAMFILES%\\Opera", env));
  EXPECT_EQ("a/home/u-", ExpandWindowsVariables("a%home%-", env));
  EXPECT_EQ("", ExpandWindowsVariables("%empty%", env));
}

TEST(ExpandWindowsVariablesTest, UnknownNamesAndLonePercentsStay) {
  const char* env[] = {"A=1", nullptr};
  EXPECT_EQ("%Programfiles%", ExpandWindowsVariables("%Programfiles%", env));
  EXPECT_EQ("50%", ExpandWindowsVariables("50%", env));
  EXPECT_EQ("%%", ExpandWindowsVariables("%%", env));
  EXPECT_EQ("x%y1", ExpandWindowsVariables("x%y%A%", env));  // the second "%" opens "%A%"
  EXPECT_EQ("%A", ExpandWindowsVariables("%A", nullptr));
}

TEST(DialogStartFolderTest, ExpandsToAFolderOrFallsBackHome) {
  const fs::path dir = fs::temp_directory_path() / ("tarnwick-start-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const char* saved_home = std::getenv("HOME");
  const std::string home = saved_home ? saved_home : "";
  setenv("HOME", dir.c_str(), 1);
  setenv("ProgramFiles", dir.c_str(), 1);
  EXPECT_EQ(dir.string(), DialogStartFolder("%Programfiles%"));
  setenv("ProgramFiles", (dir / "missing").c_str(), 1);
  EXPECT_EQ(dir.string(), DialogStartFolder("%Programfiles%"));
  unsetenv("ProgramFiles");
  EXPECT_EQ(dir.string(), DialogStartFolder("%Programfiles%"));
  if (saved_home)
    setenv("HOME", home.c_str(), 1);
  else
    unsetenv("HOME");
  fs::remove_all(dir);
}

class FileSystemObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() / ("tarnwick-fso-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Programs" / "Mozilla Firefox");
    std::ofstream(root_ / "Programs" / "Mozilla Firefox" / "firefox.exe") << "MZ";
    fs::create_directories(root_ / "Programs" / "Folder.exe");
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Windows(const std::string& tail) {
    std::string path = root_.string() + tail;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    return path;
  }

  fs::path root_;
  PosixFileSystemObject fso_;
};

TEST_F(FileSystemObjectTest, FindsTheFileTheCatalogueNames) {
  // ProgramFiles from the Linux environment, the tail as the catalogue spells it.
  EXPECT_TRUE(fso_.FileExists((root_ / "Programs").string() + R"(\Mozilla Firefox\firefox.exe)"));
  EXPECT_TRUE(fso_.FileExists(Windows("/Programs/Mozilla Firefox/firefox.exe")));
}

TEST_F(FileSystemObjectTest, NamesCompareWithoutCase) {
  EXPECT_TRUE(fso_.FileExists(Windows("/PROGRAMS/mozilla firefox/FIREFOX.EXE")));
  EXPECT_FALSE(fso_.FileExists(Windows("/Programs/Mozilla Firefox/firefox.ex")));
}

TEST_F(FileSystemObjectTest, FoldersAndNothingAreNoFiles) {
  EXPECT_FALSE(fso_.FileExists(Windows("/Programs/Folder.exe")));
  EXPECT_FALSE(fso_.FileExists(Windows("/programs/folder.EXE")));
  EXPECT_FALSE(fso_.FileExists(Windows("/Programs/Missing/firefox.exe")));
  EXPECT_FALSE(fso_.FileExists(""));
}

TEST(VersionTextTest, ReadsMajorAndMinor) {
  OsVersionInfo info;
  ASSERT_TRUE(ParseVersionText("5.1", &info));
  EXPECT_EQ(5u, info.dwMajorVersion);
  EXPECT_EQ(1u, info.dwMinorVersion);
  ASSERT_TRUE(ParseVersionText("4.10.1998", &info));
  EXPECT_EQ(4u, info.dwMajorVersion);
  EXPECT_EQ(10u, info.dwMinorVersion);
  EXPECT_FALSE(ParseVersionText("", &info));
  EXPECT_FALSE(ParseVersionText("5", &info));
  EXPECT_FALSE(ParseVersionText("5.", &info));
  EXPECT_FALSE(ParseVersionText("XP", &info));
  EXPECT_FALSE(ParseVersionText("5.1 SP2", &info));
  EXPECT_FALSE(ParseVersionText(" 5.1", &info));
}

TEST(StandInAutomationTest, DialogComesFromTheHookOrFailsWithAMessage) {
  class NullRoute : public RegistryWriteRoute {
   public:
    bool RegWrite(const std::string&, const std::string&, const std::string&,
                  std::string*) override {
      return true;
    }
  } route;
  std::string err;
  StandInAutomation without(route, nullptr);
  EXPECT_EQ(nullptr, without.CreateCommonDialog(&err));
  EXPECT_NE(std::string::npos, err.find("UserAccounts.CommonDialog")) << err;

  int made = 0;
  StandInAutomation with(route, [&made] {
    ++made;
    return std::make_unique<UnansweredDialog>();
  });
  EXPECT_NE(nullptr, with.CreateCommonDialog(&err));
  EXPECT_EQ(1, made);
}

class StandInVersionTest : public testing::Test {
 protected:
  void SetUp() override { registry_ = StandInRegistry::OpenInMemory(/*administrator=*/true); }
  void Record(const std::string& path, const std::string& text) {
    std::string err;
    ASSERT_TRUE(registry_->RegWrite(path, text, "REG_SZ", &err)) << err;
  }
  OsVersionInfo Version() { return StandInVersionProvider(*registry_).GetVersionEx(); }

  std::unique_ptr<StandInRegistry> registry_;
};

constexpr char kNtVersion[] = R"(HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentVersion)";
constexpr char k9xVersion[] = R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\VersionNumber)";

TEST_F(StandInVersionTest, NothingRecordedIsWindowsXp) {
  OsVersionInfo info = Version();
  EXPECT_EQ(2u, info.dwPlatformId);
  EXPECT_EQ(5u, info.dwMajorVersion);
  EXPECT_EQ(1u, info.dwMinorVersion);
}

TEST_F(StandInVersionTest, ReadsTheNtRecord) {
  Record(kNtVersion, "6.0");
  OsVersionInfo info = Version();
  EXPECT_EQ(2u, info.dwPlatformId);
  EXPECT_EQ(6u, info.dwMajorVersion);
  EXPECT_EQ(0u, info.dwMinorVersion);
}

TEST_F(StandInVersionTest, ReadsThe9xRecordWhenThereIsNoNtOne) {
  Record(k9xVersion, "4.90.3000");
  OsVersionInfo info = Version();
  EXPECT_EQ(1u, info.dwPlatformId);
  EXPECT_EQ(4u, info.dwMajorVersion);
  EXPECT_EQ(90u, info.dwMinorVersion);
  Record(kNtVersion, "5.2");
  EXPECT_EQ(2u, Version().dwPlatformId);
}

TEST_F(StandInVersionTest, AnUnreadableRecordIsAFailedQuery) {
  Record(kNtVersion, "XP");
  EXPECT_EQ(0u, Version().dwPlatformId);
  std::string err;
  ASSERT_TRUE(registry_->RegWrite(kNtVersion, "5", "REG_DWORD", &err)) << err;
  EXPECT_EQ(0u, Version().dwPlatformId);
}

TEST_F(StandInVersionTest, AReadOnlyMachineHiveStillTellsTheVersion) {
  auto shared = StandInRegistry::OpenInMemory(/*administrator=*/false, "version-test");
  auto admin = StandInRegistry::OpenInMemory(/*administrator=*/true, "version-test");
  std::string err;
  ASSERT_TRUE(admin->RegWrite(kNtVersion, "5.0", "REG_SZ", &err)) << err;
  OsVersionInfo info = StandInVersionProvider(*shared).GetVersionEx();
  EXPECT_EQ(2u, info.dwPlatformId);
  EXPECT_EQ(0u, info.dwMinorVersion);
}

TEST(StandInAutomationShellTest, TheScriptingShellWritesThroughTheStandIn) {
  auto registry = StandInRegistry::OpenInMemory(/*administrator=*/false);
  StandInAutomation automation(*registry, nullptr);
  std::string err;
  std::unique_ptr<RegistryWriteRoute> shell = automation.CreateScriptingShell(&err);
  ASSERT_NE(nullptr, shell);
  ASSERT_TRUE(shell->RegWrite(R"(HKCU\Software\Classes\.htm\)", "MyHTMLfile", "REG_SZ", &err));
  EXPECT_EQ(kErrorSuccess, registry->KeyExists(Hive::kCurrentUser, R"(Software\Classes\.htm)"));
  EXPECT_FALSE(shell->RegWrite(R"(HKLM\Software\Clients\x\)", "y", "REG_SZ", &err));
  EXPECT_NE(nullptr, automation.CreateFileSystemObject(&err));
}

}  // namespace
}  // namespace tarnwick
