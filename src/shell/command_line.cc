#include "shell/command_line.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "selection/preset_catalogue.h"
#include "text/text.h"

namespace tarnwick {
namespace {

using enum Command;

// clang-format off
constexpr CommandRow kCommands[] = {
  {"/set", "--set", "NAME|PATH", "makes the browser the default, as the window's Apply does", kSet},
  {"/reset", "--reset", nullptr, "removes the per-user settings, as the window's Reset does", kReset},
  {"/query", "--query", nullptr, "prints the name of the current default browser", kQuery},
  {"/check", "--check", "NAME|PATH", "tells whether the browser's settings are all in place", kCheck},
  {"/list", "--list", nullptr, "lists the presets: * the one in place, installed or not", kList},
  {"/undo", "--undo", nullptr, "restores the newest backup, after backing up the present", kUndo},
  {"/?", "--help", nullptr, "prints this text", kHelp},
};

constexpr OptionRow kOptions[] = {
  {"/once", "--once", nullptr, "with /set: no change if the last /set /once set it", Option::kOnce},
  {"/log", "--log", "FILE", "appends a line on this run to FILE (one file for many)", Option::kLog},
  {"/quiet", "--quiet", nullptr, "prints nothing; the log and the exit code still tell", Option::kQuiet},
};

constexpr ExitCodeRow kExitCodes[] = {
  {kExitDone, "done, or nothing to do"},
  {kExitBadCommandLine, "the command line is not understood"},
  {kExitRefused, "the program cannot run here: not Windows XP, or no registry"},
  {kExitNotInstalled, "the browser is not installed, or no such program file"},
  {kExitBackupFailed, "the backup could not be saved: nothing was changed"},
  {kExitWritesFailed, "some of the user's settings could not be written"},
  {kExitResetIncomplete, "Reset left keys it could not delete"},
  {kExitNoBackup, "there is no backup to undo"},
  {kExitFailed, "the run failed unexpectedly; what it did is not known"},
  {kExitNotInPlace, "check: not every setting of the browser is in place"},
};
// clang-format on

constexpr size_t kWidth = 79;
constexpr size_t kSwitchColumn = 20;

const char* Spelt(const char* on_windows, const char* on_linux, Spelling spelling) {
  return spelling == Spelling::kWindows ? on_windows : on_linux;
}

// Whether `arg` is the switch `name` as `spelling` spells it: exactly on Linux; on Windows
// with "/" or "-" and in any case, as the system's own tools take them.
bool Is(std::string_view arg, const char* on_windows, const char* on_linux, Spelling spelling) {
  if (spelling == Spelling::kLinux) return arg == on_linux;
  const std::string_view name = std::string_view(on_windows).substr(1);
  return arg.size() == name.size() + 1 && (arg[0] == '/' || arg[0] == '-') &&
         SameAscii(arg.substr(1), name);
}

const CommandRow* FindCommand(std::string_view arg, Spelling spelling) {
  for (const CommandRow& row : kCommands) {
    if (Is(arg, row.on_windows, row.on_linux, spelling)) return &row;
  }
  return nullptr;
}

const OptionRow* FindOption(std::string_view arg, Spelling spelling) {
  for (const OptionRow& row : kOptions) {
    if (Is(arg, row.on_windows, row.on_linux, spelling)) return &row;
  }
  return nullptr;
}

std::string Quoted(std::string_view text) { return Concat({"\"", text, "\""}); }

// `text` broken into lines of at most kWidth characters at blanks.
std::string Wrapped(std::string_view text) {
  std::string out;
  std::string line;
  while (!text.empty()) {
    const size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    if (!line.empty() && line.size() + 1 + word.size() > kWidth) {
      out += line;
      out += '\n';
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
  }
  return out + line;
}

// `help` with every switch in it ("/set") spelt as `spelling` spells it.
std::string Respelt(std::string_view help, Spelling spelling) {
  std::string out;
  while (!help.empty()) {
    const size_t slash = help.find('/');
    out += help.substr(0, slash);
    if (slash == std::string_view::npos) break;
    help.remove_prefix(slash);
    size_t end = 1;
    while (end < help.size() && help[end] >= 'a' && help[end] <= 'z') ++end;
    const std::string_view word = help.substr(0, end);
    const CommandRow* command = FindCommand(word, Spelling::kWindows);
    const OptionRow* option = FindOption(word, Spelling::kWindows);
    out += command  ? Spelt(command->on_windows, command->on_linux, spelling)
           : option ? Spelt(option->on_windows, option->on_linux, spelling)
                    : std::string(word);
    help.remove_prefix(end);
  }
  return out;
}

// A switch (or an exit code) and its help in two columns, the second at `column`.
std::string Row(const char* name, const char* argument, const std::string& help,
                size_t column = kSwitchColumn) {
  std::string row = Concat({"  ", name, argument ? " " : "", argument ? argument : ""});
  row.resize(std::max(row.size() + 1, column), ' ');
  row += help;
  row += '\n';
  return row;
}

}  // namespace

std::span<const CommandRow> Commands() { return kCommands; }
std::span<const OptionRow> Options() { return kOptions; }
std::span<const ExitCodeRow> ExitCodes() { return kExitCodes; }

bool AsksForCommand(std::span<const std::string> args, Spelling spelling) {
  return std::any_of(args.begin(), args.end(), [spelling](std::string_view arg) {
    return spelling == Spelling::kLinux ? arg.starts_with("--")
                                        : arg.starts_with('/') || arg.starts_with('-');
  });
}

bool ParseCommandLine(std::span<const std::string> args, Spelling spelling, CommandLine* line,
                      std::string* err) {
  *line = CommandLine();
  for (const std::string& arg : args) {
    const CommandRow* row = FindCommand(arg, spelling);
    if (row != nullptr && row->command == kHelp) return true;
  }
  const CommandRow* command = nullptr;
  const OptionRow* once = nullptr;
  std::string problem;
  auto fail = [&](std::string reason) {
    if (problem.empty()) problem = std::move(reason);
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const CommandRow* as_command = FindCommand(arg, spelling);
    const OptionRow* as_option = as_command ? nullptr : FindOption(arg, spelling);
    const char* argument = as_command  ? as_command->argument
                           : as_option ? as_option->argument
                                       : nullptr;
    // What follows a switch that takes an argument is its argument, unless it is a switch.
    std::string value;
    if (argument != nullptr) {
      if (i + 1 == args.size() || FindCommand(args[i + 1], spelling) ||
          FindOption(args[i + 1], spelling)) {
        fail(Concat({Quoted(arg), " needs ", argument}));
        continue;
      }
      value = args[++i];
      // An empty argument is what a script's unset variable gives ("/log "%LOG%""): a run that
      // went on without it would drop its log line unseen.
      if (value.empty()) fail(Concat({Quoted(arg), " needs ", argument, ", not an empty text"}));
    }
    if (as_command != nullptr) {
      if (command != nullptr) {
        fail(Concat({"one command at a time: ", Quoted(arg), " after ",
                     Quoted(Spelt(command->on_windows, command->on_linux, spelling))}));
        continue;
      }
      command = as_command;
      line->command = command->command;
      line->browser = value;
    } else if (as_option != nullptr) {
      switch (as_option->option) {
        case Option::kOnce:
          once = as_option;
          line->once = true;
          break;
        case Option::kLog:
          if (!line->log_file.empty()) fail(Concat({Quoted(arg), " is given twice"}));
          if (line->log_file.empty()) line->log_file = value;
          break;
        case Option::kQuiet:
          line->quiet = true;
          break;
      }
    } else if (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) {
      fail(Concat({"unknown switch ", Quoted(arg)}));
    } else {
      fail(Concat({"unexpected ", Quoted(arg)}));
    }
  }
  if (command == nullptr) fail("no command given");
  if (once != nullptr && command != nullptr && command->command != kSet) {
    fail(Concat({Quoted(Spelt(once->on_windows, once->on_linux, spelling)), " goes with ",
                 Quoted(SwitchName(kSet, spelling)), " only"}));
  }
  *err = problem;
  return problem.empty();
}

std::string SwitchName(Command command, Spelling spelling) {
  for (const CommandRow& row : kCommands) {
    if (row.command == command) return Spelt(row.on_windows, row.on_linux, spelling);
  }
  return {};
}

std::string UsageText(Spelling spelling, const std::string& program,
                      std::span<const std::string> presets) {
  std::string text = Concat({"Usage: ", program, " [COMMAND]"});
  for (const OptionRow& row : kOptions) {
    text += Concat({" [", Spelt(row.on_windows, row.on_linux, spelling), row.argument ? " " : "",
                    row.argument ? row.argument : "", "]"});
  }
  text += "\n\n";
  text += Wrapped(Concat({"Without a command ", program,
                          " opens its window. A command works without one: it prints its "
                          "result, and its exit code tells how it ended."}));
  text += "\n\nCommands:\n";
  for (const CommandRow& row : kCommands) {
    text += Row(Spelt(row.on_windows, row.on_linux, spelling), row.argument,
                Respelt(row.help, spelling));
  }
  text += "\nOptions:\n";
  for (const OptionRow& row : kOptions) {
    text += Row(Spelt(row.on_windows, row.on_linux, spelling), row.argument,
                Respelt(row.help, spelling));
  }
  std::string names;
  for (const BrowserPreset& row : PresetCatalogue()) {
    if (!presets.empty()) break;
    if (!names.empty()) names += ", ";
    names += row.Caption;
  }
  for (const std::string& caption : presets) {
    if (!names.empty()) names += ", ";
    names += caption;
  }
  text += '\n';
  text += Wrapped(Concat(
      {"NAME is a preset, in any case: ", names, ". PATH is another browser's program file."}));
  text += "\n\nExit codes:\n";
  for (const ExitCodeRow& row : kExitCodes) {
    text += Row(std::to_string(row.code).c_str(), nullptr, row.meaning, 6);
  }
  text.pop_back();
  return text;
}

std::string CommandLineText(const std::string& program, std::span<const std::string> args) {
  std::string text = program;
  for (const std::string& arg : args) {
    const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
    text += ' ';
    text += quote ? Quoted(arg) : arg;
  }
  return text;
}

}  // namespace tarnwick
