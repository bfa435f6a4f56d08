// The default web browser of the current user on a freedesktop.org desktop: what sets it,
// reads it, resets it, backs it up and brings it back.
#ifndef TARNWICK_FREEDESKTOP_DESKTOP_BROWSER_STORE_H_
#define TARNWICK_FREEDESKTOP_DESKTOP_BROWSER_STORE_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "freedesktop/desktop_entry.h"
#include "freedesktop/xdg_paths.h"

namespace tarnwick::freedesktop {

class KeyFile;

/// The MIME types whose default is the browser, in the order they are written.
std::span<const char* const> BrowserMimeTypes();

/// The ID of the desktop entry that a custom program gets.
inline constexpr char kCustomBrowserId[] = "tarnwick-custom-browser.desktop";

/// The edit of a mimeapps.list that makes `id` the default browser: the value of each of
/// BrowserMimeTypes() in "[Default Applications]" becomes `id` (a final ';' kept as it was);
/// `id` goes first in its "[Added Associations]" list and out of its "[Removed Associations]"
/// list, a list left empty going with its key.
void SetBrowserInMimeapps(KeyFile& file, const std::string& id);

/// The edit that undoes it: the browser types' keys in "[Default Applications]" and "[Added
/// Associations]" go, and kCustomBrowserId leaves their "[Removed Associations]"; a group
/// that this leaves with nothing but blank lines goes too. Every other line stays.
void ResetBrowserInMimeapps(KeyFile& file);

/// The extension of a file that holds a DesktopBrowserStore::Snapshot: a backup that Tarnwick
/// alone reads back, not a registry file.
inline constexpr char kSnapshotExtension[] = ".tarnwick-backup";

/// One file as it is and as it is to be; nullopt means the file is absent.
struct FileChange {
  std::string path;
  std::optional<std::string> before, after;
  /// The mode that `after` is written with; none: the file's own (0644 less the umask for a
  /// new one).
  std::optional<unsigned> mode = std::nullopt;
  bool operator==(const FileChange&) const = default;
};

/// What the changes do, one line per key or file, in the order of the changes and of the keys
/// in the new text: "<path>: [<group>] <key>=<value>", "<path>: [<group>] <key> removed"
/// (no group for keys outside one), "<path>: new file" and "<path>: removed".
std::vector<std::string> DescribeChanges(const std::vector<FileChange>& changes);

/// What CurrentDefault::Other names for the links of KDE's own programs.
inline constexpr char kKdeLinks[] = "a link in KDE's programs";

/// Which browser opens the user's web links now.
struct CurrentDefault {
  enum class State {
    kNone,   ///< nothing opens http links
    kOne,    ///< `name` opens http, https and text/html alike
    kSplit,  ///< `name` opens http links, but `others` lists what goes elsewhere
  };
  /// A type that does not go to the http browser (or kKdeLinks); `id` and `name` empty when
  /// nothing opens it, `id` alone empty for a command.
  struct Other {
    std::string mime_type, id, name;
    bool operator==(const Other&) const = default;
  };
  State state = State::kNone;
  std::string id;    ///< the http browser's desktop file ID
  std::string name;  ///< its Name (localized), else its ID
  std::vector<Other> others;
  bool operator==(const CurrentDefault&) const = default;
};

/// The user's default browser as the desktops read it: mimeapps.list files, kdeglobals on KDE,
/// xfce4/helpers.rc on XFCE. Plans are pure: they read files and say what would change;
/// only Write and Restore change files. Each file is written beside itself (beside a
/// symlink's target), flushed and renamed over it, keeping its mode.
class DesktopBrowserStore {
 public:
  explicit DesktopBrowserStore(XdgPaths paths);

  /// The changes that make `desktop_id` the default for BrowserMimeTypes(): the value of each
  /// in "[Default Applications]" of $XDG_CONFIG_HOME/mimeapps.list, first in "[Added
  /// Associations]", out of "[Removed Associations]"; on KDE also kdeglobals "[General]
  /// BrowserApplication", on XFCE helpers.rc "WebBrowser" and its helper file. Only files that
  /// change are listed. False with `err` when the ID is malformed or a file cannot be read.
  bool PlanApply(std::string_view desktop_id, std::vector<FileChange>* changes,
                 std::string* err) const;

  /// As PlanApply for a desktop entry of Tarnwick's own (kCustomBrowserId, in
  /// $XDG_DATA_HOME/applications) that starts `program_path` with "%u". False with `err`
  /// when the path is not absolute, names no executable file, or holds a control character
  /// or text that is not UTF-8: nothing is planned then.
  bool PlanCustom(std::string_view program_path, std::vector<FileChange>* changes,
                  std::string* err) const;

  /// The changes that undo every apply, so that the system's defaults apply again: in
  /// $XDG_CONFIG_HOME/mimeapps.list as ResetBrowserInMimeapps, the desktop keys (with their
  /// group, when it holds nothing else) and Tarnwick's own files. A settings file left with
  /// nothing but blank lines is removed, unless it is a symlink. False with `err` when a file
  /// cannot be read.
  bool PlanReset(std::vector<FileChange>* changes, std::string* err) const;

  /// Writes the changes, each file on its own; a file whose content is no longer its
  /// `before` is left alone. Goes on after a failure; false with one line per file that
  /// failed in `err` ("rename(<path>): <reason>"). Refuses a path outside OwnedPaths().
  bool Write(const std::vector<FileChange>& changes, std::string* err) const;

  /// The browser that opens http links, found as GIO finds it: "[Default Applications]" of
  /// every mimeapps.list in lookup order, then the added associations and the installed
  /// entries' types (mimeinfo.cache); an entry that is not installed or cannot start is
  /// skipped. https and text/html are resolved alike and compared.
  CurrentDefault Query() const;

  /// The entry that opens `mime_type` now; nullopt when none does.
  std::optional<DesktopEntry> Resolve(std::string_view mime_type) const;

  /// What would override the user's choice, one sentence each: a desktop's own
  /// $XDG_CONFIG_HOME/<desktop>-mimeapps.list that sets a browser type, or $BROWSER.
  std::vector<std::string> Warnings() const;

  /// Every file that Tarnwick may write, and so the only ones a backup may restore.
  std::vector<std::string> OwnedPaths() const;

  /// A backup: the bytes of each of `paths`, or the fact that it is absent. False with `err`
  /// when one exists but cannot be read.
  bool Snapshot(const std::vector<std::string>& paths, std::string* snapshot,
                std::string* err) const;

  /// Brings back every file of a Snapshot byte for byte (removes those that were absent).
  /// Refuses, before changing anything, a damaged snapshot, one naming a file outside
  /// OwnedPaths() or one larger than a settings file can be. False with `err` when refused or
  /// when a file could not be written (as Write); `refused`, when given, tells which: true
  /// when nothing was changed.
  bool Restore(std::string_view snapshot, std::string* err, bool* refused = nullptr) const;

  /// The folders this store works on.
  const XdgPaths& paths() const { return paths_; }

 private:
  std::string UserMimeapps() const;
  /// Every mimeapps.list in lookup order, whether it exists or not.
  std::vector<std::string> MimeappsFiles() const;
  /// PlanApply for an entry already found.
  bool PlanEntry(const DesktopEntry& entry, std::vector<FileChange>* changes,
                 std::string* err) const;

  XdgPaths paths_;
};

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_DESKTOP_BROWSER_STORE_H_
