// What the browser-selection flows work with: the outside services they call (the file-system
// object, the open-file dialog object, the environment) and the window's working values.
#ifndef TARNWICK_SELECTION_SELECTION_CONTEXT_H_
#define TARNWICK_SELECTION_SELECTION_CONTEXT_H_

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

struct BrowserProfile;
class Registry;
class RegistryWriter;

/// The file-system object ("Scripting.FileSystemObject").
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  /// True when a file exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;
};

/// The open-file dialog object ("UserAccounts.CommonDialog"). Properties are set before each
/// showing; FileName is read after a choice.
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;
  virtual void SetInitialDir(const std::string& dir) = 0;
  virtual void SetFilter(const std::string& filter) = 0;
  virtual void SetFlags(int32_t flags) = 0;
  /// Shows the dialog modally. True when the user chose a file and confirmed.
  virtual bool ShowOpen() = 0;
  /// The chosen file's full path.
  virtual std::string FileName() = 0;
};

/// Environment variables.
class Environment {
 public:
  virtual ~Environment() = default;
  /// The variable's value; the empty text when it is not set.
  virtual std::string Get(const std::string& name) = 0;
};

/// The window's working values and services, lent to one apply. Nothing is owned. A null
/// service counts as one that cannot do its work: no file exists, nothing is written or deleted.
struct SelectionContext {
  BrowserProfile* profile = nullptr;   ///< required
  RegistryWriter* writer = nullptr;    ///< every registry write
  Registry* registry = nullptr;        ///< the per-user reset's deletions
  FileSystemObject* fso = nullptr;     ///< the existence test of an executable
  Environment* environment = nullptr;  ///< "ProgramFiles"
  CommonDialog* dialog = nullptr;      ///< asks for a preset's missing executable; null cancels
  /// Runs once, right before an apply first changes the registry; when it returns false the
  /// apply stops there and changes nothing. Unset lets every apply run.
  std::function<bool()> before_change;
};

/// Runs `ctx.before_change`; true when it is unset.
bool MayChange(const SelectionContext& ctx);

/// The value of "ProgramFiles"; the empty text when it is unset or there is no environment.
std::string ProgramFiles(const SelectionContext& ctx);

/// "ProgramFiles" followed by "\Internet Explorer\IExplore.exe".
std::string InternetExplorerPath(const SelectionContext& ctx);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_SELECTION_CONTEXT_H_
