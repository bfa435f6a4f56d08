// Where the stand-in hives live on this machine, and who may write the machine hive.
#ifndef TARNWICK_STANDIN_HIVE_LOCATIONS_H_
#define TARNWICK_STANDIN_HIVE_LOCATIONS_H_

#include <functional>
#include <string>

#include "standin/standin_registry.h"

namespace tarnwick {

/// Reads one environment variable: null when it is not set.
using GetEnvFunction = std::function<const char*(const char* name)>;

/// The hive files named by the environment, read through `getenv`:
/// - user: TARNWICK_USER_HIVE when set and not empty, else "$XDG_DATA_HOME/tarnwick/user.hive"
///   when XDG_DATA_HOME is an absolute path, else "$HOME/.local/share/tarnwick/user.hive"
///   (the home folder from the password database when HOME is not set);
/// - machine: TARNWICK_MACHINE_HIVE when set and not empty, else
///   "/var/lib/tarnwick/machine.hive".
HiveLocations HiveLocationsFrom(const GetEnvFunction& getenv);

/// HiveLocationsFrom the process environment.
HiveLocations DefaultHiveLocations();

/// Whether this process counts as an administrator for the machine hive at `path`: it runs as
/// root, or it may write the file and its folder, or (when the file does not exist yet) it may
/// create the file in the nearest existing folder on its way.
bool MayWriteMachineHive(const std::string& path);

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_HIVE_LOCATIONS_H_
