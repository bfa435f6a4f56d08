// The one way the Windows layer includes the system headers. Some Win32 names are macros that
// would rename the program's own members (VersionProvider::GetVersionEx and
// Desktop::ShellExecute would become ...A/...W in some files and not in others), so they are
// undefined here; the Windows layer calls the explicit W or A functions.
#ifndef TARNWICK_WIN32_WINDOWS_WIN32_H_
#define TARNWICK_WIN32_WINDOWS_WIN32_H_

// <windows.h> must come first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>
// clang-format on

#undef GetVersionEx
#undef ShellExecute

#endif  // TARNWICK_WIN32_WINDOWS_WIN32_H_
