#include "text/text.h"

#include <gtest/gtest.h>

#include <string>

#include "text/utf.h"

namespace tarnwick {
namespace {

TEST(TextTest, TextRoundTripsThroughUtf16) {
  const std::string text = std::string("Fire\0fox ", 9) + "Мозилла 火狐 \xF0\x9F\x8C\x8D";
  EXPECT_EQ(text, Utf16ToUtf8(Utf8ToUtf16(text)));
  EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(u"\xD800"));
  EXPECT_EQ(u"\uFFFD\uFFFDA", Utf8ToUtf16("\xC0\x80"
                                          "A"));  // an overlong NUL
}

TEST(TextTest, TextsConcatenate) {
  EXPECT_EQ("The file \"C:\\b.exe\" is 7",
            Concat({"The file \"", std::string("C:\\b.exe"), "\" is ", std::to_string(7)}));
  EXPECT_EQ("", Concat({}));
}

TEST(TextTest, SpacesDigitsAndAsciiCase) {
  EXPECT_TRUE(SameAscii("hkcu", "HKCU"));
  EXPECT_FALSE(SameAscii("ä", "Ä"));  // only ASCII letters fold
  EXPECT_FALSE(SameAscii("HKCU", "HKCU\\"));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_TRUE(IsBlank(""));
  EXPECT_FALSE(IsBlank(" \t "));  // the program trims spaces only
  EXPECT_EQ("a b", TrimSpaces("  a b "));
  EXPECT_EQ("", TrimSpaces("   "));
  EXPECT_EQ("ab", UpToNul(std::string("ab\0c", 4)));
  EXPECT_EQ("0000002a", HexDigits(42, 8));
  EXPECT_EQ("ffffffff", HexDigits(0xFFFFFFFF, 1));
  EXPECT_EQ("007", DecimalDigits(7, 3));
  EXPECT_EQ("4294967295", DecimalDigits(4294967295u, 0));
}

}  // namespace
}  // namespace tarnwick
