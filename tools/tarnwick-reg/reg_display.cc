#include "tools/tarnwick-reg/reg_display.h"

#include <cstdio>

#include "registry/registry_rules.h"
#include "text/text.h"
#include "text/utf.h"

namespace tarnwick {

std::string RegTypeName(uint32_t type) {
  switch (type) {
    case kRegNone:
      return "REG_NONE";
    case kRegSz:
      return "REG_SZ";
    case kRegExpandSz:
      return "REG_EXPAND_SZ";
    case kRegBinary:
      return "REG_BINARY";
    case kRegDword:
      return "REG_DWORD";
    case kRegMultiSz:
      return "REG_MULTI_SZ";
    default:
      return "REG_UNKNOWN";
  }
}

std::string DisplayValueData(const ValueEntry& value) {
  const std::vector<uint8_t>& d = value.data;
  if (value.type == kRegDword && d.size() == 4) {
    return "0x" + HexDigits(RegBytesToDword(d), 1);
  }
  if (value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz) {
    if (value.type != kRegMultiSz) return RegBytesToText(d);
    std::u16string units = RegBytesToUnits(d);
    // Parts end with NUL, and the list with one more.
    while (!units.empty() && units.back() == 0) units.pop_back();
    std::string out;
    for (char16_t u : units) {
      if (u == 0) {
        out += "\\0";
      } else {
        out += Utf16ToUtf8(std::u16string(1, u));
      }
    }
    return out;
  }
  std::string out;
  for (uint8_t b : d) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
  }
  return out;
}

}  // namespace tarnwick
