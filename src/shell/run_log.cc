#include "shell/run_log.h"

#include <cstdlib>
#include <string_view>

#include "text/text.h"

namespace tarnwick {
namespace {

std::string Two(int n) { return DecimalDigits(static_cast<uint32_t>(n), 2); }

// `value` in upper-case hexadecimal digits, at least `width` of them, as code points are written.
std::string UpperHex(uint32_t value, int width) {
  std::string digits = HexDigits(value, width);
  for (char& c : digits) c = c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
  return digits;
}

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), with its code point in `cp`; 0 when there is none.
size_t Utf8Sequence(std::string_view text, char32_t* cp) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  }
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
  char32_t value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(i) & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return length;
}

// Characters that a terminal, an editor or a tool that splits lines would act on rather than
// show: the C0 and C1 controls, DEL, the line and paragraph separators, and the controls of
// bidirectional text, which reorder what follows them on the screen.
bool ActsRatherThanShows(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
         cp == 0x2028 || cp == 0x2029 || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

// `text` as one line: a line end in a field that has lines (`joint` not empty) becomes `joint`,
// and every other character that would act rather than show is written out as <U+XXXX>, a byte
// that is not UTF-8 as <0xHH>.
std::string OneLine(std::string_view text, std::string_view joint = {}) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    std::string_view rest = text.substr(i);
    if (!joint.empty() && (rest.starts_with("\r\n") || rest.starts_with('\n'))) {
      out += joint;
      i += rest[0] == '\r' ? 2 : 1;
      continue;
    }
    char32_t cp = 0;
    const size_t length = Utf8Sequence(rest, &cp);
    if (length == 0) {
      out += Concat({"<0x", UpperHex(static_cast<unsigned char>(rest[0]), 2), ">"});
      ++i;
    } else if (ActsRatherThanShows(cp)) {
      out += Concat({"<U+", UpperHex(cp, 4), ">"});
      i += length;
    } else {
      out += rest.substr(0, length);
      i += length;
    }
  }
  return out;
}

}  // namespace

std::string Iso8601(const ZonedTime& time) {
  const LocalTime& t = time.local;
  const int offset = std::abs(time.utc_offset_minutes);
  return Concat({DecimalDigits(static_cast<uint32_t>(t.year), 4), "-", Two(t.month), "-",
                 Two(t.day), "T", Two(t.hour), ":", Two(t.minute), ":", Two(t.second),
                 time.utc_offset_minutes < 0 ? "-" : "+", Two(offset / 60), ":", Two(offset % 60)});
}

std::string FormatLogLine(const RunRecord& record) {
  return Concat({Iso8601(record.time), "\t", OneLine(record.computer), "\t", OneLine(record.user),
                 "\t", OneLine(record.command_line), "\t", OneLine(record.result, " | "), "\t",
                 std::to_string(record.exit_code)});
}

std::string LogHeldText(int deadline_ms) {
  const std::string time = deadline_ms % 1000 == 0
                               ? Concat({std::to_string(deadline_ms / 1000),
                                         deadline_ms == 1000 ? " second" : " seconds"})
                               : Concat({std::to_string(deadline_ms), " ms"});
  return Concat({"another writer held it for more than ", time});
}

}  // namespace tarnwick
