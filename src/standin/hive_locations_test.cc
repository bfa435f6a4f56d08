#include "standin/hive_locations.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tarnwick {
namespace {

GetEnvFunction Env(std::map<std::string, std::string> vars) {
  return [vars = std::move(vars)](const char* name) -> const char* {
    auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  };
}

TEST(HiveLocationsTest, DefaultsFollowXdgDataHome) {
  HiveLocations where = HiveLocationsFrom(Env({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/d"}}));
  EXPECT_EQ("/d/tarnwick/user.hive", where.user);
  EXPECT_EQ("/var/lib/tarnwick/machine.hive", where.machine);
}

TEST(HiveLocationsTest, FallsBackToHomeWhenXdgDataHomeIsUnsetOrRelative) {
  EXPECT_EQ("/home/ann/.local/share/tarnwick/user.hive",
            HiveLocationsFrom(Env({{"HOME", "/home/ann"}})).user);
  EXPECT_EQ("/home/ann/.local/share/tarnwick/user.hive",
            HiveLocationsFrom(Env({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "rel/dir"}})).user);
}

TEST(HiveLocationsTest, VariablesNameOtherFiles) {
  HiveLocations where = HiveLocationsFrom(Env({{"HOME", "/home/ann"},
                                               {"TARNWICK_USER_HIVE", "/tmp/u.db"},
                                               {"TARNWICK_MACHINE_HIVE", "/tmp/m.db"}}));
  EXPECT_EQ("/tmp/u.db", where.user);
  EXPECT_EQ("/tmp/m.db", where.machine);
  // An empty variable counts as unset.
  EXPECT_EQ("/var/lib/tarnwick/machine.hive",
            HiveLocationsFrom(Env({{"HOME", "/h"}, {"TARNWICK_MACHINE_HIVE", ""}})).machine);
}

}  // namespace
}  // namespace tarnwick
