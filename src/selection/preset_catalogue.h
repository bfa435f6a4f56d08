// The eight preset browsers, with everything a preset apply needs to make one of them the
// current user's default.
#ifndef TARNWICK_SELECTION_PRESET_CATALOGUE_H_
#define TARNWICK_SELECTION_PRESET_CATALOGUE_H_

#include <span>
#include <string>
#include <string_view>

#include "registry/browser_profile.h"

namespace tarnwick {

/// How OpenCommand is built from the settled executable path P. P is always quoted: unquoted,
/// a path with blanks lets Windows try "C:\Program.exe" and the like before the real program.
enum class CommandForm {
  kQuoted,     ///< "P" "%1"
  kBare,       ///< "P" "%1", the form of browsers that take no switch
  kUrlSwitch,  ///< "P" -url "%1"
};

/// Which icon references a preset sets.
enum class IconSet {
  kBrowserIcons,  ///< IEPath + ",0" (",22" for MHTML) and url.dll for shortcuts
  kNone,          ///< the six icon fields stay empty
};

/// How ShortcutCommand is set.
enum class ShortcutCommandForm {
  kCopy,     ///< the OpenCommand
  kLiteral,  ///< kLiteralShortcutCommand
  kNone,     ///< stays empty
};

/// Which association set a preset writes.
enum class AssociationSet {
  kGeneric,  ///< PresetDefaultWebBrowser
  kFirefox,  ///< PresetFirefoxDefault
};

/// One fixed "REG_SZ" write.
struct PresetWrite {
  const char* path;   ///< writer path
  const char* value;  ///< the text written
};

/// One row of the catalogue.
struct BrowserPreset {
  const char* OptionName;    ///< the option button that selects it, "Option1" ... "Option8"
  const char* Caption;       ///< the option button's caption
  const char* RelativePath;  ///< executable below "ProgramFiles", with a leading backslash
  // The field names are the types' names, so the types are named with their namespace.
  tarnwick::CommandForm CommandForm;
  tarnwick::IconSet IconSet;
  tarnwick::ShortcutCommandForm ShortcutCommandForm;
  tarnwick::AssociationSet AssociationSet;
  const char* ClientName;         ///< default value of the per-user StartMenuInternet key
  bool MachineClient;             ///< whether the machine-wide client entry is written
  const char* DisplayName;        ///< its LocalizedString; null without a machine client
  const char* ClientCommandPath;  ///< its open command's writer path; null without one
  const char* ClientNamePath;     ///< its LocalizedString's writer path; null without one
  const PresetWrite* ExtraWrite;  ///< one further write after the client entries, or null
};

/// The shortcut command of Internet Explorer's preset.
inline constexpr char kLiteralShortcutCommand[] = "rundll32.exe shdocvw.dll,OpenURL %l";
/// The icon of Internet shortcuts in the browser icon set.
inline constexpr char kShortcutIconReference[] = R"(%SystemRoot%\system32\url.dll,0)";

/// How many presets there are: one option button each.
inline constexpr int kPresetCount = 8;

/// The kPresetCount rows in option order.
std::span<const BrowserPreset> PresetCatalogue();

/// The row whose Caption is `caption`, compared without regard to the case of ASCII letters
/// ("maxthon", "MOZILLA FIREFOX"); null when there is none.
const BrowserPreset* FindPreset(std::string_view caption);

/// Points the five document and protocol icons into profile->IEPath (index 0, the MHTML icon
/// index `mhtml_index`) and the Internet-shortcut icon at url.dll.
void SetBrowserIcons(BrowserProfile* profile, const char* mhtml_index);

/// OpenCommand for executable `path` in `form`.
std::string BuildOpenCommand(CommandForm form, const std::string& path);

/// The command of a machine-wide Start-menu client: the executable `path` in double quotes,
/// with no arguments.
std::string ClientCommand(const std::string& path);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_PRESET_CATALOGUE_H_
