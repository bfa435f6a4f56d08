// Start-up benchmark: runs the program from process start to its first painted window
// (offscreen, ended by its first-paint probe) beside a bare Qt window of the same size,
// alternately, and reports the medians of wall time, processor time and peak resident memory,
// and their ratios. On a busy machine the processor time is the steadier measure of the work.
// The platform is Qt's offscreen one unless QT_QPA_PLATFORM names another (xcb, say).
// The program starts as a user starts it, on the desktop: in XDG folders of its own with two
// browsers installed (desktop entries and icons), one of them the default; and, as before, on
// the stand-in registry, over hives that hold a preset apply.
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

// The variables that make the program work on the stand-in registry.
constexpr const char* kStandInVariables[] = {"TARNWICK_USER_HIVE", "TARNWICK_MACHINE_HIVE",
                                             "TARNWICK_STANDIN"};

// Starts `argv` (without the stand-in's variables unless `standin`), waits for its first line
// on standard output and then for its end.
bool RunOnce(const std::vector<std::string>& argv, Sample* sample, bool standin = true) {
  int out[2];
  if (pipe(out) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    if (!standin) {
      for (const char* name : kStandInVariables) unsetenv(name);
    }
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

bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// A user's desktop in `dir`: the XDG folders (with two data folders, as Debian has), Firefox ESR
// and Chromium installed with their icons, and Firefox made the default by the program itself.
// Sets the variables for every run that follows.
bool MakeDesktop(const std::string& dir, const std::string& program) {
  namespace fs = std::filesystem;
  const std::string apps = dir + "/usr/share/applications";
  const std::string icons = dir + "/usr/share/icons/hicolor/48x48/apps";
  std::error_code ec;
  for (const std::string& d : {apps, icons, dir + "/usr/local/share", dir + "/etc/xdg",
                               dir + "/home/.config", dir + "/home/.local/share", dir + "/bin"}) {
    fs::create_directories(d, ec);
    if (ec) return false;
  }
  for (const char* id : {"firefox-esr", "chromium"}) {
    const std::string bin = dir + "/bin/" + id;
    if (!WriteFile(bin, "#!/bin/sh\nexit 0\n")) return false;
    fs::permissions(bin, fs::perms::owner_all, ec);
    fs::copy_file(TARNWICK_BROWSER_ICON, icons + "/" + id + ".png", ec);
    if (ec || !WriteFile(apps + "/" + id + ".desktop",
                         std::string("[Desktop Entry]\nType=Application\nName=") + id +
                             "\nExec=" + bin + " %u\nIcon=" + id + "\n")) {
      return false;
    }
  }
  setenv("HOME", (dir + "/home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir + "/home/.config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir + "/home/.local/share").c_str(), 1);
  setenv("XDG_DATA_DIRS", (dir + "/usr/local/share:" + dir + "/usr/share").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", (dir + "/etc/xdg").c_str(), 1);
  setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
  unsetenv("BROWSER");
  for (const char* name : kStandInVariables) unsetenv(name);
  return std::system(("'" + program + "' --set Firefox --quiet").c_str()) == 0;
}

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
  if (!MakeDesktop(dir, program)) {
    std::fprintf(stderr, "the desktop in %s could not be made\n", dir.c_str());
    return 2;
  }
  setenv("TARNWICK_USER_HIVE", files.user.c_str(), 1);
  setenv("TARNWICK_MACHINE_HIVE", files.machine.c_str(), 1);
  setenv("TARNWICK_FIRST_PAINT", "1", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // unless another platform is asked for
  if (getenv("XDG_RUNTIME_DIR") == nullptr) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

  Sample first, standin;
  if (!RunOnce({program}, &first, false) || !RunOnce({program}, &standin) ||
      first.line.find(" for the desktop") == std::string::npos ||
      standin.line.find(" for Windows") == std::string::npos) {
    std::fprintf(stderr, "%s did not paint its windows: '%s' '%s'\n", program.c_str(),
                 first.line.c_str(), standin.line.c_str());
    return 2;
  }
  // "painted WIDTHxHEIGHT TITLE: ..."
  const std::string size = first.line.substr(8, first.line.find(' ', 8) - 8);
  const std::string width = size.substr(0, size.find('x'));
  const std::string height = size.substr(size.find('x') + 1);

  struct Pair {
    const char* label;              // what is compared with the bare window
    std::vector<std::string> argv;  // how to start it
    bool standin = false;           // on the stand-in registry rather than the desktop
  };
  const Pair pairs[] = {
      {"tarnwick on the desktop", {program}},
      {"tarnwick on the stand-in registry", {program}, true},
      {"window with one label", {bare, width, height, "label"}},
      {"window with a label and a frame", {bare, width, height, "frame"}},
  };
  std::printf(
      "window: %sx%s, platform %s, %d runs of each, medians; targets for tarnwick: "
      "time <= 1.30, peak RSS <= 1.20\n",
      width.c_str(), height.c_str(), getenv("QT_QPA_PLATFORM"), runs);
  std::printf("on the desktop: %s\non the stand-in registry: %s\n", first.line.c_str(),
              standin.line.c_str());
  for (const Pair& pair : pairs) {
    std::vector<double> ms, bare_ms, cpu, bare_cpu, rss, bare_rss;
    for (int i = -3; i < runs; ++i) {  // three rounds to warm the caches first
      Sample a, b;
      if (!RunOnce(pair.argv, &a, pair.standin) || !RunOnce({bare, width, height}, &b)) {
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
