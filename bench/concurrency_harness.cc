// Concurrency harness: several processes write to the same two on-disk hives at once for a
// while, mixing their own values under shared keys, overwrites of one value each, whole custom
// applies (which delete and rewrite the per-user classes) and reads of their own writes.
// Afterwards every write that reported success must be in the hives.
//
//   tarnwick-concurrency-harness [--processes N] [--seconds S] [--dir DIR]
//
// Exit status 0 when nothing was lost and no write failed, 1 otherwise, 2 for a setup error.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "registry/browser_profile.h"
#include "registry/registry_reader.h"
#include "registry/registry_writer.h"
#include "selection/custom_apply.h"
#include "selection/selection_context.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

constexpr int kSharedKeys = 16;

struct Options {
  int processes = 4;
  double seconds = 10;
  std::string dir;
};

// The writes of worker `worker`, numbered from 0: where they go and what they hold.
std::string OwnValuePath(int worker, long i) {
  return "HKCU\\Software\\Tarnwick Harness\\Shared " + std::to_string(i % kSharedKeys) + "\\w" +
         std::to_string(worker) + "." + std::to_string(i);
}
std::string OwnValueData(int worker, long i) {
  return std::to_string(worker) + ":" + std::to_string(i);
}
std::string CounterPath(int worker) {
  return "HKLM\\Software\\Tarnwick Harness\\Worker " + std::to_string(worker) + "\\Last";
}

class NoEnvironment final : public Environment {
 public:
  std::string Get(const std::string&) override { return "C:\\Program Files"; }
};

// The custom applies' changes, passed on to the hives, with each failure put in the report
// (a missing key is no failure for a deletion).
class ReportingRoute final : public RegistryWriteRoute, public ForwardingRegistry {
 public:
  ReportingRoute(StandInRegistry* inner, std::ofstream* report)
      : ForwardingRegistry(inner), inner_(inner), report_(report) {}
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override {
    ++writes;
    const bool ok = inner_->RegWrite(path, value, type, err);
    if (!ok) *report_ << "fail apply " << *err << "\n";
    return ok;
  }
  long DeleteKeyTree(Hive hive, const std::string& path) override {
    const long status = ForwardingRegistry::DeleteKeyTree(hive, path);
    if (status != kErrorSuccess && status != kErrorFileNotFound) {
      *report_ << "fail apply DeleteKeyTree(" << path << "): error " << status << "\n";
    }
    return status;
  }

  long writes = 0;

 private:
  StandInRegistry* inner_;
  std::ofstream* report_;
};

// Runs in the child. Writes its report: one line per failure ("fail i message"), then
// "done writes last_counter apply_writes read_mismatches".
[[noreturn]] void RunWorker(int worker, const HiveLocations& files,
                            std::chrono::steady_clock::time_point deadline,
                            const std::string& report_path) {
  std::ofstream report(report_path);
  std::string err;
  auto hives = StandInRegistry::OpenFiles(files, true, &err);
  if (!hives) {
    report << "fail -1 " << err << "\n";
    _exit(1);
  }
  BrowserProfile profile;
  ReportingRoute reporting(hives.get(), &report);
  RegistryWriter writer(&reporting);
  NoEnvironment environment;
  SelectionContext ctx{.profile = &profile,
                       .writer = &writer,
                       .registry = &reporting,
                       .fso = nullptr,
                       .environment = &environment,
                       .dialog = nullptr,
                       .before_change = {}};

  long i = 0, last_counter = -1, read_mismatches = 0;
  for (; std::chrono::steady_clock::now() < deadline; ++i) {
    if (!hives->RegWrite(OwnValuePath(worker, i), OwnValueData(worker, i), "REG_SZ", &err)) {
      report << "fail " << i << " " << err << "\n";
    } else if (i % 8 == 0) {
      // A fresh read sees the write at once, however busy the others are.
      const std::string path = OwnValuePath(worker, i).substr(5);
      const size_t slash = path.rfind('\\');
      if (AsText(ReadRegistryValue(*hives, Hive::kCurrentUser, path.substr(0, slash),
                                   path.substr(slash + 1))) != OwnValueData(worker, i)) {
        ++read_mismatches;
      }
    }
    if (i % 4 == 0) {
      if (hives->RegWrite(CounterPath(worker), std::to_string(i), "REG_DWORD", &err)) {
        last_counter = i;
      } else {
        report << "fail " << i << " " << err << "\n";
      }
    }
    if (i % 32 == 31) {
      CustomApply(ctx, "C:\\Browsers\\worker " + std::to_string(worker) + "\\browser.exe");
    }
  }
  report << "done " << i << " " << last_counter << " " << reporting.writes << " " << read_mismatches
         << "\n";
  report.close();
  _exit(0);
}

int Run(const Options& options) {
  namespace fs = std::filesystem;
  std::string dir = options.dir;
  if (dir.empty()) {
    std::string pattern = fs::temp_directory_path() / "tarnwick-concurrency-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return 2;
    dir = pattern;
  }
  const HiveLocations files{dir + "/user.hive", dir + "/machine.hive"};
  for (const std::string& hive : {files.user, files.machine}) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(hive + suffix);
  }

  // Every worker starts on missing hive files, so that they also race to create them.
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long>(options.seconds * 1000));
  std::vector<pid_t> children;
  for (int worker = 0; worker < options.processes; ++worker) {
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) RunWorker(worker, files, deadline, dir + "/worker" + std::to_string(worker));
    children.push_back(child);
  }
  int crashed = 0;
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++crashed;
  }

  std::string err;
  auto hives = StandInRegistry::OpenFiles(files, true, &err);
  if (!hives) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  long writes = 0, failures = 0, busy_failures = 0, lost = 0, applies = 0, read_mismatches = 0;
  for (int worker = 0; worker < options.processes; ++worker) {
    std::ifstream report(dir + "/worker" + std::to_string(worker));
    std::map<long, std::string> failed;
    long done = -1, last_counter = -1, apply_writes = 0, worker_mismatches = 0;
    for (std::string line; std::getline(report, line);) {
      std::istringstream in(line);
      std::string word;
      in >> word;
      if (word == "fail") {
        std::string which;
        in >> which;
        const long i = which == "apply" ? -1 : std::atol(which.c_str());
        std::string message;
        std::getline(in, message);
        failed[i] = message;
        ++failures;
        if (message.find("locked") != std::string::npos ||
            message.find("busy") != std::string::npos) {
          ++busy_failures;
        }
        std::fprintf(stderr, "worker %d, write %ld failed:%s\n", worker, i, message.c_str());
      } else if (word == "done") {
        in >> done >> last_counter >> apply_writes >> worker_mismatches;
      }
    }
    if (done < 0) {
      std::fprintf(stderr, "worker %d did not finish\n", worker);
      ++crashed;
      continue;
    }
    writes += done + (done + 3) / 4 + apply_writes;
    applies += apply_writes;
    read_mismatches += worker_mismatches;
    for (long i = 0; i < done; ++i) {
      if (failed.count(i)) continue;
      const std::string path = OwnValuePath(worker, i).substr(5);
      const size_t slash = path.rfind('\\');
      if (AsText(ReadRegistryValue(*hives, Hive::kCurrentUser, path.substr(0, slash),
                                   path.substr(slash + 1))) != OwnValueData(worker, i)) {
        ++lost;
        std::fprintf(stderr, "worker %d, write %ld is missing\n", worker, i);
      }
    }
    const std::string counter = CounterPath(worker).substr(5);
    const RegistryValue last = ReadRegistryValue(*hives, Hive::kLocalMachine,
                                                 counter.substr(0, counter.rfind('\\')), "Last");
    if (last_counter >= 0 && last != RegistryValue(static_cast<int32_t>(last_counter))) {
      ++lost;
      std::fprintf(stderr, "worker %d: the last counter %ld is missing\n", worker, last_counter);
    }
  }
  std::printf(
      "processes: %d\nseconds: %g\nwrites: %ld (%ld of them by custom applies)\nfailed writes: "
      "%ld (busy: %ld)\nlost writes: %ld\nstale reads of own writes: %ld\ncrashed workers: %d\n",
      options.processes, options.seconds, writes, applies, failures, busy_failures, lost,
      read_mismatches, crashed);
  if (options.dir.empty()) fs::remove_all(dir);
  return failures == 0 && lost == 0 && read_mismatches == 0 && crashed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  tarnwick::Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--processes")
      options.processes = std::atoi(argv[i + 1]);
    else if (arg == "--seconds")
      options.seconds = std::atof(argv[i + 1]);
    else if (arg == "--dir")
      options.dir = argv[i + 1];
    else
      argc = 0;
  }
  if (argc % 2 == 0 || options.processes < 1 || options.seconds <= 0) {
    std::fprintf(stderr, "usage: %s [--processes N] [--seconds S] [--dir DIR]\n", argv[0]);
    return 2;
  }
  return tarnwick::Run(options);
}
