// The About box as a toolkit-independent model: its fixed texts and its three handlers. The
// main window creates it and shows it modally through the Desktop; a front end renders it.
#ifndef TARNWICK_SHELL_ABOUT_BOX_H_
#define TARNWICK_SHELL_ABOUT_BOX_H_

#include "shell/layout.h"

namespace tarnwick {

class Desktop;

/// Its texts and geometry are the layout table's (AboutControls, kAboutWindow); `cmdOK` is both
/// the default and the cancel button.
class frmAbout {
 public:
  /// `desktop` is not owned and must outlive the box.
  explicit frmAbout(Desktop& desktop) : desktop_(desktop) {}
  frmAbout(const frmAbout&) = delete;
  frmAbout& operator=(const frmAbout&) = delete;

  /// OK, Enter or Esc: closes (unloads) the box.
  void cmdOK_Click();
  /// Opens the site's index page.
  void Label2_Click();
  /// Opens the donation page.
  void Label3_Click();

 private:
  Desktop& desktop_;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_ABOUT_BOX_H_
