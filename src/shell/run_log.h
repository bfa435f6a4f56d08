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
/// the user, the command line, the result and the exit code. Tabs and line breaks inside a
/// field become blanks, except that the lines of the result are joined with " | ", so a line
/// never breaks and its fields can be split on tabs. No line end.
std::string FormatLogLine(const RunRecord& record);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_RUN_LOG_H_
