// The user's freedesktop.org desktop as the store of the default browser: the window and the
// command line set, reset and read mimeapps.list and the desktops' own keys through it.
#ifndef TARNWICK_LINUX_DESKTOP_STORE_H_
#define TARNWICK_LINUX_DESKTOP_STORE_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "freedesktop/desktop_browser_store.h"
#include "freedesktop/desktop_entry.h"
#include "freedesktop/xdg_paths.h"
#include "shell/backup.h"
#include "shell/browser_store.h"

namespace tarnwick {

class BackupFolder;
class CommonDialog;

/// The title of the message boxes on the desktop.
inline constexpr char kDesktopMessageTitle[] = "Tarnwick";

class DesktopStore final : public BrowserStore {
 public:
  /// Makes the picker's dialog; null or a null result: there is none, and a missing preset's
  /// Apply is cancelled.
  using DialogMaker = std::function<std::unique_ptr<CommonDialog>()>;

  /// Works on the folders of `paths`. Backups go to `backups` (none: every change is refused
  /// with the failed backup's message); the browser set once is kept in the file `once_file`.
  /// Nothing is owned.
  DesktopStore(freedesktop::XdgPaths paths, BackupFolder* backups, std::string once_file,
               DialogMaker make_dialog = {});
  ~DesktopStore() override;

  /// Refuses to run (kFailed) when neither $XDG_CONFIG_HOME nor $HOME gives a settings folder.
  StoreLoad Load(Desktop& desktop) override;
  /// "the desktop", and the desktops $XDG_CURRENT_DESKTOP names ("the desktop (KDE)").
  std::string Where() const override;
  /// "Tarnwick": the title of Windows XP would only puzzle a desktop's user.
  std::string MessageTitle() const override { return kDesktopMessageTitle; }
  /// The installed entry's Name, else the table's caption.
  std::string PresetCaption(int index) const override;
  /// By the table's caption or the installed entry's Name, in any case.
  int FindPreset(const std::string& name) const override;
  bool PresetInstalled(int index) override;
  std::string WhyNotInstalled(int index) override;
  bool CustomAccepted(const std::string& text) override;
  /// A preset that is not installed asks for a program with the picker and gets an entry of
  /// its own, as a custom program does.
  StoreChange ApplyPreset(const std::array<bool, kPresetCount>& option_values) override;
  StoreChange ApplyCustom(const std::string& text) override;
  StoreChange Reset() override;
  /// The http browser's Name; when https or text/html go elsewhere, the line says so.
  DefaultBrowserDisplay CurrentDefault() override;
  std::string NameOfLine(const std::string& caption) const override;
  /// The files that an apply would change, one per line.
  std::vector<std::string> NotInPlace(int index, const std::string& path) override;
  bool WasSetOnce(const std::string& label) override;
  /// When no file would change.
  bool ChangesNothing(int index, const std::string& path) override;
  bool RecordOnce(const std::string& label, std::string* err) override;
  bool ForgetOnce(std::string* err) override;
  RestoreOutcome Restore(const std::string& file, const std::string& bytes,
                         std::string* detail) override;
  CommonDialog* Dialog() override { return dialog_.get(); }

  /// The icon of preset `index`'s installed entry: its file, else its name in the icon theme;
  /// empty when it is not installed or names none.
  std::string PresetIcon(int index) const;

 private:
  std::optional<freedesktop::DesktopEntry> Entry(int index) const;
  /// Saves the files at `paths` as they are now in a backup named `what`.
  BackupResult SaveSnapshot(const std::vector<std::string>& paths, const std::string& what);
  /// Saves the files of `changes` as they are, writes the changes and adds what the user is to
  /// be told to `change`. `what` names the backup.
  void Change(const std::vector<freedesktop::FileChange>& changes, const std::string& what,
              StoreChange* change);
  /// Plans and makes the custom entry for `path` (trimmed), or says why it cannot.
  StoreChange ApplyProgram(const std::string& path);

  freedesktop::DesktopBrowserStore store_;
  BackupFolder* backups_;
  std::string once_file_;
  DialogMaker make_dialog_;
  std::unique_ptr<CommonDialog> dialog_;
  std::string last_name_, last_caption_;  ///< of the current-default line shown last
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_DESKTOP_STORE_H_
