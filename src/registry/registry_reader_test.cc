#include "registry/registry_reader.h"

#include "registry/engine_test.h"

namespace tarnwick {
namespace {

const std::string kKey = R"(Software\Tarnwick reader test)";

using RegistryReaderTest = EngineTest;

TEST_F(RegistryReaderTest, ReadsTextNumbersAndNothing) {
  SeedText(Hive::kCurrentUser, kKey, "", "Mozilla Firefox");
  SeedText(Hive::kCurrentUser, kKey, "Icon", R"(%SystemRoot%\system32\url.dll,0)", kRegExpandSz);
  SeedBytes(Hive::kCurrentUser, kKey, "Flags", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF});
  SeedBytes(Hive::kCurrentUser, kKey, "Blob", kRegBinary, {1, 2, 3});
  SeedBytes(Hive::kCurrentUser, kKey, "List", kRegMultiSz, {'a', 0, 0, 0, 0, 0});

  EXPECT_EQ(RegistryValue("Mozilla Firefox"), ReadUser(kKey));
  EXPECT_EQ(RegistryValue(R"(%SystemRoot%\system32\url.dll,0)"), ReadUser(kKey, "icon"));
  EXPECT_EQ(RegistryValue(int32_t{-2}), ReadUser(kKey, "Flags"));
  EXPECT_EQ(RegistryValue(), ReadUser(kKey, "Blob"));
  EXPECT_EQ(RegistryValue(), ReadUser(kKey, "List"));
  EXPECT_EQ(RegistryValue(), ReadUser(kKey, "Missing"));
  EXPECT_EQ(RegistryValue(), ReadUser(kKey + R"(\Missing)"));
}

TEST_F(RegistryReaderTest, QueryStatusFollowsTheStoredType) {
  SeedBytes(Hive::kCurrentUser, kKey, "Blob", kRegBinary, {1, 2, 3});
  SeedText(Hive::kCurrentUser, kKey, "Text", "t");
  KeyHandle key = nullptr;
  ASSERT_EQ(kErrorSuccess, registry().OpenKey(Hive::kCurrentUser, kKey, kKeyRead, &key));
  RegistryValue value = std::string("untouched");
  EXPECT_EQ(-1, QueryKeyValue(registry(), key, "Blob", &value));
  EXPECT_EQ(RegistryValue("untouched"), value);
  EXPECT_EQ(kErrorFileNotFound, QueryKeyValue(registry(), key, "Missing", &value));
  EXPECT_EQ(RegistryValue("untouched"), value);
  EXPECT_EQ(kErrorSuccess, QueryKeyValue(registry(), key, "Text", &value));
  EXPECT_EQ(RegistryValue("t"), value);
  registry().CloseKey(key);
  EXPECT_NE(kErrorSuccess, QueryKeyValue(registry(), nullptr, "Text", &value));
}

TEST_F(RegistryReaderTest, TextKeepsNulsAndNonLatinLetters) {
  const std::string with_nul("Fire\0fox", 8);
  SeedText(Hive::kCurrentUser, kKey, "Nul", with_nul);
  const std::string greek = "Περιηγητής Ιστού";
  SeedText(Hive::kCurrentUser, kKey, "Ονομα", greek);
  EXPECT_EQ(RegistryValue(with_nul), ReadUser(kKey, "Nul"));
  EXPECT_EQ(RegistryValue(greek), ReadUser(kKey, "ΟΝΟΜΑ"));
}

TEST_F(RegistryReaderTest, TextStoredWithoutBytesIsNothing) {
  SeedBytes(Hive::kCurrentUser, kKey, "Zero", kRegSz, {});
  SeedBytes(Hive::kCurrentUser, kKey, "Nul", kRegSz, {0, 0});
  KeyHandle key = nullptr;
  ASSERT_EQ(kErrorSuccess, registry().OpenKey(Hive::kCurrentUser, kKey, kKeyRead, &key));
  RegistryValue value;
  EXPECT_EQ(kErrorSuccess, QueryKeyValue(registry(), key, "Zero", &value));
  EXPECT_EQ(RegistryValue(), value);
  registry().CloseKey(key);
  EXPECT_EQ(RegistryValue(""), ReadUser(kKey, "Nul"));
}

TEST_F(RegistryReaderTest, MachineValuesAreReadableWithoutAdministratorRights) {
  if (!Open(false)) GTEST_SKIP() << "no account without administrator rights here";
  SeedText(Hive::kLocalMachine, R"(SOFTWARE\Clients\StartMenuInternet)", "", "FIREFOX.EXE");
  EXPECT_EQ(RegistryValue("FIREFOX.EXE"),
            Read(Hive::kLocalMachine, R"(SOFTWARE\Clients\StartMenuInternet)", ""));
  if (reg_->RefusesMachineWrites()) {
    // Asking for write rights is what such an account is refused.
    KeyHandle key = nullptr;
    EXPECT_EQ(kErrorAccessDenied, registry().OpenKey(Hive::kLocalMachine,
                                                     R"(SOFTWARE\Clients\StartMenuInternet)",
                                                     kKeyAllSpecific, &key));
    EXPECT_EQ(nullptr, key);
  }
}

TEST(RegistryValueTest, AsTextGivesDigitsForNumbersAndEmptyForNothing) {
  EXPECT_EQ("", AsText(RegistryValue()));
  EXPECT_EQ("5", AsText(RegistryValue(int32_t{5})));
  EXPECT_EQ("-2147483648", AsText(RegistryValue(INT32_MIN)));
  EXPECT_EQ("x", AsText(RegistryValue("x")));
}

}  // namespace
}  // namespace tarnwick
