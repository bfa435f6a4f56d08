// Functions taken from system libraries at run time instead of being imported, in one table:
// - uxtheme.dll came with Windows XP; an executable importing it would not even start on an
//   older Windows, and could not say that it runs on Windows XP only;
// - the reset takes SHDeleteKeyW from "SHLWAPI.DLL" by name;
// - comdlg32, shell32 and version.dll serve only the file dialog, the links, the backup folder,
//   the command line's arguments and the current-default line's program names; loading them at
//   start-up, with everything comdlg32 pulls in, would make every start slower and larger for
//   nothing;
// - comctl32.dll is wanted by the window alone; its start registers the common controls' window
//   classes with their cursors, which makes Wine start its desktop process and Windows load
//   the cursors, for nothing on a command line that never shows a window;
// - oleacc.dll serves only accessibility clients (screen readers), loaded when one first asks a
//   control about itself.
#ifndef TARNWICK_WIN32_DYNAMIC_WIN32_H_
#define TARNWICK_WIN32_DYNAMIC_WIN32_H_

#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <commctrl.h>
#include <commdlg.h>
// clang-format on

namespace tarnwick {

// Each function is null when its library or the function itself could not be had. A library is
// loaded at the first call of its getter and stays loaded for the life of the process.

struct UxthemeFunctions {
  BOOL(WINAPI* IsAppThemed)() = nullptr;
  HANDLE(WINAPI* OpenThemeData)(HWND, const wchar_t*) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HANDLE) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)
  (HANDLE, HDC, int, int, const RECT*, RECT*) = nullptr;
};
const UxthemeFunctions& Uxtheme();

struct ShlwapiFunctions {
  DWORD(WINAPI* SHDeleteKeyW)(HKEY, const wchar_t*) = nullptr;
  /// Why SHDeleteKeyW is null: the loader's error (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND).
  DWORD delete_key_error = ERROR_SUCCESS;
};
const ShlwapiFunctions& Shlwapi();

struct Shell32Functions {
  HINSTANCE(WINAPI* ShellExecuteW)
  (HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int) = nullptr;
  HRESULT(WINAPI* SHGetFolderPathW)(HWND, int, HANDLE, DWORD, wchar_t*) = nullptr;
  wchar_t**(WINAPI* CommandLineToArgvW)(const wchar_t*, int*) = nullptr;
};
const Shell32Functions& Shell32();

struct Comctl32Functions {
  BOOL(WINAPI* InitCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
};
const Comctl32Functions& Comctl32();

struct Comdlg32Functions {
  BOOL(WINAPI* GetOpenFileNameW)(OPENFILENAMEW*) = nullptr;
};
const Comdlg32Functions& Comdlg32();

struct VersionFunctions {
  DWORD(WINAPI* GetFileVersionInfoSizeW)(const wchar_t*, DWORD*) = nullptr;
  BOOL(WINAPI* GetFileVersionInfoW)(const wchar_t*, DWORD, DWORD, void*) = nullptr;
  BOOL(WINAPI* VerQueryValueW)(const void*, const wchar_t*, void**, UINT*) = nullptr;
};
const VersionFunctions& Version();

struct OleaccFunctions {
  HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, IUnknown*) = nullptr;
};
const OleaccFunctions& Oleacc();

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_DYNAMIC_WIN32_H_
