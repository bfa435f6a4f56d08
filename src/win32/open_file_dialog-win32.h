// The standard open-file dialog (GetOpenFileNameW) behind the CommonDialog interface: the picker's
// stand-in on systems without the "UserAccounts.CommonDialog" object (some NT 5.2 installations,
// Wine).
#ifndef TARNWICK_WIN32_OPEN_FILE_DIALOG_WIN32_H_
#define TARNWICK_WIN32_OPEN_FILE_DIALOG_WIN32_H_

#include <cstdint>
#include <string>

#include "shell/platform.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// The dialog's filter from the "Description|*.ext|..." form: every bar becomes a NUL and the
/// list ends with two NULs, as OPENFILENAMEW wants it.
std::wstring OpenFileFilter(const std::string& filter);

/// `text` with its environment-variable references ("%Programfiles%") expanded; the text as
/// given when it cannot be expanded.
std::wstring ExpandEnvironment(const std::string& text);

class OpenFileDialog : public CommonDialog {
 public:
  /// `owner` is the window the dialog is modal to; null for the thread's active window.
  explicit OpenFileDialog(HWND owner) : owner_(owner) {}

  /// The folder the dialog starts in. Unlike the automation object, which takes the text as
  /// it is, the dialog needs a real folder, so references such as "%Programfiles%" are
  /// expanded when it is shown.
  void SetInitialDir(const std::string& dir) override { initial_dir_ = dir; }
  void SetFilter(const std::string& filter) override { filter_ = filter; }
  /// OFN_* flags, passed on unchanged.
  void SetFlags(int32_t flags) override { flags_ = flags; }
  bool ShowOpen() override;
  /// The chosen file's full path; the empty text before a choice.
  std::string FileName() override { return file_name_; }

  /// The window the next showing is modal to.
  void set_owner(HWND owner) { owner_ = owner; }

 private:
  HWND owner_;
  std::string initial_dir_;
  std::string filter_;
  int32_t flags_ = 0;
  std::string file_name_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_OPEN_FILE_DIALOG_WIN32_H_
