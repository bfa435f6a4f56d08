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

}  // namespace
}  // namespace tarnwick
