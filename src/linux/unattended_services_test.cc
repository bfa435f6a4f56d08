#include "linux/unattended_services.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
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

// Another process holds the writers' turn: for ever, or for a moment.
class TurnHolder {
 public:
  TurnHolder(const std::string& log, int hold_ms) {
    int ready[2];
    if (pipe(ready) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      const int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0666);
      struct flock turn = {};
      turn.l_type = F_WRLCK;
      turn.l_whence = SEEK_SET;
      turn.l_start = off_t{1} << 62;
      turn.l_len = 1;
      const char held = fcntl(fd, F_SETLK, &turn) == 0 ? 'y' : 'n';
      if (write(ready[1], &held, 1) != 1) _exit(1);
      if (hold_ms < 0) pause();
      usleep(static_cast<useconds_t>(hold_ms) * 1000);
      _exit(0);
    }
    close(ready[1]);
    char held = 0;
    held_ = read(ready[0], &held, 1) == 1 && held == 'y';
    close(ready[0]);
  }
  ~TurnHolder() {
    if (child_ <= 0) return;
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  bool held() const { return held_; }

 private:
  pid_t child_ = -1;
  bool held_ = false;
};

TEST(PosixLogFilesTest, ATurnHeldForEverEndsAtTheDeadlineOneHeldAMomentIsWaitedFor) {
  TempDir dir;
  const std::string log = dir.File("runs.log");
  std::string err;
  {
    TurnHolder for_ever(log, -1);
    ASSERT_TRUE(for_ever.held());
    EXPECT_FALSE(PosixLogFiles(200).Append(log, "never written", &err));
    EXPECT_EQ("another writer held it for more than 200 ms", err);
  }
  {
    TurnHolder a_moment(log, 100);
    ASSERT_TRUE(a_moment.held());
    EXPECT_TRUE(PosixLogFiles(10'000).Append(log, "after the wait", &err)) << err;
  }
  EXPECT_EQ("after the wait\n", dir.Read("runs.log"));
  // A FIFO that no one reads is not waited for either.
  ASSERT_EQ(0, mkfifo(dir.File("fifo").c_str(), 0600));
  EXPECT_FALSE(PosixLogFiles().Append(dir.File("fifo"), "x", &err));
  EXPECT_EQ("no such device or address", err);
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
  const struct {
    std::vector<std::string> args;
    bool command;
  } kCases[] = {
      {{}, false},
      {{"-platform", "offscreen"}, false},
      {{"--platform", "offscreen"}, false},
      {{"--style=Fusion", "-reverse"}, false},
      {{"--style", "Fusion", "--qwindowtitle", "--list"}, false},  // values, not commands
      {{"/opt/browser/run"}, false},
      {{"--list"}, true},
      {{"-platform", "offscreen", "--set", "Maxthon"}, true},
      {{"--platform", "offscreen", "--reverse", "--query"}, true},
      // Not even a command: the command line says so, rather than a window opening.
      {{"--sett"}, true},
      {{"--styles"}, true},
  };
  for (auto c : kCases) {
    std::vector<char*> argv = {const_cast<char*>("tarnwick")};
    for (std::string& arg : c.args) argv.push_back(arg.data());
    EXPECT_EQ(c.command, IsCommandLine(static_cast<int>(argv.size()), argv.data()))
        << testing::PrintToString(c.args);
  }
}

TEST(IsFullPathTest, AWindowsPathWithADriveOrAnAbsolutePathIsFull) {
  EXPECT_TRUE(IsFullPath(R"(C:\Program Files\Opera\opera.exe)"));
  EXPECT_TRUE(IsFullPath("/opt/opera/opera"));
  EXPECT_FALSE(IsFullPath(R"(Opera\opera.exe)"));
  EXPECT_FALSE(IsFullPath("C:opera.exe"));
  EXPECT_FALSE(IsFullPath("opera"));
}

}  // namespace
}  // namespace tarnwick
