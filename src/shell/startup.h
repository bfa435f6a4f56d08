// Start-up's platform gate: which Windows release is running, and the texts of a refused or
// failed start.
#ifndef TARNWICK_SHELL_STARTUP_H_
#define TARNWICK_SHELL_STARTUP_H_

#include <string>

namespace tarnwick {

class VersionProvider;

/// Title of the program's own message boxes.
inline constexpr char kMessageTitle[] = "Tarnwick for Windows\u00AE XP";
/// The only release name the program runs on; compared exactly.
inline constexpr char kWindowsXp[] = "Windows XP";
/// Shown, style 64, before the program quits on any other release.
inline constexpr char kRefusalMessage[] =
    "This utility is intended for Windows\u00AE XP systems only. This utility will now quit.";

/// Names the running release from a fresh version query: "Windows 95", "Windows 98",
/// "Windows Millennium", "Windows NT 3.51", "Windows NT 4.0", "Windows 2000", "Windows XP"
/// (NT 5.1 and 5.2 alike), the empty text for a version it does not know, or "Failed" when the
/// platform is neither the 9x nor the NT family (also when the query failed).
std::string GetWindowsVersionName(VersionProvider& version);

/// The message, style 16, when the automation object `prog_id` cannot be created: it names the
/// object and the reason `err`.
std::string ObjectCreationFailedMessage(const std::string& prog_id, const std::string& err);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_STARTUP_H_
