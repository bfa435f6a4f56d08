#include "shell/backup_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tarnwick {
namespace {

constexpr LocalTime kNow = {2024, 3, 7, 10, 30, 0};

TEST(BackupNamesTest, NamesAreTheLocalTimeTheSequenceNumberAndWhatWasDone) {
  EXPECT_EQ("2024-03-07 09-05-01 #12 Apply Internet Explorer 6.reg",
            BackupFileName({2024, 3, 7, 9, 5, 1}, 12, "Apply Internet Explorer 6"));
  EXPECT_EQ("1999-12-31 23-59-60 #1 Reset.reg",
            BackupFileName({1999, 12, 31, 23, 59, 60}, 1, "Reset"));
  // Nothing a Windows file name cannot hold gets through.
  EXPECT_EQ("2024-01-02 03-04-05 #3 Apply a_b_c_d_e_f_g_h_i_j_k_l.reg",
            BackupFileName({2024, 1, 2, 3, 4, 5}, 3, "Apply a\\b/c:d*e?f\"g<h>i|j\tk\x7Fl"));
}

TEST(BackupNamesTest, OnlyNamesOfTheBackupFormWithARealTimeAreBackups) {
  for (const char* name :
       {"2024-03-07 09-05-01 Reset.reg", "2024-03-07 09-05-01 Apply custom (2).REG",
        "2024-03-07 09-05-01 #1 Reset.reg", "2024-02-29 23-59-60 #999999999999999999 Undo.reg",
        "2000-02-29 00-00-00 Reset.reg"}) {
    EXPECT_TRUE(IsBackupFileName(name)) << name;
  }
  for (const char* name :
       {"2024-03-07 09-05-01 .reg", "2024-03-07 09-05-01 Reset.reg.tmp",
        "2024-03-07 09:05:01 Reset.reg", "my settings.reg", "~Tarnwick 12-0.tmp",
        "9999-99-99 99-99-99 x.reg", "2023-02-29 10-00-00 Reset.reg", "1900-02-29 10-00-00 x.reg",
        "2024-04-31 10-00-00 Reset.reg", "2024-00-10 10-00-00 Reset.reg",
        "2024-03-07 24-00-00 Reset.reg", "2024-03-07 09-05-01 #0 Reset.reg",
        "2024-03-07 09-05-01 #01 Reset.reg", "2024-03-07 09-05-01 #1000000000000000000 Reset.reg",
        "2024-03-07 09-05-01 #1 .reg", "2024-03-07 09-05-01 #1.reg"}) {
    EXPECT_FALSE(IsBackupFileName(name)) << name;
  }
}

TEST(BackupNamesTest, TheSequenceNumberFollowsTheHighestOfAnyBackup) {
  EXPECT_EQ(1u, NextSequenceNumber({"2024-03-07 10-29-59 Reset.reg", "my #9 x.reg"}));
  // A backup named in the future still counts here, so numbers never go back.
  EXPECT_EQ(8u, NextSequenceNumber({"2024-03-07 10-29-59 #3 Reset.reg",
                                    "2031-01-01 00-00-00 #7 Undo.reg", "x #20 Reset.reg"}));
  EXPECT_EQ(kLastSequenceNumber,
            NextSequenceNumber({"2024-03-07 10-29-59 #999999999999999999 Reset.reg"}));
}

TEST(BackupNamesTest, BackupsAreOrderedAsSavedWhateverTheClockDid) {
  // Earlier versions' names by time and " (n)"; then the numbered ones by number, though the
  // clock went back an hour between #2 and #3 and a year between #3 and #10.
  const std::vector<std::string> saved = {
      "2024-03-06 10-00-00 Reset.reg",
      "2024-03-07 09-00-00 Reset.reg",
      "2024-03-07 09-00-00 Reset (2).reg",
      "2024-03-07 09-00-00 Reset (10).reg",
      "2024-03-07 10-45-00 #2 Apply Maxthon.reg",
      "2024-03-07 09-50-00 #3 Reset.reg",
      "2023-03-07 10-00-00 #10 Undo.reg",
  };
  std::vector<std::string> folder = saved;
  folder.insert(folder.end(), {"my settings.reg", "desktop.ini", "~Tarnwick 1-0.tmp",
                               // Too far ahead of the clock to count; so is a date to come.
                               "2024-03-08 10-30-01 #11 Reset.reg", "9999-12-31 23-59-59 #99 x.reg",
                               "9999-99-99 99-99-99 x.reg"});
  std::shuffle(folder.begin(), folder.end(), std::mt19937(7));
  EXPECT_EQ(saved, BackupsInOrder(folder, kNow));
  // A day ahead still counts: the clock may have been put back by a time zone.
  EXPECT_EQ(
      "2024-03-08 10-30-00 #11 Reset.reg",
      BackupsInOrder({"2024-03-08 10-30-00 #11 Reset.reg", "2024-03-07 10-00-00 #10 x.reg"}, kNow)
          .back());
}

TEST(BackupNamesTest, PruningKeepsTheOldestAndTheNewestAndNothingElse) {
  std::vector<std::string> saved;
  char name[64];
  for (int n = 1; n <= 34; ++n) {
    std::snprintf(name, sizeof name, "2024-03-07 10-%02d-00 #%d Reset.reg", n % 30, n);
    saved.push_back(name);
  }
  std::vector<std::string> folder = saved;
  folder.insert(folder.end(), {"my settings.reg", "~Tarnwick 1-0.tmp", "2023-01-01 00-00-00 x.txt",
                               "2099-01-01 00-00-00 #1 Reset.reg"});
  std::shuffle(folder.begin(), folder.end(), std::mt19937(7));

  const std::vector<std::string> expected(saved.begin() + 1, saved.begin() + 4);
  EXPECT_EQ(expected, BackupsToPrune(folder, 30, kNow));
  EXPECT_TRUE(BackupsToPrune(folder, 33, kNow).empty());
  EXPECT_EQ((std::vector<std::string>(saved.begin() + 1, saved.end())),
            BackupsToPrune(folder, 0, kNow));
}

// A folder whose backups have an extension of their own and once were named as the registry's.
constexpr BackupNaming kOwn = {".tarnwick-backup", ".reg"};

TEST(BackupNamesTest, AFolderNamesItsBackupsWithItsExtensionAndStillTakesItsEarlierOne) {
  EXPECT_EQ("2024-03-07 09-05-01 #12 Apply Firefox.tarnwick-backup",
            BackupFileName({2024, 3, 7, 9, 5, 1}, 12, "Apply Firefox", kOwn));
  struct Case {
    const char* name;
    bool registry, own;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"2024-03-07 09-05-01 #1 Reset.reg", true, true},
           {"2024-03-07 09-05-01 Reset (2).REG", true, true},
           {"2024-03-07 09-05-01 #1 Reset.tarnwick-backup", false, true},
           {"2024-03-07 09-05-01 Apply custom (2).Tarnwick-Backup", false, true},
           {"2024-03-07 09-05-01 #1 Reset.reg.tarnwick-backup", false, true},
           {"2024-03-07 09-05-01 #1 .tarnwick-backup", false, false},
           {"2024-03-07 09-05-01 #1.tarnwick-backup", false, false},
           {"2024-03-07 09-05-01 #1 Reset.tarnwick-backup.tmp", false, false},
           {"2024-03-07 09-05-01 #1 Reset.tarnwick", false, false},
           {"my settings.tarnwick-backup", false, false},
           {".tarnwick-backup", false, false},
       }) {
    EXPECT_EQ(c.registry, IsBackupFileName(c.name)) << c.name;
    EXPECT_EQ(c.own, IsBackupFileName(c.name, kOwn)) << c.name;
  }
  // Without an earlier extension, only the folder's own.
  EXPECT_FALSE(IsBackupFileName("2024-03-07 09-05-01 #1 Reset.reg", {".tarnwick-backup", ""}));
}

TEST(BackupNamesTest, BothExtensionsShareTheNumbersTheOrderAndThePruning) {
  const std::vector<std::string> saved = {
      "2024-03-07 09-00-00 Reset.reg",
      "2024-03-07 09-10-00 #1 Apply Firefox.reg",
      "2024-03-07 09-20-00 #2 Undo.tarnwick-backup",
      "2024-03-07 09-30-00 #3 Apply custom.reg",
      "2024-03-07 09-40-00 #4 Reset.tarnwick-backup",
  };
  std::vector<std::string> folder = saved;
  folder.insert(folder.end(), {"2024-03-07 09-50-00 #9 Reset.txt", "notes.tarnwick-backup",
                               "2024-03-08 10-30-01 #8 Reset.tarnwick-backup"});
  std::shuffle(folder.begin(), folder.end(), std::mt19937(7));

  EXPECT_EQ(9u, NextSequenceNumber(folder, kOwn));
  EXPECT_EQ(saved, BackupsInOrder(folder, kNow, kOwn));
  EXPECT_EQ((std::vector<std::string>{saved[1], saved[2]}), BackupsToPrune(folder, 2, kNow, kOwn));
  // The registry's folder counts its own files alone.
  EXPECT_EQ(4u, NextSequenceNumber(folder));
  EXPECT_EQ((std::vector<std::string>{saved[0], saved[1], saved[3]}), BackupsInOrder(folder, kNow));
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

}  // namespace
}  // namespace tarnwick
