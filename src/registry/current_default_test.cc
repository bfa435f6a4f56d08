#include "registry/current_default.h"

#include "registry/engine_test.h"

namespace tarnwick {

// Found by GoogleTest through argument-dependent lookup.
void PrintTo(const DefaultBrowserDisplay& d, std::ostream* os) {
  *os << (d.visible ? "shown \"" + d.caption + "\"" : "hidden");
}

namespace {

const std::string kClients = R"(SOFTWARE\Clients\StartMenuInternet)";
const std::string kSuffix = " is currently the default browser.";

class CurrentDefaultTest : public EngineTest {
 protected:
  void UserClient(const std::string& name) { SeedText(Hive::kCurrentUser, kClients, "", name); }
  void MachineClient(const std::string& name) { SeedText(Hive::kLocalMachine, kClients, "", name); }
  void ClientName(const std::string& client, const std::string& value_name, const std::string& text,
                  uint32_t type = kRegSz) {
    SeedText(Hive::kLocalMachine, kClients + "\\" + client, value_name, text, type);
  }
  void UserVerb(const std::string& verb, const std::string& command) {
    SeedText(Hive::kCurrentUser, R"(Software\Classes\http\Shell)", "", verb);
    if (!command.empty()) {
      SeedText(Hive::kCurrentUser, R"(Software\Classes\http\Shell\)" + verb + R"(\Command)", "",
               command);
    }
  }
  DefaultBrowserDisplay Shown(const ProgramDescriber& describe = {}) {
    return QueryCurrentDefaultBrowser(registry(), describe);
  }
};

DefaultBrowserDisplay Line(const std::string& name) { return {name + kSuffix, true}; }
const DefaultBrowserDisplay kHidden;

TEST_F(CurrentDefaultTest, NothingRegisteredHidesTheLine) { EXPECT_EQ(kHidden, Shown()); }

TEST_F(CurrentDefaultTest, PerUserClientWinsAndIsLookedUpMachineWide) {
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  ClientName("FIREFOX.EXE", "", "Mozilla Firefox");
  EXPECT_EQ(Line("Internet Explorer"), Shown());
  UserClient("FIREFOX.EXE");
  EXPECT_EQ(Line("Mozilla Firefox"), Shown());
  // The same registry gives the same line again.
  EXPECT_EQ(Line("Mozilla Firefox"), Shown());
}

TEST_F(CurrentDefaultTest, BlankPerUserClientFallsBackToTheMachine) {
  UserClient("   ");
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  EXPECT_EQ(Line("Internet Explorer"), Shown());
}

TEST_F(CurrentDefaultTest, PerUserClientWithoutMachineKeyHides) {
  UserClient("deepnet.exe");
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  EXPECT_EQ(kHidden, Shown());
}

TEST_F(CurrentDefaultTest, ClientNameEndsAtItsFirstNul) {
  // Some writers store a name with a second NUL; the key path ends at the first, as the
  // registry's own functions read it, so every registry layer finds the same client.
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  ClientName("FIREFOX.EXE", "", "Mozilla Firefox");
  UserClient(std::string("FIREFOX.EXE\0", 12));
  EXPECT_EQ(Line("Mozilla Firefox"), Shown());
  // A name that ends before it begins names no client; it is not blank, so the machine-wide
  // choice does not stand in for it either.
  UserClient(std::string("\0FIREFOX.EXE", 12));
  EXPECT_EQ(kHidden, Shown());
}

TEST_F(CurrentDefaultTest, LocalizedStringServesWhenTheDefaultIsBlank) {
  UserClient("Maxthon.exe");
  ClientName("Maxthon.exe", "", "  ");
  ClientName("Maxthon.exe", "LocalizedString", "Maxthon Web Browser");
  EXPECT_EQ(Line("Maxthon Web Browser"), Shown());
}

TEST_F(CurrentDefaultTest, NamesAreShownAsStoredUnlessUnusable) {
  UserClient("b.exe");
  const struct {
    std::string stored;
    uint32_t type;
    bool shown;
    std::string name;
  } cases[] = {
      {"  Spaced Browser  ", kRegSz, true, "  Spaced Browser  "},
      {R"(%ProgramFiles%\b)", kRegExpandSz, true, R"(%ProgramFiles%\b)"},
      {std::string("Before\0After", 12), kRegSz, true, "Before"},
      {std::string("\0After", 6), kRegSz, false, ""},
      {"@shell32.dll,-100", kRegSz, false, ""},
      {"Mail@Home", kRegSz, false, ""},
      {"Браузер 浏览器", kRegSz, true, "Браузер 浏览器"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    ClientName("b.exe", "", c.stored, c.type);
    if (c.shown) {
      EXPECT_EQ(Line(c.name), Shown());
    } else {
      EXPECT_EQ(kHidden, Shown());
    }
  }
}

TEST_F(CurrentDefaultTest, NumberAndEmptyNamesFollowTheReader) {
  UserClient("b.exe");
  SeedBytes(Hive::kLocalMachine, kClients + R"(\b.exe)", "", kRegDword, {5, 0, 0, 0});
  EXPECT_EQ(Line("5"), Shown());
  SeedBytes(Hive::kLocalMachine, kClients + R"(\b.exe)", "", kRegSz, {});
  EXPECT_EQ(kHidden, Shown());
}

TEST_F(CurrentDefaultTest, WithoutAPerUserClientTheUsersOwnWebVerbNamesItsProgram) {
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  ClientName("Maxthon.exe", "", "Maxthon Web Browser");
  // A verb without a command is no program: the machine-wide choice stays.
  UserVerb("MyHTMLFile", "");
  EXPECT_EQ(Line("Internet Explorer"), Shown());

  UserVerb("MyHTMLFile", R"("C:\Tools\My Browser\mb.exe" "%1")");
  EXPECT_EQ(Line("mb.exe"), Shown());
  const auto describe = [](const std::string& path) {
    return path == R"(C:\Tools\My Browser\mb.exe)" ? std::string("My Browser") : std::string();
  };
  EXPECT_EQ(Line("My Browser"), Shown(describe));
  // A program that says nothing of itself is named by its file.
  EXPECT_EQ(Line("mb.exe"), Shown([](const std::string&) { return std::string("  "); }));

  // The first verb of a list is the default, and the command's case does not matter.
  UserVerb("open,MyHTMLFile", "");
  SeedText(Hive::kCurrentUser, R"(Software\Classes\http\shell\open\command)", "",
           R"(C:\Program Files\Mozilla Firefox\firefox.exe -url "%1")");
  EXPECT_EQ(Line("firefox.exe"), Shown());

  // A registered per-user client still decides, exactly as before.
  UserClient("Maxthon.exe");
  EXPECT_EQ(Line("Maxthon Web Browser"), Shown(describe));
  UserClient("deepnet.exe");
  EXPECT_EQ(kHidden, Shown(describe));
}

TEST_F(CurrentDefaultTest, AVerbThatNamesNoProgramFallsBackToTheMachine) {
  MachineClient("IEXPLORE.EXE");
  ClientName("IEXPLORE.EXE", "", "Internet Explorer");
  for (const std::string& command :
       {std::string("   "), std::string("\"\" \"%1\""), std::string("\0C:\\b.exe", 8)}) {
    UserVerb("MyHTMLFile", command + " ");
    EXPECT_EQ(Line("Internet Explorer"), Shown());
  }
  // A verb that would reach into another key names nothing either.
  SeedText(Hive::kCurrentUser, R"(Software\Classes\http\Shell\a\b\Command)", "", "C:\\b.exe");
  UserVerb("a\\b", "");
  EXPECT_EQ(Line("Internet Explorer"), Shown());
}

TEST(ProgramOfCommandTest, FindsTheProgramAsTheShellWould) {
  EXPECT_EQ(R"(C:\Program Files\B\b.exe)",
            ProgramOfCommand(R"(  "C:\Program Files\B\b.exe" "%1")"));
  EXPECT_EQ(R"(C:\Program Files\B\b.exe)", ProgramOfCommand(R"(C:\Program Files\B\b.exe "%1")"));
  EXPECT_EQ(R"(C:\Program Files\B\B.EXE)", ProgramOfCommand(R"(C:\Program Files\B\B.EXE)"));
  EXPECT_EQ(R"(C:\b.exe)", ProgramOfCommand(R"(C:\b.exe -url "%1")"));
  EXPECT_EQ("rundll32.exe", ProgramOfCommand("rundll32.exe shdocvw.dll,OpenURL %l"));
  EXPECT_EQ("/usr/bin/firefox", ProgramOfCommand("/usr/bin/firefox %u"));
  EXPECT_EQ(R"(C:\a.exe.bak)", ProgramOfCommand(R"(C:\a.exe.bak "%1")"));
  EXPECT_EQ(R"(C:\No End)", ProgramOfCommand(R"("C:\No End)"));
  EXPECT_EQ("", ProgramOfCommand(""));
  EXPECT_EQ("", ProgramOfCommand(R"("" "%1")"));

  EXPECT_EQ("b.exe", FileNameOf(R"(C:\Program Files\B\b.exe)"));
  EXPECT_EQ("firefox", FileNameOf("/usr/bin/firefox"));
  EXPECT_EQ("b.exe", FileNameOf("b.exe"));
}

TEST_F(CurrentDefaultTest, AccountWithoutAdministratorRightsStillSeesTheDefault) {
  if (!Open(false)) GTEST_SKIP() << "no account without administrator rights here";
  MachineClient("FIREFOX.EXE");
  ClientName("FIREFOX.EXE", "", "Mozilla Firefox");
  EXPECT_EQ(Line("Mozilla Firefox"), Shown());
}

}  // namespace
}  // namespace tarnwick
