#include "registry/association_sets.h"

#include <iterator>

#include "registry/registry_writer.h"

namespace tarnwick {
namespace {

using enum RowValue;

// clang-format off
constexpr AssociationRow kGenericRows[] = {
  {R"(HKCU\Software\Classes\.htm\)", kText, "MyHTMLfile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.html\)", kText, "MyHTMLfile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.url\)", kText, "MyInternetShortcut", "REG_SZ"},
  {R"(HKCU\Software\Classes\.mht\)", kText, "MyMHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.mhtml\)", kText, "MyMHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.shtml\)", kText, "MyMHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\Shell\Open\Command\)", kShortcutCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\IsShortcut)", kText, "", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\NeverShowExt)", kText, "", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\EditFlags)", kText, "2", "REG_DWORD"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\Shellex\PropertySheetHandlers\{FBF23B40-E3F0-101B-8488-00AA003E56F8}\)", kText, "", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyHTMLfile\Shell\Open\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\MyMHTMLFile\Shell\Open\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\http\Shell\MyHTMLFile\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\https\Shell\MyHTMLFile\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\Shell\MyHTMLFile\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\http\Shell\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\https\Shell\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\Shell\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyHTMLFile\DefaultIcon\)", kHtmlIcon, nullptr, "REG_EXPAND_SZ"},
  {R"(HKCU\Software\Classes\MyMHTMLFile\DefaultIcon\)", kMhtmlIcon, nullptr, "REG_EXPAND_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\DefaultIcon\)", kShortcutIcon, nullptr, "REG_EXPAND_SZ"},
  {R"(HKCU\Software\Classes\MyInternetShortcut\Shellex\IconHandler\)", kText, "{FBF23B40-E3F0-101B-8488-00AA003E56F8}", "REG_SZ"},
  {R"(HKCU\Software\Classes\http\DefaultIcon\)", kHttpIcon, nullptr, "REG_EXPAND_SZ"},
  {R"(HKCU\Software\Classes\https\DefaultIcon\)", kHttpsIcon, nullptr, "REG_EXPAND_SZ"},
  {R"(HKCU\Software\Classes\ftp\DefaultIcon\)", kFtpIcon, nullptr, "REG_EXPAND_SZ"},
};

// Firefox keeps the protocols' standard "open" verb and adds its DDE application name; the
// empty DDE command is written for http and https only.
constexpr AssociationRow kFirefoxRows[] = {
  {R"(HKCU\Software\Classes\.htm\)", kText, "MyHTMLfile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.html\)", kText, "MyHTMLfile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.shtml\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.xht\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.xhtml\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\.xml\)", kText, "MyHTMLFile", "REG_SZ"},
  {R"(HKCU\Software\Classes\MyHTMLfile\Shell\Open\Command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\http\shell\open\command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\https\shell\open\command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\shell\open\command\)", kOpenCommand, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\http\Shell\)", kText, "open", "REG_SZ"},
  {R"(HKCU\Software\Classes\https\Shell\)", kText, "open", "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\Shell\)", kText, "open", "REG_SZ"},
  {R"(HKCU\Software\Classes\http\shell\open\ddeexec\Application\)", kText, "Firefox", "REG_SZ"},
  {R"(HKCU\Software\Classes\https\shell\open\ddeexec\Application\)", kText, "Firefox", "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\shell\open\ddeexec\Application\)", kText, "Firefox", "REG_SZ"},
  {R"(HKCU\Software\Classes\http\shell\open\ddeexec\)", kText, "", "REG_SZ"},
  {R"(HKCU\Software\Classes\https\shell\open\ddeexec\)", kText, "", "REG_SZ"},
  {R"(HKCU\Software\Classes\http\DefaultIcon\)", kProtocolIcon, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\https\DefaultIcon\)", kProtocolIcon, nullptr, "REG_SZ"},
  {R"(HKCU\Software\Classes\ftp\DefaultIcon\)", kProtocolIcon, nullptr, "REG_SZ"},
};
// clang-format on

void WriteRows(std::span<const AssociationRow> rows, const BrowserProfile& profile,
               RegistryWriter& writer) {
  for (const AssociationRow& row : rows)
    writer.write(row.path, RowValueFor(row, profile), row.type);
}

}  // namespace

std::span<const AssociationRow> GenericAssociationRows() { return kGenericRows; }
std::span<const AssociationRow> FirefoxAssociationRows() { return kFirefoxRows; }

std::string RowValueFor(const AssociationRow& row, const BrowserProfile& profile) {
  switch (row.from) {
    case kText:
      return row.text;
    case kOpenCommand:
      return profile.OpenCommand;
    case kShortcutCommand:
      return profile.ShortcutCommand;
    case kHtmlIcon:
      return profile.HtmlIcon;
    case kMhtmlIcon:
      return profile.MhtmlIcon;
    case kHttpIcon:
      return profile.HttpIcon;
    case kHttpsIcon:
      return profile.HttpsIcon;
    case kFtpIcon:
      return profile.FtpIcon;
    case kShortcutIcon:
      return profile.ShortcutIcon;
    case kProtocolIcon:
      return profile.ExecutablePath + ",0";
  }
  return {};
}

void PresetDefaultWebBrowser(const BrowserProfile& profile, RegistryWriter& writer) {
  WriteRows(kGenericRows, profile, writer);
}

void PresetFirefoxDefault(const BrowserProfile& profile, RegistryWriter& writer) {
  WriteRows(kFirefoxRows, profile, writer);
}

}  // namespace tarnwick
