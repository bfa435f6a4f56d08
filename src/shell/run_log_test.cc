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

TEST(RunLogTest, ALineHasSixTabSeparatedFieldsAndNeverBreaks) {
  RunRecord record;
  record.time = {{2024, 3, 7, 10, 30, 0}, 60};
  record.computer = "PC-042";
  record.user = "ann\tsmith";
  record.command_line = "Tarnwick.exe /reset";
  record.result =
      "Not all per-user settings could be cleared. These keys remain:\r\n"
      "HKEY_CURRENT_USER\\Software\\Classes\\http\nHKEY_CURRENT_USER\\Software\\x";
  record.exit_code = 6;
  const std::string line = FormatLogLine(record);
  EXPECT_EQ(std::string::npos, line.find_first_of("\r\n"));
  EXPECT_EQ((std::vector<std::string>{
                "2024-03-07T10:30:00+01:00", "PC-042", "ann smith", "Tarnwick.exe /reset",
                "Not all per-user settings could be cleared. These keys remain:  | "
                "HKEY_CURRENT_USER\\Software\\Classes\\http | HKEY_CURRENT_USER\\Software\\x",
                "6"}),
            Fields(line));
}

}  // namespace
}  // namespace tarnwick
