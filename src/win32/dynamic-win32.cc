#include "win32/dynamic-win32.h"

namespace tarnwick {
namespace {

// One library's functions, each taken by its name; GetProcAddress hands back a generic function
// pointer, and the cast through void* keeps the compiler's function-type warning quiet.
struct Resolver {
  HMODULE module;
  template <typename T>
  bool operator()(const char* name, T* function) const {
    if (module) {
      *function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    return *function != nullptr;
  }
};

}  // namespace

const UxthemeFunctions& Uxtheme() {
  static const UxthemeFunctions functions = [] {
    UxthemeFunctions f;
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

const ShlwapiFunctions& Shlwapi() {
  static const ShlwapiFunctions functions = [] {
    ShlwapiFunctions f;
    const Resolver resolve{LoadLibraryW(L"SHLWAPI.DLL")};
    if (!resolve("SHDeleteKeyW", &f.SHDeleteKeyW)) f.delete_key_error = GetLastError();
    return f;
  }();
  return functions;
}

const Shell32Functions& Shell32() {
  static const Shell32Functions functions = [] {
    Shell32Functions f;
    const Resolver resolve{LoadLibraryW(L"shell32.dll")};
    resolve("ShellExecuteW", &f.ShellExecuteW);
    resolve("SHGetFolderPathW", &f.SHGetFolderPathW);
    resolve("CommandLineToArgvW", &f.CommandLineToArgvW);
    return f;
  }();
  return functions;
}

const Comctl32Functions& Comctl32() {
  static const Comctl32Functions functions = [] {
    Comctl32Functions f;
    // The manifest's activation context makes this version 6, with the visual styles.
    const Resolver resolve{LoadLibraryW(L"comctl32.dll")};
    resolve("InitCommonControlsEx", &f.InitCommonControlsEx);
    return f;
  }();
  return functions;
}

const Comdlg32Functions& Comdlg32() {
  static const Comdlg32Functions functions = [] {
    Comdlg32Functions f;
    const Resolver resolve{LoadLibraryW(L"comdlg32.dll")};
    resolve("GetOpenFileNameW", &f.GetOpenFileNameW);
    return f;
  }();
  return functions;
}

const VersionFunctions& Version() {
  static const VersionFunctions functions = [] {
    VersionFunctions f;
    const Resolver resolve{LoadLibraryW(L"version.dll")};
    resolve("GetFileVersionInfoSizeW", &f.GetFileVersionInfoSizeW);
    resolve("GetFileVersionInfoW", &f.GetFileVersionInfoW);
    resolve("VerQueryValueW", &f.VerQueryValueW);
    return f;
  }();
  return functions;
}

const OleaccFunctions& Oleacc() {
  static const OleaccFunctions functions = [] {
    OleaccFunctions f;
    const Resolver resolve{LoadLibraryW(L"oleacc.dll")};
    resolve("CreateStdAccessibleObject", &f.CreateStdAccessibleObject);
    resolve("LresultFromObject", &f.LresultFromObject);
    return f;
  }();
  return functions;
}

}  // namespace tarnwick
