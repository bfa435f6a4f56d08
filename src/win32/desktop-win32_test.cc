#include "win32/desktop-win32.h"

#include <gtest/gtest.h>

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

TEST(Win32DesktopTest, ShellExecuteOpensTheFileWithItsVerb) {
  // A batch file in a folder named beyond ASCII, which leaves a marker file when opened.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      temp + std::wstring(L"tarnwick \u00E9 ") + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring script = folder + L"\\open.bat";
  const std::wstring marker = folder + L"\\opened.txt";
  HANDLE file = CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  const char text[] = "@echo opened> \"%~dp0opened.txt\"\r\n";
  DWORD written = 0;
  WriteFile(file, text, sizeof text - 1, &written, nullptr);
  CloseHandle(file);

  MessageOnlyDesktop().ShellExecute(ShellOwner::kDesktop, "open", Narrow(script), kSwShowNormal);
  bool opened = false;
  for (int attempt = 0; attempt < 600 && !opened; ++attempt) {
    opened = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!opened) Sleep(50);
  }
  EXPECT_TRUE(opened);

  Sleep(200);  // the batch may still hold its own file
  DeleteFileW(marker.c_str());
  DeleteFileW(script.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace tarnwick
