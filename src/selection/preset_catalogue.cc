#include "selection/preset_catalogue.h"

#include <iterator>

#include "text/text.h"

namespace tarnwick {
namespace {

// Deepnet hands Internet shortcuts back to the shell's own type right after the generic set
// pointed them at MyInternetShortcut.
constexpr PresetWrite kDeepnetShortcutWrite = {R"(HKCU\Software\Classes\.url\)",
                                               "InternetShortcut"};
// Avant's shortcut type has no open command of its own; the shell's Internet-shortcut
// extension supplies the shortcut menu instead.
constexpr PresetWrite kAvantShortcutMenuWrite = {
    R"(HKCU\Software\Classes\MyInternetShortcut\Shellex\ContextMenuHandlers\{FBF23B40-E3F0-101B-8488-00AA003E56F8}\)",
    ""};

using enum CommandForm;
using enum IconSet;
using SC = ShortcutCommandForm;
using AS = AssociationSet;

// Client names keep their letter case: the current-default line looks them up as key names.
// clang-format off
constexpr BrowserPreset kPresets[] = {
  {"Option1", "GreenBrowser", R"(\GreenBrowser\GreenBrowser.exe)", kQuoted, kBrowserIcons, SC::kCopy, AS::kGeneric, "GreenBrowser.exe", true, "GreenBrowser Web Browser", R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\shell\open\command\)", R"(HKLM\Software\Clients\StartMenuInternet\GreenBrowser.exe\LocalizedString)", nullptr},
  {"Option2", "Internet Explorer 6", R"(\Internet Explorer\IExplore.exe)", kQuoted, kBrowserIcons, SC::kLiteral, AS::kGeneric, "IEXPLORE.EXE", false, nullptr, nullptr, nullptr, nullptr},
  {"Option3", "Maxthon", R"(\Maxthon\Maxthon.exe)", kQuoted, kBrowserIcons, SC::kCopy, AS::kGeneric, "Maxthon.exe", true, "Maxthon Web Browser", R"(HKLM\Software\Clients\StartMenuInternet\Maxthon.exe\shell\open\command\)", R"(HKLM\Software\Clients\StartMenuInternet\Maxthon.exe\LocalizedString)", nullptr},
  {"Option4", "SlimBrowser", R"(\SlimBrowser\sbrowser.exe)", kQuoted, kBrowserIcons, SC::kCopy, AS::kGeneric, "sbrowser.exe", true, "FlashPeak SlimBrowser", R"(HKLM\Software\Clients\StartMenuInternet\sbrowser.exe\shell\open\command\)", R"(HKLM\Software\Clients\StartMenuInternet\sbrowser.exe\LocalizedString)", nullptr},
  {"Option5", "Crazy Browser", R"(\Crazy Browser\Crazy Browser.exe)", kQuoted, kBrowserIcons, SC::kCopy, AS::kGeneric, "CrazyBrowser", true, "CrazyBrowser", R"(HKLM\Software\Clients\StartMenuInternet\CrazyBrowser\shell\open\command\)", R"(HKLM\Software\Clients\StartMenuInternet\CrazyBrowser\LocalizedString)", nullptr},
  {"Option6", "Mozilla Firefox", R"(\Mozilla Firefox\firefox.exe)", kUrlSwitch, kNone, SC::kNone, AS::kFirefox, "FIREFOX.EXE", false, nullptr, nullptr, nullptr, nullptr},
  {"Option7", "Deepnet Explorer", R"(\Deepnet Explorer\Deepnet.exe)", kBare, kNone, SC::kNone, AS::kGeneric, "deepnet.exe", false, nullptr, nullptr, nullptr, &kDeepnetShortcutWrite},
  {"Option8", "Avant Browser", R"(\Avant Browser\avant.exe)", kBare, kNone, SC::kNone, AS::kGeneric, "avant.exe", false, nullptr, nullptr, nullptr, &kAvantShortcutMenuWrite},
};
// clang-format on
static_assert(std::size(kPresets) == kPresetCount);

}  // namespace

std::span<const BrowserPreset> PresetCatalogue() { return kPresets; }

const BrowserPreset* FindPreset(std::string_view caption) {
  for (const BrowserPreset& row : kPresets) {
    if (SameAscii(row.Caption, caption)) return &row;
  }
  return nullptr;
}

void SetBrowserIcons(BrowserProfile* profile, const char* mhtml_index) {
  profile->HtmlIcon = profile->IEPath + ",0";
  profile->MhtmlIcon = profile->IEPath + mhtml_index;
  profile->HttpIcon = profile->IEPath + ",0";
  profile->HttpsIcon = profile->IEPath + ",0";
  profile->FtpIcon = profile->IEPath + ",0";
  profile->ShortcutIcon = kShortcutIconReference;
}

std::string BuildOpenCommand(CommandForm form, const std::string& path) {
  switch (form) {
    case CommandForm::kQuoted:
    case CommandForm::kBare:
      return ClientCommand(path) + " \"%1\"";
    case CommandForm::kUrlSwitch:
      return ClientCommand(path) + " -url \"%1\"";
  }
  return {};
}

std::string ClientCommand(const std::string& path) { return "\"" + path + "\""; }

}  // namespace tarnwick
