// The controls the program answers for to screen readers, over Microsoft Active Accessibility:
// each answers WM_GETOBJECT with an IAccessible that wraps the system's own object for it and
// overrides only what the program knows better (a name, a role, a description, a default
// action). A control that is a link also works by keyboard: Space and Enter follow it, and it
// shows a focus rectangle.
#ifndef TARNWICK_WIN32_ACCESSIBLE_WIN32_H_
#define TARNWICK_WIN32_ACCESSIBLE_WIN32_H_

#include <span>
#include <string>

#include "shell/layout.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <oleacc.h>
// clang-format on

namespace tarnwick {

/// IID_IAccessible, {618736E0-3C3D-11CF-810C-00AA00389B71}, spelt out: mingw-w64's import
/// library for oleacc gives a stub in its place that QueryInterface does not recognise.
inline constexpr IID kIidIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

/// What the program says of a control over what the system's object says; an empty text or a
/// zero role leaves the system's answer.
struct AccessibleFacts {
  std::wstring name;
  LONG role = 0;  ///< ROLE_SYSTEM_*
  std::wstring description;
  std::wstring default_action;  ///< with a role of the program's: accDoDefaultAction clicks
};

/// The facts of `row` of the window `window`, whose table is `rows`: its accessibility row, and
/// its tooltip as the description. All empty for a control the program leaves to the system.
AccessibleFacts FactsFor(const WindowFacts& window, std::span<const ControlRow> rows,
                         const ControlRow& row);

/// One control that answers for itself, by a subclass of its window procedure.
class AccessibleControl {
 public:
  /// Subclasses `control` until destruction or until the control is destroyed, whichever comes
  /// first. A click, whether by the keyboard or by accDoDefaultAction, is the control's click
  /// notification to its parent (BN_CLICKED, which is also STN_CLICKED).
  AccessibleControl(HWND control, AccessibleFacts facts);
  ~AccessibleControl();
  AccessibleControl(const AccessibleControl&) = delete;
  AccessibleControl& operator=(const AccessibleControl&) = delete;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  /// The answer to WM_GETOBJECT for the client area; 0 to leave it to the system.
  LRESULT AnswerGetObject(WPARAM wparam);
  bool IsLink() const { return facts_.role == ROLE_SYSTEM_LINK; }
  /// Draws the focus rectangle on `dc` while the control has the focus and the window shows
  /// keyboard cues.
  void DrawFocus(HDC dc) const;
  /// Gives the window procedure back.
  void Unsubclass();

  HWND hwnd_;
  AccessibleFacts facts_;
  WNDPROC original_ = nullptr;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_ACCESSIBLE_WIN32_H_
