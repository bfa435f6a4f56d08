#include "freedesktop/desktop_entry.h"

#include <gtest/gtest.h>

#include <map>

#include "freedesktop/key_file.h"
#include "freedesktop/xdg_home_for_test.h"

namespace tarnwick::freedesktop {
namespace {

TEST(XdgPathsTest, FromEnvironment) {
  auto env = [](std::map<std::string, std::string> vars) {
    return XdgPaths::FromEnvironment([vars](const char* name) {
      auto it = vars.find(name);
      return it == vars.end() ? std::string() : it->second;
    });
  };
  XdgPaths defaults = env({{"HOME", "/home/u/"}});
  EXPECT_EQ("/home/u/.config", defaults.config_home);
  EXPECT_EQ("/home/u/.local/share", defaults.data_home);
  EXPECT_EQ(std::vector<std::string>{"/etc/xdg"}, defaults.config_dirs);
  EXPECT_EQ((std::vector<std::string>{"/usr/local/share", "/usr/share"}), defaults.data_dirs);
  EXPECT_TRUE(defaults.locales.empty());

  XdgPaths set = env({{"HOME", "/h"},
                      {"XDG_CONFIG_HOME", "relative/cfg"},
                      {"XDG_DATA_HOME", "/d/"},
                      {"XDG_DATA_DIRS", "/flat::rel:/usr/share/"},
                      {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"},
                      {"LANGUAGE", "fr_CA:de"},
                      {"LC_MESSAGES", "sr_RS.UTF-8@latin"},
                      {"LANG", "en_US.UTF-8"}});
  EXPECT_EQ("/h/.config", set.config_home);  // relative folders are ignored
  EXPECT_EQ("/d", set.data_home);
  EXPECT_EQ((std::vector<std::string>{"/flat", "/usr/share"}), set.data_dirs);
  EXPECT_TRUE(set.OnDesktop("gnome"));
  EXPECT_FALSE(set.OnDesktop("KDE"));
  EXPECT_EQ(
      (std::vector<std::string>{"fr_CA", "fr", "de", "sr_RS@latin", "sr_RS", "sr@latin", "sr"}),
      set.locales);
  EXPECT_TRUE(env({{"LC_ALL", "C"}, {"LANGUAGE", "de"}}).locales.empty());
}

class DesktopEntryTest : public testing::Test {
 protected:
  XdgHome home_;
};

TEST_F(DesktopEntryTest, IdsFirstMatchAndHidden) {
  // Subfolders give '-' in IDs; the user's folder comes before the system's.
  home_.Put("usr/share/applications/kde/browser.desktop",
            "[Desktop Entry]\nType=Application\nName=Sub\nExec=b\n");
  home_.Put("usr/share/applications/one.desktop",
            "[Desktop Entry]\nType=Application\nName=System\nExec=b\n");
  home_.Put("home/.local/share/applications/one.desktop",
            "[Desktop Entry]\nType=Application\nName=User\nExec=b\n");
  home_.Put("usr/share/applications/gone.desktop",
            "[Desktop Entry]\nType=Application\nName=G\nExec=b\n");
  home_.Put("home/.local/share/applications/gone.desktop",
            "[Desktop Entry]\nType=Application\nName=G\nExec=b\nHidden=true\n");
  home_.Put("usr/share/applications/link.desktop", "[Desktop Entry]\nType=Link\nURL=x\n");

  std::optional<DesktopEntry> sub = FindDesktopEntry(home_.paths, "kde-browser.desktop");
  ASSERT_TRUE(sub);
  EXPECT_EQ("Sub", sub->name);
  EXPECT_EQ(home_.root() + "/usr/share/applications/kde/browser.desktop", sub->path);
  EXPECT_EQ("User", FindDesktopEntry(home_.paths, "one.desktop")->name);
  EXPECT_FALSE(FindDesktopEntry(home_.paths, "gone.desktop"));  // hidden hides the system one
  EXPECT_FALSE(FindDesktopEntry(home_.paths, "link.desktop"));
  EXPECT_FALSE(FindDesktopEntry(home_.paths, "missing.desktop"));
  EXPECT_FALSE(FindDesktopEntry(home_.paths, "../applications/one.desktop"));
}

TEST_F(DesktopEntryTest, LocalizedNameAndFields) {
  std::optional<DesktopEntry> entry = ParseDesktopEntry(
      "[Desktop Entry]\nName=Web\nName[de]=Netz\nName[sr@latin]=Mreza\nType=Application\n"
      "Exec=\"/opt/my\\\\$app\" %u\nTryExec=/opt/x\nIcon=web\nMimeType=text/html;x-a;\n"
      "NoDisplay=true\n[Other]\nName=Not this\n",
      {"sr_RS@latin", "sr_RS", "sr@latin", "sr"});
  ASSERT_TRUE(entry);
  EXPECT_EQ("Mreza", entry->name);
  EXPECT_EQ("\"/opt/my\\$app\" %u", entry->exec);
  EXPECT_EQ("/opt/x", entry->try_exec);
  EXPECT_EQ("web", entry->icon);
  EXPECT_EQ((std::vector<std::string>{"text/html", "x-a"}), entry->mime_types);
  EXPECT_TRUE(entry->no_display);
  EXPECT_FALSE(entry->hidden);
  EXPECT_EQ(
      "Web",
      ParseDesktopEntry("[Desktop Entry]\nType=Application\nName=Web\nName[de]=N\n", {"fr"})->name);
}

TEST_F(DesktopEntryTest, CanStartNeedsTryExecAndExec) {
  home_.Put("bin/browser", "#!/bin/sh\n", 0755);
  home_.Put("bin/plain", "not a program", 0644);
  struct Case {
    const char* exec;
    const char* try_exec;
    bool can_start;
  };
  const std::string bin = home_.root() + "/bin/";
  const Case cases[] = {
      {"browser %u", "", true}, {"browser %u", "browser", true}, {"browser %u", "missing", false},
      {"plain %u", "", false},  {"missing %u", "", false},       {"\"unterminated", "", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    DesktopEntry entry;
    entry.exec = c.exec;
    entry.try_exec = c.try_exec;
    EXPECT_EQ(c.can_start, CanStart(home_.paths, entry)) << c.exec << " / " << c.try_exec;
  }
  DesktopEntry absolute;
  absolute.exec = bin + "browser";
  EXPECT_TRUE(CanStart(home_.paths, absolute));
}

TEST(DesktopFileIdTest, WellFormed) {
  for (const char* id : {"firefox-esr.desktop", "org.mozilla.firefox.desktop", "a_b.desktop"}) {
    EXPECT_TRUE(IsDesktopFileId(id)) << id;
  }
  for (const char* id : {"", ".desktop", "a.desktop.bak", "a/b.desktop", "a b.desktop",
                         "a;b.desktop", "a=b.desktop", "-a.desktop", ".a.desktop", "a\n.desktop"}) {
    EXPECT_FALSE(IsDesktopFileId(id)) << id;
  }
}

TEST(ExecTest, QuotingRoundTrip) {
  struct Case {
    const char* argument;
    const char* quoted;
  };
  const Case cases[] = {
      {"/usr/bin/firefox", "/usr/bin/firefox"},
      {"/opt/My Browser/run", "\"/opt/My Browser/run\""},
      {"/opt/100%/b", "/opt/100%%/b"},
      {"/opt/$HOME`x`\"q\"\\b", "\"/opt/\\$HOME\\`x\\`\\\"q\\\"\\\\b\""},
      {"/opt/it's;a|b&c", "\"/opt/it's;a|b&c\""},
      {"/opt/~tilde*?#<>", "\"/opt/~tilde*?#<>\""},
      {"", "\"\""},
  };
  for (const Case& c : cases) {
    std::string quoted = QuoteExecArgument(c.argument);
    EXPECT_EQ(c.quoted, quoted);
    // Through the file's string escapes and back, as a reader takes it.
    std::string line = EscapeString(quoted + " %u");
    std::optional<std::vector<std::string>> argv = SplitExec(UnescapeString(line));
    ASSERT_TRUE(argv) << line;
    EXPECT_EQ((std::vector<std::string>{c.argument, "%u"}), *argv) << line;
  }
  EXPECT_EQ(std::nullopt, SplitExec("\"open"));
  EXPECT_EQ((std::vector<std::string>{"a", "b c", "%U"}), *SplitExec("a  \"b c\" %U"));
}

}  // namespace
}  // namespace tarnwick::freedesktop
