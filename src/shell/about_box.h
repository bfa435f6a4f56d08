// The About box as a toolkit-independent model: its fixed texts and its three handlers. The
// main window creates it and shows it modally through the Desktop; a front end renders it.
#ifndef TARNWICK_SHELL_ABOUT_BOX_H_
#define TARNWICK_SHELL_ABOUT_BOX_H_

#include "shell/layout.h"

namespace tarnwick {

class Desktop;

/// The texts are those of the layout table (AboutControls, kAboutWindow), repeated here for
/// callers that want them by name.
class frmAbout {
 public:
  static constexpr char kCaption[] = "About Tarnwick";
  static constexpr char kTitle[] = "Tarnwick 1.5 for Windows\u00AE XP";  ///< lblTitle
  static constexpr char kLabel1[] = "Set the default browser for your user profile";
  static constexpr const char* kDescription = kCopyrightNotice;  ///< lblDescription
  static constexpr char kLabel2[] = "Halvard's Windows\u00AE Troubleshooting site";
  static constexpr char kLabel3[] = "To Donate (via PayPal), click this link.";
  static constexpr char kOk[] = "OK";  ///< cmdOK, both the default and the cancel button

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
