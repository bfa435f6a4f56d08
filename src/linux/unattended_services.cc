#include "linux/unattended_services.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>
#include <vector>

#include "freedesktop/xdg_paths.h"
#include "linux/backup_disk.h"
#include "linux/desktop_store.h"
#include "linux/linux_services.h"
#include "linux/store_choice.h"
#include "shell/platform.h"
#include "shell/run_log.h"
#include "shell/unattended.h"
#include "standin/hive_locations.h"
#include "standin/reg_import.h"
#include "standin/standin_registry.h"

namespace tarnwick {

void PosixConsole::WriteLine(Stream stream, std::string_view text) {
  WriteAll(stream == Stream::kOutput ? STDOUT_FILENO : STDERR_FILENO, std::string(text) + "\n");
}

std::string PosixWorkstation::ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string PosixWorkstation::UserName() {
  if (const passwd* account = getpwuid(geteuid())) return account->pw_name;
  const char* user = std::getenv("USER");
  return user != nullptr ? user : "";
}

ZonedTime PosixWorkstation::Now() {
  const time_t now = time(nullptr);
  struct tm local = {};
  localtime_r(&now, &local);
  return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
           local.tm_sec},
          static_cast<int>(local.tm_gmtoff / 60)};
}

bool PosixLogFiles::Append(const std::string& path, std::string_view line, std::string* err) {
  timespec start = {};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const auto elapsed_ms = [&start] {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1'000'000;
  };
  // Without O_NONBLOCK, a FIFO with no reader would keep the open waiting for ever; a regular
  // file ignores the flag.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    *err = ErrnoText(errno);
    return false;
  }
  // One write, which the kernel appends whole. Over NFS an append is not atomic, so the writers
  // also take turns by a lock on one byte far beyond any end, which no reader ever meets.
  struct flock turn = {};
  turn.l_type = F_WRLCK;
  turn.l_whence = SEEK_SET;
  turn.l_start = off_t{1} << 62;
  turn.l_len = 1;
  while (fcntl(fd, F_SETLK, &turn) != 0) {
    if (errno != EINTR && errno != EACCES && errno != EAGAIN) break;  // no locks here
    if (elapsed_ms() >= deadline_ms_) {
      close(fd);
      *err = LogHeldText(deadline_ms_);
      return false;
    }
    const timespec pause = {0, 20'000'000};
    nanosleep(&pause, nullptr);
  }
  const bool ok = WriteAll(fd, std::string(line) + "\n");
  return CloseAfterWrites(fd, ok, err);
}

bool IsFullPath(const std::string& path) {
  // "C:b.exe" is relative to the drive's current folder on Windows: not full here either.
  const bool drive =
      path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  const std::string_view rest = std::string_view(path).substr(drive ? 2 : 0);
  return rest.starts_with('/') || rest.starts_with('\\');
}

namespace {

// Qt's own command-line options, which QGuiApplication and QApplication take with one dash or
// two, and whether the next argument is the option's value (else only "--name=value" gives one).
struct QtOptionRow {
  const char* name;
  bool takes_value;
};

// clang-format off
constexpr QtOptionRow kQtOptions[] = {
  {"platform", true},
  {"platformpluginpath", true},
  {"platformtheme", true},
  {"plugin", true},
  {"qwindowgeometry", true},
  {"geometry", true},
  {"qwindowtitle", true},
  {"title", true},
  {"qwindowicon", true},
  {"icon", true},
  {"display", true},
  {"name", true},
  {"session", true},
  {"style", true},
  {"stylesheet", true},
  {"reverse", false},
  {"widgetcount", false},
  {"qmljsdebugger", false},
  {"testability", false},
  {"nograb", false},
  {"dograb", false},
  {"sync", false},
};
// clang-format on

// The row of `arg` ("-style", "--style=Fusion"); null when it is none of Qt's options.
const QtOptionRow* FindQtOption(std::string_view arg) {
  if (!arg.starts_with('-')) return nullptr;
  arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
  arg = arg.substr(0, arg.find('='));
  for (const QtOptionRow& row : kQtOptions) {
    if (arg == row.name) return &row;
  }
  return nullptr;
}

}  // namespace

bool IsCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (const QtOptionRow* qt = FindQtOption(arg)) {
      if (qt->takes_value && arg.find('=') == std::string_view::npos) ++i;
      continue;
    }
    if (arg.starts_with("--")) return true;
  }
  return false;
}

int RunCommandLine(int argc, char** argv, bool standin) {
  // A reader that stops early (`tarnwick --list | head -1`) must not end the run half done.
  signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  PosixConsole console;
  PosixWorkstation workstation;
  PosixLogFiles logs;
  UnattendedPlatform host{.console = &console,
                          .workstation = &workstation,
                          .logs = &logs,
                          .is_full_path = IsFullPath,
                          .spelling = Spelling::kLinux,
                          .presets = {},
                          .program = "tarnwick",
                          .unavailable = {}};

  if (!standin) {
    const freedesktop::XdgPaths paths = freedesktop::XdgPaths::FromEnvironment(GetEnv);
    std::unique_ptr<BackupFolder> backups = OpenDesktopBackupFolder(paths);
    DesktopStore store(paths, backups.get(), DesktopOnceFile(paths));
    for (int preset = 1; preset <= kPresetCount; ++preset) {
      host.presets.push_back(store.PresetCaption(preset));
    }
    ProcessEnvironment environment;
    const Platform platform{.environment = &environment, .backups = backups.get(), .store = &store};
    return RunUnattended(args, platform, host);
  }

  const HiveLocations hives = DefaultHiveLocations();
  std::unique_ptr<StandInRegistry> registry =
      StandInRegistry::OpenFiles(hives, MayWriteMachineHive(hives.machine), &host.unavailable);
  if (!registry) {
    // Help still works, and everything else says why it cannot.
    return RunUnattended(args, Platform{}, host);
  }
  StandInImporter importer(*registry);
  host.importer = &importer;
  StandInVersionProvider version(*registry);
  ProcessEnvironment environment;
  // The dialog object is never made without the window.
  StandInAutomation automation(*registry, {});
  std::unique_ptr<BackupFolder> backups = OpenBackupFolder(hives.user);
  const Platform platform{.registry = registry.get(),
                          .automation = &automation,
                          .version = &version,
                          .environment = &environment,
                          .backups = backups.get()};
  return RunUnattended(args, platform, host);
}

}  // namespace tarnwick
