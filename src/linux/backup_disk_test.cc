#include "linux/backup_disk.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The id of a process that has ended.
uint32_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return static_cast<uint32_t>(child);
}

TEST(BackupDiskTest, TheFolderIsBesideTheUserHive) {
  EXPECT_EQ("/home/ann/.local/share/tarnwick/backups",
            BackupFolderBeside("/home/ann/.local/share/tarnwick/user.hive"));
  EXPECT_EQ(std::filesystem::current_path().string() + "/hives/backups",
            BackupFolderBeside("hives/./user.hive"));
}

TEST(BackupDiskTest, ASaveMakesTheFoldersAndLeavesExactlyTheFile) {
  TempDir dir;
  const std::string hive = dir.File("deep/er/user.hive");
  auto folder = OpenBackupFolder(hive);
  EXPECT_EQ(dir.File("deep/er/backups"), folder->Path());
  const std::string bytes("\xFF\xFEW\0i\0n\0\r\0\n\0", 12);
  std::string err;
  const auto file = folder->Save("Apply Maxthon", bytes, &err);
  ASSERT_TRUE(file) << err;
  const std::string name = std::filesystem::path(*file).filename().string();
  EXPECT_TRUE(IsBackupFileName(name)) << name;
  EXPECT_TRUE(name.ends_with(" Apply Maxthon.reg")) << name;
  EXPECT_EQ(std::vector<std::string>{name}, Entries(folder->Path()));
  EXPECT_EQ(bytes, dir.Read("deep/er/backups/" + name));

  folder->Discard(*file);
  EXPECT_TRUE(Entries(folder->Path()).empty());
}

TEST(BackupDiskTest, OnlyRegularFilesAreBackupsAndTheyAreReadUpToTheLimit) {
  TempDir dir;
  auto folder = OpenBackupFolder(dir.File("user.hive"));
  std::string err;
  const auto file = folder->Save("Reset", "saved", &err);
  ASSERT_TRUE(file) << err;
  // Later names that are not regular files: a folder, a link to a backup, a pipe.
  const std::string backups = folder->Path() + "/";
  std::filesystem::create_directory(backups + "2000-01-01 00-00-00 #7 Reset.reg");
  std::filesystem::create_symlink(*file, backups + "2000-01-01 00-00-00 #8 Reset.reg");
  ASSERT_EQ(0, mkfifo((backups + "2000-01-01 00-00-00 #9 Reset.reg").c_str(), 0600));
  EXPECT_EQ(file, folder->Newest(&err)) << err;

  PosixBackupDisk disk(folder->Path());
  std::vector<std::string> names;
  ASSERT_TRUE(disk.List(&names, &err)) << err;
  EXPECT_EQ(std::vector<std::string>{std::filesystem::path(*file).filename().string()}, names);
  std::string bytes;
  for (const char* n : {"#7", "#8", "#9"}) {
    EXPECT_FALSE(
        disk.ReadFile(std::string("2000-01-01 00-00-00 ") + n + " Reset.reg", 100, &bytes, &err))
        << n;
  }
  dir.Put("big", std::string(100000, 'x'));
  ASSERT_TRUE(disk.ReadFile("../big", 20000, &bytes, &err)) << err;
  EXPECT_LE(20001u, bytes.size());
  EXPECT_GT(100000u, bytes.size());
}

TEST(BackupDiskTest, AMoveNeverReplacesAFile) {
  TempDir dir;
  PosixBackupDisk disk(dir.path());
  std::string err;
  ASSERT_TRUE(disk.WriteNew("a.tmp", "new", &err)) << err;
  EXPECT_FALSE(disk.WriteNew("a.tmp", "again", &err));
  EXPECT_EQ("file exists", err);
  dir.Put("taken.reg", "old");
  EXPECT_EQ(BackupDisk::MoveResult::kExists, disk.MoveNew("a.tmp", "taken.reg", &err));
  EXPECT_EQ("old", dir.Read("taken.reg"));
  EXPECT_EQ(BackupDisk::MoveResult::kMoved, disk.MoveNew("a.tmp", "free.reg", &err)) << err;
  EXPECT_EQ((std::vector<std::string>{"free.reg", "taken.reg"}), Entries(dir.path()));
  EXPECT_EQ("new", dir.Read("free.reg"));
}

TEST(BackupDiskTest, AFolderThatCannotBeMadeGivesTheSystemsReason) {
  // Permissions do not stop root; a file where a folder should be stops everyone.
  TempDir dir;
  dir.Put("tarnwick", "a file");
  auto folder = OpenBackupFolder(dir.File("tarnwick/user.hive"));
  std::string err;
  EXPECT_FALSE(folder->Save("Reset", "x", &err));
  EXPECT_EQ("not a directory", err);
  EXPECT_EQ((std::vector<std::string>{"tarnwick"}), Entries(dir.path()));
}

TEST(BackupDiskTest, AWriteThatDoesNotFitLeavesNoFile) {
  TempDir dir;
  auto folder = OpenBackupFolder(dir.File("user.hive"));
  std::string err;
  ASSERT_TRUE(folder->Save("Reset", "first", &err)) << err;
  // The largest file this process may write stands in for a full disk.
  rlimit old_limit;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old_limit));
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  const auto file = folder->Save("Reset", std::string(10000, 'x'), &err);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(file);
  EXPECT_EQ("file too large", err);
  EXPECT_EQ(1u, Entries(dir.File("backups")).size());
}

TEST(BackupDiskTest, TemporaryFilesOfEndedProcessesGoAndThoseOfRunningOnesStay) {
  TempDir dir;
  auto folder = OpenBackupFolder(dir.File("user.hive"));
  std::filesystem::create_directories(dir.File("backups"));
  const std::string ended = TemporaryFileName(EndedProcess(), 0);
  const std::string running = TemporaryFileName(1, 0);  // init always runs
  dir.Put("backups/" + ended, "half a backup");
  dir.Put("backups/" + running, "being written");
  std::string err;
  const auto file = folder->Save("Reset", "x", &err);
  ASSERT_TRUE(file) << err;
  EXPECT_EQ((std::vector<std::string>{std::filesystem::path(*file).filename().string(), running}),
            Entries(dir.File("backups")));
}

}  // namespace
}  // namespace tarnwick
