// Input at the edges of what the program can meet: the longest paths Windows allows, bytes
// that are not UTF-8, control characters, values of types the program never writes, very long
// names and deep keys. Nothing may crash, and each ends as the program intends.

#include <string>

#include "registry/browser_profile.h"
#include "registry/current_default.h"
#include "registry/engine_test.h"
#include "registry/per_user_reset.h"
#include "selection/custom_apply.h"
#include "selection/selection_context.h"
#include "selection/selection_fakes_for_test.h"

namespace tarnwick {
namespace {

constexpr char kHtmlCommand[] = R"(Software\Classes\MyHTMLfile\Shell\Open\Command)";
constexpr char kHttpCommand[] = R"(Software\Classes\http\Shell\MyHTMLFile\Command)";
constexpr char kClients[] = R"(SOFTWARE\Clients\StartMenuInternet)";

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

class EdgeInputTest : public EngineTest {
 protected:
  CustomApplyResult Custom(const std::string& text) {
    SelectionContext ctx;
    ctx.profile = &profile_;
    ctx.writer = &writer();
    ctx.registry = &registry();
    ctx.environment = &environment_;
    ctx.fso = &files_;
    return CustomApply(ctx, text);
  }
  static std::string Command(const std::string& path) { return "\"" + path + "\" \"%1\""; }

  BrowserProfile profile_;
  ProgramFilesEnvironment environment_;
  // Every path names a file here: these tests are about what a path may hold.
  FakeFiles files_{/*every=*/true};
};

TEST_F(EdgeInputTest, TheLongestWindowsPathIsWrittenWhole) {
  // 32,767 characters, the most a Windows path can have; in letters of one and of two UTF-8
  // bytes, so that a limit counted in either unit would show.
  for (const std::string& letter : {std::string("a"), std::string("\xC3\xA4")}) {
    const std::string path = "C:\\" + Repeat(letter, 32767 - 3);
    ASSERT_EQ(CustomApplyResult::kApplied, Custom(path));
    EXPECT_EQ(RegistryValue(Command(path)), ReadUser(kHtmlCommand));
    EXPECT_EQ(RegistryValue(Command(path)), ReadUser(kHttpCommand));
  }
}

TEST_F(EdgeInputTest, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  ASSERT_EQ(CustomApplyResult::kApplied, Custom("C:\\Br\xFFowser\\\xC3.exe"));
  EXPECT_EQ(RegistryValue(Command("C:\\Br\xEF\xBF\xBDowser\\\xEF\xBF\xBD.exe")),
            ReadUser(kHtmlCommand));
}

TEST_F(EdgeInputTest, ControlCharactersInThePathChangeNothing) {
  ASSERT_EQ(CustomApplyResult::kApplied, Custom(R"(C:\Good\browser.exe)"));
  for (const char* text : {"C:\\Tab\there.exe", "C:\\Line\nbreak.exe", "C:\\Return\r.exe", "\x01",
                           "C:\\Unit\x1Fsep.exe", "C:\\Delete\x7F.exe", "C:\\Next\xC2\x85line.exe",
                           "C:\\Csi\xC2\x9B.exe"}) {
    EXPECT_EQ(CustomApplyResult::kInvalidPath, Custom(text)) << text;
  }
  // The Reset that precedes a custom apply did not run either.
  EXPECT_EQ(RegistryValue(Command(R"(C:\Good\browser.exe)")), ReadUser(kHtmlCommand));
  // The letters beside the control ranges are ordinary path letters.
  const std::string tilde_and_no_break_space =
      "C:\\~\xC2\xA0"
      "browser.exe";
  ASSERT_EQ(CustomApplyResult::kApplied, Custom(tilde_and_no_break_space));
  EXPECT_EQ(RegistryValue(Command(tilde_and_no_break_space)), ReadUser(kHtmlCommand));
}

TEST_F(EdgeInputTest, ClientValuesOfOtherTypesCountAsMissing) {
  SeedText(Hive::kLocalMachine, std::string(kClients) + "\\FIREFOX.EXE", "", "Mozilla Firefox");
  // A per-user choice stored as binary or multi-string data is no choice at all.
  SeedBytes(Hive::kCurrentUser, kClients, "", kRegBinary, Utf16Bytes(u"FIREFOX.EXE"));
  EXPECT_FALSE(QueryCurrentDefaultBrowser(registry()).visible);
  SeedBytes(Hive::kCurrentUser, kClients, "", kRegMultiSz,
            Utf16Bytes(std::u16string(u"FIREFOX.EXE\0\0", 13)));
  EXPECT_FALSE(QueryCurrentDefaultBrowser(registry()).visible);
  // ... so the machine-wide one applies.
  SeedText(Hive::kLocalMachine, kClients, "", "FIREFOX.EXE");
  EXPECT_EQ("Mozilla Firefox is currently the default browser.",
            QueryCurrentDefaultBrowser(registry()).caption);

  // A display name of another type gives way to LocalizedString, or to no line.
  const std::string client = std::string(kClients) + "\\FIREFOX.EXE";
  SeedBytes(Hive::kLocalMachine, client, "", kRegMultiSz,
            Utf16Bytes(std::u16string(u"Mozilla\0Firefox\0\0", 17)));
  EXPECT_FALSE(QueryCurrentDefaultBrowser(registry()).visible);
  SeedText(Hive::kLocalMachine, client, "LocalizedString", "%ProgramFiles% Browser", kRegExpandSz);
  EXPECT_EQ("%ProgramFiles% Browser is currently the default browser.",
            QueryCurrentDefaultBrowser(registry()).caption);
}

TEST_F(EdgeInputTest, NamesAndDepthsAtTheWindowsLimits) {
  // Key names of 255 characters, value names of 16,383, paths of 512 levels: the most Windows
  // allows, all written and read back, and deleted again with the tree.
  const std::string key = Repeat("K", 255);
  const std::string value_name = Repeat("v", 16383);
  ASSERT_TRUE(writer().write("HKCU\\Software\\Tarnwick edge\\" + key + "\\" + value_name, "long",
                             "REG_SZ"));
  EXPECT_EQ(RegistryValue("long"), ReadUser("Software\\Tarnwick edge\\" + key, value_name));

  std::string deep = "Software\\Tarnwick edge";
  for (int level = 2; level < 512; ++level) deep += "\\d";
  ASSERT_TRUE(writer().write("HKCU\\" + deep + "\\", "bottom", "REG_SZ"));
  EXPECT_EQ(RegistryValue("bottom"), ReadUser(deep));
  EXPECT_EQ(kErrorSuccess, registry().DeleteKeyTree(Hive::kCurrentUser, "Software\\Tarnwick edge"));
  EXPECT_FALSE(UserKeyExists("Software\\Tarnwick edge"));
}

}  // namespace
}  // namespace tarnwick
