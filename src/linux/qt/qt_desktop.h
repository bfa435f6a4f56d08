// The Desktop and the open-file dialog in Qt: modal message boxes, the modal About box, links
// opened by the desktop's URL handler, and QFileDialog as "UserAccounts.CommonDialog".
#ifndef TARNWICK_LINUX_QT_QT_DESKTOP_H_
#define TARNWICK_LINUX_QT_QT_DESKTOP_H_

#include <QPointer>
#include <QStringList>
#include <functional>
#include <string>

#include "shell/platform.h"

class QWidget;

namespace tarnwick {

class AboutDialog;

/// Opens `url` with the desktop's handler: xdg-open, started directly with the URL as its one
/// argument (never through a shell). Failures are ignored.
void OpenWithDesktopHandler(const std::string& url);

class QtDesktop final : public Desktop {
 public:
  using UrlOpener = std::function<void(const std::string& url)>;

  /// Links go to `open_url`.
  explicit QtDesktop(UrlOpener open_url = OpenWithDesktopHandler);

  /// The window that owns message boxes and the About box; not owned, may be null.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  /// A message box with `title`, `text` (plain text) and one OK button. Style bits 16/32/48/64
  /// choose the icon (16: critical, 64: information; 0: none). Returns when it is dismissed.
  void MsgBox(const std::string& text, const std::string& title, int style) override;
  /// Runs an AboutDialog over `about` modally.
  void ShowAboutBox(frmAbout& about) override;
  void CloseAboutBox() override;
  /// Opens `file` with OpenURL's opener. Verb, owner and show command have no meaning to the
  /// Linux URL handler and are dropped ("Open" and "open" both open; the browser decides its
  /// window size).
  void ShellExecute(ShellOwner owner, const std::string& verb, const std::string& file,
                    int show_command) override;

  /// The About box while it is open, else null.
  AboutDialog* OpenAboutBox() const { return about_; }

 private:
  UrlOpener open_url_;
  QPointer<QWidget> owner_;
  AboutDialog* about_ = nullptr;
};

/// A Windows filter text ("EXE Files(*.exe)|*.exe", description and pattern alternating) as
/// Qt name filters. A description that already ends with its pattern in parentheses is shown
/// as it is ("EXE Files(*.exe)"); otherwise the pattern is added ("Programs (*.exe *.com)").
QStringList NameFiltersFromWindows(const std::string& filter);

/// QFileDialog as the open-file dialog object, modal to the window `owner` gives. The initial
/// folder is read by DialogStartFolder. The only flag the program sets hides the read-only
/// check box, which Qt's dialog never has, so flags change nothing here.
class QtCommonDialog final : public CommonDialog {
 public:
  /// `owner` is asked for the parent window at each showing; it may give null.
  explicit QtCommonDialog(std::function<QWidget*()> owner) : owner_(std::move(owner)) {}
  void SetInitialDir(const std::string& dir) override { initial_dir_ = dir; }
  void SetFilter(const std::string& filter) override { filter_ = filter; }
  void SetFlags(int32_t) override {}
  bool ShowOpen() override;
  std::string FileName() override { return file_name_; }

 private:
  std::function<QWidget*()> owner_;
  std::string initial_dir_;
  std::string filter_;
  std::string file_name_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_QT_DESKTOP_H_
