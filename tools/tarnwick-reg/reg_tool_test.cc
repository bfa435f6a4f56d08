#include "tools/tarnwick-reg/reg_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "registry/association_sets.h"
#include "registry/reg_file.h"
#include "registry/registry_rules.h"
#include "registry/registry_writer.h"
#include "standin/standin_registry.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

struct Result {
  int code;
  std::string out;
  std::string err;
};

class RegToolTest : public testing::Test {
 protected:
  Result Run(std::vector<std::string> args, const std::string& answers = "") {
    std::istringstream in(answers);
    std::ostringstream out, err;
    auto open = [this](std::string* e) {
      return StandInRegistry::OpenFiles(files_, administrator_, e);
    };
    int code = RunRegTool(args, open, {in, out, err});
    return {code, out.str(), err.str()};
  }

  std::unique_ptr<StandInRegistry> Registry() {
    std::string err;
    return StandInRegistry::OpenFiles(files_, true, &err);
  }

  TempDir dir_;
  HiveLocations files_{dir_.File("user.hive"), dir_.File("machine.hive")};
  bool administrator_ = true;
};

constexpr char kDone[] = "The operation completed successfully.\n";
constexpr char kNotFound[] =
    "ERROR: The system was unable to find the specified registry key or value.\n";

// The listing of "query /s" as key -> its value lines, keys in comparison form.
std::map<std::string, std::vector<std::string>> Blocks(const std::string& listing) {
  std::map<std::string, std::vector<std::string>> blocks;
  std::string key;
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("    ")) {
      blocks[key].push_back(line.substr(4));
    } else if (!line.empty()) {
      key = FoldName(line);
      blocks[key];
    }
  }
  return blocks;
}

TEST_F(RegToolTest, QueryListsTheAssociationSetWrittenToTheHive) {
  BrowserProfile profile;
  profile.OpenCommand = "\"C:\\B\\b.exe\" \"%1\"";
  profile.ShortcutCommand = profile.OpenCommand;
  profile.HtmlIcon = "C:\\B\\b.exe,0";
  profile.ShortcutIcon = "%SystemRoot%\\system32\\url.dll,0";
  {
    auto reg = Registry();
    RegistryWriter writer(reg.get());
    PresetDefaultWebBrowser(profile, writer);
  }
  Result r = Run({"query", "HKCU\\Software\\Classes", "/s"});
  ASSERT_EQ(0, r.code) << r.err;
  EXPECT_EQ("", r.err);
  const auto blocks = Blocks(r.out);

  std::set<std::string> keys = {FoldName("HKEY_CURRENT_USER\\Software\\Classes")};
  size_t value_lines = 0;
  for (const auto& [key, lines] : blocks) value_lines += lines.size();
  EXPECT_EQ(GenericAssociationRows().size(), value_lines);
  for (const AssociationRow& row : GenericAssociationRows()) {
    WriterTarget target;
    std::string err;
    ASSERT_TRUE(ParseWriterPath(row.path, &target, &err));
    std::string key = "HKEY_CURRENT_USER";
    for (const std::string& part : target.key) {
      key += "\\" + part;
      if (key.size() > std::string("HKEY_CURRENT_USER\\Software\\Classes").size()) {
        keys.insert(FoldName(key));
      }
    }
    const std::string line =
        (target.value_name.empty() ? "(Default)" : target.value_name) + "    " + row.type + "    " +
        (std::string(row.type) == "REG_DWORD" ? "0x2" : RowValueFor(row, profile));
    auto block = blocks.find(FoldName(key));
    ASSERT_NE(blocks.end(), block) << key;
    EXPECT_EQ(1, std::count(block->second.begin(), block->second.end(), line)) << line;
  }
  // "MyHTMLfile" and "MyHTMLFile" are one key: no key appears twice in another spelling.
  std::set<std::string> listed;
  for (const auto& [key, lines] : blocks) {
    if (key.starts_with(FoldName("HKEY_CURRENT_USER\\Software\\Classes"))) listed.insert(key);
  }
  EXPECT_EQ(keys, listed);
  EXPECT_NE(std::string::npos, r.out.find("\nHKEY_CURRENT_USER\\Software\\Classes\\.htm\n"
                                          "    (Default)    REG_SZ    MyHTMLfile\n\n"));
  EXPECT_NE(std::string::npos,
            r.out.find("\nHKEY_CURRENT_USER\\Software\\Classes\\MyHTMLfile\\DefaultIcon\n"));
}

TEST_F(RegToolTest, AddThenQueryPrintsLikeTheConsoleTool) {
  EXPECT_EQ(kDone,
            Run({"ADD", "HKCU\\Software\\Clients\\StartMenuInternet", "/ve", "/d", "B.EXE"}).out);
  EXPECT_EQ(kDone, Run({"add", "hkcu\\Software\\Clients\\StartMenuInternet", "-v", "Flags", "/t",
                        "REG_DWORD", "/d", "0x1F"})
                       .out);
  EXPECT_EQ(kDone, Run({"add", "HKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\\B.EXE",
                        "/v", "Icon", "/t", "REG_EXPAND_SZ", "/d", "%ProgramFiles%\\b.exe,0"})
                       .out);
  Result r = Run({"query", "HKCU\\Software\\Clients\\StartMenuInternet"});
  EXPECT_EQ(0, r.code);
  EXPECT_EQ(
      "\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\n"
      "    (Default)    REG_SZ    B.EXE\n"
      "    Flags    REG_DWORD    0x1f\n"
      "\n"
      "HKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\\B.EXE\n",
      r.out);
  EXPECT_EQ(
      "\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\n"
      "    Flags    REG_DWORD    0x1f\n\n",
      Run({"query", "HKCU\\Software\\Clients\\StartMenuInternet", "/v", "FLAGS"}).out);
  EXPECT_EQ(
      "\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\\B.EXE\n"
      "    Icon    REG_EXPAND_SZ    %ProgramFiles%\\b.exe,0\n\n",
      Run({"query", "HKCU\\Software", "/v", "icon", "/s"}).out);
  EXPECT_EQ(
      "\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\\B.EXE\n"
      "    (Default)    REG_SZ    (value not set)\n\n",
      Run({"query", "HKCU\\Software\\Clients\\StartMenuInternet\\B.EXE", "/ve"}).out);
  r = Run({"query", "HKCU\\Software\\Clients", "/v", "Nope"});
  EXPECT_EQ(1, r.code);
  EXPECT_EQ(kNotFound, r.err);
  EXPECT_EQ("\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\n",
            Run({"query", "HKCU\\Software\\Clients"}).out);
  // A trailing backslash names the same key.
  EXPECT_EQ(
      "\nHKEY_CURRENT_USER\\Software\\Clients\\StartMenuInternet\\B.EXE\n"
      "    Icon    REG_EXPAND_SZ    %ProgramFiles%\\b.exe,0\n\n",
      Run({"query", "HKCU\\Software\\Clients\\StartMenuInternet\\B.EXE\\"}).out);
  EXPECT_EQ(1, Run({"query", "HKCU\\Software\\Nope"}).code);
}

TEST_F(RegToolTest, ChangesAskFirstUnlessForced) {
  Run({"add", "HKCU\\K", "/v", "v", "/d", "old"});
  Result r = Run({"add", "HKCU\\K", "/v", "v", "/d", "new"}, "no\n");
  EXPECT_EQ(0, r.code);
  EXPECT_EQ("Value v exists, overwrite (Yes/No)? The operation was cancelled by the user.\n",
            r.out);
  EXPECT_EQ("\nHKEY_CURRENT_USER\\K\n    v    REG_SZ    old\n\n",
            Run({"query", "HKCU\\K", "/v", "v"}).out);
  EXPECT_EQ(0, Run({"add", "HKCU\\K", "/v", "v", "/d", "new"}, "yes\n").code);
  EXPECT_EQ(0, Run({"add", "HKCU\\K", "/v", "v", "/d", "newer", "/f"}).code);
  EXPECT_EQ("\nHKEY_CURRENT_USER\\K\n    v    REG_SZ    newer\n\n",
            Run({"query", "HKCU\\K", "/v", "v"}).out);

  Run({"add", "HKCU\\K\\Sub"});
  EXPECT_EQ(0, Run({"delete", "HKCU\\K"}, "n\n").code);
  EXPECT_EQ(0, Run({"query", "HKCU\\K\\Sub"}).code);
  r = Run({"delete", "HKCU\\K", "/v", "V"}, "y\n");
  EXPECT_EQ("Delete the registry value V (Yes/No)? " + std::string(kDone), r.out);
  EXPECT_EQ(kNotFound, Run({"query", "HKCU\\K", "/v", "v"}).err);
  r = Run({"delete", "HKCU\\K"}, "y\n");
  EXPECT_EQ(
      "Permanently delete the registry key HKEY_CURRENT_USER\\K (Yes/No)? " + std::string(kDone),
      r.out);
  EXPECT_EQ(1, Run({"query", "HKCU\\K\\Sub"}).code);
  r = Run({"delete", "HKCU\\K", "/f"});
  EXPECT_EQ(1, r.code);
  EXPECT_EQ(kNotFound, r.err);
}

TEST_F(RegToolTest, MachineHiveNeedsAdministratorForChanges) {
  Run({"add", "HKLM\\Software\\Clients\\StartMenuInternet", "/ve", "/d", "B.EXE"});
  administrator_ = false;
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"add", "HKLM\\Software\\X", "/ve", "/d", "x", "/f"},
           {"delete", "HKLM\\Software\\Clients", "/f"},
           {"delete", "HKLM\\Software\\Clients\\StartMenuInternet", "/ve", "/f"}}) {
    Result r = Run(args);
    EXPECT_EQ(1, r.code) << args[0];
    EXPECT_EQ("ERROR: Access is denied.\n", r.err);
  }
  EXPECT_EQ(
      "\nHKEY_LOCAL_MACHINE\\Software\\Clients\\StartMenuInternet\n"
      "    (Default)    REG_SZ    B.EXE\n\n",
      Run({"query", "HKLM\\Software\\Clients\\StartMenuInternet", "/ve"}).out);
}

TEST_F(RegToolTest, BadCommandLinesAreSyntaxErrors) {
  const std::string syntax = "ERROR: Invalid syntax.\nType \"tarnwick-reg /?\" for usage.\n";
  for (const auto& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate", "HKCU\\K"},
                                             {"query"},
                                             {"query", "HKCU\\K", "/v", "a", "/ve"},
                                             {"query", "HKCU\\K", "/v"},
                                             {"query", "HKCU\\K", "/f"},
                                             {"add", "HKCU\\K", "/d", "x"},
                                             {"export", "HKCU\\K"},
                                             {"import", "a.reg", "b.reg"}}) {
    Result r = Run(args);
    EXPECT_EQ(1, r.code);
    EXPECT_EQ(syntax, r.err);
  }
  EXPECT_EQ("ERROR: Invalid key name.\n", Run({"query", "HKCR\\.htm"}).err);
  EXPECT_EQ("ERROR: Invalid key name.\n", Run({"delete", "HKCU", "/f"}).err);
  EXPECT_EQ("ERROR: Unsupported value type 'REG_BINARY'.\n",
            Run({"add", "HKCU\\K", "/v", "b", "/t", "REG_BINARY", "/d", "00"}).err);
  EXPECT_EQ("ERROR: Invalid syntax. Specify a valid numeric value for '/d'.\n",
            Run({"add", "HKCU\\K", "/v", "n", "/t", "REG_DWORD", "/d", "4294967296"}).err);
  Result help = Run({"/?"});
  EXPECT_EQ(0, help.code);
  EXPECT_NE(std::string::npos, help.out.find("TARNWICK_USER_HIVE"));
}

TEST_F(RegToolTest, ExportAndImportRoundTrip) {
  auto reg = Registry();
  std::string err;
  const std::vector<RegEdit> seed = {
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "Software\\T", "", kRegSz, TextToRegBytes("d")},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "Software\\T\\Sub", "nobytes", kRegSz, {}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "Software\\T\\Sub", "e", kRegExpandSz,
       TextToRegBytes("%A%")},
      {RegEdit::Op::kSetValue,
       Hive::kCurrentUser,
       "Software\\T\\Sub",
       "n",
       kRegDword,
       {5, 0, 0, 0}},
      {RegEdit::Op::kCreateKey, Hive::kCurrentUser, "Software\\T\\Empty", "", 0, {}},
  };
  ASSERT_TRUE(reg->Apply(seed, &err)) << err;
  reg.reset();
  const std::string before = Run({"query", "HKCU\\Software\\T", "/s"}).out;
  const std::string file = dir_.File("t.reg");
  ASSERT_EQ(kDone, Run({"export", "HKCU\\Software\\T", file}).out);
  const std::string bytes = dir_.Read("t.reg");
  EXPECT_EQ(0u, bytes.find(EncodeUtf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n"
                                                "[HKEY_CURRENT_USER\\Software\\T]\r\n")));

  EXPECT_EQ(0, Run({"delete", "HKCU\\Software\\T", "/f"}).code);
  ASSERT_EQ(kDone, Run({"import", file}).out);
  EXPECT_EQ(before, Run({"query", "HKCU\\Software\\T", "/s"}).out);

  Result r = Run({"export", "HKCU\\Software\\T", file}, "n\n");
  EXPECT_EQ("File " + file +
                " already exists. Overwrite (Yes/No)? The operation was cancelled "
                "by the user.\n",
            r.out);
  EXPECT_EQ(kDone, Run({"export", "HKCU\\Software\\T", file, "/y"}).out);
}

TEST_F(RegToolTest, ImportDeletesKeysAndValuesAsTheRegistryEditorDoes) {
  Run({"add", "HKCU\\Software\\Classes\\http\\shell\\open\\command", "/ve", "/d", "other.exe",
       "/f"});
  Run({"add", "HKCU\\Software\\Main", "/v", "Check_Associations", "/d", "yes", "/f"});
  Run({"add", "HKCU\\Software\\Main", "/v", "Kept", "/d", "k", "/f"});
  dir_.Put("restore.reg", EncodeUtf16LeWithBom("Windows Registry Editor Version 5.00\r\n"
                                               "\r\n"
                                               "[-HKEY_CURRENT_USER\\Software\\Classes\\http]\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\Software\\Classes\\http]\r\n"
                                               "@=\"URL:HTTP\"\r\n"
                                               "\r\n"
                                               "[-HKEY_CURRENT_USER\\Software\\Never there]\r\n"
                                               "\r\n"
                                               "[HKEY_CURRENT_USER\\Software\\Main]\r\n"
                                               "\"Check_Associations\"=-\r\n"
                                               "\"Never set\"=-\r\n"
                                               "\r\n"));
  ASSERT_EQ(kDone, Run({"import", dir_.File("restore.reg")}).out);
  EXPECT_EQ("\nHKEY_CURRENT_USER\\Software\\Classes\\http\n    (Default)    REG_SZ    URL:HTTP\n\n",
            Run({"query", "HKCU\\Software\\Classes\\http", "/s"}).out);
  EXPECT_EQ("\nHKEY_CURRENT_USER\\Software\\Main\n    Kept    REG_SZ    k\n\n",
            Run({"query", "HKCU\\Software\\Main"}).out);
  EXPECT_EQ(1, Run({"query", "HKCU\\Software\\Never there"}).code);
}

TEST_F(RegToolTest, AMalformedImportChangesNothing) {
  dir_.Put("bad.reg",
           "Windows Registry Editor Version 5.00\r\n"
           "\r\n"
           "[HKEY_CURRENT_USER\\Software\\A]\r\n"
           "\"ok\"=\"1\"\r\n"
           "[-HKEY_CURRENT_USER\\Software\\Keep]\r\n"
           "\"bad\"=dword:xyz\r\n");
  Run({"add", "HKCU\\Software\\Keep"});
  Result r = Run({"import", dir_.File("bad.reg")});
  EXPECT_EQ(1, r.code);
  EXPECT_EQ("ERROR: " + dir_.File("bad.reg") + ": line 6: a value outside a key\n", r.err);
  EXPECT_EQ(1, Run({"query", "HKCU\\Software\\A"}).code);
  EXPECT_EQ(0, Run({"query", "HKCU\\Software\\Keep"}).code);

  administrator_ = false;
  dir_.Put("lm.reg",
           "Windows Registry Editor Version 5.00\r\n"
           "[HKEY_CURRENT_USER\\Software\\A]\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n");
  EXPECT_EQ("ERROR: Access is denied.\n", Run({"import", dir_.File("lm.reg")}).err);
  EXPECT_EQ(1, Run({"query", "HKCU\\Software\\A"}).code);
  EXPECT_EQ(1, Run({"import", dir_.File("missing.reg")}).code);
}

TEST_F(RegToolTest, ABadHiveFileIsReportedAndKept) {
  dir_.Put("user.hive", std::string(200, 'x'));
  Result r = Run({"query", "HKCU\\Software"});
  EXPECT_EQ(1, r.code);
  EXPECT_EQ("ERROR: open " + files_.user + ": file is not a database\n", r.err);
  EXPECT_EQ(1, Run({"add", "HKCU\\Software", "/f"}).code);
  EXPECT_EQ(std::string(200, 'x'), dir_.Read("user.hive"));
}

}  // namespace
}  // namespace tarnwick
