#include "shell/startup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/fake_platform.h"
#include "shell/form1.h"

namespace tarnwick {
namespace {

std::string NameOf(uint32_t platform_id, uint32_t major, uint32_t minor) {
  FakePlatform fake(nullptr, nullptr);
  fake.version = {platform_id, major, minor};
  return GetWindowsVersionName(fake);
}

TEST(GetWindowsVersionNameTest, NamesXpForBothNt5Minors) {
  EXPECT_EQ("Windows XP", NameOf(2, 5, 1));
  EXPECT_EQ("Windows XP", NameOf(2, 5, 2));
  EXPECT_EQ("Windows XP", NameOf(2, 5, 7));
  EXPECT_EQ("Windows 2000", NameOf(2, 5, 0));
}

TEST(GetWindowsVersionNameTest, NtMajorDecidesAloneBelowFive) {
  EXPECT_EQ("Windows NT 3.51", NameOf(2, 3, 10));
  EXPECT_EQ("Windows NT 3.51", NameOf(2, 3, 51));
  EXPECT_EQ("Windows NT 4.0", NameOf(2, 4, 0));
  EXPECT_EQ("Windows NT 4.0", NameOf(2, 4, 90));
  EXPECT_EQ("", NameOf(2, 6, 0));
  EXPECT_EQ("", NameOf(2, 10, 0));
  EXPECT_EQ("", NameOf(2, 2, 0));
}

TEST(GetWindowsVersionNameTest, NineXFamilyIgnoresMajor) {
  EXPECT_EQ("Windows 95", NameOf(1, 4, 0));
  EXPECT_EQ("Windows 98", NameOf(1, 4, 10));
  EXPECT_EQ("Windows Millennium", NameOf(1, 4, 90));
  EXPECT_EQ("Windows 98", NameOf(1, 7, 10));
  EXPECT_EQ("", NameOf(1, 4, 3));
  EXPECT_EQ("", NameOf(1, 5, 1));  // an XP version number on the wrong platform
}

TEST(GetWindowsVersionNameTest, UnknownPlatformFails) {
  EXPECT_EQ("Failed", NameOf(0, 0, 0));  // the query failed and left the record zero
  EXPECT_EQ("Failed", NameOf(0, 5, 1));
  EXPECT_EQ("Failed", NameOf(3, 5, 1));
}

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : registry_(&fake_.calls), fake_(&registry_, nullptr) {}

  bool Called(const std::string& call) const {
    return std::find(fake_.calls.begin(), fake_.calls.end(), call) != fake_.calls.end();
  }
  bool ReadAnything() const {
    return std::any_of(fake_.calls.begin(), fake_.calls.end(),
                       [](const std::string& c) { return c.starts_with("OpenKey"); });
  }

  RecordingRegistry registry_;
  FakePlatform fake_;
};

TEST_F(StartupTest, RefusesEveryReleaseButXpBeforeTouchingAnything) {
  for (OsVersionInfo v : {OsVersionInfo{2, 5, 0}, OsVersionInfo{2, 6, 1}, OsVersionInfo{1, 4, 90},
                          OsVersionInfo{0, 0, 0}}) {
    fake_.calls.clear();
    fake_.messages.clear();
    fake_.version = v;
    Form1 form(fake_.platform());
    EXPECT_FALSE(form.Form_Load());
    // The message, then the unload step; no object, no registry read.
    EXPECT_EQ((std::vector<std::string>{"GetVersionEx", "MsgBox Tarnwick for Windows\u00AE XP",
                                        "CloseAboutBox"}),
              fake_.calls);
    ASSERT_EQ(1u, fake_.messages.size());
    EXPECT_EQ(
        "This utility is intended for Windows\u00AE XP systems only. This utility will now quit.",
        fake_.messages[0].text);
    EXPECT_EQ(64, fake_.messages[0].style);
  }
}

TEST_F(StartupTest, LoadsInOrderAndOpensInItsInitialState) {
  Form1 form(fake_.platform());
  int changes = 0;
  form.SetObserver([&] { ++changes; });
  ASSERT_TRUE(form.Form_Load());

  const std::vector<std::string> head = {"GetVersionEx", "Create WScript.Shell",
                                         "Create Scripting.FileSystemObject",
                                         "Create UserAccounts.CommonDialog"};
  ASSERT_GE(fake_.calls.size(), head.size() + 1);
  EXPECT_EQ(head, std::vector<std::string>(fake_.calls.begin(), fake_.calls.begin() + 4));
  // Then the current-default line is read, per user first.
  EXPECT_EQ("OpenKey HKCU\\SOFTWARE\\Clients\\StartMenuInternet", fake_.calls[4]);
  EXPECT_TRUE(fake_.messages.empty());

  for (int i = 1; i <= 8; ++i) EXPECT_FALSE(form.OptionValue(i)) << i;
  EXPECT_FALSE(form.Command7Enabled());
  EXPECT_FALSE(form.Command2Enabled());
  EXPECT_EQ("", form.Text1());
  EXPECT_FALSE(form.Frame4Visible());
  EXPECT_EQ("", form.Label5Caption());
  EXPECT_FALSE(form.AboutOpen());
  EXPECT_EQ(0, changes);  // nothing differs from the state the window was made with
}

TEST_F(StartupTest, AnObjectThatCannotBeCreatedStopsStartUpAtItsStep) {
  const std::vector<std::string> prog_ids = {"WScript.Shell", "Scripting.FileSystemObject",
                                             "UserAccounts.CommonDialog"};
  for (size_t failing = 0; failing < prog_ids.size(); ++failing) {
    SCOPED_TRACE(prog_ids[failing]);
    fake_.calls.clear();
    fake_.messages.clear();
    fake_.fail_prog_id = prog_ids[failing];
    Form1 form(fake_.platform());
    EXPECT_FALSE(form.Form_Load());

    for (size_t i = 0; i < prog_ids.size(); ++i) {
      EXPECT_EQ(i <= failing, Called("Create " + prog_ids[i])) << prog_ids[i];
    }
    EXPECT_FALSE(ReadAnything());
    ASSERT_EQ(1u, fake_.messages.size());
    EXPECT_NE(std::string::npos, fake_.messages[0].text.find("\"" + prog_ids[failing] + "\""));
    EXPECT_NE(std::string::npos, fake_.messages[0].text.find("class not registered"));
    EXPECT_EQ("Tarnwick for Windows\u00AE XP", fake_.messages[0].title);
    EXPECT_EQ(kVbCritical, fake_.messages[0].style);
  }
}

TEST_F(StartupTest, UnloadClosesTheAboutBoxOpenOrNot) {
  Form1 form(fake_.platform());
  ASSERT_TRUE(form.Form_Load());
  form.Form_Unload();
  EXPECT_TRUE(Called("CloseAboutBox"));

  // Closing the main window while the About box is up takes the box down too.
  fake_.on_about = [&](frmAbout&) {
    EXPECT_TRUE(form.AboutOpen());
    form.Form_Unload();
    EXPECT_FALSE(fake_.about_showing);
  };
  form.Command4_Click();
  EXPECT_FALSE(form.AboutOpen());
}

}  // namespace
}  // namespace tarnwick
