// The automation objects that start-up creates, over COM: the scripting shell (the registry
// write route), the file-system object and the open-file dialog object.
#ifndef TARNWICK_WIN32_AUTOMATION_WIN32_H_
#define TARNWICK_WIN32_AUTOMATION_WIN32_H_

#include <memory>
#include <optional>
#include <string>

#include "shell/platform.h"
#include "win32/scoped-win32.h"

namespace tarnwick {

/// "Scripting.FileSystemObject", its FileExists called late-bound.
class AutomationFileSystemObject : public FileSystemObject {
 public:
  explicit AutomationFileSystemObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  /// False also when the call itself fails.
  bool FileExists(const std::string& path) override;

 private:
  ComPtr<IDispatch> object_;
};

/// "UserAccounts.CommonDialog", its properties and ShowOpen used late-bound. A property or
/// method that fails leaves the dialog as it was; a failed ShowOpen counts as cancelled and a
/// failed FileName read gives the empty text.
class AutomationCommonDialog : public CommonDialog {
 public:
  explicit AutomationCommonDialog(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  void SetInitialDir(const std::string& dir) override;
  void SetFilter(const std::string& filter) override;
  void SetFlags(int32_t flags) override;
  /// True only when the object answers true (VARIANT_TRUE).
  bool ShowOpen() override;
  std::string FileName() override;

 private:
  ComPtr<IDispatch> object_;
};

/// Creates the objects by ProgID. COM must be initialised on the calling thread (apartment
/// threaded, for the dialogs) for as long as the objects live.
class Win32AutomationFactory : public AutomationFactory {
 public:
  /// `owner` is the window the stand-in open-file dialog is modal to; null for the thread's
  /// active window when it is shown.
  explicit Win32AutomationFactory(HWND owner = nullptr) : owner_(owner) {}

  std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string* err) override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string* err) override;
  /// The "UserAccounts.CommonDialog" object; where it is not registered (it is missing from
  /// some NT 5.2 systems and from Wine) the standard open-file dialog takes its place, so this
  /// never fails. The stand-in expands the initial folder's environment references itself.
  std::unique_ptr<CommonDialog> CreateCommonDialog(std::string* err) override;

  /// True when the last CreateCommonDialog had to fall back to the standard dialog.
  bool used_dialog_fallback() const { return used_dialog_fallback_; }

 private:
  HWND owner_;
  bool used_dialog_fallback_ = false;
};

/// The objects of a run without the window: COM is started (apartment threaded) by the first
/// object made and ended when this goes, so that a command that needs no object starts none;
/// the apartment's hidden window alone would tie the process to the desktop. Every object made
/// must be gone before this is.
class Win32AutomationOnDemand final : public AutomationFactory {
 public:
  std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string* err) override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string* err) override;
  std::unique_ptr<CommonDialog> CreateCommonDialog(std::string* err) override;

 private:
  Win32AutomationFactory& Started();

  std::optional<ScopedCoInitialize> com_;  // declared first: it goes last
  Win32AutomationFactory objects_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_AUTOMATION_WIN32_H_
