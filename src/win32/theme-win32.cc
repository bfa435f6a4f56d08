#include "win32/theme-win32.h"

namespace tarnwick {
namespace {

/// The functions used, each null when it could not be had.
struct ThemeFunctions {
  BOOL(WINAPI* IsAppThemed)() = nullptr;
  HANDLE(WINAPI* OpenThemeData)(HWND, const wchar_t*) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HANDLE) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)
  (HANDLE, HDC, int, int, const RECT*, RECT*) = nullptr;
};

template <typename T>
void Resolve(HMODULE module, const char* name, T* function) {
  *function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Resolved once; the library stays loaded for the life of the process.
const ThemeFunctions& Functions() {
  static const ThemeFunctions functions = [] {
    ThemeFunctions f;
    const HMODULE module = LoadLibraryW(L"uxtheme.dll");
    if (!module) return f;
    Resolve(module, "IsAppThemed", &f.IsAppThemed);
    Resolve(module, "OpenThemeData", &f.OpenThemeData);
    Resolve(module, "CloseThemeData", &f.CloseThemeData);
    Resolve(module, "DrawThemeBackground", &f.DrawThemeBackground);
    Resolve(module, "GetThemeBackgroundContentRect", &f.GetThemeBackgroundContentRect);
    return f;
  }();
  return functions;
}

}  // namespace

ScopedTheme::ScopedTheme(HWND window, const wchar_t* class_list) {
  const ThemeFunctions& f = Functions();
  if (f.IsAppThemed && f.OpenThemeData && f.CloseThemeData && f.IsAppThemed()) {
    theme_ = f.OpenThemeData(window, class_list);
  }
}

ScopedTheme::~ScopedTheme() {
  if (theme_) Functions().CloseThemeData(theme_);
}

bool ScopedTheme::DrawBackground(HDC dc, int part, int state, const RECT& rect) const {
  const ThemeFunctions& f = Functions();
  return theme_ && f.DrawThemeBackground &&
         SUCCEEDED(f.DrawThemeBackground(theme_, dc, part, state, &rect, nullptr));
}

RECT ScopedTheme::ContentRect(HDC dc, int part, int state, const RECT& bounds) const {
  const ThemeFunctions& f = Functions();
  RECT content = bounds;
  if (theme_ && f.GetThemeBackgroundContentRect) {
    f.GetThemeBackgroundContentRect(theme_, dc, part, state, &bounds, &content);
  }
  return content;
}

}  // namespace tarnwick
