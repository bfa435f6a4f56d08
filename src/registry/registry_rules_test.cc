#include "registry/registry_rules.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(RegistryRulesTest, NamesFoldBeyondAscii) {
  EXPECT_TRUE(SameName("MyHTMLfile", "MyHTMLFile"));
  EXPECT_TRUE(SameName("Ä", "ä"));
  EXPECT_TRUE(SameName("Ελληνικά", "ΕΛΛΗΝΙΚΆ"));
  EXPECT_TRUE(SameName("ʀ", "Ʀ"));  // outside Latin-1, with its own delta
  EXPECT_TRUE(SameName("ā", "Ā"));  // Latin Extended-A alternates upper and lower case
  EXPECT_FALSE(SameName("ā", "ă"));
  EXPECT_EQ("ß", FoldName("ß"));  // no single-letter upper case: stays as it is
  EXPECT_FALSE(SameName("open", "opén"));
  EXPECT_EQ("\xEF\xBF\xBD", FoldName("\xFF"));
}

TEST(RegistryRulesTest, WriterPathsNameKeyAndValue) {
  WriterTarget t;
  std::string err;
  ASSERT_TRUE(ParseWriterPath(R"(HKCU\Software\Classes\.htm\)", &t, &err)) << err;
  EXPECT_EQ(Hive::kCurrentUser, t.hive);
  EXPECT_EQ((std::vector<std::string>{"Software", "Classes", ".htm"}), t.key);
  EXPECT_EQ("", t.value_name);

  ASSERT_TRUE(ParseWriterPath(R"(HKLM\Software\Clients\X\LocalizedString)", &t, &err)) << err;
  EXPECT_EQ(Hive::kLocalMachine, t.hive);
  EXPECT_EQ((std::vector<std::string>{"Software", "Clients", "X"}), t.key);
  EXPECT_EQ("LocalizedString", t.value_name);

  ASSERT_TRUE(ParseWriterPath(R"(hkey_current_user\A\)", &t, &err)) << err;
  EXPECT_EQ(Hive::kCurrentUser, t.hive);
}

TEST(RegistryRulesTest, MalformedWriterPathsAreRefused) {
  WriterTarget t;
  std::string err;
  for (const char* bad : {"", "HKCU", R"(HKCU\)", R"(HKCU\Value)", R"(HKCR\A\)", R"(HKCU\A\\B\)",
                          R"(\HKCU\A\)", R"(HKCU\\)", "HKCU/A/"}) {
    EXPECT_FALSE(ParseWriterPath(bad, &t, &err)) << bad;
    EXPECT_FALSE(err.empty()) << bad;
  }
}

TEST(RegistryRulesTest, TypesAndDwordText) {
  EXPECT_EQ(kRegSz, ParseRegType("REG_SZ"));
  EXPECT_EQ(kRegExpandSz, ParseRegType("REG_EXPAND_SZ"));
  EXPECT_EQ(kRegDword, ParseRegType("REG_DWORD"));
  EXPECT_FALSE(ParseRegType("REG_BINARY"));
  EXPECT_FALSE(ParseRegType("reg_sz"));

  EXPECT_EQ(2u, ParseDwordText("2"));
  EXPECT_EQ(4294967295u, ParseDwordText("4294967295"));
  EXPECT_EQ(0xFFFFFFFEu, ParseDwordText("-2"));
  EXPECT_FALSE(ParseDwordText("4294967296"));
  EXPECT_FALSE(ParseDwordText(""));
  EXPECT_FALSE(ParseDwordText("0x2"));
  EXPECT_FALSE(ParseDwordText(" 2"));
}

TEST(RegistryRulesTest, TextBecomesUtf16LeBytes) {
  std::vector<uint8_t> bytes = TextToRegBytes("A\xC3\xA4");
  EXPECT_EQ((std::vector<uint8_t>{'A', 0, 0xE4, 0, 0, 0}), bytes);
}

TEST(RegistryRulesTest, KeyPathsJoinAsTheySplit) {
  std::vector<std::string> parts;
  ASSERT_TRUE(SplitKeyPath(R"(Software\Classes\http)", &parts));
  EXPECT_EQ(R"(Software\Classes\http)", JoinKeyPath(parts));
  EXPECT_EQ("", JoinKeyPath({}));
}

}  // namespace
}  // namespace tarnwick
