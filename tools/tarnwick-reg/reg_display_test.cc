#include "tools/tarnwick-reg/reg_display.h"

#include <gtest/gtest.h>

#include "registry/registry_rules.h"

namespace tarnwick {
namespace {

std::vector<uint8_t> Dword(uint32_t n) {
  return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
          static_cast<uint8_t>(n >> 24)};
}

TEST(RegDisplayTest, DisplayShowsDataAsTheConsoleToolDoes) {
  EXPECT_EQ("0x2", DisplayValueData({"", kRegDword, Dword(2)}));
  EXPECT_EQ("0xffffffff", DisplayValueData({"", kRegDword, Dword(0xFFFFFFFF)}));
  EXPECT_EQ("%SystemRoot%", DisplayValueData({"", kRegExpandSz, TextToRegBytes("%SystemRoot%")}));
  EXPECT_EQ("a", DisplayValueData({"", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}}));
  EXPECT_EQ("a\\0b", DisplayValueData({"", kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}));
  EXPECT_EQ("DEAD01", DisplayValueData({"", kRegBinary, {0xDE, 0xAD, 0x01}}));
  EXPECT_EQ("", DisplayValueData({"", kRegSz, {}}));
  EXPECT_EQ("REG_EXPAND_SZ", RegTypeName(kRegExpandSz));
  EXPECT_EQ("REG_UNKNOWN", RegTypeName(0x1234));
}

}  // namespace
}  // namespace tarnwick
