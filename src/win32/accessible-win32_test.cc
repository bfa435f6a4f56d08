#include "win32/accessible-win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "shell/web_links.h"
#include "win32/main_window_for_test-win32.h"
#include "win32/scoped-win32.h"
#include "win32/testing-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

// A control's answers as a client in another process reads them.
struct Answers {
  std::wstring name, description, default_action;
  LONG role = 0;
  LONG state = 0;
};

std::wstring Text(IAccessible& object,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  const ScopedVariant self(LONG{CHILDID_SELF});
  BSTR text = nullptr;
  if (FAILED((object.*get)(self.get(), &text)) || !text) return L"";
  std::wstring copy(text, SysStringLen(text));
  SysFreeString(text);
  return copy;
}

LONG Number(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  const ScopedVariant self(LONG{CHILDID_SELF});
  ScopedVariant value;
  if (FAILED((object.*get)(self.get(), value.Receive())) || value.get().vt != VT_I4) return -1;
  return value.get().lVal;
}

Answers Read(const ComPtr<IAccessible>& pointer) {
  if (!pointer) return {};
  IAccessible& object = *pointer.get();
  return {Text(object, &IAccessible::get_accName), Text(object, &IAccessible::get_accDescription),
          Text(object, &IAccessible::get_accDefaultAction),
          Number(object, &IAccessible::get_accRole), Number(object, &IAccessible::get_accState)};
}

// What a screen reader gets when it asks the window for the control.
ComPtr<IAccessible> ClientObject(HWND control) {
  ComPtr<IAccessible> object;
  EXPECT_EQ(S_OK, AccessibleObjectFromWindow(control, OBJID_CLIENT, kIidIAccessible,
                                             object.ReceiveVoid()));
  return object;
}

// What the system's own object says, without the program.
ComPtr<IAccessible> SystemObject(HWND control) {
  ComPtr<IAccessible> object;
  EXPECT_EQ(S_OK, CreateStdAccessibleObject(control, OBJID_CLIENT, kIidIAccessible,
                                            object.ReceiveVoid()));
  return object;
}

// The name changes reported to an accessibility client, with their window and object.
std::vector<std::pair<HWND, LONG>> g_name_changes;

void CALLBACK RecordNameChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                               DWORD, DWORD) {
  if (event == EVENT_OBJECT_NAMECHANGE && child == CHILDID_SELF) {
    g_name_changes.emplace_back(window, object);
  }
}

class AccessibleWin32Test : public MainWindowWin32Test {
 protected:
  /// Hands out what is queued, as the message loop does, until nothing is left.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (window_.hwnd() && IsDialogMessageW(window_.hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  HRESULT DoDefaultAction(const char* control) {
    const ScopedVariant self(LONG{CHILDID_SELF});
    return ClientObject(Control(control))->accDoDefaultAction(self.get());
  }

  ScopedCoInitialize com_;
};

TEST_F(AccessibleWin32Test, EveryControlTheKeyboardReachesSaysWhatItIs) {
  window_.Show();
  struct Expected {
    const char* control;
    const wchar_t* name;
    LONG role;  // 0: what the system's object says
    const wchar_t* description;
    const wchar_t* default_action;  // null: what the system's object says
    LONG state;                     // bits that must be set
  } expected[] = {
      {"Command7", L"Apply", ROLE_SYSTEM_PUSHBUTTON,
       L"Sets the chosen preset as the default browser", L"Press", STATE_SYSTEM_UNAVAILABLE},
      {"Command1", L"Browse for the browser's program", ROLE_SYSTEM_PUSHBUTTON, L"", L"Press",
       STATE_SYSTEM_FOCUSABLE},
      {"Command2", L"Apply", ROLE_SYSTEM_PUSHBUTTON,
       L"Sets the browser program in the box as the default browser", L"Press",
       STATE_SYSTEM_UNAVAILABLE},
      {"Command5", L"Reset", ROLE_SYSTEM_PUSHBUTTON,
       L"Reset the default browser settings for your user profile.", L"Press",
       STATE_SYSTEM_FOCUSABLE},
      {"Command3", L"Homepage", ROLE_SYSTEM_PUSHBUTTON, L"Visit Homepage", L"Press",
       STATE_SYSTEM_FOCUSABLE},
      {"Command4", L"About", ROLE_SYSTEM_PUSHBUTTON, L"", L"Press", STATE_SYSTEM_FOCUSABLE},
      {"Text1", L"Select your web browser:", 0, L"", nullptr, STATE_SYSTEM_FOCUSABLE},
      {"Picture1", L"Donate (via PayPal)", ROLE_SYSTEM_LINK, L"", L"Jump",
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED},
      {"Option1", L"GreenBrowser", 0, L"", nullptr, STATE_SYSTEM_FOCUSABLE},
      {"Option8", L"Avant Browser", 0, L"", nullptr, STATE_SYSTEM_FOCUSABLE},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.control);
    const ComPtr<IAccessible> client = ClientObject(Control(e.control));
    const ComPtr<IAccessible> system = SystemObject(Control(e.control));
    ASSERT_TRUE(client && system);
    const Answers heard = Read(client);
    const Answers plain = Read(system);
    EXPECT_EQ(e.name, heard.name);
    EXPECT_EQ(e.role ? e.role : plain.role, heard.role);
    EXPECT_EQ(e.description, heard.description);
    EXPECT_EQ(e.default_action ? e.default_action : plain.default_action, heard.default_action);
    EXPECT_EQ(e.state, heard.state & e.state) << std::hex << heard.state;
    // Everything else is the system's: whether it is unavailable, has the focus, ...
    EXPECT_EQ(plain.state & ~STATE_SYSTEM_LINKED, heard.state & ~STATE_SYSTEM_LINKED);
  }
  // The visible caption stays.
  EXPECT_EQ(L"...", WindowText(Control("Command1")));

  // The focus shows in the state.
  SetFocus(Control("Command5"));
  EXPECT_TRUE(Read(ClientObject(Control("Command5"))).state & STATE_SYSTEM_FOCUSED);
}

TEST_F(AccessibleWin32Test, PressingAboutOpensTheBoxAfterTheClientHasItsAnswer) {
  window_.Show();
  EXPECT_EQ(S_OK, DoDefaultAction("Command4"));
  // A screen reader waits for the answer; the modal box must not hold it.
  EXPECT_EQ(0u, Calls("ShowAboutBox"));
  Pump();
  EXPECT_EQ(1u, Calls("ShowAboutBox"));
}

TEST_F(AccessibleWin32Test, JumpingByTheDonationPictureOpensTheDonationsPage) {
  window_.Show();
  EXPECT_EQ(S_OK, DoDefaultAction("Picture1"));
  Pump();
  ASSERT_EQ(1u, fake_.shell_calls.size());
  EXPECT_EQ(kDonationPageUrl, fake_.shell_calls[0].file);
  EXPECT_EQ(ShellOwner::kDesktop, fake_.shell_calls[0].owner);
  EXPECT_EQ(kSwShowNormal, fake_.shell_calls[0].show_command);
}

TEST_F(AccessibleWin32Test, ADisabledButtonCannotBePressed) {
  window_.Show();
  fake_.calls.clear();
  EXPECT_NE(S_OK, DoDefaultAction("Command7"));
  Pump();
  EXPECT_EQ(0u, Calls("RegWrite"));
  // Nor can any button while the window waits for a modal box.
  EnableWindow(window_.hwnd(), FALSE);
  EXPECT_NE(S_OK, DoDefaultAction("Command4"));
  EnableWindow(window_.hwnd(), TRUE);
  Pump();
  EXPECT_EQ(0u, Calls("ShowAboutBox"));
}

// The picture as it paints itself into a bitmap, one colour per pixel.
std::vector<COLORREF> Printed(HWND control) {
  RECT rect;
  GetClientRect(control, &rect);
  const MemoryCanvas canvas(rect.right, rect.bottom);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  return canvas.Pixels();
}

// The pixels of a print of `control` without its outermost ring.
std::vector<COLORREF> Inside(HWND control, const std::vector<COLORREF>& printed) {
  RECT rect;
  GetClientRect(control, &rect);
  std::vector<COLORREF> inside;
  for (int y = 1; y + 1 < rect.bottom; ++y) {
    for (int x = 1; x + 1 < rect.right; ++x) inside.push_back(printed[y * rect.right + x]);
  }
  return inside;
}

TEST_F(AccessibleWin32Test, SpaceAndEnterOnTheFocusedPictureOpenTheDonationsPage) {
  window_.Show();
  const HWND picture = Control("Picture1");
  const std::vector<COLORREF> unfocused = Printed(picture);
  // The keyboard cues show, as after any key press.
  SendMessageW(window_.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(Control("Text1"));
  EXPECT_TRUE(DialogKey(VK_TAB));
  ASSERT_EQ(picture, GetFocus());
  // A dotted rectangle round its edge; inside, the picture as it was.
  const std::vector<COLORREF> focused = Printed(picture);
  EXPECT_NE(unfocused, focused) << "no focus rectangle";
  EXPECT_EQ(Inside(picture, unfocused), Inside(picture, focused));

  EXPECT_TRUE(DialogKey(VK_RETURN));
  EXPECT_TRUE(DialogKey(VK_SPACE));
  // A key held down repeats; the page opens once.
  MSG repeat = {picture, WM_KEYDOWN, VK_SPACE, 1 << 30, 0, {0, 0}};
  IsDialogMessageW(window_.hwnd(), &repeat);
  Pump();
  EXPECT_EQ(std::vector<std::string>(2, "ShellExecute " + std::string(kDonationPageUrl)),
            std::vector<std::string>(fake_.calls.end() - 2, fake_.calls.end()));
  EXPECT_EQ(2u, fake_.shell_calls.size());

  // Without keyboard cues, as after a mouse click, the rectangle stays hidden, unless the user
  // has the system show them always.
  SendMessageW(picture, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  if (SendMessageW(picture, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) {
    EXPECT_EQ(unfocused, Printed(picture));
  }
}

TEST_F(AccessibleWin32Test, TheCurrentDefaultLineAnnouncesEachChange) {
  OneClientRegistry registry;
  registry.registered = false;
  Platform platform = fake_.platform();
  platform.registry = &registry;
  fake_.env["ProgramFiles"] = R"(C:\Program Files)";
  fake_.files = {R"(C:\Program Files\Maxthon\Maxthon.exe)"};
  Start(platform);
  window_.Show();
  const HWND line = Control("Label5");
  ASSERT_EQ(L"", WindowText(line));

  g_name_changes.clear();
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &RecordNameChange,
                      GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  // The apply registers Maxthon; the window reads the registry again at its end.
  registry.registered = true;
  Click("Option3");
  Notify("Command7", BN_CLICKED);
  Pump();
  const size_t after_apply = std::count(g_name_changes.begin(), g_name_changes.end(),
                                        std::make_pair(line, LONG{OBJID_WINDOW}));
  // A Reset that leaves the machine-wide client in place leaves the line as it is.
  Notify("Command5", BN_CLICKED);
  Pump();
  const size_t after_reset = std::count(g_name_changes.begin(), g_name_changes.end(),
                                        std::make_pair(line, LONG{OBJID_WINDOW}));
  UnhookWinEvent(hook);

  EXPECT_GE(after_apply, 1u);
  EXPECT_EQ(after_apply, after_reset);
  // The client that hears the event reads the new line.
  EXPECT_EQ(L"Maxthon Web Browser is currently the default browser.",
            Read(ClientObject(line)).name);
}

}  // namespace
}  // namespace tarnwick
