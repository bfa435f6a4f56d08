#include "registry/reg_file.h"

#include <gtest/gtest.h>

#include "registry/registry_rules.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

std::vector<uint8_t> Dword(uint32_t n) {
  return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
          static_cast<uint8_t>(n >> 24)};
}

RegEdit Key(Hive hive, const std::string& path, RegEdit::Op op = RegEdit::Op::kCreateKey) {
  RegEdit edit;
  edit.op = op;
  edit.hive = hive;
  edit.path = path;
  return edit;
}

RegEdit Set(const std::string& path, const std::string& name, uint32_t type,
            std::vector<uint8_t> data) {
  RegEdit edit = Key(Hive::kCurrentUser, path, RegEdit::Op::kSetValue);
  edit.name = name;
  edit.type = type;
  edit.data = std::move(data);
  return edit;
}

TEST(RegKeyNameTest, AcceptsBothHiveSpellingsInAnyCase) {
  RegKeyName key;
  ASSERT_TRUE(ParseRegKeyName("hkcu\\Software\\Classes\\", &key));
  EXPECT_EQ(Hive::kCurrentUser, key.hive);
  EXPECT_EQ("Software\\Classes", key.path);
  ASSERT_TRUE(ParseRegKeyName("HKEY_LOCAL_MACHINE", &key));
  EXPECT_EQ(Hive::kLocalMachine, key.hive);
  EXPECT_EQ("", key.path);
  EXPECT_FALSE(ParseRegKeyName("HKCR\\.htm", &key));
  EXPECT_FALSE(ParseRegKeyName("HKCU\\a\\\\b", &key));
  EXPECT_FALSE(ParseRegKeyName("HKCUX\\a", &key));
}

TEST(RegFileTest, ExportsTheWayTheRegistryEditorDoes) {
  const std::string key = "Software\\Classes\\MyInternetShortcut";
  const RegEdit edits[] = {
      Key(Hive::kCurrentUser, key),
      Set(key, "", kRegSz, TextToRegBytes("Say \"hi\" C:\\x")),
      Set(key, "EditFlags", kRegDword, Dword(2)),
      Set(key, "Icon", kRegExpandSz, TextToRegBytes("%R%")),
      Key(Hive::kLocalMachine, "Software\\Empty"),
  };
  EXPECT_EQ(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Classes\\MyInternetShortcut]\r\n"
      "@=\"Say \\\"hi\\\" C:\\\\x\"\r\n"
      "\"EditFlags\"=dword:00000002\r\n"
      "\"Icon\"=hex(2):25,00,52,00,25,00,00,00\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Empty]\r\n"
      "\r\n",
      FormatRegFile(edits));
  EXPECT_EQ(std::string("\xFF\xFE"
                        "A\0\xE4\0\r\0",
                        8),
            EncodeUtf16LeWithBom("A\xC3\xA4\r"));
}

TEST(RegFileTest, DeletionsAndValuesWithoutTheirKeyLineGetOne) {
  RegEdit gone = Key(Hive::kCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main",
                     RegEdit::Op::kDeleteValue);
  gone.name = "Check_Associations";
  const RegEdit edits[] = {
      Key(Hive::kCurrentUser, "Software\\Classes\\http", RegEdit::Op::kDeleteKey),
      Set("Software\\Classes\\http", "", kRegSz, TextToRegBytes("URL:HTTP")),
      Set("Software\\Classes\\http", "URL Protocol", kRegSz, TextToRegBytes("")),
      gone,
      Key(Hive::kLocalMachine, "Software\\Clients\\X", RegEdit::Op::kDeleteKey),
  };
  EXPECT_EQ(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Classes\\http]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Classes\\http]\r\n"
      "@=\"URL:HTTP\"\r\n"
      "\"URL Protocol\"=\"\"\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\r\n"
      "\"Check_Associations\"=-\r\n"
      "\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Clients\\X]\r\n"
      "\r\n",
      FormatRegFile(edits));

  // Read back, each value line comes after the key line the formatter added for it.
  std::vector<RegEdit> read;
  std::string err;
  ASSERT_TRUE(ParseRegFile(EncodeUtf16LeWithBom(FormatRegFile(edits)), &read, &err)) << err;
  const std::vector<RegEdit> expected = {
      edits[0],
      Key(Hive::kCurrentUser, "Software\\Classes\\http"),
      edits[1],
      edits[2],
      Key(Hive::kCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main"),
      edits[3],
      edits[4]};
  EXPECT_EQ(expected, read);
}

TEST(RegFileTest, NamesWithLineBreaksCannotBeHeld) {
  EXPECT_TRUE(RegFileCanHold(Set("a\\b c", "n [x]", kRegSz, {})));
  EXPECT_FALSE(RegFileCanHold(Set("a\nb", "n", kRegSz, {})));
  EXPECT_FALSE(RegFileCanHold(Set("a]b", "n", kRegSz, {})));
  EXPECT_FALSE(RegFileCanHold(Set("a", "n\r", kRegSz, {})));
}

TEST(RegFileTest, LongHexWrapsWithinEightyColumnsAndReadsBack) {
  std::vector<uint8_t> blob(100);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
  // Columns are characters, not UTF-8 bytes: a name of two-byte letters wraps like any other.
  const std::string name = "Gr\xC3\xB6\xC3\x9F\xC3\xA9\xC3\xA4";
  const RegEdit written[] = {Key(Hive::kCurrentUser, "K"), Set("K", name, kRegBinary, blob)};
  const std::string text = FormatRegFile(written);
  size_t start = 0, lines = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    EXPECT_LE(Utf8ToUtf16(line).size(), 80u) << line;
    if (line.starts_with('"')) {
      EXPECT_GE(Utf8ToUtf16(line).size(), 78u) << line;
    }
    ++lines;
  }
  EXPECT_GT(lines, 6u);  // the header, a blank line, the key, a value of several lines
  std::vector<RegEdit> edits;
  std::string err;
  ASSERT_TRUE(ParseRegFile(EncodeUtf16LeWithBom(text), &edits, &err)) << err;
  ASSERT_EQ(2u, edits.size());
  EXPECT_EQ(blob, edits[1].data);
}

TEST(RegFileTest, EveryValueRoundTripsExactly) {
  const std::vector<ValueEntry> values = {
      {"", kRegSz, TextToRegBytes("plain")},
      {"Qu\"ote\\d", kRegSz, TextToRegBytes("a\\\"b")},
      {"\xC3\x84nderung", kRegSz, TextToRegBytes("\xE2\x82\xAC")},
      {"lines", kRegSz, TextToRegBytes("one\r\ntwo")},
      {"nobytes", kRegSz, {}},
      {"inner", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}},
      {"lone", kRegSz, {0x00, 0xD8, 0, 0}},
      {"expand", kRegExpandSz, TextToRegBytes("%SystemRoot%\\system32\\url.dll,0")},
      {"max", kRegDword, Dword(0xFFFFFFFF)},
      {"short", kRegDword, {1, 2}},
      {"multi", kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
      {"none", kRegNone, {}},
      {"odd", 0x1234, {9}},
  };
  std::vector<RegEdit> written = {Key(Hive::kCurrentUser, "Software\\T")};
  for (const ValueEntry& v : values) written.push_back(Set("Software\\T", v.name, v.type, v.data));
  std::vector<RegEdit> edits;
  std::string err;
  ASSERT_TRUE(ParseRegFile(EncodeUtf16LeWithBom(FormatRegFile(written)), &edits, &err)) << err;
  ASSERT_EQ(values.size() + 1, edits.size());
  EXPECT_EQ(RegEdit::Op::kCreateKey, edits[0].op);
  for (size_t i = 0; i < values.size(); ++i) {
    const RegEdit& edit = edits[i + 1];
    EXPECT_EQ(RegEdit::Op::kSetValue, edit.op);
    EXPECT_EQ("Software\\T", edit.path);
    EXPECT_EQ(values[i].name, edit.name);
    EXPECT_EQ(values[i].type, edit.type) << values[i].name;
    EXPECT_EQ(values[i].data, edit.data) << values[i].name;
  }
}

TEST(RegFileTest, ReadsUtf8FilesWithDeletionsCommentsAndContinuations) {
  const std::string file =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
      "\n"
      "; seeded by a test\n"
      "[-HKEY_CURRENT_USER\\Software\\Old]\n"
      "[HKCU\\Software\\New]\n"
      "\"Bin\"=hex:de,AD, \\\n"
      "   be,ef\n"
      "\"Multi\"=hex(7):61,00,00,00,00,00\n"
      "\"Gone\"=-\n"
      "@=\"d\"\n";
  std::vector<RegEdit> edits;
  std::string err;
  ASSERT_TRUE(ParseRegFile(file, &edits, &err)) << err;
  ASSERT_EQ(6u, edits.size());
  EXPECT_EQ(RegEdit::Op::kDeleteKey, edits[0].op);
  EXPECT_EQ("Software\\Old", edits[0].path);
  EXPECT_EQ(RegEdit::Op::kCreateKey, edits[1].op);
  EXPECT_EQ((std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}), edits[2].data);
  EXPECT_EQ(uint32_t{kRegBinary}, edits[2].type);
  EXPECT_EQ(uint32_t{kRegMultiSz}, edits[3].type);
  EXPECT_EQ(RegEdit::Op::kDeleteValue, edits[4].op);
  EXPECT_EQ("Gone", edits[4].name);
  EXPECT_EQ("", edits[5].name);
  EXPECT_EQ(TextToRegBytes("d"), edits[5].data);
}

TEST(RegFileTest, MalformedFilesNameTheLine) {
  const std::string header = "Windows Registry Editor Version 5.00\r\n";
  const struct {
    std::string file;
    const char* error;
  } cases[] = {
      {"REGEDIT5\r\n", "line 1: not a registry file"},
      {header + "\"v\"=\"x\"\r\n", "line 2: a value outside a key"},
      {header + "[HKCR\\x]\r\n", "line 2: unknown or malformed key name 'HKCR\\x'"},
      {header + "[HKCU\\x\r\n", "line 2: missing ']'"},
      {header + "[-HKCU]\r\n", "line 2: a whole hive cannot be deleted"},
      {header + "[HKCU\\x]\r\n\"v\"=\"open\r\n", "line 3: unterminated string"},
      {header + "[HKCU\\x]\r\n\"v\"=\"a\\nb\"\r\n", "line 3: unknown escape '\\n'"},
      {header + "[HKCU\\x]\r\n\"v\"=dword:123456789\r\n", "line 3: malformed dword"},
      {header + "[HKCU\\x]\r\n\n\"v\"=hex:0g\r\n", "line 4: malformed hex byte '0g'"},
      {header + "[HKCU\\x]\r\n\"v\"=hex:01,\\\r\n", "line 3: the value goes on past the end"},
      {header + "[HKCU\\x]\r\n\"v\"=hex:01,\\\r\n  02,zz\r\n", "line 3: malformed hex byte"},
      {header + "[HKCU\\x]\r\n\"v\" \"x\"\r\n", "line 3: missing '='"},
      {header + "[HKCU\\x]\r\n\"v\"=\"x\" junk\r\n", "line 3: unexpected text after a string"},
      {header + "[HKCU\\x]\r\nv=1\r\n", "line 3: unrecognised line 'v=1'"},
      {header + "[HKCU\\x]\r\n\"v\"=str:1\r\n", "line 3: unrecognised value data"},
      {"\xFF\xFE"
       "W",
       "line 1: truncated UTF-16 text"},
  };
  for (const auto& c : cases) {
    std::vector<RegEdit> edits = {RegEdit{}};
    std::string err;
    EXPECT_FALSE(ParseRegFile(c.file, &edits, &err)) << c.file;
    EXPECT_EQ(0u, err.rfind(c.error, 0)) << "got: " << err;
    EXPECT_TRUE(edits.empty());
  }
}

}  // namespace
}  // namespace tarnwick
