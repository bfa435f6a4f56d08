#include <gtest/gtest.h>

#include "win32/desktop-win32.h"
#include "win32/testing-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

TEST(Win32EnvironmentTest, ReadsVariablesInUtf8OfAnyLength) {
  Win32Environment environment;
  const std::wstring long_value = L"C:\\Programme \u00C4\u20AC\\" + std::wstring(400, L'x');
  ASSERT_TRUE(SetEnvironmentVariableW(L"TARNWICK_TEST_VALUE", long_value.c_str()));
  EXPECT_EQ(Narrow(long_value), environment.Get("TARNWICK_TEST_VALUE"));
  EXPECT_EQ(Narrow(long_value), environment.Get("tarnwick_test_value"));

  ASSERT_TRUE(SetEnvironmentVariableW(L"TARNWICK_TEST_VALUE", nullptr));
  EXPECT_EQ("", environment.Get("TARNWICK_TEST_VALUE"));
}

// Only message boxes are testable here; the About box belongs to the window.
class MessageOnlyDesktop : public Win32Desktop {
 public:
  void ShowAboutBox(frmAbout&) override {}
  void CloseAboutBox() override {}
};

TEST(Win32DesktopTest, MessageBoxShowsTextAndTitleInUnicode) {
  std::wstring title, text;
  DialogDriver driver([&](HWND box) {
    title = WindowText(box);
    text = WindowText(GetDlgItem(box, 0xFFFF));  // the message's static control
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  MessageOnlyDesktop().MsgBox("Per-user settings are cleared.", "Tarnwick for Windows\xC2\xAE XP",
                              kVbInformation);
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(L"Tarnwick for Windows\u00AE XP", title);
  EXPECT_EQ(L"Per-user settings are cleared.", text);
}

}  // namespace
}  // namespace tarnwick
