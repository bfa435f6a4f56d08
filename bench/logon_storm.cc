// Logon storm: N users log on at once, and their logon script runs `tarnwick --set Maxthon`,
// P at a time, each over a user hive of its own that holds another browser's registrations
// (GreenBrowser's, as its Apply writes them), all sharing one machine hive. Reports the median
// and 95th percentile of one logon (the whole process, from its start to its exit) beside a
// bare start of the same program (`tarnwick --help`), then checks every hive: Maxthon's
// registrations as --set writes them (the very check of --check), one backup beside it, and
// SQLite's integrity check.
//
//   tarnwick-logon-storm [--users N] [--parallel P] [--program TARNWICK] [--dir DIR]
//
// Exit status 0 when every hive passed, 1 otherwise, 2 for a usage or setup error.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/hive_snapshot.h"
#include "linux/backup_disk.h"
#include "linux/linux_services.h"
#include "registry/browser_profile.h"
#include "registry/registry_writer.h"
#include "selection/apply_plan.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "standin/standin_registry.h"

extern char** environ;

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
  int users = 200;
  int parallel = 2;
  std::string program;
  std::string dir;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--users") {
      options->users = std::atoi(argv[i + 1]);
    } else if (arg == "--parallel") {
      options->parallel = std::atoi(argv[i + 1]);
    } else if (arg == "--program") {
      options->program = argv[i + 1];
    } else if (arg == "--dir") {
      options->dir = argv[i + 1];
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && options->users > 0 && options->parallel > 0;
}

struct User {
  HiveLocations hives;
  std::string backups;
};

// Applies preset `caption` to `hives` as the window's Apply writes it, without a backup.
bool Apply(const HiveLocations& hives, const char* caption, Environment& environment,
           std::string* err) {
  std::unique_ptr<StandInRegistry> registry = StandInRegistry::OpenFiles(hives, true, err);
  if (!registry) return false;
  PosixFileSystemObject files;
  BrowserProfile profile;
  RegistryWriter writer(registry.get());
  SelectionContext ctx;
  ctx.profile = &profile;
  ctx.writer = &writer;
  ctx.registry = registry.get();
  ctx.fso = &files;
  ctx.environment = &environment;
  std::array<bool, kPresetCount> options = {};
  options[static_cast<size_t>(FindPreset(caption) - PresetCatalogue().data())] = true;
  if (PresetApply(ctx, options) != PresetApplyResult::kApplied) {
    *err = std::string("the apply of ") + caption + " did not run";
    return false;
  }
  return true;
}

// Starts `program` with `args` for `user`, its output thrown away; the process id, or -1.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const User& user,
            const std::string& program_files) {
  std::vector<std::string> env = {"TARNWICK_USER_HIVE=" + user.hives.user,
                                  "TARNWICK_MACHINE_HIVE=" + user.hives.machine,
                                  "ProgramFiles=" + program_files};
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (!entry.starts_with("TARNWICK_") && !entry.starts_with("ProgramFiles=")) {
      env.push_back(entry);
    }
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv_text = {program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

struct Timings {
  std::vector<double> ms;  // one per run, in the order they ended
  int failed = 0;          // runs that did not end with exit status 0
};

// Runs `args` once for each user, `parallel` at a time, timing each process.
Timings RunAll(const Options& options, const std::vector<std::string>& args,
               const std::vector<User>& users, const std::string& program_files) {
  Timings timings;
  std::map<pid_t, Clock::time_point> running;
  size_t next = 0;
  while (next < users.size() || !running.empty()) {
    while (next < users.size() && running.size() < static_cast<size_t>(options.parallel)) {
      const Clock::time_point start = Clock::now();
      const pid_t pid = Start(options.program, args, users[next++], program_files);
      if (pid < 0) {
        ++timings.failed;
        continue;
      }
      running[pid] = start;
    }
    int status = 0;
    const pid_t ended = waitpid(-1, &status, 0);
    const auto found = running.find(ended);
    if (found == running.end()) continue;
    timings.ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - found->second).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++timings.failed;
    running.erase(found);
  }
  return timings;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(p / 100 * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

// What is wrong with `user`'s hive after the storm; empty when nothing is.
std::string Verify(const User& user, Environment& environment) {
  std::string err;
  std::unique_ptr<StandInRegistry> registry = StandInRegistry::OpenFiles(user.hives, false, &err);
  if (!registry) return err;
  PosixFileSystemObject files;
  SelectionContext services;
  services.fso = &files;
  services.environment = &environment;
  const auto plan = PlanPresetApply(services, *FindPreset("Maxthon"));
  if (!plan) return "Maxthon is not installed";
  const std::vector<std::string> differ = ValuesNotInPlace(*registry, *plan);
  if (!differ.empty()) {
    return std::to_string(differ.size()) + " values not in place, the first " + differ[0];
  }
  registry.reset();
  std::error_code ec;
  std::vector<std::string> backups;
  for (const auto& entry : fs::directory_iterator(user.backups, ec)) {
    backups.push_back(entry.path().filename().string());
  }
  if (backups.size() != 1 || !backups[0].ends_with(" Apply Maxthon.reg")) {
    return std::to_string(backups.size()) + " files in the backup folder, not Maxthon's backup";
  }
  const std::string verdict = CheckIntegrity(user.hives.user);
  return verdict == "ok" ? "" : verdict;
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: %s [--users N] [--parallel P] [--program TARNWICK] [--dir DIR]\n",
                 argv[0]);
    return 2;
  }
  if (options.program.empty()) {
    // Beside the bench folder in the build tree.
    options.program =
        (fs::path(argv[0]).parent_path().parent_path() / "tarnwick").lexically_normal().string();
  }
  std::error_code ec;
  const bool own_dir = options.dir.empty();
  if (own_dir) {
    std::string pattern = (fs::temp_directory_path(ec) / "tarnwick-storm-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 2;
    options.dir = pattern;
  }
  const fs::path dir = options.dir;
  const std::string program_files = (dir / "Program Files").string();
  fs::create_directories(fs::path(program_files) / "Maxthon", ec);
  fs::create_directories(fs::path(program_files) / "GreenBrowser", ec);
  for (const char* exe : {"Maxthon/Maxthon.exe", "GreenBrowser/GreenBrowser.exe"}) {
    std::FILE* f = std::fopen((fs::path(program_files) / exe).c_str(), "w");
    if (f == nullptr) return 2;
    std::fclose(f);
  }
  // This process reads "ProgramFiles" as its children do.
  setenv("ProgramFiles", program_files.c_str(), 1);
  ProcessEnvironment environment;

  // Every user with another browser already set, as a storm meets them.
  std::vector<User> users;
  for (int i = 0; i < options.users; ++i) {
    const fs::path home = dir / ("user" + std::to_string(i));
    User user{{(home / "user.hive").string(), (dir / "machine.hive").string()},
              BackupFolderBeside((home / "user.hive").string())};
    std::string err;
    if (!Apply(user.hives, "GreenBrowser", environment, &err)) {
      std::fprintf(stderr, "logon-storm: seeding %s: %s\n", user.hives.user.c_str(), err.c_str());
      return 2;
    }
    users.push_back(std::move(user));
  }

  const Clock::time_point storm_start = Clock::now();
  const Timings storm = RunAll(options, {"--set", "Maxthon"}, users, program_files);
  const double storm_s = std::chrono::duration<double>(Clock::now() - storm_start).count();
  const Timings bare = RunAll(options, {"--help"}, users, program_files);

  int bad = 0;
  for (const User& user : users) {
    const std::string problem = Verify(user, environment);
    if (problem.empty()) continue;
    if (++bad <= 5) std::printf("  %s: %s\n", user.hives.user.c_str(), problem.c_str());
  }
  std::printf(
      "logon storm: %d users, %d at a time, tarnwick --set Maxthon over GreenBrowser's "
      "registrations\n"
      "  per logon: median %.1f ms, 95th percentile %.1f ms; the whole storm %.2f s\n"
      "  a bare start (tarnwick --help), the same way: median %.1f ms, 95th percentile %.1f ms\n"
      "  %d runs failed; %d of %d hives with a fault (registrations, backup, integrity_check)\n",
      options.users, options.parallel, Percentile(storm.ms, 50), Percentile(storm.ms, 95), storm_s,
      Percentile(bare.ms, 50), Percentile(bare.ms, 95), storm.failed + bare.failed, bad,
      options.users);
  if (own_dir) fs::remove_all(dir, ec);
  return storm.failed + bare.failed + bad == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) { return tarnwick::Main(argc, argv); }
