// The line that a run without the window appends to its log: when, where, who, what was asked,
// what came of it.
#ifndef TARNWICK_SHELL_RUN_LOG_H_
#define TARNWICK_SHELL_RUN_LOG_H_

#include <string>

#include "shell/backup_names.h"

namespace tarnwick {

/// A moment as the local clock shows it, with the clock's distance from UTC.
struct ZonedTime {
  LocalTime local;
  int utc_offset_minutes = 0;  ///< local time minus UTC: 60 for UTC+01:00
};

/// One run, as its log line tells it.
struct RunRecord {
  ZonedTime time;
  std::string computer;
  std::string user;
  std::string command_line;  ///< as CommandLineText gives it
  std::string result;        ///< the text the run printed; lines separated by '\n'
  int exit_code = 0;
};

/// The local time in ISO 8601 with its offset: "2024-03-07T10:30:00+01:00".
std::string Iso8601(const ZonedTime& time);

/// The record as one line of six fields separated by tabs: the time (Iso8601), the computer,
/// the user, the command line, the result and the exit code. The lines of the result are joined
/// with " | "; every other character that a terminal or a tool reading lines would act on
/// rather than show (C0 and C1 controls, tab, CR and LF among them, DEL, U+2028, U+2029 and the
/// bidirectional controls U+061C, U+200E, U+200F, U+202A to U+202E and U+2066 to U+2069) is
/// written as "<U+001B>", and a byte that is not UTF-8 as "<0xFF>". So a line never breaks, its
/// fields can be split on tabs, and what a user or a browser named shows as it is. No line end.
std::string FormatLogLine(const RunRecord& record);

/// Why a line was not appended to a log that another writer held for all of `deadline_ms`:
/// "another writer held it for more than 3 seconds".
std::string LogHeldText(int deadline_ms);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_RUN_LOG_H_
