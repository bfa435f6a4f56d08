#include "shell/backup_names.h"

#include <algorithm>
#include <tuple>

#include "text/text.h"

namespace tarnwick {
namespace {

constexpr std::string_view kTemporaryPrefix = "~Tarnwick ";
constexpr std::string_view kTemporarySuffix = ".tmp";
// "YYYY-MM-DD HH-MM-SS "
constexpr std::string_view kTimePattern = "0000-00-00 00-00-00 ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads all of `text` as a decimal number of at most `digits` digits; no sign, no leading zero.
bool ParseNumber(std::string_view text, size_t digits, uint64_t* n) {
  if (text.empty() || text.size() > digits || (text.size() > 1 && text[0] == '0')) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  *n = value;
  return true;
}

bool ParseNumber(std::string_view text, uint32_t* n) {
  uint64_t value = 0;
  if (!ParseNumber(text, 10, &value) || value > UINT32_MAX) return false;
  *n = static_cast<uint32_t>(value);
  return true;
}

int Digits(std::string_view text) {
  int n = 0;
  for (char c : text) n = n * 10 + (c - '0');
  return n;
}

// The days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

int64_t Seconds(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

// The time a name's first characters give, when they are a real date and time.
bool ParseTime(std::string_view name, LocalTime* t) {
  for (size_t i = 0; i < kTimePattern.size(); ++i) {
    if (kTimePattern[i] == '0' ? !IsDigit(name[i]) : name[i] != kTimePattern[i]) return false;
  }
  *t = {Digits(name.substr(0, 4)),  Digits(name.substr(5, 2)),  Digits(name.substr(8, 2)),
        Digits(name.substr(11, 2)), Digits(name.substr(14, 2)), Digits(name.substr(17, 2))};
  if (t->month < 1 || t->month > 12 || t->day < 1 || t->hour > 23 || t->minute > 59 ||
      t->second > 60) {
    return false;
  }
  const bool leap = t->year % 4 == 0 && (t->year % 100 != 0 || t->year % 400 == 0);
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return t->day <= kDays[t->month - 1] + (leap && t->month == 2);
}

// A backup's name taken apart.
struct Parsed {
  LocalTime time;
  uint64_t sequence = 0;   // 0: a name of an earlier version, without one
  uint32_t collision = 1;  // the number of such a name's " (n)" ending; 1 without one
};

// Whether `name` ends in `extension`, in any case.
bool EndsWith(std::string_view name, std::string_view extension) {
  return !extension.empty() && name.size() >= extension.size() &&
         std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                    [](char a, char b) { return a == Lower(b); });
}

bool Parse(std::string_view name, const BackupNaming& naming, Parsed* parsed) {
  const std::string_view extension =
      EndsWith(name, naming.extension) ? naming.extension : naming.earlier_extension;
  if (!EndsWith(name, extension) || name.size() <= kTimePattern.size() + extension.size() ||
      !ParseTime(name, &parsed->time)) {
    return false;
  }
  std::string_view rest = name.substr(kTimePattern.size());
  rest.remove_suffix(extension.size());
  if (rest.starts_with('#')) {
    const size_t blank = rest.find(' ');
    return blank != std::string_view::npos && blank + 1 < rest.size() &&
           ParseNumber(rest.substr(1, blank - 1), 18, &parsed->sequence) && parsed->sequence > 0;
  }
  uint32_t n = 0;
  const size_t open = rest.rfind(" (");
  if (rest.ends_with(')') && open != std::string_view::npos &&
      ParseNumber(rest.substr(open + 2, rest.size() - open - 3), &n) && n >= 2) {
    parsed->collision = n;
  }
  return true;
}

}  // namespace

std::string BackupFileName(const LocalTime& time, uint64_t sequence, std::string_view what,
                           const BackupNaming& naming) {
  auto two = [](int n) { return DecimalDigits(static_cast<uint32_t>(n), 2); };
  std::string name = DecimalDigits(static_cast<uint32_t>(time.year), 4) + "-" + two(time.month) +
                     "-" + two(time.day) + " " + two(time.hour) + "-" + two(time.minute) + "-" +
                     two(time.second) + " #" + std::to_string(sequence) + " ";
  for (char c : what) {
    const bool unfit = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
                       std::string_view(R"(\/:*?"<>|)").find(c) != std::string_view::npos;
    name += unfit ? '_' : c;
  }
  return name + std::string(naming.extension);
}

bool IsBackupFileName(std::string_view name, const BackupNaming& naming) {
  Parsed parsed;
  return Parse(name, naming, &parsed);
}

uint64_t NextSequenceNumber(const std::vector<std::string>& names, const BackupNaming& naming) {
  uint64_t highest = 0;
  for (const std::string& name : names) {
    Parsed parsed;
    if (Parse(name, naming, &parsed)) highest = std::max(highest, parsed.sequence);
  }
  return std::min(highest + 1, kLastSequenceNumber);
}

std::vector<std::string> BackupsInOrder(std::vector<std::string> names, const LocalTime& now,
                                        const BackupNaming& naming) {
  const int64_t latest = Seconds(now) + 86400;
  // Earlier versions' names first; the views point into `names`, which stays as it is.
  using Key = std::tuple<bool, uint64_t, std::string_view, uint32_t, std::string_view>;
  std::vector<Key> keys;
  for (const std::string& name : names) {
    Parsed parsed;
    if (!Parse(name, naming, &parsed) || Seconds(parsed.time) > latest) continue;
    const std::string_view whole = name;
    const std::string_view time = whole.substr(0, kTimePattern.size());
    keys.push_back(parsed.sequence == 0 ? Key{false, 0, time, parsed.collision, whole}
                                        : Key{true, parsed.sequence, time, 1, whole});
  }
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> ordered;
  for (const Key& key : keys) ordered.emplace_back(std::get<4>(key));
  return ordered;
}

std::vector<std::string> BackupsToPrune(std::vector<std::string> names, size_t keep,
                                        const LocalTime& now, const BackupNaming& naming) {
  names = BackupsInOrder(std::move(names), now, naming);
  if (names.size() <= keep + 1) return {};
  // The oldest stays, and the newest `keep`.
  return {names.begin() + 1, names.end() - static_cast<ptrdiff_t>(keep)};
}

std::string TemporaryFileName(uint32_t process_id, uint32_t n) {
  return std::string(kTemporaryPrefix) + std::to_string(process_id) + "-" + std::to_string(n) +
         std::string(kTemporarySuffix);
}

bool ParseTemporaryFileName(std::string_view name, uint32_t* process_id) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(kTemporarySuffix.size());
  const size_t dash = name.find('-');
  uint32_t n = 0;
  return dash != std::string_view::npos && ParseNumber(name.substr(0, dash), process_id) &&
         ParseNumber(name.substr(dash + 1), &n);
}

}  // namespace tarnwick
