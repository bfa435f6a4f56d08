#include "win32/wscript_shell-win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "win32/testing-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

class WScriptShellTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    shell_ = WScriptShell::Create(&err);
    if (!shell_) GTEST_SKIP() << "no scripting shell here: " << err;
  }

  // "HKCU\<scratch>\<rest>", a writer path.
  std::string WriterPath(const std::string& rest) const {
    return "HKCU\\" + scratch_.path() + "\\" + rest;
  }

  // The value as the system holds it: its type and bytes, read with RegQueryValueExW.
  struct Stored {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  Stored Read(const std::string& key, const std::string& name) {
    Stored stored;
    ScopedHKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(scratch_.path() + "\\" + key).c_str(), 0, KEY_READ,
                      handle.Receive()) != ERROR_SUCCESS) {
      return stored;
    }
    DWORD size = 0;
    if (RegQueryValueExW(handle.get(), Widen(name).c_str(), nullptr, &stored.type, nullptr,
                         &size) != ERROR_SUCCESS) {
      return Stored();
    }
    stored.data.resize(size);
    RegQueryValueExW(handle.get(), Widen(name).c_str(), nullptr, &stored.type, stored.data.data(),
                     &size);
    return stored;
  }
  static std::vector<BYTE> Text(const std::string& text) {
    const std::wstring wide = Widen(text);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    return std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * 2);
  }
  static std::vector<BYTE> Dword(uint32_t n) {
    return {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
  }

  ScopedCoInitialize com_;
  ScratchKey scratch_;
  std::unique_ptr<WScriptShell> shell_;
};

TEST_F(WScriptShellTest, TrailingBackslashWritesTheDefaultValueOfANewKey) {
  std::string err;
  ASSERT_TRUE(shell_->RegWrite(WriterPath("Classes\\.htm\\"), "MyHTMLfile", "REG_SZ", &err)) << err;
  EXPECT_EQ(DWORD{REG_SZ}, Read("Classes\\.htm", "").type);
  EXPECT_EQ(Text("MyHTMLfile"), Read("Classes\\.htm", "").data);

  ASSERT_TRUE(shell_->RegWrite(WriterPath("Classes\\.htm\\"), "", "REG_SZ", &err)) << err;
  EXPECT_EQ(Text(""), Read("Classes\\.htm", "").data);
}

TEST_F(WScriptShellTest, TypesAreStoredAsNamed) {
  std::string err;
  ASSERT_TRUE(shell_->RegWrite(WriterPath("T\\EditFlags"), "2", "REG_DWORD", &err)) << err;
  EXPECT_EQ(DWORD{REG_DWORD}, Read("T", "EditFlags").type);
  EXPECT_EQ(Dword(2), Read("T", "EditFlags").data);

  ASSERT_TRUE(shell_->RegWrite(WriterPath("T\\Max"), "4294967295", "REG_DWORD", &err)) << err;
  EXPECT_EQ(Dword(0xFFFFFFFF), Read("T", "Max").data);
  ASSERT_TRUE(shell_->RegWrite(WriterPath("T\\Min"), "-2147483648", "REG_DWORD", &err)) << err;
  EXPECT_EQ(Dword(0x80000000), Read("T", "Min").data);

  const std::string icon = "%SystemRoot%\\system32\\url.dll,0";
  ASSERT_TRUE(shell_->RegWrite(WriterPath("T\\DefaultIcon\\"), icon, "REG_EXPAND_SZ", &err)) << err;
  EXPECT_EQ(DWORD{REG_EXPAND_SZ}, Read("T\\DefaultIcon", "").type);
  EXPECT_EQ(Text(icon), Read("T\\DefaultIcon", "").data);

  const std::string name = "Navigateur \xC3\xA9l\xC3\xA9gant \xE2\x82\xAC \xF0\x9D\x84\x9E";
  ASSERT_TRUE(shell_->RegWrite(WriterPath("T\\LocalizedString"), name, "REG_SZ", &err)) << err;
  EXPECT_EQ(Text(name), Read("T", "LocalizedString").data);
}

TEST_F(WScriptShellTest, HivesAreKnownInEveryForm) {
  std::string err;
  ASSERT_TRUE(
      shell_->RegWrite("hkey_current_user\\" + scratch_.path() + "\\A\\", "long", "REG_SZ", &err))
      << err;
  ASSERT_TRUE(shell_->RegWrite("hkcu\\" + scratch_.path() + "\\B\\", "short", "REG_SZ", &err))
      << err;
  EXPECT_EQ(Text("long"), Read("A", "").data);
  EXPECT_EQ(Text("short"), Read("B", "").data);
}

TEST_F(WScriptShellTest, KeysDifferingOnlyInCaseAreOneKey) {
  std::string err;
  ASSERT_TRUE(shell_->RegWrite(WriterPath("MyHTMLfile\\Shell\\Open\\Command\\"), "\"a.exe\" \"%1\"",
                               "REG_SZ", &err))
      << err;
  ASSERT_TRUE(shell_->RegWrite(WriterPath("MyHTMLFile\\DefaultIcon\\"), "a.exe,0", "REG_SZ", &err))
      << err;
  ScopedHKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, Widen(scratch_.path()).c_str(), 0,
                                         KEY_READ, key.Receive()));
  DWORD sub_keys = 0;
  ASSERT_EQ(ERROR_SUCCESS,
            RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(1u, sub_keys);
  EXPECT_EQ(Text("a.exe,0"), Read("MyHTMLfile\\DefaultIcon", "").data);
}

TEST_F(WScriptShellTest, MalformedWritesAreRefusedWithoutATrace) {
  struct Case {
    std::string path, value, type;
  } cases[] = {
      {WriterPath("Bad\\Blob"), "01", "REG_BINARY"},
      {WriterPath("Bad\\Lower"), "x", "reg_sz"},
      {WriterPath("Bad\\Flags"), "2.5", "REG_DWORD"},
      {WriterPath("Bad\\Flags"), "4294967296", "REG_DWORD"},
      {"HKCR\\" + scratch_.path() + "\\Bad\\", "x", "REG_SZ"},
      {"HKCU\\Value", "x", "REG_SZ"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_FALSE(shell_->RegWrite(c.path, c.value, c.type, &err)) << c.path << " " << c.type;
    EXPECT_EQ(0u, err.rfind("RegWrite(" + c.path + "): ", 0)) << err;
  }
  ScopedHKEY key;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, Widen(scratch_.path()).c_str(), 0,
                                         KEY_READ, key.Receive()));
}

TEST_F(WScriptShellTest, WritesTheSystemRefusesReportItsReason) {
  // A key name above 255 characters is refused by the registry itself.
  const std::string path = WriterPath(std::string(300, 'k') + "\\");
  std::string err;
  EXPECT_FALSE(shell_->RegWrite(path, "x", "REG_SZ", &err));
  const std::string prefix = "RegWrite(" + path + "): ";
  ASSERT_EQ(0u, err.rfind(prefix, 0)) << err;
  EXPECT_LT(prefix.size(), err.size());
}

}  // namespace
}  // namespace tarnwick
