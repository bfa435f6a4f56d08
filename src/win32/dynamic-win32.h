// Functions taken from system libraries at run time instead of being imported: the visual-styles
// functions of uxtheme.dll, which Windows XP was the first to have (an executable importing them
// would not even start on an older Windows, and could not say that it runs on Windows XP only),
// and SHDeleteKeyW, which the reset takes from "SHLWAPI.DLL" by name.
#ifndef TARNWICK_WIN32_DYNAMIC_WIN32_H_
#define TARNWICK_WIN32_DYNAMIC_WIN32_H_

#include "win32/windows-win32.h"

namespace tarnwick {

/// Each function is null when its library or the function itself could not be had; the
/// libraries stay loaded for the life of the process.
struct DynamicFunctions {
  // uxtheme.dll
  BOOL(WINAPI* IsAppThemed)() = nullptr;
  HANDLE(WINAPI* OpenThemeData)(HWND, const wchar_t*) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HANDLE) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)
  (HANDLE, HDC, int, int, const RECT*, RECT*) = nullptr;

  // SHLWAPI.DLL
  DWORD(WINAPI* SHDeleteKeyW)(HKEY, const wchar_t*) = nullptr;
  /// Why SHDeleteKeyW is null: the loader's error (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND).
  DWORD delete_key_error = ERROR_SUCCESS;
};

/// The functions of one library are looked up at the first call that needs that library.
const DynamicFunctions& ThemeFunctions();
const DynamicFunctions& ShellFunctions();

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_DYNAMIC_WIN32_H_
