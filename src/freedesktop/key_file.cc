#include "freedesktop/key_file.h"

#include <algorithm>

namespace tarnwick::freedesktop {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The group a header line opens, or nullopt for any other line. Blanks before the '[' or after
// the ']' are tolerated, as the readers tolerate them.
std::optional<std::string_view> GroupOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

// Whether the text ends in a '\' that escapes what follows: an odd number of them.
bool EndsInEscape(std::string_view text) {
  std::size_t backslashes = 0;
  while (backslashes < text.size() && text[text.size() - 1 - backslashes] == '\\') ++backslashes;
  return backslashes % 2 == 1;
}

}  // namespace

KeyFile::KeyFile(std::string_view text) {
  std::string group;
  while (!text.empty()) {
    std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    std::string end = newline == std::string_view::npos ? "" : "\n";
    if (!end.empty() && line.ends_with('\r')) {
      line.remove_suffix(1);
      end = "\r\n";
    }
    if (std::optional<std::string_view> header = GroupOf(line)) group = *header;
    lines_.push_back({std::string(line), end, group});
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
}

std::optional<std::string_view> KeyFile::KeyOf(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[') return std::nullopt;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::optional<std::size_t> KeyFile::FindKey(std::string_view group, std::string_view key) const {
  for (std::size_t i = lines_.size(); i-- > 0;) {
    if (lines_[i].group == group && !GroupOf(lines_[i].text) && KeyOf(lines_[i].text) == key) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string> KeyFile::Get(std::string_view group, std::string_view key) const {
  std::optional<std::size_t> i = FindKey(group, key);
  if (!i) return std::nullopt;
  const std::string& line = lines_[*i].text;
  return std::string(Trim(std::string_view(line).substr(line.find('=') + 1)));
}

void KeyFile::Set(std::string_view group, std::string_view key, std::string_view value) {
  if (std::optional<std::size_t> i = FindKey(group, key)) {
    // Keep the key as written and the blanks around '='; a value begins after them.
    std::string& line = lines_[*i].text;
    std::size_t start = line.find('=') + 1;
    while (start < line.size() && IsBlank(line[start])) ++start;
    line.replace(start, std::string::npos, value);
    return;
  }
  // A line end is needed before whatever follows the last line; the file's own kind is used,
  // but a last line ending in '\r' keeps it only before "\r\n".
  std::string end = lines_.empty() || lines_.front().end.empty() ? "\n" : lines_.front().end;
  if (!lines_.empty() && lines_.back().end.empty()) {
    lines_.back().end = lines_.back().text.ends_with('\r') ? "\r\n" : end;
  }
  Line added{std::string(key) + "=" + std::string(value), end, std::string(group)};

  // After the last key line of the group's last occurrence, else right after its header.
  std::optional<std::size_t> header;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].group == group && GroupOf(lines_[i].text)) header = i;
  }
  if (!header && !group.empty()) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
      lines_.push_back({"", end, lines_.back().group});
    }
    lines_.push_back({"[" + std::string(group) + "]", end, std::string(group)});
    lines_.push_back(std::move(added));
    return;
  }
  std::size_t at = header ? *header + 1 : 0;
  for (std::size_t i = at; i < lines_.size() && !GroupOf(lines_[i].text); ++i) {
    if (KeyOf(lines_[i].text)) at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
}

bool KeyFile::Remove(std::string_view group, std::string_view key) {
  std::size_t before = lines_.size();
  std::erase_if(lines_, [&](const Line& line) {
    return line.group == group && !GroupOf(line.text) && KeyOf(line.text) == key;
  });
  return lines_.size() != before;
}

bool KeyFile::RemoveEmptyGroup(std::string_view group) {
  bool removed = false;
  for (std::size_t i = 0; i < lines_.size();) {
    std::size_t end = i + 1;
    while (end < lines_.size() && !GroupOf(lines_[end].text)) ++end;
    const bool empty = !group.empty() && lines_[i].group == group && GroupOf(lines_[i].text) &&
                       std::all_of(lines_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                   lines_.begin() + static_cast<std::ptrdiff_t>(end),
                                   [](const Line& line) { return Trim(line.text).empty(); });
    if (!empty) {
      i = end;
      continue;
    }
    if (end == lines_.size() && i > 0 && Trim(lines_[i - 1].text).empty()) --i;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    removed = true;
  }
  return removed;
}

std::vector<std::string> KeyFile::Groups() const {
  std::vector<std::string> groups;
  for (const Line& line : lines_) {
    if (!line.group.empty() &&
        std::find(groups.begin(), groups.end(), line.group) == groups.end()) {
      groups.push_back(line.group);
    }
  }
  return groups;
}

std::vector<std::string> KeyFile::Keys(std::string_view group) const {
  std::vector<std::string> keys;
  for (const Line& line : lines_) {
    if (line.group != group || GroupOf(line.text)) continue;
    std::optional<std::string_view> key = KeyOf(line.text);
    if (key && std::find(keys.begin(), keys.end(), *key) == keys.end()) keys.emplace_back(*key);
  }
  return keys;
}

std::string KeyFile::Text() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + line.end;
  return text;
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= value.size(); ++i) {
    if (i + 1 < value.size() && value[i] == '\\') {
      ++i;  // the escaped character, ';' included, belongs to the entry
    } else if (i >= value.size() || value[i] == ';') {
      std::string_view entry = Trim(value.substr(start, std::min(i, value.size()) - start));
      // A blank escaped by '\' belongs to the entry.
      if (entry.data() + entry.size() < value.data() + std::min(i, value.size()) &&
          EndsInEscape(entry)) {
        entry = std::string_view(entry.data(), entry.size() + 1);
      }
      if (!entry.empty()) entries.emplace_back(entry);
      start = i + 1;
    }
  }
  return entries;
}

std::string JoinList(const std::vector<std::string>& entries, bool trailing_separator) {
  std::string value;
  for (const std::string& entry : entries) {
    if (!value.empty()) value += ';';
    value += entry;
  }
  if (trailing_separator && !value.empty()) value += ';';
  return value;
}

std::string UnescapeString(std::string_view value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    switch (char c = value[++i]) {
      case 's':
        text += ' ';
        break;
      case 'n':
        text += '\n';
        break;
      case 't':
        text += '\t';
        break;
      case 'r':
        text += '\r';
        break;
      case '\\':
        text += '\\';
        break;
      default:
        text += '\\', text += c;
    }
  }
  return text;
}

std::string EscapeString(std::string_view text) {
  std::string value;
  bool leading = true;
  for (char c : text) {
    leading = leading && c == ' ';
    switch (c) {
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      case '\\':
        value += "\\\\";
        break;
      case ' ':
        value += leading ? "\\s" : " ";
        break;
      default:
        value += c;
    }
  }
  return value;
}

}  // namespace tarnwick::freedesktop
