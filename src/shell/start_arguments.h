// What the window makes of the arguments it was started with when none of them asks for a
// command: a browser's program file dropped on the program, or given by "Open with".
#ifndef TARNWICK_SHELL_START_ARGUMENTS_H_
#define TARNWICK_SHELL_START_ARGUMENTS_H_

#include <span>
#include <string>

#include "shell/command_line.h"

namespace tarnwick {

class Form1;

/// After a load step that let the program run: a single argument that names an existing
/// program file (on Windows one ending in ".exe", in any case; on Linux any file) goes into
/// the custom box as if typed, enabling its Apply; nothing is applied until it is pressed. Any
/// other arguments are left alone, and the window opens as without them.
void TakeStartArguments(Form1& form, std::span<const std::string> args, Spelling spelling);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_START_ARGUMENTS_H_
