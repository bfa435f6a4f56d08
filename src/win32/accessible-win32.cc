#include "win32/accessible-win32.h"

#include <utility>

#include "shell/accessibility.h"
#include "win32/dynamic-win32.h"
#include "win32/scoped-win32.h"
#include "win32/scoped_gdi-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

constexpr wchar_t kProperty[] = L"Tarnwick.AccessibleControl";

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The answer of a text property: the program's, when it has one, for the control itself.
HRESULT Answer(const std::wstring& text, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The click a control reports to its parent when it is pressed.
void ReportClick(HWND control, bool post) {
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(control), static_cast<WORD>(BN_CLICKED));
  if (post) {
    PostMessageW(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
  } else {
    SendMessageW(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
  }
}

// The system's object for a control with the program's facts over it. Everything the facts do
// not say, and everything about children, is the system object's answer. Its IDispatch offers no
// type information: late-bound callers would otherwise reach the system object's answers past
// the program's.
class ControlAccessible final : public IAccessible, public IOleWindow {
 public:
  ControlAccessible(HWND control, AccessibleFacts facts, ComPtr<IAccessible> system)
      : hwnd_(control), facts_(std::move(facts)), system_(std::move(system)) {}

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidIAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_INVALIDARG;
    *window = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible: the program's answers.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (IsSelf(child) && !facts_.name.empty()) return Answer(facts_.name, name);
    return system_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (IsSelf(child) && !facts_.description.empty()) {
      return Answer(facts_.description, description);
    }
    return system_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child) || facts_.role == 0) return system_->get_accRole(child, role);
    if (!role) return E_INVALIDARG;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = facts_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = system_->get_accState(child, state);
    // A link says so; the system's object knows the picture only as a picture.
    if (SUCCEEDED(hr) && IsSelf(child) && facts_.role == ROLE_SYSTEM_LINK && state->vt == VT_I4) {
      state->lVal |= STATE_SYSTEM_LINKED;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (IsSelf(child) && !facts_.default_action.empty()) {
      return Answer(facts_.default_action, action);
    }
    return system_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child) || facts_.default_action.empty()) {
      return system_->accDoDefaultAction(child);
    }
    // Nobody can press a control that is gone, disabled, or in a window that a modal box has
    // disabled.
    if (!IsWindow(hwnd_) || !IsWindowEnabled(hwnd_) || !IsWindowEnabled(GetParent(hwnd_))) {
      return E_FAIL;
    }
    // Posted: the client, often in another process, waits for this call, and a click may open
    // a modal box that does not return until the user closes it.
    ReportClick(hwnd_, /*post=*/true);
    return S_OK;
  }

  // IAccessible: the system's answers.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return system_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return system_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return system_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return system_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return system_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return system_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return system_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return system_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return system_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return system_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return system_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return system_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return system_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return system_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return system_->put_accValue(child, value);
  }

 private:
  ~ControlAccessible() = default;

  LONG references_ = 1;
  HWND hwnd_;
  const AccessibleFacts facts_;
  const ComPtr<IAccessible> system_;
};

LONG SystemRole(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::kPushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::kLink:
      return ROLE_SYSTEM_LINK;
    case AccessibleRole::kSystem:
      break;
  }
  return 0;
}

}  // namespace

AccessibleFacts FactsFor(const WindowFacts& window, std::span<const ControlRow> rows,
                         const ControlRow& row) {
  AccessibleFacts facts;
  if (row.tooltip) facts.description = Widen(row.tooltip);
  const AccessibleRow* accessible = FindAccessible(window.name, row.name);
  if (!accessible) return facts;
  if (accessible->name || accessible->labelled_by) {
    facts.name = Widen(AccessibleName(window, rows, row));
  }
  facts.role = SystemRole(accessible->role);
  if (const char* action = DefaultAction(accessible->role)) facts.default_action = Widen(action);
  return facts;
}

AccessibleControl::AccessibleControl(HWND control, AccessibleFacts facts)
    : hwnd_(control), facts_(std::move(facts)) {
  if (!hwnd_ || !SetPropW(hwnd_, kProperty, this)) return;
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

AccessibleControl::~AccessibleControl() { Unsubclass(); }

void AccessibleControl::Unsubclass() {
  if (!original_) return;
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(hwnd_, kProperty);
  }
  original_ = nullptr;
}

LRESULT CALLBACK AccessibleControl::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<AccessibleControl*>(GetPropW(window, kProperty));
  if (!self || !self->original_) return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT AccessibleControl::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC original = original_;
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT answer = AnswerGetObject(wparam)) return answer;
      }
      break;
    case WM_NCDESTROY:
      Unsubclass();
      break;
  }
  if (!IsLink()) return CallWindowProcW(original, hwnd_, message, wparam, lparam);

  switch (message) {
    case WM_GETDLGCODE: {
      // Enter is the link's, not the dialog manager's default button's.
      const LRESULT code = CallWindowProcW(original, hwnd_, message, wparam, lparam);
      const MSG* msg = reinterpret_cast<const MSG*>(lparam);
      const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
      return enter ? code | DLGC_WANTMESSAGE : code;
    }
    case WM_KEYDOWN: {
      if (wparam != VK_SPACE && wparam != VK_RETURN) break;
      const bool modified = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0;
      const bool repeated = (lparam & (1 << 30)) != 0;
      if (!modified && !repeated) ReportClick(hwnd_, /*post=*/false);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
      const LRESULT result = CallWindowProcW(original, hwnd_, message, wparam, lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return result;
    }
    case WM_PAINT: {
      // The picture and the focus rectangle in one pass over the same clip, so that the
      // rectangle, drawn inverted, is never inverted twice.
      ScopedPaint paint(hwnd_);
      CallWindowProcW(original, hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paint.dc()),
                      PRF_CLIENT);
      DrawFocus(paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT: {
      const LRESULT result = CallWindowProcW(original, hwnd_, message, wparam, lparam);
      DrawFocus(reinterpret_cast<HDC>(wparam));
      return result;
    }
  }
  return CallWindowProcW(original, hwnd_, message, wparam, lparam);
}

LRESULT AccessibleControl::AnswerGetObject(WPARAM wparam) {
  const OleaccFunctions& oleacc = Oleacc();
  if (!oleacc.CreateStdAccessibleObject || !oleacc.LresultFromObject) return 0;
  ComPtr<IAccessible> system;
  if (FAILED(oleacc.CreateStdAccessibleObject(hwnd_, OBJID_CLIENT, kIidIAccessible,
                                              system.ReceiveVoid())) ||
      !system) {
    return 0;
  }
  const ComPtr<IAccessible> answer(new ControlAccessible(hwnd_, facts_, std::move(system)));
  // A failure comes back as a negative HRESULT; the system's object answers then.
  const LRESULT result = oleacc.LresultFromObject(kIidIAccessible, wparam, answer.get());
  return result > 0 ? result : 0;
}

void AccessibleControl::DrawFocus(HDC dc) const {
  if (!dc || GetFocus() != hwnd_) return;
  // Windows hides focus rectangles until the keyboard is used, where the user wants it so.
  if (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  DrawFocusRect(dc, &client);
}

}  // namespace tarnwick
