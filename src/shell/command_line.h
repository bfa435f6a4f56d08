// The program's command line: its commands, options and exit codes as tables, which the parser,
// the usage text and the tests all read. Spelt "/set" on Windows and "--set" on Linux.
#ifndef TARNWICK_SHELL_COMMAND_LINE_H_
#define TARNWICK_SHELL_COMMAND_LINE_H_

#include <span>
#include <string>

namespace tarnwick {

/// How switches are spelt: "/set" (also "-set", any case) on Windows; "--set" on Linux.
enum class Spelling { kWindows, kLinux };

/// What a run does.
enum class Command { kSet, kReset, kQuery, kCheck, kList, kUndo, kHelp };

/// Exit codes of a run without the window.
enum ExitCode : int {
  kExitDone = 0,             ///< done, or nothing to do
  kExitBadCommandLine = 1,   ///< the command line is not understood; the usage is printed
  kExitRefused = 2,          ///< the program does not run here (not Windows XP)
  kExitNotInstalled = 3,     ///< no such browser here: not installed, or no such file
  kExitBackupFailed = 4,     ///< the backup could not be saved; nothing was changed
  kExitWritesFailed = 5,     ///< some of the current user's settings could not be written
  kExitResetIncomplete = 6,  ///< Reset left keys it could not delete
  kExitNoBackup = 7,         ///< there is no backup to undo
  kExitFailed = 8,           ///< the run failed in a way it could not foresee (out of memory)
  kExitNotInPlace = 10,      ///< /check: the browser's settings are not all in place
};

/// One command.
struct CommandRow {
  const char* on_windows;  ///< "/set"
  const char* on_linux;    ///< "--set"
  const char* argument;    ///< what follows it ("NAME|PATH"), or null
  const char* help;        ///< one line for the usage text, switches spelt as on Windows
  tarnwick::Command command;
};

/// What an option asks for.
enum class Option { kOnce, kLog, kQuiet };

/// One option.
struct OptionRow {
  const char* on_windows;  ///< "/log"
  const char* on_linux;    ///< "--log"
  const char* argument;    ///< what follows it ("FILE"), or null
  const char* help;        ///< one line for the usage text, switches spelt as on Windows
  tarnwick::Option option;
};

/// One exit code and what it means.
struct ExitCodeRow {
  ExitCode code;
  const char* meaning;
};

/// The tables, in the order the usage text shows them.
std::span<const CommandRow> Commands();
std::span<const OptionRow> Options();
std::span<const ExitCodeRow> ExitCodes();

/// A command line taken apart.
struct CommandLine {
  tarnwick::Command command = Command::kHelp;
  std::string browser;   ///< the NAME or PATH of /set and /check
  bool once = false;     ///< /once
  bool quiet = false;    ///< /quiet
  std::string log_file;  ///< /log FILE; empty without it
};

/// Whether `args` (without the program's name) ask for a command rather than the window: some
/// argument is spelt as a switch ("/x" or "-x" on Windows, "--x" on Linux), known or not.
/// Without one (a file dropped on the program, "Open with", a stray word in a shortcut) the
/// window opens.
bool AsksForCommand(std::span<const std::string> args, Spelling spelling);

/// Reads `args` (without the program's name): exactly one command with its argument, and any
/// options, in any order. The help command wins over everything else. On failure returns false
/// with the reason in `err` ("unknown switch "/sett"") and leaves in `*line` what could be read,
/// so that a bad command line can still be logged.
bool ParseCommandLine(std::span<const std::string> args, Spelling spelling, CommandLine* line,
                      std::string* err);

/// The switch of `command` as `spelling` spells it: "/set", "--set".
std::string SwitchName(Command command, Spelling spelling);

/// The usage text for `program` ("Tarnwick.exe", "tarnwick"): every command, option and exit
/// code, and the presets' captions: `presets`, or the catalogue's when it is empty. Lines of at
/// most 79 characters, separated by '\n'.
std::string UsageText(Spelling spelling, const std::string& program,
                      std::span<const std::string> presets = {});

/// `program` and `args` as one line, each argument that is empty or holds a blank in double
/// quotes: `Tarnwick.exe /set "Mozilla Firefox"`.
std::string CommandLineText(const std::string& program, std::span<const std::string> args);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_COMMAND_LINE_H_
