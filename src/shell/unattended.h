// The program without its window: a command line drives the window's model and the routines
// it runs, and turns what the window would show into printed text, a log line and an exit code.
#ifndef TARNWICK_SHELL_UNATTENDED_H_
#define TARNWICK_SHELL_UNATTENDED_H_

#include <span>
#include <string>

namespace tarnwick {

struct Platform;
struct UnattendedPlatform;

/// Where a run keeps which browser this user's last successful "/set /once" set: the value
/// kOnceValue (REG_SZ: a preset's caption or a program's path) of the key kOnceKey below
/// HKEY_CURRENT_USER.
inline constexpr char kOnceKey[] = R"(Software\Tarnwick)";
inline constexpr char kOnceValue[] = "LastSetOnce";

/// Runs the command line `args` (without the program's name): loads the window's model Form1
/// over `platform` (which must be complete but for its Desktop, which is not used) and runs the
/// command on it, as the window's handlers do: no window, message box or dialog ever appears.
/// What the window would show is written to the console (results to standard output, failures
/// to standard error) unless the run is quiet, and a line on the run to the log when one is
/// asked for. Returns the exit code (ExitCode).
int RunUnattended(std::span<const std::string> args, const Platform& platform,
                  const UnattendedPlatform& host);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_UNATTENDED_H_
