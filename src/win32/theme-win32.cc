#include "win32/theme-win32.h"

#include "win32/dynamic-win32.h"

namespace tarnwick {
ScopedTheme::ScopedTheme(HWND window, const wchar_t* class_list) {
  const UxthemeFunctions& f = Uxtheme();
  if (f.IsAppThemed && f.OpenThemeData && f.CloseThemeData && f.IsAppThemed()) {
    theme_ = f.OpenThemeData(window, class_list);
  }
}

ScopedTheme::~ScopedTheme() {
  if (theme_) Uxtheme().CloseThemeData(theme_);
}

bool ScopedTheme::DrawBackground(HDC dc, int part, int state, const RECT& rect) const {
  const UxthemeFunctions& f = Uxtheme();
  return theme_ && f.DrawThemeBackground &&
         SUCCEEDED(f.DrawThemeBackground(theme_, dc, part, state, &rect, nullptr));
}

RECT ScopedTheme::ContentRect(HDC dc, int part, int state, const RECT& bounds) const {
  const UxthemeFunctions& f = Uxtheme();
  RECT content = bounds;
  if (theme_ && f.GetThemeBackgroundContentRect) {
    f.GetThemeBackgroundContentRect(theme_, dc, part, state, &bounds, &content);
  }
  return content;
}

}  // namespace tarnwick
