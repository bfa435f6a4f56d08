#include "freedesktop/desktop_browser_store.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "freedesktop/file_io.h"
#include "freedesktop/key_file.h"
#include "freedesktop/xdg_home_for_test.h"

namespace tarnwick::freedesktop {
namespace {

constexpr char kUserList[] = "home/.config/mimeapps.list";

class DesktopBrowserStoreTest : public testing::Test {
 protected:
  DesktopBrowserStoreTest() {
    home_.AddBrowser("fake.desktop", "Fake Browser");
    home_.AddBrowser("other.desktop", "Other");
  }

  DesktopBrowserStore Store() const { return DesktopBrowserStore(home_.paths); }

  // Plans and writes; the plan must succeed.
  void Apply(const std::string& id) {
    std::vector<FileChange> changes;
    std::string err;
    ASSERT_TRUE(Store().PlanApply(id, &changes, &err)) << err;
    ASSERT_TRUE(Store().Write(changes, &err)) << err;
  }
  void Reset() {
    std::vector<FileChange> changes;
    std::string err;
    ASSERT_TRUE(Store().PlanReset(&changes, &err)) << err;
    ASSERT_TRUE(Store().Write(changes, &err)) << err;
  }
  std::string Backup() {
    std::string snapshot, err;
    EXPECT_TRUE(Store().Snapshot(Store().OwnedPaths(), &snapshot, &err)) << err;
    return snapshot;
  }

  XdgHome home_;
};

TEST_F(DesktopBrowserStoreTest, ApplyAndRestoreKeepEveryOtherByteModeAndSymlink) {
  const std::string original =
      "# My associations\n"
      "[Default Applications]\n"
      "text/plain = gedit.desktop\n"
      "x-scheme-handler/http = other.desktop;\n"
      "x-scheme-handler/mailto=mail.desktop\n"
      "\n"
      "[Added Associations]\n"
      "text/html=other.desktop;fake.desktop\n"
      "image/png=viewer.desktop;\n"
      "\n"
      "[X-Unknown Group]\n"
      "key = value ; with spaces\n"
      "\n"
      "[Removed Associations]\n"
      "x-scheme-handler/https=fake.desktop;other.desktop;\n";
  std::string target = home_.Put("dotfiles/mimeapps.list", original, 0644);
  std::string link = home_.root() + "/" + kUserList;
  home_.Put(kUserList, "");
  ASSERT_EQ(0, unlink(link.c_str()));
  ASSERT_EQ(0, symlink("../../dotfiles/mimeapps.list", link.c_str()));
  std::string snapshot = Backup();

  Apply("fake.desktop");
  EXPECT_EQ(
      "# My associations\n"
      "[Default Applications]\n"
      "text/plain = gedit.desktop\n"
      "x-scheme-handler/http = fake.desktop;\n"
      "x-scheme-handler/mailto=mail.desktop\n"
      "x-scheme-handler/https=fake.desktop\n"
      "x-scheme-handler/about=fake.desktop\n"
      "x-scheme-handler/unknown=fake.desktop\n"
      "text/html=fake.desktop\n"
      "application/xhtml+xml=fake.desktop\n"
      "\n"
      "[Added Associations]\n"
      "text/html=fake.desktop;other.desktop\n"
      "image/png=viewer.desktop;\n"
      "x-scheme-handler/http=fake.desktop;\n"
      "x-scheme-handler/https=fake.desktop;\n"
      "x-scheme-handler/about=fake.desktop;\n"
      "x-scheme-handler/unknown=fake.desktop;\n"
      "application/xhtml+xml=fake.desktop;\n"
      "\n"
      "[X-Unknown Group]\n"
      "key = value ; with spaces\n"
      "\n"
      "[Removed Associations]\n"
      "x-scheme-handler/https=other.desktop;\n",
      home_.Read(target));
  struct stat st;
  ASSERT_EQ(0, lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, stat(target.c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 07777);
  EXPECT_EQ("fake.desktop", Store().Query().id);

  // A second apply of the same browser changes nothing.
  std::vector<FileChange> again;
  std::string err;
  ASSERT_TRUE(Store().PlanApply("fake.desktop", &again, &err)) << err;
  EXPECT_TRUE(again.empty());

  ASSERT_TRUE(Store().Restore(snapshot, &err)) << err;
  EXPECT_EQ(original, home_.Read(target));
  ASSERT_EQ(0, lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, stat(target.c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 07777);
  EXPECT_EQ("other.desktop", Store().Query().id);
}

TEST_F(DesktopBrowserStoreTest, DesktopKeysAndReset) {
  home_.paths.current_desktops = {"KDE"};
  home_.Put("home/.config/kdeglobals",
            "[General]\nColorScheme=Breeze\n\n[KDE]\nSingleClick=false\n");
  home_.Put("home/.config/xfce4/helpers.rc", "TerminalEmulator=xterm\n");
  Apply("fake.desktop");
  EXPECT_EQ(
      "[General]\nColorScheme=Breeze\nBrowserApplication=fake.desktop\n\n[KDE]\nSingleClick="
      "false\n",
      home_.Read("home/.config/kdeglobals"));
  EXPECT_EQ("TerminalEmulator=xterm\n", home_.Read("home/.config/xfce4/helpers.rc"));

  home_.paths.current_desktops = {"XFCE"};
  Apply("other.desktop");
  EXPECT_EQ("TerminalEmulator=xterm\nWebBrowser=tarnwick-browser\n",
            home_.Read("home/.config/xfce4/helpers.rc"));
  KeyFile helper(home_.Read("home/.local/share/xfce4/helpers/tarnwick-browser.desktop"));
  EXPECT_EQ("X-XFCE-Helper", helper.Get("Desktop Entry", "Type"));
  EXPECT_EQ("WebBrowser", helper.Get("Desktop Entry", "X-XFCE-Category"));
  EXPECT_EQ(home_.root() + "/bin/other \"%s\"",
            helper.Get("Desktop Entry", "X-XFCE-CommandsWithParameter"));

  Reset();
  EXPECT_EQ("[General]\nColorScheme=Breeze\n\n[KDE]\nSingleClick=false\n",
            home_.Read("home/.config/kdeglobals"));
  EXPECT_EQ("TerminalEmulator=xterm\n", home_.Read("home/.config/xfce4/helpers.rc"));
  EXPECT_EQ("<absent>", home_.Read("home/.local/share/xfce4/helpers/tarnwick-browser.desktop"));
  EXPECT_EQ("<absent>", home_.Read(kUserList));
  EXPECT_EQ(CurrentDefault::State::kNone, Store().Query().state);
}

// Reset leaves each settings file as the apply found it: absent when the apply made it, else
// byte for byte; an undo of the reset brings back what it removed.
TEST_F(DesktopBrowserStoreTest, ResetLeavesTheFilesAsTheApplyFoundThem) {
  home_.paths.current_desktops = {"KDE", "XFCE"};
  const std::string kKdeglobals = "home/.config/kdeglobals";
  const std::string kHelpersRc = "home/.config/xfce4/helpers.rc";
  struct Case {
    const char *mimeapps, *kdeglobals, *helpers_rc;  // null: absent
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr},
      {"# mine\n[Default Applications]\ntext/plain=gedit.desktop\n",
       "[General]\nColorScheme=Breeze\n", "TerminalEmulator=xterm\n"},
      // Groups that the apply adds to, or adds after a group of the user's, empty or not.
      {"[Added Associations]\r\nimage/png=viewer.desktop;\r\n\r\n[X-Mine]\r\n",
       "[KDE]\nSingleClick=false\n", "# mine\n\n"},
      {"[Removed Associations]\ntext/html=other.desktop;\n", "[General]\n# mine\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mimeapps ? c.mimeapps : "(absent)");
    const std::map<std::string, const char*> files = {
        {kUserList, c.mimeapps}, {kKdeglobals, c.kdeglobals}, {kHelpersRc, c.helpers_rc}};
    for (const auto& [path, text] : files) {
      unlink((home_.root() + "/" + path).c_str());
      if (text) home_.Put(path, text);
    }
    Apply("fake.desktop");
    const std::string applied = Backup();
    Reset();
    for (const auto& [path, text] : files) {
      EXPECT_EQ(text ? text : "<absent>", home_.Read(path)) << path;
    }
    EXPECT_EQ(CurrentDefault::State::kNone, Store().Query().state);
    std::string err;
    ASSERT_TRUE(Store().Restore(applied, &err)) << err;
    EXPECT_EQ(applied, Backup());
  }
}

TEST_F(DesktopBrowserStoreTest, AListThatResetLeavesBlankGoesUnlessItIsALink) {
  // The user's own list of a browser's keys alone goes with them; an undo brings it back.
  const std::string list =
      "[Default Applications]\nx-scheme-handler/http=other.desktop\n\n"
      "[Added Associations]\nx-scheme-handler/http=other.desktop;\n";
  // Its mode too: gio writes the list for the user's eyes only.
  const std::string path = home_.Put(kUserList, list, 0600);
  const std::string before = Backup();
  Reset();
  EXPECT_EQ("<absent>", home_.Read(kUserList));
  std::string err;
  ASSERT_TRUE(Store().Restore(before, &err)) << err;
  EXPECT_EQ(list, home_.Read(kUserList));
  EXPECT_EQ(0600u, FileMode(path));
  // A mode that differs alone is brought back too; a backup of the first version has none.
  ASSERT_EQ(0, chmod(path.c_str(), 0644));
  ASSERT_TRUE(Store().Restore(before, &err)) << err;
  EXPECT_EQ(0600u, FileMode(path));
  ASSERT_TRUE(Store().Restore("tarnwick freedesktop backup 1\nfile 2 " + path + "\nx\n\n", &err))
      << err;
  EXPECT_EQ("x\n", home_.Read(kUserList));
  EXPECT_EQ(0600u, FileMode(path));

  // A list that was blank already is not Reset's to remove.
  home_.Put(kUserList, "\n\n");
  std::vector<FileChange> changes;
  ASSERT_TRUE(Store().PlanReset(&changes, &err)) << err;
  EXPECT_TRUE(changes.empty());

  // A link stays, and its target with it.
  const std::string link = home_.root() + "/" + kUserList;
  ASSERT_EQ(0, unlink(link.c_str()));
  ASSERT_EQ(0, symlink("../../dotfiles/mimeapps.list", link.c_str()));
  Apply("fake.desktop");
  Reset();
  struct stat st;
  ASSERT_EQ(0, lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ("", home_.Read("dotfiles/mimeapps.list"));
}

TEST_F(DesktopBrowserStoreTest, CustomProgram) {
  std::string program =
      home_.Put("opt/My Browser 100%/run$it", "#!/bin/sh\necho \"$@\" >> \"$0.log\"\n", 0755);
  home_.Put("opt/data", "", 0644);
  home_.Put("opt/dir/x", "");
  struct Refused {
    std::string path;
    const char* why;
  };
  const Refused refused[] = {
      {"opt/data", "not an absolute path"},
      {home_.root() + "/opt/missing", "does not exist"},
      {home_.root() + "/opt/data", "not an executable file"},
      {home_.root() + "/opt/dir", "not an executable file"},
      {program + "\n", "control character"},
      {home_.root() + "/opt/\xff", "not UTF-8"},
  };
  for (const Refused& r : refused) {
    std::vector<FileChange> changes{{"x", {}, {}}};
    std::string err;
    EXPECT_FALSE(Store().PlanCustom(r.path, &changes, &err)) << r.path;
    EXPECT_NE(std::string::npos, err.find(r.why)) << err;
    EXPECT_TRUE(changes.empty());
  }

  std::vector<FileChange> changes;
  std::string err;
  ASSERT_TRUE(Store().PlanCustom(program, &changes, &err)) << err;
  ASSERT_TRUE(Store().Write(changes, &err)) << err;
  std::string entry_path = home_.paths.data_home + "/applications/" + kCustomBrowserId;
  std::optional<DesktopEntry> entry = FindDesktopEntry(home_.paths, kCustomBrowserId);
  ASSERT_TRUE(entry);
  EXPECT_EQ((std::vector<std::string>{program, "%u"}), SplitExec(entry->exec));
  EXPECT_TRUE(entry->no_display);
  EXPECT_EQ(std::vector<std::string>(BrowserMimeTypes().begin(), BrowserMimeTypes().end()),
            entry->mime_types);
  CurrentDefault now = Store().Query();
  EXPECT_EQ(CurrentDefault::State::kOne, now.state);
  EXPECT_EQ("run$it", now.name);
  if (access("/usr/bin/desktop-file-validate", X_OK) == 0) {
    std::string command = "desktop-file-validate '" + entry_path + "' 2>&1";
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(nullptr, out);
    char buffer[4096];
    std::string said(buffer, fread(buffer, 1, sizeof buffer, out));
    EXPECT_EQ(0, pclose(out)) << said;
    EXPECT_EQ("", said);
  }

  Reset();
  EXPECT_EQ("<absent>", home_.Read(entry_path));
  KeyFile list(home_.Read(kUserList));
  for (const std::string& group : list.Groups()) EXPECT_EQ(0u, list.Keys(group).size()) << group;
  EXPECT_EQ(CurrentDefault::State::kNone, Store().Query().state);
}

TEST(DesktopBrowserResolveTest, ResolvesAsGioDoes) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> desktops;
    const char* expected;  // empty: none
  };
  const std::string kDefault = "[Default Applications]\nx-scheme-handler/http=";
  const Case cases[] = {
      {"nothing", {}, {}, ""},
      {"system default",
       {{"etc/xdg/mimeapps.list", kDefault + "other.desktop\n"}},
       {},
       "other.desktop"},
      {"user before system",
       {{"etc/xdg/mimeapps.list", kDefault + "other.desktop\n"},
        {kUserList, kDefault + "fake.desktop\n"}},
       {},
       "fake.desktop"},
      {"uninstalled and TryExec skipped",
       {{kUserList, kDefault + "gone.desktop;notry.desktop;third.desktop;fake.desktop\n"}},
       {},
       "third.desktop"},
      {"none installed: next file",
       {{kUserList, kDefault + "gone.desktop\n"},
        {"usr/share/applications/mimeapps.list", kDefault + "other.desktop\n"}},
       {},
       "other.desktop"},
      {"desktop's own file first",
       {{kUserList, kDefault + "fake.desktop\n"},
        {"home/.config/kde-mimeapps.list", kDefault + "other.desktop\n"}},
       {"X-Foo", "KDE"},
       "other.desktop"},
      {"desktop's own file of another desktop",
       {{kUserList, kDefault + "fake.desktop\n"},
        {"home/.config/kde-mimeapps.list", kDefault + "other.desktop\n"}},
       {"GNOME"},
       "fake.desktop"},
      {"added association",
       {{kUserList, "[Added Associations]\nx-scheme-handler/http=gone.desktop;third.desktop;\n"}},
       {},
       "third.desktop"},
      {"removal hides later additions and the cache",
       {{kUserList, "[Removed Associations]\nx-scheme-handler/http=fake.desktop;\n"},
        {"etc/xdg/mimeapps.list", "[Added Associations]\nx-scheme-handler/http=fake.desktop\n"},
        {"usr/share/applications/mimeinfo.cache",
         "[MIME Cache]\nx-scheme-handler/http=fake.desktop;other.desktop;\n"}},
       {},
       "other.desktop"},
  };
  for (const Case& c : cases) {
    XdgHome home;
    home.paths.current_desktops = c.desktops;
    home.AddBrowser("fake.desktop", "Fake");
    home.AddBrowser("other.desktop", "Other");
    home.AddBrowser("third.desktop", "Third", "home/.local/share");
    home.AddBrowser("notry.desktop", "No TryExec", "usr/share", "TryExec=missing-program\n");
    for (const auto& [path, text] : c.files) home.Put(path, text);
    std::optional<DesktopEntry> found =
        DesktopBrowserStore(home.paths).Resolve("x-scheme-handler/http");
    EXPECT_EQ(c.expected, found ? found->id : "") << c.name;
  }
}

TEST_F(DesktopBrowserStoreTest, SplitStateAndWarnings) {
  home_.paths.current_desktops = {"GNOME"};
  home_.paths.browser_variable = "lynx";
  home_.Put(kUserList,
            "[Default Applications]\nx-scheme-handler/http=fake.desktop\n"
            "x-scheme-handler/https=other.desktop\n");
  home_.Put("home/.config/gnome-mimeapps.list", "[Default Applications]\ntext/html=x.desktop\n");
  CurrentDefault now = Store().Query();
  EXPECT_EQ(CurrentDefault::State::kSplit, now.state);
  EXPECT_EQ("Fake Browser", now.name);
  EXPECT_EQ((std::vector<CurrentDefault::Other>{
                {"x-scheme-handler/https", "other.desktop", "Other"}, {"text/html", "", ""}}),
            now.others);
  std::vector<std::string> warnings = Store().Warnings();
  ASSERT_EQ(2u, warnings.size());
  EXPECT_NE(std::string::npos, warnings[0].find("gnome-mimeapps.list"));
  EXPECT_NE(std::string::npos, warnings[1].find("lynx"));
  Apply("fake.desktop");
  EXPECT_EQ(CurrentDefault::State::kOne, Store().Query().state);
}

// On KDE its own programs open links with the browser that kdeglobals names, which KDE's
// settings may set alone: a browser other than http's there is half a default too.
TEST_F(DesktopBrowserStoreTest, KdesOwnBrowserCountsOnKde) {
  Apply("fake.desktop");
  using State = CurrentDefault::State;
  const struct {
    const char* desktop;
    const char* browser;
    State state;
    CurrentDefault::Other other;
  } rows[] = {
      {"KDE", "other.desktop", State::kSplit, {kKdeLinks, "other.desktop", "Other"}},
      {"KDE", "other", State::kSplit, {kKdeLinks, "other.desktop", "Other"}},
      {"KDE", "gone.desktop", State::kSplit, {kKdeLinks, "gone.desktop", "gone.desktop"}},
      {"KDE", "!lynx -dump", State::kSplit, {kKdeLinks, "", "lynx -dump"}},
      {"KDE", "fake.desktop", State::kOne, {}},
      {"KDE", "", State::kOne, {}},
      {"GNOME", "other.desktop", State::kOne, {}},
  };
  for (const auto& row : rows) {
    home_.paths.current_desktops = {row.desktop};
    home_.Put("home/.config/kdeglobals",
              std::string("[General]\nBrowserApplication=") + row.browser + "\n");
    const CurrentDefault now = Store().Query();
    EXPECT_EQ(row.state, now.state) << row.desktop << " " << row.browser;
    EXPECT_EQ("Fake Browser", now.name);
    if (row.state == State::kSplit) {
      EXPECT_EQ(std::vector<CurrentDefault::Other>{row.other}, now.others) << row.browser;
    }
  }
}

TEST_F(DesktopBrowserStoreTest, RestoreAndWriteRefuseWhatIsNotTheirs) {
  home_.Put(kUserList, "mine\n");
  std::string foreign = home_.Put("home/.bashrc", "keep\n");
  std::string snapshot, err;
  ASSERT_TRUE(Store().Snapshot({foreign}, &snapshot, &err)) << err;
  const std::string header = "tarnwick freedesktop backup 1\n";
  const std::string list = home_.root() + "/" + kUserList;
  for (const std::string& bad : {
           snapshot,
           std::string("no header"),
           header + "file 3 " + list + "\nab",
           header + "file 3x " + list + "\nabc\n",
           header + "file 99999999 " + list + "\n",
           header + "absent " + list + "\nabsent " + list + "\n",
           header + "absent " + list + "\n" + "absent " + foreign + "\n",
           header + "remove " + list + "\n",
           "tarnwick freedesktop backup 2\nfile 3 " + list + "\nabc\n",
           "tarnwick freedesktop backup 2\nfile 3 0689 " + list + "\nabc\n",
           "tarnwick freedesktop backup 3\nabsent " + list + "\n",
       }) {
    bool refused = false;
    EXPECT_FALSE(Store().Restore(bad, &err, &refused)) << bad;
    EXPECT_TRUE(refused);
    EXPECT_EQ("mine\n", home_.Read(kUserList));
    EXPECT_EQ("keep\n", home_.Read(foreign));
  }
  // A restore that fails while writing says that it is no refusal.
  std::string helpers_rc = home_.paths.config_home + "/xfce4/helpers.rc";
  ASSERT_EQ(0, symlink((home_.root() + "/nowhere").c_str(),
                       (home_.paths.config_home + "/xfce4").c_str()));
  bool refused = true;
  EXPECT_FALSE(Store().Restore(header + "file 2 " + helpers_rc + "\nx\n\n", &err, &refused));
  EXPECT_FALSE(refused);
  EXPECT_NE(std::string::npos, err.find("/xfce4/.helpers.rc.")) << err;

  EXPECT_FALSE(Store().Write({{foreign, "keep\n", std::nullopt}}, &err));
  EXPECT_EQ("keep\n", home_.Read(foreign));

  // A plan made before another program changed the file is not written over that change.
  std::vector<FileChange> changes;
  ASSERT_TRUE(Store().PlanApply("fake.desktop", &changes, &err)) << err;
  home_.Put(kUserList, "changed meanwhile\n");
  EXPECT_FALSE(Store().Write(changes, &err));
  EXPECT_NE(std::string::npos, err.find("changed by another program")) << err;
  EXPECT_EQ("changed meanwhile\n", home_.Read(kUserList));

  EXPECT_FALSE(Store().PlanApply("gone.desktop", &changes, &err));
  EXPECT_FALSE(Store().PlanApply("bad id", &changes, &err));
}

TEST(DescribeChangesTest, OneLinePerKeyOrFile) {
  const std::vector<FileChange> changes = {
      {"/m", "# c\n[D]\na=1\nb=2\n[G]\nx=1\n", "# c\n[D]\na=1\nb=3\n[G]\n[N]\nn=v\n"},
      {"/rc", "T=x\n", "T=x\nW=b\n"},
      {"/new", std::nullopt, "x"},
      {"/gone", "x", std::nullopt},
  };
  EXPECT_EQ((std::vector<std::string>{"/m: [D] b=3", "/m: [G] x removed", "/m: [N] n=v", "/rc: W=b",
                                      "/new: new file", "/gone: removed"}),
            DescribeChanges(changes));
}

// What a program prints, run with only the isolated home's environment.
std::string RunIn(const XdgHome& home, const std::string& desktop, const std::string& command) {
  const XdgPaths& p = home.paths;
  std::string line = "env -i HOME='" + home.root() + "/home' XDG_CONFIG_HOME='" + p.config_home +
                     "' XDG_DATA_HOME='" + p.data_home + "' XDG_CONFIG_DIRS='" + p.config_dirs[0] +
                     "' XDG_DATA_DIRS='" + p.data_dirs[0] + "' XDG_CURRENT_DESKTOP='" + desktop +
                     "' PATH='" + home.root() + "/bin:/usr/bin:/bin' " + command + " 2>&1";
  FILE* out = popen(line.c_str(), "r");
  std::string said;
  char buffer[4096];
  for (std::size_t n; out && (n = fread(buffer, 1, sizeof buffer, out)) > 0;)
    said.append(buffer, n);
  if (out) pclose(out);
  return said;
}

// The ID in "Default application for "TYPE": ID", empty for "No default applications ...".
std::string GioDefault(const std::string& said) {
  if (!said.starts_with("Default application for")) return "";
  std::size_t start = said.find(": ") + 2, end = said.find('\n');
  return said.substr(start, end - start);
}

// On each desktop, the desktops' own readers name what Query names, after an apply, a reset
// and a restore; and a link opened through GIO reaches the browser applied. (Where no list
// names a browser, xdg-mime 1.1.3 also reads the MimeType of every desktop file, which GIO
// sees only through mimeinfo.cache: the entries here declare none.)
TEST(DesktopBrowserPeersTest, ReadersAgreeWithQuery) {
  if (access("/usr/bin/gio", X_OK) != 0 || access("/usr/bin/xdg-mime", X_OK) != 0) {
    GTEST_SKIP() << "gio or xdg-mime is not installed";
  }
  bool kde_reader = access("/usr/bin/kreadconfig5", X_OK) == 0;
  for (const char* desktop : {"", "GNOME", "KDE", "XFCE", "X-Cinnamon", "LXQt", "MATE"}) {
    XdgHome home;
    if (*desktop) home.paths.current_desktops = {desktop};
    home.AddBrowser("fake.desktop", "Fake");
    home.AddBrowser("other.desktop", "Other");
    home.Put(kUserList, "[Default Applications]\nx-scheme-handler/http=other.desktop;\n");
    DesktopBrowserStore store(home.paths);
    std::string snapshot, err;
    ASSERT_TRUE(store.Snapshot(store.OwnedPaths(), &snapshot, &err)) << err;
    std::vector<FileChange> changes;

    auto agree = [&](const char* step, const std::string& http, const std::string& web) {
      SCOPED_TRACE(std::string(desktop) + ", after " + step);
      CurrentDefault now = store.Query();
      EXPECT_EQ(http, now.id);
      EXPECT_EQ(http, GioDefault(RunIn(home, desktop, "gio mime x-scheme-handler/http")));
      EXPECT_EQ(web, GioDefault(RunIn(home, desktop, "gio mime x-scheme-handler/https")));
      for (const char* type : {"x-scheme-handler/http", "text/html"}) {  // a scheme, a file type
        std::string expected = std::string(type) == "x-scheme-handler/http" ? http : web;
        EXPECT_EQ(expected.empty() ? "" : expected + "\n",
                  RunIn(home, desktop, std::string("xdg-mime query default ") + type))
            << type;
      }
      if (kde_reader && std::string(desktop) == "KDE") {
        EXPECT_EQ(web.empty() ? "\n" : web + "\n",
                  RunIn(home, desktop,
                        "kreadconfig5 --file kdeglobals --group General --key BrowserApplication"));
      }
    };

    ASSERT_TRUE(store.PlanApply("fake.desktop", &changes, &err)) << err;
    ASSERT_TRUE(store.Write(changes, &err)) << err;
    agree("apply", "fake.desktop", "fake.desktop");
    ASSERT_TRUE(store.PlanReset(&changes, &err)) << err;
    ASSERT_TRUE(store.Write(changes, &err)) << err;
    agree("reset", "", "");
    ASSERT_TRUE(store.Restore(snapshot, &err)) << err;
    agree("restore", "other.desktop", "");
  }

  XdgHome home;
  home.AddBrowser("fake.desktop", "Fake");
  DesktopBrowserStore store(home.paths);
  std::vector<FileChange> changes;
  std::string err;
  ASSERT_TRUE(store.PlanApply("fake.desktop", &changes, &err)) << err;
  ASSERT_TRUE(store.Write(changes, &err)) << err;
  RunIn(home, "", "gio open https://example.invalid/");
  std::string log;
  for (int tries = 0; tries < 100 && log.empty(); ++tries) {  // the browser starts on its own
    usleep(50000);
    log = home.Read("bin/fake.log");
    if (log == "<absent>") log.clear();
  }
  EXPECT_EQ("https://example.invalid/\n", log);
}

}  // namespace
}  // namespace tarnwick::freedesktop
