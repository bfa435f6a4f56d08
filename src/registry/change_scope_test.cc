#include "registry/change_scope.h"

#include "registry/engine_test.h"
#include "registry/reg_edit_for_test.h"

namespace tarnwick {
namespace {

constexpr Hive kUser = Hive::kCurrentUser;
constexpr Hive kMachine = Hive::kLocalMachine;
constexpr char kIeMain[] = R"(Software\Microsoft\Internet Explorer\Main)";

TEST(RestoreTargetsTest, TreesForDeletionsAndDefaultValuesValuesGroupedByKey) {
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(Software\Classes\http)"}};
  scope.writes = {
      R"(HKCU\Software\Classes\HTTP\Shell\)",  // inside the deleted tree: written there
      R"(HKCU\Software\Classes\MyInternetShortcut\IsShortcut)",
      R"(HKLM\Software\Clients\StartMenuInternet\X.exe\LocalizedString)",
      R"(HKCU\Software\Classes\.htm\)",
      R"(HKCU\Software\Classes\MYINTERNETSHORTCUT\NeverShowExt)",
      R"(HKCU\Software\Classes\MyInternetShortcut\isshortcut)",  // the same value again
      R"(HKCU\Software\Classes\MyInternetShortcut\Shell\Open\Command\)",
      R"(HKCU\Software\Classes\.htm\Extra)",  // inside the .htm tree
  };
  std::vector<RestoreTarget> targets;
  std::string err;
  ASSERT_TRUE(RestoreTargets(scope, &targets, &err)) << err;
  ASSERT_EQ(5u, targets.size());
  EXPECT_EQ((RegKeyName{kUser, R"(Software\Classes\.htm)"}), targets[0].key);
  EXPECT_TRUE(targets[0].values.empty());
  EXPECT_EQ((RegKeyName{kUser, R"(Software\Classes\http)"}), targets[1].key);
  EXPECT_TRUE(targets[1].values.empty());
  EXPECT_TRUE(targets[1].written);
  EXPECT_EQ((RegKeyName{kUser, R"(Software\Classes\MyInternetShortcut)"}), targets[2].key);
  EXPECT_EQ((std::vector<std::string>{"IsShortcut", "NeverShowExt"}), targets[2].values);
  EXPECT_EQ(R"(Software\Classes\MyInternetShortcut\Shell\Open\Command)", targets[3].key.path);
  EXPECT_TRUE(targets[3].values.empty());
  EXPECT_EQ((RegKeyName{kMachine, R"(Software\Clients\StartMenuInternet\X.exe)"}), targets[4].key);
  EXPECT_EQ((std::vector<std::string>{"LocalizedString"}), targets[4].values);

  scope.writes.push_back(R"(HKCR\.htm\)");
  EXPECT_FALSE(RestoreTargets(scope, &targets, &err));
  EXPECT_NE(std::string::npos, err.find("HKCR")) << err;
}

TEST(ScopeOfEditsTest, EachEditBringsWhatItMayChange) {
  using enum RegEdit::Op;
  const std::vector<RegEdit> edits = {
      DeleteKeyEdit(kUser, R"(Software\Classes\http)"),
      CreateKeyEdit(kUser, R"(Software\Classes\http)"),
      SetTextEdit(kUser, R"(Software\Classes\http)", "", "URL:HTTP"),
      CreateKeyEdit(kUser, kIeMain),
      SetTextEdit(kUser, kIeMain, "Check_Associations", "no"),
      MakeEdit(kDeleteValue, kMachine, R"(Software\Clients\X)", "LocalizedString"),
      SetTextEdit(kUser, R"(Software\Odd)", "a\\b", "x"),
      CreateKeyEdit(kUser, R"(Software\Empty)"),
  };
  const ChangeScope scope = ScopeOfEdits(edits);
  EXPECT_EQ((std::vector<RegKeyName>{{kUser, R"(Software\Classes\http)"}}), scope.deleted_trees);
  EXPECT_EQ((std::vector<std::string>{
                R"(HKCU\Software\Classes\http\)",
                R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)",
                R"(HKLM\Software\Clients\X\LocalizedString)",
                R"(HKCU\Software\Odd\)",
                R"(HKCU\Software\Empty\)",
            }),
            scope.writes);
}

class CaptureRestoreTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    // As on every Windows, the user's hive has a Software key.
    if (reg_) SeedText(kUser, R"(Software\Tarnwick reader test)", "", "x");
  }
};

TEST_F(CaptureRestoreTest, AnExistingTreeComesBackWholeSpeltAsItIs) {
  const std::string http = R"(Software\Classes\http)";
  SeedText(kUser, http, "", "URL:HyperText Transfer Protocol");
  SeedBytes(kUser, http, "EditFlags", kRegBinary, {2, 0, 0, 0});
  SeedText(kUser, http, "URL Protocol", "");
  SeedText(kUser, http + R"(\shell\open\command)", "", R"("other.exe" "%1")");
  SeedBytes(kUser, http + R"(\shell\open\ddeexec)", "", kRegNone, {});
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(software\classes\HTTP)"}};

  std::vector<RegEdit> restore;
  std::string err;
  ASSERT_TRUE(CaptureRestore(registry(), scope, &restore, &err)) << err;
  const std::vector<RegEdit> expected = {
      DeleteKeyEdit(kUser, R"(software\classes\http)"),
      CreateKeyEdit(kUser, R"(software\classes\http)"),
      SetTextEdit(kUser, R"(software\classes\http)", "", "URL:HyperText Transfer Protocol"),
      MakeEdit(RegEdit::Op::kSetValue, kUser, R"(software\classes\http)", "EditFlags", kRegBinary,
               {2, 0, 0, 0}),
      SetTextEdit(kUser, R"(software\classes\http)", "URL Protocol", ""),
      CreateKeyEdit(kUser, R"(software\classes\http\shell)"),
      CreateKeyEdit(kUser, R"(software\classes\http\shell\open)"),
      CreateKeyEdit(kUser, R"(software\classes\http\shell\open\command)"),
      SetTextEdit(kUser, R"(software\classes\http\shell\open\command)", "", R"("other.exe" "%1")"),
      CreateKeyEdit(kUser, R"(software\classes\http\shell\open\ddeexec)"),
      MakeEdit(RegEdit::Op::kSetValue, kUser, R"(software\classes\http\shell\open\ddeexec)", "",
               kRegNone, {}),
  };
  EXPECT_EQ(expected, restore);
}

TEST_F(CaptureRestoreTest, NamedValuesComeBackOneByOneAndMissingOnesAreDeleted) {
  SeedText(kUser, kIeMain, "check_associations", "yes");
  SeedText(kUser, kIeMain, "Start Page", "about:blank");
  ChangeScope scope;
  scope.writes = {std::string("HKCU\\") + kIeMain + "\\Check_Associations",
                  std::string("HKCU\\") + kIeMain + "\\Never written"};
  std::vector<RegEdit> restore;
  std::string err;
  ASSERT_TRUE(CaptureRestore(registry(), scope, &restore, &err)) << err;
  // The start page is not touched; the value keeps the spelling it has.
  const std::vector<RegEdit> expected = {
      CreateKeyEdit(kUser, kIeMain),
      SetTextEdit(kUser, kIeMain, "check_associations", "yes"),
      MakeEdit(RegEdit::Op::kDeleteValue, kUser, kIeMain, "Never written"),
  };
  EXPECT_EQ(expected, restore);
}

TEST_F(CaptureRestoreTest, WhatAWriteWouldCreateIsDeletedFromItsTopmostNewKey) {
  SeedText(kUser, R"(Software\Classes\.txt)", "", "txtfile");
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(Software\Classes\ftp)"},  // missing, only deleted
                         {kUser, R"(Software\Clients\StartMenuInternet)"}};
  scope.writes = {R"(HKCU\Software\Classes\httpx\Shell\Open\Command\)",
                  R"(HKCU\Software\Classes\httpx\DefaultIcon\)",
                  R"(HKCU\Software\Classes\.txt\Sub\Deeper\)",
                  R"(HKCU\Software\Clients\StartMenuInternet\)"};
  std::vector<RegEdit> restore;
  std::string err;
  ASSERT_TRUE(CaptureRestore(registry(), scope, &restore, &err)) << err;
  // Software\Classes exists: the two httpx writes share the deletion of httpx; .txt exists
  // and keeps its value, only its new sub-key goes; Software\Clients does not exist at all.
  const std::vector<RegEdit> expected = {
      DeleteKeyEdit(kUser, R"(Software\Classes\.txt\Sub)"),
      DeleteKeyEdit(kUser, R"(Software\Classes\httpx)"),
      DeleteKeyEdit(kUser, R"(Software\Clients)"),
  };
  EXPECT_EQ(expected, restore);
}

TEST_F(CaptureRestoreTest, MachineKeysTheAccountMayNotWriteAreLeftOut) {
  const std::string client = R"(SOFTWARE\Clients\StartMenuInternet\GreenBrowser.exe)";
  SeedText(kMachine, client, "LocalizedString", "Old");
  ChangeScope scope;
  scope.writes = {"HKLM\\" + client + "\\LocalizedString",
                  "HKLM\\" + client + "\\shell\\open\\command\\",
                  R"(HKCU\Software\Clients\StartMenuInternet\)"};
  std::vector<RegEdit> restore;
  std::string err;
  ASSERT_TRUE(CaptureRestore(registry(), scope, &restore, &err)) << err;
  const std::vector<RegEdit> as_administrator = {
      DeleteKeyEdit(kUser, R"(Software\Clients)"),
      CreateKeyEdit(kMachine, client),
      SetTextEdit(kMachine, client, "LocalizedString", "Old"),
      DeleteKeyEdit(kMachine, client + "\\shell"),
  };
  EXPECT_EQ(as_administrator, restore);

  if (!host_->RefusesMachineWrites()) GTEST_SKIP() << "machine writes cannot be refused here";
  ASSERT_TRUE(Open(false));
  SeedText(kUser, R"(Software\Tarnwick reader test)", "", "x");
  SeedText(kMachine, client, "LocalizedString", "Old");
  ASSERT_TRUE(CaptureRestore(registry(), scope, &restore, &err)) << err;
  EXPECT_EQ((std::vector<RegEdit>{DeleteKeyEdit(kUser, R"(Software\Clients)")}), restore);
}

// A registry that refuses to list the values of one key, as an access list can.
class UnlistableRegistry final : public ForwardingRegistry {
 public:
  UnlistableRegistry(Registry* inner, std::string path)
      : ForwardingRegistry(inner), path_(std::move(path)) {}
  long OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) override {
    const long status = ForwardingRegistry::OpenKey(hive, path, access, key);
    if (status == kErrorSuccess && SameName(path, path_)) refused_ = *key;
    return status;
  }
  long EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                 std::vector<uint8_t>* data) override {
    if (key == refused_) return kErrorAccessDenied;
    return ForwardingRegistry::EnumValue(key, index, name, type, data);
  }

 private:
  std::string path_;
  KeyHandle refused_ = nullptr;
};

TEST_F(CaptureRestoreTest, AnUnreadableKeyFailsTheCaptureAndNamesTheKey) {
  SeedText(kUser, R"(Software\Classes\http\shell\open\command)", "", "x");
  UnlistableRegistry refusing(&registry(), R"(Software\Classes\http\shell\open)");
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(Software\Classes\http)"}};
  std::vector<RegEdit> restore;
  std::string err;
  EXPECT_FALSE(CaptureRestore(refusing, scope, &restore, &err));
  EXPECT_EQ(R"(HKEY_CURRENT_USER\Software\Classes\http\shell\open: access denied)", err);
}

TEST_F(CaptureRestoreTest, ANameARegistryFileCannotHoldFailsTheCapture) {
  SeedText(kUser, R"(Software\Classes\http)", "two\nlines", "x");
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(Software\Classes\http)"}};
  std::vector<RegEdit> restore;
  std::string err;
  EXPECT_FALSE(CaptureRestore(registry(), scope, &restore, &err));
  EXPECT_EQ(0u, err.find(R"(HKEY_CURRENT_USER\Software\Classes\http: a name holds)")) << err;
}

TEST_F(CaptureRestoreTest, OnlyEditsInsideTheScopeAsTheRegistryHoldsItArePassed) {
  using enum RegEdit::Op;
  SeedText(kUser, R"(Software\Clients\Mail)", "", "Other Mail");  // beside the targets
  SeedText(kUser, R"(Software\Tarnwick\Sub)", "", "x");
  ChangeScope scope;
  scope.deleted_trees = {{kUser, R"(Software\Classes\http)"},
                         {kUser, R"(Software\Clients\StartMenuInternet)"}};
  scope.writes = {std::string("HKCU\\") + kIeMain + "\\Check_Associations",
                  R"(HKCU\Software\Empty\Once)", R"(HKCU\Software\Tarnwick\Once)",
                  R"(HKLM\Software\Clients\StartMenuInternet\X.exe\shell\open\command\)"};
  const struct {
    RegEdit edit;
    const char* outside;  // empty: inside
  } cases[] = {
      // Anything a tree held, of any of the registry's types.
      {DeleteKeyEdit(kUser, R"(SOFTWARE\classes\HTTP)"), ""},
      {CreateKeyEdit(kUser, R"(Software\Classes\http\shell\open)"), ""},
      {MakeEdit(kSetValue, kUser, R"(Software\Classes\http)", "EditFlags", kRegBinary, {2}), ""},
      {MakeEdit(kSetValue, kMachine,
                R"(Software\Clients\StartMenuInternet\X.exe\shell\open\command)", "", 11),
       ""},
      {MakeEdit(kSetValue, kUser, R"(Software\Classes\http)", "x", 12),
       R"(HKEY_CURRENT_USER\Software\Classes\http\x as type 12)"},
      // Named values, of the types the program writes; the keys on the way to them.
      {SetTextEdit(kUser, kIeMain, "check_associations", "no"), ""},
      {MakeEdit(kDeleteValue, kUser, kIeMain, "Check_Associations"), ""},
      {CreateKeyEdit(kUser, R"(Software\Microsoft)"), ""},
      {MakeEdit(kSetValue, kUser, kIeMain, "Check_Associations", kRegBinary, {1}),
       R"(HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main\Check_Associations as type 3)"},
      {SetTextEdit(kUser, kIeMain, "Start Page", "http://example.com/"),
       R"(HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main\Start Page)"},
      {SetTextEdit(kUser, R"(Software\Microsoft)", "", "x"),
       R"(HKEY_CURRENT_USER\Software\Microsoft\)"},
      // A key on the way is deleted only when missing or holding nothing but targets.
      {DeleteKeyEdit(kUser, R"(Software\Empty)"), ""},
      {DeleteKeyEdit(kUser, R"(Software\Clients)"), R"([-HKEY_CURRENT_USER\Software\Clients])"},
      {DeleteKeyEdit(kUser, R"(Software\Tarnwick)"), R"([-HKEY_CURRENT_USER\Software\Tarnwick])"},
      {DeleteKeyEdit(kUser, "Software"), R"([-HKEY_CURRENT_USER\Software])"},
      // Nothing else.
      {SetTextEdit(kMachine, R"(Software\Microsoft\Windows\CurrentVersion\Run)", "x", "evil.exe"),
       R"(HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run\x)"},
      {CreateKeyEdit(kUser, R"(Software\Classes\https)"),
       R"([HKEY_CURRENT_USER\Software\Classes\https])"},
      {DeleteKeyEdit(kMachine, R"(Software\Classes\http)"),
       R"([-HKEY_LOCAL_MACHINE\Software\Classes\http])"},
  };
  for (const auto& c : cases) {
    std::string outside;
    EXPECT_EQ(*c.outside == '\0', EditsWithin(registry(), scope, {&c.edit, 1}, &outside))
        << testing::PrintToString(c.edit);
    EXPECT_EQ(c.outside, outside) << testing::PrintToString(c.edit);
  }

  // A key on the way that holds only targets may go; the first edit outside is named.
  SeedText(kUser, R"(Software\Empty)", "Once", "Maxthon");
  const std::vector<RegEdit> edits = {
      DeleteKeyEdit(kUser, R"(Software\Empty)"),
      SetTextEdit(kMachine, R"(Software\Policies)", "a", "1"),
      SetTextEdit(kMachine, R"(Software\Policies)", "b", "2"),
  };
  std::string outside;
  EXPECT_TRUE(EditsWithin(registry(), scope, {edits.data(), 1}, &outside)) << outside;
  EXPECT_FALSE(EditsWithin(registry(), scope, edits, &outside));
  EXPECT_EQ(R"(HKEY_LOCAL_MACHINE\Software\Policies\a)", outside);
}

}  // namespace
}  // namespace tarnwick
