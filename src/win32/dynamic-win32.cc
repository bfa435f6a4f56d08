#include "win32/dynamic-win32.h"

namespace tarnwick {
namespace {

// One library's functions, each taken by its name; GetProcAddress hands back a generic function
// pointer, and the cast through void* keeps the compiler's function-type warning quiet.
struct Resolver {
  HMODULE module;
  template <typename T>
  bool operator()(const char* name, T* function) const {
    if (module)
      *function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *function != nullptr;
  }
};

}  // namespace

const DynamicFunctions& ThemeFunctions() {
  static const DynamicFunctions functions = [] {
    DynamicFunctions f;
    const Resolver resolve{LoadLibraryW(L"uxtheme.dll")};
    resolve("IsAppThemed", &f.IsAppThemed);
    resolve("OpenThemeData", &f.OpenThemeData);
    resolve("CloseThemeData", &f.CloseThemeData);
    resolve("DrawThemeBackground", &f.DrawThemeBackground);
    resolve("GetThemeBackgroundContentRect", &f.GetThemeBackgroundContentRect);
    return f;
  }();
  return functions;
}

const DynamicFunctions& ShellFunctions() {
  static const DynamicFunctions functions = [] {
    DynamicFunctions f;
    const Resolver resolve{LoadLibraryW(L"SHLWAPI.DLL")};
    if (!resolve("SHDeleteKeyW", &f.SHDeleteKeyW)) f.delete_key_error = GetLastError();
    return f;
  }();
  return functions;
}

}  // namespace tarnwick
