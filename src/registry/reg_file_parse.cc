// The reading half of reg_file.h, kept apart so that a program which only writes ".reg" files
// does not carry it.
#include <cstdint>

#include "registry/reg_file.h"
#include "registry/registry_rules.h"
#include "text/text.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

bool StartsWithAscii(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameAscii(s.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads 1 to `max_digits` hex digits making up all of `s`.
bool ParseHex(std::string_view s, size_t max_digits, uint32_t* n) {
  if (s.empty() || s.size() > max_digits) return false;
  *n = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return false;
    *n = *n << 4 | static_cast<uint32_t>(d);
  }
  return true;
}

// Reads a quoted string at the start of `*s` (backslash escapes only a backslash or a quote)
// and advances past it.
bool ReadQuoted(std::string_view* s, std::string* text, std::string* err) {
  text->clear();
  size_t i = 1;
  for (; i < s->size() && (*s)[i] != '"'; ++i) {
    if ((*s)[i] == '\\') {
      if (++i == s->size()) break;
      if ((*s)[i] != '\\' && (*s)[i] != '"') {
        *err = std::string("unknown escape '\\") + (*s)[i] + "' in a string";
        return false;
      }
    }
    *text += (*s)[i];
  }
  if (i >= s->size()) {
    *err = "unterminated string";
    return false;
  }
  s->remove_prefix(i + 1);
  return true;
}

bool ParseHexBytes(std::string_view list, std::vector<uint8_t>* bytes, std::string* err) {
  bytes->clear();
  list = Trim(list);
  if (list.empty()) return true;
  while (true) {
    size_t comma = list.find(',');
    uint32_t byte = 0;
    if (!ParseHex(Trim(list.substr(0, comma)), 2, &byte)) {
      *err = "malformed hex byte '" + std::string(Trim(list.substr(0, comma))) + "'";
      return false;
    }
    bytes->push_back(static_cast<uint8_t>(byte));
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

// Reads the data after "=" of a value line.
bool ParseValueData(std::string_view data, RegEdit* edit, std::string* err) {
  if (data == "-") {
    edit->op = RegEdit::Op::kDeleteValue;
    return true;
  }
  edit->op = RegEdit::Op::kSetValue;
  if (data.starts_with('"')) {
    std::string text;
    if (!ReadQuoted(&data, &text, err)) return false;
    if (!Trim(data).empty()) {
      *err = "unexpected text after a string: '" + std::string(Trim(data)) + "'";
      return false;
    }
    edit->type = kRegSz;
    edit->data = TextToRegBytes(text);
    return true;
  }
  if (StartsWithAscii(data, "dword:")) {
    uint32_t n = 0;
    if (!ParseHex(Trim(data.substr(6)), 8, &n)) {
      *err = "malformed dword '" + std::string(data.substr(6)) + "'";
      return false;
    }
    edit->type = kRegDword;
    edit->data = DwordToRegBytes(n);
    return true;
  }
  if (StartsWithAscii(data, "hex:")) {
    edit->type = kRegBinary;
    return ParseHexBytes(data.substr(4), &edit->data, err);
  }
  if (StartsWithAscii(data, "hex(")) {
    size_t close = data.find("):");
    if (close == std::string_view::npos || !ParseHex(data.substr(4, close - 4), 8, &edit->type)) {
      *err = "malformed hex type in '" + std::string(data.substr(0, close)) + "'";
      return false;
    }
    return ParseHexBytes(data.substr(close + 2), &edit->data, err);
  }
  *err = "unrecognised value data '" + std::string(data) + "'";
  return false;
}

bool DecodeText(std::string_view bytes, std::string* text, std::string* err) {
  if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) {
      *err = "truncated UTF-16 text";
      return false;
    }
    *text = Utf16ToUtf8(
        RegBytesToUnits(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())));
    return true;
  }
  if (bytes.starts_with("\xFE\xFF")) {
    *err = "UTF-16 big-endian files are not supported";
    return false;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  *text = std::string(bytes);
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

bool ParseRegKeyName(std::string_view text, RegKeyName* key) {
  size_t slash = text.find('\\');
  std::string_view root = text.substr(0, slash);
  if (SameAscii(root, "HKCU") || SameAscii(root, "HKEY_CURRENT_USER")) {
    key->hive = Hive::kCurrentUser;
  } else if (SameAscii(root, "HKLM") || SameAscii(root, "HKEY_LOCAL_MACHINE")) {
    key->hive = Hive::kLocalMachine;
  } else {
    return false;
  }
  std::string_view rest = slash == std::string_view::npos ? "" : text.substr(slash + 1);
  if (rest.ends_with('\\')) rest.remove_suffix(1);
  std::vector<std::string> parts;
  if (!SplitKeyPath(rest, &parts)) return false;
  key->path = std::string(rest);
  return true;
}

bool ParseRegFile(std::string_view bytes, std::vector<RegEdit>* edits, std::string* err) {
  edits->clear();
  std::string text;
  if (!DecodeText(bytes, &text, err)) {
    *err = "line 1: " + *err;
    return false;
  }
  const std::vector<std::string_view> lines = SplitLines(text);
  std::vector<RegEdit> out;
  size_t n = 0;  // index of the line being read
  auto fail = [&](const std::string& reason) {
    *err = "line " + std::to_string(n + 1) + ": " + reason;
    return false;
  };
  if (lines.empty() || (Trim(lines[0]) != kHeader && Trim(lines[0]) != kOldHeader)) {
    return fail("not a registry file: the first line must be \"" + std::string(kHeader) + "\"");
  }
  bool in_key = false;
  RegKeyName key;
  for (n = 1; n < lines.size(); ++n) {
    std::string_view line = Trim(lines[n]);
    if (line.empty() || line.starts_with(';')) continue;
    if (line.starts_with('[')) {
      if (!line.ends_with(']')) return fail("missing ']' after the key name");
      std::string_view name = line.substr(1, line.size() - 2);
      const bool remove = name.starts_with('-');
      if (remove) name.remove_prefix(1);
      if (!ParseRegKeyName(name, &key)) {
        return fail("unknown or malformed key name '" + std::string(name) + "'");
      }
      if (remove && key.path.empty()) return fail("a whole hive cannot be deleted");
      RegEdit edit;
      edit.op = remove ? RegEdit::Op::kDeleteKey : RegEdit::Op::kCreateKey;
      edit.hive = key.hive;
      edit.path = key.path;
      out.push_back(std::move(edit));
      in_key = !remove;
      continue;
    }
    if (!line.starts_with('"') && !line.starts_with('@')) {
      return fail("unrecognised line '" + std::string(line) + "'");
    }
    if (!in_key) return fail("a value outside a key");
    RegEdit edit;
    edit.hive = key.hive;
    edit.path = key.path;
    std::string reason;
    if (line.starts_with('@')) {
      line.remove_prefix(1);
    } else if (!ReadQuoted(&line, &edit.name, &reason)) {
      return fail(reason);
    }
    line = Trim(line);
    if (!line.starts_with('=')) return fail("missing '=' after the value name");
    std::string data(Trim(line.substr(1)));
    const size_t first = n;
    // Hex data may go on over lines that end with a backslash.
    if (StartsWithAscii(data, "hex")) {
      while (data.ends_with('\\')) {
        data.pop_back();
        if (++n == lines.size()) {
          n = first;
          return fail("the value goes on past the end of the file");
        }
        data += Trim(lines[n]);
      }
    }
    if (!ParseValueData(data, &edit, &reason)) {
      n = first;
      return fail(reason);
    }
    out.push_back(std::move(edit));
  }
  *edits = std::move(out);
  return true;
}

}  // namespace tarnwick
