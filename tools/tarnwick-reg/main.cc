// tarnwick-reg: inspect and seed the stand-in registry hives from the command line.
#include <iostream>

#include "standin/hive_locations.h"
#include "tools/tarnwick-reg/reg_tool.h"

int main(int argc, char** argv) {
  using namespace tarnwick;
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto open = [](std::string* err) {
    const HiveLocations where = DefaultHiveLocations();
    return StandInRegistry::OpenFiles(where, MayWriteMachineHive(where.machine), err);
  };
  return RunRegTool(args, open, {std::cin, std::cout, std::cerr});
}
