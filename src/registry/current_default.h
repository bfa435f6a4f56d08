// Which browser is the default now, as the main window shows it.
#ifndef TARNWICK_REGISTRY_CURRENT_DEFAULT_H_
#define TARNWICK_REGISTRY_CURRENT_DEFAULT_H_

#include <functional>
#include <string>

namespace tarnwick {

class Registry;

/// The current-default line: the caption of Label5 and whether its frame Frame4 is visible.
/// When hidden, the caption is empty.
struct DefaultBrowserDisplay {
  std::string caption;
  bool visible = false;
  bool operator==(const DefaultBrowserDisplay&) const = default;
};

/// What follows the browser's name in the current-default line.
inline constexpr char kCurrentDefaultSuffix[] = " is currently the default browser.";

/// The browser's name in a caption of the current-default line; empty for the empty caption.
std::string BrowserNameOfLine(const std::string& caption);

/// What a program file calls itself (on Windows, the FileDescription of its version resource),
/// given its path as a command names it; the empty text when it says nothing.
using ProgramDescriber = std::function<std::string(const std::string& path)>;

/// Looks up the Start-menu Internet client, per user first and then machine-wide, finds its
/// display name under the machine-wide client list and turns it into the line "<name> is
/// currently the default browser.", or a hidden line when no usable name is found.
///
/// When no per-user client is registered but the current user's http protocol has a default
/// verb of its own with a command (as a custom apply leaves it), that command's program opens
/// the user's web links, and the line names it instead: by `describe`, or, when that is unset
/// or says nothing, by its file name.
DefaultBrowserDisplay QueryCurrentDefaultBrowser(Registry& registry,
                                                 const ProgramDescriber& describe = {});

/// The program a command line starts: the quoted text when it begins with a double quote,
/// otherwise the text up to the first blank, reaching past blanks to a following ".exe" (so
/// an unquoted "C:\Program Files\B\b.exe "%1"" still names b.exe). Empty when there is none.
std::string ProgramOfCommand(const std::string& command);

/// The last component of a Windows or POSIX path: "b.exe" for "C:\Apps\b.exe".
std::string FileNameOf(const std::string& path);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_CURRENT_DEFAULT_H_
