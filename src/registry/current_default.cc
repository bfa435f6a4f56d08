#include "registry/current_default.h"

#include "registry/registry_reader.h"
#include "registry/registry_rules.h"

namespace tarnwick {
namespace {

constexpr char kClients[] = R"(SOFTWARE\Clients\StartMenuInternet)";

}  // namespace

DefaultBrowserDisplay QueryCurrentDefaultBrowser(Registry& registry) {
  std::string client = AsText(ReadRegistryValue(registry, Hive::kCurrentUser, kClients, ""));
  if (IsBlank(client)) client = AsText(ReadRegistryValue(registry, Hive::kLocalMachine, kClients, ""));

  std::string name;
  if (!IsBlank(client)) {
    // The client key is always looked up machine-wide, with the name exactly as stored up to
    // its first NUL, where the registry's own functions end a key path.
    const std::string client_key =
        std::string(kClients) + "\\" + client.substr(0, client.find('\0'));
    name = AsText(ReadRegistryValue(registry, Hive::kLocalMachine, client_key, ""));
    if (IsBlank(name)) {
      name = AsText(ReadRegistryValue(registry, Hive::kLocalMachine, client_key, "LocalizedString"));
    }
  }
  if (size_t nul = name.find('\0'); nul != std::string::npos) name.resize(nul);

  // An "@" marks an indirect resource reference, which cannot be shown as a name.
  if (IsBlank(name) || name.find('@') != std::string::npos) return {};
  return {name + " is currently the default browser.", true};
}

}  // namespace tarnwick
