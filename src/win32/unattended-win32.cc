#include "win32/unattended-win32.h"

#include <memory>
#include <vector>

#include "shell/command_line.h"
#include "shell/platform.h"
#include "shell/run_log.h"
#include "shell/unattended.h"
#include "text/text.h"
#include "win32/console-win32.h"
#include "win32/dynamic-win32.h"
#include "win32/registry-win32.h"
#include "win32/scoped-win32.h"
#include "win32/services-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

// How long a run waits before it tries a held log again.
constexpr DWORD kRetryMs = 20;

// The FILETIME as a count of 100-nanosecond intervals.
int64_t Ticks(const FILETIME& time) {
  return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                              time.dwLowDateTime);
}

// Where a crash's last words go.
Console* crash_console = nullptr;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* crash) {
  if (crash_console != nullptr) {
    crash_console->WriteLine(Console::Stream::kError,
                             Concat({"Tarnwick.exe failed unexpectedly (exception 0x",
                                     HexDigits(crash->ExceptionRecord->ExceptionCode, 8),
                                     "); what it changed is not known."}));
  }
  ExitProcess(kExitFailed);
}

}  // namespace

std::string Win32Workstation::ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? Narrow(std::wstring_view(name, size)) : std::string();
}

std::string Win32Workstation::UserName() {
  // User names have at most 256 characters (UNLEN).
  wchar_t name[257] = {};
  DWORD size = 257;
  return GetUserNameW(name, &size) ? Narrow(name) : std::string();
}

ZonedTime Win32Workstation::Now() {
  FILETIME utc = {}, local = {};
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME t = {};
  FileTimeToSystemTime(&local, &t);
  // The bias in effect now, daylight saving time included, in whole minutes.
  const int64_t minutes = (Ticks(local) - Ticks(utc)) / (10'000'000LL * 60);
  return {{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, static_cast<int>(minutes)};
}

bool Win32LogFiles::Append(const std::string& path, std::string_view line, std::string* err) {
  const DWORD start = GetTickCount();
  const auto past_deadline = [&] {
    return GetTickCount() - start >= static_cast<DWORD>(deadline_ms_);
  };
  const std::wstring file = Widen(path);
  const std::string bytes = std::string(line) + "\r\n";
  ScopedHANDLE log;
  while (true) {
    // Append-only: every write lands at the end, whatever the file's length meanwhile.
    log = ScopedHANDLE(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (log.valid()) break;
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || past_deadline()) {
      *err = SystemErrorText(error);
      return false;
    }
    Sleep(kRetryMs);
  }
  // Not every file system appends atomically (Wine's does not, nor do some file servers): the
  // writers take turns by an exclusive lock on one byte far beyond any end, which no reader of
  // the log ever meets. A file system without locks, or one that wants read or write access for
  // them, leaves the append to do alone.
  OVERLAPPED turn = {};
  turn.OffsetHigh = kLogTurnOffsetHigh;
  bool locked = false;
  while (!(locked = LockFileEx(log.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                               0, &turn) != 0)) {
    if (GetLastError() != ERROR_LOCK_VIOLATION) break;
    if (past_deadline()) {
      *err = LogHeldText(deadline_ms_);
      return false;
    }
    Sleep(kRetryMs);
  }
  DWORD written = 0;
  const bool wrote =
      WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  const DWORD error = wrote ? ERROR_SUCCESS : GetLastError();
  if (locked) UnlockFileEx(log.get(), 0, 1, 0, &turn);
  if (!wrote || !log.Close()) {
    *err = SystemErrorText(!wrote ? (error != ERROR_SUCCESS ? error : ERROR_DISK_FULL)
                                  : GetLastError());
    return false;
  }
  return true;
}

bool IsFullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH, full, nullptr);
  if (length == 0) return false;
  if (length < MAX_PATH) return wide == std::wstring_view(full, length);
  std::wstring longer(length, L'\0');
  const DWORD again = GetFullPathNameW(wide.c_str(), length, longer.data(), nullptr);
  return again != 0 && again < length && wide == std::wstring_view(longer.data(), again);
}

bool HasArguments(const char* command_line) {
  for (const char* c = command_line; c != nullptr && *c != '\0'; ++c) {
    if (*c != ' ' && *c != '\t') return true;
  }
  return false;
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  if (const auto split = Shell32().CommandLineToArgvW) {
    if (wchar_t** argv = split(GetCommandLineW(), &count)) {
      for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
      LocalFree(argv);
    }
  }
  return args;
}

void EnterCommandLineMode(Console& console) {
  SetErrorMode(kCommandLineErrorMode);
  crash_console = &console;
  SetUnhandledExceptionFilter(ReportCrash);
}

int RunCommandLine(std::span<const std::string> args) {
  Win32Console console;
  EnterCommandLineMode(console);
  try {
    // COM starts with the first automation object a command needs, if any.
    Win32AutomationOnDemand automation;
    Win32Services services;
    Win32Workstation workstation;
    Win32LogFiles logs;
    Win32RegistryImporter importer;
    const UnattendedPlatform host{.console = &console,
                                  .workstation = &workstation,
                                  .logs = &logs,
                                  .importer = &importer,
                                  .is_full_path = IsFullPath,
                                  .spelling = Spelling::kWindows,
                                  .presets = {},
                                  .program = "Tarnwick.exe",
                                  .unavailable = {}};
    Platform platform = services.Over(nullptr);
    platform.automation = &automation;
    return RunUnattended(args, platform, host);
  } catch (...) {
    console.WriteLine(Console::Stream::kError,
                      "Tarnwick.exe failed unexpectedly; what it changed is not known.");
    return kExitFailed;
  }
}

}  // namespace tarnwick
