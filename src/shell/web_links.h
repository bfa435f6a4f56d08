// The maker's web pages, and the shared routine that opens one in the user's browser.
#ifndef TARNWICK_SHELL_WEB_LINKS_H_
#define TARNWICK_SHELL_WEB_LINKS_H_

#include <string>

namespace tarnwick {

class Desktop;

/// The maker's web site.
inline constexpr char kHostName[] = "tarnwick.example.com";
/// The site root: no path, no trailing slash.
inline constexpr char kSiteRootUrl[] = "http://tarnwick.example.com";
inline constexpr char kProgramPageUrl[] = "http://tarnwick.example.com/tarnwick.htm";
inline constexpr char kIndexPageUrl[] = "http://tarnwick.example.com/index.html";
inline constexpr char kDonationPageUrl[] = "http://tarnwick.example.com/donate.htm";

/// Module1's OpenURL: asks the shell, with the desktop window as owner, to open `target` with
/// `verb` and `show_command`; no parameters, no working directory. The shell's answer is
/// dropped: nothing is shown whether the page opens or not.
void OpenURL(Desktop& desktop, const std::string& verb, const std::string& target,
             int show_command);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_WEB_LINKS_H_
