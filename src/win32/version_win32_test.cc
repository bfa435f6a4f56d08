#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "win32/version-win32.h"

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

}  // namespace
}  // namespace tarnwick
