#include "linux/unattended_services.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

// Many processes appending to one log at once, as logon scripts on many computers do: every
// line arrives whole, none is lost.
TEST(PosixLogFilesTest, WritersAtOnceNeverMixTheirLines) {
  TempDir dir;
  const std::string log = dir.File("runs.log");
  constexpr int kWriters = 4, kLines = 500;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      PosixLogFiles logs;
      std::string err;
      for (int n = 0; n < kLines; ++n) {
        // Longer than a pipe's atomic size would need to be, as long as a real line.
        const std::string line = "writer " + std::to_string(writer) + " line " + std::to_string(n) +
                                 " " + std::string(300, 'a' + writer);
        if (!logs.Append(log, line, &err)) _exit(1);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::istringstream in(dir.Read("runs.log"));
  std::map<int, int> next;  // each writer's lines come in its own order
  int lines = 0;
  for (std::string line; std::getline(in, line); ++lines) {
    int writer = -1, n = -1;
    ASSERT_EQ(2, std::sscanf(line.c_str(), "writer %d line %d", &writer, &n)) << line;
    ASSERT_EQ(next[writer]++, n);
    ASSERT_EQ(std::string(300, static_cast<char>('a' + writer)), line.substr(line.size() - 300));
  }
  EXPECT_EQ(kWriters * kLines, lines);
}

TEST(PosixLogFilesTest, AFileThatCannotBeWrittenGivesTheReason) {
  TempDir dir;
  PosixLogFiles logs;
  std::string err;
  EXPECT_FALSE(logs.Append(dir.path(), "line", &err));
  EXPECT_EQ("is a directory", err);
  EXPECT_FALSE(logs.Append(dir.File("no/such/folder.log"), "line", &err));
  EXPECT_EQ("no such file or directory", err);
}

TEST(PosixWorkstationTest, TheClockTellsItsDistanceFromUtc) {
  const char* saved = std::getenv("TZ");
  const std::string old = saved != nullptr ? saved : "";
  PosixWorkstation station;
  setenv("TZ", "EST5", 1);  // five hours behind, no summer time
  tzset();
  EXPECT_EQ(-300, station.Now().utc_offset_minutes);
  setenv("TZ", "IST-5:30", 1);
  tzset();
  EXPECT_EQ(330, station.Now().utc_offset_minutes);
  if (saved != nullptr) {
    setenv("TZ", old.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  EXPECT_FALSE(station.ComputerName().empty());
  EXPECT_FALSE(station.UserName().empty());
}

TEST(IsCommandLineTest, TwoDashesAskForACommandQtOptionsForTheWindow) {
  auto is = [](std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return IsCommandLine(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_FALSE(is({"tarnwick"}));
  EXPECT_FALSE(is({"tarnwick", "-platform", "offscreen"}));
  EXPECT_TRUE(is({"tarnwick", "--list"}));
  EXPECT_TRUE(is({"tarnwick", "-platform", "offscreen", "--set", "Maxthon"}));
  // Not even a command: the command line says so, rather than a window opening.
  EXPECT_TRUE(is({"tarnwick", "--sett"}));
}

}  // namespace
}  // namespace tarnwick
