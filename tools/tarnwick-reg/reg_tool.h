// tarnwick-reg: a console editor for the stand-in hives with a subset of the Windows "reg"
// command's syntax and output, so that users and tests can inspect and seed them.
#ifndef TARNWICK_TOOLS_TARNWICK_REG_REG_TOOL_H_
#define TARNWICK_TOOLS_TARNWICK_REG_REG_TOOL_H_

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class StandInRegistry;

/// Opens the registry to work on; null with a reason in `err` when it cannot.
using RegistryOpener = std::function<std::unique_ptr<StandInRegistry>(std::string* err)>;

/// Where the tool talks: answers to "(Yes/No)" questions come from `in`, listings and
/// confirmations go to `out`, "ERROR: ..." lines to `err`.
struct RegToolStreams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

/// Runs one command, `args` being the words after the program name:
///   QUERY KEY [/v NAME | /ve] [/s]
///   ADD KEY [/v NAME | /ve] [/t REG_SZ|REG_EXPAND_SZ|REG_DWORD] [/d DATA] [/f]
///   DELETE KEY [/v NAME | /ve] [/f]
///   EXPORT KEY FILE [/y]
///   IMPORT FILE
/// Commands and options are matched without regard to case and options may start with "-".
/// Returns the exit code: 0 on success (also when the user declines a question), 1 on failure.
int RunRegTool(const std::vector<std::string>& args, const RegistryOpener& open,
               const RegToolStreams& io);

}  // namespace tarnwick

#endif  // TARNWICK_TOOLS_TARNWICK_REG_REG_TOOL_H_
