#include "registry/current_default.h"

#include "registry/registry_reader.h"
#include "text/text.h"

namespace tarnwick {
namespace {

constexpr char kClients[] = R"(SOFTWARE\Clients\StartMenuInternet)";
constexpr char kHttpVerbs[] = R"(SOFTWARE\Classes\http\Shell)";

// The program that the current user's own default verb of http runs; empty when the user has
// no such verb or its command names no program.
std::string PerUserWebProgram(Registry& registry) {
  // The shell takes the first verb of a comma-separated list as the default.
  std::string verb =
      UpToNul(AsText(ReadRegistryValue(registry, Hive::kCurrentUser, kHttpVerbs, "")));
  verb = TrimSpaces(verb.substr(0, verb.find(',')));
  if (verb.empty() || verb.find('\\') != std::string::npos) return {};
  const std::string command = UpToNul(AsText(ReadRegistryValue(
      registry, Hive::kCurrentUser, std::string(kHttpVerbs) + "\\" + verb + "\\Command", "")));
  return ProgramOfCommand(command);
}

}  // namespace

DefaultBrowserDisplay QueryCurrentDefaultBrowser(Registry& registry,
                                                 const ProgramDescriber& describe) {
  std::string client = AsText(ReadRegistryValue(registry, Hive::kCurrentUser, kClients, ""));
  if (IsBlank(client)) {
    // Without a per-user client the Start menu says nothing about this user, but a verb of
    // the user's own on http still decides which program opens the web links.
    if (const std::string program = PerUserWebProgram(registry); !program.empty()) {
      std::string name = describe ? UpToNul(describe(program)) : std::string();
      if (IsBlank(name)) name = FileNameOf(program);
      if (!IsBlank(name)) return {name + kCurrentDefaultSuffix, true};
    }
    client = AsText(ReadRegistryValue(registry, Hive::kLocalMachine, kClients, ""));
  }

  std::string name;
  if (!IsBlank(client)) {
    // The client key is always looked up machine-wide, with the name exactly as stored up to
    // its first NUL, where the registry's own functions end a key path.
    const std::string client_key = std::string(kClients) + "\\" + UpToNul(client);
    name = AsText(ReadRegistryValue(registry, Hive::kLocalMachine, client_key, ""));
    if (IsBlank(name)) {
      name =
          AsText(ReadRegistryValue(registry, Hive::kLocalMachine, client_key, "LocalizedString"));
    }
  }
  name = UpToNul(name);

  // An "@" marks an indirect resource reference, which cannot be shown as a name.
  if (IsBlank(name) || name.find('@') != std::string::npos) return {};
  return {name + kCurrentDefaultSuffix, true};
}

std::string BrowserNameOfLine(const std::string& caption) {
  const std::string_view suffix = kCurrentDefaultSuffix;
  return caption.ends_with(suffix) ? caption.substr(0, caption.size() - suffix.size()) : caption;
}

std::string ProgramOfCommand(const std::string& command) {
  const size_t start = command.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  if (command[start] == '"') {
    const size_t end = command.find('"', start + 1);
    return TrimSpaces(command.substr(start + 1, end == std::string::npos ? end : end - start - 1));
  }
  // Unquoted, a path with blanks still ends at its ".exe": that is the file Windows finally
  // runs after trying the shorter names.
  std::string lower = command;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (size_t exe = lower.find(".exe", start); exe != std::string::npos;
       exe = lower.find(".exe", exe + 1)) {
    const size_t after = exe + 4;
    if (after == lower.size() || lower[after] == ' ' || lower[after] == '\t') {
      return command.substr(start, after - start);
    }
  }
  return command.substr(start, command.find_first_of(" \t", start) - start);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tarnwick
