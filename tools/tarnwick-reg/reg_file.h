// Registry key names as users type them, and ".reg" files as the registry editor writes them.
#ifndef TARNWICK_TOOLS_TARNWICK_REG_REG_FILE_H_
#define TARNWICK_TOOLS_TARNWICK_REG_REG_FILE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "portable/standin_registry.h"

namespace tarnwick {

/// A key named with its hive.
struct RegKeyName {
  Hive hive = Hive::kCurrentUser;
  std::string path;  ///< below the hive, no leading or trailing backslash; "" for the root
};

/// Reads "HKCU\Software\X", "HKEY_LOCAL_MACHINE", ... : the hive as "HKCU", "HKLM",
/// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" in any case, then key names; one trailing
/// backslash is allowed. False for another hive or an empty key name.
bool ParseRegKeyName(std::string_view text, RegKeyName* key);

/// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE", then "\" and `path` unless it is empty.
std::string FullKeyName(Hive hive, const std::string& path);

/// "REG_SZ", "REG_DWORD", ... for the known types; "REG_UNKNOWN" otherwise.
std::string RegTypeName(uint32_t type);

/// A value's data as a console listing shows it: text up to its first NUL, a DWORD as "0x2",
/// a multi-string's parts joined by "\0", anything else as upper-case hex digits.
std::string DisplayValueData(const ValueEntry& value);

/// One key of an export: where it is and its values in order.
struct ExportedKey {
  Hive hive = Hive::kCurrentUser;
  std::string path;
  std::vector<ValueEntry> values;
};

/// The text of a ".reg" file holding `keys` in order, in UTF-8 with CRLF line ends: the
/// "Windows Registry Editor Version 5.00" line, then each key in brackets with its values.
/// Plain text values are quoted (backslashes and quotes escaped), DWORDs "dword:0000002a",
/// everything else hex ("hex(2):" for REG_EXPAND_SZ), wrapped with trailing backslashes.
std::string FormatRegFile(std::span<const ExportedKey> keys);

/// UTF-8 text as UTF-16LE bytes with a byte-order mark, as the registry editor saves files.
std::string EncodeUtf16LeWithBom(std::string_view utf8);

/// Reads a ".reg" file (UTF-16LE with a byte-order mark, or UTF-8 with or without one) into
/// edits in file order: "[KEY]" creates a key, "[-KEY]" deletes it, `"name"=...` or `@=...`
/// sets a value (text, "dword:", "hex:", "hex(N):", continued over lines ending in a
/// backslash) and `"name"=-` deletes one. On a malformed file returns false with
/// "line N: reason" in `err` and no edits.
bool ParseRegFile(std::string_view bytes, std::vector<RegEdit>* edits, std::string* err);

}  // namespace tarnwick

#endif  // TARNWICK_TOOLS_TARNWICK_REG_REG_FILE_H_
