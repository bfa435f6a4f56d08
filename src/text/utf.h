// Text between UTF-8, the program's own encoding, and UTF-16, the encoding of the registry and
// of the Windows API.
#ifndef TARNWICK_TEXT_UTF_H_
#define TARNWICK_TEXT_UTF_H_

#include <string>
#include <string_view>

namespace tarnwick {

/// UTF-8 to UTF-16 code units; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

/// UTF-16 code units to UTF-8; unpaired surrogates become U+FFFD. NULs are kept.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace tarnwick

#endif  // TARNWICK_TEXT_UTF_H_
