// Tarnwick.exe with arguments: the program without its window over the Windows calls of
// Windows XP: the computer's and the user's names, the clock, log files shared with other
// computers, and the run itself.
#ifndef TARNWICK_WIN32_UNATTENDED_WIN32_H_
#define TARNWICK_WIN32_UNATTENDED_WIN32_H_

#include <string>
#include <string_view>

#include "shell/unattended_platform.h"

namespace tarnwick {

/// GetComputerNameW, GetUserNameW, and the local time with its distance from UTC now.
class Win32Workstation final : public Workstation {
 public:
  std::string ComputerName() override;
  std::string UserName() override;
  ZonedTime Now() override;
};

/// Opens a log with CreateFileW for reading and FILE_APPEND_DATA (no other write), sharing
/// reads, writes and deletes, and writes each line (UTF-8, CRLF) with one WriteFile at the
/// file's end, while it holds an exclusive byte-range lock (LockFileEx) that makes every other
/// writer wait its turn, on this computer or another. A log held without sharing by another
/// program is tried again for up to five seconds.
class Win32LogFiles final : public LogFiles {
 public:
  bool Append(const std::string& path, std::string_view line, std::string* err) override;
};

/// Whether `command_line`, what WinMain gets after the program's name, asks for a command:
/// anything but blanks.
bool HasArguments(const char* command_line);

/// Runs the process's command line (GetCommandLineW, split by CommandLineToArgvW) with
/// RunUnattended over the registry, the automation objects and the backup folder of the
/// current user. COM must not be initialised yet on the thread. Returns the exit code.
int RunCommandLine();

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_UNATTENDED_WIN32_H_
