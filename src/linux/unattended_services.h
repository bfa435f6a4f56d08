// The program without its window on Linux: standard output and error, the log files, the host's
// and the user's names and the clock over POSIX calls, and the run itself over the stand-in
// hives, which needs no display.
#ifndef TARNWICK_LINUX_UNATTENDED_SERVICES_H_
#define TARNWICK_LINUX_UNATTENDED_SERVICES_H_

#include <string>
#include <string_view>

#include "shell/unattended_platform.h"

namespace tarnwick {

/// Writes to file descriptors 1 and 2, each line whole, ending in "\n". A closed pipe or a full
/// disk loses the text without ending the program.
class PosixConsole final : public Console {
 public:
  void WriteLine(Stream stream, std::string_view text) override;
};

/// gethostname, the account's name from the password database (else $USER), and localtime_r.
class PosixWorkstation final : public Workstation {
 public:
  std::string ComputerName() override;
  std::string UserName() override;
  ZonedTime Now() override;
};

/// Opens a log write-only with O_APPEND (creating it with mode 0666 less the umask; never
/// waiting for a reader of a FIFO) and writes each line with one write(2), which the kernel
/// places whole at the file's end, while it holds a POSIX lock that makes other writers (on NFS,
/// also those of other computers) take turns. The lock is tried again and again (F_SETLK) until
/// the deadline; where locks are not to be had at all, the append alone has to do.
class PosixLogFiles final : public LogFiles {
 public:
  explicit PosixLogFiles(int deadline_ms = kLogDeadlineMs) : deadline_ms_(deadline_ms) {}
  bool Append(const std::string& path, std::string_view line, std::string* err) override;

 private:
  int deadline_ms_;
};

/// Whether `path` names a file from the root, wherever a run starts: "/opt/b", "\Apps\b.exe" and
/// "C:\Apps\b.exe" do; "b.exe", "Apps\b.exe" and "C:b.exe" (on Windows relative to the drive's
/// current folder) do not.
bool IsFullPath(const std::string& path);

/// Whether `argv[1...]` asks for a command rather than the window: some argument begins with
/// two dashes ("--set") and is not one of Qt's own options, which Qt takes with one dash or two
/// ("-platform offscreen", "--style=Fusion") and which go to the window with their values.
bool IsCommandLine(int argc, char** argv);

/// `tarnwick ARGS...`: runs the command line `argv[1...]` with RunUnattended over the stand-in
/// hives named by the environment, or, unless `standin`, over the user's desktop. Returns the
/// exit code.
int RunCommandLine(int argc, char** argv, bool standin = true);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_UNATTENDED_SERVICES_H_
