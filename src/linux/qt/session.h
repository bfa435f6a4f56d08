// One run of the program on Linux: the main window model over a stand-in registry, wired to
// the Linux services and the Qt desktop, and its window.
#ifndef TARNWICK_LINUX_QT_SESSION_H_
#define TARNWICK_LINUX_QT_SESSION_H_

#include <memory>
#include <optional>

#include "linux/linux_services.h"
#include "linux/qt/main_window.h"
#include "linux/qt/qt_desktop.h"
#include "shell/form1.h"

namespace tarnwick {

class DesktopStore;
class Registry;
class RegistryWriteRoute;
class StandInRegistry;
struct HiveLocations;

/// Opens the two hive files, as an administrator when this process may write the machine hive.
/// A file that is not a hive is named in a modal message box (style 16, the program's title)
/// and left untouched; the result is then null and the program should end.
std::unique_ptr<StandInRegistry> OpenHivesOrExplain(const HiveLocations& files, Desktop& desktop);

class Session {
 public:
  /// `registry` and `backups` are not owned and must outlive the session. Links go to
  /// `open_url`; backups to `backups` (none without one).
  explicit Session(StandInRegistry& registry,
                   QtDesktop::UrlOpener open_url = OpenWithDesktopHandler,
                   BackupFolder* backups = nullptr);
  /// The same over separate read-and-delete and write routes, neither owned.
  Session(Registry& registry, RegistryWriteRoute& writer, QtDesktop::UrlOpener open_url,
          BackupFolder* backups = nullptr);
  /// The window over the user's desktop, `store`, which is not owned. Its title names the
  /// desktop, and the option buttons show the installed browsers' names and icons.
  Session(DesktopStore& store, QtDesktop::UrlOpener open_url = OpenWithDesktopHandler);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  /// The load step. When it lets the program run, shows the window centred on the screen and
  /// returns true; otherwise the window stays hidden and the program should end.
  bool Start();

  Form1& form() { return form_; }
  MainWindow& window() { return window_; }
  QtDesktop& desktop() { return desktop_; }

  /// The open-file dialog of the window.
  std::unique_ptr<CommonDialog> MakeDialog();

 private:
  std::optional<StandInVersionProvider> version_;  ///< over the stand-in registry only
  ProcessEnvironment environment_;
  QtDesktop desktop_;
  std::optional<StandInAutomation> automation_;  ///< over the stand-in registry only
  DesktopStore* desktop_store_ = nullptr;
  Platform platform_;
  Form1 form_;
  MainWindow window_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_SESSION_H_
