#include "registry/registry_rules.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "text/text.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

struct UpcaseRange {
  char16_t first;
  char16_t last;
  int stride;
  int delta;
};

constexpr UpcaseRange kUpcaseRanges[] = {
#include "registry/upcase_table.inc"
};

char16_t Upcase(char16_t c) {
  // The ranges are sorted and disjoint: find the last one starting at or before `c`.
  auto it = std::upper_bound(std::begin(kUpcaseRanges), std::end(kUpcaseRanges), c,
                             [](char16_t v, const UpcaseRange& r) { return v < r.first; });
  if (it == std::begin(kUpcaseRanges)) return c;
  const UpcaseRange& r = *std::prev(it);
  if (c > r.last || (c - r.first) % r.stride != 0) return c;
  return static_cast<char16_t>(c + r.delta);
}

}  // namespace

std::string FoldName(std::string_view utf8) {
  // Nearly every name is ASCII, whose upper-case mapping is the plain one.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    std::string folded(utf8);
    for (char& c : folded) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
  }
  std::u16string units = Utf8ToUtf16(utf8);
  for (char16_t& c : units) c = Upcase(c);
  return Utf16ToUtf8(units);
}

bool SameName(std::string_view a, std::string_view b) { return FoldName(a) == FoldName(b); }

bool SplitKeyPath(std::string_view path, std::vector<std::string>* components) {
  components->clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.empty()) return false;
    components->emplace_back(part);
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

bool ParseWriterPath(std::string_view path, WriterTarget* target, std::string* err) {
  size_t first = path.find('\\');
  std::string_view hive = path.substr(0, first);
  if (SameAscii(hive, "HKCU") || SameAscii(hive, "HKEY_CURRENT_USER")) {
    target->hive = Hive::kCurrentUser;
  } else if (SameAscii(hive, "HKLM") || SameAscii(hive, "HKEY_LOCAL_MACHINE")) {
    target->hive = Hive::kLocalMachine;
  } else {
    *err = "unknown hive '" + std::string(hive) + "'";
    return false;
  }
  if (first == std::string_view::npos) {
    *err = "no key below the hive in '" + std::string(path) + "'";
    return false;
  }
  std::string_view rest = path.substr(first + 1);
  const bool default_value = rest.ends_with('\\');
  if (default_value) rest.remove_suffix(1);
  std::vector<std::string> parts;
  if (rest.empty() || !SplitKeyPath(rest, &parts)) {
    *err = "malformed registry path '" + std::string(path) + "'";
    return false;
  }
  target->value_name.clear();
  if (!default_value) {
    target->value_name = std::move(parts.back());
    parts.pop_back();
    if (parts.empty()) {
      *err = "no key below the hive in '" + std::string(path) + "'";
      return false;
    }
  }
  target->key = std::move(parts);
  return true;
}

std::optional<RegType> ParseRegType(std::string_view name) {
  if (name == "REG_SZ") return kRegSz;
  if (name == "REG_EXPAND_SZ") return kRegExpandSz;
  if (name == "REG_DWORD") return kRegDword;
  return std::nullopt;
}

std::optional<uint32_t> ParseDwordText(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  if (negative ? n > 0x80000000ull : n > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(negative ? (~n + 1) : n);
}

std::vector<uint8_t> TextToRegBytes(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  std::vector<uint8_t> bytes;
  bytes.reserve(2 * units.size() + 2);
  for (char16_t u : units) {
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

std::u16string RegBytesToUnits(std::span<const uint8_t> bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  return units;
}

std::vector<uint8_t> DwordToRegBytes(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

uint32_t RegBytesToDword(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) return 0;
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
}

std::string RegBytesToText(std::span<const uint8_t> bytes) {
  const std::u16string units = RegBytesToUnits(bytes);
  return Utf16ToUtf8(units.substr(0, units.find(u'\0')));
}

std::optional<std::string> RegBytesToPlainText(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
  if (bytes[bytes.size() - 2] != 0 || bytes[bytes.size() - 1] != 0) return std::nullopt;
  const std::u16string units = RegBytesToUnits(bytes.first(bytes.size() - 2));
  if (units.find(u'\0') != std::u16string::npos) return std::nullopt;
  std::string text = Utf16ToUtf8(units);
  if (Utf8ToUtf16(text) != units) return std::nullopt;
  return text;
}

std::string JoinKeyPath(std::span<const std::string> components) {
  std::string path;
  for (const std::string& component : components) {
    if (!path.empty()) path += '\\';
    path += component;
  }
  return path;
}

}  // namespace tarnwick
