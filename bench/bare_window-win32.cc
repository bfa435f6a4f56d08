// The yardstick of the start-up benchmark under Wine: a bare Win32 window with the main
// window's frame and client size and nothing in it, built with the same compilers and flags as
// Tarnwick.exe and ended by the same first-paint probe. To show what parts of the program's
// start cost, it can first load DLLs by name ("dlls": the benchmark passes those that
// Tarnwick.exe imports), and then also create the two automation objects that the program
// creates at its start ("objects"). Both go through LoadLibrary, so that the bare window itself
// imports no more than it needs.
//   tarnwick-bare-window.exe [WIDTH HEIGHT [dlls|objects DLL...]]     (default 304 x 447)

#include <cstdlib>
#include <cstring>

#include "win32/first_paint_probe-win32.h"

namespace {

// Creates "WScript.Shell" and "Scripting.FileSystemObject" as the program does at its start,
// in a single-threaded apartment, and keeps them until the process ends.
bool CreateAutomationObjects() {
  HMODULE ole32 = LoadLibraryW(L"ole32.dll");
  if (ole32 == nullptr) return false;
  using CoInitializeFn = HRESULT(WINAPI*)(void*);
  using ClsidFromProgIdFn = HRESULT(WINAPI*)(LPCOLESTR, CLSID*);
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  auto co_initialize = reinterpret_cast<CoInitializeFn>(
      reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitialize")));
  auto clsid_from_prog_id = reinterpret_cast<ClsidFromProgIdFn>(
      reinterpret_cast<void*>(GetProcAddress(ole32, "CLSIDFromProgID")));
  auto co_create_instance = reinterpret_cast<CoCreateInstanceFn>(
      reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
  if (!co_initialize || !clsid_from_prog_id || !co_create_instance) return false;
  if (FAILED(co_initialize(nullptr))) return false;
  static const wchar_t* const kProgIds[] = {L"WScript.Shell", L"Scripting.FileSystemObject"};
  for (const wchar_t* prog_id : kProgIds) {
    CLSID clsid;
    void* object = nullptr;
    if (FAILED(clsid_from_prog_id(prog_id, &clsid)) ||
        FAILED(co_create_instance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IDispatch, &object))) {
      return false;
    }
  }
  return true;
}

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const int width = __argc > 2 ? std::atoi(__argv[1]) : 304;
  const int height = __argc > 2 ? std::atoi(__argv[2]) : 447;
  const char* extra = __argc > 3 ? __argv[3] : "";
  if (std::strcmp(extra, "dlls") == 0 || std::strcmp(extra, "objects") == 0) {
    for (int i = 4; i < __argc; ++i) {
      if (LoadLibraryA(__argv[i]) == nullptr) return 1;
    }
  }
  if (std::strcmp(extra, "objects") == 0 && !CreateAutomationObjects()) return 1;
  // The main window's frame: a fixed single border with the system menu.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

  WNDCLASSEXW cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &BareWindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = L"TarnwickBareWindow";
  if (!RegisterClassExW(&cls)) return 1;
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"bare", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  if (tarnwick::ReportFirstPaint(window)) {
    DestroyWindow(window);
    return 0;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
