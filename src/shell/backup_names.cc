#include "shell/backup_names.h"

#include <algorithm>
#include <tuple>

#include "text/text.h"

namespace tarnwick {
namespace {

constexpr std::string_view kExtension = ".reg";
constexpr std::string_view kTemporaryPrefix = "~Tarnwick ";
constexpr std::string_view kTemporarySuffix = ".tmp";
// "YYYY-MM-DD HH-MM-SS "
constexpr std::string_view kTimePattern = "0000-00-00 00-00-00 ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads all of `text` as a decimal number that fits 32 bits; no sign, no leading zero.
bool ParseNumber(std::string_view text, uint32_t* n) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return false;
  *n = static_cast<uint32_t>(value);
  return true;
}

// The number of a backup's " (n)" ending; 1 without one.
uint32_t CollisionNumber(std::string_view name) {
  std::string_view stem = name.substr(0, name.size() - kExtension.size());
  uint32_t n = 0;
  if (!stem.ends_with(')')) return 1;
  const size_t open = stem.rfind(" (");
  if (open == std::string_view::npos ||
      !ParseNumber(stem.substr(open + 2, stem.size() - open - 3), &n) || n < 2) {
    return 1;
  }
  return n;
}

}  // namespace

std::string BackupStem(const LocalTime& time, std::string_view what) {
  auto two = [](int n) { return DecimalDigits(static_cast<uint32_t>(n), 2); };
  std::string stem = DecimalDigits(static_cast<uint32_t>(time.year), 4) + "-" + two(time.month) +
                     "-" + two(time.day) + " " + two(time.hour) + "-" + two(time.minute) + "-" +
                     two(time.second) + " ";
  for (char c : what) {
    const bool unfit = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
                       std::string_view(R"(\/:*?"<>|)").find(c) != std::string_view::npos;
    stem += unfit ? '_' : c;
  }
  return stem;
}

std::string BackupFileName(const std::string& stem, int n) {
  if (n <= 1) return stem + std::string(kExtension);
  return stem + " (" + std::to_string(n) + ")" + std::string(kExtension);
}

bool IsBackupFileName(std::string_view name) {
  if (name.size() <= kTimePattern.size() + kExtension.size()) return false;
  for (size_t i = 0; i < kTimePattern.size(); ++i) {
    if (kTimePattern[i] == '0' ? !IsDigit(name[i]) : name[i] != kTimePattern[i]) return false;
  }
  const std::string_view ending = name.substr(name.size() - kExtension.size());
  return std::equal(ending.begin(), ending.end(), kExtension.begin(),
                    [](char a, char b) { return Lower(a) == b; });
}

int FirstBackupNumber(const std::vector<std::string>& names, std::string_view stem) {
  uint32_t highest = 0;
  for (const std::string& name : names) {
    if (IsBackupFileName(name) && stem.size() >= kTimePattern.size() &&
        name.compare(0, kTimePattern.size(), stem.substr(0, kTimePattern.size())) == 0) {
      highest = std::max(highest, CollisionNumber(name));
    }
  }
  return static_cast<int>(std::min<uint32_t>(highest, INT32_MAX - 1)) + 1;
}

std::vector<std::string> BackupsInOrder(std::vector<std::string> names) {
  std::erase_if(names, [](const std::string& name) { return !IsBackupFileName(name); });
  auto key = [](const std::string& name) {
    return std::make_tuple(std::string_view(name).substr(0, kTimePattern.size()),
                           CollisionNumber(name), std::string_view(name));
  };
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
  return names;
}

std::vector<std::string> BackupsToPrune(std::vector<std::string> names, size_t keep) {
  names = BackupsInOrder(std::move(names));
  if (names.size() <= keep) return {};
  names.resize(names.size() - keep);
  return names;
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
