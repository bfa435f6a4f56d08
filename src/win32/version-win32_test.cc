#include "win32/version-win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "win32/text-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {
namespace {

// The Wine harness sets its prefix to Windows XP and says so in TARNWICK_EXPECT_WINDOWS, as
// "platform.major.minor" ("2.5.1"); elsewhere there is nothing known to compare with.
TEST(VersionWin32Test, ReportsTheConfiguredWindows) {
  const char* expected = std::getenv("TARNWICK_EXPECT_WINDOWS");
  if (!expected) GTEST_SKIP() << "TARNWICK_EXPECT_WINDOWS is not set";
  const OsVersionInfo info = Win32VersionProvider().GetVersionEx();
  char actual[48];
  std::snprintf(actual, sizeof actual, "%u.%u.%u", static_cast<unsigned>(info.dwPlatformId),
                static_cast<unsigned>(info.dwMajorVersion),
                static_cast<unsigned>(info.dwMinorVersion));
  EXPECT_STREQ(expected, actual);
}

TEST(ProgramInfoWin32Test, ReadsTheDescriptionOfAVersionResource) {
  wchar_t own[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, own, MAX_PATH));
  Win32ProgramInfo programs;
  EXPECT_EQ("Tarnwick test programs", programs.Description(Narrow(own)));

  // Through an environment reference, as commands often name programs.
  ASSERT_TRUE(SetEnvironmentVariableW(L"TARNWICK_TEST_FOLDER", own));
  EXPECT_EQ("Tarnwick test programs", programs.Description("%TARNWICK_TEST_FOLDER%"));
  SetEnvironmentVariableW(L"TARNWICK_TEST_FOLDER", nullptr);

  // A file that is missing, or that has no version resource, says nothing.
  EXPECT_EQ("", programs.Description(R"(C:\no such folder\browser.exe)"));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring plain = std::wstring(temp) + L"tarnwick-plain.txt";
  HANDLE file = CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, "MZ", 2, &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ("", programs.Description(Narrow(plain)));
  DeleteFileW(plain.c_str());
}

}  // namespace
}  // namespace tarnwick
