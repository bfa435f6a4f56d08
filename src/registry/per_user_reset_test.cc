#include "registry/per_user_reset.h"

#include <set>

#include "registry/association_sets.h"
#include "registry/engine_test.h"

namespace tarnwick {
namespace {

const std::string kExplorer = R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\)";

class PerUserResetTest : public EngineTest {
 protected:
  // Everything an apply of each set, the Start-menu client and Explorer can leave per user,
  // plus neighbours the reset must not touch.
  void WriteEverything() {
    BrowserProfile p;
    p.ExecutablePath = R"(C:\Browsers\b.exe)";
    p.OpenCommand = R"("C:\Browsers\b.exe" "%1")";
    PresetFirefoxDefault(p, writer());
    PresetDefaultWebBrowser(p, writer());
    for (
        const char* path : {
            R"(HKCU\Software\Clients\StartMenuInternet\)",
            R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)",
            R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.htm\OpenWithList\a)",
            R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.txt\OpenWithList\a)",
            R"(HKCU\Software\Classes\.txt\)",
            R"(HKCU\Software\Classes\httpx\)",
            R"(HKCU\Software\Clients\Mail\)",
            R"(HKLM\Software\Clients\StartMenuInternet\b.exe\shell\open\command\)",
            R"(HKLM\Software\Classes\http\shell\open\command\)",
        }) {
      ASSERT_TRUE(writer().write(path, "x", "REG_SZ")) << path;
    }
  }
};

// Deletions refused as a locked key or an unloadable delete function would refuse them.
class RefusingRegistry final : public ForwardingRegistry {
 public:
  RefusingRegistry(Registry* inner, long error, std::set<std::string> refused)
      : ForwardingRegistry(inner), error_(error), refused_(std::move(refused)) {}
  long DeleteKeyTree(Hive hive, const std::string& path) override {
    if (refused_.empty() || refused_.count(path) != 0) return error_;
    return ForwardingRegistry::DeleteKeyTree(hive, path);
  }

 private:
  long error_;
  std::set<std::string> refused_;
};

TEST_F(PerUserResetTest, RemovesEveryPerUserRegistrationWithItsSubtree) {
  WriteEverything();
  ASSERT_TRUE(UserKeyExists(R"(Software\Classes\http\shell\open\ddeexec\Application)"));
  ASSERT_TRUE(UserKeyExists(R"(Software\Classes\MyMHTMLFile\Shell\Open\Command)"));

  EXPECT_TRUE(delperuserkeys(registry()).empty());

  for (const char* path : PerUserResetKeys()) EXPECT_FALSE(UserKeyExists(path)) << path;
  // The writers spelt the type keys "MyHTMLFile" and "MyMHTMLFile".
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\MyHTMLFile)"));
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\MyMHTMLFile)"));
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\http\shell\open\ddeexec\Application)"));
}

TEST_F(PerUserResetTest, LeavesEverythingElse) {
  WriteEverything();
  delperuserkeys(registry());

  EXPECT_EQ(RegistryValue("x"),
            ReadUser(R"(Software\Microsoft\Internet Explorer\Main)", "Check_Associations"));
  EXPECT_EQ(RegistryValue("x"), ReadUser(R"(Software\Classes\.txt)"));
  EXPECT_EQ(RegistryValue("x"), ReadUser(R"(Software\Classes\httpx)"));
  EXPECT_EQ(RegistryValue("x"), ReadUser(R"(Software\Clients\Mail)"));
  EXPECT_TRUE(UserKeyExists(kExplorer + R"(.txt\OpenWithList)"));
  EXPECT_TRUE(UserKeyExists(R"(Software\Classes)"));
  EXPECT_EQ(RegistryValue("x"),
            Read(Hive::kLocalMachine,
                 R"(Software\Clients\StartMenuInternet\b.exe\shell\open\command)", ""));
  EXPECT_EQ(RegistryValue("x"),
            Read(Hive::kLocalMachine, R"(Software\Classes\http\shell\open\command)", ""));
}

TEST_F(PerUserResetTest, RefusedDeletionsAreReportedAndTheRestStillGo) {
  WriteEverything();
  RefusingRegistry locked(
      &registry(), kErrorAccessDenied,
      {R"(Software\Classes\https)", R"(Software\Classes\.xht)", kExplorer + ".mhtml"});
  // .xht was written; nothing ever wrote Explorer's .mhtml key, so it does not remain.
  EXPECT_EQ((std::vector<std::string>{R"(Software\Classes\.xht)", R"(Software\Classes\https)"}),
            delperuserkeys(locked));
  EXPECT_TRUE(UserKeyExists(R"(Software\Classes\https\shell\open\command)"));
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\http)"));
  EXPECT_FALSE(UserKeyExists(R"(Software\Clients\StartMenuInternet)"));

  // Without a delete function at all, exactly the keys that exist remain.
  RefusingRegistry unloadable(&registry(), /*ERROR_PROC_NOT_FOUND*/ 127, {});
  EXPECT_EQ((std::vector<std::string>{R"(Software\Classes\.xht)", R"(Software\Classes\https)"}),
            delperuserkeys(unloadable));

  // A deletion that says "not found" while the key stays (a sub-key whose name holds a NUL,
  // which no deletion by name reaches) leaves it too.
  RefusingRegistry hidden(&registry(), kErrorFileNotFound, {R"(Software\Classes\https)"});
  EXPECT_EQ((std::vector<std::string>{R"(Software\Classes\https)"}), delperuserkeys(hidden));
}

// Each deletion as the registry answered it.
class DeletionLog final : public ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long DeleteKeyTree(Hive hive, const std::string& path) override {
    const long status = ForwardingRegistry::DeleteKeyTree(hive, path);
    answers.push_back(path + ": " + std::to_string(status));
    return status;
  }
  std::vector<std::string> answers;
};

// Every one of the 22 deletions, in order, answered "not found".
std::vector<std::string> AllNotFound() {
  std::vector<std::string> answers;
  for (const char* path : PerUserResetKeys()) {
    answers.push_back(std::string(path) + ": " + std::to_string(kErrorFileNotFound));
  }
  return answers;
}

TEST_F(PerUserResetTest, EmptyProfileAndRepeatedResetsAreHarmless) {
  // Nothing there: every deletion is still made, finds nothing, and creates nothing on its way.
  auto parents = [&] {
    std::vector<bool> exist;
    for (const std::string path : PerUserResetKeys()) {
      exist.push_back(UserKeyExists(path.substr(0, path.rfind('\\'))));
    }
    return exist;
  };
  const std::vector<bool> before = parents();
  DeletionLog empty(&registry());
  EXPECT_TRUE(delperuserkeys(empty).empty());
  EXPECT_EQ(AllNotFound(), empty.answers);
  EXPECT_EQ(before, parents());

  // Twice after everything was written: the second finds nothing left to delete.
  WriteEverything();
  EXPECT_TRUE(delperuserkeys(registry()).empty());
  DeletionLog again(&registry());
  EXPECT_TRUE(delperuserkeys(again).empty());
  EXPECT_EQ(AllNotFound(), again.answers);
  EXPECT_EQ(RegistryValue("x"), ReadUser(R"(Software\Classes\.txt)"));
}

}  // namespace
}  // namespace tarnwick
