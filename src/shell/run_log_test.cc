#include "shell/run_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

TEST(RunLogTest, TimesAreIso8601WithTheirOffset) {
  EXPECT_EQ("2024-03-07T09:05:01+01:00", Iso8601({{2024, 3, 7, 9, 5, 1}, 60}));
  EXPECT_EQ("2024-12-31T23:59:59+00:00", Iso8601({{2024, 12, 31, 23, 59, 59}, 0}));
  EXPECT_EQ("2001-01-02T03:04:05-03:30", Iso8601({{2001, 1, 2, 3, 4, 5}, -210}));
  EXPECT_EQ("2024-06-01T12:00:00+05:45", Iso8601({{2024, 6, 1, 12, 0, 0}, 345}));
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

RunRecord Record(const std::string& user, const std::string& result) {
  RunRecord record;
  record.time = {{2024, 3, 7, 10, 30, 0}, 60};
  record.computer = "PC-042";
  record.user = user;
  record.command_line = "Tarnwick.exe /reset";
  record.result = result;
  record.exit_code = 6;
  return record;
}

TEST(RunLogTest, ALineHasSixTabSeparatedFieldsAndNeverBreaks) {
  const std::string line = FormatLogLine(
      Record("ann\tsmith",
             "Not all per-user settings could be cleared. These keys remain:\r\n"
             "HKEY_CURRENT_USER\\Software\\Classes\\http\nHKEY_CURRENT_USER\\Software\\x"));
  EXPECT_EQ((std::vector<std::string>{
                "2024-03-07T10:30:00+01:00", "PC-042", "ann<U+0009>smith", "Tarnwick.exe /reset",
                "Not all per-user settings could be cleared. These keys remain: | "
                "HKEY_CURRENT_USER\\Software\\Classes\\http | HKEY_CURRENT_USER\\Software\\x",
                "6"}),
            Fields(line));
}

// Whatever a user, a browser or a key name brings, each field shows it and nothing acts on it:
// no escape sequence reaches a terminal, no tool that splits lines sees two, and no text is
// reordered on the screen.
TEST(RunLogTest, ControlsAreWrittenOutVisibly) {
  const struct {
    std::string text;
    std::string user_field;  // in a field without lines
    std::string result;      // in the result, whose line ends join its lines
  } kCases[] = {
      {"plain C:\\Program Files\\é 中 😀", "plain C:\\Program Files\\é 中 😀",
       "plain C:\\Program Files\\é 中 😀"},
      {"a\nb\r\nc\rd", "a<U+000A>b<U+000D><U+000A>c<U+000D>d", "a | b | c<U+000D>d"},
      {std::string("nul\0x", 5), "nul<U+0000>x", "nul<U+0000>x"},
      {"\x1b[2J\x07\x7f", "<U+001B>[2J<U+0007><U+007F>", "<U+001B>[2J<U+0007><U+007F>"},
      {"\xc2\x85\xc2\x9b\xc2\x9f\xc2\xa0", "<U+0085><U+009B><U+009F>\xc2\xa0",
       "<U+0085><U+009B><U+009F>\xc2\xa0"},
      {"\xe2\x80\xa8\xe2\x80\xa9", "<U+2028><U+2029>", "<U+2028><U+2029>"},
      {"\xe2\x80\x8e\xe2\x80\x8f\xd8\x9c", "<U+200E><U+200F><U+061C>", "<U+200E><U+200F><U+061C>"},
      {"\xe2\x80\xaa\xe2\x80\xae\xe2\x81\xa6\xe2\x81\xa9", "<U+202A><U+202E><U+2066><U+2069>",
       "<U+202A><U+202E><U+2066><U+2069>"},
      // Not UTF-8: a lone 8-bit CSI, a cut-off sequence, an overlong ESC, a surrogate.
      {"\x9b\xe2\x80", "<0x9B><0xE2><0x80>", "<0x9B><0xE2><0x80>"},
      {"\xc0\x9b\xed\xa0\x80\xf8\x80", "<0xC0><0x9B><0xED><0xA0><0x80><0xF8><0x80>",
       "<0xC0><0x9B><0xED><0xA0><0x80><0xF8><0x80>"},
  };
  for (const auto& c : kCases) {
    const std::vector<std::string> fields = Fields(FormatLogLine(Record(c.text, c.text)));
    ASSERT_EQ(6u, fields.size()) << c.user_field;
    EXPECT_EQ(c.user_field, fields[2]);
    EXPECT_EQ(c.result, fields[4]);
  }
}

}  // namespace
}  // namespace tarnwick
