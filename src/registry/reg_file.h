// ".reg" files as the registry editor writes and reads them, and key names as users type them.
// The program saves its backups in this form; the stand-in's console tool imports and exports it.
#ifndef TARNWICK_REGISTRY_REG_FILE_H_
#define TARNWICK_REGISTRY_REG_FILE_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/reg_edit.h"
#include "registry/registry.h"

namespace tarnwick {

/// A key named with its hive.
struct RegKeyName {
  Hive hive = Hive::kCurrentUser;
  std::string path;  ///< below the hive, no leading or trailing backslash; "" for the root
  bool operator==(const RegKeyName&) const = default;
};

/// Reads "HKCU\Software\X", "HKEY_LOCAL_MACHINE", ... : the hive as "HKCU", "HKLM",
/// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" in any case, then key names; one trailing
/// backslash is allowed. False for another hive or an empty key name.
bool ParseRegKeyName(std::string_view text, RegKeyName* key);

/// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE", then "\" and `path` unless it is empty.
std::string FullKeyName(Hive hive, const std::string& path);

/// The text of a ".reg" file stating `edits` in order, in UTF-8 with CRLF line ends: the
/// "Windows Registry Editor Version 5.00" line, then "[KEY]" for kCreateKey, "[-KEY]" for
/// kDeleteKey, and a value line for kSetValue (`"name"=...`, `@=...` for the default value) or
/// kDeleteValue (`"name"=-`), each value line under a "[KEY]" of its key, which is written
/// when the line before is not already in that key. Plain REG_SZ text is quoted (backslashes and
/// quotes escaped), DWORDs "dword:0000002a", everything else hex ("hex:" for REG_BINARY,
/// "hex(2):" for REG_EXPAND_SZ, "hex(N):" for type N), wrapped with trailing backslashes
/// within 80 columns. Key names holding a line break or value names holding one cannot be
/// written in this form (see RegFileCanHold).
std::string FormatRegFile(std::span<const RegEdit> edits);

/// Whether FormatRegFile writes `edit` so that ParseRegFile reads it back as it is: false for
/// key paths holding a line break or "]", and value names holding a line break.
bool RegFileCanHold(const RegEdit& edit);

/// UTF-8 text as UTF-16LE bytes with a byte-order mark, as the registry editor saves files.
std::string EncodeUtf16LeWithBom(std::string_view utf8);

/// Reads a ".reg" file (UTF-16LE with a byte-order mark, or UTF-8 with or without one) into
/// edits in file order: "[KEY]" creates a key, "[-KEY]" deletes it, `"name"=...` or `@=...`
/// sets a value (text, "dword:", "hex:", "hex(N):", continued over lines ending in a
/// backslash) and `"name"=-` deletes one. Lines starting with ";" are comments. On a malformed
/// file returns false with "line N: reason" in `err` and no edits.
bool ParseRegFile(std::string_view bytes, std::vector<RegEdit>* edits, std::string* err);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REG_FILE_H_
