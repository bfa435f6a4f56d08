#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "selection/preset_catalogue.h"

namespace tarnwick {
namespace {

struct Parsed {
  bool ok = false;
  CommandLine line;
  std::string err;
};

Parsed Parse(std::vector<std::string> args, Spelling spelling = Spelling::kWindows) {
  Parsed p;
  p.ok = ParseCommandLine(args, spelling, &p.line, &p.err);
  return p;
}

TEST(CommandLineTest, EveryCommandOfTheTableIsReadInBothSpellings) {
  for (const CommandRow& row : Commands()) {
    for (Spelling spelling : {Spelling::kWindows, Spelling::kLinux}) {
      std::vector<std::string> args = {spelling == Spelling::kWindows ? row.on_windows
                                                                      : row.on_linux};
      if (row.argument != nullptr) args.push_back("Maxthon");
      const Parsed p = Parse(args, spelling);
      EXPECT_TRUE(p.ok) << args[0] << ": " << p.err;
      EXPECT_EQ(row.command, p.line.command) << args[0];
      EXPECT_EQ(row.argument != nullptr ? "Maxthon" : "", p.line.browser) << args[0];
      EXPECT_EQ(args[0], SwitchName(row.command, spelling));
    }
  }
}

TEST(CommandLineTest, WindowsSwitchesTakeEitherPrefixAndAnyCaseLinuxOnlyTheirOwn) {
  const Parsed p = Parse({"-SET", "mozilla firefox", "/Once", "-LOG", R"(\\srv\logs\t.log)"});
  ASSERT_TRUE(p.ok) << p.err;
  EXPECT_EQ(Command::kSet, p.line.command);
  EXPECT_EQ("mozilla firefox", p.line.browser);
  EXPECT_TRUE(p.line.once);
  EXPECT_EQ(R"(\\srv\logs\t.log)", p.line.log_file);
  EXPECT_FALSE(p.line.quiet);

  EXPECT_TRUE(Parse({"--quiet", "--log", "/tmp/t.log", "--reset"}, Spelling::kLinux).ok);
  EXPECT_FALSE(Parse({"/reset"}, Spelling::kLinux).ok);
  EXPECT_FALSE(Parse({"--RESET"}, Spelling::kLinux).ok);
  EXPECT_FALSE(Parse({"--reset"}, Spelling::kWindows).ok);
}

TEST(CommandLineTest, MistakesAreNamedAndWhatWasReadIsKept) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  };
  const Case cases[] = {
      {{}, "no command given"},
      {{"/quiet"}, "no command given"},
      {{"/sett", "Maxthon"}, "unknown switch \"/sett\""},
      {{"/set"}, "\"/set\" needs NAME|PATH"},
      {{"/set", "/once"}, "\"/set\" needs NAME|PATH"},
      {{"/reset", "/log"}, "\"/log\" needs FILE"},
      {{"/reset", "/query"}, "one command at a time: \"/query\" after \"/reset\""},
      {{"/reset", "Maxthon"}, "unexpected \"Maxthon\""},
      {{"/check", "Maxthon", "/once"}, "\"/once\" goes with \"/set\" only"},
      {{"/reset", "/log", "a", "/log", "b"}, "\"/log\" is given twice"},
      {{"/reset", "/log", ""}, "\"/log\" needs FILE, not an empty text"},
      {{"/set", "", "/quiet"}, "\"/set\" needs NAME|PATH, not an empty text"},
  };
  for (const Case& c : cases) {
    const Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.reason;
    EXPECT_EQ(c.reason, p.err);
  }
  // A mistake after the log file still lets the run be logged.
  const Parsed p = Parse({"/log", "t.log", "/quiet", "/sett"});
  EXPECT_EQ("t.log", p.line.log_file);
  EXPECT_TRUE(p.line.quiet);
  EXPECT_EQ("\"--set\" needs NAME|PATH", Parse({"--set"}, Spelling::kLinux).err);
}

TEST(CommandLineTest, HelpWinsOverEverythingElse) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"/?"}, {"/set", "x", "/?"}, {"/bogus", "-?"}}) {
    const Parsed p = Parse(args);
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(Command::kHelp, p.line.command);
  }
  EXPECT_EQ(Command::kHelp, Parse({"--help"}, Spelling::kLinux).line.command);
}

TEST(CommandLineTest, TheUsageNamesEverythingInShortLinesSpeltForItsSystem) {
  for (Spelling spelling : {Spelling::kWindows, Spelling::kLinux}) {
    const std::string usage = UsageText(spelling, "prog");
    size_t start = 0;
    while (start <= usage.size()) {
      const size_t end = std::min(usage.find('\n', start), usage.size());
      EXPECT_LE(end - start, 79u) << usage.substr(start, end - start);
      start = end + 1;
    }
    auto lists = [&](const std::string& text) {
      EXPECT_NE(std::string::npos, usage.find(text)) << text << " in\n" << usage;
    };
    for (const CommandRow& row : Commands()) {
      lists("  " + std::string(spelling == Spelling::kWindows ? row.on_windows : row.on_linux));
    }
    for (const OptionRow& row : Options()) {
      lists("  " + std::string(spelling == Spelling::kWindows ? row.on_windows : row.on_linux));
    }
    for (const ExitCodeRow& row : ExitCodes()) lists("  " + std::to_string(row.code) + " ");
    // Captions may break at their blanks, so each word is looked for.
    for (const BrowserPreset& row : PresetCatalogue()) lists(std::string(row.Caption).substr(0, 5));
    lists("Usage: prog ");
  }
  const std::string linux_usage = UsageText(Spelling::kLinux, "tarnwick");
  EXPECT_EQ(std::string::npos, linux_usage.find(" /")) << linux_usage;
  EXPECT_NE(std::string::npos, linux_usage.find("with --set: ")) << linux_usage;
  // Another store's presets replace the catalogue's.
  const std::vector<std::string> desktop = {"Firefox ESR", "Falkon"};
  const std::string desktop_usage = UsageText(Spelling::kLinux, "tarnwick", desktop);
  EXPECT_NE(std::string::npos, desktop_usage.find("any case: Firefox ESR, Falkon."))
      << desktop_usage;
  EXPECT_EQ(std::string::npos, desktop_usage.find("Maxthon")) << desktop_usage;
}

TEST(CommandLineTest, TheCommandLineTextQuotesWhatHoldsABlank) {
  const std::vector<std::string> args = {"/set", "Mozilla Firefox", "/log", "", "C:\\a.log"};
  EXPECT_EQ(R"(Tarnwick.exe /set "Mozilla Firefox" /log "" C:\a.log)",
            CommandLineText("Tarnwick.exe", args));
}

// A switch of either spelling, known or not, asks for a command; a dropped file, "Open with"
// or a stray word opens the window.
TEST(CommandLineTest, OnlyAnArgumentSpeltAsASwitchAsksForACommand) {
  const struct {
    std::vector<std::string> args;
    bool on_windows, on_linux;
  } kCases[] = {
      {{}, false, false},
      {{R"(C:\Program Files\Opera\opera.exe)"}, false, false},
      {{"/opt/opera/opera"}, true, false},
      {{"stray", "words"}, false, false},
      {{"/sett"}, true, false},
      {{"-set", "Maxthon"}, true, false},
      {{"--list"}, true, true},
      {{"page.htm", "--sett"}, true, true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.on_windows, AsksForCommand(c.args, Spelling::kWindows)) << c.args.size();
    EXPECT_EQ(c.on_linux, AsksForCommand(c.args, Spelling::kLinux)) << c.args.size();
  }
}

}  // namespace
}  // namespace tarnwick
