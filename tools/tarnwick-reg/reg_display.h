// How the console tool shows values: type names and data as the Windows "reg" command prints
// them.
#ifndef TARNWICK_TOOLS_TARNWICK_REG_REG_DISPLAY_H_
#define TARNWICK_TOOLS_TARNWICK_REG_REG_DISPLAY_H_

#include <cstdint>
#include <string>

#include "registry/reg_edit.h"

namespace tarnwick {

/// "REG_SZ", "REG_DWORD", ... for the known types; "REG_UNKNOWN" otherwise.
std::string RegTypeName(uint32_t type);

/// A value's data as a console listing shows it: text up to its first NUL, a DWORD as "0x2",
/// a multi-string's parts joined by "\0", anything else as upper-case hex digits.
std::string DisplayValueData(const ValueEntry& value);

}  // namespace tarnwick

#endif  // TARNWICK_TOOLS_TARNWICK_REG_REG_DISPLAY_H_
