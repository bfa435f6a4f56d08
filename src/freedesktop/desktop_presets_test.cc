#include "freedesktop/desktop_presets.h"

#include <gtest/gtest.h>

#include <set>

#include "freedesktop/xdg_home_for_test.h"

namespace tarnwick::freedesktop {
namespace {

TEST(DesktopPresetsTest, EightRowsOfWellFormedDistinctIds) {
  ASSERT_EQ(8u, DesktopPresets().size());
  std::set<std::string> seen;
  for (const DesktopPreset& preset : DesktopPresets()) {
    ASSERT_NE(nullptr, preset.ids[0]) << preset.caption;
    for (const char* id : preset.ids) {
      if (id == nullptr) continue;
      EXPECT_TRUE(IsDesktopFileId(id)) << id;
      EXPECT_TRUE(seen.insert(id).second) << id << " is in two rows";
    }
  }
}

TEST(DesktopPresetsTest, TheFirstIdThatCanStartWins) {
  const DesktopPreset& firefox = DesktopPresets()[0];
  ASSERT_STREQ("firefox-esr.desktop", firefox.ids[0]);
  XdgHome home;
  EXPECT_FALSE(FindPresetEntry(home.paths, firefox));
  // Debian's entry whose program is gone, and a Flatpak one that can start.
  home.Put("usr/share/applications/firefox-esr.desktop",
           "[Desktop Entry]\nType=Application\nName=ESR\nExec=/gone/firefox-esr %u\n");
  home.AddBrowser("org.mozilla.firefox.desktop", "Firefox (Flatpak)");
  std::optional<DesktopEntry> entry = FindPresetEntry(home.paths, firefox);
  ASSERT_TRUE(entry);
  EXPECT_EQ("org.mozilla.firefox.desktop", entry->id);
  EXPECT_EQ("Firefox (Flatpak)", entry->name);
}

}  // namespace
}  // namespace tarnwick::freedesktop
