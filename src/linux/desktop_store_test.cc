#include "linux/desktop_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "freedesktop/xdg_home_for_test.h"
#include "linux/store_choice.h"
#include "shell/backup_folder.h"
#include "shell/command_line.h"
#include "shell/fake_platform.h"
#include "shell/form1.h"
#include "shell/unattended.h"
#include "shell/unattended_platform.h"

namespace tarnwick {
namespace {

constexpr int kFirefox = 1;  // the table's first row
constexpr int kChromium = 2;
constexpr char kMimeapps[] = "home/.config/mimeapps.list";

// The window's model over a desktop store in an isolated home with Firefox ESR installed.
class DesktopStoreTest : public ::testing::Test {
 protected:
  DesktopStoreTest() { home_.AddBrowser("firefox-esr.desktop", "Firefox ESR"); }

  Form1& Loaded() {
    store_.emplace(home_.paths, &backups_, home_.root() + "/once");
    platform_.desktop = &fake_;
    platform_.store = &*store_;
    form_.emplace(platform_);
    EXPECT_TRUE(form_->Form_Load());
    return *form_;
  }

  freedesktop::XdgHome home_;
  std::vector<std::string> calls_;
  FakeBackupFolder backups_{&calls_};
  FakePlatform fake_{nullptr, nullptr};
  Platform platform_;
  std::optional<DesktopStore> store_;
  std::optional<Form1> form_;
};

TEST_F(DesktopStoreTest, PresetsAreNamedByTheirInstalledEntries) {
  Loaded();
  EXPECT_EQ("Firefox ESR", form_->OptionCaption(kFirefox));
  EXPECT_EQ("Chromium", form_->OptionCaption(kChromium));
  EXPECT_TRUE(store_->PresetInstalled(kFirefox));
  EXPECT_FALSE(store_->PresetInstalled(kChromium));
  EXPECT_EQ(kFirefox, store_->FindPreset("firefox"));
  EXPECT_EQ(kFirefox, store_->FindPreset("FIREFOX ESR"));
  EXPECT_EQ(0, store_->FindPreset("Netscape"));
  EXPECT_NE(std::string::npos, store_->WhyNotInstalled(kChromium).find("chromium.desktop"));
}

TEST_F(DesktopStoreTest, ApplyResetAndRestoreGoThroughTheWindowsModel) {
  home_.Put(kMimeapps, "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n");
  const std::string before = home_.Read(kMimeapps);
  Form1& form = Loaded();
  EXPECT_FALSE(form.Frame4Visible());

  form.Option_Click(kFirefox);
  EXPECT_EQ(Form1Outcome::kDone, form.Command7_Click());
  EXPECT_TRUE(fake_.messages.empty());
  EXPECT_EQ("Firefox ESR is currently the default browser.", form.Label5Caption());
  EXPECT_FALSE(form.Command7Enabled());
  ASSERT_EQ(1u, backups_.saved.size());
  EXPECT_EQ("Apply Firefox ESR", backups_.saved[0].what);
  EXPECT_TRUE(store_->NotInPlace(kFirefox, "").empty());
  // Applying again changes nothing and so saves no backup.
  form.Option_Click(kFirefox);
  EXPECT_EQ(Form1Outcome::kDone, form.Command7_Click());
  EXPECT_EQ(1u, backups_.saved.size());

  EXPECT_EQ(Form1Outcome::kDone, form.Command5_Click());
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(kVbInformation, fake_.messages[0].style);
  EXPECT_EQ("Tarnwick", fake_.messages[0].title);
  EXPECT_FALSE(form.Frame4Visible());
  EXPECT_FALSE(store_->NotInPlace(kFirefox, "").empty());

  // The apply's backup brings back the bytes before it, and saves the present state first.
  std::string detail;
  const FakeBackupFolder::Saved apply = backups_.saved[0];
  EXPECT_EQ(RestoreOutcome::kRestored, store_->Restore(apply.file, apply.bytes, &detail)) << detail;
  EXPECT_EQ(before, home_.Read(kMimeapps));
  EXPECT_EQ("Undo", backups_.saved.back().what);
  // A refused backup changes nothing, so the state saved before it goes again.
  const size_t saved = backups_.saved.size();
  EXPECT_EQ(RestoreOutcome::kRefused, store_->Restore("x.reg", "Windows Registry Editor", &detail));
  EXPECT_EQ(saved, backups_.saved.size());
  ASSERT_EQ(1u, backups_.discarded.size());

  // A restore that fails while writing is no refusal: what it changed is not known, so the
  // state saved before it stays.
  const std::string helpers_rc = home_.paths.config_home + "/xfce4/helpers.rc";
  ASSERT_EQ(0, symlink((home_.root() + "/nowhere").c_str(),
                       (home_.paths.config_home + "/xfce4").c_str()));
  EXPECT_EQ(
      RestoreOutcome::kFailed,
      store_->Restore("x", "tarnwick freedesktop backup 2\nfile 2 0644 " + helpers_rc + "\nx\n\n",
                      &detail));
  EXPECT_NE(std::string::npos, detail.find("helpers.rc")) << detail;
  EXPECT_EQ(saved + 1, backups_.saved.size());
  EXPECT_EQ(1u, backups_.discarded.size());
}

TEST_F(DesktopStoreTest, RefusedChangesWriteNothing) {
  Form1& form = Loaded();
  // Not installed, and no picker to ask with.
  form.Option_Click(kChromium);
  EXPECT_EQ(Form1Outcome::kCancelled, form.Command7_Click());
  // No such program; a relative path.
  for (const std::string& path : {home_.root() + "/bin/none", std::string("bin/firefox-esr")}) {
    form.SetText1(path);
    EXPECT_EQ(Form1Outcome::kNotApplied, form.Command2_Click()) << path;
    EXPECT_FALSE(store_->CustomAccepted(path));
  }
  ASSERT_EQ(2u, fake_.messages.size());
  EXPECT_NE(std::string::npos, fake_.messages[0].text.find("does not exist"));
  // A backup that cannot be saved stops the apply.
  backups_.fail_reason = "no space left on device";
  form.SetText1(home_.root() + "/bin/firefox-esr");
  EXPECT_EQ(Form1Outcome::kBackupFailed, form.Command2_Click());
  EXPECT_EQ("<absent>", home_.Read(kMimeapps));
  EXPECT_TRUE(backups_.saved.empty());
}

TEST_F(DesktopStoreTest, AHalfDefaultAndAnOverrideAreToldOfNotHidden) {
  home_.AddBrowser("chromium.desktop", "Chromium");
  home_.Put(kMimeapps,
            "[Default Applications]\nx-scheme-handler/http=firefox-esr.desktop\n"
            "x-scheme-handler/https=chromium.desktop\ntext/html=firefox-esr.desktop\n");
  home_.paths.browser_variable = "lynx";
  Form1& form = Loaded();
  EXPECT_EQ(
      "Firefox ESR is currently the default browser for http, but x-scheme-handler/https opens "
      "in Chromium.",
      form.Label5Caption());
  EXPECT_EQ("Firefox ESR", store_->NameOfLine(form.Label5Caption()));

  form.Option_Click(kFirefox);
  EXPECT_EQ(Form1Outcome::kDone, form.Command7_Click());
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(kVbExclamation, fake_.messages[0].style);
  EXPECT_NE(std::string::npos, fake_.messages[0].text.find("BROWSER"));
  EXPECT_EQ("Firefox ESR is currently the default browser.", form.Label5Caption());
}

class TextConsole final : public Console {
 public:
  void WriteLine(Stream stream, std::string_view text) override {
    (stream == Stream::kOutput ? out : err) += std::string(text) + "\n";
  }
  std::string out, err;
};

// A script that reads the name is told the whole line where the name is not the whole truth.
TEST_F(DesktopStoreTest, QueryPrintsTheNameAndAHalfDefaultsLineOnStandardError) {
  home_.AddBrowser("chromium.desktop", "Chromium");
  const std::string http =
      "[Default Applications]\nx-scheme-handler/http=firefox-esr.desktop\n"
      "x-scheme-handler/https=firefox-esr.desktop\n";
  const struct {
    std::string html, err;
  } kCases[] = {
      {"firefox-esr.desktop", ""},
      {"chromium.desktop",
       "Firefox ESR is currently the default browser for http, but text/html opens in "
       "Chromium.\n"},
  };
  const std::vector<std::string> args = {"--query"};
  for (const auto& c : kCases) {
    home_.Put(kMimeapps, http + "text/html=" + c.html + "\n");
    store_.emplace(home_.paths, &backups_, home_.root() + "/once");
    platform_.desktop = &fake_;
    platform_.store = &*store_;
    TextConsole console;
    UnattendedPlatform host;
    host.console = &console;
    host.spelling = Spelling::kLinux;
    EXPECT_EQ(kExitDone, RunUnattended(args, platform_, host)) << c.html;
    EXPECT_EQ("Firefox ESR\n", console.out) << c.html;
    EXPECT_EQ(c.err, console.err) << c.html;
  }
}

TEST_F(DesktopStoreTest, TheBrowserSetOnceIsRemembered) {
  Loaded();
  EXPECT_FALSE(store_->WasSetOnce("Firefox ESR"));
  std::string err;
  ASSERT_TRUE(store_->RecordOnce("Firefox ESR", &err)) << err;
  EXPECT_TRUE(store_->WasSetOnce("Firefox ESR"));
  EXPECT_FALSE(store_->WasSetOnce("Chromium"));
}

TEST(StoreChoiceTest, TheDesktopsBackupsAreNamedForWhatTheyHoldAndEarlierOnesStillCount) {
  freedesktop::XdgHome home;
  const std::string folder = home.paths.data_home + "/tarnwick/desktop-backups/";
  const std::string earlier = home.Put(folder + "2024-03-07 09-00-00 #4 Apply Firefox.reg", "x");
  home.Put(folder + "notes.txt", "mine");
  std::unique_ptr<BackupFolder> backups = OpenDesktopBackupFolder(home.paths);
  std::string err, bytes;
  EXPECT_EQ(earlier, backups->Newest(&err));
  ASSERT_TRUE(backups->Read(earlier, &bytes, &err)) << err;

  const std::optional<std::string> saved = backups->Save("Undo", "y", &err);
  ASSERT_TRUE(saved) << err;
  EXPECT_TRUE(saved->starts_with(folder)) << *saved;
  EXPECT_TRUE(saved->ends_with(" #5 Undo.tarnwick-backup")) << *saved;
  EXPECT_EQ(saved, backups->Newest(&err));
  EXPECT_EQ("x", home.Read(earlier));
  EXPECT_EQ("mine", home.Read(folder + "notes.txt"));
}

TEST(StoreChoiceTest, TheStandInIsAskedForByOptionOrEnvironment) {
  struct Case {
    std::vector<std::string> args;
    std::map<std::string, std::string> env;
    bool standin;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {{"tarnwick"}, {}, false, {"tarnwick"}},
      {{"tarnwick", "--query"}, {{"TARNWICK_STANDIN", "0"}}, false, {"tarnwick", "--query"}},
      {{"tarnwick", "--standin", "--query", "--standin"}, {}, true, {"tarnwick", "--query"}},
      {{"tarnwick"}, {{"TARNWICK_STANDIN", "1"}}, true, {"tarnwick"}},
      {{"tarnwick"}, {{"TARNWICK_USER_HIVE", "/h/u.hive"}}, true, {"tarnwick"}},
      {{"tarnwick"}, {{"TARNWICK_MACHINE_HIVE", "/h/m.hive"}}, true, {"tarnwick"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> storage = c.args;
    std::vector<char*> argv;
    for (std::string& arg : storage) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    const bool standin = TakeStandInChoice(&argc, argv.data(), [&](const char* name) {
      auto it = c.env.find(name);
      return it == c.env.end() ? std::string() : it->second;
    });
    EXPECT_EQ(c.standin, standin) << c.args.size();
    EXPECT_EQ(c.left, std::vector<std::string>(argv.data(), argv.data() + argc));
    EXPECT_EQ(nullptr, argv[argc]);
  }
}

}  // namespace
}  // namespace tarnwick
