#include "win32/text-win32.h"

#include <gtest/gtest.h>

#include "win32/windows-win32.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;

TEST(TextWin32Test, TextCrossesToUtf16AndBackUnchanged) {
  const std::string text =
      "Tarnwick for Windows\xC2\xAE XP \xE2\x82\xAC \xF0\x9D\x84\x9E"s + '\0' + "x";
  const std::wstring wide = Widen(text);
  EXPECT_EQ(L"Tarnwick for Windows\u00AE XP \u20AC \xD834\xDD1E"s + L'\0' + L"x", wide);
  EXPECT_EQ(text, Narrow(wide));
  EXPECT_EQ("\xEF\xBF\xBD", Narrow(L"\xD800"));  // an unpaired surrogate
}

TEST(TextWin32Test, SystemMessagesBecomeOneErrorLine) {
  const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
  EXPECT_NE('.', text.back());
  EXPECT_NE(' ', text.back());
  EXPECT_TRUE(text[0] < 'A' || text[0] > 'Z') << text;

  EXPECT_EQ("error 0x2badf00d", SystemErrorText(0x2BADF00D));
  EXPECT_EQ("RegOpenKeyExW(Software\\X): " + text,
            ApiErrorText("RegOpenKeyExW", "Software\\X", ERROR_FILE_NOT_FOUND));
}

TEST(TextWin32Test, ErrorLinesKeepAcronymsAndInnerText) {
  EXPECT_EQ("invalid root in registry key \"X\"",
            ErrorLine(L"Invalid root in registry key \"X\".\r\n"));
  EXPECT_EQ("COM is not initialised", ErrorLine(L"COM is not initialised."));
  EXPECT_EQ("one two", ErrorLine(L"One\ntwo"));
  EXPECT_EQ("", ErrorLine(L" .\r\n"));
}

}  // namespace
}  // namespace tarnwick
