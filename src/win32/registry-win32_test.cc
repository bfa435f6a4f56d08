#include "win32/registry-win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "win32/scoped-win32.h"
#include "win32/testing-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

class Win32RegistryTest : public testing::Test {
 protected:
  // Creates the key `path` below the scratch key and sets one value, straight through the W
  // functions, so that the routes under test are checked against the system itself.
  void SetValue(const std::string& path, const std::string& name, DWORD type,
                const std::vector<BYTE>& data) {
    ScopedHKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, Widen(Below(path)).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), Widen(name).c_str(), 0, type, data.data(),
                                            static_cast<DWORD>(data.size())));
  }
  void SetText(const std::string& path, const std::string& name, const std::string& text,
               DWORD type = REG_SZ) {
    const std::wstring wide = Widen(text);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    SetValue(path, name, type, std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * 2));
  }
  bool KeyExists(const std::string& path) {
    ScopedHKEY key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, Widen(Below(path)).c_str(), 0, KEY_READ,
                         key.Receive()) == ERROR_SUCCESS;
  }
  std::string Below(const std::string& path) const {
    return path.empty() ? scratch_.path() : scratch_.path() + "\\" + path;
  }

  ScratchKey scratch_;
  Win32Registry registry_;
};

TEST_F(Win32RegistryTest, ReadsUnicodeNamesAndTextExactly) {
  const std::string key = "Clients\\\xC3\x84pfel \xF0\x9F\x98\x80";  // "Äpfel 😀"
  const std::string name = "N\xC3\xA4me \xE2\x82\xAC";               // "Näme €"
  const std::string text =
      "\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB8"
      "d\xC3\xA9 \xF0\x9D\x84\x9E";
  SetText(key, name, text);

  EXPECT_EQ(RegistryValue(text),
            ReadRegistryValue(registry_, Hive::kCurrentUser, Below(key), name));
  // Names compare without regard to case, beyond ASCII too.
  EXPECT_EQ(RegistryValue(text), ReadRegistryValue(registry_, Hive::kCurrentUser,
                                                   Below("CLIENTS\\\xC3\xA4PFEL \xF0\x9F\x98\x80"),
                                                   "n\xC3\x84ME \xE2\x82\xAC"));
}

TEST_F(Win32RegistryTest, QueryReportsSizesLikeRegQueryValueExW) {
  SetText("Sizes", "", "Mozilla Firefox");
  KeyHandle key = nullptr;
  ASSERT_EQ(kErrorSuccess, registry_.OpenKey(Hive::kCurrentUser, Below("Sizes"), kKeyRead, &key));
  uint32_t type = 0, size = 0;
  EXPECT_EQ(kErrorSuccess, registry_.QueryValue(key, "", &type, nullptr, &size));
  EXPECT_EQ(uint32_t{kRegSz}, type);
  EXPECT_EQ(16u * 2, size);  // 15 characters and the NUL

  uint8_t small[8];
  size = sizeof small;
  EXPECT_EQ(kErrorMoreData, registry_.QueryValue(key, "", &type, small, &size));
  EXPECT_EQ(16u * 2, size);

  std::vector<uint8_t> data(size);
  EXPECT_EQ(kErrorSuccess, registry_.QueryValue(key, "", nullptr, data.data(), &size));
  EXPECT_EQ(TextToRegBytes("Mozilla Firefox"), data);

  EXPECT_EQ(kErrorFileNotFound,
            registry_.QueryValue(key, "LocalizedString", &type, nullptr, &size));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
}

TEST_F(Win32RegistryTest, ReaderTakesNumbersAndUnexpandedText) {
  SetValue("Types", "EditFlags", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF});
  SetText("Types", "Icon", "%SystemRoot%\\system32\\url.dll,0", REG_EXPAND_SZ);
  SetValue("Types", "Blob", REG_BINARY, {1, 2, 3});
  EXPECT_EQ(RegistryValue(int32_t{-2}),
            ReadRegistryValue(registry_, Hive::kCurrentUser, Below("Types"), "EditFlags"));
  EXPECT_EQ(RegistryValue("%SystemRoot%\\system32\\url.dll,0"),
            ReadRegistryValue(registry_, Hive::kCurrentUser, Below("Types"), "Icon"));
  EXPECT_EQ(RegistryValue(),
            ReadRegistryValue(registry_, Hive::kCurrentUser, Below("Types"), "Blob"));
}

TEST_F(Win32RegistryTest, OpenGrantsOnlyTheRightsAskedFor) {
  SetText("Rights", "", "x");
  KeyHandle key = nullptr;
  ASSERT_EQ(kErrorSuccess, registry_.OpenKey(Hive::kCurrentUser, Below("Rights"), kKeyRead, &key));
  const DWORD zero = 0;
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegSetValueExW(reinterpret_cast<HKEY>(key), L"Written", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&zero), sizeof zero));
  registry_.CloseKey(key);

  KeyHandle untouched = reinterpret_cast<KeyHandle>(0x1234);
  EXPECT_EQ(kErrorFileNotFound,
            registry_.OpenKey(Hive::kCurrentUser, Below("Missing"), kKeyRead, &untouched));
  EXPECT_EQ(reinterpret_cast<KeyHandle>(0x1234), untouched);
}

TEST_F(Win32RegistryTest, NullHandlesFailQueriesAndCloseQuietly) {
  uint32_t size = 0;
  EXPECT_EQ(kErrorInvalidHandle, registry_.QueryValue(nullptr, "", nullptr, nullptr, &size));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(nullptr));
  EXPECT_EQ(RegistryValue(),
            ReadRegistryValue(registry_, Hive::kCurrentUser, Below("Missing"), ""));
}

TEST_F(Win32RegistryTest, DeleteRemovesWholeTreesWhateverTheirCase) {
  SetText("Classes\\http\\shell\\open\\ddeexec\\Application", "", "IExplore");
  SetText("Classes\\http\\shell\\open\\command", "", "\"x.exe\" \"%1\"");
  SetText("Classes\\MyHTMLFile\\DefaultIcon", "", "x.exe,0");
  SetText("Classes\\https", "", "kept");

  EXPECT_EQ(kErrorSuccess, registry_.DeleteKeyTree(Hive::kCurrentUser, Below("Classes\\http")));
  EXPECT_EQ(kErrorSuccess,
            registry_.DeleteKeyTree(Hive::kCurrentUser, Below("Classes\\MyHTMLfile")));
  EXPECT_FALSE(KeyExists("Classes\\http"));
  EXPECT_FALSE(KeyExists("Classes\\MyHTMLFile"));
  EXPECT_TRUE(KeyExists("Classes\\https"));

  EXPECT_EQ(kErrorFileNotFound,
            registry_.DeleteKeyTree(Hive::kCurrentUser, Below("Classes\\http")));
}

TEST_F(Win32RegistryTest, MalformedPathsReachNothing) {
  SetText("Sub", "", "x");
  KeyHandle key = nullptr;
  for (const std::string& bad : {Below("Sub") + "\\", "\\" + Below("Sub"), Below("") + "\\\\Sub"}) {
    EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(Hive::kCurrentUser, bad, kKeyRead, &key))
        << bad;
    EXPECT_EQ(kErrorFileNotFound, registry_.DeleteKeyTree(Hive::kCurrentUser, bad)) << bad;
  }
  EXPECT_EQ(nullptr, key);
  EXPECT_TRUE(KeyExists("Sub"));
}

// Deleting the empty path would empty the user's whole hive if the guard failed, so this runs
// only where the registry is thrown away afterwards (the Wine test script's prefix).
TEST_F(Win32RegistryTest, TheWholeHiveIsNeverDeleted) {
  const char* disposable = std::getenv("TARNWICK_DISPOSABLE_REGISTRY");
  if (!disposable || std::string(disposable) != "1") GTEST_SKIP() << "not a throwaway registry";
  SetText("Sub", "", "x");
  EXPECT_EQ(kErrorInvalidParameter, registry_.DeleteKeyTree(Hive::kCurrentUser, ""));
  EXPECT_TRUE(KeyExists("Sub"));
}

}  // namespace
}  // namespace tarnwick
