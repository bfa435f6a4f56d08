// The yardstick of the command line's benchmark under Wine: a program that starts as
// Tarnwick.exe does without its window and does none of its work. It imports the DLLs that
// Tarnwick.exe imports, splits its arguments with CommandLineToArgvW, and with "objects"
// creates in a single-threaded apartment the two automation objects that a /set needs
// ("Scripting.FileSystemObject", and "WScript.Shell" for the writes). Built with the same
// compilers and flags as Tarnwick.exe.
//   tarnwick-bare-command.exe [objects]

#include <windows.h>
// clang-format off: after <windows.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

namespace {

// What Tarnwick.exe imports that this program would otherwise not: a function of each DLL, in
// a call that never runs but that the compiler cannot leave out.
void ImportAsTarnwickDoes(int never) {
  if (never != -1) return;
  RegCloseKey(nullptr);
  GetStockObject(0);
  IsWindow(nullptr);
  SysFreeString(nullptr);
}

bool CreateAutomationObjects() {
  static const wchar_t* const kProgIds[] = {L"Scripting.FileSystemObject", L"WScript.Shell"};
  for (const wchar_t* prog_id : kProgIds) {
    CLSID clsid;
    IDispatch* object = nullptr;
    if (FAILED(CLSIDFromProgID(prog_id, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&object)))) {
      return false;
    }
    object->Release();
  }
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using CommandLineToArgvWFn = wchar_t**(WINAPI*)(const wchar_t*, int*);
  // Taken by name, as Tarnwick.exe takes it.
  const auto split = reinterpret_cast<CommandLineToArgvWFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "CommandLineToArgvW")));
  int count = 0;
  wchar_t** argv = split != nullptr ? split(GetCommandLineW(), &count) : nullptr;
  ImportAsTarnwickDoes(count);
  const bool objects = count > 1 && lstrcmpW(argv[1], L"objects") == 0;
  LocalFree(argv);
  if (!objects) return 0;
  if (FAILED(CoInitialize(nullptr))) return 1;
  const bool created = CreateAutomationObjects();
  CoUninitialize();
  return created ? 0 : 1;
}
