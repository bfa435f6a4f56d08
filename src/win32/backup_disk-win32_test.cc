#include "win32/backup_disk-win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "win32/text-win32.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <shlobj.h>
// clang-format on

namespace tarnwick {
namespace {

// A new folder below the temporary folder, removed with its files on destruction.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = temp + std::wstring(L"Tarnwick backups ") + std::to_wstring(GetCurrentProcessId());
    std::filesystem::remove_all(path_, ec_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_, ec_); }
  const std::wstring& path() const { return path_; }

  std::vector<std::string> Entries(const std::wstring& below = L"") const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path_ + below, ec)) {
      names.push_back(Narrow(entry.path().filename().wstring()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Read(const std::wstring& file) const {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Put(const std::wstring& file, const std::string& bytes) const {
    std::ofstream(std::filesystem::path(file), std::ios::binary) << bytes;
  }

 private:
  std::wstring path_;
  std::error_code ec_;
};

TEST(BackupDiskWin32Test, ASaveMakesTheFoldersAndLeavesExactlyTheFile) {
  ScratchFolder scratch;
  DiskBackupFolder folder(std::make_unique<Win32BackupDisk>(scratch.path() + L"\\a\\b"));
  EXPECT_EQ(Narrow(scratch.path() + L"\\a\\b"), folder.Path());
  const std::string bytes("\xFF\xFEW\0i\0n\0\r\0\n\0", 12);
  std::string err;
  const auto file = folder.Save("Apply custom", bytes, &err);
  ASSERT_TRUE(file) << err;
  const std::vector<std::string> entries = scratch.Entries(L"\\a\\b");
  ASSERT_EQ(1u, entries.size());
  EXPECT_TRUE(IsBackupFileName(entries[0])) << entries[0];
  EXPECT_TRUE(entries[0].ends_with(" Apply custom.reg")) << entries[0];
  EXPECT_EQ(Narrow(scratch.path() + L"\\a\\b\\") + entries[0], *file);
  EXPECT_EQ(bytes, scratch.Read(Widen(*file)));

  folder.Discard(*file);
  EXPECT_TRUE(scratch.Entries(L"\\a\\b").empty());
}

TEST(BackupDiskWin32Test, AMoveNeverReplacesAFile) {
  ScratchFolder scratch;
  Win32BackupDisk disk(scratch.path());
  std::string err;
  ASSERT_TRUE(disk.MakeFolder(&err)) << err;
  ASSERT_TRUE(disk.WriteNew("a.tmp", "new", &err)) << err;
  EXPECT_FALSE(disk.WriteNew("a.tmp", "again", &err));
  scratch.Put(scratch.path() + L"\\taken.reg", "old");
  EXPECT_EQ(BackupDisk::MoveResult::kExists, disk.MoveNew("a.tmp", "taken.reg", &err));
  EXPECT_EQ("old", scratch.Read(scratch.path() + L"\\taken.reg"));
  EXPECT_EQ(BackupDisk::MoveResult::kMoved, disk.MoveNew("a.tmp", "free.reg", &err)) << err;
  EXPECT_EQ((std::vector<std::string>{"free.reg", "taken.reg"}), scratch.Entries());
  EXPECT_EQ("new", scratch.Read(scratch.path() + L"\\free.reg"));
}

TEST(BackupDiskWin32Test, AFolderThatCannotBeMadeGivesTheSystemsReason) {
  ScratchFolder scratch;
  CreateDirectoryW(scratch.path().c_str(), nullptr);
  scratch.Put(scratch.path() + L"\\a", "a file where a folder should be");
  DiskBackupFolder folder(std::make_unique<Win32BackupDisk>(scratch.path() + L"\\a\\b"));
  std::string err;
  EXPECT_FALSE(folder.Save("Reset", "x", &err));
  // The file stands where the first missing folder would go.
  EXPECT_EQ(SystemErrorText(ERROR_ALREADY_EXISTS), err);
  EXPECT_EQ(std::vector<std::string>{"a"}, scratch.Entries());

  DiskBackupFolder unavailable(
      std::make_unique<Win32BackupDisk>(L"%APPDATA%\\Tarnwick\\Backups", "no such folder"));
  EXPECT_FALSE(unavailable.Save("Reset", "x", &err));
  EXPECT_EQ("no such folder", err);
}

TEST(BackupDiskWin32Test, TemporaryFilesOfEndedProcessesGo) {
  ScratchFolder scratch;
  CreateDirectoryW(scratch.path().c_str(), nullptr);
  // Process ids are multiples of four; no process has this one.
  const std::string ended = TemporaryFileName(0x7FFFFFF1, 0);
  scratch.Put(scratch.path() + L"\\" + Widen(ended), "half a backup");
  Win32BackupDisk disk(scratch.path());
  EXPECT_FALSE(disk.ProcessRuns(0x7FFFFFF1));
  EXPECT_TRUE(disk.ProcessRuns(GetCurrentProcessId()));
  DiskBackupFolder folder(std::make_unique<Win32BackupDisk>(scratch.path()));
  std::string err;
  ASSERT_TRUE(folder.Save("Reset", "x", &err)) << err;
  const std::vector<std::string> entries = scratch.Entries();
  ASSERT_EQ(1u, entries.size());
  EXPECT_TRUE(IsBackupFileName(entries[0]));
}

TEST(BackupDiskWin32Test, TheUsersFolderIsBelowApplicationData) {
  wchar_t app_data[MAX_PATH] = {};
  ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data));
  auto folder = OpenUserBackupFolder();
  EXPECT_EQ(Narrow(app_data) + "\\Tarnwick\\Backups", folder->Path());
  // Only in a throw-away prefix: a save makes the folder in the account's real profile.
  const char* disposable = std::getenv("TARNWICK_DISPOSABLE_REGISTRY");
  if (disposable == nullptr || std::string(disposable) != "1") return;
  std::string err;
  const auto file = folder->Save("Reset", "x", &err);
  ASSERT_TRUE(file) << err;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(*file).c_str()));
  folder->Discard(*file);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(*file).c_str()));
}

}  // namespace
}  // namespace tarnwick
