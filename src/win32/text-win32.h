// Text between the program's UTF-8 and the W functions' UTF-16. No ANSI code page is involved
// anywhere: both directions go through the registry rules' converters.
#ifndef TARNWICK_WIN32_TEXT_WIN32_H_
#define TARNWICK_WIN32_TEXT_WIN32_H_

#include <string>
#include <string_view>

namespace tarnwick {

/// UTF-8 to UTF-16 for a W function; invalid sequences become U+FFFD. NULs are kept.
std::wstring Widen(std::string_view utf8);

/// UTF-16 from a W function to UTF-8; unpaired surrogates become U+FFFD. NULs are kept.
std::string Narrow(std::wstring_view utf16);

/// A message from the system or an object as one line of an error: line breaks become blanks,
/// trailing blanks and the final period go, and the first word is lower-cased unless it is an
/// acronym.
std::string ErrorLine(std::wstring_view message);

/// The system's message for a Win32 error code or an HRESULT: one line, starting lower case,
/// with no final period; "error 0x...", when the system has no text for it.
std::string SystemErrorText(unsigned long code);

/// "Api(argument): system text", the one form of every error the Windows layer reports.
std::string ApiErrorText(std::string_view api, std::string_view argument, unsigned long code);

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_TEXT_WIN32_H_
