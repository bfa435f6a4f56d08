// The working values that describe the browser being made the default.
#ifndef TARNWICK_REGISTRY_BROWSER_PROFILE_H_
#define TARNWICK_REGISTRY_BROWSER_PROFILE_H_

#include <string>

namespace tarnwick {

/// Filled by the apply operations, read by the association sets. A field nothing has set yet
/// is empty text. Icon fields hold a shell icon reference: a file, a comma, an index.
struct BrowserProfile {
  std::string OpenCommand;        ///< open command line built from ExecutablePath
  std::string ExecutablePath;     ///< browser executable, unquoted (the candidate while settling)
  std::string HtmlIcon;           ///< DefaultIcon of MyHTMLFile
  std::string MhtmlIcon;          ///< DefaultIcon of MyMHTMLFile
  std::string HttpIcon;           ///< DefaultIcon of http
  std::string HttpsIcon;          ///< DefaultIcon of https
  std::string FtpIcon;            ///< DefaultIcon of ftp
  std::string ShortcutIcon;       ///< DefaultIcon of MyInternetShortcut
  std::string ShortcutCommand;    ///< open command of MyInternetShortcut
  std::string IEPath;             ///< %ProgramFiles%\Internet Explorer\IExplore.exe
  std::string ClientCommandPath;  ///< writer path of the machine-wide client's open command
  std::string ClientNamePath;     ///< writer path of the machine-wide client's LocalizedString
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_BROWSER_PROFILE_H_
