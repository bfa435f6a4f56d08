// The outside world of the main window, behind small interfaces: the automation objects that
// start-up creates, the version query, the environment, and everything modal or leaving the
// program. The Windows build implements them over Win32 and COM; the Linux build over the
// stand-in registry and Qt. Tests use scripted fakes.
#ifndef TARNWICK_SHELL_PLATFORM_H_
#define TARNWICK_SHELL_PLATFORM_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "selection/selection_context.h"  // FileSystemObject, CommonDialog, Environment

namespace tarnwick {

class BrowserStore;
class Registry;
class RegistryWriteRoute;
class frmAbout;

/// Platform ids of the version record.
inline constexpr uint32_t kPlatformWin32Windows = 1;  ///< VER_PLATFORM_WIN32_WINDOWS: 95, 98, Me
inline constexpr uint32_t kPlatformWin32Nt = 2;       ///< VER_PLATFORM_WIN32_NT: NT, 2000, XP

/// The three fields of the OSVERSIONINFOA record that start-up looks at.
struct OsVersionInfo {
  uint32_t dwPlatformId = 0;  ///< 1: Windows 9x, 2: Windows NT; stays 0 when the query fails
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
};

/// GetVersionExA, or its stand-in.
class VersionProvider {
 public:
  virtual ~VersionProvider() = default;
  /// The running Windows version; the zero record when it cannot be told.
  virtual OsVersionInfo GetVersionEx() = 0;
};

/// Creates the automation objects by ProgID. Each Create returns null with a message in `err`
/// when the object cannot be created.
class AutomationFactory {
 public:
  virtual ~AutomationFactory() = default;
  /// "WScript.Shell": the registry write route.
  virtual std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string* err) = 0;
  /// "Scripting.FileSystemObject".
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string* err) = 0;
  /// "UserAccounts.CommonDialog".
  virtual std::unique_ptr<CommonDialog> CreateCommonDialog(std::string* err) = 0;
};

/// The owner window of a shell call.
enum class ShellOwner {
  kNone,     ///< no owner window
  kDesktop,  ///< the desktop window (GetDesktopWindow)
};

/// Show commands of a shell call.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMaximized = 3;

/// Message-box styles.
inline constexpr int kVbOkOnly = 0;
inline constexpr int kVbCritical = 16;     ///< an error: something could not be done
inline constexpr int kVbExclamation = 48;  ///< a warning: done, but something may undo it
inline constexpr int kVbInformation = 64;

/// What program files say about themselves.
class ProgramInfo {
 public:
  virtual ~ProgramInfo() = default;
  /// The FileDescription of the version resource of the program at `path` (environment
  /// references expanded); the empty text when the file or its description cannot be read.
  virtual std::string Description(const std::string& path) = 0;
};

/// Everything that is modal or leaves the program.
class Desktop {
 public:
  virtual ~Desktop() = default;
  /// Shows a modal message box and returns when the user has dismissed it.
  virtual void MsgBox(const std::string& text, const std::string& title, int style) = 0;
  /// Shows the About box modally; returns when it has closed.
  virtual void ShowAboutBox(frmAbout& about) = 0;
  /// Closes the About box if it is open; no effect otherwise.
  virtual void CloseAboutBox() = 0;
  /// Asks the shell to open `file` with `verb`; no parameters, no working directory. The result
  /// is not reported.
  virtual void ShellExecute(ShellOwner owner, const std::string& verb, const std::string& file,
                            int show_command) = 0;
};

/// Where the backups go: the folder of ".reg" files that the program saves before it changes
/// the registry. One caller at a time.
class BackupFolder {
 public:
  virtual ~BackupFolder() = default;
  /// The folder, as shown to the user.
  virtual std::string Path() = 0;
  /// Saves `bytes` as a new backup named for `what` ("Reset", "Apply Maxthon", ...) at the local
  /// time now, durably: a crash at any moment leaves either no new file or the whole of it.
  /// Then removes the oldest backups beyond the newest 30, and temporary files that an ended
  /// run left behind. Returns the new file's path; nothing, with the system's reason in `err`
  /// ("access is denied", "no space left on device", ...), when it could not be saved.
  virtual std::optional<std::string> Save(const std::string& what, std::string_view bytes,
                                          std::string* err) = 0;
  /// Removes a backup that Save returned (one taken before an operation that then changed
  /// nothing). Anything else is left alone; a failure is not reported.
  virtual void Discard(const std::string& file) = 0;
  /// The path of the newest backup, the one saved last. Nothing with an empty `err` when the
  /// folder holds none (or does not exist yet); nothing with the system's reason when it cannot
  /// be read.
  virtual std::optional<std::string> Newest(std::string* err) = 0;
  /// The whole content of the backup `file`, a path that Save or Newest gave. False with the
  /// reason when it cannot be read.
  virtual bool Read(const std::string& file, std::string* bytes, std::string* err) = 0;
};

/// What the main window is given to reach the outside world. Nothing is owned.
struct Platform {
  Registry* registry = nullptr;  ///< the delete and read routes
  AutomationFactory* automation = nullptr;
  VersionProvider* version = nullptr;
  Environment* environment = nullptr;
  Desktop* desktop = nullptr;
  ProgramInfo* programs = nullptr;  ///< null: programs are named by their file names
  BackupFolder* backups = nullptr;  ///< where the registry is saved before a change
  /// Where the default browser is kept; null: the registry above, through the automation
  /// objects, as on Windows.
  BrowserStore* store = nullptr;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_PLATFORM_H_
