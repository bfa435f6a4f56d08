#include "win32/main_window-win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "shell/fake_platform.h"
#include "shell/form1.h"
#include "shell/layout.h"
#include "shell/web_links.h"
#include "win32/main_window_for_test-win32.h"
#include "win32/testing-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

// Twips to pixels as a reader of the table would work them out: 1,440 twips to the inch,
// rounded to the nearest pixel.
int Pixels(int twips, int dpi) { return static_cast<int>(std::floor(twips * dpi / 1440.0 + 0.5)); }

TEST_F(MainWindowWin32Test, EveryControlSitsAtItsTwipRectangleInTheClientArea) {
  RECT client;
  GetClientRect(window_.hwnd(), &client);
  const int dpi = ScreenDpi();
  EXPECT_EQ(Pixels(4560, dpi), client.right);
  EXPECT_EQ(Pixels(6705, dpi), client.bottom);

  for (const ControlRow& row : Form1Controls()) {
    // Frames are drawn by the window; the picture box takes its picture's size.
    if (row.kind == ControlKind::kFrame || row.kind == ControlKind::kPictureBox) continue;
    const HWND control = Control(row.name);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    // The control's place in the client area: its own and its frames', added in twips, each
    // edge then converted on its own.
    int x = row.left, y = row.top;
    for (const ControlRow* in = FindControl(Form1Controls(), row.container); in != nullptr;
         in = FindControl(Form1Controls(), in->container)) {
      x += in->left;
      y += in->top;
    }
    EXPECT_EQ(Pixels(x, dpi), rect.left) << row.name << " at " << dpi << " dpi";
    EXPECT_EQ(Pixels(y, dpi), rect.top) << row.name;
    EXPECT_EQ(Pixels(x + row.width, dpi), rect.right) << row.name;
    EXPECT_EQ(Pixels(y + row.height, dpi), rect.bottom) << row.name;
    // Captions keep their access markers: the dialog manager finds the keys there.
    EXPECT_EQ(row.caption ? row.caption : "", Narrow(WindowText(control))) << row.name;
  }
  EXPECT_EQ("Tarnwick v1.5 for Windows\u00AE XP", Narrow(WindowText(window_.hwnd())));
}

TEST_F(MainWindowWin32Test, OpensWithNothingSelectedBothApplysOffAndTheLineHidden) {
  for (const char* option : {"Option1", "Option5", "Option8"}) EXPECT_FALSE(Checked(option));
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));
  EXPECT_FALSE(IsWindowEnabled(Control("Command2")));
  EXPECT_TRUE(IsWindowEnabled(Control("Command5")));
  EXPECT_FALSE(window_.controls().Visible("Frame4"));
  EXPECT_FALSE(HasStyle(Control("Label5"), WS_VISIBLE));
  EXPECT_TRUE(HasStyle(Control("Label4"), WS_VISIBLE));
  // With nothing selected the keyboard enters the option group at its first button.
  EXPECT_TRUE(HasStyle(Control("Option1"), WS_TABSTOP));
  EXPECT_FALSE(HasStyle(Control("Option2"), WS_TABSTOP));
}

TEST_F(MainWindowWin32Test, AnOptionClickSelectsOnlyItAndEnablesThePresetsApply) {
  Click("Option3");
  EXPECT_TRUE(Checked("Option3"));
  EXPECT_TRUE(IsWindowEnabled(Control("Command7")));
  EXPECT_FALSE(IsWindowEnabled(Control("Command2")));

  Click("Option6");
  EXPECT_TRUE(Checked("Option6"));
  EXPECT_FALSE(Checked("Option3"));
  EXPECT_TRUE(form_->OptionValue(6));
  // The group's tab stop moves to the selected option.
  EXPECT_TRUE(HasStyle(Control("Option6"), WS_TABSTOP));
  EXPECT_FALSE(HasStyle(Control("Option1"), WS_TABSTOP));
}

TEST_F(MainWindowWin32Test, TheKeyboardFollowsTheTabOrderAndTheArrowsSelectOptions) {
  // The arrow keys move through the option group and select as they go.
  Click("Option3");
  MSG down = {Control("Option3"), WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageW(window_.hwnd(), &down));
  EXPECT_TRUE(form_->OptionValue(4));
  EXPECT_FALSE(form_->OptionValue(3));
  EXPECT_TRUE(Checked("Option4"));

  // Tab: from the selected option through the enabled buttons to the text box and round.
  const std::vector<std::string> expected = {"Command7", "Command1", "Command5", "Command3",
                                             "Command4", "Text1",    "Picture1", "Option4"};
  HWND at = Control("Option4");
  for (const std::string& name : expected) {
    at = GetNextDlgTabItem(window_.hwnd(), at, FALSE);
    EXPECT_EQ(window_.Control(name), at) << "expected " << name;
  }
}

TEST_F(MainWindowWin32Test, OptionsThatOnlyReceiveTheFocusStayUnselected) {
  Platform platform = fake_.platform();
  platform.desktop = &window_;  // real message boxes, which take the focus and give it back
  Start(platform);
  ClickOptionsOnFocusAsWindowsDoes(window_);

  // Start-up gives the keyboard to the first option.
  window_.Show();
  EXPECT_EQ(Control("Option1"), GetFocus());
  EXPECT_GT(g_focus_clicks, 0);
  EXPECT_TRUE(NoOptionSelected());
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));

  // The window loses the activation and gets it back.
  const int before = g_focus_clicks;
  SendMessageW(window_.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(nullptr);
  SendMessageW(window_.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_GT(g_focus_clicks, before);
  EXPECT_TRUE(NoOptionSelected());
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));

  // A real click still selects.
  const HWND option2 = Control("Option2");
  SendMessageW(option2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(option2, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(form_->OptionValue(2));
  EXPECT_TRUE(IsWindowEnabled(Control("Command7")));
  ASSERT_EQ(option2, GetFocus());

  // Reset while that option has the focus: the message box takes the focus, and gives it back
  // to the option, now unchecked.
  const int before_reset = g_focus_clicks;
  DialogDriver ok([](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
  Notify("Command5", BN_CLICKED);
  ASSERT_TRUE(ok.Finish());
  EXPECT_GT(g_focus_clicks, before_reset);
  EXPECT_TRUE(NoOptionSelected());
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));
}

TEST_F(MainWindowWin32Test, TheKeyboardAloneSelectsAPresetAndAppliesIt) {
  fake_.env["ProgramFiles"] = R"(C:\Program Files)";
  fake_.files = {R"(C:\Program Files\Maxthon\Maxthon.exe)"};
  Start(fake_.platform());
  ClickOptionsOnFocusAsWindowsDoes(window_);
  window_.Show();
  ASSERT_EQ(Control("Option1"), GetFocus());

  // The arrow keys select as they move; the first stop is no selection.
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(DialogKey(VK_DOWN));
  EXPECT_EQ(Control("Option3"), GetFocus());
  EXPECT_TRUE(form_->OptionValue(3));
  EXPECT_TRUE(IsWindowEnabled(Control("Command7")));

  EXPECT_TRUE(DialogKey(VK_TAB));
  ASSERT_EQ(Control("Command7"), GetFocus());
  fake_.calls.clear();
  EXPECT_TRUE(DialogKey(VK_RETURN));
  EXPECT_EQ(1u, Calls(R"(RegWrite HKCU\Software\Clients\StartMenuInternet\)"));
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));
  EXPECT_TRUE(form_->OptionValue(3));
}

TEST_F(MainWindowWin32Test, EnterAndSpacePressTheFocusedButton) {
  FakePlatform& fake = fake_;
  fake.files = {R"(C:\b.exe)"};
  window_.Show();
  struct Press {
    const char* button;
    std::string effect;  // the start of a call the button's handler makes
  } presses[] = {
      {"Command7", R"(RegWrite HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)"},
      {"Command1", "MsgBox Note"},
      {"Command2", R"(FileExists C:\b.exe)"},
      {"Command5", "MsgBox Tarnwick"},
      {"Command3", "ShellExecute"},
      {"Command4", "ShowAboutBox"},
  };
  for (const Press& press : presses) {
    for (const bool enter : {true, false}) {
      SCOPED_TRACE(std::string(press.button) + (enter ? " Enter" : " Space"));
      // The Apply buttons take the keyboard only while they can be pressed.
      form_->Option_Click(1);
      form_->SetText1(enter ? R"(C:\b.exe)" : R"( C:\b.exe)");
      const HWND button = Control(press.button);
      SetFocus(button);
      ASSERT_EQ(button, GetFocus());
      fake.calls.clear();
      if (enter) {
        EXPECT_TRUE(DialogKey(VK_RETURN));
      } else {
        Space(button);
      }
      const size_t made =
          std::count_if(fake.calls.begin(), fake.calls.end(),
                        [&](const std::string& c) { return c.starts_with(press.effect); });
      EXPECT_GE(made, 1u);
    }
  }
  // Enter elsewhere presses nothing.
  SetFocus(Control("Text1"));
  fake.calls.clear();
  DialogKey(VK_RETURN);
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(MainWindowWin32Test, FailedDeletionsAndWritesAreToldNotHidden) {
  registry_.locked = {R"(Software\Classes\ftp)"};
  Notify("Command5", BN_CLICKED);
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(
      "Not all per-user settings could be cleared. These keys remain:\n"
      "HKEY_CURRENT_USER\\Software\\Classes\\ftp",
      fake_.messages[0].text);
  EXPECT_EQ(kVbCritical, fake_.messages[0].style);

  fake_.files = {R"(C:\b.exe)"};
  route_.refused = {R"(HKCU\Software\Classes\ftp\DefaultIcon\)"};
  SetWindowTextW(Control("Text1"), L"C:\\b.exe");
  Notify("Command2", BN_CLICKED);
  ASSERT_EQ(2u, fake_.messages.size());
  EXPECT_EQ(
      "1 of 27 settings could not be written, so the browser is not fully set as your default. "
      "Press Apply to try again.",
      fake_.messages[1].text);
  EXPECT_TRUE(IsWindowEnabled(Control("Command2")));
}

TEST_F(MainWindowWin32Test, TheDonationLinksShowTheHand) {
  EXPECT_TRUE(window_.controls().SetCursorFor(Control("Label4")));
  EXPECT_TRUE(window_.controls().SetCursorFor(Control("Picture1")));
  EXPECT_FALSE(window_.controls().SetCursorFor(Control("Label2")));
  EXPECT_FALSE(window_.controls().SetCursorFor(Control("Command3")));
}

TEST_F(MainWindowWin32Test, TypingAPathEnablesTheCustomApplyAndResetClearsIt) {
  SetWindowTextW(Control("Text1"), L"C:\\Program Files\\Opera\\opera.exe");
  EXPECT_EQ("C:\\Program Files\\Opera\\opera.exe", form_->Text1());
  EXPECT_TRUE(IsWindowEnabled(Control("Command2")));
  Click("Option2");

  Notify("Command5", BN_CLICKED);
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ(kVbInformation, fake_.messages[0].style);
  EXPECT_EQ(L"", WindowText(Control("Text1")));
  EXPECT_FALSE(IsWindowEnabled(Control("Command2")));
  EXPECT_FALSE(IsWindowEnabled(Control("Command7")));
  EXPECT_FALSE(Checked("Option2"));
}

TEST_F(MainWindowWin32Test, TheCurrentDefaultLineShowsInItsFrame) {
  OneClientRegistry registry;
  Platform platform = fake_.platform();
  platform.registry = &registry;
  Start(platform);
  EXPECT_TRUE(window_.controls().Visible("Frame4"));
  EXPECT_TRUE(HasStyle(Control("Label5"), WS_VISIBLE));
  EXPECT_EQ(L"Maxthon Web Browser is currently the default browser.",
            WindowText(Control("Label5")));
}

TEST_F(MainWindowWin32Test, LinksAndButtonsReachTheirHandlers) {
  Notify("Command3", BN_CLICKED);
  Notify("Label2", STN_CLICKED);
  Notify("Picture1", STN_CLICKED);
  Notify("Label4", STN_CLICKED);
  Notify("Label1", STN_CLICKED);  // the banner is no link
  ASSERT_EQ(4u, fake_.shell_calls.size());
  EXPECT_EQ(kProgramPageUrl, fake_.shell_calls[0].file);
  EXPECT_EQ(kSwShowMaximized, fake_.shell_calls[0].show_command);
  EXPECT_EQ(kSiteRootUrl, fake_.shell_calls[1].file);
  EXPECT_EQ(ShellOwner::kNone, fake_.shell_calls[1].owner);
  EXPECT_EQ(kDonationPageUrl, fake_.shell_calls[2].file);
  EXPECT_EQ(ShellOwner::kDesktop, fake_.shell_calls[2].owner);
  EXPECT_EQ(kDonationPageUrl, fake_.shell_calls[3].file);

  // The browse button shows its note before the dialog; a cancelled dialog changes nothing.
  Notify("Command1", BN_CLICKED);
  ASSERT_EQ(1u, fake_.messages.size());
  EXPECT_EQ("Note", fake_.messages[0].title);
  EXPECT_FALSE(IsWindowEnabled(Control("Command2")));
}

TEST_F(MainWindowWin32Test, AGraphicalButtonDrawsItsCaptionBelowThePictureSpace) {
  const HWND button = Control("Command5");
  RECT rect;
  GetClientRect(button, &rect);
  const MemoryCanvas canvas(rect.right, rect.bottom);
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_BUTTON;
  draw.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hwndItem = button;
  draw.hDC = canvas.dc();
  draw.rcItem = rect;
  // Focused, the button carries the dotted focus rectangle inside its edge.
  draw.itemState = ODS_FOCUS;
  ASSERT_TRUE(window_.controls().DrawItem(draw));
  std::vector<COLORREF> focused;
  for (int y = 0; y < rect.bottom; ++y) focused.push_back(canvas.At(rect.right / 2, y));
  draw.itemState = 0;
  ASSERT_TRUE(window_.controls().DrawItem(draw));
  int focus_pixels = 0;
  for (int y = 0; y < rect.bottom; ++y) focus_pixels += focused[y] != canvas.At(rect.right / 2, y);
  EXPECT_GE(focus_pixels, 1);

  // The caption's ink lies below the 32 pixels kept for the picture, and there is some.
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  int ink_pixels = 0, highest = rect.bottom;
  for (int y = 2; y < rect.bottom - 2; ++y) {
    for (int x = 2; x < rect.right - 2; ++x) {
      if (canvas.At(x, y) != ink) continue;
      ++ink_pixels;
      if (y < highest) highest = y;
    }
  }
  EXPECT_GT(ink_pixels, 10);
  EXPECT_GE(highest, 2 + 32);
  EXPECT_FALSE(window_.controls().DrawItem(
      DRAWITEMSTRUCT{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, 0, Control("Command1"), nullptr, rect, 0}));
}

// The About box runs its own modal loop; the timer acts from inside it.
MainWindow* g_about_owner = nullptr;
bool g_about_seen = false;
bool g_owner_disabled = false;
std::wstring g_about_title;
WPARAM g_about_key = VK_ESCAPE;
bool g_about_forced = false;

// Should the key not close the box, this does, so that the test fails instead of hanging.
void CALLBACK ForceAboutClosed(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!g_about_owner || !g_about_owner->about_hwnd()) return;
  g_about_forced = true;
  g_about_owner->CloseAboutBox();
}

void CALLBACK PressKeyInAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const HWND about = g_about_owner->about_hwnd();
  g_about_seen = about != nullptr;
  if (!about) return;
  g_about_title = WindowText(about);
  g_owner_disabled = !IsWindowEnabled(g_about_owner->hwnd());
  // The key goes through the dialog manager of the box's loop, as a key press would.
  PostMessageW(GetDlgItem(about, IDOK), WM_KEYDOWN, g_about_key, 0);
}

TEST_F(MainWindowWin32Test, TheAboutBoxIsModalAndEnterOrEscClosesIt) {
  Platform platform = fake_.platform();
  platform.desktop = &window_;
  Start(platform);
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    g_about_owner = &window_;
    g_about_key = key;
    g_about_seen = g_owner_disabled = g_about_forced = false;
    g_about_title.clear();
    SetTimer(nullptr, 0, 100, &PressKeyInAbout);
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, &ForceAboutClosed);
    Notify("Command4", BN_CLICKED);  // returns when the box has closed
    KillTimer(nullptr, guard);
    g_about_owner = nullptr;
    EXPECT_TRUE(g_about_seen) << key;
    EXPECT_FALSE(g_about_forced) << key;
    EXPECT_EQ(L"About Tarnwick", g_about_title);
    EXPECT_TRUE(g_owner_disabled);
    EXPECT_TRUE(IsWindowEnabled(window_.hwnd()));
    EXPECT_EQ(nullptr, window_.about_hwnd());
    EXPECT_FALSE(form_->AboutOpen());
  }
}

void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!g_about_owner) return;
  g_about_seen = g_about_owner->about_hwnd() != nullptr;
  // The close box of the main window, as the system menu would send it.
  SendMessageW(g_about_owner->hwnd(), WM_CLOSE, 0, 0);
}

TEST_F(MainWindowWin32Test, ClosingTheMainWindowClosesTheAboutBoxToo) {
  Platform platform = fake_.platform();
  platform.desktop = &window_;
  Start(platform);
  g_about_owner = &window_;
  g_about_seen = g_about_forced = false;
  SetTimer(nullptr, 0, 100, &CloseMainWindow);
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, &ForceAboutClosed);
  Notify("Command4", BN_CLICKED);
  KillTimer(nullptr, guard);
  g_about_owner = nullptr;
  EXPECT_TRUE(g_about_seen);
  EXPECT_FALSE(g_about_forced);
  EXPECT_EQ(nullptr, window_.about_hwnd());
  EXPECT_EQ(nullptr, window_.hwnd());  // the handler that opened the box found no window left
  EXPECT_FALSE(form_->AboutOpen());
}

}  // namespace
}  // namespace tarnwick
