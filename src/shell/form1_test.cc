#include "shell/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>

#include "registry/per_user_reset.h"
#include "shell/fake_platform.h"
#include "shell/form1_events.h"
#include "shell/layout.h"

namespace tarnwick {
namespace {

// What a front end would draw.
struct Drawn {
  std::array<bool, kPresetCount> options = {};
  std::string text1;
  bool command7 = false;
  bool command2 = false;
  bool about = false;
  bool operator==(const Drawn&) const = default;
};

Drawn Draw(const Form1& form) {
  Drawn d;
  for (int i = 1; i <= 8; ++i) d.options[i - 1] = form.OptionValue(i);
  d.text1 = form.Text1();
  d.command7 = form.Command7Enabled();
  d.command2 = form.Command2Enabled();
  d.about = form.AboutOpen();
  return d;
}

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : registry_(&fake_.calls), fake_(&registry_, &route_), form_(fake_.platform()) {
    fake_.files = {"C:\\b.exe", "x", "C:\\old.exe"};
    form_.SetObserver([this] {
      ++changes_;
      drawn_ = Draw(form_);
    });
    EXPECT_TRUE(form_.Form_Load());
    fake_.calls.clear();
  }

  size_t Count(const std::string& prefix) const {
    return std::count_if(fake_.calls.begin(), fake_.calls.end(),
                         [&](const std::string& c) { return c.starts_with(prefix); });
  }

  RecordingRegistry registry_;
  AcceptingWriteRoute route_;
  FakePlatform fake_;
  Form1 form_;
  int changes_ = 0;
  Drawn drawn_;
};

TEST_F(Form1Test, OptionClickSelectsOneAndEnablesOnlyThePresetsApply) {
  std::ptrdiff_t most_selected = 0;
  form_.SetObserver([&] {
    drawn_ = Draw(form_);
    most_selected =
        std::max(most_selected, std::count(drawn_.options.begin(), drawn_.options.end(), true));
  });
  form_.Option_Click(3);
  EXPECT_TRUE(form_.OptionValue(3));
  EXPECT_TRUE(form_.Command7Enabled());

  form_.Option_Click(6);
  EXPECT_TRUE(form_.Command7Enabled());
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(i == 6, form_.OptionValue(i)) << i;
  EXPECT_FALSE(form_.Command2Enabled());
  EXPECT_EQ("", form_.Text1());
  EXPECT_EQ(Draw(form_), drawn_);
  EXPECT_EQ(1, most_selected);

  form_.Option_Click(0);
  form_.Option_Click(9);
  EXPECT_TRUE(form_.OptionValue(6));
  EXPECT_FALSE(form_.OptionValue(0));
  EXPECT_FALSE(form_.OptionValue(9));
}

TEST_F(Form1Test, EveryTextChangeEnablesTheCustomApplyAndNothingElse) {
  form_.Option_Click(2);
  form_.SetText1("C:\\b.exe");
  EXPECT_TRUE(form_.Command2Enabled());
  EXPECT_TRUE(form_.OptionValue(2));
  EXPECT_EQ(Draw(form_), drawn_);

  form_.Command2_Click();
  ASSERT_FALSE(form_.Command2Enabled());
  // Clearing the text is a change too.
  form_.SetText1("");
  EXPECT_TRUE(form_.Command2Enabled());
  EXPECT_TRUE(form_.OptionValue(2));
}

TEST_F(Form1Test, SettingTheSameTextIsNoChange) {
  form_.SetText1("");
  EXPECT_FALSE(form_.Command2Enabled());
  EXPECT_EQ(0, changes_);

  form_.SetText1("x");
  form_.Command2_Click();  // applied: Command2 turns off
  ASSERT_FALSE(form_.Command2Enabled());
  const int before = changes_;
  form_.SetText1("x");
  EXPECT_FALSE(form_.Command2Enabled());
  EXPECT_EQ(before, changes_);

  form_.SetText1("");
  EXPECT_TRUE(form_.Command2Enabled());
}

TEST_F(Form1Test, BrowseShowsTheNoteThenTheDialogSetUpInOrder) {
  fake_.dialog_answers = {std::string("C:\\Program Files\\Opera 8\\opera.exe")};
  form_.Command1_Click();

  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(
      "This method may not be successful with all the web browsers. Some browsers support "
      "command-line arguments to open an URL or a file. There is no guarantee that this method "
      "will work in all cases, the results vary from browser to browser.\n\nIf using this "
      "method does not give satisfactory results, you can undo the configuration anytime using "
      "the - Reset - button available in this utility.",
      fake_.messages[0].text);
  EXPECT_EQ("Note", fake_.messages[0].title);
  EXPECT_EQ(0, fake_.messages[0].style);
  EXPECT_EQ((std::vector<std::string>{"MsgBox Note", "InitialDir %Programfiles%",
                                      "Filter EXE Files(*.exe)|*.exe", "Flags 4", "ShowOpen"}),
            fake_.calls);
  EXPECT_EQ("C:\\Program Files\\Opera 8\\opera.exe", form_.Text1());
  EXPECT_TRUE(form_.Command2Enabled());
}

TEST_F(Form1Test, CancelledBrowseChangesNothingButStillShowsTheNote) {
  form_.Option_Click(1);
  form_.SetText1("C:\\old.exe");
  form_.Command2_Click();
  const Drawn before = Draw(form_);

  for (int press = 0; press < 2; ++press) {
    fake_.dialog_answers = {std::nullopt};
    form_.Command1_Click();
    EXPECT_EQ(before, Draw(form_));
  }
  EXPECT_EQ(2u, fake_.messages.size());
  EXPECT_EQ(2u, Count("ShowOpen"));
}

TEST_F(Form1Test, ResetClearsTheWindowAndConfirmsWithTheWindowRedrawn) {
  form_.Option_Click(4);
  form_.SetText1("C:\\b.exe");
  fake_.calls.clear();
  fake_.on_message = [&](const FakeMessage&) {
    // The front end has already drawn the reset window when the box appears.
    EXPECT_EQ(Draw(form_), drawn_);
    EXPECT_EQ(Drawn{}, drawn_);
  };
  form_.Command5_Click();

  EXPECT_EQ(Drawn{}, Draw(form_));
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ("Per-user settings are cleared. System default browser will be used from now on.",
            fake_.messages[0].text);
  EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
  EXPECT_EQ(64, fake_.messages[0].style);

  // The backup first, then all 22 deletions, then a look whether each key that a deletion did
  // not report deleted is gone, then the message, then the current-default line is read afresh.
  const auto keys = PerUserResetKeys();
  const auto saved = std::find(fake_.calls.begin(), fake_.calls.end(), "Backup Save Reset");
  ASSERT_NE(fake_.calls.end(), saved);
  const size_t first = static_cast<size_t>(saved - fake_.calls.begin()) + 1;
  ASSERT_GT(fake_.calls.size(), first + 2 * keys.size() + 1);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(std::string("DeleteKeyTree ") + keys[i], fake_.calls[first + i]);
    // None of them existed here.
    EXPECT_EQ(std::string("OpenKey HKCU\\") + keys[i], fake_.calls[first + keys.size() + i]);
  }
  EXPECT_EQ("MsgBox Tarnwick for Windows\u00AE XP", fake_.calls[first + 2 * keys.size()]);
  EXPECT_TRUE(fake_.calls[first + 2 * keys.size() + 1].starts_with("OpenKey HKCU"));
}

TEST_F(Form1Test, ResetTwiceBehavesAlike) {
  form_.Command5_Click();
  const std::vector<std::string> first = fake_.calls;
  fake_.calls.clear();
  form_.Command5_Click();
  EXPECT_EQ(first, fake_.calls);
  EXPECT_EQ(2u, fake_.messages.size());
}

TEST_F(Form1Test, DirectLinksAskForAMaximisedWindowWithoutOwner) {
  form_.Command3_Click();
  form_.Label2_Click();
  ASSERT_EQ(2u, fake_.shell_calls.size());
  for (const FakeShellCall& call : fake_.shell_calls) {
    EXPECT_EQ(ShellOwner::kNone, call.owner);
    EXPECT_EQ("Open", call.verb);
    EXPECT_EQ(3, call.show_command);
  }
  EXPECT_EQ("http://tarnwick.example.com/tarnwick.htm", fake_.shell_calls[0].file);
  EXPECT_EQ("http://tarnwick.example.com", fake_.shell_calls[1].file);
}

TEST_F(Form1Test, DonationLinksAndAboutLinksGoThroughOpenUrl) {
  form_.Picture1_Click();
  form_.Label4_Click();
  fake_.on_about = [](frmAbout& about) {
    about.Label3_Click();
    about.Label2_Click();
    about.cmdOK_Click();
  };
  form_.Command4_Click();

  ASSERT_EQ(4u, fake_.shell_calls.size());
  for (const FakeShellCall& call : fake_.shell_calls) {
    EXPECT_EQ(ShellOwner::kDesktop, call.owner);
    EXPECT_EQ("open", call.verb);
    EXPECT_EQ(1, call.show_command);
  }
  EXPECT_EQ("http://tarnwick.example.com/donate.htm", fake_.shell_calls[0].file);
  EXPECT_EQ(fake_.shell_calls[0].file, fake_.shell_calls[1].file);
  EXPECT_EQ(fake_.shell_calls[0].file, fake_.shell_calls[2].file);
  EXPECT_EQ("http://tarnwick.example.com/index.html", fake_.shell_calls[3].file);
}

TEST_F(Form1Test, AboutBoxIsModalAndTheMainWindowIgnoresClicksMeanwhile) {
  fake_.on_about = [&](frmAbout& about) {
    EXPECT_TRUE(form_.AboutOpen());
    EXPECT_TRUE(drawn_.about);
    form_.Option_Click(1);
    form_.SetText1("typed behind the box");
    form_.Command3_Click();
    form_.Command5_Click();
    form_.Command4_Click();  // no second box
    Drawn only_about;
    only_about.about = true;
    EXPECT_EQ(only_about, Draw(form_));
    EXPECT_TRUE(fake_.shell_calls.empty());
    EXPECT_TRUE(fake_.messages.empty());
    about.cmdOK_Click();
  };
  form_.Command4_Click();
  EXPECT_FALSE(form_.AboutOpen());
  EXPECT_FALSE(drawn_.about);
  EXPECT_EQ(1u, Count("ShowAboutBox"));

  // It opens again, as often as asked.
  form_.Command4_Click();
  EXPECT_EQ(2u, Count("ShowAboutBox"));
  EXPECT_FALSE(form_.AboutOpen());
}

TEST_F(Form1Test, CustomApplyOfABlankOrUnusableTextDeletesAndWritesNothing) {
  for (const char* text : {"   ", "C:\\a|b.exe", "C:\\a?.exe", "\"C:\\a.exe\"", "C:\\a\tb.exe",
                           "C:\\<a>.exe", "*.exe", "C:\\100%\\b.exe"}) {
    SCOPED_TRACE(text);
    form_.SetText1(text);
    fake_.calls.clear();
    fake_.messages.clear();
    form_.Command2_Click();
    EXPECT_EQ(0u, Count("DeleteKeyTree"));
    EXPECT_EQ(0u, Count("RegWrite"));
    EXPECT_TRUE(form_.Command2Enabled());
    // The line is refreshed all the same.
    EXPECT_EQ(1u, Count("OpenKey HKCU\\SOFTWARE\\Clients\\StartMenuInternet"));
    if (std::string(text) == "   ") {
      EXPECT_TRUE(fake_.messages.empty());
    } else {
      ASSERT_EQ(1u, fake_.messages.size());
      EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
      EXPECT_NE(std::string::npos, fake_.messages[0].text.find("not a valid program path"));
    }
  }
}

TEST_F(Form1Test, CustomApplyOfAPathToNothingSaysSoAndChangesNothing) {
  form_.SetText1("  C:\\Program Files\\Opra\\opera.exe ");
  fake_.calls.clear();
  form_.Command2_Click();

  EXPECT_EQ(1u, Count("FileExists C:\\Program Files\\Opra\\opera.exe"));
  EXPECT_EQ(0u, Count("DeleteKeyTree"));
  EXPECT_EQ(0u, Count("RegWrite"));
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(
      "The file \"C:\\Program Files\\Opra\\opera.exe\" does not exist. Choose the browser's "
      "program file with the ... button.",
      fake_.messages[0].text);
  EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
  EXPECT_EQ(16, fake_.messages[0].style);
  EXPECT_TRUE(form_.Command2Enabled());
  EXPECT_EQ(1u, Count("OpenKey HKCU\\SOFTWARE\\Clients\\StartMenuInternet"));
}

TEST_F(Form1Test, ResetNamesTheKeysItCouldNotDeleteAndStillResetsTheWindow) {
  registry_.locked = {R"(Software\Classes\http)", R"(Software\Clients\StartMenuInternet)"};
  form_.Option_Click(3);
  form_.SetText1("C:\\b.exe");
  fake_.calls.clear();
  EXPECT_EQ(Form1Outcome::kResetIncomplete, form_.Command5_Click());

  // Every deletion is still attempted.
  EXPECT_EQ(PerUserResetKeys().size(), Count("DeleteKeyTree"));
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(
      "Not all per-user settings could be cleared. These keys remain:\n"
      "HKEY_CURRENT_USER\\Software\\Classes\\http\n"
      "HKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet",
      fake_.messages[0].text);
  EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
  EXPECT_EQ(16, fake_.messages[0].style);
  EXPECT_EQ(Drawn{}, Draw(form_));
  // The line is read afresh after the message.
  EXPECT_TRUE(fake_.calls.back().starts_with("OpenKey HK"));
}

TEST_F(Form1Test, AnApplyWhoseUserWritesFailSaysHowManyAndStaysPressable) {
  fake_.env["ProgramFiles"] = "C:\\Program Files";
  fake_.files.insert("C:\\Program Files\\GreenBrowser\\GreenBrowser.exe");
  route_.refused = {R"(HKCU\Software\Classes\.htm\)", R"(HKCU\Software\Classes\http\Shell\)",
                    // Refused machine-wide writes are what an account without rights expects.
                    R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\LocalizedString)"};
  form_.Option_Click(1);
  EXPECT_EQ(Form1Outcome::kWritesFailed, form_.Command7_Click());

  // Check_Associations, the 26 rows and the per-user client: 28 writes into the user's hive.
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(
      "2 of 28 settings could not be written, so the browser is not fully set as your default. "
      "Press Apply to try again.",
      fake_.messages[0].text);
  EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
  EXPECT_EQ(16, fake_.messages[0].style);
  EXPECT_TRUE(form_.Command7Enabled());
  EXPECT_TRUE(fake_.calls.back().starts_with("OpenKey HK"));

  // Pressed again once the keys are free, it completes silently.
  route_.refused = {R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\LocalizedString)"};
  EXPECT_EQ(Form1Outcome::kDone, form_.Command7_Click());
  EXPECT_EQ(1u, fake_.messages.size());
  EXPECT_FALSE(form_.Command7Enabled());

  // The custom apply counts its own writes: Check_Associations and the 26 rows.
  route_.refused = {R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)"};
  form_.SetText1("C:\\b.exe");
  EXPECT_EQ(Form1Outcome::kWritesFailed, form_.Command2_Click());
  ASSERT_EQ(2u, fake_.messages.size());
  EXPECT_TRUE(fake_.messages[1].text.starts_with("1 of 27 settings could not be written"));
  EXPECT_TRUE(form_.Command2Enabled());
}

TEST_F(Form1Test, EveryControlThatTakesInputRaisesItsOneEvent) {
  for (const ControlRow& row : Form1Controls()) {
    SCOPED_TRACE(row.name);
    const bool link = row.kind == ControlKind::kLabel &&
                      (row.cursor == Cursor::kHand || std::string(row.name) == "Label2");
    const bool takes_input =
        row.kind == ControlKind::kOptionButton || row.kind == ControlKind::kCommandButton ||
        row.kind == ControlKind::kTextBox || row.kind == ControlKind::kPictureBox || link;
    size_t routes = 0;
    for (const EventRoute& route : Form1Events()) {
      if (std::string(route.control) != row.name) continue;
      ++routes;
      EXPECT_EQ(row.kind == ControlKind::kTextBox ? ControlEvent::kChange : ControlEvent::kClick,
                route.event);
    }
    EXPECT_EQ(takes_input ? 1u : 0u, routes);
  }

  // Each route reaches its own handler.
  EXPECT_TRUE(RaiseEvent(form_, "Option5", ControlEvent::kClick));
  EXPECT_TRUE(form_.OptionValue(5));
  EXPECT_TRUE(RaiseEvent(form_, "Text1", ControlEvent::kChange, "C:\\typed.exe"));
  EXPECT_EQ("C:\\typed.exe", form_.Text1());
  fake_.calls.clear();
  EXPECT_TRUE(RaiseEvent(form_, "Command4", ControlEvent::kClick));
  EXPECT_TRUE(RaiseEvent(form_, "Label2", ControlEvent::kClick));
  EXPECT_EQ((std::vector<std::string>{"ShowAboutBox", "CloseAboutBox",
                                      "ShellExecute http://tarnwick.example.com"}),
            fake_.calls);
  EXPECT_FALSE(RaiseEvent(form_, "Text1", ControlEvent::kClick));
  EXPECT_FALSE(RaiseEvent(form_, "Label1", ControlEvent::kClick));
}

TEST_F(Form1Test, EveryChangeIsBackedUpFirstAndACancelledApplyKeepsNoBackup) {
  fake_.env["ProgramFiles"] = "C:\\Program Files";
  fake_.files.insert("C:\\Program Files\\Maxthon\\Maxthon.exe");
  auto first_change = [&] {
    return std::find_if(fake_.calls.begin(), fake_.calls.end(), [](const std::string& c) {
      return c.starts_with("RegWrite") || c.starts_with("DeleteKeyTree");
    });
  };
  auto backup = [&] {
    return std::find_if(fake_.calls.begin(), fake_.calls.end(),
                        [](const std::string& c) { return c.starts_with("Backup Save"); });
  };

  form_.Option_Click(3);
  form_.Command7_Click();
  ASSERT_NE(fake_.calls.end(), backup());
  EXPECT_EQ("Backup Save Apply Maxthon", *backup());
  EXPECT_LT(backup(), first_change());

  fake_.calls.clear();
  form_.SetText1("C:\\b.exe");
  form_.Command2_Click();
  EXPECT_EQ("Backup Save Apply custom", *backup());
  EXPECT_LT(backup(), first_change());

  fake_.calls.clear();
  form_.Command5_Click();
  EXPECT_EQ("Backup Save Reset", *backup());
  EXPECT_LT(backup(), first_change());
  ASSERT_EQ(3u, fake_.backups.saved.size());
  // Each is a file the registry editor reads.
  for (const auto& saved : fake_.backups.saved) {
    EXPECT_TRUE(saved.bytes.starts_with("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0")) << saved.what;
  }

  // A custom path refused by its checks, and an apply the user cancels, keep none.
  form_.SetText1("C:\\missing.exe");
  EXPECT_EQ(Form1Outcome::kNotApplied, form_.Command2_Click());
  form_.Option_Click(6);
  // Firefox is not installed; the picker is cancelled.
  EXPECT_EQ(Form1Outcome::kCancelled, form_.Command7_Click());
  EXPECT_EQ(1u, fake_.backups.discarded.size());
  EXPECT_EQ(3u, fake_.backups.saved.size());
  EXPECT_TRUE(form_.Command7Enabled());
}

TEST_F(Form1Test, WithoutABackupNothingIsChanged) {
  fake_.backups.fail_reason = "disk full";
  const std::string message =
      "Your current settings could not be saved to \"C:\\Documents and Settings\\Ann\\"
      "Application Data\\Tarnwick\\Backups\" (disk full), so nothing was changed.";
  auto changes = [&] {
    return std::count_if(fake_.calls.begin(), fake_.calls.end(), [](const std::string& c) {
      return c.starts_with("RegWrite") || c.starts_with("DeleteKeyTree");
    });
  };

  form_.Option_Click(2);
  form_.SetText1("C:\\b.exe");
  const Drawn before = Draw(form_);
  fake_.calls.clear();
  for (Form1Outcome (Form1::*press)() :
       {&Form1::Command7_Click, &Form1::Command2_Click, &Form1::Command5_Click}) {
    fake_.messages.clear();
    EXPECT_EQ(Form1Outcome::kBackupFailed, (form_.*press)());
    ASSERT_EQ(1u, fake_.messages.size());
    EXPECT_EQ(message, fake_.messages[0].text);
    EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
    EXPECT_EQ(16, fake_.messages[0].style);
    // The window stays as it was, its pressed button enabled.
    EXPECT_EQ(before, Draw(form_));
  }
  EXPECT_EQ(0, changes());
}

TEST_F(Form1Test, HandlersBeforeASuccessfulLoadDoNoHarm) {
  FakePlatform refused(&registry_, nullptr);
  refused.version = {2, 6, 1};
  Form1 form(refused.platform());
  ASSERT_FALSE(form.Form_Load());
  refused.calls.clear();
  form.Option_Click(1);
  form.Command7_Click();
  form.SetText1("C:\\a.exe");
  form.Command2_Click();
  form.Command1_Click();
  // No object exists: nothing is written, no dialog shown, the picker counts as cancelled.
  EXPECT_EQ(0, std::count_if(refused.calls.begin(), refused.calls.end(), [](const std::string& c) {
              return c.starts_with("RegWrite") || c.starts_with("ShowOpen");
            }));
  EXPECT_TRUE(form.Command7Enabled());
}

}  // namespace
}  // namespace tarnwick
