#include "registry/registry_reader.h"

#include <functional>
#include <utility>

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
  if (host_->RefusesMachineWrites()) {
    // Asking for write rights is what such an account is refused.
    KeyHandle key = nullptr;
    EXPECT_EQ(kErrorAccessDenied,
              registry().OpenKey(Hive::kLocalMachine, R"(SOFTWARE\Clients\StartMenuInternet)",
                                 kKeyAllSpecific, &key));
    EXPECT_EQ(nullptr, key);
  }
}

// Passes everything on, and runs `rewrite` right after the first size query of value `name`,
// as another program writing at that moment would.
class RewritingRegistry final : public ForwardingRegistry {
 public:
  RewritingRegistry(Registry& inner, std::string name, std::function<void()> rewrite)
      : ForwardingRegistry(&inner), name_(std::move(name)), rewrite_(std::move(rewrite)) {}
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    const long status = ForwardingRegistry::QueryValue(key, name, type, data, size);
    if (data == nullptr && name == name_ && rewrite_) std::exchange(rewrite_, nullptr)();
    return status;
  }

 private:
  std::string name_;
  std::function<void()> rewrite_;
};

TEST_F(RegistryReaderTest, AValueRetypedBetweenItsQueriesIsNothing) {
  SeedText(Hive::kCurrentUser, kKey, "Name", "A long display name");
  RewritingRegistry to_number(registry(), "Name", [this] {
    SeedBytes(Hive::kCurrentUser, kKey, "Name", kRegDword, {7, 0, 0, 0});
  });
  EXPECT_EQ(RegistryValue(), ReadRegistryValue(to_number, Hive::kCurrentUser, kKey, "Name"));

  SeedBytes(Hive::kCurrentUser, kKey, "Flags", kRegDword, {2, 0, 0, 0});
  RewritingRegistry to_text(registry(), "Flags",
                            [this] { SeedText(Hive::kCurrentUser, kKey, "Flags", "x"); });
  EXPECT_EQ(RegistryValue(), ReadRegistryValue(to_text, Hive::kCurrentUser, kKey, "Flags"));

  // A text stored without bytes that gains some is not read into the empty buffer.
  SeedBytes(Hive::kCurrentUser, kKey, "Grows", kRegSz, {});
  RewritingRegistry grows(registry(), "Grows", [this] {
    SeedText(Hive::kCurrentUser, kKey, "Grows", "Mozilla Firefox, a name longer than nothing");
  });
  EXPECT_EQ(RegistryValue(), ReadRegistryValue(grows, Hive::kCurrentUser, kKey, "Grows"));

  // A text that only gets shorter is read as it is now.
  SeedText(Hive::kCurrentUser, kKey, "Short", "Internet Explorer");
  RewritingRegistry shorter(registry(), "Short",
                            [this] { SeedText(Hive::kCurrentUser, kKey, "Short", "Opera"); });
  EXPECT_EQ(RegistryValue("Opera"), ReadRegistryValue(shorter, Hive::kCurrentUser, kKey, "Short"));
}

TEST(RegistryValueTest, AsTextGivesDigitsForNumbersAndEmptyForNothing) {
  EXPECT_EQ("", AsText(RegistryValue()));
  EXPECT_EQ("5", AsText(RegistryValue(int32_t{5})));
  EXPECT_EQ("-2147483648", AsText(RegistryValue(INT32_MIN)));
  EXPECT_EQ("x", AsText(RegistryValue("x")));
}

}  // namespace
}  // namespace tarnwick
