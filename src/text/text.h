// Small text helpers that every layer uses: ASCII comparison, blanks, digits and the one-piece
// concatenation that messages are built with. Nothing here knows of the registry or a desktop.
#ifndef TARNWICK_TEXT_TEXT_H_
#define TARNWICK_TEXT_TEXT_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tarnwick {

/// True when the two texts are equal once ASCII letters are upper-cased (hive names, options).
bool SameAscii(std::string_view a, std::string_view b);

/// True when `text` holds nothing but spaces: the program trims spaces and nothing else.
bool IsBlank(std::string_view text);

/// `text` without the spaces at either end.
std::string TrimSpaces(std::string_view text);

/// `text` up to its first NUL, where the registry's own functions end a name or a path.
std::string UpToNul(std::string_view text);

/// `value` in lower-case hexadecimal digits, at least `width` of them ("0000002a").
std::string HexDigits(uint32_t value, int width);

/// `value` in decimal digits, at least `width` of them with leading zeros ("007").
std::string DecimalDigits(uint32_t value, int width);

/// The texts one after the other, made in one piece: Concat({"The file \"", path, "\""}).
/// Messages are built with it rather than with a chain of `+`, each of which would make and
/// free a text of its own.
std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_TEXT_H_
