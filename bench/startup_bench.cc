// Start-up benchmark: runs the program from process start to its first painted window
// (offscreen, ended by its first-paint probe) beside a bare Qt window of the same size,
// alternately, and reports the medians of wall time, processor time and peak resident memory,
// and their ratios. On a busy machine the processor time is the steadier measure of the work.
// The platform is Qt's offscreen one unless QT_QPA_PLATFORM names another (xcb, say).
// The program starts over hives that hold a preset apply, as a user's would.
//
//   tarnwick-startup-bench TARNWICK BARE_WINDOW [RUNS]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "registry/browser_profile.h"
#include "registry/registry_writer.h"
#include "selection/preset_apply.h"
#include "selection/selection_context.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

struct Sample {
  double ms = 0;      // wall time from start to the first painted window
  double cpu_ms = 0;  // processor time of the whole run (user and system)
  long rss_kb = 0;
  std::string line;
};

// Starts `argv`, waits for its first line on standard output and then for its end.
bool RunOnce(const std::vector<std::string>& argv, Sample* sample) {
  int out[2];
  if (pipe(out) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  sample->line.clear();
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') sample->line += c;
  sample->ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  close(out[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  sample->rss_kb = usage.ru_maxrss;
  sample->cpu_ms = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && sample->line.rfind("painted ", 0) == 0;
}

class Env final : public Environment {
 public:
  std::string Get(const std::string&) override { return "C:\\Program Files"; }
};
class Exists final : public FileSystemObject {
 public:
  bool FileExists(const std::string&) override { return true; }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

int Run(const std::string& program, const std::string& bare, int runs) {
  namespace fs = std::filesystem;
  std::string dir = fs::temp_directory_path() / "tarnwick-startup-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) return 2;
  const HiveLocations files{dir + "/user.hive", dir + "/machine.hive"};
  {
    std::string err;
    auto hives = StandInRegistry::OpenFiles(files, true, &err);
    if (!hives) {
      std::fprintf(stderr, "%s\n", err.c_str());
      return 2;
    }
    BrowserProfile profile;
    RegistryWriter writer(hives.get());
    Env env;
    Exists fso;
    SelectionContext ctx{.profile = &profile,
                         .writer = &writer,
                         .registry = hives.get(),
                         .fso = &fso,
                         .environment = &env,
                         .dialog = nullptr,
                         .before_change = {}};
    std::array<bool, kPresetCount> options{};
    options[0] = true;  // GreenBrowser: generic set, per-user and machine-wide client
    PresetApply(ctx, options);
  }
  setenv("TARNWICK_USER_HIVE", files.user.c_str(), 1);
  setenv("TARNWICK_MACHINE_HIVE", files.machine.c_str(), 1);
  setenv("TARNWICK_FIRST_PAINT", "1", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // unless another platform is asked for
  if (getenv("XDG_RUNTIME_DIR") == nullptr) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

  Sample first;
  if (!RunOnce({program}, &first)) {
    std::fprintf(stderr, "%s did not paint a window: '%s'\n", program.c_str(), first.line.c_str());
    return 2;
  }
  // "painted WIDTHxHEIGHT TITLE: ..."
  const std::string size = first.line.substr(8, first.line.find(' ', 8) - 8);
  const std::string width = size.substr(0, size.find('x'));
  const std::string height = size.substr(size.find('x') + 1);

  struct Pair {
    const char* label;              // what is compared with the bare window
    std::vector<std::string> argv;  // how to start it
  };
  const Pair pairs[] = {
      {"tarnwick", {program}},
      {"window with one label", {bare, width, height, "label"}},
      {"window with a label and a frame", {bare, width, height, "frame"}},
  };
  std::printf(
      "window: %sx%s, platform %s, %d runs of each, medians; targets for tarnwick: "
      "time <= 1.30, peak RSS <= 1.20\n",
      width.c_str(), height.c_str(), getenv("QT_QPA_PLATFORM"), runs);
  for (const Pair& pair : pairs) {
    std::vector<double> ms, bare_ms, cpu, bare_cpu, rss, bare_rss;
    for (int i = -3; i < runs; ++i) {  // three rounds to warm the caches first
      Sample a, b;
      if (!RunOnce(pair.argv, &a) || !RunOnce({bare, width, height}, &b)) {
        std::fprintf(stderr, "a run failed: '%s' '%s'\n", a.line.c_str(), b.line.c_str());
        return 2;
      }
      if (i < 0) continue;
      ms.push_back(a.ms);
      bare_ms.push_back(b.ms);
      cpu.push_back(a.cpu_ms);
      bare_cpu.push_back(b.cpu_ms);
      rss.push_back(static_cast<double>(a.rss_kb));
      bare_rss.push_back(static_cast<double>(b.rss_kb));
    }
    const double m = Median(ms), bm = Median(bare_ms), c = Median(cpu), bc = Median(bare_cpu);
    const double r = Median(rss), br = Median(bare_rss);
    std::printf("%s against the bare window:\n", pair.label);
    std::printf("  time to first paint %6.1f ms against %6.1f ms, ratio %.2f\n", m, bm, m / bm);
    std::printf("  processor time      %6.1f ms against %6.1f ms, ratio %.2f\n", c, bc, c / bc);
    std::printf("  peak RSS            %6.0f KiB against %6.0f KiB, ratio %.2f\n", r, br, r / br);
  }
  fs::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TARNWICK BARE_WINDOW [RUNS]\n", argv[0]);
    return 2;
  }
  return tarnwick::Run(argv[1], argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 30);
}
