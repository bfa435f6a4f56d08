#include "win32/unattended-win32.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

#include "win32/scoped-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

std::wstring TempPath(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return temp + name + L" " + std::to_wstring(GetCurrentProcessId());
}

std::string ReadFileBytes(const std::wstring& path) {
  ScopedHANDLE file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (file.valid() && ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

// Writers that each open the log for every line, as separate runs do, never mix their lines.
TEST(Win32LogFilesTest, WritersAtOnceAppendWholeLines) {
  const std::wstring log = TempPath(L"Tarnwick log");
  DeleteFileW(log.c_str());
  constexpr int kWriters = 4, kLines = 200;
  std::vector<std::thread> writers;
  std::vector<int> failures(kWriters);
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      Win32LogFiles logs;
      std::string err;
      for (int n = 0; n < kLines; ++n) {
        const std::string line = "writer " + std::to_string(w) + " line " + std::to_string(n) +
                                 " " + std::string(300, static_cast<char>('a' + w));
        if (!logs.Append(Narrow(log), line, &err)) ++failures[w];
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(std::vector<int>(kWriters), failures);

  std::istringstream in(ReadFileBytes(log));
  std::vector<int> next(kWriters);
  int lines = 0;
  for (std::string line; std::getline(in, line); ++lines) {
    int w = -1, n = -1;
    ASSERT_EQ(2, std::sscanf(line.c_str(), "writer %d line %d", &w, &n)) << line;
    ASSERT_TRUE(w >= 0 && w < kWriters) << line;
    EXPECT_EQ(next[w]++, n);
    EXPECT_EQ(std::string(300, static_cast<char>('a' + w)) + "\r", line.substr(line.size() - 301));
  }
  EXPECT_EQ(kWriters * kLines, lines);
  DeleteFileW(log.c_str());
}

TEST(Win32LogFilesTest, ALogHeldByAnotherProgramIsWaitedForAndAMissingFolderNamed) {
  const std::wstring log = TempPath(L"Tarnwick held log");
  ScopedHANDLE held(CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(held.valid());
  std::thread release([&] {
    Sleep(300);
    held.Close();
  });
  Win32LogFiles logs;
  std::string err;
  EXPECT_TRUE(logs.Append(Narrow(log), "after the wait", &err)) << err;
  release.join();
  EXPECT_EQ("after the wait\r\n", ReadFileBytes(log));
  DeleteFileW(log.c_str());

  EXPECT_FALSE(logs.Append(Narrow(TempPath(L"no such folder") + L"\\t.log"), "x", &err));
  EXPECT_FALSE(err.empty());
}

// A writer that holds its turn for ever (a user, or a computer gone from the network) costs
// another run no more than the deadline; and a log that no one may read is still appended to.
TEST(Win32LogFilesTest, ATurnHeldForEverEndsAtTheDeadlineAndNoReadingIsAsked) {
  const std::wstring log = TempPath(L"Tarnwick locked log");
  ScopedHANDLE holder(CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(holder.valid());
  Win32LogFiles logs(200);
  std::string err;
  EXPECT_TRUE(logs.Append(Narrow(log), "appended, not read", &err)) << err;

  OVERLAPPED turn = {};
  turn.OffsetHigh = kLogTurnOffsetHigh;
  ASSERT_TRUE(LockFileEx(holder.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn));
  EXPECT_FALSE(logs.Append(Narrow(log), "never written", &err));
  EXPECT_EQ("another writer held it for more than 200 ms", err);
  UnlockFileEx(holder.get(), 0, 1, 0, &turn);
  holder.Close();
  EXPECT_EQ("appended, not read\r\n", ReadFileBytes(log));
  DeleteFileW(log.c_str());
}

// A path that GetFullPathNameW would resolve against the current folder or drive names another
// file in a logon script, which starts in the Windows folder.
TEST(Win32CommandLineTest, OnlyAPathThatNeedsNoResolvingIsFull) {
  const struct {
    const char* path;
    bool full;
  } kCases[] = {
      {R"(C:\Program Files\Opera\opera.exe)", true},
      {R"(\\server\share\Opera\opera.exe)", true},
      {"opera.exe", false},
      {R"(Opera\opera.exe)", false},
      {R"(C:opera.exe)", false},
      {R"(\Opera\opera.exe)", false},
      {R"(C:\Apps\..\opera.exe)", false},
      {R"(C:\Apps\.\opera.exe)", false},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.full, IsFullPath(c.path)) << c.path;
}

class SilentConsole final : public Console {
 public:
  void WriteLine(Stream, std::string_view) override {}
};

TEST(Win32CommandLineTest, CommandLineModeLeavesNoSystemDialogToWaitFor) {
  const UINT mode_before = SetErrorMode(0);
  const LPTOP_LEVEL_EXCEPTION_FILTER filter_before = SetUnhandledExceptionFilter(nullptr);
  SilentConsole console;
  EnterCommandLineMode(console);
  EXPECT_EQ(UINT{SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX},
            SetErrorMode(mode_before));
  EXPECT_NE(nullptr, SetUnhandledExceptionFilter(filter_before));
}

}  // namespace
}  // namespace tarnwick
