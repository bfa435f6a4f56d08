// Crash harness: a child process applies browsers to two on-disk hives without pause, saving a
// backup before each operation as the window does; the parent kills it with SIGKILL at a random
// moment, then checks that each hive opens, passes SQLite's integrity check and holds exactly
// the registrations after the changes the child had finished, plus possibly the one it was in
// the middle of. It also checks the backups: every backup file is whole, and the operation in
// flight either changed nothing or has a saved backup that, imported, brings back the hives as
// they were before it. Repeats with the same hives.
//
//   tarnwick-crash-harness [--kills N] [--max-delay-ms MS] [--dir DIR] [--seed S]
//
// Exit status 0 when every kill left sound hives, 1 otherwise, 2 for a usage or setup error.

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/apply_workload.h"
#include "bench/hive_snapshot.h"
#include "linux/backup_disk.h"
#include "registry/reg_file.h"
#include "shell/backup_folder.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

struct Options {
  int kills = 500;
  int max_delay_ms = 250;
  int fresh_every = 25;  // start again from missing files every this many kills
  uint64_t seed = 1;
  std::string dir;
};

// What the child tells the parent, in memory that survives the child's death.
struct Progress {
  std::atomic<uint64_t> begun;       // number of the change the child last started
  std::atomic<uint64_t> ended;       // number of the change the child last finished
  std::atomic<uint64_t> op;          // number of the operation the child last started
  std::atomic<uint64_t> op_changes;  // changes finished before that operation began
  std::atomic<uint64_t> saved_op;    // the last operation whose backup was saved ...
  char saved_file[1024];             // ... as this file, written before saved_op
};

struct Tally {
  int kills = 0;
  int corrupt = 0;
  int torn = 0;
  int mid_change = 0;              // killed inside a change
  int mid_committed = 0;           // ... that had already reached the disk
  int in_backup = 0;               // killed after an operation began, before it changed anything
  int unbacked = 0;                // an operation changed the hives without a saved backup
  int unrestored = 0;              // a saved backup did not bring the hives back
  int broken_backups = 0;          // a backup file that is not a whole ".reg" file
  std::vector<uint64_t> finished;  // changes finished per kill
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (next == nullptr) return false;
    if (arg == "--kills")
      options->kills = std::atoi(next);
    else if (arg == "--max-delay-ms")
      options->max_delay_ms = std::atoi(next);
    else if (arg == "--fresh-every")
      options->fresh_every = std::atoi(next);
    else if (arg == "--seed")
      options->seed = std::strtoull(next, nullptr, 10);
    else if (arg == "--dir")
      options->dir = next;
    else
      return false;
    ++i;
  }
  return options->kills > 0 && options->max_delay_ms > 0 && options->fresh_every > 0;
}

[[noreturn]] void RunChild(const HiveLocations& files, uint64_t seed, Progress* progress) {
  std::string err;
  auto hives = StandInRegistry::OpenFiles(files, true, &err);
  if (!hives) {
    std::fprintf(stderr, "child: %s\n", err.c_str());
    _exit(3);
  }
  CountingRegistry registry(hives.get(), hives.get());
  registry.before = [progress](uint64_t change) {
    progress->begun.store(change);
    return true;
  };
  registry.after = [progress](uint64_t change) { progress->ended.store(change); };
  std::unique_ptr<BackupFolder> folder = OpenBackupFolder(files.user);
  WorkloadBackups backups;
  backups.backups = folder.get();
  backups.on_operation = [progress](uint64_t op, uint64_t changes) {
    progress->op_changes.store(changes);
    progress->op.store(op);
  };
  backups.on_saved = [progress](uint64_t op, const std::string& file) {
    std::snprintf(progress->saved_file, sizeof progress->saved_file, "%s", file.c_str());
    progress->saved_op.store(op);
  };
  RunApplyWorkload(seed, registry, backups);
  _exit(0);
}

// The registrations of `before` after the first `changes` changes of run `seed`.
bool ModelAfter(const HiveSnapshot& before, uint64_t seed, uint64_t changes, HiveSnapshot* after,
                std::string* err) {
  auto model = RegistryFromSnapshot(before, err);
  if (!model) return false;
  if (changes > 0) {
    CountingRegistry registry(model.get(), model.get());
    registry.before = [changes](uint64_t change) { return change <= changes; };
    RunApplyWorkload(seed, registry);
  }
  return TakeSnapshot(*model, after, err);
}

// Whether every backup in `folder` is a whole ".reg" file; names the first that is not.
bool BackupsAreWhole(const std::string& folder, std::string* err) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() != ".reg") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<RegEdit> edits;
    std::string why;
    // A whole file ends with the line end after its last line.
    if (!ParseRegFile(bytes, &edits, &why) || !bytes.ends_with(std::string("\r\0\n\0", 4))) {
      *err = entry.path().string() + ": " + (why.empty() ? "cut short" : why);
      return false;
    }
  }
  return true;
}

// The hives `actual` with the backup `file` imported, as the registry editor would.
bool Restored(const HiveSnapshot& actual, const std::string& file, HiveSnapshot* restored,
              std::string* err) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    *err = file + ": missing";
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<RegEdit> edits;
  auto registry = RegistryFromSnapshot(actual, err);
  return registry && ParseRegFile(bytes, &edits, err) && registry->Apply(edits, err) &&
         TakeSnapshot(*registry, restored, err);
}

int Run(const Options& options) {
  namespace fs = std::filesystem;
  std::string dir = options.dir;
  if (dir.empty()) {
    std::string pattern = fs::temp_directory_path() / "tarnwick-crash-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return 2;
    dir = pattern;
  }
  const HiveLocations files{dir + "/user.hive", dir + "/machine.hive"};
  auto* progress = static_cast<Progress*>(
      mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  if (progress == MAP_FAILED) return 2;

  std::mt19937_64 random(options.seed);
  std::uniform_int_distribution<int> delay_us(0, options.max_delay_ms * 1000);
  Tally tally;
  HiveSnapshot state;  // what the hives hold before the next child starts
  for (int kill_number = 0; kill_number < options.kills; ++kill_number) {
    if (kill_number % options.fresh_every == 0) {
      for (const std::string& hive : {files.user, files.machine}) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(hive + suffix);
      }
      fs::remove_all(BackupFolderBeside(files.user));
      state = HiveSnapshot();
    }
    const uint64_t run_seed = options.seed * 1000003 + static_cast<uint64_t>(kill_number);
    progress->begun.store(0);
    progress->ended.store(0);
    progress->op.store(0);
    progress->op_changes.store(0);
    progress->saved_op.store(0);
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) RunChild(files, run_seed, progress);
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
      std::fprintf(stderr, "kill %d: the child ended by itself (status %d)\n", kill_number, status);
      return 2;
    }
    ++tally.kills;
    const uint64_t begun = progress->begun.load();
    const uint64_t ended = progress->ended.load();
    tally.finished.push_back(ended);

    std::string verdict = CheckIntegrity(files.user);
    if (verdict == "ok") verdict = CheckIntegrity(files.machine);
    std::string err;
    auto hives = verdict == "ok" ? StandInRegistry::OpenFiles(files, true, &err) : nullptr;
    HiveSnapshot actual;
    if (verdict == "ok" && (!hives || !TakeSnapshot(*hives, &actual, &err))) verdict = err;
    hives.reset();
    if (verdict != "ok") {
      ++tally.corrupt;
      std::fprintf(stderr, "kill %d: corrupt hive: %s\n", kill_number, verdict.c_str());
      return 1;  // nothing after this can be compared
    }

    // The hives must hold the state after every finished change, or after the one in flight.
    HiveSnapshot without, with;
    if (!ModelAfter(state, run_seed, ended, &without, &err) ||
        (begun != ended && !ModelAfter(state, run_seed, begun, &with, &err))) {
      std::fprintf(stderr, "kill %d: model: %s\n", kill_number, err.c_str());
      return 2;
    }
    if (begun != ended) ++tally.mid_change;
    if (actual.text == without.text) {
      // Sound: the change in flight, if any, never reached the disk.
    } else if (begun != ended && actual.text == with.text) {
      ++tally.mid_committed;
    } else {
      ++tally.torn;
      std::fprintf(stderr, "kill %d: torn after change %llu of %llu: %s\n", kill_number,
                   static_cast<unsigned long long>(ended), static_cast<unsigned long long>(begun),
                   FirstDifference(without.text, actual.text).c_str());
    }

    // Backups: whole files only, and none missing for the operation in flight.
    if (!BackupsAreWhole(BackupFolderBeside(files.user), &err)) {
      ++tally.broken_backups;
      std::fprintf(stderr, "kill %d: %s\n", kill_number, err.c_str());
    }
    if (const uint64_t op = progress->op.load(); op > 0) {
      const uint64_t op_changes = progress->op_changes.load();
      HiveSnapshot before_op;
      if (!ModelAfter(state, run_seed, op_changes, &before_op, &err)) {
        std::fprintf(stderr, "kill %d: model: %s\n", kill_number, err.c_str());
        return 2;
      }
      if (ended == op_changes) ++tally.in_backup;
      HiveSnapshot restored;
      if (progress->saved_op.load() != op) {
        if (actual.text != before_op.text) {
          ++tally.unbacked;
          std::fprintf(stderr, "kill %d: operation %llu changed the hives without a backup\n",
                       kill_number, static_cast<unsigned long long>(op));
        }
      } else if (!Restored(actual, progress->saved_file, &restored, &err) ||
                 restored.text != before_op.text) {
        ++tally.unrestored;
        std::fprintf(
            stderr, "kill %d: the backup of operation %llu does not restore: %s\n", kill_number,
            static_cast<unsigned long long>(op),
            err.empty() ? FirstDifference(before_op.text, restored.text).c_str() : err.c_str());
      }
    }
    state = std::move(actual);
  }

  std::vector<uint64_t> sorted = tally.finished;
  std::sort(sorted.begin(), sorted.end());
  std::printf(
      "kills: %d\ncorrupt hives: %d\ntorn writes: %d\nkilled inside a change: %d (%d of them "
      "already committed)\nkilled between an operation's start and its first change (its "
      "backup): %d\nchanges without a saved backup: %d\nbackups that did not restore: %d\n"
      "backup files not whole: %d\n"
      "changes finished before a kill: min %llu, median %llu, max %llu\n",
      tally.kills, tally.corrupt, tally.torn, tally.mid_change, tally.mid_committed,
      tally.in_backup, tally.unbacked, tally.unrestored, tally.broken_backups,
      static_cast<unsigned long long>(sorted.front()),
      static_cast<unsigned long long>(sorted[sorted.size() / 2]),
      static_cast<unsigned long long>(sorted.back()));
  if (options.dir.empty()) fs::remove_all(dir);
  return tally.corrupt == 0 && tally.torn == 0 && tally.unbacked == 0 && tally.unrestored == 0 &&
                 tally.broken_backups == 0
             ? 0
             : 1;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  tarnwick::Options options;
  if (!tarnwick::ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: %s [--kills N] [--max-delay-ms MS] [--fresh-every N] [--seed S] "
                 "[--dir DIR]\n",
                 argv[0]);
    return 2;
  }
  return tarnwick::Run(options);
}
