// Drawing with the visual styles of uxtheme.dll, whose functions are taken at run time (see
// dynamic-win32.h).
#ifndef TARNWICK_WIN32_THEME_WIN32_H_
#define TARNWICK_WIN32_THEME_WIN32_H_

#include "win32/windows-win32.h"

namespace tarnwick {

/// An open theme of one window class; closed on destruction. Null when visual styles are off
/// or uxtheme.dll is missing: the caller then draws the classic way.
class ScopedTheme {
 public:
  /// OpenThemeData(`window`, `class_list`) when the application is themed.
  ScopedTheme(HWND window, const wchar_t* class_list);
  ScopedTheme(const ScopedTheme&) = delete;
  ScopedTheme& operator=(const ScopedTheme&) = delete;
  ~ScopedTheme();

  explicit operator bool() const { return theme_ != nullptr; }
  /// DrawThemeBackground; false when there is no theme.
  bool DrawBackground(HDC dc, int part, int state, const RECT& rect) const;
  /// GetThemeBackgroundContentRect; `bounds` itself when there is no theme.
  RECT ContentRect(HDC dc, int part, int state, const RECT& bounds) const;

 private:
  HANDLE theme_ = nullptr;  // an HTHEME
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_THEME_WIN32_H_
