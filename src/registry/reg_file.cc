#include "registry/reg_file.h"

#include "registry/registry_rules.h"
#include "text/text.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string FormatValueLine(const RegEdit& value) {
  std::string line = (value.name.empty() ? "@" : Quote(value.name)) + "=";
  if (value.type == kRegSz) {
    const std::optional<std::string> text = RegBytesToPlainText(value.data);
    if (text && text->find_first_of("\r\n") == std::string::npos) return line + Quote(*text);
  }
  if (value.type == kRegDword && value.data.size() == 4) {
    return line + "dword:" + HexDigits(RegBytesToDword(value.data), 8);
  }
  line += value.type == kRegBinary ? "hex:" : "hex(" + HexDigits(value.type, 1) + "):";
  // Wrapped the way the registry editor does it, so lines stay within 80 columns (counted in
  // characters: the name may hold any text).
  std::string out;
  size_t width = Utf8ToUtf16(line).size();
  constexpr char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < value.data.size(); ++i) {
    line += kDigits[value.data[i] >> 4];
    line += kDigits[value.data[i] & 0xF];
    width += 2;
    if (i + 1 < value.data.size()) {
      line += ',';
      if (++width > 76) {
        out += line + "\\\r\n";
        line = "  ";
        width = 2;
      }
    }
  }
  return out + line;
}

std::string SectionLine(const RegEdit& edit) {
  return (edit.op == RegEdit::Op::kDeleteKey ? "\r\n[-" : "\r\n[") +
         FullKeyName(edit.hive, edit.path) + "]\r\n";
}

}  // namespace

std::string FullKeyName(Hive hive, const std::string& path) {
  std::string name = hive == Hive::kLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
  return path.empty() ? name : name + "\\" + path;
}

std::string FormatRegFile(std::span<const RegEdit> edits) {
  std::string out = std::string(kHeader) + "\r\n";
  const RegEdit* section = nullptr;  // the key that the lines written last are in
  for (const RegEdit& edit : edits) {
    switch (edit.op) {
      case RegEdit::Op::kDeleteKey:
        out += SectionLine(edit);
        section = nullptr;
        continue;
      case RegEdit::Op::kCreateKey:
        out += SectionLine(edit);
        section = &edit;
        continue;
      case RegEdit::Op::kSetValue:
      case RegEdit::Op::kDeleteValue:
        break;
    }
    if (section == nullptr || section->hive != edit.hive || section->path != edit.path) {
      RegEdit key;
      key.hive = edit.hive;
      key.path = edit.path;
      out += SectionLine(key);
      section = &edit;
    }
    if (edit.op == RegEdit::Op::kSetValue) {
      out += FormatValueLine(edit);
    } else {
      out += (edit.name.empty() ? "@" : Quote(edit.name)) + "=-";
    }
    out += "\r\n";
  }
  return out + "\r\n";
}

bool RegFileCanHold(const RegEdit& edit) {
  return edit.path.find_first_of("\r\n]") == std::string::npos &&
         edit.name.find_first_of("\r\n") == std::string::npos;
}

std::string EncodeUtf16LeWithBom(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  out.reserve(2 + 2 * utf8.size());
  // A backup is nearly all ASCII, which needs no conversion.
  size_t ascii = 0;
  while (ascii < utf8.size() && (utf8[ascii] & 0x80) == 0) {
    out += utf8[ascii++];
    out += '\0';
  }
  for (char16_t u : Utf8ToUtf16(utf8.substr(ascii))) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

}  // namespace tarnwick
