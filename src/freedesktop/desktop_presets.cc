#include "freedesktop/desktop_presets.h"

namespace tarnwick::freedesktop {
namespace {

// Debian's ID first; then Flatpak's (exported under /var/lib/flatpak/exports/share) and
// Snap's (<snap>_<app>.desktop under /var/lib/snapd/desktop), and other distributions' names.
// clang-format off
const DesktopPreset kPresets[] = {
    {"Firefox", {"firefox-esr.desktop", "firefox.desktop", "org.mozilla.firefox.desktop", "firefox_firefox.desktop"}},
    {"Chromium", {"chromium.desktop", "org.chromium.Chromium.desktop", "chromium_chromium.desktop", "chromium-browser.desktop"}},
    {"Google Chrome", {"google-chrome.desktop", "com.google.Chrome.desktop", nullptr, nullptr}},
    {"Brave", {"brave-browser.desktop", "com.brave.Browser.desktop", "brave_brave.desktop", nullptr}},
    {"Vivaldi", {"vivaldi-stable.desktop", "com.vivaldi.Vivaldi.desktop", "vivaldi_vivaldi-stable.desktop", nullptr}},
    {"Opera", {"opera.desktop", "com.opera.Opera.desktop", "opera_opera.desktop", nullptr}},
    {"GNOME Web", {"org.gnome.Epiphany.desktop", "epiphany.desktop", nullptr, nullptr}},
    {"Falkon", {"org.kde.falkon.desktop", "falkon.desktop", nullptr, nullptr}},
};
// clang-format on

}  // namespace

std::span<const DesktopPreset> DesktopPresets() { return kPresets; }

std::optional<DesktopEntry> FindPresetEntry(const XdgPaths& paths, const DesktopPreset& preset) {
  for (const char* id : preset.ids) {
    if (id == nullptr) break;
    std::optional<DesktopEntry> entry = FindDesktopEntry(paths, id);
    if (entry && CanStart(paths, *entry)) return entry;
  }
  return std::nullopt;
}

}  // namespace tarnwick::freedesktop
