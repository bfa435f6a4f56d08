#include "shell/run_log.h"

#include <cstdlib>

#include "text/text.h"

namespace tarnwick {
namespace {

std::string Two(int n) { return DecimalDigits(static_cast<uint32_t>(n), 2); }

// `text` with its lines joined by `joint` and every other tab, CR or LF made a blank.
std::string OneLine(const std::string& text, const std::string& joint) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += joint;
    } else {
      out += c == '\t' || c == '\r' ? ' ' : c;
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
  return Concat({Iso8601(record.time), "\t", OneLine(record.computer, " "), "\t",
                 OneLine(record.user, " "), "\t", OneLine(record.command_line, " "), "\t",
                 OneLine(record.result, " | "), "\t", std::to_string(record.exit_code)});
}

}  // namespace tarnwick
