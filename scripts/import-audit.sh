#!/usr/bin/env bash
# import-audit.sh EXE...
# Fails when an executable would not start on Windows XP: when it imports from a DLL that is not
# part of Windows XP (a compiler runtime DLL, say), imports a function that Windows XP lacks, or
# asks in its PE header for a Windows newer than 5.1.
set -euo pipefail

# The x86_64 objdump reads 32-bit and 64-bit executables alike, the i686 one only 32-bit ones.
objdump=${OBJDUMP:-$(command -v x86_64-w64-mingw32-objdump || echo i686-w64-mingw32-objdump)}

# DLLs that every Windows XP system has, lower case.
xp_dlls="
advapi32.dll
comctl32.dll
comdlg32.dll
gdi32.dll
gdiplus.dll
imm32.dll
kernel32.dll
msimg32.dll
msvcrt.dll
ntdll.dll
ole32.dll
oleacc.dll
oleaut32.dll
rpcrt4.dll
shell32.dll
shlwapi.dll
user32.dll
uxtheme.dll
version.dll
winmm.dll
ws2_32.dll
"

# Functions of those DLLs that came after Windows XP (Vista, 7, 8, 10).
post_xp_functions="
AcquireSRWLockExclusive
AcquireSRWLockShared
AddDllDirectory
CancelIoEx
CancelSynchronousIo
ChangeWindowMessageFilter
ChangeWindowMessageFilterEx
CompareStringEx
CompareStringOrdinal
CreateEventExA
CreateEventExW
CreateFile2
CreateMutexExA
CreateMutexExW
CreateSemaphoreExA
CreateSemaphoreExW
CreateSymbolicLinkA
CreateSymbolicLinkW
CreateWaitableTimerExW
FindFirstFileTransactedW
FlsAlloc
FlsFree
FlsGetValue
FlsSetValue
GetCurrentProcessorNumber
GetDpiForSystem
GetDpiForWindow
GetErrorMode
GetFileInformationByHandleEx
GetFinalPathNameByHandleA
GetFinalPathNameByHandleW
GetLocaleInfoEx
GetQueuedCompletionStatusEx
GetSystemDefaultLocaleName
GetSystemTimePreciseAsFileTime
GetThreadId
GetThreadPreferredUILanguages
GetTickCount64
GetUserDefaultLocaleName
GetUserPreferredUILanguages
InitOnceBeginInitialize
InitOnceComplete
InitOnceExecuteOnce
InitOnceInitialize
InitializeConditionVariable
InitializeCriticalSectionEx
InitializeSRWLock
LCIDToLocaleName
LCMapStringEx
LocaleNameToLCID
QueryFullProcessImageNameA
QueryFullProcessImageNameW
RegDeleteKeyExA
RegDeleteKeyExW
RegDeleteTreeA
RegDeleteTreeW
RegGetValueA
RegGetValueW
RegLoadMUIStringW
RegSetKeyValueW
ReleaseSRWLockExclusive
ReleaseSRWLockShared
ResolveLocaleName
SHCreateItemFromParsingName
SHGetKnownFolderPath
SetDefaultDllDirectories
SetFileCompletionNotificationModes
SetFileInformationByHandle
SetProcessDPIAware
SetProcessDpiAwareness
SetProcessDpiAwarenessContext
SetThreadErrorMode
SetThreadPreferredUILanguages
SleepConditionVariableCS
SleepConditionVariableSRW
TaskDialog
TaskDialogIndirect
TryAcquireSRWLockExclusive
TryAcquireSRWLockShared
WSAPoll
WakeAllConditionVariable
WakeConditionVariable
inet_ntop
inet_pton
"

(($#)) || { echo "usage: $0 EXE..." >&2; exit 2; }

status=0
for exe in "$@"; do
  dump=$("$objdump" -p "$exe") || { echo "$exe: cannot be read" >&2; status=1; continue; }
  problems=()

  # Windows XP is 5.1; it refuses executables that ask for a newer subsystem.
  major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$dump")
  minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$dump")
  if ((major * 100 + minor > 501)); then
    problems+=("needs subsystem version $major.$minor (Windows XP is 5.1)")
  fi

  # objdump lists each DLL ("DLL Name: KERNEL32.dll") followed by its functions
  # ("<vma> <hint> <name>"); the listing of one DLL ends at a blank line. One pass of awk over
  # the listing, with both lists in it.
  mapfile -t found < <(awk -v xp_dlls="$xp_dlls" -v post_xp="$post_xp_functions" '
    BEGIN {
      n = split(xp_dlls, names, "\n"); for (i = 1; i <= n; i++) if (names[i] != "") xp[names[i]] = 1
      n = split(post_xp, names, "\n"); for (i = 1; i <= n; i++) if (names[i] != "") late[names[i]] = 1
    }
    /^\tDLL Name: / {
      dll = $3
      if (!(tolower(dll) in xp)) print "imports " dll ", which is not part of Windows XP"
      next
    }
    /^$/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ && ($NF in late) {
      print "imports " $NF " from " dll ", which Windows XP lacks"
    }
  ' <<<"$dump")
  problems+=("${found[@]}")

  if ((${#problems[@]})); then
    for p in "${problems[@]}"; do echo "$exe: $p" >&2; done
    status=1
  else
    echo "$exe: imports only what Windows XP has"
  fi
done
exit $status
