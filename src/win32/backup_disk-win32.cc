#include "win32/backup_disk-win32.h"

#include <algorithm>

#include "win32/dynamic-win32.h"
#include "win32/scoped-win32.h"
#include "win32/text-win32.h"
#include "win32/windows-win32.h"
// clang-format off: after <windows.h>
#include <shlobj.h>
// clang-format on

namespace tarnwick {
namespace {

constexpr wchar_t kBelowAppData[] = L"\\Tarnwick\\Backups";

bool Fail(std::string* err, DWORD code = GetLastError()) {
  *err = SystemErrorText(code);
  return false;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

Win32BackupDisk::Win32BackupDisk(std::wstring folder, std::string unavailable)
    : folder_(std::move(folder)), unavailable_(std::move(unavailable)) {}

std::string Win32BackupDisk::Folder() { return Narrow(folder_); }

std::wstring Win32BackupDisk::PathOfW(const std::string& name) const {
  return folder_ + L"\\" + Widen(name);
}

std::string Win32BackupDisk::PathOf(const std::string& name) { return Narrow(PathOfW(name)); }

bool Win32BackupDisk::MakeFolder(std::string* err) {
  if (!unavailable_.empty()) {
    *err = unavailable_;
    return false;
  }
  // Each folder on the way, from the top. A drive ("C:") or a share ("\\server\share") is
  // never created; an existing folder may refuse creation with another error than "exists".
  for (size_t slash = folder_.find(L'\\');; slash = folder_.find(L'\\', slash + 1)) {
    const std::wstring prefix = folder_.substr(0, slash);
    const bool root =
        prefix.empty() || prefix.back() == L':' ||
        (prefix.starts_with(L"\\\\") && std::count(prefix.begin(), prefix.end(), L'\\') < 4);
    if (!root && !CreateDirectoryW(prefix.c_str(), nullptr)) {
      const DWORD error = GetLastError();
      if (!IsFolder(prefix)) return Fail(err, error);
    }
    if (slash == std::wstring::npos) break;
  }
  return true;
}

bool Win32BackupDisk::List(std::vector<std::string>* names, std::string* err) {
  names->clear();
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || Fail(err, error);
  }
  // Regular files only: no folders, no links or junctions, no devices.
  constexpr DWORD kNotAFile =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  do {
    if ((found.dwFileAttributes & kNotAFile) == 0) names->push_back(Narrow(found.cFileName));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return true;
}

bool Win32BackupDisk::ReadFile(const std::string& name, size_t limit, std::string* bytes,
                               std::string* err) {
  ScopedHANDLE file(CreateFileW(PathOfW(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  if (!file.valid()) return Fail(err);
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return Fail(err, ERROR_ACCESS_DENIED);
  }
  bytes->clear();
  char buffer[16384];
  while (bytes->size() <= limit) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return Fail(err);
    if (read == 0) break;
    bytes->append(buffer, read);
  }
  return true;
}

bool Win32BackupDisk::WriteNew(const std::string& name, std::string_view bytes, std::string* err) {
  ScopedHANDLE file(CreateFileW(PathOfW(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Fail(err);
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 1u << 20 ? 1u << 20 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) return Fail(err);
    if (written == 0) return Fail(err, ERROR_DISK_FULL);
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get()) || !file.Close()) return Fail(err);
  return true;
}

BackupDisk::MoveResult Win32BackupDisk::MoveNew(const std::string& from, const std::string& to,
                                                std::string* err) {
  if (MoveFileExW(PathOfW(from).c_str(), PathOfW(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
    return MoveResult::kMoved;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::kExists;
  Fail(err, error);
  return MoveResult::kFailed;
}

bool Win32BackupDisk::Remove(const std::string& name) {
  return DeleteFileW(PathOfW(name).c_str()) != 0;
}

LocalTime Win32BackupDisk::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

uint32_t Win32BackupDisk::ProcessId() { return GetCurrentProcessId(); }

bool Win32BackupDisk::ProcessRuns(uint32_t process_id) {
  ScopedHANDLE process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
  // A process of another account may not be opened, but it runs.
  if (!process.valid()) return GetLastError() == ERROR_ACCESS_DENIED;
  return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

namespace {

// The folder is looked up at the first backup, not at start-up: the lookup loads shell32.
class UserBackupFolder final : public BackupFolder {
 public:
  std::string Path() override { return Folder().Path(); }
  std::optional<std::string> Save(const std::string& what, std::string_view bytes,
                                  std::string* err) override {
    return Folder().Save(what, bytes, err);
  }
  void Discard(const std::string& file) override { Folder().Discard(file); }
  std::optional<std::string> Newest(std::string* err) override { return Folder().Newest(err); }
  bool Read(const std::string& file, std::string* bytes, std::string* err) override {
    return Folder().Read(file, bytes, err);
  }

 private:
  BackupFolder& Folder() {
    if (folder_) return *folder_;
    wchar_t app_data[MAX_PATH] = {};
    const auto get_folder_path = Shell32().SHGetFolderPathW;
    const HRESULT hr = get_folder_path ? get_folder_path(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE,
                                                         nullptr, SHGFP_TYPE_CURRENT, app_data)
                                       : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    std::unique_ptr<BackupDisk> disk;
    if (SUCCEEDED(hr)) {
      disk = std::make_unique<Win32BackupDisk>(app_data + std::wstring(kBelowAppData));
    } else {
      disk = std::make_unique<Win32BackupDisk>(
          L"%APPDATA%" + std::wstring(kBelowAppData),
          ApiErrorText("SHGetFolderPathW", "CSIDL_APPDATA", static_cast<unsigned long>(hr)));
    }
    folder_ = std::make_unique<DiskBackupFolder>(std::move(disk));
    return *folder_;
  }

  std::unique_ptr<BackupFolder> folder_;
};

}  // namespace

std::unique_ptr<BackupFolder> OpenUserBackupFolder() {
  return std::make_unique<UserBackupFolder>();
}

}  // namespace tarnwick
