// The apply, custom apply and Reset flows of the main window, end to end over the tests'
// registry (the stand-in in memory, or Wine's registry), checked by what they leave in it.
#include <gtest/gtest.h>

#include <algorithm>

#include "registry/association_sets.h"
#include "registry/registry_reader.h"
#include "registry/test_registry.h"
#include "selection/preset_catalogue.h"
#include "shell/fake_platform.h"
#include "shell/form1.h"

namespace tarnwick {
namespace {

constexpr char kProgramFiles[] = R"(C:\Program Files)";
constexpr char kIe[] = R"(C:\Program Files\Internet Explorer\IExplore.exe)";
constexpr char kGreen[] = R"(C:\Program Files\GreenBrowser\GreenBrowser.exe)";
constexpr char kFirefox[] = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
constexpr char kDeepnet[] = R"(C:\Program Files\Deepnet Explorer\Deepnet.exe)";
constexpr char kAvant[] = R"(C:\Program Files\Avant Browser\avant.exe)";

constexpr char kClasses[] = R"(Software\Classes\)";
constexpr char kClients[] = R"(Software\Clients\StartMenuInternet)";
constexpr char kIeMain[] = R"(Software\Microsoft\Internet Explorer\Main)";

// Option numbers.
constexpr int kGreenBrowser = 1, kInternetExplorer = 2, kMozillaFirefox = 6, kDeepnetExplorer = 7,
              kAvantBrowser = 8;

class Form1FlowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OpenTestRegistryHost()) GTEST_SKIP() << "no registry may be used for tests here";
    Open(/*administrator=*/true);
  }

  /// Opens a fresh registry and the window. A user without administrator rights shares the
  /// machine hive with an administrator's connection that seeds it.
  void Open(bool administrator) {
    form_.reset();
    fake_.reset();
    user_.reset();
    seed_.reset();
    host_ = OpenTestRegistryHost();
    seed_ = host_->Open(true);
    ASSERT_TRUE(seed_);
    if (!administrator) user_ = host_->Open(false);
    TestRegistry& reg = user_ != nullptr ? *user_ : *seed_;
    fake_ = std::make_unique<FakePlatform>(&reg.registry(), &reg.route());
    fake_->env["ProgramFiles"] = kProgramFiles;
    fake_->files = {kIe, kGreen, kFirefox, kDeepnet, kAvant, R"(C:\b.exe)"};
    form_ = std::make_unique<Form1>(fake_->platform());
    ASSERT_TRUE(form_->Form_Load());
    fake_->calls.clear();
  }

  Registry& seeded() { return seed_->registry(); }
  /// Writes as an administrator would, behind the window's back.
  bool Seed(const std::string& path, const std::string& value) {
    std::string err;
    return seed_->route().RegWrite(path, value, "REG_SZ", &err);
  }

  /// A value as text; "<none>" when it cannot be read.
  std::string Value(Hive hive, const std::string& path, const std::string& name = "") {
    RegistryValue v = ReadRegistryValue(seeded(), hive, path, name);
    return std::holds_alternative<std::monostate>(v) ? "<none>" : AsText(v);
  }
  std::string User(const std::string& path, const std::string& name = "") {
    return Value(Hive::kCurrentUser, path, name);
  }
  std::string Class(const std::string& path, const std::string& name = "") {
    return User(kClasses + path, name);
  }
  std::string Machine(const std::string& path, const std::string& name = "") {
    return Value(Hive::kLocalMachine, path, name);
  }
  bool UserKeyExists(const std::string& path) {
    KeyHandle key = nullptr;
    if (seeded().OpenKey(Hive::kCurrentUser, path, kKeyRead, &key) != kErrorSuccess) return false;
    seeded().CloseKey(key);
    return true;
  }

  /// The writer paths in the order they were written.
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const std::string& call : fake_->calls) {
      if (call.starts_with("RegWrite ")) writes.push_back(call.substr(9));
    }
    return writes;
  }

  void ApplyPreset(int option) {
    form_->Option_Click(option);
    form_->Command7_Click();
  }

  std::unique_ptr<TestRegistryHost> host_;
  std::unique_ptr<TestRegistry> seed_;
  std::unique_ptr<TestRegistry> user_;
  std::unique_ptr<FakePlatform> fake_;
  std::unique_ptr<Form1> form_;
};

TEST_F(Form1FlowsTest, QuotedPresetWithBrowserIconsAndMachineClient) {
  ApplyPreset(kGreenBrowser);

  const std::string command = std::string("\"") + kGreen + "\" \"%1\"";
  EXPECT_EQ("No", User(kIeMain, "Check_Associations"));
  EXPECT_EQ(command, Class(R"(MyHTMLfile\shell\open\command)"));
  EXPECT_EQ(command, Class(R"(http\shell\MyHTMLFile\command)"));
  EXPECT_EQ(command, Class(R"(MyInternetShortcut\Shell\Open\Command)"));
  EXPECT_EQ("MyHTMLFile", Class(R"(ftp\Shell)"));
  EXPECT_EQ(std::string(kIe) + ",0", Class(R"(MyHTMLFile\DefaultIcon)"));
  EXPECT_EQ(std::string(kIe) + ",22", Class(R"(MyMHTMLFile\DefaultIcon)"));
  EXPECT_EQ(std::string(kIe) + ",0", Class(R"(https\DefaultIcon)"));
  EXPECT_EQ(R"(%SystemRoot%\system32\url.dll,0)", Class(R"(MyInternetShortcut\DefaultIcon)"));
  EXPECT_EQ("GreenBrowser.exe", User(kClients));
  EXPECT_EQ(std::string("\"") + kGreen + "\"",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe\shell\open\command)"));
  EXPECT_EQ("GreenBrowser Web Browser",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe)", "LocalizedString"));

  // Check_Associations, the association set, the clients, in that order.
  std::vector<std::string> expected = {
      R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)"};
  for (const AssociationRow& row : GenericAssociationRows()) expected.push_back(row.path);
  expected.push_back(R"(HKCU\Software\Clients\StartMenuInternet\)");
  expected.push_back(
      R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\shell\open\command\)");
  expected.push_back(R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\LocalizedString)");
  EXPECT_EQ(expected, Writes());

  EXPECT_FALSE(form_->Command7Enabled());
  EXPECT_TRUE(form_->OptionValue(kGreenBrowser));
  EXPECT_TRUE(form_->Frame4Visible());
  EXPECT_EQ("GreenBrowser Web Browser is currently the default browser.", form_->Label5Caption());
}

TEST_F(Form1FlowsTest, TheCurrentDefaultLineChangesOnceAndOnlyWhenItChanges) {
  // Every caption the window is asked to show, in turn: a screen reader announces each.
  std::vector<std::string> shown = {form_->Label5Caption()};
  form_->SetObserver([&] {
    if (shown.back() != form_->Label5Caption()) shown.push_back(form_->Label5Caption());
  });
  ApplyPreset(kGreenBrowser);
  ApplyPreset(kGreenBrowser);  // the same again: the line stays
  form_->Command5_Click();     // no browser is registered afterwards
  EXPECT_EQ((std::vector<std::string>{
                "", "GreenBrowser Web Browser is currently the default browser.", ""}),
            shown);
}

TEST_F(Form1FlowsTest, MachineClientIsSkippedSilentlyWithoutAdministratorRights) {
  if (!host_->RefusesMachineWrites()) GTEST_SKIP() << "machine writes cannot be refused here";
  Open(/*administrator=*/false);
  ApplyPreset(kGreenBrowser);

  EXPECT_EQ("GreenBrowser.exe", User(kClients));
  EXPECT_EQ("<none>",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe)", "LocalizedString"));
  EXPECT_TRUE(fake_->messages.empty());
  EXPECT_FALSE(form_->Command7Enabled());
  EXPECT_FALSE(form_->Frame4Visible());  // no machine-wide entry to name it
}

TEST_F(Form1FlowsTest, InternetExplorerKeepsTheLiteralShortcutCommand) {
  ApplyPreset(kInternetExplorer);

  EXPECT_EQ("rundll32.exe shdocvw.dll,OpenURL %l",
            Class(R"(MyInternetShortcut\Shell\Open\Command)"));
  EXPECT_EQ(std::string("\"") + kIe + "\" \"%1\"", Class(R"(MyHTMLFile\Shell\Open\Command)"));
  EXPECT_EQ("IEXPLORE.EXE", User(kClients));
  for (const std::string& w : Writes()) EXPECT_FALSE(w.starts_with("HKLM")) << w;
}

TEST_F(Form1FlowsTest, FirefoxWritesItsOwnSetWithTheUrlSwitch) {
  ApplyPreset(kMozillaFirefox);

  EXPECT_EQ(std::string("\"") + kFirefox + "\" -url \"%1\"", Class(R"(http\shell\open\command)"));
  EXPECT_EQ("Firefox", Class(R"(https\shell\open\ddeexec\Application)"));
  EXPECT_EQ("open", Class(R"(http\Shell)"));
  EXPECT_EQ(std::string(kFirefox) + ",0", Class(R"(ftp\DefaultIcon)"));
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\MyInternetShortcut)"));
  EXPECT_EQ("FIREFOX.EXE", User(kClients));
  const BrowserProfile& p = form_->Profile();
  for (const std::string* icon : {&p.HtmlIcon, &p.MhtmlIcon, &p.HttpIcon, &p.HttpsIcon, &p.FtpIcon,
                                  &p.ShortcutIcon, &p.ShortcutCommand}) {
    EXPECT_EQ("", *icon);
  }
}

TEST_F(Form1FlowsTest, DeepnetHandsShortcutsBackToTheShell) {
  ApplyPreset(kDeepnetExplorer);

  EXPECT_EQ("InternetShortcut", Class(".url"));
  EXPECT_EQ(std::string("\"") + kDeepnet + "\" \"%1\"", Class(R"(MyHTMLFile\Shell\Open\Command)"));
  EXPECT_EQ("", Class(R"(MyInternetShortcut\Shell\Open\Command)"));
  EXPECT_EQ("", Class(R"(MyMHTMLFile\DefaultIcon)"));
  EXPECT_EQ("deepnet.exe", User(kClients));
  EXPECT_EQ(R"(HKCU\Software\Classes\.url\)", Writes().back());
}

TEST_F(Form1FlowsTest, AvantRegistersTheShortcutMenuHandler) {
  ApplyPreset(kAvantBrowser);

  EXPECT_EQ(
      "",
      Class(
          R"(MyInternetShortcut\Shellex\ContextMenuHandlers\{FBF23B40-E3F0-101B-8488-00AA003E56F8})"));
  EXPECT_EQ("MyInternetShortcut", Class(".url"));
  EXPECT_EQ(std::string("\"") + kAvant + "\" \"%1\"", Class(R"(https\Shell\MyHTMLFile\Command)"));
  EXPECT_EQ("avant.exe", User(kClients));
}

TEST_F(Form1FlowsTest, CancelledPickerWritesOnlyCheckAssociations) {
  ApplyPreset(kGreenBrowser);
  const std::string caption = form_->Label5Caption();
  ASSERT_NE("", caption);
  fake_->files.clear();
  fake_->calls.clear();
  fake_->dialog_answers = {std::nullopt};
  // A refresh would now hide the line.
  ASSERT_EQ(kErrorSuccess, seeded().DeleteKeyTree(Hive::kLocalMachine, kClients));
  ApplyPreset(kMozillaFirefox);

  EXPECT_EQ((std::vector<std::string>{
                R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)"}),
            Writes());
  EXPECT_TRUE(form_->Command7Enabled());
  EXPECT_EQ(caption, form_->Label5Caption());
  EXPECT_EQ("GreenBrowser.exe", User(kClients));
  EXPECT_EQ("<none>", Class(R"(http\shell\open\ddeexec\Application)"));
  EXPECT_EQ("", form_->Profile().ExecutablePath);
}

TEST_F(Form1FlowsTest, PickedPathReplacesTheCatalogueOneButNotTheNames) {
  const std::string picked = R"(D:\My Apps\Green Browser 2\gb.exe)";
  fake_->files.clear();
  fake_->dialog_answers = {picked};
  ApplyPreset(kGreenBrowser);

  // Set up exactly as the browse button does it, then not tested for existence again.
  const std::vector<std::string> dialog = {"InitialDir %Programfiles%",
                                           "Filter EXE Files(*.exe)|*.exe", "Flags 4", "ShowOpen"};
  auto at = std::search(fake_->calls.begin(), fake_->calls.end(), dialog.begin(), dialog.end());
  EXPECT_NE(fake_->calls.end(), at);
  EXPECT_EQ(1, std::count_if(fake_->calls.begin(), fake_->calls.end(),
                             [](const std::string& c) { return c.starts_with("FileExists"); }));

  EXPECT_EQ("\"" + picked + "\" \"%1\"", Class(R"(MyHTMLFile\Shell\Open\Command)"));
  EXPECT_EQ("\"" + picked + "\" \"%1\"", Class(R"(MyInternetShortcut\Shell\Open\Command)"));
  EXPECT_EQ("\"" + picked + "\"",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe\shell\open\command)"));
  EXPECT_EQ("GreenBrowser.exe", User(kClients));
  EXPECT_FALSE(form_->Command7Enabled());
}

TEST_F(Form1FlowsTest, NoSelectionWritesCheckAssociationsAndFinishes) {
  // Changed behind the window's back, so the refresh shows.
  ASSERT_TRUE(Seed(R"(HKCU\Software\Clients\StartMenuInternet\)", "Opera"));
  ASSERT_TRUE(Seed(R"(HKLM\Software\Clients\StartMenuInternet\Opera\)", "Opera"));
  ASSERT_FALSE(form_->Frame4Visible());
  form_->Command7_Click();
  EXPECT_EQ((std::vector<std::string>{
                R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)"}),
            Writes());
  EXPECT_FALSE(form_->Command7Enabled());
  EXPECT_EQ("Opera is currently the default browser.", form_->Label5Caption());
}

TEST_F(Form1FlowsTest, PresetAddsToAnEarlierPreset) {
  ApplyPreset(kMozillaFirefox);
  ApplyPreset(kGreenBrowser);
  EXPECT_EQ("Firefox", Class(R"(http\shell\open\ddeexec\Application)"));
  EXPECT_EQ("MyHTMLFile", Class(R"(http\Shell)"));
  EXPECT_EQ("GreenBrowser.exe", User(kClients));
}

TEST_F(Form1FlowsTest, CustomApplyReplacesEveryPerUserTraceOfAPreset) {
  ApplyPreset(kMozillaFirefox);
  ApplyPreset(kGreenBrowser);
  const std::string path = R"(C:\Tools\My Browser\mb.exe)";
  fake_->files.insert(path);
  form_->SetText1(path);
  ASSERT_TRUE(form_->Command2Enabled());
  form_->Command2_Click();

  const std::string command = "\"" + path + "\" \"%1\"";
  EXPECT_EQ(command, Class(R"(MyHTMLFile\Shell\Open\Command)"));
  EXPECT_EQ(command, Class(R"(MyInternetShortcut\Shell\Open\Command)"));
  EXPECT_EQ(std::string(kIe) + ",0", Class(R"(MyMHTMLFile\DefaultIcon)"));
  EXPECT_EQ("<none>", Class(R"(http\shell\open\ddeexec\Application)"));
  EXPECT_EQ("<none>", Class(R"(.xhtml)"));
  EXPECT_FALSE(UserKeyExists(kClients));
  EXPECT_EQ("No", User(kIeMain, "Check_Associations"));
  // The machine-wide entry of the preset stays.
  EXPECT_EQ("GreenBrowser Web Browser",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe)", "LocalizedString"));
  EXPECT_FALSE(form_->Command2Enabled());
  EXPECT_EQ(path, form_->Text1());
  // The web links now open with the custom browser, and the line says so.
  EXPECT_TRUE(form_->Frame4Visible());
  EXPECT_EQ("mb.exe is currently the default browser.", form_->Label5Caption());
}

TEST_F(Form1FlowsTest, CustomApplyWritesTheFileItFoundWithoutTheBlanksAround) {
  fake_->files.insert(R"(C:\b.exe)");
  form_->SetText1(R"(  C:\b.exe )");
  form_->Command2_Click();
  EXPECT_EQ(R"("C:\b.exe" "%1")", Class(R"(http\Shell\MyHTMLFile\Command)"));
  EXPECT_EQ(R"(  C:\b.exe )", form_->Text1());
  EXPECT_TRUE(fake_->messages.empty());
}

// Describes programs as a version resource would.
class DescribedPrograms final : public ProgramInfo {
 public:
  std::string Description(const std::string& path) override {
    return path == R"(C:\Apps\Opera\opera.exe)" ? "Opera Internet Browser" : "";
  }
};

TEST_F(Form1FlowsTest, CustomApplyLineNamesTheCustomProgram) {
  ASSERT_TRUE(Seed(R"(HKLM\Software\Clients\StartMenuInternet\)", "IEXPLORE.EXE"));
  ASSERT_TRUE(
      Seed(R"(HKLM\Software\Clients\StartMenuInternet\IEXPLORE.EXE\)", "Internet Explorer"));
  ApplyPreset(kDeepnetExplorer);
  EXPECT_FALSE(form_->Frame4Visible());  // deepnet.exe has no machine-wide entry

  // By its file name when it says nothing about itself ...
  fake_->files.insert(R"(C:\b.exe)");
  form_->SetText1(R"(C:\b.exe)");
  form_->Command2_Click();
  EXPECT_EQ("b.exe is currently the default browser.", form_->Label5Caption());

  // ... by its description when it has one.
  DescribedPrograms programs;
  Platform platform = fake_->platform();
  platform.programs = &programs;
  Form1 described(platform);
  ASSERT_TRUE(described.Form_Load());
  fake_->files.insert(R"(C:\Apps\Opera\opera.exe)");
  described.SetText1(R"(C:\Apps\Opera\opera.exe)");
  described.Command2_Click();
  EXPECT_EQ("Opera Internet Browser is currently the default browser.", described.Label5Caption());

  // Without a verb of the user's own, the machine-wide choice is named, as before.
  ASSERT_EQ(kErrorSuccess, seeded().DeleteKeyTree(Hive::kCurrentUser, R"(Software\Classes\http)"));
  described.Command5_Click();
  EXPECT_EQ("Internet Explorer is currently the default browser.", described.Label5Caption());
}

TEST_F(Form1FlowsTest, EveryPresetQuotesItsExecutableInEveryCommand) {
  for (const BrowserPreset& row : PresetCatalogue()) {
    SCOPED_TRACE(row.Caption);
    Open(/*administrator=*/true);
    const std::string exe = std::string(kProgramFiles) + row.RelativePath;
    fake_->files.insert(exe);
    ApplyPreset(row.OptionName[6] - '0');

    const std::string quoted = "\"" + exe + "\"";
    const std::string command =
        quoted + (row.CommandForm == CommandForm::kUrlSwitch ? " -url \"%1\"" : " \"%1\"");
    EXPECT_EQ(command, Class(R"(MyHTMLfile\Shell\Open\Command)"));
    const char* verb = row.AssociationSet == AssociationSet::kFirefox ? "open" : "MyHTMLFile";
    for (const char* protocol : {"http", "https", "ftp"}) {
      EXPECT_EQ(command, Class(std::string(protocol) + R"(\Shell\)" + verb + R"(\Command)"));
    }
    const std::string client_command = std::string(R"(Software\Clients\StartMenuInternet\)") +
                                       row.ClientName + R"(\shell\open\command)";
    EXPECT_EQ(row.MachineClient ? quoted : "<none>", Machine(client_command));
    // The icons name a file, not a command line: they stay unquoted.
    if (row.AssociationSet == AssociationSet::kFirefox) {
      EXPECT_EQ(exe + ",0", Class(R"(http\DefaultIcon)"));
    }
  }
}

TEST_F(Form1FlowsTest, ResetAfterPresetAndCustomApplyLeavesOnlyWhatIsNotPerUserBrowserState) {
  ApplyPreset(kAvantBrowser);
  ApplyPreset(kGreenBrowser);
  form_->SetText1(R"(C:\b.exe)");
  form_->Command2_Click();
  ApplyPreset(kMozillaFirefox);
  form_->Option_Click(kDeepnetExplorer);
  form_->SetText1(R"(C:\c.exe)");
  form_->Command5_Click();
  ASSERT_EQ(1u, fake_->messages.size());
  EXPECT_EQ(kVbInformation, fake_->messages[0].style);

  for (const char* key : {".htm", ".html", ".url", ".xml", "http", "https", "ftp", "MyHTMLFile",
                          "MyMHTMLFile", "MyInternetShortcut"}) {
    EXPECT_FALSE(UserKeyExists(kClasses + std::string(key))) << key;
  }
  EXPECT_FALSE(UserKeyExists(kClients));
  EXPECT_EQ("No", User(kIeMain, "Check_Associations"));
  EXPECT_EQ("GreenBrowser Web Browser",
            Machine(R"(Software\Clients\StartMenuInternet\GreenBrowser.exe)", "LocalizedString"));
  EXPECT_EQ("", form_->Text1());
  EXPECT_FALSE(form_->Command2Enabled());
  EXPECT_FALSE(form_->Command7Enabled());
  for (int i = 1; i <= 8; ++i) EXPECT_FALSE(form_->OptionValue(i));
  EXPECT_FALSE(form_->Frame4Visible());
}

}  // namespace
}  // namespace tarnwick
