#include "standin/hive_locations.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarnwick {
namespace {

std::string NonEmpty(const char* s) { return s != nullptr ? s : ""; }

bool Writable(const std::filesystem::path& path) {
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

HiveLocations HiveLocationsFrom(const GetEnvFunction& getenv) {
  HiveLocations where;
  where.user = NonEmpty(getenv("TARNWICK_USER_HIVE"));
  if (where.user.empty()) {
    std::string data_home = NonEmpty(getenv("XDG_DATA_HOME"));
    // Relative values are invalid by the base-directory rules and must be ignored.
    if (data_home.empty() || data_home[0] != '/') {
      std::string home = NonEmpty(getenv("HOME"));
      if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw != nullptr) home = NonEmpty(pw->pw_dir);
      }
      data_home = home + "/.local/share";
    }
    where.user = data_home + "/tarnwick/user.hive";
  }
  where.machine = NonEmpty(getenv("TARNWICK_MACHINE_HIVE"));
  if (where.machine.empty()) where.machine = "/var/lib/tarnwick/machine.hive";
  return where;
}

HiveLocations DefaultHiveLocations() {
  return HiveLocationsFrom([](const char* name) { return std::getenv(name); });
}

bool MayWriteMachineHive(const std::string& path) {
  if (geteuid() == 0) return true;
  std::filesystem::path file = std::filesystem::absolute(path);
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    // SQLite also writes the -wal and -shm files beside the hive.
    return Writable(file) && Writable(file.parent_path());
  }
  for (std::filesystem::path folder = file.parent_path();; folder = folder.parent_path()) {
    if (std::filesystem::exists(folder, ec)) return Writable(folder);
    if (folder == folder.root_path() || folder.empty()) return false;
  }
}

}  // namespace tarnwick
