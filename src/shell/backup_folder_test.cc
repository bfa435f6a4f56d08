#include "shell/backup_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace tarnwick {
namespace {

// A folder in memory whose every operation can be made to fail, and whose clock and processes
// are scripted.
struct DiskState {
  bool folder_made = false;
  std::map<std::string, std::string> files;
  LocalTime now = {2024, 3, 7, 10, 30, 0};
  uint32_t pid = 100;
  std::set<uint32_t> running = {100, 200};
  std::string fail_make, fail_write, fail_move;  // the reasons, when not empty
  std::vector<std::string> removed;
};

class FakeDisk final : public BackupDisk {
 public:
  explicit FakeDisk(DiskState* state) : s_(state) {}
  std::string Folder() override { return "/home/ann/backups"; }
  std::string PathOf(const std::string& name) override { return Folder() + "/" + name; }
  bool MakeFolder(std::string* err) override {
    if (!s_->fail_make.empty()) *err = s_->fail_make;
    return s_->folder_made = s_->fail_make.empty();
  }
  bool List(std::vector<std::string>* names, std::string*) override {
    names->clear();
    for (const auto& [name, bytes] : s_->files) names->push_back(name);
    return true;
  }
  bool ReadFile(const std::string& name, size_t limit, std::string* bytes,
                std::string* err) override {
    const auto found = s_->files.find(name);
    if (found == s_->files.end()) {
      *err = "file not found";
      return false;
    }
    *bytes = found->second.substr(0, limit + 1);
    return true;
  }
  bool WriteNew(const std::string& name, std::string_view bytes, std::string* err) override {
    if (s_->files.count(name)) {
      *err = "file exists";
      return false;
    }
    if (!s_->fail_write.empty()) {
      s_->files[name] = std::string(bytes.substr(0, bytes.size() / 2));  // a part was written
      *err = s_->fail_write;
      return false;
    }
    s_->files[name] = std::string(bytes);
    return true;
  }
  MoveResult MoveNew(const std::string& from, const std::string& to, std::string* err) override {
    if (!s_->fail_move.empty()) {
      *err = s_->fail_move;
      return MoveResult::kFailed;
    }
    if (s_->files.count(to)) return MoveResult::kExists;
    s_->files[to] = s_->files[from];
    s_->files.erase(from);
    return MoveResult::kMoved;
  }
  bool Remove(const std::string& name) override {
    s_->removed.push_back(name);
    return s_->files.erase(name) == 1;
  }
  LocalTime Now() override { return s_->now; }
  uint32_t ProcessId() override { return s_->pid; }
  bool ProcessRuns(uint32_t pid) override { return s_->running.count(pid) != 0; }

 private:
  DiskState* s_;
};

class BackupFolderTest : public testing::Test {
 protected:
  std::optional<std::string> Save(const std::string& what, const std::string& bytes) {
    err_.clear();
    return folder_.Save(what, bytes, &err_);
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& [name, bytes] : state_.files) names.insert(name);
    return names;
  }

  DiskState state_;
  DiskBackupFolder folder_{std::make_unique<FakeDisk>(&state_)};
  std::string err_;
};

TEST_F(BackupFolderTest, ASaveMakesTheFolderAndLeavesOneWholeFileNamedForItsTimeAndOperation) {
  const auto file = Save("Apply Maxthon", "bytes");
  ASSERT_TRUE(file) << err_;
  EXPECT_EQ("/home/ann/backups/2024-03-07 10-30-00 #1 Apply Maxthon.reg", *file);
  EXPECT_TRUE(state_.folder_made);
  EXPECT_EQ(
      (std::map<std::string, std::string>{{"2024-03-07 10-30-00 #1 Apply Maxthon.reg", "bytes"}}),
      state_.files);
  EXPECT_EQ("/home/ann/backups", folder_.Path());
}

TEST_F(BackupFolderTest, ANameInUseGetsTheNextNumber) {
  state_.files["2024-03-07 10-30-00 Reset.reg"] = "of an earlier version";
  state_.files["2024-03-07 10-30-00 #1 Reset.reg"] = "first";
  state_.files["2024-03-07 10-30-00 #2 Reset.reg"] = "second";
  const auto file = Save("Reset", "third");
  ASSERT_TRUE(file) << err_;
  EXPECT_EQ("/home/ann/backups/2024-03-07 10-30-00 #3 Reset.reg", *file);
  EXPECT_EQ("first", state_.files["2024-03-07 10-30-00 #1 Reset.reg"]);
  EXPECT_EQ("second", state_.files["2024-03-07 10-30-00 #2 Reset.reg"]);
  EXPECT_EQ(4u, state_.files.size());
}

TEST_F(BackupFolderTest, TheOldestAndTheNewestThirtyStayAndOtherFilesAreNotTouched) {
  char name[64];
  for (int minute = 0; minute < 31; ++minute) {
    std::snprintf(name, sizeof name, "2024-03-07 09-%02d-00 Reset.reg", minute);
    state_.files[name] = "old";
  }
  state_.files["my settings.reg"] = "mine";
  ASSERT_TRUE(Save("Reset", "new")) << err_;
  EXPECT_EQ(32u, state_.files.size());
  EXPECT_EQ(1u, state_.files.count("2024-03-07 09-00-00 Reset.reg"));  // the first settings
  EXPECT_EQ(0u, state_.files.count("2024-03-07 09-01-00 Reset.reg"));
  EXPECT_EQ(1u, state_.files.count("2024-03-07 09-02-00 Reset.reg"));
  EXPECT_EQ("mine", state_.files["my settings.reg"]);

  // A clock set back costs neither the backup just saved nor the order: the next save removes
  // the oldest but one, not the one saved under the clock set back.
  state_.now = {2020, 1, 1, 0, 0, 0};
  ASSERT_TRUE(Save("Reset", "from the past")) << err_;
  EXPECT_EQ("from the past", state_.files["2020-01-01 00-00-00 #2 Reset.reg"]);
  state_.now = {2024, 3, 7, 11, 0, 0};
  ASSERT_TRUE(Save("Reset", "later")) << err_;
  EXPECT_EQ(1u, state_.files.count("2020-01-01 00-00-00 #2 Reset.reg"));
  EXPECT_EQ(0u, state_.files.count("2024-03-07 09-02-00 Reset.reg"));
  EXPECT_EQ(1u, state_.files.count("2024-03-07 09-00-00 Reset.reg"));
}

TEST_F(BackupFolderTest, TemporaryFilesOfEndedRunsAreRemoved) {
  state_.files[TemporaryFileName(300, 0)] = "ended";  // no process 300 runs
  state_.files[TemporaryFileName(100, 7)] = "ours, from a crash before a restart";
  state_.files[TemporaryFileName(200, 0)] = "another run, still writing";
  ASSERT_TRUE(Save("Reset", "x")) << err_;
  EXPECT_EQ((std::set<std::string>{TemporaryFileName(200, 0), "2024-03-07 10-30-00 #1 Reset.reg"}),
            Names());
}

TEST_F(BackupFolderTest, FailuresLeaveNoFileAndGiveTheReason) {
  state_.fail_make = "not a directory";
  EXPECT_FALSE(Save("Reset", "x"));
  EXPECT_EQ("not a directory", err_);
  state_.fail_make.clear();

  state_.fail_write = "no space left on device";
  EXPECT_FALSE(Save("Reset", "x"));
  EXPECT_EQ("no space left on device", err_);
  EXPECT_TRUE(state_.files.empty());
  state_.fail_write.clear();

  state_.fail_move = "access is denied";
  EXPECT_FALSE(Save("Reset", "x"));
  EXPECT_EQ("access is denied", err_);
  EXPECT_TRUE(state_.files.empty());
}

TEST_F(BackupFolderTest, DiscardRemovesOnlyABackupOfThisFolder) {
  const auto file = Save("Apply Maxthon", "x");
  ASSERT_TRUE(file);
  state_.files["my settings.reg"] = "mine";
  state_.files["2024-01-01 00-00-00 Reset.reg"] = "kept";
  folder_.Discard("/home/ann/my settings.reg");
  folder_.Discard("/home/ann/backups/my settings.reg");
  folder_.Discard("/elsewhere/2024-01-01 00-00-00 Reset.reg");
  EXPECT_EQ(3u, state_.files.size());
  folder_.Discard(*file);
  EXPECT_EQ((std::set<std::string>{"my settings.reg", "2024-01-01 00-00-00 Reset.reg"}), Names());
}

TEST_F(BackupFolderTest, TheNewestIsTheOneSavedLastAndOnlyBackupsAreRead) {
  std::string err = "stale";
  EXPECT_FALSE(folder_.Newest(&err));
  EXPECT_EQ("", err);
  state_.files["2024-03-07 10-29-00 Undo.reg"] = "older";
  state_.files["zzz.reg"] = "not a backup";
  // Names that a clock never showed, or will not for long, are never the newest.
  state_.files["9999-99-99 99-99-99 x.reg"] = "planted";
  state_.files["9999-12-31 23-59-59 #7 x.reg"] = "planted";
  EXPECT_EQ("/home/ann/backups/2024-03-07 10-29-00 Undo.reg", folder_.Newest(&err));
  ASSERT_TRUE(Save("Reset", "first"));
  state_.now.hour = 9;  // the clock put back an hour
  const auto second = Save("Apply Maxthon", "second");
  ASSERT_TRUE(second) << err_;
  EXPECT_EQ("/home/ann/backups/2024-03-07 09-30-00 #9 Apply Maxthon.reg", *second);
  EXPECT_EQ(second, folder_.Newest(&err));

  std::string bytes;
  ASSERT_TRUE(folder_.Read(*second, &bytes, &err)) << err;
  EXPECT_EQ("second", bytes);
  EXPECT_FALSE(folder_.Read("/home/ann/backups/zzz.reg", &bytes, &err));
  EXPECT_FALSE(folder_.Read("/elsewhere/2024-03-07 10-29-00 Undo.reg", &bytes, &err));
  state_.files["2024-03-07 10-29-00 Undo.reg"] = std::string(kLargestBackup + 1, 'x');
  EXPECT_FALSE(folder_.Read("/home/ann/backups/2024-03-07 10-29-00 Undo.reg", &bytes, &err));
  EXPECT_EQ("it is larger than 1 MB", err);
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace tarnwick
