// What a run without the window needs of the outside world besides the window's Platform:
// standard output and error, log files, the computer's and the user's names, the clock, and a
// registry import. Each platform implements them over its own calls; tests use fakes.
#ifndef TARNWICK_SHELL_UNATTENDED_PLATFORM_H_
#define TARNWICK_SHELL_UNATTENDED_PLATFORM_H_

#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"
#include "shell/run_log.h"

namespace tarnwick {

class RegistryImporter;

/// Standard output and standard error.
class Console {
 public:
  enum class Stream { kOutput, kError };
  virtual ~Console() = default;
  /// Writes `text` (UTF-8, lines separated by '\n') and a line end to `stream`. A stream that
  /// leads nowhere (no console, nothing redirected) takes the text and drops it.
  virtual void WriteLine(Stream stream, std::string_view text) = 0;
};

/// Where and when a run happens, as its log line says.
class Workstation {
 public:
  virtual ~Workstation() = default;
  /// The computer's name; empty when it cannot be had.
  virtual std::string ComputerName() = 0;
  /// The account the program runs as; empty when it cannot be had.
  virtual std::string UserName() = 0;
  virtual ZonedTime Now() = 0;
};

/// How long a run may spend on its log line, opening the file and waiting for its turn included:
/// a log that another writer holds (a user, or a computer that dropped off the network while
/// holding it) never holds up a logon for longer.
inline constexpr int kLogDeadlineMs = 3000;

/// Log files that many runs, on many computers, append to at once.
class LogFiles {
 public:
  virtual ~LogFiles() = default;
  /// Appends `line` and a line end to the file at `path` in one write, creating the file when
  /// it does not exist. The file is opened for appending only (so a log that users may append
  /// to and do nothing else with serves) and shared with every other reader and writer; runs
  /// appending to one file (on a network share, too) take turns and never mix their lines.
  /// Gives up once the deadline it was made with has passed, opening included. False with the
  /// reason when the line could not be written.
  virtual bool Append(const std::string& path, std::string_view line, std::string* err) = 0;
};

/// Everything a run without the window is given besides the Platform. Nothing is owned; every
/// pointer must be set.
struct UnattendedPlatform {
  Console* console = nullptr;
  Workstation* workstation = nullptr;
  LogFiles* logs = nullptr;
  RegistryImporter* importer = nullptr;  ///< into the registry of the Platform
  /// Whether `path` is a full path here, one that names the same file whatever folder and
  /// drive a run starts in (a logon script starts in the Windows folder).
  bool (*is_full_path)(const std::string& path) = nullptr;
  Spelling spelling = Spelling::kWindows;
  /// The presets' captions for the usage text; empty: the catalogue's.
  std::vector<std::string> presets;
  std::string program;  ///< the program's name in the usage and the log: "Tarnwick.exe"
  /// Why the registry could not be opened ("open ...user.hive: file is not a database"); when
  /// set, every command but help ends with kExitRefused and this text, and the Platform is not
  /// used.
  std::string unavailable;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_UNATTENDED_PLATFORM_H_
