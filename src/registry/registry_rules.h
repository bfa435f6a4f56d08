// Rules shared by every registry implementation: how names compare, how writer paths and type
// names are read, and how text is stored in the registry's bytes.
#ifndef TARNWICK_REGISTRY_REGISTRY_RULES_H_
#define TARNWICK_REGISTRY_REGISTRY_RULES_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry.h"

namespace tarnwick {

/// The comparison form of a key or value name: every UTF-16 code unit mapped through Unicode
/// simple upper-case mapping, as Windows compares names ("Ä" and "ä" are one name; "ß" stays).
/// Invalid UTF-8 compares as U+FFFD.
std::string FoldName(std::string_view utf8);

/// True when the two names are the same registry name.
bool SameName(std::string_view a, std::string_view b);

/// Splits a relative key path at backslashes. The empty path gives no components. Returns
/// false for a path with an empty component (a leading, trailing or doubled backslash).
bool SplitKeyPath(std::string_view path, std::vector<std::string>* components);

/// Key names joined by backslashes into a path relative to a hive: the inverse of SplitKeyPath.
std::string JoinKeyPath(std::span<const std::string> components);

/// A writer path taken apart: "HKCU\Software\Classes\.htm\" is hive kCurrentUser, key
/// {"Software", "Classes", ".htm"} and the default value (empty `value_name`).
struct WriterTarget {
  Hive hive = Hive::kCurrentUser;
  std::vector<std::string> key;  ///< components below the hive; never empty
  std::string value_name;        ///< empty for the default value
};

/// Reads a writer path. The first component is "HKCU" or "HKLM" (also the long forms
/// "HKEY_CURRENT_USER" / "HKEY_LOCAL_MACHINE", any case); a trailing backslash addresses the
/// default value. Fails for an unknown hive, a path with no key below the hive, or an empty
/// component in the middle, with the reason in `err`.
bool ParseWriterPath(std::string_view path, WriterTarget* target, std::string* err);

/// Maps "REG_SZ", "REG_EXPAND_SZ", "REG_DWORD" (exact case) to the type; nothing otherwise.
std::optional<RegType> ParseRegType(std::string_view name);

/// Reads the decimal text of a REG_DWORD write: optional sign, digits, value within 32 bits
/// (negative values wrap, as a signed 32-bit number would be stored). Nothing otherwise.
std::optional<uint32_t> ParseDwordText(std::string_view text);

/// The registry bytes of a text value: UTF-16LE with the terminating NUL.
std::vector<uint8_t> TextToRegBytes(std::string_view utf8);

/// The registry bytes of a REG_DWORD: four, little-endian.
std::vector<uint8_t> DwordToRegBytes(uint32_t value);

/// The number in the first four bytes of `bytes`, little-endian; 0 when there are fewer.
uint32_t RegBytesToDword(std::span<const uint8_t> bytes);

/// The text of registry bytes up to their first NUL (or their end).
std::string RegBytesToText(std::span<const uint8_t> bytes);

/// The text of registry bytes that are plain text: UTF-16LE with exactly one final NUL, no NUL
/// before it, and nothing that UTF-8 could not give back as it is. Nothing otherwise.
std::optional<std::string> RegBytesToPlainText(std::span<const uint8_t> bytes);

/// The UTF-16 code units of little-endian registry bytes, NULs included; an odd last byte is
/// ignored.
std::u16string RegBytesToUnits(std::span<const uint8_t> bytes);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_RULES_H_
