#include "freedesktop/icon_theme.h"

#include <gtest/gtest.h>

#include "freedesktop/xdg_home_for_test.h"

namespace tarnwick::freedesktop {
namespace {

TEST(IconThemeTest, FindsTheNearestSizeThenScalableThenPixmaps) {
  XdgHome home;
  const std::string user = home.root() + "/home/.local/share/icons/hicolor/";
  const std::string system = home.root() + "/usr/share/icons/hicolor/";
  home.Put(system + "32x32/apps/web.png", "");
  home.Put(system + "64x64/apps/web.png", "");
  home.Put(user + "256x256/apps/web.png", "");
  home.Put(system + "scalable/apps/vector.svg", "");
  home.Put(home.root() + "/usr/share/pixmaps/old.xpm", "");
  const std::string absolute = home.Put("opt/b/icon.png", "");
  struct Case {
    const char* icon;
    int size;
    std::string file;
  };
  const Case cases[] = {
      {"web", 32, system + "32x32/apps/web.png"},
      {"web", 48, system + "64x64/apps/web.png"},  // as near as 32: the larger is sharper
      {"web", 200, user + "256x256/apps/web.png"},
      {"vector", 32, system + "scalable/apps/vector.svg"},
      {"old", 32, home.root() + "/usr/share/pixmaps/old.xpm"},
      {"missing", 32, ""},
      {"", 32, ""},
      {"../hicolor/32x32/apps/web", 32, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.file, FindIconFile(home.paths, c.icon, c.size)) << c.icon;
  EXPECT_EQ(absolute, FindIconFile(home.paths, absolute, 32));
  EXPECT_EQ("", FindIconFile(home.paths, absolute + ".gone", 32));
}

}  // namespace
}  // namespace tarnwick::freedesktop
