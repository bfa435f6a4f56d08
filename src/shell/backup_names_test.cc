#include "shell/backup_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tarnwick {
namespace {

TEST(BackupNamesTest, StemsAreTheLocalTimeAndWhatWasDone) {
  EXPECT_EQ("2024-03-07 09-05-01 Apply Internet Explorer 6",
            BackupStem({2024, 3, 7, 9, 5, 1}, "Apply Internet Explorer 6"));
  EXPECT_EQ("1999-12-31 23-59-60 Reset", BackupStem({1999, 12, 31, 23, 59, 60}, "Reset"));
  // Nothing a Windows file name cannot hold gets through.
  EXPECT_EQ("2024-01-02 03-04-05 Apply a_b_c_d_e_f_g_h_i_j_k_l",
            BackupStem({2024, 1, 2, 3, 4, 5}, "Apply a\\b/c:d*e?f\"g<h>i|j\tk\x7Fl"));
}

TEST(BackupNamesTest, LaterCandidatesAreNumberedFromTwo) {
  EXPECT_EQ("s Reset.reg", BackupFileName("s Reset", 1));
  EXPECT_EQ("s Reset (2).reg", BackupFileName("s Reset", 2));
  EXPECT_EQ("s Reset (10).reg", BackupFileName("s Reset", 10));
}

TEST(BackupNamesTest, OnlyNamesOfTheBackupFormAreBackups) {
  EXPECT_TRUE(IsBackupFileName("2024-03-07 09-05-01 Reset.reg"));
  EXPECT_TRUE(IsBackupFileName("2024-03-07 09-05-01 Apply custom (2).REG"));
  EXPECT_FALSE(IsBackupFileName("2024-03-07 09-05-01 .reg"));
  EXPECT_FALSE(IsBackupFileName("2024-03-07 09-05-01 Reset.reg.tmp"));
  EXPECT_FALSE(IsBackupFileName("2024-03-07 09:05:01 Reset.reg"));
  EXPECT_FALSE(IsBackupFileName("my settings.reg"));
  EXPECT_FALSE(IsBackupFileName("~Tarnwick 12-0.tmp"));
}

TEST(BackupNamesTest, PruningKeepsTheNewestBySavingOrderAndNothingElse) {
  // 33 backups: a day of one a minute, then three in the last second, numbered past 9 so that
  // "(10)" must count after "(9)" though it sorts before it as text.
  std::vector<std::string> saved;
  char stem[64];
  for (int minute = 0; minute < 30; ++minute) {
    std::snprintf(stem, sizeof stem, "2024-03-07 10-%02d-00 Reset", minute);
    saved.push_back(BackupFileName(stem, 1));
  }
  for (int n : {9, 10, 11}) saved.push_back(BackupFileName("2024-03-07 10-30-00 Reset", n));
  std::vector<std::string> folder = saved;
  folder.insert(folder.end(), {"my settings.reg", "~Tarnwick 1-0.tmp", "desktop.ini",
                               "2023-01-01 00-00-00 Reset.txt"});
  std::shuffle(folder.begin(), folder.end(), std::mt19937(7));

  const std::vector<std::string> expected(saved.begin(), saved.begin() + 3);
  EXPECT_EQ(expected, BackupsToPrune(folder, 30));
  EXPECT_TRUE(BackupsToPrune(folder, 33).empty());
  EXPECT_EQ(33u, BackupsToPrune(folder, 0).size());

  // Within one second the numbered names follow the first one, and any name without a number.
  EXPECT_EQ((std::vector<std::string>{"2024-03-07 10-30-00 Reset.reg",
                                      "2024-03-07 10-30-00 Reset (2).reg"}),
            BackupsToPrune({"2024-03-07 10-30-00 Reset (10).reg",
                            "2024-03-07 10-30-00 Reset (2).reg", "2024-03-07 10-30-00 Reset.reg"},
                           1));
}

TEST(BackupNamesTest, TemporaryNamesTellTheirWriter) {
  uint32_t writer = 0;
  ASSERT_TRUE(ParseTemporaryFileName(TemporaryFileName(4294967295u, 12), &writer));
  EXPECT_EQ(4294967295u, writer);
  EXPECT_EQ("~Tarnwick 42-0.tmp", TemporaryFileName(42, 0));
  for (const char* name : {"~Tarnwick 42.tmp", "~Tarnwick -1-0.tmp", "~Tarnwick 4294967296-0.tmp",
                           "~Tarnwick 42-0.reg", "Tarnwick 42-0.tmp", "~Tarnwick 042-0.tmp"}) {
    EXPECT_FALSE(ParseTemporaryFileName(name, &writer)) << name;
  }
}

TEST(BackupNamesTest, BackupsOfOneSecondAreNumberedInTheOrderTheyWereSaved) {
  const std::string second = "2024-03-07 10-30-00 ";
  EXPECT_EQ(1, FirstBackupNumber({"2024-03-07 10-29-59 Reset.reg", "my.reg"}, second + "Reset"));
  // Another operation of the same second follows the highest number there.
  const std::vector<std::string> names = {second + "Reset.reg", second + "Undo (3).reg",
                                          "2024-03-07 10-30-01 Apply (7).reg"};
  EXPECT_EQ(4, FirstBackupNumber(names, second + "Apply Maxthon"));
  EXPECT_EQ((std::vector<std::string>{second + "Reset.reg", second + "Undo (3).reg",
                                      second + "Apply Maxthon (4).reg",
                                      "2024-03-07 10-30-01 Apply (7).reg"}),
            BackupsInOrder({"2024-03-07 10-30-01 Apply (7).reg", "desktop.ini",
                            second + "Apply Maxthon (4).reg", second + "Undo (3).reg",
                            second + "Reset.reg"}));
}

}  // namespace
}  // namespace tarnwick
